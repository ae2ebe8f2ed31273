#include "RawFileReader.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <memory>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

#include "RawInput.h"

namespace {

constexpr std::size_t kUnlimited = std::numeric_limits<std::size_t>::max();
// Progress is told after about this many bytes.
constexpr std::uint64_t kProgressStep = 8 << 20;

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
        text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
        text.remove_suffix(1);
    return text;
}

std::string Lower(std::string_view text) {
    std::string lower(text);
    for (char& character : lower)
        character = static_cast<char>(std::tolower(static_cast<unsigned char>(character)));
    return lower;
}

std::vector<std::string_view> Words(std::string_view text) {
    std::vector<std::string_view> words;
    std::size_t at = 0;
    while (at < text.size()) {
        while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at])))
            ++at;
        std::size_t start = at;
        while (at < text.size() && !std::isspace(static_cast<unsigned char>(text[at])))
            ++at;
        if (at > start)
            words.push_back(text.substr(start, at - start));
    }
    return words;
}

bool ParseCount(std::string_view text, std::size_t& count) {
    text = Trimmed(text);
    auto [end, status] = std::from_chars(text.data(), text.data() + text.size(), count);
    return status == std::errc() && end == text.data() + text.size();
}

bool ParseDouble(std::string_view text, double& value) {
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    auto [end, status] = std::from_chars(text.data(), text.data() + text.size(), value);
    // A value too small or too large for a double still names a value: zero or infinity.
    return end == text.data() + text.size() &&
           (status == std::errc() || status == std::errc::result_out_of_range);
}

// "dims=3" or "dims=2,3": the length the vector has, the product of its dimensions.
std::size_t DeclaredLength(const std::vector<std::string_view>& parameters) {
    for (std::string_view parameter : parameters) {
        if (Lower(parameter.substr(0, 5)) != "dims=")
            continue;
        std::size_t length = 1;
        std::string_view dims = parameter.substr(5);
        while (!dims.empty()) {
            std::size_t comma = dims.find(',');
            std::size_t dimension = 0;
            if (!ParseCount(dims.substr(0, comma), dimension))
                return 0;
            if (dimension != 0 && length > kUnlimited / dimension)
                return 0;  // no vector is that long: taken as the plot's length
            length *= dimension;
            dims = comma == std::string_view::npos ? std::string_view() : dims.substr(comma + 1);
        }
        return length;
    }
    return 0;
}

int GridOf(const std::vector<std::string_view>& parameters) {
    for (std::string_view parameter : parameters) {
        std::size_t grid = 0;
        if (Lower(parameter.substr(0, 5)) == "grid=" && ParseCount(parameter.substr(5), grid))
            return grid < 100 ? static_cast<int>(grid) : 0;
    }
    return 0;
}

class CPlotReader {
public:
    CPlotReader(CRawInput& input, SRawFile& file, const CRawFileReader::Progress& progress)
        : input(input), file(file), progress(progress) {}

    // Reads every plot; false when not even the first one could be read.
    bool ReadAll(std::string& error) {
        while (true) {
            SRawPlot plot;
            std::string problem;
            Header result = ReadHeader(plot, problem);
            if (result == Header::End)
                break;
            if (result == Header::Broken) {
                Stop(problem);
                break;
            }
            bool whole = result == Header::Binary ? ReadBinary(plot) : ReadAscii(plot);
            file.plots.push_back(std::move(plot));
            if (!whole || file.plots.back().endedWithFile)
                break;
        }
        if (input.Failed())
            Stop("файл не удалось прочитать до конца");
        if (file.plots.empty()) {
            error = file.problem.empty() ? "в файле нет ни одного графика" : file.problem;
            return false;
        }
        return true;
    }

private:
    enum class Header { Ascii, Binary, End, Broken };

    void Stop(const std::string& problem) {
        if (file.problem.empty())
            file.problem = problem;
    }

    std::string AtLine(int line, const std::string& text) const {
        return "строка " + std::to_string(line) + ": " + text;
    }

    Header ReadHeader(SRawPlot& plot, std::string& problem) {
        std::size_t variableCount = kUnlimited;
        bool any = false;
        std::string_view line;
        while (input.NextLine(line)) {
            const int number = input.Line() - 1;
            if (Trimmed(line).empty())
                continue;
            std::size_t colon = line.find(':');
            if (colon == std::string_view::npos) {
                problem = AtLine(number, "это не строка заголовка файла результатов");
                return Header::Broken;
            }
            any = true;
            const std::string key = Lower(Trimmed(line.substr(0, colon)));
            const std::string_view value = Trimmed(line.substr(colon + 1));
            if (key == "title") {
                plot.title = value;
            } else if (key == "date") {
                plot.date = value;
            } else if (key == "plotname") {
                plot.name = value;
            } else if (key == "command") {
                plot.command = value;
            } else if (key == "flags") {
                for (std::string_view flag : Words(value)) {
                    const std::string lower = Lower(flag);
                    if (lower == "complex")
                        plot.complex = true;
                    else if (lower == "unpadded")
                        plot.padded = false;
                }
            } else if (key == "no. variables") {
                if (!ParseCount(value, variableCount)) {
                    problem = AtLine(number, "число переменных — не число");
                    return Header::Broken;
                }
            } else if (key == "no. points") {
                if (!ParseCount(value, plot.declaredPoints)) {
                    problem = AtLine(number, "число точек — не число");
                    return Header::Broken;
                }
            } else if (key == "variables") {
                if (variableCount == kUnlimited) {
                    problem = AtLine(number, "список переменных идет раньше их числа");
                    return Header::Broken;
                }
                if (!ReadVariables(plot, variableCount, problem))
                    return Header::Broken;
            } else if (key == "values" || key == "binary") {
                if (plot.vectors.empty()) {
                    problem = AtLine(number, "данные без списка переменных");
                    return Header::Broken;
                }
                file.binary = key == "binary";
                return key == "binary" ? Header::Binary : Header::Ascii;
            }
            // Other lines ("Dimensions:", "Option:") say nothing the plot needs.
        }
        if (input.LineTooLong()) {
            problem = AtLine(input.Line(), "строка без конца: это не файл результатов");
            return Header::Broken;
        }
        if (any)
            problem = "у заголовка последнего графика нет данных";
        return any ? Header::Broken : Header::End;
    }

    bool ReadVariables(SRawPlot& plot, std::size_t count, std::string& problem) {
        std::string_view line;
        plot.vectors.reserve(std::min<std::size_t>(count, 1 << 16));
        while (plot.vectors.size() < count) {
            if (!input.NextLine(line)) {
                problem = "файл кончается внутри списка переменных";
                return false;
            }
            std::vector<std::string_view> words = Words(line);
            if (words.empty())
                continue;
            std::size_t index = 0;
            if (words.size() < 3 || !ParseCount(words[0], index)) {
                problem = AtLine(input.Line() - 1, "это не переменная: нужны номер, имя и тип");
                return false;
            }
            SRawVector vector;
            vector.name = words[1];
            vector.type = words[2];
            const std::vector<std::string_view> parameters(words.begin() + 3, words.end());
            vector.declaredLength = DeclaredLength(parameters);
            vector.grid = GridOf(parameters);
            plot.vectors.push_back(std::move(vector));
        }
        return true;
    }

    // The length of each vector: what its dimensions say, else the plot's.
    std::vector<std::size_t> Lengths(const SRawPlot& plot) const {
        std::vector<std::size_t> lengths;
        for (const SRawVector& vector : plot.vectors) {
            std::size_t length = plot.declaredPoints > 0 ? plot.declaredPoints : kUnlimited;
            if (vector.declaredLength > 0)
                length = std::min(length, vector.declaredLength);
            lengths.push_back(length);
        }
        return lengths;
    }

    void Reserve(SRawPlot& plot, std::size_t points) {
        for (SRawVector& vector : plot.vectors) {
            vector.real.reserve(points);
            if (plot.complex)
                vector.imaginary.reserve(points);
        }
    }

    // Takes the vectors back to the whole points, drops padding past a vector's own length, and
    // gives back room reserved by an estimate that was too high.
    void Finish(SRawPlot& plot, const std::vector<std::size_t>& lengths) {
        for (std::size_t index = 0; index < plot.vectors.size(); ++index) {
            SRawVector& vector = plot.vectors[index];
            const std::size_t kept = std::min(plot.points, lengths[index]);
            for (std::vector<double>* values : {&vector.real, &vector.imaginary}) {
                if (values->size() > kept)
                    values->resize(kept);
                if (values->capacity() > values->size() + values->size() / 8 + 64)
                    values->shrink_to_fit();
            }
        }
    }

    // The bytes of the file still to be read, as far as its size when it was opened tells; a
    // file that grew since has none left by that count.
    std::uint64_t Left() const {
        return input.Size() > input.Consumed() ? input.Size() - input.Consumed() : 0;
    }

    bool KeepGoing() {
        if (!progress || input.Consumed() < nextProgress)
            return true;
        nextProgress = input.Consumed() + kProgressStep;
        if (progress(input.Consumed(), input.Size()))
            return true;
        Stop("чтение остановлено");
        return false;
    }

    // Padded binary data, where every point holds every vector: as many whole points as the
    // input holds at a time, each vector's values gathered from them in one pass.
    bool ReadWholePoints(SRawPlot& plot, std::size_t limit, std::size_t pointBytes) {
        const std::size_t parts = plot.complex ? 2 : 1;
        while (plot.points < limit) {
            if (!KeepGoing())
                return false;
            if (input.Ensure(pointBytes) < pointBytes) {
                plot.endedWithFile = true;
                return true;
            }
            const std::size_t take = std::min(limit - plot.points, input.AheadSize() / pointBytes);
            const char* bytes = input.Ahead();
            for (std::size_t index = 0; index < plot.vectors.size(); ++index) {
                std::vector<double>* columns[2] = {&plot.vectors[index].real,
                                                   &plot.vectors[index].imaginary};
                for (std::size_t part = 0; part < parts; ++part) {
                    std::vector<double>& column = *columns[part];
                    const std::size_t start = column.size();
                    column.resize(start + take);
                    const char* at = bytes + (index * parts + part) * sizeof(double);
                    for (std::size_t point = 0; point < take; ++point, at += pointBytes)
                        std::memcpy(&column[start + point], at, sizeof(double));
                }
            }
            input.Skip(take * pointBytes);
            plot.points += take;
        }
        return true;
    }

    // Binary data: the points one after another, each holding its vectors' values in order, a
    // complex value as its real then its imaginary part; an unpadded vector that has ended is
    // left out of the later points.
    bool ReadBinary(SRawPlot& plot) {
        const std::vector<std::size_t> lengths = Lengths(plot);
        std::size_t limit = plot.declaredPoints > 0 ? plot.declaredPoints : kUnlimited;
        const std::size_t parts = plot.complex ? 2 : 1;
        const std::size_t pointBytes = plot.vectors.size() * parts * sizeof(double);
        Reserve(plot, static_cast<std::size_t>(std::min<std::uint64_t>(limit, Left() / pointBytes)));
        bool whole = true;
        // A plot without points is followed at once by the next plot's header.
        if (plot.declaredPoints == 0 && input.AtHeader()) {
            Finish(plot, lengths);
            return true;
        }
        if (plot.padded) {
            whole = ReadWholePoints(plot, limit, pointBytes);
            limit = plot.points;  // nothing is left for the point-by-point loop below
        }
        while (plot.points < limit) {
            if (!KeepGoing()) {
                whole = false;
                break;
            }
            std::size_t present = plot.vectors.size();
            if (!plot.padded) {
                present = 0;
                for (std::size_t length : lengths)
                    present += length > plot.points ? 1 : 0;
            }
            const std::size_t bytes = present * parts * sizeof(double);
            if (bytes == 0)
                break;
            if (input.Ensure(bytes) < bytes) {
                plot.endedWithFile = true;
                break;
            }
            const char* at = input.Ahead();
            for (std::size_t index = 0; index < plot.vectors.size(); ++index) {
                if (!plot.padded && lengths[index] <= plot.points)
                    continue;
                double value;
                std::memcpy(&value, at, sizeof value);
                plot.vectors[index].real.push_back(value);
                at += sizeof value;
                if (plot.complex) {
                    std::memcpy(&value, at, sizeof value);
                    plot.vectors[index].imaginary.push_back(value);
                    at += sizeof value;
                }
            }
            input.Skip(bytes);
            ++plot.points;
        }
        if (plot.points == limit || plot.declaredPoints == 0)
            plot.endedWithFile = plot.endedWithFile || input.Ensure(1) == 0;
        // The point-by-point loop above may have stopped short of the announced count.
        if (plot.declaredPoints > 0 && plot.points < plot.declaredPoints)
            plot.endedWithFile = true;
        Finish(plot, lengths);
        return whole;
    }

    // ASCII data: each point is its index, then its vectors' values in order, a complex value as
    // "real,imaginary"; an unpadded vector that has ended is left out of the later points.
    bool ReadAscii(SRawPlot& plot) {
        const std::vector<std::size_t> lengths = Lengths(plot);
        const std::size_t limit = plot.declaredPoints > 0 ? plot.declaredPoints : kUnlimited;
        bool whole = true;
        std::uint64_t firstPointStart = input.Consumed();
        while (plot.points < limit) {
            if (!KeepGoing()) {
                whole = false;
                break;
            }
            if (plot.points == 0 && plot.declaredPoints == 0 && input.AtHeader())
                break;  // a plot without points, and the next plot's header
            std::string_view token = input.NextToken();
            if (token.empty() || input.TokenAtEnd()) {
                plot.endedWithFile = true;
                break;
            }
            std::size_t index = 0;
            if (!ParseCount(token, index)) {
                // The next plot's header where the count was never written.
                if (plot.declaredPoints == 0 && token.find(':') != std::string_view::npos) {
                    Stop(AtLine(input.Line(), "график без числа точек"));
                } else {
                    Stop(AtLine(input.Line(), "это не номер точки: " + std::string(token)));
                }
                whole = false;
                break;
            }
            if (!ReadAsciiPoint(plot, lengths)) {
                whole = false;
                break;
            }
            ++plot.points;
            if (plot.points == 1) {
                // The size of the first point tells how many points the rest of the file holds.
                const std::uint64_t pointBytes = input.Consumed() - firstPointStart + 1;
                Reserve(plot, static_cast<std::size_t>(std::min<std::uint64_t>(
                                  limit, 1 + Left() / pointBytes * 21 / 20)));
            }
        }
        Finish(plot, lengths);
        return whole;
    }

    bool ReadAsciiPoint(SRawPlot& plot, const std::vector<std::size_t>& lengths) {
        for (std::size_t index = 0; index < plot.vectors.size(); ++index) {
            if (!plot.padded && lengths[index] <= plot.points)
                continue;
            std::string_view token = input.NextToken();
            // A value the end of the file runs into may have lost its last digits.
            if (token.empty() || input.TokenAtEnd()) {
                plot.endedWithFile = true;
                return false;
            }
            double real = 0;
            double imaginary = 0;
            bool parsed = false;
            if (plot.complex) {
                std::size_t comma = token.find(',');
                parsed = comma != std::string_view::npos &&
                         ParseDouble(token.substr(0, comma), real) &&
                         ParseDouble(token.substr(comma + 1), imaginary);
            } else {
                parsed = ParseDouble(token, real);
            }
            if (!parsed) {
                Stop(AtLine(input.Line(), "это не значение: " + std::string(token)));
                return false;
            }
            plot.vectors[index].real.push_back(real);
            if (plot.complex)
                plot.vectors[index].imaginary.push_back(imaginary);
        }
        return true;
    }

    CRawInput& input;
    SRawFile& file;
    const CRawFileReader::Progress& progress;
    std::uint64_t nextProgress = 0;
};

}  // namespace

bool CRawFileReader::ReadFile(const std::string& path, SRawFile& file, std::string& error,
                              const Progress& progress) {
    file = SRawFile();
    int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) {
        error = "не удается открыть " + path + ": " + std::strerror(errno);
        return false;
    }
    struct stat status {};
    if (::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(descriptor);
        error = path + " — не обычный файл";
        return false;
    }
    CRawInput input(descriptor, static_cast<std::uint64_t>(status.st_size));
    bool read = false;
    try {
        read = CPlotReader(input, file, progress).ReadAll(error);
    } catch (const std::exception&) {
        // Memory ran out: the plots read whole stay, the one being read goes.
        file.problem = "не хватает памяти, чтобы прочитать файл целиком";
        read = !file.plots.empty();
        if (!read)
            error = file.problem;
    }
    ::close(descriptor);
    return read;
}

bool CRawFileReader::ReadBytes(std::string_view bytes, SRawFile& file, std::string& error) {
    file = SRawFile();
    CRawInput input(bytes);
    return CPlotReader(input, file, {}).ReadAll(error);
}

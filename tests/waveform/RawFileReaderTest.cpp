#include "RawFileReader.h"

#include <gtest/gtest.h>

#include "NgspiceRawFiles.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <sstream>
#include <filesystem>
#include <string>

namespace fs = std::filesystem;
using kivra_test::ReadBytes;

namespace {

class RawFileReaderTest : public kivra_test::NgspiceRawFolder {
protected:
    static SRawFile Read(const fs::path& path) {
        SRawFile file;
        std::string error;
        EXPECT_TRUE(CRawFileReader::ReadFile(path.string(), file, error)) << error;
        return file;
    }
};

const char* const kThreeAnalyses = kivra_test::kThreeAnalysesNetlist;

void ExpectSamePlots(const SRawFile& expected, const SRawFile& actual, std::size_t points = 0) {
    ASSERT_EQ(actual.plots.size(), expected.plots.size());
    for (std::size_t p = 0; p < expected.plots.size(); ++p) {
        const SRawPlot& want = expected.plots[p];
        const SRawPlot& got = actual.plots[p];
        EXPECT_EQ(got.name, want.name);
        EXPECT_EQ(got.complex, want.complex);
        ASSERT_EQ(got.vectors.size(), want.vectors.size());
        const std::size_t count = points != 0 ? points : want.points;
        EXPECT_EQ(got.points, count) << want.name;
        for (std::size_t v = 0; v < want.vectors.size(); ++v) {
            EXPECT_EQ(got.vectors[v].name, want.vectors[v].name);
            EXPECT_EQ(got.vectors[v].type, want.vectors[v].type);
            ASSERT_EQ(got.vectors[v].real.size(), count);
            ASSERT_EQ(got.vectors[v].imaginary.size(), want.complex ? count : 0);
            // ASCII keeps 15 significant digits.
            for (std::size_t i = 0; i < count; ++i) {
                const double scale = std::max(1e-300, std::abs(want.vectors[v].real[i]));
                ASSERT_NEAR(got.vectors[v].real[i], want.vectors[v].real[i], 1e-13 * scale)
                    << want.name << " " << want.vectors[v].name << " at " << i;
                // The imaginary part of the frequency is whatever the simulator left there.
                if (want.complex && v > 0) {
                    ASSERT_NEAR(got.vectors[v].imaginary[i], want.vectors[v].imaginary[i],
                                1e-13 * std::max(1e-300, std::abs(want.vectors[v].imaginary[i])));
                }
            }
        }
    }
}

}  // namespace

TEST_F(RawFileReaderTest, BinaryAndAsciiOfOneRunHoldTheSamePlots) {
    const SRawFile binary = Read(Simulate(kThreeAnalyses, "binary"));
    const SRawFile ascii = Read(Simulate(kThreeAnalyses, "ascii"));
    EXPECT_TRUE(binary.binary);
    EXPECT_FALSE(ascii.binary);
    ASSERT_EQ(binary.plots.size(), 3u);
    EXPECT_EQ(binary.plots[0].name, "AC Analysis");
    EXPECT_TRUE(binary.plots[0].complex);
    EXPECT_EQ(binary.plots[0].points, 21u);
    EXPECT_EQ(binary.plots[0].vectors[0].name, "frequency");
    EXPECT_NEAR(binary.plots[0].vectors[0].real.back(), 10e6, 1e-6);
    EXPECT_EQ(binary.plots[1].name, "DC transfer characteristic");
    EXPECT_EQ(binary.plots[1].points, 3u);
    EXPECT_DOUBLE_EQ(binary.plots[1].vectors[2].real[1], 0.5);
    EXPECT_EQ(binary.plots[2].name, "Transient Analysis");
    EXPECT_EQ(binary.plots[2].vectors[0].type, "time");
    for (const SRawPlot& plot : binary.plots) {
        EXPECT_FALSE(plot.CutShort()) << plot.name;
        EXPECT_EQ(plot.points, plot.declaredPoints);
    }
    EXPECT_TRUE(binary.problem.empty()) << binary.problem;
    ExpectSamePlots(binary, ascii);
}

// A stopped run leaves the last plot cut anywhere, even inside a value: every whole point is
// kept and the plot says it is cut short; the plots before it are whole.
TEST_F(RawFileReaderTest, AFileCutShortKeepsEveryWholePoint) {
    for (const char* format : {"binary", "ascii"}) {
        const fs::path path = Simulate(kThreeAnalyses, format);
        const SRawFile full = Read(path);
        const std::string bytes = ReadBytes(path);
        const std::size_t tranStart = bytes.rfind("Title:");
        ASSERT_NE(tranStart, std::string::npos);
        const std::size_t tranData = bytes.find(full.binary ? "Binary:\n" : "Values:\n", tranStart);
        const std::size_t dataBytes = bytes.size() - tranData;
        for (double fraction : {0.0, 0.001, 0.25, 0.5, 0.99}) {
            const std::size_t cut = tranData + 8 + static_cast<std::size_t>(fraction * dataBytes);
            SRawFile file;
            std::string error;
            ASSERT_TRUE(CRawFileReader::ReadBytes(bytes.substr(0, cut), file, error)) << error;
            ASSERT_EQ(file.plots.size(), 3u) << format << " cut at " << cut;
            const SRawPlot& tran = file.plots[2];
            EXPECT_TRUE(tran.CutShort()) << format << " cut at " << cut;
            EXPECT_TRUE(tran.endedWithFile);
            EXPECT_LT(tran.points, full.plots[2].points);
            // A point ends within the bytes kept only if all its values were there.
            EXPECT_LE(tran.points, static_cast<std::size_t>(fraction * full.plots[2].points) + 1);
            SRawFile prefix = full;
            for (SRawVector& vector : prefix.plots[2].vectors)
                vector.real.resize(tran.points);
            prefix.plots[2].points = tran.points;
            ExpectSamePlots(prefix, file);
        }
    }
}

// A run that was killed never wrote its count of points ("No. Points: 0"): the points read to the
// end of the file are the plot's, and it is cut short.
TEST_F(RawFileReaderTest, APlotWithoutItsCountReadsToTheEndOfTheFile) {
    for (const char* format : {"binary", "ascii"}) {
        const std::string bytes = ReadBytes(Simulate(kThreeAnalyses, format));
        const std::size_t tranStart = bytes.rfind("Title:");
        const std::size_t count = bytes.find("No. Points:", tranStart);
        ASSERT_NE(count, std::string::npos);
        std::string killed = bytes;
        const std::size_t lineEnd = killed.find('\n', count);
        killed.replace(count, lineEnd - count, "No. Points: 0       ");
        killed.resize(killed.size() - 5);  // inside the last point
        SRawFile file;
        std::string error;
        ASSERT_TRUE(CRawFileReader::ReadBytes(killed, file, error)) << error;
        ASSERT_EQ(file.plots.size(), 3u);
        EXPECT_EQ(file.plots[2].declaredPoints, 0u);
        EXPECT_GT(file.plots[2].points, 200u) << format;
        EXPECT_TRUE(file.plots[2].CutShort());
        EXPECT_FALSE(file.plots[1].CutShort());
    }
}

// With "nopadding" a vector shorter than the plot leaves the points past its end; with padding
// the file fills them, and the reader drops the filling by the vector's own length.
TEST_F(RawFileReaderTest, PaddedAndUnpaddedShortVectorsReadAlike) {
    const std::string netlist = "padding\nv1 in 0 1\nr1 in 0 1k\n.control\nop\n"
                                "let a = vector(5)\nlet b = vector(3)\n"
                                "set filetype=ascii\nwrite pad_asc.raw a b\n"
                                "set filetype=binary\nwrite pad_bin.raw a b\n"
                                "set nopadding\nwrite unpad_bin.raw a b\n"
                                "set filetype=ascii\nwrite unpad_asc.raw a b\n.endc\n.end\n";
    Simulate(netlist, "binary");
    for (const char* name : {"pad_asc.raw", "pad_bin.raw", "unpad_bin.raw", "unpad_asc.raw"}) {
        const SRawFile file = Read(folder / name);
        ASSERT_EQ(file.plots.size(), 1u) << name;
        const SRawPlot& plot = file.plots[0];
        EXPECT_EQ(plot.padded, std::string(name).rfind("pad", 0) == 0) << name;
        EXPECT_EQ(plot.points, 5u) << name;
        ASSERT_EQ(plot.vectors.size(), 3u) << name;
        EXPECT_EQ(plot.vectors[0].real, std::vector<double>({1})) << name;
        EXPECT_EQ(plot.vectors[1].real, std::vector<double>({0, 1, 2, 3, 4})) << name;
        EXPECT_EQ(plot.vectors[2].real, std::vector<double>({0, 1, 2})) << name;
        EXPECT_FALSE(plot.CutShort()) << name;
    }
}

// Bytes that are no raw file get a reason naming the line, never a crash; a fault after the
// first plot keeps that plot.
TEST(RawFileReaderInput, BrokenInputGetsAReason) {
    const std::string header = "Title: t\nPlotname: Transient Analysis\nFlags: real\n"
                               "No. Variables: 2\nNo. Points: 2\nVariables:\n"
                               "\t0\ttime\ttime\n\t1\tv(a)\tvoltage\n";
    const std::string whole = header + "Values:\n0\t0\n\t1\n\n1\t1e-3\n\t2\n\n";
    struct Case {
        std::string bytes;
        bool read;  // whether a plot comes out
        std::string reason;
    };
    const Case cases[] = {
        {"", false, "нет ни одного графика"},
        {"just some text\n", false, "строка 1: это не строка заголовка"},
        {"Title: t\nNo. Variables: two\n", false, "строка 2: число переменных"},
        {"Title: t\nVariables:\n", false, "строка 2: список переменных идет раньше"},
        {"Title: t\nNo. Variables: 3\nVariables:\n\t0\ttime\ttime\n", false,
         "кончается внутри списка переменных"},
        {"Title: t\nNo. Variables: 1\nVariables:\n\t0\ttime\n", false, "строка 4: это не переменная"},
        {"Title: t\nValues:\n", false, "строка 2: данные без списка переменных"},
        {header, false, "нет данных"},
        {header + "Values:\n0\t0\n\tx\n", true, "строка 11: это не значение: x"},
        {header + "Values:\nzero\t0\n", true, "строка 10: это не номер точки"},
        {whole + "garbage\n", true, "это не строка заголовка"},
        {std::string(2 << 20, 'x'), false, "строка 1: строка без конца"},
        {whole + whole, true, ""},
    };
    for (const Case& test : cases) {
        SRawFile file;
        std::string error;
        EXPECT_EQ(CRawFileReader::ReadBytes(test.bytes, file, error), test.read) << test.bytes;
        const std::string& reason = test.read ? file.problem : error;
        if (test.reason.empty())
            EXPECT_TRUE(reason.empty()) << reason;
        else
            EXPECT_NE(reason.find(test.reason), std::string::npos) << reason << "\n" << test.bytes;
    }
    SRawFile file;
    std::string error;
    EXPECT_FALSE(CRawFileReader::ReadFile("/nonexistent/kivra.raw", file, error));
    EXPECT_NE(error.find("не удается открыть /nonexistent/kivra.raw"), std::string::npos) << error;
    EXPECT_FALSE(CRawFileReader::ReadFile("/tmp", file, error));
    EXPECT_NE(error.find("не обычный файл"), std::string::npos) << error;
}

// An analysis that gave no points ("No. Points: 0") before the next one is an empty plot, not a
// stopped run; a value the end of the file cuts is no value.
TEST(RawFileReaderInput, EmptyPlotsAndCutValues) {
    const std::string empty = "Title: t\nPlotname: Transient Analysis\nFlags: real\n"
                              "No. Variables: 1\nNo. Points: 0\nVariables:\n\t0\ttime\ttime\n";
    const std::string next = "Title: t\nPlotname: AC Analysis\nFlags: real\nNo. Variables: 1\n"
                             "No. Points: 1\nVariables:\n\t0\tfrequency\tfrequency\n";
    double one = 1;
    for (bool binary : {false, true}) {
        const std::string bytes =
            empty + (binary ? "Binary:\n" : "Values:\n") + next +
            (binary ? "Binary:\n" + std::string(reinterpret_cast<const char*>(&one), 8)
                    : std::string("Values:\n0\t1\n"));
        SRawFile file;
        std::string error;
        ASSERT_TRUE(CRawFileReader::ReadBytes(bytes, file, error)) << error;
        ASSERT_EQ(file.plots.size(), 2u) << binary;
        EXPECT_EQ(file.plots[0].points, 0u);
        EXPECT_FALSE(file.plots[0].CutShort());
        EXPECT_EQ(file.plots[1].points, 1u);
        EXPECT_TRUE(file.problem.empty()) << file.problem;
    }
    const std::string cut = "Title: t\nPlotname: Transient Analysis\nFlags: real\n"
                            "No. Variables: 2\nNo. Points: 2\nVariables:\n\t0\ttime\ttime\n"
                            "\t1\tv(a)\tvoltage\nValues:\n0\t0\n\t1\n\n1\t1e-3\n\t1.234";
    SRawFile file;
    std::string error;
    ASSERT_TRUE(CRawFileReader::ReadBytes(cut, file, error)) << error;
    EXPECT_EQ(file.plots[0].points, 1u);
    EXPECT_TRUE(file.plots[0].CutShort());
}

// A netlist of the corpus, with dot analyses only: every value ngspice prints for its .print line
// is the value the reader finds in the raw file ngspice writes of the same run.
TEST_F(RawFileReaderTest, ValuesAreWhatNgspicePrintsForACorpusNetlist) {
    const fs::path netlist = fs::path(KIVRA_CORPUS_DIR) / "ngspice-examples/cider/bjt/astable.cir";
    if (!fs::exists(netlist))
        GTEST_SKIP() << "the corpus is not beside the project: " << netlist;
    const std::string text = ReadBytes(netlist);
    const fs::path raw = Simulate(text, "binary");
    const SRawFile file = Read(raw);
    ASSERT_EQ(file.plots.size(), 1u);
    const SRawPlot& plot = file.plots[0];
    // The same netlist without a raw file prints its table: blocks of "Index time v(1) ..."
    // headings, each followed by rows of an index and values.
    const std::string command = "cd '" + folder.string() + "' && ngspice -b deck.cir 2>/dev/null";
    std::FILE* output = ::popen(command.c_str(), "r");
    ASSERT_NE(output, nullptr);
    std::vector<std::size_t> columns;  // the vector of each printed column
    int compared = 0;
    char buffer[4096];
    while (std::fgets(buffer, sizeof buffer, output) != nullptr) {
        std::istringstream line(buffer);
        std::string first;
        if (!(line >> first))
            continue;
        if (first == "Index") {
            columns.clear();
            for (std::string name; line >> name;) {
                std::size_t index = 0;
                while (index < plot.vectors.size() && plot.vectors[index].name != name)
                    ++index;
                columns.push_back(index);
            }
            continue;
        }
        if (columns.empty() || !std::isdigit(static_cast<unsigned char>(first[0])))
            continue;
        const std::size_t point = std::stoul(first);
        ASSERT_LT(point, plot.points);
        for (std::size_t column : columns) {
            double printed = 0;
            ASSERT_TRUE(line >> printed) << buffer;
            ASSERT_LT(column, plot.vectors.size()) << buffer;
            const double read = plot.vectors[column].real[point];
            // The table has seven digits, and the run without a raw file is a run of its own:
            // its last digits may differ. A value of another point or vector differs far more.
            EXPECT_NEAR(read, printed, 2e-5 * std::abs(printed) + 1e-9)
                << plot.vectors[column].name << " at " << point;
            ++compared;
        }
    }
    ::pclose(output);
    // Every point of the four voltages and the time (which each block of the table repeats).
    EXPECT_GE(compared, static_cast<int>(plot.points) * 5);
}

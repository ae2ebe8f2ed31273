// Search and Replace all, offscreen, each against a floor measured in the same run:
// - FindInText for a literal that occurs once near the end of a 1,000,000-line netlist, against a
//   plain memmem over the same lines (case-sensitive, and case-insensitive);
// - Replace all through the Replace dialog, against building the same replaced lines with plain
//   std::string operations, and with twice the matches in a text twice as long.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "CorvelEditView.h"
#include "CorvelTextBuffer.h"
#include "CorvelTextView.h"
#include "EditReplaceDlg.h"
#include "ModalHost.h"
#include "NetlistColoredView.h"
#include "NetlistGenerator.h"

namespace {

// The processor time of this thread: the ratios hold on a machine that is busy with other work.
template <typename Action>
double Seconds(Action&& action) {
    auto now = [] {
        timespec time{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &time);
        return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_nsec) * 1e-9;
    };
    double start = now();
    action();
    return now() - start;
}

// Exactly this many lines of generated netlist, about 35 bytes each, joined by CR LF.
std::string NetlistLines(int lines) {
    std::string text = GenerateNetlist(static_cast<std::size_t>(lines) * 40);
    std::size_t end = 0;
    for (int line = 0; line < lines; ++line) {
        end = text.find("\r\n", end);
        if (end == std::string::npos)
            std::abort();
        end += 2;
    }
    text.resize(end - 2);
    return text;
}

// Loads the text as a file is loaded.
void Fill(CCorvelTextBuffer& buffer, const std::string& text) {
    std::string path = (std::filesystem::temp_directory_path() / "kivra-search-bench.cir").string();
    std::ofstream(path, std::ios::binary).write(text.data(), text.size());
    bool loaded = buffer.LoadFile(path.c_str(), LineEndingStyle::Detect);
    std::filesystem::remove(path);
    if (!loaded)
        std::abort();
}

// --- FindInText against memmem

constexpr char kNeedle[] = "needle_node";

// The line of the first occurrence by memmem over every line, or -1.
int MemmemFloor(const CCorvelTextBuffer& buffer, const char* pattern) {
    std::size_t length = std::strlen(pattern);
    int total = buffer.LineTotal();
    for (int line = 0; line < total; ++line) {
        if (memmem(buffer.LineText(line), buffer.LineLength(line), pattern, length) != nullptr)
            return line;
    }
    return -1;
}

void FindInTextAgainstMemmem(benchmark::State& state) {
    std::string text = NetlistLines(1000000 - 1);
    // The only occurrence, on a line of its own 100 lines before the end.
    if (text.find(kNeedle) != std::string::npos)
        std::abort();
    std::size_t at = text.size();
    for (int line = 0; line < 100; ++line)
        at = text.rfind("\r\n", at - 1);
    text.insert(at + 2, std::string("R0 ") + kNeedle + " 0 1k\r\n");
    CCorvelTextBuffer buffer;
    Fill(buffer, text);
    text.clear();
    text.shrink_to_fit();
    CCorvelTextView view;
    view.BindBuffer(&buffer);
    const int expectedLine = buffer.LineTotal() - 101;

    double floor = 1e9, sensitive = 1e9, insensitive = 1e9;
    for (auto _ : state) {
        int line = -1;
        floor = std::min(floor, Seconds([&] { line = MemmemFloor(buffer, kNeedle); }));
        if (line != expectedLine)
            std::abort();
        TextPosition found;
        sensitive = std::min(sensitive, Seconds([&] {
                                 benchmark::DoNotOptimize(
                                     view.FindInText(kNeedle, {0, 0}, CaseSensitive, true, found));
                             }));
        if (found.y != expectedLine || found.x != 3)
            std::abort();
        found = {};
        insensitive = std::min(insensitive, Seconds([&] {
                                   benchmark::DoNotOptimize(view.FindInText(
                                       "NEEDLE_Node", {0, 0}, FindFlags{}, true, found));
                               }));
        if (found.y != expectedLine || found.x != 3)
            std::abort();
    }
    view.UnbindBuffer();
    state.counters["lines"] = buffer.LineTotal();
    state.counters["memmem_ms"] = floor * 1e3;
    state.counters["sensitive_ms"] = sensitive * 1e3;
    state.counters["insensitive_ms"] = insensitive * 1e3;
    state.counters["sensitive_ratio"] = sensitive / floor;
    state.counters["insensitive_ratio"] = insensitive / floor;
}
BENCHMARK(FindInTextAgainstMemmem)->Iterations(5)->Unit(benchmark::kMillisecond);

// --- Replace all

// Answers every message box with OK and counts them; the benchmark drives the dialog itself.
class CountingModalHost : public CModalHost {
public:
    CountingModalHost() { SetModalHost(this); }
    ~CountingModalHost() override { SetModalHost(nullptr); }
    int RunModal(QDialog&) override {
        ++shown;
        return QMessageBox::Ok;
    }
    QAction* RunMenu(QMenu&, const QPoint&) override { return nullptr; }
    bool OpenWithDesktop(const QUrl&) override { return false; }
    int shown = 0;
};

constexpr char kFound[] = "qz";  // absent from the generated text
constexpr char kReplacement[] = "QZ1";

// The generated netlist with kFound appended to every fifth line: matches = lines / 5.
std::string TextWithMatches(int matches) {
    std::string text = NetlistLines(matches * 5);
    if (text.find(kFound) != std::string::npos)
        std::abort();
    std::string marked;
    marked.reserve(text.size() + 4 * static_cast<std::size_t>(matches));
    int line = 0, placed = 0;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
        marked.append(text, start, end - start);
        if (line++ % 5 == 4 && placed < matches) {
            marked += ' ';
            marked += kFound;
            ++placed;
        }
        marked += "\r\n";
    }
    marked.append(text, start, std::string::npos);
    if (line++ % 5 == 4 && placed < matches) {
        marked += ' ';
        marked += kFound;
        ++placed;
    }
    if (placed != matches)
        std::abort();
    return marked;
}

// The replaced text, line by line, with plain string operations.
std::vector<std::string> ReplacedLinesFloor(const CCorvelTextBuffer& buffer) {
    const std::size_t foundLength = std::strlen(kFound);
    std::vector<std::string> lines;
    lines.reserve(buffer.LineTotal());
    for (int index = 0; index < buffer.LineTotal(); ++index) {
        std::string line(buffer.LineText(index), buffer.LineLength(index));
        for (std::size_t at = 0; (at = line.find(kFound, at)) != std::string::npos;
             at += std::strlen(kReplacement)) {
            line.replace(at, foundLength, kReplacement);
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

struct ReplaceTimes {
    double replaceAll = 0;
    double floor = 0;
};

ReplaceTimes ReplaceAllSeconds(int matches) {
    ReplaceTimes times;
    CCorvelTextBuffer buffer;
    Fill(buffer, TextWithMatches(matches));
    std::vector<std::string> expected;
    times.floor = Seconds([&] { expected = ReplacedLinesFloor(buffer); });
    {
        NetlistColored<CCorvelEditView> view;
        view.BindBuffer(&buffer);
        view.resize(1000, 800);
        view.show();
        QApplication::processEvents();
        CountingModalHost host;
        CEditReplaceDlg dialog(view, &view);
        dialog.scope = 1;
        dialog.DoModal();
        dialog.FindWhatEdit()->setText(QString::fromLatin1(kFound));
        dialog.ReplaceWithEdit()->setText(QString::fromLatin1(kReplacement));
        // The dialog has the focus, as it has while it runs.
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        QApplication::processEvents();
        if (view.IsFocused())
            std::abort();
        times.replaceAll = Seconds([&] { dialog.ReplaceAllButton()->click(); });
        // Every match replaced, and the search ended once with its message.
        if (host.shown != 2 || buffer.HistorySize() == 0)
            std::abort();
        view.UnbindBuffer();
    }
    if (static_cast<int>(expected.size()) != buffer.LineTotal())
        std::abort();
    for (int line = 0; line < buffer.LineTotal(); ++line) {
        if (expected[line] != std::string_view(buffer.LineText(line), buffer.LineLength(line)))
            std::abort();
    }
    return times;
}

void ReplaceAllLinearAndAgainstStrings(benchmark::State& state) {
    ReplaceTimes single{1e9, 1e9}, twice{1e9, 1e9};
    for (auto _ : state) {
        ReplaceTimes one = ReplaceAllSeconds(100000);
        ReplaceTimes two = ReplaceAllSeconds(200000);
        single = {std::min(single.replaceAll, one.replaceAll), std::min(single.floor, one.floor)};
        twice = {std::min(twice.replaceAll, two.replaceAll), std::min(twice.floor, two.floor)};
    }
    state.counters["replace_100k_ms"] = single.replaceAll * 1e3;
    state.counters["replace_200k_ms"] = twice.replaceAll * 1e3;
    state.counters["strings_100k_ms"] = single.floor * 1e3;
    state.counters["doubling_ratio"] = twice.replaceAll / single.replaceAll;
    state.counters["floor_ratio"] = single.replaceAll / single.floor;
}
BENCHMARK(ReplaceAllLinearAndAgainstStrings)->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace

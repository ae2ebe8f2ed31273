// Benchmarks of the text view, offscreen. Each reports a ratio of two costs measured in the same
// run: the view's caches must keep painting and typing independent of the length of the text.

#include <benchmark/benchmark.h>
#include <malloc.h>
#include <unistd.h>

#include <QApplication>
#include <QPixmap>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>

#include "BenchmarkChild.h"
#include "CorvelTextBuffer.h"
#include "CorvelTextView.h"
#include "NetlistColoredView.h"
#include "NetlistGenerator.h"
#include "ProcessStatus.h"
#include "Seconds.h"

namespace {

using NetlistView = NetlistColored<CCorvelTextView>;


// A generated netlist of about the given number of lines, made once per size for the whole run.
const std::string& GeneratedText(int lines) {
    static std::map<int, std::string> texts;
    auto found = texts.find(lines);
    if (found == texts.end())
        found = texts.emplace(lines, GenerateNetlist(static_cast<std::size_t>(lines) * 36)).first;
    return found->second;
}

// Gives the view a viewport of 60 lines by 160 columns.
void ShapeView(NetlistView& view) {
    view.resize(100, 100);
    QSize client = view.ClientRect().size();
    QSize extra = view.size() - client;
    view.resize(view.MarginWidth() + 160 * view.CharWidth() + extra.width(),
                60 * view.LineHeight() + extra.height());
}

// A buffer loaded from a file of the given text (by default about the given number of lines of
// generated netlist), shown in a view of 60 lines by 160 columns.
struct Fixture {
    explicit Fixture(int lines) : Fixture(GeneratedText(lines)) {}
    explicit Fixture(const std::string& text) {
        // Named after the process: two runs side by side must not share a file.
        static int count = 0;
        path = (std::filesystem::temp_directory_path() /
                ("kivra-view-bench-" + std::to_string(::getpid()) + "-" + std::to_string(++count) +
                 ".cir"))
                   .string();
        std::ofstream(path, std::ios::binary).write(text.data(), text.size());
        buffer.LoadFile(path.c_str(), LineEndingStyle::Detect);
        view.BindBuffer(&buffer);
        ShapeView(view);
        target = QPixmap(view.size());
    }
    ~Fixture() {
        view.UnbindBuffer();
        buffer.Clear();
        std::filesystem::remove(path);
    }
    void Paint() { view.render(&target); }

    std::string path;
    CCorvelTextBuffer buffer;
    NetlistView view;
    QPixmap target;
};

void PaintAtEndAgainstTop(benchmark::State& state) {
    Fixture fixture(1000000);
    double top = 1e9, end = 1e9;
    for (auto _ : state) {
        fixture.view.GoTextStart(false);
        fixture.Paint();
        top = std::min(top, Seconds([&] { fixture.Paint(); }));
        fixture.view.GoTextEnd(false);
        fixture.Paint();
        end = std::min(end, Seconds([&] { fixture.Paint(); }));
    }
    state.counters["top_ms"] = top * 1e3;
    state.counters["end_ms"] = end * 1e3;
    state.counters["ratio"] = end / top;
}
BENCHMARK(PaintAtEndAgainstTop)->Iterations(5)->Unit(benchmark::kMillisecond);

// Typing one character in the middle of the text and painting the viewport.
double TypeAndPaintSeconds(int lines, int keystrokes) {
    Fixture fixture(lines);
    int middle = fixture.buffer.LineTotal() / 2;
    fixture.view.PlaceCursor({0, middle});
    fixture.view.BringIntoView({0, middle});
    fixture.Paint();
    return Seconds([&] {
        for (int key = 0; key < keystrokes; ++key) {
            int endLine, endCharacter;
            fixture.buffer.InsertAt(&fixture.view, middle, 0, "x", endLine, endCharacter,
                                    EditAction::Typing);
            fixture.Paint();
        }
    });
}

void TypingInLargeAgainstSmallText(benchmark::State& state) {
    constexpr int kKeystrokes = 50;
    double small = 1e9, large = 1e9;
    for (auto _ : state) {
        small = std::min(small, TypeAndPaintSeconds(1000, kKeystrokes));
        large = std::min(large, TypeAndPaintSeconds(1000000, kKeystrokes));
    }
    state.counters["ms_per_key_1k_lines"] = small / kKeystrokes * 1e3;
    state.counters["ms_per_key_1M_lines"] = large / kKeystrokes * 1e3;
    state.counters["ratio"] = large / small;
}
BENCHMARK(TypingInLargeAgainstSmallText)->Iterations(3)->Unit(benchmark::kMillisecond);

void PageDownAgainstOnePaint(benchmark::State& state) {
    Fixture fixture(20000);
    double onePaint = 1e9, perPage = 1e9;
    for (auto _ : state) {
        fixture.view.GoTextStart(false);
        fixture.buffer.MakeReadOnly(false);
        fixture.Paint();
        onePaint = std::min(onePaint, Seconds([&] { fixture.Paint(); }));
        int pages = 0;
        double seconds = Seconds([&] {
            while (fixture.view.TopLine() < 10000) {
                fixture.view.StepPageDown(false);
                fixture.Paint();
                ++pages;
            }
        });
        perPage = std::min(perPage, seconds / pages);
        // Start the next round with the colouring states forgotten again.
        int endLine, endCharacter;
        fixture.buffer.InsertAt(nullptr, 0, 0, "", endLine, endCharacter, EditAction::Typing);
    }
    state.counters["one_paint_ms"] = onePaint * 1e3;
    state.counters["per_page_ms"] = perPage * 1e3;
    state.counters["ratio"] = perPage / onePaint;
}
BENCHMARK(PageDownAgainstOnePaint)->Iterations(3)->Unit(benchmark::kMillisecond);

// --- Two views of one buffer

// Typing at line 5 of a window split in two: the first pane shows the top with the caret, the
// second the end of the text. Every key goes through the buffer as the edit view sends it, and
// both panes paint. The second pane's lines lie below the change: nothing about them changed
// but their numbers, so they must cost no more than in a short text.
struct SplitTyping {
    double firstKeySeconds = 0;
    double perKeySeconds = 0;
};

SplitTyping TypeInSplitWindow(int lines, int keystrokes) {
    Fixture fixture(lines);
    NetlistView& top = fixture.view;
    NetlistView bottom;
    bottom.BindBuffer(&fixture.buffer);
    ShapeView(bottom);
    QPixmap bottomTarget(bottom.size());
    top.PlaceCursor({0, 5});
    bottom.GoTextEnd(false);
    auto typeOneKey = [&] {
        TextPosition caret = top.CaretPosition();
        int endLine, endCharacter;
        fixture.buffer.InsertAt(&top, caret.y, caret.x, "x", endLine, endCharacter,
                                EditAction::Typing);
        top.PlaceCursor({endCharacter, endLine});
        fixture.Paint();
        bottom.render(&bottomTarget);
    };
    fixture.Paint();
    bottom.render(&bottomTarget);
    SplitTyping result;
    // The first key may build what later keys only update; it is reported on its own.
    result.firstKeySeconds = Seconds(typeOneKey);
    result.perKeySeconds = Seconds([&] {
                               for (int key = 0; key < keystrokes; ++key)
                                   typeOneKey();
                           }) /
                           keystrokes;
    bottom.UnbindBuffer();
    return result;
}

void TypingInSplitWindowLargeAgainstSmall(benchmark::State& state) {
    constexpr int kKeystrokes = 20;
    SplitTyping small{1e9, 1e9}, large{1e9, 1e9};
    for (auto _ : state) {
        SplitTyping smallRound = TypeInSplitWindow(1000, kKeystrokes);
        SplitTyping largeRound = TypeInSplitWindow(1000000, kKeystrokes);
        small.firstKeySeconds = std::min(small.firstKeySeconds, smallRound.firstKeySeconds);
        small.perKeySeconds = std::min(small.perKeySeconds, smallRound.perKeySeconds);
        large.firstKeySeconds = std::min(large.firstKeySeconds, largeRound.firstKeySeconds);
        large.perKeySeconds = std::min(large.perKeySeconds, largeRound.perKeySeconds);
    }
    state.counters["ms_per_key_1k_lines"] = small.perKeySeconds * 1e3;
    state.counters["ms_per_key_1M_lines"] = large.perKeySeconds * 1e3;
    state.counters["first_key_ms_1k_lines"] = small.firstKeySeconds * 1e3;
    state.counters["first_key_ms_1M_lines"] = large.firstKeySeconds * 1e3;
    state.counters["ratio"] = large.perKeySeconds / small.perKeySeconds;
}
BENCHMARK(TypingInSplitWindowLargeAgainstSmall)->Iterations(2)->Unit(benchmark::kMillisecond);

// --- The first paint at the end of a text just opened

// Ctrl+End in a text of a million lines just loaded and painted at its top, then the paint of
// the end: against painting the same place again once idle time has computed every state. The
// lines between are not coloured before the first paint; idle time colours them in slices, and
// the longest slice is how long the window waits at most.
void FirstPaintAtEndAgainstWarm(benchmark::State& state) {
    double cold = 1e9, warm = 1e9, longestSlice = 0, idle = 0;
    for (auto _ : state) {
        Fixture fixture(1000000);
        // The window opened as the program opens it: shown, which measures the widths of the
        // lines for the horizontal bar, and painted at the top of the text.
        fixture.view.show();
        fixture.Paint();
        cold = std::min(cold, Seconds([&] {
                            fixture.view.GoTextEnd(false);
                            fixture.Paint();
                        }));
        idle = Seconds([&] {
            while (fixture.view.StatesPending()) {
                longestSlice = std::max(longestSlice, Seconds([] {
                                            QCoreApplication::processEvents();
                                        }));
            }
        });
        for (int paint = 0; paint < 5; ++paint)
            warm = std::min(warm, Seconds([&] { fixture.Paint(); }));
    }
    state.counters["cold_ms"] = cold * 1e3;
    state.counters["warm_ms"] = warm * 1e3;
    state.counters["ratio"] = cold / warm;
    state.counters["idle_ms"] = idle * 1e3;
    state.counters["longest_idle_slice_ms"] = longestSlice * 1e3;
}
BENCHMARK(FirstPaintAtEndAgainstWarm)->Iterations(3)->Unit(benchmark::kMillisecond);

// --- One very long line

// Netlist-like tokens, a tab now and then, up to exactly the given number of characters.
std::string LongLine(std::size_t characters) {
    static const char* const kTokens[] = {"10k ", "2n2222 ", "R17 ", "node12\t", "4.7u ",
                                          "Q3 ",  "1meg ",   "out ", "*x ",      "0.5\t"};
    std::string line;
    line.reserve(characters + 16);
    for (std::size_t token = 0; line.size() < characters; ++token)
        line += kTokens[token % std::size(kTokens)];
    line.resize(characters);
    return line;
}

// A netlist whose third line (line 2) is one line of the given number of characters, with an
// ordinary screenful of lines after it.
std::string TextWithLongLine(std::size_t characters) {
    return "Long line\r\n* one line of many elements follows\r\n" + LongLine(characters) + "\r\n" +
           GeneratedText(200);
}

// The best of a few paints; one paint when a paint is slow, to keep the run short.
double BestPaintSeconds(Fixture& fixture) {
    double best = Seconds([&] { fixture.Paint(); });
    for (int paint = 1; paint < 5 && best < 1.0; ++paint)
        best = std::min(best, Seconds([&] { fixture.Paint(); }));
    return best;
}

// A view of the text with a long line of the argument's number of characters, scrolled to the
// line's middle, made in a child process. The file goes as soon as it is loaded, since the child
// may be stopped before its end.
template <typename Work>
void WithLongLine(const std::string& characters, Work&& work) {
    Fixture fixture(TextWithLongLine(std::stoul(characters)));
    std::filesystem::remove(fixture.path);
    fixture.view.ScrollToColumn(fixture.view.LineColumns(2) / 2, true);
    work(fixture);
}

// Sends 0 once set up, then the best paint in microseconds.
const bool kPaintLongLineKnown = BenchmarkChild::Register(
    "paint-long-line", [](const std::string& characters, const BenchmarkChild::Send& send) {
        WithLongLine(characters, [&](Fixture& fixture) {
            send(0);
            send(static_cast<long>(BestPaintSeconds(fixture) * 1e6));
        });
    });

// Sends the resident set before one paint, then the peak during it, in KiB.
const bool kPaintMemoryKnown = BenchmarkChild::Register(
    "paint-memory", [](const std::string& characters, const BenchmarkChild::Send& send) {
        WithLongLine(characters, [&](Fixture& fixture) {
            ::malloc_trim(0);
            std::ofstream("/proc/self/clear_refs") << "5";  // the peak starts again here
            send(StatusKilobytes("VmRSS:"));
            fixture.Paint();
            send(StatusKilobytes("VmHWM:"));
        });
    });

// A screen showing a long line, scrolled to its middle, against a screen of ordinary lines. A
// paint still unfinished after 30 s is reported as taking 30 s (finished=0).
void PaintLongLineAgainstOrdinary(benchmark::State& state) {
    constexpr int kDeadlineMs = 30000;
    const std::size_t characters = static_cast<std::size_t>(state.range(0));
    double ordinary = 1e9, longLine = 1e9;
    bool finished = true;
    for (auto _ : state) {
        {
            Fixture fixture(1000);
            fixture.Paint();
            ordinary = std::min(ordinary, BestPaintSeconds(fixture));
        }
        // In a child, so that a paint without bound can be stopped.
        BenchmarkChild::Figures child =
            BenchmarkChild::Run("paint-long-line", std::to_string(characters), 2, kDeadlineMs);
        if (child.figures.empty()) {
            state.SkipWithError("the child ended before its paint");
            break;
        }
        finished = finished && child.finished;
        longLine = std::min(longLine, child.finished ? child.figures[1] / 1e6 : kDeadlineMs / 1e3);
    }
    state.counters["characters"] = static_cast<double>(characters);
    state.counters["ordinary_ms"] = ordinary * 1e3;
    state.counters["long_line_ms"] = longLine * 1e3;
    state.counters["finished"] = finished ? 1 : 0;
    state.counters["ratio"] = longLine / ordinary;
}
BENCHMARK(PaintLongLineAgainstOrdinary)
    ->Arg(100000)
    ->Arg(1000000)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

// Typing at the end of a line, the caret kept in view, and painting: the long line against an
// ordinary one.
double TypeAtLineEndSeconds(Fixture& fixture, int line, int keystrokes) {
    fixture.view.PlaceCursor({fixture.buffer.LineLength(line), line});
    fixture.view.BringIntoView(fixture.view.CaretPosition());
    fixture.Paint();
    return Seconds([&] {
               for (int key = 0; key < keystrokes; ++key) {
                   int endLine, endCharacter;
                   fixture.buffer.InsertAt(&fixture.view, line, fixture.buffer.LineLength(line),
                                           "x", endLine, endCharacter, EditAction::Typing);
                   fixture.view.PlaceCursor({endCharacter, endLine});
                   fixture.view.BringIntoView(fixture.view.CaretPosition());
                   fixture.Paint();
               }
           }) /
           keystrokes;
}

void TypingInLongLineAgainstOrdinary(benchmark::State& state) {
    // Fewer keys in the long line: each may take a second where its cost grows with the line.
    constexpr int kOrdinaryKeystrokes = 50;
    constexpr int kLongLineKeystrokes = 5;
    const std::string text = TextWithLongLine(100000);
    double ordinary = 1e9, longLine = 1e9;
    for (auto _ : state) {
        {
            Fixture fixture(1000);
            ordinary = std::min(ordinary, TypeAtLineEndSeconds(fixture, 2, kOrdinaryKeystrokes));
        }
        Fixture fixture(text);
        longLine = std::min(longLine, TypeAtLineEndSeconds(fixture, 2, kLongLineKeystrokes));
    }
    state.counters["ms_per_key_ordinary"] = ordinary * 1e3;
    state.counters["ms_per_key_100k_line"] = longLine * 1e3;
    state.counters["ratio"] = longLine / ordinary;
}
BENCHMARK(TypingInLongLineAgainstOrdinary)->Iterations(1)->Unit(benchmark::kMillisecond);

// The memory a paint of one line of 20 MB takes: the growth of the peak resident set over the
// paint, in a child so that nothing else this program holds or freed counts. A paint unfinished
// after 20 s is stopped (finished=0), and the peak it had reached by then is reported.
void PeakMemoryOfPaintingHugeLine(benchmark::State& state) {
    constexpr std::size_t kCharacters = 20u << 20;
    constexpr int kDeadlineMs = 20000;
    long growthKib = 0;
    bool finished = false;
    for (auto _ : state) {
        BenchmarkChild::Figures child =
            BenchmarkChild::Run("paint-memory", std::to_string(kCharacters), 2, kDeadlineMs);
        if (child.figures.empty()) {
            state.SkipWithError("the child ended before its paint");
            break;
        }
        finished = child.finished;
        growthKib = (finished ? child.figures[1] : child.peakKib) - child.figures[0];
    }
    state.counters["finished"] = finished ? 1 : 0;
    state.counters["peak_growth_MiB"] = growthKib / 1024.0;
    state.counters["growth_over_line"] = growthKib * 1024.0 / kCharacters;
}
BENCHMARK(PeakMemoryOfPaintingHugeLine)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

// Benchmarks of the text view, offscreen. Each reports a ratio of two costs measured in the same
// run: the view's caches must keep painting and typing independent of the length of the text.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPixmap>
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "CorvelTextBuffer.h"
#include "CorvelTextView.h"
#include "NetlistColoredView.h"
#include "NetlistGenerator.h"

namespace {

using NetlistView = NetlistColored<CCorvelTextView>;

template <typename Action>
double Seconds(Action&& action) {
    auto start = std::chrono::steady_clock::now();
    action();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// A buffer of about the given number of lines of generated netlist, shown in a view whose
// viewport is 60 lines by 160 columns.
struct Fixture {
    explicit Fixture(int lines) {
        path = (std::filesystem::temp_directory_path() /
                ("kivra-view-bench-" + std::to_string(lines) + ".cir"))
                   .string();
        std::string text = GenerateNetlist(static_cast<std::size_t>(lines) * 36);
        std::ofstream(path, std::ios::binary).write(text.data(), text.size());
        buffer.LoadFile(path.c_str(), LineEndingStyle::Detect);
        view.BindBuffer(&buffer);
        view.resize(100, 100);
        QSize client = view.ClientRect().size();
        QSize extra = view.size() - client;
        view.resize(view.MarginWidth() + 160 * view.CharWidth() + extra.width(),
                    60 * view.LineHeight() + extra.height());
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

}  // namespace

// Typing through the whole key-event path, with the viewport repainted after every key, in the
// middle of a long and of a short netlist: the cost per key must not grow with the text.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QKeyEvent>
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>

#include "CorvelEditView.h"
#include "CorvelTextBuffer.h"
#include "NetlistColoredView.h"
#include "NetlistGenerator.h"
#include "TextEncoding.h"
#include "Windows1251.h"

namespace {

// Counts its paints, to make sure that every key was painted.
class NetlistEditView : public NetlistColored<CCorvelEditView> {
public:
    int paints = 0;

protected:
    void paintEvent(QPaintEvent* event) override {
        ++paints;
        CCorvelEditView::paintEvent(event);
    }
};

// In a UTF-8 document the generated comments are UTF-8 and the key types a Cyrillic letter.
double TypingSeconds(int lines, int characters,
                     TextEncoding encoding = TextEncoding::Windows1251) {
    std::string path = (std::filesystem::temp_directory_path() /
                        ("kivra-edit-bench-" + std::to_string(lines) + ".cir"))
                           .string();
    std::string text = GenerateNetlist(static_cast<std::size_t>(lines) * 36);
    if (encoding == TextEncoding::Utf8)
        text = Windows1251::Decode(text).toUtf8().toStdString();
    const QString key = encoding == TextEncoding::Utf8 ? QStringLiteral("\u0436") : QStringLiteral("a");
    std::ofstream(path, std::ios::binary).write(text.data(), text.size());
    CCorvelTextBuffer buffer;
    buffer.LoadFile(path.c_str(), LineEndingStyle::Detect);
    double seconds = 0;
    {
        NetlistEditView view;
        view.BindBuffer(&buffer);
        view.SetEncoding(encoding);
        view.resize(100, 100);
        QSize extra = view.size() - view.ClientRect().size();
        view.resize(view.MarginWidth() + 160 * view.CharWidth() + extra.width(),
                    60 * view.LineHeight() + extra.height());
        view.show();
        QApplication::processEvents();
        int middle = buffer.LineTotal() / 2;
        // The caret in the middle of the window, so that each key repaints half of it.
        view.ScrollToTopLine(middle - 30, true);
        view.PlaceCursor({0, middle});
        QApplication::processEvents();

        seconds = [&] {
            auto start = std::chrono::steady_clock::now();
            for (int typed = 0; typed < characters; ++typed) {
                QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, key);
                QApplication::sendEvent(&view, &press);
                QApplication::processEvents();  // paints what the key changed
                // Every 40 characters the caret goes down a line, so that no line grows long.
                if (typed % 40 == 39) {
                    QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
                    QApplication::sendEvent(&view, &down);
                }
            }
            return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        }();
        // Every key must have been painted, or the figure says nothing.
        if (view.paints < characters)
            std::abort();
        view.UnbindBuffer();
    }
    buffer.Clear();
    std::filesystem::remove(path);
    return seconds;
}

void TypingInLargeAgainstSmallDocument(benchmark::State& state) {
    constexpr int kKeystrokes = 10000;
    double small = 1e9, large = 1e9;
    for (auto _ : state) {
        small = std::min(small, TypingSeconds(1000, kKeystrokes));
        large = std::min(large, TypingSeconds(1000000, kKeystrokes));
    }
    state.counters["ms_per_key_1k_lines"] = small / kKeystrokes * 1e3;
    state.counters["ms_per_key_1M_lines"] = large / kKeystrokes * 1e3;
    state.counters["ratio"] = large / small;
}
BENCHMARK(TypingInLargeAgainstSmallDocument)->Iterations(1)->Unit(benchmark::kMillisecond);

// The same in UTF-8 documents, and the cost of a UTF-8 key against a Windows-1251 one.
void TypingInLargeAgainstSmallUtf8Document(benchmark::State& state) {
    constexpr int kKeystrokes = 10000;
    double small = 1e9, large = 1e9, large1251 = 1e9;
    for (auto _ : state) {
        small = std::min(small, TypingSeconds(1000, kKeystrokes, TextEncoding::Utf8));
        large = std::min(large, TypingSeconds(1000000, kKeystrokes, TextEncoding::Utf8));
        large1251 = std::min(large1251, TypingSeconds(1000000, kKeystrokes));
    }
    state.counters["ms_per_key_1k_lines"] = small / kKeystrokes * 1e3;
    state.counters["ms_per_key_1M_lines"] = large / kKeystrokes * 1e3;
    state.counters["ratio"] = large / small;
    state.counters["utf8_against_1251"] = large / large1251;
}
BENCHMARK(TypingInLargeAgainstSmallUtf8Document)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

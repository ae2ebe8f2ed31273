// Benchmarks of the text buffer. Each reports its time as a ratio against a floor measured in the
// same run on the same data, so that the figures hold on any machine.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <malloc.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "CorvelTextBuffer.h"
#include "NetlistGenerator.h"
#include "ProcessStatus.h"
#include "Seconds.h"

namespace {

constexpr std::size_t kLargeFileBytes = 100u << 20;

// Never destroyed, so that the clean-up at exit can still name it.
const std::filesystem::path& BenchFolder() {
    static const std::filesystem::path* folder = [] {
        auto* path = new std::filesystem::path(std::filesystem::temp_directory_path() /
                                               ("kivra-bench-" + std::to_string(::getpid())));
        std::filesystem::create_directories(*path);
        return path;
    }();
    static const bool cleanUpRegistered =
        std::atexit([] { std::filesystem::remove_all(BenchFolder()); }) == 0;
    (void)cleanUpRegistered;
    return *folder;
}

std::string WriteFile(const std::string& name, const std::string& bytes) {
    std::string path = (BenchFolder() / name).string();
    std::ofstream(path, std::ios::binary).write(bytes.data(), bytes.size());
    return path;
}

const std::string& LargeNetlist() {
    static const std::string text = GenerateNetlist(kLargeFileBytes);
    return text;
}

const std::string& LargeNetlistPath() {
    static const std::string path = WriteFile("large.cir", LargeNetlist());
    return path;
}

// The floor for loading: only the work no loader can leave out. The file is read in chunks of the
// loader's size, the line breaks are found, the bytes of each line are copied into one contiguous
// store and each line gets one index entry (where it ends in the store). Store and index are
// allocated once, as large as the file could need; only the pages written cost anything, so
// neither is ever copied as it grows.
struct SplitText {
    std::unique_ptr<char[]> bytes;
    std::unique_ptr<std::uint32_t[]> lineEnds;  // offsets in bytes; the files here are < 4 GiB
    std::size_t lineCount = 0;
};

SplitText ReadAndSplit(const std::string& path) {
    SplitText text;
    int descriptor = ::open(path.c_str(), O_RDONLY);
    struct stat attributes {};
    if (descriptor < 0 || ::fstat(descriptor, &attributes) != 0)
        std::abort();
    std::size_t size = static_cast<std::size_t>(attributes.st_size);
    // Left uninitialised on purpose: touching them here would be work the loader does not do.
    text.bytes.reset(new char[size + 1]);
    text.lineEnds.reset(new std::uint32_t[size + 2]);  // at most one line per byte, and the last
    char* store = text.bytes.get();
    std::uint32_t* lineEnds = text.lineEnds.get();
    std::size_t used = 0, lineStart = 0, lines = 0;
    static char chunk[CCorvelTextBuffer::kReadChunkSize];
    for (;;) {
        ssize_t count = ::read(descriptor, chunk, sizeof chunk);
        if (count <= 0)
            break;
        const char* at = chunk;
        const char* end = chunk + count;
        while (const void* found = std::memchr(at, '\n', end - at)) {
            const char* lineFeed = static_cast<const char*>(found);
            std::memcpy(store + used, at, lineFeed - at);
            used += lineFeed - at;
            // A CR right before the LF belongs to the break, even when a chunk ended between them.
            if (used > lineStart && store[used - 1] == '\r')
                --used;
            lineEnds[lines++] = static_cast<std::uint32_t>(used);
            lineStart = used;
            at = lineFeed + 1;
        }
        std::memcpy(store + used, at, end - at);
        used += end - at;
    }
    ::close(descriptor);
    lineEnds[lines++] = static_cast<std::uint32_t>(used);  // the line after the last break
    text.lineCount = lines;
    return text;
}

// The floor for storing: one plain write of the same bytes, fsync, rename.
void PlainWrite(const std::string& bytes, const std::string& path) {
    std::string temporary = path + ".tmp";
    int descriptor = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t count = ::write(descriptor, bytes.data() + done, bytes.size() - done);
        if (count <= 0)
            std::abort();
        done += static_cast<std::size_t>(count);
    }
    ::fsync(descriptor);
    ::close(descriptor);
    std::rename(temporary.c_str(), path.c_str());
}


class CountingObserver : public CTextBufferObserver {
public:
    void RefreshAfterChange(CTextBufferObserver*, const CUpdateContext* context, unsigned,
                            int) override {
        if (context != nullptr)
            context->AdjustPosition(caret);
        ++changes;
    }
    void AfterEditAction(EditAction, const char*) override { ++actions; }

    TextPosition caret;
    long changes = 0;
    long actions = 0;
};

// Loading a file of the given number of MiB, against the floor on the same file. The two
// alternate, and each keeps its best time, so that a slow moment of the machine hurts neither.
void LoadFileAgainstFloor(benchmark::State& state) {
    const std::size_t bytes = static_cast<std::size_t>(state.range(0)) << 20;
    const std::string path =
        bytes == kLargeFileBytes
            ? LargeNetlistPath()
            : WriteFile("load-" + std::to_string(state.range(0)) + ".cir", GenerateNetlist(bytes));
    double floor = 1e9, load = 1e9;
    for (auto _ : state) {
        // Each starts with the memory freed before given back to the system, as the first open
        // in a program finds it: otherwise whichever reuses warm pages of the other wins.
        ::malloc_trim(0);
        SplitText split;
        floor = std::min(floor, Seconds([&] { split = ReadAndSplit(path); }));
        benchmark::DoNotOptimize(split.lineCount);
        std::size_t floorLines = split.lineCount;
        split = SplitText();

        ::malloc_trim(0);
        CCorvelTextBuffer buffer;
        load = std::min(load,
                        Seconds([&] { buffer.LoadFile(path.c_str(), LineEndingStyle::Detect); }));
        // Both must have seen the same lines, or the comparison means nothing.
        if (static_cast<std::size_t>(buffer.LineTotal()) != floorLines)
            std::abort();
        buffer.Clear();
    }
    if (bytes != kLargeFileBytes)
        std::filesystem::remove(path);
    state.counters["MiB"] = static_cast<double>(state.range(0));
    state.counters["floor_ms"] = floor * 1e3;
    state.counters["load_ms"] = load * 1e3;
    state.counters["ratio"] = load / floor;
}
// Small files take more rounds: their times are short enough for the machine's noise to matter.
BENCHMARK(LoadFileAgainstFloor)->Arg(1)->Iterations(40)->Unit(benchmark::kMillisecond);
BENCHMARK(LoadFileAgainstFloor)->Arg(10)->Iterations(10)->Unit(benchmark::kMillisecond);
BENCHMARK(LoadFileAgainstFloor)->Arg(100)->Iterations(4)->Unit(benchmark::kMillisecond);

void StoreFileAgainstFloor(benchmark::State& state) {
    const std::string& bytes = LargeNetlist();
    CCorvelTextBuffer buffer;
    buffer.LoadFile(LargeNetlistPath().c_str(), LineEndingStyle::Detect);
    std::string floorPath = (BenchFolder() / "floor-store.cir").string();
    std::string storePath = (BenchFolder() / "store.cir").string();
    double floor = 1e9, store = 1e9;
    for (auto _ : state) {
        floor = std::min(floor, Seconds([&] { PlainWrite(bytes, floorPath); }));
        store =
            std::min(store, Seconds([&] {
                         if (!buffer.StoreFile(storePath.c_str(), LineEndingStyle::Detect, true))
                             std::abort();
                     }));
    }
    if (std::filesystem::file_size(storePath) != bytes.size())
        std::abort();
    std::filesystem::remove(floorPath);
    std::filesystem::remove(storePath);
    buffer.Clear();
    state.counters["floor_ms"] = floor * 1e3;
    state.counters["store_ms"] = store * 1e3;
    state.counters["ratio"] = store / floor;
}
BENCHMARK(StoreFileAgainstFloor)->Iterations(5)->Unit(benchmark::kMillisecond);

// Memory taken by loading, measured in a child process so that nothing else this program did
// counts: the growth of the peak resident set over the file's size.
void PeakMemoryOfLoading(benchmark::State& state) {
    const std::string& path = LargeNetlistPath();
    double ratio = 0, afterRatio = 0;
    for (auto _ : state) {
        int channel[2];
        if (::pipe(channel) != 0)
            std::abort();
        pid_t child = ::fork();
        if (child == 0) {
            std::ofstream("/proc/self/clear_refs") << "5";  // restart the peak from here
            long before = StatusKilobytes("VmRSS:");
            auto* buffer = new CCorvelTextBuffer;
            buffer->LoadFile(path.c_str(), LineEndingStyle::Detect);
            long figures[2] = {StatusKilobytes("VmHWM:") - before,
                               StatusKilobytes("VmRSS:") - before};
            if (::write(channel[1], figures, sizeof figures) != sizeof figures)
                _exit(1);
            _exit(0);
        }
        long figures[2] = {0, 0};
        if (::read(channel[0], figures, sizeof figures) != sizeof figures)
            std::abort();
        ::waitpid(child, nullptr, 0);
        ::close(channel[0]);
        ::close(channel[1]);
        double size = static_cast<double>(std::filesystem::file_size(path));
        ratio = figures[0] * 1024.0 / size;
        afterRatio = figures[1] * 1024.0 / size;
    }
    state.counters["peak_over_file_size"] = ratio;
    state.counters["after_over_file_size"] = afterRatio;
}
BENCHMARK(PeakMemoryOfLoading)->Iterations(1)->Unit(benchmark::kMillisecond);

// Typing one character the way the edit view does: a merging group around each InsertAt.
double TypingSeconds(int lineCount, int keystrokes) {
    std::string path = WriteFile("typing-" + std::to_string(lineCount) + ".cir",
                                 GenerateNetlist(static_cast<std::size_t>(lineCount) * 36));
    CCorvelTextBuffer buffer;
    buffer.LoadFile(path.c_str(), LineEndingStyle::Detect);
    CountingObserver view;
    buffer.AttachView(&view);
    int middle = buffer.LineTotal() / 2;
    double seconds = Seconds([&] {
        for (int key = 0; key < keystrokes; ++key) {
            int line = middle - 400 + key % 800;
            int endLine, endCharacter;
            buffer.OpenUndoGroup(true);
            buffer.InsertAt(&view, line, std::min(5, buffer.LineLength(line)), "a", endLine,
                            endCharacter, EditAction::Typing);
            buffer.CloseUndoGroup(&view);
        }
    });
    buffer.DetachView(&view);
    buffer.Clear();
    return seconds;
}

void TypingSmallAgainstLargeBuffer(benchmark::State& state) {
    constexpr int kKeystrokes = 200000;
    double small = 1e9, large = 1e9;
    for (auto _ : state) {
        small = std::min(small, TypingSeconds(1000, kKeystrokes));
        large = std::min(large, TypingSeconds(1000000, kKeystrokes));
    }
    state.counters["ns_per_key_1k_lines"] = small / kKeystrokes * 1e9;
    state.counters["ns_per_key_1M_lines"] = large / kKeystrokes * 1e9;
    state.counters["ratio"] = large / small;
}
BENCHMARK(TypingSmallAgainstLargeBuffer)->Iterations(3)->Unit(benchmark::kMillisecond);

// Undo and redo of a 100,000-record history against the cost of making those edits.
void UndoRedoAgainstEdits(benchmark::State& state) {
    constexpr int kRecords = 100000;
    std::string path = WriteFile("undo.cir", GenerateNetlist(1000 * 36));
    double edits = 0, undo = 0, redo = 0;
    for (auto _ : state) {
        CCorvelTextBuffer buffer;
        buffer.LoadFile(path.c_str(), LineEndingStyle::Detect);
        buffer.SetHistoryLimit(kRecords + 1);
        CountingObserver view;
        buffer.AttachView(&view);
        edits = Seconds([&] {
            for (int record = 0; record < kRecords; ++record) {
                int line = record % std::min(997, buffer.LineTotal());
                int endLine, endCharacter;
                if (record % 8 == 0)
                    buffer.OpenUndoGroup(false);
                if (record % 5 == 4 && buffer.LineLength(line) > 0) {
                    buffer.DeleteRange(&view, line, 0, line, 1, EditAction::Delete);
                } else if (record % 50 == 49) {
                    buffer.InsertAt(&view, line, 0, "\r\n", endLine, endCharacter,
                                    EditAction::Typing);
                } else {
                    buffer.InsertAt(&view, line, 0, "x", endLine, endCharacter, EditAction::Typing);
                }
                if (record % 8 == 7)
                    buffer.CloseUndoGroup(&view);
            }
        });
        if (buffer.HistorySize() != kRecords)
            std::abort();
        TextPosition position;
        undo = Seconds([&] {
            while (buffer.CanStepBack())
                buffer.StepBack(position);
        });
        redo = Seconds([&] {
            while (buffer.CanStepForward())
                buffer.StepForward(position);
        });
        buffer.DetachView(&view);
        buffer.Clear();
    }
    state.counters["edits_ms"] = edits * 1e3;
    state.counters["undo_ratio"] = undo / edits;
    state.counters["redo_ratio"] = redo / edits;
}
BENCHMARK(UndoRedoAgainstEdits)->Iterations(3)->Unit(benchmark::kMillisecond);

// Pasting many lines near the top of a large text moves the line records below once, whatever
// the number of lines pasted: ten times the lines costs at most about ten times as much (a move per
// pasted line would cost a hundred times). Undoing the deletion of the same lines is the same
// insertion.
void PasteOfManyLinesIsLinear(benchmark::State& state) {
    std::string path = WriteFile("paste.cir", GenerateNetlist(std::size_t{1000000} * 36));
    auto pasteSeconds = [&](int pastedLines) {
        std::string text;
        for (int line = 0; line < pastedLines; ++line)
            text += "R" + std::to_string(line) + " in out 10k\r\n";
        CCorvelTextBuffer buffer;
        buffer.LoadFile(path.c_str(), LineEndingStyle::Detect);
        double seconds = Seconds([&] {
            int endLine, endCharacter;
            buffer.InsertAt(nullptr, 1, 0, text.c_str(), endLine, endCharacter, EditAction::Paste);
        });
        buffer.Clear();
        return seconds;
    };
    double small = 1e9, large = 1e9;
    for (auto _ : state) {
        small = std::min(small, pasteSeconds(2000));
        large = std::min(large, pasteSeconds(20000));
    }
    state.counters["paste_2k_lines_ms"] = small * 1e3;
    state.counters["paste_20k_lines_ms"] = large * 1e3;
    state.counters["ratio_20k_over_2k"] = large / small;
}
BENCHMARK(PasteOfManyLinesIsLinear)->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "CorvelTextBuffer.h"
#include "NetlistColorizer.h"

namespace {

// Every line of every corpus file is coloured with the state carried from the line before, as
// painting does: line 0, the title, only for its end state.
TEST(CorpusColoring, EveryLineOfEveryFileIsColouredSoundly) {
    std::filesystem::path corpus = KIVRA_CORPUS_DIR;
    if (!std::filesystem::is_directory(corpus)) {
        GTEST_SKIP() << "no corpus at " << corpus << "; these cases need ../shared/corpus";
    }
    int files = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(corpus)) {
        if (!entry.is_regular_file())
            continue;
        CCorvelTextBuffer buffer;
        ASSERT_TRUE(buffer.LoadFile(entry.path().c_str(), LineEndingStyle::Detect)) << entry.path();
        ++files;
        LineScanState state = 0;
        std::vector<ColorRun> runs;
        for (int line = 0; line < buffer.LineTotal(); ++line) {
            int length = buffer.LineLength(line);
            runs.assign(3 * length + 1, ColorRun{});
            int count = 0;
            LineScanState next = ClassifyNetlistLine(state, buffer.LineText(line), length,
                                                     line == 0 ? nullptr : runs.data(), count);
            ASSERT_LE(count, 3 * length) << entry.path() << ":" << line;
            for (int index = 1; index < count; ++index) {
                ASSERT_GE(runs[index].start, runs[index - 1].start) << entry.path() << ":" << line;
            }
            ASSERT_EQ(next & ~kAllScanBits, 0u);
            state = next;
        }
        buffer.Clear();
    }
    EXPECT_GT(files, 100);
}

}  // namespace

// A file loaded and stored again comes back byte for byte: over the netlist corpus and over
// generated files in each line-ending style.

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "CorvelTextBuffer.h"
#include "TempFolder.h"

using kivra_test::LinesOf;
using kivra_test::ReadBytes;
using kivra_test::TempFolder;
using kivra_test::WriteBytes;

namespace {

// Loads the file with Detect and stores it with Detect; the stored bytes.
std::string RoundTrip(const std::string& path, const TempFolder& folder,
                      LineEndingStyle* detected = nullptr,
                      std::vector<std::string>* lines = nullptr) {
    CCorvelTextBuffer buffer;
    if (!buffer.LoadFile(path.c_str(), LineEndingStyle::Detect)) {
        ADD_FAILURE() << "cannot load " << path;
        return {};
    }
    if (detected)
        *detected = buffer.CurrentLineEnding();
    if (lines)
        *lines = LinesOf(buffer);
    std::string out = folder.File("stored.out");
    if (!buffer.StoreFile(out.c_str(), LineEndingStyle::Detect, true)) {
        ADD_FAILURE() << "cannot store " << path;
        return {};
    }
    return ReadBytes(out);
}

TEST(CorpusRoundTrip, EveryFileComesBackUnchanged) {
    const std::filesystem::path corpus = KIVRA_CORPUS_DIR;
    if (!std::filesystem::is_directory(corpus)) {
        GTEST_SKIP() << "no corpus at " << corpus;
    }
    TempFolder folder;
    int checked = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(corpus)) {
        if (!entry.is_regular_file())
            continue;
        const std::string path = entry.path().string();
        const std::string original = ReadBytes(path);
        // A NUL cuts its line, so such a file cannot come back; the cut is tested below.
        if (original.find('\0') != std::string::npos)
            continue;
        ++checked;
        std::string stored = RoundTrip(path, folder);
        EXPECT_TRUE(stored == original)
            << path << ": " << original.size() << " bytes stored as " << stored.size();
    }
    EXPECT_GT(checked, 0) << "the corpus holds no file";
}

// --- Generated files

// Random lines that the style's loader gives back as they are: no NUL, no break of the style
// inside. Win lines also hold lone CR and LF and the sequence CR CR LF, which is not a break;
// they never hold CR CR CR LF nor end in CR, either of which would end the line early.
std::vector<std::string> GeneratedLines(LineEndingStyle style, unsigned seed) {
    std::mt19937 random(seed);
    auto pick = [&](int limit) { return static_cast<int>(random() % limit); };
    auto plainByte = [&]() -> char {
        switch (pick(4)) {
            case 0:
                return '\t';
            case 1:
                return static_cast<char>(0x80 + pick(0x80));  // high bytes, e.g. UTF-8
            default:
                return static_cast<char>(' ' + pick(95));
        }
    };

    std::vector<std::string> lines;
    const int lineCount = 2 + pick(1500);
    for (int index = 0; index < lineCount; ++index) {
        // Now and then a line longer than a read chunk.
        int length = pick(50) == 0 ? CCorvelTextBuffer::kReadChunkSize + pick(5000) : pick(120);
        std::string line;
        while (static_cast<int>(line.size()) < length) {
            // The first two lines hold no CR or LF, so that the style is detected from the first
            // break (a Mac line starting with LF would make it look like CR LF).
            int kind = index <= 1 ? 0 : pick(12);
            if (kind == 1 && style != LineEndingStyle::Unix)
                line += '\n';
            else if (kind == 2 && style != LineEndingStyle::Mac) {
                line += '\r';
                if (style == LineEndingStyle::Win)
                    line += plainByte();
            } else if (kind == 3 && style == LineEndingStyle::Win) {
                line += "\r\r\n";
            } else {
                line += plainByte();
            }
        }
        lines.push_back(line);
    }
    if (pick(2) == 0)
        lines.back().clear();  // the file ends with a break
    return lines;
}

struct GeneratedCase {
    LineEndingStyle style;
    unsigned seed;
};

void PrintTo(const GeneratedCase& generated, std::ostream* out) {
    *out << LineEndingIndicator(generated.style) << " seed " << generated.seed;
}

class GeneratedRoundTripTest : public ::testing::TestWithParam<GeneratedCase> {};

TEST_P(GeneratedRoundTripTest, LinesLoadAndBytesComeBack) {
    const auto [style, seed] = GetParam();
    const std::vector<std::string> lines = GeneratedLines(style, seed);
    std::string bytes;
    for (std::size_t index = 0; index < lines.size(); ++index) {
        if (index > 0)
            bytes += LineBreakOf(style);
        bytes += lines[index];
    }
    TempFolder folder;
    WriteBytes(folder.File("generated.cir"), bytes);

    LineEndingStyle detected = LineEndingStyle::Detect;
    std::vector<std::string> loaded;
    std::string stored = RoundTrip(folder.File("generated.cir"), folder, &detected, &loaded);

    EXPECT_EQ(detected, style);
    ASSERT_EQ(loaded.size(), lines.size());
    for (std::size_t index = 0; index < lines.size(); ++index) {
        ASSERT_TRUE(loaded[index] == lines[index]) << "line " << index << " differs";
    }
    EXPECT_TRUE(stored == bytes) << bytes.size() << " bytes stored as " << stored.size();
}

std::vector<GeneratedCase> GeneratedCases() {
    std::vector<GeneratedCase> cases;
    for (LineEndingStyle style :
         {LineEndingStyle::Win, LineEndingStyle::Unix, LineEndingStyle::Mac}) {
        for (unsigned seed = 1; seed <= 4; ++seed)
            cases.push_back({style, seed});
    }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Styles, GeneratedRoundTripTest, ::testing::ValuesIn(GeneratedCases()),
                         [](const auto& info) {
                             return std::string(LineEndingIndicator(info.param.style)) + "Seed" +
                                    std::to_string(info.param.seed);
                         });

// A NUL cannot live in a line: the rest of its line is gone when the file is stored again.
TEST(CutRoundTrip, NulDropsRestOfItsLine) {
    TempFolder folder;
    const std::string path = folder.File("nul.cir");
    WriteBytes(path, std::string("R1 a b\0junk 1k\r\nC1 b 0 1p\0\r\n\0\r\nV1 a 0 1", 39));
    EXPECT_EQ(RoundTrip(path, folder), "R1 a b\r\nC1 b 0 1p\r\n\r\nV1 a 0 1");
}

}  // namespace

// A text copied a slice at a time while it is edited between the slices comes out as the text
// after the last edit, byte for byte.

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <random>
#include <string>

#include "CorvelTextBuffer.h"
#include "TextSnapshot.h"
#include "UpdateHint.h"

namespace {

std::string TextOf(const CCorvelTextBuffer& buffer) {
    std::string text;
    int last = buffer.LineTotal() - 1;
    buffer.CopyRange(0, 0, last, buffer.LineLength(last), text,
                     LineBreakOf(buffer.CurrentLineEnding()));
    return text;
}

// Tells the snapshot of every change, as the recovery copy's keeper does.
class SnapshotFeed : public CTextBufferObserver {
public:
    explicit SnapshotFeed(CTextSnapshot& fed) : snapshot(fed) {}
    void RefreshAfterChange(CTextBufferObserver*, const CUpdateContext*, unsigned hint,
                            int line) override {
        if (!(hint & MarksOnly))
            snapshot.TextChangedFrom((hint & WholeText) ? -1 : line, (hint & OneLineOnly) != 0);
    }
    void AfterEditAction(EditAction, const char*) override {}

private:
    CTextSnapshot& snapshot;
};

std::string Joined(std::vector<std::string> pieces) {
    std::string text;
    for (const std::string& piece : pieces)
        text += piece;
    return text;
}

TEST(TextSnapshotTest, EditsBetweenSlicesEndUpInTheCopy) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString path = folder.filePath(QStringLiteral("big.cir"));
    // Ordinary lines around one longer than a slice copies between two looks at the clock.
    std::string original;
    for (int line = 0; line < 3000; ++line) {
        original += line == 1500 ? std::string(3 << 20, 'w') : "R" + std::to_string(line) + " a b";
        original += line % 7 == 0 ? "\n\n" : "\n";
    }
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(original.data(), static_cast<qint64>(original.size()));
    file.close();

    for (unsigned seed : {1u, 2u, 3u}) {
        std::mt19937 random(seed);
        CCorvelTextBuffer buffer;
        ASSERT_TRUE(buffer.LoadFile(QFile::encodeName(path).constData(), LineEndingStyle::Detect));
        CTextSnapshot snapshot(buffer);
        SnapshotFeed feed(snapshot);
        buffer.AttachView(&feed);
        int slices = 0;
        // No time at all: every slice stops at its first look at the clock.
        while (!snapshot.CopySlice(std::chrono::microseconds(0))) {
            ++slices;
            for (int edit = random() % 3; edit > 0; --edit) {
                int line = static_cast<int>(random() % buffer.LineTotal());
                int character = static_cast<int>(random() % (buffer.LineLength(line) + 1));
                int endLine = 0, endCharacter = 0;
                if (random() % 2 == 0) {
                    const char* texts[] = {"x", "R2 a b 1k", "\r\n", "C1 n 0 1u\r\nR9 n 0 1k"};
                    ASSERT_TRUE(buffer.InsertAt(nullptr, line, character, texts[random() % 4],
                                                endLine, endCharacter, EditAction::Typing));
                } else {
                    // Within the line half the time, across lines else.
                    endLine = std::min(buffer.LineTotal() - 1,
                                       line + static_cast<int>(random() % 2) * 2);
                    endCharacter = std::min(buffer.LineLength(endLine), character);
                    if (endLine == line)
                        endCharacter = buffer.LineLength(line);
                    ASSERT_TRUE(buffer.DeleteRange(nullptr, line, character, endLine, endCharacter,
                                                   EditAction::Delete));
                }
            }
        }
        buffer.DetachView(&feed);
        EXPECT_GT(slices, 10) << "seed " << seed;
        EXPECT_EQ(Joined(snapshot.TakeBytes()), TextOf(buffer)) << "seed " << seed;
    }
}

TEST(TextSnapshotTest, TheWholeTextReplacedStartsTheCopyAgain) {
    CCorvelTextBuffer buffer;
    buffer.CreateEmpty(LineEndingStyle::Unix);
    int endLine = 0, endCharacter = 0;
    std::string lines;
    for (int line = 0; line < 2000; ++line)
        lines += "* line\r\n";
    ASSERT_TRUE(buffer.InsertAt(nullptr, 0, 0, lines.c_str(), endLine, endCharacter,
                                EditAction::Paste));
    CTextSnapshot snapshot(buffer);
    SnapshotFeed feed(snapshot);
    buffer.AttachView(&feed);
    ASSERT_FALSE(snapshot.CopySlice(std::chrono::microseconds(0)));
    buffer.Clear();
    buffer.CreateEmpty(LineEndingStyle::Unix);
    ASSERT_TRUE(buffer.InsertAt(nullptr, 0, 0, "new\r\ntext", endLine, endCharacter,
                                EditAction::Paste));
    while (!snapshot.CopySlice(std::chrono::microseconds(0))) {
    }
    buffer.DetachView(&feed);
    EXPECT_EQ(Joined(snapshot.TakeBytes()), "new\ntext");
}

}  // namespace

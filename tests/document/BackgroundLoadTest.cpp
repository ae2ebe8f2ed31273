// A file too large to read before the window shows: its first screen at once, the rest from a
// thread while the window stays live, the document read-only until the whole is in.

#include <gtest/gtest.h>

#include <QFile>
#include <QTest>

#include "EventLoop.h"
#include "SampleDoc.h"
#include "ShellFixture.h"

namespace {

class BackgroundLoadTest : public kivra_test::ShellFixture {
protected:
    // Lines of 64 bytes, numbered, a little over the size read in the background.
    QString LargeFile(int& lines) {
        lines = static_cast<int>(CSampleDoc::kBackgroundLoadFrom / 64) + 100;
        QByteArray bytes;
        bytes.reserve(static_cast<qsizetype>(lines) * 64);
        QByteArray line(62, 'x');
        for (int index = 0; index < lines; ++index) {
            QByteArray number = QByteArray::number(index).rightJustified(10, '0');
            bytes += number + line.left(52) + "\r\n";
        }
        return MakeFile(QStringLiteral("large.log"), bytes);
    }
};

}  // namespace

TEST_F(BackgroundLoadTest, TheFirstScreenShowsAtOnceAndTheRestFollows) {
    int lines = 0;
    const QString path = LargeFile(lines);
    auto* document = dynamic_cast<CSampleDoc*>(application->OpenDocumentFile(path));
    ASSERT_NE(document, nullptr);
    // Open returned with the first lines only, and they cannot be saved over the file.
    const int first = document->buffer.LineTotal();
    EXPECT_GT(first, 100);
    EXPECT_LT(first, lines / 10);
    EXPECT_EQ(std::string(document->buffer.LineText(1), document->buffer.LineLength(1)),
              "0000000001" + std::string(52, 'x'));
    EXPECT_TRUE(document->buffer.IsReadOnly());
    ASSERT_TRUE(kivra_test::WaitFor([&] { return document->buffer.LineTotal() > first; }, 30000));
    EXPECT_EQ(document->buffer.LineTotal(), lines + 1);  // the last break ends an empty line
    EXPECT_FALSE(document->buffer.IsReadOnly());
    EXPECT_FALSE(document->IsModified());
    EXPECT_EQ(document->buffer.HistorySize(), 0);
}

// Closing the window, or opening the file again, while the rest is read stops the reading; the
// program goes on.
TEST_F(BackgroundLoadTest, ClosingDuringTheReadingStopsIt) {
    int lines = 0;
    const QString path = LargeFile(lines);
    for (int round = 0; round < 3; ++round) {
        auto* document = dynamic_cast<CSampleDoc*>(application->OpenDocumentFile(path));
        ASSERT_NE(document, nullptr);
        QTest::qWait(round * 20);
        document->OnCloseDocument();
        kivra_test::Settle();
    }
    EXPECT_TRUE(application->Documents().empty() ||
                application->Documents().front()->GetPathName() != path);
}

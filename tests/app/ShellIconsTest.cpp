// The drawn icons: every toolbar button has its own picture at 1x and 2x, the toolbar's order,
// and the program and document icons at all their sizes.

#include <gtest/gtest.h>

#include <QColor>
#include <QImage>

#include "CommandIds.h"
#include "ShellIcons.h"

namespace {

const int kButtonIds[] = {ID_FILE_NEW,      ID_FILE_OPEN, ID_FILE_SAVE,   ID_FILE_PRINT,
                          ID_EDIT_CUT,      ID_EDIT_COPY, ID_EDIT_PASTE,  ID_EDIT_UNDO,
                          ID_EDIT_REDO,     ID_EDIT_FIND, ID_EDIT_REPEAT, ID_EDIT_REPLACE,
                          ID_ANALYSIS_START};

int CountOpaque(const QImage& image) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            count += qAlpha(image.pixel(x, y)) == 255;
    }
    return count;
}

int MaxSaturation(const QImage& image) {
    int most = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor color = QColor::fromRgba(image.pixel(x, y));
            if (color.alpha() > 128)
                most = std::max(most, color.hsvSaturation());
        }
    }
    return most;
}

QImage Image(const QPixmap& pixmap) {
    return pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
}

TEST(ToolbarIconsTest, EveryButtonIsDrawnAtOneAndTwoTimesTheButtonSize) {
    for (int id : kButtonIds) {
        for (int scale : {1, 2}) {
            SCOPED_TRACE(testing::Message() << "command " << id << " at " << scale << "x");
            const QPixmap pixmap = ToolbarPixmap(id, scale);
            ASSERT_EQ(pixmap.size(), QSize(16 * scale, 15 * scale));
            EXPECT_EQ(pixmap.devicePixelRatio(), scale);
            // A twelfth of the button at least is solid paint: the picture is there, not faint.
            EXPECT_GE(CountOpaque(Image(pixmap)), 16 * 15 * scale * scale / 12);
        }
    }
}

TEST(ToolbarIconsTest, ButtonsArePairwiseDistinct) {
    for (int a : kButtonIds) {
        for (int b : kButtonIds) {
            if (a < b) {
                EXPECT_NE(Image(ToolbarPixmap(a)), Image(ToolbarPixmap(b))) << a << " vs " << b;
            }
        }
    }
}

TEST(ToolbarIconsTest, CommandsWithoutButtonHaveNoPicture) {
    for (int id : {ID_SEPARATOR, ID_FILE_CLOSE, ID_EDIT_SELECT_ALL, -1}) {
        EXPECT_TRUE(ToolbarPixmap(id).isNull()) << id;
        EXPECT_TRUE(ToolbarIcon(id).isNull()) << id;
    }
}

TEST(ToolbarIconsTest, IconPicksTheSharpPictureForHighDensityScreens) {
    const QIcon icon = ToolbarIcon(ID_FILE_SAVE);
    const QPixmap dense = icon.pixmap(QSize(16, 15), 2.0);
    EXPECT_EQ(dense.size(), QSize(32, 30));
    EXPECT_EQ(Image(dense), Image(ToolbarPixmap(ID_FILE_SAVE, 2)));
    EXPECT_EQ(Image(icon.pixmap(QSize(16, 15), 1.0)), Image(ToolbarPixmap(ID_FILE_SAVE, 1)));
}

TEST(ToolbarIconsTest, DisabledButtonIsGreyed) {
    const QIcon icon = ToolbarIcon(ID_ANALYSIS_START);
    EXPECT_GT(MaxSaturation(Image(icon.pixmap(QSize(16, 15), 1.0))), 150);
    EXPECT_LT(MaxSaturation(Image(icon.pixmap(QSize(16, 15), 1.0, QIcon::Disabled))), 40);
}

TEST(ToolbarIconsTest, LayoutGroupsTheButtonsBetweenSeparators) {
    const QList<int> expected = {ID_FILE_NEW,      ID_FILE_OPEN,   ID_FILE_SAVE,    ID_FILE_PRINT,
                                 ID_SEPARATOR,     ID_EDIT_CUT,    ID_EDIT_COPY,    ID_EDIT_PASTE,
                                 ID_SEPARATOR,     ID_EDIT_UNDO,   ID_EDIT_REDO,    ID_SEPARATOR,
                                 ID_EDIT_FIND,     ID_EDIT_REPEAT, ID_EDIT_REPLACE, ID_SEPARATOR,
                                 ID_ANALYSIS_START};
    const QList<int> layout = ToolbarLayout();
    EXPECT_EQ(layout, expected);
    EXPECT_EQ(layout.count(ID_SEPARATOR), 4);
    for (int id : layout)
        EXPECT_EQ(id == ID_SEPARATOR, ToolbarIcon(id).isNull()) << id;
}

TEST(ApplicationIconTest, HasEverySizeSolidWithTransparentCorners) {
    const QIcon icon = ApplicationIcon();
    const QList<QSize> available = icon.availableSizes();
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        SCOPED_TRACE(testing::Message() << size << " px");
        ASSERT_TRUE(available.contains(QSize(size, size)));
        const QImage image = Image(icon.pixmap(QSize(size, size), 1.0));
        ASSERT_EQ(image.size(), QSize(size, size));
        EXPECT_GE(CountOpaque(image), size * size / 2);
        const int last = size - 1;
        for (QPoint corner : {QPoint(0, 0), QPoint(last, 0), QPoint(0, last), QPoint(last, last)})
            EXPECT_EQ(qAlpha(image.pixel(corner)), 0) << corner.x() << "," << corner.y();
    }
}

// The page's left edge lies on whole pixels at every size: a solid column with clear space
// beside it, not a blurred half-covered pair.
TEST(ApplicationIconTest, PageEdgeIsSharpAtEverySize) {
    for (int size : ApplicationIconSizes()) {
        const QImage image = Image(ApplicationPixmap(size));
        const int middle = size / 2;
        int edge = 0;
        while (edge < size && qAlpha(image.pixel(edge, middle)) == 0)
            ++edge;
        ASSERT_LT(edge, size / 2) << size;
        EXPECT_EQ(qAlpha(image.pixel(edge, middle)), 255) << size << " px, column " << edge;
    }
}

TEST(DocumentIconTest, DiffersFromTheApplicationIconAtBothSizes) {
    const QIcon document = DocumentIcon();
    const QIcon application = ApplicationIcon();
    for (int size : {16, 32}) {
        SCOPED_TRACE(testing::Message() << size << " px");
        ASSERT_TRUE(document.availableSizes().contains(QSize(size, size)));
        const QImage image = Image(document.pixmap(QSize(size, size), 1.0));
        EXPECT_GE(CountOpaque(image), size * size / 3);
        EXPECT_NE(image, Image(application.pixmap(QSize(size, size), 1.0)));
        EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0);
    }
}

}  // namespace

// Numbered and plain bookmarks of the text view, set and visited with their keys.

#include "TextViewHarness.h"

namespace {

class Bookmarks : public TextViewTest {
protected:
    void SetUp() override {
        TextViewTest::SetUp();
        text = &Load(NumberedLines(12));
    }
    std::uint32_t Flags(int line) const { return text->FlagsOfLine(line); }
    void MarkLines(std::initializer_list<int> lines) {
        for (int line : lines) {
            Place({1, line});
            Key(Qt::Key_F2, Qt::ControlModifier);
        }
    }
    CCorvelTextBuffer* text = nullptr;
};

constexpr auto kCtrl = Qt::ControlModifier;
constexpr auto kAlt = Qt::AltModifier;

TEST_F(Bookmarks, CtrlDigitMovesTheNumberedBookmarkToTheCaretLine) {
    Place({2, 5});
    Key(Qt::Key_3, kCtrl);
    EXPECT_EQ(Flags(5), NumberedBookmark(3));
    Place({1, 9});
    Key(Qt::Key_3, kCtrl);
    EXPECT_EQ(Flags(9), NumberedBookmark(3));
    EXPECT_EQ(Flags(5), 0u);
}

TEST_F(Bookmarks, AltDigitJumpsToTheStartOfTheMarkedLine) {
    Place({1, 9});
    Key(Qt::Key_3, kCtrl);
    Place({0, 1}, {4, 1});
    Key(Qt::Key_3, kAlt);
    EXPECT_EQ(view.CaretPosition(), (TextPosition{0, 9}));
    EXPECT_EQ(view.Anchor(), (TextPosition{0, 9}));
    EXPECT_FALSE(view.HasSelection());
    EXPECT_EQ(view.SelectionStart(), (TextPosition{0, 9}));
}

TEST_F(Bookmarks, AltDigitScrollsTheMarkedLineIntoView) {
    text = &Load(NumberedLines(200));
    Place({0, 150});
    Key(Qt::Key_7, kCtrl);
    Place({0, 0});
    Key(Qt::Key_7, kAlt);
    EXPECT_EQ(view.CaretPosition(), (TextPosition{0, 150}));
    EXPECT_LE(view.TopLine(), 150);
    EXPECT_GT(view.TopLine() + view.VisibleLineCount(), 150);
}

TEST_F(Bookmarks, CtrlDigitTwiceOnOneLineRemovesTheBookmark) {
    Place({0, 4});
    Key(Qt::Key_3, kCtrl);
    Key(Qt::Key_3, kCtrl);
    EXPECT_EQ(Flags(4), 0u);
    EXPECT_EQ(text->LineOfSingleFlag(NumberedBookmark(3)), -1);
}

TEST_F(Bookmarks, AltDigitWithoutThatBookmarkChangesNothing) {
    Place({6, 8});
    Key(Qt::Key_3, kCtrl);
    Place({1, 2}, {4, 2});
    Key(Qt::Key_4, kAlt);
    EXPECT_EQ(view.CaretPosition(), (TextPosition{4, 2}));
    EXPECT_EQ(view.SelectionStart(), (TextPosition{1, 2}));
    EXPECT_EQ(view.SelectionEnd(), (TextPosition{4, 2}));
}

TEST_F(Bookmarks, OneLineCarriesSeveralNumberedBookmarks) {
    Place({0, 4});
    Key(Qt::Key_1, kCtrl);
    Key(Qt::Key_0, kCtrl);
    Key(Qt::Key_9, kCtrl);
    EXPECT_EQ(Flags(4), NumberedBookmark(0) | NumberedBookmark(1) | NumberedBookmark(9));
    for (Qt::Key digit : {Qt::Key_0, Qt::Key_1, Qt::Key_9}) {
        Place({0, 0});
        Key(digit, kAlt);
        EXPECT_EQ(view.CaretPosition(), (TextPosition{0, 4}));
    }
}

TEST_F(Bookmarks, ClearingNumberedBookmarksLeavesPlainOnes) {
    Place({0, 1});
    Key(Qt::Key_1, kCtrl);
    Place({0, 3});
    Key(Qt::Key_2, kCtrl);
    Key(Qt::Key_F2, kCtrl);
    EXPECT_TRUE(view.ExecuteCommand(ID_CLEAR_NUMBERED_BOOKMARKS));
    EXPECT_EQ(Flags(1), 0u);
    EXPECT_EQ(Flags(3), static_cast<std::uint32_t>(Bookmark));
    EXPECT_TRUE(Enabled(ID_NEXT_BOOKMARK));
}

TEST_F(Bookmarks, NextAndPreviousVisitPlainBookmarksRoundTheText) {
    MarkLines({2, 7});
    struct Case {
        int caretLine;
        Qt::KeyboardModifiers modifiers;
        int expected;
    };
    const Case cases[] = {
        {7, Qt::NoModifier, 2},     // past the last one, round to the first
        {7, Qt::ShiftModifier, 2},  // the one before
        {4, Qt::NoModifier, 7},    {4, Qt::ShiftModifier, 2}, {2, Qt::NoModifier, 7},
        {2, Qt::ShiftModifier, 7}, {0, Qt::ShiftModifier, 7}, {11, Qt::NoModifier, 2},
    };
    for (const Case& each : cases) {
        SCOPED_TRACE(testing::Message()
                     << "from line " << each.caretLine << (each.modifiers ? " Shift+F2" : " F2"));
        Place({3, each.caretLine});
        Key(Qt::Key_F2, each.modifiers);
        EXPECT_EQ(view.CaretPosition(), (TextPosition{0, each.expected}));
        EXPECT_FALSE(view.HasSelection());
    }
}

TEST_F(Bookmarks, SingleBookmarkOnTheCaretLineIsFoundAgain) {
    MarkLines({4});
    for (auto modifiers : {Qt::NoModifier, Qt::ShiftModifier}) {
        Place({3, 4});
        Key(Qt::Key_F2, modifiers);
        EXPECT_EQ(view.CaretPosition(), (TextPosition{0, 4}));
    }
}

TEST_F(Bookmarks, TravelIsDisabledUntilTheFirstToggleInThisView) {
    // A mark this view did not set does not count.
    text->ChangeLineFlag(6, Bookmark, true, false);
    for (int id : {ID_NEXT_BOOKMARK, ID_PREVIOUS_BOOKMARK, ID_CLEAR_ALL_BOOKMARKS})
        EXPECT_FALSE(Enabled(id)) << id;
    Place({1, 2});
    Key(Qt::Key_F2);
    EXPECT_EQ(view.CaretPosition(), (TextPosition{1, 2}));

    MarkLines({9});
    for (int id : {ID_NEXT_BOOKMARK, ID_PREVIOUS_BOOKMARK, ID_CLEAR_ALL_BOOKMARKS})
        EXPECT_TRUE(Enabled(id)) << id;
    Place({1, 2});
    Key(Qt::Key_F2);
    EXPECT_EQ(view.CaretPosition(), (TextPosition{0, 6}));
}

TEST_F(Bookmarks, ClearAllRemovesPlainMarksAndDisablesTravel) {
    Place({0, 1});
    Key(Qt::Key_5, kCtrl);
    MarkLines({1, 4, 8});
    Key(Qt::Key_F2, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(Flags(1), NumberedBookmark(5));
    EXPECT_EQ(Flags(4), 0u);
    EXPECT_EQ(Flags(8), 0u);
    for (int id : {ID_NEXT_BOOKMARK, ID_PREVIOUS_BOOKMARK, ID_CLEAR_ALL_BOOKMARKS})
        EXPECT_FALSE(Enabled(id)) << id;
}

TEST_F(Bookmarks, RemovingTheLastPlainMarkDisablesTravel) {
    MarkLines({4, 4});
    EXPECT_EQ(Flags(4), 0u);
    EXPECT_FALSE(view.HasBookmarks());
    EXPECT_FALSE(Enabled(ID_NEXT_BOOKMARK));
}

TEST_F(Bookmarks, WorkInAReadOnlyText) {
    text->MakeReadOnly(true);
    Place({0, 3});
    Key(Qt::Key_2, kCtrl);
    Key(Qt::Key_F2, kCtrl);
    EXPECT_EQ(Flags(3), NumberedBookmark(2) | Bookmark);
}

TEST_F(Bookmarks, TwoViewsShareTheMarksButNotTheirTravelState) {
    CProbeTextView other;
    other.BindBuffer(text);
    other.resize(400, 300);
    other.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&other));

    Place({0, 5});
    Key(Qt::Key_3, kCtrl);
    Key(Qt::Key_F2, kCtrl);
    EXPECT_EQ(other.FlagsOfLine(5), NumberedBookmark(3) | Bookmark);

    Focus(other);
    QTest::keyClick(&other, Qt::Key_3, kAlt);
    EXPECT_EQ(other.CaretPosition(), (TextPosition{0, 5}));

    EXPECT_TRUE(view.HasBookmarks());
    EXPECT_FALSE(other.HasBookmarks());
    CCmdUI next(ID_NEXT_BOOKMARK);
    other.RouteUpdateCommandUI(next);
    EXPECT_FALSE(next.IsEnabled());
    other.PlaceCursor({2, 0});
    QTest::keyClick(&other, Qt::Key_F2);
    EXPECT_EQ(other.CaretPosition(), (TextPosition{2, 0}));

    other.UnbindBuffer();
}

TEST_F(Bookmarks, CommandsDoNothingWithoutABuffer) {
    view.UnbindBuffer();
    for (int id :
         {ToggleNumberedBookmarkId(3), GoNumberedBookmarkId(3), ID_CLEAR_NUMBERED_BOOKMARKS,
          ID_TOGGLE_BOOKMARK, ID_NEXT_BOOKMARK, ID_PREVIOUS_BOOKMARK, ID_CLEAR_ALL_BOOKMARKS})
        view.ExecuteCommand(id);
    EXPECT_FALSE(view.HasBookmarks());
    EXPECT_EQ(view.CaretPosition(), (TextPosition{0, 0}));
}

}  // namespace

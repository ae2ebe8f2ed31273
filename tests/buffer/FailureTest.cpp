// A failure in the middle of an edit, an undo or a redo (no memory, a view or hook that throws)
// never leaves part of a change behind, and never leaves a history that would undo into the wrong
// text.

#include <gtest/gtest.h>

#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "CorvelTextBuffer.h"
#include "FailingAllocation.h"
#include "RecordingObserver.h"

using kivra_test::AllocationFailed;
using kivra_test::FailAllocation;
using kivra_test::LinesOf;
using kivra_test::RecordingObserver;
using kivra_test::StartWithLines;
using Lines = std::vector<std::string>;

namespace {

const Lines kStart = {std::string(40, 'a'), std::string(300, 'b'), std::string(20, 'c')};

class Failure : public ::testing::Test {
protected:
    void SetUp() override {
        StartWithLines(buffer, kStart);
        buffer.AttachView(&view);
    }
    void TearDown() override {
        FailAllocation(0);
        buffer.DetachView(&view);
    }

    // Runs the action with the n-th allocation failing; true when it failed.
    template <typename Action>
    bool FailsAt(int n, Action&& action) {
        FailAllocation(n);
        try {
            action();
        } catch (const std::bad_alloc&) {
        }
        bool failed = AllocationFailed();
        FailAllocation(0);
        return failed;
    }

    CCorvelTextBuffer buffer;
    RecordingObserver view;
};

TEST_F(Failure, RawEditsLeaveTheTextWholeWhenMemoryRunsOut) {
    struct Case {
        const char* name;
        void (*edit)(CCorvelTextBuffer&);
    };
    const Case cases[] = {
        {"insertion growing a line",
         [](CCorvelTextBuffer& b) {
             int y, x;
             b.RawInsert(nullptr, 0, 20, std::string(100, 'x').c_str(), y, x);
         }},
        {"insertion of several lines",
         [](CCorvelTextBuffer& b) {
             int y, x;
             b.RawInsert(nullptr, 1, 150,
                         (std::string(50, 'x') + "\r\n\r\n" + std::string(600, 'y') + "\r" +
                          std::string(5, 'z'))
                             .c_str(),
                         y, x);
         }},
        {"deletion joining into a longer line",
         [](CCorvelTextBuffer& b) { b.RawDelete(nullptr, 0, 40, 1, 0); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (int n = 1; n < 20; ++n) {
            StartWithLines(buffer, kStart);
            view.notifications.clear();
            if (!FailsAt(n, [&] { c.edit(buffer); }))
                break;
            ASSERT_EQ(LinesOf(buffer), kStart) << "failing allocation " << n;
            EXPECT_TRUE(view.notifications.empty());
            EXPECT_FALSE(buffer.IsModified());
        }
    }
}

// Whatever allocation fails, the text is the old one or the new one, and the history undoes to
// the old one or has been given up (the text then counts as modified until it is saved).
TEST_F(Failure, RecordedEditsKeepHistoryAndTextInStep) {
    const std::string pasted = std::string(30, 'p') + "\r\n" + std::string(200, 'q');
    Lines after;
    {
        CCorvelTextBuffer reference;
        StartWithLines(reference, kStart);
        int y, x;
        reference.InsertAt(nullptr, 1, 10, pasted.c_str(), y, x, EditAction::Paste);
        after = LinesOf(reference);
    }
    int failures = 0;
    for (int n = 1; n < 40; ++n) {
        StartWithLines(buffer, kStart);
        bool failed = FailsAt(n, [&] {
            int y, x;
            buffer.InsertAt(&view, 1, 10, pasted.c_str(), y, x, EditAction::Paste);
        });
        if (!failed)
            break;
        ++failures;
        Lines now = LinesOf(buffer);
        ASSERT_TRUE(now == kStart || now == after) << "failing allocation " << n;
        if (now == after) {
            ASSERT_TRUE(buffer.IsModified());
            ASSERT_FALSE(buffer.CanStepBack()) << "a history that lacks the edit was kept";
            ASSERT_EQ(buffer.SavedPosition(), -1);
        }
        // No group is left open: the next edit is a step of its own with its hook.
        view.afterEditCalls.clear();
        int y, x;
        ASSERT_TRUE(buffer.InsertAt(&view, 0, 0, "z", y, x, EditAction::Typing));
        EXPECT_EQ(view.afterEditCalls.size(), 1u);
        TextPosition position;
        ASSERT_TRUE(buffer.StepBack(position));
        EXPECT_EQ(LinesOf(buffer), now);
    }
    EXPECT_GT(failures, 3);
}

TEST_F(Failure, FailedUndoGivesUpTheHistoryButNotTheText) {
    int y, x;
    buffer.OpenUndoGroup(false);
    buffer.InsertAt(&view, 0, 5, std::string(100, 'x').c_str(), y, x, EditAction::Paste);
    buffer.DeleteRange(&view, 0, 0, 2, 3, EditAction::Cut);
    buffer.CloseUndoGroup(&view);
    const Lines edited = LinesOf(buffer);
    const Lines middle = [&] {
        Lines lines = kStart;
        lines[0].insert(5, std::string(100, 'x'));
        return lines;
    }();
    for (int n = 1; n < 20; ++n) {
        TextPosition position;
        if (!FailsAt(n, [&] { buffer.StepBack(position); })) {
            EXPECT_EQ(LinesOf(buffer), kStart);
            break;
        }
        Lines now = LinesOf(buffer);
        ASSERT_TRUE(now == edited || now == middle) << "failing allocation " << n;
        EXPECT_FALSE(buffer.CanStepBack());
        EXPECT_FALSE(buffer.CanStepForward());
        EXPECT_TRUE(buffer.IsModified());
        // Start again from the edited text for the next failure point.
        StartWithLines(buffer, kStart);
        buffer.OpenUndoGroup(false);
        buffer.InsertAt(&view, 0, 5, std::string(100, 'x').c_str(), y, x, EditAction::Paste);
        buffer.DeleteRange(&view, 0, 0, 2, 3, EditAction::Cut);
        buffer.CloseUndoGroup(&view);
    }
}

TEST_F(Failure, ViewThrowingDuringAnEditLeavesTheTextModifiedAndTheHistoryConsistent) {
    view.onRefresh = [] { throw std::runtime_error("view failed"); };
    int y, x;
    EXPECT_THROW(buffer.InsertAt(&view, 0, 0, "new", y, x, EditAction::Typing), std::runtime_error);
    view.onRefresh = nullptr;
    EXPECT_EQ(LinesOf(buffer)[0], "new" + kStart[0]);
    EXPECT_TRUE(buffer.IsModified());
    EXPECT_FALSE(buffer.CanStepBack());
}

TEST_F(Failure, HookThrowingStillClosesTheGroup) {
    view.onAfterEdit = [](EditAction, const char*) { throw std::runtime_error("hook failed"); };
    int y, x;
    buffer.OpenUndoGroup(false);
    buffer.InsertAt(&view, 0, 0, "a", y, x, EditAction::Typing);
    EXPECT_THROW(buffer.CloseUndoGroup(&view), std::runtime_error);
    view.onAfterEdit = nullptr;
    view.afterEditCalls.clear();
    buffer.InsertAt(&view, 0, 0, "b", y, x, EditAction::Typing);
    EXPECT_EQ(view.afterEditCalls.size(), 1u) << "the edit joined a group left open";
    TextPosition position;
    buffer.StepBack(position);
    EXPECT_EQ(LinesOf(buffer)[0], "a" + kStart[0]);
}

}  // namespace

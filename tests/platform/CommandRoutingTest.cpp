#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "CmdTarget.h"
#include "CmdUI.h"
#include "CommandIds.h"
#include "CommandTable.h"

namespace {

// Every handler writes "<target>:<what>" into a shared log.
using Log = std::vector<std::string>;

class CRecordingTarget : public CCmdTarget {
public:
    CRecordingTarget(std::string name, Log& log) : name(std::move(name)), log(log) {}

protected:
    void Note(const std::string& what) { log.push_back(name + ":" + what); }

private:
    std::string name;
    Log& log;
};

// Stands where the active view stands.
class CTestView : public CRecordingTarget {
public:
    using CRecordingTarget::CRecordingTarget;

    bool hasSelection = false;

    static const CCommandTable& ClassCommands() {
        static const CCommandTable table =
            CCommandTable::Builder<CTestView>(CCmdTarget::ClassCommands())
                .On(ID_EDIT_COPY, &CTestView::OnCopy)
                .OnUpdate(ID_EDIT_COPY, &CTestView::OnUpdateCopy)
                .On(ID_EDIT_SELECT_ALL, &CTestView::OnSelectAll)
                .OnRange(ID_GO_NUMBERED_BOOKMARK_0, ID_GO_NUMBERED_BOOKMARK_9,
                         &CTestView::OnGoBookmark)
                .OnUpdate(ID_INDICATOR_POSITION, &CTestView::OnUpdatePosition)
                .On(ID_FILE_PRINT, &CTestView::OnPrint)
                .Build();
        return table;
    }

protected:
    const CCommandTable& Commands() const override { return ClassCommands(); }

    void OnCopy() { Note("copy"); }
    void OnUpdateCopy(CCmdUI& ui) { ui.Enable(hasSelection); }
    void OnSelectAll() { Note("select all"); }
    void OnGoBookmark(int id) { Note("go " + std::to_string(id - ID_GO_NUMBERED_BOOKMARK_0)); }
    void OnUpdatePosition(CCmdUI& ui) { ui.SetText("Ln 3, Col 7"); }
    void OnPrint() { Note("print"); }
};

// A view class built on the one above: its table comes first, the base's behind it.
class CDerivedView : public CTestView {
public:
    using CTestView::CTestView;

    static const CCommandTable& ClassCommands() {
        static const CCommandTable table =
            CCommandTable::Builder<CDerivedView>(CTestView::ClassCommands())
                .On(ID_FILE_PRINT, &CDerivedView::OnPrintAgain)
                .On(ID_EDIT_PASTE, &CDerivedView::OnPaste)
                .Build();
        return table;
    }

protected:
    const CCommandTable& Commands() const override { return ClassCommands(); }

    void OnPrintAgain() { Note("print again"); }
    void OnPaste() { Note("paste"); }
};

// Stands where the document stands: behind the view.
class CTestDocument : public CRecordingTarget {
public:
    using CRecordingTarget::CRecordingTarget;

    bool readOnly = false;

    static const CCommandTable& ClassCommands() {
        static const CCommandTable table =
            CCommandTable::Builder<CTestDocument>(CCmdTarget::ClassCommands())
                .On(ID_ANALYSIS_START, &CTestDocument::OnAnalysisStart)
                .On(ID_DOC_READONLY, &CTestDocument::OnToggleReadOnly)
                .OnUpdate(ID_DOC_READONLY, &CTestDocument::OnUpdateToggleReadOnly)
                .On(ID_EDIT_COPY, &CTestDocument::OnCopy)
                .OnUpdate(ID_EDIT_COPY, &CTestDocument::OnUpdateCopy)
                .OnUpdate(ID_INDICATOR_POSITION, &CTestDocument::OnUpdatePosition)
                .OnUpdate(ID_INDICATOR_READ, &CTestDocument::OnUpdateRead)
                .Build();
        return table;
    }

protected:
    const CCommandTable& Commands() const override { return ClassCommands(); }

    void OnAnalysisStart() { Note("analysis"); }
    void OnToggleReadOnly() { readOnly = !readOnly; }
    void OnUpdateToggleReadOnly(CCmdUI& ui) { ui.SetCheck(readOnly ? 1 : 0); }
    void OnCopy() { Note("copy"); }
    void OnUpdateCopy(CCmdUI& ui) { ui.Enable(true); }
    void OnUpdatePosition(CCmdUI& ui) { ui.SetText("document"); }
    void OnUpdateRead(CCmdUI& ui) { ui.SetText("Read"); }
};

class CommandRouting : public ::testing::Test {
protected:
    CommandRouting() {
        view.SetNextCommandTarget(&document);
        document.SetNextCommandTarget(&frame);
    }

    Log log;
    CTestView view{"view", log};
    CTestDocument document{"document", log};
    CCmdTarget frame;  // handles nothing
};

TEST_F(CommandRouting, CommandHandledByTheViewStopsThere) {
    EXPECT_TRUE(view.RouteCommand(ID_EDIT_COPY));
    EXPECT_EQ(log, Log{"view:copy"});
}

TEST_F(CommandRouting, CommandTheViewLacksReachesTheTargetBehindIt) {
    EXPECT_TRUE(view.RouteCommand(ID_ANALYSIS_START));
    EXPECT_EQ(log, Log{"document:analysis"});
}

TEST_F(CommandRouting, CommandNobodyHandlesIsNotHandled) {
    EXPECT_FALSE(view.RouteCommand(ID_EDIT_DELETE_WORD_BACK));
    EXPECT_TRUE(log.empty());
}

TEST_F(CommandRouting, RangeHandlerIsToldWhichCommandCame) {
    for (int n : {0, 4, 9})
        EXPECT_TRUE(view.RouteCommand(GoNumberedBookmarkId(n)));
    EXPECT_FALSE(view.RouteCommand(ID_GO_NUMBERED_BOOKMARK_9 + 1));
    EXPECT_EQ(log, (Log{"view:go 0", "view:go 4", "view:go 9"}));
}

TEST_F(CommandRouting, DerivedClassTableOverridesAndInheritsTheBaseTable) {
    CDerivedView derived("derived", log);
    EXPECT_TRUE(derived.RouteCommand(ID_FILE_PRINT));
    EXPECT_TRUE(derived.RouteCommand(ID_EDIT_PASTE));
    EXPECT_TRUE(derived.RouteCommand(ID_EDIT_SELECT_ALL));
    EXPECT_TRUE(view.RouteCommand(ID_FILE_PRINT));
    EXPECT_FALSE(view.RouteCommand(ID_EDIT_PASTE));
    EXPECT_EQ(log,
              (Log{"derived:print again", "derived:paste", "derived:select all", "view:print"}));
}

TEST_F(CommandRouting, ChainThatComesRoundInALoopEnds) {
    frame.SetNextCommandTarget(&view);
    EXPECT_FALSE(view.RouteCommand(ID_EDIT_DELETE_WORD_BACK));
    CCmdUI ui(ID_EDIT_DELETE_WORD_BACK);
    view.RouteUpdateCommandUI(ui);
    EXPECT_FALSE(ui.IsEnabled());
}

struct UpdateCase {
    const char* name;
    int id;
    bool hasSelection;
    std::optional<bool> enabled;
    std::optional<int> check;
    std::optional<std::string> text;
};

void PrintTo(const UpdateCase& c, std::ostream* out) {
    *out << c.name;
}

class CommandUpdate : public CommandRouting, public ::testing::WithParamInterface<UpdateCase> {};

TEST_P(CommandUpdate, SetsWhatTheFirstUpdateHandlerOnTheChainSays) {
    const UpdateCase& c = GetParam();
    view.hasSelection = c.hasSelection;
    CCmdUI ui(c.id);
    view.RouteUpdateCommandUI(ui);
    EXPECT_EQ(ui.EnabledState(), c.enabled);
    EXPECT_EQ(ui.CheckState(), c.check);
    EXPECT_EQ(ui.TextState(), c.text);
}

const UpdateCase kUpdateCases[] = {
    // The view answers before the document, which would enable Copy.
    {"ViewDisablesCopyWithoutSelection", ID_EDIT_COPY, false, false, {}, {}},
    {"ViewEnablesCopyWithSelection", ID_EDIT_COPY, true, true, {}, {}},
    {"HandlerWithoutUpdateHandlerEnables", ID_EDIT_SELECT_ALL, false, true, {}, {}},
    {"HandlerBehindTheViewEnables", ID_ANALYSIS_START, false, true, {}, {}},
    {"NobodyHandlesSoDisabled", ID_EDIT_DELETE_WORD_BACK, false, false, {}, {}},
    {"CheckFromTheDocumentAndEnabledByItsHandler", ID_DOC_READONLY, false, true, 0, {}},
    {"ViewTextHidesTheDocumentText", ID_INDICATOR_POSITION, false, false, {}, "Ln 3, Col 7"},
    // A handler that only sets the text leaves enabling to the command handlers: there is none.
    {"TextOnlyWithoutCommandIsDisabled", ID_INDICATOR_READ, false, false, {}, "Read"},
};

INSTANTIATE_TEST_SUITE_P(Cases, CommandUpdate, ::testing::ValuesIn(kUpdateCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(CommandRouting, UpdateForTheStatusBarLeavesEnablingAlone) {
    CCmdUI pane(ID_INDICATOR_READ);
    EXPECT_TRUE(view.RouteUpdateCommandUI(pane, false));
    EXPECT_EQ(pane.EnabledState(), std::nullopt);
    EXPECT_EQ(pane.Text(), "Read");

    CCmdUI unknown(ID_INDICATOR_CAPS);
    EXPECT_FALSE(view.RouteUpdateCommandUI(unknown, false));
    EXPECT_EQ(unknown.EnabledState(), std::nullopt);
}

TEST_F(CommandRouting, ExecutingADisabledCommandRunsNoHandler) {
    view.hasSelection = false;
    EXPECT_FALSE(view.ExecuteCommand(ID_EDIT_COPY));
    EXPECT_TRUE(log.empty());
    view.hasSelection = true;
    EXPECT_TRUE(view.ExecuteCommand(ID_EDIT_COPY));
    EXPECT_EQ(log, Log{"view:copy"});
}

}  // namespace

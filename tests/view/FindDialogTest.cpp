// The Find dialog and the Find, Find next and Find previous commands, driven through their keys
// with the dialog answered by a script.

#include <gmock/gmock.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <functional>

#include "FindTextDlg.h"
#include "ScriptedModalHost.h"
#include "SettingsStore.h"
#include "TextViewHarness.h"

namespace {

const QString kNotFoundTemplate = QStringLiteral("Не могу найти строку \"%1\"");

class FindCommands : public TextViewTest {
protected:
    void SetUp() override {
        TextViewTest::SetUp();
        CSettingsStore().remove(QStringLiteral("CorvelEdit/Find"));
    }

    // Ctrl+F with the dialog answered by the script.
    void FindWith(std::function<int(CFindTextDlg&)> script) {
        host.Then([script](QDialog& dialog) {
            auto* find = qobject_cast<CFindTextDlg*>(&dialog);
            EXPECT_NE(find, nullptr);
            return find != nullptr ? script(*find) : int(QDialog::Rejected);
        });
        Key(Qt::Key_F, Qt::ControlModifier);
    }

    // Defines the last search by typing the text and options and pressing "Закрыть".
    void DefineSearch(const QString& text, bool up = false, bool wholeWord = false,
                      bool matchCase = false) {
        FindWith([&](CFindTextDlg& find) {
            find.FindWhatEdit()->setText(text);
            find.WholeWordCheck()->setChecked(wholeWord);
            find.MatchCaseCheck()->setChecked(matchCase);
            (up ? find.UpRadio() : find.DownRadio())->click();
            find.CloseButton()->click();
            return find.result();
        });
    }

    void ExpectSelection(TextPosition start, TextPosition end) {
        EXPECT_EQ(view.SelectionStart(), start);
        EXPECT_EQ(view.SelectionEnd(), end);
        EXPECT_EQ(view.CaretPosition(), end);
    }

    static void WriteSettings(int matchCase, int wholeWord, const QString& findWhat) {
        CSettingsStore settings;
        settings.beginGroup(QStringLiteral("CorvelEdit/Find"));
        settings.setValue(QStringLiteral("MatchCase"), matchCase);
        settings.setValue(QStringLiteral("WholeWord"), wholeWord);
        settings.setValue(QStringLiteral("FindWhat"), findWhat);
    }

    kivra_test::ScriptedModalHost host;
};

TEST_F(FindCommands, TheFieldTakesASelectionWithinOneLineOnly) {
    struct Case {
        const char* name;
        TextPosition anchor;
        TextPosition caret;
        QString expected;
    };
    const std::vector<Case> cases = {
        {"selection within a line", {3, 0}, {0, 0}, QStringLiteral("жук")},
        {"selection over two lines", {2, 0}, {1, 1}, QStringLiteral("saved")},
        {"no selection, not even the word at the caret", {1, 0}, {1, 0}, QStringLiteral("saved")},
    };
    for (const Case& each : cases) {
        SCOPED_TRACE(each.name);
        WriteSettings(0, 0, QStringLiteral("saved"));
        Load("\xE6\xF3\xEA beetle\r\nant");
        Place(each.anchor, each.caret);
        QString shown;
        FindWith([&](CFindTextDlg& find) {
            shown = find.FindWhatEdit()->text();
            EXPECT_EQ(find.startPosition, each.caret);
            EXPECT_TRUE(find.DownRadio()->isChecked());
            return int(QDialog::Rejected);
        });
        EXPECT_EQ(shown, each.expected);
    }
}

TEST_F(FindCommands, ASuccessfulSearchSelectsTheMatchAndCloses) {
    Load("alpha \xC1\xE5\xF2\xE0\r\nbeta");
    bool shownUnfocused = false;
    FindWith([&](CFindTextDlg& find) {
        shownUnfocused = view.SelectionShownUnfocused();
        find.FindWhatEdit()->setText(QStringLiteral("БЕТА"));
        find.FindNextButton()->click();
        return find.result();
    });
    EXPECT_TRUE(shownUnfocused);
    EXPECT_FALSE(view.SelectionShownUnfocused());
    EXPECT_TRUE(host.messages.empty());
    ExpectSelection({6, 0}, {10, 0});
    EXPECT_EQ(view.LastSearchText(), "\xC1\xC5\xD2\xC0");
}

TEST_F(FindCommands, NotFoundSaysSoStaysOpenAndStartsOverFromTheTop) {
    Load("ab xy ab");
    Place({3, 0});
    FindWith([&](CFindTextDlg& find) {
        find.FindWhatEdit()->setText(QStringLiteral("zz"));
        find.FindNextButton()->click();
        EXPECT_EQ(find.result(), int(QDialog::Rejected));
        EXPECT_EQ(find.startPosition, (TextPosition{0, 0}));
        EXPECT_EQ(view.CaretPosition(), (TextPosition{3, 0}));
        // The next search starts at the top, not at the caret.
        find.FindWhatEdit()->setText(QStringLiteral("ab"));
        find.FindNextButton()->click();
        return find.result();
    });
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text, kNotFoundTemplate.arg(QStringLiteral("zz")));
    EXPECT_EQ(host.messages[0].caption, QStringLiteral("Kivra"));
    EXPECT_EQ(host.messages[0].icon, QMessageBox::Warning);
    ExpectSelection({0, 0}, {2, 0});
}

TEST_F(FindCommands, FindNextIsEnabledExactlyWhileTheFieldHasText) {
    Load("abc");
    FindWith([&](CFindTextDlg& find) {
        EXPECT_FALSE(find.FindNextButton()->isEnabled());
        find.FindWhatEdit()->setText(QStringLiteral("a"));
        EXPECT_TRUE(find.FindNextButton()->isEnabled());
        find.FindWhatEdit()->clear();
        EXPECT_FALSE(find.FindNextButton()->isEnabled());
        find.FindNextButton()->click();  // refused while disabled
        EXPECT_EQ(find.startPosition, (TextPosition{0, 0}));
        return int(QDialog::Rejected);
    });
    EXPECT_TRUE(host.messages.empty());
    WriteSettings(0, 0, QStringLiteral("b"));
    Load("abc");
    FindWith([&](CFindTextDlg& find) {
        EXPECT_TRUE(find.FindNextButton()->isEnabled());
        return int(QDialog::Rejected);
    });
}

TEST_F(FindCommands, ClosingRecordsTheLastSearchAndTheSettings) {
    // "Закрыть", the window's close button and Escape all take what the controls show.
    const std::vector<std::pair<const char*, std::function<void(CFindTextDlg&)>>> closings = {
        {"Закрыть", [](CFindTextDlg& find) { find.CloseButton()->click(); }},
        {"window close",
         [](CFindTextDlg& find) {
             find.show();
             find.close();
         }},
        {"Escape", [](CFindTextDlg& find) { QTest::keyClick(&find, Qt::Key_Escape); }},
    };
    for (const auto& [name, closing] : closings) {
        SCOPED_TRACE(name);
        Load("text");
        FindWith([&](CFindTextDlg& find) {
            find.FindWhatEdit()->setText(QStringLiteral("Жук"));
            find.WholeWordCheck()->click();
            find.MatchCaseCheck()->click();
            find.UpRadio()->click();
            closing(find);
            EXPECT_FALSE(find.isVisible());
            return find.result();
        });
        EXPECT_TRUE(view.HaveLastSearch());
        EXPECT_EQ(view.LastSearchText(), "\xC6\xF3\xEA");
        EXPECT_EQ(view.LastSearchFlags(), CaseSensitive | WholeWordOnly | SearchUp);
        EXPECT_TRUE(Enabled(ID_EDIT_REPEAT));
        CSettingsStore settings;
        settings.beginGroup(QStringLiteral("CorvelEdit/Find"));
        EXPECT_EQ(settings.value(QStringLiteral("MatchCase")).toInt(), 1);
        EXPECT_EQ(settings.value(QStringLiteral("WholeWord")).toInt(), 1);
        EXPECT_EQ(settings.value(QStringLiteral("FindWhat")).toString(), QStringLiteral("Жук"));
        EXPECT_FALSE(settings.contains(QStringLiteral("Direction")));
        settings.endGroup();
        settings.remove(QStringLiteral("CorvelEdit/Find"));
    }
}

TEST_F(FindCommands, TheDialogStartsFromTheLastSearchElseFromTheSettings) {
    Load("text");
    DefineSearch(QStringLiteral("first"), true, true, false);
    WriteSettings(1, 0, QStringLiteral("stored"));
    struct Shown {
        QString text;
        bool wholeWord, matchCase, up;
    };
    auto open = [&] {
        Shown shown;
        FindWith([&](CFindTextDlg& find) {
            shown = {find.FindWhatEdit()->text(), find.WholeWordCheck()->isChecked(),
                     find.MatchCaseCheck()->isChecked(), find.UpRadio()->isChecked()};
            find.CloseButton()->click();
            return find.result();
        });
        return shown;
    };
    Shown fromLastSearch = open();
    EXPECT_EQ(fromLastSearch.text, QStringLiteral("first"));
    EXPECT_TRUE(fromLastSearch.wholeWord);
    EXPECT_FALSE(fromLastSearch.matchCase);
    EXPECT_TRUE(fromLastSearch.up);

    // A new buffer forgets the last search; the settings hold what the last dialog showed.
    WriteSettings(1, 0, QStringLiteral("stored"));
    Load("text");
    EXPECT_FALSE(view.HaveLastSearch());
    EXPECT_FALSE(Enabled(ID_EDIT_REPEAT));
    EXPECT_FALSE(Enabled(ID_EDIT_FIND_PREVIOUS));
    EXPECT_TRUE(Enabled(ID_EDIT_FIND));
    Shown fromSettings = open();
    EXPECT_EQ(fromSettings.text, QStringLiteral("stored"));
    EXPECT_FALSE(fromSettings.wholeWord);
    EXPECT_TRUE(fromSettings.matchCase);
    EXPECT_FALSE(fromSettings.up);
}

TEST_F(FindCommands, FindNextWrapsOnceAndReportsOnce) {
    Load("x ab y\r\nzz");
    DefineSearch(QStringLiteral("ab"));
    Place({4, 0});
    Key(Qt::Key_F3);
    ExpectSelection({2, 0}, {4, 0});
    Key(Qt::Key_F3);
    ExpectSelection({2, 0}, {4, 0});
    EXPECT_TRUE(host.messages.empty());

    DefineSearch(QStringLiteral("none"));
    Place({1, 1});
    Key(Qt::Key_F3);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text, kNotFoundTemplate.arg(QStringLiteral("none")));
    EXPECT_EQ(view.CaretPosition(), (TextPosition{1, 1}));
    EXPECT_FALSE(view.HasSelection());
}

TEST_F(FindCommands, FindPreviousStepsBackThroughTheMatches) {
    Load("ab ab ab\r\nab");
    struct Step {
        Qt::KeyboardModifiers modifiers;
        TextPosition expectedStart;
    };
    auto run = [&](const std::vector<Step>& steps) {
        for (const Step& step : steps) {
            Key(Qt::Key_F3, step.modifiers);
            EXPECT_EQ(view.SelectionStart(), step.expectedStart);
            EXPECT_EQ(view.CaretPosition(),
                      (TextPosition{step.expectedStart.x + 2, step.expectedStart.y}));
        }
    };
    DefineSearch(QStringLiteral("ab"));
    Place({0, 0});
    run({{Qt::NoModifier, {0, 0}},
         {Qt::NoModifier, {3, 0}},
         {Qt::NoModifier, {6, 0}},
         {Qt::ShiftModifier, {3, 0}},
         {Qt::ShiftModifier, {0, 0}},
         {Qt::ShiftModifier, {0, 1}},
         {Qt::NoModifier, {0, 0}}});
    // With an upward last search the keys change places.
    DefineSearch(QStringLiteral("ab"), true);
    EXPECT_EQ(view.LastSearchFlags(), SearchUp);
    run({{Qt::NoModifier, {0, 1}}, {Qt::NoModifier, {6, 0}}, {Qt::ShiftModifier, {0, 1}}});
    EXPECT_EQ(view.LastSearchFlags(), SearchUp);
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(FindCommands, ASearchForCharactersOutsideTheCodePageIsRefused) {
    const QString refused =
        QStringLiteral("Искомый текст содержит символы, которых нет в кодировке Windows-1251: μ");
    // The Greek mu would become '?' and find the question marks.
    Load("a?b\r\n?");
    FindWith([&](CFindTextDlg& find) {
        find.FindWhatEdit()->setText(QStringLiteral("μ"));
        find.FindNextButton()->click();
        EXPECT_EQ(find.result(), int(QDialog::Rejected)) << "the dialog stays open";
        find.CloseButton()->click();
        return find.result();
    });
    EXPECT_FALSE(view.HasSelection());
    EXPECT_EQ(host.messages.size(), 1u);

    // The stored search is refused by Find next and Find previous alike.
    Key(Qt::Key_F3);
    Key(Qt::Key_F3, Qt::ShiftModifier);
    std::vector<QString> texts;
    for (const auto& message : host.messages)
        texts.push_back(message.text);
    EXPECT_THAT(texts, testing::ElementsAre(refused, refused, refused));
    EXPECT_FALSE(view.HasSelection());
    EXPECT_EQ(view.CaretPosition(), (TextPosition{0, 0}));

    // The micro sign has a byte, and is found.
    host.messages.clear();
    Load(
        "1\xB5"
        "F ?");
    DefineSearch(QStringLiteral("\u00B5"));
    Key(Qt::Key_F3);
    ExpectSelection({1, 0}, {2, 0});
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(FindCommands, FindNextWithAnEmptyTextMovesTheCaretOnly) {
    Load("abc\r\n\r\n\r\nde");
    DefineSearch(QString());
    EXPECT_TRUE(view.HaveLastSearch());
    EXPECT_EQ(view.LastSearchText(), "");
    struct Case {
        const char* name;
        TextPosition caret;
        TextPosition expected;
    };
    const std::vector<Case> cases = {
        {"a character at the caret", {1, 0}, {1, 0}},
        {"at a line end, the next line with characters", {3, 0}, {0, 3}},
        {"at the text's end, around to the start", {2, 3}, {0, 0}},
    };
    for (const Case& each : cases) {
        SCOPED_TRACE(each.name);
        Place({0, 3}, each.caret);
        Key(Qt::Key_F3);
        EXPECT_EQ(view.CaretPosition(), each.expected);
        EXPECT_FALSE(view.HasSelection());
    }
    EXPECT_TRUE(host.messages.empty());
}

}  // namespace

// Replace (Ctrl+H): the dialog driven by a script through its buttons, ReplaceSelection, the
// selection given back, undo steps and the settings.

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <functional>
#include <string>
#include <vector>

#include "EditCommandHarness.h"
#include "EditReplaceDlg.h"
#include "ScriptedModalHost.h"
#include "SettingsStore.h"

namespace {

QString NotFound(const QString& text) {
    return QStringLiteral("Не могу найти строку \"%1\"").arg(text);
}

class Replace : public EditViewTest {
protected:
    void SetUp() override {
        EditViewTest::SetUp();
        CSettingsStore().remove(QStringLiteral("CorvelEdit/Replace"));
    }

    // Ctrl+H with the dialog answered by the script.
    void ReplaceWith(std::function<void(CEditReplaceDlg&)> script) {
        host.Then([script](QDialog& dialog) {
            auto* replace = qobject_cast<CEditReplaceDlg*>(&dialog);
            EXPECT_NE(replace, nullptr);
            if (replace == nullptr)
                return int(QDialog::Rejected);
            script(*replace);
            return replace->result();
        });
        Key(Qt::Key_H, Qt::ControlModifier);
    }

    static void Fill(CEditReplaceDlg& dialog, const QString& findWhat, const QString& replaceWith) {
        dialog.FindWhatEdit()->setText(findWhat);
        dialog.ReplaceWithEdit()->setText(replaceWith);
    }

    // Replace all of findWhat by replaceWith, then "Закрыть".
    void ReplaceAll(const QString& findWhat, const QString& replaceWith) {
        ReplaceWith([&](CEditReplaceDlg& dialog) {
            Fill(dialog, findWhat, replaceWith);
            dialog.ReplaceAllButton()->click();
            dialog.CloseButton()->click();
        });
    }

    std::vector<QString> MessageTexts() const {
        std::vector<QString> texts;
        for (const auto& message : host.messages)
            texts.push_back(message.text);
        return texts;
    }

    kivra_test::ScriptedModalHost host;
};

using testing::ElementsAre;

TEST_F(Replace, ReplaceAllInTheFileRunsFromTheCaretToTheEnd) {
    struct Case {
        int caret;
        const char* expected;
        int records;
    };
    for (const Case& each : {Case{0, "xyz xyz xyz", 6}, Case{3, "ab xyz xyz", 4}}) {
        SCOPED_TRACE(each.caret);
        host.messages.clear();
        Load("ab ab ab");
        Place({each.caret, 0});
        ReplaceAll(QStringLiteral("ab"), QStringLiteral("xyz"));
        EXPECT_THAT(Lines(), ElementsAre(each.expected));
        EXPECT_THAT(MessageTexts(), ElementsAre(NotFound(QStringLiteral("ab"))));
        EXPECT_TRUE(view.updatesEnabled());
        // Each replacement is a deletion and an insertion, all of them one undo step.
        ASSERT_EQ(buffer->HistorySize(), each.records);
        for (int record = 0; record < each.records; ++record) {
            EXPECT_EQ(buffer->HistoryRecord(record).action, EditAction::Replace);
            EXPECT_EQ(buffer->HistoryRecord(record).StartsGroup(), record == 0);
        }
        Key(Qt::Key_Z, Qt::ControlModifier);
        EXPECT_THAT(Lines(), ElementsAre("ab ab ab"));
        EXPECT_FALSE(buffer->CanStepBack());
    }
}

TEST_F(Replace, ReplaceAllInASelectionAndTheSelectionGivenBack) {
    struct Case {
        const char* name;
        const char* text;
        TextPosition start;
        TextPosition end;
        const char* replacement;
        std::vector<std::string> expected;
        TextPosition restoredEnd;
    };
    // clang-format off
    const std::vector<Case> cases = {
        {"ending mid-line: a match beginning before the moved end is replaced", "ab ab ab ab",
         {0, 0}, {7, 0}, "xyz", {"xyz xyz xyz ab"}, {8, 0}},
        {"widened by longer replacements", "ab ab ab", {0, 0}, {6, 0}, "xyz", {"xyz xyz ab"},
         {8, 0}},
        {"narrowed by shorter ones", "ab ab ab", {0, 0}, {6, 0}, "q", {"q q ab"}, {4, 0}},
        {"a last match ending at the end: its replacement lies just after", "ab ab ab", {0, 0},
         {5, 0}, "xyz", {"xyz xyz ab"}, {4, 0}},
        {"over lines, starting mid-word", "ab\r\nab ab\r\nab", {1, 0}, {4, 1}, "xyz",
         {"ab", "xyz xyz", "ab"}, {4, 1}},
    };
    // clang-format on
    for (const Case& each : cases) {
        SCOPED_TRACE(each.name);
        host.messages.clear();
        Load(each.text);
        Place(each.end, each.start);
        ReplaceWith([&](CEditReplaceDlg& dialog) {
            EXPECT_TRUE(dialog.InSelectionRadio()->isChecked());
            EXPECT_TRUE(dialog.InSelectionRadio()->isEnabled());
            EXPECT_EQ(dialog.blockBegin, each.start);
            EXPECT_EQ(dialog.blockEnd, each.end);
            Fill(dialog, QStringLiteral("ab"), QString::fromLatin1(each.replacement));
            dialog.ReplaceAllButton()->click();
            dialog.CloseButton()->click();
        });
        EXPECT_EQ(Lines(), each.expected);
        EXPECT_THAT(MessageTexts(), ElementsAre(NotFound(QStringLiteral("ab"))));
        EXPECT_EQ(OrderedStart(), each.start);
        EXPECT_EQ(OrderedEnd(), each.restoredEnd);
        EXPECT_EQ(view.CaretPosition(), each.restoredEnd);
    }
}

// --- Replace all as one undo step

std::string Joined(const std::vector<std::string>& lines) {
    std::string text;
    for (std::size_t index = 0; index < lines.size(); ++index)
        text += (index > 0 ? "\r\n" : "") + lines[index];
    return text;
}

std::vector<std::string> ReplacedEach(std::vector<std::string> lines, const std::string& from,
                                      const std::string& to) {
    for (std::string& line : lines) {
        for (std::size_t at = line.find(from); at != std::string::npos;
             at = line.find(from, at + to.size()))
            line.replace(at, from.size(), to);
    }
    return lines;
}

// Lines that differ, without printing 20,000 lines when they do.
int DifferingLines(const std::vector<std::string>& actual,
                   const std::vector<std::string>& expected) {
    if (actual.size() != expected.size())
        return -1;
    int differing = 0;
    for (std::size_t index = 0; index < actual.size(); ++index)
        differing += actual[index] != expected[index] ? 1 : 0;
    return differing;
}

TEST_F(Replace, ReplaceAllOfMoreMatchesThanTheHistoryHoldsIsOneUndoStep) {
    // 20,000 matches make 40,000 records, more than the history keeps.
    std::vector<std::string> original;
    for (int line = 0; line < 20000; ++line)
        original.push_back("R" + std::to_string(line) + " ab 1k");
    Load(Joined(original));
    Type("*");  // an earlier step, which the full history drops whole
    std::vector<std::string> before = original;
    before[0].insert(0, "*");
    const std::vector<std::string> replaced = ReplacedEach(before, "ab", "xyz");
    Place({0, 0});
    ReplaceAll(QStringLiteral("ab"), QStringLiteral("xyz"));
    ASSERT_EQ(DifferingLines(Lines(), replaced), 0);
    EXPECT_GT(buffer->HistorySize(), buffer->HistoryLimit());

    std::string caption, replaceName;
    buffer->UndoCaption(caption);
    ASSERT_TRUE(buffer->ActionName(EditAction::Replace, replaceName));
    EXPECT_EQ(caption, replaceName);

    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(DifferingLines(Lines(), before), 0);
    EXPECT_FALSE(buffer->CanStepBack());
    Key(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(DifferingLines(Lines(), replaced), 0);
    EXPECT_FALSE(buffer->CanStepForward());
}

TEST_F(Replace, LaterEditsNeverCutAReplaceAllLargerThanTheHistory) {
    struct Case {
        const char* name;
        const char* typed;
        bool undoRestoresTheOriginal;  // else it stops at the replaced text
    };
    const std::vector<std::string> original(10, "ab");
    const std::vector<std::string> replaced = ReplacedEach(original, "ab", "cd");
    for (const Case& each :
         {Case{"a letter joins the replacement's step", "x", true},
          Case{"a space starts a step, and the replacement goes whole", " ", false}}) {
        SCOPED_TRACE(each.name);
        Load(Joined(original));
        buffer->SetHistoryLimit(8);  // 20 records of Replace all
        ReplaceAll(QStringLiteral("ab"), QStringLiteral("cd"));
        ASSERT_EQ(Lines(), replaced);
        Key(Qt::Key_End);  // no selection for the typed character to replace
        Type(each.typed);
        Key(Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(Lines(), each.undoRestoresTheOriginal ? original : replaced);
        EXPECT_FALSE(buffer->CanStepBack());
    }
}

// --- Characters the code page lacks

TEST_F(Replace, TextsWithCharactersOutsideTheCodePageAreRefusedAndChangeNothing) {
    const QString pattern =
        QStringLiteral("Искомый текст содержит символы, которых нет в кодировке Windows-1251: %1");
    const QString replacement =
        QStringLiteral("Текст замены содержит символы, которых нет в кодировке Windows-1251: %1");
    using Press = QPushButton* (CEditReplaceDlg::*)() const;
    struct Case {
        const char* name;
        QString findWhat;
        QString replaceWith;
        Press button;
        QString message;
    };
    const std::vector<Case> cases = {
        {"Replace all of a Greek mu", QStringLiteral("μ"), QStringLiteral("u"),
         &CEditReplaceDlg::ReplaceAllButton, pattern.arg(QStringLiteral("μ"))},
        {"Replace of an accented letter", QStringLiteral("é"), QStringLiteral("e"),
         &CEditReplaceDlg::ReplaceButton, pattern.arg(QStringLiteral("é"))},
        {"Find next of an emoji", QStringLiteral("a\U0001F600"), QString(),
         &CEditReplaceDlg::FindNextButton, pattern.arg(QStringLiteral("\U0001F600"))},
        {"each missing character named once", QStringLiteral("μéμ"), QStringLiteral("x"),
         &CEditReplaceDlg::ReplaceAllButton, pattern.arg(QStringLiteral("μ, é"))},
        {"Replace all by a Greek mu", QStringLiteral("a"), QStringLiteral("μ"),
         &CEditReplaceDlg::ReplaceAllButton, replacement.arg(QStringLiteral("μ"))},
        {"Replace by an accented letter", QStringLiteral("a"), QStringLiteral("é"),
         &CEditReplaceDlg::ReplaceButton, replacement.arg(QStringLiteral("é"))},
    };
    for (const Case& each : cases) {
        SCOPED_TRACE(each.name);
        host.messages.clear();
        Load("a?b ??\r\n?a");
        ReplaceWith([&](CEditReplaceDlg& dialog) {
            Fill(dialog, each.findWhat, each.replaceWith);
            (dialog.*each.button)()->click();
            EXPECT_FALSE(dialog.matchSelected);
            dialog.CloseButton()->click();
        });
        EXPECT_THAT(Lines(), ElementsAre("a?b ??", "?a"));
        EXPECT_EQ(buffer->HistorySize(), 0);
        EXPECT_FALSE(view.HasSelection());
        EXPECT_THAT(MessageTexts(), ElementsAre(each.message));
    }
}

TEST_F(Replace, ReplaceAllEndsWhenTheReplacementHoldsTheText) {
    Load("aaa\r\na");
    ReplaceAll(QStringLiteral("a"), QStringLiteral("aa"));
    EXPECT_THAT(Lines(), ElementsAre("aaaaaa", "aa"));
    EXPECT_EQ(host.messages.size(), 1u);
}

TEST_F(Replace, WholeWordsAndCaseInReplaceAll) {
    struct Case {
        bool wholeWord;
        bool matchCase;
        const char* expected;
    };
    for (const Case& each : {Case{false, false, "- - -c -_"}, Case{true, false, "- - abc ab_"},
                             Case{true, true, "Ab - abc ab_"}, Case{false, true, "Ab - -c -_"}}) {
        SCOPED_TRACE(testing::Message() << each.wholeWord << each.matchCase);
        Load("Ab ab abc ab_");
        ReplaceWith([&](CEditReplaceDlg& dialog) {
            Fill(dialog, QStringLiteral("ab"), QStringLiteral("-"));
            dialog.WholeWordCheck()->setChecked(each.wholeWord);
            dialog.MatchCaseCheck()->setChecked(each.matchCase);
            dialog.ReplaceAllButton()->click();
            dialog.CloseButton()->click();
        });
        EXPECT_THAT(Lines(), ElementsAre(each.expected));
    }
}

TEST_F(Replace, TheFirstReplaceOnlySelectsTheNextReplacesAndSelectsTheFollowing) {
    Load("ab ab");
    ReplaceWith([&](CEditReplaceDlg& dialog) {
        Fill(dialog, QStringLiteral("ab"), QStringLiteral("xyz"));
        dialog.ReplaceButton()->click();
        EXPECT_THAT(Lines(), ElementsAre("ab ab"));
        EXPECT_EQ(view.SelectionStart(), (TextPosition{0, 0}));
        EXPECT_EQ(view.SelectionEnd(), (TextPosition{2, 0}));
        EXPECT_TRUE(dialog.matchSelected);

        dialog.ReplaceButton()->click();
        EXPECT_THAT(Lines(), ElementsAre("xyz ab"));
        EXPECT_EQ(view.SelectionStart(), (TextPosition{4, 0}));
        EXPECT_EQ(view.SelectionEnd(), (TextPosition{6, 0}));
        EXPECT_TRUE(host.messages.empty());

        dialog.ReplaceButton()->click();
        EXPECT_THAT(Lines(), ElementsAre("xyz xyz"));
        EXPECT_FALSE(dialog.matchSelected);
        EXPECT_EQ(host.messages.size(), 1u);
        dialog.CloseButton()->click();
    });
}

TEST_F(Replace, FindNextFindsOverlappingMatchesAndStartsOverAfterTheEnd) {
    Load("aaa");
    ReplaceWith([&](CEditReplaceDlg& dialog) {
        Fill(dialog, QStringLiteral("aa"), QString());
        std::vector<TextPosition> starts;
        for (int press = 0; press < 4; ++press) {
            dialog.FindNextButton()->click();
            starts.push_back(dialog.matchSelected ? view.SelectionStart() : TextPosition{-1, -1});
        }
        EXPECT_THAT(starts, ElementsAre(TextPosition{0, 0}, TextPosition{1, 0},
                                        TextPosition{-1, -1}, TextPosition{0, 0}));
        dialog.CloseButton()->click();
    });
    EXPECT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(buffer->HistorySize(), 0);
}

TEST_F(Replace, AnEmptyFindWhatReplacesNothingAndSaysSoOnce) {
    Load("ab");
    ReplaceWith([&](CEditReplaceDlg& dialog) {
        Fill(dialog, QString(), QStringLiteral("x"));
        EXPECT_FALSE(dialog.FindNextButton()->isEnabled());
        EXPECT_TRUE(dialog.ReplaceButton()->isEnabled());
        EXPECT_TRUE(dialog.ReplaceAllButton()->isEnabled());
        dialog.ReplaceButton()->click();
        EXPECT_EQ(host.messages.size(), 1u);
        dialog.ReplaceAllButton()->click();
        EXPECT_EQ(host.messages.size(), 2u);
        dialog.CloseButton()->click();
    });
    EXPECT_THAT(MessageTexts(), ElementsAre(NotFound(QString()), NotFound(QString())));
    EXPECT_THAT(Lines(), ElementsAre("ab"));
    EXPECT_EQ(buffer->HistorySize(), 0);
}

TEST_F(Replace, SettingsAreWrittenOnEveryCloseAndReadOnTheNextOpen) {
    const std::vector<std::pair<const char*, std::function<void(CEditReplaceDlg&)>>> closings = {
        {"Закрыть", [](CEditReplaceDlg& dialog) { dialog.CloseButton()->click(); }},
        {"window close",
         [](CEditReplaceDlg& dialog) {
             dialog.show();
             dialog.close();
         }},
        {"Escape", [](CEditReplaceDlg& dialog) { QTest::keyClick(&dialog, Qt::Key_Escape); }},
    };
    Load("text");
    int round = 0;
    for (const auto& [name, closing] : closings) {
        SCOPED_TRACE(name);
        QString findWhat = QStringLiteral("жук %1").arg(round);
        QString replaceWith = QStringLiteral("Жук %1").arg(round);
        bool flag = round % 2 == 0;
        ReplaceWith([&](CEditReplaceDlg& dialog) {
            Fill(dialog, findWhat, replaceWith);
            dialog.WholeWordCheck()->setChecked(flag);
            dialog.MatchCaseCheck()->setChecked(!flag);
            closing(dialog);
            EXPECT_FALSE(dialog.isVisible());
        });
        CSettingsStore settings;
        settings.beginGroup(QStringLiteral("CorvelEdit/Replace"));
        EXPECT_EQ(settings.value(QStringLiteral("FindWhat")).toString(), findWhat);
        EXPECT_EQ(settings.value(QStringLiteral("ReplaceWith")).toString(), replaceWith);
        EXPECT_EQ(settings.value(QStringLiteral("WholeWord")).toInt(), flag ? 1 : 0);
        EXPECT_EQ(settings.value(QStringLiteral("MatchCase")).toInt(), flag ? 0 : 1);
        ReplaceWith([&](CEditReplaceDlg& dialog) {
            EXPECT_EQ(dialog.FindWhatEdit()->text(), findWhat);
            EXPECT_EQ(dialog.ReplaceWithEdit()->text(), replaceWith);
            EXPECT_EQ(dialog.WholeWordCheck()->isChecked(), flag);
            EXPECT_EQ(dialog.MatchCaseCheck()->isChecked(), !flag);
            EXPECT_TRUE(dialog.FindNextButton()->isEnabled());
            // Without a selection the scope is the file, and the selection cannot be chosen.
            EXPECT_TRUE(dialog.InFileRadio()->isChecked());
            EXPECT_FALSE(dialog.InSelectionRadio()->isEnabled());
            dialog.CloseButton()->click();
        });
        ++round;
    }
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(Replace, NoDialogWithoutAnEditableText) {
    Load("ab");
    buffer->MakeReadOnly(true);
    Key(Qt::Key_H, Qt::ControlModifier);
    view.UnbindBuffer();
    Key(Qt::Key_H, Qt::ControlModifier);
    EXPECT_EQ(host.dialogsShown, 0);
}

TEST_F(Replace, ReplaceSelectionNeedsASelection) {
    Load("one two");
    Place({4, 0});
    EXPECT_FALSE(view.ReplaceSelection("x"));
    EXPECT_EQ(buffer->HistorySize(), 0);
    Place({7, 0}, {4, 0});
    EXPECT_TRUE(view.ReplaceSelection("three"));
    EXPECT_THAT(Lines(), ElementsAre("one three"));
    EXPECT_EQ(view.SelectionStart(), (TextPosition{4, 0}));
    EXPECT_EQ(view.SelectionEnd(), (TextPosition{9, 0}));
    EXPECT_EQ(view.CaretPosition(), (TextPosition{9, 0}));
    EXPECT_EQ(view.Anchor(), (TextPosition{9, 0}));
    EXPECT_EQ(buffer->HistorySize(), 2);
}

// --- A UTF-8 view: the texts are written as UTF-8 and folded by character

TEST_F(Replace, ReplaceAllInUtf8WritesCharactersTheCodePageLacks) {
    Load("C1 1 0 10 МКФ\r\nC2 2 0 22 мкФ");
    view.SetEncoding(TextEncoding::Utf8);
    ReplaceAll(QStringLiteral("мкф"), QStringLiteral("μF"));
    EXPECT_THAT(Lines(), ElementsAre("C1 1 0 10 μF", "C2 2 0 22 μF"));
    // Only the end of the search is said: nothing was refused.
    EXPECT_THAT(MessageTexts(), ElementsAre(NotFound(QStringLiteral("мкф"))));
}

TEST_F(Replace, OneReplacementInUtf8ReplacesWholeCharacters) {
    Load("8Ω 8ω");
    view.SetEncoding(TextEncoding::Utf8);
    ReplaceWith([&](CEditReplaceDlg& dialog) {
        Fill(dialog, QStringLiteral("8ω"), QStringLiteral("8 Ом"));
        dialog.ReplaceButton()->click();  // finds the first
        dialog.ReplaceButton()->click();  // replaces it, finds the second
        dialog.CloseButton()->click();
    });
    EXPECT_THAT(Lines(), ElementsAre("8 Ом 8ω"));
    EXPECT_EQ(view.SelectionStart(), (TextPosition{7, 0}));
    EXPECT_EQ(view.SelectionEnd(), (TextPosition{10, 0}));
    EXPECT_TRUE(host.messages.empty());
}

}  // namespace

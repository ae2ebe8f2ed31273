#include <gtest/gtest.h>

#include <QKeyEvent>

#include <ostream>
#include <string>

#include "CommandIds.h"
#include "KeyTable.h"

namespace {

// Part of the text view's bindings, enough to tell neighbouring combinations apart.
CKeyTable ViewKeys() {
    return CKeyTable{
        {Qt::Key_Left, ID_STEP_CHAR_LEFT},
        {Qt::SHIFT | Qt::Key_Left, ID_STEP_CHAR_LEFT_EXTEND},
        {Qt::CTRL | Qt::Key_Left, ID_STEP_WORD_LEFT},
        {Qt::CTRL | Qt::SHIFT | Qt::Key_Left, ID_STEP_WORD_LEFT_EXTEND},
        {Qt::Key_Home, ID_GO_LINE_START},
        {Qt::SHIFT | Qt::Key_Home, ID_GO_LINE_START_EXTEND},
        {Qt::CTRL | Qt::Key_0, ID_TOGGLE_NUMBERED_BOOKMARK_0},
        {Qt::ALT | Qt::Key_3, GoNumberedBookmarkId(3)},
        {Qt::Key_F2, ID_NEXT_BOOKMARK},
        {Qt::SHIFT | Qt::Key_F2, ID_PREVIOUS_BOOKMARK},
        {Qt::CTRL | Qt::Key_F2, ID_TOGGLE_BOOKMARK},
        {Qt::CTRL | Qt::SHIFT | Qt::Key_F2, ID_CLEAR_ALL_BOOKMARKS},
        {Qt::Key_Tab, ID_EDIT_TAB},
        {Qt::SHIFT | Qt::Key_Tab, ID_EDIT_UNTAB},
        {Qt::CTRL | Qt::Key_C, ID_EDIT_COPY},
        {Qt::CTRL | Qt::Key_Insert, ID_EDIT_COPY},
        {Qt::ALT | Qt::Key_Backspace, ID_EDIT_UNDO},
        {Qt::Key_Delete, ID_EDIT_DELETE},
    };
}

struct KeyCase {
    const char* name;
    int key;
    Qt::KeyboardModifiers modifiers;
    int command;
};

void PrintTo(const KeyCase& c, std::ostream* out) {
    *out << c.name;
}

class KeyLookup : public ::testing::TestWithParam<KeyCase> {};

TEST_P(KeyLookup, FindsTheCommandOfTheKeyEvent) {
    const KeyCase& c = GetParam();
    const QKeyEvent event(QEvent::KeyPress, c.key, c.modifiers);
    EXPECT_EQ(ViewKeys().CommandFor(event), c.command);
}

constexpr Qt::KeyboardModifiers kNone = Qt::NoModifier;
constexpr Qt::KeyboardModifiers kShift = Qt::ShiftModifier;
constexpr Qt::KeyboardModifiers kCtrl = Qt::ControlModifier;
constexpr Qt::KeyboardModifiers kAlt = Qt::AltModifier;
constexpr Qt::KeyboardModifiers kKeypad = Qt::KeypadModifier;

const KeyCase kKeyCases[] = {
    {"Plain", Qt::Key_Left, kNone, ID_STEP_CHAR_LEFT},
    {"Shift", Qt::Key_Left, kShift, ID_STEP_CHAR_LEFT_EXTEND},
    {"Ctrl", Qt::Key_Left, kCtrl, ID_STEP_WORD_LEFT},
    {"CtrlShift", Qt::Key_Left, kCtrl | kShift, ID_STEP_WORD_LEFT_EXTEND},
    {"UnboundAlt", Qt::Key_Left, kAlt, 0},
    {"UnboundMeta", Qt::Key_Left, Qt::MetaModifier, 0},
    {"UnboundCtrlAlt", Qt::Key_Left, kCtrl | kAlt, 0},
    {"F2", Qt::Key_F2, kNone, ID_NEXT_BOOKMARK},
    {"ShiftF2", Qt::Key_F2, kShift, ID_PREVIOUS_BOOKMARK},
    {"CtrlF2", Qt::Key_F2, kCtrl, ID_TOGGLE_BOOKMARK},
    {"CtrlShiftF2", Qt::Key_F2, kCtrl | kShift, ID_CLEAR_ALL_BOOKMARKS},
    {"CtrlDigit", Qt::Key_0, kCtrl, ID_TOGGLE_NUMBERED_BOOKMARK_0},
    {"AltDigit", Qt::Key_3, kAlt, ID_GO_NUMBERED_BOOKMARK_0 + 3},
    {"PlainDigitUnbound", Qt::Key_0, kNone, 0},
    {"AltBackspace", Qt::Key_Backspace, kAlt, ID_EDIT_UNDO},
    {"SecondKeyOfACommand", Qt::Key_Insert, kCtrl, ID_EDIT_COPY},
    // Keypad navigation keys (Num Lock off) are the ordinary keys.
    {"KeypadHome", Qt::Key_Home, kKeypad, ID_GO_LINE_START},
    {"KeypadShiftHome", Qt::Key_Home, kKeypad | kShift, ID_GO_LINE_START_EXTEND},
    {"KeypadCtrlLeft", Qt::Key_Left, kKeypad | kCtrl, ID_STEP_WORD_LEFT},
    {"KeypadDelete", Qt::Key_Delete, kKeypad, ID_EDIT_DELETE},
    // Keypad digits are keys of their own.
    {"KeypadCtrlDigit", Qt::Key_0, kKeypad | kCtrl, 0},
    {"KeypadAltDigit", Qt::Key_3, kKeypad | kAlt, 0},
    // Qt reports Shift+Tab as Backtab.
    {"Tab", Qt::Key_Tab, kNone, ID_EDIT_TAB},
    {"Backtab", Qt::Key_Backtab, kShift, ID_EDIT_UNTAB},
    {"AltGrIgnored", Qt::Key_Left, Qt::GroupSwitchModifier, ID_STEP_CHAR_LEFT},
    // With the Russian layout active, Ctrl+С is Ctrl+C; the letter alone is typing.
    {"CtrlCyrillicEs", 0x0421, kCtrl, ID_EDIT_COPY},
    {"CyrillicEsAlone", 0x0421, kNone, 0},
    {"CtrlCyrillicWithoutLatinBinding", 0x0424, kCtrl, 0},  // Ф is at A
    {"ModifierKeyAlone", Qt::Key_Control, kCtrl, 0},
    {"UnknownKey", Qt::Key_unknown, kCtrl, 0},
};

INSTANTIATE_TEST_SUITE_P(Cases, KeyLookup, ::testing::ValuesIn(kKeyCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(KeyTable, LaterBindingOfTheSameKeysReplacesTheEarlier) {
    CKeyTable table{{Qt::Key_F3, ID_EDIT_REPEAT}, {Qt::Key_F3, ID_EDIT_FIND}};
    EXPECT_EQ(table.Size(), 1);
    EXPECT_EQ(table.CommandFor(Qt::Key_F3), ID_EDIT_FIND);
}

TEST(KeyTable, ShiftTabAndShiftBacktabAreOneBinding) {
    CKeyTable table{{Qt::SHIFT | Qt::Key_Backtab, ID_EDIT_UNTAB}};
    table.Bind(Qt::SHIFT | Qt::Key_Tab, ID_EDIT_TAB);
    EXPECT_EQ(table.Size(), 1);
    table.Unbind(Qt::SHIFT | Qt::Key_Backtab);
    EXPECT_EQ(table.CommandFor(Qt::SHIFT | Qt::Key_Tab), 0);
}

}  // namespace

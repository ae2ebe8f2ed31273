#include "KeyTable.h"

#include <QKeyEvent>

namespace {

constexpr Qt::KeyboardModifiers kSignificantModifiers =
    Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;

QKeyCombination Normalized(QKeyCombination keys) {
    Qt::KeyboardModifiers modifiers = keys.keyboardModifiers() & kSignificantModifiers;
    Qt::Key key = keys.key();
    if (key == Qt::Key_Backtab) {
        key = Qt::Key_Tab;
        modifiers |= Qt::ShiftModifier;
    }
    return QKeyCombination(modifiers, key);
}

// Keys of the numeric keypad that send characters rather than movements.
bool IsKeypadCharacterKey(int key) {
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return true;
    switch (key) {
        case Qt::Key_Plus:
        case Qt::Key_Minus:
        case Qt::Key_Asterisk:
        case Qt::Key_Slash:
        case Qt::Key_Period:
        case Qt::Key_Comma:
            return true;
        default:
            return false;
    }
}

// The Latin key at the place of a letter of the standard Russian layout, or 0.
int LatinKeyAtPlaceOf(int key) {
    // А Б В Г Д Е Ж З И Й К Л М Н О П Р С Т У Ф Х Ц Ч Ш Щ Ъ Ы Ь Э Ю Я
    static constexpr int kPlaces[32] = {
        Qt::Key_F,           Qt::Key_Comma, Qt::Key_D,
        Qt::Key_U,           Qt::Key_L,     Qt::Key_T,
        Qt::Key_Semicolon,   Qt::Key_P,     Qt::Key_B,
        Qt::Key_Q,           Qt::Key_R,     Qt::Key_K,
        Qt::Key_V,           Qt::Key_Y,     Qt::Key_J,
        Qt::Key_G,           Qt::Key_H,     Qt::Key_C,
        Qt::Key_N,           Qt::Key_E,     Qt::Key_A,
        Qt::Key_BracketLeft, Qt::Key_W,     Qt::Key_X,
        Qt::Key_I,           Qt::Key_O,     Qt::Key_BracketRight,
        Qt::Key_S,           Qt::Key_M,     Qt::Key_Apostrophe,
        Qt::Key_Period,      Qt::Key_Z,
    };
    if (key >= 0x0430 && key <= 0x044F)  // lower case, should a platform report it
        key -= 0x20;
    if (key >= 0x0410 && key <= 0x042F)
        return kPlaces[key - 0x0410];
    if (key == 0x0401 || key == 0x0451)  // Ё
        return Qt::Key_QuoteLeft;
    return 0;
}

}  // namespace

CKeyTable::CKeyTable(std::initializer_list<Entry> list) {
    for (const Entry& entry : list)
        Bind(entry.keys, entry.commandId);
}

CKeyTable::CKeyTable(const std::vector<Entry>& list) {
    for (const Entry& entry : list)
        Bind(entry.keys, entry.commandId);
}

void CKeyTable::Bind(QKeyCombination keys, int commandId) {
    const QKeyCombination normalized = Normalized(keys);
    for (Entry& entry : entries) {
        if (entry.keys == normalized) {
            entry.commandId = commandId;
            return;
        }
    }
    entries.push_back({normalized, commandId});
}

void CKeyTable::Unbind(QKeyCombination keys) {
    const QKeyCombination normalized = Normalized(keys);
    std::erase_if(entries, [normalized](const Entry& entry) { return entry.keys == normalized; });
}

int CKeyTable::CommandFor(QKeyCombination keys) const {
    const QKeyCombination normalized = Normalized(keys);
    for (const Entry& entry : entries) {
        if (entry.keys == normalized)
            return entry.commandId;
    }
    return 0;
}

int CKeyTable::CommandFor(const QKeyEvent& event) const {
    const int key = event.key();
    if (key == 0 || key == Qt::Key_unknown)
        return 0;
    const Qt::KeyboardModifiers modifiers = event.modifiers();
    if ((modifiers & Qt::KeypadModifier) && IsKeypadCharacterKey(key))
        return 0;
    const int command = CommandFor(QKeyCombination(modifiers, static_cast<Qt::Key>(key)));
    if (command != 0 || !(modifiers & (Qt::ControlModifier | Qt::AltModifier)))
        return command;
    const int latin = LatinKeyAtPlaceOf(key);
    return latin == 0 ? 0 : CommandFor(QKeyCombination(modifiers, static_cast<Qt::Key>(latin)));
}

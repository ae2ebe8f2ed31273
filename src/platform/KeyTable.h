#pragma once

#include <QtCore/qnamespace.h>

#include <initializer_list>
#include <vector>

class QKeyEvent;

// A window's key bindings: key combination -> command id. Only Shift, Ctrl, Alt and Meta take
// part in a combination; Shift+Tab may be given as Qt::SHIFT | Qt::Key_Tab.
//
// Events are matched the way a desktop accelerator table matches keys: the navigation keys of
// the numeric keypad count as the ordinary ones, while its digits and operators are keys of
// their own and match nothing. With Ctrl or Alt held, a letter of the Russian layout matches the
// Latin key at the same place, so Ctrl+C works whichever layout is active.
class CKeyTable {
public:
    struct Entry {
        QKeyCombination keys;
        int commandId;
    };

    CKeyTable() = default;
    CKeyTable(std::initializer_list<Entry> entries);
    explicit CKeyTable(const std::vector<Entry>& entries);

    // A later binding of the same combination replaces the earlier one.
    void Bind(QKeyCombination keys, int commandId);
    void Unbind(QKeyCombination keys);

    // The command bound to the combination, or 0 when none is.
    int CommandFor(QKeyCombination keys) const;
    int CommandFor(const QKeyEvent& event) const;

    int Size() const { return static_cast<int>(entries.size()); }
    const std::vector<Entry>& Entries() const { return entries; }

private:
    std::vector<Entry> entries;  // normalised combinations, each once
};

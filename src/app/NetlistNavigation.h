#pragma once

class CSampleView;

// From a name in a netlist to where it is defined and used: F12 goes to the definition of the
// name at the caret, Alt+Left back to where F12 was pressed, Shift+F12 lists the name's usages.
// The places come from the document's current analysis, so they hold right after typing.

// Opens the definition with its name selected, remembering where the caret was; says in the
// status bar when there is none.
void GoToDefinition(CSampleView& view);
// Back to the place the last F12 that found a definition left, across files; false when no
// place is left to go back to.
bool GoBackFromDefinition();
bool CanGoBackFromDefinition();
// The usages of the name at the caret in the list window "Использования: NAME".
void ShowUsages(CSampleView& view);

#pragma once

// The edit view's strings, by their ids in the program's string table. UTF-8.
constexpr int kUndoLabel = 8615;  // "Отменить ввод" (a format without a placeholder)
constexpr int kRedoLabel = 8616;  // "Повторить ввод"
constexpr int kUndoLabelDisabled = 8617;  // "Отменить ввод"
constexpr int kRedoLabelDisabled = 8618;  // "Повторить ввод"
// Pasted or dropped text held characters the code page lacks; %1 lists them.
constexpr int kCharactersNotInserted = 8650;
// A typed character the code page lacks (%1), and several of them (%1 lists them).
constexpr int kCharacterNotTyped = 8651;
constexpr int kCharactersNotTyped = 8652;

const char* EditString(int id);

#pragma once

// The user action an undo record belongs to. Each has a description in the buffer's string table.
enum class EditAction : int {
    Unknown = 0,
    Paste = 1,
    DeleteSelection = 2,
    Cut = 3,
    Typing = 4,
    Backspace = 5,
    Indent = 6,
    DragAndDrop = 7,
    Replace = 8,
    Delete = 9,
    AutoIndent = 10,
};

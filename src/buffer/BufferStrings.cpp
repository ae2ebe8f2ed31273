#include "BufferStrings.h"

namespace {

struct StringEntry {
    int id;
    const char* text;
};

constexpr StringEntry kStrings[] = {
    {8619, "Unknown"},       {8620, "Paste"},   {8621, "Delete Selection"}, {8622, "Cut"},
    {8623, "Delete"},        {8624, "Typing"},  {8625, "Backspace"},        {8626, "Indent"},
    {8627, "Drag And Drop"}, {8628, "Replace"}, {8629, "Auto Indent"},
};

}  // namespace

const char* BufferString(int id) {
    for (const StringEntry& entry : kStrings) {
        if (entry.id == id)
            return entry.text;
    }
    return nullptr;
}

#pragma once

// Text put into a document as typing puts it: one typing step of its buffer.

#include <gtest/gtest.h>

#include "SampleDoc.h"

namespace kivra_test {

// Inserts the text at the start of the line.
inline void Type(CSampleDoc& document, const char* text, int line = 0) {
    int endLine = 0, endCharacter = 0;
    ASSERT_TRUE(document.buffer.InsertAt(nullptr, line, 0, text, endLine, endCharacter,
                                         EditAction::Typing));
}

}  // namespace kivra_test

#include <gtest/gtest.h>

#include "CorvelTextBuffer.h"

TEST(LineStore, CreateEmptyHoldsOneEmptyLine) {
    CCorvelTextBuffer buffer;
    buffer.CreateEmpty(LineEndingStyle::Win);
    EXPECT_EQ(buffer.LineTotal(), 1);
    EXPECT_EQ(buffer.LineLength(0), 0);
}

#include "foundation/decimal_text.h"

#include <gtest/gtest.h>

using quillon::ReadDecimalLong;

TEST(DecimalText, ReadsLikeTheClassicAtol) {
    EXPECT_EQ(ReadDecimalLong("42"), 42);
    EXPECT_EQ(ReadDecimalLong(" \t\r\n\v\f-17xyz"), -17);
    EXPECT_EQ(ReadDecimalLong("+5"), 5);
    EXPECT_EQ(ReadDecimalLong("12abc"), 12);
    EXPECT_EQ(ReadDecimalLong("--5"), 0);
    EXPECT_EQ(ReadDecimalLong("-"), 0);
    EXPECT_EQ(ReadDecimalLong(""), 0);
    EXPECT_EQ(ReadDecimalLong(nullptr), 0);
    EXPECT_EQ(ReadDecimalLong("1 2"), 1);
}

TEST(DecimalText, OverflowWrapsModulo2To32) {
    EXPECT_EQ(ReadDecimalLong("2147483647"), 2147483647);
    EXPECT_EQ(ReadDecimalLong("2147483648"), -2147483647 - 1);
    EXPECT_EQ(ReadDecimalLong("4294967295"), -1);
    EXPECT_EQ(ReadDecimalLong("4294967297"), 1);
    EXPECT_EQ(ReadDecimalLong("-2147483649"), 2147483647);
    EXPECT_EQ(ReadDecimalLong("99999999999"), 1215752191);
}

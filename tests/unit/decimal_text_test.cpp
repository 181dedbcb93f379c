#include "foundation/decimal_text.h"

#include <gtest/gtest.h>

#include <string>

// Read like the classic atol: blanks, one sign, digits; wraps modulo 2^32.
TEST(DecimalText, ReadsLikeTheClassicAtol) {
    const struct {
        const char* text;
        int32_t number;
    } cases[] = {
        {"42", 42}, {" \t\r\n\v\f-17xyz", -17}, {"+5", 5}, {"12abc", 12}, {"--5", 0}, {"-", 0}, {"", 0}, {nullptr, 0},
        {"1 2", 1}, {"2147483647", 2147483647}, {"2147483648", INT32_MIN}, {"4294967295", -1}, {"4294967297", 1},
        {"-2147483649", 2147483647}, {"99999999999", 1215752191},
        {"100000000000000000000", 1661992960},  // 10^20 mod 2^32
    };
    for (const auto& c : cases) EXPECT_EQ(quillon::ReadDecimalLong(c.text), c.number) << (c.text ? c.text : "(null)");
    // 10^5000 - 1 mod 2^32, reduced digit by digit in 64-bit arithmetic.
    uint64_t expected = 0;
    for (int i = 0; i < 5000; ++i) expected = (expected * 10 + 9) % 4294967296ull;
    EXPECT_EQ(static_cast<uint32_t>(quillon::ReadDecimalLong(std::string(5000, '9').c_str())), expected);
}

#include "config/script/script_numbers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

using quillon::FormatReal;
using quillon::ReadRealWord;

TEST(ScriptNumbers, ReadRealWordStopsAtTheComma) {
    const struct {
        std::string word;
        double value;
    } cases[] = {
        {"1,5", 1.0}, {"-12,75", -12.0}, {",", 0.0}, {"-", 0.0}, {"--1,0", 0.0}, {"3-4,0", 3.0},
        {"123456789012345678901234567890,", 123456789012345678901234567890.0},
        {std::string(400, '9') + ",", std::numeric_limits<double>::infinity()},
    };
    for (const auto& c : cases) EXPECT_EQ(ReadRealWord(c.word.c_str()), c.value) << c.word;
    EXPECT_TRUE(std::signbit(ReadRealWord("-0,0")));
}

// Answers of the Windows runtime's _gcvt(value, 7, buffer); the Wine tests
// compare with the runtime itself.
TEST(ScriptNumbers, FormatRealLikeGcvtWithSevenDigits) {
    const double inf = std::numeric_limits<double>::infinity();
    const struct {
        double value;
        const char* text;
    } cases[] = {
        {0.0, "0"}, {-0.0, "-0"}, {1.0, "1"}, {-1.0, "-1"}, {0.5, "0.5"}, {0.05, "0.05"}, {0.123456789, "0.1234568"},
        {0.0001, "0.0001"}, {0.00012345678, "0.0001234568"}, {1.5e-5, "1.5e-005"}, {-1.5e-7, "-1.5e-007"},
        {1234567.0, "1234567"}, {9999999.0, "9999999"}, {12345678.0, "1.234568e+007"},
        {12345685.0, "1.234569e+007"},  // an exact tie rounds away from zero
        {12345675.0, "1.234568e+007"}, {1234568.5, "1234569"}, {99999995.0, "1e+008"}, {123456.5, "123456.5"},
        {1e16, "1e+016"}, {1e20, "1e+020"}, {1e100, "1e+100"}, {1e-300, "1e-300"}, {3.25, "3.25"}, {100.0, "100"},
        {inf, "1.#INF"}, {-inf, "-1.#INF"}, {inf - inf, "-1.#IND"},
    };
    for (const auto& c : cases) EXPECT_STREQ(FormatReal(c.value, 7).Text(), c.text) << c.value;
}

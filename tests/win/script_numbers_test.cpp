// The script engine's own atol and _gcvt against the Windows runtime's.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "config/script/script_numbers.h"
#include "foundation/decimal_text.h"

TEST(ScriptNumbersWin, FormatRealAndDecimalReadingMatchTheRuntime) {
    // Script floats are whole numbers (number words read up to their comma),
    // so the values are mostly integers of every size, with the ties at the
    // seventh digit where the rounding rules differ.
    std::mt19937_64 random(20261206);
    std::vector<double> values = {0.0, -0.0, 0.5, 0.05, 1e-5, 1.5e-5, 0.0001, 0.00012345678, 1e16, 1e100, 1e300};
    for (double p = 1; p < 1e22; p *= 10)
        for (double m : {1.0, 9.0, 9.9999995, 1.2345675, 1.2345685, 1.2345665, 5.5555555})
            values.insert(values.end(), {std::round(m * p), -std::round(m * p), std::round(m * p) + 1});
    for (int i = 0; i < 20000; ++i) {
        values.push_back(static_cast<double>(static_cast<int64_t>(random() >> (random() % 63))));
        values.push_back(std::ldexp(static_cast<double>(random() >> 11), static_cast<int>(random() % 200) - 120));
    }
    for (double v : values) {
        char expected[64];
        _gcvt(v, 7, expected);
        ASSERT_STREQ(quillon::FormatReal(v, 7).Text(), expected) << v;
    }

    std::vector<std::string> texts = {"", "+42", "  7", "\t\r\n\v\f-3x", "12abc", "--5", "-", "+", "-2147483648",
                                      "-2147483649", "4294967297", "-99999999999", "1 2", "0x10"};
    for (int i = 0; i < 5000; ++i) {
        std::string t = (random() % 2) ? "-" : "";
        for (int k = static_cast<int>(random() % 25); k > 0; --k) t += static_cast<char>('0' + random() % 10);
        texts.push_back(t);
    }
    for (const std::string& t : texts)
        ASSERT_EQ(quillon::ReadDecimalLong(t.c_str()), static_cast<int32_t>(atol(t.c_str()))) << t;
}

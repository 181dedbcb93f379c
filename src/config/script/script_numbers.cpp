#include "config/script/script_numbers.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace quillon {

double ReadRealWord(const char* word) {
    if (word == nullptr) return 0.0;
    size_t length = (*word == '-') ? 1 : 0;
    size_t digits = 0;
    while (word[length + digits] >= '0' && word[length + digits] <= '9') ++digits;
    if (digits == 0) return 0.0;
    // Only "[-]digits" goes to strtod, so that no locale's decimal comma can
    // make "1,5" read as one and a half.
    TextString number;
    number.Assign(word, static_cast<int>(length + digits));
    if (number.IsNull()) return 0.0;
    return std::strtod(number.Text(), nullptr);
}

namespace {

// Appends a signed exponent with at least three digits: e+007, e-300.
void AppendExponent(std::string& out, int exponent) {
    char text[16];
    std::snprintf(text, sizeof text, "e%c%03d", exponent < 0 ? '-' : '+', exponent < 0 ? -exponent : exponent);
    out += text;
}

// Drops trailing zeros of a fraction, and the point when nothing is left.
void TrimFraction(std::string& digits) {
    if (digits.find('.') == std::string::npos) return;
    while (!digits.empty() && digits.back() == '0') digits.pop_back();
    if (!digits.empty() && digits.back() == '.') digits.pop_back();
}

}  // namespace

TextString FormatReal(double value, int significantDigits) {
    if (std::isnan(value)) return TextString(std::signbit(value) ? "-1.#IND" : "1.#QNAN");
    if (std::isinf(value)) return TextString(value < 0 ? "-1.#INF" : "1.#INF");
    int precision = significantDigits < 1 ? 1 : (significantDigits > 17 ? 17 : significantDigits);

    // Every double has a finite decimal expansion of at most 767 significant
    // digits, so this prints it exactly; the rounding below then decides ties
    // the way the Windows runtime does (half away from zero), not the way
    // glibc's printf does (half to even).
    char exact[1100];
    std::snprintf(exact, sizeof exact, "%.780e", value);
    const char* p = exact;
    bool negative = (*p == '-');
    if (negative) ++p;
    std::string mantissa;  // all significant digits
    for (; *p != 'e'; ++p)
        if (*p != '.') mantissa += *p;
    int exponent = std::atoi(p + 1);

    std::string digits = mantissa.substr(0, static_cast<size_t>(precision));
    if (mantissa[static_cast<size_t>(precision)] >= '5') {
        int i = precision - 1;
        for (; i >= 0 && digits[static_cast<size_t>(i)] == '9'; --i) digits[static_cast<size_t>(i)] = '0';
        if (i >= 0) {
            ++digits[static_cast<size_t>(i)];
        } else {
            digits.insert(digits.begin(), '1');
            digits.pop_back();
            ++exponent;
        }
    }
    if (value == 0) exponent = 0;

    std::string out = negative ? "-" : "";
    if (exponent < -4 || exponent >= precision) {
        std::string number = digits.substr(0, 1) + "." + digits.substr(1);
        TrimFraction(number);
        out += number;
        AppendExponent(out, exponent);
    } else if (exponent >= 0) {
        std::string number = digits.substr(0, static_cast<size_t>(exponent) + 1) + "." +
                             digits.substr(static_cast<size_t>(exponent) + 1);
        TrimFraction(number);
        out += number;
    } else {
        std::string number = "0." + std::string(static_cast<size_t>(-exponent - 1), '0') + digits;
        TrimFraction(number);
        out += number;
    }
    return TextString(out.c_str());
}

}  // namespace quillon

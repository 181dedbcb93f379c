#include "foundation/decimal_text.h"

namespace quillon {

int32_t ReadDecimalLong(const char* text) {
    if (text == nullptr) return 0;
    while (*text == ' ' || (*text >= '\t' && *text <= '\r')) ++text;
    bool negative = false;
    if (*text == '+' || *text == '-') negative = *text++ == '-';
    uint32_t value = 0;  // unsigned: the accumulation wraps by definition
    for (; *text >= '0' && *text <= '9'; ++text) value = value * 10u + static_cast<uint32_t>(*text - '0');
    if (negative) value = 0u - value;
    // The two's-complement reading of the pattern, without relying on an
    // implementation-defined narrowing conversion.
    return value <= 0x7FFFFFFFu ? static_cast<int32_t>(value) : -static_cast<int32_t>(~value) - 1;
}

}  // namespace quillon

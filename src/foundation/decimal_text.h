// Reading decimal numbers out of text the way the classic C runtime's atol
// and atoi do, which is how installers have always handed numbers over.
#pragma once

#include <cstdint>

namespace quillon {

// Leading white space, an optional sign, then decimal digits up to the first
// other character; no digits (or a null text) read as 0. The accumulation
// wraps modulo 2^32 and the result is taken as signed, as the Windows
// runtime's atol does, instead of overflowing.
int32_t ReadDecimalLong(const char* text);

}  // namespace quillon

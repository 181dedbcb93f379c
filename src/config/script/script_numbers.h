// The number conversions of the script language, made independent of the C
// runtime the library happens to be linked with.
//
// Scripts read number words the way the classic Windows C runtime's atol and
// atof read them, and show floats the way its _gcvt does. Each build has its
// own runtime (and `long` is 64-bit natively), so these are written out here
// once and give the same answers everywhere; the Windows tests compare them
// with the runtime's own functions.
#pragma once

#include <cstdint>

#include "foundation/text_string.h"

namespace quillon {

// atof of a number word (digits, "-" and "," only): an optional "-" and the
// digits after it; everything from the first other character on, a comma
// included, is ignored. "1,5" reads as 1, "-" and "," as 0, "--1" as 0.
double ReadRealWord(const char* word);

// _gcvt(value, significantDigits): the shortest of fixed or exponent notation
// like printf's %g, rounded half away from zero on the exact value, with a
// signed exponent of at least three digits ("1.5e-007"); infinities and NaNs
// as "1.#INF", "-1.#INF", "-1.#IND" and "1.#QNAN".
TextString FormatReal(double value, int significantDigits);

}  // namespace quillon

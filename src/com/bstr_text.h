// Text across the COM boundary: BSTRs (UTF-16) to and from TextString in the
// ANSI code page. Each conversion sizes its buffer from the conversion's own
// length query, so text of any code page - double-byte ones included - fits
// exactly; characters the code page lacks become "?".
#pragma once

#include <windows.h>
#include <oleauto.h>

#include "foundation/text_string.h"

namespace quillon {

// Null for a null BSTR, empty for an empty one; null when the conversion
// fails. The text ends at an embedded 0, as every TextString does.
TextString TextFromBSTR(BSTR text);

// `*out` becomes null first. A null string gives a null BSTR, any other
// string a BSTR of exactly its converted characters. False (and `*out` null)
// when the conversion or the allocation fails.
bool ToBSTR(const TextString& text, BSTR* out /* out */);

}  // namespace quillon

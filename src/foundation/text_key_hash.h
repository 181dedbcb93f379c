// TextKeyHash: the hash of a list key for the lists' look-up index. Texts
// that the platform's case-insensitive comparison finds equal hash alike,
// also where their bytes differ: case, letters that weigh as two ("ae" and
// the ligature), bytes that weigh nothing at all.
//
// The hash keeps no rules of its own. Which bytes count as equal is asked of
// the comparison itself, once, over every byte: the bytes that equal one
// another alone, the bytes that equal the empty text, and the bytes that
// equal a text of two or three others. A key is hashed as the sequence of
// those classes, so the index stays exact whatever collation the platform
// compares with.
#pragma once

#include <cstddef>
#include <cstdint>

namespace quillon {

// Equal hashes for texts that compare equal ignoring case; a null text has
// a hash of its own (it equals only a null text). Texts that compare equal
// with case are equal ignoring it too, so they also hash alike.
uint32_t TextKeyHash(const char* text);

// The same hash built piece by piece: kTextKeyHashEmpty is the hash of "",
// and TextKeyHashAppend continues a text's hash with `length` more bytes.
constexpr uint32_t kTextKeyHashEmpty = 2166136261u;
uint32_t TextKeyHashAppend(uint32_t hash, const char* bytes, size_t length);

}  // namespace quillon

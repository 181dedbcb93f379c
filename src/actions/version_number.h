// VersionNumber: a version written by people ("2.10", "3.0.1a", "4,1,0,12"),
// read into four parts of a signed 32-bit number and a suffix text each.
//
// A suffix is absent (null) when the part's number run reaches the end of the
// part, the empty text when the part was missing or empty, and the letters
// after the number otherwise. Absent and empty order differently, which is
// why 1.0 is greater than 1.0.0, and 1.0.0 greater than 1.0.0.0.
#pragma once

#include <cstdint>

#include "foundation/text_string.h"

namespace quillon {

class VersionNumber {
public:
    static constexpr int kPartCount = 4;

    // All numbers 0, all suffixes the empty text.
    VersionNumber();

    // Replaces the whole value by the one read from `text`; a null text reads
    // as empty. Any text reads as some version.
    void SetFromText(const char* text);

    // True when this value orders strictly after `other`.
    bool IsGreaterThan(const VersionNumber& other) const;
    // True when all four numbers and all four suffixes are equal.
    bool IsEqualTo(const VersionNumber& other) const;

    int32_t Number(int part) const { return numbers_[part]; }
    const TextString& Suffix(int part) const { return suffixes_[part]; }

private:
    void ReadPart(int part, const TextString& piece);

    int32_t numbers_[kPartCount];
    TextString suffixes_[kPartCount];
};

// Result codes of a comparison.
constexpr const char* kVersionFirstGreater = "1";
constexpr const char* kVersionEqual = "0";
constexpr const char* kVersionFirstSmaller = "2";

// Parses both texts and answers "1" when the first is greater, else "0" when
// they are equal, else "2".
const char* CompareVersionTexts(const char* first, const char* second);

}  // namespace quillon

#include "actions/version_number.h"

#include "foundation/decimal_text.h"

namespace quillon {
namespace {

bool IsSeparator(char c) { return c == '.' || c == ','; }

// Digits and the blank make up a part's number run; anything else counts as
// a letter there.
bool IsRunCharacter(char c) { return (c >= '0' && c <= '9') || c == ' '; }

// Suffix equality: the whole text ignoring case; absent equals only absent.
bool SuffixesEqual(const TextString& a, const TextString& b) { return a.IsEqual(b.Text(), -1, 0) != 0; }

// Order of two suffixes that are not equal ignoring case; an absent suffix
// comes first. For such suffixes the case-sensitive collation gives the same
// answer as the case-insensitive one, except where they differ both in case
// and in hyphens or apostrophes: the collation weighs case before those, so
// the case-sensitive answer would put "1a-b" below "1Ab" while "1Ab" equals
// "1ab" and "1ab" lies below "1a-b" - no consistent order at all. There the
// case-insensitive answer decides, which keeps the order transitive.
int SuffixOrder(const TextString& a, const TextString& b) {
    int sensitive = a.Compare(b.Text(), 1);
    int insensitive = a.Compare(b.Text(), 0);
    return sensitive == insensitive ? sensitive : insensitive;
}

}  // namespace

VersionNumber::VersionNumber() {
    for (int part = 0; part < kPartCount; ++part) {
        numbers_[part] = 0;
        suffixes_[part] = "";
    }
}

void VersionNumber::SetFromText(const char* text) {
    for (int part = 0; part < kPartCount; ++part) {
        numbers_[part] = 0;
        suffixes_[part] = "";
    }
    if (text == nullptr || text[0] == 0) return;

    // Pieces end at every separator; the fourth separator ends the last piece
    // and whatever follows it is ignored. A trailing separator adds no piece.
    int part = 0;
    const char* start = text;
    for (const char* p = text; part < kPartCount; ++p) {
        bool atEnd = *p == 0;
        if (atEnd || IsSeparator(*p)) {
            if (!atEnd || p > start) {
                TextString piece;
                piece.Assign(start, static_cast<int>(p - start));
                ReadPart(part, piece);
                ++part;
            }
            if (atEnd) break;
            start = p + 1;
        }
    }
}

void VersionNumber::ReadPart(int part, const TextString& piece) {
    numbers_[part] = 0;
    suffixes_[part] = "";
    int length = piece.GetLength();
    if (length == 0) return;
    const char* text = piece.Text();

    // Letters before the number run are dropped; a part without any digit or
    // blank keeps its whole text as suffix.
    int runStart = 0;
    while (runStart < length && !IsRunCharacter(text[runStart])) ++runStart;
    if (runStart == length) {
        suffixes_[part] = piece;
        return;
    }
    int runEnd = runStart;
    while (runEnd < length && IsRunCharacter(text[runEnd])) ++runEnd;

    TextString run;
    run.Assign(text + runStart, runEnd - runStart);
    numbers_[part] = ReadDecimalLong(run.Text());
    if (runEnd == length) {
        suffixes_[part].Clear();  // absent: the number ends the part
    } else {
        suffixes_[part] = text + runEnd;
    }
}

bool VersionNumber::IsGreaterThan(const VersionNumber& other) const {
    for (int part = 0; part < kPartCount; ++part) {
        if (numbers_[part] != other.numbers_[part]) return numbers_[part] > other.numbers_[part];
        if (!SuffixesEqual(suffixes_[part], other.suffixes_[part]))
            return SuffixOrder(suffixes_[part], other.suffixes_[part]) > 0;
    }
    return false;
}

bool VersionNumber::IsEqualTo(const VersionNumber& other) const {
    for (int part = 0; part < kPartCount; ++part) {
        if (numbers_[part] != other.numbers_[part]) return false;
        if (!SuffixesEqual(suffixes_[part], other.suffixes_[part])) return false;
    }
    return true;
}

const char* CompareVersionTexts(const char* first, const char* second) {
    VersionNumber a;
    VersionNumber b;
    a.SetFromText(first);
    b.SetFromText(second);
    if (a.IsGreaterThan(b)) return kVersionFirstGreater;
    if (a.IsEqualTo(b)) return kVersionEqual;
    return kVersionFirstSmaller;
}

}  // namespace quillon

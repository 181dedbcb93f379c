// TextString: the library's 8-bit string in the ANSI code page.
//
// It holds one heap buffer or none. "Null" (no buffer) and "empty" (a buffer
// holding only the terminator) are different states, and callers depend on
// the difference: a node without text, an absent version suffix and an unset
// variable are all null, not empty.
//
// The buffer knows its length and may hold spare room: a string that is
// appended to again and again (a script joining texts) grows by half its
// size at a time instead of being copied whole for every piece.
//
// No operation throws or reports an error. When memory runs out, an operation
// leaves its target null (construction, Assign, conversions) or unchanged
// (Append, ReplaceAll, Format).
#pragma once

#include <cstddef>

namespace quillon {

class TextString {
public:
    TextString() = default;
    TextString(const char* text);                 // NOLINT: implicit like a C string
    TextString(const TextString& other);
    TextString(TextString&& other) noexcept;
    // Converts UTF-16 text in full through the ANSI code page; null when the
    // conversion writes nothing (an empty wide text included).
    explicit TextString(const char16_t* wideText);
    virtual ~TextString();

    TextString& operator=(const TextString& other);
    TextString& operator=(TextString&& other) noexcept;
    TextString& operator=(const char* text);

    void Clear();
    int GetLength() const { return static_cast<int>(length_); }
    const char* Text() const { return buffer_; }
    bool IsNull() const { return buffer_ == nullptr; }

    // Clear, then Append.
    void Assign(const char* text, int maxLength = -1);
    // A null text changes nothing. maxLength < 0 takes the whole text, else at
    // most maxLength bytes of it. A 0-byte piece still yields a buffer.
    void Append(const char* text, int maxLength = -1);

    // -1, 0 or 1; a null string orders before any text. Uses the platform's
    // locale-aware comparison of whole texts.
    int Compare(const char* text, int caseSensitive) const;
    // 1 or 0. length -1 compares whole texts (locale-aware), any other length
    // below 1 gives 0, a positive length compares at most that many bytes.
    int IsEqual(const char* text, int length = -1, int caseSensitive = 0) const;
    // Exact, case-sensitive comparison of whole texts; null equals only null.
    int IsSame(const char* text) const;

    int Find(char character, int from = 0) const;
    int FindText(const char* text, int from = 0) const;

    // A result of 0 bytes is null, not empty.
    TextString Mid(int start, int count) const;
    TextString Mid(int start) const;

    // Splits at the first (fromEnd 0) or last (fromEnd 1) character that is
    // one of `delimiters`. Returns the part before (forwards) or after
    // (backwards) the delimiter; with `remove` the string keeps the rest.
    TextString SplitOff(const char* delimiters, int fromEnd, int remove);

    // Replaces every occurrence of `find`; replaced text is not scanned again.
    int ReplaceAll(const char* find, const char* replacement);

    // vsprintf into an exactly-sized buffer; a null format changes nothing.
    void Format(const char* format, ...);

private:
    // Takes ownership of a malloc'ed buffer holding `length` bytes and a
    // terminator in `capacity` bytes, freeing the old one.
    void Adopt(char* buffer, size_t length, size_t capacity);
    void Adopt(char* buffer);  // an exactly-sized buffer (or null)

    char* buffer_ = nullptr;
    size_t length_ = 0;
    size_t capacity_ = 0;  // bytes of the buffer, the terminator's included
};

}  // namespace quillon

#include "foundation/text_string.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/ansi_text.h"

namespace quillon {
namespace {

char* Allocate(size_t bytes) { return static_cast<char*>(std::malloc(bytes)); }

unsigned char FoldAscii(unsigned char c) { return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c; }

int Sign(int v) { return v < 0 ? -1 : (v > 0 ? 1 : 0); }

// The bytes Append takes of `text`: all of it when maxLength < 0, else at
// most maxLength.
size_t PieceLength(const char* text, int maxLength) {
    if (maxLength < 0) return std::strlen(text);
    const void* end = std::memchr(text, 0, static_cast<size_t>(maxLength));
    return end ? static_cast<size_t>(static_cast<const char*>(end) - text) : static_cast<size_t>(maxLength);
}

}  // namespace

TextString::TextString(const char* text) { Assign(text, -1); }

TextString::TextString(const TextString& other) { Assign(other.buffer_, static_cast<int>(other.length_)); }

TextString::TextString(TextString&& other) noexcept
    : buffer_(other.buffer_), length_(other.length_), capacity_(other.capacity_) {
    other.buffer_ = nullptr;
    other.length_ = other.capacity_ = 0;
}

TextString::TextString(const char16_t* wideText) {
    if (wideText == nullptr) return;
    int units = 0;
    while (wideText[units] != 0) ++units;
    // A double-byte code page needs up to two bytes per character, so the
    // conversion itself says how many bytes it writes.
    int needed = platform::WideToAnsi(wideText, units, nullptr, 0);
    if (needed <= 0) return;
    char* converted = Allocate(static_cast<size_t>(needed) + 1);
    if (converted == nullptr) return;
    int written = platform::WideToAnsi(wideText, units, converted, needed);
    if (written <= 0) {
        std::free(converted);
        return;
    }
    converted[written] = 0;
    Adopt(converted);
}

TextString::~TextString() { std::free(buffer_); }

TextString& TextString::operator=(const TextString& other) {
    if (this != &other) Assign(other.buffer_, static_cast<int>(other.length_));
    return *this;
}

TextString& TextString::operator=(TextString&& other) noexcept {
    if (this != &other) {
        std::free(buffer_);
        buffer_ = other.buffer_;
        length_ = other.length_;
        capacity_ = other.capacity_;
        other.buffer_ = nullptr;
        other.length_ = other.capacity_ = 0;
    }
    return *this;
}

TextString& TextString::operator=(const char* text) {
    // Assigning from our own buffer must copy before the buffer is freed.
    if (text != nullptr && text == buffer_) return *this;
    Assign(text, -1);
    return *this;
}

void TextString::Adopt(char* buffer, size_t length, size_t capacity) {
    std::free(buffer_);
    buffer_ = buffer;
    length_ = buffer ? length : 0;
    capacity_ = buffer ? capacity : 0;
}

void TextString::Adopt(char* buffer) {
    size_t length = buffer ? std::strlen(buffer) : 0;
    Adopt(buffer, length, length + 1);
}

void TextString::Clear() { Adopt(nullptr, 0, 0); }

void TextString::Assign(const char* text, int maxLength) {
    if (text != nullptr && buffer_ != nullptr && text >= buffer_ && text <= buffer_ + length_) {
        // The source lies inside our own buffer: copy it out first.
        TextString copy;
        copy.Append(text, maxLength);
        *this = static_cast<TextString&&>(copy);
        return;
    }
    if (text == nullptr) {
        Clear();
        return;
    }
    size_t piece = PieceLength(text, maxLength);
    // A buffer of about the right size is reused; a much larger one is not
    // kept for a short text.
    if (buffer_ != nullptr && piece + 1 <= capacity_ && capacity_ <= 2 * (piece + 1) + 32) {
        std::memcpy(buffer_, text, piece);
        buffer_[piece] = 0;
        length_ = piece;
        return;
    }
    Clear();
    Append(text, maxLength);
}

void TextString::Append(const char* text, int maxLength) {
    if (text == nullptr) return;
    size_t piece = PieceLength(text, maxLength);
    size_t needed = length_ + piece + 1;
    if (buffer_ != nullptr && needed <= capacity_) {
        // The piece may be part of this very text: it ends before the
        // terminator that is overwritten here.
        std::memmove(buffer_ + length_, text, piece);
        length_ += piece;
        buffer_[length_] = 0;
        return;
    }
    // The first buffer is exact; a text that keeps growing gets room to spare.
    size_t capacity = buffer_ != nullptr ? needed + needed / 2 : needed;
    char* joined = Allocate(capacity);
    if (joined == nullptr) return;
    if (length_) std::memcpy(joined, buffer_, length_);
    std::memcpy(joined + length_, text, piece);
    joined[needed - 1] = 0;
    Adopt(joined, needed - 1, capacity);
}

int TextString::Compare(const char* text, int caseSensitive) const {
    if (buffer_ == nullptr && text == nullptr) return 0;
    if (buffer_ == nullptr) return -1;
    if (text == nullptr) return 1;
    return Sign(caseSensitive ? platform::CompareAnsi(buffer_, text) : platform::CompareAnsiNoCase(buffer_, text));
}

int TextString::IsEqual(const char* text, int length, int caseSensitive) const {
    if (buffer_ == nullptr && text == nullptr) return 1;
    if (buffer_ == nullptr || text == nullptr) return 0;
    if (length == -1) return Compare(text, caseSensitive) == 0 ? 1 : 0;
    if (length < 1) return 0;
    for (int i = 0; i < length; ++i) {
        unsigned char a = static_cast<unsigned char>(buffer_[i]);
        unsigned char b = static_cast<unsigned char>(text[i]);
        if (!caseSensitive) {
            a = FoldAscii(a);
            b = FoldAscii(b);
        }
        if (a != b) return 0;
        if (a == 0) break;
    }
    return 1;
}

int TextString::IsSame(const char* text) const {
    if (buffer_ == nullptr || text == nullptr) return buffer_ == text ? 1 : 0;
    return platform::CompareAnsi(buffer_, text) == 0 ? 1 : 0;
}

int TextString::Find(char character, int from) const {
    int length = GetLength();
    if (from < 0) from = 0;
    if (from >= length) return -1;
    const void* hit = std::memchr(buffer_ + from, static_cast<unsigned char>(character), static_cast<size_t>(length - from));
    return hit ? static_cast<int>(static_cast<const char*>(hit) - buffer_) : -1;
}

int TextString::FindText(const char* text, int from) const {
    if (text == nullptr || buffer_ == nullptr) return -1;
    if (from < 0) from = 0;
    if (from >= GetLength()) return -1;
    const char* hit = std::strstr(buffer_ + from, text);
    return hit ? static_cast<int>(hit - buffer_) : -1;
}

TextString TextString::Mid(int start, int count) const {
    TextString result;
    int length = GetLength();
    if (start < 0) start = 0;
    if (count < 0) count = 0;
    if (start > length) start = length;
    if (count > length - start) count = length - start;
    if (count > 0) result.Append(buffer_ + start, count);
    return result;
}

TextString TextString::Mid(int start) const { return Mid(start, GetLength() - start); }

TextString TextString::SplitOff(const char* delimiters, int fromEnd, int remove) {
    TextString result;
    int length = GetLength();
    if (length > 0 && delimiters != nullptr && delimiters[0] != 0) {
        int found = -1;
        if (fromEnd) {
            for (int i = length - 1; i >= 0 && found < 0; --i)
                if (std::strchr(delimiters, buffer_[i]) != nullptr) found = i;
        } else {
            for (int i = 0; i < length && found < 0; ++i)
                if (std::strchr(delimiters, buffer_[i]) != nullptr) found = i;
        }
        if (found >= 0) {
            if (fromEnd) {
                result.Assign(buffer_ + found + 1);
                if (remove) Assign(buffer_, found);
            } else {
                result.Assign(buffer_, found);
                if (remove) Assign(buffer_ + found + 1);
            }
            return result;
        }
    }
    result.Assign(buffer_);
    if (remove) Clear();
    return result;
}

int TextString::ReplaceAll(const char* find, const char* replacement) {
    if (buffer_ == nullptr || buffer_[0] == 0 || find == nullptr || find[0] == 0) return 0;
    size_t findLength = std::strlen(find);
    size_t replacementLength = replacement ? std::strlen(replacement) : 0;
    int count = 0;
    size_t position = 0;
    for (;;) {
        const char* hit = std::strstr(buffer_ + position, find);
        if (hit == nullptr) break;
        size_t at = static_cast<size_t>(hit - buffer_);
        size_t length = length_;
        size_t newLength = length - findLength + replacementLength;
        char* rebuilt = Allocate(newLength + 1);
        if (rebuilt == nullptr) break;
        std::memcpy(rebuilt, buffer_, at);
        if (replacementLength) std::memcpy(rebuilt + at, replacement, replacementLength);
        std::memcpy(rebuilt + at + replacementLength, hit + findLength, length - at - findLength + 1);
        Adopt(rebuilt, newLength, newLength + 1);
        ++count;
        position = at + replacementLength;
        if (buffer_[position] == 0) break;
    }
    return count;
}

void TextString::Format(const char* format, ...) {
    if (format == nullptr) return;
    va_list args;
    va_start(args, format);
    va_list measure;
    va_copy(measure, args);
    int needed = std::vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    if (needed >= 0) {
        char* formatted = static_cast<char*>(std::calloc(static_cast<size_t>(needed) + 1, 1));
        if (formatted != nullptr) {
            std::vsnprintf(formatted, static_cast<size_t>(needed) + 1, format, args);
            Adopt(formatted);
        }
    }
    va_end(args);
}

}  // namespace quillon

#include "xml/xml_writer.h"

#include <cstddef>
#include <cstdlib>
#include <cstring>

#include "platform/ansi_text.h"

namespace quillon {
namespace {

constexpr char16_t kLineEnd[] = u"\r\n";
// Twice the largest length still fits a 32-bit count.
constexpr int32_t kMaxLength = INT32_MAX / 4;

char16_t* AllocateWide(int32_t count) {
    return static_cast<char16_t*>(std::malloc(static_cast<size_t>(count) * sizeof(char16_t)));
}

}  // namespace

XmlWriter::XmlWriter(const XmlWriter& other) { CopyFrom(other); }

XmlWriter& XmlWriter::operator=(const XmlWriter& other) {
    Assign(other);
    return *this;
}

XmlWriter::~XmlWriter() {
    std::free(text_);
    std::free(narrow_);
}

void XmlWriter::DiscardNarrow() {
    std::free(narrow_);
    narrow_ = nullptr;
}

void XmlWriter::DropText() {
    DiscardNarrow();
    std::free(text_);
    text_ = nullptr;
    length_ = capacity_ = 0;
    depth_ = 0;
}

void XmlWriter::Fail() {
    DropText();
    failed_ = true;
}

void XmlWriter::CopyFrom(const XmlWriter& other) {
    if (other.text_ == nullptr) return;
    text_ = AllocateWide(other.length_);
    if (text_ == nullptr) {
        failed_ = true;
        return;
    }
    std::memcpy(text_, other.text_, static_cast<size_t>(other.length_) * sizeof(char16_t));
    length_ = capacity_ = other.length_;
}

void XmlWriter::Assign(const char* text) {
    DropText();
    failed_ = false;
    if (text != nullptr) Append(text);
}

void XmlWriter::Assign(const XmlWriter& other) {
    if (this != &other) {
        DropText();
        failed_ = false;
        CopyFrom(other);
    }
    depth_ = 0;
}

void XmlWriter::Append(const char* text) {
    if (text != nullptr) AppendConverted(text, -1);
}

void XmlWriter::Append(const XmlWriter& other) {
    if (other.text_ != nullptr) AppendWide(other.text_, other.length_ - 1);
}

void XmlWriter::AppendConverted(const char* text, int32_t byteCount) {
    int needed = platform::AnsiToWide(text, byteCount, nullptr, 0);
    if (needed <= 0) return;  // a text that cannot be converted is left out
    // Converted straight into the buffer's free room.
    if (!Reserve(needed)) return;
    int32_t oldChars = text_ ? length_ - 1 : 0;
    int converted = platform::AnsiToWide(text, byteCount, text_ + oldChars, capacity_ - oldChars);
    if (converted <= 0) {
        if (text_ != nullptr) text_[oldChars] = 0;
        return;
    }
    // With byteCount -1 the terminator was converted too.
    int32_t count = converted;
    if (byteCount < 0 && text_[oldChars + count - 1] == 0) --count;
    text_[oldChars + count] = 0;
    length_ = oldChars + count + 1;
}

bool XmlWriter::Reserve(int32_t count) {
    DiscardNarrow();
    int32_t oldChars = text_ ? length_ - 1 : 0;
    if (count < 0 || count > kMaxLength - oldChars - 1) {
        DropText();
        failed_ = true;
        return false;
    }
    int32_t newLength = oldChars + count + 1;
    if (newLength <= capacity_) return true;
    // Doubling keeps a long run of appends linear; realloc lets the system
    // move a large buffer's pages instead of copying them.
    auto* grown = static_cast<char16_t*>(std::realloc(text_, static_cast<size_t>(newLength) * 2 * sizeof(char16_t)));
    if (grown == nullptr) {
        DropText();
        failed_ = true;
        return false;
    }
    grown[oldChars] = 0;
    text_ = grown;
    capacity_ = newLength * 2;
    if (length_ == 0) length_ = 1;  // an empty text from now on, until something is added
    return true;
}

void XmlWriter::AppendWide(const char16_t* text, int32_t count) {
    if (count < 0) count = 0;
    if (narrow_ == nullptr && text_ != nullptr && count < capacity_ - length_) {
        // The usual case: a few characters into room that is there.
        for (int32_t i = 0; i < count; ++i) text_[length_ - 1 + i] = text[i];
        length_ += count;
        text_[length_ - 1] = 0;
        return;
    }
    // A piece of our own text (appending a writer to itself) moves with the
    // buffer when it grows.
    bool own = text_ != nullptr && text >= text_ && text < text_ + capacity_;
    ptrdiff_t offset = own ? text - text_ : 0;
    if (!Reserve(count)) return;
    if (own) text = text_ + offset;
    int32_t oldChars = length_ - 1;
    if (count) std::memmove(text_ + oldChars, text, static_cast<size_t>(count) * sizeof(char16_t));
    length_ = oldChars + count + 1;
    text_[length_ - 1] = 0;
}

const char* XmlWriter::GetNarrowText() {
    if (narrow_ != nullptr || text_ == nullptr) return narrow_;
    // One byte per character plus the terminator; a code page that needs
    // more makes the conversion fail and leaves no rendering.
    narrow_ = static_cast<char*>(std::malloc(static_cast<size_t>(length_)));
    if (narrow_ == nullptr) return nullptr;
    if (platform::WideToAnsi(text_, length_, narrow_, length_) != length_) DiscardNarrow();
    return narrow_;
}

void XmlWriter::WriteDeclaration(const char* encoding) {
    depth_ = 0;
    Assign("<?xml version=\"1.0\"");
    if (encoding != nullptr && encoding[0] != 0) {
        Append(" encoding=\"");
        Append(encoding);
        Append("\"");
    }
    Append("?>");
    AppendWide(kLineEnd, 2);
}

void XmlWriter::Indent(int opening, int closing, int writeIndent) {
    if (closing && !opening && depth_ > 0) --depth_;
    if (writeIndent && depth_ > 0) {
        static const char16_t kTabs[] = u"\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t";
        constexpr uint32_t kTabCount = sizeof kTabs / sizeof kTabs[0] - 1;
        for (uint32_t left = depth_; left > 0;) {
            uint32_t now = left < kTabCount ? left : kTabCount;
            AppendWide(kTabs, static_cast<int32_t>(now));
            left -= now;
        }
    }
    if (opening && !closing) ++depth_;
}

void XmlWriter::WriteTag(int indent, int opening, int closing, const char* name, int newline) {
    Indent(opening, closing, indent);
    AppendWide(u"<", 1);
    if (closing && !opening) AppendWide(u"/", 1);
    Append(name);
    if (opening && closing) AppendWide(u"/>", 2); else AppendWide(u">", 1);
    if (newline) AppendWide(kLineEnd, 2);
}

void XmlWriter::WriteStartTag(const char* name) { WriteTag(1, 1, 0, name, 1); }

void XmlWriter::WriteEndTag(const char* name) { WriteTag(1, 0, 1, name, 1); }

void XmlWriter::WriteTextElement(const char* name, const char* text) {
    WriteTag(1, 1, 0, name, 0);
    if (text != nullptr && text[0] != 0) AppendEscaped(text);
    WriteTag(0, 0, 1, name, 1);
}

void XmlWriter::AddAttribute(const char* name, const char* value) {
    if (text_ == nullptr || length_ <= 3 || name == nullptr || name[0] == 0) return;
    int32_t at = -1;
    for (int32_t i = length_ - 2; i >= 2; --i) {
        if (text_[i] == u'>') {
            at = i;
            break;
        }
    }
    if (at < 0) return;
    if (text_[at - 1] == u'/') --at;

    // Keep what follows the insertion point (">" or "/>" and the line end),
    // cut the text there, add the attribute and put the tail back.
    int32_t tailCount = length_ - 1 - at;
    char16_t* tail = AllocateWide(tailCount);
    if (tail == nullptr) {
        failed_ = true;
        return;
    }
    std::memcpy(tail, text_ + at, static_cast<size_t>(tailCount) * sizeof(char16_t));
    size_t nameLength = std::strlen(name);
    size_t valueLength = value ? std::strlen(value) : 0;
    char* piece = static_cast<char*>(std::malloc(nameLength + valueLength + 5));
    if (piece == nullptr) {
        std::free(tail);
        failed_ = true;
        return;
    }
    char* p = piece;
    *p++ = ' ';
    std::memcpy(p, name, nameLength);
    p += nameLength;
    *p++ = '=';
    *p++ = '"';
    if (valueLength) std::memcpy(p, value, valueLength);
    p += valueLength;
    *p++ = '"';
    *p = 0;

    DiscardNarrow();
    text_[at] = 0;
    length_ = at + 1;
    Append(piece);
    AppendWide(tail, tailCount);
    std::free(piece);
    std::free(tail);
}

void XmlWriter::AppendEscaped(const char* text) {
    if (text == nullptr || text[0] == 0) return;
    // Runs without a character to escape are converted as they stand; the
    // five characters are ASCII, which no double-byte character contains.
    const char* run = text;
    for (const char* p = text;; ++p) {
        const char16_t* entity = nullptr;
        int32_t entityLength = 0;
        switch (*p) {
            case '"': entity = u"&quot;"; entityLength = 6; break;
            case '\'': entity = u"&apos;"; entityLength = 6; break;
            case '&': entity = u"&amp;"; entityLength = 5; break;
            case '<': entity = u"&lt;"; entityLength = 4; break;
            case '>': entity = u"&gt;"; entityLength = 4; break;
            case 0: break;
            default: continue;
        }
        if (p > run) AppendConverted(run, static_cast<int32_t>(p - run));
        if (entity == nullptr) return;  // the end of the text
        AppendWide(entity, entityLength);
        run = p + 1;
    }
}

}  // namespace quillon

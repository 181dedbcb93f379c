#include "xml/xml_writer.h"

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
    char16_t* wide = AllocateWide(needed);
    if (wide == nullptr) {
        failed_ = true;
        return;
    }
    int converted = platform::AnsiToWide(text, byteCount, wide, needed);
    if (converted > 0) {
        // With byteCount -1 the terminator was converted too.
        int32_t count = converted;
        if (byteCount < 0 && wide[count - 1] == 0) --count;
        AppendWide(wide, count);
    }
    std::free(wide);
}

void XmlWriter::AppendWide(const char16_t* text, int32_t count) {
    DiscardNarrow();
    if (count < 0) count = 0;
    int32_t oldChars = text_ ? length_ - 1 : 0;
    if (count > kMaxLength - oldChars - 1) {
        DropText();
        failed_ = true;
        return;
    }
    int32_t newLength = oldChars + count + 1;
    if (newLength > capacity_) {
        // Doubling keeps a long run of appends linear.
        char16_t* grown = AllocateWide(newLength * 2);
        if (grown == nullptr) {
            DropText();
            failed_ = true;
            return;
        }
        if (oldChars) std::memcpy(grown, text_, static_cast<size_t>(oldChars) * sizeof(char16_t));
        if (count) std::memcpy(grown + oldChars, text, static_cast<size_t>(count) * sizeof(char16_t));
        std::free(text_);
        text_ = grown;
        capacity_ = newLength * 2;
    } else if (count) {
        std::memmove(text_ + oldChars, text, static_cast<size_t>(count) * sizeof(char16_t));
    }
    text_[newLength - 1] = 0;
    length_ = newLength;
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
        for (uint32_t level = 0; level < depth_; ++level) AppendWide(u"\t", 1);
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
    size_t escapedLength = 0;
    for (const char* p = text; *p; ++p) {
        switch (*p) {
            case '"': case '\'': escapedLength += 6; break;
            case '&': escapedLength += 5; break;
            case '<': case '>': escapedLength += 4; break;
            default: escapedLength += 1;
        }
    }
    char* escaped = static_cast<char*>(std::malloc(escapedLength + 1));
    if (escaped == nullptr) {
        failed_ = true;
        return;
    }
    char* out = escaped;
    auto put = [&out](const char* s) {
        size_t n = std::strlen(s);
        std::memcpy(out, s, n);
        out += n;
    };
    for (const char* p = text; *p; ++p) {
        switch (*p) {
            case '"': put("&quot;"); break;
            case '\'': put("&apos;"); break;
            case '&': put("&amp;"); break;
            case '<': put("&lt;"); break;
            case '>': put("&gt;"); break;
            default: *out++ = *p;
        }
    }
    *out = 0;
    Append(escaped);
    std::free(escaped);
}

}  // namespace quillon

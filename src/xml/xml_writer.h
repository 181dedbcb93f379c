// XmlWriter: composes indented XML text line by line in memory.
//
// The text is held as UTF-16 in one growing buffer; 8-bit input is converted
// from the ANSI code page on the way in, and an ANSI rendering is made on
// demand and cached until the next change. A depth counter drives the
// indentation, one TAB per open start tag. Lines end with CR LF. Nothing is
// kept as a tree: AddAttribute edits the last tag written in place.
//
// No operation reports an error. When the buffer cannot grow, the writer
// drops its whole text (no text, length 0, capacity 0, depth 0) and goes on;
// HasFailed() tells a caller that must not use such a result.
#pragma once

#include <cstdint>

namespace quillon {

class XmlWriter {
public:
    XmlWriter() = default;
    // Copies the text only: length and capacity become the source's length,
    // depth starts at 0.
    XmlWriter(const XmlWriter& other);
    XmlWriter& operator=(const XmlWriter& other);
    virtual ~XmlWriter();

    // Replace the text (a null text leaves none) and set depth to 0.
    void Assign(const char* text);
    void Assign(const XmlWriter& other);
    void Append(const char* text);
    void Append(const XmlWriter& other);

    // Characters without the terminator; 0 when there is no text.
    int32_t GetLength() const { return length_ > 0 ? length_ - 1 : 0; }
    // The ANSI rendering, made once per change; null when there is no text
    // or the code page needs more than one byte for a character.
    const char* GetNarrowText();
    // The UTF-16 text, or null.
    const char16_t* GetText() const { return text_; }
    uint32_t GetDepth() const { return depth_; }
    // True once a buffer allocation failed (the text was dropped then);
    // cleared by Assign and WriteDeclaration.
    bool HasFailed() const { return failed_; }
    // Drops the text as a failed allocation does; for callers that could not
    // finish composing it.
    void Fail();

    // "<?xml version="1.0"[ encoding="ENC"]?>" CR LF, replacing the text.
    void WriteDeclaration(const char* encoding);
    // The step every tag begins with: an end tag lowers the depth first, the
    // indentation is written at the resulting depth, a start tag raises it.
    void Indent(int opening, int closing, int writeIndent);
    void WriteTag(int indent, int opening, int closing, const char* name, int newline);
    void WriteStartTag(const char* name);
    void WriteEndTag(const char* name);
    // One line: indentation, start tag, escaped text, end tag, line end.
    void WriteTextElement(const char* name, const char* text);
    // Inserts ` name="value"` (value unescaped) before the ">" (or "/>") of
    // the last tag in the text.
    void AddAttribute(const char* name, const char* value);
    // Appends the text with " & ' < > replaced by their entity references.
    void AppendEscaped(const char* text);

private:
    void AppendWide(const char16_t* text, int32_t count);
    // Makes room for `count` more characters (the text stays as it is);
    // false, with the text dropped, when the buffer cannot grow.
    bool Reserve(int32_t count);
    void AppendConverted(const char* text, int32_t byteCount);
    void DropText();
    void DiscardNarrow();
    void CopyFrom(const XmlWriter& other);

    char16_t* text_ = nullptr;
    int32_t length_ = 0;    // characters including the terminator; 0 without text
    int32_t capacity_ = 0;  // characters the buffer holds
    char* narrow_ = nullptr;
    uint32_t depth_ = 0;
    bool failed_ = false;
};

}  // namespace quillon

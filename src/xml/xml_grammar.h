// XMLGrammar: the routines that read a document for XMLReader, one routine per
// production. Internal to src/xml: xml_reader.cpp holds the document, element
// and scanning routines, xml_reader_dtd.cpp the internal-subset declarations.
//
// A grammar object lives for one ParseText call and works directly on the
// reader's fields (input, position, current character, error, tokens), so the
// reader's subclass sees the same state from inside its callback.
//
// Conventions kept by every routine here:
// - a read routine does nothing while the error is set, a test routine then
//   answers false, and every loop ends once it is set; after the first error
//   the descent unwinds without reading or firing anything more;
// - the current character is the byte at the position (0 at the end), so the
//   end of the text is simply a character that belongs to no class.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "xml/xml_reader.h"

namespace quillon {

// Character classes, as bits of one 256-entry table.
enum XMLCharClass : uint16_t {
    kClassChar = 1 << 0,           // 0x09 0x0A 0x0D 0x20-0xFF
    kClassSpace = 1 << 1,          // 0x20 0x09 0x0D 0x0A
    kClassLetter = 1 << 2,         // A-Z a-z 0xC0-0xD6 0xD8-0xF6 0xF8-0xFF
    kClassDigit = 1 << 3,          // 0-9
    kClassNameStart = 1 << 4,      // Letter _ :
    kClassNameChar = 1 << 5,       // Letter Digit . - _ : 0xB7
    kClassPubidChar = 1 << 6,      // space CR LF a-z A-Z 0-9 -'()+,./:=?;!*#@$_%
    kClassVersionChar = 1 << 7,    // a-z A-Z 0-9 _ . : -
    kClassEncodingStart = 1 << 8,  // A-Z a-z
    kClassEncodingChar = 1 << 9,   // A-Z a-z 0-9 . _ -
    kClassHexDigit = 1 << 10       // 0-9 a-f A-F
};

// The class bits of every byte value.
extern const std::array<uint16_t, 256> kXMLCharClasses;

inline bool IsXMLClass(unsigned ch, uint16_t classes) {
    return ch < 256 && (kXMLCharClasses[ch] & classes) != 0;
}

class XMLGrammar {
public:
    explicit XMLGrammar(XMLReader& reader) : r_(reader) {}

    // Reads the whole document (the reader's input is set, position 0).
    void Document();

private:
    enum class SeekMode { kRelative, kAbsolute };
    enum class MatchMode { kPeek, kTry, kExpect };

    // Scanning primitives.
    bool Failed() const { return r_.error_ != 0; }
    // Sets the error with its cause; `expected` is the literal that was due
    // (kExpected). Failing at the end of the text is kEndOfText, unless the
    // cause is about what was read before.
    void Fail(XMLErrorCause cause, const char* expected = nullptr, size_t length = 0);
    unsigned Current() const { return r_.current_; }
    bool CurrentIs(uint16_t classes) const { return IsXMLClass(r_.current_, classes); }
    bool CurrentIsSpace() const { return CurrentIs(kClassSpace); }
    // The byte after the current one, by the same rule (0 past the end): the
    // one-byte lookahead of element and entity-reference starts.
    unsigned Next() const;
    void Seek(int32_t delta, SeekMode mode = SeekMode::kRelative);
    void Step() { Seek(1); }
    void Reload();
    bool Match(const char* literal, size_t length, MatchMode mode);
    template <size_t N>
    bool Peek(const char (&literal)[N]) { return Match(literal, N - 1, MatchMode::kPeek); }
    template <size_t N>
    bool Try(const char (&literal)[N]) { return Match(literal, N - 1, MatchMode::kTry); }
    template <size_t N>
    bool Expect(const char (&literal)[N]) { return Match(literal, N - 1, MatchMode::kExpect); }
    bool TryChar(char quote) { return Match(&quote, 1, MatchMode::kTry); }
    bool ExpectChar(char quote) { return Match(&quote, 1, MatchMode::kExpect); }
    void AdvanceChar();
    // Moves over the bytes of the classes, up to the end of the text at most:
    // `while (CurrentIs(classes)) Step();` without a bounds check per byte.
    void SkipClass(uint16_t classes);
    // Moves to the first of `a`, `b`, `c` (or "]]>" when `c` is ']') from the
    // position on; at the end of the text it steps past it, and fails there
    // as a step does.
    void SkipUntilAny(unsigned char a, unsigned char b, unsigned char c);
    void S();
    void OptionalS();
    void Eq();
    void Name();
    void Nmtoken();
    void SkipUntil(const char* terminator, size_t length);
    // Whitespace, then `keyword`: reports the match and leaves the position.
    template <size_t N>
    bool SpaceThen(const char (&keyword)[N]) { return SpaceThen(keyword, N - 1); }
    bool SpaceThen(const char* keyword, size_t length);

    // Events. Nothing is fired without a callback or once the error is set.
    void Fire(XMLEvent event, const void* payload = nullptr);
    // Fires `event` with a token holding input[from, to), when that is not empty.
    void FireRun(XMLEvent event, int32_t from, int32_t to);

    // Document (xml_reader.cpp).
    bool MiscApplies();
    void Misc();
    void XMLDeclaration();
    void Comment();
    void ProcessingInstruction();
    void DoctypeDeclaration();
    void ExternalID();
    void SystemLiteral();
    void PubidLiteral();
    void Element();
    void Attribute();
    void AttributeValue();
    void Content();
    void CharData();
    void CDataSection();
    void Reference();
    void EndTag();

    // Internal subset (xml_reader_dtd.cpp).
    void InternalSubset();
    bool MarkupDeclApplies();
    void MarkupDecl();
    void ParameterEntityReference();
    void ElementDecl();
    bool MixedContentAhead();
    void MixedContent();
    void ElementContent();
    void Group();
    void ContentParticle();
    void ContentOperator();
    void AttlistDecl();
    bool NameStartAfterSpace();
    void AttributeDef();
    void EntityDecl();
    void EntityValue();
    void NotationDecl();

    // Content-model groups nest by recursion like elements do; the same
    // reasoning bounds them (see kMaxElementDepth).
    static constexpr int kMaxGroupDepth = XMLReader::kMaxElementDepth;

    XMLReader& r_;
    // Scratch tokens for the payloads of runs and attribute names, reused for
    // every event of one parse instead of allocated per event.
    XMLToken run_;
    XMLToken attributeName_;
    int elementDepth_ = 0;  // open elements, bounded by kMaxElementDepth
    int groupDepth_ = 0;    // open content-model groups, bounded by kMaxGroupDepth
};

}  // namespace quillon

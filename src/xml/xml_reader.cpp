// XMLReader: its tokens, ParseText, the scanning primitives and the grammar
// of the document (prolog, elements, attributes, content, references). The
// internal subset of a document type declaration is read in
// xml_reader_dtd.cpp.
//
// The reader is deliberately lenient in a few documented ways (see
// docs/xml-conformance.md): end-tag names are not compared with start-tag
// names, references are checked for form only, text after the root element is
// not examined, and the input is read as single bytes whatever the XML
// declaration names as its encoding.
#include "xml/xml_reader.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "xml/xml_grammar.h"

namespace quillon {

// ---------------------------------------------------------------------------
// Character classes

namespace {

constexpr std::array<uint16_t, 256> BuildCharClasses() {
    std::array<uint16_t, 256> table{};
    auto add = [&table](unsigned from, unsigned to, uint16_t bits) {
        for (unsigned c = from; c <= to; ++c) table[c] = static_cast<uint16_t>(table[c] | bits);
    };
    auto addEach = [&table](const char* members, uint16_t bits) {
        for (; *members; ++members) {
            unsigned c = static_cast<unsigned char>(*members);
            table[c] = static_cast<uint16_t>(table[c] | bits);
        }
    };
    const uint16_t letterLike = kClassLetter | kClassNameStart | kClassNameChar;
    add(0x20, 0xFF, kClassChar);
    addEach("\t\n\r", kClassChar);
    addEach(" \t\r\n", kClassSpace);
    add('A', 'Z', letterLike | kClassPubidChar | kClassVersionChar | kClassEncodingStart | kClassEncodingChar);
    add('a', 'z', letterLike | kClassPubidChar | kClassVersionChar | kClassEncodingStart | kClassEncodingChar);
    add(0xC0, 0xD6, letterLike);
    add(0xD8, 0xF6, letterLike);
    add(0xF8, 0xFF, letterLike);
    add('0', '9', kClassDigit | kClassNameChar | kClassPubidChar | kClassVersionChar | kClassEncodingChar |
                      kClassHexDigit);
    add('a', 'f', kClassHexDigit);
    add('A', 'F', kClassHexDigit);
    addEach("_:", kClassNameStart);
    addEach(".-_:\xB7", kClassNameChar);
    addEach(" \r\n-'()+,./:=?;!*#@$_%", kClassPubidChar);
    addEach("_.:-", kClassVersionChar);
    addEach("._-", kClassEncodingChar);
    return table;
}

}  // namespace

const std::array<uint16_t, 256> kXMLCharClasses = BuildCharClasses();

bool IsXMLName(const char* text) {
    if (text == nullptr || !IsXMLClass(static_cast<unsigned char>(*text), kClassNameStart)) return false;
    while (*++text != 0) {
        if (!IsXMLClass(static_cast<unsigned char>(*text), kClassNameChar)) return false;
    }
    return true;
}

// ---------------------------------------------------------------------------
// XMLToken

XMLToken::XMLToken(const XMLToken& other) { Assign(other.Text(), other.Length()); }

XMLToken& XMLToken::operator=(const XMLToken& other) {
    if (this != &other) Assign(other.Text(), other.Length());
    return *this;
}

XMLToken::~XMLToken() { std::free(buffer_); }

void XMLToken::Assign(const char* text, int length) {
    if (!text) {
        Clear();
        return;
    }
    size_t n = length < 0 ? std::strlen(text) : static_cast<size_t>(length);
    // A buffer far larger than needed is given back rather than kept.
    if (n + 1 > capacity_ || (capacity_ > 65536 && n + 1 < capacity_ / 4)) {
        // The copy is made before the old buffer is released, so a token may
        // be assigned a piece of its own text.
        char* grown = static_cast<char*>(std::malloc(n + 1));
        if (!grown) {
            Clear();
            return;
        }
        std::memcpy(grown, text, n);
        std::free(buffer_);
        buffer_ = grown;
        capacity_ = n + 1;
    } else {
        std::memmove(buffer_, text, n);
    }
    buffer_[n] = '\0';
    length_ = static_cast<int>(n);
    present_ = true;
}

void XMLToken::Clear() {
    present_ = false;
    length_ = 0;
}

bool XMLToken::Equals(const char* literal) const {
    if (!present_ || !literal) return !present_ && !literal;
    return std::strcmp(buffer_, literal) == 0;
}

// ---------------------------------------------------------------------------
// XMLReader

int32_t XMLReader::ParseText(const char* text) {
    input_ = nullptr;
    position_ = 0;
    length_ = 0;
    current_ = 0;
    error_ = 0;
    errorCause_ = XMLErrorCause::kNone;
    expected_[0] = 0;
    if (!text || !*text) return 0;
    size_t length = std::strlen(text);
    if (length > static_cast<size_t>(INT32_MAX)) {
        // Positions are 32-bit; a longer text cannot be addressed.
        error_ = 1;
        errorCause_ = XMLErrorCause::kTooLong;
        return error_;
    }
    input_ = text;
    length_ = static_cast<int32_t>(length);
    XMLGrammar grammar(*this);
    grammar.Document();
    return error_;
}

// ---------------------------------------------------------------------------
// Scanning primitives

void XMLGrammar::Fail(XMLErrorCause cause, const char* expected, size_t length) {
    r_.error_ = 1;
    bool aboutWhatWasRead = cause == XMLErrorCause::kReservedTarget || cause == XMLErrorCause::kTooDeep;
    r_.errorCause_ = r_.position_ >= r_.length_ && !aboutWhatWasRead ? XMLErrorCause::kEndOfText : cause;
    if (r_.errorCause_ != XMLErrorCause::kExpected || expected == nullptr) return;
    length = std::min(length, static_cast<size_t>(XMLReader::kMaxExpected));
    std::memcpy(r_.expected_, expected, length);
    r_.expected_[length] = 0;
}

void XMLGrammar::Reload() {
    int32_t p = r_.position_;
    r_.current_ = (p >= 0 && p < r_.length_) ? static_cast<unsigned char>(r_.input_[p]) : 0;
}

unsigned XMLGrammar::Next() const {
    int32_t p = r_.position_ + 1;
    return (p >= 0 && p < r_.length_) ? static_cast<unsigned char>(r_.input_[p]) : 0;
}

// Moving beyond the end is an error, and that is how running off the end of
// the text inside any construct is found. Once the error is set the position
// stays where it was found.
void XMLGrammar::Seek(int32_t delta, SeekMode mode) {
    if (Failed()) return;
    int64_t target = mode == SeekMode::kRelative ? static_cast<int64_t>(r_.position_) + delta : delta;
    if (target < 0 || target > r_.length_)
        Fail(XMLErrorCause::kEndOfText);
    else
        r_.position_ = static_cast<int32_t>(target);
    Reload();
}

bool XMLGrammar::Match(const char* literal, size_t length, MatchMode mode) {
    if (Failed()) return false;
    // Literals are a few bytes and hold no NUL, and the text ends in one, so
    // the loop stops at the end of the text without a length check; most
    // calls are settled by the first byte.
    const char* at = r_.input_ + r_.position_;
    size_t same = 0;
    while (same < length && at[same] == literal[same]) ++same;
    bool matched = same == length;
    if (matched && mode != MatchMode::kPeek) {
        r_.position_ += static_cast<int32_t>(length);
        Reload();
    } else if (!matched && mode == MatchMode::kExpect) {
        Fail(XMLErrorCause::kExpected, literal, length);
    }
    return matched;
}

void XMLGrammar::AdvanceChar() {
    if (Failed()) return;
    if (CurrentIs(kClassChar))
        Step();
    else
        Fail(XMLErrorCause::kNotACharacter);
}

void XMLGrammar::SkipClass(uint16_t classes) {
    if (Failed()) return;
    const unsigned char* text = reinterpret_cast<const unsigned char*>(r_.input_);
    int32_t p = r_.position_;
    while (p < r_.length_ && (kXMLCharClasses[text[p]] & classes) != 0) ++p;
    r_.position_ = p;
    Reload();
}

void XMLGrammar::SkipUntilAny(unsigned char a, unsigned char b, unsigned char c) {
    if (Failed()) return;
    const unsigned char* text = reinterpret_cast<const unsigned char*>(r_.input_);
    int32_t p = r_.position_;
    for (; p < r_.length_; ++p) {
        unsigned char ch = text[p];
        if (ch == a || ch == b) break;
        // The text ends in a NUL, so the bytes after a ']' can be read.
        if (ch == c && (c != ']' || (text[p + 1] == ']' && text[p + 2] == '>'))) break;
    }
    r_.position_ = p;
    Reload();
    if (p >= r_.length_) Step();
}

void XMLGrammar::S() {
    if (Failed()) return;
    int32_t start = r_.position_;
    SkipClass(kClassSpace);
    if (r_.position_ == start) Fail(XMLErrorCause::kSpaceExpected);
}

void XMLGrammar::OptionalS() {
    if (CurrentIsSpace()) S();
}

void XMLGrammar::Eq() {
    OptionalS();
    Expect("=");
    OptionalS();
}

void XMLGrammar::Name() {
    if (Failed()) return;
    if (!CurrentIs(kClassNameStart)) {
        Fail(XMLErrorCause::kNameExpected);
        return;
    }
    int32_t start = r_.position_;
    Step();
    SkipClass(kClassNameChar);
    if (!Failed()) r_.name_.Assign(r_.input_ + start, r_.position_ - start);
}

void XMLGrammar::Nmtoken() {
    if (Failed()) return;
    if (!CurrentIs(kClassNameChar)) {
        Fail(XMLErrorCause::kNameExpected);
        return;
    }
    SkipClass(kClassNameChar);
}

void XMLGrammar::SkipUntil(const char* terminator, size_t length) {
    while (!Failed()) {
        if (!CurrentIs(kClassChar)) {
            Fail(XMLErrorCause::kNotACharacter);
            break;
        }
        if (Current() == static_cast<unsigned char>(terminator[0]) && Match(terminator, length, MatchMode::kPeek))
            break;
        AdvanceChar();
    }
}

bool XMLGrammar::SpaceThen(const char* keyword, size_t length) {
    if (Failed() || !CurrentIsSpace()) return false;
    int32_t saved = r_.position_;
    S();
    bool matched = Match(keyword, length, MatchMode::kPeek);
    Seek(saved, SeekMode::kAbsolute);
    return matched;
}

// ---------------------------------------------------------------------------
// Events

void XMLGrammar::Fire(XMLEvent event, const void* payload) {
    if (Failed() || !r_.callback_) return;
    r_.callback_(event, payload, r_.context_);
}

void XMLGrammar::FireRun(XMLEvent event, int32_t from, int32_t to) {
    if (Failed() || !r_.callback_ || to <= from) return;
    run_.Assign(r_.input_ + from, to - from);
    Fire(event, &run_);
}

// ---------------------------------------------------------------------------
// Document and prolog

void XMLGrammar::Document() {
    Seek(0, SeekMode::kAbsolute);
    Fire(kStartDocument);
    // "<?xml" can only be seen here at position 0; anywhere else it is a
    // processing instruction with the reserved target and fails.
    if (Peek("<?xml")) XMLDeclaration();
    while (MiscApplies()) Misc();
    if (Peek("<!DOCTYPE")) {
        DoctypeDeclaration();
        while (MiscApplies()) Misc();
    }
    Element();
    // Only comments, processing instructions and whitespace are read after
    // the root element; whatever else follows ends the document unread.
    while (MiscApplies()) Misc();
    Fire(kEndDocument);
}

bool XMLGrammar::MiscApplies() {
    if (Failed()) return false;
    return Peek("<!--") || Peek("<?") || CurrentIsSpace();
}

void XMLGrammar::Misc() {
    if (Peek("<!--"))
        Comment();
    else if (Peek("<?"))
        ProcessingInstruction();
    else if (CurrentIsSpace())
        S();
}

void XMLGrammar::XMLDeclaration() {
    Expect("<?xml");
    S();
    Expect("version");
    Eq();
    char quote = TryChar('\'') ? '\'' : (ExpectChar('"'), '"');
    int32_t start = r_.position_;
    SkipClass(kClassVersionChar);
    if (Failed()) return;
    if (r_.position_ == start) {
        Fail(XMLErrorCause::kVersionExpected);
        return;
    }
    r_.version_.Assign(r_.input_ + start, r_.position_ - start);
    ExpectChar(quote);
    Fire(kVersion, &r_.version_);

    if (SpaceThen("encoding")) {
        S();
        Expect("encoding");
        Eq();
        quote = TryChar('"') ? '"' : (ExpectChar('\''), '\'');
        if (Failed()) return;
        if (!CurrentIs(kClassEncodingStart)) {
            Fail(XMLErrorCause::kEncodingExpected);
            return;
        }
        start = r_.position_;
        Step();
        SkipClass(kClassEncodingChar);
        r_.encoding_.Assign(r_.input_ + start, r_.position_ - start);
        ExpectChar(quote);
        Fire(kEncoding, &r_.encoding_);
    }

    if (SpaceThen("standalone")) {
        S();
        Expect("standalone");
        Eq();
        if (!Try("'yes'") && !Try("'no'") && !Try("\"yes\"")) Expect("\"no\"");
    }
    OptionalS();
    Expect("?>");
}

void XMLGrammar::Comment() {
    Expect("<!--");
    SkipUntil("--", 2);
    Expect("-->");
}

void XMLGrammar::ProcessingInstruction() {
    Expect("<?");
    int32_t start = r_.position_;
    Name();
    if (Failed()) return;
    const char* target = r_.input_ + start;
    if (r_.position_ - start == 3 && (target[0] | 0x20) == 'x' && (target[1] | 0x20) == 'm' &&
        (target[2] | 0x20) == 'l') {
        Fail(XMLErrorCause::kReservedTarget);
        return;
    }
    if (CurrentIsSpace()) {
        S();
        if (CurrentIs(kClassChar)) SkipUntil("?>", 2);
    }
    Expect("?>");
}

void XMLGrammar::DoctypeDeclaration() {
    Expect("<!DOCTYPE");
    S();
    Name();
    if (SpaceThen("SYSTEM") || SpaceThen("PUBLIC")) {
        S();
        ExternalID();
    }
    OptionalS();
    if (Try("[")) {
        InternalSubset();
        Expect("]");
        OptionalS();
    }
    Expect(">");
}

// The identifier is only read; nothing is ever fetched.
void XMLGrammar::ExternalID() {
    if (Try("SYSTEM")) {
        S();
        SystemLiteral();
    } else {
        Expect("PUBLIC");
        S();
        PubidLiteral();
        S();
        SystemLiteral();
    }
}

void XMLGrammar::SystemLiteral() {
    if (Failed()) return;
    unsigned quote = Current();
    if (quote != '"' && quote != '\'') {
        Fail(XMLErrorCause::kExpected, "\"", 1);
        return;
    }
    Step();
    while (!Failed() && Current() != quote) Step();
    Step();
}

void XMLGrammar::PubidLiteral() {
    if (TryChar('"')) {
        SkipClass(kClassPubidChar);
        ExpectChar('"');
    } else {
        ExpectChar('\'');
        while (!Failed() && CurrentIs(kClassPubidChar) && Current() != '\'') Step();
        ExpectChar('\'');
    }
}

// ---------------------------------------------------------------------------
// Elements

// Element nesting is read by recursion (Element -> Content -> Element), so a
// deeper document is refused at the "<" of the first element below
// kMaxElementDepth instead of exhausting the stack.
void XMLGrammar::Element() {
    if (Failed()) return;
    if (elementDepth_ >= XMLReader::kMaxElementDepth) {
        Fail(XMLErrorCause::kTooDeep);
        return;
    }
    Expect("<");
    Name();
    Fire(kStartElement, &r_.name_);
    while (!Failed() && CurrentIsSpace()) {
        S();
        if (CurrentIs(kClassNameStart)) Attribute();
    }
    if (Try("/>")) {
        Fire(kStartTagEnd);
    } else {
        Expect(">");
        Fire(kStartTagEnd);
        ++elementDepth_;
        Content();
        EndTag();
        --elementDepth_;
    }
    Fire(kEndElement);
}

void XMLGrammar::Attribute() {
    Name();
    if (Failed()) return;
    // References inside the value overwrite the name token, so the attribute
    // keeps its own copy of the name (only needed when someone listens).
    if (r_.callback_) attributeName_ = r_.name_;
    Fire(kAttributeName, &attributeName_);
    Eq();
    AttributeValue();
    XMLPair pair{attributeName_, r_.value_};
    Fire(kAttribute, &pair);
    Fire(kAttributeEnd);
}

// The value is neither normalised nor expanded: the value token receives the
// raw bytes between the quotes, and the literal runs and references inside it
// are reported one by one.
void XMLGrammar::AttributeValue() {
    if (Failed()) return;
    int32_t start = r_.position_ + 1;
    int32_t run = start;
    char quote = TryChar('"') ? '"' : (ExpectChar('\''), '\'');
    while (!Failed()) {
        if (TryChar(quote)) {
            int32_t end = r_.position_ - 1;
            FireRun(kAttributeValuePart, run, end);
            if (!Failed()) r_.value_.Assign(r_.input_ + start, end - start);
            return;
        }
        if (Current() == '&') {
            FireRun(kAttributeValuePart, run, r_.position_);
            Reference();
            run = r_.position_;
        } else if (Current() == '<') {
            Fail(XMLErrorCause::kLessThanInAttribute);
        } else {
            SkipUntilAny(static_cast<unsigned char>(quote), '&', '<');
        }
    }
}

void XMLGrammar::Content() {
    while (!Failed()) {
        unsigned c = Current();
        if (c == '<') {
            if (Peek("<?"))
                ProcessingInstruction();
            else if (Peek("<!--"))
                Comment();
            else if (Peek("<![CDATA["))
                CDataSection();
            else if (IsXMLClass(Next(), kClassNameStart))
                Element();
            else
                break;  // an end tag, or markup that is not allowed here
        } else if (c == '&') {
            Reference();
        } else if (!Peek("]]>")) {
            CharData();
        } else {
            break;
        }
    }
}

void XMLGrammar::CharData() {
    if (Failed()) return;
    int32_t start = r_.position_;
    SkipUntilAny('<', '&', ']');
    if (Failed() || !r_.callback_ || r_.position_ == start) return;
    if (r_.dropWhitespaceText_) {
        bool blank = true;
        for (int32_t i = start; i < r_.position_ && blank; ++i)
            blank = IsXMLClass(static_cast<unsigned char>(r_.input_[i]), kClassSpace);
        if (blank) return;
    }
    FireRun(kText, start, r_.position_);
}

// The content of a CDATA section is read over and never reported.
void XMLGrammar::CDataSection() {
    Expect("<![CDATA[");
    while (!Failed() && !Peek("]]>")) {
        if (!CurrentIs(kClassChar)) break;
        AdvanceChar();
    }
    Expect("]]>");
}

// Only the five predefined entities have a replacement; any other name
// (declared or not) is reported with an absent one. Character references are
// checked for form only: the number is neither computed nor range-tested.
void XMLGrammar::Reference() {
    if (Failed()) return;
    if (Current() == '&' && IsXMLClass(Next(), kClassNameStart)) {
        Expect("&");
        Name();
        Expect(";");
        if (Failed()) return;
        static const struct {
            const char* name;
            const char* replacement;
        } kPredefined[] = {{"lt", "<"}, {"gt", ">"}, {"amp", "&"}, {"apos", "'"}, {"quot", "\""}};
        r_.value_.Clear();
        for (const auto& entity : kPredefined) {
            if (r_.name_.Equals(entity.name)) {
                r_.value_.Assign(entity.replacement, -1);
                break;
            }
        }
        XMLPair pair{r_.name_, r_.value_};
        Fire(kEntityReference, &pair);
        return;
    }
    Expect("&#");
    int32_t digits;
    if (Try("x")) {
        digits = r_.position_;
        SkipClass(kClassHexDigit);
    } else {
        digits = r_.position_;
        SkipClass(kClassDigit);
    }
    if (!Failed() && r_.position_ == digits) Fail(XMLErrorCause::kNoDigits);
    Expect(";");
}

// The end tag's name is read but not compared with the start tag's.
void XMLGrammar::EndTag() {
    Expect("</");
    Name();
    OptionalS();
    Expect(">");
}

}  // namespace quillon

// XMLReader: an event-driven, non-validating XML reader over 8-bit text.
//
// It reads one document held in memory in a single forward pass and reports
// what it reads, as it reads it, to one callback as numbered events. It builds
// no tree. It stops at the first error; ParseText answers 0 or 1 and Position
// tells where reading stopped. The internal subset of a document type
// declaration is read and held to its grammar (xml_reader_dtd.cpp), and
// nothing of it is kept.
#pragma once

#include <cstddef>
#include <cstdint>

namespace quillon {

enum XMLEvent : int32_t {
    kStartDocument = 1,
    kEndDocument = 2,
    kStartElement = 3,       // payload: XMLToken (element name)
    kEndElement = 4,
    kAttribute = 5,          // payload: XMLPair (name, raw value)
    kText = 6,               // payload: XMLToken (one raw run of character data)
    kVersion = 7,            // payload: XMLToken
    kEncoding = 8,           // payload: XMLToken
    kEntityReference = 9,    // payload: XMLPair (name, replacement or absent)
    kStartTagEnd = 10,
    kAttributeName = 11,     // payload: XMLToken
    kAttributeEnd = 12,
    kAttributeValuePart = 13 // payload: XMLToken (one literal run of a value)
};

// Why reading stopped, for those who explain it (the reader itself only
// answers 0 or 1). The position where reading stopped is Position().
enum class XMLErrorCause : int32_t {
    kNone,
    kEndOfText,             // the text ends inside a construct
    kExpected,              // a literal was due here: ErrorExpected() holds it
    kNameExpected,          // a name must start here
    kNotACharacter,         // a byte that is no XML character (a control byte)
    kSpaceExpected,         // whitespace is required here
    kVersionExpected,       // the XML declaration's version number is empty
    kEncodingExpected,      // the encoding name must start with a letter
    kLessThanInAttribute,   // "<" inside an attribute value
    kLessThanInEntity,      // "<" inside an entity value
    kReservedTarget,        // a processing instruction named "xml" in any case
    kNoDigits,              // a character reference without digits
    kTooDeep,               // nesting deeper than kMaxElementDepth
    kTooLong                // a text longer than 32-bit positions reach
};

// A name or value: absent, or an owned NUL-terminated copy of a byte string.
// Absent and empty are different states.
class XMLToken {
public:
    XMLToken() = default;
    XMLToken(const XMLToken& other);
    XMLToken& operator=(const XMLToken& other);
    virtual ~XMLToken();

    // A null text makes the token absent; a negative length copies up to the
    // text's NUL; length 0 gives an empty (present) token.
    void Assign(const char* text, int length);
    void Clear();
    const char* Text() const { return present_ ? buffer_ : nullptr; }
    int Length() const { return present_ ? length_ : 0; }
    // An absent token equals only a null literal; otherwise bytewise.
    bool Equals(const char* literal) const;

private:
    // The buffer outlives the text it held: a token is reassigned for every
    // name and run, and reusing the buffer saves an allocation each time.
    char* buffer_ = nullptr;
    size_t capacity_ = 0;
    int length_ = 0;
    bool present_ = false;
};

// True when `text` is a whole Name as the reader reads one: a name-start
// character, then name characters only. A null or empty text is none.
bool IsXMLName(const char* text);

struct XMLPair {
    const XMLToken& name;
    const XMLToken& value;
};

// Payload is null, an XMLToken* or an XMLPair*, as the event says; it is valid
// only while the callback runs. The return value is ignored.
using XMLCallback = int32_t (*)(int32_t event, const void* payload, void* context);

class XMLReader {
public:
    XMLReader() = default;
    XMLReader(const XMLReader&) = delete;
    XMLReader& operator=(const XMLReader&) = delete;
    virtual ~XMLReader() = default;

    void SetCallback(XMLCallback callback, void* context) {
        callback_ = callback;
        context_ = context;
    }
    void SetDropWhitespaceText(bool drop) { dropWhitespaceText_ = drop ? 1 : 0; }
    bool DropWhitespaceText() const { return dropWhitespaceText_ != 0; }

    // 0 for success, 1 at the first error. A null or empty text answers 0 at
    // once. The text must stay valid during the call and is never copied.
    int32_t ParseText(const char* text);

    // Byte index of the current character in the text given to ParseText.
    int32_t Position() const { return position_; }

    // After ParseText answered 1: why, and for kExpected the literal that
    // was due (at most kMaxExpected bytes; "" otherwise).
    XMLErrorCause ErrorCause() const { return errorCause_; }
    const char* ErrorExpected() const { return expected_; }
    static constexpr int kMaxExpected = 15;

    // Deepest element nesting that is read; an element one level deeper is an
    // error found at its "<" (content-model groups of a DTD are bounded the
    // same way). Nesting is read by recursion, and each level costs about
    // 90-150 bytes of stack in the optimised Windows builds (measured:
    // tests/win/xml_reader_depth_test.cpp), so 512 levels stay below 80 KB:
    // safe on a 256 KB thread stack with room for the caller and the callback,
    // which also run at the deepest level. Real configurations nest fewer than
    // ten levels. The limit also bounds the trees that receivers build from
    // the events and may walk recursively.
    static constexpr int kMaxElementDepth = 512;

protected:
    const XMLToken& NameToken() const { return name_; }
    const XMLToken& ValueToken() const { return value_; }
    const XMLToken& VersionToken() const { return version_; }
    const XMLToken& EncodingToken() const { return encoding_; }

private:
    // Implementation routines live in xml_reader.cpp and xml_reader_dtd.cpp.
    friend class XMLGrammar;

    const char* input_ = nullptr;
    int32_t position_ = 0;
    int32_t length_ = 0;
    uint16_t current_ = 0;
    int32_t error_ = 0;
    XMLToken name_;
    XMLToken value_;
    XMLToken version_;
    XMLToken encoding_;
    int32_t dropWhitespaceText_ = 1;
    XMLCallback callback_ = nullptr;
    void* context_ = nullptr;
    XMLErrorCause errorCause_ = XMLErrorCause::kNone;
    char expected_[kMaxExpected + 1] = {};
};

}  // namespace quillon

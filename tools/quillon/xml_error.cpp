#include "xml_error.h"

#include <algorithm>
#include <cstdio>

#include "messages.h"

namespace quillon::cli {
namespace {

// What stands at `position`: 'c' for a visible ASCII character, else its byte.
std::string Found(const std::string& text, int32_t position) {
    unsigned char c = static_cast<unsigned char>(text[static_cast<size_t>(position)]);
    char shown[16];
    if (c > 0x20 && c < 0x7F)
        std::snprintf(shown, sizeof shown, "'%c'", c);
    else
        std::snprintf(shown, sizeof shown, "byte 0x%02X", c);
    return shown;
}

std::string Cause(const std::string& text, const XMLReader& reader) {
    int32_t at = reader.Position();
    std::string found = at < static_cast<int32_t>(text.size()) ? Found(text, at) : "the end";
    switch (reader.ErrorCause()) {
        case XMLErrorCause::kEndOfText: return "the text ends too early";
        case XMLErrorCause::kExpected:
            if (at == 0 && (text.rfind("\xEF\xBB\xBF", 0) == 0 || text.rfind("\xFF\xFE", 0) == 0 ||
                            text.rfind("\xFE\xFF", 0) == 0))
                return "a byte-order mark: the file must start with '<' (save it without one)";
            return std::string("expected '") + reader.ErrorExpected() + "', found " + found;
        case XMLErrorCause::kNameExpected: return "a name cannot start with " + found;
        case XMLErrorCause::kNotACharacter: return found + " is not allowed here";
        case XMLErrorCause::kSpaceExpected: return "expected whitespace, found " + found;
        case XMLErrorCause::kVersionExpected: return "the version number is empty";
        case XMLErrorCause::kEncodingExpected: return "an encoding name must start with a letter";
        case XMLErrorCause::kLessThanInAttribute: return "'<' not allowed in an attribute value";
        case XMLErrorCause::kLessThanInEntity: return "'<' not allowed in an entity value";
        case XMLErrorCause::kReservedTarget:
            return "a processing instruction may not be named 'xml' (a declaration must open the file)";
        case XMLErrorCause::kNoDigits: return "a character reference needs digits (&#65; or &#x41;)";
        case XMLErrorCause::kTooDeep:
            return "nesting deeper than " + std::to_string(XMLReader::kMaxElementDepth) + " levels";
        case XMLErrorCause::kTooLong: return "the text is too long to be read";
        case XMLErrorCause::kNone: break;
    }
    return "XML error";
}

}  // namespace

std::string Location(const std::string& file, const std::string& text, int32_t position) {
    size_t end = std::min(static_cast<size_t>(position), text.size());
    int line = 1;
    size_t lineStart = 0;
    for (size_t i = 0; i < end; ++i) {
        if (text[i] == '\n') {
            ++line;
            lineStart = i + 1;
        }
    }
    return (file == "-" ? "<stdin>" : file) + ":" + std::to_string(line) + ":" + std::to_string(end - lineStart + 1);
}

void ReportXmlError(const std::string& file, const std::string& text, const XMLReader& reader) {
    Note(Location(file, text, reader.Position()) + ": " + Cause(text, reader) + " (byte " +
         std::to_string(reader.Position()) + ")");
}

}  // namespace quillon::cli

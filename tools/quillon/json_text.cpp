#include "json_text.h"

#include <cstdio>
#include <cstring>

#include "platform/windows_1252.h"

namespace quillon::cli {

std::string JsonString(const char* bytes, size_t length) {
    std::string out = "\"";
    for (size_t i = 0; i < length; ++i) {
        unsigned char c = static_cast<unsigned char>(bytes[i]);
        switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\t': out += "\\t"; break;
            case '\r': out += "\\r"; break;
            case '\n': out += "\\n"; break;
            default:
                if (c < 0x20 || c >= 0x7F) {
                    char escape[8];
                    std::snprintf(escape, sizeof escape, "\\u%04X", static_cast<unsigned>(platform::Windows1252ToUnicode(c)));
                    out += escape;
                } else {
                    out += static_cast<char>(c);
                }
        }
    }
    return out + '"';
}

std::string JsonString(const char* text) { return text ? JsonString(text, std::strlen(text)) : std::string("null"); }

std::string JsonString(const std::string& text) { return JsonString(text.data(), text.size()); }

}  // namespace quillon::cli

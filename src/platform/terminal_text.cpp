#include "platform/terminal_text.h"

#include <cstdio>

namespace quillon::platform {

std::string EscapeControls(const char* text, size_t length) {
    std::string out;
    for (size_t i = 0; text != nullptr && i < length; ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (c >= 0x20 && c != 0x7F) {
            out += static_cast<char>(c);
        } else if (c == '\t') {
            out += "\\t";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else {
            char escape[5];
            std::snprintf(escape, sizeof escape, "\\x%02X", c);
            out += escape;
        }
    }
    return out;
}

std::string EscapeControls(const std::string& text) { return EscapeControls(text.data(), text.size()); }

}  // namespace quillon::platform

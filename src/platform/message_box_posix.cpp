#include <cstdio>
#include <cstring>

#include "platform/message_box.h"
#include "platform/terminal_text.h"

namespace quillon::platform {

void ShowInfoMessage(const char* text) {
    // A script's text may come from anywhere; the terminal sees it escaped.
    std::fflush(stdout);  // what was printed before stays before the message
    std::string shown = EscapeControls(text, text ? std::strlen(text) : 0);
    std::fprintf(stderr, "Info: %s\n", shown.c_str());
    std::fflush(stderr);
}

}  // namespace quillon::platform

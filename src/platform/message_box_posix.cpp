#include "platform/message_box.h"

#include <cstdio>

namespace quillon::platform {

void ShowInfoMessage(const char* text) {
    std::fprintf(stderr, "Info: %s\n", text ? text : "");
    std::fflush(stderr);
}

}  // namespace quillon::platform

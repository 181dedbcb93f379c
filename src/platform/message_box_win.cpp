#include "platform/message_box.h"

#include <windows.h>

namespace quillon::platform {

void ShowInfoMessage(const char* text) { ::MessageBoxA(nullptr, text ? text : "", "Info", MB_OK); }

}  // namespace quillon::platform

// Windows side of the ANSI text seam: the real system calls.
#include "platform/ansi_text.h"

#include <windows.h>

namespace quillon::platform {

int AnsiToWide(const char* text, int byteCount, char16_t* out, int capacity) {
    return MultiByteToWideChar(CP_ACP, 0, text, byteCount, reinterpret_cast<wchar_t*>(out), capacity);
}

int WideToAnsi(const char16_t* text, int count, char* out, int capacity) {
    return WideCharToMultiByte(CP_ACP, 0, reinterpret_cast<const wchar_t*>(text), count, out, capacity,
                               nullptr, nullptr);
}

int CompareAnsi(const char* a, const char* b) { return lstrcmpA(a, b); }
int CompareAnsiNoCase(const char* a, const char* b) { return lstrcmpiA(a, b); }

bool AnsiCodePageIsSingleByte() {
    CPINFO info;
    return GetCPInfo(CP_ACP, &info) && info.MaxCharSize == 1;
}

}  // namespace quillon::platform

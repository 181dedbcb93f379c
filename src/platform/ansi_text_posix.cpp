// Native side of the ANSI text seam: Windows-1252 as the ANSI code page and
// the portable model of the Windows collation.
#include "platform/ansi_collation.h"
#include "platform/ansi_text.h"
#include "platform/windows_1252.h"

namespace quillon::platform {
namespace {

template <typename T>
int Measure(const T* text, int count) {
    if (count >= 0) return count;
    int n = 0;
    while (text[n] != 0) ++n;
    return n + 1;  // the terminator is converted too
}

}  // namespace

int AnsiToWide(const char* text, int byteCount, char16_t* out, int capacity) {
    if (text == nullptr || byteCount == 0 || capacity < 0) return 0;
    int n = Measure(text, byteCount);
    if (capacity == 0) return n;
    if (out == nullptr || capacity < n) return 0;
    for (int i = 0; i < n; ++i) {
        auto b = static_cast<unsigned char>(text[i]);
        // Only 0x80 to 0x9F differ from Latin-1.
        out[i] = (b < 0x80 || b >= 0xA0) ? static_cast<char16_t>(b) : Windows1252ToUnicode(b);
    }
    return n;
}

int WideToAnsi(const char16_t* text, int count, char* out, int capacity) {
    if (text == nullptr || count == 0 || capacity < 0) return 0;
    int n = Measure(text, count);
    if (capacity == 0) return n;
    if (out == nullptr || capacity < n) return 0;
    for (int i = 0; i < n; ++i) {
        char16_t u = text[i];
        out[i] = u < 0x80 ? static_cast<char>(u) : UnicodeToWindows1252(u);
    }
    return n;
}

int CompareAnsi(const char* a, const char* b) { return CollateAnsi(a, b, false); }
int CompareAnsiNoCase(const char* a, const char* b) { return CollateAnsi(a, b, true); }

bool AnsiCodePageIsSingleByte() { return true; }  // Windows-1252

}  // namespace quillon::platform

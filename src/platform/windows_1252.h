// Windows-1252 <-> UTF-16, one character at a time. The native build uses it as
// its ANSI code page; the Windows tests check it against the system's table.
#pragma once

namespace quillon::platform {

char16_t Windows1252ToUnicode(unsigned char byte);
// Characters outside the code page become "?".
char UnicodeToWindows1252(char16_t unit);

}  // namespace quillon::platform

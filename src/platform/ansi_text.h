// The ANSI text seam: code-page conversion and the comparisons the library
// uses. On Windows these are MultiByteToWideChar / WideCharToMultiByte in the
// ANSI code page and lstrcmpA / lstrcmpiA. Natively the code page is
// Windows-1252 and the comparisons follow the Windows collation for ASCII
// text (see ansi_collation.h).
#pragma once

namespace quillon::platform {

// Converts `byteCount` bytes of ANSI text (-1: up to and including the NUL)
// to UTF-16. With capacity 0 returns the number of units needed; otherwise
// the number written, or 0 when the output does not fit.
int AnsiToWide(const char* text, int byteCount, char16_t* out, int capacity);

// The reverse: `count` UTF-16 units (-1: up to and including the NUL) to ANSI
// bytes. Characters the code page lacks become "?".
int WideToAnsi(const char16_t* text, int count, char* out, int capacity);

// lstrcmpA / lstrcmpiA semantics: negative, 0 or positive. Both texts non-null.
int CompareAnsi(const char* a, const char* b);
int CompareAnsiNoCase(const char* a, const char* b);

// True when every character of the ANSI code page is one byte (false for the
// double-byte code pages of East Asian systems).
bool AnsiCodePageIsSingleByte();

}  // namespace quillon::platform

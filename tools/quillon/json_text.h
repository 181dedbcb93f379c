// JSON strings of the library's 8-bit text.
#pragma once

#include <cstddef>
#include <string>

namespace quillon::cli {

// A JSON string of bytes in Windows-1252, the library's code page: quotes,
// backslashes and control characters are escaped (\" \\ \t \r \n, else
// \u00XX), and every byte of 0x7F and above becomes the \uXXXX of its
// character (0x80 is \u20AC, 0xE9 is \u00E9), so every line stays 7-bit.
std::string JsonString(const char* bytes, size_t length);
std::string JsonString(const char* text);  // null gives null
std::string JsonString(const std::string& text);

}  // namespace quillon::cli

// Text bound for a terminal. A control character in a file name, an argument
// or a file's content could move the cursor, change colours or rewrite what
// the user sees when printed raw; shown escaped it stays visible.
#pragma once

#include <string>

namespace quillon::platform {

// `text` (null gives "") with TAB, LF and CR as \t \n \r and every other
// byte below 0x20, and 0x7F, as \xNN. All other bytes stay as they are.
std::string EscapeControls(const char* text, size_t length);
std::string EscapeControls(const std::string& text);

}  // namespace quillon::platform

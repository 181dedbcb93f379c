// Path placeholders: installer properties that name a program may hold, as
// their whole text, a bracketed placeholder for a folder or file of the
// machine ("[WinDir]", "[ModuleFile]", ...). ExpandPathPlaceholder replaces it
// in place; ReadRegistryValueByPath reads a registry value named by one text
// "HIVE\key\path\value".
#pragma once

#include "foundation/text_string.h"

namespace quillon {

// 1 or 0 (see the table in path_placeholders_win.cpp). Text that is not
// exactly one placeholder, case included, stays unchanged with result 1.
int ExpandPathPlaceholder(TextString& text /* in/out */);

// `text` holds "HIVE\key path\value name" on entry. Result 1: it holds the
// value's data (REG_SZ as text, REG_DWORD in signed decimal). Result 0: it is
// the empty text.
int ReadRegistryValueByPath(TextString& text /* in/out */);

}  // namespace quillon

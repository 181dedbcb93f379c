// A portable stand-in for the Windows comparison of ANSI text (lstrcmpA and
// lstrcmpiA), for the native build. It reproduces the Windows "word sort"
// for ASCII text:
//   1. characters compare by a primary weight that ignores case, with
//      punctuation before digits before letters; hyphen and apostrophe carry
//      no primary weight at all (so "co-op" sorts next to "coop");
//   2. then letter case, position by position, lower case first (not for the
//      case-insensitive form);
//   3. then the ignored hyphens and apostrophes: where they stand and which.
// Bytes above 0x7F compare by value after every ASCII character. The Windows
// build calls the real functions; its tests check this model against them.
#pragma once

namespace quillon::platform {

int CollateAnsi(const char* a, const char* b, bool ignoreCase);

}  // namespace quillon::platform

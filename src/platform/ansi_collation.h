// A portable stand-in for the Windows comparison of ANSI text (lstrcmpA and
// lstrcmpiA), for the native build: every byte of Windows-1252. Windows
// compares four levels in turn, each only where the ones before tie:
//   1. primary weights, which ignore case and marks: white space, then
//      punctuation and symbols, digits, letters. e acute (0xE9) weighs as e,
//      the ligature ae (0xE6) as a and e, sharp s (0xDF) as s and s. Hyphens,
//      the apostrophe and the controls have none;
//   2. the marks, place by place: e before e acute before e grave;
//   3. case, place by place, lower case first; ignoring case, only the
//      superscript and ordinal forms (0xB9, 0xAA) still differ here;
//   4. the hyphens, apostrophe and controls: where they stand and which.
// The soft hyphen (0xAD) weighs nothing at all. The Windows build calls the
// real functions; its tests check this model against them.
#pragma once

namespace quillon::platform {

int CollateAnsi(const char* a, const char* b, bool ignoreCase);

}  // namespace quillon::platform

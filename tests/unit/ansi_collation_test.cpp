// The native model of lstrcmpA / lstrcmpiA beyond ASCII. Every expected
// answer here is what Wine's lstrcmpA and lstrcmpiA give. The Windows tests
// check the model against them on every pair of bytes, on mixed texts and on
// the 16-bit count that places ignorables in long texts, so the rows here show
// each rule of the model once, not where every byte sorts.
#include <gtest/gtest.h>

#include "platform/ansi_collation.h"

namespace {

using quillon::platform::CollateAnsi;

struct Row {
    const char* why;
    const char* a;
    const char* b;
    int sensitive;    // lstrcmpA
    int insensitive;  // lstrcmpiA
};

constexpr Row kRows[] = {
    {"a mark weighs after the plain letter", "e", "\xE9", -1, -1},
    {"case pair with a mark", "1\xE9", "1\xC9", -1, 0},
    {"the base letter outweighs the mark", "1\xE9", "1f", -1, -1},
    {"marks compare before case", "\xC9", "e", 1, 1},
    {"marks compare place by place", "e\xE9", "\xE9" "e", -1, -1},
    {"case compares place by place", "\xE9" "E", "\xC9" "e", -1, 0},
    {"marks outweigh a hyphen", "1\xE9", "1e-", 1, 1},
    {"the ligature is the two letters", "\xE6" "b", "aeb", 0, 0},
    {"its upper case differs in case only", "\xC6", "ae", 1, 0},
    {"the ligature's second letter counts", "\xE6", "af", -1, -1},
    {"sharp s is s s", "\xDF", "ss", 0, 0},
    {"eth is a marked d", "\xF0", "d", 1, 1},
    {"a superscript differs even ignoring case", "\xB9", "1", 1, 1},
    {"the modifier circumflex is the circumflex", "\x88", "^", 0, 0},
    {"unassigned bytes share a primary weight", "\x81" "b", "\x8D" "a", 1, 1},
    {"which tell them apart in byte order", "\x81", "\x8D", -1, -1},
    {"a tab weighs at the first level", "a", "a\t", -1, -1},
    {"the soft hyphen weighs nothing", "a\xAD" "b", "ab", 0, 0},
    {"a control weighs at the last level", "\x01" "a", "a", 1, 1},
    {"an earlier ignorable weighs more", "a\x01", "-a", -1, -1},
    {"a dash is ignorable", "co\x96op", "coop", 1, 1},
    {"a ligature's place counts two letters", "\xE6-", "a-e", -1, -1},
    {"case outweighs hyphens, but not ignoring case", "a-B", "Ab", -1, 1},
};

TEST(AnsiCollation, Windows1252Order) {
    for (const Row& row : kRows) {
        SCOPED_TRACE(row.why);
        EXPECT_EQ(CollateAnsi(row.a, row.b, false), row.sensitive);
        EXPECT_EQ(CollateAnsi(row.a, row.b, true), row.insensitive);
        EXPECT_EQ(CollateAnsi(row.b, row.a, false), -row.sensitive);
        EXPECT_EQ(CollateAnsi(row.b, row.a, true), -row.insensitive);
    }
}

}  // namespace

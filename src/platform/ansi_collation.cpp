#include "platform/ansi_collation.h"

#include <cstddef>

namespace quillon::platform {
namespace {

// Printable ASCII in the order Windows sorts it when case is ignored.
// Hyphen and apostrophe lead the list but are handled apart (see below).
constexpr char kPrimaryOrder[] =
    "'- !\"#$%&()*,./:;?@[\\]^_`{|}~+<=>0123456789"
    "abcdefghijklmnopqrstuvwxyz";

struct WeightTable {
    unsigned short primary[256];
};

constexpr WeightTable BuildWeights() {
    WeightTable table{};
    for (int c = 0; c < 256; ++c) table.primary[c] = static_cast<unsigned short>(0x200 + c);
    // Control characters sort before everything printable.
    for (int c = 0; c < 0x20; ++c) table.primary[c] = static_cast<unsigned short>(1 + c);
    for (int i = 0; kPrimaryOrder[i] != 0; ++i) {
        unsigned char c = static_cast<unsigned char>(kPrimaryOrder[i]);
        table.primary[c] = static_cast<unsigned short>(0x40 + i);
        if (c >= 'a' && c <= 'z') table.primary[c - 'a' + 'A'] = table.primary[c];
    }
    table.primary[0] = 0;  // the end of a text weighs least
    return table;
}

constexpr WeightTable kWeights = BuildWeights();

const WeightTable& Weights() { return kWeights; }

bool IsIgnorable(unsigned char c) { return c == '-' || c == '\''; }
bool IsUpper(unsigned char c) { return c >= 'A' && c <= 'Z'; }

int Sign(int v) { return v < 0 ? -1 : (v > 0 ? 1 : 0); }

}  // namespace

int CollateAnsi(const char* a, const char* b, bool ignoreCase) {
    const auto* x = reinterpret_cast<const unsigned char*>(a);
    const auto* y = reinterpret_cast<const unsigned char*>(b);
    const WeightTable& w = Weights();

    // Fast path. A prefix that is the same but for the case of letters adds
    // the same primary weights and hyphens to both texts, so the first place
    // where the texts differ other than in case settles the order when both
    // bytes there carry primary weights (or end a text). Texts that differ
    // only in case are ordered by the first such letter, lower case first.
    {
        size_t i = 0;
        int firstCase = 0;
        for (;; ++i) {
            if (x[i] == y[i]) {
                if (x[i] == 0) return ignoreCase ? 0 : firstCase;
                continue;
            }
            if (w.primary[x[i]] != w.primary[y[i]]) break;
            if (firstCase == 0) firstCase = IsUpper(x[i]) ? 1 : -1;  // the same letter in two cases
        }
        if (!IsIgnorable(x[i]) && !IsIgnorable(y[i])) return w.primary[x[i]] < w.primary[y[i]] ? -1 : 1;
    }

    // Level 1: primary weights, skipping hyphens and apostrophes.
    {
        size_t i = 0, j = 0;
        for (;;) {
            while (x[i] && IsIgnorable(x[i])) ++i;
            while (y[j] && IsIgnorable(y[j])) ++j;
            if (!x[i] || !y[j]) {
                if (x[i]) return 1;
                if (y[j]) return -1;
                break;
            }
            if (w.primary[x[i]] != w.primary[y[j]]) return Sign(w.primary[x[i]] - w.primary[y[j]]);
            ++i;
            ++j;
        }
    }

    // Level 2: case of the weighted characters, lower case first.
    if (!ignoreCase) {
        size_t i = 0, j = 0;
        for (;;) {
            while (x[i] && IsIgnorable(x[i])) ++i;
            while (y[j] && IsIgnorable(y[j])) ++j;
            if (!x[i] || !y[j]) break;
            if (IsUpper(x[i]) != IsUpper(y[j])) return IsUpper(x[i]) ? 1 : -1;
            ++i;
            ++j;
        }
    }

    // Level 3: the ignored characters. An earlier one weighs more; at the same
    // place a hyphen weighs more than an apostrophe; more of them weigh more.
    {
        size_t i = 0, j = 0;
        for (;;) {
            while (x[i] && !IsIgnorable(x[i])) ++i;
            while (y[j] && !IsIgnorable(y[j])) ++j;
            if (!x[i] || !y[j]) {
                if (x[i]) return 1;
                if (y[j]) return -1;
                return 0;
            }
            if (i != j) return i < j ? 1 : -1;
            if (x[i] != y[j]) return Sign(w.primary[x[i]] - w.primary[y[j]]);
            ++i;
            ++j;
        }
    }
}

}  // namespace quillon::platform

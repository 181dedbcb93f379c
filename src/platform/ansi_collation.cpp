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
    WeightTable() {
        for (int c = 0; c < 256; ++c) primary[c] = static_cast<unsigned short>(0x200 + c);
        // Control characters sort before everything printable.
        for (int c = 0; c < 0x20; ++c) primary[c] = static_cast<unsigned short>(1 + c);
        for (int i = 0; kPrimaryOrder[i] != 0; ++i) {
            unsigned char c = static_cast<unsigned char>(kPrimaryOrder[i]);
            primary[c] = static_cast<unsigned short>(0x40 + i);
            if (c >= 'a' && c <= 'z') primary[c - 'a' + 'A'] = primary[c];
        }
    }
};

const WeightTable& Weights() {
    static const WeightTable table;
    return table;
}

bool IsIgnorable(unsigned char c) { return c == '-' || c == '\''; }
bool IsUpper(unsigned char c) { return c >= 'A' && c <= 'Z'; }

int Sign(int v) { return v < 0 ? -1 : (v > 0 ? 1 : 0); }

}  // namespace

int CollateAnsi(const char* a, const char* b, bool ignoreCase) {
    const auto* x = reinterpret_cast<const unsigned char*>(a);
    const auto* y = reinterpret_cast<const unsigned char*>(b);
    const WeightTable& w = Weights();

    // Fast path: a shared prefix weighs the same on every level, so when the
    // first differing bytes both carry primary weights (or end a text) and
    // those weights differ, they decide. Equal texts are equal.
    {
        size_t i = 0;
        while (x[i] == y[i] && x[i] != 0) ++i;
        if (x[i] == y[i]) return 0;
        if (!IsIgnorable(x[i]) && !IsIgnorable(y[i])) {
            unsigned weightX = x[i] ? w.primary[x[i]] : 0;
            unsigned weightY = y[i] ? w.primary[y[i]] : 0;
            if (weightX != weightY) return weightX < weightY ? -1 : 1;
        }
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

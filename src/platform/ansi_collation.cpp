// The portable model of lstrcmpA / lstrcmpiA for Windows-1252 text: a weight
// table for every byte and the four-level comparison over it.
#include "platform/ansi_collation.h"

#include <cstddef>
#include <cstdint>

namespace quillon::platform {
namespace {

// Level 1: the bytes that weigh as a character of their own (lower case for
// letters), from the least primary weight to the greatest. Upper case, the
// letters with marks, ligatures and variant forms take their weights from
// these (see BuildWeights). White space comes first (space, no-break space,
// then the controls TAB to CR), then punctuation, currency and other
// symbols, digits (the fractions 1/4, 1/2, 3/4 between 0 and 1, where their
// values lie), and letters; the trade mark sign (0x99) sorts as a letter
// between t and u. Byte 0x81 stands for all the unassigned bytes.
constexpr char kPrimaryOrder[] =
    " \xA0\t\n\v\f\r"
    "!\"#$%&()*,./:;?@[\\]^_`{|}~\xA1\xA6\xA8\xAF\xB4\xB8\xBF\x98"
    "\x91\x92\x82\x93\x94\x84\x8B\x9B"  // quotation marks: single, double, angle
    "\xA2\xA3\xA4\xA5\x80"              // currency
    "+<=>\xB1\xAB\xBB\xD7\xF7"          // mathematical symbols
    "\xA7\xA9\xAC\xAE\xB0\xB5\xB6\xB7\x85\x86\x87\x95\x89"
    "\x81"
    "0\xBC\xBD\xBE" "123456789"
    "abcdefghijklmnopqrst\x99uvwxyz";

// Level 2: the marks that tell letters with the same base apart, in the order
// of Windows' diacritic weights. kOrdinal marks the ordinal indicators (0xAA,
// 0xBA, weighing as a and o), kEth the bar that makes eth (0xF0) of d.
enum Mark : unsigned char {
    kNoMark, kOrdinal, kAcute, kGrave, kCircumflex, kDiaeresis, kCaron, kTilde, kRing, kCedilla, kStroke,
    kHook, kEth,
    kUnassigned,  // the first of the marks that tell the unassigned bytes apart
};

// The bytes the code page leaves unassigned (read as the C1 controls of the
// same value) share one primary weight and are told apart by marks, in byte
// order.
constexpr char kUnassignedBytes[] = "\x81\x8D\x8F\x90\x9D";

// Level 3: lower case first, then the superscript and ordinal forms, then
// upper case. Ignoring case makes upper case lower, but the superscript
// forms still weigh more than the plain ones.
enum CaseForm : unsigned char { kLower, kSuperscript, kUpper };

// Letters with a mark: the lower-case byte, its upper-case byte (0 when the
// code page has none), the base letter and the mark.
struct MarkedLetter {
    unsigned char lower, upper;
    char base;
    Mark mark;
};
constexpr MarkedLetter kMarkedLetters[] = {
    {0xE1, 0xC1, 'a', kAcute},   {0xE0, 0xC0, 'a', kGrave},      {0xE2, 0xC2, 'a', kCircumflex},
    {0xE4, 0xC4, 'a', kDiaeresis}, {0xE3, 0xC3, 'a', kTilde},    {0xE5, 0xC5, 'a', kRing},
    {0xE7, 0xC7, 'c', kCedilla}, {0xF0, 0xD0, 'd', kEth},
    {0xE9, 0xC9, 'e', kAcute},   {0xE8, 0xC8, 'e', kGrave},      {0xEA, 0xCA, 'e', kCircumflex},
    {0xEB, 0xCB, 'e', kDiaeresis}, {0x83, 0, 'f', kHook},
    {0xED, 0xCD, 'i', kAcute},   {0xEC, 0xCC, 'i', kGrave},      {0xEE, 0xCE, 'i', kCircumflex},
    {0xEF, 0xCF, 'i', kDiaeresis}, {0xF1, 0xD1, 'n', kTilde},
    {0xF3, 0xD3, 'o', kAcute},   {0xF2, 0xD2, 'o', kGrave},      {0xF4, 0xD4, 'o', kCircumflex},
    {0xF6, 0xD6, 'o', kDiaeresis}, {0xF5, 0xD5, 'o', kTilde},    {0xF8, 0xD8, 'o', kStroke},
    {0x9A, 0x8A, 's', kCaron},
    {0xFA, 0xDA, 'u', kAcute},   {0xF9, 0xD9, 'u', kGrave},      {0xFB, 0xDB, 'u', kCircumflex},
    {0xFC, 0xDC, 'u', kDiaeresis},
    {0xFD, 0xDD, 'y', kAcute},   {0xFF, 0x9F, 'y', kDiaeresis},  {0x9E, 0x8E, 'z', kCaron},
};

// Ligatures weigh as the two letters they stand for, with the case of the
// byte and no mark: ae (0xE6) equals "ae", sharp s (0xDF) "ss", thorn (0xFE)
// "th".
struct Ligature {
    unsigned char lower, upper;
    char first, second;
};
constexpr Ligature kLigatures[] = {
    {0xE6, 0xC6, 'a', 'e'}, {0x9C, 0x8C, 'o', 'e'}, {0xDF, 0, 's', 's'}, {0xFE, 0xDE, 't', 'h'},
};

// Level 4: the bytes that weigh nothing at the first three levels, in the
// order of their weight: the controls other than TAB to CR in byte order, DEL,
// apostrophe, hyphen, en dash, em dash. So "co-op" sorts next to "coop". The
// soft hyphen (0xAD) is not listed: it weighs nothing at all.
constexpr char kIgnorableOrder[] =
    "\x01\x02\x03\x04\x05\x06\x07\x08\x0E\x0F\x10\x11\x12\x13\x14\x15\x16\x17\x18\x19\x1A\x1B\x1C\x1D\x1E\x1F"
    "\x7F'-\x96\x97";

// What one byte contributes to each level.
struct ByteWeight {
    unsigned char primary;    // 0: none (an ignorable byte)
    unsigned char expansion;  // the second letter's primary weight of a ligature, else 0
    unsigned char mark;
    unsigned char caseForm;
    unsigned char ignorable;  // the weight of an ignorable byte at the last level, else 0
};

constexpr unsigned char CaseWeight(const ByteWeight& w, bool ignoreCase) {
    return ignoreCase && w.caseForm == kUpper ? static_cast<unsigned char>(kLower) : w.caseForm;
}

// Above every primary weight: bytes that are not one element.
constexpr unsigned short kNoTie = 0x100;

struct WeightTable {
    ByteWeight byte[256];
    // For the fast path. The primary weight of a byte that is one element
    // (0 for the end of a text), else a value of its own above kNoTie: two
    // bytes tie when both are single elements of one primary weight.
    unsigned short tie[256];
    // Mark and case in one number, [ignoreCase][byte]: of two bytes with the
    // same mark, the one with the greater case weight has the greater number.
    unsigned char secondary[2][256];
};

constexpr WeightTable BuildWeights() {
    WeightTable table{};
    auto at = [&table](char c) -> ByteWeight& { return table.byte[static_cast<unsigned char>(c)]; };
    for (int i = 0; kPrimaryOrder[i] != 0; ++i) at(kPrimaryOrder[i]).primary = static_cast<unsigned char>(1 + i);
    for (char c = 'a'; c <= 'z'; ++c) at(static_cast<char>(c - 'a' + 'A')) = {at(c).primary, 0, kNoMark, kUpper, 0};
    for (const MarkedLetter& m : kMarkedLetters) {
        table.byte[m.lower] = {at(m.base).primary, 0, m.mark, kLower, 0};
        if (m.upper != 0) table.byte[m.upper] = {at(m.base).primary, 0, m.mark, kUpper, 0};
    }
    for (const Ligature& l : kLigatures) {
        table.byte[l.lower] = {at(l.first).primary, at(l.second).primary, kNoMark, kLower, 0};
        if (l.upper != 0) table.byte[l.upper] = {at(l.first).primary, at(l.second).primary, kNoMark, kUpper, 0};
    }
    // Variant forms: the superscript digits and the ordinal indicators weigh
    // as their plain forms; the modifier circumflex is the circumflex accent.
    at('\xB9') = {at('1').primary, 0, kNoMark, kSuperscript, 0};
    at('\xB2') = {at('2').primary, 0, kNoMark, kSuperscript, 0};
    at('\xB3') = {at('3').primary, 0, kNoMark, kSuperscript, 0};
    at('\xAA') = {at('a').primary, 0, kOrdinal, kSuperscript, 0};
    at('\xBA') = {at('o').primary, 0, kOrdinal, kSuperscript, 0};
    at('\x88') = at('^');
    for (int i = 0; kUnassignedBytes[i] != 0; ++i)
        at(kUnassignedBytes[i]) = {at('\x81').primary, 0, static_cast<unsigned char>(kUnassigned + i), kLower, 0};
    for (int i = 0; kIgnorableOrder[i] != 0; ++i) at(kIgnorableOrder[i]).ignorable = static_cast<unsigned char>(1 + i);
    for (int c = 0; c < 256; ++c) {
        const ByteWeight& w = table.byte[c];
        bool single = c == 0 || (w.primary != 0 && w.expansion == 0);
        table.tie[c] = static_cast<unsigned short>(single ? w.primary : kNoTie + c);
        table.secondary[0][c] = static_cast<unsigned char>(w.mark * 4 + CaseWeight(w, false));
        table.secondary[1][c] = static_cast<unsigned char>(w.mark * 4 + CaseWeight(w, true));
    }
    return table;
}

constexpr WeightTable kWeights = BuildWeights();

// Every byte but the terminator and the soft hyphen weighs at some level.
constexpr bool EveryByteWeighs() {
    for (int c = 1; c < 256; ++c) {
        const ByteWeight& w = kWeights.byte[c];
        if ((w.primary == 0) == (w.ignorable == 0) && c != 0xAD) return false;
    }
    return true;
}
static_assert(EveryByteWeighs(), "a byte without weight, or with weights at two exclusive levels");

int Order(int a, int b) { return a < b ? -1 : (a > b ? 1 : 0); }

// The weighted elements of a text, one per byte and two per ligature (both
// with the byte's mark and case); bytes without a primary weight are passed
// over.
class Elements {
public:
    explicit Elements(const unsigned char* text) : next_(text) {}

    // The element's byte weights, or null at the end of the text.
    const ByteWeight* Next(unsigned char* primary) {
        if (pendingExpansion_ != nullptr) {
            const ByteWeight* w = pendingExpansion_;
            pendingExpansion_ = nullptr;
            *primary = w->expansion;
            return w;
        }
        while (*next_ != 0 && kWeights.byte[*next_].primary == 0) ++next_;
        if (*next_ == 0) return nullptr;
        const ByteWeight* w = &kWeights.byte[*next_++];
        if (w->expansion != 0) pendingExpansion_ = w;
        *primary = w->primary;
        return w;
    }

private:
    const unsigned char* next_;
    const ByteWeight* pendingExpansion_ = nullptr;
};

// The ignorable bytes of a text with their places: the number of primary
// weights before each. Windows counts them in 16 bits, so the place wraps.
class Ignorables {
public:
    explicit Ignorables(const unsigned char* text) : next_(text) {}

    bool Next(uint16_t* place, unsigned char* weight) {
        for (; *next_ != 0; ++next_) {
            const ByteWeight& w = kWeights.byte[*next_];
            if (w.primary != 0) primaries_ = static_cast<uint16_t>(primaries_ + (w.expansion != 0 ? 2 : 1));
            if (w.ignorable == 0) continue;
            *place = primaries_;
            *weight = w.ignorable;
            ++next_;
            return true;
        }
        return false;
    }

private:
    const unsigned char* next_;
    uint16_t primaries_ = 0;
};

int CollateAllLevels(const unsigned char* x, const unsigned char* y, bool ignoreCase) {
    // Levels 1 to 3 in one walk: the first primary difference decides at
    // once; the first mark and case differences are kept for later.
    int markOrder = 0;
    int caseOrder = 0;
    Elements ex(x), ey(y);
    for (;;) {
        unsigned char px = 0, py = 0;
        const ByteWeight* wx = ex.Next(&px);
        const ByteWeight* wy = ey.Next(&py);
        if (wx == nullptr || wy == nullptr) {
            if (wx != nullptr) return 1;
            if (wy != nullptr) return -1;
            break;
        }
        if (px != py) return Order(px, py);
        if (markOrder == 0) markOrder = Order(wx->mark, wy->mark);
        if (caseOrder == 0) caseOrder = Order(CaseWeight(*wx, ignoreCase), CaseWeight(*wy, ignoreCase));
    }
    if (markOrder != 0) return markOrder;
    if (caseOrder != 0) return caseOrder;

    // Level 4: the ignorable bytes. An earlier one weighs more; at the same
    // place the greater weight; more of them weigh more.
    Ignorables ix(x), iy(y);
    for (;;) {
        uint16_t placeX = 0, placeY = 0;
        unsigned char weightX = 0, weightY = 0;
        bool hasX = ix.Next(&placeX, &weightX);
        bool hasY = iy.Next(&placeY, &weightY);
        if (!hasX || !hasY) return Order(hasX, hasY);
        if (placeX != placeY) return placeX < placeY ? 1 : -1;
        if (weightX != weightY) return Order(weightX, weightY);
    }
}

// The order from the first byte `i` where the texts differ. While both hold
// the same byte, or two bytes that tie (one element each, of one primary
// weight), they gain the same primary weights and ignorables at the same
// places, and only marks and case can differ; the first such difference in
// each is kept. At the first place where the bytes do not tie, two single
// elements (or the end of a text) are ordered by their primary weights. Other
// places need all the levels. Out of line, so that the common case in
// CollateAnsi saves no registers for it.
__attribute__((noinline)) int CollateFromFirstDifference(const unsigned char* x, const unsigned char* y, size_t i,
                                                         bool ignoreCase) {
    int markOrder = 0;
    int caseOrder = 0;
    const unsigned char* secondary = kWeights.secondary[ignoreCase];
    for (;; ++i) {
        unsigned char cx = x[i], cy = y[i];
        if (cx == cy) {
            if (cx == 0) return markOrder != 0 ? markOrder : caseOrder;
            continue;
        }
        if (kWeights.tie[cx] != kWeights.tie[cy]) break;
        if (markOrder == 0 && secondary[cx] != secondary[cy]) {  // once marks differ, case no longer counts
            unsigned char mx = kWeights.byte[cx].mark, my = kWeights.byte[cy].mark;
            if (mx != my) markOrder = Order(mx, my);
            else if (caseOrder == 0) caseOrder = Order(secondary[cx], secondary[cy]);
        }
    }
    unsigned tx = kWeights.tie[x[i]], ty = kWeights.tie[y[i]];
    if (tx < kNoTie && ty < kNoTie) return Order(tx, ty);
    return CollateAllLevels(x, y, ignoreCase);
}

}  // namespace

int CollateAnsi(const char* a, const char* b, bool ignoreCase) {
    const auto* x = reinterpret_cast<const unsigned char*>(a);
    const auto* y = reinterpret_cast<const unsigned char*>(b);
    size_t i = 0;
    while (x[i] == y[i]) {
        if (x[i] == 0) return 0;
        ++i;
    }
    // Most texts part at two single elements of different primary weights
    // (or at the end of one, which weighs least).
    unsigned tx = kWeights.tie[x[i]], ty = kWeights.tie[y[i]];
    if (tx != ty && tx < kNoTie && ty < kNoTie) return tx < ty ? -1 : 1;
    return CollateFromFirstDifference(x, y, i, ignoreCase);
}

}  // namespace quillon::platform

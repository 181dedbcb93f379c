#include "foundation/text_key_hash.h"

#include <cstring>
#include <vector>

#include "platform/ansi_text.h"

namespace quillon {
namespace {

constexpr int kLongestExpansion = 3;

// For every byte: dropped (weighs nothing), or the classes it stands for,
// one for most bytes and two or three for a byte that equals a longer text.
struct KeyFolding {
    unsigned char length[256];
    unsigned char classes[256][kLongestExpansion];
};

int CompareBytes(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b) {
    char x[kLongestExpansion + 4] = {};
    char y[kLongestExpansion + 4] = {};
    for (size_t i = 0; i < a.size(); ++i) x[i] = static_cast<char>(a[i]);
    for (size_t i = 0; i < b.size(); ++i) y[i] = static_cast<char>(b[i]);
    return platform::CompareAnsiNoCase(x, y);
}

// Looks for a text of `prefix` and further classes that equals `byte`. A
// prefix is followed only while the byte sorts after it and before it
// extended by the greatest class: there lie all the texts that begin with it.
bool FindExpansion(const std::vector<unsigned char>& classes, unsigned char greatest, unsigned char byte,
                   std::vector<unsigned char>& prefix) {
    const std::vector<unsigned char> single{byte};
    for (unsigned char c : classes) {
        prefix.push_back(c);
        int order = CompareBytes(prefix, single);
        if (order == 0 && prefix.size() >= 2) return true;
        if (order < 0 && prefix.size() < kLongestExpansion) {
            std::vector<unsigned char> bound = prefix;
            bound.insert(bound.end(), kLongestExpansion, greatest);
            if (CompareBytes(bound, single) > 0 && FindExpansion(classes, greatest, byte, prefix)) return true;
        }
        prefix.pop_back();
    }
    return false;
}

KeyFolding BuildFolding() {
    KeyFolding folding{};
    // In a double-byte code page a byte alone is not a character, and what
    // the comparison says of it tells nothing of the pairs it begins. Every
    // byte then weighs nothing: all texts share one hash, and the index
    // walks them in list order like the list itself.
    if (!platform::AnsiCodePageIsSingleByte()) return folding;
    unsigned char representative[256] = {};
    std::vector<unsigned char> classes;
    const std::vector<unsigned char> empty;
    for (int b = 1; b < 256; ++b) {
        const std::vector<unsigned char> single{static_cast<unsigned char>(b)};
        if (CompareBytes(single, empty) == 0) continue;  // weighs nothing: length 0
        representative[b] = static_cast<unsigned char>(b);
        for (unsigned char c : classes) {
            if (CompareBytes(single, {c}) == 0) {
                representative[b] = c;
                break;
            }
        }
        if (representative[b] == b) classes.push_back(static_cast<unsigned char>(b));
        folding.length[b] = 1;
        folding.classes[b][0] = representative[b];
    }
    if (classes.empty()) return folding;
    unsigned char greatest = classes[0];
    for (unsigned char c : classes)
        if (CompareBytes({c}, {greatest}) > 0) greatest = c;
    // Classes that weigh only below the first level (hyphens, controls) sort
    // before the greatest class even when it follows them: they lie before
    // every text and could begin any search. A text that equals a single
    // byte is made of classes that weigh at the first level; only those are
    // tried.
    std::vector<unsigned char> weighted;
    for (unsigned char c : classes) {
        if (c == greatest || CompareBytes({c, greatest, greatest, greatest}, {greatest}) < 0) weighted.push_back(c);
    }
    for (unsigned char c : classes) {
        std::vector<unsigned char> expansion;
        if (!FindExpansion(weighted, greatest, c, expansion)) continue;
        // Every byte of the class equals the same text.
        for (int b = 1; b < 256; ++b) {
            if (folding.length[b] == 0 || representative[b] != c) continue;
            folding.length[b] = static_cast<unsigned char>(expansion.size());
            for (size_t i = 0; i < expansion.size(); ++i) folding.classes[b][i] = representative[expansion[i]];
        }
    }
    return folding;
}

const KeyFolding& Folding() {
    static const KeyFolding folding = BuildFolding();
    return folding;
}

}  // namespace

uint32_t TextKeyHash(const char* text) {
    if (text == nullptr) return 0x9E3779B9u;
    const KeyFolding& folding = Folding();
    uint32_t hash = kTextKeyHashEmpty;  // FNV-1a over the classes
    for (const auto* p = reinterpret_cast<const unsigned char*>(text); *p; ++p) {
        for (int i = 0; i < folding.length[*p]; ++i) hash = (hash ^ folding.classes[*p][i]) * 16777619u;
    }
    return hash;
}

uint32_t TextKeyHashAppend(uint32_t hash, const char* bytes, size_t length) {
    const KeyFolding& folding = Folding();
    const auto* p = reinterpret_cast<const unsigned char*>(bytes);
    for (size_t n = 0; n < length; ++n) {
        for (int i = 0; i < folding.length[p[n]]; ++i) hash = (hash ^ folding.classes[p[n]][i]) * 16777619u;
    }
    return hash;
}

}  // namespace quillon

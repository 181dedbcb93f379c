// CompactText: a text in one pointer's room, for the keys of list items and
// the names and texts of configuration nodes, of which a tree holds millions.
//
// Like TextString it is null (no text) or holds a NUL-terminated text, and
// null and empty stay distinct. The text is either its own heap copy or
// borrowed from an owner that outlives it (a TextArena, which hands out
// texts at even addresses; the lowest bit of the pointer tells the two
// apart). Changing a borrowed text makes an own copy. No operation throws;
// when memory runs out, Assign leaves the text null and Append unchanged.
#pragma once

#include <cstdint>

namespace quillon {

class CompactText {
public:
    CompactText() = default;
    CompactText(const CompactText&) = delete;
    CompactText& operator=(const CompactText&) = delete;
    ~CompactText() { Clear(); }
    CompactText& operator=(const char* text) {
        Assign(text);
        return *this;
    }

    const char* Text() const { return reinterpret_cast<const char*>(bits_ & ~kOwned); }
    bool IsNull() const { return bits_ == 0; }
    int GetLength() const;

    // An own copy of `text` (at most maxLength bytes when maxLength >= 0);
    // a null text gives null.
    void Assign(const char* text, int maxLength = -1);
    // Refers to `text`, which must stay valid and unchanged as long as this
    // does and lie at an even address (null gives null).
    void Borrow(const char* text);
    // The text followed by the piece, as an own copy; a null piece changes
    // nothing, an empty one makes a null text empty.
    void Append(const char* text, int maxLength = -1);
    void Clear();

    // 1 when the texts are the same by the platform's exact comparison (null
    // equals only null), else 0.
    int IsSame(const char* text) const;
    // 1 when the texts are equal ignoring case (null equals only null).
    int IsEqual(const char* text) const;

private:
    static constexpr uintptr_t kOwned = 1;
    uintptr_t bits_ = 0;
};

}  // namespace quillon

#include "config/element_path.h"

#include <cstdlib>
#include <cstring>

#include "foundation/text_key_hash.h"
#include "platform/ansi_text.h"

namespace quillon {

ElementPath::~ElementPath() {
    std::free(buffer_);
    std::free(levels_);
}

void ElementPath::PushLevel(size_t length, uint32_t hash) {
    if (levelCount_ == levelCapacity_) {
        size_t capacity = levelCapacity_ ? levelCapacity_ * 2 : 16;
        auto* grown = static_cast<Level*>(std::realloc(levels_, capacity * sizeof(Level)));
        if (grown == nullptr) {
            hashed_ = false;
            return;
        }
        levels_ = grown;
        levelCapacity_ = capacity;
    }
    levels_[levelCount_++] = {length, hash};
}

void ElementPath::Push(const char* name) {
    size_t add = 1 + (name ? std::strlen(name) : 0);
    size_t length = present_ ? length_ : 0;
    if (length + add + 1 > capacity_) {
        size_t capacity = (length + add + 1) * 2;
        auto* grown = static_cast<char*>(std::realloc(buffer_, capacity));
        if (grown == nullptr) return;
        buffer_ = grown;
        capacity_ = capacity;
    }
    buffer_[length] = ';';
    if (add > 1) std::memcpy(buffer_ + length + 1, name, add - 1);
    length_ = length + add;
    buffer_[length_] = 0;
    uint32_t base = present_ && levelCount_ ? Hash() : kTextKeyHashEmpty;
    if (!present_) levelCount_ = 0;
    present_ = true;
    PushLevel(length_, TextKeyHashAppend(base, buffer_ + length, add));
}

void ElementPath::Pop() {
    if (!present_) return;
    const char* last = std::strrchr(buffer_, ';');
    if (last == nullptr) {
        Clear();
        return;
    }
    length_ = static_cast<size_t>(last - buffer_);
    buffer_[length_] = 0;
    while (levelCount_ && levels_[levelCount_ - 1].length > length_) --levelCount_;
    // A cut inside a pushed name (one that held ";") has no level yet.
    if (levelCount_ == 0 || levels_[levelCount_ - 1].length != length_)
        PushLevel(length_, TextKeyHashAppend(kTextKeyHashEmpty, buffer_, length_));
}

void ElementPath::Clear() {
    present_ = false;
    length_ = 0;
    levelCount_ = 0;
    hashed_ = true;
}

int ElementPath::IsSame(const char* text) const { return IsSame(text, TextKeyHash(text)); }

int ElementPath::IsSame(const char* text, uint32_t textHash) const {
    if (!present_ || text == nullptr) return (!present_ && text == nullptr) ? 1 : 0;
    // Texts that compare equal hash alike: different hashes settle it.
    if (hashed_ && levelCount_ && textHash != Hash()) return 0;
    if (std::strcmp(buffer_, text) == 0) return 1;
    return platform::CompareAnsi(buffer_, text) == 0 ? 1 : 0;
}

}  // namespace quillon

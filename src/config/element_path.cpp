#include "config/element_path.h"

#include <cstdlib>
#include <cstring>

#include "platform/ansi_text.h"

namespace quillon {

ElementPath::~ElementPath() { std::free(buffer_); }

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
    present_ = true;
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
}

void ElementPath::Clear() {
    present_ = false;
    length_ = 0;
}

int ElementPath::IsSame(const char* text) const {
    if (!present_ || text == nullptr) return (!present_ && text == nullptr) ? 1 : 0;
    return platform::CompareAnsi(buffer_, text) == 0 ? 1 : 0;
}

}  // namespace quillon

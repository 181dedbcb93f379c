#include "foundation/compact_text.h"

#include <cstdlib>
#include <cstring>

#include "platform/ansi_text.h"

namespace quillon {

int CompactText::GetLength() const { return bits_ ? static_cast<int>(std::strlen(Text())) : 0; }

void CompactText::Clear() {
    if (bits_ & kOwned) std::free(reinterpret_cast<void*>(bits_ & ~kOwned));
    bits_ = 0;
}

void CompactText::Borrow(const char* text) {
    Clear();
    bits_ = reinterpret_cast<uintptr_t>(text);
}

void CompactText::Assign(const char* text, int maxLength) {
    if (text != nullptr && text == Text()) {
        // Our own text: cut it in a copy before the old one goes.
        CompactText copy;
        copy.Assign(text, maxLength);
        Clear();
        bits_ = copy.bits_;
        copy.bits_ = 0;
        return;
    }
    Clear();
    Append(text, maxLength);
}

void CompactText::Append(const char* text, int maxLength) {
    if (text == nullptr) return;
    size_t piece = std::strlen(text);
    if (maxLength >= 0 && static_cast<size_t>(maxLength) < piece) piece = static_cast<size_t>(maxLength);
    const char* old = Text();
    size_t oldLength = old ? std::strlen(old) : 0;
    auto* joined = static_cast<char*>(std::malloc(oldLength + piece + 1));
    if (joined == nullptr) return;
    if (oldLength) std::memcpy(joined, old, oldLength);
    std::memcpy(joined + oldLength, text, piece);
    joined[oldLength + piece] = 0;
    Clear();
    bits_ = reinterpret_cast<uintptr_t>(joined) | kOwned;
}

int CompactText::IsSame(const char* text) const {
    const char* own = Text();
    if (own == nullptr || text == nullptr) return own == text ? 1 : 0;
    return platform::CompareAnsi(own, text) == 0 ? 1 : 0;
}

int CompactText::IsEqual(const char* text) const {
    const char* own = Text();
    if (own == nullptr || text == nullptr) return own == text ? 1 : 0;
    return platform::CompareAnsiNoCase(own, text) == 0 ? 1 : 0;
}

}  // namespace quillon

#include "foundation/text_arena.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <mutex>

namespace quillon {
namespace {

// One size for every block: untouched pages of a block cost nothing, and
// blocks of one size can be kept and reused (see KeptBlocks).
constexpr size_t kBlockSize = 1024 * 1024;
constexpr size_t kObjectAlignment = alignof(std::max_align_t);

// Blocks of the largest size that an arena released, kept for the next
// arena the way malloc keeps freed memory: a program that loads one large
// configuration after another would otherwise have the system map and zero
// every page again, which costs more than reading the file. At most
// kKeptBlocks are kept; the rest go back to the system.
constexpr size_t kKeptBlocks = 256;

struct KeptBlocks {
    std::mutex lock;
    void* first = nullptr;  // each kept block starts with the next one's address
    size_t count = 0;
};

KeptBlocks& Kept() {
    static KeptBlocks kept;
    return kept;
}

void* TakeBlock(size_t size) {
    if (size == kBlockSize) {
        KeptBlocks& kept = Kept();
        std::lock_guard<std::mutex> guard(kept.lock);
        if (void* block = kept.first) {
            std::memcpy(&kept.first, block, sizeof(void*));
            --kept.count;
            return block;
        }
    }
    return std::malloc(size);
}

void GiveBlock(void* block, size_t size) {
    if (size == kBlockSize) {
        KeptBlocks& kept = Kept();
        std::lock_guard<std::mutex> guard(kept.lock);
        if (kept.count < kKeptBlocks) {
            std::memcpy(block, &kept.first, sizeof(void*));
            kept.first = block;
            ++kept.count;
            return;
        }
    }
    std::free(block);
}

uint32_t HashBytes(const char* text, size_t length) {
    uint32_t hash = 2166136261u;  // FNV-1a
    for (size_t i = 0; i < length; ++i) hash = (hash ^ static_cast<unsigned char>(text[i])) * 16777619u;
    return hash;
}

}  // namespace

struct TextArena::Block {
    Block* previous;
    size_t size;
};

TextArena::~TextArena() { Reset(); }

void TextArena::Reset() {
    while (blocks_ != nullptr) {
        Block* previous = blocks_->previous;
        GiveBlock(blocks_, blocks_->size);
        blocks_ = previous;
    }
    next_ = end_ = nullptr;
    std::free(interned_);
    interned_ = nullptr;
    internedCapacity_ = internedCount_ = 0;
}

void* TextArena::AllocateAligned(size_t bytes, size_t alignment) {
    auto at = reinterpret_cast<uintptr_t>(next_);
    uintptr_t aligned = (at + alignment - 1) & ~static_cast<uintptr_t>(alignment - 1);
    auto end = reinterpret_cast<uintptr_t>(end_);
    if (next_ != nullptr && aligned <= end && bytes <= end - aligned) {
        next_ = reinterpret_cast<char*>(aligned + bytes);
        return reinterpret_cast<void*>(aligned);
    }
    // An oversized request gets a block of its own.
    size_t header = (sizeof(Block) + kObjectAlignment - 1) & ~(kObjectAlignment - 1);
    if (bytes > SIZE_MAX - header - alignment) return nullptr;
    size_t size = kBlockSize;
    if (bytes + alignment > size - header) size = header + bytes + alignment;
    auto* block = static_cast<Block*>(TakeBlock(size));
    if (block == nullptr) return nullptr;
    block->previous = blocks_;
    block->size = size;
    blocks_ = block;
    next_ = reinterpret_cast<char*>(block) + header;
    end_ = reinterpret_cast<char*>(block) + size;
    return AllocateAligned(bytes, alignment);
}

void* TextArena::Allocate(size_t bytes) { return AllocateAligned(bytes, kObjectAlignment); }

const char* TextArena::CopyText(const char* text, size_t length) {
    if (text == nullptr || length + 1 == 0) return nullptr;
    auto* copy = static_cast<char*>(AllocateAligned(length + 1, 2));
    if (copy == nullptr) return nullptr;
    std::memcpy(copy, text, length);
    copy[length] = 0;
    return copy;
}

bool TextArena::GrowInterned() {
    size_t capacity = internedCapacity_ ? internedCapacity_ * 2 : 64;
    auto* slots = static_cast<InternedSlot*>(std::calloc(capacity, sizeof(InternedSlot)));
    if (slots == nullptr) return false;
    for (size_t i = 0; i < internedCapacity_; ++i) {
        if (interned_[i].text == nullptr) continue;
        size_t slot = interned_[i].hash & (capacity - 1);
        while (slots[slot].text != nullptr) slot = (slot + 1) & (capacity - 1);
        slots[slot] = interned_[i];
    }
    std::free(interned_);
    interned_ = slots;
    internedCapacity_ = capacity;
    return true;
}

const char* TextArena::Intern(const char* text) {
    if (text == nullptr) return nullptr;
    size_t length = std::strlen(text);
    uint32_t hash = HashBytes(text, length);
    if ((internedCount_ + 1) * 4 > internedCapacity_ * 3 && !GrowInterned()) return CopyText(text, length);
    size_t slot = hash & (internedCapacity_ - 1);
    for (; interned_[slot].text != nullptr; slot = (slot + 1) & (internedCapacity_ - 1)) {
        if (interned_[slot].hash == hash && std::strcmp(interned_[slot].text, text) == 0) return interned_[slot].text;
    }
    const char* copy = CopyText(text, length);
    if (copy == nullptr) return nullptr;
    interned_[slot] = {copy, hash};
    ++internedCount_;
    return copy;
}

const char* TextArena::KeyCopy(const char* key) {
    if (internKeys_ || key == nullptr) return Intern(key);
    return CopyText(key, std::strlen(key));
}

}  // namespace quillon

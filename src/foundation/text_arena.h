// TextArena: memory for the many small objects of one owner (the nodes, list
// items and texts of a configuration tree), handed out from large blocks and
// given back all at once.
//
// Nothing is freed on its own: Reset and the destructor release every block.
// A tree of a million elements thus costs a few hundred block allocations
// instead of several million small ones, and no per-allocation header.
// Names repeat throughout a tree; Intern keeps one copy of each.
#pragma once

#include <cstddef>
#include <cstdint>

namespace quillon {

// How an arena keeps the keys of the lists it serves (see KeyCopy): as one
// copy of each text (a tree repeats its element names throughout), or as a
// copy per item (lists whose keys rarely repeat, where looking each one up
// first costs more than it saves).
enum class ArenaKeys { kInterned, kCopied };

class TextArena {
public:
    explicit TextArena(ArenaKeys keys = ArenaKeys::kInterned) : internKeys_(keys == ArenaKeys::kInterned) {}
    TextArena(const TextArena&) = delete;
    TextArena& operator=(const TextArena&) = delete;
    ~TextArena();

    // `bytes` aligned for any object; null when memory runs out.
    void* Allocate(size_t bytes);
    // A NUL-terminated copy of `length` bytes of `text` (a null text gives
    // null), at an even address (see CompactText); null when memory runs out.
    const char* CopyText(const char* text, size_t length);
    // The one copy of a whole text (exact bytes) this arena holds, made on
    // first use; null for a null text or when memory runs out.
    const char* Intern(const char* text);
    // A list item's key: Intern, or CopyText of the whole text for an arena
    // made with ArenaKeys::kCopied.
    const char* KeyCopy(const char* key);

    // Releases every block; everything handed out becomes invalid.
    void Reset();

private:
    struct Block;
    void* AllocateAligned(size_t bytes, size_t alignment);
    bool GrowInterned();

    bool internKeys_;
    Block* blocks_ = nullptr;
    char* next_ = nullptr;
    char* end_ = nullptr;
    // Open addressing over the interned texts; empty slots hold null. Each
    // slot keeps its text's hash beside it, so a probe touches one line.
    struct InternedSlot {
        const char* text;
        uint32_t hash;
    };
    InternedSlot* interned_ = nullptr;
    size_t internedCapacity_ = 0;  // a power of two, or 0
    size_t internedCount_ = 0;
};

}  // namespace quillon

// TextList: a doubly linked list of items keyed by text, with one cursor.
//
// Keys are compared without regard to case. Each item carries one untyped
// value that the list never frees: its user frees what the values point to
// before removing items. There is one cursor per list, so everyone walking a
// list shares it (the configuration tree's walkers rely on exactly that).
//
// Two things change how a list is held, never what it answers:
// - A list made with an arena takes its items and keys from it (see
//   TextArena::KeyCopy), and removing an item only unlinks it.
// - A list of more than a few items that is searched gets a hash index
//   beside it (see TextKeyHash): each bucket chains its items in list order,
//   so the first equal key in a chain is the first in the list.
#pragma once

#include <cstddef>
#include <cstdint>

#include "foundation/compact_text.h"

namespace quillon {

class TextArena;

struct TextListItem {
    CompactText key;
    TextListItem* previous = nullptr;
    TextListItem* next = nullptr;
    void* value = nullptr;
    TextListItem* sameBucket = nullptr;  // the index's chain, in list order
};

class TextList {
public:
    TextList() = default;
    explicit TextList(TextArena* arena) : arena_(arena) {}
    TextList(const TextList&) = delete;
    TextList& operator=(const TextList&) = delete;
    virtual ~TextList();

    // While allowDuplicates is 0, Add and InsertAfter return an existing item
    // with an equal key instead of adding another. Both return null when no
    // memory is left.
    TextListItem* Add(const char* key);
    // Links the new item right after `after`, or at the front when it is null.
    TextListItem* InsertAfter(const char* key, TextListItem* after);

    // Walks from the head; the cursor is left on the item found, or null.
    TextListItem* Find(const char* key);
    // The same, for a key whose TextKeyHash the caller has already computed.
    TextListItem* Find(const char* key, uint32_t keyHash);
    // Hints for a caller that searches for many keys in a row: ask the memory
    // ahead of a search for the key's index bucket, and a little later (once
    // the bucket is in) for the first item it leads to, so that the searches
    // do not wait for memory one after another. They change nothing; a list
    // without an index ignores them.
    void PrefetchBucket(uint32_t keyHash) const {
        if (bucketCount_ != 0) __builtin_prefetch(&BucketOf(keyHash));
    }
    void PrefetchFirstCandidate(uint32_t keyHash) const {
        if (bucketCount_ == 0) return;
        if (const TextListItem* first = BucketOf(keyHash).head) __builtin_prefetch(first);
    }
    // Like Find, from the item after the cursor (the head when it is null).
    TextListItem* FindNext(const char* key);
    TextListItem* GetFirst();
    // The cursor's next item, or the head when the cursor is null.
    TextListItem* GetNext();

    // Null means the cursor's item. A cursor on the removed item moves back
    // to its previous item. Returns 1, or 0 when there is nothing to remove.
    int Remove(TextListItem* item = nullptr);
    void RemoveAll();

    int GetCount() const { return count_; }
    TextListItem* Head() const { return head_; }
    TextListItem* Tail() const { return tail_; }
    TextListItem* Cursor() const { return cursor_; }
    void SetCursor(TextListItem* item) { cursor_ = item; }
    // The arena the items come from, or null for the heap.
    TextArena* Arena() const { return arena_; }

    int allowDuplicates = 0;

private:
    struct Bucket {
        TextListItem* head;
        TextListItem* tail;
    };

    TextListItem* FindFrom(TextListItem* start, const char* key);
    TextListItem* NewItem(const char* key);
    void FreeItem(TextListItem* item);
    void Link(TextListItem* item, TextListItem* after);

    // The index: built on the first search of a list that has grown past a
    // few items, kept up by Add at the tail and by Remove, dropped by an
    // insertion elsewhere (rebuilt at the next search).
    bool IndexReady();
    void DropIndex();
    bool Rehash(size_t bucketCount);
    void IndexAppend(TextListItem* item);
    void IndexRemove(TextListItem* item);
    Bucket& BucketOf(uint32_t hash) const { return buckets_[hash & (bucketCount_ - 1)]; }

    int count_ = 0;
    TextListItem* head_ = nullptr;
    TextListItem* tail_ = nullptr;
    TextListItem* cursor_ = nullptr;
    TextArena* arena_ = nullptr;
    Bucket* buckets_ = nullptr;
    size_t bucketCount_ = 0;  // a power of two while the index stands, else 0
};

}  // namespace quillon

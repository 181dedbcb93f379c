#include "foundation/text_list.h"

#include <cstdlib>
#include <new>

#include "foundation/text_arena.h"
#include "foundation/text_key_hash.h"

namespace quillon {
namespace {

// Below this many items a search walks the list; the index would cost more
// than it saves.
constexpr int kIndexedCount = 8;

// A full index grows to this many times its buckets. Fourfold rather than
// twofold: a list that grows long rehashes about a third as many items in
// all, and a rehash of a long list scatters them over a table too large for
// the caches.
constexpr size_t kIndexGrowth = 4;

}  // namespace

TextList::~TextList() { RemoveAll(); }

TextListItem* TextList::NewItem(const char* key) {
    if (arena_ != nullptr) {
        void* memory = arena_->Allocate(sizeof(TextListItem));
        const char* copy = arena_->KeyCopy(key);
        if (memory == nullptr || (key != nullptr && copy == nullptr)) return nullptr;
        auto* item = new (memory) TextListItem;
        item->key.Borrow(copy);
        return item;
    }
    auto* item = new (std::nothrow) TextListItem;
    if (item != nullptr) item->key.Assign(key);
    return item;
}

void TextList::FreeItem(TextListItem* item) {
    if (arena_ != nullptr) item->~TextListItem();  // the arena keeps the memory
    else delete item;
}

void TextList::Link(TextListItem* item, TextListItem* after) {
    item->previous = after;
    item->next = after ? after->next : head_;
    if (item->next) item->next->previous = item; else tail_ = item;
    if (after) after->next = item; else head_ = item;
    ++count_;
    if (bucketCount_ == 0) return;
    if (item != tail_) {
        DropIndex();  // the chains would lose their list order
    } else if (static_cast<size_t>(count_) <= bucketCount_) {
        IndexAppend(item);
    } else if (!Rehash(bucketCount_ * kIndexGrowth)) {  // indexes the new item too
        DropIndex();
    }
}

TextListItem* TextList::Add(const char* key) { return InsertAfter(key, tail_); }

TextListItem* TextList::InsertAfter(const char* key, TextListItem* after) {
    if (!allowDuplicates) {
        if (TextListItem* existing = Find(key)) return existing;
    }
    TextListItem* item = NewItem(key);
    if (item == nullptr) return nullptr;
    Link(item, after);
    return item;
}

TextListItem* TextList::FindFrom(TextListItem* start, const char* key) {
    for (cursor_ = start; cursor_ != nullptr; cursor_ = cursor_->next)
        if (cursor_->key.IsEqual(key)) return cursor_;
    return nullptr;
}

TextListItem* TextList::Find(const char* key) {
    return IndexReady() ? Find(key, TextKeyHash(key)) : FindFrom(head_, key);
}

TextListItem* TextList::Find(const char* key, uint32_t keyHash) {
    if (!IndexReady()) return FindFrom(head_, key);
    for (cursor_ = BucketOf(keyHash).head; cursor_ != nullptr; cursor_ = cursor_->sameBucket)
        if (cursor_->key.IsEqual(key)) return cursor_;
    return nullptr;
}

TextListItem* TextList::FindNext(const char* key) {
    if (cursor_ == nullptr) return Find(key);
    if (IndexReady()) {
        // When the cursor's item shares the key's chain, the chain after it
        // holds every candidate after it, in list order.
        Bucket& bucket = BucketOf(TextKeyHash(key));
        if (&BucketOf(TextKeyHash(cursor_->key.Text())) == &bucket) {
            while ((cursor_ = cursor_->sameBucket) != nullptr)
                if (cursor_->key.IsEqual(key)) return cursor_;
            return nullptr;
        }
    }
    return FindFrom(cursor_->next, key);
}

TextListItem* TextList::GetFirst() { return cursor_ = head_; }

TextListItem* TextList::GetNext() { return cursor_ = cursor_ ? cursor_->next : head_; }

int TextList::Remove(TextListItem* item) {
    if (item == nullptr) item = cursor_;
    if (item == nullptr) return 0;
    if (bucketCount_ != 0) IndexRemove(item);
    if (cursor_ == item) cursor_ = item->previous;
    if (item->previous) item->previous->next = item->next; else head_ = item->next;
    if (item->next) item->next->previous = item->previous; else tail_ = item->previous;
    FreeItem(item);
    --count_;
    return 1;
}

void TextList::RemoveAll() {
    DropIndex();
    while (head_ != nullptr) {
        TextListItem* next = head_->next;
        FreeItem(head_);
        head_ = next;
    }
    tail_ = cursor_ = nullptr;
    count_ = 0;
}

bool TextList::IndexReady() {
    if (bucketCount_ != 0) return true;
    if (count_ < kIndexedCount) return false;
    size_t buckets = 16;
    while (buckets < static_cast<size_t>(count_)) buckets *= 2;
    return Rehash(buckets * 2);
}

void TextList::DropIndex() {
    std::free(buckets_);
    buckets_ = nullptr;
    bucketCount_ = 0;
}

bool TextList::Rehash(size_t bucketCount) {
    auto* buckets = static_cast<Bucket*>(std::calloc(bucketCount, sizeof(Bucket)));
    if (buckets == nullptr) return false;
    std::free(buckets_);
    buckets_ = buckets;
    bucketCount_ = bucketCount;
    // From the tail back, each item goes to the front of its chain: the
    // chains come out in list order without writing to the items already
    // placed. The buckets of a batch of items are asked for ahead of them.
    constexpr int kBatch = 16;
    uint32_t hashes[kBatch];
    TextListItem* item = tail_;
    while (item != nullptr) {
        int count = 0;
        for (TextListItem* at = item; at != nullptr && count < kBatch; at = at->previous, ++count) {
            hashes[count] = TextKeyHash(at->key.Text());
            __builtin_prefetch(&BucketOf(hashes[count]));
        }
        for (int i = 0; i < count; ++i, item = item->previous) {
            Bucket& bucket = BucketOf(hashes[i]);
            item->sameBucket = bucket.head;
            bucket.head = item;
            if (bucket.tail == nullptr) bucket.tail = item;
        }
    }
    return true;
}

void TextList::IndexAppend(TextListItem* item) {
    Bucket& bucket = BucketOf(TextKeyHash(item->key.Text()));
    item->sameBucket = nullptr;
    if (bucket.tail) bucket.tail->sameBucket = item; else bucket.head = item;
    bucket.tail = item;
}

void TextList::IndexRemove(TextListItem* item) {
    Bucket& bucket = BucketOf(TextKeyHash(item->key.Text()));
    TextListItem* before = nullptr;
    for (TextListItem* at = bucket.head; at != nullptr && at != item; at = at->sameBucket) before = at;
    if (before) before->sameBucket = item->sameBucket; else bucket.head = item->sameBucket;
    if (bucket.tail == item) bucket.tail = before;
}

}  // namespace quillon

#include "foundation/text_list.h"

#include <new>

namespace quillon {

TextList::~TextList() { RemoveAll(); }

TextListItem* TextList::NewItem(const char* key) {
    auto* item = new (std::nothrow) TextListItem;
    if (item != nullptr) item->key.Assign(key);
    return item;
}

TextListItem* TextList::Add(const char* key) {
    if (!allowDuplicates) {
        if (TextListItem* existing = Find(key)) return existing;
    }
    TextListItem* item = NewItem(key);
    if (item == nullptr) return nullptr;
    item->previous = tail_;
    if (tail_) tail_->next = item; else head_ = item;
    tail_ = item;
    ++count_;
    return item;
}

TextListItem* TextList::InsertAfter(const char* key, TextListItem* after) {
    if (!allowDuplicates) {
        if (TextListItem* existing = Find(key)) return existing;
    }
    TextListItem* item = NewItem(key);
    if (item == nullptr) return nullptr;
    item->previous = after;
    item->next = after ? after->next : head_;
    if (item->next) item->next->previous = item; else tail_ = item;
    if (after) after->next = item; else head_ = item;
    ++count_;
    return item;
}

TextListItem* TextList::FindFrom(TextListItem* start, const char* key) {
    for (cursor_ = start; cursor_ != nullptr; cursor_ = cursor_->next)
        if (cursor_->key.IsEqual(key)) return cursor_;
    return nullptr;
}

TextListItem* TextList::Find(const char* key) { return FindFrom(head_, key); }

TextListItem* TextList::FindNext(const char* key) { return FindFrom(cursor_ ? cursor_->next : head_, key); }

TextListItem* TextList::GetFirst() { return cursor_ = head_; }

TextListItem* TextList::GetNext() { return cursor_ = cursor_ ? cursor_->next : head_; }

int TextList::Remove(TextListItem* item) {
    if (item == nullptr) item = cursor_;
    if (item == nullptr) return 0;
    if (cursor_ == item) cursor_ = item->previous;
    if (item->previous) item->previous->next = item->next; else head_ = item->next;
    if (item->next) item->next->previous = item->previous; else tail_ = item->previous;
    delete item;
    --count_;
    return 1;
}

void TextList::RemoveAll() {
    while (head_ != nullptr) {
        TextListItem* next = head_->next;
        delete head_;
        head_ = next;
    }
    tail_ = cursor_ = nullptr;
    count_ = 0;
}

}  // namespace quillon

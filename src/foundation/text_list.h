// TextList: a doubly linked list of items keyed by text, with one cursor.
//
// Keys are compared without regard to case. Each item carries one untyped
// value that the list never frees: its user frees what the values point to
// before removing items. There is one cursor per list, so everyone walking a
// list shares it (the configuration tree's walkers rely on exactly that).
#pragma once

#include "foundation/text_string.h"

namespace quillon {

struct TextListItem {
    TextString key;
    TextListItem* previous = nullptr;
    TextListItem* next = nullptr;
    void* value = nullptr;
};

class TextList {
public:
    TextList() = default;
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

    int allowDuplicates = 0;

private:
    TextListItem* FindFrom(TextListItem* start, const char* key);
    TextListItem* NewItem(const char* key);

    int count_ = 0;
    TextListItem* head_ = nullptr;
    TextListItem* tail_ = nullptr;
    TextListItem* cursor_ = nullptr;
};

}  // namespace quillon

// CollectionEntries: the entries of a Features or Properties collection, each
// an item object with a text key, and the rules by which Item finds one.
//
// Nothing in the library adds entries today, so every collection answers
// Count 0 and an empty enumeration; Add is there for whatever fills them,
// and the look-up rules hold for any entries added:
// - a BSTR index (also by reference, or inside a by-reference VARIANT) finds
//   the first entry whose key has exactly its bytes;
// - a 16- or 32-bit integer, or a 32- or 64-bit floating-point number
//   truncated toward zero (each by value, by reference or inside a
//   by-reference VARIANT), is a position counted from 1;
// - any other index, and a position outside the entries, finds nothing.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <vector>

#include "platform/win32/com_owners.h"

namespace quillon::com {

class CollectionEntries {
public:
    CollectionEntries() = default;
    CollectionEntries(const CollectionEntries&) = delete;
    CollectionEntries& operator=(const CollectionEntries&) = delete;
    ~CollectionEntries();  // from the last entry to the first

    // Adds an entry holding a reference to `item` and a copy of `key`.
    HRESULT Add(IUnknown* item, BSTR key);
    LONG Count() const { return static_cast<LONG>(entries_.size()); }
    // The item the index finds, not referenced; null when none.
    IUnknown* Find(const VARIANT& index) const;
    // A new enumerator over the items' IDispatch, as IUnknown.
    HRESULT NewEnumerator(IUnknown** enumerator /* out */) const;

private:
    // 1-based; anything below 1 finds nothing.
    LONG PositionOf(const VARIANT& index) const;

    struct Entry {
        win32::ComPtr<IUnknown> item;
        win32::BstrOwner key;
    };
    std::vector<Entry> entries_;
};

}  // namespace quillon::com

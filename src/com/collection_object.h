// Features and Properties: the two collection classes, alike but for the
// interface of their items. Count, Item and _NewEnum work on the entries
// (collection_entries.h).
#pragma once

#include "com/automation_object.h"
#include "com/collection_entries.h"
#include "com/quillon_h.h"
#include "platform/export_guard.h"

namespace quillon::com {

template <typename Interface, const IID* OwnIid, typename ItemInterface, const IID* ItemIid>
class CollectionObject : public AutomationObject<Interface, OwnIid> {
public:
    explicit CollectionObject(IUnknown* outer) : AutomationObject<Interface, OwnIid>(outer) {}

    CollectionEntries& Entries() { return entries_; }

    STDMETHODIMP get_Count(LONG* count) override {
        if (count == nullptr) return E_POINTER;
        *count = entries_.Count();
        return S_OK;
    }

    // S_OK with a null item when the index finds nothing.
    STDMETHODIMP get_Item(VARIANT index, ItemInterface** item) override {
        if (item == nullptr) return E_POINTER;
        *item = nullptr;
        IUnknown* found = entries_.Find(index);
        return found ? found->QueryInterface(*ItemIid, reinterpret_cast<void**>(item)) : S_OK;
    }

    STDMETHODIMP get__NewEnum(IUnknown** enumerator) override {
        if (enumerator == nullptr) return E_POINTER;
        *enumerator = nullptr;
        return Guarded<HRESULT>(E_OUTOFMEMORY, [&] { return entries_.NewEnumerator(enumerator); });
    }

private:
    CollectionEntries entries_;
};

using FeaturesObject = CollectionObject<IFeatures, &IID_IFeatures, IFeature, &IID_IFeature>;
using PropertiesObject = CollectionObject<IProperties, &IID_IProperties, IProperty, &IID_IProperty>;

}  // namespace quillon::com

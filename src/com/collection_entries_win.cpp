#include "com/collection_entries.h"

#include <cmath>
#include <cstring>
#include <memory>

#include "com/variant_enumerator.h"

namespace quillon::com {
namespace {

// Truncates toward zero; a number beyond the range of positions, or not a
// number at all, finds nothing.
LONG Truncated(double number) {
    if (!(std::fabs(number) < 2147483648.0)) return -1;
    return static_cast<LONG>(number);
}

}  // namespace

CollectionEntries::~CollectionEntries() {
    while (!entries_.empty()) entries_.pop_back();
}

HRESULT CollectionEntries::Add(IUnknown* item, BSTR key) {
    if (item == nullptr) return E_POINTER;
    Entry entry;
    if (key != nullptr) {
        entry.key.reset(::SysAllocStringByteLen(reinterpret_cast<const char*>(key), ::SysStringByteLen(key)));
        if (entry.key.get() == nullptr) return E_OUTOFMEMORY;
    }
    item->AddRef();
    entry.item = win32::ComPtr<IUnknown>(item);
    entries_.push_back(std::move(entry));
    return S_OK;
}

LONG CollectionEntries::PositionOf(const VARIANT& index) const {
    const VARIANT* value = &index;
    if (value->vt == (VT_VARIANT | VT_BYREF)) {
        if (value->pvarVal == nullptr) return -1;
        value = value->pvarVal;
    }
    const bool byReference = (value->vt & VT_BYREF) != 0;
    switch (value->vt & ~VT_BYREF) {
    case VT_BSTR: {
        BSTR wanted = byReference ? (value->pbstrVal ? *value->pbstrVal : nullptr) : value->bstrVal;
        const UINT length = ::SysStringByteLen(wanted);
        for (size_t i = 0; i < entries_.size(); ++i) {
            BSTR key = entries_[i].key.get();
            if (::SysStringByteLen(key) == length && (length == 0 || std::memcmp(key, wanted, length) == 0))
                return static_cast<LONG>(i + 1);
        }
        return -1;
    }
    case VT_I2:
        return byReference ? (value->piVal ? *value->piVal : -1) : value->iVal;
    case VT_I4:
        return byReference ? (value->plVal ? *value->plVal : -1) : value->lVal;
    case VT_R4:
        return byReference ? (value->pfltVal ? Truncated(*value->pfltVal) : -1) : Truncated(value->fltVal);
    case VT_R8:
        return byReference ? (value->pdblVal ? Truncated(*value->pdblVal) : -1) : Truncated(value->dblVal);
    default:
        return -1;
    }
}

IUnknown* CollectionEntries::Find(const VARIANT& index) const {
    const LONG position = PositionOf(index);
    if (position < 1 || position > Count()) return nullptr;
    return entries_[static_cast<size_t>(position - 1)].item.get();
}

HRESULT CollectionEntries::NewEnumerator(IUnknown** enumerator) const {
    auto snapshot = std::make_shared<VariantArray>();
    snapshot->Reserve(entries_.size());
    for (const Entry& entry : entries_) {
        VARIANT item;
        ::VariantInit(&item);
        HRESULT result = entry.item->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&item.pdispVal));
        if (FAILED(result)) return result;
        item.vt = VT_DISPATCH;
        snapshot->Adopt(item);
    }
    return VariantEnumerator::Create(std::move(snapshot), 0, enumerator);
}

}  // namespace quillon::com

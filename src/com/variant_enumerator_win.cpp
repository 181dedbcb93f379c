#include "com/variant_enumerator.h"

#include <new>

#include "com/com_module.h"

namespace quillon::com {

VariantArray::~VariantArray() {
    for (VARIANT& item : items_) ::VariantClear(&item);
}

void VariantArray::Adopt(const VARIANT& value) { items_.push_back(value); }

HRESULT VariantEnumerator::Create(std::shared_ptr<const VariantArray> snapshot, size_t position,
                                  IUnknown** enumerator) {
    auto* made = new (std::nothrow) VariantEnumerator(std::move(snapshot), position);
    if (made == nullptr) return E_OUTOFMEMORY;
    made->AddRef();
    HRESULT result = made->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(enumerator));
    made->Release();
    return result;
}

VariantEnumerator::VariantEnumerator(std::shared_ptr<const VariantArray> snapshot, size_t position)
    : snapshot_(std::move(snapshot)), position_(position) {
    LockModule();
}

VariantEnumerator::~VariantEnumerator() { UnlockModule(); }

STDMETHODIMP VariantEnumerator::QueryInterface(REFIID iid, void** object) {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IEnumVARIANT)) return E_NOINTERFACE;
    *object = static_cast<IEnumVARIANT*>(this);
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) VariantEnumerator::AddRef() { return ++references_; }

STDMETHODIMP_(ULONG) VariantEnumerator::Release() {
    ULONG left = --references_;
    if (left == 0) delete this;
    return left;
}

STDMETHODIMP VariantEnumerator::Next(ULONG count, VARIANT* items, ULONG* fetched) {
    if (items == nullptr || (count != 1 && fetched == nullptr)) return E_POINTER;
    ULONG copied = 0;
    for (; copied < count && copied < Left(); ++copied) {
        ::VariantInit(&items[copied]);
        // VariantCopy does not change its source, though it is not declared const.
        HRESULT result = ::VariantCopy(&items[copied], const_cast<VARIANT*>(&snapshot_->Items()[position_ + copied]));
        if (FAILED(result)) {
            while (copied > 0) ::VariantClear(&items[--copied]);
            if (fetched != nullptr) *fetched = 0;
            return result;
        }
    }
    position_ += copied;
    if (fetched != nullptr) *fetched = copied;
    return copied < count ? S_FALSE : S_OK;
}

STDMETHODIMP VariantEnumerator::Skip(ULONG count) {
    if (count > Left()) {
        position_ = snapshot_->Items().size();
        return S_FALSE;
    }
    position_ += count;
    return S_OK;
}

STDMETHODIMP VariantEnumerator::Reset() {
    position_ = 0;
    return S_OK;
}

STDMETHODIMP VariantEnumerator::Clone(IEnumVARIANT** clone) {
    if (clone == nullptr) return E_POINTER;
    *clone = nullptr;
    IUnknown* made = nullptr;
    HRESULT result = Create(snapshot_, position_, &made);
    if (FAILED(result)) return result;
    result = made->QueryInterface(IID_IEnumVARIANT, reinterpret_cast<void**>(clone));
    made->Release();
    return result;
}

}  // namespace quillon::com

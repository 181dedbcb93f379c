#include "com/class_object.h"

namespace quillon::com {

STDMETHODIMP ClassObject::QueryInterface(REFIID iid, void** object) {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IClassFactory)) return E_NOINTERFACE;
    *object = static_cast<IClassFactory*>(this);
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) ClassObject::AddRef() {
    ScopedLock lock(lock_);
    if (++references_ == 2) LockModule();
    return references_;
}

STDMETHODIMP_(ULONG) ClassObject::Release() {
    ULONG left;
    {
        ScopedLock lock(lock_);
        left = --references_;
        if (left == 1) UnlockModule();
    }
    if (left == 0) delete this;
    return left;
}

STDMETHODIMP ClassObject::CreateInstance(IUnknown* outer, REFIID iid, void** object) {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (outer != nullptr && !IsEqualIID(iid, IID_IUnknown)) return CLASS_E_NOAGGREGATION;
    IUnknown* inner = create_(outer);
    if (inner == nullptr) return E_OUTOFMEMORY;
    // The object lives from here on its references alone: it is destroyed
    // again when the interface asked for is not there.
    inner->AddRef();
    HRESULT result = inner->QueryInterface(iid, object);
    inner->Release();
    return result;
}

STDMETHODIMP ClassObject::LockServer(BOOL lock) {
    if (lock) LockModule();
    else UnlockModule();
    return S_OK;
}

}  // namespace quillon::com

// AutomationObject: what every automation object of the library shares -
// IUnknown with aggregation, IDispatch through the type information of its
// own interface, and its part of the module's lock count.
//
// The object answers QueryInterface for exactly IUnknown, IDispatch and its
// own interface. Its reference count is a plain counter: every object lives
// in the one apartment that created it. Created inside an outer object
// (aggregated), the interface's IUnknown methods go to the outer object and
// only the inner unknown, which the outer object holds, counts references
// and answers QueryInterface for this object.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <new>

#include "com/com_module.h"
#include "com/type_info_holder.h"

namespace quillon::com {

template <typename Interface, const IID* OwnIid>
class AutomationObject : public Interface {
public:
    AutomationObject(const AutomationObject&) = delete;
    AutomationObject& operator=(const AutomationObject&) = delete;

    // The unknown that owns this object's lifetime; its reference count
    // starts at 0.
    IUnknown* InnerUnknown() { return &inner_; }

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override { return outer_->QueryInterface(iid, object); }
    STDMETHODIMP_(ULONG) AddRef() override { return outer_->AddRef(); }
    STDMETHODIMP_(ULONG) Release() override { return outer_->Release(); }

    STDMETHODIMP GetTypeInfoCount(UINT* count) override {
        if (count == nullptr) return E_POINTER;
        *count = 1;
        return S_OK;
    }
    // The index is not examined: there is only one.
    STDMETHODIMP GetTypeInfo(UINT, LCID locale, ITypeInfo** typeInfo) override {
        return TypeInfo().GetTypeInfo(locale, typeInfo);
    }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) override {
        return TypeInfo().GetIDsOfNames(names, count, locale, ids);
    }
    STDMETHODIMP Invoke(DISPID member, REFIID, LCID locale, WORD flags, DISPPARAMS* parameters, VARIANT* result,
                        EXCEPINFO* exception, UINT* argumentError) override {
        return TypeInfo().Invoke(this, member, locale, flags, parameters, result, exception, argumentError);
    }

protected:
    explicit AutomationObject(IUnknown* outer) : inner_(*this), outer_(outer ? outer : &inner_) { LockModule(); }
    virtual ~AutomationObject() { UnlockModule(); }

private:
    static TypeInfoHolder& TypeInfo() {
        static TypeInfoHolder holder(*OwnIid);
        return holder;
    }

    class Inner : public IUnknown {
    public:
        explicit Inner(AutomationObject& owner) : owner_(owner) {}
        STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
            if (object == nullptr) return E_POINTER;
            *object = nullptr;
            if (IsEqualIID(iid, IID_IUnknown)) {
                *object = static_cast<IUnknown*>(this);
            } else if (IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, *OwnIid)) {
                *object = static_cast<Interface*>(&owner_);
            } else {
                return E_NOINTERFACE;
            }
            static_cast<IUnknown*>(*object)->AddRef();
            return S_OK;
        }
        STDMETHODIMP_(ULONG) AddRef() override { return ++references_; }
        STDMETHODIMP_(ULONG) Release() override {
            ULONG left = --references_;
            if (left == 0) delete &owner_;
            return left;
        }

    private:
        AutomationObject& owner_;
        ULONG references_ = 0;
    };

    Inner inner_;
    IUnknown* const outer_;
};

// Makes an object of class T (constructed from its outer unknown) and
// answers its inner unknown, with no reference yet; null when no memory is
// left. The class table's creation routines are these.
template <typename T>
IUnknown* CreateObject(IUnknown* outer) {
    T* object = new (std::nothrow) T(outer);
    return object ? object->InnerUnknown() : nullptr;
}

}  // namespace quillon::com

// TypeInfoHolder: late binding (IDispatch) for one dual interface through
// its type information in the registered type library.
//
// The type information is loaded on first use, once, under the module's
// type-information lock, and kept until the module ends. A name spelled
// exactly as a member is answered from a table built at loading; any other
// name - another letter case, say - goes to the type information, which
// ignores case. Without a registered type library every call fails with the
// loader's error.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <string>
#include <utility>
#include <vector>

namespace quillon::com {

class TypeInfoHolder {
public:
    explicit TypeInfoHolder(const IID& iid) : iid_(iid) {}
    TypeInfoHolder(const TypeInfoHolder&) = delete;
    TypeInfoHolder& operator=(const TypeInfoHolder&) = delete;

    HRESULT GetTypeInfo(LCID locale, ITypeInfo** typeInfo /* out */);
    HRESULT GetIDsOfNames(LPOLESTR* names, UINT count, LCID locale, DISPID* ids /* out */);
    HRESULT Invoke(IDispatch* object, DISPID member, LCID locale, WORD flags, DISPPARAMS* parameters,
                   VARIANT* result, EXCEPINFO* exception, UINT* argumentError);

private:
    // The loaded type information, or the loader's error.
    HRESULT Load(LCID locale, ITypeInfo** typeInfo /* out, borrowed */);
    void BuildNameTable();
    static void Unload(void* holder);

    const IID& iid_;
    ITypeInfo* typeInfo_ = nullptr;
    std::vector<std::pair<std::wstring, DISPID>> names_;
};

}  // namespace quillon::com

#include "com/type_info_holder.h"

#include "com/com_module.h"
#include "com/quillon_h.h"
#include "platform/win32/com_owners.h"

namespace quillon::com {
namespace {

constexpr LCID kLibraryLocale = 0x409;  // lcid() of the library in quillon.idl

}  // namespace

HRESULT TypeInfoHolder::Load(LCID locale, ITypeInfo** typeInfo) {
    ScopedLock lock(TypeInfoLock());
    if (typeInfo_ == nullptr) {
        win32::ComPtr<ITypeLib> library;
        HRESULT result = ::LoadRegTypeLib(LIBID_QUILLONLib, 1, 0, locale, library.put());
        // The library is registered for its own locale only; a caller in
        // another one (scripting hosts often pass 0) gets that one, instead
        // of a late binding that fails.
        if (FAILED(result) && locale != kLibraryLocale)
            result = ::LoadRegTypeLib(LIBID_QUILLONLib, 1, 0, kLibraryLocale, library.put());
        if (FAILED(result)) return result;
        win32::ComPtr<ITypeInfo> loaded;
        result = library->GetTypeInfoOfGuid(iid_, loaded.put());
        if (FAILED(result)) return result;
        if (!AddCleanup(&TypeInfoHolder::Unload, this)) return E_OUTOFMEMORY;
        typeInfo_ = loaded.release();
        BuildNameTable();
    }
    *typeInfo = typeInfo_;
    return S_OK;
}

void TypeInfoHolder::BuildNameTable() {
    TYPEATTR* attributes = nullptr;
    if (FAILED(typeInfo_->GetTypeAttr(&attributes))) return;
    for (UINT i = 0; i < attributes->cFuncs; ++i) {
        FUNCDESC* function = nullptr;
        if (FAILED(typeInfo_->GetFuncDesc(i, &function))) continue;
        win32::BstrOwner name;
        if (SUCCEEDED(typeInfo_->GetDocumentation(function->memid, name.put(), nullptr, nullptr, nullptr)) &&
            name.get() != nullptr)
            names_.emplace_back(name.get(), function->memid);
        typeInfo_->ReleaseFuncDesc(function);
    }
    typeInfo_->ReleaseTypeAttr(attributes);
}

void TypeInfoHolder::Unload(void* context) {
    auto* holder = static_cast<TypeInfoHolder*>(context);
    holder->typeInfo_->Release();
    holder->typeInfo_ = nullptr;
    holder->names_.clear();
}

HRESULT TypeInfoHolder::GetTypeInfo(LCID locale, ITypeInfo** typeInfo) {
    if (typeInfo == nullptr) return E_POINTER;
    *typeInfo = nullptr;
    ITypeInfo* loaded = nullptr;
    HRESULT result = Load(locale, &loaded);
    if (FAILED(result)) return result;
    loaded->AddRef();
    *typeInfo = loaded;
    return S_OK;
}

HRESULT TypeInfoHolder::GetIDsOfNames(LPOLESTR* names, UINT count, LCID locale, DISPID* ids) {
    ITypeInfo* typeInfo = nullptr;
    HRESULT result = Load(locale, &typeInfo);
    if (FAILED(result)) return result;
    bool allKnown = names != nullptr && ids != nullptr;
    for (UINT i = 0; allKnown && i < count; ++i) {
        allKnown = false;
        for (const auto& [name, id] : names_) {
            if (names[i] != nullptr && name == names[i]) {
                ids[i] = id;
                allKnown = true;
                break;
            }
        }
    }
    if (allKnown) return S_OK;
    return typeInfo->GetIDsOfNames(names, count, ids);
}

HRESULT TypeInfoHolder::Invoke(IDispatch* object, DISPID member, LCID locale, WORD flags, DISPPARAMS* parameters,
                               VARIANT* result, EXCEPINFO* exception, UINT* argumentError) {
    ITypeInfo* typeInfo = nullptr;
    HRESULT loaded = Load(locale, &typeInfo);
    if (FAILED(loaded)) return loaded;
    return typeInfo->Invoke(object, member, flags, parameters, result, exception, argumentError);
}

}  // namespace quillon::com

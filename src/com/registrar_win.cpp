#include "com/registrar.h"

#include <oleauto.h>

#include <string>

#include "com/class_table.h"
#include "com/com_module.h"
#include "com/registry_script.h"
#include "com/win32_registry.h"
#include "platform/win32/com_owners.h"
#include "platform/win32/owners.h"
#include "platform/win32/system_calls.h"
#include "platform/win32/win32_status.h"

namespace quillon::com {
namespace {

using win32::Sys;
using win32::Win32Status;

// The module's file name in its long form (the registry should not hold
// an 8.3 alias), at most MAX_PATH characters.
template <typename Char, typename GetName, typename GetLong>
std::basic_string<Char> ModulePath(GetName getName, GetLong getLong) {
    Char path[MAX_PATH + 1] = {};
    DWORD length = getName(ModuleInstance(), path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return {};
    Char longPath[MAX_PATH + 1] = {};
    DWORD longLength = getLong(path, longPath, MAX_PATH);
    return longLength > 0 && longLength < MAX_PATH ? longPath : path;
}

std::string ModulePathAnsi() { return ModulePath<char>(::GetModuleFileNameA, ::GetLongPathNameA); }
std::wstring ModulePathWide() { return ModulePath<wchar_t>(::GetModuleFileNameW, ::GetLongPathNameW); }

HRESULT LastError() { return Win32Status::FromBool(FALSE).AsHresult(); }

// The text of the "REGISTRY" resource `number` of the module at `path`.
HRESULT LoadScript(const std::string& path, int number, std::string& script) {
    win32::LoadedLibrary module(Sys().LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    if (!module) return LastError();
    HRSRC resource = ::FindResourceA(module.Get(), MAKEINTRESOURCEA(number), "REGISTRY");
    if (resource == nullptr) return LastError();
    HGLOBAL loaded = ::LoadResource(module.Get(), resource);
    const void* bytes = loaded ? ::LockResource(loaded) : nullptr;
    if (bytes == nullptr) return LastError();
    script.assign(static_cast<const char*>(bytes), ::SizeofResource(module.Get(), resource));
    return S_OK;
}

HRESULT RunClassScript(const ClassEntry& entry, ScriptMode mode) {
    if (entry.scriptResource == 0) return S_OK;
    const std::string path = ModulePathAnsi();
    if (path.empty()) return LastError();
    std::string script;
    HRESULT result = LoadScript(path, entry.scriptResource, script);
    if (FAILED(result)) return result;
    Win32Registry registry;
    return RunModuleScript(script.c_str(), path.c_str(), mode, registry);
}

// The module's own type library, or the one in a ".tlb" file beside it.
HRESULT LoadModuleTypeLib(ITypeLib** library, std::wstring* path) {
    *path = ModulePathWide();
    if (path->empty()) return LastError();
    if (SUCCEEDED(::LoadTypeLib(path->c_str(), library))) return S_OK;
    size_t dot = path->find_last_of(L'.');
    size_t folder = path->find_last_of(L"\\/:");
    if (dot == std::wstring::npos || (folder != std::wstring::npos && dot < folder)) dot = path->size();
    path->replace(dot, std::wstring::npos, L".tlb");
    return ::LoadTypeLib(path->c_str(), library);
}

HRESULT RegisterTypeLibrary() {
    win32::ComPtr<ITypeLib> library;
    std::wstring path;
    HRESULT result = LoadModuleTypeLib(library.put(), &path);
    if (FAILED(result)) return result;
    std::wstring helpFolder = path.substr(0, path.find_last_of(L"\\/:") + 1);
    return ::RegisterTypeLib(library.get(), path.data(), helpFolder.data());
}

// UnRegisterTypeLib is looked up at run time: a system without it keeps the
// registration and reports nothing.
void UnregisterTypeLibrary() {
    win32::ComPtr<ITypeLib> library;
    std::wstring path;
    TLIBATTR* attributes = nullptr;
    if (FAILED(LoadModuleTypeLib(library.put(), &path)) || FAILED(library->GetLibAttr(&attributes))) return;
    win32::LoadedLibrary automation(Sys().LoadLibraryA("oleaut32.dll"));
    using UnRegister = HRESULT(WINAPI*)(REFGUID, WORD, WORD, LCID, SYSKIND);
    auto unregister = automation ? reinterpret_cast<UnRegister>(reinterpret_cast<void*>(
                                       Sys().GetProcAddress(automation.Get(), "UnRegisterTypeLib")))
                                 : nullptr;
    if (unregister != nullptr)
        unregister(attributes->guid, attributes->wMajorVerNum, attributes->wMinorVerNum, attributes->lcid,
                   attributes->syskind);
    library->ReleaseTLibAttr(attributes);
}

}  // namespace

HRESULT RegisterServer() {
    size_t count = 0;
    ClassEntry* classes = ClassTable(&count);
    for (size_t i = 0; i < count; ++i) {
        HRESULT result = RunClassScript(classes[i], ScriptMode::kRegister);
        if (FAILED(result)) return result;
    }
    return RegisterTypeLibrary();
}

HRESULT UnregisterServer() {
    size_t count = 0;
    ClassEntry* classes = ClassTable(&count);
    for (size_t i = 0; i < count; ++i) RunClassScript(classes[i], ScriptMode::kUnregister);
    UnregisterTypeLibrary();
    return S_OK;
}

}  // namespace quillon::com

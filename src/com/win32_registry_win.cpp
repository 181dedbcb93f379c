#include "com/win32_registry.h"

#include <windows.h>

#include "platform/win32/owners.h"
#include "platform/win32/system_calls.h"

namespace quillon::com {
namespace {

using win32::Sys;

DWORD TypeOf(RegistryValueType type) {
    switch (type) {
    case RegistryValueType::kNumber:
        return REG_DWORD;
    case RegistryValueType::kBytes:
        return REG_BINARY;
    case RegistryValueType::kString:
        break;
    }
    return REG_SZ;
}

// An open key: one this code opened or created (owned), or a predefined root.
class Win32Key : public RegistryStoreKey {
public:
    explicit Win32Key(HKEY root) : handle_(root) {}
    explicit Win32Key(win32::RegistryKey owned) : owned_(std::move(owned)), handle_(owned_.Get()) {}

    std::unique_ptr<RegistryStoreKey> Open(const char* name, bool writable) override {
        win32::RegistryKey key;
        REGSAM access = writable ? KEY_READ | KEY_WRITE : KEY_READ;
        if (Sys().RegOpenKeyExA(handle_, name, 0, access, key.Receive()) != ERROR_SUCCESS) return nullptr;
        return std::make_unique<Win32Key>(std::move(key));
    }

    std::unique_ptr<RegistryStoreKey> Create(const char* name) override {
        win32::RegistryKey key;
        if (Sys().RegCreateKeyExA(handle_, name, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_READ | KEY_WRITE, nullptr,
                                  key.Receive(), nullptr) != ERROR_SUCCESS)
            return nullptr;
        return std::make_unique<Win32Key>(std::move(key));
    }

    bool HasSubkeys() override {
        DWORD subkeys = 0;
        return Sys().RegQueryInfoKeyA(handle_, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, nullptr,
                                      nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS &&
               subkeys > 0;
    }

    void SetValue(const char* name, const RegistryValue& value) override {
        Sys().RegSetValueExA(handle_, name, 0, TypeOf(value.type), reinterpret_cast<const BYTE*>(value.data.data()),
                             static_cast<DWORD>(value.data.size()));
    }

    // Unregistering opens keys for reading only; deleting a value needs a
    // handle that may set values.
    void DeleteValue(const char* name) override {
        win32::RegistryKey writable;
        if (Sys().RegOpenKeyExA(handle_, nullptr, 0, KEY_SET_VALUE, writable.Receive()) == ERROR_SUCCESS)
            Sys().RegDeleteValueA(writable.Get(), name);
    }

    void DeleteTree(const char* name) override { Sys().RegDeleteTreeA(handle_, name); }
    void DeleteSubkey(const char* name) override { Sys().RegDeleteKeyA(handle_, name); }

private:
    win32::RegistryKey owned_;
    HKEY handle_;
};

}  // namespace

std::unique_ptr<RegistryStoreKey> Win32Registry::OpenRoot(RegistryRoot root) {
    static const HKEY kRoots[] = {HKEY_CLASSES_ROOT, HKEY_CURRENT_USER,      HKEY_LOCAL_MACHINE, HKEY_USERS,
                                  HKEY_PERFORMANCE_DATA, HKEY_DYN_DATA, HKEY_CURRENT_CONFIG};
    return std::make_unique<Win32Key>(kRoots[static_cast<int>(root)]);
}

}  // namespace quillon::com

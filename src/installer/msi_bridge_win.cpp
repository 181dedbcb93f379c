// The run-time binding of msi.dll: LoadLibraryA on first use, the three
// entries by name, FreeLibrary when the bridge is destroyed.
#include "installer/msi_bridge.h"

#include "platform/win32/system_calls.h"

namespace quillon {

using win32::Sys;

MsiBridge::~MsiBridge() {
    if (module_ == nullptr) return;
    Sys().FreeLibrary(static_cast<HMODULE>(module_));
    module_ = nullptr;
    getProperty_ = nullptr;
    setProperty_ = nullptr;
    getMode_ = nullptr;
}

bool MsiBridge::Bind() {
    if (module_ != nullptr) return true;
    HMODULE module = Sys().LoadLibraryA(libraryName_);
    if (module == nullptr) return false;
    module_ = module;
    auto entry = [module](const char* name) { return reinterpret_cast<void*>(Sys().GetProcAddress(module, name)); };
    getProperty_ = reinterpret_cast<GetPropertyFunction>(entry("MsiGetPropertyA"));
    setProperty_ = reinterpret_cast<SetPropertyFunction>(entry("MsiSetPropertyA"));
    getMode_ = reinterpret_cast<GetModeFunction>(entry("MsiGetMode"));
    return true;
}

uint32_t MsiBridge::GetPropertyRaw(InstallerHandle handle, const char* name, char* buffer, unsigned long* capacity) {
    if (!Bind() || getProperty_ == nullptr) return kUnavailable;
    return getProperty_(handle, name, buffer, capacity);
}

uint32_t MsiBridge::SetInstallerProperty(InstallerHandle handle, const char* name, const char* value) {
    if (!Bind() || setProperty_ == nullptr) return kUnavailable;
    return setProperty_(handle, name, value);
}

int MsiBridge::GetInstallerMode(InstallerHandle handle, int runMode) {
    if (!Bind() || getMode_ == nullptr) return 0;
    return getMode_(handle, runMode);
}

}  // namespace quillon

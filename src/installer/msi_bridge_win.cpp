#include "installer/msi_bridge.h"

#include <windows.h>

#include <cstdlib>

namespace quillon {

MsiBridge::~MsiBridge() {
    if (module_ == nullptr) return;
    FreeLibrary(static_cast<HMODULE>(module_));
    module_ = nullptr;
    getProperty_ = nullptr;
    setProperty_ = nullptr;
    getMode_ = nullptr;
}

bool MsiBridge::Bind() {
    if (module_ != nullptr) return true;
    HMODULE module = LoadLibraryA(libraryName_);
    if (module == nullptr) return false;
    module_ = module;
    getProperty_ = reinterpret_cast<GetPropertyFunction>(reinterpret_cast<void*>(GetProcAddress(module, "MsiGetPropertyA")));
    setProperty_ = reinterpret_cast<SetPropertyFunction>(reinterpret_cast<void*>(GetProcAddress(module, "MsiSetPropertyA")));
    getMode_ = reinterpret_cast<GetModeFunction>(reinterpret_cast<void*>(GetProcAddress(module, "MsiGetMode")));
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

int MsiBridge::ReadInstallerProperty(InstallerHandle handle, TextString& text, uint32_t* failure) {
    unsigned long capacity = 256;
    char* buffer = nullptr;
    uint32_t result = ERROR_NOT_ENOUGH_MEMORY;
    bool answered = false;  // `result` is the installer's answer, not a failed allocation
    // A value grows between two calls only when something else writes it at
    // the same time; the bound keeps a misbehaving installer from holding the
    // action in this loop.
    for (int attempt = 0; attempt < 16; ++attempt) {
        // The installer reports the length without the terminating zero; the
        // buffer gets one byte more. A length at the top of the range cannot
        // be offered and counts as a failed allocation.
        if (capacity >= 0x7FFFFFFEul) {
            result = ERROR_NOT_ENOUGH_MEMORY;
            answered = false;
            break;
        }
        capacity += 1;
        char* grown = static_cast<char*>(std::realloc(buffer, capacity));
        if (grown == nullptr) {
            result = ERROR_NOT_ENOUGH_MEMORY;
            answered = false;
            break;
        }
        buffer = grown;
        unsigned long offered = capacity;
        result = GetPropertyRaw(handle, text.Text(), buffer, &offered);
        answered = true;
        if (result != kMoreData) break;
        if (offered < capacity) offered = capacity;  // always offer more than before
        capacity = offered;
    }
    int read = 0;
    if (result == ERROR_SUCCESS) {
        // Never trust the terminator beyond what the buffer holds.
        buffer[capacity - 1] = 0;
        text.Assign(buffer);
        read = text.IsNull() ? 0 : 1;
    } else {
        text.Clear();
    }
    std::free(buffer);
    if (read == 0 && failure != nullptr) *failure = answered ? result : 0;
    return read;
}

}  // namespace quillon

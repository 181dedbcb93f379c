// MsiBridge: the installer bridge of the library, msi.dll bound at run time.
//
// msi.dll is never imported, so the library loads in processes without an
// installer. Each installer action makes its own bridge on entry; the first
// operation loads the library, the destructor releases it. A library that is
// missing, or lacks an entry, makes the operations answer as an unavailable
// installer (see installer_bridge.h).
#pragma once

#include <cstdint>

#include "installer/installer_bridge.h"

namespace quillon {

class MsiBridge : public InstallerBridge {
public:
    MsiBridge() : MsiBridge("msi.dll") {}
    ~MsiBridge() override;

    // Loads the library unless already loaded and looks up its three entries,
    // each independently. True when the library is loaded; a failed load is
    // retried by the next operation.
    bool Bind();

    uint32_t GetPropertyRaw(InstallerHandle handle, const char* name, char* buffer, unsigned long* capacity) override;
    uint32_t SetInstallerProperty(InstallerHandle handle, const char* name, const char* value) override;
    int GetInstallerMode(InstallerHandle handle, int runMode) override;

protected:
    // Binds `libraryName` instead of msi.dll; lets tests make a bridge to a
    // library that is missing or lacks the installer's entries.
    explicit MsiBridge(const char* libraryName) : libraryName_(libraryName) {}

private:
    using GetPropertyFunction = unsigned int(__stdcall*)(unsigned long, const char*, char*, unsigned long*);
    using SetPropertyFunction = unsigned int(__stdcall*)(unsigned long, const char*, const char*);
    using GetModeFunction = int(__stdcall*)(unsigned long, int);

    void* module_ = nullptr;
    GetPropertyFunction getProperty_ = nullptr;
    SetPropertyFunction setProperty_ = nullptr;
    GetModeFunction getMode_ = nullptr;
    const char* libraryName_;
};

}  // namespace quillon

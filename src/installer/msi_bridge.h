// MsiBridge: the library's only way to Windows Installer.
//
// msi.dll is bound at run time (never imported), so the library loads in
// processes without an installer. Each installer action makes its own bridge
// on entry; the first operation loads the library, the destructor releases it.
// An unavailable library makes getting and setting answer 1114
// (ERROR_DLL_INIT_FAILED) and the run-mode query answer 0.
#pragma once

#include <cstdint>

#include "foundation/text_string.h"

namespace quillon {

// The installer handle (MSIHANDLE) that Windows Installer passes to a custom
// action: 32 bits in both builds. The bridge only passes it through.
using InstallerHandle = unsigned long;

class MsiBridge {
public:
    static constexpr uint32_t kUnavailable = 1114;  // ERROR_DLL_INIT_FAILED
    static constexpr uint32_t kMoreData = 234;      // ERROR_MORE_DATA
    static constexpr int kRunModeRebootAtEnd = 6;   // MSIRUNMODE_REBOOTATEND

    MsiBridge() : MsiBridge("msi.dll") {}
    virtual ~MsiBridge();
    MsiBridge(const MsiBridge&) = delete;
    MsiBridge& operator=(const MsiBridge&) = delete;

    // Loads the library unless already loaded and looks up its three entries,
    // each independently. True when the library is loaded; a failed load is
    // retried by the next operation.
    bool Bind();

    // MsiGetPropertyA, unchanged; 1114 without touching buffer or capacity
    // when the library or entry is missing.
    uint32_t GetPropertyRaw(InstallerHandle handle, const char* name, char* buffer, unsigned long* capacity);
    // MsiSetPropertyA, unchanged (0 is success); 1114 when unavailable.
    uint32_t SetInstallerProperty(InstallerHandle handle, const char* name, const char* value);
    // MsiGetMode, unchanged; 0 when unavailable.
    int GetInstallerMode(InstallerHandle handle, int runMode);

    // `text` holds the property name on entry and its value on return
    // (result 1; an unset property reads as the empty text), or is null
    // (result 0). Offers 257 bytes first and retries with the length the
    // installer reports. After result 0, `failure` (when given) holds the
    // installer's answer to the call that failed, or 0 when the read failed
    // for want of memory.
    int ReadInstallerProperty(InstallerHandle handle, TextString& text /* in: name, out: value */,
                              uint32_t* failure /* out */ = nullptr);

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

// InstallerBridge: how the installer actions reach Windows Installer.
//
// The actions read their inputs from installer properties, write their results
// back, and ask the installer's run mode. They do it through this interface:
// the library binds msi.dll at run time (MsiBridge), tests hand in a double,
// so the actions' logic runs without msi.dll. An installer that is not
// available answers 1114 (ERROR_DLL_INIT_FAILED) to getting and setting and 0
// to the run-mode query.
#pragma once

#include <cstdint>

#include "foundation/text_string.h"

namespace quillon {

// The installer handle (MSIHANDLE) that Windows Installer passes to a custom
// action: 32 bits in both builds. A bridge only passes it through.
using InstallerHandle = unsigned long;

class InstallerBridge {
public:
    static constexpr uint32_t kUnavailable = 1114;  // ERROR_DLL_INIT_FAILED
    static constexpr uint32_t kMoreData = 234;      // ERROR_MORE_DATA
    static constexpr int kRunModeRebootAtEnd = 6;   // MSIRUNMODE_REBOOTATEND

    InstallerBridge() = default;
    virtual ~InstallerBridge() = default;
    InstallerBridge(const InstallerBridge&) = delete;
    InstallerBridge& operator=(const InstallerBridge&) = delete;

    // MsiGetPropertyA, unchanged; 1114 without touching buffer or capacity
    // when the installer is not available.
    virtual uint32_t GetPropertyRaw(InstallerHandle handle, const char* name, char* buffer,
                                    unsigned long* capacity /* in/out */) = 0;
    // MsiSetPropertyA, unchanged (0 is success); 1114 when not available.
    virtual uint32_t SetInstallerProperty(InstallerHandle handle, const char* name, const char* value) = 0;
    // MsiGetMode, unchanged; 0 when not available.
    virtual int GetInstallerMode(InstallerHandle handle, int runMode) = 0;

    // `text` holds the property name on entry and its value on return
    // (result 1; an unset property reads as the empty text), or is null
    // (result 0). Offers 257 bytes first and retries with the length the
    // installer reports. After result 0, `failure` (when given) holds the
    // installer's answer to the call that failed, or 0 when the read failed
    // for want of memory.
    int ReadInstallerProperty(InstallerHandle handle, TextString& text /* in: name, out: value */,
                              uint32_t* failure /* out */ = nullptr);
};

}  // namespace quillon

// Exports of the installer actions. Windows Installer calls each with its
// handle as the only argument; everything else travels as installer
// properties. Each call makes its own bridge, which releases msi.dll when the
// call returns, and nothing (not even an allocation failure) leaves as an
// exception.
#include <cstdint>

#include "actions/installer_actions.h"
#include "actions/msi_bridge.h"
#include "system/reboot_query.h"

using quillon::InstallerHandle;
using quillon::MsiBridge;

extern "C" unsigned int __stdcall CustomFunction(InstallerHandle handle) noexcept {
    try {
        MsiBridge bridge;
        return quillon::RunCustomFunction(bridge, handle);
    } catch (...) {
        return 99;
    }
}

extern "C" unsigned int __stdcall CompareVersions(InstallerHandle handle) noexcept {
    try {
        MsiBridge bridge;
        return quillon::RunCompareVersions(bridge, handle);
    } catch (...) {
        return 0;
    }
}

extern "C" unsigned int __stdcall IsRebootRequired(InstallerHandle handle) noexcept {
    try {
        MsiBridge bridge;
        return quillon::RunIsRebootRequired(bridge, handle);
    } catch (...) {
        return 0;
    }
}

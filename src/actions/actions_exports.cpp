// Exports of the installer actions. Windows Installer calls each with its
// handle as the only argument; everything else travels as installer
// properties. Each call makes its own bridge, which releases msi.dll when the
// call returns, and nothing (not even an allocation failure) leaves as an
// exception.
#include "actions/installer_actions.h"
#include "installer/msi_bridge.h"
#include "platform/export_guard.h"

using quillon::InstallerHandle;
using quillon::MsiBridge;

extern "C" unsigned int __stdcall CustomFunction(InstallerHandle handle) noexcept {
    return quillon::Guarded(99u, [&] {
        MsiBridge bridge;
        return quillon::RunCustomFunction(bridge, handle);
    });
}

extern "C" unsigned int __stdcall CompareVersions(InstallerHandle handle) noexcept {
    return quillon::Guarded(quillon::kInstallFailure, [&] {
        MsiBridge bridge;
        return quillon::RunCompareVersions(bridge, handle);
    });
}

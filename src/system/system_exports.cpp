// Exports of the system services. Nothing, not even an allocation failure,
// leaves them as an exception.
#include "installer/msi_bridge.h"
#include "platform/export_guard.h"
#include "system/reboot_query.h"

using quillon::InstallerHandle;
using quillon::MsiBridge;

extern "C" unsigned int __stdcall IsRebootRequired(InstallerHandle handle) noexcept {
    return quillon::Guarded(0u, [&] {
        MsiBridge bridge;
        return quillon::RunIsRebootRequired(bridge, handle);
    });
}

// The pending-reboot query: the installer's answer to "reboot at end?",
// published in REBOOT_REQUIRED.
#include "system/reboot_query.h"

namespace quillon {

uint32_t RunIsRebootRequired(InstallerBridge& bridge, InstallerHandle handle) {
    // Only an answer of exactly 1 counts; an unavailable installer answers 0.
    const char* value = bridge.GetInstallerMode(handle, InstallerBridge::kRunModeRebootAtEnd) == 1 ? "1" : "0";
    return bridge.SetInstallerProperty(handle, "REBOOT_REQUIRED", value) == 0 ? 1 : 0;
}

}  // namespace quillon

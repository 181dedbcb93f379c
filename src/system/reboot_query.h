// The pending-reboot query behind the export IsRebootRequired: publishes in
// REBOOT_REQUIRED whether the running installation ends with a reboot.
#pragma once

#include <cstdint>

#include "installer/installer_bridge.h"

namespace quillon {

// Writes REBOOT_REQUIRED ("1" when the installer reports a reboot pending at
// the end, else "0"). 1 when the property was written, 0 otherwise.
uint32_t RunIsRebootRequired(InstallerBridge& bridge, InstallerHandle handle);

}  // namespace quillon

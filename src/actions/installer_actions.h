// The installer actions behind the exports CustomFunction and CompareVersions.
// They take the bridge the export made, so they can also run against a bridge
// whose library is missing.
#pragma once

#include <cstdint>

#include "installer/msi_bridge.h"

namespace quillon {

// Dispatches on FDX_FUNCTION ("ShellExecuteVar", "CompareVersions", any
// case); arguments in FDX_VAR1..3. Returns 99 unless a launch was attempted:
// then 0 for a started program or the shell's error code (at most 32).
uint32_t RunCustomFunction(MsiBridge& bridge, InstallerHandle handle);

// Compares COMPARE_VERSION1 with COMPARE_VERSION2 into VERSION_COMPARE_RESULT.
// 0 when the result was written (the installer's success) or a read failed;
// 1 only if the installer answered 1 to the write.
uint32_t RunCompareVersions(MsiBridge& bridge, InstallerHandle handle);

}  // namespace quillon

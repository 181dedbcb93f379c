// The installer actions behind the exports CustomFunction and CompareVersions.
// They take the bridge the export made (msi.dll bound at run time); tests hand
// in a double or a bridge whose library is missing.
#pragma once

#include <cstdint>

#include "installer/installer_bridge.h"

namespace quillon {

// Dispatches on FDX_FUNCTION ("ShellExecuteVar", "CompareVersions", any
// case); arguments in FDX_VAR1..3. Returns 99 unless a launch was attempted:
// then 0 for a started program or the shell's error code (at most 32).
uint32_t RunCustomFunction(InstallerBridge& bridge, InstallerHandle handle);

// Compares COMPARE_VERSION1 with COMPARE_VERSION2 into VERSION_COMPARE_RESULT.
// 0 when the result was written (the installer's success) or a read failed;
// 1 only if the installer answered 1 to the write.
uint32_t RunCompareVersions(InstallerBridge& bridge, InstallerHandle handle);

}  // namespace quillon

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

// ERROR_INSTALL_FAILURE: what CompareVersions answers for a failure that
// brings no code of its own.
constexpr uint32_t kInstallFailure = 1603;

// Compares COMPARE_VERSION1 with COMPARE_VERSION2 into VERSION_COMPARE_RESULT.
// 0 (the installer's success) only when the result was written. A failed read
// or write answers the failing call's code, or kInstallFailure when it has
// none or the installer would not read it as a failure.
uint32_t RunCompareVersions(InstallerBridge& bridge, InstallerHandle handle);

}  // namespace quillon

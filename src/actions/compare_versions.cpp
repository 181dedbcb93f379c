// CompareVersions: compares COMPARE_VERSION1 with COMPARE_VERSION2 into
// VERSION_COMPARE_RESULT. Everything it needs from the installer goes through
// the bridge, so it is the same code with msi.dll and with a test's double.
#include <cstdint>

#include "actions/installer_actions.h"
#include "actions/version_number.h"

namespace quillon {
namespace {

// Answers that the installer reads as something other than a failure.
constexpr uint32_t kSuccess = 0;               // ERROR_SUCCESS
constexpr uint32_t kNoMoreItems = 259;         // ERROR_NO_MORE_ITEMS: skip the remaining actions
constexpr uint32_t kUserExit = 1602;           // ERROR_INSTALL_USEREXIT
constexpr uint32_t kSuspend = 1604;            // ERROR_INSTALL_SUSPEND
constexpr uint32_t kFunctionNotCalled = 1626;  // ERROR_FUNCTION_NOT_CALLED

// A failing installer call's answer as the action's result. The installer
// reads a few results as something other than a failure (skip the remaining
// actions, suspend, not run, cancelled by the user); those, and a failure
// without a code of its own, become ERROR_INSTALL_FAILURE.
uint32_t FailureResult(uint32_t answer) {
    switch (answer) {
        case kSuccess:
        case kNoMoreItems:
        case kUserExit:
        case kSuspend:
        case kFunctionNotCalled:
            return kInstallFailure;
        default:
            return answer;
    }
}

}  // namespace

uint32_t RunCompareVersions(InstallerBridge& bridge, InstallerHandle handle) {
    uint32_t failure = 0;
    TextString first = "COMPARE_VERSION1";
    if (!bridge.ReadInstallerProperty(handle, first, &failure)) return FailureResult(failure);
    TextString second = "COMPARE_VERSION2";
    if (!bridge.ReadInstallerProperty(handle, second, &failure)) return FailureResult(failure);
    uint32_t written = bridge.SetInstallerProperty(handle, "VERSION_COMPARE_RESULT",
                                                   CompareVersionTexts(first.Text(), second.Text()));
    return written == kSuccess ? 0 : FailureResult(written);
}

}  // namespace quillon

// CustomFunction: one custom action for several small jobs, selected by the
// installer property FDX_FUNCTION, with arguments and results in FDX_VAR1..3.
// Input variables are cleared once read so that a later call of the action
// does not see stale arguments.
#include <windows.h>
#include <shellapi.h>

#include <cstdint>

#include "actions/installer_actions.h"
#include "actions/path_placeholders.h"
#include "actions/version_number.h"
#include "foundation/decimal_text.h"

namespace quillon {
namespace {

constexpr uint32_t kNothingLaunched = 99;

// Starts the program in FDX_VAR1 with " /RegServer", the way an out-of-process
// COM server registers itself. FDX_VAR2 is read and cleared but takes no part
// in the launch.
uint32_t ShellExecuteVar(InstallerBridge& bridge, InstallerHandle handle) {
    TextString program = "FDX_VAR1";
    if (!bridge.ReadInstallerProperty(handle, program)) return kNothingLaunched;
    bridge.SetInstallerProperty(handle, "FDX_VAR1", "");

    TextString unused = "FDX_VAR2";
    if (bridge.ReadInstallerProperty(handle, unused) && unused.GetLength() > 0)
        bridge.SetInstallerProperty(handle, "FDX_VAR2", "");

    int showState = SW_HIDE;
    TextString show = "FDX_VAR3";
    if (bridge.ReadInstallerProperty(handle, show) && show.GetLength() > 0) {
        showState = ReadDecimalLong(show.Text());
        bridge.SetInstallerProperty(handle, "FDX_VAR3", "");
    }

    ExpandPathPlaceholder(program);
    ExpandPathPlaceholder(unused);

    HINSTANCE started = ShellExecuteA(nullptr, "open", program.Text(), " /RegServer", nullptr, showState);
    intptr_t code = reinterpret_cast<intptr_t>(started);
    if (code > 32) return 0;
    if (code != 0) return static_cast<uint32_t>(code);
    return kNothingLaunched;
}

// A failing installer call's answer as the action's result. The installer
// reads a few results as something other than a failure (skip the remaining
// actions, suspend, not run, cancelled by the user); those, and a failure
// without a code of its own, become ERROR_INSTALL_FAILURE.
uint32_t FailureResult(uint32_t answer) {
    switch (answer) {
        case ERROR_SUCCESS:
        case ERROR_NO_MORE_ITEMS:
        case ERROR_INSTALL_USEREXIT:
        case ERROR_INSTALL_SUSPEND:
        case ERROR_FUNCTION_NOT_CALLED:
            return kInstallFailure;
        default:
            return answer;
    }
}

void CompareVersionVariables(InstallerBridge& bridge, InstallerHandle handle) {
    TextString first = "FDX_VAR1";
    if (!bridge.ReadInstallerProperty(handle, first)) return;
    TextString second = "FDX_VAR2";
    if (!bridge.ReadInstallerProperty(handle, second)) return;
    if (first.GetLength() > 0) bridge.SetInstallerProperty(handle, "FDX_VAR1", "");
    if (second.GetLength() > 0) bridge.SetInstallerProperty(handle, "FDX_VAR2", "");
    bridge.SetInstallerProperty(handle, "FDX_VAR3", CompareVersionTexts(first.Text(), second.Text()));
}

}  // namespace

uint32_t RunCustomFunction(InstallerBridge& bridge, InstallerHandle handle) {
    TextString function = "FDX_FUNCTION";
    if (!bridge.ReadInstallerProperty(handle, function)) return kNothingLaunched;
    if (function.IsEqual("ShellExecuteVar", -1, 0)) return ShellExecuteVar(bridge, handle);
    if (function.IsEqual("CompareVersions", -1, 0)) CompareVersionVariables(bridge, handle);
    return kNothingLaunched;
}

uint32_t RunCompareVersions(InstallerBridge& bridge, InstallerHandle handle) {
    uint32_t failure = 0;
    TextString first = "COMPARE_VERSION1";
    if (!bridge.ReadInstallerProperty(handle, first, &failure)) return FailureResult(failure);
    TextString second = "COMPARE_VERSION2";
    if (!bridge.ReadInstallerProperty(handle, second, &failure)) return FailureResult(failure);
    uint32_t written = bridge.SetInstallerProperty(handle, "VERSION_COMPARE_RESULT",
                                                   CompareVersionTexts(first.Text(), second.Text()));
    return written == ERROR_SUCCESS ? 0 : FailureResult(written);
}

}  // namespace quillon

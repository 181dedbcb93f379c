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

}  // namespace quillon

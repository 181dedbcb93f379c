// Against a real installer session: the msi.dll binding of the installer
// bridge (and bridges whose library is missing or lacks the installer's
// entries; the read algorithm itself is tested natively), and the
// installer-action exports of the built DLL.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "dll_export.h"
#include "installer/msi_bridge.h"
#include "installer_package.h"

namespace {

using quillon::MsiBridge;

// A bridge bound to another library than msi.dll.
class BridgeTo : public MsiBridge {
public:
    explicit BridgeTo(const char* library) : MsiBridge(library) {}
};

TEST(MsiBridge, ForwardsToTheBoundLibrary) {
    InstallerPackage package;
    ASSERT_TRUE(package.IsOpen());
    ASSERT_EQ(MsiSetMode(package.Handle(), MSIRUNMODE_REBOOTATEND, TRUE), static_cast<UINT>(ERROR_SUCCESS));
    struct Case {
        const char* library;
        bool binds;
        uint32_t setAnswer;  // also what a read fails with
        int runMode;
    } cases[] = {{"msi.dll", true, 0, 1},
                 {"quillon_no_such_library.dll", false, 1114, 0},
                 {"kernel32.dll", true, 1114, 0}};  // loads, but has none of the entries
    const std::string changed(257, 'z');  // more than the first offer: msi.dll reports the length needed
    for (const Case& c : cases) {
        SCOPED_TRACE(c.library);
        BridgeTo bridge(c.library);
        package.Set("PRESENT", "here");
        EXPECT_EQ(bridge.Bind(), c.binds);
        EXPECT_EQ(bridge.SetInstallerProperty(package.Handle(), "PRESENT", changed.c_str()), c.setAnswer);
        EXPECT_EQ(package.Get("PRESENT"), c.setAnswer ? "here" : changed);
        EXPECT_EQ(bridge.GetInstallerMode(package.Handle(), MsiBridge::kRunModeRebootAtEnd), c.runMode);
        quillon::TextString text = "PRESENT";
        uint32_t failure = 0;
        EXPECT_EQ(bridge.ReadInstallerProperty(package.Handle(), text, &failure), c.setAnswer ? 0 : 1);
        EXPECT_EQ(failure, c.setAnswer);
        EXPECT_EQ(text.IsNull() ? "(null)" : std::string(text.Text()), c.setAnswer ? "(null)" : changed);
    }
}

// The installer-action exports of Quillon.dll, looked up in the loaded DLL and
// given the handle of the session. What msiexec shows end to end
// (tests/checks/e2e_msi.sh: the comparison codes and CompareVersions'
// answer 0, the launched server's command line and show state, the variables
// cleared, the reboot state) is not repeated here; its package ignores the
// answers of CustomFunction and IsRebootRequired, which this test pins.
constexpr MSIHANDLE kInvalidHandle = 0xBAD;

TEST(ActionExports, PassTheHandleInAndTheAnswerOut) {
    InstallerPackage package;
    ASSERT_TRUE(package.IsOpen());
    HMODULE library = LoadLibraryA("Quillon.dll");
    ASSERT_NE(library, nullptr);
    const std::string server = TestExecutableFolder() + "record_args.exe";
    const struct {
        const char* name;
        MSIHANDLE handle;
        const char* function;  // FDX_FUNCTION
        std::string program;   // FDX_VAR1, cleared by a launch only
        UINT answer;
    } cases[] = {
        {"CustomFunction", package.Handle(), "ShellExecuteVar", server, 0},  // started
        {"CustomFunction", package.Handle(), "ShellExecuteVar", server + ".missing", 2},  // SE_ERR_FNF
        {"CustomFunction", package.Handle(), "ShellExecute", server, 99},  // not one of its functions
        {"CustomFunction", kInvalidHandle, "ShellExecuteVar", server, 99},
        {"CompareVersions", kInvalidHandle, "", "", ERROR_INVALID_HANDLE},  // the read's answer
        {"IsRebootRequired", package.Handle(), "", "", 1},  // its answers are native rows
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " " + c.function + " with handle " + std::to_string(c.handle));
        auto action = DllExport<UINT(__stdcall*)(MSIHANDLE)>(library, c.name);
        ASSERT_NE(action, nullptr);
        package.Set("FDX_FUNCTION", c.function);
        package.Set("FDX_VAR1", c.program);
        EXPECT_EQ(action(c.handle), c.answer);
        EXPECT_EQ(package.Get("FDX_VAR1"), c.answer == 99 ? c.program : "");
    }
    FreeLibrary(library);
}

}  // namespace

// The installer-action exports of Quillon.dll, looked up in the loaded DLL and
// given the handle of a real installer session. What msiexec shows end to end
// (tests/checks/e2e_msi.sh: the comparison codes and CompareVersions'
// answer 0, the launched server's command line and show state, the variables
// cleared, the reboot state) is not repeated here; its package ignores the
// answers of CustomFunction and IsRebootRequired, which this test pins.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "dll_export.h"
#include "installer_package.h"

namespace {

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
        {"IsRebootRequired", package.Handle(), "", "", 1},
        {"IsRebootRequired", kInvalidHandle, "", "", 0},
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

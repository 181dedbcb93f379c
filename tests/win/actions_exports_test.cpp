// The installer-action exports of Quillon.dll, called the way Windows
// Installer calls them: looked up in the loaded DLL, given the handle of a
// real installer session, exchanging everything through its properties.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "actions/installer_actions.h"
#include "installer/msi_bridge.h"
#include "installer_double.h"
#include "installer_package.h"
#include "system/reboot_query.h"

namespace {

// "[ModuleFile]" names this test executable, so CustomFunction starts it with
// " /RegServer". Such a start records its command line in the file named by
// QUILLON_TEST_SERVER_LOG and ends before any test runs.
const bool kStartedAsServer = [] {
    const char* commandLine = GetCommandLineA();
    if (std::strstr(commandLine, "/RegServer") == nullptr) return false;
    char log[MAX_PATH] = {};
    if (GetEnvironmentVariableA("QUILLON_TEST_SERVER_LOG", log, MAX_PATH) > 0) {
        std::ofstream(log, std::ios::binary) << "command line: " << commandLine << "\r\n";
    }
    ExitProcess(0);
}();

using Action = UINT(__stdcall*)(unsigned long);

class BridgeTo : public quillon::MsiBridge {
public:
    explicit BridgeTo(const char* library) : MsiBridge(library) {}
};

class ActionExports : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(package_.IsOpen());
        library_ = LoadLibraryA("Quillon.dll");
        ASSERT_NE(library_, nullptr);
        customFunction_ = Lookup("CustomFunction");
        compareVersions_ = Lookup("CompareVersions");
        isRebootRequired_ = Lookup("IsRebootRequired");
        ASSERT_TRUE(customFunction_ && compareVersions_ && isRebootRequired_);
    }
    void TearDown() override {
        if (library_) FreeLibrary(library_);
    }
    Action Lookup(const char* name) const {
        return reinterpret_cast<Action>(reinterpret_cast<void*>(GetProcAddress(library_, name)));
    }
    MSIHANDLE Handle() const { return package_.Handle(); }

    InstallerPackage package_;
    HMODULE library_ = nullptr;
    Action customFunction_ = nullptr;
    Action compareVersions_ = nullptr;
    Action isRebootRequired_ = nullptr;
};

// Waits for a file that a started program writes, and returns its text.
std::string WaitForFile(const std::string& path) {
    for (int i = 0; i < 300; ++i) {
        std::ifstream in(path, std::ios::binary);
        if (in) {
            std::stringstream text;
            text << in.rdbuf();
            return text.str();
        }
        Sleep(100);
    }
    return "<no file>";
}

// The order itself is the native VersionNumber table's; here each code once.
TEST_F(ActionExports, CompareVersionsWritesTheCode) {
    const char* cases[][3] = {{"2.10", "2.9", "1"}, {"2.9", "2.10", "2"}, {"1.0.0.0", "1.0.0.0", "0"}};
    for (const auto& c : cases) {
        package_.Set("COMPARE_VERSION1", c[0]);
        package_.Set("COMPARE_VERSION2", c[1]);
        package_.Set("VERSION_COMPARE_RESULT", "stale");
        EXPECT_EQ(compareVersions_(Handle()), 0u);
        EXPECT_EQ(package_.Get("VERSION_COMPARE_RESULT"), c[2]) << c[0] << " vs " << c[1];
        EXPECT_EQ(package_.Get("COMPARE_VERSION1") + " " + package_.Get("COMPARE_VERSION2"),
                  std::string(c[0]) + " " + c[1]) << "the inputs stay";
    }
    // An unset first version reads as empty text, which is smaller than 1.
    MsiSetPropertyA(Handle(), "COMPARE_VERSION1", "");
    package_.Set("COMPARE_VERSION2", "1");
    EXPECT_EQ(compareVersions_(Handle()), 0u);
    EXPECT_EQ(package_.Get("VERSION_COMPARE_RESULT"), "2");
}

TEST_F(ActionExports, CompareVersionsReportsAFailedReadOrWrite) {
    package_.Set("COMPARE_VERSION1", "2");
    package_.Set("COMPARE_VERSION2", "1");
    package_.Set("VERSION_COMPARE_RESULT", "untouched");
    EXPECT_EQ(compareVersions_(0xBAD), 6u) << "ERROR_INVALID_HANDLE, the read's answer";
    BridgeTo missing("quillon_no_such_library.dll");
    EXPECT_EQ(quillon::RunCompareVersions(missing, Handle()), 1114u) << "no installer library";
    EXPECT_EQ(package_.Get("VERSION_COMPARE_RESULT"), "untouched");

    // An installer whose reads never fit or whose writes fail.
    struct Case {
        const char* name;
        bool readsNeverFit;
        UINT setAnswer;
        uint32_t result;
    } cases[] = {
        {"a read that never fits", true, 0, ERROR_MORE_DATA},
        {"a refused write", false, ERROR_FUNCTION_FAILED, ERROR_FUNCTION_FAILED},
        {"a write answering 1", false, 1, 1},
        // The installer would take this answer for "skip the remaining actions".
        {"a write answering ERROR_NO_MORE_ITEMS", false, ERROR_NO_MORE_ITEMS, ERROR_INSTALL_FAILURE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        quillon::test::InstallerDouble installer;
        installer.properties = {{"COMPARE_VERSION1", "2"}, {"COMPARE_VERSION2", "1"}, {"VERSION_COMPARE_RESULT", "untouched"}};
        installer.alwaysMoreData = c.readsNeverFit;
        if (c.setAnswer != 0) installer.setAnswers["VERSION_COMPARE_RESULT"] = c.setAnswer;
        EXPECT_EQ(quillon::RunCompareVersions(installer, installer.kHandle), c.result);
        EXPECT_EQ(installer.Get("VERSION_COMPARE_RESULT"), "untouched");
    }
}

TEST_F(ActionExports, CustomFunctionComparesVersionVariables) {
    package_.Set("FDX_FUNCTION", "compareVERSIONS");
    package_.Set("FDX_VAR1", "2.0");
    package_.Set("FDX_VAR2", "10.0");
    EXPECT_EQ(customFunction_(Handle()), 99u);
    EXPECT_EQ(package_.Get("FDX_VAR3"), "2");
    EXPECT_EQ(package_.Get("FDX_VAR1"), "");
    EXPECT_EQ(package_.Get("FDX_VAR2"), "");
    EXPECT_EQ(package_.Get("FDX_FUNCTION"), "compareVERSIONS") << "the name is matched without regard to case and kept";

    // Both empty: equal, and only the result is written.
    quillon::test::InstallerDouble installer;
    installer.properties["FDX_FUNCTION"] = "CompareVersions";
    EXPECT_EQ(quillon::RunCustomFunction(installer, installer.kHandle), 99u);
    ASSERT_EQ(installer.sets.size(), 1u);
    EXPECT_EQ(installer.sets[0].name, "FDX_VAR3");
    EXPECT_EQ(installer.sets[0].value, "0");
}

TEST_F(ActionExports, CustomFunctionWithoutAKnownFunctionTouchesNothing) {
    package_.Set("FDX_FUNCTION", "ShellExecute");
    package_.Set("FDX_VAR1", "C:\\windows\\notepad.exe");
    package_.Set("FDX_VAR3", "5");
    EXPECT_EQ(customFunction_(Handle()), 99u);
    EXPECT_EQ(package_.Get("FDX_VAR1"), "C:\\windows\\notepad.exe");
    EXPECT_EQ(package_.Get("FDX_VAR3"), "5");

    EXPECT_EQ(customFunction_(0xBAD), 99u);
    package_.Set("FDX_FUNCTION", "CompareVersions");
    BridgeTo missing("quillon_no_such_library.dll");
    EXPECT_EQ(quillon::RunCustomFunction(missing, Handle()), 99u);
    EXPECT_EQ(package_.Get("FDX_VAR3"), "5");
}

TEST_F(ActionExports, ShellExecuteVarStartsTheServerWithRegServer) {
    std::string server = TestExecutableFolder() + "record_args.exe";
    std::string record = TestExecutableFolder() + "record_args.args.txt";

    // Hidden by default; FDX_VAR3 unset is not written, FDX_VAR1 always is.
    DeleteFileA(record.c_str());
    quillon::test::InstallerDouble installer;
    installer.properties["FDX_FUNCTION"] = "shellexecutevar";
    installer.properties["FDX_VAR1"] = server;
    EXPECT_EQ(quillon::RunCustomFunction(installer, installer.kHandle), 0u);
    ASSERT_EQ(installer.sets.size(), 1u);
    EXPECT_EQ(installer.sets[0].name, "FDX_VAR1");
    EXPECT_EQ(installer.Get("FDX_VAR1"), "");
    std::string hidden = WaitForFile(record);
    EXPECT_NE(hidden.find("record_args.exe"), std::string::npos) << hidden;
    EXPECT_NE(hidden.find(" /RegServer\r\n"), std::string::npos) << hidden;
    EXPECT_NE(hidden.find("show state: 0\r\n"), std::string::npos) << hidden;

    // Show state from FDX_VAR3; FDX_VAR2 is cleared but not passed on.
    DeleteFileA(record.c_str());
    package_.Set("FDX_FUNCTION", "ShellExecuteVar");
    package_.Set("FDX_VAR1", server);
    package_.Set("FDX_VAR2", "ignored");
    package_.Set("FDX_VAR3", "1");
    EXPECT_EQ(customFunction_(Handle()), 0u);
    std::string shown = WaitForFile(record);
    EXPECT_NE(shown.find("show state: 1\r\n"), std::string::npos) << shown;
    EXPECT_EQ(shown.find("ignored"), std::string::npos) << shown;
    EXPECT_EQ(package_.Get("FDX_VAR2"), "");
    EXPECT_EQ(package_.Get("FDX_VAR3"), "");
    DeleteFileA(record.c_str());
}

TEST_F(ActionExports, ShellExecuteVarExpandsModuleFile) {
    std::string log = TestExecutableFolder() + "module_file_start.txt";
    DeleteFileA(log.c_str());
    SetEnvironmentVariableA("QUILLON_TEST_SERVER_LOG", log.c_str());
    package_.Set("FDX_FUNCTION", "ShellExecuteVar");
    package_.Set("FDX_VAR1", "[ModuleFile]");
    EXPECT_EQ(customFunction_(Handle()), 0u);
    std::string started = WaitForFile(log);
    SetEnvironmentVariableA("QUILLON_TEST_SERVER_LOG", nullptr);
    EXPECT_NE(started.find("quillon_win_tests.exe"), std::string::npos) << started;
    EXPECT_NE(started.find(" /RegServer\r\n"), std::string::npos) << started;
    DeleteFileA(log.c_str());
}

TEST_F(ActionExports, ShellExecuteVarReportsTheShellError) {
    package_.Set("FDX_FUNCTION", "ShellExecuteVar");
    package_.Set("FDX_VAR1", TestExecutableFolder() + "no_such_server.exe");
    EXPECT_EQ(customFunction_(Handle()), 2u);  // SE_ERR_FNF
    // A placeholder inside a longer path is not expanded and reaches the shell as it is.
    package_.Set("FDX_VAR1", "[WinSysDir]\\no_such_server.exe");
    UINT result = customFunction_(Handle());
    EXPECT_GE(result, 2u);
    EXPECT_LE(result, 32u);
}

TEST_F(ActionExports, IsRebootRequiredPublishesTheRunMode) {
    package_.Set("REBOOT_REQUIRED", "stale");
    EXPECT_EQ(isRebootRequired_(Handle()), 1u);
    EXPECT_EQ(package_.Get("REBOOT_REQUIRED"), "0");

    ASSERT_EQ(MsiSetMode(Handle(), MSIRUNMODE_REBOOTATEND, TRUE), static_cast<UINT>(ERROR_SUCCESS));
    EXPECT_EQ(isRebootRequired_(Handle()), 1u);
    EXPECT_EQ(package_.Get("REBOOT_REQUIRED"), "1");

    EXPECT_EQ(isRebootRequired_(0xBAD), 0u);
    package_.Set("REBOOT_REQUIRED", "untouched");
    BridgeTo missing("quillon_no_such_library.dll");
    EXPECT_EQ(quillon::RunIsRebootRequired(missing, Handle()), 0u);
    EXPECT_EQ(package_.Get("REBOOT_REQUIRED"), "untouched");
}

}  // namespace

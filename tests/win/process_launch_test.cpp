// Launching real programs, with what a launch hands to CreateProcessA
// captured through the system-call table, and LaunchAppAndWaitEx and
// UpdateWTSCopy through the DLL on real programs and files.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "dll_export.h"
#include "installer_package.h"
#include "platform/win32/system_calls.h"
#include "system/process_launch.h"

namespace {

using quillon::win32::ScopedSystemCall;
using quillon::win32::Sys;

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return in ? text.str() : "<missing>";
}

// A fresh folder below the temporary folder, without the trailing backslash.
std::string FreshFolder(const char* name) {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    std::string folder = std::string(temp) + name;
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

// What CreateProcessA received, and which handles were closed afterwards.
struct CreateProcessSpy {
    static inline std::string seen;
    static inline std::vector<HANDLE> opened, closed;

    static BOOL WINAPI CreateProcess(LPCSTR application, LPSTR commandLine, LPSECURITY_ATTRIBUTES processAttributes,
                                     LPSECURITY_ATTRIBUTES threadAttributes, BOOL inherit, DWORD flags,
                                     LPVOID environment, LPCSTR directory, LPSTARTUPINFOA startup,
                                     LPPROCESS_INFORMATION started) {
        char text[128];
        snprintf(text, sizeof text, " | %s 0x%lx %u 0x%lx %d %d", startup->lpDesktop ? startup->lpDesktop : "-",
                 startup->dwFlags, startup->wShowWindow, flags, inherit, environment == nullptr);
        seen = commandLine + (" | " + std::string(directory ? directory : "-")) + text;
        BOOL created = ::CreateProcessA(application, commandLine, processAttributes, threadAttributes, inherit, flags,
                                        environment, directory, startup, started);
        if (created) opened = {started->hProcess, started->hThread};
        return created;
    }
    static BOOL WINAPI Close(HANDLE handle) { return closed.push_back(handle), ::CloseHandle(handle); }
};

class LaunchExports : public ::testing::Test {
protected:
    void SetUp() override {
        library_ = LoadLibraryA("Quillon.dll");
        ASSERT_NE(library_, nullptr);
        launch_ = DllExport<decltype(launch_)>(library_, "LaunchAppAndWaitEx");
        update_ = DllExport<decltype(update_)>(library_, "UpdateWTSCopy");
        ASSERT_TRUE(launch_ && update_);
    }
    void TearDown() override { FreeLibrary(library_); }

    HMODULE library_ = nullptr;
    int32_t(__stdcall* launch_)(const char*, const char*, const char*, uint32_t, uint32_t, uint32_t*) = nullptr;
    uint32_t(__stdcall* update_)(const char*, uint32_t) = nullptr;
};

// Runs record_args.exe (tests/e2e/record_args.c), which exits with the code
// its command line names, copied into a folder whose name has a space.
TEST_F(LaunchExports, Launches) {
    const std::string folder = FreshFolder("quillon launch"), work = FreshFolder("quillon launch work");
    const std::string program = folder + "\\record_args.exe";
    // A program that an earlier run did not wait for may still hold its file.
    const std::string built = TestExecutableFolder() + "record_args.exe";
    for (int i = 0; i < 300 && !CopyFileA(built.c_str(), program.c_str(), FALSE); ++i) Sleep(100);
    ScopedSystemCall spyCreate(Sys().CreateProcessA, &CreateProcessSpy::CreateProcess);
    ScopedSystemCall spyClose(Sys().CloseHandle, &CreateProcessSpy::Close);
    struct Case {
        const char* name;
        uint32_t wait, hidden;
        std::string workingDirectory, expectedDirectory;
        const char* seen;  // desktop, start flags, show state, creation flags, inherited handles and environment
    } cases[] = {
        {"visible, in the program's folder", 1, 0, "", folder, "Winsta0\\Default 0x101 5 0x10 1 1"},
        {"hidden, in the caller's folder", 1, 1, work, work, "- 0x101 0 0x8000010 1 1"},
        {"not waited for", 0, 1, "", folder, "- 0x101 0 0x8000010 1 1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CreateProcessSpy::closed.clear();
        uint32_t exitCode = 0xDEAD;
        ASSERT_EQ(quillon::LaunchProgram(program.c_str(), "/exit:7 two words", c.workingDirectory.c_str(), c.wait,
                                         c.hidden, &exitCode),
                  0);
        EXPECT_EQ(exitCode, c.wait ? 7u : 0xDEADu);
        EXPECT_EQ(CreateProcessSpy::seen,
                  "\"" + program + "\" /exit:7 two words | " + c.expectedDirectory + " | " + c.seen);
        // Both handles are closed, whether the launch waited or not.
        std::sort(CreateProcessSpy::opened.begin(), CreateProcessSpy::opened.end());
        std::sort(CreateProcessSpy::closed.begin(), CreateProcessSpy::closed.end());
        EXPECT_EQ(CreateProcessSpy::closed, CreateProcessSpy::opened);
    }
    uint32_t exitCode = 0;
    EXPECT_EQ(launch_(program.c_str(), "/exit:9", "", 1, 1, &exitCode), 0);
    EXPECT_EQ(exitCode, 9u);
    uint32_t untouched = 0xDEAD;
    EXPECT_EQ(launch_((folder + "\\missing.exe").c_str(), "", "", 1, 0, &untouched), -1);
    EXPECT_EQ(untouched, 0xDEADu);
}

TEST_F(LaunchExports, UpdateCopiesOnDisk) {
    // The folder's "." shows that copy names change directory names too; the
    // names below assume it is the only one in the path.
    ASSERT_EQ(FreshFolder("").find('.'), std::string::npos);
    std::string source = FreshFolder("quillon.copies") + "\\app.exe";
    std::string copy1 = FreshFolder("quillon_001.copies") + "\\app_001.exe";
    std::string copy7 = FreshFolder("quillon_007.copies") + "\\app_007.exe";
    for (const std::string& file : {source, copy1, copy7}) std::ofstream(file, std::ios::binary) << (file == source ? "current" : "old");

    // A copy that a session holds open is skipped and does not fail the call.
    HANDLE held = CreateFileA(copy7.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_EQ(update_(source.c_str(), 1), 1u);
    EXPECT_EQ(ReadFile(copy1), "current");
    CloseHandle(held);
    EXPECT_EQ(ReadFile(copy7), "old");

    EXPECT_EQ(update_(source.c_str(), 0), 1u);
    EXPECT_EQ(GetFileAttributesA(copy1.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetFileAttributesA(copy7.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(ReadFile(source), "current");
}

}  // namespace

// Launching real programs, with what a launch hands to CreateProcessA
// captured through the system-call table, and LaunchAppAndWaitEx and
// UpdateWTSCopy through the DLL on real programs and files.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>

#include "dll_export.h"
#include "installer_package.h"
#include "platform/win32/system_calls.h"
#include "system/process_launch.h"

namespace {

using quillon::win32::ScopedSystemCall;
using quillon::win32::Sys;

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// What CreateProcessA received.
struct CreateProcessSpy {
    static inline std::string seen;

    static BOOL WINAPI CreateProcess(LPCSTR application, LPSTR commandLine, LPSECURITY_ATTRIBUTES processAttributes,
                                     LPSECURITY_ATTRIBUTES threadAttributes, BOOL inherit, DWORD flags,
                                     LPVOID environment, LPCSTR directory, LPSTARTUPINFOA startup,
                                     LPPROCESS_INFORMATION started) {
        char text[128];
        snprintf(text, sizeof text, " | %s 0x%lx %u 0x%lx %d %d", startup->lpDesktop ? startup->lpDesktop : "-",
                 startup->dwFlags, startup->wShowWindow, flags, inherit, environment == nullptr);
        seen = commandLine + (" | " + std::string(directory ? directory : "-")) + text;
        return ::CreateProcessA(application, commandLine, processAttributes, threadAttributes, inherit, flags,
                                environment, directory, startup, started);
    }
};

// Runs record_args.exe (tests/e2e/record_args.c), which exits with the code
// its command line names.
TEST(LaunchExports, Launches) {
    const std::string program = TestExecutableFolder() + "record_args.exe", work = TempFolder();
    const std::string folder = program.substr(0, program.rfind('\\'));
    ScopedSystemCall spy(Sys().CreateProcessA, &CreateProcessSpy::CreateProcess);
    struct Case {
        const char* name;
        uint32_t wait, hidden;
        std::string workingDirectory, expectedDirectory;
        const char* seen;  // desktop, start flags, show state, creation flags, inherited handles and environment
    } cases[] = {
        {"visible, waited for, in the program's folder", 1, 0, "", folder, "Winsta0\\Default 0x101 5 0x10 1 1"},
        {"hidden, not waited for, in the caller's folder", 0, 1, work, work, "- 0x101 0 0x8000010 1 1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        uint32_t exitCode = 0xDEAD;
        ASSERT_EQ(quillon::LaunchProgram(program.c_str(), "/exit:7 two words", c.workingDirectory.c_str(), c.wait,
                                         c.hidden, &exitCode),
                  0);
        EXPECT_EQ(exitCode, c.wait ? 7u : 0xDEADu);
        EXPECT_EQ(CreateProcessSpy::seen,
                  "\"" + program + "\" /exit:7 two words | " + c.expectedDirectory + " | " + c.seen);
    }
    HMODULE library = LoadLibraryA("Quillon.dll");
    auto launch = DllExport<int32_t(__stdcall*)(const char*, const char*, const char*, uint32_t, uint32_t, uint32_t*)>(
        library, "LaunchAppAndWaitEx");
    ASSERT_NE(launch, nullptr);
    uint32_t exitCode = 0;
    EXPECT_EQ(launch(program.c_str(), "/exit:9", "", 1, 1, &exitCode), 0);
    EXPECT_EQ(exitCode, 9u);
    uint32_t untouched = 0xDEAD;
    EXPECT_EQ(launch((folder + "\\missing.exe").c_str(), "", "", 1, 0, &untouched), -1);
    EXPECT_EQ(untouched, 0xDEADu);
    FreeLibrary(library);
}

// The copies' walk and names, deleting included, are tested natively; here
// the files are real, and one is held open as a running session would.
TEST(LaunchExports, UpdateCopiesOnDisk) {
    const std::string folder = TempFolder() + "quillon copies";
    CreateDirectoryA(folder.c_str(), nullptr);
    ASSERT_EQ(folder.find('.'), std::string::npos);  // a copy's name numbers every "." of the path
    const std::string source = folder + "\\app.exe", copy1 = folder + "\\app_001.exe", copy7 = folder + "\\app_007.exe";
    for (const std::string& file : {source, copy1, copy7}) std::ofstream(file, std::ios::binary) << (file == source ? "current" : "old");
    HMODULE library = LoadLibraryA("Quillon.dll");
    auto update = DllExport<uint32_t(__stdcall*)(const char*, uint32_t)>(library, "UpdateWTSCopy");
    ASSERT_NE(update, nullptr);

    // A copy that a session holds open is skipped and does not fail the call.
    HANDLE held = CreateFileA(copy7.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_EQ(update(source.c_str(), 1), 1u);
    EXPECT_EQ(ReadFile(copy1), "current");
    CloseHandle(held);
    EXPECT_EQ(ReadFile(copy7), "old");
    FreeLibrary(library);
}

}  // namespace

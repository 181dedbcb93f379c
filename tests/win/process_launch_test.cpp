// LaunchAppAndWaitEx and UpdateWTSCopy through the DLL on real programs and
// files, and what a launch hands to CreateProcessA, captured through the
// system-call table.
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

using Launch = int32_t(__stdcall*)(const char*, const char*, const char*, uint32_t, uint32_t, uint32_t*);
using UpdateCopies = uint32_t(__stdcall*)(const char*, uint32_t);

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return "<missing>";
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteFile(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

// A fresh folder below the temporary folder.
std::string FreshFolder(const char* name) {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    std::string folder = std::string(temp) + name;
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder + "\\";
}

class LaunchExports : public ::testing::Test {
protected:
    void SetUp() override {
        library_ = LoadLibraryA("Quillon.dll");
        ASSERT_NE(library_, nullptr);
        launch_ = DllExport<Launch>(library_, "LaunchAppAndWaitEx");
        update_ = DllExport<UpdateCopies>(library_, "UpdateWTSCopy");
        ASSERT_TRUE(launch_ && update_);
        folder_ = FreshFolder("quillon launch");
        program_ = folder_ + "record_args.exe";
        record_ = folder_ + "record_args.args.txt";
        // A program that an earlier test started without waiting may still be
        // ending and hold its file.
        bool copied = false;
        for (int i = 0; i < 300 && !copied; ++i) {
            copied = CopyFileA((TestExecutableFolder() + "record_args.exe").c_str(), program_.c_str(), FALSE) != FALSE;
            if (!copied) Sleep(100);
        }
        ASSERT_TRUE(copied);
        DeleteFileA(record_.c_str());
    }
    void TearDown() override {
        if (library_) FreeLibrary(library_);
    }

    HMODULE library_ = nullptr;
    Launch launch_ = nullptr;
    UpdateCopies update_ = nullptr;
    std::string folder_, program_, record_;
};

TEST_F(LaunchExports, WaitsAndHandsBackTheExitCode) {
    std::string workFolder = FreshFolder("quillon launch work");
    workFolder.pop_back();  // no trailing backslash
    struct Case {
        const char* name;
        uint32_t hidden;
        std::string workingDirectory;
        std::string expectedDirectory;
        const char* showState;
    } cases[] = {
        {"visible, folder of the program", 0, "", folder_.substr(0, folder_.size() - 1), "5"},
        {"hidden, the caller's folder", 1, workFolder, workFolder, "0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DeleteFileA(record_.c_str());
        uint32_t exitCode = 0xDEAD;
        ASSERT_EQ(launch_(program_.c_str(), "/exit:7 two words", c.workingDirectory.c_str(), 1, c.hidden, &exitCode), 0);
        EXPECT_EQ(exitCode, 7u);
        std::string record = ReadFile(record_);  // written before the program ended
        EXPECT_NE(record.find("command line: \"" + program_ + "\" /exit:7 two words\r\n"), std::string::npos) << record;
        EXPECT_NE(record.find(std::string("show state: ") + c.showState + "\r\n"), std::string::npos) << record;
        EXPECT_NE(record.find("start flags: 0x101\r\n"), std::string::npos) << record;
        std::string directory = "working directory: " + c.expectedDirectory;
        EXPECT_EQ(_strnicmp(record.c_str() + record.find("working directory: "), directory.c_str(), directory.size()), 0)
            << record;
    }
}

TEST_F(LaunchExports, WithoutWaitingOrProgram) {
    uint32_t exitCode = 0xDEAD;
    ASSERT_EQ(launch_(program_.c_str(), "/exit:3", "", 0, 1, &exitCode), 0);
    EXPECT_EQ(exitCode, 0xDEADu);  // not waited for, not touched
    for (int i = 0; i < 300 && GetFileAttributesA(record_.c_str()) == INVALID_FILE_ATTRIBUTES; ++i) Sleep(100);
    EXPECT_NE(ReadFile(record_).find("/exit:3"), std::string::npos);

    EXPECT_EQ(launch_((folder_ + "missing.exe").c_str(), "", "", 1, 0, &exitCode), -1);
    EXPECT_EQ(launch_(nullptr, nullptr, nullptr, 1, 0, nullptr), -1);
    EXPECT_EQ(exitCode, 0xDEADu);
}

// What CreateProcessA received, and which handles were closed afterwards.
struct CreateProcessSpy {
    static inline decltype(quillon::win32::SystemCalls::CreateProcessA) real = nullptr;
    static inline decltype(quillon::win32::SystemCalls::CloseHandle) realClose = nullptr;
    static inline std::string desktop;
    static inline DWORD startFlags, showState, creationFlags;
    static inline BOOL inherit;
    static inline bool hasEnvironment;
    static inline std::vector<HANDLE> opened, closed;

    static BOOL WINAPI CreateProcess(LPCSTR application, LPSTR commandLine, LPSECURITY_ATTRIBUTES processAttributes,
                                     LPSECURITY_ATTRIBUTES threadAttributes, BOOL inheritHandles, DWORD flags,
                                     LPVOID environment, LPCSTR directory, LPSTARTUPINFOA startup,
                                     LPPROCESS_INFORMATION started) {
        desktop = startup->lpDesktop ? startup->lpDesktop : "(none)";
        startFlags = startup->dwFlags;
        showState = startup->wShowWindow;
        creationFlags = flags;
        inherit = inheritHandles;
        hasEnvironment = environment != nullptr || application != nullptr || processAttributes || threadAttributes ||
                         startup->hStdInput || startup->hStdOutput || startup->hStdError;
        BOOL created = real(application, commandLine, processAttributes, threadAttributes, inheritHandles, flags,
                            environment, directory, startup, started);
        if (created) opened = {started->hProcess, started->hThread};
        return created;
    }
    static BOOL WINAPI Close(HANDLE handle) {
        closed.push_back(handle);
        return realClose(handle);
    }
};

TEST_F(LaunchExports, StartupInformationAndHandles) {
    auto& sys = quillon::win32::Sys();
    CreateProcessSpy::real = sys.CreateProcessA;
    CreateProcessSpy::realClose = sys.CloseHandle;
    quillon::win32::ScopedSystemCall spyCreate(sys.CreateProcessA, &CreateProcessSpy::CreateProcess);
    quillon::win32::ScopedSystemCall spyClose(sys.CloseHandle, &CreateProcessSpy::Close);
    struct Case {
        uint32_t hidden, wait;
        const char* desktop;
        DWORD showState, creationFlags;
    } cases[] = {
        {0, 1, "Winsta0\\Default", SW_SHOW, CREATE_NEW_CONSOLE},
        {1, 0, "(none)", SW_HIDE, CREATE_NO_WINDOW | CREATE_NEW_CONSOLE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.hidden ? "hidden" : "visible");
        CreateProcessSpy::opened.clear();
        CreateProcessSpy::closed.clear();
        uint32_t exitCode = 0;
        ASSERT_EQ(quillon::LaunchProgram(program_.c_str(), "", "", c.wait, c.hidden, &exitCode), 0);
        EXPECT_EQ(CreateProcessSpy::desktop, c.desktop);
        EXPECT_EQ(CreateProcessSpy::startFlags, 0x101u);
        EXPECT_EQ(CreateProcessSpy::showState, c.showState);
        EXPECT_EQ(CreateProcessSpy::creationFlags, c.creationFlags);
        EXPECT_EQ(CreateProcessSpy::inherit, TRUE);
        EXPECT_FALSE(CreateProcessSpy::hasEnvironment);
        // Both handles are closed, whether the launch waited or not.
        ASSERT_EQ(CreateProcessSpy::opened.size(), 2u);
        std::sort(CreateProcessSpy::opened.begin(), CreateProcessSpy::opened.end());
        std::sort(CreateProcessSpy::closed.begin(), CreateProcessSpy::closed.end());
        EXPECT_EQ(CreateProcessSpy::closed, CreateProcessSpy::opened);
    }
}

TEST_F(LaunchExports, UpdateCopiesOnDisk) {
    // The folder's own "." shows that copy names change directory names too;
    // the copies' names below assume it is the only one above the file.
    ASSERT_EQ(FreshFolder("").find('.'), std::string::npos);
    std::string folder = FreshFolder("quillon.copies");
    std::string source = folder + "app.exe";
    std::string copy1 = FreshFolder("quillon_001.copies") + "app_001.exe";
    std::string copy7 = FreshFolder("quillon_007.copies") + "app_007.exe";
    WriteFile(source, "current");
    WriteFile(copy1, "old");
    WriteFile(copy7, "old");

    // A copy that a session holds open is skipped and does not fail the call.
    HANDLE held = CreateFileA(copy7.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_EQ(update_(source.c_str(), 1), 1u);
    EXPECT_EQ(ReadFile(copy1), "current");
    CloseHandle(held);
    EXPECT_EQ(ReadFile(copy7), "old");
    EXPECT_EQ(update_(source.c_str(), 1), 1u);
    EXPECT_EQ(ReadFile(copy7), "current");

    // Without the source: overwriting fails at once, deleting still deletes.
    DeleteFileA(source.c_str());
    EXPECT_EQ(update_(source.c_str(), 1), 0u);
    EXPECT_EQ(ReadFile(copy1), "current");
    EXPECT_EQ(update_(source.c_str(), 0), 1u);
    EXPECT_EQ(GetFileAttributesA(copy1.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetFileAttributesA(copy7.c_str()), INVALID_FILE_ATTRIBUTES);

    // A name without "." is its own only "copy": never deleted.
    std::string plain = FreshFolder("quillon_plain") + "app";
    WriteFile(plain, "keep");
    EXPECT_EQ(update_(plain.c_str(), 0), 1u);
    EXPECT_EQ(ReadFile(plain), "keep");
}

}  // namespace

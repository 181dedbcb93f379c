// Placeholders against the real folders of the Wine prefix, and registry
// values that the test writes and removes.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "actions/path_placeholders.h"
#include "installer_package.h"
#include "system/process_launch.h"

namespace {

using quillon::TextString;

// "result text", the text "null" for a null string.
std::string Expand(const std::string& input, int (*operation)(TextString&) = &quillon::ExpandPathPlaceholder) {
    TextString text = input.c_str();
    int result = operation(text);
    return std::to_string(result) + " " + (text.IsNull() ? "null" : text.Text());
}

// A copy of this executable started with kReportFlag exits, before any test
// runs, with the answers of the two module placeholders: 1 for [ModuleFile],
// 2 for [ModuleFolder].
constexpr char kReportFlag[] = "--report-module-placeholders";
const bool kReportedModulePlaceholders = [] {
    if (std::strstr(GetCommandLineA(), kReportFlag) == nullptr) return false;
    TextString file = "[ModuleFile]", folder = "[ModuleFolder]";
    ExitProcess(quillon::ExpandPathPlaceholder(file) + 2 * quillon::ExpandPathPlaceholder(folder));
}();

TEST(PathPlaceholders, FoldersAndFilesOfTheMachine) {
    // "[CommonFilesFolder]", a registry value, is shown by the msiexec check.
    char windows[MAX_PATH + 1] = {}, system[MAX_PATH + 1] = {};
    GetWindowsDirectoryA(windows, sizeof windows);
    GetSystemDirectoryA(system, sizeof system);
    const std::string folder = TestExecutableFolder();
    const struct {
        const char* placeholder;
        std::string expected;
    } cases[] = {
        {"[WinDir]", windows}, {"[WinSysDir]", system}, {"[TempDir]", TempFolder()},
        {"[TempPathClient]", "C:\\Temp"},  // the drive of the Windows directory
        {"[ModuleFile]", folder + "quillon_win_tests.exe"},
        {"[ModuleFolder]", folder.substr(0, folder.size() - 1)},
        // Only a whole exact placeholder is replaced.
        {"[windir]", "[windir]"}, {"[WinSysDir]\\server.exe", "[WinSysDir]\\server.exe"},
    };
    for (const auto& c : cases) EXPECT_EQ(Expand(c.placeholder), "1 " + c.expected) << c.placeholder;
}

TEST(PathPlaceholders, AModuleNameThatIsCutOffIsNoPath) {
    // GetModuleFileNameA is told 255 bytes: a name of 255 characters or more
    // does not fit with its terminator and comes back cut.
    const std::string self = TestExecutableFolder() + "quillon_win_tests.exe";
    const std::string folder = TempFolder() + "quillon-module-path";
    CreateDirectoryA(folder.c_str(), nullptr);
    for (size_t length : {254u, 255u}) {
        std::string program = folder + "\\" + std::string(length - folder.size() - 5, 'q') + ".exe";
        ASSERT_TRUE(CopyFileA(self.c_str(), program.c_str(), FALSE));
        uint32_t answers = 99;
        EXPECT_EQ(quillon::LaunchProgram(program.c_str(), kReportFlag, "", 1, 1, &answers), 0);
        DeleteFileA(program.c_str());
        EXPECT_EQ(answers, length < 255 ? 3u : 0u) << length;
    }
    RemoveDirectoryA(folder.c_str());
}

// "[CommonFilesFolder]" reads its registry value by path: the kinds of value
// it may find (a plain text is shown by the msiexec check), under a scratch
// key removed afterwards.
TEST(RegistryByPath, ValuesAndTypes) {
    const std::string path = "HKEY_CURRENT_USER\\Software\\QuillonTests\\Placeholders\\";
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\QuillonTests\\Placeholders", 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &key, nullptr), ERROR_SUCCESS);
    const struct {
        const char* name;
        DWORD type;
        const char* data;
        DWORD size;
        const char* read;
    } values[] = {
        {"Unterminated", REG_SZ, "abc", 3, "1 abc"},
        {"Smallest", REG_DWORD, "\0\0\0\x80", 4, "1 -2147483648"},
        {"Short", REG_DWORD, "\x05\x00", 2, "1 5"},
        {"Expand", REG_EXPAND_SZ, "%SystemRoot%", 13, "0 "},  // neither text nor number: empty text
        {"Missing", REG_NONE, nullptr, 0, "0 "},
    };
    for (const auto& v : values) {
        if (v.data) RegSetValueExA(key, v.name, 0, v.type, reinterpret_cast<const BYTE*>(v.data), v.size);
        EXPECT_EQ(Expand(path + v.name, &quillon::ReadRegistryValueByPath), v.read) << v.name;
    }
    RegCloseKey(key);
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\QuillonTests");
}

}  // namespace

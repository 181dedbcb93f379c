// Placeholders against the real folders of the Wine prefix, and registry
// values that the test writes and removes.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "actions/path_placeholders.h"

namespace {

using quillon::TextString;

// "result text", the text "null" for a null string.
std::string Expand(const std::string& input, int (*operation)(TextString&) = &quillon::ExpandPathPlaceholder) {
    TextString text = input.c_str();
    int result = operation(text);
    return std::to_string(result) + " " + (text.IsNull() ? "null" : text.Text());
}

std::string ReadByPath(const std::string& path) { return Expand(path, &quillon::ReadRegistryValueByPath); }

// A copy of this executable started with kReportFlag expands the two module
// placeholders, writes their "result text" lines into the file named after
// the flag and ends before any test runs.
constexpr char kReportFlag[] = " --report-module-placeholders=";
const bool kReportedModulePlaceholders = [] {
    const char* flag = std::strstr(GetCommandLineA(), kReportFlag);
    if (flag == nullptr) return false;
    std::ofstream(flag + sizeof kReportFlag - 1, std::ios::binary)
        << Expand("[ModuleFile]") << "\n" << Expand("[ModuleFolder]") << "\n";
    ExitProcess(0);
}();

// Starts `program` with kReportFlag and returns what it reported.
std::string ModulePlaceholdersOf(const std::string& program, const std::string& report) {
    std::string commandLine = "\"" + program + "\"" + kReportFlag + report;
    STARTUPINFOA startup = {sizeof startup};
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return "<not started: " + std::to_string(GetLastError()) + ">";
    WaitForSingleObject(process.hProcess, 60000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    std::stringstream text;
    text << std::ifstream(report, std::ios::binary).rdbuf();
    DeleteFileA(report.c_str());
    return text.str();
}

TEST(PathPlaceholders, FoldersAndFilesOfTheMachine) {
    char windows[MAX_PATH + 1] = {}, system[MAX_PATH + 1] = {}, temp[MAX_PATH + 1] = {}, module[MAX_PATH] = {};
    char common[MAX_PATH] = {};
    DWORD size = sizeof common;
    GetWindowsDirectoryA(windows, sizeof windows);
    GetSystemDirectoryA(system, sizeof system);
    GetTempPathA(sizeof temp, temp);
    GetModuleFileNameA(nullptr, module, MAX_PATH);
    ASSERT_EQ(RegGetValueA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", "CommonFilesDir",
                           RRF_RT_REG_SZ, nullptr, common, &size),
              ERROR_SUCCESS);
    const std::string executable = module;  // the host executable, not the library
    ASSERT_NE(executable.find("quillon_win_tests.exe"), std::string::npos);
    const struct {
        const char* placeholder;
        std::string expected;
    } cases[] = {
        {"[WinDir]", windows}, {"[WinSysDir]", system}, {"[TempDir]", temp},
        {"[TempPathClient]", "C:\\Temp"},  // the drive of the Windows directory
        {"[CommonFilesFolder]", common}, {"[ModuleFile]", executable},
        {"[ModuleFolder]", executable.substr(0, executable.find_last_of('\\'))},
        // Only a whole exact placeholder is replaced.
        {"[windir]", "[windir]"}, {"x[WinDir]", "x[WinDir]"}, {"[WinDir]x", "[WinDir]x"}, {"WinDir", "WinDir"},
        {"[WinSysDir]\\server.exe", "[WinSysDir]\\server.exe"}, {"[ModuleFile] ", "[ModuleFile] "},
        {"[TEMPDIR]", "[TEMPDIR]"}, {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(Expand(c.placeholder), "1 " + c.expected) << c.placeholder;
    EXPECT_NE(std::string(common).find("Common Files"), std::string::npos);
    TextString null;
    EXPECT_EQ(quillon::ExpandPathPlaceholder(null), 1);
    EXPECT_TRUE(null.IsNull());
}

TEST(PathPlaceholders, AModuleNameThatIsCutOffIsNoPath) {
    // GetModuleFileNameA is told 255 bytes: a name of 255 characters or more
    // does not fit with its terminator and comes back cut.
    char self[MAX_PATH] = {}, temp[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    GetTempPathA(MAX_PATH, temp);
    const std::string folder = std::string(temp) + "quillon-module-path";
    CreateDirectoryA(folder.c_str(), nullptr);
    for (size_t length : {254u, 255u}) {
        std::string program = folder + "\\" + std::string(length - folder.size() - 5, 'q') + ".exe";
        ASSERT_TRUE(CopyFileA(self, program.c_str(), FALSE));
        std::string reported = ModulePlaceholdersOf(program, folder + ".txt");
        DeleteFileA(program.c_str());
        EXPECT_EQ(reported, length < 255 ? "1 " + program + "\n1 " + folder + "\n" : "0 null\n0 null\n") << length;
    }
    RemoveDirectoryA(folder.c_str());
}

// Values under scratch keys, removed afterwards.
TEST(RegistryByPath, ValuesTypesAndPaths) {
    const std::string path = "HKEY_CURRENT_USER\\Software\\QuillonTests\\Placeholders\\";
    HKEY user = nullptr, classes = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\QuillonTests\\Placeholders", 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &user, nullptr), ERROR_SUCCESS);
    ASSERT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT, "QuillonTests.Placeholder", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &classes, nullptr), ERROR_SUCCESS);
    const struct {
        const char* name;
        DWORD type;
        const char* data;
        DWORD size;
    } values[] = {
        {"Text", REG_SZ, "C:\\Program Files\\Server", 24}, {"Empty", REG_SZ, "", 1}, {"Unterminated", REG_SZ, "abc", 3},
        {"", REG_SZ, "default value", 14}, {"FortyTwo", REG_DWORD, "\x2A\0\0\0", 4},
        {"AllOnes", REG_DWORD, "\xFF\xFF\xFF\xFF", 4}, {"Smallest", REG_DWORD, "\0\0\0\x80", 4},
        {"Short", REG_DWORD, "\x05\x00", 2}, {"Expand", REG_EXPAND_SZ, "%SystemRoot%", 13},
        {"Multi", REG_MULTI_SZ, "a\0b\0", 5}, {"Binary", REG_BINARY, "\x01\x02", 2},
    };
    for (const auto& v : values)
        RegSetValueExA(user, v.name, 0, v.type, reinterpret_cast<const BYTE*>(v.data), v.size);
    RegSetValueExA(classes, "", 0, REG_SZ, reinterpret_cast<const BYTE*>("class default"), 14);
    RegCloseKey(user);
    RegCloseKey(classes);

    const struct {
        std::string path;
        const char* read;
    } cases[] = {
        {path + "Text", "1 C:\\Program Files\\Server"}, {path + "Empty", "1 "}, {path + "Unterminated", "1 abc"},
        {path, "1 default value"}, {path + "FortyTwo", "1 42"}, {path + "AllOnes", "1 -1"},
        {path + "Smallest", "1 -2147483648"}, {path + "Short", "1 5"},
        {"HKEY_CLASSES_ROOT\\QuillonTests.Placeholder\\", "1 class default"},
        {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\ProgramFilesDir", "1 C:\\Program Files"},
        // Other types, missing keys and values, and hive names other than
        // the five long ones written with their case: empty text.
        {path + "Expand", "0 "}, {path + "Multi", "0 "}, {path + "Binary", "0 "}, {path + "Missing", "0 "},
        {"HKEY_CURRENT_USER\\Software\\QuillonTests\\NoSuchKey\\Text", "0 "},
        {"HKCU\\Software\\QuillonTests\\Placeholders\\Text", "0 "},
        {"hkey_current_user\\Software\\QuillonTests\\Placeholders\\Text", "0 "}, {"NoBackslashAtAll", "0 "}, {"", "0 "},
    };
    for (const auto& c : cases) EXPECT_EQ(ReadByPath(c.path), c.read) << c.path;
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\QuillonTests");
    RegDeleteKeyA(HKEY_CLASSES_ROOT, "QuillonTests.Placeholder");
}

}  // namespace

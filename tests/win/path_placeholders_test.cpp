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

using quillon::ExpandPathPlaceholder;
using quillon::ReadRegistryValueByPath;
using quillon::TextString;

struct Expanded {
    int result;
    std::string text;  // "<null>" for a null string
};

Expanded Expand(const char* input) {
    TextString text = input;
    int result = ExpandPathPlaceholder(text);
    return {result, text.IsNull() ? "<null>" : text.Text()};
}

Expanded ReadByPath(const std::string& path) {
    TextString text = path.c_str();
    int result = ReadRegistryValueByPath(text);
    return {result, text.IsNull() ? "<null>" : text.Text()};
}

// A copy of this executable started with kReportFlag expands the two module
// placeholders, writes "result text" lines into the file named after the flag
// and ends before any test runs.
constexpr char kReportFlag[] = " --report-module-placeholders=";
const bool kReportedModulePlaceholders = [] {
    const char* flag = std::strstr(GetCommandLineA(), kReportFlag);
    if (flag == nullptr) return false;
    {
        std::ofstream out(flag + sizeof kReportFlag - 1, std::ios::binary);
        for (const char* placeholder : {"[ModuleFile]", "[ModuleFolder]"}) {
            Expanded expanded = Expand(placeholder);
            out << expanded.result << " " << expanded.text << "\n";
        }
    }
    ExitProcess(0);
}();

// Starts `program` with kReportFlag and returns what it reported.
std::string ModulePlaceholdersOf(const std::string& program, const std::string& report) {
    DeleteFileA(report.c_str());
    std::string commandLine = "\"" + program + "\"" + kReportFlag + report;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return "<not started: " + std::to_string(GetLastError()) + ">";
    WaitForSingleObject(process.hProcess, 60000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    std::ifstream in(report, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    DeleteFileA(report.c_str());
    return text.str();
}

std::string SystemFolder(UINT(WINAPI* query)(LPSTR, UINT)) {
    char buffer[MAX_PATH + 1] = {};
    query(buffer, sizeof buffer);
    return buffer;
}

TEST(PathPlaceholders, FoldersOfTheMachine) {
    std::string windows = SystemFolder(GetWindowsDirectoryA);
    std::string system = SystemFolder(GetSystemDirectoryA);
    char temp[MAX_PATH + 1] = {};
    GetTempPathA(sizeof temp, temp);
    ASSERT_GT(windows.size(), 3u);

    Expanded winDir = Expand("[WinDir]");
    EXPECT_EQ(winDir.result, 1);
    EXPECT_EQ(winDir.text, windows);
    EXPECT_NE(winDir.text.back(), '\\');

    Expanded sysDir = Expand("[WinSysDir]");
    EXPECT_EQ(sysDir.result, 1);
    EXPECT_EQ(sysDir.text, system);
    EXPECT_NE(sysDir.text.back(), '\\');

    Expanded tempDir = Expand("[TempDir]");
    EXPECT_EQ(tempDir.result, 1);
    EXPECT_EQ(tempDir.text, temp);
    EXPECT_EQ(tempDir.text.back(), '\\');

    // The drive of the Windows directory: C:\windows gives C:\Temp.
    Expanded client = Expand("[TempPathClient]");
    EXPECT_EQ(client.result, 1);
    EXPECT_EQ(client.text, windows.substr(0, windows.find('\\')) + "\\Temp");
    EXPECT_EQ(client.text, "C:\\Temp");
}

TEST(PathPlaceholders, TheHostExecutableNotTheLibrary) {
    char module[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, module, MAX_PATH);
    std::string executable = module;
    ASSERT_NE(executable.find("quillon_win_tests.exe"), std::string::npos);

    Expanded file = Expand("[ModuleFile]");
    EXPECT_EQ(file.result, 1);
    EXPECT_EQ(file.text, executable);

    Expanded folder = Expand("[ModuleFolder]");
    EXPECT_EQ(folder.result, 1);
    EXPECT_EQ(folder.text, executable.substr(0, executable.find_last_of('\\')));
}

TEST(PathPlaceholders, AModuleNameThatIsCutOffIsNoPath) {
    // GetModuleFileNameA is told 255 bytes: a name of 255 characters or more
    // does not fit with its terminator and comes back cut.
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    const std::string folder = std::string(temp) + "quillon-module-path";
    const std::string report = std::string(temp) + "quillon-module-path.txt";
    CreateDirectoryA(folder.c_str(), nullptr);
    for (size_t length : {254u, 255u}) {
        SCOPED_TRACE("path of " + std::to_string(length) + " characters");
        std::string program = folder + "\\" + std::string(length - folder.size() - 5, 'q') + ".exe";
        ASSERT_EQ(program.size(), length);
        ASSERT_TRUE(CopyFileA(self, program.c_str(), FALSE));
        std::string reported = ModulePlaceholdersOf(program, report);
        DeleteFileA(program.c_str());
        if (length < 255) {
            EXPECT_EQ(reported, "1 " + program + "\n1 " + folder + "\n");
        } else {
            EXPECT_EQ(reported, "0 <null>\n0 <null>\n");
        }
    }
    RemoveDirectoryA(folder.c_str());
}

TEST(PathPlaceholders, CommonFilesFolderComesFromTheRegistry) {
    char expected[MAX_PATH] = {};
    DWORD size = sizeof expected;
    ASSERT_EQ(RegGetValueA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", "CommonFilesDir",
                           RRF_RT_REG_SZ, nullptr, expected, &size),
              ERROR_SUCCESS);
    Expanded common = Expand("[CommonFilesFolder]");
    EXPECT_EQ(common.result, 1);
    EXPECT_EQ(common.text, expected);
    EXPECT_NE(common.text.find("Common Files"), std::string::npos);
}

TEST(PathPlaceholders, OnlyAWholeExactPlaceholderIsReplaced) {
    for (const char* text : {"[windir]", "x[WinDir]", "[WinDir]x", "[WinSysDir]\\server.exe", "WinDir", "",
                             "[ModuleFile] ", "[TEMPDIR]"}) {
        SCOPED_TRACE(text);
        Expanded same = Expand(text);
        EXPECT_EQ(same.result, 1);
        EXPECT_EQ(same.text, text);
    }
    TextString null;
    EXPECT_EQ(ExpandPathPlaceholder(null), 1);
    EXPECT_TRUE(null.IsNull());
}

// Values under a scratch key of the current user, removed afterwards.
class RegistryValues : public ::testing::Test {
protected:
    static constexpr const char* kKey = "Software\\QuillonTests\\Placeholders";
    static constexpr const char* kPath = "HKEY_CURRENT_USER\\Software\\QuillonTests\\Placeholders\\";

    void SetUp() override {
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_, nullptr),
                  ERROR_SUCCESS);
    }
    void TearDown() override {
        RegCloseKey(key_);
        RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\QuillonTests");
    }
    void Write(const char* name, DWORD type, const void* data, DWORD size) {
        ASSERT_EQ(RegSetValueExA(key_, name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
    }
    void WriteDword(const char* name, DWORD value) { Write(name, REG_DWORD, &value, sizeof value); }

    HKEY key_ = nullptr;
};

TEST_F(RegistryValues, TextAndNumbers) {
    Write("Text", REG_SZ, "C:\\Program Files\\Server", 24);
    Write("Empty", REG_SZ, "", 1);
    Write("Unterminated", REG_SZ, "abc", 3);  // stored without its zero
    Write("", REG_SZ, "default value", 14);
    WriteDword("FortyTwo", 42);
    WriteDword("AllOnes", 0xFFFFFFFFu);
    WriteDword("Zero", 0);
    WriteDword("Smallest", 0x80000000u);
    Write("Short", REG_DWORD, "\x05\x00", 2);  // fewer bytes than a DWORD

    struct Case {
        const char* name;
        const char* text;
    } cases[] = {{"Text", "C:\\Program Files\\Server"}, {"Empty", ""},          {"Unterminated", "abc"},
                 {"", "default value"},                  {"FortyTwo", "42"},     {"AllOnes", "-1"},
                 {"Zero", "0"},                          {"Smallest", "-2147483648"},
                 {"Short", "5"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Expanded read = ReadByPath(std::string(kPath) + c.name);
        EXPECT_EQ(read.result, 1);
        EXPECT_EQ(read.text, c.text);
    }
}

TEST_F(RegistryValues, OtherTypesAndMissingThingsGiveEmptyText) {
    Write("Expand", REG_EXPAND_SZ, "%SystemRoot%", 13);
    Write("Multi", REG_MULTI_SZ, "a\0b\0", 5);
    Write("Binary", REG_BINARY, "\x01\x02", 2);
    Write("Present", REG_SZ, "yes", 4);

    const std::string cases[] = {
        std::string(kPath) + "Expand",
        std::string(kPath) + "Multi",
        std::string(kPath) + "Binary",
        std::string(kPath) + "Missing",
        "HKEY_CURRENT_USER\\Software\\QuillonTests\\NoSuchKey\\Present",
        // Hive names are the five long names, compared with case.
        "HKCU\\Software\\QuillonTests\\Placeholders\\Present",
        "hkey_current_user\\Software\\QuillonTests\\Placeholders\\Present",
        "HKLM\\SOFTWARE\\X\\Y",
        "NoBackslashAtAll",
        "",
    };
    for (const std::string& path : cases) {
        SCOPED_TRACE(path);
        Expanded read = ReadByPath(path);
        EXPECT_EQ(read.result, 0);
        EXPECT_EQ(read.text, "");
    }
    Expanded present = ReadByPath(std::string(kPath) + "Present");
    EXPECT_EQ(present.result, 1);
    EXPECT_EQ(present.text, "yes");
}

TEST(RegistryByPath, OtherHivesAndTheDefaultValue) {
    Expanded machine = ReadByPath("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\ProgramFilesDir");
    EXPECT_EQ(machine.result, 1);
    EXPECT_NE(machine.text.find("Program Files"), std::string::npos);
    // A trailing backslash names the key's default value.
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT, "QuillonTests.Placeholder", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, "", 0, REG_SZ, reinterpret_cast<const BYTE*>("class default"), 14);
    RegCloseKey(key);
    Expanded classes = ReadByPath("HKEY_CLASSES_ROOT\\QuillonTests.Placeholder\\");
    RegDeleteKeyA(HKEY_CLASSES_ROOT, "QuillonTests.Placeholder");
    EXPECT_EQ(classes.result, 1);
    EXPECT_EQ(classes.text, "class default");
}

}  // namespace

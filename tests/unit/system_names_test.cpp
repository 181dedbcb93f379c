// The names the system services derive from their callers' texts: volume
// roots and launch command lines.
#include <gtest/gtest.h>

#include "system/launch_command.h"
#include "system/volume_root.h"

namespace {

const char* Shown(const quillon::TextString& text) { return text.IsNull() ? "(null)" : text.Text(); }

TEST(SystemNames, VolumeRoot) {
    struct Case {
        const char* path;
        const char* root;
    } cases[] = {
        {"C:\\Program Files\\App\\app.exe", "C:\\"},
        {"\\\\server\\share\\dir\\file", "\\\\server\\share\\"},
        {"\\\\server\\share", "\\"},  // no backslash after the share name
        {"\\\\server", "\\"},
        {"\\\\s\\share\\x", "\\\\s\\share\\"},  // one-letter server name
        {"\\\\\\x\\y\\z", "\\\\\\x\\y\\"},      // the share is searched from index 3 on
        {"\\dir\\sub\\file:stream", "\\dir\\sub\\"},
        {"relative\\file.txt", "\\"},
        {nullptr, "\\"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path ? c.path : "(null)");
        EXPECT_STREQ(Shown(quillon::GetVolumeRoot(c.path)), c.root);
    }
    for (const char* fat : {"FAT", "FAT32", "fat12", "FaTx"}) EXPECT_TRUE(quillon::IsFatFileSystem(fat)) << fat;
    for (const char* other : {"exFAT", "FA", "", "NTFS", static_cast<const char*>(nullptr)})
        EXPECT_FALSE(quillon::IsFatFileSystem(other)) << (other ? other : "(null)");
}

TEST(SystemNames, LaunchCommand) {
    struct Case {
        const char* name;
        const char* program;
        const char* parameters;
        const char* workingDirectory;
        const char* commandLine;
        const char* expectedDirectory;  // "" = none, the caller's current directory
    } cases[] = {
        {"folder from the program", "C:\\Tools\\setup.exe", "/s", "", "\"C:\\Tools\\setup.exe\" /s", "C:\\Tools"},
        {"no backslash, spaces dropped", "  notepad.exe", "", "", "\"notepad.exe\"", ""},
        {"quoted after spaces", "  \"C:\\x.exe\"", "-a b", "", "\"C:\\x.exe\" -a b", "  \"C:"},
        {"caller's folder wins", "C:\\Tools\\setup.exe", "", "D:\\Work", "\"C:\\Tools\\setup.exe\"", "D:\\Work"},
        {"backslash first", "\\setup.exe", "", "", "\"\\setup.exe\"", ""},
        {"all null", nullptr, nullptr, nullptr, "\"\"", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        quillon::LaunchCommand launch = quillon::BuildLaunchCommand(c.program, c.parameters, c.workingDirectory);
        EXPECT_STREQ(Shown(launch.commandLine), c.commandLine);
        EXPECT_STREQ(launch.HasWorkingDirectory() ? launch.workingDirectory.Text() : "", c.expectedDirectory);
    }
}

}  // namespace

// The names the system services derive from their callers' texts: volume
// roots, launch command lines, numbered copy names and server pipe names.
#include <gtest/gtest.h>

#include "system/launch_command.h"
#include "system/numbered_copies.h"
#include "system/server_search.h"
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
        {"file.txt:stream", "file.txt:\\"},
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

TEST(SystemNames, NumberedCopy) {
    struct Case {
        const char* source;
        unsigned number;
        const char* copy;
    } cases[] = {
        {"C:\\App\\app.exe", 1, "C:\\App\\app_001.exe"},
        {"C:\\App\\app.exe", 999, "C:\\App\\app_999.exe"},
        {"D:\\Data.1\\app.exe", 7, "D:\\Data_007.1\\app_007.exe"},
        {"a..b", 10, "a_010._010.b"},
        {"C:\\App\\app", 1, "C:\\App\\app"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.copy);
        EXPECT_STREQ(Shown(quillon::NumberedCopyName(c.source, c.number)), c.copy);
    }
}

TEST(SystemNames, ServerProbePathAndDisplayName) {
    const std::string pipe = "\\PIPE\\QVT\\ZN\\200\\ServiceManager";
    struct Case {
        const char* remoteName;
        const char* displayName;
    } cases[] = {{"\\\\A\\share", "A\\share"}, {"\\NAME", ""}, {nullptr, ""}};  // more in server_search_test.cpp
    for (const Case& c : cases) {
        SCOPED_TRACE(c.remoteName ? c.remoteName : "(null)");
        EXPECT_EQ(Shown(quillon::ServerProbePath(c.remoteName)), (c.remoteName ? c.remoteName : "") + pipe);
        quillon::TextString name = quillon::ServerDisplayName(c.remoteName);
        EXPECT_STREQ(name.IsNull() ? "" : name.Text(), c.displayName);
    }
}

}  // namespace

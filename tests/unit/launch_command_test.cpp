// The command line and working directory that a launch gives CreateProcessA.
#include <gtest/gtest.h>

#include "system/launch_command.h"

namespace {

TEST(LaunchCommand, CommandLineAndWorkingDirectory) {
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
        {"already quoted", "\"C:\\My Tools\\x.exe\"", "", "", "\"C:\\My Tools\\x.exe\"", "\"C:\\My Tools"},
        {"quoted after spaces", "  \"C:\\x.exe\"", "-a b", "", "\"C:\\x.exe\" -a b", "  \"C:"},
        {"folder taken before the spaces go", "  C:\\a\\b.exe", "", "", "\"C:\\a\\b.exe\"", "  C:\\a"},
        {"caller's folder wins", "C:\\Tools\\setup.exe", "", "D:\\Work", "\"C:\\Tools\\setup.exe\"", "D:\\Work"},
        {"backslash first", "\\setup.exe", "", "", "\"\\setup.exe\"", ""},
        {"all null", nullptr, nullptr, nullptr, "\"\"", ""},
        {"only spaces", "   ", "x", "", "\"\" x", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        quillon::LaunchCommand launch = quillon::BuildLaunchCommand(c.program, c.parameters, c.workingDirectory);
        EXPECT_STREQ(launch.commandLine.Text(), c.commandLine);
        EXPECT_EQ(launch.HasWorkingDirectory(), c.expectedDirectory[0] != 0);
        if (c.expectedDirectory[0] != 0) {
            EXPECT_STREQ(launch.workingDirectory.Text(), c.expectedDirectory);
        }
    }
}

}  // namespace

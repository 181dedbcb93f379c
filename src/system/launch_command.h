// The command line and working directory of a program launch
// (LaunchAppAndWaitEx): how the caller's program path, parameters and
// working directory become what CreateProcessA is given.
#pragma once

#include "foundation/text_string.h"

namespace quillon {

struct LaunchCommand {
    // The program between double quotes (unless it already starts with one),
    // then one space and the parameters when there are any.
    TextString commandLine;
    // The caller's directory, or the program text before its last backslash
    // when the caller gave none. Null or empty means "none": the program
    // starts in the caller's current directory.
    TextString workingDirectory;

    bool HasWorkingDirectory() const { return workingDirectory.GetLength() > 0; }
};

// Null texts count as empty.
LaunchCommand BuildLaunchCommand(const char* program, const char* parameters, const char* workingDirectory);

}  // namespace quillon

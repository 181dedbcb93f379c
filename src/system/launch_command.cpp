#include "system/launch_command.h"

#include <cstring>

namespace quillon {
namespace {

bool IsEmpty(const char* text) { return text == nullptr || text[0] == 0; }

}  // namespace

LaunchCommand BuildLaunchCommand(const char* program, const char* parameters, const char* workingDirectory) {
    LaunchCommand launch;
    if (IsEmpty(workingDirectory)) {
        // Taken from the program text as given, before the leading spaces go:
        // a quoted program keeps its opening quote here.
        const char* lastBackslash = program == nullptr ? nullptr : std::strrchr(program, '\\');
        if (lastBackslash != nullptr) launch.workingDirectory.Assign(program, static_cast<int>(lastBackslash - program));
    } else {
        launch.workingDirectory = workingDirectory;
    }

    const char* start = program == nullptr ? "" : program;
    while (*start == ' ') ++start;
    if (*start == '"') {
        launch.commandLine = start;
    } else {
        launch.commandLine = "\"";
        launch.commandLine.Append(start);
        launch.commandLine.Append("\"");
    }
    if (!IsEmpty(parameters)) {
        launch.commandLine.Append(" ");
        launch.commandLine.Append(parameters);
    }
    return launch;
}

}  // namespace quillon

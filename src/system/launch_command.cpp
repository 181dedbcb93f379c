#include "system/launch_command.h"

namespace quillon {
namespace {

bool IsEmpty(const char* text) { return text == nullptr || text[0] == 0; }

}  // namespace

LaunchCommand BuildLaunchCommand(const char* program, const char* parameters, const char* workingDirectory) {
    LaunchCommand launch;
    TextString path = program;
    if (IsEmpty(workingDirectory)) {
        // Taken from the program text as given, before the leading spaces go:
        // a quoted program keeps its opening quote here.
        int lastBackslash = -1;
        for (int at = path.Find('\\'); at >= 0; at = path.Find('\\', at + 1)) lastBackslash = at;
        if (lastBackslash > 0) launch.workingDirectory = path.Mid(0, lastBackslash);
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

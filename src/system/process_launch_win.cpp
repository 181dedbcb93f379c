#include "system/process_launch.h"

#include <windows.h>

#include <vector>

#include "platform/win32/owners.h"
#include "platform/win32/system_calls.h"
#include "system/launch_command.h"

namespace quillon {

using win32::Sys;

int32_t LaunchProgram(const char* program, const char* parameters, const char* workingDirectory, uint32_t wait,
                      uint32_t hidden, uint32_t* exitCode) {
    LaunchCommand launch = BuildLaunchCommand(program, parameters, workingDirectory);
    if (launch.commandLine.IsNull()) return kLaunchFailed;
    // CreateProcessA may write into the command line.
    const char* text = launch.commandLine.Text();
    std::vector<char> commandLine(text, text + launch.commandLine.GetLength() + 1);

    // Visible programs go to the interactive desktop, even when the installer
    // runs elsewhere; hidden ones get no window at all.
    char interactiveDesktop[] = "Winsta0\\Default";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.lpDesktop = hidden ? nullptr : interactiveDesktop;
    startup.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES;
    startup.wShowWindow = hidden ? SW_HIDE : SW_SHOW;
    DWORD creationFlags = hidden ? CREATE_NO_WINDOW | CREATE_NEW_CONSOLE : CREATE_NEW_CONSOLE;

    PROCESS_INFORMATION started = {};
    if (!Sys().CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, creationFlags, nullptr,
                              launch.HasWorkingDirectory() ? launch.workingDirectory.Text() : nullptr, &startup,
                              &started)) {
        return kLaunchFailed;
    }
    win32::UniqueHandle process(started.hProcess);
    win32::UniqueHandle thread(started.hThread);

    if (wait) {
        Sys().WaitForSingleObject(process.Get(), INFINITE);
        DWORD code = 0;
        if (Sys().GetExitCodeProcess(process.Get(), &code) && exitCode != nullptr) *exitCode = code;
    }
    return 0;
}

}  // namespace quillon

// Program launch for install scripts (LaunchAppAndWaitEx): starts a program
// visible on the interactive desktop or hidden without a window, and waits
// for its exit code if asked. Windows builds only; the command line and
// working directory come from launch_command.h.
#pragma once

#include <cstdint>

namespace quillon {

constexpr int32_t kLaunchFailed = -1;

// 0 when the process was created, -1 when it could not be. With `wait`
// nonzero the call returns only after the program ended and stores its exit
// code through `exitCode` (when not null).
int32_t LaunchProgram(const char* program, const char* parameters, const char* workingDirectory, uint32_t wait,
                      uint32_t hidden, uint32_t* exitCode /* out */);

}  // namespace quillon

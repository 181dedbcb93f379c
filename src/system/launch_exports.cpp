// Exports for launching a program and keeping numbered copies in step.
#include <cstdint>

#include "platform/export_guard.h"
#include "system/numbered_copies.h"
#include "system/process_launch.h"

extern "C" int32_t __stdcall LaunchAppAndWaitEx(const char* program, const char* parameters,
                                                 const char* workingDirectory, uint32_t wait, uint32_t hidden,
                                                 uint32_t* exitCode) noexcept {
    return quillon::Guarded(quillon::kLaunchFailed, [&] {
        return quillon::LaunchProgram(program, parameters, workingDirectory, wait, hidden, exitCode);
    });
}

extern "C" uint32_t __stdcall UpdateWTSCopy(const char* source, uint32_t mode) noexcept {
    return quillon::Guarded(0u, [&] { return quillon::UpdateNumberedCopiesOnDisk(source, mode); });
}

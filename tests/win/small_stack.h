// Runs work on a thread with a small stack (256 KB reserved, as a custom
// action's or worker's thread may have), to prove that deep input fails
// cleanly instead of overflowing the stack.
#pragma once

#include <windows.h>

#include <functional>

namespace quillon::test {

constexpr SIZE_T kSmallStack = 256 * 1024;

// True when the thread ran `work` to its end within `timeoutMs`; a stack
// overflow kills the whole process, so a false here means a hang or a
// thread that could not start.
inline bool RunOnSmallStack(const std::function<void()>& work, DWORD timeoutMs) {
    struct Call {
        static DWORD WINAPI Run(LPVOID parameter) {
            (*static_cast<const std::function<void()>*>(parameter))();
            return 0;
        }
    };
    HANDLE thread = ::CreateThread(nullptr, kSmallStack, &Call::Run, const_cast<std::function<void()>*>(&work),
                                   STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
    if (thread == nullptr) return false;
    bool finished = ::WaitForSingleObject(thread, timeoutMs) == WAIT_OBJECT_0;
    DWORD exitCode = 1;
    if (finished) ::GetExitCodeThread(thread, &exitCode);
    ::CloseHandle(thread);
    return finished && exitCode == 0;
}

}  // namespace quillon::test

// Threads for the tests: one that runs work while the test watches it (a
// script's message box), and one with a small stack (256 KB reserved, as a
// custom action's or worker's thread may have), to prove that deep input
// fails cleanly instead of overflowing the stack.
#pragma once

#include <windows.h>

#include <functional>

namespace quillon::test {

constexpr SIZE_T kSmallStack = 256 * 1024;

// Starts `work`, which must outlive the thread, with `stackSize` bytes of
// stack reserved (0: the default); null when the thread cannot start.
inline HANDLE StartThread(const std::function<void()>& work, SIZE_T stackSize = 0) {
    struct Call {
        static DWORD WINAPI Run(LPVOID parameter) {
            (*static_cast<const std::function<void()>*>(parameter))();
            return 0;
        }
    };
    return ::CreateThread(nullptr, stackSize, &Call::Run, const_cast<std::function<void()>*>(&work),
                          STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
}

// True when the thread ended within `timeoutMs`; one that did not is
// terminated, so that nothing it uses is freed under it. Closes the handle.
inline bool Joined(HANDLE thread, DWORD timeoutMs) {
    if (thread == nullptr) return false;
    bool finished = ::WaitForSingleObject(thread, timeoutMs) == WAIT_OBJECT_0;
    if (!finished) ::TerminateThread(thread, 1);
    ::CloseHandle(thread);
    return finished;
}

// True when `work` ran to its end on a small stack within `timeoutMs`; a
// stack overflow kills the whole process, so a false here means a hang or a
// thread that could not start.
inline bool RunOnSmallStack(const std::function<void()>& work, DWORD timeoutMs) {
    return Joined(StartThread(work, kSmallStack), timeoutMs);
}

}  // namespace quillon::test

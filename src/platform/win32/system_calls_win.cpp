// The process's table of system calls (see system_calls.h).
#include "platform/win32/system_calls.h"

namespace quillon::win32 {

SystemCalls& Sys() {
    // Made on first use, so code that runs during static initialisation of
    // another file finds it filled.
    static SystemCalls calls;
    return calls;
}

}  // namespace quillon::win32

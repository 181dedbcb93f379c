// The guard every export and COM method runs its body in. No C++ exception,
// not even std::bad_alloc, may cross the ABI into an installer or a script
// host, so any exception becomes the entry point's fixed failure value.
#pragma once

#include <utility>

namespace quillon {

template <typename Result, typename Body>
Result Guarded(Result failure, Body&& body) noexcept {
    try {
        return std::forward<Body>(body)();
    } catch (...) {
        return failure;
    }
}

}  // namespace quillon

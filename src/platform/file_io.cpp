// The part of the file seam that is the same on every system: the switch
// that lets tests make a save fail at a chosen step.
#include "platform/file_io.h"

#include <atomic>

namespace quillon::platform {
namespace {
std::atomic<int> gWriteFault{static_cast<int>(WriteFault::kNone)};
}  // namespace

void InjectWriteFault(WriteFault fault) { gWriteFault.store(static_cast<int>(fault)); }

WriteFault InjectedWriteFault() { return static_cast<WriteFault>(gWriteFault.load()); }

}  // namespace quillon::platform

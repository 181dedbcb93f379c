// Reading a property of any length through GetPropertyRaw: the same for every
// binding of the installer.
#include "installer/installer_bridge.h"

#include <cstdlib>

namespace quillon {
namespace {

constexpr uint32_t kSuccess = 0;              // ERROR_SUCCESS
constexpr uint32_t kNotEnoughMemory = 8;      // ERROR_NOT_ENOUGH_MEMORY
constexpr unsigned long kLargestCapacity = 0x7FFFFFFEul;

}  // namespace

int InstallerBridge::ReadInstallerProperty(InstallerHandle handle, TextString& text, uint32_t* failure) {
    unsigned long capacity = 256;
    char* buffer = nullptr;
    uint32_t result = kNotEnoughMemory;
    bool answered = false;  // `result` is the installer's answer, not a failed allocation
    // A value grows between two calls only when something else writes it at
    // the same time; the bound keeps a misbehaving installer from holding the
    // action in this loop.
    for (int attempt = 0; attempt < 16; ++attempt) {
        // The installer reports the length without the terminating zero; the
        // buffer gets one byte more. A length at the top of the range cannot
        // be offered and counts as a failed allocation.
        if (capacity >= kLargestCapacity) {
            result = kNotEnoughMemory;
            answered = false;
            break;
        }
        capacity += 1;
        char* grown = static_cast<char*>(std::realloc(buffer, capacity));
        if (grown == nullptr) {
            result = kNotEnoughMemory;
            answered = false;
            break;
        }
        buffer = grown;
        unsigned long offered = capacity;
        result = GetPropertyRaw(handle, text.Text(), buffer, &offered);
        answered = true;
        if (result != kMoreData) break;
        if (offered < capacity) offered = capacity;  // always offer more than before
        capacity = offered;
    }
    int read = 0;
    if (result == kSuccess) {
        // Never trust the terminator beyond what the buffer holds.
        buffer[capacity - 1] = 0;
        text.Assign(buffer);
        read = text.IsNull() ? 0 : 1;
    } else {
        text.Clear();
    }
    std::free(buffer);
    if (read == 0 && failure != nullptr) *failure = answered ? result : 0;
    return read;
}

}  // namespace quillon

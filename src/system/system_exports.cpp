// Exports of the system services. Nothing, not even an allocation failure,
// leaves them as an exception.
#include <cstdint>

#include "installer/msi_bridge.h"
#include "platform/export_guard.h"
#include "system/file_rights.h"
#include "system/reboot_query.h"

using quillon::InstallerHandle;
using quillon::MsiBridge;

extern "C" unsigned int __stdcall IsRebootRequired(InstallerHandle handle) noexcept {
    return quillon::Guarded(0u, [&] {
        MsiBridge bridge;
        return quillon::RunIsRebootRequired(bridge, handle);
    });
}

extern "C" int __stdcall SetFileRights(const char* path) noexcept {
    return quillon::Guarded(0, [&] { return quillon::SetFileRights(path); });
}

extern "C" int __stdcall CheckFileRights(const char* path) noexcept {
    return quillon::Guarded(0, [&] { return quillon::CheckFileRights(path); });
}

extern "C" unsigned int __stdcall SetRights(InstallerHandle handle) noexcept {
    return quillon::Guarded(0u, [&] {
        MsiBridge bridge;
        return quillon::RunSetRights(bridge, handle);
    });
}

extern "C" unsigned int __stdcall CheckRights(InstallerHandle handle) noexcept {
    return quillon::Guarded(0u, [&] {
        MsiBridge bridge;
        return quillon::RunCheckRights(bridge, handle);
    });
}

// The first argument of the script-style wrappers is not used. SetRightsAPI
// answers 1 for any failure; CheckRightsAPI answers an error code, and the
// only exception its body can raise is running out of memory.
constexpr uint32_t kNotEnoughMemory = 8;  // ERROR_NOT_ENOUGH_MEMORY

extern "C" uint32_t __stdcall SetRightsAPI(uint32_t, uint32_t* errorSlot, const char* path) noexcept {
    return quillon::Guarded(uint32_t{1}, [&] { return quillon::RunSetRightsApi(errorSlot, path); });
}

extern "C" uint32_t __stdcall CheckRightsAPI(uint32_t, uint32_t* resultSlot, const char* path) noexcept {
    return quillon::Guarded(kNotEnoughMemory, [&] { return quillon::RunCheckRightsApi(resultSlot, path); });
}

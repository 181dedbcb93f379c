#include "system/net_api_bridge.h"

#include <windows.h>

#include "platform/win32/system_calls.h"

namespace quillon {

using win32::Sys;

NetApiBridge::~NetApiBridge() {
    if (module_ != nullptr) Sys().FreeLibrary(static_cast<HMODULE>(module_));
}

bool NetApiBridge::Bind() {
    if (module_ != nullptr) return true;
    HMODULE module = Sys().LoadLibraryA("netapi32.dll");
    if (module == nullptr) return false;
    module_ = module;
    getInfo_ = reinterpret_cast<GetInfoFunction>(reinterpret_cast<void*>(Sys().GetProcAddress(module, "NetWkstaGetInfo")));
    freeBuffer_ = reinterpret_cast<FreeFunction>(reinterpret_cast<void*>(Sys().GetProcAddress(module, "NetApiBufferFree")));
    return true;
}

uint32_t NetApiBridge::GetWorkstationInfo(const wchar_t* serverName, uint32_t level, unsigned char** buffer) {
    if (!Bind() || getInfo_ == nullptr) return kUnavailable;
    return getInfo_(const_cast<wchar_t*>(serverName), level, buffer);
}

void NetApiBridge::FreeWorkstationInfo(unsigned char* buffer) {
    if (buffer != nullptr && freeBuffer_ != nullptr) freeBuffer_(buffer);
}

}  // namespace quillon

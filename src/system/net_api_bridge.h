// NetApiBridge: the server search's way to the workstation information of
// netapi32.dll, which is bound at run time (never imported) so that the
// library loads where the network client is missing. One bridge serves one
// search: the first call loads the library, the destructor frees it.
// Windows builds only.
#pragma once

#include <cstdint>

namespace quillon {

class NetApiBridge {
public:
    static constexpr uint32_t kUnavailable = 2140;  // NERR_InternalError

    NetApiBridge() = default;
    virtual ~NetApiBridge();
    NetApiBridge(const NetApiBridge&) = delete;
    NetApiBridge& operator=(const NetApiBridge&) = delete;

    // NetWkstaGetInfo, unchanged; 2140 when the library or entry is missing.
    // A buffer handed out must go back through FreeWorkstationInfo.
    uint32_t GetWorkstationInfo(const wchar_t* serverName, uint32_t level, unsigned char** buffer /* out */);
    // NetApiBufferFree; does nothing for null or without the library.
    void FreeWorkstationInfo(unsigned char* buffer);

private:
    bool Bind();

    using GetInfoFunction = uint32_t(__stdcall*)(wchar_t*, unsigned long, unsigned char**);
    using FreeFunction = uint32_t(__stdcall*)(void*);

    void* module_ = nullptr;
    GetInfoFunction getInfo_ = nullptr;
    FreeFunction freeBuffer_ = nullptr;
};

}  // namespace quillon

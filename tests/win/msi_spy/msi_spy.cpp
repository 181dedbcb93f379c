// A stand-in for msi.dll that tests hand to a bridge: it forwards the three
// entries the bridge uses to the real msi.dll and records each call, so a test
// can count the installer calls a read makes and the capacities it offers. It
// can also play an installer whose reads never fit or whose writes fail.
#include <windows.h>

#include <cstring>

namespace {

struct Calls {
    int getCount;
    unsigned long capacities[32];  // capacity offered by each get call
    int setCount;
    char setNames[32][64];         // property named by each set call
};

Calls calls;
bool alwaysMoreData = false;  // plays an installer whose value never fits
UINT setAnswer = 0;           // when not 0, every set call fails with it

FARPROC Real(const char* name) {
    static HMODULE msi = LoadLibraryA("msi.dll");
    return msi ? GetProcAddress(msi, name) : nullptr;
}

}  // namespace

extern "C" __declspec(dllexport) void SpyReset() {
    std::memset(&calls, 0, sizeof calls);
    alwaysMoreData = false;
    setAnswer = 0;
}

extern "C" __declspec(dllexport) void SpyAlwaysMoreData() { alwaysMoreData = true; }

extern "C" __declspec(dllexport) void SpyFailSets(UINT answer) { setAnswer = answer; }

extern "C" __declspec(dllexport) const Calls* SpyCalls() { return &calls; }

extern "C" __declspec(dllexport) UINT __stdcall MsiGetPropertyA(unsigned long handle, const char* name, char* buffer,
                                                               unsigned long* capacity) {
    if (calls.getCount < 32) calls.capacities[calls.getCount] = capacity ? *capacity : 0;
    ++calls.getCount;
    if (alwaysMoreData) {
        // Reports a length the buffer offered already holds, as a confused
        // installer might.
        if (capacity) *capacity = 10;
        return ERROR_MORE_DATA;
    }
    auto real = reinterpret_cast<UINT(__stdcall*)(unsigned long, const char*, char*, unsigned long*)>(
        reinterpret_cast<void*>(Real("MsiGetPropertyA")));
    return real ? real(handle, name, buffer, capacity) : ERROR_CALL_NOT_IMPLEMENTED;
}

extern "C" __declspec(dllexport) UINT __stdcall MsiSetPropertyA(unsigned long handle, const char* name, const char* value) {
    if (calls.setCount < 32) lstrcpynA(calls.setNames[calls.setCount], name ? name : "(null)", 64);
    ++calls.setCount;
    if (setAnswer != 0) return setAnswer;
    auto real = reinterpret_cast<UINT(__stdcall*)(unsigned long, const char*, const char*)>(
        reinterpret_cast<void*>(Real("MsiSetPropertyA")));
    return real ? real(handle, name, value) : ERROR_CALL_NOT_IMPLEMENTED;
}

extern "C" __declspec(dllexport) BOOL __stdcall MsiGetMode(unsigned long handle, int mode) {
    auto real = reinterpret_cast<BOOL(__stdcall*)(unsigned long, int)>(reinterpret_cast<void*>(Real("MsiGetMode")));
    return real ? real(handle, mode) : FALSE;
}

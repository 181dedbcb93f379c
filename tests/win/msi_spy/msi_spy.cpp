// A stand-in for msi.dll that tests bind a bridge to: it exports the three
// entries the bridge looks up and forwards them to the real msi.dll. Nothing
// else loads it, so a test can watch a bridge load and release it.
#include <windows.h>

namespace {

FARPROC Real(const char* name) {
    static HMODULE msi = LoadLibraryA("msi.dll");
    return msi ? GetProcAddress(msi, name) : nullptr;
}

}  // namespace

extern "C" __declspec(dllexport) UINT __stdcall MsiGetPropertyA(unsigned long handle, const char* name, char* buffer,
                                                               unsigned long* capacity) {
    auto real = reinterpret_cast<UINT(__stdcall*)(unsigned long, const char*, char*, unsigned long*)>(
        reinterpret_cast<void*>(Real("MsiGetPropertyA")));
    return real ? real(handle, name, buffer, capacity) : ERROR_CALL_NOT_IMPLEMENTED;
}

extern "C" __declspec(dllexport) UINT __stdcall MsiSetPropertyA(unsigned long handle, const char* name, const char* value) {
    auto real = reinterpret_cast<UINT(__stdcall*)(unsigned long, const char*, const char*)>(
        reinterpret_cast<void*>(Real("MsiSetPropertyA")));
    return real ? real(handle, name, value) : ERROR_CALL_NOT_IMPLEMENTED;
}

extern "C" __declspec(dllexport) BOOL __stdcall MsiGetMode(unsigned long handle, int mode) {
    auto real = reinterpret_cast<BOOL(__stdcall*)(unsigned long, int)>(reinterpret_cast<void*>(Real("MsiGetMode")));
    return real ? real(handle, mode) : FALSE;
}

// An export of a loaded DLL as a typed function pointer; null when missing.
#pragma once

#include <windows.h>

template <typename Function>
Function DllExport(HMODULE module, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

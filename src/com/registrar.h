// The registration of the COM server: the classes' registration scripts,
// stored as "REGISTRY" resources of the module, and the type library that
// the module embeds as "TYPELIB" 1.
#pragma once

#include <windows.h>

namespace quillon::com {

// DllRegisterServer: each class's script in register mode, in the order of
// the class table, stopping at the first failure; then the type library.
HRESULT RegisterServer();

// DllUnregisterServer: each class's script in unregister mode, then the
// type library; failures are ignored and the answer is S_OK.
HRESULT UnregisterServer();

}  // namespace quillon::com

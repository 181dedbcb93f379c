// The module's entry points: its load and unload notification, and the four
// exports of an in-process COM server. No exception leaves them.
#include <windows.h>
#include <objbase.h>

#include "com/class_table.h"
#include "com/com_module.h"
#include "com/registrar.h"
#include "platform/export_guard.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) {
        quillon::com::ModuleStart(instance);
        ::DisableThreadLibraryCalls(instance);
    } else if (reason == DLL_PROCESS_DETACH) {
        // A non-null `reserved` means the process is ending.
        quillon::com::ModuleEnd(reserved != nullptr);
    }
    return TRUE;
}

STDAPI DllCanUnloadNow() {
    return quillon::Guarded<HRESULT>(S_FALSE, [] { return quillon::com::ModuleLockCount() == 0 ? S_OK : S_FALSE; });
}

STDAPI DllGetClassObject(REFCLSID classId, REFIID iid, LPVOID* object) {
    return quillon::Guarded<HRESULT>(E_OUTOFMEMORY, [&] { return quillon::com::GetClassObject(classId, iid, object); });
}

STDAPI DllRegisterServer() {
    return quillon::Guarded<HRESULT>(E_OUTOFMEMORY, [] { return quillon::com::RegisterServer(); });
}

STDAPI DllUnregisterServer() {
    return quillon::Guarded<HRESULT>(S_OK, [] { return quillon::com::UnregisterServer(); });
}

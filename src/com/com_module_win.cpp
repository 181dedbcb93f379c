#include "com/com_module.h"

#include <new>

#include "com/class_table.h"

namespace quillon::com {
namespace {

HINSTANCE moduleInstance = nullptr;
LONG lockCount = 0;

// Constructed before DllMain runs and destroyed after it has ended the
// module, so the locks exist whenever anything can reach them.
CriticalSection classObjectLock;
CriticalSection typeInfoLock;

struct Cleanup {
    void (*routine)(void*);
    void* context;
    Cleanup* next;
};
Cleanup* cleanups = nullptr;  // the latest first; changed under typeInfoLock

}  // namespace

void ModuleStart(HINSTANCE instance) { moduleInstance = instance; }

void ModuleEnd(bool processEnding) {
    if (processEnding) return;
    ReleaseClassObjects();
    ScopedLock lock(typeInfoLock);
    while (Cleanup* cleanup = cleanups) {
        cleanups = cleanup->next;
        cleanup->routine(cleanup->context);
        delete cleanup;
    }
}

HINSTANCE ModuleInstance() { return moduleInstance; }

void LockModule() { ::InterlockedIncrement(&lockCount); }
void UnlockModule() { ::InterlockedDecrement(&lockCount); }
LONG ModuleLockCount() { return ::InterlockedCompareExchange(&lockCount, 0, 0); }

CriticalSection& ClassObjectLock() { return classObjectLock; }
CriticalSection& TypeInfoLock() { return typeInfoLock; }

bool AddCleanup(void (*routine)(void*), void* context) {
    auto* cleanup = new (std::nothrow) Cleanup{routine, context, nullptr};
    if (cleanup == nullptr) return false;
    ScopedLock lock(typeInfoLock);
    cleanup->next = cleanups;
    cleanups = cleanup;
    return true;
}

}  // namespace quillon::com

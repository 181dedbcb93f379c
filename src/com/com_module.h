// The COM module: the state that the automation objects, their class
// objects and the registration share across the whole process.
//
// The lock count says whether the DLL may be unloaded: every live object,
// enumerator, client-held class object and LockServer lock adds one. It is
// changed only atomically. Class objects and type information are created
// under two module-wide locks. Clean-up routines (the type information
// holders add theirs) run once when the module ends, the latest first.
#pragma once

#include <windows.h>

namespace quillon::com {

void ModuleStart(HINSTANCE instance);
// Releases the class objects and runs the clean-up routines. When the whole
// process is ending nothing is released: other DLLs may already be gone,
// and the memory goes with the process.
void ModuleEnd(bool processEnding);

HINSTANCE ModuleInstance();

void LockModule();
void UnlockModule();
LONG ModuleLockCount();

// A critical section that lives as long as the process.
class CriticalSection {
public:
    CriticalSection() { ::InitializeCriticalSection(&section_); }
    ~CriticalSection() { ::DeleteCriticalSection(&section_); }
    CriticalSection(const CriticalSection&) = delete;
    CriticalSection& operator=(const CriticalSection&) = delete;
    void Enter() { ::EnterCriticalSection(&section_); }
    void Leave() { ::LeaveCriticalSection(&section_); }

private:
    CRITICAL_SECTION section_;
};

class ScopedLock {
public:
    explicit ScopedLock(CriticalSection& section) : section_(section) { section_.Enter(); }
    ~ScopedLock() { section_.Leave(); }
    ScopedLock(const ScopedLock&) = delete;
    ScopedLock& operator=(const ScopedLock&) = delete;

private:
    CriticalSection& section_;
};

CriticalSection& ClassObjectLock();
CriticalSection& TypeInfoLock();

// Runs `routine(context)` when the module ends. False when no memory was
// left to remember it.
bool AddCleanup(void (*routine)(void* context), void* context);

}  // namespace quillon::com

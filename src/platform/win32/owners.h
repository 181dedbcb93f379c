// Owners of what Win32 hands out to be released: each releases its resource
// through the system-call table when it goes out of scope, on every path, so
// a test that counts the table's allocations and releases sees them balance.
//
//   LocalBuffer  LocalAlloc / LocalFree          HeapBuffer     HeapAlloc / HeapFree
//   UniqueHandle CloseHandle                     RegistryKey    RegCloseKey
//   LoadedLibrary FreeLibrary                    AllocatedSid   AllocateAndInitializeSid / FreeSid
//   NetworkEnumeration WNetCloseEnum
//
// Receive() releases what is held and hands out the slot for a call's out
// parameter: `Sys().RegOpenKeyExA(hive, path, 0, KEY_READ, key.Receive())`.
#pragma once

#include <cstddef>

#include "platform/win32/system_calls.h"

namespace quillon::win32 {

template <typename Resource, typename Traits>
class Owner {
public:
    Owner() = default;
    explicit Owner(Resource value) : value_(value) {}
    ~Owner() { Reset(); }
    Owner(Owner&& other) noexcept : value_(other.Release()) {}
    Owner& operator=(Owner&& other) noexcept {
        if (this != &other) Reset(other.Release());
        return *this;
    }
    Owner(const Owner&) = delete;
    Owner& operator=(const Owner&) = delete;

    Resource Get() const { return value_; }
    explicit operator bool() const { return Traits::IsValid(value_); }

    // Hands the resource over; the owner then holds nothing.
    Resource Release() {
        Resource value = value_;
        value_ = Traits::None();
        return value;
    }
    void Reset(Resource value = Traits::None()) {
        if (Traits::IsValid(value_)) Traits::Free(value_);
        value_ = value;
    }
    Resource* Receive() {
        Reset();
        return &value_;
    }

private:
    Resource value_ = Traits::None();
};

struct HandleTraits {
    static HANDLE None() { return nullptr; }
    // CreateFileA answers INVALID_HANDLE_VALUE, most other calls null.
    static bool IsValid(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Free(HANDLE h) { Sys().CloseHandle(h); }
};
using UniqueHandle = Owner<HANDLE, HandleTraits>;

struct RegistryKeyTraits {
    static HKEY None() { return nullptr; }
    static bool IsValid(HKEY key) { return key != nullptr; }
    static void Free(HKEY key) { Sys().RegCloseKey(key); }
};
// Only keys that a call opened or created: never a predefined root such as
// HKEY_LOCAL_MACHINE.
using RegistryKey = Owner<HKEY, RegistryKeyTraits>;

struct LibraryTraits {
    static HMODULE None() { return nullptr; }
    static bool IsValid(HMODULE module) { return module != nullptr; }
    static void Free(HMODULE module) { Sys().FreeLibrary(module); }
};
using LoadedLibrary = Owner<HMODULE, LibraryTraits>;

struct SidTraits {
    static PSID None() { return nullptr; }
    static bool IsValid(PSID sid) { return sid != nullptr; }
    static void Free(PSID sid) { Sys().FreeSid(sid); }
};
// A SID made by AllocateAndInitializeSid (not one inside another buffer).
using AllocatedSid = Owner<PSID, SidTraits>;

struct NetworkEnumerationTraits {
    static HANDLE None() { return nullptr; }
    static bool IsValid(HANDLE h) { return h != nullptr; }
    static void Free(HANDLE h) { Sys().WNetCloseEnum(h); }
};
using NetworkEnumeration = Owner<HANDLE, NetworkEnumerationTraits>;

struct LocalTraits {
    static HLOCAL None() { return nullptr; }
    static bool IsValid(HLOCAL memory) { return memory != nullptr; }
    static void Free(HLOCAL memory) { Sys().LocalFree(memory); }
};

// A zero-filled LocalAlloc block; empty when the allocation failed.
class LocalBuffer : public Owner<HLOCAL, LocalTraits> {
public:
    LocalBuffer() = default;
    static LocalBuffer Allocate(size_t bytes) {
        LocalBuffer buffer;
        buffer.Reset(Sys().LocalAlloc(LPTR, bytes));
        return buffer;
    }
    template <typename T = unsigned char>
    T* As() const {
        return static_cast<T*>(Get());
    }
};

struct HeapTraits {
    static void* None() { return nullptr; }
    static bool IsValid(void* memory) { return memory != nullptr; }
    static void Free(void* memory) { Sys().HeapFree(Sys().GetProcessHeap(), 0, memory); }
};

// A zero-filled block of the process heap; empty when the allocation failed.
class HeapBuffer : public Owner<void*, HeapTraits> {
public:
    HeapBuffer() = default;
    static HeapBuffer Allocate(size_t bytes) {
        HeapBuffer buffer;
        buffer.Reset(Sys().HeapAlloc(Sys().GetProcessHeap(), HEAP_ZERO_MEMORY, bytes));
        return buffer;
    }
    template <typename T = unsigned char>
    T* As() const {
        return static_cast<T*>(Get());
    }
};

}  // namespace quillon::win32

// Owners of what Win32 hands out to be released: each releases its resource
// through the system-call table when it goes out of scope, on every path, so
// a test that counts the table's allocations and releases sees them balance.
//
//   LocalBuffer  LocalAlloc / LocalFree
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

// Resources whose "none" is null and that one entry of the table releases.
template <typename Resource, auto Release>
struct ReleasedBy {
    static Resource None() { return nullptr; }
    static bool IsValid(Resource resource) { return resource != nullptr; }
    static void Free(Resource resource) { (Sys().*Release)(resource); }
};

// Only keys that a call opened or created: never a predefined root such as
// HKEY_LOCAL_MACHINE.
using RegistryKey = Owner<HKEY, ReleasedBy<HKEY, &SystemCalls::RegCloseKey>>;
using LoadedLibrary = Owner<HMODULE, ReleasedBy<HMODULE, &SystemCalls::FreeLibrary>>;
// A SID made by AllocateAndInitializeSid (not one inside another buffer).
using AllocatedSid = Owner<PSID, ReleasedBy<PSID, &SystemCalls::FreeSid>>;
using NetworkEnumeration = Owner<HANDLE, ReleasedBy<HANDLE, &SystemCalls::WNetCloseEnum>>;

// An owned, zero-filled block of memory; empty when the allocation failed.
template <typename Traits>
class MemoryBlock : public Owner<void*, Traits> {
public:
    static MemoryBlock Allocate(size_t bytes) {
        MemoryBlock block;
        block.Reset(Traits::Allocate(bytes));
        return block;
    }
    template <typename T = unsigned char>
    T* As() const {
        return static_cast<T*>(this->Get());
    }
};

struct LocalTraits : ReleasedBy<HLOCAL, &SystemCalls::LocalFree> {
    static HLOCAL Allocate(size_t bytes) { return Sys().LocalAlloc(LPTR, bytes); }
};
using LocalBuffer = MemoryBlock<LocalTraits>;

}  // namespace quillon::win32

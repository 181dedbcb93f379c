// The owners of the Win32 seam release what they hold exactly once, through
// the system-call table, on every path.
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/win32/owners.h"

namespace {

using namespace quillon::win32;

// Counts the releases that go through the table while it lives.
struct Releases {
    static inline int count = 0;
    static inline SystemCalls real;
    SystemCalls saved = Sys();
    Releases() {
        count = 0;
        real = Sys();
        Sys().CloseHandle = [](HANDLE h) { return ++count, real.CloseHandle(h); };
        Sys().RegCloseKey = [](HKEY k) { return ++count, real.RegCloseKey(k); };
        Sys().FreeLibrary = [](HMODULE m) { return ++count, real.FreeLibrary(m); };
        Sys().FreeSid = [](PSID s) { return ++count, real.FreeSid(s); };
        Sys().LocalFree = [](HLOCAL m) { return ++count, real.LocalFree(m); };
        Sys().HeapFree = [](HANDLE heap, DWORD flags, LPVOID m) { return ++count, real.HeapFree(heap, flags, m); };
    }
    ~Releases() { Sys() = saved; }
};

TEST(Win32Owners, ReleaseOnceThroughTheTable) {
    Releases releases;
    {
        UniqueHandle event(Sys().CreateEventA(nullptr, TRUE, FALSE, nullptr));
        UniqueHandle none(INVALID_HANDLE_VALUE);  // a failed CreateFileA: nothing to close
        RegistryKey key;
        ASSERT_EQ(Sys().RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software", 0, KEY_READ, key.Receive()), ERROR_SUCCESS);
        LoadedLibrary library(Sys().LoadLibraryA("msi.dll"));
        SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
        AllocatedSid sid;
        ASSERT_TRUE(Sys().AllocateAndInitializeSid(&world, 1, 0, 0, 0, 0, 0, 0, 0, 0, sid.Receive()));
        LocalBuffer local = LocalBuffer::Allocate(16);
        LocalBuffer moved = LocalBuffer::Allocate(16);
        local = std::move(moved);  // releases the first block; `moved` holds nothing now
        HeapBuffer heap = HeapBuffer::Allocate(16);
        ASSERT_TRUE(event && key && library && sid && local && heap);
        EXPECT_FALSE(none || moved);
        EXPECT_EQ(local.As()[15] | heap.As()[15], 0);  // zero-filled
        EXPECT_EQ(Releases::count, 1);
        ASSERT_EQ(Sys().RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software", 0, KEY_READ, key.Receive()), ERROR_SUCCESS);
        EXPECT_EQ(Releases::count, 2);  // Receive released the key held before
    }
    EXPECT_EQ(Releases::count, 8);
}

}  // namespace

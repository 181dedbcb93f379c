// The owners of the Win32 seam release what they hold exactly once, through
// the system-call table, on every path.
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/win32/owners.h"

namespace {

using namespace quillon::win32;

TEST(Win32Owners, ReleaseOnceThroughTheTable) {
    static int releases = 0;
    static SystemCalls real = Sys();
    struct Restore {
        SystemCalls saved = Sys();
        ~Restore() { Sys() = saved; }
    } restore;
    Sys().CloseHandle = [](HANDLE h) { return ++releases, real.CloseHandle(h); };
    Sys().RegCloseKey = [](HKEY k) { return ++releases, real.RegCloseKey(k); };
    Sys().FreeLibrary = [](HMODULE m) { return ++releases, real.FreeLibrary(m); };
    Sys().FreeSid = [](PSID s) { return ++releases, real.FreeSid(s); };
    Sys().LocalFree = [](HLOCAL m) { return ++releases, real.LocalFree(m); };
    Sys().HeapFree = [](HANDLE heap, DWORD flags, LPVOID m) { return ++releases, real.HeapFree(heap, flags, m); };
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
        EXPECT_EQ(releases, 1);
        ASSERT_EQ(Sys().RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software", 0, KEY_READ, key.Receive()), ERROR_SUCCESS);
        EXPECT_EQ(releases, 2);  // Receive released the key held before
    }
    EXPECT_EQ(releases, 8);
}

}  // namespace

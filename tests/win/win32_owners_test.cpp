// The owners of the Win32 seam release what they hold exactly once, through
// the system-call table, on every path. One owner of each kind: the handle
// owner, which also knows INVALID_HANDLE_VALUE; the owners released by one
// table entry (a registry key stands for libraries, SIDs and enumerations);
// and the memory blocks.
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
    Sys().LocalFree = [](HLOCAL m) { return ++releases, real.LocalFree(m); };
    {
        UniqueHandle event(Sys().CreateEventA(nullptr, TRUE, FALSE, nullptr));
        UniqueHandle none(INVALID_HANDLE_VALUE);  // a failed CreateFileA: nothing to close
        RegistryKey key;
        ASSERT_EQ(Sys().RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software", 0, KEY_READ, key.Receive()), ERROR_SUCCESS);
        LocalBuffer local = LocalBuffer::Allocate(16);
        LocalBuffer moved = LocalBuffer::Allocate(16);
        local = std::move(moved);  // releases the first block; `moved` holds nothing now
        ASSERT_TRUE(event && key && local);
        EXPECT_FALSE(none || moved);
        EXPECT_EQ(local.As()[15], 0);  // zero-filled
        EXPECT_EQ(releases, 1);
        ASSERT_EQ(Sys().RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software", 0, KEY_READ, key.Receive()), ERROR_SUCCESS);
        EXPECT_EQ(releases, 2);  // Receive released the key held before
    }
    EXPECT_EQ(releases, 5);
}

}  // namespace

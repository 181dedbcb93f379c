// The msi.dll binding of the installer bridge against a real installer
// session, and bridges whose library is missing or lacks the installer's
// entries. The read algorithm itself is tested natively.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "installer/msi_bridge.h"
#include "installer_package.h"

namespace {

using quillon::MsiBridge;
using quillon::TextString;

// A bridge bound to another library than msi.dll.
class BridgeTo : public MsiBridge {
public:
    explicit BridgeTo(const char* library) : MsiBridge(library) {}
};

TEST(MsiBridge, ForwardsToTheBoundLibrary) {
    InstallerPackage package;
    ASSERT_TRUE(package.IsOpen());
    ASSERT_EQ(MsiSetMode(package.Handle(), MSIRUNMODE_REBOOTATEND, TRUE), static_cast<UINT>(ERROR_SUCCESS));
    struct Case {
        const char* library;
        bool binds;
        uint32_t setAnswer;  // also what a read fails with
        int runMode;
    } cases[] = {{"msi.dll", true, 0, 1},
                 {"quillon_no_such_library.dll", false, 1114, 0},
                 {"kernel32.dll", true, 1114, 0}};  // loads, but has none of the entries
    for (const Case& c : cases) {
        SCOPED_TRACE(c.library);
        BridgeTo bridge(c.library);
        package.Set("PRESENT", "here");
        EXPECT_EQ(bridge.Bind(), c.binds);
        EXPECT_EQ(bridge.Bind(), c.binds);  // a failed load is tried again, and fails again
        EXPECT_EQ(bridge.SetInstallerProperty(package.Handle(), "PRESENT", "changed"), c.setAnswer);
        EXPECT_EQ(package.Get("PRESENT"), c.setAnswer ? "here" : "changed");
        EXPECT_EQ(bridge.GetInstallerMode(package.Handle(), MsiBridge::kRunModeRebootAtEnd), c.runMode);
        char buffer[8] = "intact";
        unsigned long capacity = sizeof buffer;
        EXPECT_EQ(bridge.GetPropertyRaw(package.Handle(), "PRESENT", buffer, &capacity), c.setAnswer);
        EXPECT_STREQ(buffer, c.setAnswer ? "intact" : "changed");
        EXPECT_EQ(capacity, c.setAnswer ? sizeof buffer : 7u);
    }

    MsiBridge bridge;
    for (size_t length : {0u, 257u, 5000u}) {
        SCOPED_TRACE("length " + std::to_string(length));
        package.Set("LONG_VALUE", std::string(length, 'z'));
        TextString text = "LONG_VALUE";
        EXPECT_EQ(bridge.ReadInstallerProperty(package.Handle(), text), 1);
        EXPECT_EQ(std::string(text.Text()), std::string(length, 'z'));
    }
    // The installer's own answers pass through unchanged.
    TextString nullName;
    EXPECT_EQ(bridge.ReadInstallerProperty(package.Handle(), nullName), 0);
    EXPECT_EQ(bridge.SetInstallerProperty(0xDEAD, "X", "1"), static_cast<uint32_t>(ERROR_INVALID_HANDLE));
    EXPECT_EQ(bridge.GetInstallerMode(0xDEAD, MsiBridge::kRunModeRebootAtEnd), 0);
}

// A library with the installer's three entries that forwards them to msi.dll
// (tests/win/msi_spy): nothing else loads it, so a test sees it bound and freed.
TEST(MsiBridge, EachBoundBridgeHoldsAndReleasesOneReference) {
    constexpr const char* kSpyLibrary = "quillon_msi_spy.dll";
    ASSERT_EQ(GetModuleHandleA(kSpyLibrary), nullptr);
    {
        BridgeTo unbound(kSpyLibrary);  // no operation: nothing loaded, nothing released
    }
    EXPECT_EQ(GetModuleHandleA(kSpyLibrary), nullptr);
    {
        BridgeTo first(kSpyLibrary);
        ASSERT_TRUE(first.Bind());
        {
            BridgeTo second(kSpyLibrary);
            ASSERT_TRUE(second.Bind());
            ASSERT_TRUE(second.Bind());  // bound once, not loaded again
        }
        EXPECT_NE(GetModuleHandleA(kSpyLibrary), nullptr);
    }
    EXPECT_EQ(GetModuleHandleA(kSpyLibrary), nullptr);
}

}  // namespace

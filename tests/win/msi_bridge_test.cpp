// The msi.dll binding of the installer bridge against a real installer
// session: long values, unset properties, failing handles, and a bridge whose
// library is missing or lacks the installer's entries. The read algorithm
// itself is tested natively (tests/unit/installer_bridge_test.cpp).
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

// A library with the installer's three entries that forwards them to msi.dll
// (tests/win/msi_spy): nothing else loads it, so a test sees it bound and freed.
constexpr const char* kSpyLibrary = "quillon_msi_spy.dll";

TEST(MsiBridge, ReadsLongValuesThroughMsiDll) {
    InstallerPackage package;
    ASSERT_TRUE(package.IsOpen());
    MsiBridge bridge;
    for (size_t length : {256u, 257u, 5000u}) {
        SCOPED_TRACE("length " + std::to_string(length));
        std::string value(length, 'z');
        package.Set("LONG_VALUE", value);
        TextString text = "LONG_VALUE";
        EXPECT_EQ(bridge.ReadInstallerProperty(package.Handle(), text), 1);
        EXPECT_EQ(std::string(text.Text()), value);
    }
}

TEST(MsiBridge, UnsetPropertyReadsAsEmptyAndBadReadsAsNull) {
    InstallerPackage package;
    ASSERT_TRUE(package.IsOpen());
    MsiBridge bridge;

    TextString unset = "QUILLON_NEVER_SET";
    EXPECT_EQ(bridge.ReadInstallerProperty(package.Handle(), unset), 1);
    ASSERT_FALSE(unset.IsNull());
    EXPECT_STREQ(unset.Text(), "");

    // A null name is the installer's to reject.
    TextString nullName;
    EXPECT_EQ(bridge.ReadInstallerProperty(package.Handle(), nullName), 0);
    EXPECT_TRUE(nullName.IsNull());

    // An invalid handle: the installer's own error passes through unchanged.
    TextString badHandle = "ProductCode";
    EXPECT_EQ(bridge.ReadInstallerProperty(0xDEAD, badHandle), 0);
    EXPECT_TRUE(badHandle.IsNull());
    EXPECT_EQ(bridge.SetInstallerProperty(0xDEAD, "X", "1"), static_cast<uint32_t>(ERROR_INVALID_HANDLE));
    EXPECT_EQ(bridge.GetInstallerMode(0xDEAD, MsiBridge::kRunModeRebootAtEnd), 0);
}

TEST(MsiBridge, ForwardsSetAndRunMode) {
    InstallerPackage package;
    ASSERT_TRUE(package.IsOpen());
    MsiBridge bridge;
    EXPECT_EQ(bridge.SetInstallerProperty(package.Handle(), "QUILLON_SET", "value 1"), 0u);
    EXPECT_EQ(package.Get("QUILLON_SET"), "value 1");
    EXPECT_EQ(bridge.SetInstallerProperty(package.Handle(), "QUILLON_SET", ""), 0u);
    EXPECT_EQ(package.Get("QUILLON_SET"), "");

    EXPECT_EQ(bridge.GetInstallerMode(package.Handle(), MsiBridge::kRunModeRebootAtEnd), 0);
    ASSERT_EQ(MsiSetMode(package.Handle(), MSIRUNMODE_REBOOTATEND, TRUE), static_cast<UINT>(ERROR_SUCCESS));
    EXPECT_EQ(bridge.GetInstallerMode(package.Handle(), MsiBridge::kRunModeRebootAtEnd), 1);
}

TEST(MsiBridge, MissingLibraryAnswers1114AndZero) {
    InstallerPackage package;
    ASSERT_TRUE(package.IsOpen());
    package.Set("PRESENT", "here");
    BridgeTo bridge("quillon_no_such_library.dll");

    EXPECT_FALSE(bridge.Bind());
    TextString text = "PRESENT";
    EXPECT_EQ(bridge.ReadInstallerProperty(package.Handle(), text), 0);
    EXPECT_TRUE(text.IsNull());
    EXPECT_EQ(bridge.SetInstallerProperty(package.Handle(), "PRESENT", "changed"), 1114u);
    EXPECT_EQ(package.Get("PRESENT"), "here");
    EXPECT_EQ(bridge.GetInstallerMode(package.Handle(), MsiBridge::kRunModeRebootAtEnd), 0);

    char buffer[8] = "intact";
    unsigned long capacity = sizeof buffer;
    EXPECT_EQ(bridge.GetPropertyRaw(package.Handle(), "PRESENT", buffer, &capacity), 1114u);
    EXPECT_STREQ(buffer, "intact");
    EXPECT_EQ(capacity, sizeof buffer);
    EXPECT_FALSE(bridge.Bind());  // still trying, still failing
}

TEST(MsiBridge, LibraryWithoutTheEntriesBindsButAnswersUnavailable) {
    InstallerPackage package;
    ASSERT_TRUE(package.IsOpen());
    BridgeTo bridge("kernel32.dll");
    EXPECT_TRUE(bridge.Bind());
    TextString text = "ProductCode";
    EXPECT_EQ(bridge.ReadInstallerProperty(package.Handle(), text), 0);
    EXPECT_TRUE(text.IsNull());
    EXPECT_EQ(bridge.SetInstallerProperty(package.Handle(), "X", "1"), 1114u);
    EXPECT_EQ(bridge.GetInstallerMode(package.Handle(), MsiBridge::kRunModeRebootAtEnd), 0);
}

TEST(MsiBridge, EachBoundBridgeHoldsAndReleasesOneReference) {
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

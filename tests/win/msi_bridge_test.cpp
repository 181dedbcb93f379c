// The installer property bridge against a real installer session: reads of
// every length, unset properties, failing handles, and a bridge whose library
// is missing or lacks the installer's entries.
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

constexpr const char* kSpyLibrary = "quillon_msi_spy.dll";

// The call log of the counting stand-in for msi.dll (tests/win/msi_spy).
struct SpyCalls {
    int getCount;
    unsigned long capacities[32];
    int setCount;
    char setNames[32][64];
};

class Spy {
public:
    Spy() : module_(LoadLibraryA(kSpyLibrary)) {
        if (module_) {
            reset_ = reinterpret_cast<void (*)()>(reinterpret_cast<void*>(GetProcAddress(module_, "SpyReset")));
            calls_ = reinterpret_cast<const SpyCalls* (*)()>(reinterpret_cast<void*>(GetProcAddress(module_, "SpyCalls")));
        }
    }
    ~Spy() {
        if (module_) FreeLibrary(module_);
    }
    bool Loaded() const { return reset_ && calls_; }
    void AlwaysMoreData() const {
        reinterpret_cast<void (*)()>(reinterpret_cast<void*>(GetProcAddress(module_, "SpyAlwaysMoreData")))();
    }
    void Reset() const { reset_(); }
    const SpyCalls& Calls() const { return *calls_(); }

private:
    HMODULE module_;
    void (*reset_)() = nullptr;
    const SpyCalls* (*calls_)() = nullptr;
};

TEST(MsiBridge, ReadsValuesOfEveryLengthWithAtMostOneRetry) {
    InstallerPackage package;
    ASSERT_TRUE(package.IsOpen());
    Spy spy;
    ASSERT_TRUE(spy.Loaded());
    BridgeTo bridge(kSpyLibrary);

    struct Case {
        size_t length;
        int calls;
        unsigned long firstCapacity;
        unsigned long secondCapacity;
    } cases[] = {{0, 1, 257, 0}, {1, 1, 257, 0}, {256, 1, 257, 0}, {257, 2, 257, 258}, {258, 2, 257, 259},
                 {5000, 2, 257, 5001}};
    for (const Case& c : cases) {
        SCOPED_TRACE("length " + std::to_string(c.length));
        std::string value(c.length, 'v');
        for (size_t i = 0; i < value.size(); i += 7) value[i] = static_cast<char>('a' + i % 26);
        package.Set("LONG_VALUE", value);
        spy.Reset();
        TextString text = "LONG_VALUE";
        EXPECT_EQ(bridge.ReadInstallerProperty(package.Handle(), text), 1);
        ASSERT_FALSE(text.IsNull());
        EXPECT_EQ(std::string(text.Text()), value);
        EXPECT_EQ(spy.Calls().getCount, c.calls);
        EXPECT_EQ(spy.Calls().capacities[0], c.firstCapacity);
        if (c.calls == 2) {
            EXPECT_EQ(spy.Calls().capacities[1], c.secondCapacity);
        }
    }

    // The production bridge reads the same values through msi.dll itself.
    MsiBridge real;
    std::string long257(257, 'z');
    package.Set("LONG_VALUE", long257);
    TextString text = "LONG_VALUE";
    EXPECT_EQ(real.ReadInstallerProperty(package.Handle(), text), 1);
    EXPECT_EQ(std::string(text.Text()), long257);
}

TEST(MsiBridge, GivesUpOnAnInstallerThatNeverReportsEnoughRoom) {
    InstallerPackage package;
    ASSERT_TRUE(package.IsOpen());
    Spy spy;
    ASSERT_TRUE(spy.Loaded());
    BridgeTo bridge(kSpyLibrary);
    spy.Reset();
    spy.AlwaysMoreData();
    TextString text = "ProductCode";
    EXPECT_EQ(bridge.ReadInstallerProperty(package.Handle(), text), 0);
    EXPECT_TRUE(text.IsNull());
    // Each retry offers more than the one before, and the retries end.
    int calls = spy.Calls().getCount;
    EXPECT_GT(calls, 1);
    EXPECT_LE(calls, 32);
    for (int i = 1; i < calls && i < 32; ++i) EXPECT_GT(spy.Calls().capacities[i], spy.Calls().capacities[i - 1]);
    spy.Reset();
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

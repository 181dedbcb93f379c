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
    const std::string changed(257, 'z');  // more than the first offer: msi.dll reports the length needed
    for (const Case& c : cases) {
        SCOPED_TRACE(c.library);
        BridgeTo bridge(c.library);
        package.Set("PRESENT", "here");
        EXPECT_EQ(bridge.Bind(), c.binds);
        EXPECT_EQ(bridge.Bind(), c.binds);  // a failed load is tried again, and fails again
        EXPECT_EQ(bridge.SetInstallerProperty(package.Handle(), "PRESENT", changed.c_str()), c.setAnswer);
        EXPECT_EQ(package.Get("PRESENT"), c.setAnswer ? "here" : changed);
        EXPECT_EQ(bridge.GetInstallerMode(package.Handle(), MsiBridge::kRunModeRebootAtEnd), c.runMode);
        quillon::TextString text = "PRESENT";
        uint32_t failure = 0;
        EXPECT_EQ(bridge.ReadInstallerProperty(package.Handle(), text, &failure), c.setAnswer ? 0 : 1);
        EXPECT_EQ(failure, c.setAnswer);
        EXPECT_EQ(text.IsNull() ? "(null)" : std::string(text.Text()), c.setAnswer ? "(null)" : changed);
    }
}

}  // namespace

// Reading installer properties of any length, and the reboot query, over the
// shared installer double.
#include <gtest/gtest.h>

#include <string>

#include "installer_double.h"
#include "system/reboot_query.h"

namespace {

using quillon::TextString;
using quillon::test::InstallerDouble;

TEST(InstallerBridge, ReadsValuesOfEveryLengthWithAtMostOneRetry) {
    struct Case {
        size_t length;
        std::vector<unsigned long> offered;
    } cases[] = {{0, {257}},          {1, {257}},          {256, {257}},
                 {257, {257, 258}},   {258, {257, 259}},   {5000, {257, 5001}}};
    for (const Case& c : cases) {
        SCOPED_TRACE("length " + std::to_string(c.length));
        InstallerDouble installer;
        std::string value(c.length, 'v');
        for (size_t i = 0; i < value.size(); i += 7) value[i] = static_cast<char>('a' + i % 26);
        installer.properties["LONG_VALUE"] = value;
        TextString text = "LONG_VALUE";
        EXPECT_EQ(installer.ReadInstallerProperty(InstallerDouble::kHandle, text), 1);
        ASSERT_FALSE(text.IsNull());
        EXPECT_EQ(std::string(text.Text()), value);
        EXPECT_EQ(installer.offered, c.offered);
    }
}

TEST(InstallerBridge, FailedReadsLeaveTheTextNull) {
    struct Case {
        const char* what;
        const char* property;  // nullptr: a null name
        quillon::InstallerHandle handle;
        bool available;
        bool alwaysMoreData;
        uint32_t failure;  // the failing call's answer, handed to the caller
    } cases[] = {
        {"a null name, which the installer rejects", nullptr, InstallerDouble::kHandle, true, false, 87},
        {"an invalid handle", "PRESENT", 7, true, false, 6},
        {"no installer library", "PRESENT", InstallerDouble::kHandle, false, false, 1114},
        {"an installer that never reports enough room", "PRESENT", InstallerDouble::kHandle, true, true, 234},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        InstallerDouble installer;
        installer.available = c.available;
        installer.alwaysMoreData = c.alwaysMoreData;
        installer.properties["PRESENT"] = "here";
        TextString text;
        if (c.property) text = c.property;
        uint32_t failure = 0;
        EXPECT_EQ(installer.ReadInstallerProperty(c.handle, text, &failure), 0);
        EXPECT_TRUE(text.IsNull());
        EXPECT_EQ(failure, c.failure);
        // Each retry offers more than the one before, and the retries end.
        EXPECT_LE(installer.offered.size(), 16u);
        for (size_t i = 1; i < installer.offered.size(); ++i) EXPECT_GT(installer.offered[i], installer.offered[i - 1]);
    }
}

TEST(InstallerBridge, UnsetPropertyReadsAsEmptyNotNull) {
    InstallerDouble installer;
    TextString unset = "NEVER_SET";
    EXPECT_EQ(installer.ReadInstallerProperty(InstallerDouble::kHandle, unset), 1);
    ASSERT_FALSE(unset.IsNull());
    EXPECT_STREQ(unset.Text(), "");
}

TEST(RebootQuery, PublishesOnlyAnAnswerOfExactlyOne) {
    struct Case {
        int answer;
        bool available;
        uint32_t setAnswer;
        uint32_t result;
        const char* written;  // nullptr: nothing stored
    } cases[] = {{1, true, 0, 1, "1"}, {0, true, 0, 1, "0"}, {2, true, 0, 1, "0"}, {-1, true, 0, 1, "0"},
                 {1, true, 1, 0, nullptr}, {1, false, 0, 0, nullptr}};
    for (const Case& c : cases) {
        SCOPED_TRACE("answer " + std::to_string(c.answer) + ", set answer " + std::to_string(c.setAnswer) +
                     (c.available ? "" : ", no installer"));
        InstallerDouble installer;
        installer.available = c.available;
        installer.runModes[InstallerDouble::kRunModeRebootAtEnd] = c.answer;
        if (c.setAnswer != 0) installer.setAnswers["REBOOT_REQUIRED"] = c.setAnswer;
        EXPECT_EQ(quillon::RunIsRebootRequired(installer, InstallerDouble::kHandle), c.result);
        if (c.written) {
            EXPECT_EQ(installer.Get("REBOOT_REQUIRED"), c.written);
        } else {
            EXPECT_EQ(installer.properties.count("REBOOT_REQUIRED"), 0u);
        }
    }
}

}  // namespace

// Reading installer properties of any length, and the reboot query, over the
// shared installer double.
#include <gtest/gtest.h>

#include <string>

#include "installer_double.h"
#include "system/reboot_query.h"

namespace {

using quillon::TextString;
using quillon::test::InstallerDouble;

TEST(InstallerBridge, ReadsValuesOfEveryLengthWithBoundedRetries) {
    constexpr auto kHandle = InstallerDouble::kHandle;
    constexpr uint32_t kRead = 99;  // a successful read leaves `failure` alone
    struct Case {
        const char* what;
        int length;        // of the value of VALUE; -1: unset
        const char* name;  // nullptr: a null name
        quillon::InstallerHandle handle;
        bool available;
        unsigned long neverFits;  // 0: values fit; else the length reported each time
        uint32_t failure;  // the answer that failed, 0 for want of memory, or kRead
        std::vector<unsigned long> offered;
    } cases[] = {
        {"unset", -1, "VALUE", kHandle, true, 0, kRead, {257}},
        {"fits exactly", 256, "VALUE", kHandle, true, 0, kRead, {257}},
        {"one byte too many", 257, "VALUE", kHandle, true, 0, kRead, {257, 258}},
        {"long", 5000, "VALUE", kHandle, true, 0, kRead, {257, 5001}},
        {"a null name, which the installer rejects", 1, nullptr, kHandle, true, 0, 87, {257}},
        {"an invalid handle", 1, "VALUE", 7, true, 0, 6, {257}},
        {"no installer library", 1, "VALUE", kHandle, false, 0, 1114, {}},
        {"a length at the top of the range, never allocated", 1, "VALUE", kHandle, true, 0x7FFFFFFE, 0, {257}},
        {"an installer that never reports enough room", 1, "VALUE", kHandle, true, 10, 234,
         {257, 258, 259, 260, 261, 262, 263, 264, 265, 266, 267, 268, 269, 270, 271, 272}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        InstallerDouble installer;
        installer.available = c.available;
        installer.alwaysMoreData = c.neverFits != 0;
        installer.moreDataLength = c.neverFits;
        std::string value(c.length < 0 ? 0 : c.length, 'v');
        for (size_t i = 0; i < value.size(); i += 7) value[i] = static_cast<char>('a' + i % 26);
        if (c.length >= 0) installer.properties["VALUE"] = value;
        TextString text;
        if (c.name) text = c.name;
        uint32_t failure = kRead;
        EXPECT_EQ(installer.ReadInstallerProperty(c.handle, text, &failure), c.failure == kRead ? 1 : 0);
        EXPECT_EQ(failure, c.failure);
        EXPECT_EQ(installer.offered, c.offered);
        EXPECT_EQ(text.IsNull() ? "(null)" : std::string(text.Text()), c.failure == kRead ? value : "(null)");
    }
}

TEST(RebootQuery, PublishesOnlyAnAnswerOfExactlyOne) {
    struct Case {
        int answer;
        bool available;
        uint32_t setAnswer;
        uint32_t result;
        const char* written;  // nullptr: nothing stored
    } cases[] = {{1, true, 0, 1, "1"},     {0, true, 0, 1, "0"},      {2, true, 0, 1, "0"},
                 {-1, true, 0, 1, "0"},    {1, true, 1, 0, nullptr},  {1, false, 0, 0, nullptr}};
    for (const Case& c : cases) {
        SCOPED_TRACE("answer " + std::to_string(c.answer) + ", set answer " + std::to_string(c.setAnswer) +
                     (c.available ? "" : ", no installer"));
        InstallerDouble installer;
        installer.available = c.available;
        installer.runModes[InstallerDouble::kRunModeRebootAtEnd] = c.answer;
        if (c.setAnswer != 0) installer.setAnswers["REBOOT_REQUIRED"] = c.setAnswer;
        EXPECT_EQ(quillon::RunIsRebootRequired(installer, InstallerDouble::kHandle), c.result);
        EXPECT_EQ(installer.properties.count("REBOOT_REQUIRED"), c.written ? 1u : 0u);
        EXPECT_EQ(installer.Get("REBOOT_REQUIRED"), c.written ? c.written : "");
    }
}

}  // namespace

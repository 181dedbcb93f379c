// Reading installer properties of any length, and the actions that read and
// write them (the reboot query, CompareVersions), over the shared installer
// double.
#include <gtest/gtest.h>

#include <string>

#include "actions/installer_actions.h"
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
        bool available;
        unsigned long neverFits;  // 0: values fit; else the length reported each time
        uint32_t failure;  // the answer that failed, 0 for want of memory, or kRead
        std::vector<unsigned long> offered;
    } cases[] = {
        {"unset", -1, true, 0, kRead, {257}},
        {"fits exactly", 256, true, 0, kRead, {257}},
        {"one byte too many", 257, true, 0, kRead, {257, 258}},
        {"no installer library", 1, false, 0, 1114, {}},
        {"a length at the top of the range, never allocated", 1, true, 0x7FFFFFFE, 0, {257}},
        {"an installer that never reports enough room", 1, true, 10, 234,
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
        TextString text = "VALUE";
        uint32_t failure = kRead;
        EXPECT_EQ(installer.ReadInstallerProperty(kHandle, text, &failure), c.failure == kRead ? 1 : 0);
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

TEST(CompareVersions, WritesTheCodeOrAnswersTheFailure) {
    constexpr uint32_t kAnswered = 0xFFFFFFFF;  // the installer answers as it would
    constexpr uint32_t kInstallFailure = quillon::kInstallFailure;
    const struct {
        const char* name;
        uint32_t readAnswer;  // of COMPARE_VERSION2
        uint32_t writeAnswer;
        uint32_t answer;
        const char* result;
    } cases[] = {
        {"both read, the code written", kAnswered, kAnswered, 0, "1"},
        {"a read answering ERROR_INVALID_HANDLE", 6, kAnswered, 6, "untouched"},
        {"a write answering ERROR_FUNCTION_FAILED", kAnswered, 1627, 1627, "untouched"},
        // The installer would take this answer for "skip the remaining actions".
        {"a read answering ERROR_NO_MORE_ITEMS", 259, kAnswered, kInstallFailure, "untouched"},
        {"a write answering ERROR_NO_MORE_ITEMS", kAnswered, 259, kInstallFailure, "untouched"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        InstallerDouble installer;
        installer.properties = {{"COMPARE_VERSION1", "2.10"}, {"COMPARE_VERSION2", "2.9"},
                                {"VERSION_COMPARE_RESULT", "untouched"}};
        if (c.readAnswer != kAnswered) installer.getAnswers["COMPARE_VERSION2"] = c.readAnswer;
        if (c.writeAnswer != kAnswered) installer.setAnswers["VERSION_COMPARE_RESULT"] = c.writeAnswer;
        EXPECT_EQ(quillon::RunCompareVersions(installer, installer.kHandle), c.answer);
        EXPECT_EQ(installer.Get("VERSION_COMPARE_RESULT"), c.result);
    }
}

}  // namespace

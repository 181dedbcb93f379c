// CompareVersions over the shared installer double: what it writes, and what
// it answers when the installer fails a read or the write.
#include <gtest/gtest.h>

#include "actions/installer_actions.h"
#include "installer_double.h"

namespace {

using quillon::test::InstallerDouble;

TEST(CompareVersions, WritesTheCodeOrAnswersTheFailure) {
    constexpr uint32_t kNoWrite = 0xFFFFFFFF;  // the write is not refused
    const struct {
        const char* name;
        bool readsNeverFit;
        uint32_t setAnswer;
        uint32_t answer;
        const char* result;
    } cases[] = {
        {"both read, the code written", false, kNoWrite, 0, "1"},
        {"a read that never fits", true, kNoWrite, InstallerDouble::kMoreData, "untouched"},
        {"a write refused with ERROR_FUNCTION_FAILED", false, 1627, 1627, "untouched"},
        // The installer would take this answer for "skip the remaining actions".
        {"a write answering ERROR_NO_MORE_ITEMS", false, 259, quillon::kInstallFailure, "untouched"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        InstallerDouble installer;
        installer.properties = {{"COMPARE_VERSION1", "2.10"}, {"COMPARE_VERSION2", "2.9"},
                                {"VERSION_COMPARE_RESULT", "untouched"}};
        installer.alwaysMoreData = c.readsNeverFit;
        if (c.setAnswer != kNoWrite) installer.setAnswers["VERSION_COMPARE_RESULT"] = c.setAnswer;
        EXPECT_EQ(quillon::RunCompareVersions(installer, installer.kHandle), c.answer);
        EXPECT_EQ(installer.Get("VERSION_COMPARE_RESULT"), c.result);
    }
}

}  // namespace

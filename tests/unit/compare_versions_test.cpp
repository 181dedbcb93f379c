// CompareVersions over the shared installer double: what it writes, and what
// it answers when the installer fails a read or the write.
#include <gtest/gtest.h>

#include "actions/installer_actions.h"
#include "installer_double.h"

namespace {

using quillon::test::InstallerDouble;

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

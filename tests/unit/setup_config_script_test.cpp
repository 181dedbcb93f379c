// The script engine as a member of SetupConfig: what the SetProperty and
// Execute exports do, without the DLL.
#include <gtest/gtest.h>

#include "config/script/script_execute.h"
#include "config/setup_config.h"

using quillon::ExecuteScript;
using quillon::ScriptResult;
using quillon::SetupConfig;
using quillon::TextString;

TEST(SetupConfigScript, SetPropertyFeedsTheConfigurationsOwnEngine) {
    SetupConfig config;
    SetupConfig other;
    EXPECT_EQ(config.SetProperty("installed", "5.1.2", 32), 1);
    EXPECT_EQ(config.SetProperty("required", "5.1.10", 32), 1);
    ScriptResult newer = ExecuteScript(config.engine, "installed > required");
    EXPECT_EQ(newer.kind, ScriptResult::kNumber);
    EXPECT_EQ(newer.number, 0);
    EXPECT_EQ(ExecuteScript(other.engine, "installed > required").kind, ScriptResult::kNone);

    EXPECT_EQ(config.SetProperty("n", "12abc", 2), 1);
    EXPECT_EQ(ExecuteScript(config.engine, "n + 1").number, 13);
    EXPECT_EQ(config.SetProperty("N", "twelve", 1), 1);
    EXPECT_STREQ(ExecuteScript(config.engine, "n").text, "twelve");
    EXPECT_EQ(config.SetProperty("n", "1", 8), 0);
    EXPECT_EQ(config.engine.FindVariable("n"), nullptr);

    // A null value makes a string without text, handed back as empty text.
    EXPECT_EQ(config.SetProperty("empty", TextString(), 1), 1);
    ScriptResult empty = ExecuteScript(config.engine, "empty");
    EXPECT_EQ(empty.kind, ScriptResult::kText);
    EXPECT_STREQ(empty.text, "");
}

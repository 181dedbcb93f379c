// The script exports of the built Quillon.dll on a configuration handle from
// Init: what crosses the boundary (texts, missing pointers, handles),
// deep nesting on a 256 KB thread stack, and a "MsgBox" script whose message
// box this test finds, reads and closes (needs a display: xvfb-run). What
// scripts compute is the native tests'.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>

#include "../unit/xml_trace.h"
#include "dll_export.h"
#include "small_stack.h"

namespace {

using Handle = ULONG_PTR;
using quillon_test::Repeat;

class ScriptExportsWin : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(config, 0u) << "Quillon.dll next to the test executable"; }
    void TearDown() override { FreeLibrary(module); }

    // Execute's result, number and text, each starting from a sentinel so
    // that writes show: "1 3 untouched".
    std::string Run(const char* script, Handle handle) {
        int number = -7;
        char text[512] = "untouched";
        int result = execute(handle, script, text, &number);
        return std::to_string(result) + " " + std::to_string(number) + " " + text;
    }
    std::string Run(const char* script) { return Run(script, config); }

    HMODULE module = LoadLibraryA("Quillon.dll");
    Handle(__stdcall* init)() = DllExport<decltype(init)>(module, "Init");
    int(__stdcall* setProperty)(Handle, const char*, const char*, int) =
        DllExport<decltype(setProperty)>(module, "SetProperty");
    int(__stdcall* execute)(Handle, const char*, char*, int*) = DllExport<decltype(execute)>(module, "Execute");
    Handle config = init ? init() : 0;
};

}  // namespace

// examples/client.c, which tests/checks/dist.sh runs, shows numbers and
// texts delivered and variables of each type set.
TEST_F(ScriptExportsWin, EdgesOfResultsAndVariables) {
    EXPECT_EQ(Run("\"\""), "1 -7 ");
    EXPECT_EQ(Run("undeclared"), "0 -7 untouched");
    // Missing output pointers are not written through; handle 0 is refused.
    EXPECT_EQ(execute(config, "1", nullptr, nullptr) + execute(config, "\"x\"", nullptr, nullptr), 0);
    EXPECT_EQ(execute(config, nullptr, nullptr, nullptr), 0);
    EXPECT_EQ(Run("1 + 2", 0), "0 -7 untouched");
    EXPECT_EQ(setProperty(0, "a", "1", 2), 0);

    EXPECT_EQ(setProperty(config, "Count", "12", 2), 1);
    EXPECT_EQ(Run("Count + 1"), "1 13 untouched");
    EXPECT_EQ(Run("Count", init()), "0 -7 untouched") << "another handle has its own variables";
    EXPECT_EQ(setProperty(config, "Count", "1", 4), 0) << "any other type removes the variable";
    EXPECT_EQ(setProperty(config, nullptr, nullptr, 1), 1) << "null texts are null strings";
}

TEST_F(ScriptExportsWin, DeepNestingFailsCleanlyOnA256KBStack) {
    const std::pair<std::string, const char*> cases[] = {
        {Repeat("(", 64) + "1 + 1" + Repeat(")", 64), "1 2 untouched"},  // the deepest nesting allowed
        {Repeat("(", 63) + "return \"return (return 7)\"" + Repeat(")", 63), "1 7 untouched"},  // deepest frames
        {Repeat("(", 100000) + "1" + Repeat(")", 100000), "0 -7 untouched"},  // far too deep
        {Repeat("return (", 20000) + "1" + Repeat(")", 20000), "0 -7 untouched"},
    };
    EXPECT_TRUE(quillon::test::RunOnSmallStack(
        [&] {
            for (const auto& [script, outcome] : cases) EXPECT_EQ(Run(script.c_str()), outcome);
        },
        120000));
}

TEST_F(ScriptExportsWin, MsgBoxShowsTheTextInAnInfoBox) {
    int result = -1;
    const std::function<void()> work = [&] { result = execute(config, "MsgBox \"Hello\"", nullptr, nullptr); };
    HANDLE thread = quillon::test::StartThread(work);
    ASSERT_NE(thread, nullptr);
    HWND box = nullptr;
    for (int tries = 0; tries < 300 && (box == nullptr || !IsWindowVisible(box)); ++tries) {
        Sleep(50);
        box = FindWindowA("#32770", "Info");
    }
    // The text and OK, the box's only button; OK closes it.
    char text[64] = "";
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    EXPECT_STREQ(text, "Hello");
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(box, IDOK)));
    for (int other : {IDCANCEL, IDYES, IDNO, IDRETRY}) EXPECT_FALSE(IsWindowVisible(GetDlgItem(box, other)));
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
    ASSERT_TRUE(quillon::test::Joined(thread, 10000)) << "Execute did not return after the box was closed";
    EXPECT_EQ(result, 0) << "MsgBox leaves nothing to hand back";
}

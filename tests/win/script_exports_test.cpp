// The script exports of the built Quillon.dll on a configuration handle from
// Init: what crosses the boundary (types, texts, numbers, missing pointers),
// deep nesting on a 256 KB thread stack, and a "MsgBox" script whose message
// box this test finds, reads and closes from another thread (needs a display:
// xvfb-run). What scripts compute is the native tests'.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "dll_export.h"
#include "small_stack.h"

namespace {

using Handle = ULONG_PTR;
using ExecuteFn = int(__stdcall*)(Handle, const char*, char*, int*);

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
    ExecuteFn execute = DllExport<ExecuteFn>(module, "Execute");
    Handle config = init ? init() : 0;
};

}  // namespace

TEST_F(ScriptExportsWin, DeliversNumbersTruthValuesAndText) {
    const struct {
        const char* script;
        const char* outcome;
    } cases[] = {
        {"1 + 2", "1 3 untouched"}, {"2 < 1", "1 0 untouched"}, {"\"hello world\"", "1 -7 hello world"},
        {"\"\"", "1 -7 "}, {"1,5", "0 -7 untouched"}, {"undeclared", "0 -7 untouched"}, {"", "0 -7 untouched"},
    };
    for (const auto& c : cases) EXPECT_EQ(Run(c.script), c.outcome) << c.script;
    // Missing output pointers are not written through; handle 0 is refused.
    EXPECT_EQ(execute(config, "1", nullptr, nullptr) + execute(config, "\"x\"", nullptr, nullptr), 0);
    EXPECT_EQ(execute(config, nullptr, nullptr, nullptr), 0);
    EXPECT_EQ(Run("1 + 2", 0), "0 -7 untouched");
    EXPECT_EQ(setProperty(0, "a", "1", 2), 0);
}

TEST_F(ScriptExportsWin, SetPropertyTypesAndOneEnginePerHandle) {
    EXPECT_EQ(setProperty(config, "Count", "12abc", 2), 1);
    EXPECT_EQ(Run("count + 1"), "1 13 untouched");
    EXPECT_EQ(setProperty(config, "COUNT", "text", 1), 1);
    EXPECT_EQ(Run("Count"), "1 -7 text");
    EXPECT_EQ(setProperty(config, "installed", "5.1.2", 32) + setProperty(config, "required", "5.1.10", 32), 2);
    EXPECT_EQ(Run("installed < required"), "1 1 untouched");
    EXPECT_EQ(setProperty(config, "Count", "1", 4), 0) << "any other type removes the variable";
    EXPECT_EQ(Run("Count"), "0 -7 untouched");
    EXPECT_EQ(setProperty(config, nullptr, nullptr, 1), 1) << "null texts are null strings";

    EXPECT_EQ(Run("long total total = 40"), "0 -7 untouched");
    EXPECT_EQ(Run("total = (total + 2) total"), "1 42 untouched");
    EXPECT_EQ(Run("total", init()), "0 -7 untouched") << "another handle has its own variables";
}

namespace {

std::string Nested(int depth, const std::string& open, const std::string& inner, const std::string& close) {
    std::string s;
    for (int i = 0; i < depth; ++i) s += open;
    s += inner;
    for (int i = 0; i < depth; ++i) s += close;
    return s;
}

}  // namespace

TEST_F(ScriptExportsWin, DeepNestingFailsCleanlyOnA256KBStack) {
    const std::vector<std::string> scripts = {
        Nested(64, "(", "1 + 1", ")"),                                // the deepest nesting allowed
        Nested(63, "(", "return \"return (return 7)\"", ")"),         // the deepest chain of frames
        Nested(100000, "(", "1", ")"), Nested(100000, "{", "1", "}"),  // far too deep
        "1 + " + Nested(100000, "(", "1", ")"), Nested(20000, "return (", "1", ")"),
        "7"};
    std::vector<std::string> outcomes;
    EXPECT_TRUE(quillon::test::RunOnSmallStack(
        [&] {
            for (const std::string& script : scripts) outcomes.push_back(Run(script.c_str()));
        },
        120000));
    const std::vector<std::string> expected = {"1 2 untouched", "1 7 untouched", "0 -7 untouched", "0 -7 untouched",
                                               "0 -7 untouched", "0 -7 untouched", "1 7 untouched"};
    EXPECT_EQ(outcomes, expected);
}

namespace {

struct MessageJob {
    ExecuteFn execute;
    Handle config;
    const char* script;
    int result = -1;
};

DWORD WINAPI ExecuteMessageScript(LPVOID parameter) {
    auto* job = static_cast<MessageJob*>(parameter);
    char text[64];
    int number = -1;
    job->result = job->execute(job->config, job->script, text, &number);
    return 0;
}

BOOL CALLBACK CollectStaticText(HWND child, LPARAM parameter) {
    char className[32] = "", text[256] = "";
    GetClassNameA(child, className, sizeof className);
    GetWindowTextA(child, text, sizeof text);
    if (lstrcmpiA(className, "Static") == 0 && text[0] != 0)
        reinterpret_cast<std::vector<std::string>*>(parameter)->push_back(text);
    return TRUE;
}

// Waits for the script's message box (a dialog captioned "Info"), reads its
// static texts and closes it with its OK button, the only one it has.
std::vector<std::string> ReadAndCloseInfoBox(HANDLE scriptThread) {
    std::vector<std::string> texts;
    for (int tries = 0; tries < 300; ++tries) {
        HWND box = FindWindowA("#32770", "Info");
        if (box != nullptr && IsWindowVisible(box)) {
            EnumChildWindows(box, &CollectStaticText, reinterpret_cast<LPARAM>(&texts));
            EXPECT_TRUE(IsWindowVisible(GetDlgItem(box, IDOK)));
            for (int other : {IDCANCEL, IDYES, IDNO, IDRETRY}) EXPECT_FALSE(IsWindowVisible(GetDlgItem(box, other)));
            PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
            return texts;
        }
        if (WaitForSingleObject(scriptThread, 50) == WAIT_OBJECT_0) break;
    }
    ADD_FAILURE() << "no message box captioned Info appeared";
    return texts;
}

}  // namespace

TEST_F(ScriptExportsWin, MsgBoxShowsTheTextInAnInfoBox) {
    const char* cases[][2] = {{"MsgBox \"Hello from the script\"", "Hello from the script"}, {"MsgBox (40 + 2)", "42"}};
    for (const auto& [script, shown] : cases) {
        MessageJob job{execute, config, script};
        HANDLE thread = ::CreateThread(nullptr, 0, &ExecuteMessageScript, &job, 0, nullptr);
        ASSERT_NE(thread, nullptr);
        std::vector<std::string> texts = ReadAndCloseInfoBox(thread);
        bool finished = WaitForSingleObject(thread, 10000) == WAIT_OBJECT_0;
        if (!finished) TerminateThread(thread, 1);
        CloseHandle(thread);
        ASSERT_TRUE(finished) << script << ": Execute did not return after the box was closed";
        EXPECT_EQ(job.result, 0) << "MsgBox leaves nothing to hand back";
        EXPECT_NE(std::find(texts.begin(), texts.end(), shown), texts.end()) << script;
    }
}

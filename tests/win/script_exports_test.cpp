// The script exports of the built Quillon.dll, called the way an installer
// calls them: loaded with LoadLibrary, looked up by name and by ordinal, on
// a configuration handle from Init. Includes a "MsgBox" script whose message
// box this test finds, reads and closes from another thread (needs a
// display: xvfb-run), and deep nesting on a 256 KB thread stack.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "small_stack.h"

namespace {

using Handle = ULONG_PTR;
using InitFn = Handle(__stdcall*)();
using SetPropertyFn = int(__stdcall*)(Handle, const char*, const char*, int);
using ExecuteFn = int(__stdcall*)(Handle, const char*, char*, int*);

template <typename Fn>
Fn Lookup(HMODULE module, const char* nameOrOrdinal) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, nameOrOrdinal)));
}

class ScriptExportsWin : public ::testing::Test {
protected:
    void SetUp() override {
        module = LoadLibraryA("Quillon.dll");
        ASSERT_NE(module, nullptr);
        init = Lookup<InitFn>(module, "Init");
        setProperty = Lookup<SetPropertyFn>(module, "SetProperty");
        execute = Lookup<ExecuteFn>(module, "Execute");
        ASSERT_NE(init, nullptr);
        ASSERT_NE(setProperty, nullptr);
        ASSERT_NE(execute, nullptr);
        config = init();
        ASSERT_NE(config, 0u);
    }
    void TearDown() override {
        if (module) FreeLibrary(module);
    }

    // Execute's outputs, each starting from a sentinel so that writes show.
    struct Outcome {
        int result = -1;
        int number = -7777;
        std::string text = "untouched";
    };
    Outcome Run(const char* script, Handle handle = ~Handle(0)) {
        Outcome o;
        char buffer[512];
        std::strcpy(buffer, "untouched");
        o.result = execute(handle == ~Handle(0) ? config : handle, script, buffer, &o.number);
        o.text = buffer;
        return o;
    }

    HMODULE module = nullptr;
    InitFn init = nullptr;
    SetPropertyFn setProperty = nullptr;
    ExecuteFn execute = nullptr;
    Handle config = 0;
};

}  // namespace

TEST_F(ScriptExportsWin, ExportedByNameAndOrdinal) {
    auto byOrdinalSet = Lookup<SetPropertyFn>(module, MAKEINTRESOURCEA(130));
    auto byOrdinalExecute = Lookup<ExecuteFn>(module, MAKEINTRESOURCEA(131));
    EXPECT_EQ(byOrdinalSet, setProperty);
    EXPECT_EQ(byOrdinalExecute, execute);

    // The same calls through the ordinals.
    ASSERT_NE(byOrdinalSet, nullptr);
    ASSERT_NE(byOrdinalExecute, nullptr);
    EXPECT_EQ(byOrdinalSet(config, "n", "41", 2), 1);
    int number = 0;
    char text[64] = "";
    EXPECT_EQ(byOrdinalExecute(config, "n + 1", text, &number), 1);
    EXPECT_EQ(number, 42);
}

TEST_F(ScriptExportsWin, DeliversNumbersTruthValuesAndText) {
    struct Case {
        const char* script;
        int result;
        int number;
        const char* text;
    };
    const Case cases[] = {
        {"1 + 2", 1, 3, "untouched"},
        {"1 + 2 + 3", 1, 6, "untouched"},
        {"2 > 1", 1, 1, "untouched"},
        {"2 < 1", 1, 0, "untouched"},
        {"\"hello world\"", 1, -7777, "hello world"},
        {"\"\"", 1, -7777, ""},
        {"2 > 1 + 1", 1, -7777, "TRUE1"},
        {"\"abc\" + 5", 1, -7777, "abc5"},
        {"5 +", 1, 5, "untouched"},
        {"1,5", 0, -7777, "untouched"},
        {"undeclared", 0, -7777, "untouched"},
        {"", 0, -7777, "untouched"},
        {"return", 0, -7777, "untouched"},
    };
    for (const Case& c : cases) {
        Outcome o = Run(c.script);
        EXPECT_EQ(o.result, c.result) << c.script;
        EXPECT_EQ(o.number, c.number) << c.script;
        EXPECT_EQ(o.text, c.text) << c.script;
    }
}

TEST_F(ScriptExportsWin, SetPropertyTypesAndSharedVariables) {
    EXPECT_EQ(setProperty(config, "Count", "12abc", 2), 1);
    EXPECT_EQ(Run("count + 1").number, 13);
    EXPECT_EQ(setProperty(config, "COUNT", "text", 1), 1);
    EXPECT_EQ(Run("Count").text, "text");

    // 5.1.2 is older than 5.1.10: compared number by number, not as text.
    EXPECT_EQ(setProperty(config, "installed", "5.1.2", 32), 1);
    EXPECT_EQ(setProperty(config, "required", "5.1.10", 32), 1);
    Outcome newer = Run("installed > required");
    EXPECT_EQ(newer.result, 1);
    EXPECT_EQ(newer.number, 0);
    EXPECT_EQ(Run("installed < required").number, 1);
    EXPECT_EQ(Run("installed").result, 0) << "a multipart is not handed back";

    // Any other type removes the variable: the word then names a new,
    // undeclared one.
    EXPECT_EQ(setProperty(config, "Count", "1", 4), 0);
    EXPECT_EQ(Run("Count").result, 0);
    EXPECT_EQ(setProperty(config, nullptr, nullptr, 1), 1) << "null texts are null strings";

    // Variables a script declares stay for later calls on the same handle,
    // and only there.
    EXPECT_EQ(Run("long total total = 40").result, 0);
    EXPECT_EQ(Run("total = (total + 2) total").number, 42);
    Handle other = init();
    ASSERT_NE(other, 0u);
    EXPECT_EQ(Run("total", other).result, 0);
    EXPECT_EQ(Run("total").number, 42);
}

TEST_F(ScriptExportsWin, HandleZeroAnswersZeroAndTouchesNothing) {
    EXPECT_EQ(setProperty(0, "a", "1", 2), 0);
    Outcome o = Run("1 + 2", 0);
    EXPECT_EQ(o.result, 0);
    EXPECT_EQ(o.number, -7777);
    EXPECT_EQ(o.text, "untouched");
    // Missing output pointers are not written through.
    EXPECT_EQ(execute(config, "1", nullptr, nullptr), 0);
    EXPECT_EQ(execute(config, "\"x\"", nullptr, nullptr), 0);
    EXPECT_EQ(execute(config, nullptr, nullptr, nullptr), 0);
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
    struct {
        std::vector<std::string> scripts;
        std::vector<int> results;
        std::vector<int> numbers;
    } job;
    // 64 levels is the deepest a script may nest.
    job.scripts = {Nested(64, "(", "1 + 1", ")"),
                   Nested(64, "! (", "0", ")"),
                   Nested(63, "(", "return \"return (return 7)\"", ")"),  // the deepest chain of frames
                   Nested(100000, "(", "1", ")"),
                   Nested(100000, "{", "1", "}"),
                   "1 + " + Nested(100000, "(", "1", ")"),
                   Nested(20000, "return (", "1", ")"),
                   "7"};
    EXPECT_TRUE(quillon::test::RunOnSmallStack(
        [&] {
            static char text[256];
            for (const std::string& script : job.scripts) {
                int number = -1;
                job.results.push_back(execute(config, script.c_str(), text, &number));
                job.numbers.push_back(number);
            }
        },
        120000));

    ASSERT_EQ(job.results.size(), job.scripts.size());
    EXPECT_EQ(job.results[0], 1);
    EXPECT_EQ(job.numbers[0], 2);
    EXPECT_EQ(job.results[1], 1);
    EXPECT_EQ(job.numbers[1], 0) << "64 negations of 0";
    EXPECT_EQ(job.results[2], 1);
    EXPECT_EQ(job.numbers[2], 7) << "return adds no level";
    for (size_t i = 3; i + 1 < job.scripts.size(); ++i) EXPECT_EQ(job.results[i], 0) << i;
    EXPECT_EQ(job.results.back(), 1) << "the engine still works after an abandoned run";
    EXPECT_EQ(job.numbers.back(), 7);
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
    char className[32] = "";
    GetClassNameA(child, className, sizeof className);
    if (lstrcmpiA(className, "Static") == 0) {
        char text[256] = "";
        GetWindowTextA(child, text, sizeof text);
        if (text[0] != 0) reinterpret_cast<std::vector<std::string>*>(parameter)->push_back(text);
    }
    return TRUE;
}

// Waits for the script's message box (a dialog captioned "Info"), reads its
// static texts and closes it with its OK button.
std::vector<std::string> ReadAndCloseInfoBox(HANDLE scriptThread) {
    std::vector<std::string> texts;
    for (int tries = 0; tries < 300; ++tries) {
        HWND box = FindWindowA("#32770", "Info");
        if (box != nullptr && IsWindowVisible(box)) {
            EnumChildWindows(box, &CollectStaticText, reinterpret_cast<LPARAM>(&texts));
            EXPECT_TRUE(IsWindowVisible(GetDlgItem(box, IDOK))) << "an OK button";
            for (int other : {IDCANCEL, IDYES, IDNO, IDRETRY}) {
                HWND button = GetDlgItem(box, other);
                EXPECT_TRUE(button == nullptr || !IsWindowVisible(button)) << "and no other: " << other;
            }
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
    struct Case {
        const char* script;
        const char* shown;
    };
    const Case cases[] = {
        {"MsgBox \"Hello from the script\"", "Hello from the script"},
        {"MsgBox (40 + 2)", "42"},
        {"MsgBox (1 > 2)", "0"},
    };
    for (const Case& c : cases) {
        MessageJob job;
        job.execute = execute;
        job.config = config;
        job.script = c.script;
        HANDLE thread = ::CreateThread(nullptr, 0, &ExecuteMessageScript, &job, 0, nullptr);
        ASSERT_NE(thread, nullptr);
        std::vector<std::string> texts = ReadAndCloseInfoBox(thread);
        bool finished = WaitForSingleObject(thread, 10000) == WAIT_OBJECT_0;
        if (!finished) TerminateThread(thread, 1);
        CloseHandle(thread);
        ASSERT_TRUE(finished) << c.script << ": Execute did not return after the box was closed";
        EXPECT_EQ(job.result, 0) << "MsgBox leaves nothing to hand back";
        EXPECT_NE(std::find(texts.begin(), texts.end(), c.shown), texts.end()) << c.script;
    }
}

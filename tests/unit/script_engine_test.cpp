#include "config/script/script_engine.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "config/script/script_execute.h"

using quillon::ScriptEngine;
using quillon::ScriptValue;

namespace {

// A value as the tables write it: 7, 1.5f, true, "text", v"5.1" for a
// multipart, ?"name" for an undeclared variable (its text is its name).
std::string Describe(const ScriptValue& v) {
    std::string text = v.text.IsNull() ? "null" : "\"" + std::string(v.text.Text()) + "\"";
    std::ostringstream real;
    real << v.real << "f";
    switch (v.type) {
        case 1: return text;
        case 2: return std::to_string(v.number);
        case 4: return real.str();
        case 8: return v.number ? "true" : "false";
        case 32: return "v" + text;
        default: return "?" + text;
    }
}

// Every item a run left in the root frame: values, $variable=value, fn:word.
std::string Outcome(ScriptEngine& engine, const std::string& script) {
    quillon::ExecuteScript(engine, script.c_str());
    std::string out;
    for (auto* entry = engine.RootItems().Head(); entry != nullptr; entry = entry->next) {
        const auto* item = quillon::ItemOf(entry);
        out += out.empty() ? "" : " ";
        if (item->kind == quillon::kItemVariable) out += "$" + std::string(entry->key.Text()) + "=";
        out += item->Value() ? Describe(*item->Value()) : "fn:" + std::string(entry->key.Text());
    }
    return out;
}

std::string Variable(ScriptEngine& engine, const char* name) {
    ScriptValue* v = engine.FindVariable(name);
    return v ? Describe(*v) : "absent";
}

}  // namespace

// Each script on a fresh engine whose variables are first set from `given`
// ("name=type:text ..."); `variable` is described after the run.
TEST(ScriptEngine, Reductions) {
    struct {
        const char* given;
        const char* script;
        const char* expected;
        const char* variable = nullptr;
    } cases[] = {
        // Words become variables, functions or numbers; variable names ignore case.
        {"known=2:7", "KNOWN", "$KNOWN=7"}, {"", "12 -5 - 1,5 -,5 12-3 1-", "12 -5 0 1f 0f 12 1"},
        {"", "MsgBx a+b", "$MsgBx=?\"MsgBx\" $a+b=?\"a+b\""},  // any other word: a new variable
        {"", "\"q\" (g h) MSGBOX", "\"q\" $g=?\"g\" $h=?\"h\" fn:MSGBOX"},
        {"long=1:abc", "long", "$long=\"abc\""},  // a variable shadows an operation
        // Strictly from left to right; a failed group hands its leftovers on.
        {"", "1 + 2 + 3", "6"}, {"", "2 > 1 + 1", "\"TRUE1\""}, {"", "1 + (2 > 1)", "\"1TRUE\""},
        {"", "(1 + 2) > (1 + 1)", "true"}, {"", "1 + {2 + (3 + 4)}", "10"}, {"", "(1 +) 7", "8"},
        // Assignment takes a value of the same type only, the next one.
        {"", "long n  n = 5  n", "$n=5"}, {"", "long x x = 5 + 3", "fn:+ 3 | x=5", "x"},
        {"", "long x x = (5 + 3) x", "$x=8"},
        {"", "a = 5", "$a=?\"a\" fn:= 5"},  // undeclared: type 0
        {"s=1:abc", "s = 5 s", "$s=\"abc\" fn:= 5 $s=\"abc\""},
        {"", "p = q", " | p=?\"q\"", "p"},  // two of type 0: p takes q's text, its name
        // Declaring needs the exact word.
        {"", "LONG y", " | y=?\"y\"", "y"}, {"", "Long y y = 3", "$y=?\"y\" fn:= 3 | y=?\"y\"", "y"},
        {"", "long \"viaText\" multipart mp", " | viaText=0", "viaText"},
        {"", "long \"viaText\" multipart mp", " | mp=v\"mp\"", "mp"},  // declaring keeps the other fields
        {"", "long 5", ""},  // names the null-named variable, which no word reaches
        // Addition: numbers add and wrap, anything with text concatenates.
        {"", "2147483647 + 1", "-2147483648"}, {"", "-2147483648 + -1", "2147483647"},
        {"n=2:4294967295", "n + 1", "0"},  // read like atol: wraps to -1
        {"", "u + 4", "4"}, {"", "\"abc\" + 5", "\"abc5\""},
        {"", "-7 + \"\"", "\"-7\""}, {"", "\"v\" + 2,9", "\"v2\""}, {"", "1,0 + 12345678 + \"\"", "\"1.234568e+007\""},
        {"", "(1 < 2) + (2 < 1)", "\"TRUEFALSE\""}, {"", "w + \"x\"", "\"wx\""}, {"", "1,5 + 2", "3f"},
        {"", "2 + 1,5", "3f"}, {"n=2:42", "n + \"!\"", "\"42!\""}, {"v=32:5.1", "\"ver \" + v", "\"ver 5.1\""},
        {"v=32:5.1", "1 + v", "1 fn:+ $v=v\"5.1\""}, {"", "1 + undeclared", "1 fn:+ $undeclared=?\"undeclared\""},
        // Ordering needs two numbers of one type; equality any one type.
        {"", "3 > -2", "true"}, {"", "3 < -2", "false"}, {"", "1,0 < 2,0", "true"}, {"", "1 > 1,0", "1 fn:> 1f"},
        {"", "\"b\" > \"a\"", "\"b\" fn:> \"a\""}, {"", "(1 > 0) > (0 > 1)", "true fn:> false"},
        {"a=32:5.1.10 b=32:5.1.9", "a > b", "true | a=v\"5.1.10\"", "a"}, {"a=32:5.1.10 b=32:5.1.9", "a < b", "false"},
        {"", "\"abc\" == \"abc\"", "true"}, {"", "\"abc\" == \"ABC\"", "false"}, {"", "\"5\" == 5", "false"},
        {"", "\"5\" != 5", "true"}, {"", "4 == 4", "true"}, {"", "4 != 4", "false"}, {"", "1,0 == 1,9", "true"},
        {"", "(1 > 0) == (2 > 0)", "true"}, {"", "(1 > 0) == 1", "false"}, {"", "k == m", "$k=?\"k\" fn:== $m=?\"m\""},
        {"", "k != 3", "true"},
        // Truth values: only exactly 1 is true; & takes longs only.
        {"", "6 & 2", "true"}, {"", "6 & 1", "false"}, {"", "(1 > 0) & 1", "true fn:& 1"}, {"", "1 && (2 > 1)", "true"},
        {"", "2 && 1", "false"}, {"", "0 || 1", "true"}, {"", "2 || -1", "false"}, {"", "\"1\" || 1", "\"1\" fn:|| 1"},
        {"", "! 0", "true"}, {"", "! -3", "true"}, {"", "! 5", "false"}, {"", "! (1 > 2)", "true"},
        {"", "! 0,0", "true"}, {"", "! 3,0", "false"}, {"", "! \"x\"", "fn:! \"x\""},
        {"x=2:4", "! x", "false | x=?null", "x"},  // the operand is left undeclared
        // return keeps only its operand; a quoted one is read again as a word.
        {"a=2:2 b=2:3", "return (a + b)", "5"}, {"", "7 8 return", ""}, {"", "1 + 1 return 9 10", "9"},
        {"a=2:2", "return \"a\"", "$a=2"}, {"", "return \"1 + 2\"", "3"}, {"", "(return 4) + 1", "5"},
        {"", "Return 4", "$Return=?\"Return\" 4"},
        // A failure stops the frame where it stands.
        {"", "5 +", "5 fn:+"}, {"", "MsgBox (1 2)", "fn:MsgBox 1 2"}, {"", "1 + + 2", "1 fn:+ fn:+ 2"},
        {"", "= 1", "fn:= 1"},
        {"", "MsgBox \"abc", "fn:MsgBox"},  // the unterminated quote drops the rest
        {"", "1 + (2 + 3", "1 fn:+"},  // so does a group left open
        {"", "1 + (2 + \"x) 3", "1 fn:+ 2 fn:+ 3"}, {"", "\"a\" > 1 1 + 1", "\"a\" fn:> 1 1 fn:+ 1"},
    };
    for (const auto& c : cases) {
        ScriptEngine engine;
        std::istringstream given(c.given);
        for (std::string setting; given >> setting;) {
            size_t equals = setting.find('='), colon = setting.find(':');
            engine.SetVariable(setting.substr(0, equals).c_str(), setting.substr(colon + 1).c_str(),
                               std::stoi(setting.substr(equals + 1, colon - equals - 1)));
        }
        std::string outcome = Outcome(engine, c.script);
        if (c.variable) outcome += " | " + std::string(c.variable) + "=" + Variable(engine, c.variable);
        EXPECT_EQ(outcome, c.expected) << c.script;
    }
}

TEST(ScriptEngine, VariablesPersistAcrossRuns) {
    ScriptEngine engine;
    engine.SetVariable("Port", "8080", 2);
    // After the first run n holds a computed number, whose text is null.
    EXPECT_EQ(Outcome(engine, "long n n = (Port + 1) return n"), "$n=8081");
    EXPECT_EQ(Outcome(engine, "long n n = (Port + 1) return n"), "$n=8081");
    EXPECT_EQ(Outcome(engine, "n = (n + 5) N"), "$N=8086");
    EXPECT_EQ(engine.SetVariable("x", "42", 2), 1);
    EXPECT_EQ(Outcome(engine, "x + \"!\""), "\"42!\"");
    EXPECT_STREQ(engine.FindVariable("x")->text.Text(), "42") << "a long's text is rewritten in place";

    EXPECT_EQ(engine.SetVariable("Name", "12abc", 2) + engine.SetVariable("NAME", "text", 1), 2);
    EXPECT_EQ(Variable(engine, "name"), "\"text\"");
    EXPECT_EQ(engine.SetVariable("ver", "5.1.2", 32), 1);
    EXPECT_EQ(Variable(engine, "ver"), "v\"5.1.2\"");
    int count = engine.Variables().GetCount();
    EXPECT_EQ(engine.SetVariable("name", "x", 4) + engine.SetVariable("never", "x", 0), 0);
    EXPECT_EQ(Variable(engine, "name"), "absent");
    EXPECT_EQ(engine.Variables().GetCount(), count - 1);
}

std::string Nested(int depth, const char* open, const std::string& inner, const char* close) {
    std::string s;
    for (int i = 0; i < depth; ++i) s += open;
    s += inner;
    for (int i = 0; i < depth; ++i) s += close;
    return s;
}

// Groups nest kMaxGroupDepth levels deep; "return" adds no level, a group
// after it does. Deeper nesting of any kind abandons the run.
TEST(ScriptEngine, NestingBeyondTheLimitAbandonsTheRun) {
    const int limit = ScriptEngine::kMaxGroupDepth;
    const struct {
        std::string script;
        const char* expected;  // "" when the run was abandoned
    } cases[] = {
        {Nested(limit, "(", "1 + 1", ")"), "2"}, {Nested(limit, "(", "return 7", ")"), "7"},
        {Nested(limit - 1, "(", "return \"return (7)\"", ")"), "7"}, {Nested(limit + 1, "(", "1 + 1", ")"), ""},
        {Nested(limit, "(", "return (7)", ")"), ""}, {Nested(100000, "{", "1", "}"), ""},
        {Nested(10000, "({", "1", "})"), ""}, {"7 " + Nested(10000, "! (", "0", ")"), ""},
        {Nested(10000, "return (", "1", ")"), ""}, {"1 + " + Nested(10000, "(", "1", ")"), ""},
        {"1 + 2", "3"},  // the engine is still fine afterwards
    };
    ScriptEngine engine;
    for (const auto& c : cases) {
        EXPECT_EQ(Outcome(engine, c.script), c.expected) << c.script.substr(0, 20);
        EXPECT_EQ(engine.LastRunTooDeep(), c.expected[0] == 0) << c.script.substr(0, 20);
    }
}

#include "config/script/script_engine.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "config/script/script_execute.h"

using quillon::ScriptEngine;
using quillon::ScriptValue;

namespace {

std::string Quote(const char* text) { return text ? "\"" + std::string(text) + "\"" : "null"; }

std::string Describe(const ScriptValue& v) {
    switch (v.type) {
        case 0: return "none:" + Quote(v.text.Text());
        case 1: return "string:" + Quote(v.text.Text());
        case 2: return "long:" + std::to_string(v.number);
        case 4: return "float:" + std::to_string(v.real);
        case 8: return "bool:" + std::to_string(v.number);
        case 32: return "multipart:" + Quote(v.text.Text());
        default: return "type" + std::to_string(v.type);
    }
}

// Execute's answer ("number N", "text "..."" or "none"), then " |" and every
// item the run left in the root frame.
std::string Outcome(ScriptEngine& engine, const std::string& script) {
    quillon::ScriptResult r = quillon::ExecuteScript(engine, script.c_str());
    std::string out = r.kind == r.kNumber ? "number " + std::to_string(r.number)
                                          : (r.kind == r.kText ? "text " + Quote(r.text) : "none");
    out += " |";
    for (auto* entry = engine.RootItems().Head(); entry != nullptr; entry = entry->next) {
        const auto* item = quillon::ItemOf(entry);
        switch (item->kind) {
            case quillon::kItemVariable: out += " $" + std::string(entry->key.Text()) + "=" + Describe(*item->Value()); break;
            case quillon::kItemValue: out += " " + Describe(*item->Value()); break;
            case quillon::kItemFunction: out += " fn:" + std::string(entry->key.Text()); break;
            default: out += " inert"; break;
        }
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
        {"known=2:7", "KNOWN", "number 7 | $KNOWN=long:7"},
        {"", "12 -5 - 1,5 -,5 12-3 1-",
         "number 12 | long:12 long:-5 long:0 float:1.000000 float:0.000000 long:12 long:1"},
        {"", "MsgBx a+b", "none | $MsgBx=none:\"MsgBx\" $a+b=none:\"a+b\""},  // any other word: a new variable
        {"", "\"q\" (g h) MSGBOX", "text \"q\" | string:\"q\" $g=none:\"g\" $h=none:\"h\" fn:MSGBOX"},
        {"long=1:abc", "long", "text \"abc\" | $long=string:\"abc\""},  // a variable shadows an operation
        // Strictly from left to right; a failed group hands its leftovers on.
        {"", "1 + 2 + 3", "number 6 | long:6"}, {"", "2 > 1 + 1", "text \"TRUE1\" | string:\"TRUE1\""},
        {"", "1 + (2 > 1)", "text \"1TRUE\" | string:\"1TRUE\""}, {"", "(1 + 2) > (1 + 1)", "number 1 | bool:1"},
        {"", "1 + {2 + (3 + 4)}", "number 10 | long:10"}, {"", "(1 +) 7", "number 8 | long:8"},
        // Assignment takes a value of the same type only, the next one.
        {"", "long n  n = 5  n", "number 5 | $n=long:5"},
        {"", "long x x = 5 + 3", "none | fn:+ long:3 | x=long:5", "x"},
        {"", "long x x = (5 + 3) x", "number 8 | $x=long:8"},
        {"", "a = 5", "none | $a=none:\"a\" fn:= long:5"},  // undeclared: type 0
        {"s=1:abc", "s = 5 s", "text \"abc\" | $s=string:\"abc\" fn:= long:5 $s=string:\"abc\""},
        {"", "p = q", "none | | p=none:\"q\"", "p"},  // two of type 0: p takes q's text, its name
        // Declaring needs the exact word.
        {"", "LONG y", "none | | y=none:\"y\"", "y"},
        {"", "Long y y = 3", "none | $y=none:\"y\" fn:= long:3 | y=none:\"y\"", "y"},
        {"", "long \"viaText\" multipart mp", "none | | viaText=long:0", "viaText"},
        {"", "long \"viaText\" multipart mp", "none | | mp=multipart:\"mp\"", "mp"},  // declaring keeps the other fields
        {"", "long 5", "none |"},  // names the null-named variable, which no word reaches
        // Addition: numbers add and wrap, anything with text concatenates.
        {"", "2147483647 + 1", "number -2147483648 | long:-2147483648"}, {"", "u + 4", "number 4 | long:4"},
        {"", "\"abc\" + 5", "text \"abc5\" | string:\"abc5\""}, {"", "-7 + \"\"", "text \"-7\" | string:\"-7\""},
        {"", "\"v\" + 2,9", "text \"v2\" | string:\"v2\""},
        {"", "1,0 + 12345678 + \"\"", "text \"1.234568e+007\" | string:\"1.234568e+007\""},
        {"", "(1 < 2) + (2 < 1)", "text \"TRUEFALSE\" | string:\"TRUEFALSE\""},
        {"", "w + \"x\"", "text \"wx\" | string:\"wx\""}, {"", "1,5 + 2", "none | float:3.000000"},
        {"", "2 + 1,5", "none | float:3.000000"}, {"n=2:42", "n + \"!\"", "text \"42!\" | string:\"42!\""},
        {"v=32:5.1", "\"ver \" + v", "text \"ver 5.1\" | string:\"ver 5.1\""},
        {"v=32:5.1", "1 + v", "number 1 | long:1 fn:+ $v=multipart:\"5.1\""},
        {"", "1 + undeclared", "number 1 | long:1 fn:+ $undeclared=none:\"undeclared\""},
        // Ordering needs two numbers of one type; equality any one type.
        {"", "3 > -2", "number 1 | bool:1"}, {"", "3 < -2", "number 0 | bool:0"},
        {"", "1,0 < 2,0", "number 1 | bool:1"}, {"", "1 > 1,0", "number 1 | long:1 fn:> float:1.000000"},
        {"", "\"b\" > \"a\"", "text \"b\" | string:\"b\" fn:> string:\"a\""},
        {"", "(1 > 0) > (0 > 1)", "number 1 | bool:1 fn:> bool:0"},
        {"a=32:5.1.10 b=32:5.1.9", "a > b", "number 1 | bool:1 | a=multipart:\"5.1.10\"", "a"},
        {"a=32:5.1.10 b=32:5.1.9", "a < b", "number 0 | bool:0"}, {"", "\"abc\" == \"abc\"", "number 1 | bool:1"},
        {"", "\"abc\" == \"ABC\"", "number 0 | bool:0"}, {"", "\"5\" == 5", "number 0 | bool:0"},
        {"", "\"5\" != 5", "number 1 | bool:1"}, {"", "4 == 4", "number 1 | bool:1"},
        {"", "4 != 4", "number 0 | bool:0"}, {"", "1,0 == 1,9", "number 1 | bool:1"},
        {"", "(1 > 0) == (2 > 0)", "number 1 | bool:1"}, {"", "(1 > 0) == 1", "number 0 | bool:0"},
        {"", "k == m", "none | $k=none:\"k\" fn:== $m=none:\"m\""}, {"", "k != 3", "number 1 | bool:1"},
        // Truth values: only exactly 1 is true; & takes longs only.
        {"", "6 & 2", "number 1 | bool:1"}, {"", "6 & 1", "number 0 | bool:0"},
        {"", "(1 > 0) & 1", "number 1 | bool:1 fn:& long:1"}, {"", "1 && (2 > 1)", "number 1 | bool:1"},
        {"", "2 && 1", "number 0 | bool:0"}, {"", "0 || 1", "number 1 | bool:1"}, {"", "2 || -1", "number 0 | bool:0"},
        {"", "\"1\" || 1", "text \"1\" | string:\"1\" fn:|| long:1"}, {"", "! 0", "number 1 | bool:1"},
        {"", "! -3", "number 1 | bool:1"}, {"", "! 5", "number 0 | bool:0"}, {"", "! (1 > 2)", "number 1 | bool:1"},
        {"", "! 0,0", "number 1 | bool:1"}, {"", "! 3,0", "number 0 | bool:0"},
        {"", "! \"x\"", "none | fn:! string:\"x\""},
        {"x=2:4", "! x", "number 0 | bool:0 | x=none:null", "x"},  // the operand is left undeclared
        // return keeps only its operand; a quoted one is read again as a word.
        {"a=2:2 b=2:3", "return (a + b)", "number 5 | long:5"}, {"", "7 8 return", "none |"},
        {"", "1 + 1 return 9 10", "number 9 | long:9"}, {"a=2:2", "return \"a\"", "number 2 | $a=long:2"},
        {"", "return \"1 + 2\"", "number 3 | long:3"}, {"", "(return 4) + 1", "number 5 | long:5"},
        {"", "Return 4", "none | $Return=none:\"Return\" long:4"},
        // A failure stops the frame where it stands.
        {"", "5 +", "number 5 | long:5 fn:+"}, {"", "MsgBox (1 2)", "none | fn:MsgBox long:1 long:2"},
        {"", "1 + + 2", "number 1 | long:1 fn:+ fn:+ long:2"}, {"", "= 1", "none | fn:= long:1"},
        {"", "MsgBox \"abc", "none | fn:MsgBox"},  // the unterminated quote drops the rest
        {"", "1 + (2 + 3", "number 1 | long:1 fn:+"},  // so does a group left open
        {"", "1 + (2 + \"x) 3", "number 1 | long:1 fn:+ long:2 fn:+ long:3"},
        {"", "\"a\" > 1 1 + 1", "text \"a\" | string:\"a\" fn:> long:1 long:1 fn:+ long:1"},
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

TEST(ScriptEngine, MultipartVersionsCompareNumberByNumber) {
    const struct {
        const char* left;
        const char* right;
        const char* equal;
        const char* greater;
    } cases[] = {
        {"5.1", "5.1.0.0", "1", "0"},
        {"5,1 2", "5.1", "1", "0"},      // "," separates too; "1 2" reads as 1
        {"1.2.3.4.5", "1.2.3.4", "1", "0"},  // the fourth separator ends reading
        {"", "0.0", "1", "0"},
        {"2.x.9", "2", "1", "0"},        // any other character ends reading
        {"10", "9.99", "0", "1"},
        {"1.-1", "1.0", "1", "0"},       // "-" ends reading: the second number is 0
        {"4294967297", "1", "1", "0"},   // read like atol: wraps
    };
    for (const auto& c : cases) {
        ScriptEngine engine;
        engine.SetVariable("l", c.left, 32);
        engine.SetVariable("r", c.right, 32);
        std::string differ = c.equal[0] == '1' ? "0" : "1";
        EXPECT_EQ(Outcome(engine, "l == r"), "number " + std::string(c.equal) + " | bool:" + c.equal) << c.left << " " << c.right;
        EXPECT_EQ(Outcome(engine, "l != r"), "number " + differ + " | bool:" + differ) << c.left << " " << c.right;
        EXPECT_EQ(Outcome(engine, "l > r"), "number " + std::string(c.greater) + " | bool:" + c.greater) << c.left;
    }
}

TEST(ScriptEngine, VariablesPersistAcrossRuns) {
    ScriptEngine engine;
    engine.SetVariable("Port", "8080", 2);
    // After the first run n holds a computed number, whose text is null.
    EXPECT_EQ(Outcome(engine, "long n n = (Port + 1) return n"), "number 8081 | $n=long:8081");
    EXPECT_EQ(Outcome(engine, "long n n = (Port + 1) return n"), "number 8081 | $n=long:8081");
    EXPECT_EQ(Outcome(engine, "n = (n + 5) N"), "number 8086 | $N=long:8086");
    EXPECT_EQ(engine.SetVariable("x", "42", 2), 1);
    EXPECT_EQ(Outcome(engine, "x + \"!\""), "text \"42!\" | string:\"42!\"");
    EXPECT_STREQ(engine.FindVariable("x")->text.Text(), "42") << "a long's text is rewritten in place";
    EXPECT_EQ(Outcome(engine, "! x"), "number 0 | bool:0");
    EXPECT_EQ(Outcome(engine, "! x"), "none | fn:! $x=none:\"42\"") << "now undeclared, x cannot be negated";

    EXPECT_EQ(engine.SetVariable("Name", "12abc", 2), 1);
    EXPECT_EQ(engine.SetVariable("NAME", "text", 1), 1);
    EXPECT_EQ(Variable(engine, "name"), "string:\"text\"");
    EXPECT_EQ(engine.SetVariable("ver", "5.1.2", 32), 1);
    EXPECT_EQ(Variable(engine, "ver"), "multipart:\"5.1.2\"");
    int count = engine.Variables().GetCount();
    EXPECT_EQ(engine.SetVariable("name", "x", 4), 0);
    EXPECT_EQ(engine.SetVariable("never", "x", 0), 0);
    EXPECT_EQ(Variable(engine, "name"), "absent");
    EXPECT_EQ(engine.Variables().GetCount(), count - 1);
}

TEST(ScriptEngine, ShowsMessagesAndLeavesNothing) {
    ScriptEngine engine;
    testing::internal::CaptureStderr();
    EXPECT_EQ(Outcome(engine, "MsgBox \"hello\" MsgBox -12 MsgBox (2 > 1)"), "none |");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Info: hello\nInfo: -12\nInfo: 1\n");
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
        const char* expected;
    } cases[] = {
        {Nested(limit, "(", "1 + 1", ")"), "number 2 | long:2"},
        {Nested(limit, "(", "return 7", ")"), "number 7 | long:7"},
        {Nested(limit - 1, "(", "return \"return (7)\"", ")"), "number 7 | long:7"},
        {Nested(limit + 1, "(", "1 + 1", ")"), "none |"}, {Nested(limit, "(", "return (7)", ")"), "none |"},
        {Nested(100000, "(", "1", ")"), "none |"}, {Nested(100000, "{", "1", "}"), "none |"},
        {Nested(10000, "({", "1", "})"), "none |"}, {"7 " + Nested(10000, "! (", "0", ")"), "none |"},
        {Nested(10000, "return (", "1", ")"), "none |"}, {"1 + " + Nested(10000, "(", "1", ")"), "none |"},
        {"1 + 2", "number 3 | long:3"},  // the engine is still fine afterwards
    };
    ScriptEngine engine;
    for (const auto& c : cases) {
        EXPECT_EQ(Outcome(engine, c.script), c.expected) << c.script.substr(0, 20);
        EXPECT_EQ(engine.LastRunTooDeep(), c.expected[0] == 'n' && c.expected[1] == 'o') << c.script.substr(0, 20);
    }
}

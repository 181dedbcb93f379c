#include "config/script/script_engine.h"

#include <gtest/gtest.h>

#include <string>

#include "config/script/script_execute.h"

using quillon::ItemOf;
using quillon::ScriptEngine;
using quillon::ScriptResult;
using quillon::ScriptValue;
using quillon::TextListItem;

namespace {

std::string Quote(const char* text) { return text ? "\"" + std::string(text) + "\"" : "null"; }

std::string Describe(const ScriptValue& v) {
    switch (v.type) {
        case 0: return "none";
        case 1: return "string:" + Quote(v.text.Text());
        case 2: return "long:" + std::to_string(v.number);
        case 4: return "float:" + std::to_string(v.real);
        case 8: return "bool:" + std::to_string(v.number);
        case 32: return "multipart:" + Quote(v.text.Text());
        default: return "type" + std::to_string(v.type);
    }
}

class ScriptEngineTest : public ::testing::Test {
protected:
    // Execute's answer: "number N", "text "..."" or "none".
    std::string Run(const char* script) {
        ScriptResult r = quillon::ExecuteScript(engine, script);
        if (r.kind == ScriptResult::kNumber) return "number " + std::to_string(r.number);
        if (r.kind == ScriptResult::kText) return "text " + Quote(r.text);
        return "none";
    }

    // Every item the last run left in the root frame.
    std::string Leftovers() const {
        std::string out;
        for (TextListItem* entry = engine.RootItems().Head(); entry != nullptr; entry = entry->next) {
            if (!out.empty()) out += " ";
            const auto* item = ItemOf(entry);
            switch (item->kind) {
                case quillon::kItemVariable: out += "$" + std::string(entry->key.Text()) + "=" + Describe(*item->Value()); break;
                case quillon::kItemValue: out += Describe(*item->Value()); break;
                case quillon::kItemFunction: out += "fn:" + std::string(entry->key.Text()); break;
                case quillon::kItemGroup: out += "(" + std::string(entry->key.Text()) + ")"; break;
                default: out += "inert"; break;
            }
        }
        return out;
    }

    std::string Variable(const char* name) {
        ScriptValue* v = engine.FindVariable(name);
        return v ? Describe(*v) : "absent";
    }

    ScriptEngine engine;
};

}  // namespace

TEST_F(ScriptEngineTest, WordsBecomeVariablesFunctionsOrNumbers) {
    engine.SetVariable("known", "7", 2);
    EXPECT_EQ(Run("known"), "number 7");
    EXPECT_EQ(Run("KNOWN"), "number 7") << "variable names ignore case";

    Run("12 -5 - 1,5 -,5 12-3 1-");
    EXPECT_EQ(Leftovers(), "long:12 long:-5 long:0 float:1.000000 float:0.000000 long:12 long:1");

    // A misspelt operation or any other word names a new undeclared variable.
    Run("MsgBx a+b");
    EXPECT_EQ(Leftovers(), "$MsgBx=none $a+b=none");
    EXPECT_STREQ(engine.FindVariable("a+b")->text.Text(), "a+b");
    EXPECT_EQ(engine.FindVariable("msgbx")->type, 0);

    // Case-differing operation words are found in the function table.
    Run("\"q\" (g h) MSGBOX");
    EXPECT_EQ(Leftovers(), "string:\"q\" $g=none $h=none fn:MSGBOX");

    // A variable shadows an operation of the same name.
    engine.SetVariable("long", "abc", 1);
    EXPECT_EQ(Run("long"), "text \"abc\"");
}

TEST_F(ScriptEngineTest, ReducesStrictlyFromLeftToRight) {
    EXPECT_EQ(Run("1 + 2 + 3"), "number 6");
    EXPECT_EQ(Run("2 > 1 + 1"), "text \"TRUE1\"") << "the comparison comes first, then its boolean is added to";
    EXPECT_EQ(Run("1 + (2 > 1)"), "text \"1TRUE\"");
    EXPECT_EQ(Run("(1 + 2) > (1 + 1)"), "number 1");
    EXPECT_EQ(Run("1 + {2 + (3 + 4)}"), "number 10");
    // A failed group hands its leftovers on; the walk goes on with them.
    EXPECT_EQ(Run("(1 +) 7"), "number 8");
}

TEST_F(ScriptEngineTest, AssignsOnlyFromAValueOfTheSameType) {
    EXPECT_EQ(Run("long n  n = 5  n"), "number 5");

    // "=" takes 5 before "+" runs, which then lacks its left operand.
    EXPECT_EQ(Run("long x x = 5 + 3"), "none");
    EXPECT_EQ(Leftovers(), "fn:+ long:3");
    EXPECT_EQ(Variable("x"), "long:5");
    EXPECT_EQ(Run("x = (5 + 3) x"), "number 8");

    EXPECT_EQ(Run("a = 5"), "none") << "an undeclared variable has type 0";
    EXPECT_EQ(Leftovers(), "$a=none fn:= long:5");
    EXPECT_EQ(Run("string s s = \"abc\" s"), "text \"abc\"");
    EXPECT_EQ(Run("s = 5 s"), "text \"abc\"") << "the failed assignment leaves s first";
    EXPECT_EQ(Variable("s"), "string:\"abc\"");

    // Two undeclared variables have the same type 0: the target takes the
    // other's text, its name.
    Run("p = q");
    EXPECT_EQ(Leftovers(), "");
    EXPECT_STREQ(engine.FindVariable("p")->text.Text(), "q");
}

TEST_F(ScriptEngineTest, DeclaresVariablesOnlyWithTheExactWord) {
    EXPECT_EQ(Run("LONG y"), "none");
    EXPECT_EQ(Leftovers(), "") << "LONG consumes y and performs nothing";
    EXPECT_EQ(Variable("y"), "none");
    EXPECT_EQ(Run("Long y y = 3"), "none");
    EXPECT_EQ(Variable("y"), "none");

    Run("long \"viaText\" multipart mp");
    EXPECT_EQ(Variable("viaText"), "long:0");
    EXPECT_EQ(Variable("mp"), "multipart:\"mp\"") << "declaring keeps the other fields";

    // A number has no text: it names the null-named variable, which no word
    // reaches, and the declaration succeeds without visible effect.
    EXPECT_EQ(Run("long 5"), "none");
    EXPECT_EQ(Leftovers(), "");
}

TEST_F(ScriptEngineTest, ScriptThatDeclaresAndAssignsRunsTheSameTwice) {
    engine.SetVariable("Port", "8080", 2);
    // After the first run n holds a computed number, whose text is null.
    EXPECT_EQ(Run("long n n = (Port + 1) return n"), "number 8081");
    EXPECT_EQ(Run("long n n = (Port + 1) return n"), "number 8081");
    EXPECT_EQ(Variable("n"), "long:8081");
}

TEST_F(ScriptEngineTest, AddsNumbersAndConcatenatesText) {
    EXPECT_EQ(Run("2147483647 + 1"), "number -2147483648");
    EXPECT_EQ(Run("-2147483648 + -1"), "number 2147483647");
    EXPECT_EQ(Run("u + 4"), "number 4") << "an undeclared variable adds its number";
    EXPECT_EQ(Run("\"abc\" + 5"), "text \"abc5\"");
    EXPECT_EQ(Run("-7 + \"\""), "text \"-7\"");
    EXPECT_EQ(Run("\"v\" + 2,9"), "text \"v2\"");
    EXPECT_EQ(Run("1,0 + 12345678 + \"\""), "text \"1.234568e+007\"");
    EXPECT_EQ(Run("(1 < 2) + (2 < 1)"), "text \"TRUEFALSE\"");
    EXPECT_EQ(Run("w + \"x\""), "text \"wx\"") << "an undeclared variable's text is its name";

    Run("1,5 + 2");
    EXPECT_EQ(Leftovers(), "float:3.000000");
    Run("2 + 1,5");
    EXPECT_EQ(Leftovers(), "float:3.000000");

    // A long variable's text is rewritten in place and keeps the new text.
    engine.SetVariable("n", "42", 2);
    EXPECT_EQ(Run("n + \"!\""), "text \"42!\"");
    EXPECT_STREQ(engine.FindVariable("n")->text.Text(), "42");
    engine.SetVariable("n", "4294967295", 2);  // read like atol: wraps to -1
    EXPECT_EQ(Run("n + 1"), "number 0");

    engine.SetVariable("v", "5.1", 32);
    EXPECT_EQ(Run("\"ver \" + v"), "text \"ver 5.1\"");
    EXPECT_EQ(Run("1 + v"), "number 1");
    EXPECT_EQ(Leftovers(), "long:1 fn:+ $v=multipart:\"5.1\"") << "a multipart right operand fails";
    EXPECT_EQ(Run("1 + undeclared"), "number 1");
    EXPECT_EQ(Leftovers(), "long:1 fn:+ $undeclared=none");
}

TEST_F(ScriptEngineTest, ComparesValuesOfTheSameType) {
    EXPECT_EQ(Run("3 > -2"), "number 1");
    EXPECT_EQ(Run("3 < -2"), "number 0");
    EXPECT_EQ(Run("1,0 < 2,0"), "number 1");
    EXPECT_EQ(Run("1 > 1,0"), "number 1") << "different types fail, the 1 is left";
    EXPECT_EQ(Leftovers(), "long:1 fn:> float:1.000000");
    EXPECT_EQ(Run("\"b\" > \"a\""), "text \"b\"") << "strings cannot be ordered";
    EXPECT_EQ(Run("(1 > 0) > (0 > 1)"), "number 1") << "nor can booleans";
    EXPECT_EQ(Leftovers(), "bool:1 fn:> bool:0");
}

TEST_F(ScriptEngineTest, ComparesMultipartVersionsNumberByNumber) {
    engine.SetVariable("a", "5.1.10", 32);
    engine.SetVariable("b", "5.1.9", 32);
    EXPECT_EQ(Run("a > b"), "number 1");
    EXPECT_EQ(Run("a < b"), "number 0");
    EXPECT_EQ(Variable("a"), "multipart:\"5.1.10\"") << "reading does not change the text";

    struct Case {
        const char* left;
        const char* right;
        const char* equal;
        const char* greater;
    };
    const Case cases[] = {
        {"5.1", "5.1.0.0", "number 1", "number 0"},
        {"5,1 2", "5.1", "number 1", "number 0"},  // "," separates too; "1 2" reads as 1
        {"1.2.3.4.5", "1.2.3.4", "number 1", "number 0"},  // the fourth separator ends reading
        {"", "0.0", "number 1", "number 0"},
        {"2.x.9", "2", "number 1", "number 0"},  // any other character ends reading
        {"10", "9.99", "number 0", "number 1"},
        {"1.-1", "1.0", "number 1", "number 0"},  // "-" ends reading: the second number is 0
        {"4294967297", "1", "number 1", "number 0"},  // read like atol: wraps
    };
    for (const Case& c : cases) {
        engine.SetVariable("l", c.left, 32);
        engine.SetVariable("r", c.right, 32);
        EXPECT_EQ(Run("l == r"), c.equal) << c.left << " vs " << c.right;
        EXPECT_EQ(Run("l != r"), c.equal == std::string("number 1") ? "number 0" : "number 1") << c.left;
        EXPECT_EQ(Run("l > r"), c.greater) << c.left << " vs " << c.right;
    }
}

TEST_F(ScriptEngineTest, TestsEqualityWithinAndAcrossTypes) {
    EXPECT_EQ(Run("\"abc\" == \"abc\""), "number 1");
    EXPECT_EQ(Run("\"abc\" == \"ABC\""), "number 0") << "strings compare case-sensitively";
    EXPECT_EQ(Run("\"5\" == 5"), "number 0") << "different types are unequal";
    EXPECT_EQ(Run("\"5\" != 5"), "number 1");
    EXPECT_EQ(Run("4 == 4"), "number 1");
    EXPECT_EQ(Run("4 != 4"), "number 0");
    EXPECT_EQ(Run("1,0 == 1,9"), "number 1");
    EXPECT_EQ(Run("(1 > 0) == (2 > 0)"), "number 1");
    EXPECT_EQ(Run("(1 > 0) == 1"), "number 0") << "boolean and long differ in type";
    EXPECT_EQ(Run("k == m"), "none") << "type 0 cannot be compared";
    EXPECT_EQ(Leftovers(), "$k=none fn:== $m=none");
    EXPECT_EQ(Run("k != 3"), "number 1");
}

TEST_F(ScriptEngineTest, CombinesTruthValuesAndBits) {
    EXPECT_EQ(Run("6 & 2"), "number 1");
    EXPECT_EQ(Run("6 & 1"), "number 0");
    EXPECT_EQ(Run("(1 > 0) & 1"), "number 1") << "& takes longs only; the boolean is left";
    EXPECT_EQ(Leftovers(), "bool:1 fn:& long:1");

    EXPECT_EQ(Run("1 && (2 > 1)"), "number 1");
    EXPECT_EQ(Run("2 && 1"), "number 0") << "only exactly 1 counts as true";
    EXPECT_EQ(Run("0 || 1"), "number 1");
    EXPECT_EQ(Run("2 || -1"), "number 0");
    EXPECT_EQ(Run("\"1\" || 1"), "text \"1\"");
    EXPECT_EQ(Leftovers(), "string:\"1\" fn:|| long:1");
}

TEST_F(ScriptEngineTest, NegatesAndLeavesTheOperandUndeclared) {
    EXPECT_EQ(Run("! 0"), "number 1");
    EXPECT_EQ(Run("! -3"), "number 1");
    EXPECT_EQ(Run("! 5"), "number 0");
    EXPECT_EQ(Run("! (1 > 2)"), "number 1");
    EXPECT_EQ(Run("! 0,0"), "number 1");
    EXPECT_EQ(Run("! 3,0"), "number 0");
    EXPECT_EQ(Run("! \"x\""), "none");
    EXPECT_EQ(Leftovers(), "fn:! string:\"x\"");

    engine.SetVariable("x", "4", 2);
    EXPECT_EQ(Run("! x"), "number 0");
    EXPECT_EQ(Variable("x"), "none");
    EXPECT_EQ(Run("! x"), "none") << "now undeclared, x cannot be negated";
}

TEST_F(ScriptEngineTest, ReturnKeepsOnlyItsOperand) {
    engine.SetVariable("a", "2", 2);
    engine.SetVariable("b", "3", 2);
    EXPECT_EQ(Run("return (a + b)"), "number 5");
    EXPECT_EQ(Leftovers(), "long:5");
    EXPECT_EQ(Run("7 8 return"), "none");
    EXPECT_EQ(Leftovers(), "");
    EXPECT_EQ(Run("1 + 1 return 9 10"), "number 9");
    EXPECT_EQ(Leftovers(), "long:9");
    // A quoted text after return is read again as a word.
    EXPECT_EQ(Run("return \"a\""), "number 2");
    EXPECT_EQ(Run("return \"1 + 2\""), "number 3");
    EXPECT_EQ(Run("(return 4) + 1"), "number 5");
    EXPECT_EQ(Run("Return 4"), "none") << "only the exact word returns";
    EXPECT_EQ(Leftovers(), "$Return=none long:4");
}

TEST_F(ScriptEngineTest, FailuresLeaveTheFramePartlyReduced) {
    EXPECT_EQ(Run("5 +"), "number 5");
    EXPECT_EQ(Leftovers(), "long:5 fn:+");
    EXPECT_EQ(Run("MsgBox (1 2)"), "none");
    EXPECT_EQ(Leftovers(), "fn:MsgBox long:1 long:2");
    EXPECT_EQ(Run("1 + + 2"), "number 1");
    EXPECT_EQ(Leftovers(), "long:1 fn:+ fn:+ long:2");
    EXPECT_EQ(Run("= 1"), "none");
    // The unterminated quote drops the rest; MsgBox then lacks its operand.
    EXPECT_EQ(Run("MsgBox \"abc"), "none");
    EXPECT_EQ(Leftovers(), "fn:MsgBox");
    EXPECT_EQ(Run("1 + (2 + 3"), "number 1");
    EXPECT_EQ(Leftovers(), "long:1 fn:+") << "a group left open drops everything from its opening";
    // The group's own quote is left open: it reduces to two items, which stay.
    EXPECT_EQ(Run("1 + (2 + \"x) 3"), "number 1");
    EXPECT_EQ(Leftovers(), "long:1 fn:+ long:2 fn:+ long:3");
    // Reduction stops at the failure: the later "1 + 1" is not reduced.
    EXPECT_EQ(Run("\"a\" > 1 1 + 1"), "text \"a\"");
    EXPECT_EQ(Leftovers(), "string:\"a\" fn:> long:1 long:1 fn:+ long:1");
}

TEST_F(ScriptEngineTest, ShowsMessagesAndLeavesNothing) {
    testing::internal::CaptureStderr();
    EXPECT_EQ(Run("MsgBox \"hello\" MsgBox -12 MsgBox (2 > 1)"), "none");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Info: hello\nInfo: -12\nInfo: 1\n");
    EXPECT_EQ(Leftovers(), "");
}

TEST_F(ScriptEngineTest, VariablesPersistAcrossRuns) {
    EXPECT_EQ(Run("long total total = 10"), "none");
    EXPECT_EQ(Run("total = (total + 5) total"), "number 15");
    EXPECT_EQ(Run("TOTAL"), "number 15");

    EXPECT_EQ(engine.SetVariable("Name", "12abc", 2), 1);
    EXPECT_EQ(Variable("name"), "long:12");
    EXPECT_EQ(engine.SetVariable("NAME", "text", 1), 1);
    EXPECT_EQ(Variable("name"), "string:\"text\"");
    EXPECT_EQ(engine.SetVariable("ver", "5.1.2", 32), 1);
    EXPECT_EQ(Variable("ver"), "multipart:\"5.1.2\"");
    EXPECT_EQ(engine.Variables().GetCount(), 3);

    Run("Name");
    EXPECT_EQ(engine.SetVariable("name", "x", 4), 0);
    EXPECT_EQ(Variable("name"), "absent");
    EXPECT_EQ(engine.SetVariable("never", "x", 0), 0);
    EXPECT_EQ(Variable("never"), "absent");
    EXPECT_EQ(engine.Variables().GetCount(), 2);
}

namespace {

std::string Nested(int depth, const char* open, const char* inner, const char* close) {
    std::string s;
    for (int i = 0; i < depth; ++i) s += open;
    s += inner;
    for (int i = 0; i < depth; ++i) s += close;
    return s;
}

}  // namespace

TEST_F(ScriptEngineTest, NestingBeyondTheLimitAbandonsTheRun) {
    const int limit = ScriptEngine::kMaxGroupDepth;
    EXPECT_EQ(Run(Nested(limit, "(", "1 + 1", ")").c_str()), "number 2");
    EXPECT_FALSE(engine.LastRunTooDeep());
    EXPECT_EQ(Run(Nested(limit + 1, "(", "1 + 1", ")").c_str()), "none");
    EXPECT_TRUE(engine.LastRunTooDeep());
    EXPECT_EQ(Leftovers(), "");
    // Only groups count: "return" adds no level, a group after it does.
    EXPECT_EQ(Run(Nested(limit, "(", "return 7", ")").c_str()), "number 7");
    EXPECT_EQ(Run(Nested(limit - 1, "(", "return \"return (7)\"", ")").c_str()), "number 7");
    EXPECT_EQ(Run(Nested(limit, "(", "return (7)", ")").c_str()), "none");
    EXPECT_TRUE(engine.LastRunTooDeep());

    // Every kind of recursion: groups, operand groups and return.
    const std::string deep[] = {
        Nested(100000, "(", "1", ")"),
        Nested(100000, "{", "1", "}"),
        Nested(10000, "({", "1", "})"),
        "7 " + Nested(10000, "! (", "0", ")"),
        Nested(10000, "return (", "1", ")"),
        "1 + " + Nested(10000, "(", "1", ")"),
    };
    for (const std::string& script : deep) {
        EXPECT_EQ(Run(script.c_str()), "none") << script.substr(0, 20);
        EXPECT_TRUE(engine.LastRunTooDeep());
    }
    // The engine is still fine afterwards.
    EXPECT_EQ(Run("1 + 2"), "number 3");
    EXPECT_FALSE(engine.LastRunTooDeep());
}

#include "config/script/script_tokenizer.h"

#include <gtest/gtest.h>

#include <string>

using quillon::ScriptTokenizer;

namespace {

// The answer of Tokenize, then each token as [text] with its tag if not 0.
std::string Cut(ScriptTokenizer& tokenizer, const char* text) {
    std::string out = std::to_string(tokenizer.Tokenize(text));
    for (auto* token = tokenizer.Tokens().Head(); token != nullptr; token = token->next) {
        out += " [" + std::string(token->key.Text() ? token->key.Text() : "<null>") + "]";
        if (ScriptTokenizer::Tag(token) != 0) out += std::to_string(ScriptTokenizer::Tag(token));
    }
    return out;
}

// The delimiters Execute sets up before every run.
void AddScriptDelimiters(ScriptTokenizer& tokenizer) {
    tokenizer.AddDelimiter(1, " ", 0);
    tokenizer.AddDelimiter(1, "\r\n", 0);
    tokenizer.AddDelimiter(2, "\"", 1);
    tokenizer.AddBracketPair(3, "(", ")", 2);
    tokenizer.AddBracketPair(3, "{", "}", 4);
}

}  // namespace

// One tokenizer for all: each Tokenize replaces the tokens of the last.
TEST(ScriptTokenizer, CutsScriptsWithTheExecuteDelimiters) {
    const struct {
        const char* text;
        const char* tokens;
    } cases[] = {
        {"a = (b + (c))", "1 [a] [=] [b + (c)]2"}, {"  lead and trail  ", "1 [lead] [and] [trail]"}, {"\"\"", "1 []1"},
        {"\"a b\" c", "1 [a b]1 [c]"}, {"MsgBox(x)", "1 [MsgBox] [x]2"}, {"abc\"def\"ghi", "1 [abc] [def]1 [ghi]"},
        {"a)b c", "1 [a)b] [c]"}, {"(a)(b)", "1 [a]2 [b]2"}, {"{x {y} z}", "1 [x {y} z]4"},
        {"(a {b) c}", "1 [a {b]2 [c}]"}, {"()", "1 []2"}, {"a\tb\nc", "1 [a\tb\nc]"}, {"a\r\nb\rc", "1 [a] [b\rc]"},
        {"", "1"}, {nullptr, "1"},
        // An unterminated quote or group keeps the tokens before it.
        {"MsgBox \"abc", "0 [MsgBox]"}, {"a (b (c)", "0 [a]"}, {"a\"b\"c\"d", "0 [a] [b]1 [c]"},
        // Quotes are not looked at while a group is matched: the group ends at
        // the parenthesis inside the quotes, and the quotation mark after it
        // opens a quote that never ends.
        {"(MsgBox \")\") y", "0 [MsgBox \"]2"},
    };
    ScriptTokenizer tokenizer;
    AddScriptDelimiters(tokenizer);
    for (const auto& c : cases) EXPECT_EQ(Cut(tokenizer, c.text), c.tokens) << (c.text ? c.text : "(null)");
}

TEST(ScriptTokenizer, TheDelimiterTable) {
    ScriptTokenizer none;
    EXPECT_EQ(Cut(none, "a = (b)"), "1 [a = (b)]") << "without delimiters the text is one word";
    for (int kind : {0, 3}) EXPECT_EQ(none.AddDelimiter(kind, ";", 2), 0) << kind;
    EXPECT_EQ(none.AddDelimiter(1, "", 0) + none.AddDelimiter(1, nullptr, 0), 0);
    EXPECT_EQ(none.AddBracketPair(1, "(", ")", 2) + none.AddBracketPair(3, "(", "", 2), 0);
    EXPECT_EQ(none.AddBracketPair(3, "", ")", 2), 0);
    EXPECT_EQ(none.Delimiters().GetCount(), 0);

    // At one place the delimiter added first wins; an earlier place always does.
    ScriptTokenizer separatorFirst, quoteFirst, later;
    separatorFirst.AddDelimiter(1, "-", 0);
    separatorFirst.AddDelimiter(2, "--", 7);
    EXPECT_EQ(Cut(separatorFirst, "x--y--z"), "1 [x] [y] [z]");
    quoteFirst.AddDelimiter(2, "--", 7);
    quoteFirst.AddDelimiter(1, "-", 0);
    EXPECT_EQ(Cut(quoteFirst, "x--y--z"), "1 [x] [y]7 [z]");
    later.AddDelimiter(1, "b", 0);
    later.AddDelimiter(1, "a", 0);
    EXPECT_EQ(Cut(later, "1a2b3"), "1 [1] [2] [3]");

    // Added again in other case: the record keeps its place and its own text
    // and takes the new kind and tag. Matching stays case-sensitive.
    ScriptTokenizer tokenizer;
    EXPECT_EQ(tokenizer.AddDelimiter(1, "x", 0), 1);
    EXPECT_EQ(tokenizer.AddDelimiter(1, " ", 0), 1);
    EXPECT_EQ(tokenizer.AddDelimiter(2, "X", 5), 1);
    EXPECT_EQ(tokenizer.Delimiters().GetCount(), 2);
    EXPECT_STREQ(tokenizer.Delimiters().Head()->key.Text(), "x");
    EXPECT_EQ(Cut(tokenizer, "axbx cXd"), "1 [a] [b]5 [cXd]");
    // A bracket pair turned into a separator loses its closing text.
    EXPECT_EQ(tokenizer.AddBracketPair(3, "(", ")", 2), 1);
    EXPECT_EQ(tokenizer.AddDelimiter(1, "(", 0), 1);
    EXPECT_EQ(Cut(tokenizer, "f(a)"), "1 [f] [a)]");
}

TEST(ScriptTokenizer, MultiCharacterPairsAndQuotes) {
    ScriptTokenizer tokenizer;
    tokenizer.AddDelimiter(1, " ", 0);
    tokenizer.AddBracketPair(3, "<<", ">>", 9);
    tokenizer.AddDelimiter(2, "''", 3);
    EXPECT_EQ(Cut(tokenizer, "<<a <<b>> c>> ''q r''"), "1 [a <<b>> c]9 [q r]3");
    EXPECT_EQ(Cut(tokenizer, "<<a <<b>>"), "0");
    tokenizer.AddBracketPair(3, "|", "|", 5);
    EXPECT_EQ(Cut(tokenizer, "|a|b|c d|"), "1 [a]5 [b] [c d]5") << "a pair whose ends are alike cannot nest";
}

// Without remembered positions these inputs take quadratic time; the test
// would then run for minutes instead of milliseconds.
TEST(ScriptTokenizer, HugeBracketRunsAreCutInOnePass) {
    constexpr int kCount = 100000;
    ScriptTokenizer tokenizer;
    AddScriptDelimiters(tokenizer);
    std::string pairs;
    for (int i = 0; i < kCount / 2; ++i) pairs += "(){}";
    const struct {
        std::string text;
        int answer;
        int tokens;
    } cases[] = {
        {std::string(kCount, '(') + "x" + std::string(kCount, ')'), 1, 1},
        {std::string(kCount, '(') + std::string(kCount - 1, ')'), 0, 0}, {std::string(kCount, ')'), 1, 1},
        {pairs, 1, kCount},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(tokenizer.Tokenize(c.text.c_str()), c.answer) << c.text.substr(0, 10);
        EXPECT_EQ(tokenizer.Tokens().GetCount(), c.tokens) << c.text.substr(0, 10);
    }
}

#include "config/script/script_tokenizer.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

using quillon::ScriptTokenizer;

namespace {

using Tokens = std::vector<std::pair<std::string, int>>;

// The delimiters Execute sets up before every run.
void AddScriptDelimiters(ScriptTokenizer& tokenizer) {
    tokenizer.AddDelimiter(1, " ", 0);
    tokenizer.AddDelimiter(1, "\r\n", 0);
    tokenizer.AddDelimiter(2, "\"", 1);
    tokenizer.AddBracketPair(3, "(", ")", 2);
    tokenizer.AddBracketPair(3, "{", "}", 4);
}

Tokens TokensOf(ScriptTokenizer& tokenizer) {
    Tokens out;
    for (auto* token = tokenizer.Tokens().Head(); token != nullptr; token = token->next)
        out.emplace_back(token->key.Text() ? token->key.Text() : "<null>", ScriptTokenizer::Tag(token));
    return out;
}

struct Case {
    const char* text;
    int answer;
    Tokens tokens;
};

}  // namespace

TEST(ScriptTokenizer, CutsScriptsWithTheExecuteDelimiters) {
    const Case cases[] = {
        {"a = (b + (c))", 1, {{"a", 0}, {"=", 0}, {"b + (c)", 2}}},
        {"long  n", 1, {{"long", 0}, {"n", 0}}},
        {"  lead and trail  ", 1, {{"lead", 0}, {"and", 0}, {"trail", 0}}},
        {"\"\"", 1, {{"", 1}}},
        {"\"a b\" c", 1, {{"a b", 1}, {"c", 0}}},
        {"MsgBox(x)", 1, {{"MsgBox", 0}, {"x", 2}}},
        {"abc\"def\"ghi", 1, {{"abc", 0}, {"def", 1}, {"ghi", 0}}},
        {"a)b c", 1, {{"a)b", 0}, {"c", 0}}},
        {"(a)(b)", 1, {{"a", 2}, {"b", 2}}},
        {"{x {y} z}", 1, {{"x {y} z", 4}}},
        {"(a {b) c}", 1, {{"a {b", 2}, {"c}", 0}}},
        {"()", 1, {{"", 2}}},
        {"a+b", 1, {{"a+b", 0}}},
        {"a\tb\nc", 1, {{"a\tb\nc", 0}}},
        {"a\r\nb\rc", 1, {{"a", 0}, {"b\rc", 0}}},
        {"a\r\n\r\nb", 1, {{"a", 0}, {"b", 0}}},
        {"", 1, {}},
        {"   ", 1, {}},
    };
    ScriptTokenizer tokenizer;
    AddScriptDelimiters(tokenizer);
    for (const Case& c : cases) {
        EXPECT_EQ(tokenizer.Tokenize(c.text), c.answer) << c.text;
        EXPECT_EQ(TokensOf(tokenizer), c.tokens) << c.text;
    }
}

TEST(ScriptTokenizer, UnterminatedQuoteOrGroupKeepsTheTokensBeforeIt) {
    const Case cases[] = {
        {"MsgBox \"abc", 0, {{"MsgBox", 0}}},
        {"a (b (c)", 0, {{"a", 0}}},
        {"x ((", 0, {{"x", 0}}},
        // Quotes are not looked at while a group is matched: the group ends at
        // the parenthesis inside the quotes, and the quotation mark after it
        // opens a quote that never ends.
        {"(MsgBox \")\") y", 0, {{"MsgBox \"", 2}}},
        {"a\"b\"c\"d", 0, {{"a", 0}, {"b", 1}, {"c", 0}}},
    };
    ScriptTokenizer tokenizer;
    AddScriptDelimiters(tokenizer);
    for (const Case& c : cases) {
        EXPECT_EQ(tokenizer.Tokenize(c.text), c.answer) << c.text;
        EXPECT_EQ(TokensOf(tokenizer), c.tokens) << c.text;
    }
}

TEST(ScriptTokenizer, EachTokenizeReplacesTheTokens) {
    ScriptTokenizer tokenizer;
    AddScriptDelimiters(tokenizer);
    tokenizer.Tokenize("a b c");
    tokenizer.Tokenize("d");
    EXPECT_EQ(TokensOf(tokenizer), (Tokens{{"d", 0}}));
    EXPECT_EQ(tokenizer.Tokenize(nullptr), 1);
    EXPECT_EQ(tokenizer.Tokens().GetCount(), 0);
}

TEST(ScriptTokenizer, WithoutDelimitersTheWholeTextIsOneWord) {
    ScriptTokenizer tokenizer;
    EXPECT_EQ(tokenizer.Tokenize("a = (b)"), 1);
    EXPECT_EQ(TokensOf(tokenizer), (Tokens{{"a = (b)", 0}}));
}

TEST(ScriptTokenizer, TiesGoToTheDelimiterAddedFirst) {
    // "-" and "--" both occur at the same place; the table order decides.
    ScriptTokenizer separatorFirst;
    separatorFirst.AddDelimiter(1, "-", 0);
    separatorFirst.AddDelimiter(2, "--", 7);
    separatorFirst.Tokenize("x--y--z");
    EXPECT_EQ(TokensOf(separatorFirst), (Tokens{{"x", 0}, {"y", 0}, {"z", 0}}));

    ScriptTokenizer quoteFirst;
    quoteFirst.AddDelimiter(2, "--", 7);
    quoteFirst.AddDelimiter(1, "-", 0);
    quoteFirst.Tokenize("x--y--z");
    EXPECT_EQ(TokensOf(quoteFirst), (Tokens{{"x", 0}, {"y", 7}, {"z", 0}}));

    // An earlier position always beats table order.
    ScriptTokenizer later;
    later.AddDelimiter(1, "b", 0);
    later.AddDelimiter(1, "a", 0);
    later.Tokenize("1a2b3");
    EXPECT_EQ(TokensOf(later), (Tokens{{"1", 0}, {"2", 0}, {"3", 0}}));
}

TEST(ScriptTokenizer, AddingAgainReusesTheRecordInItsPlace) {
    ScriptTokenizer tokenizer;
    EXPECT_EQ(tokenizer.AddDelimiter(1, "x", 0), 1);
    EXPECT_EQ(tokenizer.AddDelimiter(1, " ", 0), 1);
    // Same text in other case: the record keeps its place and its own text,
    // and takes the new kind and tag. Matching stays case-sensitive.
    EXPECT_EQ(tokenizer.AddDelimiter(2, "X", 5), 1);
    EXPECT_EQ(tokenizer.Delimiters().GetCount(), 2);
    EXPECT_STREQ(tokenizer.Delimiters().Head()->key.Text(), "x");
    tokenizer.Tokenize("axbx cXd");
    EXPECT_EQ(TokensOf(tokenizer), (Tokens{{"a", 0}, {"b", 5}, {"cXd", 0}}));

    // A bracket pair turned into a separator loses its closing text.
    EXPECT_EQ(tokenizer.AddBracketPair(3, "(", ")", 2), 1);
    EXPECT_EQ(tokenizer.AddDelimiter(1, "(", 0), 1);
    EXPECT_EQ(tokenizer.Delimiters().GetCount(), 3);
    tokenizer.Tokenize("f(a)");
    EXPECT_EQ(TokensOf(tokenizer), (Tokens{{"f", 0}, {"a)", 0}}));
}

TEST(ScriptTokenizer, RejectsTheWrongKindAndEmptyTexts) {
    ScriptTokenizer tokenizer;
    EXPECT_EQ(tokenizer.AddDelimiter(3, "(", 2), 0);
    EXPECT_EQ(tokenizer.AddDelimiter(0, ";", 0), 0);
    EXPECT_EQ(tokenizer.AddDelimiter(1, "", 0), 0);
    EXPECT_EQ(tokenizer.AddDelimiter(1, nullptr, 0), 0);
    EXPECT_EQ(tokenizer.AddBracketPair(1, "(", ")", 2), 0);
    EXPECT_EQ(tokenizer.AddBracketPair(3, "(", "", 2), 0);
    EXPECT_EQ(tokenizer.AddBracketPair(3, "", ")", 2), 0);
    EXPECT_EQ(tokenizer.Delimiters().GetCount(), 0);
}

TEST(ScriptTokenizer, MatchesMultiCharacterPairsAndQuotes) {
    ScriptTokenizer tokenizer;
    tokenizer.AddDelimiter(1, " ", 0);
    tokenizer.AddBracketPair(3, "<<", ">>", 9);
    tokenizer.AddDelimiter(2, "''", 3);
    tokenizer.Tokenize("<<a <<b>> c>> ''q r''");
    EXPECT_EQ(TokensOf(tokenizer), (Tokens{{"a <<b>> c", 9}, {"q r", 3}}));
    EXPECT_EQ(tokenizer.Tokenize("<<a <<b>>"), 0);

    // A pair whose closing text is its opening text cannot nest.
    tokenizer.AddBracketPair(3, "|", "|", 5);
    tokenizer.Tokenize("|a|b|c d|");
    EXPECT_EQ(TokensOf(tokenizer), (Tokens{{"a", 5}, {"b", 0}, {"c d", 5}}));

    // Deep nesting through the general matching stays linear too.
    constexpr int kCount = 50000;
    std::string nested;
    for (int i = 0; i < kCount; ++i) nested += "<<";
    for (int i = 0; i < kCount; ++i) nested += ">>";
    EXPECT_EQ(tokenizer.Tokenize(nested.c_str()), 1);
    ASSERT_EQ(tokenizer.Tokens().GetCount(), 1);
    EXPECT_EQ(tokenizer.Tokens().Head()->key.GetLength(), 4 * kCount - 4);
    nested.pop_back();
    nested.pop_back();
    EXPECT_EQ(tokenizer.Tokenize(nested.c_str()), 0);
}

TEST(ScriptTokenizer, HugeBracketRunsAreCutInOnePass) {
    // Without remembered positions these inputs take quadratic time; the test
    // would then run for minutes instead of milliseconds.
    constexpr int kCount = 100000;
    ScriptTokenizer tokenizer;
    AddScriptDelimiters(tokenizer);

    std::string nested = std::string(kCount, '(') + "x" + std::string(kCount, ')');
    ASSERT_EQ(tokenizer.Tokenize(nested.c_str()), 1);
    ASSERT_EQ(tokenizer.Tokens().GetCount(), 1);
    EXPECT_EQ(tokenizer.Tokens().Head()->key.GetLength(), 2 * kCount - 1);

    std::string unclosed = std::string(kCount, '(') + std::string(kCount - 1, ')');
    EXPECT_EQ(tokenizer.Tokenize(unclosed.c_str()), 0);
    EXPECT_EQ(tokenizer.Tokens().GetCount(), 0);

    std::string closersOnly(kCount, ')');
    EXPECT_EQ(tokenizer.Tokenize(closersOnly.c_str()), 1);
    EXPECT_EQ(tokenizer.Tokens().GetCount(), 1);

    std::string pairs;
    for (int i = 0; i < kCount / 2; ++i) pairs += "(){}";
    EXPECT_EQ(tokenizer.Tokenize(pairs.c_str()), 1);
    EXPECT_EQ(tokenizer.Tokens().GetCount(), kCount);

    std::string words;
    for (int i = 0; i < kCount; ++i) words += "w ";
    EXPECT_EQ(tokenizer.Tokenize(words.c_str()), 1);
    EXPECT_EQ(tokenizer.Tokens().GetCount(), kCount);
}

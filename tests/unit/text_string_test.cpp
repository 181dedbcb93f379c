#include "foundation/text_string.h"

#include <gtest/gtest.h>

#include <string>

using quillon::TextString;

namespace {

// "null" or the text in brackets, so that null and empty stay apart.
std::string Show(const TextString& s) { return s.IsNull() ? "null" : "[" + std::string(s.Text()) + "]"; }
std::string Show(const char* s) { return s ? "[" + std::string(s) + "]" : "null"; }

}  // namespace

TEST(TextString, NullAndEmptyStayApartThroughEdits) {
    TextString s;
    s.Append(nullptr);
    EXPECT_EQ(Show(s), "null") << "appending a null text keeps a null string null";
    s.Append("xyz", 0);
    EXPECT_EQ(Show(s), "[]") << "a zero-byte piece still yields a buffer";
    s.Append("cdef", 2);
    EXPECT_EQ(Show(s), "[cd]");
    s.Assign("hello", 99);
    EXPECT_EQ(Show(s), "[hello]");
    s.Assign(s.Text() + 2, 2);  // a piece of its own buffer
    EXPECT_EQ(Show(s), "[ll]");
    s = s;
    s = s.Text();
    EXPECT_EQ(Show(s), "[ll]");
    s.Assign(nullptr);
    EXPECT_EQ(Show(TextString(s)), "null") << "a copy of null is null";

    s.Format("%u-%s", 4294967295u, "x");
    EXPECT_EQ(Show(s), "[4294967295-x]");
    s.Format(nullptr);
    EXPECT_EQ(Show(s), "[4294967295-x]");
    EXPECT_EQ(Show(TextString(u"abc")), "[abc]");
    EXPECT_EQ(Show(TextString(u"\u00e9\u20ac")), "[\xE9\x80]") << "through the ANSI code page";
    EXPECT_EQ(Show(TextString(u"")), "null");
}

TEST(TextString, Comparisons) {
    const struct {
        const char* string;
        const char* text;
        int length;
        int caseSensitive;
        int equal;
    } equalities[] = {
        {nullptr, "", -1, 0, 0}, {"", nullptr, -1, 0, 0}, {nullptr, nullptr, -1, 0, 1},
        {nullptr, nullptr, 0, 0, 1},  // null equals null at any length
        {"", "", 0, 0, 0},            // length 0 never matches texts
        {"Name", "NAME", -1, 0, 1}, {"Name", "NAME", -1, 1, 0}, {"Name", "NAx", 2, 0, 1}, {"Name", "nax", 2, 1, 0},
        {"Name", "nAmEs", 4, 0, 1}, {"Name", "Na", 4, 0, 0},  // a terminator in one text ends it unequal
        {"Na", "Na", 4, 1, 1}, {"Name", "Name", -2, 0, 0},
    };
    for (const auto& c : equalities)
        EXPECT_EQ(TextString(c.string).IsEqual(c.text, c.length, c.caseSensitive), c.equal)
            << Show(c.string) << " " << Show(c.text) << " " << c.length << " " << c.caseSensitive;

    // Null first; then the collation (its rules are held in
    // ansi_collation_test.cpp): case-insensitive first, lower case first on ties.
    const struct {
        const char* string;
        const char* text;
        int caseSensitive;
        int order;
    } orders[] = {
        {nullptr, nullptr, 1, 0}, {nullptr, "", 1, -1}, {"a", nullptr, 1, 1}, {"a", "A", 1, -1}, {"a", "A", 0, 0},
        {"B", "a", 1, 1}, {"B", "a", 0, 1}, {"a", "B", 0, -1},
    };
    for (const auto& c : orders)
        EXPECT_EQ(TextString(c.string).Compare(c.text, c.caseSensitive), c.order) << Show(c.string) << Show(c.text);

    EXPECT_EQ(TextString("Name").IsSame("Name"), 1);
    EXPECT_EQ(TextString("Name").IsSame("name"), 0);
    EXPECT_EQ(TextString().IsSame(nullptr), 1);
    EXPECT_EQ(TextString("").IsSame(nullptr), 0);
}

TEST(TextString, FindAndMid) {
    TextString s("a;b;c");
    EXPECT_EQ(s.Find(';'), 1);
    EXPECT_EQ(s.Find(';', 2), 3);
    EXPECT_EQ(s.Find(';', 4), -1);
    EXPECT_EQ(s.Find('a', 5), -1);

    const struct {
        int start;
        int count;
        const char* expected;
    } mids[] = {{2, 0, "null"}, {10, 5, "null"}, {-3, 2, "[ab]"}, {1, 99, "[bc]"}, {0, -1, "null"}};
    for (const auto& c : mids) EXPECT_EQ(Show(TextString("abc").Mid(c.start, c.count)), c.expected) << c.start;
}

TEST(TextString, SplitOffAndReplaceAll) {
    const struct {
        const char* text;
        const char* delimiters;
        int fromEnd;
        int remove;
        const char* part;
        const char* rest;
    } splits[] = {
        {";ROOT;Application", ";", 1, 1, "[Application]", "[;ROOT]"},
        {";ROOT", ";", 1, 1, "[ROOT]", "[]"},  // cut at index 0: empty
        {"ROOT", ";", 1, 1, "[ROOT]", "null"},  // no delimiter: removing clears to null
        {"a;", ";", 1, 0, "[]", "[a;]"}, {".5", ".", 0, 0, "[]", "[.5]"},
        {"HKEY_LOCAL_MACHINE\\SOFTWARE\\X", "\\", 0, 1, "[HKEY_LOCAL_MACHINE]", "[SOFTWARE\\X]"},
        {"1,2.3", ".,", 0, 1, "[1]", "[2.3]"}, {"x.", ".", 0, 1, "[x]", "[]"}, {nullptr, ".", 0, 1, "null", "null"},
        {"abc", "", 0, 0, "[abc]", "[abc]"}, {"abc", nullptr, 0, 1, "[abc]", "null"},
    };
    for (const auto& c : splits) {
        TextString s(c.text);
        EXPECT_EQ(Show(s.SplitOff(c.delimiters, c.fromEnd, c.remove)), c.part) << Show(c.text) << Show(c.delimiters);
        EXPECT_EQ(Show(s), c.rest) << Show(c.text) << Show(c.delimiters);
    }

    const struct {
        const char* text;
        const char* find;
        const char* replacement;
        int count;
        const char* result;
    } replacements[] = {
        {"aaaa", "aa", "a", 2, "[aa]"}, {"a-b-c", "-", "--", 2, "[a--b--c]"}, {"xyxy", "x", nullptr, 2, "[yy]"},
        {"ab", "ab", "", 1, "[]"}, {nullptr, "a", "b", 0, "null"}, {"ab", "", "b", 0, "[ab]"},
    };
    for (const auto& c : replacements) {
        TextString s(c.text);
        EXPECT_EQ(s.ReplaceAll(c.find, c.replacement), c.count) << Show(c.text) << Show(c.find);
        EXPECT_EQ(Show(s), c.result) << Show(c.text) << Show(c.find);
    }
}

#include "foundation/text_string.h"

#include <gtest/gtest.h>

using quillon::TextString;

TEST(TextString, NullAndEmptyAreDistinctStates) {
    TextString s;
    EXPECT_TRUE(s.IsNull());
    EXPECT_EQ(s.GetLength(), 0);

    s.Append(nullptr);
    EXPECT_TRUE(s.IsNull()) << "appending a null text keeps a null string null";
    s.Append("");
    ASSERT_FALSE(s.IsNull()) << "appending \"\" makes a null string empty";
    EXPECT_STREQ(s.Text(), "");

    s.Assign(nullptr);
    EXPECT_TRUE(s.IsNull());
    s.Assign("");
    EXPECT_FALSE(s.IsNull());

    TextString null, empty("");
    EXPECT_EQ(null.IsEqual(""), 0);
    EXPECT_EQ(empty.IsEqual(nullptr), 0);
    EXPECT_EQ(null.IsEqual(nullptr), 1);
    EXPECT_EQ(null.IsEqual(nullptr, 0), 1) << "null equals null at any length";
    EXPECT_EQ(empty.IsEqual("", 0), 0) << "length 0 never matches non-null texts";
    EXPECT_TRUE(TextString(null).IsNull()) << "a copy of null is null";
}

TEST(TextString, AppendTakesAtMostMaxLengthBytes) {
    TextString s("ab");
    s.Append("cdef", 2);
    EXPECT_STREQ(s.Text(), "abcd");
    s.Append("xyz", 0);
    EXPECT_STREQ(s.Text(), "abcd");
    TextString t;
    t.Append("xyz", 0);
    ASSERT_FALSE(t.IsNull()) << "a zero-byte piece still yields a buffer";
    EXPECT_STREQ(t.Text(), "");
    t.Assign("hello", 99);
    EXPECT_STREQ(t.Text(), "hello");
}

TEST(TextString, AssignFromItsOwnBuffer) {
    TextString s("abcdef");
    s.Assign(s.Text() + 2, 2);
    EXPECT_STREQ(s.Text(), "cd");
    s = s.Text();
    EXPECT_STREQ(s.Text(), "cd");
    s = s;
    EXPECT_STREQ(s.Text(), "cd");
}

TEST(TextString, CompareOrdersNullFirstAndFollowsWindowsCollation) {
    TextString null, a("a");
    EXPECT_EQ(null.Compare(nullptr, 1), 0);
    EXPECT_EQ(null.Compare("", 1), -1);
    EXPECT_EQ(a.Compare(nullptr, 1), 1);
    EXPECT_EQ(a.Compare("A", 1), -1) << "lower case first on ties";
    EXPECT_EQ(a.Compare("A", 0), 0);
    EXPECT_EQ(TextString("B").Compare("a", 1), 1) << "case-insensitive first";
    EXPECT_EQ(TextString("9").Compare("a", 1), -1) << "digits before letters";
    EXPECT_EQ(TextString("_").Compare("0", 1), -1) << "underscore before digits";
    EXPECT_EQ(TextString("coop").Compare("co-op", 1), -1) << "hyphens only break ties";
    EXPECT_EQ(TextString("ab").Compare("a-c", 1), -1);
}

TEST(TextString, IsEqualAndIsSame) {
    TextString s("Name");
    EXPECT_EQ(s.IsEqual("NAME"), 1);
    EXPECT_EQ(s.IsEqual("NAME", -1, 1), 0);
    EXPECT_EQ(s.IsEqual("NAx", 2), 1);
    EXPECT_EQ(s.IsEqual("nax", 2, 1), 0);
    EXPECT_EQ(s.IsEqual("nAmEs", 4), 1);
    EXPECT_EQ(s.IsEqual("Na", 4), 0) << "a terminator in one text ends the comparison unequal";
    EXPECT_EQ(TextString("Na").IsEqual("Na", 4, 1), 1);
    EXPECT_EQ(s.IsEqual("Name", -2), 0);
    EXPECT_EQ(s.IsSame("Name"), 1);
    EXPECT_EQ(s.IsSame("name"), 0);
    EXPECT_EQ(TextString().IsSame(nullptr), 1);
    EXPECT_EQ(TextString("").IsSame(nullptr), 0);
}

TEST(TextString, FindAndFindText) {
    TextString s("a;b;c");
    EXPECT_EQ(s.Find(';'), 1);
    EXPECT_EQ(s.Find(';', 2), 3);
    EXPECT_EQ(s.Find(';', 4), -1);
    EXPECT_EQ(s.Find('a', 5), -1);
    EXPECT_EQ(TextString().Find('a'), -1);
    EXPECT_EQ(s.FindText("b;c"), 2);
    EXPECT_EQ(s.FindText("b", 3), -1);
    EXPECT_EQ(s.FindText(nullptr), -1);
    EXPECT_EQ(TextString().FindText("a"), -1);
}

TEST(TextString, MidClampsAndReturnsNullForNothing) {
    TextString s("abc");
    EXPECT_TRUE(s.Mid(2, 0).IsNull());
    EXPECT_TRUE(s.Mid(10, 5).IsNull());
    EXPECT_STREQ(s.Mid(-3, 2).Text(), "ab");
    EXPECT_STREQ(s.Mid(1, 99).Text(), "bc");
    EXPECT_STREQ(s.Mid(1).Text(), "bc");
    EXPECT_TRUE(s.Mid(3).IsNull());
    EXPECT_TRUE(s.Mid(0, -1).IsNull());
}

TEST(TextString, SplitOffBackwardsDropsTheLastPathComponent) {
    TextString path(";ROOT;Application");
    EXPECT_STREQ(path.SplitOff(";", 1, 1).Text(), "Application");
    EXPECT_STREQ(path.Text(), ";ROOT");
    EXPECT_STREQ(path.SplitOff(";", 1, 1).Text(), "ROOT");
    ASSERT_FALSE(path.IsNull());
    EXPECT_STREQ(path.Text(), "") << "cut at index 0 leaves an empty string";

    TextString bare("ROOT");
    EXPECT_STREQ(bare.SplitOff(";", 1, 1).Text(), "ROOT");
    EXPECT_TRUE(bare.IsNull()) << "no delimiter: removing clears to null";

    TextString trailing("a;");
    EXPECT_STREQ(trailing.SplitOff(";", 1, 0).Text(), "");
    EXPECT_STREQ(trailing.Text(), "a;");
}

TEST(TextString, SplitOffForwards) {
    TextString dotted(".5");
    TextString head = dotted.SplitOff(".", 0, 0);
    ASSERT_FALSE(head.IsNull());
    EXPECT_STREQ(head.Text(), "");
    EXPECT_STREQ(dotted.Text(), ".5");

    TextString key("HKEY_LOCAL_MACHINE\\SOFTWARE\\X");
    EXPECT_STREQ(key.SplitOff("\\", 0, 1).Text(), "HKEY_LOCAL_MACHINE");
    EXPECT_STREQ(key.Text(), "SOFTWARE\\X");

    TextString anyOf("1,2.3");
    EXPECT_STREQ(anyOf.SplitOff(".,", 0, 1).Text(), "1");
    EXPECT_STREQ(anyOf.Text(), "2.3");

    TextString end("x.");
    EXPECT_STREQ(end.SplitOff(".", 0, 1).Text(), "x");
    EXPECT_STREQ(end.Text(), "");

    TextString null;
    EXPECT_TRUE(null.SplitOff(".", 0, 1).IsNull());
    TextString s("abc");
    EXPECT_STREQ(s.SplitOff("", 0, 0).Text(), "abc");
    EXPECT_STREQ(s.SplitOff(nullptr, 0, 1).Text(), "abc");
    EXPECT_TRUE(s.IsNull());
}

TEST(TextString, ReplaceAllNeverRescansReplacedText) {
    TextString s("aaaa");
    EXPECT_EQ(s.ReplaceAll("aa", "a"), 2);
    EXPECT_STREQ(s.Text(), "aa");

    TextString grow("a-b-c");
    EXPECT_EQ(grow.ReplaceAll("-", "--"), 2);
    EXPECT_STREQ(grow.Text(), "a--b--c");

    TextString erase("xyxy");
    EXPECT_EQ(erase.ReplaceAll("x", nullptr), 2);
    EXPECT_STREQ(erase.Text(), "yy");

    TextString whole("ab");
    EXPECT_EQ(whole.ReplaceAll("ab", ""), 1);
    EXPECT_STREQ(whole.Text(), "");

    TextString none;
    EXPECT_EQ(none.ReplaceAll("a", "b"), 0);
    EXPECT_EQ(whole.ReplaceAll("", "b"), 0);
}

TEST(TextString, FormatUnsigned) {
    TextString s("old");
    s.Format("%u", 4294967295u);
    EXPECT_STREQ(s.Text(), "4294967295");
    s.Format(nullptr);
    EXPECT_STREQ(s.Text(), "4294967295");
    s.Format("%u-%s", 7u, "x");
    EXPECT_STREQ(s.Text(), "7-x");
}

TEST(TextString, WideConstructionGoesThroughTheAnsiCodePage) {
    EXPECT_STREQ(TextString(u"abc").Text(), "abc");
    EXPECT_TRUE(TextString(u"").IsNull());
    EXPECT_TRUE(TextString(static_cast<const char16_t*>(nullptr)).IsNull());
    EXPECT_STREQ(TextString(u"\u00e9\u20ac").Text(), "\xE9\x80");
}

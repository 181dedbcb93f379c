// Version texts read into four number/suffix parts, and their order.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <string>

#include "actions/version_number.h"
#include "foundation/decimal_text.h"

namespace {

using quillon::CompareVersionTexts;
using quillon::VersionNumber;

// One expected part: the number and the suffix, where nullptr means absent.
struct Part {
    int32_t number;
    const char* suffix;
};

void ExpectParts(const char* text, const std::array<Part, 4>& expected) {
    VersionNumber version;
    version.SetFromText(text);
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(std::string("text [") + (text ? text : "(null)") + "] part " + std::to_string(i));
        EXPECT_EQ(version.Number(i), expected[i].number);
        if (expected[i].suffix == nullptr) {
            EXPECT_TRUE(version.Suffix(i).IsNull()) << "suffix [" << version.Suffix(i).Text() << "]";
        } else {
            ASSERT_FALSE(version.Suffix(i).IsNull());
            EXPECT_STREQ(version.Suffix(i).Text(), expected[i].suffix);
        }
    }
}

constexpr const char* kAbsent = nullptr;

TEST(VersionNumber, FreshValueAndEmptyTextsHaveEmptySuffixes) {
    ExpectParts(nullptr, {{{0, ""}, {0, ""}, {0, ""}, {0, ""}}});
    ExpectParts("", {{{0, ""}, {0, ""}, {0, ""}, {0, ""}}});
    VersionNumber fresh;
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(fresh.Number(i), 0);
        EXPECT_STREQ(fresh.Suffix(i).Text(), "");
    }
    // Reading replaces the whole earlier value.
    VersionNumber reused;
    reused.SetFromText("9.9b.9.9");
    reused.SetFromText("1");
    EXPECT_TRUE(reused.IsEqualTo([] { VersionNumber v; v.SetFromText("1"); return v; }()));
}

TEST(VersionNumber, SeparatorsSplitPieces) {
    ExpectParts("1.2.3.4", {{{1, kAbsent}, {2, kAbsent}, {3, kAbsent}, {4, kAbsent}}});
    ExpectParts("4,1,0,12", {{{4, kAbsent}, {1, kAbsent}, {0, kAbsent}, {12, kAbsent}}});
    ExpectParts("1,2.3", {{{1, kAbsent}, {2, kAbsent}, {3, kAbsent}, {0, ""}}});
    // A trailing separator adds no piece; empty pieces between separators
    // and before the first one stay empty.
    ExpectParts("1.", {{{1, kAbsent}, {0, ""}, {0, ""}, {0, ""}}});
    ExpectParts("1..3", {{{1, kAbsent}, {0, ""}, {3, kAbsent}, {0, ""}}});
    ExpectParts(".5", {{{0, ""}, {5, kAbsent}, {0, ""}, {0, ""}}});
    ExpectParts("...", {{{0, ""}, {0, ""}, {0, ""}, {0, ""}}});
}

TEST(VersionNumber, MoreThanFourPartsAreIgnored) {
    ExpectParts("1.2.3.4.5", {{{1, kAbsent}, {2, kAbsent}, {3, kAbsent}, {4, kAbsent}}});
    ExpectParts("1.2.3.4.", {{{1, kAbsent}, {2, kAbsent}, {3, kAbsent}, {4, kAbsent}}});
    ExpectParts("1.2.3.4x,5,6", {{{1, kAbsent}, {2, kAbsent}, {3, kAbsent}, {4, "x"}}});
    EXPECT_STREQ(CompareVersionTexts("1.2.3.4.5", "1.2.3.4"), "0");
    EXPECT_STREQ(CompareVersionTexts("1.2.3.4.9", "1.2.3.4.1"), "0");
}

TEST(VersionNumber, SuffixStates) {
    ExpectParts("12", {{{12, kAbsent}, {0, ""}, {0, ""}, {0, ""}}});
    ExpectParts("12beta", {{{12, "beta"}, {0, ""}, {0, ""}, {0, ""}}});
    ExpectParts("beta", {{{0, "beta"}, {0, ""}, {0, ""}, {0, ""}}});
    ExpectParts("3.0.1a", {{{3, kAbsent}, {0, kAbsent}, {1, "a"}, {0, ""}}});
    // Letters before the number are dropped; letters after it stay whole,
    // digits among them included.
    ExpectParts("ver12", {{{12, kAbsent}, {0, ""}, {0, ""}, {0, ""}}});
    ExpectParts("v2rc1", {{{2, "rc1"}, {0, ""}, {0, ""}, {0, ""}}});
    // The minus sign is a letter, not a sign.
    ExpectParts("-5", {{{5, kAbsent}, {0, ""}, {0, ""}, {0, ""}}});
}

TEST(VersionNumber, BlanksBelongToTheNumberRun) {
    // atol stops at the blank: "1 2" is 1, and the run reaches the end.
    ExpectParts("1 2", {{{1, kAbsent}, {0, ""}, {0, ""}, {0, ""}}});
    ExpectParts("12 beta", {{{12, "beta"}, {0, ""}, {0, ""}, {0, ""}}});
    ExpectParts(" 7 ", {{{7, kAbsent}, {0, ""}, {0, ""}, {0, ""}}});
    ExpectParts("x y", {{{0, "y"}, {0, ""}, {0, ""}, {0, ""}}});
    ExpectParts("1. 2", {{{1, kAbsent}, {2, kAbsent}, {0, ""}, {0, ""}}});
}

TEST(VersionNumber, LargeNumbersWrapModulo2To32) {
    ExpectParts("2147483647", {{{2147483647, kAbsent}, {0, ""}, {0, ""}, {0, ""}}});
    ExpectParts("2147483648", {{{INT32_MIN, kAbsent}, {0, ""}, {0, ""}, {0, ""}}});
    ExpectParts("4294967295", {{{-1, kAbsent}, {0, ""}, {0, ""}, {0, ""}}});
    ExpectParts("4294967296", {{{0, kAbsent}, {0, ""}, {0, ""}, {0, ""}}});
    ExpectParts("4294967298x", {{{2, "x"}, {0, ""}, {0, ""}, {0, ""}}});
    // 10^20 mod 2^32 = 1661992960; a long run must not overflow anything.
    ExpectParts("100000000000000000000", {{{1661992960, kAbsent}, {0, ""}, {0, ""}, {0, ""}}});
    EXPECT_STREQ(CompareVersionTexts("3000000000", "1"), "2");
    EXPECT_STREQ(CompareVersionTexts("2147483647", "2147483648"), "1");
    // 10^5000 - 1 mod 2^32, reduced digit by digit in 64-bit arithmetic.
    uint64_t expected = 0;
    for (int i = 0; i < 5000; ++i) expected = (expected * 10 + 9) % 4294967296ull;
    EXPECT_EQ(static_cast<uint32_t>(quillon::ReadDecimalLong(std::string(5000, '9').c_str())),
              static_cast<uint32_t>(expected));
}

TEST(VersionNumber, OrderOfNumbers) {
    EXPECT_STREQ(CompareVersionTexts("2.10", "2.9"), "1");
    EXPECT_STREQ(CompareVersionTexts("2.9", "2.10"), "2");
    EXPECT_STREQ(CompareVersionTexts("2.0", "10.0"), "2");
    EXPECT_STREQ(CompareVersionTexts("1.0", "1,0"), "0");
    EXPECT_STREQ(CompareVersionTexts("1.2.3.5", "1.2.3.4"), "1");
    EXPECT_STREQ(CompareVersionTexts("01.002", "1.2"), "0");
}

TEST(VersionNumber, MissingPartsOrderAfterExplicitZeros) {
    EXPECT_STREQ(CompareVersionTexts("1.0", "1.0.0"), "1");
    EXPECT_STREQ(CompareVersionTexts("1.0.0", "1.0"), "2");
    EXPECT_STREQ(CompareVersionTexts("1.0.0", "1.0.0.0"), "1");
    EXPECT_STREQ(CompareVersionTexts("1.0.0.0", "1.0.0"), "2");
    EXPECT_STREQ(CompareVersionTexts("1.0.0.0", "1.0.0.0"), "0");
    EXPECT_STREQ(CompareVersionTexts("", "0"), "1");
    EXPECT_STREQ(CompareVersionTexts("0", ""), "2");
    EXPECT_STREQ(CompareVersionTexts(nullptr, ""), "0");
    EXPECT_STREQ(CompareVersionTexts("", "1"), "2");
}

TEST(VersionNumber, SuffixOrder) {
    // Absent before any text; texts equal ignoring case, ordered with case.
    EXPECT_STREQ(CompareVersionTexts("12a", "12"), "1");
    EXPECT_STREQ(CompareVersionTexts("12", "12a"), "2");
    EXPECT_STREQ(CompareVersionTexts("ver12", "12"), "0");
    EXPECT_STREQ(CompareVersionTexts("1a", "1A"), "0");
    EXPECT_STREQ(CompareVersionTexts("1BETA", "1beta"), "0");
    EXPECT_STREQ(CompareVersionTexts("1beta", "1alpha"), "1");
    EXPECT_STREQ(CompareVersionTexts("1a", "1B"), "2");
    EXPECT_STREQ(CompareVersionTexts("1B", "1a"), "1");
    EXPECT_STREQ(CompareVersionTexts("beta", "alpha"), "1");
    EXPECT_STREQ(CompareVersionTexts("1ab", "1a"), "1");
    // A suffix decides before the next part's number is looked at.
    EXPECT_STREQ(CompareVersionTexts("1b.0", "1a.9"), "1");
    // Beyond ASCII: a case pair is equal, and e with a mark sorts with e.
    EXPECT_STREQ(CompareVersionTexts("1\xE9", "1\xC9"), "0");
    EXPECT_STREQ(CompareVersionTexts("1\xE9", "1f"), "2");
    EXPECT_STREQ(CompareVersionTexts("1\xE9", "1e"), "1");
}

TEST(VersionNumber, EqualityAndGreaterAreConsistent) {
    const char* texts[] = {"", "0", "1", "1.0", "1.0.0", "1.0.0.0", "1a", "1A", "1b", "2.9", "2.10",
                           "ver12", "12", "12a", "4294967295", "1 2", "beta", "Beta", "1,0"};
    for (const char* a : texts) {
        for (const char* b : texts) {
            VersionNumber x, y;
            x.SetFromText(a);
            y.SetFromText(b);
            SCOPED_TRACE(std::string("[") + a + "] vs [" + b + "]");
            EXPECT_FALSE(x.IsGreaterThan(y) && y.IsGreaterThan(x));
            EXPECT_EQ(x.IsEqualTo(y), y.IsEqualTo(x));
            EXPECT_EQ(x.IsEqualTo(y), !x.IsGreaterThan(y) && !y.IsGreaterThan(x));
        }
    }
}

TEST(VersionNumber, OrderStaysTransitiveWhenCaseAndHyphensBothDiffer) {
    // Case-sensitively "1a-b" sorts below "1Ab" (case outweighs the hyphen),
    // yet "1Ab" equals "1ab", which sorts below "1a-b". The order follows the
    // case-insensitive answer there, so the three stay consistent.
    EXPECT_STREQ(CompareVersionTexts("1Ab", "1ab"), "0");
    EXPECT_STREQ(CompareVersionTexts("1ab", "1a-b"), "2");
    EXPECT_STREQ(CompareVersionTexts("1Ab", "1a-b"), "2");
    EXPECT_STREQ(CompareVersionTexts("1a-b", "1Ab"), "1");
    EXPECT_STREQ(CompareVersionTexts("1co-op", "1Coop"), "1");
}

}  // namespace

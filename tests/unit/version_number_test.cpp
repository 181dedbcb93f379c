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

// The four parts as "number'suffix'", the quotes only for a present suffix.
std::string Parts(const VersionNumber& version) {
    std::string out;
    for (int i = 0; i < 4; ++i) {
        out += (i ? " " : "") + std::to_string(version.Number(i));
        if (!version.Suffix(i).IsNull()) out += "'" + std::string(version.Suffix(i).Text()) + "'";
    }
    return out;
}

TEST(VersionNumber, ReadsFourParts) {
    const struct {
        const char* text;
        const char* parts;
    } cases[] = {
        {nullptr, "0'' 0'' 0'' 0''"}, {"", "0'' 0'' 0'' 0''"}, {"1.2.3.4", "1 2 3 4"}, {"4,1,0,12", "4 1 0 12"},
        // A trailing separator adds no piece; empty pieces stay empty.
        {"1.", "1 0'' 0'' 0''"}, {"1..3", "1 0'' 3 0''"}, {".5", "0'' 5 0'' 0''"}, {"1.2.3.4.", "1 2 3 4"},
        {"1.2.3.4.5", "1 2 3 4"}, {"1.2.3.4x,5,6", "1 2 3 4'x'"},
        // Letters before the number are dropped, letters after it kept whole.
        {"12beta", "12'beta' 0'' 0'' 0''"}, {"beta", "0'beta' 0'' 0'' 0''"}, {"3.0.1a", "3 0 1'a' 0''"},
        {"ver12", "12 0'' 0'' 0''"}, {"v2rc1", "2'rc1' 0'' 0'' 0''"},
        // Blanks belong to the number run, which is read like atol.
        {"1 2", "1 0'' 0'' 0''"}, {" 7 ", "7 0'' 0'' 0''"}, {"x y", "0'y' 0'' 0'' 0''"}, {"1. 2", "1 2 0'' 0''"},
        {"4294967298x", "2'x' 0'' 0'' 0''"},
    };
    VersionNumber version;
    EXPECT_EQ(Parts(version), "0'' 0'' 0'' 0''");
    for (const auto& c : cases) {
        version.SetFromText("9.9b.9.9");  // reading replaces the whole earlier value
        version.SetFromText(c.text);
        EXPECT_EQ(Parts(version), c.parts) << (c.text ? c.text : "(null)");
    }
}

// Each pair in both orders: "1" when the first is greater, "2" when the
// second is, "0" when they are equal.
TEST(VersionNumber, Order) {
    const char* cases[][3] = {
        {"2.10", "2.9", "1"}, {"2.0", "10.0", "2"}, {"1.0", "1,0", "0"}, {"1.2.3.5", "1.2.3.4", "1"},
        {"01.002", "1.2", "0"}, {"3000000000", "1", "2"}, {"2147483647", "2147483648", "1"},
        // A missing part orders after an explicit 0.
        {"1.0", "1.0.0", "1"}, {"1.0.0", "1.0.0.0", "1"}, {"1.0.0.0", "1.0.0.0", "0"}, {"", "0", "1"}, {"", "1", "2"},
        {nullptr, "", "0"},
        // An absent suffix before any text; texts equal ignoring case, else
        // ordered with case; a suffix decides before the next number.
        {"12a", "12", "1"}, {"ver12", "12", "0"}, {"1BETA", "1beta", "0"}, {"1beta", "1alpha", "1"}, {"1a", "1B", "2"},
        {"beta", "alpha", "1"}, {"1ab", "1a", "1"}, {"1b.0", "1a.9", "1"}, {"1\xE9", "1e", "1"},
        // Case-sensitively "1a-b" sorts below "1Ab" (case outweighs the
        // hyphen), yet "1Ab" equals "1ab", which sorts below "1a-b": where the
        // two collations disagree the order follows the case-insensitive one,
        // so that it stays transitive.
        {"1Ab", "1ab", "0"}, {"1ab", "1a-b", "2"}, {"1Ab", "1a-b", "2"}, {"1co-op", "1Coop", "1"},
    };
    for (const auto& c : cases) {
        const char* mirrored = c[2][0] == '0' ? "0" : (c[2][0] == '1' ? "2" : "1");
        EXPECT_STREQ(CompareVersionTexts(c[0], c[1]), c[2]) << (c[0] ? c[0] : "(null)") << " vs " << c[1];
        EXPECT_STREQ(CompareVersionTexts(c[1], c[0]), mirrored) << c[1] << " vs " << (c[0] ? c[0] : "(null)");
    }
}

}  // namespace

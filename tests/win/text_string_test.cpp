// TextString's conversion from UTF-16 where one character may take two bytes:
// a double-byte ANSI code page. Wine takes the code page from the locale it
// is started in, so this runs in the code page of the test run, and
// tests/checks/double_byte_code_page.sh starts it in code page 932 (which it
// names in QUILLON_EXPECT_CODE_PAGE, so a run in another one fails).
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "foundation/text_string.h"

namespace {

using quillon::TextString;

TEST(TextStringDoubleByte, WideTextTakesTheBytesTheCodePageNeeds) {
    if (const char* expected = std::getenv("QUILLON_EXPECT_CODE_PAGE")) {
        ASSERT_EQ(GetACP(), static_cast<UINT>(std::atoi(expected)));
    } else if (GetACP() != 932) {
        GTEST_SKIP() << "ANSI code page " << GetACP() << ", not 932 (Shift-JIS)";
    }
    // Two characters in four bytes, alone and among single bytes.
    EXPECT_STREQ(TextString(u"\u3042\u3044").Text(), "\x82\xA0\x82\xA2");
    EXPECT_STREQ(TextString(u"x\u3042\u3044y").Text(), "x\x82\xA0\x82\xA2y");
}

}  // namespace

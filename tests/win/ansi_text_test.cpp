// The native build's models of the ANSI code page and of lstrcmpA/lstrcmpiA,
// checked against the real calls, and TextString's conversion from UTF-16
// where one character may take two bytes: a double-byte ANSI code page.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "foundation/text_string.h"
#include "platform/ansi_collation.h"
#include "platform/windows_1252.h"

namespace {

using quillon::platform::CollateAnsi;

int Sign(int v) { return v < 0 ? -1 : (v > 0 ? 1 : 0); }

// Both forms of the model against both real functions; returns false (and
// reports the texts) on the first disagreement.
::testing::AssertionResult MatchesLstrcmp(const std::string& a, const std::string& b) {
    int sensitive = Sign(lstrcmpA(a.c_str(), b.c_str()));
    int insensitive = Sign(lstrcmpiA(a.c_str(), b.c_str()));
    if (CollateAnsi(a.c_str(), b.c_str(), false) == sensitive && CollateAnsi(a.c_str(), b.c_str(), true) == insensitive)
        return ::testing::AssertionSuccess();
    // The texts as escaped literals, cut short: some are 65,000 letters long.
    return ::testing::AssertionFailure() << ::testing::PrintToString(a.substr(0, 100)) << " vs "
                                         << ::testing::PrintToString(b.substr(0, 100)) << ": lstrcmpA " << sensitive
                                         << ", lstrcmpiA " << insensitive;
}

// Bytes that share a primary weight with others (letters with marks in both
// cases, ligatures and the letters they stand for, superscripts, the
// unassigned bytes) and the bytes without one (hyphens, apostrophe,
// controls, soft hyphen): texts made of them tie at the first levels, so
// marks, case and ignorables decide and interact.
constexpr char kCloseAlphabet[] =
    "aA\xE1\xC1\xE0\xE2\xC4\xE5\xAA\xE6\xC6" "eE\xE9\xC9\xE8\xC8\xEA\xEB\xCB" "sS\xDF\x9A\x8A"
    "tT\xFE\xDE" "hH" "oO\xF6\xD6\xF8\x9C\x8C\xBA" "yY\xFF\x9F\xFD" "dD\xF0\xD0" "fF\x83"
    "1\xB9\xBC" "^\x88" "\x81\x8D\x9D" "\x99" " \xA0\t" "-'\x96\x97\x01\x1F\x7F\xAD";

// Groups of bytes that weigh alike at the first level, and the bytes that
// weigh nothing there.
constexpr const char* kAlike[] = {
    "aA\xE1\xC1\xE0\xE2\xC4\xE5\xAA", "eE\xE9\xC9\xE8\xC8\xEA\xEB\xCB", "sS\x9A\x8A", "oO\xF6\xD6\xF8\xBA",
    "yY\xFF\x9F\xFD", "dD\xF0\xD0", "fF\x83", "1\xB9", "^\x88", "\x81\x8D\x9D",
};
constexpr char kIgnorables[] = "-'\x96\x97\x01\x1F\x7F\xAD";

// Ligatures and the letters they weigh as.
constexpr const char* kSpellings[][2] = {
    {"\xE6", "ae"}, {"\xC6", "AE"}, {"\x9C", "oe"}, {"\xDF", "ss"}, {"\xFE", "th"},
};

// One edit of the kinds that keep a text equal at the first level: a byte
// replaced by one that weighs alike there, an ignorable inserted, or a
// ligature spelt out or its letters joined.
std::string Edited(std::string s, std::mt19937& random) {
    size_t at = s.empty() ? 0 : random() % s.size();
    switch (random() % 3) {
        case 0:
            for (const char* alike : kAlike) {
                if (!s.empty() && std::strchr(alike, s[at]) != nullptr) s[at] = alike[random() % std::strlen(alike)];
            }
            break;
        case 1:
            s.insert(random() % (s.size() + 1), 1, kIgnorables[random() % (sizeof kIgnorables - 1)]);
            break;
        default: {
            const auto& spelling = kSpellings[random() % (sizeof kSpellings / sizeof kSpellings[0])];
            bool join = random() % 2 == 0;
            std::string from = spelling[join ? 1 : 0], to = spelling[join ? 0 : 1];
            size_t found = s.find(from);
            if (found != std::string::npos) s.replace(found, from.size(), to);
            else s.insert(at, to);
        }
    }
    return s;
}

// Mixed texts: short ones over the close alphabet with now and then any
// byte at all (printable ASCII among them).
std::vector<std::string> MixedCorpus() {
    std::vector<std::string> corpus;
    std::mt19937 random(20261207);
    const size_t alphabet = sizeof kCloseAlphabet - 1;
    for (int n = 0; n < 2500; ++n) {
        std::string s;
        for (int k = static_cast<int>(random() % 7); k > 0; --k) {
            unsigned any = 1 + random() % 255;
            s += random() % 8 == 0 ? static_cast<char>(any) : kCloseAlphabet[random() % alphabet];
        }
        corpus.push_back(s);
    }
    return corpus;
}

}  // namespace

TEST(AnsiSeam, CollationModelMatchesLstrcmpOnEveryPairOfBytes) {
    if (GetACP() != 1252) GTEST_SKIP() << "ANSI code page is " << GetACP();
    for (int a = 1; a < 256; ++a)
        for (int b = 1; b < 256; ++b)
            ASSERT_TRUE(MatchesLstrcmp(std::string(1, static_cast<char>(a)), std::string(1, static_cast<char>(b))));
}

TEST(AnsiSeam, CollationModelMatchesLstrcmpOnMixedTexts) {
    if (GetACP() != 1252) GTEST_SKIP() << "ANSI code page is " << GetACP();
    auto corpus = MixedCorpus();
    std::mt19937 random(20261208);
    for (size_t i = 0; i < corpus.size(); ++i) {
        // Every text against a spread of the others, and against close edits
        // of itself, where the later levels decide.
        for (size_t j = i % 7; j < corpus.size(); j += 23) ASSERT_TRUE(MatchesLstrcmp(corpus[i], corpus[j]));
        std::string edited = corpus[i];
        for (int n = 0; n < 12; ++n) {
            edited = Edited(n % 4 == 0 ? corpus[i] : edited, random);
            ASSERT_TRUE(MatchesLstrcmp(corpus[i], edited));
            ASSERT_TRUE(MatchesLstrcmp(edited, corpus[i]));
        }
    }
    // The place of a hyphen is the number of primary weights before it,
    // counted in 16 bits: after 65,536 letters it is 0 again.
    const std::string letters(65536, 'a');
    ASSERT_TRUE(MatchesLstrcmp(letters + "-a", letters.substr(1) + "-aa"));
}

TEST(AnsiSeam, Windows1252ModelMatchesTheCodePage) {
    if (GetACP() != 1252) GTEST_SKIP() << "ANSI code page is " << GetACP();
    for (int b = 1; b < 256; ++b) {
        char byte = static_cast<char>(b);
        wchar_t wide = 0;
        ASSERT_EQ(MultiByteToWideChar(CP_ACP, 0, &byte, 1, &wide, 1), 1);
        EXPECT_EQ(static_cast<unsigned>(quillon::platform::Windows1252ToUnicode(static_cast<unsigned char>(b))),
                  static_cast<unsigned>(wide)) << "byte " << b;
        EXPECT_EQ(quillon::platform::UnicodeToWindows1252(static_cast<char16_t>(wide)), byte);
    }
}

// Wine takes the code page from the locale it is started in, so this runs in
// the code page of the test run, and tests/checks/double_byte_code_page.sh
// starts it in code page 932 (which it names in QUILLON_EXPECT_CODE_PAGE, so
// a run in another one fails).
TEST(TextStringDoubleByte, WideTextTakesTheBytesTheCodePageNeeds) {
    if (const char* expected = std::getenv("QUILLON_EXPECT_CODE_PAGE")) {
        ASSERT_EQ(GetACP(), static_cast<UINT>(std::atoi(expected)));
    } else if (GetACP() != 932) {
        GTEST_SKIP() << "ANSI code page " << GetACP() << ", not 932 (Shift-JIS)";
    }
    // Two characters in four bytes, alone and among single bytes.
    EXPECT_STREQ(quillon::TextString(u"\u3042\u3044").Text(), "\x82\xA0\x82\xA2");
    EXPECT_STREQ(quillon::TextString(u"x\u3042\u3044y").Text(), "x\x82\xA0\x82\xA2y");
}

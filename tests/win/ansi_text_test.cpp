// The native build's models of the ANSI code page and of lstrcmpA/lstrcmpiA,
// checked against the real calls.
#include <windows.h>

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "platform/ansi_collation.h"
#include "platform/ansi_text.h"
#include "platform/windows_1252.h"

namespace {

int Sign(int v) { return v < 0 ? -1 : (v > 0 ? 1 : 0); }

// Short strings over all printable ASCII, weighted towards the characters the
// collation treats specially: case pairs, digits, hyphens and apostrophes.
std::vector<std::string> Corpus() {
    std::vector<std::string> corpus = {"", "a", "A", "b", "B", "-", "'", "_", "0", "9", " ",
                                       "co-op", "coop", "co'op", "1.0", "1,0", "beta", "Beta", "BETA",
                                       "2.10", "2.9", "a-b", "ab-", "a--b", "-a", "a'", "x_y", "x y"};
    std::string alphabet;
    for (int c = 0x20; c < 0x7F; ++c) alphabet += static_cast<char>(c);
    alphabet += "--''aAbB19";
    std::mt19937 random(20261206);
    for (int n = 0; n < 1500; ++n) {
        std::string s;
        for (int k = static_cast<int>(random() % 7); k > 0; --k) s += alphabet[random() % alphabet.size()];
        corpus.push_back(s);
    }
    return corpus;
}

}  // namespace

TEST(AnsiSeam, CollationModelMatchesLstrcmp) {
    auto corpus = Corpus();
    int compared = 0;
    for (size_t i = 0; i < corpus.size(); ++i) {
        for (size_t j = i % 5; j < corpus.size(); j += 11) {
            const char* a = corpus[i].c_str();
            const char* b = corpus[j].c_str();
            ASSERT_EQ(quillon::platform::CollateAnsi(a, b, false), Sign(lstrcmpA(a, b))) << "[" << a << "] [" << b << "]";
            ASSERT_EQ(quillon::platform::CollateAnsi(a, b, true), Sign(lstrcmpiA(a, b))) << "[" << a << "] [" << b << "]";
            ++compared;
        }
    }
    EXPECT_GT(compared, 100000);
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

TEST(AnsiSeam, ConversionRoundTripsThroughTheSeam) {
    const char text[] = "Stra\xDF" "e \x80 5";
    char16_t wide[32] = {};
    int units = quillon::platform::AnsiToWide(text, -1, wide, 32);
    ASSERT_EQ(units, static_cast<int>(sizeof text));
    EXPECT_EQ(quillon::platform::AnsiToWide(text, -1, nullptr, 0), units) << "capacity 0 asks for the size";
    char back[32] = {};
    ASSERT_EQ(quillon::platform::WideToAnsi(wide, -1, back, 32), units);
    EXPECT_STREQ(back, text);
}

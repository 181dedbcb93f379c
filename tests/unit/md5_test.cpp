// MD5 against the test suite of RFC 1321 (appendix A.5), plus inputs fed in
// pieces across block boundaries.
#include "config/md5.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

using quillon::Md5;

namespace {

std::string Digest(const std::string& input, size_t pieceSize = 0) {
    Md5 md5;
    if (pieceSize == 0) {
        md5.Update(input.data(), input.size());
    } else {
        for (size_t at = 0; at < input.size(); at += pieceSize)
            md5.Update(input.data() + at, std::min(pieceSize, input.size() - at));
    }
    uint8_t digest[Md5::kDigestSize];
    char hex[2 * Md5::kDigestSize + 1];
    md5.Finish(digest);
    Md5::ToHex(digest, hex);
    return hex;
}

}  // namespace

TEST(Md5, Rfc1321TestSuite) {
    EXPECT_EQ(Digest(""), "d41d8cd98f00b204e9800998ecf8427e");
    EXPECT_EQ(Digest("a"), "0cc175b9c0f1b6a831c399e269772661");
    EXPECT_EQ(Digest("abc"), "900150983cd24fb0d6963f7d28e17f72");
    EXPECT_EQ(Digest("message digest"), "f96b697d7cb7938d525a2f31aaf161d0");
    EXPECT_EQ(Digest("abcdefghijklmnopqrstuvwxyz"), "c3fcd3d76192e4007dfb496cca67e13b");
    EXPECT_EQ(Digest("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789"),
              "d174ab98d277d9f5a5611c2c9f419d9f");
    EXPECT_EQ(Digest("12345678901234567890123456789012345678901234567890123456789012345678901234567890"),
              "57edf4a22be3c955ac49da2e2107b67a");
}

TEST(Md5, PiecesGiveTheSameDigestAsOneUpdate) {
    std::string input;
    for (int i = 0; i < 1000; ++i) input += static_cast<char>(i * 7 + 3);
    std::string whole = Digest(input);
    for (size_t piece : {1, 3, 55, 56, 63, 64, 65, 129}) EXPECT_EQ(Digest(input, piece), whole) << piece;
}

TEST(Md5, PaddingBoundaries) {
    // Lengths around the 56-byte padding limit and whole blocks; values from
    // an independent implementation (Python's hashlib).
    EXPECT_EQ(Digest(std::string(55, 'a')), "ef1772b6dff9a122358552954ad0df65");
    EXPECT_EQ(Digest(std::string(56, 'a')), "3b0c8ac703f828b04c6c197006d17218");
    EXPECT_EQ(Digest(std::string(64, 'a')), "014842d480b571495a4a0363793f7367");
    EXPECT_EQ(Digest(std::string(1000000, 'a')), "7707d6ae4e027c70eea2a935c2296f21");
}

TEST(Md5, HexIsLowerCaseTwoDigitsPerByte) {
    uint8_t digest[Md5::kDigestSize] = {0x00, 0x0f, 0xa0, 0xff, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 0xAB};
    char hex[2 * Md5::kDigestSize + 1];
    Md5::ToHex(digest, hex);
    EXPECT_STREQ(hex, "000fa0ff0102030405060708090a0bab");
}

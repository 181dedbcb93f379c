// MD5 against vectors of RFC 1321 (appendix A.5) and lengths around
// the padding limit (values from Python's hashlib), each also fed in pieces
// across block boundaries.
#include "config/md5.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

using quillon::Md5;

TEST(Md5, DigestsInOneUpdateOrInPieces) {
    const struct {
        std::string input;
        const char* digest;
    } cases[] = {
        {"", "d41d8cd98f00b204e9800998ecf8427e"}, {"abc", "900150983cd24fb0d6963f7d28e17f72"},
        {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
         "57edf4a22be3c955ac49da2e2107b67a"},
        {std::string(55, 'a'), "ef1772b6dff9a122358552954ad0df65"},
        {std::string(56, 'a'), "3b0c8ac703f828b04c6c197006d17218"},
        {std::string(64, 'a'), "014842d480b571495a4a0363793f7367"},
        {std::string(1000000, 'a'), "7707d6ae4e027c70eea2a935c2296f21"},
    };
    for (const auto& c : cases) {
        for (size_t piece : {c.input.size() + 1, size_t(1), size_t(63), size_t(65)}) {
            Md5 md5;
            for (size_t at = 0; at < c.input.size(); at += piece)
                md5.Update(c.input.data() + at, std::min(piece, c.input.size() - at));
            uint8_t digest[Md5::kDigestSize + 1] = {};  // one byte more, which Finish must leave alone
            char hex[2 * Md5::kDigestSize + 1];
            md5.Finish(digest);
            Md5::ToHex(digest, hex);
            EXPECT_STREQ(hex, c.digest) << c.input.substr(0, 20) << " in pieces of " << piece;
            EXPECT_EQ(digest[Md5::kDigestSize], 0);
        }
    }
}

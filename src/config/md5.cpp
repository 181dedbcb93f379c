// MD5 as RFC 1321 describes it: 64-byte blocks, four rounds of sixteen steps
// over a little-endian state, padding with 0x80, zeros and the bit count.
#include "config/md5.h"

#include <cstring>

namespace quillon {

void Md5::Reset() {
    state_[0] = 0x67452301;
    state_[1] = 0xefcdab89;
    state_[2] = 0x98badcfe;
    state_[3] = 0x10325476;
    bitCount_ = 0;
    std::memset(buffer_, 0, sizeof buffer_);
}

// The 64 steps written out, as RFC 1321's reference code does: a loop that
// picks the round function and message word per step runs at about half
// the speed. F and G use the equivalent forms with one operation less. The
// constants are the RFC's T[i] = floor(abs(sin(i + 1)) * 2^32).
#define QUILLON_MD5_STEP(f, a, b, c, d, x, t, s) \
    a += f(b, c, d) + (x) + (t);                 \
    a = ((a << (s)) | (a >> (32 - (s)))) + (b)
#define QUILLON_MD5_F(x, y, z) ((z) ^ ((x) & ((y) ^ (z))))
#define QUILLON_MD5_G(x, y, z) ((y) ^ ((z) & ((x) ^ (y))))
#define QUILLON_MD5_H(x, y, z) ((x) ^ (y) ^ (z))
#define QUILLON_MD5_I(x, y, z) ((y) ^ ((x) | ~(z)))

void Md5::Transform(const uint8_t block[64]) {
    uint32_t x[16];
    for (int i = 0; i < 16; ++i) {
        x[i] = static_cast<uint32_t>(block[i * 4]) | (static_cast<uint32_t>(block[i * 4 + 1]) << 8) |
               (static_cast<uint32_t>(block[i * 4 + 2]) << 16) | (static_cast<uint32_t>(block[i * 4 + 3]) << 24);
    }
    uint32_t a = state_[0], b = state_[1], c = state_[2], d = state_[3];

    QUILLON_MD5_STEP(QUILLON_MD5_F, a, b, c, d, x[0], 0xd76aa478, 7);
    QUILLON_MD5_STEP(QUILLON_MD5_F, d, a, b, c, x[1], 0xe8c7b756, 12);
    QUILLON_MD5_STEP(QUILLON_MD5_F, c, d, a, b, x[2], 0x242070db, 17);
    QUILLON_MD5_STEP(QUILLON_MD5_F, b, c, d, a, x[3], 0xc1bdceee, 22);
    QUILLON_MD5_STEP(QUILLON_MD5_F, a, b, c, d, x[4], 0xf57c0faf, 7);
    QUILLON_MD5_STEP(QUILLON_MD5_F, d, a, b, c, x[5], 0x4787c62a, 12);
    QUILLON_MD5_STEP(QUILLON_MD5_F, c, d, a, b, x[6], 0xa8304613, 17);
    QUILLON_MD5_STEP(QUILLON_MD5_F, b, c, d, a, x[7], 0xfd469501, 22);
    QUILLON_MD5_STEP(QUILLON_MD5_F, a, b, c, d, x[8], 0x698098d8, 7);
    QUILLON_MD5_STEP(QUILLON_MD5_F, d, a, b, c, x[9], 0x8b44f7af, 12);
    QUILLON_MD5_STEP(QUILLON_MD5_F, c, d, a, b, x[10], 0xffff5bb1, 17);
    QUILLON_MD5_STEP(QUILLON_MD5_F, b, c, d, a, x[11], 0x895cd7be, 22);
    QUILLON_MD5_STEP(QUILLON_MD5_F, a, b, c, d, x[12], 0x6b901122, 7);
    QUILLON_MD5_STEP(QUILLON_MD5_F, d, a, b, c, x[13], 0xfd987193, 12);
    QUILLON_MD5_STEP(QUILLON_MD5_F, c, d, a, b, x[14], 0xa679438e, 17);
    QUILLON_MD5_STEP(QUILLON_MD5_F, b, c, d, a, x[15], 0x49b40821, 22);

    QUILLON_MD5_STEP(QUILLON_MD5_G, a, b, c, d, x[1], 0xf61e2562, 5);
    QUILLON_MD5_STEP(QUILLON_MD5_G, d, a, b, c, x[6], 0xc040b340, 9);
    QUILLON_MD5_STEP(QUILLON_MD5_G, c, d, a, b, x[11], 0x265e5a51, 14);
    QUILLON_MD5_STEP(QUILLON_MD5_G, b, c, d, a, x[0], 0xe9b6c7aa, 20);
    QUILLON_MD5_STEP(QUILLON_MD5_G, a, b, c, d, x[5], 0xd62f105d, 5);
    QUILLON_MD5_STEP(QUILLON_MD5_G, d, a, b, c, x[10], 0x02441453, 9);
    QUILLON_MD5_STEP(QUILLON_MD5_G, c, d, a, b, x[15], 0xd8a1e681, 14);
    QUILLON_MD5_STEP(QUILLON_MD5_G, b, c, d, a, x[4], 0xe7d3fbc8, 20);
    QUILLON_MD5_STEP(QUILLON_MD5_G, a, b, c, d, x[9], 0x21e1cde6, 5);
    QUILLON_MD5_STEP(QUILLON_MD5_G, d, a, b, c, x[14], 0xc33707d6, 9);
    QUILLON_MD5_STEP(QUILLON_MD5_G, c, d, a, b, x[3], 0xf4d50d87, 14);
    QUILLON_MD5_STEP(QUILLON_MD5_G, b, c, d, a, x[8], 0x455a14ed, 20);
    QUILLON_MD5_STEP(QUILLON_MD5_G, a, b, c, d, x[13], 0xa9e3e905, 5);
    QUILLON_MD5_STEP(QUILLON_MD5_G, d, a, b, c, x[2], 0xfcefa3f8, 9);
    QUILLON_MD5_STEP(QUILLON_MD5_G, c, d, a, b, x[7], 0x676f02d9, 14);
    QUILLON_MD5_STEP(QUILLON_MD5_G, b, c, d, a, x[12], 0x8d2a4c8a, 20);

    QUILLON_MD5_STEP(QUILLON_MD5_H, a, b, c, d, x[5], 0xfffa3942, 4);
    QUILLON_MD5_STEP(QUILLON_MD5_H, d, a, b, c, x[8], 0x8771f681, 11);
    QUILLON_MD5_STEP(QUILLON_MD5_H, c, d, a, b, x[11], 0x6d9d6122, 16);
    QUILLON_MD5_STEP(QUILLON_MD5_H, b, c, d, a, x[14], 0xfde5380c, 23);
    QUILLON_MD5_STEP(QUILLON_MD5_H, a, b, c, d, x[1], 0xa4beea44, 4);
    QUILLON_MD5_STEP(QUILLON_MD5_H, d, a, b, c, x[4], 0x4bdecfa9, 11);
    QUILLON_MD5_STEP(QUILLON_MD5_H, c, d, a, b, x[7], 0xf6bb4b60, 16);
    QUILLON_MD5_STEP(QUILLON_MD5_H, b, c, d, a, x[10], 0xbebfbc70, 23);
    QUILLON_MD5_STEP(QUILLON_MD5_H, a, b, c, d, x[13], 0x289b7ec6, 4);
    QUILLON_MD5_STEP(QUILLON_MD5_H, d, a, b, c, x[0], 0xeaa127fa, 11);
    QUILLON_MD5_STEP(QUILLON_MD5_H, c, d, a, b, x[3], 0xd4ef3085, 16);
    QUILLON_MD5_STEP(QUILLON_MD5_H, b, c, d, a, x[6], 0x04881d05, 23);
    QUILLON_MD5_STEP(QUILLON_MD5_H, a, b, c, d, x[9], 0xd9d4d039, 4);
    QUILLON_MD5_STEP(QUILLON_MD5_H, d, a, b, c, x[12], 0xe6db99e5, 11);
    QUILLON_MD5_STEP(QUILLON_MD5_H, c, d, a, b, x[15], 0x1fa27cf8, 16);
    QUILLON_MD5_STEP(QUILLON_MD5_H, b, c, d, a, x[2], 0xc4ac5665, 23);

    QUILLON_MD5_STEP(QUILLON_MD5_I, a, b, c, d, x[0], 0xf4292244, 6);
    QUILLON_MD5_STEP(QUILLON_MD5_I, d, a, b, c, x[7], 0x432aff97, 10);
    QUILLON_MD5_STEP(QUILLON_MD5_I, c, d, a, b, x[14], 0xab9423a7, 15);
    QUILLON_MD5_STEP(QUILLON_MD5_I, b, c, d, a, x[5], 0xfc93a039, 21);
    QUILLON_MD5_STEP(QUILLON_MD5_I, a, b, c, d, x[12], 0x655b59c3, 6);
    QUILLON_MD5_STEP(QUILLON_MD5_I, d, a, b, c, x[3], 0x8f0ccc92, 10);
    QUILLON_MD5_STEP(QUILLON_MD5_I, c, d, a, b, x[10], 0xffeff47d, 15);
    QUILLON_MD5_STEP(QUILLON_MD5_I, b, c, d, a, x[1], 0x85845dd1, 21);
    QUILLON_MD5_STEP(QUILLON_MD5_I, a, b, c, d, x[8], 0x6fa87e4f, 6);
    QUILLON_MD5_STEP(QUILLON_MD5_I, d, a, b, c, x[15], 0xfe2ce6e0, 10);
    QUILLON_MD5_STEP(QUILLON_MD5_I, c, d, a, b, x[6], 0xa3014314, 15);
    QUILLON_MD5_STEP(QUILLON_MD5_I, b, c, d, a, x[13], 0x4e0811a1, 21);
    QUILLON_MD5_STEP(QUILLON_MD5_I, a, b, c, d, x[4], 0xf7537e82, 6);
    QUILLON_MD5_STEP(QUILLON_MD5_I, d, a, b, c, x[11], 0xbd3af235, 10);
    QUILLON_MD5_STEP(QUILLON_MD5_I, c, d, a, b, x[2], 0x2ad7d2bb, 15);
    QUILLON_MD5_STEP(QUILLON_MD5_I, b, c, d, a, x[9], 0xeb86d391, 21);

    state_[0] += a;
    state_[1] += b;
    state_[2] += c;
    state_[3] += d;
}

#undef QUILLON_MD5_STEP
#undef QUILLON_MD5_F
#undef QUILLON_MD5_G
#undef QUILLON_MD5_H
#undef QUILLON_MD5_I

void Md5::Update(const void* data, size_t size) {
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    size_t filled = static_cast<size_t>((bitCount_ / 8) % 64);
    bitCount_ += static_cast<uint64_t>(size) * 8;
    if (filled > 0) {
        size_t take = 64 - filled < size ? 64 - filled : size;
        std::memcpy(buffer_ + filled, bytes, take);
        bytes += take;
        size -= take;
        filled += take;
        if (filled < 64) return;
        Transform(buffer_);
    }
    for (; size >= 64; bytes += 64, size -= 64) Transform(bytes);
    if (size > 0) std::memcpy(buffer_, bytes, size);
}

void Md5::Finish(uint8_t digest[kDigestSize]) {
    uint64_t bits = bitCount_;
    uint8_t length[8];
    for (int i = 0; i < 8; ++i) length[i] = static_cast<uint8_t>(bits >> (8 * i));
    // Pad to 56 bytes mod 64, then the message length in bits.
    static const uint8_t kPadding[64] = {0x80};
    size_t filled = static_cast<size_t>((bits / 8) % 64);
    Update(kPadding, filled < 56 ? 56 - filled : 120 - filled);
    Update(length, 8);
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) digest[i * 4 + j] = static_cast<uint8_t>(state_[i] >> (8 * j));
}

void Md5::ToHex(const uint8_t digest[kDigestSize], char hex[2 * kDigestSize + 1]) {
    static const char kDigits[] = "0123456789abcdef";
    for (size_t i = 0; i < kDigestSize; ++i) {
        hex[2 * i] = kDigits[digest[i] >> 4];
        hex[2 * i + 1] = kDigits[digest[i] & 15];
    }
    hex[2 * kDigestSize] = 0;
}

}  // namespace quillon

// Md5: the MD5 message digest (RFC 1321), used for configuration signatures.
// It detects changes to a file; it is not a keyed or secure signature.
#pragma once

#include <cstddef>
#include <cstdint>

namespace quillon {

class Md5 {
public:
    static constexpr size_t kDigestSize = 16;

    Md5() { Reset(); }
    void Reset();
    void Update(const void* data, size_t size);
    // Pads, finishes and writes the 16 digest bytes; the object must be Reset
    // before it digests anything else.
    void Finish(uint8_t digest[kDigestSize] /* out */);

    // 32 lower-case hexadecimal digits ("%02x" per byte, in digest order)
    // and a terminator.
    static void ToHex(const uint8_t digest[kDigestSize], char hex[2 * kDigestSize + 1] /* out */);

private:
    void Transform(const uint8_t block[64]);

    uint32_t state_[4];
    uint64_t bitCount_;
    uint8_t buffer_[64];
};

}  // namespace quillon

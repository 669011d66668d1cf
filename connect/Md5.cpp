// MD5 (RFC 1321): the digest under the key derivation of the cipher context.
#include "CryptoCore.h"
#include <cstring>

namespace {

// Element i - 1 is the integer part of 4294967296 * abs(sin(i)), i = 1..64, i in radians.
const uint32_t kSine[64] = {
    0xD76AA478, 0xE8C7B756, 0x242070DB, 0xC1BDCEEE, 0xF57C0FAF, 0x4787C62A, 0xA8304613, 0xFD469501,
    0x698098D8, 0x8B44F7AF, 0xFFFF5BB1, 0x895CD7BE, 0x6B901122, 0xFD987193, 0xA679438E, 0x49B40821,
    0xF61E2562, 0xC040B340, 0x265E5A51, 0xE9B6C7AA, 0xD62F105D, 0x02441453, 0xD8A1E681, 0xE7D3FBC8,
    0x21E1CDE6, 0xC33707D6, 0xF4D50D87, 0x455A14ED, 0xA9E3E905, 0xFCEFA3F8, 0x676F02D9, 0x8D2A4C8A,
    0xFFFA3942, 0x8771F681, 0x6D9D6122, 0xFDE5380C, 0xA4BEEA44, 0x4BDECFA9, 0xF6BB4B60, 0xBEBFBC70,
    0x289B7EC6, 0xEAA127FA, 0xD4EF3085, 0x04881D05, 0xD9D4D039, 0xE6DB99E5, 0x1FA27CF8, 0xC4AC5665,
    0xF4292244, 0x432AFF97, 0xAB9423A7, 0xFC93A039, 0x655B59C3, 0x8F0CCC92, 0xFFEFF47D, 0x85845DD1,
    0x6FA87E4F, 0xFE2CE6E0, 0xA3014314, 0x4E0811A1, 0xF7537E82, 0xBD3AF235, 0x2AD7D2BB, 0xEB86D391,
};

inline uint32_t RotateLeft(uint32_t x, int n) { return (x << n) | (x >> (32 - n)); }

inline void WriteLittleEndian(uint32_t v, unsigned char* p)
{
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
    p[2] = static_cast<unsigned char>(v >> 16);
    p[3] = static_cast<unsigned char>(v >> 24);
}

// The four auxiliary functions, one per round.
struct RoundF {
    static uint32_t Mix(uint32_t x, uint32_t y, uint32_t z) { return (x & y) | (~x & z); }
};
struct RoundG {
    static uint32_t Mix(uint32_t x, uint32_t y, uint32_t z) { return (x & z) | (y & ~z); }
};
struct RoundH {
    static uint32_t Mix(uint32_t x, uint32_t y, uint32_t z) { return x ^ y ^ z; }
};
struct RoundI {
    static uint32_t Mix(uint32_t x, uint32_t y, uint32_t z) { return y ^ (x | ~z); }
};

// The operation [abcd k s i]: a = b + ((a + Mix(b,c,d) + X[k] + T[i]) <<< s).
template <class Round>
inline void Operation(uint32_t& a, uint32_t b, uint32_t c, uint32_t d, uint32_t wordAndSine, int s)
{
    a = b + RotateLeft(a + Round::Mix(b, c, d) + wordAndSine, s);
}

// The sixteen operations of one round. Word k of operation j is (first + step * j) mod 16;
// the shifts repeat every four operations, whose registers rotate abcd, dabc, cdab, bcda.
template <class Round, int first, int step, int s0, int s1, int s2, int s3>
inline void Round16(uint32_t& a, uint32_t& b, uint32_t& c, uint32_t& d, const uint32_t x[16],
                    const uint32_t* sine)
{
#pragma GCC unroll 4
    for (int j = 0; j < 16; j += 4) {
        Operation<Round>(a, b, c, d, x[(first + step * j) & 15] + sine[j], s0);
        Operation<Round>(d, a, b, c, x[(first + step * (j + 1)) & 15] + sine[j + 1], s1);
        Operation<Round>(c, d, a, b, x[(first + step * (j + 2)) & 15] + sine[j + 2], s2);
        Operation<Round>(b, c, d, a, x[(first + step * (j + 3)) & 15] + sine[j + 3], s3);
    }
}

}

void Md5Init(Md5Context* ctx)
{
    ctx->state[0] = 0x67452301;
    ctx->state[1] = 0xEFCDAB89;
    ctx->state[2] = 0x98BADCFE;
    ctx->state[3] = 0x10325476;
    ctx->count[0] = 0;
    ctx->count[1] = 0;
}

void Md5Decode(const unsigned char in[64], uint32_t out[16])
{
    for (int i = 0; i < 16; ++i, in += 4)
        out[i] = uint32_t(in[0]) | (uint32_t(in[1]) << 8) | (uint32_t(in[2]) << 16) |
                 (uint32_t(in[3]) << 24);
}

void Md5Transform(uint32_t state[4], const unsigned char block[64])
{
    uint32_t x[16];
    Md5Decode(block, x);
    uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
    Round16<RoundF, 0, 1, 7, 12, 17, 22>(a, b, c, d, x, kSine);
    Round16<RoundG, 1, 5, 5, 9, 14, 20>(a, b, c, d, x, kSine + 16);
    Round16<RoundH, 5, 3, 4, 11, 16, 23>(a, b, c, d, x, kSine + 32);
    Round16<RoundI, 0, 7, 6, 10, 15, 21>(a, b, c, d, x, kSine + 48);
    state[0] += a;
    state[1] += b;
    state[2] += c;
    state[3] += d;
}

void Md5Update(Md5Context* ctx, const unsigned char* data, size_t len)
{
    if (len == 0)
        return;
    size_t held = (ctx->count[0] >> 3) & 63;
    uint64_t bits = ((uint64_t(ctx->count[1]) << 32) | ctx->count[0]) + uint64_t(len) * 8;
    ctx->count[0] = static_cast<uint32_t>(bits);
    ctx->count[1] = static_cast<uint32_t>(bits >> 32);

    if (held > 0) {
        size_t room = 64 - held;
        if (len < room) {
            memcpy(ctx->buffer + held, data, len);
            return;
        }
        memcpy(ctx->buffer + held, data, room);
        Md5Transform(ctx->state, ctx->buffer);
        data += room;
        len -= room;
    }
    for (; len >= 64; data += 64, len -= 64)
        Md5Transform(ctx->state, data);
    memcpy(ctx->buffer, data, len);
}

void Md5Final(unsigned char digest[16], Md5Context* ctx)
{
    // The length goes in as it was before padding, low word first, each word little-endian.
    unsigned char length[8];
    WriteLittleEndian(ctx->count[0], length);
    WriteLittleEndian(ctx->count[1], length + 4);

    unsigned char padding[64] = {0x80};
    size_t held = (ctx->count[0] >> 3) & 63;
    size_t padLen = held < 56 ? 56 - held : 120 - held;
    Md5Update(ctx, padding, padLen);
    Md5Update(ctx, length, 8);

    for (int i = 0; i < 4; ++i)
        WriteLittleEndian(ctx->state[i], digest + 4 * i);
    memset(ctx, 0, sizeof(*ctx));
}

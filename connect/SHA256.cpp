// SHA-256 (FIPS 180-2) over bytes: the context steps behind CSHA256::GetSAH256Data. No Windows
// header, so that the digest also builds natively.
#include "SHA256.h"
#include "CryptoCore.h"
#include <cstdint>
#include <cstring>

namespace {

// The first 32 bits of the fractional parts of the square roots of the first eight primes.
const uint32_t kInitialState[8] = {
    0x6A09E667, 0xBB67AE85, 0x3C6EF372, 0xA54FF53A, 0x510E527F, 0x9B05688C, 0x1F83D9AB, 0x5BE0CD19,
};

// The first 32 bits of the fractional parts of the cube roots of the first 64 primes.
const uint32_t kRoundConstant[64] = {
    0x428A2F98, 0x71374491, 0xB5C0FBCF, 0xE9B5DBA5, 0x3956C25B, 0x59F111F1, 0x923F82A4, 0xAB1C5ED5,
    0xD807AA98, 0x12835B01, 0x243185BE, 0x550C7DC3, 0x72BE5D74, 0x80DEB1FE, 0x9BDC06A7, 0xC19BF174,
    0xE49B69C1, 0xEFBE4786, 0x0FC19DC6, 0x240CA1CC, 0x2DE92C6F, 0x4A7484AA, 0x5CB0A9DC, 0x76F988DA,
    0x983E5152, 0xA831C66D, 0xB00327C8, 0xBF597FC7, 0xC6E00BF3, 0xD5A79147, 0x06CA6351, 0x14292967,
    0x27B70A85, 0x2E1B2138, 0x4D2C6DFC, 0x53380D13, 0x650A7354, 0x766A0ABB, 0x81C2C92E, 0x92722C85,
    0xA2BFE8A1, 0xA81A664B, 0xC24B8B70, 0xC76C51A3, 0xD192E819, 0xD6990624, 0xF40E3585, 0x106AA070,
    0x19A4C116, 0x1E376C08, 0x2748774C, 0x34B0BCB5, 0x391C0CB3, 0x4ED8AA4A, 0x5B9CCA4F, 0x682E6FF3,
    0x748F82EE, 0x78A5636F, 0x84C87814, 0x8CC70208, 0x90BEFFFA, 0xA4506CEB, 0xBEF9A3F7, 0xC67178F2,
};

inline uint32_t RotateRight(uint32_t x, int n) { return (x >> n) | (x << (32 - n)); }

// Ch and Maj in forms of fewer operations with the same truth tables.
inline uint32_t Choose(uint32_t x, uint32_t y, uint32_t z) { return z ^ (x & (y ^ z)); }
inline uint32_t Majority(uint32_t x, uint32_t y, uint32_t z)
{
    return (x & y) | (z & (x | y));
}
inline uint32_t UpperSigma0(uint32_t x)
{
    return RotateRight(x, 2) ^ RotateRight(x, 13) ^ RotateRight(x, 22);
}
inline uint32_t UpperSigma1(uint32_t x)
{
    return RotateRight(x, 6) ^ RotateRight(x, 11) ^ RotateRight(x, 25);
}
inline uint32_t LowerSigma0(uint32_t x)
{
    return RotateRight(x, 7) ^ RotateRight(x, 18) ^ (x >> 3);
}
inline uint32_t LowerSigma1(uint32_t x)
{
    return RotateRight(x, 17) ^ RotateRight(x, 19) ^ (x >> 10);
}

// Word t >= 16 of the message schedule, kept in a ring of the last sixteen words.
inline uint32_t Next(uint32_t* ring, int t)
{
    uint32_t w = LowerSigma1(ring[(t - 2) & 15]) + ring[(t - 7) & 15] +
                 LowerSigma0(ring[(t - 15) & 15]) + ring[t & 15];
    ring[t & 15] = w;
    return w;
}

// One round. Instead of moving all eight working words down one place, the caller names them in
// their next roles: only d (which becomes the next e) and h (the next a) change here.
inline void Round(uint32_t a, uint32_t b, uint32_t c, uint32_t& d, uint32_t e, uint32_t f,
                  uint32_t g, uint32_t& h, uint32_t constantAndWord)
{
    uint32_t t1 = h + UpperSigma1(e) + Choose(e, f, g) + constantAndWord;
    uint32_t t2 = UpperSigma0(a) + Majority(a, b, c);
    d += t1;
    h = t1 + t2;
}

}

void CSHA256::sha256_starts(sha256_context* ctx)
{
    ctx->total[0] = 0;
    ctx->total[1] = 0;
    memcpy(ctx->state, kInitialState, sizeof(ctx->state));
}

void CSHA256::sha256_process(sha256_context* ctx, const unsigned char data[64])
{
    // The schedule's first sixteen words are the block; the rest are made as they are needed.
    uint32_t w[16];
    for (int t = 0; t < 16; ++t)
        w[t] = LoadBigEndian32(data + 4 * t);

    uint32_t a = ctx->state[0], b = ctx->state[1], c = ctx->state[2], d = ctx->state[3];
    uint32_t e = ctx->state[4], f = ctx->state[5], g = ctx->state[6], h = ctx->state[7];
    // Eight rounds bring every word back to its own name.
#pragma GCC unroll 2
    for (int t = 0; t < 16; t += 8) {
        Round(a, b, c, d, e, f, g, h, kRoundConstant[t] + w[t]);
        Round(h, a, b, c, d, e, f, g, kRoundConstant[t + 1] + w[t + 1]);
        Round(g, h, a, b, c, d, e, f, kRoundConstant[t + 2] + w[t + 2]);
        Round(f, g, h, a, b, c, d, e, kRoundConstant[t + 3] + w[t + 3]);
        Round(e, f, g, h, a, b, c, d, kRoundConstant[t + 4] + w[t + 4]);
        Round(d, e, f, g, h, a, b, c, kRoundConstant[t + 5] + w[t + 5]);
        Round(c, d, e, f, g, h, a, b, kRoundConstant[t + 6] + w[t + 6]);
        Round(b, c, d, e, f, g, h, a, kRoundConstant[t + 7] + w[t + 7]);
    }
#pragma GCC unroll 6
    for (int t = 16; t < 64; t += 8) {
        Round(a, b, c, d, e, f, g, h, kRoundConstant[t] + Next(w, t));
        Round(h, a, b, c, d, e, f, g, kRoundConstant[t + 1] + Next(w, t + 1));
        Round(g, h, a, b, c, d, e, f, kRoundConstant[t + 2] + Next(w, t + 2));
        Round(f, g, h, a, b, c, d, e, kRoundConstant[t + 3] + Next(w, t + 3));
        Round(e, f, g, h, a, b, c, d, kRoundConstant[t + 4] + Next(w, t + 4));
        Round(d, e, f, g, h, a, b, c, kRoundConstant[t + 5] + Next(w, t + 5));
        Round(c, d, e, f, g, h, a, b, kRoundConstant[t + 6] + Next(w, t + 6));
        Round(b, c, d, e, f, g, h, a, kRoundConstant[t + 7] + Next(w, t + 7));
    }
    ctx->state[0] += a;
    ctx->state[1] += b;
    ctx->state[2] += c;
    ctx->state[3] += d;
    ctx->state[4] += e;
    ctx->state[5] += f;
    ctx->state[6] += g;
    ctx->state[7] += h;
}

void CSHA256::sha256_update(sha256_context* ctx, const unsigned char* input, unsigned int length)
{
    if (length == 0)
        return;
    unsigned int held = ctx->total[0] & 63;
    uint64_t total = ((uint64_t(ctx->total[1]) << 32) | ctx->total[0]) + length;
    ctx->total[0] = static_cast<uint32_t>(total);
    ctx->total[1] = static_cast<uint32_t>(total >> 32);

    if (held > 0) {
        unsigned int room = 64 - held;
        if (length < room) {
            memcpy(ctx->buffer + held, input, length);
            return;
        }
        memcpy(ctx->buffer + held, input, room);
        sha256_process(ctx, ctx->buffer);
        input += room;
        length -= room;
    }
    for (; length >= 64; input += 64, length -= 64)
        sha256_process(ctx, input);
    memcpy(ctx->buffer, input, length);
}

void CSHA256::sha256_finish(sha256_context* ctx, unsigned char digest[32])
{
    // The total counts bytes; the padding carries it in bits, taken before the padding itself.
    unsigned char length[8];
    StoreBigEndian32(length, (ctx->total[1] << 3) | (ctx->total[0] >> 29));
    StoreBigEndian32(length + 4, ctx->total[0] << 3);

    unsigned char padding[64] = {0x80};
    unsigned int held = ctx->total[0] & 63;
    unsigned int padLen = held < 56 ? 56 - held : 120 - held;
    sha256_update(ctx, padding, padLen);
    sha256_update(ctx, length, 8);

    for (int i = 0; i < 8; ++i)
        StoreBigEndian32(digest + 4 * i, ctx->state[i]);
    memset(ctx, 0, sizeof(*ctx));
}

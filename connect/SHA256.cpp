// SHA-256 (FIPS 180-2) over bytes. No Windows header, so that the digest also builds natively;
// the text entry point is in SHA256Text.cpp.
#include "SHA256.h"
#include <cstring>

namespace {

inline unsigned int GetBe32(const unsigned char* p)
{
    return (static_cast<unsigned int>(p[0]) << 24) | (static_cast<unsigned int>(p[1]) << 16) |
           (static_cast<unsigned int>(p[2]) << 8) | static_cast<unsigned int>(p[3]);
}

inline void PutBe32(unsigned int v, unsigned char* p)
{
    p[0] = static_cast<unsigned char>(v >> 24);
    p[1] = static_cast<unsigned char>(v >> 16);
    p[2] = static_cast<unsigned char>(v >> 8);
    p[3] = static_cast<unsigned char>(v);
}

const unsigned int kRound[64] = {
    0x428A2F98, 0x71374491, 0xB5C0FBCF, 0xE9B5DBA5, 0x3956C25B, 0x59F111F1, 0x923F82A4, 0xAB1C5ED5,
    0xD807AA98, 0x12835B01, 0x243185BE, 0x550C7DC3, 0x72BE5D74, 0x80DEB1FE, 0x9BDC06A7, 0xC19BF174,
    0xE49B69C1, 0xEFBE4786, 0x0FC19DC6, 0x240CA1CC, 0x2DE92C6F, 0x4A7484AA, 0x5CB0A9DC, 0x76F988DA,
    0x983E5152, 0xA831C66D, 0xB00327C8, 0xBF597FC7, 0xC6E00BF3, 0xD5A79147, 0x06CA6351, 0x14292967,
    0x27B70A85, 0x2E1B2138, 0x4D2C6DFC, 0x53380D13, 0x650A7354, 0x766A0ABB, 0x81C2C92E, 0x92722C85,
    0xA2BFE8A1, 0xA81A664B, 0xC24B8B70, 0xC76C51A3, 0xD192E819, 0xD6990624, 0xF40E3585, 0x106AA070,
    0x19A4C116, 0x1E376C08, 0x2748774C, 0x34B0BCB5, 0x391C0CB3, 0x4ED8AA4A, 0x5B9CCA4F, 0x682E6FF3,
    0x748F82EE, 0x78A5636F, 0x84C87814, 0x8CC70208, 0x90BEFFFA, 0xA4506CEB, 0xBEF9A3F7, 0xC67178F2,
};

}

#define SHA256_ROTR(x, n) (((x) >> (n)) | ((x) << (32 - (n))))
#define SHA256_S0(x) (SHA256_ROTR(x, 7) ^ SHA256_ROTR(x, 18) ^ ((x) >> 3))
#define SHA256_S1(x) (SHA256_ROTR(x, 17) ^ SHA256_ROTR(x, 19) ^ ((x) >> 10))
#define SHA256_S2(x) (SHA256_ROTR(x, 2) ^ SHA256_ROTR(x, 13) ^ SHA256_ROTR(x, 22))
#define SHA256_S3(x) (SHA256_ROTR(x, 6) ^ SHA256_ROTR(x, 11) ^ SHA256_ROTR(x, 25))
#define SHA256_CH(x, y, z) ((z) ^ ((x) & ((y) ^ (z))))
#define SHA256_MAJ(x, y, z) (((x) & (y)) | ((z) & ((x) | (y))))
#define SHA256_SCHEDULE(t) \
    (w[t] = SHA256_S1(w[(t) - 2]) + w[(t) - 7] + SHA256_S0(w[(t) - 15]) + w[(t) - 16])
// One round; the caller rotates the roles of the eight variables instead of moving them.
#define SHA256_ROUND(a, b, c, d, e, f, g, h, word, k)                     \
    do {                                                                   \
        unsigned int t1 = (h) + SHA256_S3(e) + SHA256_CH(e, f, g) + (k) + (word); \
        unsigned int t2 = SHA256_S2(a) + SHA256_MAJ(a, b, c);              \
        (d) += t1;                                                         \
        (h) = t1 + t2;                                                     \
    } while (0)

void CSHA256::sha256_starts(sha256_context* ctx)
{
    ctx->total[0] = 0;
    ctx->total[1] = 0;
    ctx->state[0] = 0x6A09E667;
    ctx->state[1] = 0xBB67AE85;
    ctx->state[2] = 0x3C6EF372;
    ctx->state[3] = 0xA54FF53A;
    ctx->state[4] = 0x510E527F;
    ctx->state[5] = 0x9B05688C;
    ctx->state[6] = 0x1F83D9AB;
    ctx->state[7] = 0x5BE0CD19;
}

void CSHA256::sha256_process(sha256_context* ctx, const unsigned char data[64])
{
    unsigned int w[64];
    for (int i = 0; i < 16; ++i)
        w[i] = GetBe32(data + 4 * i);

    unsigned int a = ctx->state[0], b = ctx->state[1], c = ctx->state[2], d = ctx->state[3];
    unsigned int e = ctx->state[4], f = ctx->state[5], g = ctx->state[6], h = ctx->state[7];

    for (int i = 0; i < 16; i += 8) {
        SHA256_ROUND(a, b, c, d, e, f, g, h, w[i + 0], kRound[i + 0]);
        SHA256_ROUND(h, a, b, c, d, e, f, g, w[i + 1], kRound[i + 1]);
        SHA256_ROUND(g, h, a, b, c, d, e, f, w[i + 2], kRound[i + 2]);
        SHA256_ROUND(f, g, h, a, b, c, d, e, w[i + 3], kRound[i + 3]);
        SHA256_ROUND(e, f, g, h, a, b, c, d, w[i + 4], kRound[i + 4]);
        SHA256_ROUND(d, e, f, g, h, a, b, c, w[i + 5], kRound[i + 5]);
        SHA256_ROUND(c, d, e, f, g, h, a, b, w[i + 6], kRound[i + 6]);
        SHA256_ROUND(b, c, d, e, f, g, h, a, w[i + 7], kRound[i + 7]);
    }
    for (int i = 16; i < 64; i += 8) {
        SHA256_ROUND(a, b, c, d, e, f, g, h, SHA256_SCHEDULE(i + 0), kRound[i + 0]);
        SHA256_ROUND(h, a, b, c, d, e, f, g, SHA256_SCHEDULE(i + 1), kRound[i + 1]);
        SHA256_ROUND(g, h, a, b, c, d, e, f, SHA256_SCHEDULE(i + 2), kRound[i + 2]);
        SHA256_ROUND(f, g, h, a, b, c, d, e, SHA256_SCHEDULE(i + 3), kRound[i + 3]);
        SHA256_ROUND(e, f, g, h, a, b, c, d, SHA256_SCHEDULE(i + 4), kRound[i + 4]);
        SHA256_ROUND(d, e, f, g, h, a, b, c, SHA256_SCHEDULE(i + 5), kRound[i + 5]);
        SHA256_ROUND(c, d, e, f, g, h, a, b, SHA256_SCHEDULE(i + 6), kRound[i + 6]);
        SHA256_ROUND(b, c, d, e, f, g, h, a, SHA256_SCHEDULE(i + 7), kRound[i + 7]);
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
    unsigned int left = ctx->total[0] & 0x3F;
    unsigned int fill = 64 - left;
    ctx->total[0] += length;
    if (ctx->total[0] < length)
        ++ctx->total[1];

    if (left && length >= fill) {
        memcpy(ctx->buffer + left, input, fill);
        sha256_process(ctx, ctx->buffer);
        input += fill;
        length -= fill;
        left = 0;
    }
    while (length >= 64) {
        sha256_process(ctx, input);
        input += 64;
        length -= 64;
    }
    if (length)
        memcpy(ctx->buffer + left, input, length);
}

void CSHA256::sha256_finish(sha256_context* ctx, unsigned char digest[32])
{
    unsigned int high = (ctx->total[0] >> 29) | (ctx->total[1] << 3);
    unsigned int low = ctx->total[0] << 3;
    unsigned char bits[8];
    PutBe32(high, bits);
    PutBe32(low, bits + 4);

    static const unsigned char kPadding[64] = {0x80};
    unsigned int last = ctx->total[0] & 0x3F;
    unsigned int padLen = (last < 56) ? (56 - last) : (120 - last);
    sha256_update(ctx, kPadding, padLen);
    sha256_update(ctx, bits, 8);

    for (int i = 0; i < 8; ++i)
        PutBe32(ctx->state[i], digest + 4 * i);
}

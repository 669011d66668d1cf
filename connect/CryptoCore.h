// SEED, ARIA and MD5 cores of the connection library and the byte order that they and the
// digests share: internal, not exported, no Windows header, so that they also build natively for
// benchmarks and sanitizers.
#pragma once
#include <cstddef>
#include <cstdint>

// Blocks and keys are byte arrays read in the standards' big-endian order on any processor.
inline uint32_t LoadBigEndian32(const unsigned char* p)
{
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}

inline void StoreBigEndian32(unsigned char* p, uint32_t v)
{
    p[0] = static_cast<unsigned char>(v >> 24);
    p[1] = static_cast<unsigned char>(v >> 16);
    p[2] = static_cast<unsigned char>(v >> 8);
    p[3] = static_cast<unsigned char>(v);
}

// SEED (RFC 4269). One array of 32 round-key words serves both directions.
void SeedKeySchedule(const unsigned char key[16], uint32_t roundKeys[32]);
void SeedEncrypt(const uint32_t roundKeys[32], unsigned char block[16]);
void SeedDecrypt(const uint32_t roundKeys[32], unsigned char block[16]);

// ARIA (RFC 5794). keyBits is 128, 192 or 256 and the key that many bits long; a round-key array
// holds 68 words (17 round keys). Both set-ups return the round count 12, 14 or 16, or 0 without
// touching the array for any other key size. The decryption set-up writes the encryption schedule
// first, so its array must not be shared with one still in use.
int AriaEncKeySetup(uint32_t roundKeys[68], const unsigned char* key, int keyBits);
int AriaDecKeySetup(int keyBits, uint32_t roundKeys[68], const unsigned char* key);
// One block through the schedule given (encryption or decryption keys); rounds is what the set-up
// returned. in and out may be the same block.
void AriaCrypt(const unsigned char in[16], const uint32_t roundKeys[68], int rounds,
               unsigned char out[16]);

// MD5 (RFC 1321).
struct Md5Context {
    uint32_t state[4];
    uint32_t count[2];       // message length in bits, low word first
    unsigned char buffer[64];
};
void Md5Init(Md5Context* ctx);
void Md5Update(Md5Context* ctx, const unsigned char* data, size_t len);
// Writes the digest, then wipes the whole context.
void Md5Final(unsigned char digest[16], Md5Context* ctx);
void Md5Transform(uint32_t state[4], const unsigned char block[64]);
// Reads 64 bytes as 16 little-endian words.
void Md5Decode(const unsigned char in[64], uint32_t out[16]);

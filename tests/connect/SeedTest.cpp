// SEED block cipher against the test vectors of RFC 4269, Appendix B.
#include "CryptoCore.h"
#include "HexBytes.h"
#include <gtest/gtest.h>
#include <cstring>
#include <string>
#include <vector>

namespace {

using hexbytes::FromHex;
using hexbytes::ToHex;

struct SeedVector {
    const char* key;
    const char* plain;
    const char* cipher;
};

// RFC 4269, Appendix B.1 to B.4.
const SeedVector kVectors[] = {
    {"00000000000000000000000000000000", "000102030405060708090a0b0c0d0e0f", "5ebac6e0054e166819aff1cc6d346cdb"},
    {"000102030405060708090a0b0c0d0e0f", "00000000000000000000000000000000", "c11f22f20140505084483597e4370f43"},
    {"4706480851e61be85d74bfb3fd956185", "83a2f8a288641fb9a4e9a5cc2f131c7d", "ee54d13ebcae706d226bc3142cd40d4a"},
    {"28dbc3bc49ffd87dcfa509b11d422be7", "b41e6be2eba84a148e2eed84593c5ec7", "9b9b7bfcd1813cb95d0b3618f40f5122"},
};

TEST(Seed, EncryptsTheRfc4269Vectors)
{
    for (const SeedVector& v : kVectors) {
        uint32_t rk[32];
        SeedKeySchedule(FromHex(v.key).data(), rk);
        std::vector<unsigned char> block = FromHex(v.plain);
        SeedEncrypt(rk, block.data());
        EXPECT_EQ(v.cipher, ToHex(block.data(), 16)) << "key " << v.key << ", plain " << v.plain;
    }
}

TEST(Seed, DecryptsTheRfc4269VectorsWithTheSameRoundKeys)
{
    for (const SeedVector& v : kVectors) {
        uint32_t rk[32];
        SeedKeySchedule(FromHex(v.key).data(), rk);
        std::vector<unsigned char> block = FromHex(v.cipher);
        SeedDecrypt(rk, block.data());
        EXPECT_EQ(v.plain, ToHex(block.data(), 16)) << "key " << v.key << ", cipher " << v.cipher;
    }
}

TEST(Seed, FillsExactlyThirtyTwoRoundKeyWords)
{
    uint32_t rk[34];
    std::memset(rk, 0xa5, sizeof(rk));
    SeedKeySchedule(FromHex(kVectors[2].key).data(), rk);
    EXPECT_EQ(0xa5a5a5a5u, rk[32]);
    EXPECT_EQ(0xa5a5a5a5u, rk[33]);
}

}

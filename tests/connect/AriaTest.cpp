// ARIA block cipher against the example data of RFC 5794, Appendix A.
#include "CryptoCore.h"
#include "HexBytes.h"
#include <gtest/gtest.h>
#include <cstring>
#include <string>
#include <vector>

namespace {

using hexbytes::FromHex;
using hexbytes::ToHex;

struct AriaVector {
    int keyBits;
    int rounds;
    const char* key;
    const char* plain;
    const char* cipher;
};

// RFC 5794, Appendix A.1 (128-bit key), A.2 (192) and A.3 (256).
const AriaVector kVectors[] = {
    {128, 12, "000102030405060708090a0b0c0d0e0f", "00112233445566778899aabbccddeeff",
     "d718fbd6ab644c739da95f3be6451778"},
    {192, 14, "000102030405060708090a0b0c0d0e0f1011121314151617", "00112233445566778899aabbccddeeff",
     "26449c1805dbe7aa25a468ce263a9e79"},
    {256, 16, "000102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f",
     "00112233445566778899aabbccddeeff", "f92bd7c79fb72e2f2b8f80c1972d24fc"},
};

TEST(Aria, EncryptsTheRfc5794ExamplesForEveryKeySize)
{
    for (const AriaVector& v : kVectors) {
        uint32_t rk[68];
        int rounds = AriaEncKeySetup(rk, FromHex(v.key).data(), v.keyBits);
        EXPECT_EQ(v.rounds, rounds) << v.keyBits << "-bit key";
        unsigned char out[16];
        AriaCrypt(FromHex(v.plain).data(), rk, rounds, out);
        EXPECT_EQ(v.cipher, ToHex(out, 16)) << v.keyBits << "-bit key " << v.key;
    }
}

TEST(Aria, DecryptsTheExamplesWithTheDecryptionScheduleAndTheSameRoundCount)
{
    for (const AriaVector& v : kVectors) {
        uint32_t rk[68];
        int rounds = AriaDecKeySetup(v.keyBits, rk, FromHex(v.key).data());
        EXPECT_EQ(v.rounds, rounds) << v.keyBits << "-bit key";
        unsigned char out[16];
        AriaCrypt(FromHex(v.cipher).data(), rk, rounds, out);
        EXPECT_EQ(v.plain, ToHex(out, 16)) << v.keyBits << "-bit key " << v.key;
    }
}

TEST(Aria, WorksInPlaceWhenInputAndOutputAreTheSameBlock)
{
    const AriaVector& v = kVectors[2];
    uint32_t rk[68];
    int rounds = AriaEncKeySetup(rk, FromHex(v.key).data(), v.keyBits);
    std::vector<unsigned char> block = FromHex(v.plain);
    AriaCrypt(block.data(), rk, rounds, block.data());
    EXPECT_EQ(v.cipher, ToHex(block.data(), 16));
}

TEST(Aria, RefusesKeySizesOutsideTheStandardWithoutTouchingTheRoundKeys)
{
    unsigned char key[32] = {};
    for (int bits : {0, 64, 127, 160, 224, 257, 512}) {
        uint32_t rk[68];
        std::memset(rk, 0x5a, sizeof(rk));
        EXPECT_EQ(0, AriaEncKeySetup(rk, key, bits)) << bits << " bits";
        EXPECT_EQ(0, AriaDecKeySetup(bits, rk, key)) << bits << " bits";
        EXPECT_EQ(0x5a5a5a5au, rk[0]) << bits << " bits";
        EXPECT_EQ(0x5a5a5a5au, rk[67]) << bits << " bits";
    }
}

}

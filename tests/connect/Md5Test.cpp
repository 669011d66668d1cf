// MD5 against the test suite of RFC 1321, Appendix A.5.
#include "CryptoCore.h"
#include "HexBytes.h"
#include <gtest/gtest.h>
#include <cstring>
#include <string>

namespace {

using hexbytes::ToHex;

std::string Md5Hex(const std::string& text)
{
    Md5Context ctx;
    Md5Init(&ctx);
    Md5Update(&ctx, reinterpret_cast<const unsigned char*>(text.data()), text.size());
    unsigned char digest[16];
    Md5Final(digest, &ctx);
    return ToHex(digest, 16);
}

struct Md5Vector {
    const char* text;
    const char* digest;
};

// RFC 1321, Appendix A.5.
const Md5Vector kSuite[] = {
    {"", "d41d8cd98f00b204e9800998ecf8427e"},
    {"a", "0cc175b9c0f1b6a831c399e269772661"},
    {"abc", "900150983cd24fb0d6963f7d28e17f72"},
    {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
    {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
    {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", "d174ab98d277d9f5a5611c2c9f419d9f"},
    {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
     "57edf4a22be3c955ac49da2e2107b67a"},
};

TEST(Md5, GivesThePublishedDigestsOfTheRfc1321Suite)
{
    for (const Md5Vector& v : kSuite)
        EXPECT_EQ(v.digest, Md5Hex(v.text)) << "text \"" << v.text << "\"";
}

TEST(Md5, GivesTheSameDigestWhateverTheUpdatesAreSplitInto)
{
    const Md5Vector& v = kSuite[6]; // 80 bytes: the splits cross the 64-byte block edge
    size_t len = std::strlen(v.text);
    for (size_t split = 0; split <= len; ++split) {
        Md5Context ctx;
        Md5Init(&ctx);
        Md5Update(&ctx, reinterpret_cast<const unsigned char*>(v.text), split);
        Md5Update(&ctx, reinterpret_cast<const unsigned char*>(v.text) + split, len - split);
        unsigned char digest[16];
        Md5Final(digest, &ctx);
        EXPECT_EQ(v.digest, ToHex(digest, 16)) << "split after " << split << " bytes";
    }
}

TEST(Md5, DigestsAMillionLetters)
{
    // The widely published digest of one million "a".
    EXPECT_EQ("7707d6ae4e027c70eea2a935c2296f21", Md5Hex(std::string(1000000, 'a')));
}

TEST(Md5, LeavesTheContextAllZeroAfterTheFinalStep)
{
    Md5Context ctx;
    Md5Init(&ctx);
    Md5Update(&ctx, reinterpret_cast<const unsigned char*>("abc"), 3);
    unsigned char digest[16];
    Md5Final(digest, &ctx);
    Md5Context zero;
    std::memset(&zero, 0, sizeof(zero));
    EXPECT_EQ(0, std::memcmp(&ctx, &zero, sizeof(ctx)));
}

TEST(Md5, TransformsTheOnePaddedBlockOfTheEmptyMessageIntoItsDigest)
{
    unsigned char block[64] = {0x80}; // padding byte, zeros, a bit count of 0
    uint32_t state[4] = {0x67452301, 0xefcdab89, 0x98badcfe, 0x10325476};
    Md5Transform(state, block);
    // d41d8cd98f00b204e9800998ecf8427e as little-endian words
    EXPECT_EQ(0xd98c1dd4u, state[0]);
    EXPECT_EQ(0x04b2008fu, state[1]);
    EXPECT_EQ(0x980980e9u, state[2]);
    EXPECT_EQ(0x7e42f8ecu, state[3]);
}

TEST(Md5, DecodesSixtyFourBytesAsLittleEndianWords)
{
    unsigned char in[64];
    for (int i = 0; i < 64; ++i)
        in[i] = static_cast<unsigned char>(i);
    uint32_t words[16];
    Md5Decode(in, words);
    EXPECT_EQ(0x03020100u, words[0]);
    EXPECT_EQ(0x3f3e3d3cu, words[15]);
}

}

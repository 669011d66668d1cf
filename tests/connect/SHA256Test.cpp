// CSHA256::GetSAH256Data: published digests as hexadecimal text appended to the caller's text.
#include <gtest/gtest.h>
#include "SHA256.h"
#include <cwchar>
#include <string>

namespace {

struct Vector {
    const char* source;
    std::wstring message;
    const wchar_t* digest;
};

const Vector kVectors[] = {
    {"FIPS 180-2 appendix B.1", L"abc",
     L"ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
    {"FIPS 180-2 appendix B.2", L"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
     L"248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
    {"FIPS 180-2 appendix B.3", std::wstring(1000000, L'a'),
     L"cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
    // The check value the password prompt keeps: SHA-256 of the SHA-1 text of "abc" (Python hashlib).
    {"SHA-1 text of abc", L"a9993e364706816aba3e25717850c26c9cd0d89d",
     L"999b5233407e71fb28c80c218006341179cd67a83b64a56c0ac25064e094c441"},
};

}

TEST(SHA256, ReproducesThePublishedDigestsAsLowerCaseHex)
{
    for (const Vector& v : kVectors) {
        std::wstring message = v.message;
        wchar_t out[65] = L"";
        EXPECT_EQ(0, CSHA256::GetSAH256Data(&message[0], out, 65)) << v.source;
        EXPECT_STREQ(v.digest, out) << v.source;
    }
}

TEST(SHA256, AppendsToTheTextAlreadyInTheOutput)
{
    wchar_t abc[] = L"abc";
    wchar_t out[80] = L"prefix:";
    EXPECT_EQ(0, CSHA256::GetSAH256Data(abc, out, 80));
    EXPECT_EQ(std::wstring(L"prefix:") + kVectors[0].digest, out);
}

TEST(SHA256, RefusesAnEmptyOrNullTextAndAppendsNothing)
{
    wchar_t empty[] = L"";
    wchar_t out[80] = L"kept";
    EXPECT_EQ(-1, CSHA256::GetSAH256Data(empty, out, 80));
    EXPECT_EQ(-1, CSHA256::GetSAH256Data(nullptr, out, 80));
    EXPECT_STREQ(L"kept", out);
}

TEST(SHA256, RefusesAnOutputWithoutRoomForTheDigitsAndTheirZero)
{
    wchar_t abc[] = L"abc";
    wchar_t out[80];
    // "ab" + 64 digits + zero needs 67 characters.
    wcscpy(out, L"ab");
    EXPECT_EQ(-1, CSHA256::GetSAH256Data(abc, out, 66));
    EXPECT_STREQ(L"ab", out);
    EXPECT_EQ(0, CSHA256::GetSAH256Data(abc, out, 67));
    EXPECT_EQ(std::wstring(L"ab") + kVectors[0].digest, out);

    EXPECT_EQ(-1, CSHA256::GetSAH256Data(abc, nullptr, 80));
    EXPECT_EQ(-1, CSHA256::GetSAH256Data(abc, out, 0));
}

TEST(SHA256, RefusesAnOutputThatIsNotTerminatedWithinItsSize)
{
    wchar_t abc[] = L"abc";
    wchar_t out[80];
    wmemset(out, L'x', 80);
    EXPECT_EQ(-1, CSHA256::GetSAH256Data(abc, out, 80));
    EXPECT_EQ(L'x', out[79]);
}

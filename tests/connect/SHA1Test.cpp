// CSHA1: published digests, hashing in pieces and from files, and the four text reports.
#include <gtest/gtest.h>
#include "SHA1.h"
#include "FileBytes.h"
#include "TestPaths.h"
#include <windows.h>
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

std::string HexOf(const CSHA1& sha)
{
    char text[41] = {};
    EXPECT_TRUE(sha.ReportHashA(text, sizeof(text), CSHA1::REPORT_HEX_LOWER));
    return text;
}

std::string DigestOf(const std::string& message)
{
    CSHA1 sha;
    sha.Update(reinterpret_cast<const unsigned char*>(message.data()),
               static_cast<unsigned int>(message.size()));
    sha.Final();
    return HexOf(sha);
}

std::vector<unsigned char> PatternBytes(size_t size)
{
    std::vector<unsigned char> bytes(size);
    for (size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<unsigned char>((i * 131 + i / 251) & 0xFF);
    return bytes;
}

using filebytes::WriteFile;

struct Vector {
    const char* source;
    std::string message;
    const char* digest;
};

const std::string kMillionA(1000000, 'a');

const Vector kVectors[] = {
    {"FIPS 180-1 appendix A", "abc", "a9993e364706816aba3e25717850c26c9cd0d89d"},
    {"FIPS 180-1 appendix B", "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
     "84983e441c3bd26ebaae4aa1f95129e5e54670f1"},
    {"FIPS 180-1 appendix C", kMillionA, "34aa973cd4c4daa4f61eeb2bdbad27316534016f"},
    {"RFC 3174 (empty message)", "", "da39a3ee5e6b4b0d3255bfef95601890afd80709"},
};

}

TEST(SHA1, ReproducesThePublishedDigests)
{
    for (const Vector& v : kVectors)
        EXPECT_EQ(v.digest, DigestOf(v.message)) << v.source << ", message of " << v.message.size() << " bytes";
}

TEST(SHA1, GivesTheSameDigestWhateverThePiecesTheMessageArrivesIn)
{
    const std::string& message = kVectors[2].message;
    for (unsigned int piece : {1u, 55u, 63u, 64u, 65u, 1000u, 524800u}) {
        CSHA1 sha;
        for (size_t at = 0; at < message.size(); at += piece) {
            size_t n = std::min<size_t>(piece, message.size() - at);
            sha.Update(reinterpret_cast<const unsigned char*>(message.data() + at), static_cast<unsigned int>(n));
        }
        sha.Final();
        EXPECT_EQ(kVectors[2].digest, HexOf(sha)) << "pieces of " << piece << " bytes";
    }
}

TEST(SHA1, HashesAgainAfterResetWithTheSameObject)
{
    CSHA1 sha;
    sha.Update(reinterpret_cast<const unsigned char*>("xyz"), 3);
    sha.Final();
    sha.Reset();
    sha.Update(reinterpret_cast<const unsigned char*>("abc"), 3);
    sha.Final();
    EXPECT_EQ(kVectors[0].digest, HexOf(sha));
}

TEST(SHA1, CopyCarriesOnIndependentlyOfTheOriginal)
{
    const unsigned char* abc = reinterpret_cast<const unsigned char*>("abc");
    CSHA1* original = new CSHA1;
    original->Update(abc, 2);
    CSHA1 copy(*original);
    CSHA1 assigned;
    assigned = *original;
    delete original;  // the copies must not depend on its memory
    copy.Update(abc + 2, 1);
    copy.Final();
    assigned.Update(abc + 2, 1);
    assigned.Final();
    EXPECT_EQ(kVectors[0].digest, HexOf(copy));
    EXPECT_EQ(kVectors[0].digest, HexOf(assigned));
}

TEST(SHA1, ACopyWorksInItsOwnWorkspaceAndLeavesTheOriginalUntouched)
{
    const unsigned char head[10] = "012345678";
    unsigned char block[64];
    memset(block, 0x5A, sizeof(block));
    CSHA1 original;
    original.Update(head, sizeof(head));
    CSHA1 copy(original);
    CSHA1 assigned;
    assigned = original;

    // Whole blocks run the transform in each copy's workspace; none of it may land in the
    // original's memory, or two threads hashing copies would spoil each other's blocks.
    unsigned char before[sizeof(CSHA1)];
    memcpy(before, static_cast<const void*>(&original), sizeof(CSHA1));
    copy.Update(block, sizeof(block));
    assigned.Update(block, sizeof(block));
    EXPECT_EQ(0, memcmp(before, static_cast<const void*>(&original), sizeof(CSHA1)));

    original.Update(block, sizeof(block));
    original.Final();
    copy.Final();
    assigned.Final();
    EXPECT_EQ(HexOf(original), HexOf(copy));
    EXPECT_EQ(HexOf(original), HexOf(assigned));
}

TEST(SHA1, GetHashCopiesTheTwentyDigestBytes)
{
    CSHA1 sha;
    sha.Update(reinterpret_cast<const unsigned char*>("abc"), 3);
    sha.Final();
    unsigned char digest[21];
    memset(digest, 0xCC, sizeof(digest));
    ASSERT_TRUE(sha.GetHash(digest));
    const unsigned char expected[20] = {0xa9, 0x99, 0x3e, 0x36, 0x47, 0x06, 0x81, 0x6a, 0xba, 0x3e,
                                        0x25, 0x71, 0x78, 0x50, 0xc2, 0x6c, 0x9c, 0xd0, 0xd8, 0x9d};
    EXPECT_EQ(0, memcmp(expected, digest, 20));
    EXPECT_EQ(0xCC, digest[20]);
    EXPECT_FALSE(sha.GetHash(nullptr));
}

// Reports of the digest of "12", which has a zero byte (source: Python hashlib).
class SHA1Report : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_sha.Update(reinterpret_cast<const unsigned char*>("12"), 2);
        m_sha.Final();
    }
    CSHA1 m_sha;
};

struct ReportCase {
    CSHA1::REPORT_TYPE type;
    const char* text;
    int room;  // the text and its zero
};

const ReportCase kReports[] = {
    {CSHA1::REPORT_HEX_SPACED,
     "7b 52 00 9b 64 fd 0a 2a 49 e6 d8 a9 39 75 30 77 79 2b 05 54", 60},
    {CSHA1::REPORT_DECIMAL,
     "123 82 0 155 100 253 10 42 73 230 216 169 57 117 48 119 121 43 5 84", 68},
    {CSHA1::REPORT_HEX_LOWER, "7b52009b64fd0a2a49e6d8a939753077792b0554", 41},
    {CSHA1::REPORT_HEX_UPPER, "7B52009B64FD0A2A49E6D8A939753077792B0554", 41},
};

TEST_F(SHA1Report, WritesEachTypeInAllThreeForms)
{
    for (const ReportCase& r : kReports) {
        char narrow[128];
        wchar_t wide[128];
        std::wstring stl;
        ASSERT_TRUE(m_sha.ReportHashA(narrow, 128, r.type)) << "type " << r.type;
        ASSERT_TRUE(m_sha.ReportHashW(wide, 128, r.type)) << "type " << r.type;
        ASSERT_TRUE(m_sha.ReportHashStl(stl, r.type)) << "type " << r.type;
        std::wstring expected(r.text, r.text + strlen(r.text));
        EXPECT_EQ(r.text, std::string(narrow)) << "type " << r.type;
        EXPECT_EQ(expected, std::wstring(wide)) << "type " << r.type;
        EXPECT_EQ(expected, stl) << "type " << r.type;
    }
}

TEST_F(SHA1Report, SpacedHexHasNineteenSingleSpacesAndNoneAtTheEnd)
{
    char text[60];
    ASSERT_TRUE(m_sha.ReportHashA(text, 60, CSHA1::REPORT_HEX_SPACED));
    EXPECT_EQ(59u, strlen(text));
    EXPECT_EQ(19, std::count(text, text + strlen(text), ' '));
    EXPECT_EQ(nullptr, strstr(text, "  "));
    EXPECT_NE(' ', text[58]);
}

TEST_F(SHA1Report, FitsExactlyIntoTheRoomItNeedsAndRefusesLessLeavingTheOutputAsItWas)
{
    for (const ReportCase& r : kReports) {
        char narrow[128];
        wchar_t wide[128];
        EXPECT_TRUE(m_sha.ReportHashA(narrow, r.room, r.type)) << "type " << r.type;
        EXPECT_TRUE(m_sha.ReportHashW(wide, r.room, r.type)) << "type " << r.type;

        strcpy(narrow, "before");
        wcscpy(wide, L"before");
        EXPECT_FALSE(m_sha.ReportHashA(narrow, r.room - 1, r.type)) << "type " << r.type;
        EXPECT_FALSE(m_sha.ReportHashW(wide, r.room - 1, r.type)) << "type " << r.type;
        EXPECT_STREQ("before", narrow);
        EXPECT_STREQ(L"before", wide);
    }
}

TEST_F(SHA1Report, RefusesAnUnknownTypeOrANullOutputLeavingTheOutputAsItWas)
{
    char narrow[128] = "before";
    wchar_t wide[128] = L"before";
    std::wstring stl = L"before";
    CSHA1::REPORT_TYPE unknown = static_cast<CSHA1::REPORT_TYPE>(4);
    EXPECT_FALSE(m_sha.ReportHashA(narrow, 128, unknown));
    EXPECT_FALSE(m_sha.ReportHashW(wide, 128, unknown));
    EXPECT_FALSE(m_sha.ReportHashStl(stl, unknown));
    EXPECT_FALSE(m_sha.ReportHashW(wide, 128, static_cast<CSHA1::REPORT_TYPE>(-1)));
    EXPECT_STREQ("before", narrow);
    EXPECT_STREQ(L"before", wide);
    EXPECT_EQ(L"before", stl);
    EXPECT_FALSE(m_sha.ReportHashA(nullptr, 128, CSHA1::REPORT_HEX_LOWER));
    EXPECT_FALSE(m_sha.ReportHashW(nullptr, 128, CSHA1::REPORT_HEX_LOWER));
}

class SHA1File : public ::testing::Test {
protected:
    void SetUp() override { m_dir = testpaths::ScratchDir(L"SHA1Test"); }
    std::wstring m_dir;
};

TEST_F(SHA1File, HashesFilesOfEverySizeLikeTheSameBytesInMemory)
{
    // 524,800 is exactly one read block: the second read returns nothing.
    for (size_t size : {size_t(0), size_t(10), size_t(100000), size_t(524800), size_t(524801), size_t(1200000)}) {
        std::vector<unsigned char> bytes = PatternBytes(size);
        std::wstring path = m_dir + L"\\file" + std::to_wstring(size) + L".bin";
        WriteFile(path, bytes);

        CSHA1 fromFile, fromMemory;
        EXPECT_TRUE(fromFile.HashFile(path.c_str())) << size << " bytes";
        fromFile.Final();
        fromMemory.Update(bytes.data(), static_cast<unsigned int>(bytes.size()));
        fromMemory.Final();
        EXPECT_EQ(HexOf(fromMemory), HexOf(fromFile)) << size << " bytes";
    }
}

TEST_F(SHA1File, AddsTheFileToTheRunningHashWithoutFinishingIt)
{
    std::wstring ab = m_dir + L"\\ab.txt";
    std::wstring c = m_dir + L"\\c.txt";
    WriteFile(ab, {'a', 'b'});
    WriteFile(c, {'c'});
    std::wstring empty = m_dir + L"\\empty.txt";
    WriteFile(empty, {});

    CSHA1 sha;
    EXPECT_TRUE(sha.HashFile(ab.c_str()));
    EXPECT_TRUE(sha.HashFile(empty.c_str()));
    EXPECT_TRUE(sha.HashFile(c.c_str()));
    sha.Final();
    EXPECT_EQ(kVectors[0].digest, HexOf(sha));
}

TEST_F(SHA1File, OpensAFileWhoseNameIsNotInTheAnsiCodePage)
{
    std::wstring path = m_dir + L"\\\uD30C\uC77C abc.txt";
    WriteFile(path, {'a', 'b', 'c'});
    CSHA1 sha;
    EXPECT_TRUE(sha.HashFile(path.c_str()));
    sha.Final();
    EXPECT_EQ(kVectors[0].digest, HexOf(sha));
}

TEST_F(SHA1File, FailsForANullPathOrAMissingFile)
{
    CSHA1 sha;
    EXPECT_FALSE(sha.HashFile(nullptr));
    EXPECT_FALSE(sha.HashFile((m_dir + L"\\missing.bin").c_str()));
    // Nothing was added.
    sha.Update(reinterpret_cast<const unsigned char*>("abc"), 3);
    sha.Final();
    EXPECT_EQ(kVectors[0].digest, HexOf(sha));
}

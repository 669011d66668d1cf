// The client's Adler-32 file checksum, including its sampled form above 100 MB.
#include "Checksum.h"
#include "ServerHarness.h"
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace tovisrv;

namespace {

// Adler-32 by its definition, byte by byte.
uint32_t NaiveAdler(const std::string& data, uint32_t start = 1)
{
    uint64_t a = start & 0xFFFF, b = start >> 16;
    for (unsigned char c : data) {
        a = (a + c) % 65521;
        b = (b + a) % 65521;
    }
    return static_cast<uint32_t>((b << 16) | a);
}

class ChecksumFiles : public ::testing::Test {
protected:
    void SetUp() override { m_dir = MakeScratchDir("toviserver-checksum"); }
    void TearDown() override { std::filesystem::remove_all(m_dir); }
    std::string Write(const std::string& name, const std::string& data)
    {
        const std::string path = m_dir + "/" + name;
        std::ofstream(path, std::ios::binary) << data;
        return path;
    }
    std::string m_dir;
};

}

TEST(Checksum, MatchesAdler32ByDefinition)
{
    const std::string data = testwire::Pattern(7, 100000) + std::string(20000, '\xFF');
    EXPECT_EQ(CChecksum::Update(1, data.data(), data.size()), NaiveAdler(data));
    EXPECT_EQ(CChecksum::Update(1, "abc", 3), 0x024D0127u);
}

TEST_F(ChecksumFiles, GivesTheFirstBytesOrTheWholeFile)
{
    const std::string path = Write("abc", "abcdef");
    const struct { uint64_t size; uint32_t expected; } rows[] = {
        {3, 38600999u},                  // "abc" = 0x024D0127
        {0, NaiveAdler("abcdef")},       // 0 = the whole file
        {6, NaiveAdler("abcdef")},
        {100, NaiveAdler("abcdef")},     // the end of the file stops early
        {1, NaiveAdler("a")},
    };
    for (const auto& row : rows)
        EXPECT_EQ(CChecksum::Compute(path, row.size), row.expected) << "size " << row.size;
}

TEST_F(ChecksumFiles, GivesZeroForAnEmptyOrMissingFile)
{
    EXPECT_EQ(CChecksum::Compute(Write("empty", ""), 0), 0u);
    EXPECT_EQ(CChecksum::Compute(m_dir + "/missing", 0), 0u);
    EXPECT_EQ(CChecksum::Compute(m_dir + "/missing", 10), 0u);
}

TEST_F(ChecksumFiles, SamplesTwentyChunksOfFiveMegabytesAbove100Megabytes)
{
    // A sparse 200,000,000-byte file: chunk k starts at k * 10,000,000.
    const std::string path = m_dir + "/big";
    const uint64_t size = 200000000, step = size / 20, chunk = 5242880;
    {
        std::ofstream(path, std::ios::binary).flush();
        ASSERT_EQ(::truncate(path.c_str(), static_cast<off_t>(size)), 0);
    }
    auto poke = [&](uint64_t at, char c) {
        std::fstream f(path, std::ios::binary | std::ios::in | std::ios::out);
        f.seekp(static_cast<std::streamoff>(at));
        f.put(c);
    };
    poke(0, 'a');
    poke(3 * step + chunk - 1, 'b');      // last byte of chunk 3
    poke(19 * step + 1234, 'c');
    const uint32_t sampled = CChecksum::Compute(path, 0);

    std::string fed;
    std::ifstream in(path, std::ios::binary);
    for (uint64_t k = 0; k < 20; ++k) {
        std::string piece(chunk, '\0');
        in.seekg(static_cast<std::streamoff>(k * step));
        in.read(&piece[0], static_cast<std::streamsize>(chunk));
        fed += piece;
    }
    EXPECT_EQ(sampled, NaiveAdler(fed));

    poke(3 * step + chunk, 'x');          // the first byte after chunk 3 is not read
    EXPECT_EQ(CChecksum::Compute(path, 0), sampled);
    poke(3 * step + chunk - 2, 'y');      // inside chunk 3 it is
    EXPECT_NE(CChecksum::Compute(path, 0), sampled);
}

TEST_F(ChecksumFiles, FeedsExactly100MegabytesWithoutSampling)
{
    const std::string path = m_dir + "/limit";
    {
        std::ofstream(path, std::ios::binary).flush();
        ASSERT_EQ(::truncate(path.c_str(), static_cast<off_t>(CChecksum::kSampleThreshold + 10)), 0);
        std::fstream f(path, std::ios::binary | std::ios::in | std::ios::out);
        f.seekp(static_cast<std::streamoff>(CChecksum::kSampleThreshold - 1));
        f.put('z');
    }
    const uint32_t withLastByte = CChecksum::Compute(path, CChecksum::kSampleThreshold);
    const uint32_t withoutIt = CChecksum::Compute(path, CChecksum::kSampleThreshold - 1);
    EXPECT_EQ(withLastByte, CChecksum::Update(withoutIt, "z", 1));
}

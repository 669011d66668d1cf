// CCRC32: the IEEE 802.3 checksum over memory, carried over pieces, and over files.
#include <gtest/gtest.h>
#include "CRC32.h"
#include "FileBytes.h"
#include "TestPaths.h"
#include <windows.h>
#include <cstring>
#include <string>
#include <vector>

namespace {

unsigned long CrcOf(const std::string& text)
{
    return CCRC32::crc32(0, text.data(), static_cast<unsigned int>(text.size()));
}

std::vector<unsigned char> PatternBytes(size_t size)
{
    std::vector<unsigned char> bytes(size);
    for (size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<unsigned char>((i * 167 + i / 509) & 0xFF);
    return bytes;
}

using filebytes::WriteFile;

}

TEST(CRC32, ReproducesThePublishedCheckValues)
{
    struct { const char* source; std::string text; unsigned long crc; } cases[] = {
        {"CRC-32 check value (Williams' catalogue)", "123456789", 0xCBF43926},
        {"zlib crc32", "The quick brown fox jumps over the lazy dog", 0x414FA339},
        {"one zero byte (zlib crc32)", std::string(1, '\0'), 0xD202EF8D},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.crc, CrcOf(c.text)) << c.source;
}

TEST(CRC32, CarriesAChecksumOverPiecesWhereverTheMessageIsSplit)
{
    const std::string text = "The quick brown fox jumps over the lazy dog";
    for (size_t split = 0; split <= text.size(); ++split) {
        unsigned long first = CCRC32::crc32(0, text.data(), static_cast<unsigned int>(split));
        unsigned long both = CCRC32::crc32(first, text.data() + split, static_cast<unsigned int>(text.size() - split));
        EXPECT_EQ(CrcOf(text), both) << "split after " << split << " bytes";
    }
}

TEST(CRC32, GivesTheStartValueBackForNoBytes)
{
    for (unsigned long start : {0ul, 1ul, 0xCBF43926ul, 0xFFFFFFFFul}) {
        EXPECT_EQ(start, CCRC32::crc32(start, "abc", 0));
        EXPECT_EQ(start, CCRC32::crc32(start, nullptr, 0));
    }
    EXPECT_EQ(7ul, CCRC32::crc32(7, nullptr, 5));
}

class CRC32File : public ::testing::Test {
protected:
    void SetUp() override { m_dir = testpaths::ScratchDir(L"CRC32Test"); }
    CString Make(const wchar_t* name, const std::vector<unsigned char>& bytes)
    {
        std::wstring path = m_dir + L"\\" + name;
        WriteFile(path, bytes);
        return CString(path.c_str());
    }
    std::wstring m_dir;
};

TEST_F(CRC32File, ChecksumsWholeFilesLikeTheSameBytesInMemory)
{
    // 65,000 is one read block; 524,800 is the SHA-1 file block, for a common test set.
    for (size_t size : {size_t(1), size_t(10), size_t(65000), size_t(65001), size_t(100000), size_t(524800)}) {
        std::vector<unsigned char> bytes = PatternBytes(size);
        CString path = Make((L"file" + std::to_wstring(size)).c_str(), bytes);
        unsigned long expected = CCRC32::crc32(0, bytes.data(), static_cast<unsigned int>(size));
        EXPECT_EQ(expected, CCRC32::GetFileCRC32(path, 0)) << size << " bytes, count 0";
        EXPECT_EQ(expected, CCRC32::GetFileCRC32(path, static_cast<__int64>(size))) << size << " bytes, count = size";
    }
}

TEST_F(CRC32File, ChecksumsOnlyTheFirstCountBytes)
{
    std::vector<unsigned char> bytes = PatternBytes(100000);
    CString path = Make(L"hundred-thousand.bin", bytes);
    for (__int64 count : {1ll, 10ll, 64999ll, 65000ll, 65001ll, 99999ll}) {
        unsigned long expected = CCRC32::crc32(0, bytes.data(), static_cast<unsigned int>(count));
        EXPECT_EQ(expected, CCRC32::GetFileCRC32(path, count)) << "count " << count;
    }
}

TEST_F(CRC32File, ChecksumsTheWholeFileForACountBeyondItsEnd)
{
    CString path = Make(L"digits.txt", {'1', '2', '3', '4', '5', '6', '7', '8', '9'});
    EXPECT_EQ(0xCBF43926ul, CCRC32::GetFileCRC32(path, 10));
    EXPECT_EQ(0xCBF43926ul, CCRC32::GetFileCRC32(path, 1000000));
    EXPECT_EQ(0xCBF43926ul, CCRC32::GetFileCRC32(path, 0));
}

TEST_F(CRC32File, GivesZeroForAnEmptyOrMissingFileOrANegativeCount)
{
    CString empty = Make(L"empty.bin", {});
    CString digits = Make(L"digits.txt", {'1', '2', '3', '4', '5', '6', '7', '8', '9'});
    EXPECT_EQ(0ul, CCRC32::GetFileCRC32(empty, 0));
    EXPECT_EQ(0ul, CCRC32::GetFileCRC32(empty, 10));
    EXPECT_EQ(0ul, CCRC32::GetFileCRC32(digits, -1));
    EXPECT_EQ(0ul, CCRC32::GetFileCRC32(CString((m_dir + L"\\missing.bin").c_str()), 0));
}

TEST_F(CRC32File, ReadsAFileThatAnotherHandleHasOpenForReading)
{
    CString path = Make(L"shared.txt", {'1', '2', '3', '4', '5', '6', '7', '8', '9'});
    HANDLE other = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, other);
    EXPECT_EQ(0xCBF43926ul, CCRC32::GetFileCRC32(path, 0));
    CloseHandle(other);
}

// Writing a scratch file of given bytes, for tests that read files back, and comparing whole
// contents so that a failure names the first differing offset instead of printing both.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>
#include <cstdio>
#include <string>
#include <vector>

namespace filebytes {

// Replaces the file at `path` with `bytes`; a failure fails the calling test.
inline void WriteFile(const std::wstring& path, const std::vector<unsigned char>& bytes)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    DWORD written = 0;
    BOOL ok = bytes.empty() || ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    ASSERT_TRUE(ok);
}

// Success when both hold the same bytes; otherwise the sizes and the first offset at which
// they differ, with the two bytes there. Use as EXPECT_TRUE(filebytes::Same(expected, actual)).
inline ::testing::AssertionResult Same(const std::string& expected, const std::string& actual)
{
    size_t common = expected.size() < actual.size() ? expected.size() : actual.size();
    size_t at = 0;
    while (at < common && expected[at] == actual[at])
        ++at;
    if (at == common && expected.size() == actual.size())
        return ::testing::AssertionSuccess();
    char detail[160];
    if (at < common)
        std::snprintf(detail, sizeof(detail), "first difference at offset %zu: expected 0x%02X, actual 0x%02X", at,
                      static_cast<unsigned char>(expected[at]), static_cast<unsigned char>(actual[at]));
    else
        std::snprintf(detail, sizeof(detail), "the shorter one ends at offset %zu", at);
    return ::testing::AssertionFailure() << expected.size() << " bytes expected, " << actual.size() << " read; "
                                         << detail;
}

// The same for byte vectors.
inline ::testing::AssertionResult Same(const std::vector<unsigned char>& expected, const std::vector<unsigned char>& actual)
{
    return Same(std::string(expected.begin(), expected.end()), std::string(actual.begin(), actual.end()));
}

}

// Writing a scratch file of given bytes, for tests that read files back.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>
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

}

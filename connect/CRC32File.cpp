// CRC-32 of a file or of its first bytes, read in 65,000-byte blocks.
#include "CRC32.h"
#include <windows.h>

namespace {
const DWORD kFileBlock = 65000;
}

unsigned long CCRC32::GetFileCRC32(CString path, __int64 count)
{
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    if (count == 0) {
        LARGE_INTEGER size;
        if (!GetFileSizeEx(file, &size) || size.QuadPart == 0) {
            CloseHandle(file);
            return 0;
        }
        count = size.QuadPart;
    }
    if (count < 0) {
        CloseHandle(file);
        return 0;
    }

    unsigned char block[kFileBlock];
    unsigned long crc = 0;
    while (count > 0) {
        DWORD want = count < kFileBlock ? static_cast<DWORD>(count) : kFileBlock;
        DWORD got = 0;
        if (!ReadFile(file, block, want, &got, nullptr) || got == 0)
            break;
        crc = crc32(crc, block, got);
        count -= got;
    }
    CloseHandle(file);
    return crc;
}

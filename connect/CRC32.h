// CRC-32 (IEEE 802.3, reflected polynomial 0xEDB88320) over memory and over files.
#pragma once
#include "ToviConnectApi.h"
#ifdef _WIN32
#include "Strings.h"
#endif

class TOVICONNECT_API CCRC32 {
public:
    // Start from 0; pass the previous result to carry a checksum over several buffers.
    // len 0 gives crc back unchanged.
    static unsigned long crc32(unsigned long crc, const void* buf, unsigned int len);
#ifdef _WIN32
    // CRC of the first count bytes of the file (count 0: the whole file; a count beyond the
    // end: the whole file). 0 when the file cannot be opened, its size is unknown or 0, or
    // count is negative; 0 is also the CRC of nothing.
    static unsigned long GetFileCRC32(CString path, __int64 count);
#endif
};

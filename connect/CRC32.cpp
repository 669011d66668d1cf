// CRC-32 over memory. No Windows header, so that it also builds natively; files are in
// CRC32File.cpp.
#include "CRC32.h"

namespace {

struct CrcTable {
    unsigned int entry[256];
    CrcTable()
    {
        for (unsigned int n = 0; n < 256; ++n) {
            unsigned int c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? (0xEDB88320u ^ (c >> 1)) : (c >> 1);
            entry[n] = c;
        }
    }
};

const CrcTable kCrcTable;

}

unsigned long CCRC32::crc32(unsigned long crc, const void* buf, unsigned int len)
{
    if (len == 0 || !buf)
        return crc;
    // Work in 32 bits whatever the width of unsigned long.
    unsigned int c = ~static_cast<unsigned int>(crc);
    const unsigned char* p = static_cast<const unsigned char*>(buf);
    for (unsigned int i = 0; i < len; ++i)
        c = (c >> 8) ^ kCrcTable.entry[(c ^ p[i]) & 0xFF];
    return ~c;
}

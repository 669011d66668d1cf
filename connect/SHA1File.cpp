// SHA-1 of a whole file, read in large blocks.
#include "SHA1.h"
#include <cstdio>
#include <new>

namespace {
const unsigned int kFileBlock = 524800;
}

bool CSHA1::HashFile(const wchar_t* path)
{
    if (!path)
        return false;
    FILE* file = _wfopen(path, L"rb");
    if (!file)
        return false;
    unsigned char* block = new (std::nothrow) unsigned char[kFileBlock];
    if (!block) {
        fclose(file);
        return false;
    }
    for (;;) {
        size_t got = fread(block, 1, kFileBlock, file);
        if (got > 0)
            Update(block, static_cast<unsigned int>(got));
        if (got < kFileBlock)
            break;
    }
    // A short read is the end only when it was not an error.
    bool whole = feof(file) && !ferror(file);
    delete[] block;
    fclose(file);
    return whole;
}

// The client's file checksum: Adler-32 of the first bytes of a file, sampled above 100 MB.
#include "Checksum.h"
#include <cstdio>
#include <sys/stat.h>
#include <vector>
#include <zlib.h>

namespace tovisrv {

namespace {

// Runs handed to zlib at a time (its length argument is an unsigned int).
constexpr size_t kRun = 1u << 30;
constexpr size_t kBlock = 8192;

// Feeds up to `count` bytes from the file's current position; stops at its end.
uint32_t Feed(std::FILE* file, uint32_t adler, uint64_t count)
{
    std::vector<unsigned char> block(kBlock);
    while (count > 0) {
        const size_t want = count < kBlock ? static_cast<size_t>(count) : kBlock;
        const size_t got = std::fread(block.data(), 1, want, file);
        adler = CChecksum::Update(adler, block.data(), got);
        if (got < want)
            break;
        count -= got;
    }
    return adler;
}

}

uint32_t CChecksum::Update(uint32_t adler, const void* data, size_t length)
{
    // zlib's adler32, as the client uses it.
    const auto* p = static_cast<const Bytef*>(data);
    uLong value = adler;
    while (length > 0) {
        const uInt run = length > kRun ? static_cast<uInt>(kRun) : static_cast<uInt>(length);
        value = ::adler32(value, p, run);
        p += run;
        length -= run;
    }
    return static_cast<uint32_t>(value);
}

uint32_t CChecksum::Compute(const std::string& path, uint64_t size)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return 0;
    if (size == 0) {
        struct stat st{};
        if (::fstat(fileno(file), &st) != 0 || st.st_size <= 0) {
            std::fclose(file);
            return 0;
        }
        size = static_cast<uint64_t>(st.st_size);
    }
    uint32_t adler = 1;
    if (size <= kSampleThreshold) {
        adler = Feed(file, adler, size);
    } else {
        const uint64_t step = size / kSampleCount;
        for (int k = 0; k < kSampleCount; ++k) {
            if (::fseeko(file, static_cast<off_t>(k * step), SEEK_SET) != 0)
                break;
            adler = Feed(file, adler, kSampleChunk);
        }
    }
    std::fclose(file);
    return adler;
}

}

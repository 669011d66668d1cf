// The client's file checksum: Adler-32 of the first bytes of a file, sampled above 100 MB.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace tovisrv {

class CChecksum {
public:
    static constexpr uint64_t kSampleThreshold = 104857600;  // 100 MB
    static constexpr uint64_t kSampleChunk = 5242880;        // 5 MB per sample
    static constexpr int kSampleCount = 20;

    // Adler-32 running value; start with 1.
    static uint32_t Update(uint32_t adler, const void* data, size_t length);

    // As the client computes it: size 0 takes the whole file, and an empty or unreadable
    // file gives 0. Up to 100 MB the first `size` bytes are fed (the end of the file stops
    // early); above that, 20 chunks of 5 MB at k * (size / 20).
    static uint32_t Compute(const std::string& path, uint64_t size);
};

}

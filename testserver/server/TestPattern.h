// The byte pattern of the transport test commands' file data: byte i of a file is i mod 251.
#pragma once
#include <cstdint>
#include <string>

namespace tovisrv {

// 251 is prime, so a piece or frame boundary in the wrong place shows in the data.
inline uint8_t TestPatternByte(uint64_t offset)
{
    return static_cast<uint8_t>(offset % 251);
}

inline std::string TestPattern(uint64_t offset, size_t length)
{
    std::string out(length, '\0');
    for (size_t i = 0; i < length; ++i)
        out[i] = static_cast<char>(TestPatternByte(offset + i));
    return out;
}

}

// The 1-4 byte length prefix of frames and variable fields (UTF-8 bit patterns, 21 bits).
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace tovisrv {

enum class PrefixStatus { Ok, Malformed, Short };

struct PrefixResult {
    PrefixStatus status = PrefixStatus::Malformed;
    int size = 0;         // bytes the prefix took
    uint32_t value = 0;
};

class CLengthPrefix {
public:
    static constexpr uint32_t kLimit = 0x200000;

    // Shortest form; an empty string when the value is not codable (0x200000 and above).
    static std::string Encode(uint32_t value);
    // The form of exactly `size` bytes (longer than needed is allowed; fault injection uses it).
    // Empty when the value does not fit that many bytes.
    static std::string EncodeWithSize(uint32_t value, int size);
    // Accepts longer-than-needed forms. A zero lead byte is malformed, as the client rules it.
    // Short when the prefix runs past `avail`.
    static PrefixResult Decode(const uint8_t* in, size_t avail);
};

}

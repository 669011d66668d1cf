// The 1-4 byte length prefix of frames and variable fields (UTF-8 bit patterns, 21 bits).
#include "LengthPrefix.h"

namespace tovisrv {

namespace {
const uint8_t kLeadMark[5] = {0, 0x00, 0xC0, 0xE0, 0xF0};
const uint32_t kSizeLimit[5] = {0, 0x80, 0x800, 0x10000, 0x200000};
}

std::string CLengthPrefix::Encode(uint32_t value)
{
    for (int size = 1; size <= 4; ++size)
        if (value < kSizeLimit[size])
            return EncodeWithSize(value, size);
    return std::string();
}

std::string CLengthPrefix::EncodeWithSize(uint32_t value, int size)
{
    if (size < 1 || size > 4 || value >= kSizeLimit[size])
        return std::string();
    std::string out(size, '\0');
    for (int i = size - 1; i > 0; --i) {
        out[i] = static_cast<char>(0x80 | (value & 0x3F));
        value >>= 6;
    }
    out[0] = static_cast<char>(kLeadMark[size] | value);
    return out;
}

PrefixResult CLengthPrefix::Decode(const uint8_t* in, size_t avail)
{
    PrefixResult r;
    if (avail == 0) {
        r.status = PrefixStatus::Short;
        return r;
    }
    const uint8_t lead = in[0];
    int size;
    uint32_t value;
    if (lead == 0)
        return r;
    if ((lead & 0x80) == 0) {
        size = 1;
        value = lead;
    } else if ((lead & 0xE0) == 0xC0) {
        size = 2;
        value = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        size = 3;
        value = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        size = 4;
        value = lead & 0x07;
    } else {
        return r;
    }
    if (avail < static_cast<size_t>(size)) {
        r.status = PrefixStatus::Short;
        return r;
    }
    for (int i = 1; i < size; ++i) {
        if ((in[i] & 0xC0) != 0x80)
            return r;
        value = (value << 6) | (in[i] & 0x3F);
    }
    r.status = PrefixStatus::Ok;
    r.size = size;
    r.value = value;
    return r;
}

}

// Wire frames: length prefix coding and frame header checks.
#include "Frame.h"
#include "ToviProtoTypes.h"
#include <cstring>

namespace wire {

int EncodeLength(uint32_t value, unsigned char out[4], int& size)
{
    if (value < 0x80) {
        out[0] = static_cast<unsigned char>(value);
        size = 1;
    } else if (value < 0x800) {
        out[0] = static_cast<unsigned char>(0xC0 | (value >> 6));
        out[1] = static_cast<unsigned char>(0x80 | (value & 0x3F));
        size = 2;
    } else if (value < 0x10000) {
        out[0] = static_cast<unsigned char>(0xE0 | (value >> 12));
        out[1] = static_cast<unsigned char>(0x80 | ((value >> 6) & 0x3F));
        out[2] = static_cast<unsigned char>(0x80 | (value & 0x3F));
        size = 3;
    } else if (value < 0x200000) {
        out[0] = static_cast<unsigned char>(0xF0 | (value >> 18));
        out[1] = static_cast<unsigned char>(0x80 | ((value >> 12) & 0x3F));
        out[2] = static_cast<unsigned char>(0x80 | ((value >> 6) & 0x3F));
        out[3] = static_cast<unsigned char>(0x80 | (value & 0x3F));
        size = 4;
    } else {
        return IXO_SOCK_ERR_LEN_RANGE;
    }
    return 0;
}

int DecodeLength(const unsigned char* in, size_t avail, uint32_t& value, int& size)
{
    if (avail == 0)
        return IXO_SOCK_ERR_RECORD_SHORT;
    const unsigned char lead = in[0];
    int n;
    uint32_t bits;
    if (lead == 0)
        return IXO_SOCK_ERR_LEN_PREFIX;
    if ((lead & 0x80) == 0) {
        n = 1;
        bits = lead;
    } else if ((lead & 0xE0) == 0xC0) {
        n = 2;
        bits = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        n = 3;
        bits = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        n = 4;
        bits = lead & 0x07;
    } else {
        return IXO_SOCK_ERR_LEN_PREFIX;
    }
    if (static_cast<size_t>(n) > avail)
        return IXO_SOCK_ERR_RECORD_SHORT;
    for (int i = 1; i < n; ++i) {
        if ((in[i] & 0xC0) != 0x80)
            return IXO_SOCK_ERR_LEN_PREFIX;
        bits = (bits << 6) | (in[i] & 0x3F);
    }
    value = bits;
    size = n;
    return 0;
}

int ParseFramePrefix(const unsigned char head[4], int& prefixSize, uint32_t& length)
{
    // A frame is at least 4 bytes, so a prefix of up to 4 bytes is always within reach.
    int code = DecodeLength(head, 4, length, prefixSize);
    return code == 0 ? 0 : IXO_SOCK_ERR_LEN_PREFIX;
}

int CheckFrameHeader(int prefixSize, uint32_t length, uint8_t flags)
{
    if ((flags & 0x1F) != 0x01)
        return IXO_SOCK_ERR_FLAGS;
    // Below 3 the length cannot even hold flags and command: the stream is out of step.
    if (length < 3 || static_cast<uint64_t>(prefixSize) + length > kFrameBufferSize)
        return IXO_SOCK_ERR_FRAME_LEN;
    return 0;
}

bool FrameWriter::Append(const void* data, size_t size)
{
    if (!Fits(size))
        return false;
    if (size)
        std::memcpy(Payload() + m_size, data, size);
    m_size += size;
    return true;
}

void FrameWriter::AppendByte(unsigned char byte)
{
    Append(&byte, 1);
}

int FrameWriter::Finish(uint8_t flags, uint16_t command, size_t& frameStart, size_t& frameSize, int& prefixSize)
{
    const uint32_t length = static_cast<uint32_t>(m_size + 3);
    unsigned char prefix[4];
    int n = 0;
    if (m_size > kMaxPayload || EncodeLength(length, prefix, n) != 0)
        return IXO_SOCK_ERR_LEN_RANGE;
    m_buffer[4] = FixFlags(flags);
    m_buffer[5] = static_cast<unsigned char>(command >> 8);
    m_buffer[6] = static_cast<unsigned char>(command & 0xFF);
    std::memcpy(m_buffer + 4 - n, prefix, static_cast<size_t>(n));
    frameStart = static_cast<size_t>(4 - n);
    frameSize = static_cast<size_t>(n) + length;
    prefixSize = n;
    return 0;
}

}

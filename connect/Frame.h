// Wire frames: the 1-4 byte length prefix, the frame header and the send-side frame writer.
// Internal to the connection library; no Windows header, so its tests build it directly.
#pragma once
#include <cstddef>
#include <cstdint>

namespace wire {

constexpr size_t kFrameBufferSize = 0x200000;
// Prefix (right-aligned in 4 bytes), flags and command sit in front of the payload.
constexpr size_t kHeaderRoom = 7;
constexpr size_t kMaxPayload = kFrameBufferSize - kHeaderRoom;
// A frame starts with at least prefix, flags and command.
constexpr size_t kMinFrame = 4;

// Writes value in its shortest form; 0 with size 1-4, or 13 (not codable, out untouched).
int EncodeLength(uint32_t value, unsigned char out[4], int& size);

// Reads a prefix from in (avail bytes there). 0 with size and value; 14 for a zero or
// malformed lead byte or a bad continuation byte; 7 when the prefix runs past avail.
// Longer-than-needed forms are accepted.
int DecodeLength(const unsigned char* in, size_t avail, uint32_t& value, int& size);

// The first four bytes of a frame: prefix size and length value, or 14.
int ParseFramePrefix(const unsigned char head[4], int& prefixSize, uint32_t& length);
// Header checks once prefix, flags and command are in: 12 for a flags pattern other than
// 00001 in bits 0-4; 11 for a length below the header's 3 bytes or a frame past 2 MB.
int CheckFrameHeader(int prefixSize, uint32_t length, uint8_t flags);

// Forces the fixed flag bits.
inline uint8_t FixFlags(uint8_t flags) { return static_cast<uint8_t>((flags & 0xE1) | 0x01); }

// Builds one frame in a buffer of kFrameBufferSize bytes: the payload is appended at
// kHeaderRoom, and Finish writes flags, command and the length prefix in front of it.
class FrameWriter {
public:
    explicit FrameWriter(unsigned char* buffer) : m_buffer(buffer) {}

    unsigned char* Payload() { return m_buffer + kHeaderRoom; }
    size_t PayloadSize() const { return m_size; }
    bool Fits(size_t more) const { return m_size + more <= kMaxPayload; }
    // The caller checks Fits first; a part that does not fit is refused with false.
    bool Append(const void* data, size_t size);
    void AppendByte(unsigned char byte);
    // The payload was placed by hand (file data read straight into Payload()).
    void SetPayloadSize(size_t size) { m_size = size; }
    void Clear() { m_size = 0; }

    // 0 with the frame's first byte and its whole size, or 13.
    int Finish(uint8_t flags, uint16_t command, size_t& frameStart, size_t& frameSize, int& prefixSize);

private:
    unsigned char* m_buffer;
    size_t m_size = 0;
};

}

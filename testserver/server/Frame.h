// One wire frame: [length prefix][flags][command][payload], reading and building.
#pragma once
#include "Socket.h"
#include "WireTypes.h"

namespace tovisrv {

enum class FrameStatus {
    Ok,
    Closed,      // the stream ended (or failed) before a whole frame was in
    BadPrefix,   // zero or malformed lead byte, bad continuation byte
    BadFlags,    // bits 0-4 are not 00001
    BadLength,   // length value below 3, or prefix + length beyond the 2 MB frame
};

struct Frame {
    uint8_t flags = kFlagBase;
    std::string command;
    std::string payload;
    int prefixSize = 0;
};

class CFrame {
public:
    // The shortest prefix for payload + 3. Empty when the payload is too long to code.
    static std::string Build(uint8_t flags, const std::string& command, const std::string& payload);
    // The same frame with the header laid down by the caller (fault injection).
    static std::string BuildRaw(const std::string& prefix, uint8_t flags, const std::string& command,
                                const std::string& payload);

    // Reads like the client does: 4 bytes, then the rest of the prefix, then the payload.
    static FrameStatus Read(CSocket& socket, Frame& frame);
    static const char* StatusName(FrameStatus status);
};

}

// One wire frame: [length prefix][flags][command][payload], reading and building.
#include "Frame.h"
#include "LengthPrefix.h"
#include <algorithm>

namespace tovisrv {

std::string CFrame::Build(uint8_t flags, const std::string& command, const std::string& payload)
{
    if (payload.size() > kMaxPayload)
        return std::string();
    const std::string prefix = CLengthPrefix::Encode(static_cast<uint32_t>(payload.size() + 3));
    return BuildRaw(prefix, flags, command, payload);
}

std::string CFrame::BuildRaw(const std::string& prefix, uint8_t flags, const std::string& command,
                             const std::string& payload)
{
    std::string out = prefix;
    out += static_cast<char>(flags);
    out += command.substr(0, 2);
    out.append(2 - std::min<size_t>(command.size(), 2), ' ');
    out += payload;
    return out;
}

FrameStatus CFrame::Read(CSocket& socket, Frame& frame)
{
    uint8_t header[7];
    if (!socket.ReadExact(header, 4))
        return FrameStatus::Closed;
    if (header[0] == 0)
        return FrameStatus::BadPrefix;
    // The prefix size is known from the lead byte; its continuation bytes may not be in yet.
    int size = (header[0] & 0x80) == 0 ? 1 : (header[0] & 0xE0) == 0xC0 ? 2
             : (header[0] & 0xF0) == 0xE0 ? 3 : (header[0] & 0xF8) == 0xF0 ? 4 : 0;
    if (size == 0)
        return FrameStatus::BadPrefix;
    if (size > 1 && !socket.ReadExact(header + 4, static_cast<size_t>(size - 1)))
        return FrameStatus::Closed;
    const PrefixResult prefix = CLengthPrefix::Decode(header, static_cast<size_t>(size));
    if (prefix.status != PrefixStatus::Ok)
        return FrameStatus::BadPrefix;
    frame.prefixSize = size;
    frame.flags = header[size];
    frame.command.assign(reinterpret_cast<const char*>(header + size + 1), 2);
    if ((frame.flags & 0x1F) != kFlagBase)
        return FrameStatus::BadFlags;
    if (prefix.value < 3 || size + prefix.value > kFrameBufferSize)
        return FrameStatus::BadLength;
    frame.payload.assign(prefix.value - 3, '\0');
    if (!frame.payload.empty() && !socket.ReadExact(&frame.payload[0], frame.payload.size()))
        return FrameStatus::Closed;
    return FrameStatus::Ok;
}

const char* CFrame::StatusName(FrameStatus status)
{
    switch (status) {
    case FrameStatus::Ok: return "ok";
    case FrameStatus::Closed: return "closed";
    case FrameStatus::BadPrefix: return "malformed length prefix";
    case FrameStatus::BadFlags: return "bad flags";
    case FrameStatus::BadLength: return "bad frame length";
    }
    return "?";
}

}

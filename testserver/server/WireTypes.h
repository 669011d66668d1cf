// Frame and record constants and the in-memory message that the server's codec and handlers share.
#pragma once
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace tovisrv {

constexpr size_t kFrameBufferSize = 0x200000;
// The client builds frames behind a 7-byte header area, so a payload never exceeds this.
constexpr size_t kMaxPayload = kFrameBufferSize - 7;
constexpr size_t kFilePieceSize = 65000;

constexpr uint8_t kFlagBase = 0x01;
constexpr uint8_t kFlagMore = 0x20;
constexpr uint8_t kFlagEncrypted = 0x80;
constexpr uint8_t kRecordSeparator = 0xFE;

// Field id -> value bytes; iterated in ascending id order, which is the wire order.
using Record = std::map<uint8_t, std::string>;

struct Message {
    std::string command;   // two ASCII letters, "A0"
    uint8_t flags = kFlagBase;
    std::vector<Record> records;
};

}

// Records in a payload: encoding in ascending id order, cutting into fragments, decoding.
#pragma once
#include "WireTypes.h"
#include <stdexcept>

namespace tovisrv {

enum class DecodeStatus { Ok, Short, BadPrefix };

// Thrown when a reply would break the client's parse: a fixed field of the wrong length,
// an uncodable value length, or a record too large for one frame.
class CodecError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class CRecordCodec {
public:
    // Value length implied by the id, or -1 for ids carrying a length prefix. 254 is no id.
    static int FixedLength(uint8_t id);

    // Empty values are left out. `strict` refuses a fixed field of another length; fault
    // injection turns it off to send exactly such a field.
    static std::string EncodeRecord(const Record& record, bool strict = true);

    // The payload of a whole message: records joined with 0xFE, none after the last.
    static std::string EncodePayload(const std::vector<Record>& records, bool strict = true);

    // Cuts a message into frame payloads of at most maxPayload bytes, only between records;
    // a record's separator stays in the fragment that holds the record. maxRecords > 0 also
    // limits the records per fragment. Joined, the payloads equal EncodePayload.
    static std::vector<std::string> EncodeFragments(const std::vector<Record>& records,
                                                    size_t maxPayload = kMaxPayload,
                                                    size_t maxRecords = 0, bool strict = true);

    // Mirrors the client: a record ends at 0xFE or at the end; "FE" alone is one empty
    // record; a trailing FE adds none; a later duplicate id wins. On failure out is emptied.
    static DecodeStatus Decode(const std::string& payload, std::vector<Record>& out);
};

}

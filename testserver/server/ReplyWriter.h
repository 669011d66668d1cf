// Turns a reply into the bytes that go on the wire, with the faults of its exchange applied.
#pragma once
#include "Fault.h"
#include "SessionCipher.h"
#include "WireTypes.h"

namespace tovisrv {

struct OutgoingFrames {
    std::vector<std::string> frames;
    // >= 0: only this many bytes of the first frame go out, then the connection closes.
    long closeAfter = -1;
};

class CReplyWriter {
public:
    // Records into frames: fragments cut between records, 0x80 and the cipher when `encrypt`,
    // FLAG_MORE on all but the last. Throws CodecError for a reply the client cannot parse
    // and std::runtime_error when the cipher fails.
    static OutgoingFrames Message(const std::string& command, std::vector<Record> records,
                                  bool encrypt, const CSessionCipher& cipher, const FaultPlan& plan);

    // One frame of file data, enciphered in 65,000-byte pieces when `encrypt`.
    static std::string DataFrame(const std::string& command, std::string data, bool last,
                                 bool encrypt, const CSessionCipher& cipher);
    // The same without copying the data: enciphers `data` in place and returns the header
    // (prefix, flags, command) that goes in front of it.
    static std::string DataFrameHeader(const std::string& command, std::string& data, bool last,
                                       bool encrypt, const CSessionCipher& cipher);

    // The command a mismatch fault puts on the last frame when it names none.
    static std::string OtherCommand(const std::string& command);
};

}

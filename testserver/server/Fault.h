// An injected fault as the control channel describes it, and what one exchange does about it.
#pragma once
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tovisrv {

// One control-channel fault: FAULT <kind> [key=value ...] [count=N|*] [skip=N] [cmd=XX] [-- text]
struct Fault {
    std::string kind;
    std::string command;   // only exchanges whose request has this command; empty = any
    int remaining = 1;     // exchanges left; -1 = until reset
    int skip = 0;          // exchanges that pass untouched before the fault applies (a later page)
    std::map<std::string, std::string> params;
    std::string text;

    // Validates the kind and its keys; `words` start with the kind.
    static bool Parse(const std::vector<std::string>& words, const std::string& text, Fault& out,
                      std::string& error);
    // Decimal or 0x-hex; the fallback when absent or not a number.
    long Number(const std::string& key, long fallback) const;
    std::string Param(const std::string& key, const std::string& fallback = std::string()) const;
    std::string Describe() const;
    // One line per kind with its keys, for the HELP reply.
    static std::string KindList();
};

struct ErrorReply {
    std::string command;   // E0, E1 or E2
    std::string code;      // decimal text
    std::string message;
};

// The faults that apply to one exchange, folded into the decisions the connection takes.
struct FaultPlan {
    bool silent = false;              // read the request, never answer
    bool close = false;               // close the connection instead of answering
    long delayMs = 0;                 // wait before answering
    std::optional<ErrorReply> error;  // answer with E0/E1/E2 instead of the command's reply

    size_t fragmentRecords = 0;       // > 0: at most this many records per frame
    std::optional<std::string> mismatchCommand;  // the last frame carries this command
    long truncateBytes = 0;           // cut from the end of the last payload
    std::optional<std::pair<int, int>> wrongFixed;  // field id (-1 = first fixed one), length delta
    std::optional<std::string> payload;  // the whole payload, before enciphering
    std::optional<uint8_t> flags;     // flags byte of every frame, as given
    std::optional<std::string> prefix;   // length prefix bytes of the first frame
    long closeMidFrame = -1;          // >= 0: bytes of the first frame to send before closing (0 = half)

    std::optional<std::string> rekeyKey;  // re-key a stream after its header with this phrase
    long cutStream = -1;              // >= 0: close after this many file-data bytes
    long shortStream = -1;            // >= 0: a stream ends cleanly after this many bytes
    long longStream = 0;              // > 0: a stream carries this many bytes beyond the file
    long slowStreamMs = 0;            // > 0: a stream waits this long before each data frame
    long stopStreamFrames = -1;       // >= 0: after this many data frames a stream ends with an
    std::string stopStreamReply;      //   error frame of this command and no message

    // One data frame of a stream lost, repeated or out of its place, as a broken path would
    // deliver it; a frame index below 0 counts from the end (-1 is the last).
    std::optional<long> dropFrame;
    std::optional<long> repeatFrame;
    std::optional<long> swapFrame;    // this frame goes out after the next one
    bool openEnd = false;             // the last data frame keeps FLAG_MORE

    bool duplicate = false;           // the reply goes out twice:
    bool duplicateLate = false;       //   the copy just before the next reply on the connection
    std::optional<std::string> replyAs;  // every frame of the reply carries this command
    long trickleMs = 0;               // > 0: the reply is written trickleBytes at a time, this far apart
    long trickleBytes = 1;
    bool noLastPage = false;          // every reply repeats the first one, never "N"
    long endlessBytes = -1;           // >= 0: fragments of this payload (0 = the most a frame holds)
    long endlessLimitMb = 1024;       //   in place of the reply, until the client stops or this went out

    static FaultPlan From(const std::vector<Fault>& faults);
    bool IsEmpty() const;
};

// "0a1B" -> bytes; false on odd length or a non-hex digit.
bool DecodeHex(const std::string& hex, std::string& out);
std::string EncodeHex(const std::string& bytes);

}

// An injected fault as the control channel describes it, and what one exchange does about it.
#include "Fault.h"
#include "LengthPrefix.h"
#include <algorithm>
#include <cstdlib>
#include <set>

namespace tovisrv {

namespace {

struct KindInfo {
    const char* kind;
    std::set<std::string> keys;
    const char* help;
};

const std::vector<KindInfo>& Kinds()
{
    static const std::vector<KindInfo> kinds = {
        {"silent", {}, "read the request and never answer"},
        {"close", {}, "close the connection instead of answering"},
        {"close-mid-frame", {"bytes"}, "send the first bytes of the reply frame (default half), then close"},
        {"prefix", {"hex"}, "first frame's length prefix replaced by these bytes (default 80)"},
        {"flags", {"value"}, "flags byte of every reply frame (hex, e.g. 80, 83)"},
        {"length", {"value", "size"}, "first frame's length value as given, coded in `size` bytes"},
        {"truncate", {"bytes"}, "cut bytes from the end of the reply payload (default 1)"},
        {"wrong-fixed", {"id", "delta"}, "a fixed-size field sent with its length changed by delta"},
        {"payload", {"hex"}, "reply payload replaced by these bytes (enciphered as usual)"},
        {"delay", {"ms"}, "answer after ms milliseconds"},
        {"error", {"reply", "code"}, "answer with E0/E1/E2 {240: code, 255: text after --}"},
        {"fragment", {"records"}, "reply cut into frames of at most `records` records (default 1)"},
        {"mismatch", {"command"}, "last frame of the reply (or of a stream's data) carries another command"},
        {"rekey", {"key"}, "re-key the next file stream after its header with this 32-byte phrase"},
        {"cut-stream", {"bytes"}, "close after this many bytes of file data (cmd=H3: of an upload)"},
        {"short-stream", {"bytes"}, "a stream ends with its last frame after this many bytes of file data"},
        {"slow-stream", {"ms"}, "a stream waits ms (default 100) before each data frame"},
        {"long-stream", {"bytes"}, "a stream carries this many bytes (default 1000) beyond the file's end"},
        {"stop-stream", {"frames", "reply"},
         "after this many data frames (default 0) a stream ends with an E0 (or reply=) frame without a message"},
        {"drop-frame", {"frame"}, "a stream leaves out data frame `frame` (default 1; -1 is the last)"},
        {"repeat-frame", {"frame"}, "a stream sends data frame `frame` (default 1; -1 is the last) twice"},
        {"swap-frames", {"frame"},
         "a stream sends data frame `frame` after the one that follows it (default -2: the last comes early)"},
        {"open-end", {}, "a stream's last data frame keeps FLAG_MORE"},
        {"duplicate", {"late"}, "the reply goes out twice: at once, or with late=1 just before the next reply"},
        {"reply-as", {"command"}, "every frame of the reply carries this command"},
        {"trickle", {"ms", "bytes"}, "the reply is written `bytes` (default 1) at a time, ms (default 200) apart"},
        {"no-last-page", {},
         "every reply repeats the connection's first one of this fault, its 44 \"N\" made \"Y\": a paged list "
         "or a continuation that never ends"},
        {"endless-fragments", {"bytes", "limit"},
         "in place of the reply, frames with FLAG_MORE of `bytes` payload (default the most a frame holds) "
         "until the client stops reading or `limit` MB (default 1024) went out"},
    };
    return kinds;
}

const KindInfo* FindKind(const std::string& kind)
{
    for (const auto& k : Kinds())
        if (kind == k.kind)
            return &k;
    return nullptr;
}

bool ParseNumber(const std::string& text, long& out, int base = 0)
{
    if (text.empty())
        return false;
    char* end = nullptr;
    out = std::strtol(text.c_str(), &end, base);
    return end && *end == '\0';
}

// The flags byte is written in hex, as frames are read.
long FlagsValue(const Fault& f)
{
    long n = -1;
    return ParseNumber(f.Param("value"), n, 16) && n >= 0 && n <= 255 ? n : -1;
}

}

bool Fault::Parse(const std::vector<std::string>& words, const std::string& text, Fault& out,
                  std::string& error)
{
    if (words.empty()) {
        error = "missing fault kind";
        return false;
    }
    const KindInfo* info = FindKind(words[0]);
    if (!info) {
        error = "unknown fault kind " + words[0];
        return false;
    }
    Fault f;
    f.kind = words[0];
    f.text = text;
    for (size_t i = 1; i < words.size(); ++i) {
        const size_t eq = words[i].find('=');
        if (eq == std::string::npos || eq == 0) {
            error = "expected key=value, got " + words[i];
            return false;
        }
        const std::string key = words[i].substr(0, eq), value = words[i].substr(eq + 1);
        if (key == "count") {
            long n = 0;
            if (value == "*") {
                f.remaining = -1;
            } else if (ParseNumber(value, n) && n > 0) {
                f.remaining = static_cast<int>(n);
            } else {
                error = "count must be a positive number or *";
                return false;
            }
        } else if (key == "skip") {
            long n = 0;
            if (!ParseNumber(value, n) || n < 0) {
                error = "skip must be a number";
                return false;
            }
            f.skip = static_cast<int>(n);
        } else if (key == "cmd") {
            if (value.size() != 2) {
                error = "cmd must be two letters";
                return false;
            }
            f.command = value;
        } else if (info->keys.count(key)) {
            f.params[key] = value;
        } else {
            error = "fault " + f.kind + " takes no key " + key;
            return false;
        }
    }
    std::string bytes;
    if ((f.kind == "prefix" || f.kind == "payload") && !DecodeHex(f.Param("hex"), bytes)) {
        error = "hex must be pairs of hex digits";
        return false;
    }
    if (f.kind == "flags" && FlagsValue(f) < 0) {
        error = "flags needs value=<hex byte>";
        return false;
    }
    if (f.kind == "length") {
        const long value = f.Number("value", -1), size = f.Number("size", 0);
        const bool codable = value >= 0 &&
            !(size > 0 ? CLengthPrefix::EncodeWithSize(static_cast<uint32_t>(value), static_cast<int>(size))
                       : CLengthPrefix::Encode(static_cast<uint32_t>(value))).empty();
        if (!codable) {
            error = "length needs value=<number> codable in size=1..4 bytes";
            return false;
        }
    }
    if (f.kind == "error" || f.kind == "stop-stream") {
        const std::string reply = f.Param("reply", "E0");
        if (reply != "E0" && reply != "E1" && reply != "E2") {
            error = "reply must be E0, E1 or E2";
            return false;
        }
    }
    if (f.kind == "reply-as" && f.Param("command").size() != 2) {
        error = "reply-as needs command=<two letters>";
        return false;
    }
    if (f.kind == "rekey" && f.Param("key").size() != 32) {
        error = "rekey needs key=<32 characters>";
        return false;
    }
    for (const auto& [key, value] : f.params) {
        long n = 0;
        const bool textual = key == "hex" || key == "reply" || key == "command" || key == "key" ||
                             key == "code" || (f.kind == "flags" && key == "value");
        if (!textual && !ParseNumber(value, n)) {
            error = key + " must be a number";
            return false;
        }
    }
    out = f;
    return true;
}

long Fault::Number(const std::string& key, long fallback) const
{
    long n = 0;
    const auto it = params.find(key);
    return it != params.end() && ParseNumber(it->second, n) ? n : fallback;
}

std::string Fault::Param(const std::string& key, const std::string& fallback) const
{
    const auto it = params.find(key);
    return it != params.end() ? it->second : fallback;
}

std::string Fault::Describe() const
{
    std::string out = kind;
    for (const auto& [key, value] : params)
        out += " " + key + "=" + value;
    if (!command.empty())
        out += " cmd=" + command;
    if (skip > 0)
        out += " skip=" + std::to_string(skip);
    out += " count=" + (remaining < 0 ? std::string("*") : std::to_string(remaining));
    if (!text.empty())
        out += " -- " + text;
    return out;
}

std::string Fault::KindList()
{
    std::string out;
    for (const auto& k : Kinds()) {
        out += k.kind;
        for (const auto& key : k.keys)
            out += " " + key + "=";
        out += std::string(": ") + k.help + "\n";
    }
    return out;
}

FaultPlan FaultPlan::From(const std::vector<Fault>& faults)
{
    FaultPlan plan;
    for (const Fault& f : faults) {
        const std::string& k = f.kind;
        if (k == "silent") {
            plan.silent = true;
        } else if (k == "close") {
            plan.close = true;
        } else if (k == "close-mid-frame") {
            plan.closeMidFrame = f.Number("bytes", 0);
        } else if (k == "prefix") {
            std::string bytes;
            DecodeHex(f.Param("hex", "80"), bytes);
            plan.prefix = bytes;
        } else if (k == "flags") {
            plan.flags = static_cast<uint8_t>(FlagsValue(f));
        } else if (k == "length") {
            const auto value = static_cast<uint32_t>(f.Number("value", 0));
            const long size = f.Number("size", 0);
            plan.prefix = size > 0 ? CLengthPrefix::EncodeWithSize(value, static_cast<int>(size))
                                   : CLengthPrefix::Encode(value);
        } else if (k == "truncate") {
            plan.truncateBytes = f.Number("bytes", 1);
        } else if (k == "wrong-fixed") {
            plan.wrongFixed = std::make_pair(static_cast<int>(f.Number("id", -1)),
                                             static_cast<int>(f.Number("delta", 0)));
        } else if (k == "payload") {
            std::string bytes;
            DecodeHex(f.Param("hex"), bytes);
            plan.payload = bytes;
        } else if (k == "delay") {
            plan.delayMs += f.Number("ms", 1000);
        } else if (k == "error") {
            plan.error = ErrorReply{f.Param("reply", "E0"), f.Param("code", "1500"),
                                    f.text.empty() ? std::string("Injected error.") : f.text};
        } else if (k == "fragment") {
            plan.fragmentRecords = static_cast<size_t>(std::max(1L, f.Number("records", 1)));
        } else if (k == "mismatch") {
            plan.mismatchCommand = f.Param("command");
        } else if (k == "rekey") {
            plan.rekeyKey = f.Param("key");
        } else if (k == "cut-stream") {
            plan.cutStream = f.Number("bytes", 0);
        } else if (k == "short-stream") {
            plan.shortStream = std::max(0L, f.Number("bytes", 0));
        } else if (k == "slow-stream") {
            plan.slowStreamMs = std::max(1L, f.Number("ms", 100));
        } else if (k == "long-stream") {
            plan.longStream = std::max(1L, f.Number("bytes", 1000));
        } else if (k == "stop-stream") {
            plan.stopStreamFrames = std::max(0L, f.Number("frames", 0));
            plan.stopStreamReply = f.Param("reply", "E0");
        } else if (k == "drop-frame") {
            plan.dropFrame = f.Number("frame", 1);
        } else if (k == "repeat-frame") {
            plan.repeatFrame = f.Number("frame", 1);
        } else if (k == "swap-frames") {
            plan.swapFrame = f.Number("frame", -2);
        } else if (k == "open-end") {
            plan.openEnd = true;
        } else if (k == "duplicate") {
            plan.duplicate = true;
            plan.duplicateLate = f.Number("late", 0) != 0;
        } else if (k == "reply-as") {
            plan.replyAs = f.Param("command");
        } else if (k == "trickle") {
            plan.trickleMs = std::max(1L, f.Number("ms", 200));
            plan.trickleBytes = std::max(1L, f.Number("bytes", 1));
        } else if (k == "no-last-page") {
            plan.noLastPage = true;
        } else if (k == "endless-fragments") {
            plan.endlessBytes = std::max(0L, f.Number("bytes", 0));
            plan.endlessLimitMb = std::max(1L, f.Number("limit", 1024));
        }
    }
    return plan;
}

bool FaultPlan::IsEmpty() const
{
    return !silent && !close && delayMs == 0 && !error && fragmentRecords == 0 && !mismatchCommand &&
           truncateBytes == 0 && !wrongFixed && !payload && !flags && !prefix && closeMidFrame < 0 &&
           !rekeyKey && cutStream < 0 && shortStream < 0 && longStream == 0 && slowStreamMs == 0 && stopStreamFrames < 0 &&
           !dropFrame && !repeatFrame && !swapFrame && !openEnd && !duplicate && !replyAs && trickleMs == 0 &&
           endlessBytes < 0 && !noLastPage;
}

bool DecodeHex(const std::string& hex, std::string& out)
{
    auto digit = [](char c) {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        return -1;
    };
    if (hex.size() % 2 != 0)
        return false;
    std::string bytes;
    for (size_t i = 0; i < hex.size(); i += 2) {
        const int hi = digit(hex[i]), lo = digit(hex[i + 1]);
        if (hi < 0 || lo < 0)
            return false;
        bytes += static_cast<char>(hi * 16 + lo);
    }
    out = bytes;
    return true;
}

std::string EncodeHex(const std::string& bytes)
{
    static const char kDigits[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : bytes) {
        out += kDigits[c >> 4];
        out += kDigits[c & 15];
    }
    return out;
}

}

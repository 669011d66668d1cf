// One request and its answer, as a command handler sees them.
#pragma once
#include "Connection.h"
#include "Fault.h"
#include "WireTypes.h"
#include <functional>

namespace tovisrv {

// Handlers answer exactly once: Reply/ReplyAs/ReplyError, or Stream for file data. The
// first message sent carries the exchange's injected faults; a stream's data frames only
// the stream faults (rekey, cut-stream, mismatch).
class CExchange {
public:
    // Fills `out` with `length` bytes of file data starting at `offset`; false stops the stream.
    using DataSource = std::function<bool(uint64_t offset, size_t length, std::string& out)>;

    CExchange(CConnection& connection, const Message& request, const FaultPlan& plan);

    const Message& Request() const { return m_request; }
    const std::string& Command() const { return m_request.command; }
    // The value of the first record that carries the field; empty when none does.
    std::string Field(uint8_t id) const;
    bool Has(uint8_t id) const;
    CConnection& Connection() { return m_connection; }
    CServerState& State() { return m_connection.State(); }
    const FaultPlan& Plan() const { return m_plan; }

    // The request's own command, enciphered once the connection has a cipher.
    void Reply(std::vector<Record> records = {});
    void ReplyAs(const std::string& command, std::vector<Record> records);
    // Always in the clear: the A0 reply sets the cipher up.
    void ReplyClear(std::vector<Record> records);
    // E0/E1/E2 {240: code, 255: message}. The message must not be empty: the client counts
    // an empty one as success.
    void ReplyError(const std::string& command, const std::string& code, const std::string& message);

    // An H4 header message, then `length` bytes from `source` in frames of framePayload bytes
    // (FLAG_MORE on all but the last; one empty frame when length is 0). A pending download
    // key (or a rekey fault) re-keys the connection right after the header, for good.
    void Stream(std::vector<Record> header, uint64_t length, const DataSource& source,
                size_t framePayload = 2 * kFilePieceSize);

    // For requests that are answered by nothing at all.
    void NoReply() { m_answered = true; }
    bool Answered() const { return m_answered; }

private:
    bool SendMessage(const std::string& command, std::vector<Record> records, bool encrypt,
                     const FaultPlan& plan);
    // The faults that change how a reply's bytes go out rather than what they are.
    bool SendTrickled(const OutgoingFrames& out, const FaultPlan& plan);
    bool SendEndless(const FaultPlan& plan);
    bool SendStopFrame(const std::string& command, bool encrypt);

    CConnection& m_connection;
    const Message& m_request;
    const FaultPlan& m_plan;
    bool m_answered = false;
};

}

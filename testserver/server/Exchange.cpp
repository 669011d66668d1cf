// One request and its answer, as a command handler sees them.
#include "Exchange.h"
#include "Frame.h"
#include "LengthPrefix.h"
#include "ReplyWriter.h"
#include <algorithm>
#include <map>

namespace tovisrv {

namespace {

// A reply held back by a late duplicate fault, to go out in front of the connection's next reply.
struct LateCopy {
    OutgoingFrames frames;
};

// The reply a no-last-page fault keeps repeating on the connection, per request command.
struct RepeatedReplies {
    std::map<std::string, std::vector<Record>> byCommand;
};

// The first reply under the fault, with every "N" of field 44 made "Y"; later ones repeat it.
void RepeatWithoutLastPage(CConnection& connection, const std::string& command, bool faulted,
                           std::vector<Record>& records)
{
    auto& kept = connection.Slot<RepeatedReplies>().byCommand;
    if (!faulted) {
        kept.erase(command);
        return;
    }
    const auto it = kept.find(command);
    if (it != kept.end()) {
        records = it->second;
        return;
    }
    for (Record& record : records) {
        const auto flag = record.find(44);
        if (flag != record.end() && flag->second == "N")
            flag->second = "Y";
    }
    kept[command] = records;
    connection.Log("request " + command + ": the reply will repeat and never say N (fault)");
}

}

CExchange::CExchange(CConnection& connection, const Message& request, const FaultPlan& plan)
    : m_connection(connection), m_request(request), m_plan(plan)
{
}

std::string CExchange::Field(uint8_t id) const
{
    for (const Record& record : m_request.records) {
        const auto it = record.find(id);
        if (it != record.end())
            return it->second;
    }
    return std::string();
}

bool CExchange::Has(uint8_t id) const
{
    for (const Record& record : m_request.records)
        if (record.count(id))
            return true;
    return false;
}

bool CExchange::SendMessage(const std::string& command, std::vector<Record> records, bool encrypt,
                            const FaultPlan& plan)
{
    // Only the first message of an exchange carries its faults.
    static const FaultPlan kNone;
    const FaultPlan& applied = m_answered ? kNone : plan;
    m_answered = true;
    OutgoingFrames late;
    std::swap(late, m_connection.Slot<LateCopy>().frames);
    if (!late.frames.empty() && !m_connection.Send(late))
        return false;
    if (applied.endlessBytes >= 0)
        return SendEndless(applied);
    if (command == m_request.command)
        RepeatWithoutLastPage(m_connection, m_request.command, applied.noLastPage, records);
    const OutgoingFrames out = CReplyWriter::Message(applied.replyAs ? *applied.replyAs : command, std::move(records),
                                                     encrypt, m_connection.Cipher(), applied);
    if (!(applied.trickleMs > 0 ? SendTrickled(out, applied) : m_connection.Send(out)))
        return false;
    if (!applied.duplicate)
        return true;
    m_connection.Log("request " + m_request.command + ": reply sent twice" +
                     (applied.duplicateLate ? ", the copy before the next reply (fault)" : " (fault)"));
    if (applied.duplicateLate) {
        m_connection.Slot<LateCopy>().frames = out;
        return true;
    }
    return m_connection.Send(out);
}

bool CExchange::SendTrickled(const OutgoingFrames& out, const FaultPlan& plan)
{
    std::string bytes;
    for (const std::string& frame : out.frames)
        bytes += frame;
    const size_t step = static_cast<size_t>(plan.trickleBytes);
    m_connection.Log("request " + m_request.command + ": " + std::to_string(bytes.size()) + " reply bytes trickle out (fault)");
    for (size_t at = 0; at < bytes.size(); at += step) {
        OutgoingFrames piece;
        piece.frames.push_back(bytes.substr(at, step));
        if (!m_connection.Send(piece))
            return false;
        if (at + step < bytes.size() && State().WaitStop(plan.trickleMs))
            return false;
    }
    return true;
}

bool CExchange::SendEndless(const FaultPlan& plan)
{
    const size_t size = plan.endlessBytes > 0 ? std::min(static_cast<size_t>(plan.endlessBytes), kMaxPayload)
                                              : kMaxPayload;
    // In the clear, so that neither side spends its time on the cipher.
    OutgoingFrames out;
    out.frames.push_back(CFrame::BuildRaw(CLengthPrefix::Encode(static_cast<uint32_t>(size + 3)),
                                          kFlagBase | kFlagMore, m_request.command, std::string(size, '\x15')));
    const uint64_t limit = static_cast<uint64_t>(plan.endlessLimitMb) << 20;
    uint64_t sent = 0;
    while (sent < limit && !State().StopRequested() && m_connection.Send(out))
        sent += size;
    m_connection.Log("request " + m_request.command + ": " + std::to_string(sent) +
                     " bytes of fragments went out before the client stopped reading (fault)");
    return false;
}

bool CExchange::SendStopFrame(const std::string& command, bool encrypt)
{
    // An error reply that says nothing, where file data should go on.
    static const FaultPlan kNone;
    m_connection.Log("request " + m_request.command + ": the stream ends with a bare " + command + " (fault)");
    return m_connection.Send(CReplyWriter::Message(command, {{{240, "1500"}}}, encrypt, m_connection.Cipher(), kNone));
}

void CExchange::Reply(std::vector<Record> records)
{
    ReplyAs(m_request.command, std::move(records));
}

void CExchange::ReplyAs(const std::string& command, std::vector<Record> records)
{
    SendMessage(command, std::move(records), m_connection.Cipher().IsKeyed(), m_plan);
}

void CExchange::ReplyClear(std::vector<Record> records)
{
    SendMessage(m_request.command, std::move(records), false, m_plan);
}

void CExchange::ReplyError(const std::string& command, const std::string& code, const std::string& message)
{
    Record record;
    record[240] = code;
    record[255] = message.empty() ? std::string("Error.") : message;
    m_connection.Log("request " + m_request.command + ": " + command + " " + code + " " + record[255]);
    SendMessage(command, {record}, m_connection.Cipher().IsKeyed(), m_plan);
}

void CExchange::Stream(std::vector<Record> header, uint64_t length, const DataSource& source,
                       size_t framePayload)
{
    static const std::string kCommand = "H4";
    FaultPlan headerPlan = m_plan;
    headerPlan.mismatchCommand.reset();
    headerPlan.fragmentRecords = 0;   // the header never carries FLAG_MORE
    const bool firstMessage = !m_answered;
    const bool encrypt = m_connection.Cipher().IsKeyed();
    // The header announces the bytes that follow, so that the client can tell a whole stream
    // from one that lost or gained a frame on the way (the stream faults below keep the
    // announcement of the file).
    if (header.empty())
        header.emplace_back();
    header.front()[192] = std::to_string(length);
    if (!SendMessage(kCommand, std::move(header), encrypt, headerPlan))
        return;

    std::string key = m_connection.TakePendingKey();
    if (firstMessage && m_plan.rekeyKey)
        key = *m_plan.rekeyKey;
    if (!key.empty() && encrypt) {
        if (!m_connection.Cipher().Rekey(key)) {
            m_connection.Log("download re-key failed; the stream stops");
            m_connection.Close();
            return;
        }
        m_connection.Log("re-keyed with a download key");
    }

    framePayload = std::max<size_t>(1, std::min(framePayload, kMaxPayload));
    if (firstMessage && m_plan.shortStream >= 0)
        length = std::min<uint64_t>(length, static_cast<uint64_t>(m_plan.shortStream));
    DataSource feed = source;
    if (firstMessage && m_plan.longStream > 0) {
        const uint64_t real = length;
        length += static_cast<uint64_t>(m_plan.longStream);
        feed = [source, real](uint64_t at, size_t size, std::string& out) {
            const size_t inside = at < real ? static_cast<size_t>(std::min<uint64_t>(size, real - at)) : 0;
            if (inside > 0 && !source(at, inside, out))
                return false;
            out.resize(inside);
            out.append(size - inside, '\xEE');
            return true;
        };
    }
    struct DataFrame {
        uint64_t offset;
        size_t size;
        bool last;
    };
    std::vector<DataFrame> frames;
    for (uint64_t at = 0; at < length; at += framePayload)
        frames.push_back({at, static_cast<size_t>(std::min<uint64_t>(framePayload, length - at)), false});
    if (frames.empty())
        frames.push_back({0, 0, false});
    const bool mismatch = firstMessage && m_plan.mismatchCommand;
    if (mismatch && frames.size() == 1) {
        // Data frames must agree on their command; that needs a second frame to break.
        const size_t half = frames[0].size / 2;
        frames = {{0, half, false}, {half, frames[0].size - half, false}};
    }
    frames.back().last = true;
    if (firstMessage) {
        // The faults of a broken path: each frame keeps its own flags wherever it goes.
        const long count = static_cast<long>(frames.size());
        auto index = [count](long frame) { return frame < 0 ? count + frame : frame; };
        if (m_plan.openEnd)
            frames.back().last = false;
        if (m_plan.repeatFrame) {
            const long at = index(*m_plan.repeatFrame);
            if (at >= 0 && at < count)
                frames.insert(frames.begin() + at + 1, frames[static_cast<size_t>(at)]);
        }
        if (m_plan.swapFrame) {
            const long at = index(*m_plan.swapFrame);
            if (at >= 0 && at + 1 < count)
                std::swap(frames[static_cast<size_t>(at)], frames[static_cast<size_t>(at) + 1]);
        }
        if (m_plan.dropFrame) {
            const long at = index(*m_plan.dropFrame);
            if (at >= 0 && at < count)
                frames.erase(frames.begin() + at);
        }
        if (count != static_cast<long>(frames.size()) || m_plan.swapFrame || m_plan.openEnd)
            m_connection.Log("request " + m_request.command + ": the data frames go out out of order (fault)");
    }
    const long cut = firstMessage ? m_plan.cutStream : -1;
    const long stopAt = firstMessage ? m_plan.stopStreamFrames : -1;
    uint64_t sent = 0;
    std::string data;   // one buffer for every frame: no allocation per frame
    for (size_t i = 0; i < frames.size(); ++i) {
        if (stopAt >= 0 && i == static_cast<size_t>(stopAt)) {
            SendStopFrame(m_plan.stopStreamReply, encrypt);
            return;
        }
        if (firstMessage && m_plan.slowStreamMs > 0 && State().WaitStop(m_plan.slowStreamMs))
            return;
        data.clear();
        if (frames[i].size > 0 && !feed(frames[i].offset, frames[i].size, data)) {
            m_connection.Log("file data could not be read; the stream stops");
            m_connection.Close();
            return;
        }
        const bool last = frames[i].last;
        std::string command = kCommand;
        if (mismatch && i + 1 == frames.size())
            command = m_plan.mismatchCommand->size() == 2 ? *m_plan.mismatchCommand
                                                          : CReplyWriter::OtherCommand(kCommand);
        const size_t dataSize = data.size();
        // The data is enciphered where it lies and goes out behind its header without a copy.
        const std::string header = CReplyWriter::DataFrameHeader(command, data, last, encrypt,
                                                                 m_connection.Cipher());
        if (cut >= 0 && sent + dataSize >= static_cast<uint64_t>(cut)) {
            m_connection.SendPartAndClose(header + data, header.size() + static_cast<size_t>(cut - sent));
            return;
        }
        if (!m_connection.SendFrame(header, data))
            return;
        sent += dataSize;
    }
}

}

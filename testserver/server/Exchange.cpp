// One request and its answer, as a command handler sees them.
#include "Exchange.h"
#include "ReplyWriter.h"
#include <algorithm>

namespace tovisrv {

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
    return m_connection.Send(CReplyWriter::Message(command, std::move(records), encrypt,
                                                   m_connection.Cipher(), applied));
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
    std::vector<std::pair<uint64_t, size_t>> frames;   // offset, size
    for (uint64_t at = 0; at < length; at += framePayload)
        frames.emplace_back(at, static_cast<size_t>(std::min<uint64_t>(framePayload, length - at)));
    if (frames.empty())
        frames.emplace_back(0, 0);
    const bool mismatch = firstMessage && m_plan.mismatchCommand;
    if (mismatch && frames.size() == 1) {
        // Data frames must agree on their command; that needs a second frame to break.
        const size_t half = frames[0].second / 2;
        frames = {{0, half}, {half, frames[0].second - half}};
    }
    const long cut = firstMessage ? m_plan.cutStream : -1;
    uint64_t sent = 0;
    std::string data;   // one buffer for every frame: no allocation per frame
    for (size_t i = 0; i < frames.size(); ++i) {
        data.clear();
        if (frames[i].second > 0 && !source(frames[i].first, frames[i].second, data)) {
            m_connection.Log("file data could not be read; the stream stops");
            m_connection.Close();
            return;
        }
        const bool last = i + 1 == frames.size();
        std::string command = kCommand;
        if (mismatch && last)
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

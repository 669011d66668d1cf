// Turns a reply into the bytes that go on the wire, with the faults of its exchange applied.
#include "ReplyWriter.h"
#include "Frame.h"
#include "LengthPrefix.h"
#include "RecordCodec.h"
#include <algorithm>

namespace tovisrv {

namespace {

// A fixed-size field sent with another length, so that the client's parse goes out of step.
void MisshapeFixedField(std::vector<Record>& records, int id, int delta)
{
    for (Record& record : records) {
        for (auto& [fieldId, value] : record) {
            if (value.empty() || CRecordCodec::FixedLength(fieldId) < 0 || (id >= 0 && fieldId != id))
                continue;
            int change = delta != 0 ? delta : (value.size() > 1 ? -1 : 1);
            if (change < 0)
                value.erase(value.size() - std::min<size_t>(value.size() - 1, static_cast<size_t>(-change)));
            else
                value.append(static_cast<size_t>(change), '0');
            return;
        }
    }
    // Nothing fixed in the reply: add a one-byte field with two bytes.
    if (records.empty())
        records.emplace_back();
    records.front()[static_cast<uint8_t>(id >= 21 && id <= 100 ? id : 21)] = "YY";
}

}

OutgoingFrames CReplyWriter::Message(const std::string& command, std::vector<Record> records,
                                     bool encrypt, const CSessionCipher& cipher, const FaultPlan& plan)
{
    if (plan.wrongFixed)
        MisshapeFixedField(records, plan.wrongFixed->first, plan.wrongFixed->second);
    std::vector<std::string> payloads = plan.payload
        ? std::vector<std::string>{*plan.payload}
        : CRecordCodec::EncodeFragments(records, kMaxPayload, plan.fragmentRecords, !plan.wrongFixed);
    if (plan.truncateBytes > 0) {
        std::string& last = payloads.back();
        const auto cut = static_cast<size_t>(plan.truncateBytes);
        // An empty message has nothing to cut: a lone field id is a record cut short too.
        last = last.size() > cut ? last.substr(0, last.size() - cut) : std::string("\x15");
    }
    std::vector<std::string> commands(payloads.size(), command);
    if (plan.mismatchCommand) {
        if (payloads.size() < 2)
            payloads.emplace_back(), commands.push_back(command);
        commands.back() = plan.mismatchCommand->size() == 2 ? *plan.mismatchCommand : OtherCommand(command);
    }

    OutgoingFrames out;
    for (size_t i = 0; i < payloads.size(); ++i) {
        std::string& payload = payloads[i];
        if (encrypt && !payload.empty() && !cipher.Encrypt(payload))
            throw std::runtime_error("enciphering a reply failed");
        uint8_t flags = kFlagBase | (encrypt ? kFlagEncrypted : 0) | (i + 1 < payloads.size() ? kFlagMore : 0);
        if (plan.flags)
            flags = *plan.flags;
        std::string prefix = CLengthPrefix::Encode(static_cast<uint32_t>(payload.size() + 3));
        if (prefix.empty())
            throw CodecError("reply payload too long for a frame");
        if (i == 0 && plan.prefix)
            prefix = *plan.prefix;
        out.frames.push_back(CFrame::BuildRaw(prefix, flags, commands[i], payload));
    }
    if (plan.closeMidFrame >= 0) {
        const long size = static_cast<long>(out.frames.front().size());
        out.closeAfter = plan.closeMidFrame == 0 ? size / 2 : std::min(plan.closeMidFrame, size - 1);
    }
    return out;
}

std::string CReplyWriter::DataFrame(const std::string& command, std::string data, bool last,
                                    bool encrypt, const CSessionCipher& cipher)
{
    const std::string header = DataFrameHeader(command, data, last, encrypt, cipher);
    return header.empty() ? header : header + data;
}

std::string CReplyWriter::DataFrameHeader(const std::string& command, std::string& data, bool last,
                                          bool encrypt, const CSessionCipher& cipher)
{
    if (data.size() > kMaxPayload)
        return std::string();
    if (encrypt && !data.empty() && !cipher.EncryptPieces(data))
        throw std::runtime_error("enciphering file data failed");
    const uint8_t flags = kFlagBase | (encrypt ? kFlagEncrypted : 0) | (last ? 0 : kFlagMore);
    return CFrame::BuildRaw(CLengthPrefix::Encode(static_cast<uint32_t>(data.size() + 3)), flags, command,
                            std::string());
}

std::string CReplyWriter::OtherCommand(const std::string& command)
{
    std::string other = command;
    other[1] = other[1] == '9' ? '0' : static_cast<char>(other[1] + 1);
    return other;
}

}

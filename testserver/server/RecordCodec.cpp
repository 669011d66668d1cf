// Records in a payload: encoding in ascending id order, cutting into fragments, decoding.
#include "RecordCodec.h"
#include "LengthPrefix.h"

namespace tovisrv {

int CRecordCodec::FixedLength(uint8_t id)
{
    if (id <= 2) return 2;
    if (id <= 4) return 3;
    if (id <= 6) return 4;
    if (id <= 8) return 20;
    if (id <= 10) return 32;
    if (id <= 20) return 10;
    if (id <= 100) return 1;
    return -1;
}

std::string CRecordCodec::EncodeRecord(const Record& record, bool strict)
{
    std::string out;
    for (const auto& [id, value] : record) {
        if (value.empty())
            continue;
        if (id == kRecordSeparator)
            throw CodecError("field id 254 is the record separator");
        const int fixed = FixedLength(id);
        out += static_cast<char>(id);
        if (fixed < 0) {
            if (value.size() >= CLengthPrefix::kLimit)
                throw CodecError("field " + std::to_string(id) + " is too long to code");
            out += CLengthPrefix::Encode(static_cast<uint32_t>(value.size()));
        } else if (strict && value.size() != static_cast<size_t>(fixed)) {
            throw CodecError("field " + std::to_string(id) + " needs " + std::to_string(fixed) +
                             " bytes, has " + std::to_string(value.size()));
        }
        out += value;
    }
    return out;
}

std::string CRecordCodec::EncodePayload(const std::vector<Record>& records, bool strict)
{
    std::string out;
    for (size_t i = 0; i < records.size(); ++i) {
        out += EncodeRecord(records[i], strict);
        if (i + 1 < records.size())
            out += static_cast<char>(kRecordSeparator);
    }
    return out;
}

std::vector<std::string> CRecordCodec::EncodeFragments(const std::vector<Record>& records,
                                                       size_t maxPayload, size_t maxRecords,
                                                       bool strict)
{
    std::vector<std::string> fragments(1);
    size_t inFragment = 0;
    for (size_t i = 0; i < records.size(); ++i) {
        std::string piece = EncodeRecord(records[i], strict);
        if (i + 1 < records.size())
            piece += static_cast<char>(kRecordSeparator);
        if (piece.size() > maxPayload)
            throw CodecError("record " + std::to_string(i) + " does not fit one frame");
        const bool full = (maxRecords > 0 && inFragment == maxRecords) ||
                          fragments.back().size() + piece.size() > maxPayload;
        if (full && inFragment > 0) {
            fragments.emplace_back();
            inFragment = 0;
        }
        fragments.back() += piece;
        ++inFragment;
    }
    return fragments;
}

DecodeStatus CRecordCodec::Decode(const std::string& payload, std::vector<Record>& out)
{
    out.clear();
    const auto* p = reinterpret_cast<const uint8_t*>(payload.data());
    const size_t n = payload.size();
    size_t pos = 0;
    auto fail = [&out](DecodeStatus s) {
        out.clear();
        return s;
    };
    while (pos < n) {
        Record record;
        while (pos < n) {
            const uint8_t id = p[pos++];
            if (id == kRecordSeparator)
                break;
            if (pos >= n)
                return fail(DecodeStatus::Short);
            size_t length;
            const int fixed = FixedLength(id);
            if (fixed >= 0) {
                length = static_cast<size_t>(fixed);
            } else {
                if (p[pos] == 0)
                    return fail(DecodeStatus::BadPrefix);
                const PrefixResult prefix = CLengthPrefix::Decode(p + pos, n - pos);
                if (prefix.status == PrefixStatus::Short)
                    return fail(DecodeStatus::Short);
                if (prefix.status != PrefixStatus::Ok)
                    return fail(DecodeStatus::BadPrefix);
                pos += prefix.size;
                length = prefix.value;
            }
            if (n - pos < length)
                return fail(DecodeStatus::Short);
            record[id] = payload.substr(pos, length);
            pos += length;
        }
        out.push_back(std::move(record));
    }
    return DecodeStatus::Ok;
}

}

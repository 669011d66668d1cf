// Record codec: encoding a record's fields and decoding a payload into records.
#include "RecordCodec.h"
#include "Frame.h"

namespace wire {

int FieldValueSize(unsigned char id)
{
    if (id <= 2)
        return 2;
    if (id <= 4)
        return 3;
    if (id <= 6)
        return 4;
    if (id <= 8)
        return 20;
    if (id <= 10)
        return 32;
    if (id <= 20)
        return 10;
    if (id <= 100)
        return 1;
    if (id == RECORD_SEPARATOR)
        return 0;
    return -1;
}

int EncodeRecord(const ProtRecord& record, std::string& out)
{
    std::string encoded;
    for (const auto& field : record) {
        const unsigned char id = field.first;
        const std::string& value = field.second;
        if (value.empty())
            continue;
        const int fixed = FieldValueSize(id);
        encoded.push_back(static_cast<char>(id));
        if (fixed < 0) {
            unsigned char prefix[4];
            int n = 0;
            if (value.size() >= 0x200000 || EncodeLength(static_cast<uint32_t>(value.size()), prefix, n) != 0)
                return IXO_SOCK_ERR_LEN_RANGE;
            encoded.append(reinterpret_cast<const char*>(prefix), static_cast<size_t>(n));
        } else if (static_cast<size_t>(fixed) != value.size()) {
            // 0xFE is no field id either: nothing can be written for it.
            return IXO_SOCK_ERR_FIELD_LEN;
        }
        encoded += value;
    }
    out += encoded;
    return 0;
}

bool RecordReader::Fail(int code)
{
    if (m_failed == 0)
        m_failed = code;
    return false;
}

unsigned char RecordReader::Byte()
{
    if (m_failed)
        return 0;
    if (m_pos >= m_size) {
        Fail(IXO_SOCK_ERR_RECORD_SHORT);
        return 0;
    }
    return m_data[m_pos++];
}

std::string RecordReader::Value(unsigned char id)
{
    if (m_failed)
        return std::string();
    size_t length;
    const int fixed = FieldValueSize(id);
    if (fixed < 0) {
        uint32_t value = 0;
        int n = 0;
        int code = DecodeLength(m_data + m_pos, m_size - m_pos, value, n);
        if (code != 0) {
            Fail(code);
            return std::string();
        }
        m_pos += static_cast<size_t>(n);
        length = value;
    } else {
        length = static_cast<size_t>(fixed);
    }
    if (length > m_size - m_pos) {
        Fail(IXO_SOCK_ERR_RECORD_SHORT);
        return std::string();
    }
    std::string value(reinterpret_cast<const char*>(m_data + m_pos), length);
    m_pos += length;
    return value;
}

int DecodePayload(const unsigned char* data, size_t size, std::vector<ProtRecord>& records)
{
    std::vector<ProtRecord> decoded;
    RecordReader reader(data, size);
    while (!reader.AtEnd()) {
        ProtRecord record;
        while (!reader.AtEnd()) {
            const unsigned char id = reader.Byte();
            if (id == RECORD_SEPARATOR)
                break;
            // An id with nothing after it: even a one-byte value is missing.
            if (reader.AtEnd()) {
                reader.Byte();
                break;
            }
            std::string value = reader.Value(id);
            if (!reader.Failed())
                record[id] = std::move(value);
        }
        if (reader.Failed())
            break;
        decoded.push_back(std::move(record));
    }
    if (int code = reader.Failed())
        return code;
    records.insert(records.end(), std::make_move_iterator(decoded.begin()),
                   std::make_move_iterator(decoded.end()));
    return 0;
}

}

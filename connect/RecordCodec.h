// Record codec: fields tagged by id, records separated by 0xFE. Internal to the connection
// library; no Windows header, so its tests build it directly.
#pragma once
#include "ToviProtoTypes.h"
#include <cstddef>
#include <string>
#include <vector>

namespace wire {

// Value length that a field id implies; -1 for the ids with a length prefix, 0 for 0xFE.
int FieldValueSize(unsigned char id);

// Appends a record's non-empty fields in ascending id order to out. 0, 5 (a fixed-size field
// of another length) or 13 (a value too long to code). On failure out is as it was.
int EncodeRecord(const ProtRecord& record, std::string& out);

// Reads a payload field by field. Sticky: every read after the first failure returns nothing,
// and Failed() tells the first error (7 a field past the payload, 14 a bad length prefix).
class RecordReader {
public:
    RecordReader(const unsigned char* data, size_t size) : m_data(data), m_size(size) {}

    bool AtEnd() const { return m_failed != 0 || m_pos >= m_size; }
    unsigned char Byte();
    // The value that follows id (its length prefix skipped).
    std::string Value(unsigned char id);
    int Failed() const { return m_failed; }

private:
    bool Fail(int code);
    const unsigned char* m_data;
    size_t m_size;
    size_t m_pos = 0;
    int m_failed = 0;
};

// Decodes a whole payload into records: 0, 7 or 14 (records then holds nothing new).
int DecodePayload(const unsigned char* data, size_t size, std::vector<ProtRecord>& records);

}

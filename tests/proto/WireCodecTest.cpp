// Frame prefix, frame header checks, frame writer, record codec and host-address decision.
#include "Frame.h"
#include "HexBytes.h"
#include "HostAddress.h"
#include "RecordCodec.h"
#include <gtest/gtest.h>
#include <cstring>
#include <string>
#include <vector>

using namespace wire;

namespace {

std::string Raw(std::initializer_list<int> bytes)
{
    std::string out;
    for (int b : bytes)
        out.push_back(static_cast<char>(b));
    return out;
}

int Decode(const std::string& payload, std::vector<ProtRecord>& records)
{
    return DecodePayload(reinterpret_cast<const unsigned char*>(payload.data()), payload.size(), records);
}

}

TEST(LengthPrefix, EachValueTakesTheShortestForm)
{
    struct Row { uint32_t value; int size; };
    const Row rows[] = {{0x7F, 1}, {0x80, 2}, {0x7FF, 2}, {0x800, 3}, {0xFFFF, 3}, {0x10000, 4}, {0x1FFFFF, 4}};
    for (const Row& row : rows) {
        unsigned char out[4];
        int size = 0;
        ASSERT_EQ(0, EncodeLength(row.value, out, size)) << std::hex << row.value;
        EXPECT_EQ(row.size, size) << "value " << std::hex << row.value;
        uint32_t back = 0;
        int backSize = 0;
        EXPECT_EQ(0, DecodeLength(out, 4, back, backSize)) << std::hex << row.value;
        EXPECT_EQ(row.value, back);
        EXPECT_EQ(row.size, backSize);
    }
}

TEST(LengthPrefix, ValuesFrom2MBCannotBeCoded)
{
    unsigned char out[4] = {9, 9, 9, 9};
    int size = 0;
    EXPECT_EQ(IXO_SOCK_ERR_LEN_RANGE, EncodeLength(0x200000, out, size));
    EXPECT_EQ(9, out[0]);
}

TEST(LengthPrefix, ALongerFormThanNeededIsAccepted)
{
    const unsigned char in[] = {0xC1, 0x81};
    uint32_t value = 0;
    int size = 0;
    ASSERT_EQ(0, DecodeLength(in, 2, value, size));
    EXPECT_EQ(0x41u, value);
    EXPECT_EQ(2, size);
}

TEST(LengthPrefix, BadLeadOrContinuationBytesAreError14)
{
    const std::vector<std::string> rows = {Raw({0x00, 0, 0, 0}), Raw({0x80, 0, 0, 0}), Raw({0xBF, 0, 0, 0}),
                                           Raw({0xF8, 0x80, 0x80, 0x80}), Raw({0xFF, 0x80, 0x80, 0x80}),
                                           Raw({0xC1, 0x41, 0, 0}), Raw({0xE0, 0x80, 0xC0, 0})};
    for (const std::string& row : rows) {
        uint32_t value = 0;
        int size = 0;
        EXPECT_EQ(IXO_SOCK_ERR_LEN_PREFIX,
                  ParseFramePrefix(reinterpret_cast<const unsigned char*>(row.data()), size, value))
            << "prefix " << hexbytes::UpperHex(row);
    }
}

TEST(FrameHeader, FlagsAndLengthsAreChecked)
{
    struct Row { int prefixSize; uint32_t length; uint8_t flags; int expected; };
    const Row rows[] = {
        {1, 3, 0x01, 0},
        {1, 3, 0x81, 0},
        {1, 3, 0xA1, 0},
        {1, 3, 0x80, IXO_SOCK_ERR_FLAGS},
        {1, 3, 0x83, IXO_SOCK_ERR_FLAGS},
        {4, 0x1FFFFC, 0x81, 0},
        {4, 0x1FFFFD, 0x81, IXO_SOCK_ERR_FRAME_LEN},   // n + L = 0x200001
        {1, 2, 0x81, IXO_SOCK_ERR_FRAME_LEN},          // shorter than flags and command
        {1, 0, 0x81, IXO_SOCK_ERR_FRAME_LEN},
    };
    for (const Row& row : rows)
        EXPECT_EQ(row.expected, CheckFrameHeader(row.prefixSize, row.length, row.flags))
            << "n=" << row.prefixSize << " L=" << std::hex << row.length << " flags=" << int(row.flags);
}

TEST(FrameWriter, AnEmptyPayloadGivesAFourByteFrame)
{
    std::vector<unsigned char> buffer(kFrameBufferSize);
    FrameWriter writer(buffer.data());
    size_t start = 0, size = 0;
    int prefix = 0;
    ASSERT_EQ(0, writer.Finish(0x80, 0x5A31, start, size, prefix));
    EXPECT_EQ(4u, size);
    EXPECT_EQ("0381" "5A31", hexbytes::UpperHex(std::string(reinterpret_cast<char*>(&buffer[start]), size)));
}

TEST(FrameWriter, ThePrefixSitsRightBeforeFlagsAndForcesTheFixedBits)
{
    std::vector<unsigned char> buffer(kFrameBufferSize);
    FrameWriter writer(buffer.data());
    const std::string payload(200, 'x');
    ASSERT_TRUE(writer.Append(payload.data(), payload.size()));
    size_t start = 0, size = 0;
    int prefix = 0;
    ASSERT_EQ(0, writer.Finish(0xFF, 0x4230, start, size, prefix));
    EXPECT_EQ(2, prefix);
    EXPECT_EQ(2u, start);
    EXPECT_EQ(2u + 203u, size);
    // 203 = 0xCB -> C3 8B; flags 0xFF -> 0xE1.
    EXPECT_EQ("C38BE14230", hexbytes::UpperHex(std::string(reinterpret_cast<char*>(&buffer[start]), 5)));
}

TEST(FrameWriter, RefusesMoreThanAFramePayload)
{
    std::vector<unsigned char> buffer(kFrameBufferSize);
    FrameWriter writer(buffer.data());
    std::vector<unsigned char> big(kMaxPayload);
    EXPECT_TRUE(writer.Append(big.data(), big.size()));
    EXPECT_FALSE(writer.Fits(1));
    EXPECT_FALSE(writer.Append(big.data(), 1));
}

TEST(RecordEncoding, FieldsGoInAscendingIdOrderWithTheirLengths)
{
    ProtRecord record;
    record[171] = "abc";
    record[22] = "3";
    record[9] = std::string(32, 'k');
    std::string out;
    ASSERT_EQ(0, EncodeRecord(record, out));
    EXPECT_EQ("09" + hexbytes::UpperHex(std::string(32, 'k')) + "1633" "AB03616263", hexbytes::UpperHex(out));
}

TEST(RecordEncoding, EmptyValuesAreLeftOut)
{
    ProtRecord record;
    record[21] = "";
    record[171] = "";
    std::string out;
    ASSERT_EQ(0, EncodeRecord(record, out));
    EXPECT_TRUE(out.empty());
}

TEST(RecordEncoding, AFixedFieldOfAnotherLengthIsError5AndWritesNothing)
{
    struct Row { unsigned char id; size_t length; };
    const Row rows[] = {{21, 2}, {0, 1}, {3, 2}, {5, 5}, {7, 19}, {9, 31}, {11, 11}};
    for (const Row& row : rows) {
        ProtRecord record;
        record[row.id] = std::string(row.length, '1');
        std::string out = "keep";
        EXPECT_EQ(IXO_SOCK_ERR_FIELD_LEN, EncodeRecord(record, out)) << "id " << int(row.id) << " length " << row.length;
        EXPECT_EQ("keep", out);
    }
}

TEST(RecordEncoding, A200ByteValueGetsATwoBytePrefix)
{
    ProtRecord record;
    record[101] = std::string(200, 'v');
    std::string out;
    ASSERT_EQ(0, EncodeRecord(record, out));
    EXPECT_EQ("65C388", hexbytes::UpperHex(out.substr(0, 3)));
    EXPECT_EQ(203u, out.size());
}

TEST(RecordEncoding, ZeroBytesInValuesAreCarriedWhole)
{
    ProtRecord record;
    record[101] = std::string("a\0b", 3);
    std::string out;
    ASSERT_EQ(0, EncodeRecord(record, out));
    std::vector<ProtRecord> back;
    ASSERT_EQ(0, Decode(out, back));
    ASSERT_EQ(1u, back.size());
    EXPECT_EQ(std::string("a\0b", 3), back[0][101]);
}

TEST(RecordDecoding, SeparatorsSplitRecords)
{
    std::vector<ProtRecord> records;
    ASSERT_EQ(0, Decode(Raw({0x15, 0x31, 0xFE, 0x15, 0x32}), records));
    ASSERT_EQ(2u, records.size());
    EXPECT_EQ("1", records[0][21]);
    EXPECT_EQ("2", records[1][21]);
}

TEST(RecordDecoding, ALoneSeparatorIsOneEmptyRecordAndATrailingOneAddsNone)
{
    std::vector<ProtRecord> records;
    ASSERT_EQ(0, Decode(Raw({0xFE}), records));
    ASSERT_EQ(1u, records.size());
    EXPECT_TRUE(records[0].empty());

    records.clear();
    ASSERT_EQ(0, Decode(Raw({0x15, 0x31, 0xFE}), records));
    EXPECT_EQ(1u, records.size());

    records.clear();
    ASSERT_EQ(0, Decode(std::string(), records));
    EXPECT_TRUE(records.empty());
}

TEST(RecordDecoding, ALaterFieldWithTheSameIdWins)
{
    std::vector<ProtRecord> records;
    ASSERT_EQ(0, Decode(Raw({0x15, 0x31, 0x15, 0x32}), records));
    ASSERT_EQ(1u, records.size());
    EXPECT_EQ("2", records[0][21]);
}

TEST(RecordDecoding, FieldsRunningPastThePayloadOrBadPrefixesFail)
{
    struct Row { std::string payload; int expected; const char* what; };
    std::string shortPhrase = Raw({0x09}) + std::string(31, 'p');
    const Row rows[] = {
        {shortPhrase, IXO_SOCK_ERR_RECORD_SHORT, "id 9 with 31 bytes"},
        {Raw({0x15}), IXO_SOCK_ERR_RECORD_SHORT, "id without a value"},
        {Raw({0xC8, 0x00}), IXO_SOCK_ERR_LEN_PREFIX, "id 200 with prefix 00"},
        {Raw({0xC8, 0x80, 0x61}), IXO_SOCK_ERR_LEN_PREFIX, "id 200 with a continuation lead"},
        {Raw({0xC8, 0x05, 0x61}), IXO_SOCK_ERR_RECORD_SHORT, "id 200 with 1 of 5 bytes"},
        {Raw({0xC8, 0xC3}), IXO_SOCK_ERR_RECORD_SHORT, "id 200 with half a prefix"},
        {Raw({0x15, 0x31, 0xFE, 0x03, 0x31}), IXO_SOCK_ERR_RECORD_SHORT, "second record cut short"},
    };
    for (const Row& row : rows) {
        std::vector<ProtRecord> records;
        EXPECT_EQ(row.expected, Decode(row.payload, records)) << row.what << ": " << hexbytes::UpperHex(row.payload);
        EXPECT_TRUE(records.empty()) << row.what;
    }
}

TEST(HostAddress, OnlyFourDottedNumbersAreAnAddress)
{
    struct Row { const char* host; bool dotted; };
    const Row rows[] = {
        {"127.0.0.1", true},   {"10.20.30.40", true},  {"255.255.255.255", true},
        {"1drive.example", false}, {"1.2.3", false},    {"1.2.3.4.5", false},
        {"256.1.1.1", false},  {"1.2.3.4a", false},    {"", false},
        {"localhost", false},  {"1..2.3", false},      {"0001.2.3.4", false},
    };
    for (const Row& row : rows)
        EXPECT_EQ(row.dotted, IsDottedIPv4(row.host)) << row.host;
}

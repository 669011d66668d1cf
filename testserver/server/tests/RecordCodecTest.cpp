// Records: ascending ids, omitted empty values, fixed lengths, fragments and decoding errors.
#include "RecordCodec.h"
#include "TestWire.h"
#include <gtest/gtest.h>

using namespace tovisrv;

namespace {
std::string Bytes(size_t n, char c)
{
    return std::string(n, c);
}
}

TEST(RecordCodec, WritesFieldsInAscendingIdOrderWithPrefixesOnlyOnLongIds)
{
    Record record{{171, "abc"}, {22, "3"}, {9, Bytes(32, 'k')}};
    EXPECT_EQ(testwire::Hex(CRecordCodec::EncodeRecord(record)),
              "09" + testwire::Hex(Bytes(32, 'k')) + "1633" + "ab03616263");
}

TEST(RecordCodec, GivesEachIdRangeItsFixedLength)
{
    const struct { uint8_t id; int length; } rows[] = {
        {0, 2}, {2, 2}, {3, 3}, {4, 3}, {5, 4}, {6, 4}, {7, 20}, {8, 20}, {9, 32}, {10, 32},
        {11, 10}, {20, 10}, {21, 1}, {100, 1}, {101, -1}, {253, -1}, {255, -1},
    };
    for (const auto& row : rows)
        EXPECT_EQ(CRecordCodec::FixedLength(row.id), row.length) << "id " << int(row.id);
}

TEST(RecordCodec, LeavesEmptyValuesOutButKeepsTheSeparatorOfAnEmptyRecord)
{
    std::vector<Record> records{{{21, ""}, {171, ""}}, {{21, ""}}};
    EXPECT_EQ(testwire::Hex(CRecordCodec::EncodePayload(records)), "fe");
    EXPECT_EQ(CRecordCodec::EncodePayload({}), "");
    EXPECT_EQ(CRecordCodec::EncodePayload({Record{}}), "");
}

TEST(RecordCodec, RefusesAFixedFieldOfAnotherLengthUnlessToldToSendIt)
{
    Record record{{21, "12"}};
    EXPECT_THROW(CRecordCodec::EncodeRecord(record), CodecError);
    EXPECT_EQ(testwire::Hex(CRecordCodec::EncodeRecord(record, false)), "153132");
}

TEST(RecordCodec, GivesA200ByteValueATwoBytePrefix)
{
    const std::string encoded = CRecordCodec::EncodeRecord({{101, Bytes(200, 'x')}});
    EXPECT_EQ(testwire::Hex(encoded.substr(0, 3)), "65c388");
    EXPECT_EQ(encoded.size(), 203u);
}

TEST(RecordCodec, DecodesPayloadsAsTheClientDoes)
{
    const struct { const char* hex; DecodeStatus status; const char* records; } rows[] = {
        // records: "/" between records, "id=hex" fields, "," between fields
        {"", DecodeStatus::Ok, ""},
        {"fe", DecodeStatus::Ok, "(empty)"},
        {"1531fe1532", DecodeStatus::Ok, "21=31/21=32"},
        {"1531fe", DecodeStatus::Ok, "21=31"},
        {"fefe", DecodeStatus::Ok, "(empty)/(empty)"},
        {"15311532", DecodeStatus::Ok, "21=32"},
        {"ab0361626315", DecodeStatus::Short, ""},
        {"15", DecodeStatus::Short, ""},
        {"c800", DecodeStatus::BadPrefix, ""},
        {"c880", DecodeStatus::BadPrefix, ""},
        {"c8c3", DecodeStatus::Short, ""},
        {"c8056162", DecodeStatus::Short, ""},
        {"0931", DecodeStatus::Short, ""},
    };
    for (const auto& row : rows) {
        std::vector<Record> records;
        const DecodeStatus status = CRecordCodec::Decode(testwire::Unhex(row.hex), records);
        std::string shown;
        for (size_t i = 0; i < records.size(); ++i) {
            shown += i ? "/" : "";
            if (records[i].empty())
                shown += "(empty)";
            bool first = true;
            for (const auto& [id, value] : records[i]) {
                shown += (first ? "" : ",") + std::to_string(id) + "=" + testwire::Hex(value);
                first = false;
            }
        }
        EXPECT_EQ(status, row.status) << "payload " << row.hex;
        EXPECT_EQ(shown, row.records) << "payload " << row.hex;
    }
}

TEST(RecordCodec, ReadsAnIdNineValueOf31BytesAsShort)
{
    std::vector<Record> records;
    EXPECT_EQ(CRecordCodec::Decode("\x09" + Bytes(31, 'a'), records), DecodeStatus::Short);
    EXPECT_TRUE(records.empty());
}

TEST(RecordCodec, RoundTripsRecordsWithEveryKindOfField)
{
    std::vector<Record> records{
        {{0, "ko"}, {3, "128"}, {5, "2222"}, {7, Bytes(20, 'L')}, {9, Bytes(32, '\0')}, {11, "2024-01-01"},
         {21, "1"}, {101, Bytes(0x900, '\xFE')}, {255, "\xEC\x95\x88"}},
        {},
        {{171, Bytes(70000, 's')}, {44, "N"}},
    };
    std::vector<Record> decoded;
    ASSERT_EQ(CRecordCodec::Decode(CRecordCodec::EncodePayload(records), decoded), DecodeStatus::Ok);
    EXPECT_EQ(decoded, records);
}

TEST(RecordCodec, CutsFragmentsBetweenRecordsKeepingEachSeparatorWithItsRecord)
{
    std::vector<Record> records;
    for (int i = 0; i < 7; ++i)
        records.push_back({{101, Bytes(40, static_cast<char>('a' + i))}});
    const std::vector<std::string> fragments = CRecordCodec::EncodeFragments(records, 100);
    // Each record takes 42 bytes and its separator one more: two per fragment.
    ASSERT_EQ(fragments.size(), 4u);
    std::string joined;
    for (size_t i = 0; i < fragments.size(); ++i) {
        EXPECT_LE(fragments[i].size(), 100u);
        if (i + 1 < fragments.size()) {
            EXPECT_EQ(static_cast<uint8_t>(fragments[i].back()), kRecordSeparator) << "fragment " << i;
        }
        joined += fragments[i];
    }
    EXPECT_EQ(joined, CRecordCodec::EncodePayload(records));
}

TEST(RecordCodec, LimitsTheRecordsPerFragmentWhenAsked)
{
    std::vector<Record> records(5, Record{{21, "Y"}});
    const std::vector<std::string> fragments = CRecordCodec::EncodeFragments(records, kMaxPayload, 2);
    ASSERT_EQ(fragments.size(), 3u);
    EXPECT_EQ(testwire::Hex(fragments[0]), "1559fe1559fe");
    EXPECT_EQ(testwire::Hex(fragments[2]), "1559");
}

TEST(RecordCodec, FillsFramesUpToTheTwoMegabytePayload)
{
    // Three records of a million bytes: two fit one 0x1FFFF9-byte payload, three do not.
    std::vector<Record> records(3, Record{{101, Bytes(1000000, 'z')}});
    const std::vector<std::string> fragments = CRecordCodec::EncodeFragments(records);
    ASSERT_EQ(fragments.size(), 2u);
    EXPECT_LE(fragments[0].size(), kMaxPayload);
    EXPECT_EQ(fragments[0].size(), 2 * (1 + 4 + 1000000 + 1u));
}

TEST(RecordCodec, RefusesARecordLargerThanAFrame)
{
    std::vector<Record> records{{{101, Bytes(kMaxPayload, 'z')}}};
    EXPECT_THROW(CRecordCodec::EncodeFragments(records), CodecError);
}

// The length prefix: sizes of the shortest form, longer forms, malformed leads.
#include "LengthPrefix.h"
#include "TestWire.h"
#include <gtest/gtest.h>

using namespace tovisrv;

TEST(LengthPrefix, EncodesEachValueInTheShortestForm)
{
    const struct { uint32_t value; const char* hex; } rows[] = {
        {0x03, "03"}, {0x7F, "7f"}, {0x80, "c280"}, {200, "c388"}, {0x7FF, "dfbf"},
        {0x800, "e0a080"}, {0xFFFF, "efbfbf"}, {0x10000, "f0908080"}, {0x1FFFFF, "f7bfbfbf"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(testwire::Hex(CLengthPrefix::Encode(row.value)), row.hex) << "value " << row.value;
}

TEST(LengthPrefix, CannotCodeTwoMegabytesOrMore)
{
    EXPECT_TRUE(CLengthPrefix::Encode(0x200000).empty());
    EXPECT_TRUE(CLengthPrefix::EncodeWithSize(0x80, 1).empty());
    EXPECT_TRUE(CLengthPrefix::EncodeWithSize(5, 5).empty());
}

TEST(LengthPrefix, DecodesShortestAndLongerForms)
{
    const struct { const char* hex; uint32_t value; int size; } rows[] = {
        {"03", 3, 1}, {"c181", 0x41, 2}, {"e08183", 0x43, 3}, {"f0808083", 3, 4},
        {"c388", 200, 2}, {"f7bfbfbd", 0x1FFFFD, 4},
    };
    for (const auto& row : rows) {
        const std::string bytes = testwire::Unhex(row.hex);
        const PrefixResult r = CLengthPrefix::Decode(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
        EXPECT_EQ(r.status, PrefixStatus::Ok) << row.hex;
        EXPECT_EQ(r.value, row.value) << row.hex;
        EXPECT_EQ(r.size, row.size) << row.hex;
    }
}

TEST(LengthPrefix, RejectsZeroContinuationAndFiveByteLeads)
{
    for (const char* hex : {"00", "80", "bf", "f8808080", "ff", "c141", "e08041"}) {
        const std::string bytes = testwire::Unhex(hex);
        const PrefixResult r = CLengthPrefix::Decode(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
        EXPECT_EQ(r.status, PrefixStatus::Malformed) << hex;
    }
}

TEST(LengthPrefix, ReportsAPrefixRunningPastTheBuffer)
{
    const std::string bytes = testwire::Unhex("e080");
    EXPECT_EQ(CLengthPrefix::Decode(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()).status,
              PrefixStatus::Short);
}

TEST(LengthPrefix, RoundTripsEveryFormBoundary)
{
    for (uint32_t v : {1u, 0x7Fu, 0x80u, 0x7FFu, 0x800u, 0xFFFFu, 0x10000u, 0x1FFFFFu}) {
        for (int size = 1; size <= 4; ++size) {
            const std::string bytes = CLengthPrefix::EncodeWithSize(v, size);
            if (bytes.empty())
                continue;
            const PrefixResult r = CLengthPrefix::Decode(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
            EXPECT_EQ(r.value, v) << "value " << v << " in " << size << " bytes";
            EXPECT_EQ(r.size, size);
        }
    }
}

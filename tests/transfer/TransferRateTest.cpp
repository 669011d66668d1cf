// The transfer rate meter: one sample a second, the ten-sample average, resume bases, the time
// left and its text, and a clock that passes the point where a 32-bit microsecond count wraps.
#include "ToviTextLanguage.h"
#include "TransferRate.h"
#include <gtest/gtest.h>
#include <string>

namespace {

// The meter's clock, in system-time units (100 ns).
uint64_t g_now = 0;
uint64_t TestClock()
{
    return g_now;
}

class RateTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CToviTextLanguage::SetThreadLanguage(LANG_ENGLISH);
        g_now = 133000000000000000ull;
        rate.SetClock(TestClock);
    }
    void TearDown() override { CToviTextLanguage::SetThreadLanguage(0); }
    void Advance(uint64_t ms) { g_now += ms * 10000; }
    // n progress messages of bytes each, stepMs apart (the first at the current time).
    void Feed(int n, __int64 bytes, uint64_t stepMs)
    {
        for (int i = 0; i < n; ++i) {
            if (i > 0)
                Advance(stepMs);
            rate.AddBytes(bytes);
        }
    }

    CTransferRate rate;
};

TEST_F(RateTest, MessagesEveryHundredMillisecondsMakeOneSampleASecond)
{
    Feed(10, 1000, 100);
    rate.Compute();
    EXPECT_EQ(0u, rate.GetBytesPerSecond()) << "the first message only starts the measurement";
    Advance(100);
    rate.AddBytes(1000);
    rate.Compute();
    EXPECT_EQ(10000u, rate.GetBytesPerSecond());
    EXPECT_EQ(11000, rate.GetRunningTotal());
}

TEST_F(RateTest, AResumeBaseCountsButStartsTheMeasurementAgain)
{
    Feed(11, 1000, 100);
    rate.Compute();
    ASSERT_EQ(10000u, rate.GetBytesPerSecond());
    rate.AddBase(500000);
    EXPECT_EQ(511000, rate.GetRunningTotal());
    Advance(100);
    rate.AddBytes(999999);   // starts the measurement only: no sample of a huge speed
    Advance(1000);
    rate.AddBytes(2000);
    rate.Compute();
    EXPECT_EQ((10000u + 2000u) / 2, rate.GetBytesPerSecond());
}

TEST_F(RateTest, AStalledTransferKeepsItsLastSpeed)
{
    Feed(11, 1000, 100);
    Advance(1500);
    rate.AddBytes(0);
    rate.Compute();
    EXPECT_EQ(10000u, rate.GetBytesPerSecond());
}

TEST_F(RateTest, TheSpeedIsTheAverageOfTheLastTenSamples)
{
    rate.AddBytes(0);
    for (int i = 0; i < 3; ++i) {
        Advance(1000);
        rate.AddBytes(1000);
    }
    rate.Compute();
    EXPECT_EQ(1000u, rate.GetBytesPerSecond()) << "fewer than ten: the average of those taken";
    for (int i = 0; i < 7; ++i) {
        Advance(1000);
        rate.AddBytes(1000);
    }
    Advance(1000);
    rate.AddBytes(12000);   // the eleventh overwrites the first
    rate.Compute();
    EXPECT_EQ((9u * 1000 + 12000) / 10, rate.GetBytesPerSecond());
}

TEST_F(RateTest, TimeLeftIsRoundedUp)
{
    struct Row {
        __int64 expected;
        int seconds;
    };
    // 11,000 bytes counted at 10,000 bytes per second.
    const Row rows[] = {{11001, 1}, {21000, 1}, {21001, 2}, {11000, 0}, {5000, 0}};
    for (const Row& row : rows) {
        CTransferRate meter;
        meter.SetClock(TestClock);
        meter.m_nExpectedTotal = row.expected;
        for (int i = 0; i < 11; ++i) {
            if (i > 0)
                Advance(100);
            meter.AddBytes(1000);
        }
        meter.Compute();
        EXPECT_EQ(row.seconds, meter.GetSecondsLeft()) << "expected total " << row.expected;
    }
}

TEST_F(RateTest, SpeedAndTimeLeftTexts)
{
    rate.m_nExpectedTotal = 11000 + 3725 * 10000;
    Feed(11, 1000, 100);
    rate.Compute();
    EXPECT_EQ(std::wstring(L"1 hr 2 min 5 sec"), rate.GetTimeLeftText().GetString());
    const std::wstring speed = rate.GetSpeedText().GetString();
    EXPECT_NE(std::wstring::npos, speed.find(L" / sec")) << speed;
}

TEST(RateText, TimeLeftNamesOnlyTheNonZeroParts)
{
    CToviTextLanguage::SetThreadLanguage(LANG_ENGLISH);
    const struct {
        int seconds;
        const wchar_t* text;
    } rows[] = {{3725, L"1 hr 2 min 5 sec"}, {120, L"2 min"}, {3600, L"1 hr"}, {59, L"59 sec"},
                {3601, L"1 hr 1 sec"}, {0, L""}, {-1, L""}};
    for (const auto& row : rows)
        EXPECT_EQ(std::wstring(row.text), CTransferRate::FormatTimeLeft(row.seconds).GetString()) << row.seconds;
    CToviTextLanguage::SetThreadLanguage(LANG_KOREAN);
    EXPECT_EQ(std::wstring(L"1 시간 2 분 5 초"), CTransferRate::FormatTimeLeft(3725).GetString());
    CToviTextLanguage::SetThreadLanguage(0);
}

TEST_F(RateTest, AClockPastTheThirtyTwoBitMicrosecondWrapStillMeasures)
{
    // 500 ms before a 32-bit count of microseconds since 1970 wraps round.
    const uint64_t kEpochMicros = 0x48864000ull + 3122000ull * 0x100000000ull;
    g_now = (kEpochMicros + 0x100000000ull - 500000) * 10;
    rate.AddBytes(1);
    Advance(1500);
    rate.AddBytes(15000);
    rate.Compute();
    EXPECT_EQ(10000u, rate.GetBytesPerSecond());
}

TEST_F(RateTest, AClockSetBackStartsAgainInsteadOfSampling)
{
    Feed(11, 1000, 100);
    g_now -= 3600ull * 1000 * 10000;
    rate.AddBytes(50000);
    Advance(1000);
    rate.AddBytes(2000);
    rate.Compute();
    EXPECT_EQ((10000u + 2000u) / 2, rate.GetBytesPerSecond());
}

}

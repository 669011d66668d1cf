// CTime, CTimeSpan, COleDateTime and COleDateTimeSpan: calendar parts, formatting, parsing in
// the user locale, arithmetic around day 0 of the OLE calendar, and adding months.
#include "DateTime.h"
#include <gtest/gtest.h>
#include <string>

void PrintTo(const CString& s, std::ostream* os)
{
    *os << '"' << CStringA(s).GetString() << '"';
}

namespace {

struct Ymdhms {
    int year, month, day, hour, minute, second;
};

std::string Text(const Ymdhms& t)
{
    char buffer[40];
    snprintf(buffer, sizeof buffer, "%d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour, t.minute, t.second);
    return buffer;
}

std::string Text(const COleDateTime& t)
{
    return CStringA(t.Format(L"%Y-%m-%d %H:%M:%S")).GetString();
}

std::string Text(const CTime& t)
{
    return CStringA(t.Format(L"%Y-%m-%d %H:%M:%S")).GetString();
}

// ---- calendar helpers ----

TEST(CalendarTest, LeapYearsFollowTheGregorianRules)
{
    struct Row {
        int year;
        bool leap;
    } rows[] = {{1900, false}, {2000, true}, {2023, false}, {2024, true}, {2100, false}, {2400, true}, {100, false}};
    for (const Row& r : rows)
        EXPECT_EQ(IsLeapYear(r.year), r.leap) << r.year;
}

TEST(CalendarTest, DaysInMonthKnowsFebruaryAndRejectsBadMonths)
{
    EXPECT_EQ(DaysInMonth(2024, 2), 29);
    EXPECT_EQ(DaysInMonth(2023, 2), 28);
    EXPECT_EQ(DaysInMonth(1900, 2), 28);
    EXPECT_EQ(DaysInMonth(2024, 4), 30);
    EXPECT_EQ(DaysInMonth(2024, 12), 31);
    EXPECT_EQ(DaysInMonth(2024, 0), 0);
    EXPECT_EQ(DaysInMonth(2024, 13), 0);
}

TEST(CalendarTest, AddMonthsClampsToTheEndOfTheTargetMonth)
{
    struct Row {
        Ymdhms from;
        int months;
        Ymdhms expected;
    } rows[] = {
        {{2024, 1, 31, 9, 30, 0}, 1, {2024, 2, 29, 9, 30, 0}},
        {{2023, 1, 31, 9, 30, 0}, 1, {2023, 2, 28, 9, 30, 0}},
        {{2024, 3, 31, 0, 0, 0}, -1, {2024, 2, 29, 0, 0, 0}},
        {{2024, 5, 31, 23, 59, 59}, 1, {2024, 6, 30, 23, 59, 59}},
        {{2024, 12, 15, 12, 0, 0}, 1, {2025, 1, 15, 12, 0, 0}},
        {{2024, 1, 15, 12, 0, 0}, -1, {2023, 12, 15, 12, 0, 0}},
        {{2024, 1, 31, 0, 0, 0}, 13, {2025, 2, 28, 0, 0, 0}},
        {{2024, 2, 29, 0, 0, 0}, 12, {2025, 2, 28, 0, 0, 0}},
        {{2024, 2, 29, 0, 0, 0}, 48, {2028, 2, 29, 0, 0, 0}},
        {{2024, 8, 31, 0, 0, 0}, -18, {2023, 2, 28, 0, 0, 0}},
        {{2024, 7, 10, 0, 0, 0}, 0, {2024, 7, 10, 0, 0, 0}},
    };
    for (const Row& r : rows) {
        const Ymdhms& f = r.from;
        std::string expected = Text(r.expected);
        COleDateTime ole = AddMonths(COleDateTime(f.year, f.month, f.day, f.hour, f.minute, f.second), r.months);
        EXPECT_EQ(Text(ole), expected) << Text(f) << " + " << r.months << " months (COleDateTime)";
        CTime time = AddMonths(CTime(f.year, f.month, f.day, f.hour, f.minute, f.second), r.months);
        EXPECT_EQ(Text(time), expected) << Text(f) << " + " << r.months << " months (CTime)";
    }
}

TEST(CalendarTest, AddMonthsPassesInvalidValuesThrough)
{
    COleDateTime bad;
    bad.SetStatus(COleDateTime::invalid);
    EXPECT_EQ(AddMonths(bad, 1).GetStatus(), COleDateTime::invalid);
    EXPECT_EQ(AddMonths(COleDateTime(9999, 12, 1, 0, 0, 0), 1).GetStatus(), COleDateTime::invalid);
}

// ---- CTime ----

TEST(CTimeTest, LocalFieldsRoundTrip)
{
    CTime t(2024, 2, 29, 13, 45, 30);
    EXPECT_EQ(t.GetYear(), 2024);
    EXPECT_EQ(t.GetMonth(), 2);
    EXPECT_EQ(t.GetDay(), 29);
    EXPECT_EQ(t.GetHour(), 13);
    EXPECT_EQ(t.GetMinute(), 45);
    EXPECT_EQ(t.GetSecond(), 30);
    EXPECT_EQ(t.GetDayOfWeek(), 5); // Thursday
    SYSTEMTIME st;
    ASSERT_TRUE(t.GetAsSystemTime(st));
    EXPECT_EQ(CTime(st), t);
}

TEST(CTimeTest, FileTimeAndSecondsSince1970AgreeInUtc)
{
    struct Row {
        int64_t seconds;
        const wchar_t* utc;
    } rows[] = {
        {0, L"1970-01-01 00:00:00 Thursday"},
        {946684800, L"2000-01-01 00:00:00 Saturday"},
        {951782400, L"2000-02-29 00:00:00 Tuesday"},
        {-86400, L"1969-12-31 00:00:00 Wednesday"},
    };
    for (const Row& r : rows) {
        CTime t(r.seconds);
        EXPECT_EQ(t.FormatGmt(L"%Y-%m-%d %H:%M:%S %A"), r.utc) << r.seconds;
        FILETIME ft;
        ASSERT_TRUE(t.GetAsFileTime(ft));
        EXPECT_EQ(CTime(ft).GetTime(), r.seconds);
    }
}

TEST(CTimeTest, InvalidFieldsGiveMinusOne)
{
    struct Row {
        Ymdhms t;
    } rows[] = {{{2023, 2, 29, 0, 0, 0}}, {{2024, 13, 1, 0, 0, 0}}, {{2024, 4, 31, 0, 0, 0}},
                {{2024, 1, 1, 24, 0, 0}}, {{2024, 1, 0, 0, 0, 0}}, {{2024, 1, 1, 0, 60, 0}}};
    for (const Row& r : rows)
        EXPECT_EQ(CTime(r.t.year, r.t.month, r.t.day, r.t.hour, r.t.minute, r.t.second).GetTime(), -1) << Text(r.t);
}

TEST(CTimeTest, CurrentTimeIsBetweenTwoSystemClockReadings)
{
    FILETIME before, after;
    GetSystemTimeAsFileTime(&before);
    CTime now = CTime::GetCurrentTime();
    GetSystemTimeAsFileTime(&after);
    EXPECT_LE(CTime(before), now);
    EXPECT_LE(now, CTime(after));
}

TEST(CTimeTest, FormatCoversEachSpecifier)
{
    CTime t(2024, 2, 9, 13, 5, 7);
    struct Row {
        const wchar_t* pattern;
        const wchar_t* expected;
    } rows[] = {
        {L"%Y-%m-%d %H:%M:%S", L"2024-02-09 13:05:07"},
        {L"%y/%#m/%#d", L"24/2/9"},
        {L"%A %a %B %b", L"Friday Fri February Feb"},
        {L"%I %p", L"01 PM"},
        {L"%j", L"040"},
        {L"%w", L"5"},
        {L"100%% %H", L"100% 13"},
        {L"%c", L"02/09/24 13:05:07"},
        {L"%x|%X", L"02/09/24|13:05:07"},
        {L"%Q", L"%Q"},
        {L"", L""},
        {L"trailing %", L"trailing "},
    };
    for (const Row& r : rows)
        EXPECT_EQ(t.Format(r.pattern), r.expected) << CStringA(r.pattern).GetString();
    EXPECT_EQ(CTime(2024, 2, 9, 0, 0, 0).Format(L"%I %p"), L"12 AM");
    EXPECT_EQ(CTime(2024, 12, 31, 12, 0, 0).Format(L"%j %I %p"), L"366 12 PM");
}

TEST(CTimeTest, SpansAddSubtractAndSplitIntoParts)
{
    CTime a(2024, 2, 28, 23, 0, 0);
    CTime b = a + CTimeSpan(1, 2, 3, 4);
    EXPECT_EQ(Text(b), "2024-03-01 01:03:04");
    CTimeSpan d = b - a;
    EXPECT_EQ(d.GetTotalSeconds(), 93784);
    EXPECT_EQ(d.GetDays(), 1);
    EXPECT_EQ(d.GetHours(), 2);
    EXPECT_EQ(d.GetMinutes(), 3);
    EXPECT_EQ(d.GetSeconds(), 4);
    EXPECT_EQ(d.GetTotalHours(), 26);
    EXPECT_EQ(d.GetTotalMinutes(), 1563);
    EXPECT_EQ(d.Format(L"%D %H:%M:%S"), L"1 02:03:04");
    CTimeSpan back = a - b;
    EXPECT_EQ(back.GetDays(), -1);
    EXPECT_EQ(back.GetHours(), -2);
    EXPECT_LT(a, b);
    EXPECT_EQ(b - d, a);
    b -= d;
    EXPECT_EQ(b, a);
}

// ---- COleDateTime ----

TEST(COleDateTimeTest, AgreesWithTheSystemConversionsIncludingBeforeDayZero)
{
    struct Row {
        Ymdhms t;
        DATE expected;
    } rows[] = {
        {{1899, 12, 30, 0, 0, 0}, 0.0},
        {{1900, 1, 1, 0, 0, 0}, 2.0},
        {{1900, 3, 1, 0, 0, 0}, 61.0},
        {{2000, 1, 1, 0, 0, 0}, 36526.0},
        {{2024, 1, 1, 18, 0, 0}, 45292.75},
        {{1899, 12, 29, 6, 0, 0}, -1.25},
        {{1899, 12, 29, 18, 0, 0}, -1.75},
        {{1800, 1, 1, 12, 0, 0}, -36522.5},
        {{100, 1, 1, 0, 0, 0}, -657434.0},
        {{9999, 12, 31, 0, 0, 0}, 2958465.0},
    };
    for (const Row& r : rows) {
        COleDateTime d(r.t.year, r.t.month, r.t.day, r.t.hour, r.t.minute, r.t.second);
        ASSERT_EQ(d.GetStatus(), COleDateTime::valid) << Text(r.t);
        EXPECT_DOUBLE_EQ(d.m_dt, r.expected) << Text(r.t);

        SYSTEMTIME st = {WORD(r.t.year), WORD(r.t.month), 0, WORD(r.t.day), WORD(r.t.hour), WORD(r.t.minute), WORD(r.t.second), 0};
        DATE system = 0;
        if (SystemTimeToVariantTime(&st, &system)) {
            EXPECT_DOUBLE_EQ(system, d.m_dt) << Text(r.t) << " against oleaut32";
        }

        EXPECT_EQ(Text(COleDateTime(r.expected)), Text(r.t)) << r.expected;
    }
}

TEST(COleDateTimeTest, PartsAndDaysOfWeekAndYear)
{
    COleDateTime d(2024, 12, 31, 23, 59, 59);
    EXPECT_EQ(d.GetYear(), 2024);
    EXPECT_EQ(d.GetMonth(), 12);
    EXPECT_EQ(d.GetDay(), 31);
    EXPECT_EQ(d.GetHour(), 23);
    EXPECT_EQ(d.GetMinute(), 59);
    EXPECT_EQ(d.GetSecond(), 59);
    EXPECT_EQ(d.GetDayOfWeek(), 3); // Tuesday
    EXPECT_EQ(d.GetDayOfYear(), 366);
    EXPECT_EQ(COleDateTime(2023, 3, 1, 0, 0, 0).GetDayOfYear(), 60);
    EXPECT_EQ(COleDateTime(1899, 12, 29, 6, 0, 0).GetDayOfWeek(), 6); // Friday
}

TEST(COleDateTimeTest, InvalidFieldsMarkTheValueInvalid)
{
    COleDateTime d;
    EXPECT_EQ(d.SetDateTime(2023, 2, 29, 0, 0, 0), 1);
    EXPECT_EQ(d.GetStatus(), COleDateTime::invalid);
    EXPECT_EQ(d.GetYear(), -1);
    EXPECT_EQ(d.Format(L"%Y"), L"Invalid DateTime");
    EXPECT_EQ(d.Format(), L"Invalid DateTime");
    EXPECT_EQ(d.SetDate(99, 1, 1), 1);
    EXPECT_EQ(d.SetDate(10000, 1, 1), 1);
    EXPECT_EQ(d.SetDateTime(2024, 1, 1, 0, 0, 60), 1);
    EXPECT_EQ(d.SetDate(2024, 2, 29), 0);
    EXPECT_EQ(d.GetStatus(), COleDateTime::valid);
    EXPECT_EQ(d.SetTime(6, 30, 0), 0);
    EXPECT_DOUBLE_EQ(d.m_dt, 0.25 + 0.5 / 24);
}

TEST(COleDateTimeTest, NullValueFormatsAsEmpty)
{
    COleDateTime d;
    d.SetStatus(COleDateTime::null);
    EXPECT_EQ(d.Format(), L"");
    EXPECT_EQ(d.Format(L"%Y"), L"");
}

TEST(COleDateTimeTest, ArithmeticIsLinearAcrossDayZero)
{
    COleDateTime a(1899, 12, 30, 3, 0, 0);
    COleDateTime b = a - COleDateTimeSpan(0, 6, 0, 0);
    EXPECT_EQ(Text(b), "1899-12-29 21:00:00");
    EXPECT_NEAR((a - b).GetTotalHours(), 6.0, 1e-9);
    EXPECT_LT(b, a);
    // -1.25 (06:00) is earlier than -1.75 (18:00) on the same day.
    COleDateTime morning(-1.25), evening(-1.75);
    EXPECT_LT(morning, evening);
    EXPECT_GT(evening, morning);
    EXPECT_NEAR((evening - morning).GetTotalHours(), 12.0, 1e-9);
    EXPECT_EQ(Text(morning + COleDateTimeSpan(1, 0, 0, 0)), "1899-12-30 06:00:00");
}

TEST(COleDateTimeTest, SpansAcrossMonthEndsAndLeapDays)
{
    COleDateTime d(2024, 2, 28, 23, 0, 0);
    d += COleDateTimeSpan(0, 2, 0, 0);
    EXPECT_EQ(Text(d), "2024-02-29 01:00:00");
    d += COleDateTimeSpan(1.0);
    EXPECT_EQ(Text(d), "2024-03-01 01:00:00");
    d -= COleDateTimeSpan(366, 0, 0, 0);
    EXPECT_EQ(Text(d), "2023-03-01 01:00:00");
    EXPECT_EQ(Text(COleDateTime(9999, 12, 31, 0, 0, 0) + COleDateTimeSpan(1.0)), "Invalid DateTime");
}

TEST(COleDateTimeTest, InvalidOperandsGiveInvalidResults)
{
    COleDateTime bad;
    bad.SetStatus(COleDateTime::invalid);
    COleDateTime good(2024, 1, 1, 0, 0, 0);
    EXPECT_EQ((bad + COleDateTimeSpan(1.0)).GetStatus(), COleDateTime::invalid);
    EXPECT_EQ((good - bad).GetStatus(), COleDateTimeSpan::invalid);
    COleDateTimeSpan badSpan(1.0);
    badSpan.SetStatus(COleDateTimeSpan::invalid);
    EXPECT_EQ((good + badSpan).GetStatus(), COleDateTime::invalid);
}

TEST(COleDateTimeSpanTest, PartsRoundToTheSecond)
{
    struct Row {
        COleDateTimeSpan span;
        LONG days, hours, minutes, seconds;
    } rows[] = {
        {COleDateTimeSpan(1, 2, 3, 4), 1, 2, 3, 4},
        {COleDateTimeSpan(1.0 / 3), 0, 8, 0, 0},
        {COleDateTimeSpan(0, 0, 0, 59), 0, 0, 0, 59},
        {COleDateTimeSpan(2.0 - 1e-9), 2, 0, 0, 0},
        {COleDateTimeSpan(-1, -12, 0, 0), -1, -12, 0, 0},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(r.span.GetDays(), r.days) << r.span.m_span;
        EXPECT_EQ(r.span.GetHours(), r.hours) << r.span.m_span;
        EXPECT_EQ(r.span.GetMinutes(), r.minutes) << r.span.m_span;
        EXPECT_EQ(r.span.GetSeconds(), r.seconds) << r.span.m_span;
    }
    COleDateTimeSpan s(1, 12, 0, 0);
    EXPECT_DOUBLE_EQ(s.GetTotalDays(), 1.5);
    EXPECT_DOUBLE_EQ(s.GetTotalHours(), 36.0);
    EXPECT_DOUBLE_EQ(s.GetTotalMinutes(), 2160.0);
    EXPECT_DOUBLE_EQ(s.GetTotalSeconds(), 129600.0);
}

TEST(COleDateTimeTest, LocaleFormatParsesBackToTheSameSecond)
{
    COleDateTime samples[] = {
        COleDateTime(2024, 2, 29, 13, 45, 30),
        COleDateTime(1999, 12, 31, 0, 0, 1),
        COleDateTime(2038, 1, 19, 3, 14, 8),
    };
    for (const COleDateTime& d : samples) {
        CString text = d.Format();
        COleDateTime parsed;
        ASSERT_TRUE(parsed.ParseDateTime(text)) << CStringA(text).GetString();
        EXPECT_EQ(Text(parsed), Text(d)) << CStringA(text).GetString();

        CString dateOnly = d.Format(VAR_DATEVALUEONLY);
        ASSERT_TRUE(parsed.ParseDateTime(dateOnly, VAR_DATEVALUEONLY)) << CStringA(dateOnly).GetString();
        EXPECT_EQ(parsed.GetDay(), d.GetDay());
        EXPECT_EQ(parsed.GetHour(), 0);
    }
}

TEST(COleDateTimeTest, UnparsableTextLeavesAnInvalidValue)
{
    for (const wchar_t* text : {L"", L"not a date", L"2024-13-45"}) {
        COleDateTime d(2024, 1, 1, 0, 0, 0);
        EXPECT_FALSE(d.ParseDateTime(text)) << CStringA(text).GetString();
        EXPECT_EQ(d.GetStatus(), COleDateTime::invalid) << CStringA(text).GetString();
    }
    COleDateTime d;
    EXPECT_FALSE(d.ParseDateTime(nullptr));
}

TEST(COleDateTimeTest, AgreesWithCTimeOnTheSameInstant)
{
    CTime t(2021, 7, 4, 8, 9, 10);
    COleDateTime fromSeconds(t.GetTime());
    EXPECT_EQ(Text(fromSeconds), Text(t));
    FILETIME ft;
    ASSERT_TRUE(t.GetAsFileTime(ft));
    EXPECT_EQ(Text(COleDateTime(ft)), Text(t));
}

TEST(COleDateTimeTest, CurrentTimeIsTodayInLocalTime)
{
    SYSTEMTIME before, after;
    GetLocalTime(&before);
    COleDateTime now = COleDateTime::GetCurrentTime();
    GetLocalTime(&after);
    EXPECT_LE(COleDateTime(before), now);
    EXPECT_LE(now, COleDateTime(after));
}

}

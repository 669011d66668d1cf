// When a schedule made in the policy editor first runs: one row per case, from a fixed "now".
#include "BackupPolicyDlg.h"
#include <gtest/gtest.h>

namespace {

SYSTEMTIME At(int y, int mo, int d, int h, int mi, int s)
{
    SYSTEMTIME t = {};
    t.wYear = static_cast<WORD>(y);
    t.wMonth = static_cast<WORD>(mo);
    t.wDay = static_cast<WORD>(d);
    t.wHour = static_cast<WORD>(h);
    t.wMinute = static_cast<WORD>(mi);
    t.wSecond = static_cast<WORD>(s);
    return t;   // wDayOfWeek left 0: the rule must not trust it
}

std::string Narrow(const CString& text)
{
    std::string out;
    for (int i = 0; i < text.GetLength(); ++i)
        out += static_cast<char>(text[i]);
    return out;
}

TEST(BackupPolicySchedule, TheFirstRunFollowsTheKindTheDayAndTheTimeOfDay)
{
    const SYSTEMTIME wednesday = At(2026, 12, 9, 10, 0, 0);   // a Wednesday
    const struct Row {
        const char* what;
        SYSTEMTIME now;
        int kind;
        const wchar_t* date;
        int weekday;
        int monthDay;
        const wchar_t* time;
        const char* expected;
    } rows[] = {
        {"once: the date and the time as chosen", wednesday, 0, L"2026-12-20", -1, 1, L"09:30:00", "2026-12-20 09:30:00"},
        {"daily, later today", wednesday, 1, L"", -1, 1, L"11:00:00", "2026-12-09 11:00:00"},
        {"daily, time passed: tomorrow", wednesday, 1, L"", -1, 1, L"09:00:00", "2026-12-10 09:00:00"},
        {"daily, exactly now: tomorrow", wednesday, 1, L"", -1, 1, L"10:00:00", "2026-12-10 10:00:00"},
        {"daily over the new year", At(2026, 12, 31, 23, 0, 0), 1, L"", -1, 1, L"22:00:00", "2027-01-01 22:00:00"},
        {"weekly, Monday from a Wednesday: five days", wednesday, 2, L"", 1, 1, L"09:00:00", "2026-12-14 09:00:00"},
        {"weekly, Friday from a Wednesday", wednesday, 2, L"", 5, 1, L"09:00:00", "2026-12-11 09:00:00"},
        {"weekly, today later", wednesday, 2, L"", 3, 1, L"11:00:00", "2026-12-09 11:00:00"},
        {"weekly, today passed: a week on", wednesday, 2, L"", 3, 1, L"09:00:00", "2026-12-16 09:00:00"},
        {"weekly, Sunday from a Wednesday", wednesday, 2, L"", 0, 1, L"09:00:00", "2026-12-13 09:00:00"},
        {"monthly, later this month", wednesday, 3, L"", -1, 20, L"09:00:00", "2026-12-20 09:00:00"},
        {"monthly, today later", wednesday, 3, L"", -1, 9, L"11:00:00", "2026-12-09 11:00:00"},
        {"monthly, today passed: next month (next year)", wednesday, 3, L"", -1, 9, L"09:00:00", "2027-01-09 09:00:00"},
        {"monthly, day gone this month", wednesday, 3, L"", -1, 5, L"09:00:00", "2027-01-05 09:00:00"},
        {"monthly on the 31st in February: its last day", At(2027, 2, 10, 8, 0, 0), 3, L"", -1, 31, L"09:00:00", "2027-02-28 09:00:00"},
        {"monthly on the 30th in a leap February", At(2028, 2, 1, 8, 0, 0), 3, L"", -1, 30, L"09:00:00", "2028-02-29 09:00:00"},
        {"monthly on the 29th, next month is February", At(2027, 1, 30, 8, 0, 0), 3, L"", -1, 29, L"09:00:00", "2027-02-28 09:00:00"},
        {"monthly on the 31st, April 30 passed: May 31", At(2027, 4, 30, 10, 0, 0), 3, L"", -1, 31, L"09:00:00", "2027-05-31 09:00:00"},
        {"monthly on the 31st, April 30 later today", At(2027, 4, 30, 8, 0, 0), 3, L"", -1, 31, L"09:00:00", "2027-04-30 09:00:00"},
        {"an unreadable time", wednesday, 1, L"", -1, 1, L"25:00:00", ""},
        {"an unknown kind", wednesday, 5, L"", -1, 1, L"09:00:00", ""},
        {"a weekday out of range", wednesday, 2, L"", 7, 1, L"09:00:00", ""},
        {"once without a date", wednesday, 0, L"", -1, 1, L"09:00:00", ""},
    };
    for (const Row& row : rows) {
        const CString next = CBackupPolicyDlg::NextRunTime(row.kind, row.date, row.weekday, row.monthDay, row.time, row.now);
        EXPECT_EQ(row.expected, Narrow(next)) << row.what;
    }
}

} // namespace

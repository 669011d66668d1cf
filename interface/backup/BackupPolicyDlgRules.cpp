// The schedule arithmetic of the backup policy editor: when a new schedule first runs.
#include "BackupPolicyDlg.h"
#include "DateTime.h"
#include <cwchar>

namespace {

int DaysInMonth(int year, int month)
{
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : days[month - 1];
}

bool ParseTimeOfDay(const CString& text, int& hour, int& minute, int& second)
{
    wchar_t tail = 0;
    if (swscanf(text.GetString(), L"%d:%d:%d%lc", &hour, &minute, &second, &tail) != 3)
        return false;
    return hour >= 0 && hour < 24 && minute >= 0 && minute < 60 && second >= 0 && second < 60;
}

// Day `day` of the month at the time of day, the day cut to the month's length: a monthly run
// on the 31st falls on the 30th in April and on the 28th or 29th in February.
COleDateTime DayOfMonthAt(int year, int month, int day, int hour, int minute, int second)
{
    const int last = DaysInMonth(year, month);
    COleDateTime at;
    at.SetDateTime(year, month, day < last ? day : last, hour, minute, second);
    return at;
}

} // namespace

CString CBackupPolicyDlg::NextRunTime(int kind, const CString& date, int weekday, int monthDay, const CString& time,
                                      const SYSTEMTIME& now)
{
    int hour = 0, minute = 0, second = 0;
    if (!ParseTimeOfDay(time, hour, minute, second))
        return CString();
    if (kind == 0) {
        if (date.IsEmpty())
            return CString();
        CString next;
        next.Format(L"%s %s", date.GetString(), time.GetString());
        return next;
    }
    const COleDateTime current(now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond);
    COleDateTime todayAt(now.wYear, now.wMonth, now.wDay, hour, minute, second);
    if (current.GetStatus() != COleDateTime::valid || todayAt.GetStatus() != COleDateTime::valid)
        return CString();
    const bool laterToday = todayAt > current;
    COleDateTime next;
    switch (kind) {
    case 1:
        next = laterToday ? todayAt : todayAt + COleDateTimeSpan(1, 0, 0, 0);
        break;
    case 2: {
        if (weekday < 0 || weekday > 6)
            return CString();
        // From the date itself: a caller's wDayOfWeek may be left 0.
        const int today = current.GetDayOfWeek() - 1;
        int ahead = weekday - today;
        if (ahead < 0 || (ahead == 0 && !laterToday))
            ahead += 7;
        next = todayAt + COleDateTimeSpan(ahead, 0, 0, 0);
        break;
    }
    case 3: {
        if (monthDay < 1 || monthDay > 31)
            return CString();
        const COleDateTime thisMonth = DayOfMonthAt(now.wYear, now.wMonth, monthDay, hour, minute, second);
        const int day = thisMonth.GetDay();
        if (now.wDay < day || (now.wDay == day && laterToday)) {
            next = thisMonth;
        } else {
            const int month = now.wMonth == 12 ? 1 : now.wMonth + 1;
            const int year = now.wMonth == 12 ? now.wYear + 1 : now.wYear;
            next = DayOfMonthAt(year, month, monthDay, hour, minute, second);
        }
        break;
    }
    default:
        return CString();
    }
    if (next.GetStatus() != COleDateTime::valid)
        return CString();
    return next.Format(L"%Y-%m-%d %H:%M:%S");
}

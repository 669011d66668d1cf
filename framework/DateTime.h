// Points in time and spans: CTime (seconds since 1970, UTC, shown in local time), CTimeSpan,
// COleDateTime (the OLE DATE: days since 1899-12-30, local time) and COleDateTimeSpan, plus
// calendar helpers for schedules that add days and months.
//
// Format(pattern) understands %Y %y %m %d %j %H %I %M %S %p %A %a %B %b %w %c %x %X %%, with
// a '#' after the '%' dropping leading zeros (%#d). Names are English, as the C runtime's
// default locale gives them. COleDateTime::Format() without a pattern and ParseDateTime use
// the user's locale through OLE Automation.
#pragma once
#include "FrameworkApi.h"
#include "Strings.h"
#include <windows.h>
#include <oleauto.h>
#include <cstdint>

// winbase.h still maps this old name to GetTickCount; here it is CTime's and COleDateTime's.
#ifdef GetCurrentTime
#undef GetCurrentTime
#endif

class FW_API CTimeSpan {
public:
    CTimeSpan() : m_span(0) {}
    CTimeSpan(int64_t seconds) : m_span(seconds) {}
    CTimeSpan(LONG days, int hours, int minutes, int seconds);

    int64_t GetDays() const { return m_span / 86400; }
    int64_t GetTotalHours() const { return m_span / 3600; }
    int64_t GetTotalMinutes() const { return m_span / 60; }
    int64_t GetTotalSeconds() const { return m_span; }
    // The parts left over after whole days, hours, minutes (negative for a negative span).
    LONG GetHours() const { return LONG(GetTotalHours() - GetDays() * 24); }
    LONG GetMinutes() const { return LONG(GetTotalMinutes() - GetTotalHours() * 60); }
    LONG GetSeconds() const { return LONG(m_span - GetTotalMinutes() * 60); }
    int64_t GetTimeSpan() const { return m_span; }

    // %D days, %H %M %S parts with two digits, %%.
    CString Format(LPCTSTR pattern) const;

    CTimeSpan operator+(CTimeSpan s) const { return CTimeSpan(m_span + s.m_span); }
    CTimeSpan operator-(CTimeSpan s) const { return CTimeSpan(m_span - s.m_span); }
    CTimeSpan operator-() const { return CTimeSpan(-m_span); }
    CTimeSpan& operator+=(CTimeSpan s) { m_span += s.m_span; return *this; }
    CTimeSpan& operator-=(CTimeSpan s) { m_span -= s.m_span; return *this; }
    bool operator==(CTimeSpan s) const { return m_span == s.m_span; }
    bool operator!=(CTimeSpan s) const { return m_span != s.m_span; }
    bool operator<(CTimeSpan s) const { return m_span < s.m_span; }
    bool operator>(CTimeSpan s) const { return m_span > s.m_span; }
    bool operator<=(CTimeSpan s) const { return m_span <= s.m_span; }
    bool operator>=(CTimeSpan s) const { return m_span >= s.m_span; }

private:
    int64_t m_span;
};

class FW_API CTime {
public:
    CTime() : m_time(0) {}
    CTime(int64_t time) : m_time(time) {}
    // Local calendar time; invalid fields give the time -1. dst is accepted for old callers:
    // the system's time zone rules decide.
    CTime(int year, int month, int day, int hour, int minute, int second, int dst = -1);
    CTime(const SYSTEMTIME& localTime, int dst = -1);
    CTime(const FILETIME& utcTime, int dst = -1); // a file time is UTC

    static CTime GetCurrentTime();

    int64_t GetTime() const { return m_time; }
    // Local calendar parts; GetDayOfWeek is 1 for Sunday.
    int GetYear() const;
    int GetMonth() const;
    int GetDay() const;
    int GetHour() const;
    int GetMinute() const;
    int GetSecond() const;
    int GetDayOfWeek() const;
    bool GetAsSystemTime(SYSTEMTIME& localTime) const;
    bool GetAsFileTime(FILETIME& utcTime) const;

    CString Format(LPCTSTR pattern) const;    // local time
    CString FormatGmt(LPCTSTR pattern) const; // UTC

    CTime operator+(CTimeSpan s) const { return CTime(m_time + s.GetTimeSpan()); }
    CTime operator-(CTimeSpan s) const { return CTime(m_time - s.GetTimeSpan()); }
    CTimeSpan operator-(CTime t) const { return CTimeSpan(m_time - t.m_time); }
    CTime& operator+=(CTimeSpan s) { m_time += s.GetTimeSpan(); return *this; }
    CTime& operator-=(CTimeSpan s) { m_time -= s.GetTimeSpan(); return *this; }
    bool operator==(CTime t) const { return m_time == t.m_time; }
    bool operator!=(CTime t) const { return m_time != t.m_time; }
    bool operator<(CTime t) const { return m_time < t.m_time; }
    bool operator>(CTime t) const { return m_time > t.m_time; }
    bool operator<=(CTime t) const { return m_time <= t.m_time; }
    bool operator>=(CTime t) const { return m_time >= t.m_time; }

private:
    bool GetLocal(SYSTEMTIME& st) const;
    int64_t m_time;
};

class FW_API COleDateTimeSpan {
public:
    enum DateTimeSpanStatus { valid = 0, invalid = 1, null = 2 };

    COleDateTimeSpan() : m_span(0), m_status(valid) {}
    COleDateTimeSpan(double days) : m_span(days), m_status(valid) {}
    COleDateTimeSpan(LONG days, int hours, int minutes, int seconds);
    void SetDateTimeSpan(LONG days, int hours, int minutes, int seconds);

    double GetTotalDays() const { return m_span; }
    double GetTotalHours() const { return m_span * 24; }
    double GetTotalMinutes() const { return m_span * 24 * 60; }
    double GetTotalSeconds() const { return m_span * 24 * 60 * 60; }
    // Whole days and the leftover parts, from the span rounded to the second.
    LONG GetDays() const;
    LONG GetHours() const;
    LONG GetMinutes() const;
    LONG GetSeconds() const;

    DateTimeSpanStatus GetStatus() const { return m_status; }
    void SetStatus(DateTimeSpanStatus status) { m_status = status; }
    operator double() const { return m_span; }

    COleDateTimeSpan operator+(const COleDateTimeSpan& s) const;
    COleDateTimeSpan operator-(const COleDateTimeSpan& s) const;
    COleDateTimeSpan operator-() const;
    bool operator==(const COleDateTimeSpan& s) const { return m_status == s.m_status && m_span == s.m_span; }
    bool operator!=(const COleDateTimeSpan& s) const { return !(*this == s); }
    bool operator<(const COleDateTimeSpan& s) const { return m_span < s.m_span; }
    bool operator>(const COleDateTimeSpan& s) const { return m_span > s.m_span; }
    bool operator<=(const COleDateTimeSpan& s) const { return m_span <= s.m_span; }
    bool operator>=(const COleDateTimeSpan& s) const { return m_span >= s.m_span; }

    double m_span;
    DateTimeSpanStatus m_status;

private:
    int64_t RoundedSeconds() const;
};

class FW_API COleDateTime {
public:
    enum DateTimeStatus { valid = 0, invalid = 1, null = 2 };

    COleDateTime() : m_dt(0), m_status(valid) {}
    COleDateTime(DATE date) : m_dt(date), m_status(valid) {}
    COleDateTime(int year, int month, int day, int hour, int minute, int second);
    COleDateTime(const SYSTEMTIME& time);
    COleDateTime(const FILETIME& utcTime); // shown in local time, as everything here
    explicit COleDateTime(int64_t time);   // seconds since 1970 UTC (time_t), in local time

    static COleDateTime GetCurrentTime();

    // 0 on success, 1 with the status invalid when a field is out of range (year 100-9999).
    int SetDateTime(int year, int month, int day, int hour, int minute, int second);
    int SetDate(int year, int month, int day);
    int SetTime(int hour, int minute, int second);

    DateTimeStatus GetStatus() const { return m_status; }
    void SetStatus(DateTimeStatus status) { m_status = status; }

    // -1 when the value is not valid. GetDayOfWeek is 1 for Sunday; GetDayOfYear 1 for 1 January.
    int GetYear() const;
    int GetMonth() const;
    int GetDay() const;
    int GetHour() const;
    int GetMinute() const;
    int GetSecond() const;
    int GetDayOfWeek() const;
    int GetDayOfYear() const;
    bool GetAsSystemTime(SYSTEMTIME& time) const;

    // The user's locale format (VarBstrFromDate flags such as VAR_DATEVALUEONLY); empty when
    // null, "Invalid DateTime" when invalid.
    CString Format(DWORD flags = 0, LCID locale = LOCALE_USER_DEFAULT) const;
    CString Format(LPCTSTR pattern) const;
    // Sets the value from text in the user's locale; on failure the status becomes invalid.
    bool ParseDateTime(LPCTSTR text, DWORD flags = 0, LCID locale = LOCALE_USER_DEFAULT);

    operator DATE() const { return m_dt; }

    COleDateTime operator+(const COleDateTimeSpan& s) const;
    COleDateTime operator-(const COleDateTimeSpan& s) const;
    COleDateTime& operator+=(const COleDateTimeSpan& s) { return *this = *this + s; }
    COleDateTime& operator-=(const COleDateTimeSpan& s) { return *this = *this - s; }
    COleDateTimeSpan operator-(const COleDateTime& t) const;
    // Compared in time order (the DATE value itself is not ordered before 1899-12-30).
    bool operator==(const COleDateTime& t) const;
    bool operator!=(const COleDateTime& t) const { return !(*this == t); }
    bool operator<(const COleDateTime& t) const;
    bool operator>(const COleDateTime& t) const { return t < *this; }
    bool operator<=(const COleDateTime& t) const { return !(t < *this); }
    bool operator>=(const COleDateTime& t) const { return !(*this < t); }

    DATE m_dt;
    DateTimeStatus m_status;

private:
    bool Parts(SYSTEMTIME& st) const;
};

FW_API bool IsLeapYear(int year);
FW_API int DaysInMonth(int year, int month); // 0 for a month outside 1-12

// The same day and time some months later (earlier when negative); a day past the end of the
// target month becomes its last day: 31 January + 1 month is 28 or 29 February.
FW_API COleDateTime AddMonths(const COleDateTime& from, int months);
FW_API CTime AddMonths(const CTime& from, int months);

// Points in time and spans: calendar arithmetic, local-time conversion and formatting.
#include "DateTime.h"
#include <algorithm>
#include <cmath>

namespace {

const int64_t kFileTimeOf1970 = 116444736000000000LL; // 100 ns ticks from 1601 to 1970
const int64_t kTicksPerSecond = 10000000;
const int64_t kSecondsPerDay = 86400;
const int64_t kDaysFrom1970ToOleZero = -25569; // 1899-12-30
const double kOleMin = -657434.0;              // 0100-01-01
const double kOleMax = 2958465.99999;          // 9999-12-31 23:59:59

int64_t FloorDiv(int64_t a, int64_t b)
{
    int64_t q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

// Days since 1970-01-01 in the proleptic Gregorian calendar. Years are counted from March so
// that the leap day ends a year, and in 400-year eras of 146097 days.
int64_t DaysFromCivil(int64_t year, int month, int day)
{
    year -= month <= 2 ? 1 : 0;
    int64_t era = FloorDiv(year, 400);
    int64_t yearOfEra = year - era * 400;
    int monthFromMarch = month > 2 ? month - 3 : month + 9;
    int64_t dayOfYear = (153 * monthFromMarch + 2) / 5 + day - 1;
    int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

void CivilFromDays(int64_t days, int& year, int& month, int& day)
{
    days += 719468;
    int64_t era = FloorDiv(days, 146097);
    int64_t dayOfEra = days - era * 146097;
    int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    int64_t monthFromMarch = (5 * dayOfYear + 2) / 153;
    day = int(dayOfYear - (153 * monthFromMarch + 2) / 5 + 1);
    month = int(monthFromMarch < 10 ? monthFromMarch + 3 : monthFromMarch - 9);
    year = int(yearOfEra + era * 400 + (month <= 2 ? 1 : 0));
}

// The calendar fields every formatter works from.
struct Fields {
    int year, month, day, hour, minute, second;
    int dayOfWeek; // 0 = Sunday
    int dayOfYear; // 1 = 1 January
};

Fields PartsOf(int year, int month, int day, int hour, int minute, int second)
{
    int64_t days = DaysFromCivil(year, month, day);
    Fields p = {year, month, day, hour, minute, second, 0, 0};
    p.dayOfWeek = int(days + 4 - FloorDiv(days + 4, 7) * 7); // 1970-01-01 was a Thursday
    p.dayOfYear = int(days - DaysFromCivil(year, 1, 1) + 1);
    return p;
}

Fields PartsOf(const SYSTEMTIME& st)
{
    return PartsOf(st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond);
}

bool ValidFields(int year, int month, int day, int hour, int minute, int second)
{
    return month >= 1 && month <= 12 && day >= 1 && day <= DaysInMonth(year, month) && hour >= 0 &&
           hour <= 23 && minute >= 0 && minute <= 59 && second >= 0 && second <= 59;
}

const wchar_t* const kDayNames[] = {L"Sunday", L"Monday", L"Tuesday", L"Wednesday",
                                    L"Thursday", L"Friday", L"Saturday"};
const wchar_t* const kMonthNames[] = {L"January", L"February", L"March", L"April",
                                      L"May", L"June", L"July", L"August",
                                      L"September", L"October", L"November", L"December"};

void AppendNumber(CString& out, int value, int width, bool noPad)
{
    if (noPad)
        out.AppendFormat(L"%d", value);
    else
        out.AppendFormat(L"%0*d", width, value);
}

CString FormatParts(LPCTSTR pattern, const Fields& p)
{
    CString out;
    if (!pattern)
        return out;
    for (const wchar_t* c = pattern; *c; ++c) {
        if (*c != L'%') {
            out += *c;
            continue;
        }
        bool noPad = c[1] == L'#';
        if (noPad)
            ++c;
        if (!c[1])
            break;
        switch (*++c) {
        case L'Y': AppendNumber(out, p.year, 1, true); break;
        case L'y': AppendNumber(out, p.year % 100, 2, noPad); break;
        case L'm': AppendNumber(out, p.month, 2, noPad); break;
        case L'd': AppendNumber(out, p.day, 2, noPad); break;
        case L'j': AppendNumber(out, p.dayOfYear, 3, noPad); break;
        case L'H': AppendNumber(out, p.hour, 2, noPad); break;
        case L'I': AppendNumber(out, (p.hour + 11) % 12 + 1, 2, noPad); break;
        case L'M': AppendNumber(out, p.minute, 2, noPad); break;
        case L'S': AppendNumber(out, p.second, 2, noPad); break;
        case L'w': AppendNumber(out, p.dayOfWeek, 1, true); break;
        case L'p': out += p.hour < 12 ? L"AM" : L"PM"; break;
        case L'A': out += kDayNames[p.dayOfWeek]; break;
        case L'a': out.Append(kDayNames[p.dayOfWeek], 3); break;
        case L'B': out += kMonthNames[p.month - 1]; break;
        case L'b': out.Append(kMonthNames[p.month - 1], 3); break;
        case L'c': out += FormatParts(L"%m/%d/%y %H:%M:%S", p); break;
        case L'x': out += FormatParts(L"%m/%d/%y", p); break;
        case L'X': out += FormatParts(L"%H:%M:%S", p); break;
        case L'%': out += L'%'; break;
        default:
            // Unknown: kept as written, so a mistake shows in the output.
            out += L'%';
            out += *c;
            break;
        }
    }
    return out;
}

bool TimeToUtc(int64_t time, SYSTEMTIME& utc)
{
    // FileTimeToSystemTime takes file times from 1601 up to year 30827.
    if (time < -kFileTimeOf1970 / kTicksPerSecond || time > 910692730085LL)
        return false;
    ULARGE_INTEGER ticks;
    ticks.QuadPart = ULONGLONG(time * kTicksPerSecond + kFileTimeOf1970);
    FILETIME ft;
    ft.dwLowDateTime = ticks.LowPart;
    ft.dwHighDateTime = ticks.HighPart;
    return FileTimeToSystemTime(&ft, &utc) != FALSE;
}

int64_t FileTimeToTime(const FILETIME& ft)
{
    ULARGE_INTEGER ticks;
    ticks.LowPart = ft.dwLowDateTime;
    ticks.HighPart = ft.dwHighDateTime;
    return FloorDiv(int64_t(ticks.QuadPart) - kFileTimeOf1970, kTicksPerSecond);
}

// A local calendar time as seconds since 1970, or -1.
int64_t LocalFieldsToTime(int year, int month, int day, int hour, int minute, int second)
{
    if (year < 1601 || year > 30827 || !ValidFields(year, month, day, hour, minute, second))
        return -1;
    SYSTEMTIME local = {};
    local.wYear = WORD(year);
    local.wMonth = WORD(month);
    local.wDay = WORD(day);
    local.wHour = WORD(hour);
    local.wMinute = WORD(minute);
    local.wSecond = WORD(second);
    SYSTEMTIME utc;
    FILETIME ft;
    if (!TzSpecificLocalTimeToSystemTime(nullptr, &local, &utc) || !SystemTimeToFileTime(&utc, &ft))
        return -1;
    return FileTimeToTime(ft);
}

// The DATE value is not linear before day 0: -1.25 is 06:00 on 1899-12-29, a quarter day
// *after* the start of day -1. Arithmetic and ordering work on the linear value instead.
double ToLinear(DATE date)
{
    if (date >= 0)
        return date;
    double whole = std::ceil(date);
    return whole + (whole - date);
}

DATE FromLinear(double linear)
{
    if (linear >= 0)
        return linear;
    double whole = std::floor(linear);
    return whole - (linear - whole);
}

bool InOleRange(DATE date) { return date >= kOleMin && date <= kOleMax; }

}

// ---- calendar helpers ----

bool IsLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month)
{
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12)
        return 0;
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

namespace {

void ShiftMonths(int& year, int& month, int& day, int months)
{
    int64_t total = int64_t(year) * 12 + (month - 1) + months;
    year = int(FloorDiv(total, 12));
    month = int(total - int64_t(year) * 12 + 1);
    day = std::min(day, DaysInMonth(year, month));
}

}

COleDateTime AddMonths(const COleDateTime& from, int months)
{
    SYSTEMTIME st;
    if (!from.GetAsSystemTime(st))
        return from;
    int year = st.wYear, month = st.wMonth, day = st.wDay;
    ShiftMonths(year, month, day, months);
    return COleDateTime(year, month, day, st.wHour, st.wMinute, st.wSecond);
}

CTime AddMonths(const CTime& from, int months)
{
    SYSTEMTIME st;
    if (!from.GetAsSystemTime(st))
        return from;
    int year = st.wYear, month = st.wMonth, day = st.wDay;
    ShiftMonths(year, month, day, months);
    return CTime(year, month, day, st.wHour, st.wMinute, st.wSecond);
}

// ---- CTimeSpan ----

CTimeSpan::CTimeSpan(LONG days, int hours, int minutes, int seconds)
    : m_span(int64_t(days) * kSecondsPerDay + int64_t(hours) * 3600 + int64_t(minutes) * 60 + seconds)
{
}

CString CTimeSpan::Format(LPCTSTR pattern) const
{
    CString out;
    if (!pattern)
        return out;
    for (const wchar_t* c = pattern; *c; ++c) {
        if (*c != L'%' || !c[1]) {
            out += *c;
            continue;
        }
        switch (*++c) {
        case L'D': out.AppendFormat(L"%I64d", GetDays()); break;
        case L'H': out.AppendFormat(L"%02ld", GetHours()); break;
        case L'M': out.AppendFormat(L"%02ld", GetMinutes()); break;
        case L'S': out.AppendFormat(L"%02ld", GetSeconds()); break;
        case L'%': out += L'%'; break;
        default:
            out += L'%';
            out += *c;
            break;
        }
    }
    return out;
}

// ---- CTime ----

CTime::CTime(int year, int month, int day, int hour, int minute, int second, int)
    : m_time(LocalFieldsToTime(year, month, day, hour, minute, second))
{
}

CTime::CTime(const SYSTEMTIME& t, int)
    : m_time(LocalFieldsToTime(t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond))
{
}

CTime::CTime(const FILETIME& utcTime, int) : m_time(FileTimeToTime(utcTime)) {}

CTime CTime::GetCurrentTime()
{
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    return CTime(now);
}

bool CTime::GetLocal(SYSTEMTIME& st) const
{
    SYSTEMTIME utc;
    return TimeToUtc(m_time, utc) && SystemTimeToTzSpecificLocalTime(nullptr, &utc, &st);
}

bool CTime::GetAsSystemTime(SYSTEMTIME& localTime) const
{
    return GetLocal(localTime);
}

bool CTime::GetAsFileTime(FILETIME& utcTime) const
{
    SYSTEMTIME utc;
    return TimeToUtc(m_time, utc) && SystemTimeToFileTime(&utc, &utcTime);
}

int CTime::GetYear() const { SYSTEMTIME st; return GetLocal(st) ? st.wYear : -1; }
int CTime::GetMonth() const { SYSTEMTIME st; return GetLocal(st) ? st.wMonth : -1; }
int CTime::GetDay() const { SYSTEMTIME st; return GetLocal(st) ? st.wDay : -1; }
int CTime::GetHour() const { SYSTEMTIME st; return GetLocal(st) ? st.wHour : -1; }
int CTime::GetMinute() const { SYSTEMTIME st; return GetLocal(st) ? st.wMinute : -1; }
int CTime::GetSecond() const { SYSTEMTIME st; return GetLocal(st) ? st.wSecond : -1; }
int CTime::GetDayOfWeek() const { SYSTEMTIME st; return GetLocal(st) ? st.wDayOfWeek + 1 : -1; }

CString CTime::Format(LPCTSTR pattern) const
{
    SYSTEMTIME st;
    return GetLocal(st) ? FormatParts(pattern, PartsOf(st)) : CString();
}

CString CTime::FormatGmt(LPCTSTR pattern) const
{
    SYSTEMTIME st;
    return TimeToUtc(m_time, st) ? FormatParts(pattern, PartsOf(st)) : CString();
}

// ---- COleDateTimeSpan ----

COleDateTimeSpan::COleDateTimeSpan(LONG days, int hours, int minutes, int seconds)
{
    SetDateTimeSpan(days, hours, minutes, seconds);
}

void COleDateTimeSpan::SetDateTimeSpan(LONG days, int hours, int minutes, int seconds)
{
    m_span = days + hours / 24.0 + minutes / 1440.0 + seconds / 86400.0;
    m_status = valid;
}

int64_t COleDateTimeSpan::RoundedSeconds() const
{
    return std::llround(m_span * double(kSecondsPerDay));
}

LONG COleDateTimeSpan::GetDays() const { return LONG(RoundedSeconds() / kSecondsPerDay); }
LONG COleDateTimeSpan::GetHours() const { return LONG(RoundedSeconds() / 3600 % 24); }
LONG COleDateTimeSpan::GetMinutes() const { return LONG(RoundedSeconds() / 60 % 60); }
LONG COleDateTimeSpan::GetSeconds() const { return LONG(RoundedSeconds() % 60); }

COleDateTimeSpan COleDateTimeSpan::operator+(const COleDateTimeSpan& s) const
{
    COleDateTimeSpan r(m_span + s.m_span);
    r.m_status = m_status != valid ? m_status : s.m_status;
    return r;
}

COleDateTimeSpan COleDateTimeSpan::operator-(const COleDateTimeSpan& s) const
{
    COleDateTimeSpan r(m_span - s.m_span);
    r.m_status = m_status != valid ? m_status : s.m_status;
    return r;
}

COleDateTimeSpan COleDateTimeSpan::operator-() const
{
    COleDateTimeSpan r(-m_span);
    r.m_status = m_status;
    return r;
}

// ---- COleDateTime ----

COleDateTime::COleDateTime(int year, int month, int day, int hour, int minute, int second)
{
    SetDateTime(year, month, day, hour, minute, second);
}

COleDateTime::COleDateTime(const SYSTEMTIME& t)
{
    SetDateTime(t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond);
}

COleDateTime::COleDateTime(const FILETIME& utcTime) : m_dt(0), m_status(invalid)
{
    SYSTEMTIME utc, local;
    if (FileTimeToSystemTime(&utcTime, &utc) && SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local))
        *this = COleDateTime(local);
}

COleDateTime::COleDateTime(int64_t time) : m_dt(0), m_status(invalid)
{
    FILETIME ft;
    if (CTime(time).GetAsFileTime(ft))
        *this = COleDateTime(ft);
}

COleDateTime COleDateTime::GetCurrentTime()
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    return COleDateTime(now);
}

int COleDateTime::SetDateTime(int year, int month, int day, int hour, int minute, int second)
{
    if (year < 100 || year > 9999 || !ValidFields(year, month, day, hour, minute, second)) {
        m_dt = 0;
        m_status = invalid;
        return 1;
    }
    int64_t days = DaysFromCivil(year, month, day) - kDaysFrom1970ToOleZero;
    double seconds = hour * 3600.0 + minute * 60.0 + second;
    m_dt = FromLinear(double(days) + seconds / double(kSecondsPerDay));
    m_status = valid;
    return 0;
}

int COleDateTime::SetDate(int year, int month, int day)
{
    return SetDateTime(year, month, day, 0, 0, 0);
}

int COleDateTime::SetTime(int hour, int minute, int second)
{
    return SetDateTime(1899, 12, 30, hour, minute, second);
}

bool COleDateTime::Parts(SYSTEMTIME& st) const
{
    if (m_status != valid || !InOleRange(m_dt))
        return false;
    int64_t seconds = std::llround(ToLinear(m_dt) * double(kSecondsPerDay));
    int64_t days = FloorDiv(seconds, kSecondsPerDay);
    int64_t ofDay = seconds - days * kSecondsPerDay;
    int year, month, day;
    CivilFromDays(days + kDaysFrom1970ToOleZero, year, month, day);
    if (year < 100 || year > 9999)
        return false;
    Fields p = PartsOf(year, month, day, int(ofDay / 3600), int(ofDay / 60 % 60), int(ofDay % 60));
    st = {};
    st.wYear = WORD(p.year);
    st.wMonth = WORD(p.month);
    st.wDay = WORD(p.day);
    st.wDayOfWeek = WORD(p.dayOfWeek);
    st.wHour = WORD(p.hour);
    st.wMinute = WORD(p.minute);
    st.wSecond = WORD(p.second);
    return true;
}

bool COleDateTime::GetAsSystemTime(SYSTEMTIME& time) const
{
    return Parts(time);
}

int COleDateTime::GetYear() const { SYSTEMTIME st; return Parts(st) ? st.wYear : -1; }
int COleDateTime::GetMonth() const { SYSTEMTIME st; return Parts(st) ? st.wMonth : -1; }
int COleDateTime::GetDay() const { SYSTEMTIME st; return Parts(st) ? st.wDay : -1; }
int COleDateTime::GetHour() const { SYSTEMTIME st; return Parts(st) ? st.wHour : -1; }
int COleDateTime::GetMinute() const { SYSTEMTIME st; return Parts(st) ? st.wMinute : -1; }
int COleDateTime::GetSecond() const { SYSTEMTIME st; return Parts(st) ? st.wSecond : -1; }
int COleDateTime::GetDayOfWeek() const { SYSTEMTIME st; return Parts(st) ? st.wDayOfWeek + 1 : -1; }

int COleDateTime::GetDayOfYear() const
{
    SYSTEMTIME st;
    return Parts(st) ? PartsOf(st).dayOfYear : -1;
}

CString COleDateTime::Format(DWORD flags, LCID locale) const
{
    if (m_status == null)
        return CString();
    if (m_status != valid || !InOleRange(m_dt))
        return CString(L"Invalid DateTime");
    BSTR text = nullptr;
    if (FAILED(VarBstrFromDate(m_dt, locale, flags, &text)) || !text)
        return CString(L"Invalid DateTime");
    CString result(text, int(SysStringLen(text)));
    SysFreeString(text);
    return result;
}

CString COleDateTime::Format(LPCTSTR pattern) const
{
    if (m_status == null)
        return CString();
    SYSTEMTIME st;
    if (!Parts(st))
        return CString(L"Invalid DateTime");
    return FormatParts(pattern, PartsOf(st));
}

bool COleDateTime::ParseDateTime(LPCTSTR text, DWORD flags, LCID locale)
{
    DATE date = 0;
    if (!text || !*text || FAILED(VarDateFromStr(const_cast<LPOLESTR>(text), locale, flags, &date)) ||
        !InOleRange(date)) {
        m_dt = 0;
        m_status = invalid;
        return false;
    }
    m_dt = date;
    m_status = valid;
    return true;
}

COleDateTime COleDateTime::operator+(const COleDateTimeSpan& s) const
{
    COleDateTime r(FromLinear(ToLinear(m_dt) + s.m_span));
    if (m_status != valid)
        r.m_status = m_status;
    else if (s.m_status != COleDateTimeSpan::valid || !InOleRange(r.m_dt))
        r.m_status = invalid;
    return r;
}

COleDateTime COleDateTime::operator-(const COleDateTimeSpan& s) const
{
    return *this + (-s);
}

COleDateTimeSpan COleDateTime::operator-(const COleDateTime& t) const
{
    COleDateTimeSpan r(ToLinear(m_dt) - ToLinear(t.m_dt));
    if (m_status != valid || t.m_status != valid)
        r.m_status = COleDateTimeSpan::invalid;
    return r;
}

bool COleDateTime::operator==(const COleDateTime& t) const
{
    return m_status == t.m_status && m_dt == t.m_dt;
}

bool COleDateTime::operator<(const COleDateTime& t) const
{
    return ToLinear(m_dt) < ToLinear(t.m_dt);
}

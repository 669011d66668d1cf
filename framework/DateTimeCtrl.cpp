// Date and time pickers, read and set as SYSTEMTIME, CTime or COleDateTime (local time).
#include "DateTimeCtrl.h"

IMPLEMENT_DYNAMIC(CDateTimeCtrl, CWnd)

namespace {

// The picker keeps no milliseconds and works out the weekday itself.
void Normalise(SYSTEMTIME& time)
{
    time.wMilliseconds = 0;
    time.wDayOfWeek = 0;
}

bool ToSystemTime(const CTime& time, SYSTEMTIME& out)
{
    if (!time.GetAsSystemTime(out))
        return false;
    Normalise(out);
    return true;
}

bool ToSystemTime(const COleDateTime& time, SYSTEMTIME& out)
{
    if (time.GetStatus() != COleDateTime::valid || !time.GetAsSystemTime(out))
        return false;
    Normalise(out);
    return true;
}

} // namespace

DWORD CDateTimeCtrl::GetTime(CTime& time) const
{
    SYSTEMTIME value = {};
    DWORD result = GetTime(&value);
    if (result == GDT_VALID)
        time = CTime(value);
    return result;
}

BOOL CDateTimeCtrl::GetTime(COleDateTime& time) const
{
    SYSTEMTIME value = {};
    DWORD result = GetTime(&value);
    if (result == GDT_VALID) {
        time = COleDateTime(value);
        return time.GetStatus() == COleDateTime::valid;
    }
    time = COleDateTime();
    time.SetStatus(result == GDT_NONE ? COleDateTime::null : COleDateTime::invalid);
    return FALSE;
}

BOOL CDateTimeCtrl::SetTime(const SYSTEMTIME* time)
{
    ASSERT(::IsWindow(m_hWnd));
    if (time == nullptr) {
        // Some implementations refuse GDT_NONE without a structure, although they ignore it.
        SYSTEMTIME ignored = {};
        ::GetLocalTime(&ignored);
        return static_cast<BOOL>(::SendMessage(m_hWnd, DTM_SETSYSTEMTIME, GDT_NONE, reinterpret_cast<LPARAM>(&ignored)));
    }
    SYSTEMTIME value = *time;
    Normalise(value);
    return static_cast<BOOL>(::SendMessage(m_hWnd, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&value)));
}

BOOL CDateTimeCtrl::SetTime(const CTime* time)
{
    if (time == nullptr)
        return SetTime(static_cast<const SYSTEMTIME*>(nullptr));
    SYSTEMTIME value = {};
    return ToSystemTime(*time, value) && SetTime(&value);
}

BOOL CDateTimeCtrl::SetTime(const COleDateTime& time)
{
    if (time.GetStatus() == COleDateTime::null)
        return SetTime(static_cast<const SYSTEMTIME*>(nullptr));
    SYSTEMTIME value = {};
    return ToSystemTime(time, value) && SetTime(&value);
}

BOOL CDateTimeCtrl::SetRange(const CTime* minimum, const CTime* maximum)
{
    ASSERT(::IsWindow(m_hWnd));
    SYSTEMTIME range[2] = {};
    WPARAM flags = 0;
    if (minimum) {
        if (!ToSystemTime(*minimum, range[0]))
            return FALSE;
        flags |= GDTR_MIN;
    }
    if (maximum) {
        if (!ToSystemTime(*maximum, range[1]))
            return FALSE;
        flags |= GDTR_MAX;
    }
    return static_cast<BOOL>(::SendMessage(m_hWnd, DTM_SETRANGE, flags, reinterpret_cast<LPARAM>(range)));
}

BOOL CDateTimeCtrl::SetRange(const COleDateTime* minimum, const COleDateTime* maximum)
{
    ASSERT(::IsWindow(m_hWnd));
    SYSTEMTIME range[2] = {};
    WPARAM flags = 0;
    // A null-status bound means no limit on that side, as a null pointer does.
    if (minimum && minimum->GetStatus() != COleDateTime::null) {
        if (!ToSystemTime(*minimum, range[0]))
            return FALSE;
        flags |= GDTR_MIN;
    }
    if (maximum && maximum->GetStatus() != COleDateTime::null) {
        if (!ToSystemTime(*maximum, range[1]))
            return FALSE;
        flags |= GDTR_MAX;
    }
    return static_cast<BOOL>(::SendMessage(m_hWnd, DTM_SETRANGE, flags, reinterpret_cast<LPARAM>(range)));
}

DWORD CDateTimeCtrl::GetRange(CTime* minimum, CTime* maximum) const
{
    ASSERT(::IsWindow(m_hWnd));
    SYSTEMTIME range[2] = {};
    DWORD flags = static_cast<DWORD>(::SendMessage(m_hWnd, DTM_GETRANGE, 0, reinterpret_cast<LPARAM>(range)));
    if (minimum && (flags & GDTR_MIN))
        *minimum = CTime(range[0]);
    if (maximum && (flags & GDTR_MAX))
        *maximum = CTime(range[1]);
    return flags;
}

DWORD CDateTimeCtrl::GetRange(COleDateTime* minimum, COleDateTime* maximum) const
{
    ASSERT(::IsWindow(m_hWnd));
    SYSTEMTIME range[2] = {};
    DWORD flags = static_cast<DWORD>(::SendMessage(m_hWnd, DTM_GETRANGE, 0, reinterpret_cast<LPARAM>(range)));
    if (minimum) {
        *minimum = COleDateTime(range[0]);
        if (!(flags & GDTR_MIN))
            minimum->SetStatus(COleDateTime::null);
    }
    if (maximum) {
        *maximum = COleDateTime(range[1]);
        if (!(flags & GDTR_MAX))
            maximum->SetStatus(COleDateTime::null);
    }
    return flags;
}

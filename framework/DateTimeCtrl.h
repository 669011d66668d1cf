// Date and time pickers, read and set as SYSTEMTIME, CTime or COleDateTime (local time).
#pragma once
#include "FwAssert.h"
#include "Wnd.h"
#include "DateTime.h"

class FW_API CDateTimeCtrl : public CWnd {
    DECLARE_DYNAMIC(CDateTimeCtrl)
public:
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id)
    {
        return CWnd::Create(DATETIMEPICK_CLASSW, nullptr, style, rect, parent, id);
    }

    // GDT_VALID with the time, or GDT_NONE when a DTS_SHOWNONE picker is unchecked.
    DWORD GetTime(LPSYSTEMTIME time) const { ASSERT(::IsWindow(m_hWnd)); return (DWORD)::SendMessage(m_hWnd, DTM_GETSYSTEMTIME, 0, (LPARAM)time); }
    DWORD GetTime(CTime& time) const;
    // A null or invalid value is reported through the status (null for GDT_NONE); TRUE when
    // the picker holds a time.
    BOOL GetTime(COleDateTime& time) const;
    // Null unchecks a DTS_SHOWNONE picker.
    BOOL SetTime(const SYSTEMTIME* time);
    BOOL SetTime(const CTime* time);
    BOOL SetTime(const CTime& time) { return SetTime(&time); }
    // A null-status value unchecks a DTS_SHOWNONE picker; an invalid one is refused.
    BOOL SetTime(const COleDateTime& time);

    // The display format ("yyyy-MM-dd HH:mm"); null goes back to the style's default.
    BOOL SetFormat(LPCTSTR format) { ASSERT(::IsWindow(m_hWnd)); return (BOOL)::SendMessage(m_hWnd, DTM_SETFORMATW, 0, (LPARAM)format); }
    // Either bound may be null (no limit on that side).
    BOOL SetRange(const CTime* minimum, const CTime* maximum);
    BOOL SetRange(const COleDateTime* minimum, const COleDateTime* maximum);
    // GDTR_MIN / GDTR_MAX tell which bounds were set and filled in.
    DWORD GetRange(CTime* minimum, CTime* maximum) const;
    DWORD GetRange(COleDateTime* minimum, COleDateTime* maximum) const;
    // MCSC_ colour of the drop-down calendar; returns the previous one.
    COLORREF SetMonthCalColor(int which, COLORREF color) { ASSERT(::IsWindow(m_hWnd)); return (COLORREF)::SendMessage(m_hWnd, DTM_SETMCCOLOR, which, color); }
};

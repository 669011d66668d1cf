// Progress bars, with a range, a position and an optional marquee.
#pragma once
#include "FwAssert.h"
#include "Wnd.h"

class FW_API CProgressCtrl : public CWnd {
    DECLARE_DYNAMIC(CProgressCtrl)
public:
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id)
    {
        return CWnd::Create(PROGRESS_CLASSW, nullptr, style, rect, parent, id);
    }

    void SetRange(short lower, short upper) { ASSERT(::IsWindow(m_hWnd)); ::SendMessage(m_hWnd, PBM_SETRANGE, 0, MAKELPARAM(lower, upper)); }
    void SetRange32(int lower, int upper) { ASSERT(::IsWindow(m_hWnd)); ::SendMessage(m_hWnd, PBM_SETRANGE32, lower, upper); }
    void GetRange(int& lower, int& upper) const
    {
        ASSERT(::IsWindow(m_hWnd));
        PBRANGE range = {};
        ::SendMessage(m_hWnd, PBM_GETRANGE, FALSE, (LPARAM)&range);
        lower = range.iLow;
        upper = range.iHigh;
    }
    // Each returns the previous position.
    int SetPos(int pos) { ASSERT(::IsWindow(m_hWnd)); return (int)::SendMessage(m_hWnd, PBM_SETPOS, pos, 0); }
    int OffsetPos(int delta) { ASSERT(::IsWindow(m_hWnd)); return (int)::SendMessage(m_hWnd, PBM_DELTAPOS, delta, 0); }
    int StepIt() { ASSERT(::IsWindow(m_hWnd)); return (int)::SendMessage(m_hWnd, PBM_STEPIT, 0, 0); }
    int GetPos() const { ASSERT(::IsWindow(m_hWnd)); return (int)::SendMessage(m_hWnd, PBM_GETPOS, 0, 0); }
    int SetStep(int step) { ASSERT(::IsWindow(m_hWnd)); return (int)::SendMessage(m_hWnd, PBM_SETSTEP, step, 0); }
    // PBS_MARQUEE bars: animation on or off, interval in milliseconds (0: the default).
    BOOL SetMarquee(BOOL on, int interval) { ASSERT(::IsWindow(m_hWnd)); return (BOOL)::SendMessage(m_hWnd, PBM_SETMARQUEE, on, interval); }
    // Each returns the previous colour; CLR_DEFAULT goes back to the system's.
    COLORREF SetBarColor(COLORREF color) { ASSERT(::IsWindow(m_hWnd)); return (COLORREF)::SendMessage(m_hWnd, PBM_SETBARCOLOR, 0, color); }
    COLORREF SetBkColor(COLORREF color) { ASSERT(::IsWindow(m_hWnd)); return (COLORREF)::SendMessage(m_hWnd, PBM_SETBKCOLOR, 0, color); }
    // PBST_NORMAL, PBST_ERROR or PBST_PAUSED; returns the previous state.
    int SetState(int state) { ASSERT(::IsWindow(m_hWnd)); return (int)::SendMessage(m_hWnd, PBM_SETSTATE, state, 0); }
};

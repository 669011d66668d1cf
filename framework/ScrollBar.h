// CScrollBar: a scroll-bar control, as handed to OnHScroll/OnVScroll.
#pragma once
#include "Wnd.h"

// Adds no state to CWnd: OnHScroll/OnVScroll may hand a temporary CWnd as a CScrollBar.
class FW_API CScrollBar : public CWnd {
    DECLARE_DYNAMIC(CScrollBar)
public:
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
    { return CWnd::Create(L"SCROLLBAR", nullptr, dwStyle, rect, pParentWnd, nID); }
    int GetScrollPos() const { return ::GetScrollPos(m_hWnd, SB_CTL); }
    int SetScrollPos(int nPos, BOOL bRedraw = TRUE) { return ::SetScrollPos(m_hWnd, SB_CTL, nPos, bRedraw); }
    void SetScrollRange(int nMinPos, int nMaxPos, BOOL bRedraw = TRUE)
    { ::SetScrollRange(m_hWnd, SB_CTL, nMinPos, nMaxPos, bRedraw); }
};

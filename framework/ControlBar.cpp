// CControlBar: registration with the frame, layout size, idle updates, tooltips and routing.
#include "ControlBar.h"
#include "ControlBarRoute.h"
#include "FrameWnd.h"
#include "Resources.h"

IMPLEMENT_DYNAMIC(CControlBar, CWnd)

BEGIN_MESSAGE_MAP(CControlBar, CWnd)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_WINDOWPOSCHANGED()
    ON_MESSAGE(WM_IDLEUPDATECMDUI, OnIdleUpdateCmdUI)
END_MESSAGE_MAP()

CControlBar::CControlBar() = default;

CControlBar::~CControlBar()
{
    // The frame may outlive a bar that goes without its window being destroyed first.
    if (m_pDockSite)
        m_pDockSite->RemoveControlBar(this);
}

void CControlBar::SetBarStyle(DWORD dwStyle)
{
    m_dwStyle = dwStyle;
    if (m_hWnd)
        EnableToolTips((m_dwStyle & CBRS_TOOLTIPS) != 0);
}

CFrameWnd* CControlBar::GetDockingFrame() const
{
    return m_pDockSite ? m_pDockSite : GetParentFrame();
}

int CControlBar::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CWnd::OnCreate(lpCreateStruct) == -1)
        return -1;
    EnableToolTips((m_dwStyle & CBRS_TOOLTIPS) != 0);
    if (m_pDockSite == nullptr)
        m_pDockSite = GetParentFrame();
    if (m_pDockSite)
        m_pDockSite->AddControlBar(this);
    return 0;
}

void CControlBar::OnDestroy()
{
    if (CFrameWnd* pFrame = m_pDockSite) {
        m_pDockSite = nullptr;
        pFrame->RemoveControlBar(this);
        // The space the bar had goes back to the others (the frame skips this when it is closing).
        if (pFrame->m_hWnd && (GetStyle() & WS_VISIBLE))
            pFrame->RecalcLayout();
    }
    CWnd::OnDestroy();
}

void CControlBar::OnWindowPosChanged(WINDOWPOS* lpwndpos)
{
    CWnd::OnWindowPosChanged(lpwndpos);
    if ((lpwndpos->flags & (SWP_SHOWWINDOW | SWP_HIDEWINDOW)) && m_pDockSite && m_pDockSite->m_hWnd)
        m_pDockSite->RecalcLayout();
}

CSize CControlBar::CalcFixedLayout(BOOL bStretch, BOOL bHorz)
{
    if (!bStretch)
        return m_sizeDefault;
    return bHorz ? CSize(32767, m_sizeDefault.cy) : CSize(m_sizeDefault.cx, 32767);
}

void CControlBar::OnUpdateCmdUI(CFrameWnd*, BOOL)
{
}

LRESULT CControlBar::OnIdleUpdateCmdUI(WPARAM wParam, LPARAM)
{
    if (IsVisible()) {
        CFrameWnd* pTarget = GetDockingFrame();
        OnUpdateCmdUI(pTarget, (BOOL)wParam);
    }
    return 0;
}

BOOL CControlBar::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (CWnd::OnCommand(wParam, lParam))
        return TRUE;
    return FwRouteCommandToFrame(GetDockingFrame(), wParam, lParam);
}

BOOL CControlBar::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (CWnd::OnNotify(wParam, lParam, pResult))
        return TRUE;
    auto* pNMHDR = (NMHDR*)lParam;
    if ((pNMHDR->code == TTN_NEEDTEXTW || pNMHDR->code == TTN_NEEDTEXTA) && (m_dwStyle & CBRS_TOOLTIPS))
        return ToolTipTextFromResource(pNMHDR);
    return FwRouteNotifyToFrame(GetDockingFrame(), pNMHDR, pResult);
}

BOOL CControlBar::ToolTipTextFromResource(NMHDR* pNMHDR)
{
    auto* pText = (NMTTDISPINFOW*)pNMHDR;
    UINT_PTR id = pNMHDR->idFrom;
    if (pText->uFlags & TTF_IDISHWND)
        id = (UINT_PTR)::GetDlgCtrlID((HWND)id);
    const wchar_t* text = nullptr;
    int length = 0;
    if (id == 0 || id > 0xFFFF || !AfxLoadStringResource((UINT)id, &text, &length))
        return FALSE;
    // "prompt\ntip": the tip is the part after the line break.
    int start = 0;
    while (start < length && text[start] != L'\n')
        ++start;
    if (start < length)
        ++start;
    else
        start = 0;
    m_strTipText = CString(text + start, length - start);
    if (pNMHDR->code == TTN_NEEDTEXTW) {
        pText->lpszText = const_cast<LPWSTR>(m_strTipText.GetString());
    } else {
        auto* pTextA = (NMTTDISPINFOA*)pNMHDR;
        ::WideCharToMultiByte(CP_ACP, 0, m_strTipText, -1, pTextA->szText, (int)sizeof(pTextA->szText), nullptr,
                              nullptr);
        pTextA->szText[sizeof(pTextA->szText) - 1] = 0;
        pTextA->lpszText = pTextA->szText;
    }
    pText->hinst = nullptr;
    return TRUE;
}

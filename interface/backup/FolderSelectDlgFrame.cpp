// CFolderSelectDlg: the skinned frame of its own: no standard frame, a painted border, caption
// band and bottom bar, a rounded window region, moving by the caption band and sizing by the
// bottom-right corner.
#include "FolderSelectDlg.h"
#include "BackupRes.h"
#include "Dc.h"
#include "SkinRes.h"
#include "ToviColorRef.h"

namespace {

const COLORREF kCaptionTop = RGB(84, 141, 222);
const COLORREF kCaptionBottom = RGB(47, 108, 196);
const COLORREF kBody = RGB(255, 255, 255);
const COLORREF kBottomBar = RGB(242, 244, 247);
const COLORREF kBottomLine = RGB(214, 219, 226);
const int kCornerGrip = 10;     // width of the sizing corner
const int kCornerGripHeight = 5;

void Fill(HDC dc, int l, int t, int r, int b, COLORREF colour)
{
    RECT rc = {l, t, r, b};
    SetBkColor(dc, colour);
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rc, nullptr, 0, nullptr);
}

COLORREF Blend(COLORREF a, COLORREF b, int step, int steps)
{
    auto mix = [&](int x, int y) { return x + (y - x) * step / (steps > 1 ? steps - 1 : 1); };
    return RGB(mix(GetRValue(a), GetRValue(b)), mix(GetGValue(a), GetGValue(b)), mix(GetBValue(a), GetBValue(b)));
}

} // namespace

BOOL CFolderSelectDlg::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message == WM_LBUTTONDOWN && (pMsg->hwnd == m_hWnd || ::GetParent(pMsg->hwnd) == m_hWnd)) {
        POINT pt = {static_cast<short>(LOWORD(pMsg->lParam)), static_cast<short>(HIWORD(pMsg->lParam))};
        ::MapWindowPoints(pMsg->hwnd, m_hWnd, &pt, 1);
        CRect client;
        GetClientRect(&client);
        const bool onButton = pMsg->hwnd != m_hWnd && (::SendMessageW(pMsg->hwnd, WM_GETDLGCODE, 0, 0) & DLGC_BUTTON);
        if (pt.y < 26 && !onButton) {
            ReleaseCapture();
            SendMessage(WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(pt.x, pt.y));
            return TRUE;
        }
        if (m_bResizable && pt.x >= client.right - kCornerGrip && pt.y >= client.bottom - kCornerGripHeight) {
            ReleaseCapture();
            SendMessage(WM_NCLBUTTONDOWN, HTBOTTOMRIGHT, MAKELPARAM(pt.x, pt.y));
            return TRUE;
        }
    }
    return CDialog::PreTranslateMessage(pMsg);
}

BOOL CFolderSelectDlg::OnNcActivate(BOOL)
{
    // No standard frame to repaint.
    return TRUE;
}

void CFolderSelectDlg::OnNcCalcSize(BOOL, NCCALCSIZE_PARAMS*)
{
    // The client area is the whole window: the border and caption are painted in it.
}

void CFolderSelectDlg::OnNcPaint() {}

void CFolderSelectDlg::OnSize(UINT nType, int cx, int cy)
{
    CWnd::OnSize(nType, cx, cy);
    if (nType == SIZE_MINIMIZED)
        return;
    HRGN region = CreateRoundRectRgn(0, 0, cx + 1, cy + 1, 7, 7);
    SetWindowRgn(region, TRUE);
    LayoutControls(cx, cy);
    Invalidate(TRUE);
}

void CFolderSelectDlg::LayoutControls(int cx, int cy)
{
    if (!m_tree.GetSafeHwnd())
        return;
    const int inset = 10;
    m_tree.MoveWindow(m_nBorder + inset, m_nCaption + inset, cx - 2 * (m_nBorder + inset),
                      cy - m_nCaption - m_nBottom - 2 * inset);
    CWnd* buttons[] = {&m_btnCancel, &m_btnOk};
    int right = cx - m_nBorder - inset;
    for (CWnd* button : buttons) {
        if (!button->GetSafeHwnd())
            continue;
        CRect rc;
        button->GetWindowRect(&rc);
        const int top = cy - m_nBottom + (m_nBottom - rc.Height()) / 2 - 1;
        button->MoveWindow(right - rc.Width(), top, rc.Width(), rc.Height());
        right -= rc.Width() + 6;
    }
    if (m_btnClose.GetSafeHwnd()) {
        CRect rc;
        m_btnClose.GetWindowRect(&rc);
        m_btnClose.MoveWindow(cx - m_nBorder - rc.Width() - 2, (m_nCaption - rc.Height()) / 2, rc.Width(), rc.Height());
    }
}

BOOL CFolderSelectDlg::OnEraseBkgnd(CDC* pDC)
{
    CRect rc;
    GetClientRect(&rc);
    HDC dc = pDC->GetSafeHdc();
    const int w = rc.Width(), h = rc.Height();
    CToviColorRef colors;
    const COLORREF frame = colors[CToviColorRef::kFrameActive];
    Fill(dc, 0, 0, w, h, frame);
    for (int y = 0; y < m_nCaption; ++y)
        Fill(dc, 1, y + 1, w - 1, y + 2, Blend(kCaptionTop, kCaptionBottom, y, m_nCaption));
    Fill(dc, m_nBorder, m_nCaption, w - m_nBorder, h - m_nBottom, kBody);
    Fill(dc, m_nBorder, h - m_nBottom, w - m_nBorder, h - m_nBottom + 1, kBottomLine);
    Fill(dc, m_nBorder, h - m_nBottom + 1, w - m_nBorder, h - m_nBorder, kBottomBar);

    HGDIOBJ old = m_hTitleFont ? SelectObject(dc, m_hTitleFont) : nullptr;
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(255, 255, 255));
    RECT title = {m_nBorder + 6, 0, w - 40, m_nCaption};
    DrawTextW(dc, m_strTitle.GetString(), -1, &title, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
    if (old)
        SelectObject(dc, old);
    // The sizing corner: three short diagonal strokes.
    if (m_bResizable)
        for (int i = 0; i < 3; ++i)
            Fill(dc, w - m_nBorder - 3 - 3 * i, h - m_nBorder - 2, w - m_nBorder - 1 - 3 * i, h - m_nBorder - 1, kBottomLine);
    return TRUE;
}

void CFolderSelectDlg::OnGetMinMaxInfo(MINMAXINFO* lpMMI)
{
    lpMMI->ptMinTrackSize.x = 360;
    lpMMI->ptMinTrackSize.y = 380;
    MONITORINFO monitor = {sizeof monitor};
    if (GetMonitorInfoW(MonitorFromWindow(m_hWnd, MONITOR_DEFAULTTONEAREST), &monitor)) {
        const RECT& work = monitor.rcWork;
        lpMMI->ptMaxPosition.x = work.left - m_nBorder;
        lpMMI->ptMaxPosition.y = work.top - m_nBorder;
        lpMMI->ptMaxSize.x = work.right - work.left + 2 * m_nBorder;
        lpMMI->ptMaxSize.y = work.bottom - work.top + 2 * m_nBorder;
    }
}

BOOL CFolderSelectDlg::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message)
{
    if (m_bResizable && pWnd == this) {
        POINT pt;
        GetCursorPos(&pt);
        ScreenToClient(&pt);
        CRect client;
        GetClientRect(&client);
        if (pt.x >= client.right - kCornerGrip && pt.y >= client.bottom - kCornerGripHeight) {
            ::SetCursor(LoadCursor(nullptr, IDC_SIZENWSE));
            return TRUE;
        }
    }
    return CWnd::OnSetCursor(pWnd, nHitTest, message);
}

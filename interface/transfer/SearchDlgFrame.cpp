// CSearchDlg: the window's own frame: shape, borders, caption band, layout, and moving and
// sizing by the mouse.
#include "SearchDlg.h"
#include "CaptionPalette.h"
#include "Dc.h"
#include "DownloadRes.h"
#include "SearchMenuDlg.h"
#include "SkinRes.h"
#include "VantelDialog.h"
#include <gdiplus.h>
#include <algorithm>

using namespace vantel;

namespace {

const COLORREF kSide = 0xDDDDDD;
const COLORREF kGripDark = 0xA4A4A4;
const int kCaptionBand = 24;
const int kFootBand = 36;
const int kDragBand = 26;
const int kDoubleClickBand = 80;

// The size grip: three rows of dots, each white with a grey one above and left of it.
void GripDots(HDC dc, int right, int bottom)
{
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col <= row; ++col) {
            const int x = right - 4 - 4 * col, y = bottom - 4 - 4 * (2 - row + col) + 4 * col;
            FillBand(dc, x, y, x + 2, y + 2, 0xFFFFFF);
            FillBand(dc, x - 1, y - 1, x + 1, y + 1, kGripDark);
        }
    }
}

// Paints into a bitmap the size of rc, then copies it: no flicker while sizing.
template <typename Paint>
void Buffered(HDC target, const RECT& rc, Paint paint)
{
    const int w = std::max(1L, rc.right - rc.left), h = std::max(1L, rc.bottom - rc.top);
    HDC mem = ::CreateCompatibleDC(target);
    HBITMAP bitmap = ::CreateCompatibleBitmap(target, w, h);
    HGDIOBJ old = ::SelectObject(mem, bitmap);
    paint(mem);
    ::BitBlt(target, rc.left, rc.top, w, h, mem, 0, 0, SRCCOPY);
    ::SelectObject(mem, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(mem);
}

}

// ---- Arithmetic ----

RECT CSearchDlg::ClientInFrame(const RECT& window, bool maximized, int frameMetric, int)
{
    const int border = maximized && frameMetric != kBorder ? frameMetric : static_cast<int>(kBorder);
    RECT client = {window.left + border, window.top + border, window.right - border, window.bottom - border};
    if (client.right < client.left)
        client.right = client.left;
    if (client.bottom < client.top)
        client.bottom = client.top;
    return client;
}

RECT CSearchDlg::MaximizedRect(const RECT& workArea)
{
    return {workArea.left - kBorder, workArea.top - kBorder, workArea.right + kBorder, workArea.bottom + kBorder};
}

// ---- Frame messages ----

void CSearchDlg::OnNcCalcSize(BOOL, NCCALCSIZE_PARAMS* params)
{
    if (IsIconic() || !(GetStyle() & WS_CAPTION)) {
        Default();
        return;
    }
    params->rgrc[0] = ClientInFrame(params->rgrc[0], IsZoomed() != FALSE, ::GetSystemMetrics(SM_CXFRAME),
                                    ::GetSystemMetrics(SM_CYCAPTION));
}

void CSearchDlg::OnGetMinMaxInfo(MINMAXINFO* info)
{
    info->ptMinTrackSize.x = kMinWidth;
    info->ptMinTrackSize.y = kMinHeight;
    HMONITOR monitor = ::MonitorFromWindow(m_hWnd, MONITOR_DEFAULTTONEAREST);
    MONITORINFO mi = {sizeof mi};
    if (!::GetMonitorInfoW(monitor, &mi))
        return;
    const RECT max = MaximizedRect(mi.rcWork);
    info->ptMaxPosition.x = max.left - mi.rcMonitor.left;
    info->ptMaxPosition.y = max.top - mi.rcMonitor.top;
    info->ptMaxSize.x = max.right - max.left;
    info->ptMaxSize.y = max.bottom - max.top;
    info->ptMaxTrackSize.x = std::max(info->ptMaxTrackSize.x, info->ptMaxSize.x);
    info->ptMaxTrackSize.y = std::max(info->ptMaxTrackSize.y, info->ptMaxSize.y);
}

void CSearchDlg::OnSize(UINT nType, int cx, int cy)
{
    CDialog::OnSize(nType, cx, cy);
    if (nType == SIZE_MINIMIZED)
        return;
    CRect window;
    GetWindowRect(&window);
    SetVantelRgn(window.Width(), window.Height());
    LayoutControl();
    DrawBorders();
    Invalidate(FALSE);
}

void CSearchDlg::SetVantelRgn(int cx, int cy)
{
    HRGN region = CVantelDialog::CreateRoundedRegion(cx, cy);
    if (SetWindowRgn(region, TRUE) == 0)
        ::DeleteObject(region);
}

void CSearchDlg::OnNcPaint()
{
    if (IsIconic()) {
        Default();
        return;
    }
    DrawBorders();
}

BOOL CSearchDlg::OnNcActivate(BOOL)
{
    if (IsIconic())
        return static_cast<BOOL>(Default());
    DrawBorders();
    return TRUE;
}

void CSearchDlg::OnEnterSizeMove()
{
}

void CSearchDlg::OnExitSizeMove()
{
}

BOOL CSearchDlg::OnSetCursor(CWnd* wnd, UINT hitTest, UINT message)
{
    if (wnd == this && hitTest == HTCLIENT && !IsZoomed() && !IsIconic()) {
        POINT at;
        ::GetCursorPos(&at);
        ScreenToClient(&at);
        if (InSizeGrip(at)) {
            ::SetCursor(::LoadCursorW(nullptr, IDC_SIZENWSE));
            return TRUE;
        }
    }
    return CDialog::OnSetCursor(wnd, hitTest, message);
}

bool CSearchDlg::InSizeGrip(POINT client) const
{
    CRect rc;
    GetClientRect(&rc);
    return m_bResizable && client.x >= rc.right - 10 && client.x < rc.right && client.y >= rc.bottom - 5 &&
           client.y < rc.bottom;
}

// The caption band moves the window, the corner sizes it, a double click near the top
// maximises or restores it: the window has no system caption to do so.
bool CSearchDlg::FrameMouse(const MSG& msg)
{
    if (msg.hwnd != m_hWnd || IsIconic())
        return false;
    POINT at = {static_cast<short>(LOWORD(msg.lParam)), static_cast<short>(HIWORD(msg.lParam))};
    if (msg.message == WM_LBUTTONDBLCLK && at.y < kDoubleClickBand) {
        OnMaximizeButton();
        return true;
    }
    if (msg.message != WM_LBUTTONDOWN || IsZoomed())
        return false;
    POINT screen = at;
    ClientToScreen(&screen);
    if (at.y >= 0 && at.y < kDragBand) {
        PostMessage(WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(screen.x, screen.y));
        return true;
    }
    if (InSizeGrip(at)) {
        PostMessage(WM_NCLBUTTONDOWN, HTBOTTOMRIGHT, MAKELPARAM(screen.x, screen.y));
        return true;
    }
    return false;
}

BOOL CSearchDlg::PreTranslateMessage(MSG* pMsg)
{
    if (FrameMouse(*pMsg))
        return TRUE;
    if (pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_ESCAPE) {
        // Escape closes the window (the dialog's cancel id is the download button); posted, so
        // that the window outlives this call.
        PostMessage(WM_COMMAND, MAKEWPARAM(IDC_SYSBTN_CLOSE, BN_CLICKED), 0);
        return TRUE;
    }
    return CDialog::PreTranslateMessage(pMsg);
}

// ---- Layout ----

void CSearchDlg::LayoutControl()
{
    CRect client;
    GetClientRect(&client);
    if (client.IsRectEmpty() || !m_list.GetSafeHwnd())
        return;
    const int cw = client.Width(), ch = client.Height();
    HDWP batch = ::BeginDeferWindowPos(6);
    auto place = [&batch](HWND wnd, int x, int y, int w, int h, UINT flags) {
        if (wnd && batch)
            batch = ::DeferWindowPos(batch, wnd, nullptr, x, y, w, h, SWP_NOZORDER | SWP_NOACTIVATE | flags);
    };
    if (m_pMenuDlg && m_pMenuDlg->GetSafeHwnd())
        place(m_pMenuDlg->GetSafeHwnd(), 0, kDragBand, kMenuWidth, std::max(0, ch - 65), 0);
    place(m_list.GetSafeHwnd(), kMenuWidth + kListMarginLeft, 37,
          std::max(0, cw - kMenuWidth - kListMarginLeft - kListMarginRight), std::max(0, ch - 87), 0);
    CRect button;
    if (m_btnClose.GetSafeHwnd()) {
        m_btnClose.GetWindowRect(&button);
        const int w = button.Width();
        place(m_btnMinimize.GetSafeHwnd(), cw - 72, 2, 0, 0, SWP_NOSIZE);
        place(m_btnMaximize.GetSafeHwnd(), cw - 72 + w, 2, 0, 0, SWP_NOSIZE);
        place(m_btnClose.GetSafeHwnd(), cw - 72 + 2 * w, 2, 0, 0, SWP_NOSIZE);
    }
    if (m_btnDownload.GetSafeHwnd()) {
        m_btnDownload.GetWindowRect(&button);
        const int right = m_bResizable ? 20 : 8;
        place(m_btnDownload.GetSafeHwnd(), cw - right - button.Width(), ch - 4 - button.Height(), 0, 0, SWP_NOSIZE);
    }
    if (batch)
        ::EndDeferWindowPos(batch);
}

// ---- Painting ----

BOOL CSearchDlg::OnEraseBkgnd(CDC* pDC)
{
    CRect client;
    GetClientRect(&client);
    Buffered(pDC->GetSafeHdc(), client, [this, &client](HDC dc) { DrawBG(dc, client); });
    return TRUE;
}

void CSearchDlg::DrawBG(HDC dc, const RECT& client)
{
    const int w = client.right - client.left, h = client.bottom - client.top;
    FillBand(dc, 0, 0, w, h, 0xFFFFFF);
    FillGradientBand(dc, 0, 0, w, kCaptionBand, kCaptionTop, kCaptionBottom);
    FillBand(dc, 0, kCaptionBand, w, kCaptionBand + 1, kCaptionLine1);
    FillBand(dc, 0, kCaptionBand + 1, w, kCaptionBand + 2, kCaptionLine2);
    FillBand(dc, 0, kCaptionBand + 2, w, h - kFootBand - 1, kBody);
    FillBand(dc, 0, h - kFootBand - 1, w, h - kFootBand, kBodyLine);
    FillGradientBand(dc, 0, h - kFootBand, w, h, kFooterTop, kFooterBottom);
    if (m_bResizable && !IsZoomed())
        GripDots(dc, w, h);

    CString title;
    GetWindowText(title);
    HGDIOBJ oldFont = ::SelectObject(dc, m_fontTitle.GetSafeHandle() ? m_fontTitle.GetSafeHandle()
                                                                     : ::GetStockObject(DEFAULT_GUI_FONT));
    SIZE extent = {};
    ::GetTextExtentPoint32W(dc, title.GetString(), title.GetLength(), &extent);
    // A title too long for the band ends in an ellipsis.
    if (extent.cx > w - 34)
        title += L"    ";
    RECT text = {6, 6, w - 28, 18};
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, 0xFFFFFF);
    ::DrawTextW(dc, title.GetString(), title.GetLength(), &text,
                DT_LEFT | DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP | DT_END_ELLIPSIS);
    ::SelectObject(dc, oldFont);
}

void CSearchDlg::DrawBorders()
{
    if (!m_hWnd || IsIconic())
        return;
    CRect window, client;
    GetWindowRect(&window);
    GetClientRect(&client);
    ClientToScreen(&client);
    client.OffsetRect(-window.left, -window.top);
    window.OffsetRect(-window.left, -window.top);
    if (window.IsRectEmpty())
        return;
    HDC dc = ::GetWindowDC(m_hWnd);
    if (!dc)
        return;
    ::ExcludeClipRect(dc, client.left, client.top, client.right, client.bottom);
    Buffered(dc, window, [this, &window, &client](HDC mem) { DrawDefaultUI(mem, window, client); });
    ::ReleaseDC(m_hWnd, dc);
}

void CSearchDlg::DrawDefaultUI(HDC dc, const RECT& window, const RECT& client)
{
    const int w = window.right, h = window.bottom;
    // The sides continue the caption band, then the body's grey.
    FillBand(dc, 0, 0, w, h, kSide);
    FillGradientBand(dc, 0, 0, w, std::min(28, h), kCaptionTop, kCaptionTop);
    FillGradientBand(dc, 0, client.top, w, std::min(static_cast<int>(client.top) + 28, h), kCaptionTop, kCaptionBottom);
    FillBand(dc, 0, 0, w, std::min(4L, client.top), kCaptionTop);
    FillBand(dc, 6, 1, w - 6, 2, kCaptionHighlight);
    if (m_bResizable && !IsZoomed())
        GripDots(dc, w, h);
    Gdiplus::Graphics g(dc);
    g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
    Gdiplus::GraphicsPath path;
    const int d = 11;
    path.AddArc(0, 0, d, d, 180.0f, 90.0f);
    path.AddArc(w - d - 1, 0, d, d, 270.0f, 90.0f);
    path.AddArc(w - d - 1, h - d - 1, d, d, 0.0f, 90.0f);
    path.AddArc(0, h - d - 1, d, d, 90.0f, 90.0f);
    path.CloseFigure();
    Gdiplus::Pen pen(Gdiplus::Color(0xFF3F3E43), 1.0f);
    g.DrawPath(&pen, &path);
}

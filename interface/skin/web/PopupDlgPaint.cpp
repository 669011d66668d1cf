// The web pop-up's shape and painting: region, frame, caption band, body and control layout.
#include "PopupDlg.h"
#include "PopupView.h"
#include "CaptionPalette.h"
#include "Dc.h"
#include "VantelDialog.h"
#include <gdiplus.h>

using namespace vantel;

namespace {
const COLORREF kFrame = RGB(63, 62, 67);
const int kTitleBand = 24;

// The bands of the client area, over columns l..r, for a client of height h whose top is at y0.
void PaintBands(HDC hdc, int l, int r, int y0, int h)
{
    FillGradientBand(hdc, l, y0, r, y0 + kTitleBand, kCaptionTop, kCaptionBottom);
    FillBand(hdc, l, y0 + kTitleBand, r, y0 + kTitleBand + 1, kCaptionLine1);
    FillBand(hdc, l, y0 + kTitleBand + 1, r, y0 + kTitleBand + 2, kCaptionLine2);
    FillBand(hdc, l, y0 + kTitleBand + 2, r, y0 + h - 10, kBody);
    FillBand(hdc, l, y0 + h - 10, r, y0 + h - 9, kBodyLine);
    FillGradientBand(hdc, l, y0 + h - 9, r, y0 + h, kFooterTop, kFooterBottom);
}
}

void CPopupDlg::OnSize(UINT nType, int cx, int cy)
{
    CDialog::OnSize(nType, cx, cy);
    if (nType == SIZE_MINIMIZED)
        return;
    if (m_nPopupKind == 15) {
        CRect wr;
        GetWindowRect(&wr);
        if (wr.Width() != 428 || wr.Height() != 420) {
            SetWindowPos(nullptr, 0, 0, 428, 420, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
            return;   // the resize comes back here with the forced size
        }
    }
    DrawBorders();
    CRect wr;
    GetWindowRect(&wr);
    SetVantelRgn(wr.Width(), wr.Height());
    LayoutControls();
    Invalidate(FALSE);
}

void CPopupDlg::SetVantelRgn(int width, int height)
{
    // The window owns the region it is given.
    HRGN region = CVantelDialog::CreateRoundedRegion(width, height);
    if (SetWindowRgn(region, TRUE) == 0)
        ::DeleteObject(region);
}

void CPopupDlg::LayoutControls()
{
    CRect client;
    GetClientRect(&client);
    if (m_btnClose.GetSafeHwnd()) {
        CRect b;
        m_btnClose.GetWindowRect(&b);
        const int w = b.Width(), h = b.Height();
        m_btnClose.MoveWindow(client.Width() + 2 * w - 72, 2, w, h);
        if (m_btnMaximize.GetSafeHwnd())
            m_btnMaximize.MoveWindow(client.Width() + w - 72, 2, w, h);
        if (m_btnMinimize.GetSafeHwnd())
            m_btnMinimize.MoveWindow(client.Width() - 72, 2, w, h);
    }
    CPopupView* view = GetView();
    if (view == nullptr)
        return;
    int w = m_nOpenMode == kModeModal ? m_nPageWidth : view->m_nRequestWidth;
    int h = m_nOpenMode == kModeModal ? m_nPageHeight : view->m_nRequestHeight;
    // Before the page asked for a size, the view takes what the band leaves.
    if (w <= 0 || h <= 0) {
        w = client.Width();
        h = client.Height() - kBandHeight;
    }
    view->MoveWindow(client.left, client.top + kBandHeight, w, h > 0 ? h : 0);
}

BOOL CPopupDlg::OnEraseBkgnd(CDC* pDC)
{
    CRect rc;
    GetClientRect(&rc);
    HDC target = pDC->GetSafeHdc();
    HDC mem = ::CreateCompatibleDC(target);
    HBITMAP bmp = ::CreateCompatibleBitmap(target, rc.Width() > 0 ? rc.Width() : 1, rc.Height() > 0 ? rc.Height() : 1);
    HGDIOBJ oldBmp = ::SelectObject(mem, bmp);
    PaintBackground(mem, rc);
    ::BitBlt(target, 0, 0, rc.Width(), rc.Height(), mem, 0, 0, SRCCOPY);
    ::SelectObject(mem, oldBmp);
    ::DeleteObject(bmp);
    ::DeleteDC(mem);
    return TRUE;
}

void CPopupDlg::PaintBackground(HDC hdc, const CRect& rc)
{
    FillBand(hdc, 0, 0, rc.Width(), rc.Height(), RGB(255, 255, 255));
    PaintBands(hdc, 0, rc.Width(), 0, rc.Height());

    CString title;
    GetWindowText(title);
    HGDIOBJ oldFont = ::SelectObject(hdc, m_fontTitle.GetSafeHandle() ? m_fontTitle.GetSafeHandle()
                                                                      : ::GetStockObject(DEFAULT_GUI_FONT));
    SIZE ext = {};
    ::GetTextExtentPoint32W(hdc, title.GetString(), title.GetLength(), &ext);
    if (ext.cx > rc.Width() - 34)
        title += L"    ";
    const int top = (22 - ext.cy) / 2 + 1;
    RECT text = { 6, top, rc.Width() - 28, top + ext.cy };
    ::SetBkMode(hdc, TRANSPARENT);
    ::SetTextColor(hdc, RGB(255, 255, 255));
    ::DrawTextW(hdc, title.GetString(), title.GetLength(), &text, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    ::SelectObject(hdc, oldFont);
}

void CPopupDlg::OnNcCalcSize(BOOL bCalcValidRects, NCCALCSIZE_PARAMS* lpncsp)
{
    if (IsIconic()) {
        CDialog::OnNcCalcSize(bCalcValidRects, lpncsp);
        return;
    }
    RECT& r = lpncsp->rgrc[0];
    r.left += m_nFrameWidth;
    r.top += m_nFrameWidth;
    r.right -= m_nFrameWidth;
    r.bottom -= m_nFrameWidth;
}

void CPopupDlg::OnNcPaint()
{
    if (IsIconic()) {
        CDialog::OnNcPaint();
        return;
    }
    DrawBorders();
}

BOOL CPopupDlg::OnNcActivate(BOOL bActive)
{
    if (IsIconic())
        return CDialog::OnNcActivate(bActive);
    DrawBorders();
    return TRUE;
}

void CPopupDlg::DrawBorders()
{
    if (m_hWnd == nullptr || IsIconic())
        return;
    CRect wr, cr;
    GetWindowRect(&wr);
    GetClientRect(&cr);
    ClientToScreen(&cr);
    cr.OffsetRect(-wr.left, -wr.top);
    const int w = wr.Width(), h = wr.Height();
    if (w <= 0 || h <= 0)
        return;
    HDC dc = ::GetWindowDC(m_hWnd);
    if (dc == nullptr)
        return;
    HDC mem = ::CreateCompatibleDC(dc);
    HBITMAP bmp = ::CreateCompatibleBitmap(dc, w, h);
    HGDIOBJ oldBmp = ::SelectObject(mem, bmp);

    const int f = m_nFrameWidth;
    // Side bands continue the client's bands; the top rows lead into the caption.
    PaintBands(mem, 0, w, cr.top, cr.Height());
    FillGradientBand(mem, 0, 0, w, cr.top, kCaptionTop, kCaptionTop);
    FillBand(mem, 0, 1, w, 2, kCaptionHighlight);
    FillBand(mem, 0, 2, w, 4 < f ? 4 : f, kCaptionTop);
    FillGradientBand(mem, 0, cr.bottom, w, h, kFooterBottom, kFooterBottom);
    FillBand(mem, 0, h - 2, w, h - 1, kFooterBottom);
    // The outermost rows and columns.
    FillBand(mem, 0, 0, w, 1, kFrame);
    FillBand(mem, 0, h - 1, w, h, kFrame);
    FillBand(mem, 0, 0, 1, h, kFrame);
    FillBand(mem, w - 1, 0, w, h, kFrame);
    {
        Gdiplus::Graphics g(mem);
        Gdiplus::Pen pen(Gdiplus::Color(0xFF2B313D), 1.0f);
        g.DrawArc(&pen, 0, 0, 11, 11, 180.0f, 90.0f);
        g.DrawArc(&pen, w - 12, 0, 11, 11, 270.0f, 90.0f);
        g.DrawArc(&pen, 0, h - 12, 11, 11, 90.0f, 90.0f);
        g.DrawArc(&pen, w - 12, h - 12, 11, 11, 0.0f, 90.0f);
    }
    for (const POINT& p : { POINT{ 4, h - 2 }, POINT{ 2, h - 3 }, POINT{ 1, h - 5 }, POINT{ w - 5, h - 2 },
                            POINT{ w - 3, h - 3 }, POINT{ w - 2, h - 5 } })
        ::SetPixelV(mem, p.x, p.y, m_clrCorner);

    ::ExcludeClipRect(dc, cr.left, cr.top, cr.right, cr.bottom);
    ::BitBlt(dc, 0, 0, w, h, mem, 0, 0, SRCCOPY);
    ::SelectObject(mem, oldBmp);
    ::DeleteObject(bmp);
    ::DeleteDC(mem);
    ::ReleaseDC(m_hWnd, dc);
}

// CToviProgressCtrl: painting of the update progress bar.
#include "ToviProgressCtrl.h"
#include "CaptionPalette.h"
#include "Dc.h"

namespace {

void VerticalGradient(HDC dc, const RECT& r, COLORREF from, COLORREF to)
{
    if (r.right <= r.left || r.bottom <= r.top)
        return;
    CDC::FromHandle(dc)->FillGradientRect(&r, from, to, true);
}

}

void CToviProgressCtrl::SetBarText(const CString& text)
{
    m_text = text;
    if (m_hWnd != nullptr) {
        ::InvalidateRect(m_hWnd, nullptr, FALSE);
        ::UpdateWindow(m_hWnd);
    }
}

LRESULT CToviProgressCtrl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_ERASEBKGND:
        return TRUE;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = ::BeginPaint(m_hWnd, &ps);
        Paint(dc);
        ::EndPaint(m_hWnd, &ps);
        return 0;
    }
    case WM_PRINTCLIENT:
        Paint(reinterpret_cast<HDC>(wParam));
        return 0;
    default:
        return CProgressCtrl::WindowProc(message, wParam, lParam);
    }
}

void CToviProgressCtrl::Paint(HDC target)
{
    RECT rc;
    ::GetClientRect(m_hWnd, &rc);
    HDC dc = ::CreateCompatibleDC(target);
    HBITMAP bitmap = ::CreateCompatibleBitmap(target, rc.right, rc.bottom);
    HGDIOBJ oldBitmap = ::SelectObject(dc, bitmap);

    HBRUSH back = ::CreateSolidBrush(RGB(0xF8, 0xF8, 0xF8));
    ::FillRect(dc, &rc, back);
    ::DeleteObject(back);
    RECT track = { rc.left, rc.top, rc.right, rc.bottom };
    VerticalGradient(dc, track, RGB(0xEE, 0xEE, 0xEE), RGB(0xFF, 0xFF, 0xFF));

    int lower = static_cast<int>(::SendMessageW(m_hWnd, PBM_GETRANGE, TRUE, 0));
    int upper = static_cast<int>(::SendMessageW(m_hWnd, PBM_GETRANGE, FALSE, 0));
    int pos = static_cast<int>(::SendMessageW(m_hWnd, PBM_GETPOS, 0, 0));
    if (upper > lower) {
        int width = rc.right - rc.left - 2;
        RECT bar = { rc.left + 1, rc.top + 1, rc.left + 1 + MulDiv(width, pos - lower, upper - lower), rc.bottom - 1 };
        VerticalGradient(dc, bar, toolkit::kCaptionTop, toolkit::kCaptionBottom);
    }
    HPEN pen = ::CreatePen(PS_SOLID, 1, RGB(0xA7, 0xA7, 0xA7));
    HGDIOBJ oldPen = ::SelectObject(dc, pen);
    HGDIOBJ oldBrush = ::SelectObject(dc, ::GetStockObject(NULL_BRUSH));
    ::RoundRect(dc, rc.left, rc.top, rc.right, rc.bottom, 3, 3);
    ::SelectObject(dc, oldBrush);
    ::SelectObject(dc, oldPen);
    ::DeleteObject(pen);

    HFONT font = reinterpret_cast<HFONT>(::SendMessageW(m_hWnd, WM_GETFONT, 0, 0));
    HGDIOBJ oldFont = ::SelectObject(dc, font != nullptr ? font : ::GetStockObject(DEFAULT_GUI_FONT));
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, RGB(0x20, 0x20, 0x20));
    RECT text = rc;
    ::DrawTextW(dc, m_text.GetString(), m_text.GetLength(), &text, DT_SINGLELINE | DT_VCENTER | DT_CENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    ::SelectObject(dc, oldFont);

    ::BitBlt(target, 0, 0, rc.right, rc.bottom, dc, 0, 0, SRCCOPY);
    ::SelectObject(dc, oldBitmap);
    ::DeleteObject(bitmap);
    ::DeleteDC(dc);
}

// CToviButton: owner-drawn states, hover tracking and painting.
#include "ToviButton.h"
#include "UpdaterRes.h"
#include "Dc.h"
#include <vector>

BEGIN_MESSAGE_MAP(CToviButton, CButton)
END_MESSAGE_MAP()

namespace {

void VerticalGradient(HDC dc, const RECT& r, COLORREF from, COLORREF to)
{
    CDC::FromHandle(dc)->FillGradientRect(&r, from, to, true);
}

HICON LoadSmallIcon(UINT id)
{
    return static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_ICON, 16, 16, 0));
}

}

CToviButton::CToviButton()
{
    for (COLORREF& c : m_clrState)
        c = RGB(0xEF, 0xEF, 0xEF);
    for (COLORREF& c : m_clrText)
        c = RGB(0, 0, 0);
    m_clrTextDisabled = ::GetSysColor(COLOR_GRAYTEXT);
}

CToviButton::~CToviButton()
{
    if (m_hIcon != nullptr)
        ::DestroyIcon(m_hIcon);
    if (m_hGrayIcon != nullptr)
        ::DestroyIcon(m_hGrayIcon);
    for (HICON icon : m_hImages)
        if (icon != nullptr)
            ::DestroyIcon(icon);
}

void CToviButton::PreSubclassWindow()
{
    CButton::PreSubclassWindow();
    ::SetWindowLongPtrW(m_hWnd, GWL_STYLE, (::GetWindowLongPtrW(m_hWnd, GWL_STYLE) & ~static_cast<LONG_PTR>(BS_TYPEMASK)) | BS_OWNERDRAW);
}

void CToviButton::SetBtnStyle(int style)
{
    m_nStyle = style;
    switch (style) {
    case 1: {
        static const UINT ids[4] = { IDI_SYSEXIT_NORMAL, IDI_SYSEXIT_HOVER, IDI_SYSEXIT_PRESSED, IDI_SYSEXIT_DISABLED };
        for (int i = 0; i < 4; ++i) {
            if (m_hImages[i] == nullptr)
                m_hImages[i] = LoadSmallIcon(ids[i]);
        }
        if (m_hWnd != nullptr)
            ::SetWindowPos(m_hWnd, nullptr, 0, 0, 24, 20, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        break;
    }
    case 2: {
        const COLORREF c[7] = { 0xB46B39, 0xE3A577, 0xAF794A, 0xE3A577, 0xC29163, 0xAF794A, 0xAF794A };
        for (int i = 0; i < 7; ++i)
            m_clrState[i] = c[i];
        for (COLORREF& t : m_clrText)
            t = RGB(0xFF, 0xFF, 0xFF);
        break;
    }
    case 3:
    case 4: {
        const COLORREF c[7] = { 0xA7A7A7, 0xFDFDFD, 0xEFEFEF, 0xFDFDFD, 0xF9F9F9, 0xD2D2D2, 0xD2D2D2 };
        for (int i = 0; i < 7; ++i)
            m_clrState[i] = c[i];
        for (COLORREF& t : m_clrText)
            t = RGB(0, 0, 0);
        break;
    }
    default:
        break;
    }
    if (m_hWnd != nullptr) {
        RECT rc;
        ::GetClientRect(m_hWnd, &rc);
        HRGN region = ::CreateRoundRectRgn(0, 0, rc.right + 1, rc.bottom + 1, style == 1 ? 0 : 5, style == 1 ? 0 : 5);
        if (::SetWindowRgn(m_hWnd, region, TRUE) == 0)
            ::DeleteObject(region);
        ::InvalidateRect(m_hWnd, nullptr, FALSE);
    }
}

void CToviButton::SetBtnIcon(HICON icon)
{
    if (m_hIcon != nullptr)
        ::DestroyIcon(m_hIcon);
    if (m_hGrayIcon != nullptr)
        ::DestroyIcon(m_hGrayIcon);
    m_hIcon = icon;
    m_hGrayIcon = icon != nullptr ? CreateGrayscaleIcon(icon) : nullptr;
}

HICON CToviButton::CreateGrayscaleIcon(HICON icon)
{
    ICONINFO info = {};
    if (icon == nullptr || !::GetIconInfo(icon, &info))
        return nullptr;
    BITMAP bm = {};
    ::GetObjectW(info.hbmColor, sizeof(bm), &bm);
    HDC screen = ::GetDC(nullptr);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = bm.bmWidth;
    bi.bmiHeader.biHeight = -bm.bmHeight;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    std::vector<DWORD> pixels(static_cast<size_t>(bm.bmWidth) * static_cast<size_t>(bm.bmHeight));
    HICON grey = nullptr;
    if (!pixels.empty() && ::GetDIBits(screen, info.hbmColor, 0, bm.bmHeight, pixels.data(), &bi, DIB_RGB_COLORS)) {
        for (DWORD& p : pixels) {
            DWORD rgb = p & 0xFFFFFF;
            if (rgb == 0)
                continue;
            BYTE b = p & 0xFF, g = (p >> 8) & 0xFF, r = (p >> 16) & 0xFF;
            BYTE y = static_cast<BYTE>(0.299 * r + 0.587 * g + 0.114 * b);
            p = (p & 0xFF000000) | (y << 16) | (y << 8) | y;
        }
        ::SetDIBits(screen, info.hbmColor, 0, bm.bmHeight, pixels.data(), &bi, DIB_RGB_COLORS);
        grey = ::CreateIconIndirect(&info);
    }
    ::ReleaseDC(nullptr, screen);
    ::DeleteObject(info.hbmColor);
    ::DeleteObject(info.hbmMask);
    return grey;
}

LRESULT CToviButton::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_LBUTTONDBLCLK:
        // A quick second click is a second click, not a double click.
        message = WM_LBUTTONDOWN;
        break;
    case WM_MOUSEMOVE:
        if (!m_bHover) {
            TRACKMOUSEEVENT track = { sizeof(track), TME_LEAVE, m_hWnd, 0 };
            ::TrackMouseEvent(&track);
            m_bHover = true;
            ::InvalidateRect(m_hWnd, nullptr, FALSE);
        }
        break;
    case WM_MOUSELEAVE:
        m_bHover = false;
        ::InvalidateRect(m_hWnd, nullptr, FALSE);
        break;
    case WM_ERASEBKGND:
        return TRUE;
    default:
        break;
    }
    return CButton::WindowProc(message, wParam, lParam);
}

void CToviButton::DrawItem(LPDRAWITEMSTRUCT drawItem)
{
    RECT rc = drawItem->rcItem;
    HDC target = drawItem->hDC;
    HDC dc = ::CreateCompatibleDC(target);
    HBITMAP bitmap = ::CreateCompatibleBitmap(target, rc.right - rc.left, rc.bottom - rc.top);
    HGDIOBJ oldBitmap = ::SelectObject(dc, bitmap);
    if (m_nStyle == 1)
        DrawImageButton(dc, rc, drawItem->itemState);
    else
        DrawGradientButton(dc, rc, drawItem->itemState);
    ::BitBlt(target, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, dc, 0, 0, SRCCOPY);
    ::SelectObject(dc, oldBitmap);
    ::DeleteObject(bitmap);
    ::DeleteDC(dc);
}

void CToviButton::DrawImageButton(HDC dc, const RECT& rc, UINT state)
{
    VerticalGradient(dc, rc, RGB(0x76, 0x9E, 0xCD), RGB(0x48, 0x7B, 0xB9));
    int image = (state & ODS_DISABLED) ? 3 : (state & ODS_SELECTED) ? 2 : m_bHover ? 1 : 0;
    if (m_hImages[image] != nullptr)
        ::DrawIconEx(dc, (rc.right - rc.left - 16) / 2, (rc.bottom - rc.top - 16) / 2, m_hImages[image], 16, 16, 0,
                     nullptr, DI_NORMAL);
}

void CToviButton::DrawGradientButton(HDC dc, const RECT& rc, UINT state)
{
    bool disabled = (state & ODS_DISABLED) != 0;
    bool pressed = (state & ODS_SELECTED) != 0;
    int stateIndex = pressed ? 2 : m_bHover ? 1 : 0;
    // The parent's body colour around the rounded shape.
    HBRUSH around = ::CreateSolidBrush(RGB(0xEE, 0xEE, 0xEE));
    ::FillRect(dc, &rc, around);
    ::DeleteObject(around);

    RECT inner = { rc.left + 1, rc.top + 1, rc.right - 1, rc.bottom - 1 };
    COLORREF top = disabled ? RGB(0xF8, 0xF8, 0xF8) : m_clrState[1 + 2 * stateIndex];
    COLORREF bottom = disabled ? RGB(0xEE, 0xEE, 0xEE) : m_clrState[2 + 2 * stateIndex];
    VerticalGradient(dc, inner, top, bottom);
    HPEN border = ::CreatePen(PS_SOLID, 1, m_clrState[0]);
    HGDIOBJ oldPen = ::SelectObject(dc, border);
    HGDIOBJ oldBrush = ::SelectObject(dc, ::GetStockObject(NULL_BRUSH));
    ::RoundRect(dc, rc.left, rc.top, rc.right, rc.bottom, 5, 5);
    ::SelectObject(dc, oldBrush);
    ::SelectObject(dc, oldPen);
    ::DeleteObject(border);

    wchar_t caption[128] = {};
    ::GetWindowTextW(m_hWnd, caption, 127);
    HFONT font = reinterpret_cast<HFONT>(::SendMessageW(m_hWnd, WM_GETFONT, 0, 0));
    HGDIOBJ oldFont = ::SelectObject(dc, font != nullptr ? font : ::GetStockObject(DEFAULT_GUI_FONT));
    SIZE extent = {};
    ::GetTextExtentPoint32W(dc, caption, static_cast<int>(wcslen(caption)), &extent);
    int width = rc.right - rc.left;
    int height = rc.bottom - rc.top;
    HICON icon = disabled ? m_hGrayIcon : m_hIcon;
    int x0 = icon != nullptr ? (width - extent.cx - 20) / 2 : (width - extent.cx) / 2;
    if (icon != nullptr) {
        ::DrawIconEx(dc, x0, (height - 16) / 2, icon, 16, 16, 0, nullptr, DI_NORMAL);
        x0 += 20;
    }
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, disabled ? m_clrTextDisabled : m_clrText[stateIndex]);
    RECT text = { x0, 0, x0 + extent.cx + 1, height };
    ::DrawTextW(dc, caption, -1, &text, DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX);
    ::SelectObject(dc, oldFont);
}

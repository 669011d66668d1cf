// CVantelDialog: the client background with its caption band, and the self-painted frame.
#include "VantelDialog.h"
#include "CaptionPalette.h"
#include "ToviColorRef.h"
#include "Wnd.h"
#include <gdiplus.h>
#include <vector>

using namespace vantel;

namespace {
const COLORREF kLoginTop = RGB(0x6F, 0x6F, 0x6F);
const COLORREF kLoginBottom = RGB(0x32, 0x32, 0x32);
const COLORREF kLoginLine = 0x171717;
const COLORREF kLoginBody = RGB(0xFF, 0xFF, 0xFF);
const COLORREF kLoginBodyEnd = RGB(0xE6, 0xE7, 0xEB);
const COLORREF kLoginFooterEnd = RGB(0xCE, 0xD1, 0xD8);
}

void CVantelDialog::AccentColors(COLORREF* accent1, COLORREF* accent2) const
{
    if (IsLoginLook(m_nUIType)) {
        if (m_nUIType == kUITypeLoginGold) {
            *accent1 = *accent2 = 0xBFA94A;
        } else if (m_nUIType == kUITypeLoginBlue) {
            *accent1 = 0x749FD0;
            *accent2 = 0x1B8DD3;
        } else {
            *accent1 = m_clrTitle1;
            *accent2 = m_clrTitle2;
        }
        return;
    }
    if (m_nUIType == kUITypeBlueAccent) {
        *accent1 = 0x749FD0;
        *accent2 = 0x1B8DD3;
    } else if (m_nUIType == kUITypeGoldAccent) {
        *accent1 = *accent2 = 0xBFA94A;
    } else {
        *accent1 = m_bActive ? kCaptionLine1 : kCaptionLine1Inactive;
        *accent2 = m_bActive ? kCaptionLine2 : kCaptionLine2Inactive;
    }
}

BOOL CVantelDialog::DrawBkgnd(CDC* pDC, CRect rect)
{
    pDC->SetBkMode(TRANSPARENT);
    const int l = rect.left, t = rect.top, r = rect.right, b = rect.bottom;
    COLORREF accent1, accent2;
    AccentColors(&accent1, &accent2);
    if (IsLoginLook(m_nUIType)) {
        FillGradientBand(*pDC, l, t, r, t + 22, kLoginTop, kLoginBottom);
        FillBand(*pDC, l, t + 22, r, t + 23, kLoginLine);
        FillBand(*pDC, l, t + 23, r, t + 24, accent1);
        FillBand(*pDC, l, t + 24, r, t + 26, accent2);
        FillGradientBand(*pDC, l, t + 26, r, b - 15, kLoginBody, kLoginBodyEnd);
        FillGradientBand(*pDC, l, b - 15, r, b, kLoginBodyEnd, kLoginFooterEnd);
    } else {
        FillBand(*pDC, l, t, r, b, 0xFFFFFF);
        FillGradientBand(*pDC, l, t, r, t + 23, m_bActive ? kCaptionTop : kCaptionTopInactive,
                 m_bActive ? kCaptionBottom : kCaptionBottomInactive);
        FillBand(*pDC, l, t + 23, r, t + 24, accent1);
        FillBand(*pDC, l, t + 24, r, t + 26, accent2);
        const int bodyEnd = b - (m_nUIType == kUITypeProgress ? 8 : 36);
        FillBand(*pDC, l, t + 26, r, bodyEnd, kBody);
        FillBand(*pDC, l, bodyEnd, r, bodyEnd + 1, kBodyLine);
        FillGradientBand(*pDC, l, bodyEnd + 1, r, b, kFooterTop, kFooterBottom);
    }
    DrawTitle(pDC, rect);
    return TRUE;
}

CRect CVantelDialog::TitleRect(int uiType, int productType, int right, CSize text)
{
    const int band = productType == 2 ? 20 : 22;
    const int d = (band - text.cy) / 2;
    CRect rc(6, d + 1, right - 28, text.cy + d + 1);
    if (IsLoginLook(uiType))
        rc.OffsetRect(0, -1);
    return rc;
}

void CVantelDialog::DrawTitle(CDC* pDC, const CRect& rect)
{
    CString text = m_strTitle;
    if (text.IsEmpty())
        GetWindowText(text);
    if (text.IsEmpty())
        return;
    CFont* old = m_fontTitle.GetSafeHandle() ? pDC->SelectObject(&m_fontTitle) : nullptr;
    CSize size = pDC->GetTextExtent(text);
    CRect rc = TitleRect(m_nUIType, m_nProductType, rect.right, size);
    if (rect.right - 34 < size.cx)
        text += L"    ";
    // DT_MODIFYSTRING writes the shortened text back: room for the ellipsis.
    std::vector<wchar_t> buffer(text.GetLength() + 8, L'\0');
    ::memcpy(buffer.data(), text.GetString(), text.GetLength() * sizeof(wchar_t));
    pDC->SetTextColor(0xFFFFFF);
    ::DrawTextW(pDC->GetSafeHdc(), buffer.data(), -1, &rc, DT_LEFT | DT_TOP | DT_END_ELLIPSIS | DT_MODIFYSTRING);
    m_strShownTitle = buffer.data();
    if (old)
        pDC->SelectObject(old);
}

void CVantelDialog::DrawBorders()
{
    if (m_hWnd == nullptr)
        return;
    CRect window;
    GetWindowRect(&window);
    const int w = window.Width(), h = window.Height();
    if (w <= 0 || h <= 0)
        return;
    CRect client;
    GetClientRect(&client);
    ClientToScreen(&client);
    client.OffsetRect(-window.left, -window.top);

    CWindowDC dc(this);
    dc.ExcludeClipRect(&client);
    CDC mem;
    mem.CreateCompatibleDC(&dc);
    CBitmap bitmap;
    bitmap.CreateCompatibleBitmap(&dc, w, h);
    CBitmap* old = mem.SelectObject(&bitmap);

    CRect all(0, 0, w, h);
    if (IsLoginLook(m_nUIType))
        DrawLoginUI(&mem, all);
    else
        DrawDefaultUI(&mem, all);
    DrawCornerArcs(mem.GetSafeHdc(), all);
    if (!(m_nUIType >= 1 && m_nUIType <= 3)) {
        const int b = h;
        mem.SetPixelV(4, b - 2, m_clrFrame);
        mem.SetPixelV(2, b - 3, m_clrFrame);
        mem.SetPixelV(1, b - 5, m_clrFrame);
        mem.SetPixelV(w - 5, b - 2, m_clrFrame);
        mem.SetPixelV(w - 3, b - 3, m_clrFrame);
        mem.SetPixelV(w - 2, b - 5, m_clrFrame);
    }
    dc.BitBlt(0, 0, w, h, &mem, 0, 0, SRCCOPY);
    mem.SelectObject(old);
}

void CVantelDialog::DrawCornerArcs(HDC hdc, const CRect& rect)
{
    CToviColorRef colors;
    COLORREF c = colors[m_bActive ? CToviColorRef::kFrameActive : CToviColorRef::kFrameInactive];
    Gdiplus::Graphics graphics(hdc);
    Gdiplus::Pen pen(Gdiplus::Color(255, GetRValue(c), GetGValue(c), GetBValue(c)), 1.0f);
    const int l = rect.left, t = rect.top, r = rect.right, b = rect.bottom;
    graphics.DrawArc(&pen, l, t, 11, 11, 180.0f, 90.0f);
    graphics.DrawArc(&pen, r - 12, t, 11, 11, 270.0f, 90.0f);
    graphics.DrawArc(&pen, l, b - 12, 11, 11, 90.0f, 90.0f);
    graphics.DrawArc(&pen, r - 12, b - 12, 11, 11, 0.0f, 90.0f);
}

void CVantelDialog::DrawLoginUI(CDC* pDC, CRect rect)
{
    const int l = rect.left, t = rect.top, r = rect.right, b = rect.bottom;
    COLORREF accent1, accent2;
    AccentColors(&accent1, &accent2);
    FillBand(*pDC, l, t, r, t + 1, kLoginLine);
    FillBand(*pDC, l, t + 1, r, t + 4, kLoginTop);
    FillBand(*pDC, l, t + 4, l + 1, b, kLoginLine);
    FillBand(*pDC, r - 1, t + 4, r, b, kLoginLine);
    // Each side band continues the client's bands beside it.
    for (int x : { l + 1, r - 4 }) {
        int y = t + 4;
        FillGradientBand(*pDC, x, y, x + 3, y + 22, kLoginTop, kLoginBottom);
        y += 22;
        FillBand(*pDC, x, y, x + 3, y + 1, kLoginLine);
        FillBand(*pDC, x, y + 1, x + 3, y + 2, accent1);
        FillBand(*pDC, x, y + 2, x + 3, y + 4, accent2);
        y += 4;
        FillGradientBand(*pDC, x, y, x + 3, b - 19, kLoginBody, kLoginBodyEnd);
        FillGradientBand(*pDC, x, b - 19, x + 3, b - 4, kLoginBodyEnd, kLoginFooterEnd);
    }
    FillBand(*pDC, l, b - 1, r, b, kLoginLine);
    FillBand(*pDC, l + 1, b - 4, r - 1, b - 1, 0xDBD2CE);
}

void CVantelDialog::DrawDefaultUI(CDC* pDC, CRect rect)
{
    const int l = rect.left, t = rect.top, r = rect.right, b = rect.bottom;
    CToviColorRef colors;
    const COLORREF line = colors[m_bActive ? CToviColorRef::kFrameActive : CToviColorRef::kFrameInactive];
    const COLORREF top = m_bActive ? kCaptionTop : kCaptionTopInactive;
    const COLORREF bottom = m_bActive ? kCaptionBottom : kCaptionBottomInactive;
    COLORREF accent1, accent2;
    AccentColors(&accent1, &accent2);
    FillBand(*pDC, l, t, r, t + 1, line);
    FillBand(*pDC, l, t + 1, r, t + 2, 0xE1C5AC);
    FillBand(*pDC, l, t + 2, r, t + 4, top);
    FillBand(*pDC, l, t + 4, l + 1, b, line);
    FillBand(*pDC, r - 1, t + 4, r, b, line);
    const int bodyEnd = b - (m_nUIType == kUITypeProgress ? 12 : 40);
    for (int x : { l + 1, r - 4 }) {
        int y = t + 4;
        FillGradientBand(*pDC, x, y, x + 3, y + 23, top, bottom);
        y += 23;
        FillBand(*pDC, x, y, x + 3, y + 1, accent1);
        FillBand(*pDC, x, y + 1, x + 3, y + 3, accent2);
        y += 3;
        FillBand(*pDC, x, y, x + 3, bodyEnd, kBody);
        FillBand(*pDC, x, bodyEnd, x + 3, bodyEnd + 1, kBodyLine);
        FillGradientBand(*pDC, x, bodyEnd + 1, x + 3, b - 1, kFooterTop, kFooterBottom);
    }
    FillBand(*pDC, l, b - 1, r, b, line);
    FillBand(*pDC, l + 1, b - 4, r - 1, b - 1, 0xE5E3E3);
}

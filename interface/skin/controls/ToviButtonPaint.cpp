// CToviButton: painting: caption layout, the five painters and skin bitmaps.
#include "ToviButton.h"
#include "Dc.h"
#include "ToviColorRef.h"
#include <gdiplus.h>

namespace {
// The text rectangle is the caption's advance width: it places the caption but must not clip
// it, since a last glyph may reach past its advance (the bar of a closing "t").
const UINT kCaptionFormat = DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP;

Gdiplus::Color Argb(COLORREF c, BYTE alpha = 255)
{
    return Gdiplus::Color(alpha, GetRValue(c), GetGValue(c), GetBValue(c));
}

Gdiplus::Color FromArgb(DWORD argb)
{
    return Gdiplus::Color((BYTE)(argb >> 24), (BYTE)(argb >> 16), (BYTE)(argb >> 8), (BYTE)argb);
}

COLORREF ToColorRef(DWORD argb)
{
    return RGB((BYTE)(argb >> 16), (BYTE)(argb >> 8), (BYTE)argb);
}

// An exact vertical gradient: its first row is exactly top.
void VerticalGradient(CDC* pDC, const CRect& rc, COLORREF top, COLORREF bottom)
{
    if (rc.Width() > 0 && rc.Height() > 0)
        pDC->FillGradientRect(&rc, top, bottom, true);
}

// A closed rounded outline from (l, t) to (r, b) with corner arcs of diameter 2 x radius.
void RoundedPath(Gdiplus::GraphicsPath* path, float l, float t, float r, float b, int radius)
{
    if (radius <= 0) {
        path->AddRectangle(Gdiplus::RectF(l, t, r - l, b - t));
        return;
    }
    const float d = 2.0f * radius;
    path->AddArc(l, t, d, d, 180.0f, 90.0f);
    path->AddArc(r - d, t, d, d, 270.0f, 90.0f);
    path->AddArc(r - d, b - d, d, d, 0.0f, 90.0f);
    path->AddArc(l, b - d, d, d, 90.0f, 90.0f);
    path->CloseFigure();
}
}

void CToviButton::LayoutCaption(CDC* pDC, int width, int height)
{
    const int iconSpace = m_hIcon ? 20 : 0;
    if (m_strCaption.IsEmpty()) {
        m_ptIcon = CPoint((width - 16) / 2, (height - 16) / 2);
        m_rectText = CRect();
        return;
    }
    CSize size = pDC->GetTextExtent(m_strCaption);
    const int y = (height - size.cy) / 2;
    const int x = (width - size.cx - iconSpace) / 2;
    m_ptIcon = CPoint(x, (height - 16) / 2);
    const int textX = x + iconSpace;
    m_rectText = CRect(textX, y, textX + size.cx, y + size.cy);
}

void CToviButton::DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct)
{
    const UINT state = lpDrawItemStruct->itemState;
    // Keep the pressed look only while the cursor is over the pressed button.
    if (m_bLButtonDown && ::GetCapture() == m_hWnd) {
        POINT cursor;
        ::GetCursorPos(&cursor);
        const bool over = ::WindowFromPoint(cursor) == m_hWnd;
        const bool selected = (state & ODS_SELECTED) != 0;
        if (over && !selected) {
            SetState(TRUE);
            return;
        }
        if (!over && selected) {
            SetState(FALSE);
            return;
        }
    }
    GetWindowText(m_strCaption);
    CDC* item = CDC::FromHandle(lpDrawItemStruct->hDC);
    CRgn clip;
    clip.CreateRectRgn(0, 0, 0, 0);
    if (::GetWindowRgn(m_hWnd, (HRGN)clip.GetSafeHandle()) == COMPLEXREGION)
        item->SelectClipRgn(&clip);

    CRect rc = lpDrawItemStruct->rcItem;
    const int width = rc.Width(), height = rc.Height();
    CDC mem;
    mem.CreateCompatibleDC(item);
    CBitmap bitmap;
    bitmap.CreateCompatibleBitmap(item, width, height);
    CBitmap* oldBitmap = mem.SelectObject(&bitmap);
    // What shows under the button stays under its transparent parts.
    mem.BitBlt(0, 0, width, height, item, rc.left, rc.top, SRCCOPY);
    mem.SetBkMode(TRANSPARENT);

    HFONT font = MakeCaptionFont((HFONT)::GetCurrentObject(item->GetSafeHdc(), OBJ_FONT));
    HGDIOBJ oldFont = ::SelectObject(mem.GetSafeHdc(), font);
    LayoutCaption(&mem, width, height);

    CRect face(0, 0, width, height);
    if (m_nBtnStyle == kStyleMainMenu)
        DrawMainMenu(&mem, face, state);
    else if (m_nBtnStyle >= kStyleCaptionMinimize && m_nBtnStyle <= kStyleFrameClose)
        DrawCaptionButton(&mem, face, state);
    else if (m_nBtnStyle == kStyleListToggle)
        DrawListToggle(&mem, face, state);
    else
        DrawFlat(&mem, face, state);

    item->BitBlt(rc.left, rc.top, width, height, &mem, 0, 0, SRCCOPY);
    ::SelectObject(mem.GetSafeHdc(), oldFont);
    ::DeleteObject(font);
    mem.SelectObject(oldBitmap);
}

void CToviButton::DrawMainMenu(CDC* pDC, const CRect& rc, UINT state)
{
    CToviColorRef colors;
    VerticalGradient(pDC, rc, colors[10], colors[11]);
    if (state & ODS_DISABLED)
        return;
    DWORD top, bottom;
    if (m_bStatus) {
        top = 0xFF6AABDF;
        bottom = 0xFF21659C;
    } else if (m_bHover) {
        top = 0xFFA0A0A0;
        bottom = 0xFF5A5A5A;
    } else {
        top = 0xFF787878;
        bottom = 0xFF3C3C3C;
    }
    // Opaque fill: the exact gradient, as GDI paints it.
    VerticalGradient(pDC, rc, ToColorRef(top), ToColorRef(bottom));
    Gdiplus::Graphics g(pDC->GetSafeHdc());
    g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
    g.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
    const float glossHeight = rc.Height() * 0.5f - 4.0f;
    if (glossHeight > 0) {
        Gdiplus::RectF gloss(0.0f, 0.0f, (float)rc.Width(), glossHeight);
        Gdiplus::LinearGradientBrush brush(Gdiplus::RectF(0.0f, -1.0f, (float)rc.Width(), glossHeight + 2.0f),
                                           FromArgb(0x14FFFFFF), FromArgb(0x0FFFFFFF),
                                           Gdiplus::LinearGradientModeVertical);
        g.FillRectangle(&brush, gloss);
    }
    Gdiplus::Pen outline(FromArgb(0x32FFFFFF), 1.0f);
    g.DrawRectangle(&outline, 0, 0, rc.Width() - 1, rc.Height() - 1);
    if (m_strCaption.IsEmpty())
        return;
    CSize size = pDC->GetTextExtent(m_strCaption);
    const int x = (rc.Width() - size.cx) / 2, y = (rc.Height() - size.cy) / 2;
    if (!(m_bHover && !m_bStatus)) {
        pDC->SetTextColor(0x000000);
        pDC->TextOut(x + 1, y + 1, m_strCaption);
    }
    pDC->SetTextColor(0xFFFFFF);
    pDC->TextOut(x, y, m_strCaption);
}

void CToviButton::DrawCaptionButton(CDC* pDC, const CRect& rc, UINT state)
{
    CWnd* parent = GetParent();
    if (parent && (parent->GetStyle() & WS_CLIPCHILDREN)) {
        if (m_nBtnStyle >= kStyleFrameMinimize) {
            CToviColorRef colors;
            VerticalGradient(pDC, rc, colors[m_bActive ? 15 : 16], colors[m_bActive ? 17 : 18]);
        } else {
            VerticalGradient(pDC, rc, RGB(0x76, 0x9E, 0xCD), RGB(0x48, 0x7B, 0xB9));
        }
    }
    int image = kImageNormal;
    if (state & ODS_DISABLED)
        image = kImageDisabled;
    else if ((state & ODS_SELECTED) || m_bChecked)
        image = kImagePressed;
    else if (m_bHover)
        image = kImageHover;
    if (m_imageList.GetSafeHandle())
        ImageList_Draw(m_imageList.GetSafeHandle(), image, pDC->GetSafeHdc(), (rc.Width() - 16) / 2,
                       (rc.Height() - 16) / 2, ILD_TRANSPARENT);
}

void CToviButton::DrawListToggle(CDC* pDC, const CRect& rc, UINT state)
{
    HBITMAP bitmap = nullptr;
    if (state & ODS_DISABLED) {
        bitmap = (HBITMAP)m_bmpDisabled.GetSafeHandle();
        if (bitmap == nullptr) {
            pDC->FillSolidRect(&rc, ::GetSysColor(COLOR_BTNFACE));
            return;
        }
    } else if (m_bStatus && m_bmpStatus.GetSafeHandle()) {
        bitmap = (HBITMAP)m_bmpStatus.GetSafeHandle();
    } else if (m_bHover && m_bmpHover.GetSafeHandle()) {
        bitmap = (HBITMAP)m_bmpHover.GetSafeHandle();
    } else if ((state & ODS_FOCUS) && m_bmpFocus.GetSafeHandle()) {
        bitmap = (HBITMAP)m_bmpFocus.GetSafeHandle();
    } else {
        bitmap = (HBITMAP)m_bmpNormal.GetSafeHandle();
    }
    if (bitmap)
        DrawBitmap(pDC, bitmap, rc, m_nSkinMode);
}

void CToviButton::DrawFlat(CDC* pDC, const CRect& rc, UINT state)
{
    COLORREF top, bottom, text, shadow;
    HICON icon = m_hIcon;
    int dy = 0;
    if (state & ODS_DISABLED) {
        if (m_nBtnStyle == 12 || m_nBtnStyle == 20) {
            top = m_clrState[0];
            bottom = m_clrState[1];
        } else if (m_nBtnStyle == 13) {
            top = ToColorRef(0xFF9ABCEB);
            bottom = ToColorRef(0xFF7DA0C8);
        } else {
            top = ToColorRef(0xFFF8F8F8);
            bottom = ToColorRef(0xFFEEEEEE);
        }
        icon = m_hGrayIcon;
        text = m_nBtnStyle == 13 ? 0xDCDCDC : m_clrText[3];
        shadow = m_clrState[1];
    } else if (state & ODS_SELECTED) {
        top = m_clrState[4];
        bottom = m_clrState[5];
        text = m_clrText[2];
        shadow = m_clrState[5];
        dy = 1;
    } else if (m_bHover) {
        top = m_clrState[2];
        bottom = m_clrState[3];
        text = m_clrText[1];
        shadow = m_clrState[3];
    } else {
        top = m_clrState[0];
        bottom = m_clrState[1];
        text = m_clrText[0];
        shadow = m_clrState[1];
    }
    VerticalGradient(pDC, rc, top, bottom);
    {
        Gdiplus::Graphics g(pDC->GetSafeHdc());
        g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
        Gdiplus::GraphicsPath outer;
        RoundedPath(&outer, (float)rc.left, (float)rc.top, (float)rc.right - 1, (float)rc.bottom - 1, m_nRoundRadius);
        Gdiplus::Pen outline(Argb(m_clrBg), 1.0f);
        g.DrawPath(&outline, &outer);
        Gdiplus::GraphicsPath inner;
        RoundedPath(&inner, (float)rc.left + 1, (float)rc.top + 1, (float)rc.right - 2, (float)rc.bottom - 2, m_nRoundRadius);
        Gdiplus::Pen highlight(FromArgb(0x3CFFFFFF), 1.0f);
        g.DrawPath(&highlight, &inner);
    }
    if (icon)
        ::DrawIconEx(pDC->GetSafeHdc(), m_ptIcon.x, m_ptIcon.y + dy, icon, 16, 16, 0, nullptr, DI_NORMAL);
    if (m_strCaption.IsEmpty())
        return;
    CRect textRect = m_rectText;
    textRect.OffsetRect(0, dy);
    if (m_nBtnStyle == 12 || m_nBtnStyle == 19 || m_nBtnStyle == 20) {
        CRect shadowRect = textRect;
        shadowRect.OffsetRect(1, 1);
        pDC->SetTextColor(m_nBtnStyle == 19 ? 0x000000 : shadow);
        ::DrawTextW(pDC->GetSafeHdc(), m_strCaption, -1, &shadowRect, kCaptionFormat);
    }
    pDC->SetTextColor(text);
    ::DrawTextW(pDC->GetSafeHdc(), m_strCaption, -1, &textRect, kCaptionFormat);
}

void CToviButton::DrawBitmap(CDC* pDC, HBITMAP bitmap, const CRect& rect, int mode)
{
    if (mode == 2) {
        FillWithBitmap(pDC, bitmap, rect);
        return;
    }
    const int bw = GetBitmapWidth(bitmap), bh = GetBitmapHeight(bitmap);
    HDC src = ::CreateCompatibleDC(pDC->GetSafeHdc());
    HGDIOBJ old = ::SelectObject(src, bitmap);
    auto blit = [&](HDC from, int w, int h, DWORD rop) {
        if (mode == 1)
            ::StretchBlt(pDC->GetSafeHdc(), rect.left, rect.top, rect.Width(), rect.Height(), from, 0, 0, w, h, rop);
        else
            ::BitBlt(pDC->GetSafeHdc(), rect.left, rect.top, rect.Width(), rect.Height(), from, 0, 0, rop);
    };
    HBITMAP mask = (HBITMAP)m_bmpMask.GetSafeHandle();
    if (mask) {
        // White in the mask keeps what is below, black shows the bitmap.
        HDC maskDc = ::CreateCompatibleDC(pDC->GetSafeHdc());
        HGDIOBJ oldMask = ::SelectObject(maskDc, mask);
        blit(src, bw, bh, SRCINVERT);
        blit(maskDc, GetBitmapWidth(mask), GetBitmapHeight(mask), SRCAND);
        blit(src, bw, bh, SRCINVERT);
        ::SelectObject(maskDc, oldMask);
        ::DeleteDC(maskDc);
    } else {
        blit(src, bw, bh, SRCCOPY);
    }
    ::SelectObject(src, old);
    ::DeleteDC(src);
}

void CToviButton::FillWithBitmap(CDC* pDC, HBITMAP bitmap, const CRect& rect)
{
    const int bw = GetBitmapWidth(bitmap), bh = GetBitmapHeight(bitmap);
    if (bw <= 0 || bh <= 0)
        return;
    HDC src = ::CreateCompatibleDC(pDC->GetSafeHdc());
    HGDIOBJ old = ::SelectObject(src, bitmap);
    for (int y = rect.top; y < rect.bottom; y += bh) {
        const int h = (y + bh > rect.bottom) ? rect.bottom - y : bh;
        for (int x = rect.left; x < rect.right; x += bw) {
            const int w = (x + bw > rect.right) ? rect.right - x : bw;
            ::BitBlt(pDC->GetSafeHdc(), x, y, w, h, src, 0, 0, SRCCOPY);
        }
    }
    ::SelectObject(src, old);
    ::DeleteDC(src);
}

// CToviProgressCtrl: painting of the track, the bar or marquee block, and the text.
#include "ToviProgressCtrl.h"
#include "Dc.h"
#include <gdiplus.h>

namespace {
enum Slot { kTrackTop, kTrackBottom, kTrackGlossTop, kTrackGlossBottom, kTrackBorder, kHighlight,
            kBarTop, kBarBottom, kBarGlossTop, kBarGlossBottom, kBarBorder };

Gdiplus::Color FromArgb(DWORD argb)
{
    return Gdiplus::Color((BYTE)(argb >> 24), (BYTE)(argb >> 16), (BYTE)(argb >> 8), (BYTE)argb);
}

// Rounded corners; the far end (right, or top for a vertical bar) stays square when
// roundFar is false.
void RoundedPath(Gdiplus::GraphicsPath* path, const Gdiplus::RectF& r, float radius, bool roundFar, bool vertical)
{
    const float d = 2.0f * radius;
    if (radius <= 0 || r.Width < d || r.Height < d) {
        path->AddRectangle(r);
        return;
    }
    const float l = r.X, t = r.Y, rr = r.X + r.Width, b = r.Y + r.Height;
    const bool topLeft = !vertical || roundFar;
    const bool topRight = roundFar;
    const bool bottomRight = vertical || roundFar;
    if (topLeft)
        path->AddArc(l, t, d, d, 180.0f, 90.0f);
    else
        path->AddLine(l, t + 0.01f, l, t);
    if (topRight)
        path->AddArc(rr - d, t, d, d, 270.0f, 90.0f);
    else
        path->AddLine(rr - 0.01f, t, rr, t);
    if (bottomRight)
        path->AddArc(rr - d, b - d, d, d, 0.0f, 90.0f);
    else
        path->AddLine(rr, b - 0.01f, rr, b);
    path->AddArc(l, b - d, d, d, 90.0f, 90.0f);
    path->CloseFigure();
}

void FillVertical(Gdiplus::Graphics* g, const Gdiplus::GraphicsPath* clipPath, const Gdiplus::RectF& area,
                  DWORD top, DWORD bottom)
{
    if (area.Width <= 0 || area.Height <= 0)
        return;
    Gdiplus::RectF span(area.X, area.Y - 1.0f, area.Width, area.Height + 2.0f);
    Gdiplus::LinearGradientBrush brush(span, FromArgb(top), FromArgb(bottom), Gdiplus::LinearGradientModeVertical);
    g->SetClip(clipPath);
    g->FillRectangle(&brush, area);
    g->ResetClip();
}

void PaintRounded(Gdiplus::Graphics* g, const Gdiplus::RectF& r, float radius, bool roundFar, bool vertical,
                  DWORD top, DWORD bottom, DWORD glossTop, DWORD glossBottom, DWORD border)
{
    Gdiplus::GraphicsPath path;
    RoundedPath(&path, r, radius, roundFar, vertical);
    FillVertical(g, &path, r, top, bottom);
    FillVertical(g, &path, Gdiplus::RectF(r.X, r.Y, r.Width, r.Height / 2.0f - 3.0f), glossTop, glossBottom);
    Gdiplus::Pen pen(FromArgb(border), 1.0f);
    g->DrawPath(&pen, &path);
}
}

void CToviProgressCtrl::Paint(CDC* pDC)
{
    if (m_nLower >= m_nUpper)
        return;
    CRect client;
    GetClientRect(&client);
    const int w = client.Width(), h = client.Height();
    if (w <= 0 || h <= 0)
        return;
    CDC mem;
    mem.CreateCompatibleDC(pDC);
    CBitmap bitmap;
    bitmap.CreateCompatibleBitmap(pDC, w, h);
    CBitmap* oldBitmap = mem.SelectObject(&bitmap);
    mem.FillSolidRect(&client, m_clrBack);

    const DWORD style = GetStyle();
    const bool vertical = (style & PBS_VERTICAL) != 0;
    const bool marquee = (style & PBS_MARQUEE) != 0;
    CRect inside = client;
    inside.DeflateRect(1, 1);
    CRect bar = BarRect(inside, m_nPos, m_nLower, m_nUpper, vertical, marquee, m_nMarqueeBlock);
    {
        Gdiplus::Graphics g(mem.GetSafeHdc());
        g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
        const float radius = (float)m_nRadius;
        Gdiplus::RectF track(0.0f, 0.0f, (float)(w - 1), (float)(h - 1));
        Gdiplus::GraphicsPath trackPath;
        RoundedPath(&trackPath, track, radius, true, vertical);
        FillVertical(&g, &trackPath, track, m_clrSlots[kTrackTop], m_clrSlots[kTrackBottom]);
        FillVertical(&g, &trackPath, Gdiplus::RectF(0.0f, 0.0f, track.Width, (float)(h / 2 - 3)),
                     m_clrSlots[kTrackGlossTop], m_clrSlots[kTrackGlossBottom]);
        Gdiplus::GraphicsPath innerPath;
        RoundedPath(&innerPath, Gdiplus::RectF(1.0f, 1.0f, track.Width - 2.0f, track.Height - 2.0f), radius, true, vertical);
        Gdiplus::Pen highlight(FromArgb(m_clrSlots[kHighlight]), 1.0f);
        g.DrawPath(&highlight, &innerPath);
        Gdiplus::Pen border(FromArgb(m_clrSlots[kTrackBorder]), 1.0f);
        g.DrawPath(&border, &trackPath);

        const int barLength = vertical ? bar.Height() : bar.Width();
        const int trackLength = vertical ? inside.Height() : inside.Width();
        if (barLength > 1) {
            const bool roundFar = marquee || barLength >= trackLength - 4;
            Gdiplus::RectF barF((float)bar.left, (float)bar.top, (float)bar.Width() - 1.0f, (float)bar.Height() - 1.0f);
            PaintRounded(&g, barF, radius, roundFar, vertical, m_clrSlots[kBarTop], m_clrSlots[kBarBottom],
                         m_clrSlots[kBarGlossTop], m_clrSlots[kBarGlossBottom], m_clrSlots[kBarBorder]);
        }
    }

    CString text;
    GetWindowText(text);
    if (!text.IsEmpty()) {
        LOGFONTW lf = {};
        HFONT base = (HFONT)SendMessage(WM_GETFONT);
        ::GetObjectW(base ? base : ::GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf);
        lf.lfQuality = CLEARTYPE_QUALITY;
        if (m_nFontSize > 0)
            lf.lfHeight = -::MulDiv(m_nFontSize, mem.GetDeviceCaps(LOGPIXELSY), 72);
        if (m_nFontWeight > 0)
            lf.lfWeight = m_nFontWeight;
        HFONT font = ::CreateFontIndirectW(&lf);
        HGDIOBJ oldFont = ::SelectObject(mem.GetSafeHdc(), font);
        CSize size = mem.GetTextExtent(text);
        int x = (w - size.cx) / 2;
        if (m_nAlignText == 0)
            x = client.left + 2;
        else if (m_nAlignText == 2)
            x = client.right - size.cx - 3;
        const int y = client.top + (h - size.cy) / 2 + 1;
        CRect textRect(x, y, x + size.cx, y + size.cy);
        mem.SetBkMode(TRANSPARENT);
        if (m_nColorType == 0) {
            // Outside the bar in one colour, over it in the other.
            CRect before = client, after = client;
            if (vertical) {
                before.bottom = bar.top;
                after.top = bar.bottom;
            } else {
                before.right = bar.left;
                after.left = bar.right;
            }
            if (bar.IsRectEmpty()) {
                before = client;
                after = CRect();
            }
            const struct { CRect clip; COLORREF color; } parts[3] = {
                { before, m_clrTextOut }, { bar, m_clrTextIn }, { after, m_clrTextOut } };
            for (const auto& part : parts) {
                if (part.clip.IsRectEmpty())
                    continue;
                mem.SaveDC();
                mem.IntersectClipRect(&part.clip);
                mem.SetTextColor(part.color);
                ::DrawTextW(mem.GetSafeHdc(), text, -1, &textRect, DT_SINGLELINE | DT_NOPREFIX);
                mem.RestoreDC(-1);
            }
        } else {
            mem.SetTextColor(m_clrTextOut);
            ::DrawTextW(mem.GetSafeHdc(), text, -1, &textRect, DT_SINGLELINE | DT_NOPREFIX);
        }
        ::SelectObject(mem.GetSafeHdc(), oldFont);
        ::DeleteObject(font);
    }
    pDC->BitBlt(0, 0, w, h, &mem, 0, 0, SRCCOPY);
    mem.SelectObject(oldBitmap);
}

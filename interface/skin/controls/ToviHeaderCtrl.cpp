// CToviHeaderCtrl: subclassing, hover and divider tracking, the fixed height and cell painting.
#include "ToviHeaderCtrl.h"
#include "Dc.h"
#include "FileUtils.h"
#include "ListIconsRes.h"
#include "ToviString.h"
#include "VImageList.h"
#include <gdiplus.h>

IMPLEMENT_DYNAMIC(CToviHeaderCtrl, CHeaderCtrl)

BEGIN_MESSAGE_MAP(CToviHeaderCtrl, CHeaderCtrl)
    ON_WM_ERASEBKGND()
    ON_NOTIFY_REFLECT(NM_CUSTOMDRAW, OnNMCustomdraw)
    ON_WM_MOUSEMOVE()
    ON_WM_MOUSELEAVE()
    ON_MESSAGE(HDM_LAYOUT, OnLayout)
    ON_NOTIFY_REFLECT_EX(HDN_BEGINTRACKW, OnHdnBegintrack)
    ON_NOTIFY_REFLECT_EX(HDN_BEGINTRACKA, OnHdnBegintrack)
    ON_NOTIFY_REFLECT_EX(HDN_ENDTRACKW, OnHdnEndtrack)
    ON_NOTIFY_REFLECT_EX(HDN_ENDTRACKA, OnHdnEndtrack)
END_MESSAGE_MAP()

namespace {
Gdiplus::Color FromArgb(DWORD argb)
{
    return Gdiplus::Color((BYTE)(argb >> 24), (BYTE)(argb >> 16), (BYTE)(argb >> 8), (BYTE)argb);
}

void FillColour(HDC dc, const RECT& rc, COLORREF colour)
{
    HBRUSH brush = ::CreateSolidBrush(colour);
    ::FillRect(dc, &rc, brush);
    ::DeleteObject(brush);
}

void PenLine(HDC dc, COLORREF colour, int x0, int y0, int x1, int y1)
{
    HPEN pen = ::CreatePen(PS_SOLID, 1, colour);
    HGDIOBJ old = ::SelectObject(dc, pen);
    ::MoveToEx(dc, x0, y0, nullptr);
    ::LineTo(dc, x1, y1);
    ::SelectObject(dc, old);
    ::DeleteObject(pen);
}
}

CToviHeaderCtrl::CToviHeaderCtrl() = default;

CToviHeaderCtrl::~CToviHeaderCtrl() = default;

void CToviHeaderCtrl::PreSubclassWindow()
{
    ModifyStyle(0, HDS_FLAT);
    CHeaderCtrl::PreSubclassWindow();
}

BOOL CToviHeaderCtrl::Init(CHeaderCtrl* header)
{
    if (header == nullptr || !::IsWindow(header->GetSafeHwnd()))
        return FALSE;
    HWND hwnd = header->GetSafeHwnd();
    if (CWnd::FromHandlePermanent(hwnd) != this && !SubclassWindow(hwnd))
        return FALSE;
    // The list lays its header out again, at our height; then the cells take that height.
    HWND list = ::GetParent(hwnd);
    RECT frame = {};
    ::GetWindowRect(list, &frame);
    const UINT flags = SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE;
    ::SetWindowPos(list, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top + 1, flags);
    ::SetWindowPos(list, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top, flags);
    ResetColumn();
    if (m_bCheckColumn) {
        m_nWindowsType = CFileUtils::GetWindowsType();
        if (m_imageList.GetSafeHandle() == nullptr)
            m_imageList.Create(16, 16, ILC_COLOR32 | ILC_MASK, 2, 1);
        const bool newer = m_nWindowsType > 6;
        m_imageList.Add(CVImageList::GetIcon(newer ? IDI_HEADER_CHECK_OFF_NEW : IDI_HEADER_CHECK_OFF, 16, 16));
        m_imageList.Add(CVImageList::GetIcon(newer ? IDI_HEADER_CHECK_ON_NEW : IDI_HEADER_CHECK_ON, 16, 16));
    }
    return TRUE;
}

void CToviHeaderCtrl::ResetColumn(int)
{
    const int count = GetItemCount();
    for (int i = 0; i < count; ++i) {
        HDITEMW item = {};
        item.mask = HDI_FORMAT;
        GetItem(i, &item);
        item.fmt |= HDF_OWNERDRAW;
        SetItem(i, &item);
    }
}

void CToviHeaderCtrl::SetOrder(int order, int column)
{
    if (order < 0 || column < 0)
        return;
    m_nSortOrder = order;
    m_nSortColumn = column;
    Invalidate();
}

CString CToviHeaderCtrl::GetItemInfo(int column, int* width)
{
    wchar_t text[260] = {};
    HDITEMW item = {};
    item.mask = HDI_TEXT | HDI_WIDTH;
    item.pszText = text;
    item.cchTextMax = 260;
    if (!GetItem(column, &item))
        return CString();
    if (width && item.cxy > 0)
        *width = item.cxy;
    return CString(text);
}

BOOL CToviHeaderCtrl::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

void CToviHeaderCtrl::OnMouseMove(UINT, CPoint point)
{
    if (!m_bHoverTracking) {
        TRACKMOUSEEVENT tme = { sizeof tme, TME_LEAVE, m_hWnd, 0 };
        m_bHoverTracking = ::TrackMouseEvent(&tme) != FALSE;
    }
    if (!m_bColumnTracking) {
        m_nHoverColumn = -1;
        const int count = GetItemCount();
        for (int i = 0; i < count; ++i) {
            CRect rc;
            if (GetItemRect(i, &rc) && rc.PtInRect(point)) {
                m_nHoverColumn = i;
                break;
            }
        }
        if (m_nHoverColumn != m_nLastHoverColumn) {
            m_nLastHoverColumn = m_nHoverColumn;
            Invalidate();
        }
    }
    Default();
}

void CToviHeaderCtrl::OnMouseLeave()
{
    m_nHoverColumn = -1;
    m_nLastHoverColumn = -1;
    m_bHoverTracking = false;
    Invalidate();
    Default();
}

LRESULT CToviHeaderCtrl::OnLayout(WPARAM, LPARAM lParam)
{
    LRESULT result = Default();
    auto* layout = (HDLAYOUT*)lParam;
    if (layout && layout->pwpos && layout->prc) {
        layout->pwpos->cy = m_nHeight;
        layout->prc->top = layout->pwpos->y + m_nHeight;
    }
    return result;
}

BOOL CToviHeaderCtrl::OnHdnBegintrack(NMHDR*, LRESULT* pResult)
{
    m_bColumnTracking = true;
    *pResult = 0;
    return FALSE;   // the list resizes its column itself
}

BOOL CToviHeaderCtrl::OnHdnEndtrack(NMHDR*, LRESULT* pResult)
{
    m_bColumnTracking = false;
    *pResult = 0;
    return FALSE;
}

void CToviHeaderCtrl::OnNMCustomdraw(NMHDR* pNMHDR, LRESULT* pResult)
{
    auto* cd = (NMCUSTOMDRAW*)pNMHDR;
    *pResult = CDRF_DODEFAULT;
    if (cd->dwDrawStage == CDDS_PREPAINT)
        *pResult = CDRF_NOTIFYITEMDRAW | CDRF_NOTIFYPOSTPAINT;
    else if (cd->dwDrawStage == CDDS_POSTPAINT)
        DrawTail(cd->hdc);
}

// ---- Painting

void CToviHeaderCtrl::DrawGround(HDC dc, const CRect& rc)
{
    FillColour(dc, rc, 0xFFFFFF);
    const CRect lower(rc.left, rc.top + rc.Height() / 3 + 2, rc.right, rc.bottom);
    if (lower.Height() > 0 && lower.Width() > 0) {
        CDC* pDC = CDC::FromHandle(dc);
        pDC->FillGradientRect(&lower, RGB(0xF7, 0xF8, 0xFA), RGB(0xF1, 0xF2, 0xF4), true);
    }
    PenLine(dc, RGB(0xD5, 0xD5, 0xD5), rc.left, rc.bottom - 1, rc.right, rc.bottom - 1);
}

void CToviHeaderCtrl::DrawTail(HDC dc)
{
    CRect client;
    GetClientRect(&client);
    const int count = GetItemCount();
    int right = 0;
    for (int i = 0; i < count; ++i) {
        CRect rc;
        if (GetItemRect(i, &rc) && rc.right > right)
            right = rc.right;
    }
    if (right >= client.right)
        return;
    DrawGround(dc, CRect(right, client.top, client.right, client.bottom));
}

void CToviHeaderCtrl::DrawItem(LPDRAWITEMSTRUCT dis)
{
    if (dis == nullptr)
        return;
    const CRect cell(dis->rcItem);
    const int w = cell.Width(), h = cell.Height();
    if (w <= 0 || h <= 0)
        return;
    const int column = (int)dis->itemID;
    const bool pressed = (dis->itemState & ODS_SELECTED) != 0;

    HDC mem = ::CreateCompatibleDC(dis->hDC);
    HBITMAP bitmap = ::CreateCompatibleBitmap(dis->hDC, w, h);
    HGDIOBJ oldBitmap = ::SelectObject(mem, bitmap);
    const CRect rc(0, 0, w, h);

    DrawGround(mem, rc);
    PenLine(mem, RGB(0xD5, 0xD5, 0xD5), w - 1, 0, w - 1, h);
    PenLine(mem, RGB(0xFF, 0xFF, 0xFF), w - 2, 0, w - 2, h - 2);
    {
        Gdiplus::Graphics g(mem);
        if (pressed) {
            Gdiplus::SolidBrush fill(FromArgb(0x5095B7DF));
            g.FillRectangle(&fill, 0, 0, w, h);
            const DWORD pens[3] = { 0xFA95B7DF, 0x9695B7DF, 0x3295B7DF };
            for (int i = 0; i < 3; ++i) {
                Gdiplus::Pen pen(FromArgb(pens[i]), 1.0f);
                g.DrawRectangle(&pen, i, i, w - 1 - 2 * i, h - 1 - 2 * i);
            }
        } else if (m_bHoverTracking && column == m_nHoverColumn) {
            Gdiplus::SolidBrush fill(FromArgb(0x1E95B7DF));
            g.FillRectangle(&fill, 0, 0, w, h);
            Gdiplus::Pen outer(FromArgb(0xC895B7DF), 1.0f);
            g.DrawLine(&outer, 0, 0, 0, h - 1);
            g.DrawLine(&outer, 0, h - 1, w - 1, h - 1);
            g.DrawLine(&outer, w - 1, 0, w - 1, h - 1);
            Gdiplus::Pen inner(FromArgb(0x6495B7DF), 1.0f);
            g.DrawLine(&inner, 1, 0, 1, h - 2);
            g.DrawLine(&inner, w - 2, 0, w - 2, h - 2);
        }
    }

    int width = 0;
    const CString text = GetItemInfo(column, &width);
    if (column == m_nSortColumn && (m_nSortOrder == 0 || m_nSortOrder == 1) && text != CToviString::GetString(14202)) {
        Gdiplus::Graphics g(mem);
        g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
        const float cx = w / 2.0f;
        const float base = m_nSortOrder == 0 ? 5.0f : 1.0f;
        const float apex = m_nSortOrder == 0 ? 1.0f : 5.0f;
        const Gdiplus::PointF points[3] = { { cx - 4.0f, base }, { cx + 4.0f, base }, { cx, apex } };
        Gdiplus::SolidBrush brush(FromArgb(0xFF8C8C8C));
        g.FillPolygon(&brush, points, 3);
    }

    const int margin = (int)SendMessage(HDM_GETBITMAPMARGIN);
    CRect textRect(margin, 0, w - margin, h - 4);
    if (pressed)
        textRect.OffsetRect(1, 2);
    if (column == 0 && m_bCheckColumn) {
        const bool newer = m_nWindowsType > 6;
        const int x = newer ? margin - 3 : margin - 1;
        const int y = (h - 16) / 2 + 2;
        if (m_imageList.GetSafeHandle())
            ImageList_Draw(m_imageList.GetSafeHandle(), m_nCheckState ? 1 : 0, mem, x, y, ILD_TRANSPARENT);
        m_rcCheck = CRect(cell.left + x, cell.top + y, cell.left + x + 16, cell.top + y + 16);
        textRect.left = x + (newer ? 19 : 20);
    }
    if (!text.IsEmpty()) {
        HWND list = ::GetParent(m_hWnd);
        HFONT font = (HFONT)::SendMessageW(list, WM_GETFONT, 0, 0);
        HGDIOBJ oldFont = font ? ::SelectObject(mem, font) : nullptr;
        HDITEMW item = {};
        item.mask = HDI_FORMAT;
        GetItem(column, &item);
        UINT format = DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX;
        if ((item.fmt & HDF_JUSTIFYMASK) == HDF_CENTER)
            format |= DT_CENTER;
        else if ((item.fmt & HDF_JUSTIFYMASK) == HDF_RIGHT)
            format |= DT_RIGHT;
        ::SetBkMode(mem, TRANSPARENT);
        ::SetTextColor(mem, 0x282828);
        ::DrawTextW(mem, text.GetString(), text.GetLength(), &textRect, format);
        if (oldFont)
            ::SelectObject(mem, oldFont);
    }

    ::BitBlt(dis->hDC, cell.left, cell.top, w, h, mem, 0, 0, SRCCOPY);
    ::SelectObject(mem, oldBitmap);
    ::DeleteObject(bitmap);
    ::DeleteDC(mem);
}

// CToviListCtrl: row painting of the four list types and the search-content highlighting.
#include "ToviListCtrl.h"
#include "Dc.h"
#include "HeaderCtrl.h"
#include "ProtoRecords.h"
#include "ToviButton.h"
#include <gdiplus.h>
#include <algorithm>

namespace {
Gdiplus::Color FromArgb(DWORD argb)
{
    return Gdiplus::Color((BYTE)(argb >> 24), (BYTE)(argb >> 16), (BYTE)(argb >> 8), (BYTE)argb);
}

class SelectFont {
public:
    SelectFont(HDC dc, HFONT font) : m_dc(dc), m_old(font ? ::SelectObject(dc, font) : nullptr) {}
    ~SelectFont()
    {
        if (m_old)
            ::SelectObject(m_dc, m_old);
    }
private:
    HDC m_dc;
    HGDIOBJ m_old;
};

void FillColour(HDC dc, const RECT& rc, COLORREF colour)
{
    HBRUSH brush = ::CreateSolidBrush(colour);
    ::FillRect(dc, &rc, brush);
    ::DeleteObject(brush);
}

void Line(HDC dc, int x0, int y0, int x1, int y1)
{
    ::MoveToEx(dc, x0, y0, nullptr);
    ::LineTo(dc, x1, y1);
}

int TextWidth(HDC dc, const wchar_t* text, size_t length)
{
    SIZE size = {};
    if (length)
        ::GetTextExtentPoint32W(dc, text, (int)length, &size);
    return size.cx;
}

UINT AlignmentOf(int format)
{
    switch (format & LVCFMT_JUSTIFYMASK) {
    case LVCFMT_RIGHT: return DT_RIGHT;
    case LVCFMT_CENTER: return DT_CENTER;
    default: return DT_LEFT;
    }
}

bool IsBlank(wchar_t c)
{
    return c == L' ' || c == L'\t' || c == 0x3000;
}

// Every occurrence of word in text, each search starting after the previous match.
void CollectOccurrences(const std::wstring& text, const std::wstring& word,
                        std::vector<std::pair<size_t, size_t>>& out)
{
    if (word.empty())
        return;
    for (size_t pos = text.find(word); pos != std::wstring::npos; pos = text.find(word, pos + word.size()))
        out.emplace_back(pos, word.size());
}
}

// ---- Highlighting

std::wstring CToviListCtrl::ToLower(const std::wstring& text)
{
    std::wstring lower(text);
    if (!lower.empty())
        ::CharLowerBuffW(&lower[0], (DWORD)lower.size());
    return lower;
}

std::vector<std::pair<size_t, size_t>> CToviListCtrl::FindHighlights(const std::wstring& excerpt,
                                                                     const std::wstring& keyword)
{
    std::vector<std::pair<size_t, size_t>> found;
    const std::wstring text = ToLower(excerpt);
    const std::wstring key = ToLower(keyword);
    if (std::all_of(key.begin(), key.end(), IsBlank))
        return found;
    if (text.find(key) != std::wstring::npos) {
        CollectOccurrences(text, key, found);
    } else {
        size_t start = 0;
        while (start < key.size()) {
            while (start < key.size() && IsBlank(key[start]))
                ++start;
            size_t end = start;
            while (end < key.size() && !IsBlank(key[end]))
                ++end;
            CollectOccurrences(text, key.substr(start, end - start), found);   // empty words add nothing
            start = end;
        }
    }
    std::sort(found.begin(), found.end());
    return found;
}

// ---- Colours

const DWORD* CToviListCtrl::RowColours(int row) const
{
    const UINT state = GetItemState(row, LVIS_SELECTED | LVIS_DROPHILITED);
    const bool selected = (state & LVIS_SELECTED) != 0;
    const bool focused = ::GetFocus() == m_hWnd;
    const DWORD* colours = nullptr;
    if ((state & LVIS_DROPHILITED) || (selected && focused))
        colours = m_clrSelected;
    else if ((GetStyle() & LVS_SHOWSELALWAYS) && selected)
        colours = m_clrInactive;
    if (m_bHoverTracking && row == m_nHoverItem)
        colours = selected ? m_clrSelected : m_clrHover;
    return colours;
}

void CToviListCtrl::PaintRowColours(HDC hdc, const CRect& row, const DWORD* colours)
{
    if (colours == nullptr)
        return;
    CRect rc(row);
    rc.DeflateRect(1, 1);
    if (rc.Width() <= 2 || rc.Height() <= 2)
        return;
    Gdiplus::Graphics g(hdc);
    g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
    const Gdiplus::RectF area((float)rc.left, (float)rc.top, (float)rc.Width(), (float)rc.Height());
    Gdiplus::LinearGradientBrush fill(Gdiplus::RectF(area.X, area.Y - 1.0f, area.Width, area.Height + 2.0f),
                                      FromArgb(colours[0]), FromArgb(colours[1]),
                                      Gdiplus::LinearGradientModeVertical);
    g.FillRectangle(&fill, area);
    Gdiplus::Pen light(FromArgb(0xA0FFFFFF), 1.0f);
    g.DrawRectangle(&light, (float)rc.left + 1, (float)rc.top + 1, (float)rc.Width() - 3, (float)rc.Height() - 3);
    const float l = (float)rc.left, t = (float)rc.top, r = (float)rc.right - 1, b = (float)rc.bottom - 1;
    const float d = 4.0f;
    Gdiplus::GraphicsPath path;
    path.AddArc(l, t, d, d, 180.0f, 90.0f);
    path.AddArc(r - d, t, d, d, 270.0f, 90.0f);
    path.AddArc(r - d, b - d, d, d, 0.0f, 90.0f);
    path.AddArc(l, b - d, d, d, 90.0f, 90.0f);
    path.CloseFigure();
    Gdiplus::Pen border(FromArgb(colours[2]), 1.0f);
    g.DrawPath(&border, &path);
}

// ---- Texts of the default, version and search rows

void CToviListCtrl::PaintTexts(HDC hdc, int row, const CRect&, bool withImage)
{
    CHeaderCtrl* header = GetHeaderCtrl();
    const int columns = header ? header->GetItemCount() : 1;
    if (withImage) {
        LVITEMW item = {};
        item.mask = LVIF_IMAGE;
        item.iItem = row;
        CImageList* images = GetImageList(LVSIL_SMALL);
        CRect icon;
        if (GetItem(&item) && item.iImage >= 0 && images && images->GetSafeHandle() &&
            GetItemRect(row, &icon, LVIR_ICON)) {
            int cx = 16, cy = 16;
            ImageList_GetIconSize(images->GetSafeHandle(), &cx, &cy);
            ImageList_Draw(images->GetSafeHandle(), item.iImage, hdc, icon.left + (icon.Width() - cx) / 2,
                           icon.top + (icon.Height() - cy) / 2, ILD_TRANSPARENT);
        }
    }
    SelectFont font(hdc, m_fontNormal ? m_fontNormal : (HFONT)SendMessage(WM_GETFONT));
    ::SetBkMode(hdc, TRANSPARENT);
    ::SetTextColor(hdc, m_clrText);
    for (int column = 0; column < columns; ++column) {
        CRect rc;
        if (!GetSubItemRect(row, column, LVIR_LABEL, rc))
            continue;
        rc.DeflateRect(2, 2);
        const CString text = GetItemText(row, column);
        LVCOLUMNW info = {};
        info.mask = LVCF_FMT;
        GetColumn(column, &info);
        UINT align = DT_LEFT;
        if (TextWidth(hdc, text.GetString(), text.GetLength()) <= rc.Width())
            align = AlignmentOf(info.fmt);
        ::DrawTextW(hdc, text.GetString(), text.GetLength(), &rc,
                    align | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_NOCLIP | DT_END_ELLIPSIS);
    }
}

void CToviListCtrl::DrawCheckBox(HDC hdc, const RECT& rect, int state)
{
    if (::IsRectEmpty(&rect))
        return;
    const int left = rect.left;
    const int top = rect.top + (rect.bottom - rect.top - 13) / 2;
    const RECT box = { left, top, left + 13, top + 13 };
    FillColour(hdc, box, ::GetSysColor(COLOR_WINDOW));
    HBRUSH frame = ::CreateSolidBrush(0x996633);
    ::FrameRect(hdc, &box, frame);
    ::DeleteObject(frame);
    if (state <= 0)
        return;
    HPEN pen = ::CreatePen(PS_SOLID, 1, state == 1 ? 0x999999 : 0xBD8251);
    HGDIOBJ old = ::SelectObject(hdc, pen);
    int y = top + 3;
    for (int i = 0; i < 7; ++i) {
        const int x = left + 9 - i;
        Line(hdc, x, y, x, y + 3);
        y += i < 3 ? 1 : -1;
    }
    ::SelectObject(hdc, old);
    ::DeleteObject(pen);
}

// ---- Row painters

void CToviListCtrl::DrawItem(LPDRAWITEMSTRUCT dis)
{
    if (m_bNoDraw || dis == nullptr || (int)dis->itemID < 0)
        return;
    HDC hdc = dis->hDC;
    const int saved = ::SaveDC(hdc);
    switch (m_nType) {
    case kTypeVersion: DrawVersionRow(hdc, *dis); break;
    case kTypeSearchContent: DrawSearchContentRow(hdc, *dis); break;
    case kTypeSearch: DrawSearchRow(hdc, *dis); break;
    default: DrawDefaultRow(hdc, *dis); break;
    }
    ::RestoreDC(hdc, saved);
}

void CToviListCtrl::DrawDefaultRow(HDC hdc, const DRAWITEMSTRUCT& dis)
{
    // The background is not erased, so the row lays its own ground.
    const COLORREF back = GetBkColor() == CLR_NONE ? ::GetSysColor(COLOR_WINDOW) : GetBkColor();
    FillColour(hdc, dis.rcItem, back);
    PaintRowColours(hdc, dis.rcItem, RowColours((int)dis.itemID));
    PaintTexts(hdc, (int)dis.itemID, dis.rcItem, true);
}

void CToviListCtrl::DrawSearchRow(HDC hdc, const DRAWITEMSTRUCT& dis)
{
    DrawDefaultRow(hdc, dis);
    const int row = (int)dis.itemID;
    auto* record = reinterpret_cast<_PROTO_SEARCH_INFO*>(dis.itemData);
    CRect icon;
    if (record == nullptr || !GetItemRect(row, &icon, LVIR_ICON))
        return;
    const CRect box(icon.left - 16, dis.rcItem.top + 5, icon.left - 3, dis.rcItem.top + 18);
    if (record->ItemType[0] != 'F') {
        // No box is shown, so there is nothing to click either.
        ::SetRectEmpty(&record->CheckRect);
        return;
    }
    DrawCheckBox(hdc, box, (int)record->CheckState);
    CRect target(box);
    target.InflateRect(3, 3);
    record->CheckRect = target;
}

void CToviListCtrl::DrawVersionRow(HDC hdc, const DRAWITEMSTRUCT& dis)
{
    const int row = (int)dis.itemID;
    FillColour(hdc, dis.rcItem, row % 2 == 0 ? 0xFBFAF9 : 0xFFFFFF);
    PaintRowColours(hdc, dis.rcItem, RowColours(row));
    PaintTexts(hdc, row, dis.rcItem, false);
    PlaceButtons();
}

void CToviListCtrl::PlaceButtons()
{
    const int count = GetItemCount();
    std::vector<std::pair<HWND, CRect>> moves;
    for (int row = 0; row < count; ++row) {
        auto* record = reinterpret_cast<_PROTO_VERSION_INFO*>(GetItemData(row));
        if (record == nullptr || (record->ButtonSlots[0] == nullptr && record->ButtonSlots[1] == nullptr))
            continue;
        CRect cell;
        if (!GetSubItemRect(row, kButtonColumn, LVIR_LABEL, cell))
            continue;
        cell.DeflateRect(3, 3);
        const int half = cell.Width() / 2 - 1;
        const CRect rects[2] = { CRect(cell.left, cell.top, cell.left + half, cell.bottom),
                                 CRect(cell.left + half + 2, cell.top, cell.left + 2 * half + 2, cell.bottom) };
        for (int i = 0; i < 2; ++i) {
            auto* button = static_cast<CToviButton*>(record->ButtonSlots[i]);
            if (button == nullptr || !::IsWindow(button->m_hWnd))
                continue;
            CRect now;
            ::GetWindowRect(button->m_hWnd, &now);
            ::MapWindowPoints(nullptr, m_hWnd, (LPPOINT)&now, 2);
            // Only buttons that moved: every row's paint visits all of them.
            if (now != rects[i])
                moves.emplace_back(button->m_hWnd, rects[i]);
        }
    }
    if (moves.empty())
        return;
    HDWP batch = ::BeginDeferWindowPos((int)moves.size());
    for (const auto& move : moves) {
        if (batch)
            batch = ::DeferWindowPos(batch, move.first, nullptr, move.second.left, move.second.top,
                                     move.second.Width(), move.second.Height(),
                                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (batch)
        ::EndDeferWindowPos(batch);
    for (const auto& move : moves)
        ::RedrawWindow(move.first, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_NOERASE);
}

void CToviListCtrl::DrawSearchContentRow(HDC hdc, const DRAWITEMSTRUCT& dis)
{
    const int row = (int)dis.itemID;
    const CRect rowRect(dis.rcItem);
    FillColour(hdc, rowRect, 0xFFFFFF);
    HPEN pen = ::CreatePen(PS_SOLID, 1, 0xE3E3E3);
    HGDIOBJ oldPen = ::SelectObject(hdc, pen);
    if (row > 0)
        Line(hdc, rowRect.left, rowRect.top, rowRect.right, rowRect.top);
    Line(hdc, rowRect.right - 1, rowRect.top, rowRect.right - 1, rowRect.bottom);
    if (row == GetItemCount() - 1)
        Line(hdc, rowRect.left, rowRect.bottom - 1, rowRect.right, rowRect.bottom - 1);
    ::SelectObject(hdc, oldPen);
    ::DeleteObject(pen);
    PaintRowColours(hdc, rowRect, RowColours(row));
    ::SetBkMode(hdc, TRANSPARENT);

    CImageList* images = GetImageList(LVSIL_SMALL);
    LVITEMW item = {};
    item.mask = LVIF_IMAGE;
    item.iItem = row;
    CRect icon;
    if (images && images->GetSafeHandle() && GetItem(&item) && item.iImage >= 0 && GetItemRect(row, &icon, LVIR_ICON)) {
        int cx = 16, cy = 16;
        ImageList_GetIconSize(images->GetSafeHandle(), &cx, &cy);
        ImageList_Draw(images->GetSafeHandle(), item.iImage, hdc, icon.left + (icon.Width() - cx) / 2,
                       icon.top + 2, ILD_TRANSPARENT);
    }

    CHeaderCtrl* header = GetHeaderCtrl();
    const int columns = header ? header->GetItemCount() : 1;
    CRect first;
    ::SetTextColor(hdc, m_clrText);
    {
        SelectFont font(hdc, m_fontNormal ? m_fontNormal : (HFONT)SendMessage(WM_GETFONT));
        for (int column = 0; column < columns; ++column) {
            CRect rc;
            if (!GetSubItemRect(row, column, LVIR_LABEL, rc))
                continue;
            rc.bottom = rc.top + 20;
            const CString text = GetItemText(row, column);
            const int width = TextWidth(hdc, text.GetString(), text.GetLength());
            LVCOLUMNW info = {};
            info.mask = LVCF_FMT;
            GetColumn(column, &info);
            const UINT align = width <= rc.Width() ? AlignmentOf(info.fmt) : DT_LEFT;
            ::DrawTextW(hdc, text.GetString(), text.GetLength(), &rc,
                        align | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_NOCLIP);
            if (column == 0)
                first = rc;
            m_nMaxWidth = std::max(m_nMaxWidth, width + 4);
        }
    }

    auto* record = reinterpret_cast<const _PROTO_SEARCH_INFO*>(dis.itemData);
    if (record != nullptr) {
        const int x = first.left + 20;
        int y = first.bottom + 5;
        {
            SelectFont font(hdc, m_fontSmall);
            const std::wstring path(record->Attr197, ::wcsnlen(record->Attr197, 2048));
            ::SetTextColor(hdc, 0xB78677);
            ::TextOutW(hdc, x, y, path.c_str(), (int)path.size());
            SIZE size = {};
            ::GetTextExtentPoint32W(hdc, path.empty() ? L" " : path.c_str(), path.empty() ? 1 : (int)path.size(), &size);
            m_nMaxWidth = std::max(m_nMaxWidth, x + (path.empty() ? 0 : (int)size.cx) - (int)rowRect.left + 4);
            y += (int)size.cy + 2;
        }
        SelectFont font(hdc, m_fontMedium);
        const std::wstring excerpt = ToLower(std::wstring(record->Attr219, ::wcsnlen(record->Attr219, 128)));
        ::SetTextColor(hdc, 0x4D4D4D);
        ::TextOutW(hdc, x, y, excerpt.c_str(), (int)excerpt.size());
        ::SetTextColor(hdc, 0x1B47AF);
        for (const auto& word : FindHighlights(excerpt, m_strKeyword)) {
            const int before = TextWidth(hdc, excerpt.c_str(), word.first);
            ::TextOutW(hdc, x + before, y, excerpt.c_str() + word.first, (int)word.second);
        }
        m_nMaxWidth = std::max(m_nMaxWidth, x + TextWidth(hdc, excerpt.c_str(), excerpt.size()) - (int)rowRect.left + 4);
    }

    if (rowRect.Width() < m_nMaxWidth && GetColumnWidth(0) < m_nMaxWidth)
        SetColumnWidth(0, m_nMaxWidth);
}

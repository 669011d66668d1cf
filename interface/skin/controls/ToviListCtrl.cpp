// CToviListCtrl: types, fonts, row heights, hover tracking, the search list's check boxes and the
// version list's embedded buttons.
#include "ToviListCtrl.h"
#include "Dc.h"
#include "ProtoRecords.h"
#include "ToviButton.h"
#include "ToviString.h"
#include "TraceLog.h"
#include <algorithm>
#include <cstring>

IMPLEMENT_DYNAMIC(CToviListCtrl, CListCtrl)

BEGIN_MESSAGE_MAP(CToviListCtrl, CListCtrl)
    ON_WM_CREATE()
    ON_WM_MEASUREITEM_REFLECT()
    ON_MESSAGE(WM_SETFONT, OnSetFont)
    ON_WM_ERASEBKGND()
    ON_WM_MOUSEMOVE()
    ON_WM_MOUSELEAVE()
    ON_NOTIFY_REFLECT(LVN_COLUMNCLICK, OnColumnClick)
    ON_WM_LBUTTONDOWN()
END_MESSAGE_MAP()

CToviListCtrl::CToviListCtrl()
    : m_clrText(::GetSysColor(COLOR_WINDOWTEXT))
{
}

CToviListCtrl::~CToviListCtrl()
{
    DeleteFonts();
}

void CToviListCtrl::DeleteFonts()
{
    for (HFONT* font : { &m_fontSmall, &m_fontMedium, &m_fontBold }) {
        if (*font)
            ::DeleteObject(*font);
        *font = nullptr;
    }
    m_fontNormal = nullptr;
}

void CToviListCtrl::PreSubclassWindow()
{
    CListCtrl::PreSubclassWindow();
}

int CToviListCtrl::OnCreate(LPCREATESTRUCT)
{
    return Default() == -1 ? -1 : 0;
}

void CToviListCtrl::SetType(int type)
{
    m_nType = type;
    if (type == kTypeVersion || type == kTypeSearchContent)
        m_clrText = ::GetSysColor(COLOR_WINDOWTEXT);
}

void CToviListCtrl::SetFont()
{
    if (m_hWnd == nullptr)
        return;
    HFONT font = (HFONT)SendMessage(WM_GETFONT);
    HDC dc = ::GetDC(m_hWnd);
    if (font == nullptr || dc == nullptr) {
        if (dc)
            ::ReleaseDC(m_hWnd, dc);
        return;
    }
    const int dpi = ::GetDeviceCaps(dc, LOGPIXELSY);
    ::ReleaseDC(m_hWnd, dc);
    LOGFONTW lf = {};
    if (!::GetObjectW(font, sizeof lf, &lf))
        return;
    DeleteFonts();
    m_fontNormal = font;
    lf.lfItalic = FALSE;
    lf.lfHeight = -::MulDiv(8, dpi, 72);
    m_fontSmall = ::CreateFontIndirectW(&lf);
    lf.lfHeight = -::MulDiv(9, dpi, 72);
    lf.lfWeight = FW_NORMAL;
    m_fontMedium = ::CreateFontIndirectW(&lf);
    lf.lfWeight = FW_SEMIBOLD;
    m_fontBold = ::CreateFontIndirectW(&lf);
}

// ---- Row heights

namespace {
int TextHeight(HWND hwnd, HFONT font)
{
    HDC dc = ::GetDC(hwnd);
    HGDIOBJ old = ::SelectObject(dc, font ? (HGDIOBJ)font : ::GetStockObject(DEFAULT_GUI_FONT));
    SIZE size = {};
    ::GetTextExtentPoint32W(dc, L"abcd", 4, &size);
    ::SelectObject(dc, old);
    ::ReleaseDC(hwnd, dc);
    return size.cy;
}
}

void CToviListCtrl::MeasureItem(LPMEASUREITEMSTRUCT mis)
{
    if (m_nType == kTypeSearchContent) {
        mis->itemHeight = TextHeight(m_hWnd, m_fontSmall) + 25 + TextHeight(m_hWnd, m_fontBold) + 2;
        return;
    }
    int h = 0;
    LOGFONTW lf = {};
    HFONT font = (HFONT)SendMessage(WM_GETFONT);
    if (font && ::GetObjectW(font, sizeof lf, &lf))
        h = std::abs((int)lf.lfHeight);
    if (h == 0)   // the default size: the font's own cell height keeps the rows visible
        h = TextHeight(m_hWnd, font);
    mis->itemHeight = h + (m_nType == kTypeVersion ? 13 : 10);
}

LRESULT CToviListCtrl::OnSetFont(WPARAM, LPARAM)
{
    LRESULT result = Default();
    CRect rc;
    GetWindowRect(&rc);
    WINDOWPOS wp = {};
    wp.hwnd = m_hWnd;
    wp.cx = rc.Width();
    wp.cy = rc.Height();
    wp.flags = SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER;
    SendMessage(WM_WINDOWPOSCHANGED, 0, (LPARAM)&wp);
    return result;
}

BOOL CToviListCtrl::OnEraseBkgnd(CDC* pDC)
{
    // Rows paint their whole rectangle; only the empty area below and right of them is filled.
    CRect client;
    GetClientRect(&client);
    HRGN rest = ::CreateRectRgnIndirect(&client);
    const int count = GetItemCount();
    const int top = std::max(0, GetTopIndex());
    const int last = std::min(count - 1, top + GetCountPerPage() + 1);
    for (int i = top; i <= last; ++i) {
        CRect row;
        if (GetItemRect(i, &row, LVIR_BOUNDS)) {
            HRGN r = ::CreateRectRgnIndirect(&row);
            ::CombineRgn(rest, rest, r, RGN_DIFF);
            ::DeleteObject(r);
        }
    }
    HBRUSH brush = ::CreateSolidBrush(GetBkColor() == CLR_NONE ? ::GetSysColor(COLOR_WINDOW) : GetBkColor());
    ::FillRgn(pDC->GetSafeHdc(), rest, brush);
    ::DeleteObject(brush);
    ::DeleteObject(rest);
    return TRUE;
}

// ---- Hover

void CToviListCtrl::RedrawRow(int row)
{
    if (row >= 0 && row < GetItemCount())
        RedrawItems(row, row);
}

void CToviListCtrl::OnMouseMove(UINT, CPoint point)
{
    if (!m_bHoverTracking) {
        TRACKMOUSEEVENT tme = { sizeof tme, TME_LEAVE, m_hWnd, 0 };
        m_bHoverTracking = ::TrackMouseEvent(&tme) != FALSE;
        if (!m_bHoverTracking) {
            Default();
            return;
        }
    }
    LVHITTESTINFO hit = {};
    hit.pt = point;
    m_nHoverItem = SubItemHitTest(&hit);
    if (m_nHoverItem >= 0 && (GetItemState(m_nHoverItem, LVIS_DROPHILITED) & LVIS_DROPHILITED)) {
        RedrawRow(m_nLastHoverItem);
        m_nLastHoverItem = -1;
        Default();
        return;
    }
    if (m_nHoverItem != m_nLastHoverItem) {
        RedrawRow(m_nLastHoverItem);
        RedrawRow(m_nHoverItem);
        m_nLastHoverItem = m_nHoverItem;
    }
    Default();
}

void CToviListCtrl::OnMouseLeave()
{
    m_bHoverTracking = false;
    const int last = m_nLastHoverItem;
    m_nHoverItem = -1;
    m_nLastHoverItem = -1;
    RedrawRow(last);
}

void CToviListCtrl::OnColumnClick(NMHDR*, LRESULT* pResult)
{
    *pResult = 0;
}

// ---- Search list check boxes

void CToviListCtrl::OnLButtonDown(UINT, CPoint point)
{
    Default();
    if (m_nType != kTypeSearch || m_hWnd == nullptr)
        return;
    // The row whose box was clicked, not the first selected one: with several rows selected
    // the click must toggle the box it landed on. The box's margin may lie left of the row's
    // own bounds, where the list's hit test finds no row.
    int row = -1;
    _PROTO_SEARCH_INFO* record = nullptr;
    const int last = std::min(GetItemCount() - 1, GetTopIndex() + GetCountPerPage());
    for (int i = std::max(0, GetTopIndex()); i <= last && row < 0; ++i) {
        auto* candidate = reinterpret_cast<_PROTO_SEARCH_INFO*>(GetItemData(i));
        if (candidate && ::PtInRect(&candidate->CheckRect, point)) {
            row = i;
            record = candidate;
        }
    }
    if (record == nullptr)
        return;
    TraceLog(1, L" %s %d", record->Attr219, row);
    record->CheckState = record->CheckState == 0 ? 2 : 0;
    Invalidate(FALSE);
}

// ---- Version list buttons

UINT CToviListCtrl::ButtonId(int row, int which)
{
    // Rows past 8191 reuse ids: the commands are routed by the buttons' windows, not their ids.
    const int slot = row < 0 ? 0 : row % 8192;
    return (UINT)(32765 - 2 * slot + (which ? 1 : 0));
}

int CToviListCtrl::SetItemControl(int row, int column, CToviButton* first, CToviButton* second, const char* flags)
{
    CRect cell;
    if (!GetSubItemRect(row, column, LVIR_LABEL, cell))
        cell.SetRectEmpty();
    cell.DeflateRect(3, 3);
    const int half = cell.Width() / 2 - 1;
    const CRect rects[2] = { CRect(cell.left, cell.top, cell.left + half, cell.bottom),
                             CRect(cell.left + half + 2, cell.top, cell.left + 2 * half + 2, cell.bottom) };
    CToviButton* buttons[2] = { first, second };
    const UINT captions[2] = { 14047, 14159 };
    const size_t flagIndex[2] = { 1, 8 };
    const size_t flagLength = flags ? std::strlen(flags) : 0;
    HFONT font = (HFONT)SendMessage(WM_GETFONT);
    for (int i = 0; i < 2; ++i) {
        CToviButton* button = buttons[i];
        if (button == nullptr)
            continue;
        if (!button->Create(CToviString::GetString(captions[i]), WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON,
                            rects[i], this, ButtonId(row, i)))
            continue;
        button->SetBtnStyle(17 + i);
        button->SetTextColor(0x484848, 0x626262, 0x383838, ::GetSysColor(COLOR_GRAYTEXT));
        button->SetFontSize(8, 0);
        button->MoveWindow(&rects[i]);
        button->SendMessage(WM_SETFONT, (WPARAM)font, TRUE);
        if (flagLength > flagIndex[i] && flags[flagIndex[i]] == '0')
            button->EnableWindow(FALSE);
        m_buttons.push_back(button->m_hWnd);
    }
    RedrawRow(row);
    return 0;
}

int CToviListCtrl::GetButtonRow(HWND button, int* which) const
{
    if (button == nullptr || m_nType != kTypeVersion)
        return -1;
    const int count = GetItemCount();
    for (int row = 0; row < count; ++row) {
        auto* record = reinterpret_cast<const _PROTO_VERSION_INFO*>(GetItemData(row));
        if (record == nullptr)
            continue;
        for (int i = 0; i < 2; ++i) {
            auto* slot = static_cast<CToviButton*>(record->ButtonSlots[i]);
            if (slot && slot->m_hWnd == button) {
                if (which)
                    *which = i;
                return row;
            }
        }
    }
    return -1;
}

BOOL CToviListCtrl::OnCommand(WPARAM wParam, LPARAM lParam)
{
    HWND from = (HWND)lParam;
    if (m_nType == kTypeVersion && from && ::GetParent(from) == m_hWnd) {
        m_buttons.erase(std::remove_if(m_buttons.begin(), m_buttons.end(),
                                       [](HWND h) { return !::IsWindow(h); }),
                        m_buttons.end());
        if (std::find(m_buttons.begin(), m_buttons.end(), from) != m_buttons.end()) {
            // The embedded buttons act for the list's owner.
            ::SendMessageW(::GetParent(m_hWnd), WM_COMMAND, wParam, lParam);
            return TRUE;
        }
    }
    return CListCtrl::OnCommand(wParam, lParam);
}

BOOL CToviListCtrl::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    auto* hdr = (NMHDR*)lParam;
    if (m_nType == kTypeVersion && hdr && (hdr->code == HDN_ITEMCHANGINGW || hdr->code == HDN_ITEMCHANGINGA)) {
        auto* nm = (NMHEADERW*)lParam;
        if (nm->iItem == kButtonColumn && nm->pitem && (nm->pitem->mask & HDI_WIDTH)) {
            const int width = GetColumnWidth(kButtonColumn);
            if (nm->pitem->cxy != width) {
                // The buttons fill that column exactly.
                nm->pitem->cxy = width;
                *pResult = TRUE;
                return TRUE;
            }
        }
    }
    return CListCtrl::OnNotify(wParam, lParam, pResult);
}

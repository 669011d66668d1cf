// Pane drag data, drag image and auto-scroll.
#include "DragDrop.h"
#include "OleDataObject.h"
#include "ServerClipboard.h"
#include "ListCtrl.h"
#include "TreeCtrl.h"
#include "Wnd.h"
#include <cstring>

const wchar_t kDragImageFormat[] = L"VARIRUDAD DRAG IMAGE";
const wchar_t kDragHotSpotFormat[] = L"DRAG IMAGE HOT SPOT";
const wchar_t kServerItemsFormat[] = L"VARIRUDAD";

namespace {

bool IsListControl(CWnd* control)
{
    wchar_t name[64] = {};
    GetClassNameW(control->GetSafeHwnd(), name, 64);
    return _wcsicmp(name, WC_LISTVIEWW) == 0;
}

}

CDragDataSource::CDragDataSource()
{
    m_cfServerItems = RegisterClipboardFormatW(kServerItemsFormat);
}

CDragDataSource::~CDragDataSource() = default;

bool CDragDataSource::CacheFileDrop(const std::vector<CString>& paths)
{
    std::vector<BYTE> bytes = BuildDropFilesBlock(paths);
    if (bytes.empty())
        return false;
    HGLOBAL block = GlobalCopy(bytes.data(), bytes.size());
    if (!block)
        return false;
    CacheGlobalData(CF_HDROP, block);
    return true;
}

bool CDragDataSource::CacheDragImage(HIMAGELIST image, int hotX, int hotY)
{
    UINT imageFormat = RegisterClipboardFormatW(kDragImageFormat);
    UINT hotFormat = RegisterClipboardFormatW(kDragHotSpotFormat);
    if (!imageFormat || !hotFormat)
        return false;
    // The handle at its own width: the 32-bit program carries 4 bytes, the 64-bit form 8.
    HGLOBAL handle = GlobalCopy(&image, sizeof image);
    if (!handle)
        return false;
    CacheGlobalData(static_cast<CLIPFORMAT>(imageFormat), handle);
    int32_t spot[2] = {hotX, hotY};
    HGLOBAL hot = GlobalCopy(spot, sizeof spot);
    if (!hot)
        return false;
    CacheGlobalData(static_cast<CLIPFORMAT>(hotFormat), hot);
    return true;
}

bool CDragDataSource::CacheServerItems(const std::vector<_PROTO_FOLDER_INFO>& records, const CString& paneTag,
                                       const CString& sourcePath)
{
    if (m_cfServerItems == 0)
        return false;
    CString text;
    for (size_t i = 0; i < records.size(); ++i) {
        if (!CopyFolderInfoClipboard(records[i], paneTag, sourcePath, L"C", text))
            return false;
        if (i + 1 < records.size())
            text += L'\\';
    }
    if (text.IsEmpty())
        return false;
    HGLOBAL block = GlobalCopy(text.GetString(), (text.GetLength() + 1) * sizeof(wchar_t));
    if (!block)
        return false;
    CacheGlobalData(static_cast<CLIPFORMAT>(m_cfServerItems), block);
    return true;
}

DROPEFFECT CDragDropTarget::OnDragEnter(CWnd*, COleDataObject*, DWORD, CPoint)
{
    return DROPEFFECT_NONE;
}

DROPEFFECT CDragDropTarget::OnDragOver(CWnd*, COleDataObject*, DWORD, CPoint)
{
    return DROPEFFECT_NONE;
}

void CDragDropTarget::LoadDragImage(COleDataObject* data)
{
    m_hDragImage = nullptr;
    UINT imageFormat = RegisterClipboardFormatW(kDragImageFormat);
    UINT hotFormat = RegisterClipboardFormatW(kDragHotSpotFormat);
    if (!data || !imageFormat || !hotFormat)
        return;
    HGLOBAL handle = data->GetGlobalData(static_cast<CLIPFORMAT>(imageFormat));
    HGLOBAL hot = data->GetGlobalData(static_cast<CLIPFORMAT>(hotFormat));
    HIMAGELIST image = nullptr;
    int32_t spot[2] = {0, 0};
    bool ok = handle && hot && GlobalSize(handle) >= sizeof image && GlobalSize(hot) >= sizeof spot;
    if (ok) {
        const void* p = GlobalLock(handle);
        const void* q = GlobalLock(hot);
        ok = p && q;
        if (ok) {
            std::memcpy(&image, p, sizeof image);
            std::memcpy(spot, q, sizeof spot);
        }
        if (p)
            GlobalUnlock(handle);
        if (q)
            GlobalUnlock(hot);
    }
    if (handle)
        GlobalFree(handle);
    if (hot)
        GlobalFree(hot);
    if (ok && image && ImageList_BeginDrag(image, 0, spot[0], spot[1]))
        m_hDragImage = image;
}

UINT CDragDropTarget::ScrollDirectionFor(const RECT& client, int headerBottom, int inset, POINT point)
{
    RECT zone = client;
    if (headerBottom > zone.top)
        zone.top = headerBottom;
    RECT inner = zone;
    InflateRect(&inner, -inset, -inset);
    if (!PtInRect(&client, point) || PtInRect(&inner, point))
        return 0xFFFF;
    UINT code = 0xFFFF;
    if (point.x < inner.left)
        code = 0xFF00;
    else if (point.x >= inner.right)
        code = 0xFF01;
    if (point.y < inner.top)
        code = (code & 0x00FF);
    else if (point.y >= inner.bottom)
        code = (code & 0x00FF) | 0x0100;
    return code;
}

bool CDragDropTarget::DoDragScroll(CWnd* control, UINT direction, bool perform)
{
    HWND wnd = control ? control->GetSafeHwnd() : nullptr;
    if (!wnd || direction == 0xFFFF)
        return false;
    auto lastReachable = [wnd](int bar, SCROLLINFO& info) {
        info = {};
        info.cbSize = sizeof info;
        info.fMask = SIF_ALL;
        if (!GetScrollInfo(wnd, bar, &info))
            return 0;
        return info.nPage > 0 ? info.nMax - static_cast<int>(info.nPage) + 1 : 0;
    };
    UINT vertical = (direction >> 8) & 0xFF, horizontal = direction & 0xFF;
    int bar = vertical != 0xFF ? SB_VERT : SB_HORZ;
    UINT step = vertical != 0xFF ? vertical : horizontal;
    SCROLLINFO info;
    int last = lastReachable(bar, info);
    bool can = (step == 0 && info.nPos > info.nMin) || (step == 1 && info.nPos < last);
    if (can && perform) {
        POINT cursor;
        GetCursorPos(&cursor);
        if (m_hDragImage) {
            ImageList_DragMove(cursor.x, cursor.y);
            ImageList_DragLeave(nullptr);
        }
        UINT message = bar == SB_VERT ? WM_VSCROLL : WM_HSCROLL;
        ::SendMessageW(wnd, message, MAKEWPARAM(step == 0 ? SB_LINEUP : SB_LINEDOWN, info.nPos), 0);
        if (m_hDragImage)
            ImageList_DragEnter(nullptr, cursor.x, cursor.y);
    }
    return can;
}

DROPEFFECT CDragDropTarget::OnDragScroll(CWnd* wnd, DWORD keys, CPoint point)
{
    HWND hwnd = wnd ? wnd->GetSafeHwnd() : nullptr;
    if (!hwnd)
        return DROPEFFECT_NONE;
    RECT client;
    ::GetClientRect(hwnd, &client);
    int headerBottom = client.top;
    if (IsListControl(wnd)) {
        HWND header = reinterpret_cast<HWND>(::SendMessageW(hwnd, LVM_GETHEADER, 0, 0));
        RECT r;
        if (header && ::IsWindowVisible(header) && ::GetWindowRect(header, &r)) {
            POINT bottom = {r.left, r.bottom};
            ::ScreenToClient(hwnd, &bottom);
            headerBottom = bottom.y;
        }
    }
    UINT code = ScrollDirectionFor(client, headerBottom, GetScrollInset(), point);
    if (code != 0xFFFF && DoDragScroll(wnd, code, false)) {
        DWORD now = GetTickCount();
        if (code != m_nScrollDirection) {
            m_dwLastTick = now;
            m_nScrollDelay = GetScrollDelay();
        }
        if (now - m_dwLastTick > m_nScrollDelay) {
            DoDragScroll(wnd, code, true);
            m_dwLastTick = now;
            m_nScrollDelay = GetScrollInterval();
        }
        m_nScrollDirection = code;
        DROPEFFECT effect = (keys & MK_CONTROL) ? ((keys & MK_SHIFT) ? DROPEFFECT_LINK : DROPEFFECT_COPY)
                                                : DROPEFFECT_MOVE;
        return DROPEFFECT_SCROLL | effect;
    }
    if (m_nScrollDirection != 0xFFFF) {
        if (m_lpDataObject)
            OnDragEnter(wnd, m_lpDataObject, keys, point);
        m_nScrollDirection = 0xFFFF;
    }
    return DROPEFFECT_NONE;
}

DROPEFFECT CDragDropTarget::EnterWithImage(CWnd* wnd, COleDataObject* data, DWORD keys, CPoint point)
{
    LoadDragImage(data);
    if (m_hDragImage) {
        POINT screen = {point.x, point.y};
        ::ClientToScreen(wnd->GetSafeHwnd(), &screen);
        ImageList_DragEnter(nullptr, screen.x, screen.y);
    }
    return ProposedEffect(keys);
}

void CDragDropTarget::MoveDragImage(CWnd* wnd, CPoint point) const
{
    if (!m_hDragImage)
        return;
    POINT screen = {point.x, point.y};
    ::ClientToScreen(wnd->GetSafeHwnd(), &screen);
    ImageList_DragMove(screen.x, screen.y);
}

void CDragDropTarget::EndDragImage()
{
    if (!m_hDragImage)
        return;
    ImageList_DragLeave(nullptr);
    ImageList_EndDrag();
    m_hDragImage = nullptr;
}

bool CDragDropTarget::HasServerItems(COleDataObject* data)
{
    const UINT format = ::RegisterClipboardFormatW(kServerItemsFormat);
    return data && format && data->IsDataAvailable(static_cast<CLIPFORMAT>(format));
}

void CTreeDropTarget::HoverItem(CTreeCtrl& tree, HTREEITEM item, const std::function<void()>& expand)
{
    const DWORD now = m_pTick();
    if (item != m_hHoverItem) {
        RepaintHidingImage([&] { tree.SelectDropTarget(item); tree.UpdateWindow(); });
        m_hHoverItem = item;
        m_dwHoverStart = now;
    } else if (now - m_dwHoverStart > m_dwExpandDelay) {
        if (!(tree.GetItemState(item, TVIS_EXPANDED) & TVIS_EXPANDED))
            RepaintHidingImage([&] { expand(); tree.UpdateWindow(); });
        m_dwHoverStart = now;
    }
}

void CTreeDropTarget::EndTreeDrag(CTreeCtrl* tree)
{
    EndDragImage();
    m_hHoverItem = nullptr;
    if (tree && tree->GetSafeHwnd())
        tree->SelectDropTarget(nullptr);
}

void CListDropTarget::HighlightRow(CListCtrl& list, int row)
{
    if (row >= 0 && (list.GetItemState(row, LVIS_DROPHILITED) & LVIS_DROPHILITED))
        return;
    RepaintHidingImage([&] {
        list.SetItemState(-1, 0, LVIS_DROPHILITED);
        if (row >= 0)
            list.SetItemState(row, LVIS_DROPHILITED, LVIS_DROPHILITED);
        list.UpdateWindow();
    });
}

void CListDropTarget::EndListDrag(CListCtrl* list)
{
    EndDragImage();
    if (list && list->GetSafeHwnd()) {
        list->SetItemState(-1, 0, LVIS_DROPHILITED);
        list->Invalidate();
    }
}

int CListDropTarget::TakeDropRow(CListCtrl& list)
{
    const int row = list.GetNextItem(-1, LVNI_DROPHILITED);
    list.SetItemState(-1, 0, LVIS_DROPHILITED);
    list.Invalidate();
    return row;
}

namespace {

void DrawKeyedIcon(HDC dc, HICON icon, POINT at, HBRUSH card, COLORREF cardColour)
{
    HDC iconDc = CreateCompatibleDC(dc);
    HBITMAP iconBitmap = CreateCompatibleBitmap(dc, 32, 32);
    HGDIOBJ oldIcon = SelectObject(iconDc, iconBitmap);
    RECT square = {0, 0, 32, 32};
    FillRect(iconDc, &square, card);
    DrawIconEx(iconDc, 0, 0, icon, 32, 32, 0, nullptr, DI_NORMAL);
    TransparentBlt(dc, at.x, at.y, 32, 32, iconDc, 0, 0, 32, 32, cardColour);
    SelectObject(iconDc, oldIcon);
    DeleteObject(iconBitmap);
    DeleteDC(iconDc);
}

}

HIMAGELIST CreateDragBubble(HFONT listFont, HICON icon, const CString& name, int count, const DragBubbleLook& look)
{
    if (count < 1)
        return nullptr;
    const int size = count == 1 ? 72 : (count == 2 ? 75 : 78);
    const COLORREF mask = look.mask, cardColour = RGB(222, 211, 215);
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, size, size);
    ReleaseDC(nullptr, screen);
    if (!dc || !bitmap) {
        if (bitmap)
            DeleteObject(bitmap);
        if (dc)
            DeleteDC(dc);
        return nullptr;
    }
    HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
    RECT all = {0, 0, size, size};
    HBRUSH background = CreateSolidBrush(mask);
    FillRect(dc, &all, background);
    DeleteObject(background);

    HPEN pen = CreatePen(PS_SOLID, 1, RGB(196, 176, 182));
    HBRUSH card = CreateSolidBrush(cardColour);
    HGDIOBJ oldPen = SelectObject(dc, pen);
    HGDIOBJ oldBrush = SelectObject(dc, card);
    if (count >= 3)
        RoundRect(dc, 6, 6, 78, 78, 8, 8);
    if (count >= 2)
        RoundRect(dc, 3, 3, 75, 75, 8, 8);
    RoundRect(dc, 0, 0, 72, 72, 8, 8);
    if (icon && look.keyedIcon)
        DrawKeyedIcon(dc, icon, look.icon, card, cardColour);
    else if (icon)
        DrawIconEx(dc, look.icon.x, look.icon.y, icon, 32, 32, 0, nullptr, DI_NORMAL);

    LOGFONTW face = {};
    if (!listFont || !GetObjectW(listFont, sizeof face, &face))
        GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof face, &face);
    face.lfHeight = -MulDiv(9, GetDeviceCaps(dc, LOGPIXELSY), 72);
    face.lfWeight = count == 1 ? FW_NORMAL : FW_SEMIBOLD;
    face.lfQuality = look.nameQuality;
    HFONT font = CreateFontIndirectW(&face);
    HGDIOBJ oldFont = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0, 0, 0));
    if (count == 1) {
        RECT text = {2, 47, 70, 72};
        DrawTextW(dc, name.GetString(), name.GetLength(), &text,
                  DT_CENTER | DT_END_ELLIPSIS | DT_SINGLELINE | DT_NOPREFIX);
    } else {
        CString number;
        number.Format(L"%d", count);
        SIZE extent = {};
        GetTextExtentPoint32W(dc, number.GetString(), number.GetLength(), &extent);
        int w = (extent.cy > extent.cx ? extent.cy : extent.cx + 3) + 7;
        int h = extent.cy + 7;
        HBRUSH badge = CreateSolidBrush(RGB(242, 238, 239));
        SelectObject(dc, badge);
        RoundRect(dc, 65 - w, 65 - h, 65, 65, 4, 4);
        SelectObject(dc, card);
        DeleteObject(badge);
        RECT text = {65 - w, 65 - h + 1, 65, 65};
        DrawTextW(dc, number.GetString(), number.GetLength(), &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
    SelectObject(dc, oldFont);
    DeleteObject(font);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(card);
    DeleteObject(pen);
    SelectObject(dc, oldBitmap);
    DeleteDC(dc);

    HIMAGELIST list = ImageList_Create(size, size, ILC_COLOR24 | ILC_MASK, 1, 0);
    if (list && ImageList_AddMasked(list, bitmap, mask) < 0) {
        ImageList_Destroy(list);
        list = nullptr;
    }
    DeleteObject(bitmap);
    return list;
}

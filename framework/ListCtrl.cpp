// List views: report and icon views with columns, items, selection, sorting and label editing.
#include "ListCtrl.h"
#include "ControlTemps.h"
#include "Edit.h"
#include "HeaderCtrl.h"

IMPLEMENT_DYNAMIC(CListCtrl, CWnd)

BEGIN_MESSAGE_MAP(CListCtrl, CWnd)
    ON_WM_DRAWITEM_REFLECT()
END_MESSAGE_MAP()

namespace {

// Longest item text read back; the control itself keeps no more than this sensibly.
const int kMaxItemText = 1 << 20;

POSITION ToPosition(int index)
{
    return reinterpret_cast<POSITION>(static_cast<INT_PTR>(index + 1));
}

int FromPosition(POSITION pos)
{
    return static_cast<int>(reinterpret_cast<INT_PTR>(pos)) - 1;
}

} // namespace

int CListCtrl::InsertColumn(int column, LPCTSTR heading, int format, int width, int subItem)
{
    ASSERT(::IsWindow(m_hWnd));
    LVCOLUMNW info = {};
    info.mask = LVCF_TEXT | LVCF_FMT;
    info.fmt = format;
    info.pszText = const_cast<LPWSTR>(heading ? heading : L"");
    if (width != -1) {
        info.mask |= LVCF_WIDTH;
        info.cx = width;
    }
    if (subItem != -1) {
        info.mask |= LVCF_SUBITEM;
        info.iSubItem = subItem;
    }
    return InsertColumn(column, &info);
}

CHeaderCtrl* CListCtrl::GetHeaderCtrl() const
{
    ASSERT(::IsWindow(m_hWnd));
    HWND header = reinterpret_cast<HWND>(::SendMessage(m_hWnd, LVM_GETHEADER, 0, 0));
    return FwControlFromHandle<CHeaderCtrl>(header);
}

int CListCtrl::InsertItem(int index, LPCTSTR text)
{
    return InsertItem(LVIF_TEXT, index, text, 0, 0, 0, 0);
}

int CListCtrl::InsertItem(int index, LPCTSTR text, int image)
{
    return InsertItem(LVIF_TEXT | LVIF_IMAGE, index, text, 0, 0, image, 0);
}

int CListCtrl::InsertItem(UINT mask, int index, LPCTSTR text, UINT state, UINT stateMask, int image, LPARAM lParam)
{
    LVITEMW item = {};
    item.mask = mask;
    item.iItem = index;
    item.pszText = const_cast<LPWSTR>(text);
    item.state = state;
    item.stateMask = stateMask;
    item.iImage = image;
    item.lParam = lParam;
    return InsertItem(&item);
}

BOOL CListCtrl::SetItem(int index, int subItem, UINT mask, LPCTSTR text, int image, UINT state, UINT stateMask,
                        LPARAM lParam)
{
    LVITEMW item = {};
    item.mask = mask;
    item.iItem = index;
    item.iSubItem = subItem;
    item.pszText = const_cast<LPWSTR>(text);
    item.state = state;
    item.stateMask = stateMask;
    item.iImage = image;
    item.lParam = lParam;
    return SetItem(&item);
}

CString CListCtrl::GetItemText(int index, int subItem) const
{
    ASSERT(::IsWindow(m_hWnd));
    CString text;
    // The control reports only how much it copied: grow until the text fits with room left.
    for (int size = 256; size <= kMaxItemText; size *= 2) {
        LVITEMW item = {};
        item.iSubItem = subItem;
        item.cchTextMax = size;
        LPWSTR buffer = text.GetBuffer(size);
        item.pszText = buffer;
        int copied = static_cast<int>(::SendMessage(m_hWnd, LVM_GETITEMTEXTW, index, reinterpret_cast<LPARAM>(&item)));
        // The control may hand back its own text pointer instead of copying.
        if (item.pszText != buffer && item.pszText != nullptr) {
            CString own(item.pszText);
            text.ReleaseBuffer(0);
            return own;
        }
        text.ReleaseBuffer(copied < 0 ? 0 : copied);
        if (copied < size - 1)
            break;
    }
    return text;
}

int CListCtrl::GetItemText(int index, int subItem, LPTSTR text, int maxLength) const
{
    ASSERT(::IsWindow(m_hWnd));
    if (text == nullptr || maxLength <= 0)
        return 0;
    LVITEMW item = {};
    item.iSubItem = subItem;
    item.cchTextMax = maxLength;
    item.pszText = text;
    text[0] = 0;
    int copied = static_cast<int>(::SendMessage(m_hWnd, LVM_GETITEMTEXTW, index, reinterpret_cast<LPARAM>(&item)));
    if (item.pszText != text && item.pszText != nullptr) {
        lstrcpynW(text, item.pszText, maxLength);
        copied = lstrlenW(text);
    }
    return copied;
}

BOOL CListCtrl::SetItemText(int index, int subItem, LPCTSTR text)
{
    ASSERT(::IsWindow(m_hWnd));
    LVITEMW item = {};
    item.iSubItem = subItem;
    item.pszText = const_cast<LPWSTR>(text);
    return static_cast<BOOL>(::SendMessage(m_hWnd, LVM_SETITEMTEXTW, index, reinterpret_cast<LPARAM>(&item)));
}

DWORD_PTR CListCtrl::GetItemData(int index) const
{
    LVITEMW item = {};
    item.mask = LVIF_PARAM;
    item.iItem = index;
    return GetItem(&item) ? static_cast<DWORD_PTR>(item.lParam) : 0;
}

BOOL CListCtrl::SetItemData(int index, DWORD_PTR data)
{
    return SetItem(index, 0, LVIF_PARAM, nullptr, 0, 0, 0, static_cast<LPARAM>(data));
}

BOOL CListCtrl::SetItemState(int index, UINT state, UINT mask)
{
    LVITEMW item = {};
    item.state = state;
    item.stateMask = mask;
    return SetItemState(index, &item);
}

POSITION CListCtrl::GetFirstSelectedItemPosition() const
{
    int first = GetNextItem(-1, LVNI_SELECTED);
    return first < 0 ? nullptr : ToPosition(first);
}

int CListCtrl::GetNextSelectedItem(POSITION& pos) const
{
    int index = FromPosition(pos);
    if (index < 0) {
        pos = nullptr;
        return -1;
    }
    int next = GetNextItem(index, LVNI_SELECTED);
    // The control answers with the start item itself when it is the last selected one.
    pos = next <= index ? nullptr : ToPosition(next);
    return index;
}

int CListCtrl::HitTest(CPoint point, UINT* flags) const
{
    LVHITTESTINFO info = {};
    info.pt = point;
    int index = HitTest(&info);
    if (flags)
        *flags = info.flags;
    return index;
}

BOOL CListCtrl::GetItemRect(int index, LPRECT rect, UINT code) const
{
    ASSERT(::IsWindow(m_hWnd));
    rect->left = static_cast<LONG>(code);
    return static_cast<BOOL>(::SendMessage(m_hWnd, LVM_GETITEMRECT, index, reinterpret_cast<LPARAM>(rect)));
}

BOOL CListCtrl::GetSubItemRect(int index, int subItem, int area, CRect& rect) const
{
    ASSERT(::IsWindow(m_hWnd));
    rect.top = subItem;
    rect.left = area;
    return static_cast<BOOL>(::SendMessage(m_hWnd, LVM_GETSUBITEMRECT, index, reinterpret_cast<LPARAM>(static_cast<LPRECT>(rect))));
}

CImageList* CListCtrl::CreateDragImage(int index, LPPOINT upperLeft)
{
    ASSERT(::IsWindow(m_hWnd));
    POINT ignored = {};
    auto handle = reinterpret_cast<HIMAGELIST>(
        ::SendMessage(m_hWnd, LVM_CREATEDRAGIMAGE, index, reinterpret_cast<LPARAM>(upperLeft ? upperLeft : &ignored)));
    if (handle == nullptr)
        return nullptr;
    auto* list = new CImageList;
    list->Attach(handle);
    return list;
}

CEdit* CListCtrl::EditLabel(int index)
{
    ASSERT(::IsWindow(m_hWnd));
    return FwControlFromHandle<CEdit>(reinterpret_cast<HWND>(::SendMessage(m_hWnd, LVM_EDITLABELW, index, 0)));
}

CEdit* CListCtrl::GetEditControl() const
{
    ASSERT(::IsWindow(m_hWnd));
    return FwControlFromHandle<CEdit>(reinterpret_cast<HWND>(::SendMessage(m_hWnd, LVM_GETEDITCONTROL, 0, 0)));
}

void CListCtrl::DrawItem(LPDRAWITEMSTRUCT)
{
}

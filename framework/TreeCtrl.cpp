// Tree views: hierarchical items with images, selection, expansion, sorting and label editing.
#include "TreeCtrl.h"
#include "ControlTemps.h"
#include "Edit.h"

IMPLEMENT_DYNAMIC(CTreeCtrl, CWnd)

namespace {

// Longest item text read back.
const int kMaxItemText = 1 << 20;

} // namespace

HTREEITEM CTreeCtrl::InsertItem(UINT mask, LPCTSTR text, int image, int selectedImage, UINT state, UINT stateMask,
                                LPARAM lParam, HTREEITEM parent, HTREEITEM after)
{
    TVINSERTSTRUCTW insert = {};
    insert.hParent = parent;
    insert.hInsertAfter = after;
    insert.item.mask = mask;
    insert.item.pszText = const_cast<LPWSTR>(text);
    insert.item.iImage = image;
    insert.item.iSelectedImage = selectedImage;
    insert.item.state = state;
    insert.item.stateMask = stateMask;
    insert.item.lParam = lParam;
    return InsertItem(&insert);
}

HTREEITEM CTreeCtrl::InsertItem(LPCTSTR text, HTREEITEM parent, HTREEITEM after)
{
    return InsertItem(TVIF_TEXT, text, 0, 0, 0, 0, 0, parent, after);
}

HTREEITEM CTreeCtrl::InsertItem(LPCTSTR text, int image, int selectedImage, HTREEITEM parent, HTREEITEM after)
{
    return InsertItem(TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE, text, image, selectedImage, 0, 0, 0, parent, after);
}

BOOL CTreeCtrl::ItemHasChildren(HTREEITEM item) const
{
    if (item == nullptr)
        return FALSE;
    TVITEMW info = {};
    info.mask = TVIF_CHILDREN | TVIF_HANDLE;
    info.hItem = item;
    if (!GetItem(&info))
        return FALSE;
    return info.cChildren != 0;
}

BOOL CTreeCtrl::SetItem(HTREEITEM item, UINT mask, LPCTSTR text, int image, int selectedImage, UINT state,
                        UINT stateMask, LPARAM lParam)
{
    TVITEMW info = {};
    info.hItem = item;
    info.mask = mask | TVIF_HANDLE;
    info.pszText = const_cast<LPWSTR>(text);
    info.iImage = image;
    info.iSelectedImage = selectedImage;
    info.state = state;
    info.stateMask = stateMask;
    info.lParam = lParam;
    return SetItem(&info);
}

CString CTreeCtrl::GetItemText(HTREEITEM item) const
{
    CString text;
    if (item == nullptr)
        return text;
    // TVM_GETITEM does not say whether the text was cut: grow until it leaves room.
    for (int size = 256; size <= kMaxItemText; size *= 2) {
        TVITEMW info = {};
        info.mask = TVIF_TEXT | TVIF_HANDLE;
        info.hItem = item;
        LPWSTR buffer = text.GetBuffer(size);
        buffer[0] = 0;
        info.pszText = buffer;
        info.cchTextMax = size;
        if (!GetItem(&info)) {
            text.ReleaseBuffer(0);
            break;
        }
        if (info.pszText != buffer && info.pszText != nullptr && info.pszText != LPSTR_TEXTCALLBACKW) {
            CString own(info.pszText);
            text.ReleaseBuffer(0);
            return own;
        }
        text.ReleaseBuffer(-1);
        if (text.GetLength() < size - 1)
            break;
    }
    return text;
}

BOOL CTreeCtrl::SetItemText(HTREEITEM item, LPCTSTR text)
{
    return SetItem(item, TVIF_TEXT, text, 0, 0, 0, 0, 0);
}

DWORD_PTR CTreeCtrl::GetItemData(HTREEITEM item) const
{
    TVITEMW info = {};
    info.mask = TVIF_PARAM | TVIF_HANDLE;
    info.hItem = item;
    return item && GetItem(&info) ? static_cast<DWORD_PTR>(info.lParam) : 0;
}

BOOL CTreeCtrl::SetItemData(HTREEITEM item, DWORD_PTR data)
{
    return SetItem(item, TVIF_PARAM, nullptr, 0, 0, 0, 0, static_cast<LPARAM>(data));
}

BOOL CTreeCtrl::GetItemImage(HTREEITEM item, int& image, int& selectedImage) const
{
    TVITEMW info = {};
    info.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_HANDLE;
    info.hItem = item;
    if (item == nullptr || !GetItem(&info))
        return FALSE;
    image = info.iImage;
    selectedImage = info.iSelectedImage;
    return TRUE;
}

BOOL CTreeCtrl::SetItemImage(HTREEITEM item, int image, int selectedImage)
{
    return SetItem(item, TVIF_IMAGE | TVIF_SELECTEDIMAGE, nullptr, image, selectedImage, 0, 0, 0);
}

BOOL CTreeCtrl::SetItemState(HTREEITEM item, UINT state, UINT mask)
{
    return SetItem(item, TVIF_STATE, nullptr, 0, 0, state, mask, 0);
}

BOOL CTreeCtrl::GetItemRect(HTREEITEM item, LPRECT rect, BOOL textOnly) const
{
    ASSERT(::IsWindow(m_hWnd));
    if (item == nullptr || rect == nullptr)
        return FALSE;
    // The message takes the item in the rectangle's place.
    *reinterpret_cast<HTREEITEM*>(rect) = item;
    return static_cast<BOOL>(::SendMessage(m_hWnd, TVM_GETITEMRECT, textOnly, reinterpret_cast<LPARAM>(rect)));
}

HTREEITEM CTreeCtrl::HitTest(CPoint point, UINT* flags) const
{
    TVHITTESTINFO info = {};
    info.pt = point;
    HTREEITEM item = HitTest(&info);
    if (flags)
        *flags = info.flags;
    return item;
}

CImageList* CTreeCtrl::CreateDragImage(HTREEITEM item)
{
    ASSERT(::IsWindow(m_hWnd));
    auto handle = reinterpret_cast<HIMAGELIST>(::SendMessage(m_hWnd, TVM_CREATEDRAGIMAGE, 0, reinterpret_cast<LPARAM>(item)));
    if (handle == nullptr)
        return nullptr;
    auto* list = new CImageList;
    list->Attach(handle);
    return list;
}

CEdit* CTreeCtrl::EditLabel(HTREEITEM item)
{
    ASSERT(::IsWindow(m_hWnd));
    return FwControlFromHandle<CEdit>(reinterpret_cast<HWND>(::SendMessage(m_hWnd, TVM_EDITLABELW, 0, reinterpret_cast<LPARAM>(item))));
}

CEdit* CTreeCtrl::GetEditControl() const
{
    ASSERT(::IsWindow(m_hWnd));
    return FwControlFromHandle<CEdit>(reinterpret_cast<HWND>(::SendMessage(m_hWnd, TVM_GETEDITCONTROL, 0, 0)));
}

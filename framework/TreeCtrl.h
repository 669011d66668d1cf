// Tree views: hierarchical items with images, selection, expansion, sorting and label editing.
#pragma once
#include "FwAssert.h"
#include "Wnd.h"
#include "ImageList.h"

class CEdit;

// Items are HTREEITEM handles; null means none. Text given to the control is copied.
class FW_API CTreeCtrl : public CWnd {
    DECLARE_DYNAMIC(CTreeCtrl)
public:
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id)
    {
        return CWnd::Create(WC_TREEVIEWW, nullptr, style, rect, parent, id);
    }
    BOOL CreateEx(DWORD exStyle, DWORD style, const RECT& rect, CWnd* parent, UINT id)
    {
        return CWnd::CreateEx(exStyle, WC_TREEVIEWW, nullptr, style, rect, parent, id);
    }

    // ---- Inserting and deleting. Each insert returns the new item, or null.
    HTREEITEM InsertItem(LPTVINSERTSTRUCTW insert) { ASSERT(::IsWindow(m_hWnd)); return (HTREEITEM)::SendMessage(m_hWnd, TVM_INSERTITEMW, 0, (LPARAM)insert); }
    HTREEITEM InsertItem(UINT mask, LPCTSTR text, int image, int selectedImage, UINT state, UINT stateMask,
                         LPARAM lParam, HTREEITEM parent, HTREEITEM after);
    HTREEITEM InsertItem(LPCTSTR text, HTREEITEM parent = TVI_ROOT, HTREEITEM after = TVI_LAST);
    HTREEITEM InsertItem(LPCTSTR text, int image, int selectedImage, HTREEITEM parent = TVI_ROOT,
                         HTREEITEM after = TVI_LAST);
    BOOL DeleteItem(HTREEITEM item) { ASSERT(::IsWindow(m_hWnd)); return (BOOL)::SendMessage(m_hWnd, TVM_DELETEITEM, 0, (LPARAM)item); }
    BOOL DeleteAllItems() { ASSERT(::IsWindow(m_hWnd)); return (BOOL)::SendMessage(m_hWnd, TVM_DELETEITEM, 0, (LPARAM)TVI_ROOT); }

    // ---- Navigation
    // code: TVGN_ROOT, TVGN_NEXT, TVGN_PREVIOUS, TVGN_PARENT, TVGN_CHILD, TVGN_CARET, ...
    HTREEITEM GetNextItem(HTREEITEM item, UINT code) const { ASSERT(::IsWindow(m_hWnd)); return (HTREEITEM)::SendMessage(m_hWnd, TVM_GETNEXTITEM, code, (LPARAM)item); }
    HTREEITEM GetRootItem() const { return GetNextItem(nullptr, TVGN_ROOT); }
    HTREEITEM GetChildItem(HTREEITEM item) const { return GetNextItem(item, TVGN_CHILD); }
    HTREEITEM GetNextSiblingItem(HTREEITEM item) const { return GetNextItem(item, TVGN_NEXT); }
    HTREEITEM GetPrevSiblingItem(HTREEITEM item) const { return GetNextItem(item, TVGN_PREVIOUS); }
    HTREEITEM GetParentItem(HTREEITEM item) const { return GetNextItem(item, TVGN_PARENT); }
    HTREEITEM GetFirstVisibleItem() const { return GetNextItem(nullptr, TVGN_FIRSTVISIBLE); }
    HTREEITEM GetNextVisibleItem(HTREEITEM item) const { return GetNextItem(item, TVGN_NEXTVISIBLE); }
    HTREEITEM GetPrevVisibleItem(HTREEITEM item) const { return GetNextItem(item, TVGN_PREVIOUSVISIBLE); }
    HTREEITEM GetLastVisibleItem() const { return GetNextItem(nullptr, TVGN_LASTVISIBLE); }
    HTREEITEM GetSelectedItem() const { return GetNextItem(nullptr, TVGN_CARET); }
    HTREEITEM GetDropHilightItem() const { return GetNextItem(nullptr, TVGN_DROPHILITE); }
    // True when the item has children or says so through cChildren (callback included).
    BOOL ItemHasChildren(HTREEITEM item) const;

    // ---- Selection and expansion
    BOOL Select(HTREEITEM item, UINT code) { ASSERT(::IsWindow(m_hWnd)); return (BOOL)::SendMessage(m_hWnd, TVM_SELECTITEM, code, (LPARAM)item); }
    BOOL SelectItem(HTREEITEM item) { return Select(item, TVGN_CARET); }
    // Null removes the drop highlight.
    BOOL SelectDropTarget(HTREEITEM item) { return Select(item, TVGN_DROPHILITE); }
    BOOL SelectSetFirstVisible(HTREEITEM item) { return Select(item, TVGN_FIRSTVISIBLE); }
    // code: TVE_EXPAND, TVE_COLLAPSE, TVE_TOGGLE (with TVE_COLLAPSERESET).
    BOOL Expand(HTREEITEM item, UINT code) { ASSERT(::IsWindow(m_hWnd)); return (BOOL)::SendMessage(m_hWnd, TVM_EXPAND, code, (LPARAM)item); }
    BOOL EnsureVisible(HTREEITEM item) { ASSERT(::IsWindow(m_hWnd)); return (BOOL)::SendMessage(m_hWnd, TVM_ENSUREVISIBLE, 0, (LPARAM)item); }

    // ---- Item attributes
    BOOL GetItem(TVITEMW* item) const { ASSERT(::IsWindow(m_hWnd)); return (BOOL)::SendMessage(m_hWnd, TVM_GETITEMW, 0, (LPARAM)item); }
    BOOL SetItem(TVITEMW* item) { ASSERT(::IsWindow(m_hWnd)); return (BOOL)::SendMessage(m_hWnd, TVM_SETITEMW, 0, (LPARAM)item); }
    BOOL SetItem(HTREEITEM item, UINT mask, LPCTSTR text, int image, int selectedImage, UINT state,
                 UINT stateMask, LPARAM lParam);
    CString GetItemText(HTREEITEM item) const;
    BOOL SetItemText(HTREEITEM item, LPCTSTR text);
    DWORD_PTR GetItemData(HTREEITEM item) const;
    BOOL SetItemData(HTREEITEM item, DWORD_PTR data);
    BOOL GetItemImage(HTREEITEM item, int& image, int& selectedImage) const;
    BOOL SetItemImage(HTREEITEM item, int image, int selectedImage);
    UINT GetItemState(HTREEITEM item, UINT mask) const { ASSERT(::IsWindow(m_hWnd)); return (UINT)::SendMessage(m_hWnd, TVM_GETITEMSTATE, (WPARAM)item, mask); }
    // Overlays: INDEXTOOVERLAYMASK(n) with TVIS_OVERLAYMASK; check boxes: INDEXTOSTATEIMAGEMASK.
    BOOL SetItemState(HTREEITEM item, UINT state, UINT mask);
    // TVS_CHECKBOXES: checked means state image 2.
    BOOL GetCheck(HTREEITEM item) const { return ((GetItemState(item, TVIS_STATEIMAGEMASK) >> 12) - 1) == 1; }
    BOOL SetCheck(HTREEITEM item, BOOL check = TRUE) { return SetItemState(item, INDEXTOSTATEIMAGEMASK(check ? 2 : 1), TVIS_STATEIMAGEMASK); }

    // ---- Geometry and hit tests (client coordinates)
    // The whole row, or only the text when textOnly; FALSE when the item is not visible.
    BOOL GetItemRect(HTREEITEM item, LPRECT rect, BOOL textOnly) const;
    HTREEITEM HitTest(TVHITTESTINFO* info) const { ASSERT(::IsWindow(m_hWnd)); return (HTREEITEM)::SendMessage(m_hWnd, TVM_HITTEST, 0, (LPARAM)info); }
    // flags receives the TVHT_ part hit.
    HTREEITEM HitTest(CPoint point, UINT* flags = nullptr) const;
    UINT GetCount() const { ASSERT(::IsWindow(m_hWnd)); return (UINT)::SendMessage(m_hWnd, TVM_GETCOUNT, 0, 0); }
    UINT GetVisibleCount() const { ASSERT(::IsWindow(m_hWnd)); return (UINT)::SendMessage(m_hWnd, TVM_GETVISIBLECOUNT, 0, 0); }
    // Returns the previous height; -1 goes back to the default.
    SHORT SetItemHeight(SHORT height) { ASSERT(::IsWindow(m_hWnd)); return (SHORT)::SendMessage(m_hWnd, TVM_SETITEMHEIGHT, height, 0); }
    SHORT GetItemHeight() const { ASSERT(::IsWindow(m_hWnd)); return (SHORT)::SendMessage(m_hWnd, TVM_GETITEMHEIGHT, 0, 0); }
    UINT GetIndent() const { ASSERT(::IsWindow(m_hWnd)); return (UINT)::SendMessage(m_hWnd, TVM_GETINDENT, 0, 0); }
    void SetIndent(UINT indent) { ASSERT(::IsWindow(m_hWnd)); ::SendMessage(m_hWnd, TVM_SETINDENT, indent, 0); }

    // ---- Colours (return the previous; -1 goes back to the system's)
    COLORREF SetBkColor(COLORREF color) { ASSERT(::IsWindow(m_hWnd)); return (COLORREF)::SendMessage(m_hWnd, TVM_SETBKCOLOR, 0, color); }
    COLORREF GetBkColor() const { ASSERT(::IsWindow(m_hWnd)); return (COLORREF)::SendMessage(m_hWnd, TVM_GETBKCOLOR, 0, 0); }
    COLORREF SetTextColor(COLORREF color) { ASSERT(::IsWindow(m_hWnd)); return (COLORREF)::SendMessage(m_hWnd, TVM_SETTEXTCOLOR, 0, color); }
    COLORREF GetTextColor() const { ASSERT(::IsWindow(m_hWnd)); return (COLORREF)::SendMessage(m_hWnd, TVM_GETTEXTCOLOR, 0, 0); }
    BOOL SetInsertMark(HTREEITEM item, BOOL after = TRUE) { ASSERT(::IsWindow(m_hWnd)); return (BOOL)::SendMessage(m_hWnd, TVM_SETINSERTMARK, after, (LPARAM)item); }

    // ---- Image lists (TVSIL_NORMAL, TVSIL_STATE); the tree does not own them.
    CImageList* GetImageList(int which) const
    {
        ASSERT(::IsWindow(m_hWnd));
        return CImageList::FromHandle((HIMAGELIST)::SendMessage(m_hWnd, TVM_GETIMAGELIST, which, 0));
    }
    CImageList* SetImageList(CImageList* list, int which)
    {
        ASSERT(::IsWindow(m_hWnd));
        return CImageList::FromHandle((HIMAGELIST)::SendMessage(m_hWnd, TVM_SETIMAGELIST, which, (LPARAM)(list ? list->GetSafeHandle() : nullptr)));
    }
    HIMAGELIST SetImageList(HIMAGELIST list, int which)
    {
        ASSERT(::IsWindow(m_hWnd));
        return (HIMAGELIST)::SendMessage(m_hWnd, TVM_SETIMAGELIST, which, (LPARAM)list);
    }
    // A new drag image of the item, which the caller deletes; null on failure.
    CImageList* CreateDragImage(HTREEITEM item);

    // ---- Sorting: the children of sort->hParent (TVI_ROOT for the top level) by the
    // callback, which gets the two items' lParam values and sort->lParam.
    BOOL SortChildren(HTREEITEM parent) { ASSERT(::IsWindow(m_hWnd)); return (BOOL)::SendMessage(m_hWnd, TVM_SORTCHILDREN, 0, (LPARAM)parent); }
    BOOL SortChildrenCB(LPTVSORTCB sort) { ASSERT(::IsWindow(m_hWnd)); return (BOOL)::SendMessage(m_hWnd, TVM_SORTCHILDRENCB, 0, (LPARAM)sort); }

    // ---- Label editing (TVS_EDITLABELS); the edit wrapper is valid while the edit exists.
    CEdit* EditLabel(HTREEITEM item);
    CEdit* GetEditControl() const;
    BOOL EndEditLabelNow(BOOL cancel) { ASSERT(::IsWindow(m_hWnd)); return (BOOL)::SendMessage(m_hWnd, TVM_ENDEDITLABELNOW, cancel, 0); }
};

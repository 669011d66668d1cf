// List views: report and icon views with columns, items, selection, sorting and label editing.
#pragma once
#include "FwAssert.h"
#include "Wnd.h"
#include "ImageList.h"

class CEdit;
class CHeaderCtrl;

// A place in an iteration; null ends it. For lists it is the item index plus one.
struct FwPosition;
typedef FwPosition* POSITION;

// Item indexes are 0-based; -1 means none. Text given to the control is copied.
class FW_API CListCtrl : public CWnd {
    DECLARE_DYNAMIC(CListCtrl)
public:
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id)
    {
        return CWnd::Create(WC_LISTVIEWW, nullptr, style, rect, parent, id);
    }
    BOOL CreateEx(DWORD exStyle, DWORD style, const RECT& rect, CWnd* parent, UINT id)
    {
        return CWnd::CreateEx(exStyle, WC_LISTVIEWW, nullptr, style, rect, parent, id);
    }

    // ---- Colours and styles
    COLORREF GetBkColor() const { ASSERT(::IsWindow(m_hWnd)); return (COLORREF)::SendMessage(m_hWnd, LVM_GETBKCOLOR, 0, 0); }
    BOOL SetBkColor(COLORREF color) { ASSERT(::IsWindow(m_hWnd)); return (BOOL)::SendMessage(m_hWnd, LVM_SETBKCOLOR, 0, color); }
    COLORREF GetTextColor() const { ASSERT(::IsWindow(m_hWnd)); return (COLORREF)::SendMessage(m_hWnd, LVM_GETTEXTCOLOR, 0, 0); }
    BOOL SetTextColor(COLORREF color) { ASSERT(::IsWindow(m_hWnd)); return (BOOL)::SendMessage(m_hWnd, LVM_SETTEXTCOLOR, 0, color); }
    COLORREF GetTextBkColor() const { ASSERT(::IsWindow(m_hWnd)); return (COLORREF)::SendMessage(m_hWnd, LVM_GETTEXTBKCOLOR, 0, 0); }
    BOOL SetTextBkColor(COLORREF color) { ASSERT(::IsWindow(m_hWnd)); return (BOOL)::SendMessage(m_hWnd, LVM_SETTEXTBKCOLOR, 0, color); }
    // LVS_EX_ flags; returns the previous ones.
    DWORD SetExtendedStyle(DWORD exStyle) { ASSERT(::IsWindow(m_hWnd)); return (DWORD)::SendMessage(m_hWnd, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, exStyle); }
    DWORD GetExtendedStyle() const { ASSERT(::IsWindow(m_hWnd)); return (DWORD)::SendMessage(m_hWnd, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0); }
    // LV_VIEW_ICON, LV_VIEW_DETAILS, LV_VIEW_SMALLICON, LV_VIEW_LIST.
    int SetView(DWORD view) { ASSERT(::IsWindow(m_hWnd)); return (int)::SendMessage(m_hWnd, LVM_SETVIEW, view, 0); }
    DWORD GetView() const { ASSERT(::IsWindow(m_hWnd)); return (DWORD)::SendMessage(m_hWnd, LVM_GETVIEW, 0, 0); }

    // ---- Image lists (LVSIL_NORMAL, LVSIL_SMALL, LVSIL_STATE); the list does not own them
    // unless LVS_SHAREIMAGELISTS is absent, in which case it destroys them with itself.
    CImageList* GetImageList(int which) const
    {
        ASSERT(::IsWindow(m_hWnd));
        return CImageList::FromHandle((HIMAGELIST)::SendMessage(m_hWnd, LVM_GETIMAGELIST, which, 0));
    }
    CImageList* SetImageList(CImageList* list, int which)
    {
        ASSERT(::IsWindow(m_hWnd));
        return CImageList::FromHandle((HIMAGELIST)::SendMessage(m_hWnd, LVM_SETIMAGELIST, which, (LPARAM)(list ? list->GetSafeHandle() : nullptr)));
    }
    HIMAGELIST SetImageList(HIMAGELIST list, int which)
    {
        ASSERT(::IsWindow(m_hWnd));
        return (HIMAGELIST)::SendMessage(m_hWnd, LVM_SETIMAGELIST, which, (LPARAM)list);
    }

    // ---- Columns
    // Returns the new column's index, or -1.
    int InsertColumn(int column, const LVCOLUMNW* info) { ASSERT(::IsWindow(m_hWnd)); return (int)::SendMessage(m_hWnd, LVM_INSERTCOLUMNW, column, (LPARAM)info); }
    // width -1 leaves the control's default; subItem -1 uses the column index.
    int InsertColumn(int column, LPCTSTR heading, int format = LVCFMT_LEFT, int width = -1, int subItem = -1);
    BOOL DeleteColumn(int column) { ASSERT(::IsWindow(m_hWnd)); return (BOOL)::SendMessage(m_hWnd, LVM_DELETECOLUMN, column, 0); }
    BOOL GetColumn(int column, LVCOLUMNW* info) const { ASSERT(::IsWindow(m_hWnd)); return (BOOL)::SendMessage(m_hWnd, LVM_GETCOLUMNW, column, (LPARAM)info); }
    BOOL SetColumn(int column, const LVCOLUMNW* info) { ASSERT(::IsWindow(m_hWnd)); return (BOOL)::SendMessage(m_hWnd, LVM_SETCOLUMNW, column, (LPARAM)info); }
    int GetColumnWidth(int column) const { ASSERT(::IsWindow(m_hWnd)); return (int)::SendMessage(m_hWnd, LVM_GETCOLUMNWIDTH, column, 0); }
    // LVSCW_AUTOSIZE and LVSCW_AUTOSIZE_USEHEADER are accepted as widths.
    BOOL SetColumnWidth(int column, int width) { ASSERT(::IsWindow(m_hWnd)); return (BOOL)::SendMessage(m_hWnd, LVM_SETCOLUMNWIDTH, column, MAKELPARAM(width, 0)); }
    BOOL GetColumnOrderArray(LPINT order, int count) const { ASSERT(::IsWindow(m_hWnd)); return (BOOL)::SendMessage(m_hWnd, LVM_GETCOLUMNORDERARRAY, count, (LPARAM)order); }
    BOOL SetColumnOrderArray(int count, LPINT order) { ASSERT(::IsWindow(m_hWnd)); return (BOOL)::SendMessage(m_hWnd, LVM_SETCOLUMNORDERARRAY, count, (LPARAM)order); }
    // The report view's header; the subclassing CHeaderCtrl when there is one.
    CHeaderCtrl* GetHeaderCtrl() const;

    // ---- Items
    int GetItemCount() const { ASSERT(::IsWindow(m_hWnd)); return (int)::SendMessage(m_hWnd, LVM_GETITEMCOUNT, 0, 0); }
    // Each returns the new item's index, or -1.
    int InsertItem(const LVITEMW* item) { ASSERT(::IsWindow(m_hWnd)); return (int)::SendMessage(m_hWnd, LVM_INSERTITEMW, 0, (LPARAM)item); }
    int InsertItem(int index, LPCTSTR text);
    int InsertItem(int index, LPCTSTR text, int image);
    int InsertItem(UINT mask, int index, LPCTSTR text, UINT state, UINT stateMask, int image, LPARAM lParam);
    BOOL DeleteItem(int index) { ASSERT(::IsWindow(m_hWnd)); return (BOOL)::SendMessage(m_hWnd, LVM_DELETEITEM, index, 0); }
    BOOL DeleteAllItems() { ASSERT(::IsWindow(m_hWnd)); return (BOOL)::SendMessage(m_hWnd, LVM_DELETEALLITEMS, 0, 0); }
    BOOL GetItem(LVITEMW* item) const { ASSERT(::IsWindow(m_hWnd)); return (BOOL)::SendMessage(m_hWnd, LVM_GETITEMW, 0, (LPARAM)item); }
    BOOL SetItem(const LVITEMW* item) { ASSERT(::IsWindow(m_hWnd)); return (BOOL)::SendMessage(m_hWnd, LVM_SETITEMW, 0, (LPARAM)item); }
    BOOL SetItem(int index, int subItem, UINT mask, LPCTSTR text, int image, UINT state, UINT stateMask, LPARAM lParam);
    // Virtual lists (LVS_OWNERDATA) take the count; others reserve room.
    void SetItemCount(int count) { ASSERT(::IsWindow(m_hWnd)); ::SendMessage(m_hWnd, LVM_SETITEMCOUNT, count, 0); }
    BOOL SetItemCountEx(int count, DWORD flags = LVSICF_NOINVALIDATEALL) { ASSERT(::IsWindow(m_hWnd)); return (BOOL)::SendMessage(m_hWnd, LVM_SETITEMCOUNT, count, flags); }

    CString GetItemText(int index, int subItem) const;
    // Copies at most maxLength - 1 characters and a zero; returns the length copied.
    int GetItemText(int index, int subItem, LPTSTR text, int maxLength) const;
    BOOL SetItemText(int index, int subItem, LPCTSTR text);
    DWORD_PTR GetItemData(int index) const;
    BOOL SetItemData(int index, DWORD_PTR data);
    UINT GetItemState(int index, UINT mask) const { ASSERT(::IsWindow(m_hWnd)); return (UINT)::SendMessage(m_hWnd, LVM_GETITEMSTATE, index, mask); }
    // index -1 changes every item.
    BOOL SetItemState(int index, UINT state, UINT mask);
    BOOL SetItemState(int index, LVITEMW* item) { ASSERT(::IsWindow(m_hWnd)); return (BOOL)::SendMessage(m_hWnd, LVM_SETITEMSTATE, index, (LPARAM)item); }
    // LVS_EX_CHECKBOXES: checked means state image 2.
    BOOL GetCheck(int index) const { return ((GetItemState(index, LVIS_STATEIMAGEMASK) >> 12) - 1) == 1; }
    BOOL SetCheck(int index, BOOL check = TRUE) { return SetItemState(index, INDEXTOSTATEIMAGEMASK(check ? 2 : 1), LVIS_STATEIMAGEMASK); }

    // ---- Selection and search
    UINT GetSelectedCount() const { ASSERT(::IsWindow(m_hWnd)); return (UINT)::SendMessage(m_hWnd, LVM_GETSELECTEDCOUNT, 0, 0); }
    int GetSelectionMark() const { ASSERT(::IsWindow(m_hWnd)); return (int)::SendMessage(m_hWnd, LVM_GETSELECTIONMARK, 0, 0); }
    int SetSelectionMark(int index) { ASSERT(::IsWindow(m_hWnd)); return (int)::SendMessage(m_hWnd, LVM_SETSELECTIONMARK, 0, index); }
    // Walks the selected items in index order:
    //     POSITION pos = list.GetFirstSelectedItemPosition();
    //     while (pos) { int item = list.GetNextSelectedItem(pos); ... }
    POSITION GetFirstSelectedItemPosition() const;
    int GetNextSelectedItem(POSITION& pos) const;
    // The next item after start (-1: from the top) with the LVNI_ relation/state flags.
    int GetNextItem(int start, int flags) const { ASSERT(::IsWindow(m_hWnd)); return (int)::SendMessage(m_hWnd, LVM_GETNEXTITEM, start, MAKELPARAM(flags, 0)); }
    int FindItem(LVFINDINFOW* find, int start = -1) const { ASSERT(::IsWindow(m_hWnd)); return (int)::SendMessage(m_hWnd, LVM_FINDITEMW, start, (LPARAM)find); }
    int GetHotItem() const { ASSERT(::IsWindow(m_hWnd)); return (int)::SendMessage(m_hWnd, LVM_GETHOTITEM, 0, 0); }
    // Returns the previous hot item.
    int SetHotItem(int index) { ASSERT(::IsWindow(m_hWnd)); return (int)::SendMessage(m_hWnd, LVM_SETHOTITEM, index, 0); }

    // ---- Geometry and hit tests (client coordinates)
    // The item under the point, or -1; flags receives the LVHT_ part hit.
    int HitTest(LVHITTESTINFO* info) const { ASSERT(::IsWindow(m_hWnd)); return (int)::SendMessage(m_hWnd, LVM_HITTEST, 0, (LPARAM)info); }
    int HitTest(CPoint point, UINT* flags = nullptr) const;
    // Fills iItem and iSubItem (the column) of info; returns the item or -1.
    int SubItemHitTest(LVHITTESTINFO* info) const { ASSERT(::IsWindow(m_hWnd)); return (int)::SendMessage(m_hWnd, LVM_SUBITEMHITTEST, 0, (LPARAM)info); }
    // code: LVIR_BOUNDS, LVIR_ICON, LVIR_LABEL or LVIR_SELECTBOUNDS.
    BOOL GetItemRect(int index, LPRECT rect, UINT code) const;
    // area: LVIR_BOUNDS, LVIR_ICON or LVIR_LABEL. For subitem 0, LVIR_BOUNDS is the whole row
    // (as the control reports it) and LVIR_LABEL the first column.
    BOOL GetSubItemRect(int index, int subItem, int area, CRect& rect) const;
    BOOL GetItemPosition(int index, LPPOINT point) const { ASSERT(::IsWindow(m_hWnd)); return (BOOL)::SendMessage(m_hWnd, LVM_GETITEMPOSITION, index, (LPARAM)point); }
    BOOL SetItemPosition(int index, POINT point) { ASSERT(::IsWindow(m_hWnd)); return (BOOL)::SendMessage(m_hWnd, LVM_SETITEMPOSITION32, index, (LPARAM)&point); }
    BOOL GetViewRect(LPRECT rect) const { ASSERT(::IsWindow(m_hWnd)); return (BOOL)::SendMessage(m_hWnd, LVM_GETVIEWRECT, 0, (LPARAM)rect); }
    BOOL GetOrigin(LPPOINT point) const { ASSERT(::IsWindow(m_hWnd)); return (BOOL)::SendMessage(m_hWnd, LVM_GETORIGIN, 0, (LPARAM)point); }
    int GetStringWidth(LPCTSTR text) const { ASSERT(::IsWindow(m_hWnd)); return (int)::SendMessage(m_hWnd, LVM_GETSTRINGWIDTHW, 0, (LPARAM)text); }
    int GetTopIndex() const { ASSERT(::IsWindow(m_hWnd)); return (int)::SendMessage(m_hWnd, LVM_GETTOPINDEX, 0, 0); }
    int GetCountPerPage() const { ASSERT(::IsWindow(m_hWnd)); return (int)::SendMessage(m_hWnd, LVM_GETCOUNTPERPAGE, 0, 0); }
    BOOL EnsureVisible(int index, BOOL partialOK) { ASSERT(::IsWindow(m_hWnd)); return (BOOL)::SendMessage(m_hWnd, LVM_ENSUREVISIBLE, index, partialOK); }
    BOOL Scroll(CSize size) { ASSERT(::IsWindow(m_hWnd)); return (BOOL)::SendMessage(m_hWnd, LVM_SCROLL, size.cx, size.cy); }
    BOOL Arrange(UINT code) { ASSERT(::IsWindow(m_hWnd)); return (BOOL)::SendMessage(m_hWnd, LVM_ARRANGE, code, 0); }
    // Icon view spacing; returns the previous spacing (LOWORD x, HIWORD y).
    DWORD SetIconSpacing(int cx, int cy) { ASSERT(::IsWindow(m_hWnd)); return (DWORD)::SendMessage(m_hWnd, LVM_SETICONSPACING, 0, MAKELPARAM(cx, cy)); }

    // ---- Drawing
    BOOL Update(int index) { ASSERT(::IsWindow(m_hWnd)); return (BOOL)::SendMessage(m_hWnd, LVM_UPDATE, index, 0); }
    BOOL RedrawItems(int first, int last) { ASSERT(::IsWindow(m_hWnd)); return (BOOL)::SendMessage(m_hWnd, LVM_REDRAWITEMS, first, last); }
    // A new drag image of the item, which the caller deletes; null on failure.
    CImageList* CreateDragImage(int index, LPPOINT upperLeft);

    // ---- Sorting. The callback gets the two items' lParam values (SortItems) or indexes
    // (SortItemsEx) and data; it returns <0, 0 or >0. Indexes change as the sort proceeds.
    BOOL SortItems(PFNLVCOMPARE compare, DWORD_PTR data) { ASSERT(::IsWindow(m_hWnd)); return (BOOL)::SendMessage(m_hWnd, LVM_SORTITEMS, data, (LPARAM)compare); }
    BOOL SortItemsEx(PFNLVCOMPARE compare, DWORD_PTR data) { ASSERT(::IsWindow(m_hWnd)); return (BOOL)::SendMessage(m_hWnd, LVM_SORTITEMSEX, data, (LPARAM)compare); }

    // ---- Label editing (LVS_EDITLABELS); the edit wrapper is valid while the edit exists.
    CEdit* EditLabel(int index);
    CEdit* GetEditControl() const;
    BOOL CancelEditLabel() { ASSERT(::IsWindow(m_hWnd)); return (BOOL)::SendMessage(m_hWnd, LVM_CANCELEDITLABEL, 0, 0); }

    // LVS_OWNERDRAWFIXED: called when the parent reflects WM_DRAWITEM. Derived classes draw.
    virtual void DrawItem(LPDRAWITEMSTRUCT drawItem);

protected:
    DECLARE_MESSAGE_MAP()
};

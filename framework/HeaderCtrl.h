// Header controls: the column headings of report lists, including owner-drawn ones.
#pragma once
#include "FwAssert.h"
#include "Wnd.h"
#include "ImageList.h"

class FW_API CHeaderCtrl : public CWnd {
    DECLARE_DYNAMIC(CHeaderCtrl)
public:
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id)
    {
        return CWnd::Create(WC_HEADERW, nullptr, style, rect, parent, id);
    }

    int GetItemCount() const { ASSERT(::IsWindow(m_hWnd)); return (int)::SendMessage(m_hWnd, HDM_GETITEMCOUNT, 0, 0); }
    // item->mask says which fields to read or write (HDI_TEXT, HDI_WIDTH, HDI_FORMAT, ...).
    BOOL GetItem(int index, HDITEMW* item) const { ASSERT(::IsWindow(m_hWnd)); return (BOOL)::SendMessage(m_hWnd, HDM_GETITEMW, index, (LPARAM)item); }
    BOOL SetItem(int index, HDITEMW* item) { ASSERT(::IsWindow(m_hWnd)); return (BOOL)::SendMessage(m_hWnd, HDM_SETITEMW, index, (LPARAM)item); }
    // Returns the new item's index, or -1.
    int InsertItem(int index, HDITEMW* item) { ASSERT(::IsWindow(m_hWnd)); return (int)::SendMessage(m_hWnd, HDM_INSERTITEMW, index, (LPARAM)item); }
    BOOL DeleteItem(int index) { ASSERT(::IsWindow(m_hWnd)); return (BOOL)::SendMessage(m_hWnd, HDM_DELETEITEM, index, 0); }
    // In the header's client coordinates.
    BOOL GetItemRect(int index, LPRECT rect) const { ASSERT(::IsWindow(m_hWnd)); return (BOOL)::SendMessage(m_hWnd, HDM_GETITEMRECT, index, (LPARAM)rect); }
    BOOL Layout(HDLAYOUT* layout) { ASSERT(::IsWindow(m_hWnd)); return (BOOL)::SendMessage(m_hWnd, HDM_LAYOUT, 0, (LPARAM)layout); }
    int HitTest(HDHITTESTINFO* info) { ASSERT(::IsWindow(m_hWnd)); return (int)::SendMessage(m_hWnd, HDM_HITTEST, 0, (LPARAM)info); }
    int OrderToIndex(int order) const { ASSERT(::IsWindow(m_hWnd)); return (int)::SendMessage(m_hWnd, HDM_ORDERTOINDEX, order, 0); }
    BOOL GetOrderArray(LPINT order, int count) const { ASSERT(::IsWindow(m_hWnd)); return (BOOL)::SendMessage(m_hWnd, HDM_GETORDERARRAY, count, (LPARAM)order); }
    BOOL SetOrderArray(int count, LPINT order) { ASSERT(::IsWindow(m_hWnd)); return (BOOL)::SendMessage(m_hWnd, HDM_SETORDERARRAY, count, (LPARAM)order); }
    // Returns the previous list; the header does not own it.
    CImageList* SetImageList(CImageList* list)
    {
        ASSERT(::IsWindow(m_hWnd));
        return CImageList::FromHandle((HIMAGELIST)::SendMessage(m_hWnd, HDM_SETIMAGELIST, 0, (LPARAM)(list ? list->GetSafeHandle() : nullptr)));
    }
    CImageList* GetImageList() const
    {
        ASSERT(::IsWindow(m_hWnd));
        return CImageList::FromHandle((HIMAGELIST)::SendMessage(m_hWnd, HDM_GETIMAGELIST, 0, 0));
    }

    // HDF_OWNERDRAW items: called when the parent (the list) reflects WM_DRAWITEM.
    virtual void DrawItem(LPDRAWITEMSTRUCT drawItem);

protected:
    DECLARE_MESSAGE_MAP()
};

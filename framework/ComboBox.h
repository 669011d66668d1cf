// Combo boxes: drop-down lists with an optional edit field, including owner-drawn ones.
#pragma once
#include "FwAssert.h"
#include "Wnd.h"

// Index results are CB_ERR (-1) when there is no such item; adding returns CB_ERRSPACE (-2)
// when the control is out of memory.
class FW_API CComboBox : public CWnd {
    DECLARE_DYNAMIC(CComboBox)
public:
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id)
    {
        return CWnd::Create(WC_COMBOBOXW, nullptr, style, rect, parent, id);
    }

    int GetCount() const { ASSERT(::IsWindow(m_hWnd)); return (int)::SendMessage(m_hWnd, CB_GETCOUNT, 0, 0); }
    int GetCurSel() const { ASSERT(::IsWindow(m_hWnd)); return (int)::SendMessage(m_hWnd, CB_GETCURSEL, 0, 0); }
    // -1 clears the selection. Returns the index, or CB_ERR when it is out of range.
    int SetCurSel(int index) { ASSERT(::IsWindow(m_hWnd)); return (int)::SendMessage(m_hWnd, CB_SETCURSEL, index, 0); }

    int AddString(LPCTSTR text) { ASSERT(::IsWindow(m_hWnd)); return (int)::SendMessage(m_hWnd, CB_ADDSTRING, 0, (LPARAM)text); }
    // index -1 appends.
    int InsertString(int index, LPCTSTR text) { ASSERT(::IsWindow(m_hWnd)); return (int)::SendMessage(m_hWnd, CB_INSERTSTRING, index, (LPARAM)text); }
    // Returns the number of items left.
    int DeleteString(UINT index) { ASSERT(::IsWindow(m_hWnd)); return (int)::SendMessage(m_hWnd, CB_DELETESTRING, index, 0); }
    void ResetContent() { ASSERT(::IsWindow(m_hWnd)); ::SendMessage(m_hWnd, CB_RESETCONTENT, 0, 0); }

    // The text is copied into text, which needs GetLBTextLen(index) + 1 characters.
    int GetLBText(int index, LPTSTR text) const { ASSERT(::IsWindow(m_hWnd)); return (int)::SendMessage(m_hWnd, CB_GETLBTEXT, index, (LPARAM)text); }
    // Empty when there is no such item.
    void GetLBText(int index, CString& text) const;
    int GetLBTextLen(int index) const { ASSERT(::IsWindow(m_hWnd)); return (int)::SendMessage(m_hWnd, CB_GETLBTEXTLEN, index, 0); }
    // Searches after startAfter (-1: from the top), wrapping round. FindString matches a
    // prefix, FindStringExact the whole text; both ignore case.
    int FindString(int startAfter, LPCTSTR text) const { ASSERT(::IsWindow(m_hWnd)); return (int)::SendMessage(m_hWnd, CB_FINDSTRING, startAfter, (LPARAM)text); }
    int FindStringExact(int startAfter, LPCTSTR text) const { ASSERT(::IsWindow(m_hWnd)); return (int)::SendMessage(m_hWnd, CB_FINDSTRINGEXACT, startAfter, (LPARAM)text); }
    int SelectString(int startAfter, LPCTSTR text) { ASSERT(::IsWindow(m_hWnd)); return (int)::SendMessage(m_hWnd, CB_SELECTSTRING, startAfter, (LPARAM)text); }

    DWORD_PTR GetItemData(int index) const { ASSERT(::IsWindow(m_hWnd)); return (DWORD_PTR)::SendMessage(m_hWnd, CB_GETITEMDATA, index, 0); }
    int SetItemData(int index, DWORD_PTR data) { ASSERT(::IsWindow(m_hWnd)); return (int)::SendMessage(m_hWnd, CB_SETITEMDATA, index, (LPARAM)data); }
    void* GetItemDataPtr(int index) const { return (void*)GetItemData(index); }
    int SetItemDataPtr(int index, void* data) { return SetItemData(index, (DWORD_PTR)data); }

    // index -1 is the selection field; 0.. the list items (all of them unless CBS_OWNERDRAWVARIABLE).
    int SetItemHeight(int index, UINT height) { ASSERT(::IsWindow(m_hWnd)); return (int)::SendMessage(m_hWnd, CB_SETITEMHEIGHT, index, height); }
    int GetItemHeight(int index) const { ASSERT(::IsWindow(m_hWnd)); return (int)::SendMessage(m_hWnd, CB_GETITEMHEIGHT, index, 0); }
    void ShowDropDown(BOOL show = TRUE) { ASSERT(::IsWindow(m_hWnd)); ::SendMessage(m_hWnd, CB_SHOWDROPDOWN, show, 0); }
    BOOL GetDroppedState() const { ASSERT(::IsWindow(m_hWnd)); return (BOOL)::SendMessage(m_hWnd, CB_GETDROPPEDSTATE, 0, 0); }
    void GetDroppedControlRect(LPRECT rect) const { ASSERT(::IsWindow(m_hWnd)); ::SendMessage(m_hWnd, CB_GETDROPPEDCONTROLRECT, 0, (LPARAM)rect); }
    int SetDroppedWidth(UINT width) { ASSERT(::IsWindow(m_hWnd)); return (int)::SendMessage(m_hWnd, CB_SETDROPPEDWIDTH, width, 0); }
    int GetDroppedWidth() const { ASSERT(::IsWindow(m_hWnd)); return (int)::SendMessage(m_hWnd, CB_GETDROPPEDWIDTH, 0, 0); }
    BOOL SetMinVisibleItems(int count) { ASSERT(::IsWindow(m_hWnd)); return (BOOL)::SendMessage(m_hWnd, CB_SETMINVISIBLE, count, 0); }

    // ---- The edit field
    BOOL LimitText(int maxChars) { ASSERT(::IsWindow(m_hWnd)); return (BOOL)::SendMessage(m_hWnd, CB_LIMITTEXT, maxChars, 0); }
    DWORD GetEditSel() const { ASSERT(::IsWindow(m_hWnd)); return (DWORD)::SendMessage(m_hWnd, CB_GETEDITSEL, 0, 0); }
    BOOL SetEditSel(int start, int end) { ASSERT(::IsWindow(m_hWnd)); return (BOOL)::SendMessage(m_hWnd, CB_SETEDITSEL, 0, MAKELPARAM(start, end)); }
    BOOL SetCueBanner(LPCWSTR text) { ASSERT(::IsWindow(m_hWnd)); return (BOOL)::SendMessage(m_hWnd, CB_SETCUEBANNER, 0, (LPARAM)text); }

    // CBS_OWNERDRAWFIXED / CBS_OWNERDRAWVARIABLE: called when the parent reflects
    // WM_DRAWITEM / WM_MEASUREITEM. Derived classes draw and measure.
    virtual void DrawItem(LPDRAWITEMSTRUCT drawItem);
    virtual void MeasureItem(LPMEASUREITEMSTRUCT measureItem);

protected:
    DECLARE_MESSAGE_MAP()
};

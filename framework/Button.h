// Push buttons, check boxes and radio buttons, including owner-drawn ones.
#pragma once
#include "FwAssert.h"
#include "Wnd.h"

class FW_API CButton : public CWnd {
    DECLARE_DYNAMIC(CButton)
public:
    BOOL Create(LPCTSTR caption, DWORD style, const RECT& rect, CWnd* parent, UINT id)
    {
        return CWnd::Create(WC_BUTTONW, caption, style, rect, parent, id);
    }

    // BST_PUSHED, BST_FOCUS and the check state bits.
    UINT GetState() const { ASSERT(::IsWindow(m_hWnd)); return (UINT)::SendMessage(m_hWnd, BM_GETSTATE, 0, 0); }
    // Shows the button pressed (TRUE) or released.
    void SetState(BOOL highlight) { ASSERT(::IsWindow(m_hWnd)); ::SendMessage(m_hWnd, BM_SETSTATE, highlight, 0); }
    // BST_UNCHECKED, BST_CHECKED or BST_INDETERMINATE.
    int GetCheck() const { ASSERT(::IsWindow(m_hWnd)); return (int)::SendMessage(m_hWnd, BM_GETCHECK, 0, 0); }
    void SetCheck(int check) { ASSERT(::IsWindow(m_hWnd)); ::SendMessage(m_hWnd, BM_SETCHECK, check, 0); }
    // The BS_ type (BS_PUSHBUTTON, BS_OWNERDRAW, ...).
    UINT GetButtonStyle() const { ASSERT(::IsWindow(m_hWnd)); return (UINT)GetStyle() & BS_TYPEMASK; }
    void SetButtonStyle(UINT style, BOOL redraw = TRUE) { ASSERT(::IsWindow(m_hWnd)); ::SendMessage(m_hWnd, BM_SETSTYLE, style, redraw); }
    // Each returns the previous image; the caller keeps owning both.
    HBITMAP SetBitmap(HBITMAP bitmap) { ASSERT(::IsWindow(m_hWnd)); return (HBITMAP)::SendMessage(m_hWnd, BM_SETIMAGE, IMAGE_BITMAP, (LPARAM)bitmap); }
    HBITMAP GetBitmap() const { ASSERT(::IsWindow(m_hWnd)); return (HBITMAP)::SendMessage(m_hWnd, BM_GETIMAGE, IMAGE_BITMAP, 0); }
    HICON SetIcon(HICON icon) { ASSERT(::IsWindow(m_hWnd)); return (HICON)::SendMessage(m_hWnd, BM_SETIMAGE, IMAGE_ICON, (LPARAM)icon); }
    HICON GetIcon() const { ASSERT(::IsWindow(m_hWnd)); return (HICON)::SendMessage(m_hWnd, BM_GETIMAGE, IMAGE_ICON, 0); }
    // Presses the button as a click would (the parent receives BN_CLICKED).
    void Click() { ASSERT(::IsWindow(m_hWnd)); ::SendMessage(m_hWnd, BM_CLICK, 0, 0); }

    // BS_OWNERDRAW buttons: called when the parent reflects WM_DRAWITEM. Derived classes draw.
    virtual void DrawItem(LPDRAWITEMSTRUCT drawItem);

protected:
    DECLARE_MESSAGE_MAP()
};

// Tooltip windows: tools are child windows or rectangles of a window; the owner relays mouse
// messages (RelayEvent from PreTranslateMessage) so the tip knows when to show.
#pragma once
#include "FwAssert.h"
#include "Wnd.h"

class FW_API CToolTipCtrl : public CWnd {
    DECLARE_DYNAMIC(CToolTipCtrl)
public:
    // A topmost pop-up owned by parent; style adds TTS_ flags (TTS_ALWAYSTIP, TTS_BALLOON...).
    BOOL Create(CWnd* parent, DWORD style = 0);

    // With a rectangle (client coordinates of wnd) the tool is that area of wnd, named by id;
    // without one the tool is the window wnd itself. text may be LPSTR_TEXTCALLBACK (the
    // window asked is told through TTN_GETDISPINFO).
    BOOL AddTool(CWnd* wnd, LPCTSTR text = LPSTR_TEXTCALLBACK, LPCRECT rect = nullptr, UINT_PTR id = 0);
    // The text from the string table of the registered resource modules.
    BOOL AddTool(CWnd* wnd, UINT textId, LPCRECT rect = nullptr, UINT_PTR id = 0);
    void DelTool(CWnd* wnd, UINT_PTR id = 0);
    void UpdateTipText(LPCTSTR text, CWnd* wnd, UINT_PTR id = 0);
    void SetToolRect(CWnd* wnd, UINT_PTR id, LPCRECT rect);
    // The tool's current text; empty when there is no such tool.
    void GetText(CString& text, CWnd* wnd, UINT_PTR id = 0) const;
    int GetToolCount() const { ASSERT(::IsWindow(m_hWnd)); return (int)::SendMessage(m_hWnd, TTM_GETTOOLCOUNT, 0, 0); }

    void RelayEvent(LPMSG msg) { ASSERT(::IsWindow(m_hWnd)); ::SendMessage(m_hWnd, TTM_RELAYEVENT, 0, (LPARAM)msg); }
    void Activate(BOOL activate) { ASSERT(::IsWindow(m_hWnd)); ::SendMessage(m_hWnd, TTM_ACTIVATE, activate, 0); }
    void Pop() { ASSERT(::IsWindow(m_hWnd)); ::SendMessage(m_hWnd, TTM_POP, 0, 0); }
    void Update() { ASSERT(::IsWindow(m_hWnd)); ::SendMessage(m_hWnd, TTM_UPDATE, 0, 0); }
    // All three delays from the initial one (TTDT_AUTOMATIC), in milliseconds.
    void SetDelayTime(UINT delay) { ASSERT(::IsWindow(m_hWnd)); ::SendMessage(m_hWnd, TTM_SETDELAYTIME, TTDT_AUTOMATIC, MAKELPARAM(delay, 0)); }
    // which: TTDT_INITIAL, TTDT_AUTOPOP or TTDT_RESHOW.
    void SetDelayTime(DWORD which, int delay) { ASSERT(::IsWindow(m_hWnd)); ::SendMessage(m_hWnd, TTM_SETDELAYTIME, which, MAKELPARAM(delay, 0)); }
    int GetDelayTime(DWORD which) const { ASSERT(::IsWindow(m_hWnd)); return (int)::SendMessage(m_hWnd, TTM_GETDELAYTIME, which, 0); }
    // Wraps longer tips; returns the previous width (-1: no wrapping).
    int SetMaxTipWidth(int width) { ASSERT(::IsWindow(m_hWnd)); return (int)::SendMessage(m_hWnd, TTM_SETMAXTIPWIDTH, 0, width); }
    void SetTipBkColor(COLORREF color) { ASSERT(::IsWindow(m_hWnd)); ::SendMessage(m_hWnd, TTM_SETTIPBKCOLOR, color, 0); }
    COLORREF GetTipBkColor() const { ASSERT(::IsWindow(m_hWnd)); return (COLORREF)::SendMessage(m_hWnd, TTM_GETTIPBKCOLOR, 0, 0); }
    void SetTipTextColor(COLORREF color) { ASSERT(::IsWindow(m_hWnd)); ::SendMessage(m_hWnd, TTM_SETTIPTEXTCOLOR, color, 0); }
    COLORREF GetTipTextColor() const { ASSERT(::IsWindow(m_hWnd)); return (COLORREF)::SendMessage(m_hWnd, TTM_GETTIPTEXTCOLOR, 0, 0); }
    // icon: TTI_NONE, TTI_INFO, TTI_WARNING, TTI_ERROR.
    BOOL SetTitle(UINT icon, LPCTSTR title) { ASSERT(::IsWindow(m_hWnd)); return (BOOL)::SendMessage(m_hWnd, TTM_SETTITLEW, icon, (LPARAM)title); }
};

// Single- and multi-line edit controls.
#pragma once
#include "FwAssert.h"
#include "Wnd.h"

class FW_API CEdit : public CWnd {
    DECLARE_DYNAMIC(CEdit)
public:
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id)
    {
        return CWnd::Create(WC_EDITW, nullptr, style, rect, parent, id);
    }

    // 0 lifts the limit to the control's maximum.
    void LimitText(int maxChars = 0) { ASSERT(::IsWindow(m_hWnd)); ::SendMessage(m_hWnd, EM_LIMITTEXT, maxChars, 0); }
    void SetLimitText(UINT maxChars) { ASSERT(::IsWindow(m_hWnd)); ::SendMessage(m_hWnd, EM_SETLIMITTEXT, maxChars, 0); }
    UINT GetLimitText() const { ASSERT(::IsWindow(m_hWnd)); return (UINT)::SendMessage(m_hWnd, EM_GETLIMITTEXT, 0, 0); }

    // Selection as character positions: start, and end one past the last selected character.
    DWORD GetSel() const { ASSERT(::IsWindow(m_hWnd)); return (DWORD)::SendMessage(m_hWnd, EM_GETSEL, 0, 0); }
    void GetSel(int& start, int& end) const
    {
        ASSERT(::IsWindow(m_hWnd));
        DWORD s = 0, e = 0;
        ::SendMessage(m_hWnd, EM_GETSEL, (WPARAM)&s, (LPARAM)&e);
        start = (int)s;
        end = (int)e;
    }
    // (0, -1) selects everything; a start of -1 removes the selection.
    void SetSel(int start, int end, BOOL noScroll = FALSE)
    {
        ASSERT(::IsWindow(m_hWnd));
        ::SendMessage(m_hWnd, EM_SETSEL, start, end);
        if (!noScroll)
            ::SendMessage(m_hWnd, EM_SCROLLCARET, 0, 0);
    }
    void SetSel(DWORD selection, BOOL noScroll = FALSE) { SetSel((int)(short)LOWORD(selection), (int)(short)HIWORD(selection), noScroll); }
    void ReplaceSel(LPCTSTR text, BOOL canUndo = FALSE) { ASSERT(::IsWindow(m_hWnd)); ::SendMessage(m_hWnd, EM_REPLACESEL, canUndo, (LPARAM)text); }

    // 0 shows the text in the clear.
    void SetPasswordChar(TCHAR ch) { ASSERT(::IsWindow(m_hWnd)); ::SendMessage(m_hWnd, EM_SETPASSWORDCHAR, ch, 0); }
    TCHAR GetPasswordChar() const { ASSERT(::IsWindow(m_hWnd)); return (TCHAR)::SendMessage(m_hWnd, EM_GETPASSWORDCHAR, 0, 0); }
    BOOL SetReadOnly(BOOL readOnly = TRUE) { ASSERT(::IsWindow(m_hWnd)); return (BOOL)::SendMessage(m_hWnd, EM_SETREADONLY, readOnly, 0); }
    BOOL SetCueBanner(LPCWSTR text, BOOL showWhenFocused = FALSE)
    {
        ASSERT(::IsWindow(m_hWnd));
        return (BOOL)::SendMessage(m_hWnd, EM_SETCUEBANNER, showWhenFocused, (LPARAM)text);
    }
    void SetMargins(UINT left, UINT right)
    {
        ASSERT(::IsWindow(m_hWnd));
        ::SendMessage(m_hWnd, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(left, right));
    }
    void GetRect(LPRECT rect) const { ASSERT(::IsWindow(m_hWnd)); ::SendMessage(m_hWnd, EM_GETRECT, 0, (LPARAM)rect); }
    void SetRect(LPCRECT rect) { ASSERT(::IsWindow(m_hWnd)); ::SendMessage(m_hWnd, EM_SETRECT, 0, (LPARAM)rect); }

    // ---- Lines (multi-line controls; a single-line control has line 0)
    int GetLineCount() const { ASSERT(::IsWindow(m_hWnd)); return (int)::SendMessage(m_hWnd, EM_GETLINECOUNT, 0, 0); }
    // Copies at most maxLength characters of the line, without a terminating zero; returns
    // how many were copied.
    int GetLine(int line, LPTSTR buffer, int maxLength) const;
    // The whole line as a string.
    int GetLine(int line, CString& text) const;
    // The character index where the line starts (-1: the caret's line).
    int LineIndex(int line = -1) const { ASSERT(::IsWindow(m_hWnd)); return (int)::SendMessage(m_hWnd, EM_LINEINDEX, line, 0); }
    // The length of the line holding character charIndex.
    int LineLength(int charIndex = -1) const { ASSERT(::IsWindow(m_hWnd)); return (int)::SendMessage(m_hWnd, EM_LINELENGTH, charIndex, 0); }
    int LineFromChar(int charIndex = -1) const { ASSERT(::IsWindow(m_hWnd)); return (int)::SendMessage(m_hWnd, EM_LINEFROMCHAR, charIndex, 0); }
    void LineScroll(int lines, int chars = 0) { ASSERT(::IsWindow(m_hWnd)); ::SendMessage(m_hWnd, EM_LINESCROLL, chars, lines); }
    CPoint PosFromChar(UINT charIndex) const
    {
        ASSERT(::IsWindow(m_hWnd));
        return CPoint((LPARAM)::SendMessage(m_hWnd, EM_POSFROMCHAR, charIndex, 0));
    }
    // LOWORD: the character index, HIWORD: the line.
    int CharFromPos(CPoint point) const { ASSERT(::IsWindow(m_hWnd)); return (int)::SendMessage(m_hWnd, EM_CHARFROMPOS, 0, MAKELPARAM(point.x, point.y)); }

    // ---- Editing
    BOOL GetModify() const { ASSERT(::IsWindow(m_hWnd)); return (BOOL)::SendMessage(m_hWnd, EM_GETMODIFY, 0, 0); }
    void SetModify(BOOL modified = TRUE) { ASSERT(::IsWindow(m_hWnd)); ::SendMessage(m_hWnd, EM_SETMODIFY, modified, 0); }
    BOOL CanUndo() const { ASSERT(::IsWindow(m_hWnd)); return (BOOL)::SendMessage(m_hWnd, EM_CANUNDO, 0, 0); }
    BOOL Undo() { ASSERT(::IsWindow(m_hWnd)); return (BOOL)::SendMessage(m_hWnd, EM_UNDO, 0, 0); }
    void EmptyUndoBuffer() { ASSERT(::IsWindow(m_hWnd)); ::SendMessage(m_hWnd, EM_EMPTYUNDOBUFFER, 0, 0); }
    void Clear() { ASSERT(::IsWindow(m_hWnd)); ::SendMessage(m_hWnd, WM_CLEAR, 0, 0); }
    void Copy() { ASSERT(::IsWindow(m_hWnd)); ::SendMessage(m_hWnd, WM_COPY, 0, 0); }
    void Cut() { ASSERT(::IsWindow(m_hWnd)); ::SendMessage(m_hWnd, WM_CUT, 0, 0); }
    void Paste() { ASSERT(::IsWindow(m_hWnd)); ::SendMessage(m_hWnd, WM_PASTE, 0, 0); }
};

// CWnd: a window object over an HWND, with message-map dispatch, subclassing and reflection.
//
// One process-wide map ties each HWND to its permanent CWnd (the object that created,
// attached or subclassed it). FromHandle on a window nobody wraps returns a temporary CWnd
// owned by the calling thread; it stays valid while the window exists and is freed when that
// thread goes idle after the window is gone, or when the thread ends. Window messages arrive
// on the thread that created the window; the CWnd methods here may be called from any thread
// (they are thin Win32 calls) unless a comment says otherwise.
#pragma once
#include "CmdTarget.h"
#include "Geometry.h"
#include "Strings.h"
#include <commctrl.h>
#include <shellapi.h>

// winuser.h makes GetNextWindow a two-argument macro for ::GetWindow; CWnd has a method of
// that name.
#undef GetNextWindow

class CDC;
class CFont;
class CRgn;
class CMenu;
class CImageList;
class CScrollBar;
class CDataExchange;
class CWinThread;
class CFrameWnd;
struct CCreateContext;

class FW_API CWnd : public CCmdTarget {
    DECLARE_DYNCREATE(CWnd)
public:
    CWnd();
    // Destroys a window this object still holds as its permanent object (when this thread owns
    // it; otherwise only lets go of it).
    ~CWnd() override;

    HWND m_hWnd = nullptr;

    // ---- Handle map ----
    static CWnd* FromHandle(HWND hWnd);            // permanent object, else a temporary one
    static CWnd* FromHandlePermanent(HWND hWnd);   // null when nobody attached the window
    // Frees the calling thread's temporary objects of windows that no longer exist (all of
    // them when bAll). The thread's idle processing calls it.
    static void DeleteTempMap(bool bAll = false);
    BOOL Attach(HWND hWndNew);
    HWND Detach();
    // Safe on a null object: Win32-style code asks pWnd->GetSafeHwnd() of a pointer that may be
    // null (the build keeps such checks with -fno-delete-null-pointer-checks).
    HWND GetSafeHwnd() const { return this != nullptr ? m_hWnd : nullptr; }
    operator HWND() const { return GetSafeHwnd(); }
    bool operator==(const CWnd& wnd) const { return wnd.m_hWnd == m_hWnd; }
    bool operator!=(const CWnd& wnd) const { return wnd.m_hWnd != m_hWnd; }

    // ---- Creation and destruction ----
    // With a null class the framework registers a plain class (arrow cursor, window brush).
    virtual BOOL Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                        CWnd* pParentWnd, UINT nID, CCreateContext* pContext = nullptr);
    BOOL CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle,
                  int x, int y, int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu,
                  LPVOID lpParam = nullptr);
    BOOL CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle,
                  const RECT& rect, CWnd* pParentWnd, UINT nID, LPVOID lpParam = nullptr);
    virtual BOOL DestroyWindow();
    virtual BOOL PreCreateWindow(CREATESTRUCT& cs);
    // Called before the window procedure is replaced (subclassing) or after attaching it at
    // creation, before WM_CREATE. Controls change styles here.
    virtual void PreSubclassWindow();
    // Called after WM_NCDESTROY, when the object no longer has a window. Objects created with
    // new that own themselves delete this here.
    virtual void PostNcDestroy();

    BOOL SubclassWindow(HWND hWnd);
    BOOL SubclassDlgItem(UINT nID, CWnd* pParent);
    HWND UnsubclassWindow();

    // ---- Messages ----
    // The message entry for this window. Default: OnWndMsg, then DefWindowProc.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Looks up and calls the map handler; FALSE when there is none (the caller defaults).
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    // The original window procedure (the class's, or the one replaced by subclassing).
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // DefWindowProc with the message being handled now on this thread.
    LRESULT Default();
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    // A control notification its parent reflects to this control (WM_COMMAND, WM_NOTIFY,
    // WM_DRAWITEM, WM_MEASUREITEM, WM_CTLCOLORxxx). TRUE when this control handled it and
    // *pResult is the answer for the parent.
    virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    BOOL ReflectChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    // Reflects the message being handled now on this thread to the control hWndChild.
    static BOOL ReflectLastMsg(HWND hWndChild, LRESULT* pResult = nullptr);
    // Called by the thread's message loop before dispatching, for this window and its
    // ancestors up to the top-level one. TRUE when the message was consumed.
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    // Offers pMsg to the permanent windows from pMsg->hwnd up to hWndStop (or the top level).
    static BOOL WalkPreTranslateTree(HWND hWndStop, MSG* pMsg);

    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    { return ::SendMessage(m_hWnd, message, wParam, lParam); }
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    { return ::PostMessage(m_hWnd, message, wParam, lParam); }
    BOOL SendNotifyMessage(UINT message, WPARAM wParam, LPARAM lParam) const
    { return ::SendNotifyMessage(m_hWnd, message, wParam, lParam); }
    void SendMessageToDescendants(UINT message, WPARAM wParam = 0, LPARAM lParam = 0,
                                  BOOL bDeep = TRUE, BOOL bOnlyPerm = FALSE);
    LRESULT SendDlgItemMessage(int nID, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    { return ::SendDlgItemMessage(m_hWnd, nID, message, wParam, lParam); }

    // Runs a message loop until EndModalLoop; calls the thread's PreTranslateMessage. Returns
    // the EndModalLoop result (-1 when the window went away, IDCANCEL on WM_QUIT, which is posted again).
    int RunModalLoop();
    virtual void EndModalLoop(int nResult);
    virtual BOOL ContinueModal() const { return m_bContinueModal; }

    // ---- Data exchange (dialogs and forms) ----
    virtual void DoDataExchange(CDataExchange* pDX);
    // TRUE when every exchange succeeded; on a validation failure the control has the focus.
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

    // ---- State and style ----
    BOOL IsWindow() const { return m_hWnd != nullptr && ::IsWindow(m_hWnd); }
    DWORD GetStyle() const { return (DWORD)::GetWindowLongPtr(m_hWnd, GWL_STYLE); }
    DWORD GetExStyle() const { return (DWORD)::GetWindowLongPtr(m_hWnd, GWL_EXSTYLE); }
    // Change the style bits; with nFlags, SetWindowPos(SWP_NOSIZE|SWP_NOMOVE|SWP_NOZORDER|
    // SWP_NOACTIVATE|nFlags) follows. TRUE when the style changed.
    BOOL ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);
    BOOL ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);
    static BOOL ModifyStyle(HWND hWnd, DWORD dwRemove, DWORD dwAdd, UINT nFlags);
    static BOOL ModifyStyleEx(HWND hWnd, DWORD dwRemove, DWORD dwAdd, UINT nFlags);
    int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
    int SetDlgCtrlID(int nID) { return (int)::SetWindowLongPtr(m_hWnd, GWLP_ID, nID); }
    BOOL EnableWindow(BOOL bEnable = TRUE) { return ::EnableWindow(m_hWnd, bEnable); }
    BOOL IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
    BOOL ShowWindow(int nCmdShow) { return ::ShowWindow(m_hWnd, nCmdShow); }
    BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
    BOOL IsIconic() const { return ::IsIconic(m_hWnd); }
    BOOL IsZoomed() const { return ::IsZoomed(m_hWnd); }
    BOOL IsChild(const CWnd* pWnd) const { return ::IsChild(m_hWnd, pWnd->GetSafeHwnd()); }
    void SetRedraw(BOOL bRedraw = TRUE) { ::SendMessage(m_hWnd, WM_SETREDRAW, bRedraw, 0); }
    DWORD GetWindowThreadId() const { return ::GetWindowThreadProcessId(m_hWnd, nullptr); }

    // ---- Text and font ----
    void SetWindowText(LPCTSTR lpszString) { ::SetWindowText(m_hWnd, lpszString); }
    int GetWindowText(LPTSTR lpszStringBuf, int nMaxCount) const
    { return ::GetWindowText(m_hWnd, lpszStringBuf, nMaxCount); }
    void GetWindowText(CString& rString) const;
    int GetWindowTextLength() const { return ::GetWindowTextLength(m_hWnd); }
    void SetFont(CFont* pFont, BOOL bRedraw = TRUE);
    CFont* GetFont() const;   // temporary wrapper, null when the window uses the system font
    void SetIcon(HICON hIcon, BOOL bBigIcon)
    { ::SendMessage(m_hWnd, WM_SETICON, bBigIcon ? ICON_BIG : ICON_SMALL, (LPARAM)hIcon); }
    HICON GetIcon(BOOL bBigIcon) const
    { return (HICON)::SendMessage(m_hWnd, WM_GETICON, bBigIcon ? ICON_BIG : ICON_SMALL, 0); }

    // ---- Geometry ----
    void GetWindowRect(LPRECT lpRect) const { ::GetWindowRect(m_hWnd, lpRect); }
    void GetClientRect(LPRECT lpRect) const { ::GetClientRect(m_hWnd, lpRect); }
    void ClientToScreen(LPPOINT lpPoint) const { ::ClientToScreen(m_hWnd, lpPoint); }
    void ClientToScreen(LPRECT lpRect) const { ::MapWindowPoints(m_hWnd, nullptr, (LPPOINT)lpRect, 2); }
    void ScreenToClient(LPPOINT lpPoint) const { ::ScreenToClient(m_hWnd, lpPoint); }
    void ScreenToClient(LPRECT lpRect) const { ::MapWindowPoints(nullptr, m_hWnd, (LPPOINT)lpRect, 2); }
    void MapWindowPoints(CWnd* pWndTo, LPPOINT lpPoint, UINT nCount) const
    { ::MapWindowPoints(m_hWnd, pWndTo->GetSafeHwnd(), lpPoint, nCount); }
    void MapWindowPoints(CWnd* pWndTo, LPRECT lpRect) const
    { ::MapWindowPoints(m_hWnd, pWndTo->GetSafeHwnd(), (LPPOINT)lpRect, 2); }
    void MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint = TRUE)
    { ::MoveWindow(m_hWnd, x, y, nWidth, nHeight, bRepaint); }
    void MoveWindow(LPCRECT lpRect, BOOL bRepaint = TRUE)
    { ::MoveWindow(m_hWnd, lpRect->left, lpRect->top, lpRect->right - lpRect->left, lpRect->bottom - lpRect->top, bRepaint); }
    // pWndInsertAfter may be &wndTop, &wndBottom, &wndTopMost, &wndNoTopMost or a window.
    BOOL SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags)
    { return ::SetWindowPos(m_hWnd, pWndInsertAfter ? pWndInsertAfter->m_hWnd : nullptr, x, y, cx, cy, nFlags); }
    BOOL GetWindowPlacement(WINDOWPLACEMENT* lpwndpl) const
    { lpwndpl->length = sizeof(WINDOWPLACEMENT); return ::GetWindowPlacement(m_hWnd, lpwndpl); }
    BOOL SetWindowPlacement(const WINDOWPLACEMENT* lpwndpl) { return ::SetWindowPlacement(m_hWnd, lpwndpl); }
    void BringWindowToTop() { ::BringWindowToTop(m_hWnd); }
    // Centres over the owner (or pAlternateOwner), else over the work area, kept on the monitor.
    void CenterWindow(CWnd* pAlternateOwner = nullptr);
    int SetWindowRgn(HRGN hRgn, BOOL bRedraw) { return ::SetWindowRgn(m_hWnd, hRgn, bRedraw); }
    int GetWindowRgn(HRGN hRgn) const { return ::GetWindowRgn(m_hWnd, hRgn); }

    // ---- Painting ----
    void Invalidate(BOOL bErase = TRUE) { ::InvalidateRect(m_hWnd, nullptr, bErase); }
    void InvalidateRect(LPCRECT lpRect, BOOL bErase = TRUE) { ::InvalidateRect(m_hWnd, lpRect, bErase); }
    void InvalidateRgn(CRgn* pRgn, BOOL bErase = TRUE);
    void ValidateRect(LPCRECT lpRect) { ::ValidateRect(m_hWnd, lpRect); }
    void UpdateWindow() { ::UpdateWindow(m_hWnd); }
    BOOL RedrawWindow(LPCRECT lpRectUpdate = nullptr, CRgn* prgnUpdate = nullptr,
                      UINT flags = RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
    BOOL GetUpdateRect(LPRECT lpRect, BOOL bErase = FALSE) { return ::GetUpdateRect(m_hWnd, lpRect, bErase); }
    BOOL LockWindowUpdate() { return ::LockWindowUpdate(m_hWnd); }
    void UnlockWindowUpdate() { ::LockWindowUpdate(nullptr); }
    // Temporary wrappers; give them back with ReleaseDC.
    CDC* GetDC();
    CDC* GetWindowDC();
    int ReleaseDC(CDC* pDC);
    void ScrollWindow(int xAmount, int yAmount, LPCRECT lpRect = nullptr, LPCRECT lpClipRect = nullptr)
    { ::ScrollWindow(m_hWnd, xAmount, yAmount, lpRect, lpClipRect); }
    int GetScrollPos(int nBar) const { return ::GetScrollPos(m_hWnd, nBar); }
    int SetScrollPos(int nBar, int nPos, BOOL bRedraw = TRUE) { return ::SetScrollPos(m_hWnd, nBar, nPos, bRedraw); }
    void GetScrollRange(int nBar, LPINT lpMinPos, LPINT lpMaxPos) const
    { ::GetScrollRange(m_hWnd, nBar, lpMinPos, lpMaxPos); }
    void SetScrollRange(int nBar, int nMinPos, int nMaxPos, BOOL bRedraw = TRUE)
    { ::SetScrollRange(m_hWnd, nBar, nMinPos, nMaxPos, bRedraw); }
    BOOL GetScrollInfo(int nBar, LPSCROLLINFO lpScrollInfo, UINT nMask = SIF_ALL) const;
    BOOL SetScrollInfo(int nBar, LPSCROLLINFO lpScrollInfo, BOOL bRedraw = TRUE)
    { lpScrollInfo->cbSize = sizeof(SCROLLINFO); ::SetScrollInfo(m_hWnd, nBar, lpScrollInfo, bRedraw); return TRUE; }
    void ShowScrollBar(UINT nBar, BOOL bShow = TRUE) { ::ShowScrollBar(m_hWnd, nBar, bShow); }

    // ---- Timers, focus, capture, activation ----
    UINT_PTR SetTimer(UINT_PTR nIDEvent, UINT nElapse, TIMERPROC lpfnTimer = nullptr)
    { return ::SetTimer(m_hWnd, nIDEvent, nElapse, lpfnTimer); }
    BOOL KillTimer(UINT_PTR nIDEvent) { return ::KillTimer(m_hWnd, nIDEvent); }
    CWnd* SetFocus() { return FromHandle(::SetFocus(m_hWnd)); }
    static CWnd* GetFocus() { return FromHandle(::GetFocus()); }
    CWnd* SetCapture() { return FromHandle(::SetCapture(m_hWnd)); }
    static CWnd* GetCapture() { return FromHandle(::GetCapture()); }
    CWnd* SetActiveWindow() { return FromHandle(::SetActiveWindow(m_hWnd)); }
    static CWnd* GetActiveWindow() { return FromHandle(::GetActiveWindow()); }
    BOOL SetForegroundWindow() { return ::SetForegroundWindow(m_hWnd); }
    static CWnd* GetForegroundWindow() { return FromHandle(::GetForegroundWindow()); }
    BOOL FlashWindow(BOOL bInvert) { return ::FlashWindow(m_hWnd, bInvert); }
    void DragAcceptFiles(BOOL bAccept = TRUE) { ::DragAcceptFiles(m_hWnd, bAccept); }

    // ---- Relatives ----
    CWnd* GetParent() const { return FromHandle(::GetParent(m_hWnd)); }
    CWnd* SetParent(CWnd* pWndNewParent) { return FromHandle(::SetParent(m_hWnd, pWndNewParent->GetSafeHwnd())); }
    CWnd* GetOwner() const { return FromHandle(::GetWindow(m_hWnd, GW_OWNER)); }
    void SetOwner(CWnd* pOwnerWnd) { ::SetWindowLongPtr(m_hWnd, GWLP_HWNDPARENT, (LONG_PTR)pOwnerWnd->GetSafeHwnd()); }
    // The first ancestor that is not a child window (this window when it is not a child).
    CWnd* GetTopLevelParent() const;
    // The nearest frame among the ancestors of a child window (not this window), or null.
    CFrameWnd* GetParentFrame() const;
    CWnd* GetWindow(UINT nCmd) const { return FromHandle(::GetWindow(m_hWnd, nCmd)); }
    CWnd* GetNextWindow(UINT nFlag = GW_HWNDNEXT) const { return FromHandle(::GetWindow(m_hWnd, nFlag)); }
    CWnd* GetTopWindow() const { return FromHandle(::GetTopWindow(m_hWnd)); }
    CWnd* ChildWindowFromPoint(POINT point) const { return FromHandle(::ChildWindowFromPoint(m_hWnd, point)); }
    static CWnd* WindowFromPoint(POINT point) { return FromHandle(::WindowFromPoint(point)); }
    static CWnd* FindWindow(LPCTSTR lpszClassName, LPCTSTR lpszWindowName)
    { return FromHandle(::FindWindow(lpszClassName, lpszWindowName)); }
    static CWnd* GetDesktopWindow() { return FromHandle(::GetDesktopWindow()); }
    CWnd* GetDlgItem(int nID) const { return FromHandle(::GetDlgItem(m_hWnd, nID)); }
    void GetDlgItem(int nID, HWND* phWnd) const { *phWnd = ::GetDlgItem(m_hWnd, nID); }
    CWnd* GetNextDlgTabItem(CWnd* pWndCtl, BOOL bPrevious = FALSE) const
    { return FromHandle(::GetNextDlgTabItem(m_hWnd, pWndCtl->GetSafeHwnd(), bPrevious)); }
    CWnd* GetNextDlgGroupItem(CWnd* pWndCtl, BOOL bPrevious = FALSE) const
    { return FromHandle(::GetNextDlgGroupItem(m_hWnd, pWndCtl->GetSafeHwnd(), bPrevious)); }

    // ---- Dialog items ----
    void CheckDlgButton(int nIDButton, UINT nCheck) { ::CheckDlgButton(m_hWnd, nIDButton, nCheck); }
    UINT IsDlgButtonChecked(int nIDButton) const { return ::IsDlgButtonChecked(m_hWnd, nIDButton); }
    void CheckRadioButton(int nIDFirstButton, int nIDLastButton, int nIDCheckButton)
    { ::CheckRadioButton(m_hWnd, nIDFirstButton, nIDLastButton, nIDCheckButton); }
    // The checked button's id between the two ids, or 0.
    int GetCheckedRadioButton(int nIDFirstButton, int nIDLastButton) const;
    void SetDlgItemText(int nID, LPCTSTR lpszString) { ::SetDlgItemText(m_hWnd, nID, lpszString); }
    int GetDlgItemText(int nID, LPTSTR lpStr, int nMaxCount) const { return ::GetDlgItemText(m_hWnd, nID, lpStr, nMaxCount); }
    int GetDlgItemText(int nID, CString& rString) const;
    void SetDlgItemInt(int nID, UINT nValue, BOOL bSigned = TRUE) { ::SetDlgItemInt(m_hWnd, nID, nValue, bSigned); }
    UINT GetDlgItemInt(int nID, BOOL* lpTrans = nullptr, BOOL bSigned = TRUE) const
    { return ::GetDlgItemInt(m_hWnd, nID, lpTrans, bSigned); }

    // ---- Menus ----
    CMenu* GetMenu() const;
    BOOL SetMenu(CMenu* pMenu);
    CMenu* GetSystemMenu(BOOL bRevert) const;
    void DrawMenuBar() { ::DrawMenuBar(m_hWnd); }

    // ---- Messages to the user ----
    // A message box owned by this window; a null caption takes the application's name.
    int MessageBox(LPCTSTR lpszText, LPCTSTR lpszCaption = nullptr, UINT nType = MB_OK);

    // ---- Tooltips for tools described by OnToolHitTest ----
    // While enabled, the thread's message loop shows a tooltip for the tool under the mouse;
    // its text is asked for with TTN_NEEDTEXT sent to the tool's window (ON_NOTIFY_EX_RANGE).
    // Returns the previous setting.
    BOOL EnableToolTips(BOOL bEnable = TRUE);
    // The thread's message loops call it with each message (mouse messages drive the tooltip).
    static void FilterToolTipMessage(MSG* pMsg);
    // The tool under point (client coordinates): fills pTI (hwnd, uId, rect, lpszText) and
    // returns its id, or -1 for none. The default describes the child control under point.
    virtual INT_PTR OnToolHitTest(CPoint point, TOOLINFO* pTI) const;

    // Enables and checks controls by their ON_UPDATE_COMMAND_UI handlers in pTarget.
    void UpdateDialogControls(CCmdTarget* pTarget, BOOL bDisableIfNoHndler);

    // Framework-registered window class name for the given attributes; any thread.
    static LPCTSTR RegisterClassFor(UINT nClassStyle, HCURSOR hCursor = nullptr,
                                    HBRUSH hbrBackground = nullptr, HICON hIcon = nullptr);

    // The z-order pseudo windows for SetWindowPos.
    static const CWnd wndTop;
    static const CWnd wndBottom;
    static const CWnd wndTopMost;
    static const CWnd wndNoTopMost;

protected:
    // Default handlers: each passes the message it handles on to Default().
    int OnCreate(LPCREATESTRUCT lpCreateStruct);
    void OnDestroy();
    void OnNcDestroy();
    void OnSize(UINT nType, int cx, int cy);
    void OnMove(int x, int y);
    void OnPaint();
    BOOL OnEraseBkgnd(CDC* pDC);
    void OnTimer(UINT_PTR nIDEvent);
    void OnClose();
    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnLButtonUp(UINT nFlags, CPoint point);
    void OnLButtonDblClk(UINT nFlags, CPoint point);
    void OnRButtonDown(UINT nFlags, CPoint point);
    void OnRButtonUp(UINT nFlags, CPoint point);
    void OnRButtonDblClk(UINT nFlags, CPoint point);
    void OnMButtonDown(UINT nFlags, CPoint point);
    void OnMouseMove(UINT nFlags, CPoint point);
    void OnMouseHover(UINT nFlags, CPoint point);
    void OnMouseLeave();
    BOOL OnMouseWheel(UINT nFlags, short zDelta, CPoint pt);
    int OnMouseActivate(CWnd* pDesktopWnd, UINT nHitTest, UINT message);
    BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    LRESULT OnNcHitTest(CPoint point);
    void OnNcCalcSize(BOOL bCalcValidRects, NCCALCSIZE_PARAMS* lpncsp);
    void OnNcPaint();
    BOOL OnNcActivate(BOOL bActive);
    void OnNcLButtonDown(UINT nHitTest, CPoint point);
    void OnNcLButtonUp(UINT nHitTest, CPoint point);
    void OnNcLButtonDblClk(UINT nHitTest, CPoint point);
    void OnNcMouseMove(UINT nHitTest, CPoint point);
    void OnNcMouseLeave();
    void OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized);
    void OnSetFocus(CWnd* pOldWnd);
    void OnKillFocus(CWnd* pNewWnd);
    void OnCaptureChanged(CWnd* pWnd);
    void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    void OnKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags);
    void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags);
    void OnSysKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    UINT OnGetDlgCode();
    // Reflects to the control first; a control's non-null brush wins.
    HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    // Owner-drawn menus go to their CMenu; controls get the message reflected.
    void OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct);
    void OnMeasureItem(int nIDCtl, LPMEASUREITEMSTRUCT lpMeasureItemStruct);
    void OnShowWindow(BOOL bShow, UINT nStatus);
    void OnWindowPosChanged(WINDOWPOS* lpwndpos);
    void OnWindowPosChanging(WINDOWPOS* lpwndpos);
    void OnGetMinMaxInfo(MINMAXINFO* lpMMI);
    void OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    void OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    void OnContextMenu(CWnd* pWnd, CPoint pos);
    void OnSysCommand(UINT nID, LPARAM lParam);
    BOOL OnCopyData(CWnd* pWnd, COPYDATASTRUCT* pCopyDataStruct);
    void OnDropFiles(HDROP hDropInfo);
    void OnSettingChange(UINT uFlags, LPCTSTR lpszSection);
    BOOL OnQueryEndSession();
    void OnEndSession(BOOL bEnding);
    void OnEnable(BOOL bEnable);
    void OnCancelMode();
    void OnEnterSizeMove();
    void OnExitSizeMove();
    HCURSOR OnQueryDragIcon();

    // The loop of RunModalLoop without resetting the modal state first.
    int ContinueModalLoop();

    // The procedure the window had before the framework took it over.
    WNDPROC m_pfnSuper = nullptr;
    bool m_bContinueModal = false;
    int m_nModalResult = -1;
    bool m_bToolTips = false;

    DECLARE_MESSAGE_MAP()

private:
    struct PseudoTag {};
    CWnd(HWND hWndPseudo, PseudoTag) : m_hWnd(hWndPseudo) {}
    friend class CDialog;
    friend struct FwWndAccess;
};

// The thread's main window (its m_pMainWnd), else the application's; may be null.
FW_API CWnd* AfxGetMainWnd();

// CWnd helpers: text, style, placement, dialog items, data exchange and the modal loop.
#include "Wnd.h"
#include "CmdUI.h"
#include "DataExchange.h"
#include "ThreadState.h"
#include "Trace.h"
#include "WinApp.h"
#include "WinThread.h"

void CWnd::GetWindowText(CString& rString) const
{
    int length = ::GetWindowTextLength(m_hWnd);
    if (length <= 0) {
        rString.Empty();
        return;
    }
    // The text may change between the two calls; GetWindowText cuts at the buffer.
    wchar_t* buffer = rString.GetBuffer(length + 1);
    int got = ::GetWindowText(m_hWnd, buffer, length + 1);
    rString.ReleaseBuffer(got);
}

int CWnd::GetDlgItemText(int nID, CString& rString) const
{
    HWND hItem = ::GetDlgItem(m_hWnd, nID);
    if (hItem == nullptr) {
        rString.Empty();
        return 0;
    }
    CWnd item;
    item.m_hWnd = hItem;
    item.GetWindowText(rString);
    item.m_hWnd = nullptr;
    return rString.GetLength();
}

BOOL CWnd::ModifyStyle(HWND hWnd, DWORD dwRemove, DWORD dwAdd, UINT nFlags)
{
    DWORD style = (DWORD)::GetWindowLongPtr(hWnd, GWL_STYLE);
    DWORD newStyle = (style & ~dwRemove) | dwAdd;
    if (style == newStyle)
        return FALSE;
    ::SetWindowLongPtr(hWnd, GWL_STYLE, (LONG_PTR)newStyle);
    if (nFlags != 0)
        ::SetWindowPos(hWnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | nFlags);
    return TRUE;
}

BOOL CWnd::ModifyStyleEx(HWND hWnd, DWORD dwRemove, DWORD dwAdd, UINT nFlags)
{
    DWORD style = (DWORD)::GetWindowLongPtr(hWnd, GWL_EXSTYLE);
    DWORD newStyle = (style & ~dwRemove) | dwAdd;
    if (style == newStyle)
        return FALSE;
    ::SetWindowLongPtr(hWnd, GWL_EXSTYLE, (LONG_PTR)newStyle);
    if (nFlags != 0)
        ::SetWindowPos(hWnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | nFlags);
    return TRUE;
}

BOOL CWnd::ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags)
{
    return ModifyStyle(m_hWnd, dwRemove, dwAdd, nFlags);
}

BOOL CWnd::ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags)
{
    return ModifyStyleEx(m_hWnd, dwRemove, dwAdd, nFlags);
}

CWnd* CWnd::GetTopLevelParent() const
{
    if (m_hWnd == nullptr)
        return nullptr;
    HWND hWnd = m_hWnd;
    while ((::GetWindowLongPtr(hWnd, GWL_STYLE) & WS_CHILD) && ::GetParent(hWnd) != nullptr)
        hWnd = ::GetParent(hWnd);
    return FromHandle(hWnd);
}

void CWnd::CenterWindow(CWnd* pAlternateOwner)
{
    DWORD style = GetStyle();
    HWND hCenter = pAlternateOwner ? pAlternateOwner->m_hWnd : nullptr;
    if (hCenter == nullptr)
        hCenter = (style & WS_CHILD) ? ::GetParent(m_hWnd) : ::GetWindow(m_hWnd, GW_OWNER);
    CRect window;
    GetWindowRect(&window);
    CRect area;
    CRect center;
    if (style & WS_CHILD) {
        // Within the parent's client area, in its coordinates.
        HWND parent = ::GetParent(m_hWnd);
        ::GetClientRect(parent, &area);
        ::GetClientRect(hCenter ? hCenter : parent, &center);
        if (hCenter && hCenter != parent)
            ::MapWindowPoints(hCenter, parent, (LPPOINT)&center, 2);
    } else {
        if (hCenter && (!::IsWindowVisible(hCenter) || ::IsIconic(hCenter)))
            hCenter = nullptr;
        HMONITOR monitor = ::MonitorFromWindow(hCenter ? hCenter : m_hWnd, MONITOR_DEFAULTTONEAREST);
        MONITORINFO info = { sizeof(info) };
        ::GetMonitorInfo(monitor, &info);
        area = info.rcWork;
        if (hCenter)
            ::GetWindowRect(hCenter, &center);
        else
            center = area;
    }
    int x = (center.left + center.right) / 2 - window.Width() / 2;
    int y = (center.top + center.bottom) / 2 - window.Height() / 2;
    // Keep the window on the screen (or inside the parent).
    if (x + window.Width() > area.right)
        x = area.right - window.Width();
    if (x < area.left)
        x = area.left;
    if (y + window.Height() > area.bottom)
        y = area.bottom - window.Height();
    if (y < area.top)
        y = area.top;
    ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int CWnd::GetCheckedRadioButton(int nIDFirstButton, int nIDLastButton) const
{
    for (int id = nIDFirstButton; id <= nIDLastButton; ++id) {
        if (::IsDlgButtonChecked(m_hWnd, id) == BST_CHECKED)
            return id;
    }
    return 0;
}

BOOL CWnd::GetScrollInfo(int nBar, LPSCROLLINFO lpScrollInfo, UINT nMask) const
{
    lpScrollInfo->cbSize = sizeof(SCROLLINFO);
    lpScrollInfo->fMask = nMask;
    return ::GetScrollInfo(m_hWnd, nBar, lpScrollInfo);
}

int CWnd::MessageBox(LPCTSTR lpszText, LPCTSTR lpszCaption, UINT nType)
{
    return ::MessageBoxW(m_hWnd, lpszText, lpszCaption ? lpszCaption : AfxGetAppName(), nType);
}

// ---- Modal loop ----

int CWnd::RunModalLoop()
{
    m_bContinueModal = true;
    m_nModalResult = -1;
    return ContinueModalLoop();
}

int CWnd::ContinueModalLoop()
{
    HWND hWnd = m_hWnd;
    MSG msg;
    while (ContinueModal()) {
        if (!::IsWindow(hWnd))
            return -1;
        BOOL got = ::GetMessage(&msg, nullptr, 0, 0);
        if (got == -1)
            return -1;
        if (got == 0) {
            // The thread is told to end: leave the loop and let the outer loop see WM_QUIT.
            ::PostQuitMessage((int)msg.wParam);
            m_bContinueModal = false;
            m_nModalResult = IDCANCEL;
            break;
        }
        FwGetThreadState()->msgCur = msg;
        if (!AfxPreTranslateMessage(&msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessage(&msg);
        }
    }
    return m_nModalResult;
}

void CWnd::EndModalLoop(int nResult)
{
    m_nModalResult = nResult;
    if (m_bContinueModal) {
        m_bContinueModal = false;
        // Wake the loop if it is waiting in GetMessage.
        ::PostMessage(m_hWnd, WM_NULL, 0, 0);
    }
}

// ---- Data exchange ----

void CWnd::DoDataExchange(CDataExchange*)
{
}

BOOL CWnd::UpdateData(BOOL bSaveAndValidate)
{
    CDataExchange dx(this, bSaveAndValidate);
    try {
        DoDataExchange(&dx);
        return TRUE;
    } catch (const CDataExchange::Failure&) {
        return FALSE;
    }
}

void CWnd::UpdateDialogControls(CCmdTarget* pTarget, BOOL bDisableIfNoHndler)
{
    CCmdUI state;
    CWnd wndTemp;
    for (HWND hChild = ::GetTopWindow(m_hWnd); hChild != nullptr; hChild = ::GetWindow(hChild, GW_HWNDNEXT)) {
        CWnd* pChild = FromHandlePermanent(hChild);
        if (pChild == nullptr) {
            wndTemp.m_hWnd = hChild;
            pChild = &wndTemp;
        }
        state.m_pOther = pChild;
        state.m_nID = (UINT)::GetDlgCtrlID(hChild);
        // Only push buttons and checks follow commands; static and edit controls stay as they are.
        BOOL isButton = (::SendMessage(hChild, WM_GETDLGCODE, 0, 0) & (DLGC_BUTTON | DLGC_DEFPUSHBUTTON |
                                                                        DLGC_UNDEFPUSHBUTTON)) != 0;
        if (state.m_nID != 0 && state.m_nID != (UINT)-1)
            state.DoUpdate(pTarget, bDisableIfNoHndler && isButton);
    }
    wndTemp.m_hWnd = nullptr;
}

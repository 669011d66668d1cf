// Tooltips for tools that windows describe through OnToolHitTest (EnableToolTips).
#include "Wnd.h"
#include "ThreadState.h"

BOOL CWnd::EnableToolTips(BOOL bEnable)
{
    BOOL old = m_bToolTips;
    m_bToolTips = bEnable != FALSE;
    return old;
}

INT_PTR CWnd::OnToolHitTest(CPoint point, TOOLINFO* pTI) const
{
    HWND hChild = ::ChildWindowFromPointEx(m_hWnd, point, CWP_SKIPINVISIBLE | CWP_SKIPTRANSPARENT);
    if (hChild == nullptr || hChild == m_hWnd)
        return -1;
    int id = ::GetDlgCtrlID(hChild);
    if (id == 0 || id == -1)
        return -1;
    if (pTI) {
        pTI->hwnd = m_hWnd;
        pTI->uId = (UINT_PTR)hChild;
        pTI->uFlags |= TTF_IDISHWND;
        pTI->lpszText = LPSTR_TEXTCALLBACK;
    }
    return id;
}

namespace {

bool IsToolTipMouseMessage(UINT message)
{
    return (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST && message != WM_MOUSEWHEEL)
           || (message >= WM_NCMOUSEMOVE && message <= WM_NCMBUTTONDBLCLK);
}

void RemoveCurrentTool(FwThreadState* state)
{
    if (state->hToolTip && state->nToolHit != -1) {
        TOOLINFO ti = {};
        ti.cbSize = sizeof(ti);
        ti.hwnd = state->hToolHwnd;
        ti.uId = state->uToolId;
        ::SendMessage(state->hToolTip, TTM_DELTOOL, 0, (LPARAM)&ti);
    }
    state->nToolHit = -1;
    state->hToolHwnd = nullptr;
    state->uToolId = 0;
}

HWND EnsureToolTip(FwThreadState* state, HWND hOwner)
{
    if (state->hToolTip && !::IsWindow(state->hToolTip)) {
        state->hToolTip = nullptr;
        state->nToolHit = -1;
    }
    if (state->hToolTip == nullptr) {
        HWND top = hOwner;
        while ((::GetWindowLongPtr(top, GWL_STYLE) & WS_CHILD) && ::GetParent(top))
            top = ::GetParent(top);
        state->hToolTip = ::CreateWindowEx(WS_EX_TOPMOST, TOOLTIPS_CLASS, nullptr,
                                           WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                                           CW_USEDEFAULT, CW_USEDEFAULT, top, nullptr, nullptr, nullptr);
    }
    return state->hToolTip;
}

}

void CWnd::FilterToolTipMessage(MSG* pMsg)
{
    if (!IsToolTipMouseMessage(pMsg->message) || pMsg->hwnd == nullptr)
        return;
    // The nearest window (the message's or an ancestor) that shows tooltips.
    CWnd* pOwner = nullptr;
    for (HWND h = pMsg->hwnd; h != nullptr; h = ::GetParent(h)) {
        CWnd* pWnd = FromHandlePermanent(h);
        if (pWnd && pWnd->m_bToolTips) {
            pOwner = pWnd;
            break;
        }
        if (!(::GetWindowLongPtr(h, GWL_STYLE) & WS_CHILD))
            break;
    }
    FwThreadState* state = FwGetThreadState();
    if (pOwner == nullptr) {
        if (state->hToolTip && state->nToolHit != -1) {
            ::SendMessage(state->hToolTip, TTM_POP, 0, 0);
            RemoveCurrentTool(state);
        }
        return;
    }
    HWND hToolTip = EnsureToolTip(state, pOwner->m_hWnd);
    if (hToolTip == nullptr)
        return;

    CPoint point = pMsg->pt;
    ::ScreenToClient(pOwner->m_hWnd, &point);
    TOOLINFO ti = {};
    ti.cbSize = sizeof(ti);
    INT_PTR hit = pOwner->OnToolHitTest(point, &ti);
    if (ti.hwnd == nullptr)
        ti.hwnd = pOwner->m_hWnd;
    if (hit != state->nToolHit || ti.hwnd != state->hToolHwnd || (hit != -1 && ti.uId != state->uToolId)) {
        ::SendMessage(hToolTip, TTM_POP, 0, 0);
        RemoveCurrentTool(state);
        if (hit != -1) {
            if (ti.lpszText == nullptr)
                ti.lpszText = LPSTR_TEXTCALLBACK;
            if (::SendMessage(hToolTip, TTM_ADDTOOL, 0, (LPARAM)&ti)) {
                state->nToolHit = hit;
                state->hToolHwnd = ti.hwnd;
                state->uToolId = ti.uId;
                ::SendMessage(hToolTip, TTM_ACTIVATE, TRUE, 0);
            }
        }
    }
    if (state->nToolHit != -1) {
        // The tooltip hit-tests the tool in its window's coordinates; a tool that is a window
        // (TTF_IDISHWND) is recognised by that window's own messages.
        MSG relay = *pMsg;
        relay.hwnd = (ti.uFlags & TTF_IDISHWND) ? (HWND)ti.uId : ti.hwnd;
        CPoint inTool = pMsg->pt;
        ::ScreenToClient(relay.hwnd, &inTool);
        if (pMsg->message >= WM_MOUSEFIRST && pMsg->message <= WM_MOUSELAST)
            relay.lParam = MAKELPARAM(inTool.x, inTool.y);
        ::SendMessage(hToolTip, TTM_RELAYEVENT, 0, (LPARAM)&relay);
    }
}

// CWnd message dispatch: map lookup with cracked parameters, commands, notifications and
// reflection to the control that sent them.
#include "Wnd.h"
#include "Dc.h"
#include "Menu.h"
#include "ScrollBar.h"
#include "ThreadState.h"

namespace {

// The control's object when the framework wraps it; reflection needs its map.
BOOL Reflect(HWND hWndChild, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    CWnd* pChild = CWnd::FromHandlePermanent(hWndChild);
    if (pChild == nullptr)
        return FALSE;
    LRESULT ignored = 0;
    return pChild->OnChildNotify(message, wParam, lParam, pResult ? pResult : &ignored);
}

bool IsCtlColor(UINT message)
{
    return message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC;
}

CScrollBar* ScrollBarOf(LPARAM lParam)
{
    // A CScrollBar adds no state to CWnd, so a temporary CWnd serves for a bar nobody wraps.
    return static_cast<CScrollBar*>(CWnd::FromHandle((HWND)lParam));
}

}

BOOL CCmdTarget::DispatchMsgEntry(const FwMsgMapEntry* e, UINT message, WPARAM wParam, LPARAM lParam,
                                  LRESULT* pResult)
{
    LRESULT r = 0;
    FwPMSG pfn = e->pfn;
#define FW_CALL(type, ...) (this->*reinterpret_cast<type>(pfn))(__VA_ARGS__)
    switch (e->nSig) {
    case FwSig_l_wp_lp:
        r = FW_CALL(LRESULT (CCmdTarget::*)(WPARAM, LPARAM), wParam, lParam);
        break;
    case FwSig_v_wp_lp:
        FW_CALL(void (CCmdTarget::*)(WPARAM, LPARAM), wParam, lParam);
        break;
    case FwSig_v_v:
        FW_CALL(void (CCmdTarget::*)());
        break;
    case FwSig_b_v:
        r = FW_CALL(BOOL (CCmdTarget::*)());
        break;
    case FwSig_u_v:
        r = FW_CALL(UINT (CCmdTarget::*)());
        break;
    case FwSig_h_v:
        r = (LRESULT)FW_CALL(HCURSOR (CCmdTarget::*)());
        break;
    case FwSig_i_cs:
        r = FW_CALL(int (CCmdTarget::*)(LPCREATESTRUCT), (LPCREATESTRUCT)lParam);
        break;
    case FwSig_v_u_i_i:
        FW_CALL(void (CCmdTarget::*)(UINT, int, int), (UINT)wParam, (short)LOWORD(lParam), (short)HIWORD(lParam));
        break;
    case FwSig_v_i_i:
        FW_CALL(void (CCmdTarget::*)(int, int), (short)LOWORD(lParam), (short)HIWORD(lParam));
        break;
    case FwSig_b_dc:
        r = FW_CALL(BOOL (CCmdTarget::*)(CDC*), CDC::FromHandle((HDC)wParam));
        break;
    case FwSig_v_timer:
        FW_CALL(void (CCmdTarget::*)(UINT_PTR), (UINT_PTR)wParam);
        break;
    case FwSig_v_u_pt:
        FW_CALL(void (CCmdTarget::*)(UINT, CPoint), (UINT)wParam, CPoint(lParam));
        break;
    case FwSig_b_u_s_pt:
        r = FW_CALL(BOOL (CCmdTarget::*)(UINT, short, CPoint), (UINT)LOWORD(wParam), (short)HIWORD(wParam),
                    CPoint(lParam));
        break;
    case FwSig_b_w_u_u:
        r = FW_CALL(BOOL (CCmdTarget::*)(CWnd*, UINT, UINT), CWnd::FromHandle((HWND)wParam), (UINT)LOWORD(lParam),
                    (UINT)HIWORD(lParam));
        break;
    case FwSig_i_w_u_u:
        r = FW_CALL(int (CCmdTarget::*)(CWnd*, UINT, UINT), CWnd::FromHandle((HWND)wParam), (UINT)LOWORD(lParam),
                    (UINT)HIWORD(lParam));
        break;
    case FwSig_l_pt:
        r = FW_CALL(LRESULT (CCmdTarget::*)(CPoint), CPoint(lParam));
        break;
    case FwSig_v_b_ncc:
        FW_CALL(void (CCmdTarget::*)(BOOL, NCCALCSIZE_PARAMS*), (BOOL)wParam, (NCCALCSIZE_PARAMS*)lParam);
        break;
    case FwSig_b_b:
        r = FW_CALL(BOOL (CCmdTarget::*)(BOOL), (BOOL)wParam);
        break;
    case FwSig_v_b:
        FW_CALL(void (CCmdTarget::*)(BOOL), (BOOL)wParam);
        break;
    case FwSig_v_u_w_b:
        FW_CALL(void (CCmdTarget::*)(UINT, CWnd*, BOOL), (UINT)LOWORD(wParam), CWnd::FromHandle((HWND)lParam),
                (BOOL)HIWORD(wParam));
        break;
    case FwSig_v_w:
        // WM_CAPTURECHANGED names the window in lParam, the focus messages in wParam.
        FW_CALL(void (CCmdTarget::*)(CWnd*),
                CWnd::FromHandle(message == WM_CAPTURECHANGED ? (HWND)lParam : (HWND)wParam));
        break;
    case FwSig_v_u_u_u:
        FW_CALL(void (CCmdTarget::*)(UINT, UINT, UINT), (UINT)wParam, (UINT)LOWORD(lParam), (UINT)HIWORD(lParam));
        break;
    case FwSig_hbr_dc_w_u:
        r = (LRESULT)FW_CALL(HBRUSH (CCmdTarget::*)(CDC*, CWnd*, UINT), CDC::FromHandle((HDC)wParam),
                             CWnd::FromHandle((HWND)lParam), (UINT)(message - WM_CTLCOLORMSGBOX));
        break;
    case FwSig_v_i_dis:
        FW_CALL(void (CCmdTarget::*)(int, LPDRAWITEMSTRUCT), (int)wParam, (LPDRAWITEMSTRUCT)lParam);
        r = TRUE;
        break;
    case FwSig_v_i_mis:
        FW_CALL(void (CCmdTarget::*)(int, LPMEASUREITEMSTRUCT), (int)wParam, (LPMEASUREITEMSTRUCT)lParam);
        r = TRUE;
        break;
    case FwSig_v_b_u:
        FW_CALL(void (CCmdTarget::*)(BOOL, UINT), (BOOL)wParam, (UINT)lParam);
        break;
    case FwSig_v_wpos:
        FW_CALL(void (CCmdTarget::*)(WINDOWPOS*), (WINDOWPOS*)lParam);
        break;
    case FwSig_v_mmi:
        FW_CALL(void (CCmdTarget::*)(MINMAXINFO*), (MINMAXINFO*)lParam);
        break;
    case FwSig_v_u_u_sb:
        FW_CALL(void (CCmdTarget::*)(UINT, UINT, CScrollBar*), (UINT)LOWORD(wParam), (UINT)(short)HIWORD(wParam),
                ScrollBarOf(lParam));
        break;
    case FwSig_v_w_pt:
        FW_CALL(void (CCmdTarget::*)(CWnd*, CPoint), CWnd::FromHandle((HWND)wParam), CPoint(lParam));
        break;
    case FwSig_v_u_lp:
        FW_CALL(void (CCmdTarget::*)(UINT, LPARAM), (UINT)wParam, lParam);
        break;
    case FwSig_b_w_cds:
        r = FW_CALL(BOOL (CCmdTarget::*)(CWnd*, COPYDATASTRUCT*), CWnd::FromHandle((HWND)wParam),
                    (COPYDATASTRUCT*)lParam);
        break;
    case FwSig_v_hdrop:
        FW_CALL(void (CCmdTarget::*)(HDROP), (HDROP)wParam);
        break;
    case FwSig_v_u_sz:
        FW_CALL(void (CCmdTarget::*)(UINT, LPCTSTR), (UINT)wParam, (LPCTSTR)lParam);
        break;
    default:
        return FALSE;   // a command or reflected signature: not a plain message
    }
#undef FW_CALL
    *pResult = r;
    return TRUE;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (message == WM_COMMAND) {
        if (!OnCommand(wParam, lParam))
            return FALSE;
        *pResult = 1;
        return TRUE;
    }
    if (message == WM_NOTIFY) {
        auto* pNMHDR = (NMHDR*)lParam;
        if (pNMHDR == nullptr)
            return FALSE;
        LRESULT lResult = 0;
        if (!OnNotify(wParam, lParam, &lResult))
            return FALSE;
        *pResult = lResult;
        return TRUE;
    }
    UINT lookup = IsCtlColor(message) ? FW_WM_CTLCOLOR : message;
    if (const FwMsgMapEntry* e = FindMessageEntry(lookup, 0, 0, false))
        return DispatchMsgEntry(e, message, wParam, lParam, pResult);

    // No handler in the map: the default handling that reflects still applies.
    if (message == WM_DRAWITEM) {
        auto* dis = (LPDRAWITEMSTRUCT)lParam;
        if (dis && dis->CtlType == ODT_MENU) {
            if (!CMenu::RouteOwnerDraw(message, wParam, lParam))
                return FALSE;
        } else if (!dis || !Reflect(dis->hwndItem, message, wParam, lParam, pResult)) {
            return FALSE;
        }
        *pResult = TRUE;
        return TRUE;
    }
    if (message == WM_MEASUREITEM) {
        auto* mis = (LPMEASUREITEMSTRUCT)lParam;
        if (mis && mis->CtlType == ODT_MENU) {
            if (!CMenu::RouteOwnerDraw(message, wParam, lParam))
                return FALSE;
        } else if (!mis || !Reflect(::GetDlgItem(m_hWnd, (int)mis->CtlID), message, wParam, lParam, pResult)) {
            return FALSE;
        }
        *pResult = TRUE;
        return TRUE;
    }
    if (IsCtlColor(message)) {
        LRESULT brush = 0;
        if (Reflect((HWND)lParam, message, wParam, lParam, &brush) && brush != 0) {
            *pResult = brush;
            return TRUE;
        }
    }
    return FALSE;
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    UINT nID = LOWORD(wParam);
    HWND hWndCtrl = (HWND)lParam;
    int nCode = HIWORD(wParam);
    if (hWndCtrl == nullptr) {
        nCode = CN_COMMAND;   // a menu or an accelerator
    } else {
        LRESULT ignored = 0;
        if (Reflect(hWndCtrl, WM_COMMAND, wParam, lParam, &ignored))
            return TRUE;
    }
    return OnCmdMsg(nID, nCode, nullptr, nullptr);
}

BOOL CWnd::OnNotify(WPARAM, LPARAM lParam, LRESULT* pResult)
{
    auto* pNMHDR = (NMHDR*)lParam;
    if (Reflect(pNMHDR->hwndFrom, WM_NOTIFY, pNMHDR->idFrom, lParam, pResult))
        return TRUE;
    FwNotifyExtra extra = { pNMHDR, pResult };
    return OnCmdMsg((UINT)pNMHDR->idFrom, CN_NOTIFY, &extra, nullptr);
}

BOOL CWnd::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    return ReflectChildNotify(message, wParam, lParam, pResult);
}

BOOL CWnd::ReflectChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
#define FW_CALL(type, ...) (this->*reinterpret_cast<type>(e->pfn))(__VA_ARGS__)
    if (message == WM_COMMAND) {
        const FwMsgMapEntry* e = FindMessageEntry(WM_COMMAND, HIWORD(wParam), 0, true);
        if (e == nullptr)
            return FALSE;
        *pResult = 0;
        if (e->nSig == FwSig_b_v)
            return FW_CALL(BOOL (CCmdTarget::*)());
        FW_CALL(void (CCmdTarget::*)());
        return TRUE;
    }
    if (message == WM_NOTIFY) {
        auto* pNMHDR = (NMHDR*)lParam;
        const FwMsgMapEntry* e = FindMessageEntry(WM_NOTIFY, pNMHDR->code, 0, true);
        if (e == nullptr)
            return FALSE;
        *pResult = 0;
        if (e->nSig == FwSig_b_nm_pl)
            return FW_CALL(BOOL (CCmdTarget::*)(NMHDR*, LRESULT*), pNMHDR, pResult);
        FW_CALL(void (CCmdTarget::*)(NMHDR*, LRESULT*), pNMHDR, pResult);
        return TRUE;
    }
    if (message == WM_DRAWITEM || message == WM_MEASUREITEM) {
        const FwMsgMapEntry* e = FindMessageEntry(message, 0, 0, true);
        if (e == nullptr)
            return FALSE;
        if (message == WM_DRAWITEM)
            FW_CALL(void (CCmdTarget::*)(LPDRAWITEMSTRUCT), (LPDRAWITEMSTRUCT)lParam);
        else
            FW_CALL(void (CCmdTarget::*)(LPMEASUREITEMSTRUCT), (LPMEASUREITEMSTRUCT)lParam);
        *pResult = TRUE;
        return TRUE;
    }
    if (IsCtlColor(message)) {
        const FwMsgMapEntry* e = FindMessageEntry(FW_WM_CTLCOLOR, 0, 0, true);
        if (e == nullptr)
            return FALSE;
        HBRUSH brush = FW_CALL(HBRUSH (CCmdTarget::*)(CDC*, UINT), CDC::FromHandle((HDC)wParam),
                               message - WM_CTLCOLORMSGBOX);
        if (brush == nullptr)
            return FALSE;   // the control leaves its colours to the parent
        *pResult = (LRESULT)brush;
        return TRUE;
    }
#undef FW_CALL
    return FALSE;
}

BOOL CWnd::ReflectLastMsg(HWND hWndChild, LRESULT* pResult)
{
    const MSG& msg = FwGetThreadState()->lastSentMsg;
    return Reflect(hWndChild, msg.message, msg.wParam, msg.lParam, pResult);
}

BOOL CWnd::PreTranslateMessage(MSG*)
{
    return FALSE;
}

BOOL CWnd::WalkPreTranslateTree(HWND hWndStop, MSG* pMsg)
{
    for (HWND hWnd = pMsg->hwnd; hWnd != nullptr; hWnd = ::GetParent(hWnd)) {
        CWnd* pWnd = FromHandlePermanent(hWnd);
        if (pWnd && pWnd->PreTranslateMessage(pMsg))
            return TRUE;
        if (hWnd == hWndStop || !(::GetWindowLongPtr(hWnd, GWL_STYLE) & WS_CHILD))
            break;
    }
    return FALSE;
}

void CWnd::SendMessageToDescendants(UINT message, WPARAM wParam, LPARAM lParam, BOOL bDeep, BOOL bOnlyPerm)
{
    for (HWND hChild = ::GetTopWindow(m_hWnd); hChild != nullptr; hChild = ::GetWindow(hChild, GW_HWNDNEXT)) {
        if (bOnlyPerm) {
            CWnd* pWnd = FromHandlePermanent(hChild);
            if (pWnd)
                pWnd->SendMessage(message, wParam, lParam);
        } else {
            ::SendMessage(hChild, message, wParam, lParam);
        }
        if (bDeep && ::GetTopWindow(hChild) != nullptr) {
            CWnd child;
            child.m_hWnd = hChild;
            child.SendMessageToDescendants(message, wParam, lParam, bDeep, bOnlyPerm);
            child.m_hWnd = nullptr;
        }
    }
}

// ---- Default handlers ----

int CWnd::OnCreate(LPCREATESTRUCT) { return (int)Default(); }
void CWnd::OnDestroy() { Default(); }
void CWnd::OnNcDestroy() { Default(); }
void CWnd::OnSize(UINT, int, int) { Default(); }
void CWnd::OnMove(int, int) { Default(); }
void CWnd::OnPaint() { Default(); }
BOOL CWnd::OnEraseBkgnd(CDC*) { return (BOOL)Default(); }
void CWnd::OnTimer(UINT_PTR) { Default(); }
void CWnd::OnClose() { Default(); }
void CWnd::OnLButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnLButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnLButtonDblClk(UINT, CPoint) { Default(); }
void CWnd::OnRButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnRButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnRButtonDblClk(UINT, CPoint) { Default(); }
void CWnd::OnMButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnMouseMove(UINT, CPoint) { Default(); }
void CWnd::OnMouseHover(UINT, CPoint) { Default(); }
void CWnd::OnMouseLeave() { Default(); }
BOOL CWnd::OnMouseWheel(UINT, short, CPoint) { return (BOOL)Default(); }
int CWnd::OnMouseActivate(CWnd*, UINT, UINT) { return (int)Default(); }
BOOL CWnd::OnSetCursor(CWnd*, UINT, UINT) { return (BOOL)Default(); }
LRESULT CWnd::OnNcHitTest(CPoint) { return Default(); }
void CWnd::OnNcCalcSize(BOOL, NCCALCSIZE_PARAMS*) { Default(); }
void CWnd::OnNcPaint() { Default(); }
BOOL CWnd::OnNcActivate(BOOL) { return (BOOL)Default(); }
void CWnd::OnNcLButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnNcLButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnNcLButtonDblClk(UINT, CPoint) { Default(); }
void CWnd::OnNcMouseMove(UINT, CPoint) { Default(); }
void CWnd::OnNcMouseLeave() { Default(); }
void CWnd::OnActivate(UINT, CWnd*, BOOL) { Default(); }
void CWnd::OnSetFocus(CWnd*) { Default(); }
void CWnd::OnKillFocus(CWnd*) { Default(); }
void CWnd::OnCaptureChanged(CWnd*) { Default(); }
void CWnd::OnKeyDown(UINT, UINT, UINT) { Default(); }
void CWnd::OnKeyUp(UINT, UINT, UINT) { Default(); }
void CWnd::OnChar(UINT, UINT, UINT) { Default(); }
void CWnd::OnSysKeyDown(UINT, UINT, UINT) { Default(); }
UINT CWnd::OnGetDlgCode() { return (UINT)Default(); }
void CWnd::OnShowWindow(BOOL, UINT) { Default(); }
void CWnd::OnWindowPosChanged(WINDOWPOS*) { Default(); }
void CWnd::OnWindowPosChanging(WINDOWPOS*) { Default(); }
void CWnd::OnGetMinMaxInfo(MINMAXINFO*) { Default(); }
void CWnd::OnHScroll(UINT, UINT, CScrollBar*) { Default(); }
void CWnd::OnVScroll(UINT, UINT, CScrollBar*) { Default(); }
void CWnd::OnContextMenu(CWnd*, CPoint) { Default(); }
void CWnd::OnSysCommand(UINT, LPARAM) { Default(); }
BOOL CWnd::OnCopyData(CWnd*, COPYDATASTRUCT*) { return (BOOL)Default(); }
void CWnd::OnDropFiles(HDROP) { Default(); }
void CWnd::OnSettingChange(UINT, LPCTSTR) { Default(); }
BOOL CWnd::OnQueryEndSession() { return (BOOL)Default(); }
void CWnd::OnEndSession(BOOL) { Default(); }
void CWnd::OnEnable(BOOL) { Default(); }
void CWnd::OnCancelMode() { Default(); }
void CWnd::OnEnterSizeMove() { Default(); }
void CWnd::OnExitSizeMove() { Default(); }
HCURSOR CWnd::OnQueryDragIcon() { return (HCURSOR)Default(); }

HBRUSH CWnd::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    LRESULT brush = 0;
    if (pWnd && Reflect(pWnd->m_hWnd, WM_CTLCOLORMSGBOX + nCtlColor, (WPARAM)pDC->GetSafeHdc(),
                        (LPARAM)pWnd->m_hWnd, &brush) && brush != 0)
        return (HBRUSH)brush;
    return (HBRUSH)Default();
}

void CWnd::OnDrawItem(int, LPDRAWITEMSTRUCT lpDrawItemStruct)
{
    LRESULT ignored = 0;
    if (lpDrawItemStruct->CtlType == ODT_MENU) {
        if (CMenu::RouteOwnerDraw(WM_DRAWITEM, 0, (LPARAM)lpDrawItemStruct))
            return;
    } else if (Reflect(lpDrawItemStruct->hwndItem, WM_DRAWITEM, lpDrawItemStruct->CtlID,
                       (LPARAM)lpDrawItemStruct, &ignored)) {
        return;
    }
    Default();
}

void CWnd::OnMeasureItem(int nIDCtl, LPMEASUREITEMSTRUCT lpMeasureItemStruct)
{
    LRESULT ignored = 0;
    if (lpMeasureItemStruct->CtlType == ODT_MENU) {
        if (CMenu::RouteOwnerDraw(WM_MEASUREITEM, 0, (LPARAM)lpMeasureItemStruct))
            return;
    } else if (Reflect(::GetDlgItem(m_hWnd, nIDCtl), WM_MEASUREITEM, nIDCtl, (LPARAM)lpMeasureItemStruct,
                       &ignored)) {
        return;
    }
    Default();
}

// CWnd's own map: empty, the defaults above come from OnWndMsg.
const FwMessageMap* CWnd::GetThisMessageMap()
{
    static const FwMsgMapEntry entries[] = { { 0, 0, 0, 0, 0, nullptr, FwSig_end, nullptr } };
    static const FwMessageMap messageMap = { &CCmdTarget::GetThisMessageMap, entries };
    return &messageMap;
}

const FwMessageMap* CWnd::GetMessageMap() const
{
    return GetThisMessageMap();
}

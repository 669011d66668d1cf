// Message maps: static tables per class, chained to the base class, and the ON_ macros.
//
// Each entry stores the handler as a member pointer of CCmdTarget together with a signature
// code. The macros cast the handler with static_cast to the exact signature first, so a
// handler with the wrong parameters fails to compile instead of being called wrongly.
#pragma once
#include "FrameworkApi.h"
#include <windows.h>
#include <commctrl.h>

class CCmdTarget;
class CWnd;
class CDC;
class CCmdUI;
class CScrollBar;
class CPoint;

typedef void (CCmdTarget::*FwPMSG)();

// Handler signatures. The letters name the result and the parameters:
// v void, b BOOL, i int, u UINT, l LRESULT/LPARAM, w CWnd*, pt CPoint, dc CDC*.
enum FwSig : unsigned char {
    FwSig_end = 0,
    FwSig_l_wp_lp,          // LRESULT (WPARAM, LPARAM)
    FwSig_v_wp_lp,          // void (WPARAM, LPARAM)           thread messages
    FwSig_v_v,              // void ()
    FwSig_b_v,              // BOOL ()
    FwSig_u_v,              // UINT ()
    FwSig_h_v,              // HCURSOR ()
    FwSig_i_cs,             // int (LPCREATESTRUCT)
    FwSig_v_u_i_i,          // void (UINT, int, int)
    FwSig_v_i_i,            // void (int, int)
    FwSig_b_dc,             // BOOL (CDC*)
    FwSig_v_timer,          // void (UINT_PTR)
    FwSig_v_u_pt,           // void (UINT, CPoint)
    FwSig_b_u_s_pt,         // BOOL (UINT, short, CPoint)
    FwSig_b_w_u_u,          // BOOL (CWnd*, UINT, UINT)
    FwSig_i_w_u_u,          // int (CWnd*, UINT, UINT)
    FwSig_l_pt,             // LRESULT (CPoint)
    FwSig_v_b_ncc,          // void (BOOL, NCCALCSIZE_PARAMS*)
    FwSig_b_b,              // BOOL (BOOL)
    FwSig_v_b,              // void (BOOL)
    FwSig_v_u_w_b,          // void (UINT, CWnd*, BOOL)
    FwSig_v_w,              // void (CWnd*)
    FwSig_v_u_u_u,          // void (UINT, UINT, UINT)
    FwSig_hbr_dc_w_u,       // HBRUSH (CDC*, CWnd*, UINT)
    FwSig_hbr_dc_u,         // HBRUSH (CDC*, UINT)              reflected
    FwSig_v_i_dis,          // void (int, LPDRAWITEMSTRUCT)
    FwSig_v_i_mis,          // void (int, LPMEASUREITEMSTRUCT)
    FwSig_v_dis,            // void (LPDRAWITEMSTRUCT)          reflected
    FwSig_v_mis,            // void (LPMEASUREITEMSTRUCT)       reflected
    FwSig_v_b_u,            // void (BOOL, UINT)
    FwSig_v_wpos,           // void (WINDOWPOS*)
    FwSig_v_mmi,            // void (MINMAXINFO*)
    FwSig_v_u_u_sb,         // void (UINT, UINT, CScrollBar*)
    FwSig_v_w_pt,           // void (CWnd*, CPoint)
    FwSig_v_u_lp,           // void (UINT, LPARAM)
    FwSig_b_w_cds,          // BOOL (CWnd*, COPYDATASTRUCT*)
    FwSig_v_hdrop,          // void (HDROP)
    FwSig_v_u_sz,           // void (UINT, LPCTSTR)
    FwSig_v_u,              // void (UINT)                      command and control ranges
    FwSig_b_u,              // BOOL (UINT)                      ON_COMMAND_EX
    FwSig_v_cmdui,          // void (CCmdUI*)
    FwSig_v_nm_pl,          // void (NMHDR*, LRESULT*)
    FwSig_b_nm_pl,          // BOOL (NMHDR*, LRESULT*)
    FwSig_v_u_nm_pl,        // void (UINT, NMHDR*, LRESULT*)
    FwSig_b_u_nm_pl,        // BOOL (UINT, NMHDR*, LRESULT*)
};

// Entry flags.
enum : UINT {
    kFwEntryReflected = 1,  // handles the message the parent reflects back to this control
    kFwEntryRegistered = 2, // pnMessage names a RegisterWindowMessage value
};

// The old catch-all colour message; ON_WM_CTLCOLOR handles every WM_CTLCOLORxxx with it.
#define FW_WM_CTLCOLOR 0x0019

// OnCmdMsg codes besides the control notification codes 0..0xFFFF.
#define CN_COMMAND 0
#define CN_UPDATE_COMMAND_UI (-1)
#define CN_NOTIFY 0x004E0000   // pExtra is an FwNotifyExtra

struct FwMsgMapEntry {
    UINT nMessage;          // window message (WM_COMMAND / WM_NOTIFY for commands and notifications)
    UINT nCode;             // control notification code
    UINT nID;               // first control or command id
    UINT nLastID;           // last id of a range (== nID otherwise)
    UINT nFlags;
    const UINT* pnMessage;  // registered messages only
    FwSig nSig;
    FwPMSG pfn;
};

struct FwMessageMap {
    const FwMessageMap* (*pfnGetBaseMap)();
    const FwMsgMapEntry* lpEntries;
};

struct FwNotifyExtra {
    NMHDR* pNMHDR;
    LRESULT* pResult;
};

// Who handles a command (filled by OnCmdMsg when asked instead of calling the handler).
struct FwCmdHandlerInfo {
    CCmdTarget* pTarget;
    FwPMSG pmf;
};
typedef FwCmdHandlerInfo AFX_CMDHANDLERINFO;

// In the class declaration.
#define DECLARE_MESSAGE_MAP() \
protected: \
    static const FwMessageMap* GetThisMessageMap(); \
    virtual const FwMessageMap* GetMessageMap() const;

// In the .cpp: BEGIN_MESSAGE_MAP(CMyDlg, CDialog) ... END_MESSAGE_MAP()
#define BEGIN_MESSAGE_MAP(theClass, baseClass) \
    const FwMessageMap* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
    const FwMessageMap* theClass::GetThisMessageMap() \
    { \
        using ThisClass [[maybe_unused]] = theClass; \
        typedef baseClass TheBaseClass; \
        static const FwMsgMapEntry entries[] = {

#define END_MESSAGE_MAP() \
            { 0, 0, 0, 0, 0, nullptr, FwSig_end, nullptr } \
        }; \
        static const FwMessageMap messageMap = { &TheBaseClass::GetThisMessageMap, entries }; \
        return &messageMap; \
    }

// An entry whose handler is cast to the exact signature 'type' (a CCmdTarget member pointer).
#define FW_ENTRY(msg, code, id, lastId, flags, sig, type, fn) \
    { (UINT)(msg), (UINT)(code), (UINT)(id), (UINT)(lastId), (flags), nullptr, (sig), \
      reinterpret_cast<FwPMSG>(static_cast<type>(&ThisClass::fn)) },
#define FW_WM(msg, sig, type, fn) FW_ENTRY(msg, 0, 0, 0, 0, sig, type, fn)

// ---- User messages ----
// LRESULT OnMyMessage(WPARAM wParam, LPARAM lParam);
#define ON_MESSAGE(message, memberFxn) \
    FW_WM(message, FwSig_l_wp_lp, LRESULT (CCmdTarget::*)(WPARAM, LPARAM), memberFxn)
// LRESULT OnMyMessage(WPARAM wParam, LPARAM lParam);   nMessageVariable from RegisterWindowMessage
#define ON_REGISTERED_MESSAGE(nMessageVariable, memberFxn) \
    { 0, 0, 0, 0, kFwEntryRegistered, &(nMessageVariable), FwSig_l_wp_lp, \
      reinterpret_cast<FwPMSG>(static_cast<LRESULT (CCmdTarget::*)(WPARAM, LPARAM)>(&ThisClass::memberFxn)) },
// void OnThreadMessage(WPARAM wParam, LPARAM lParam);   in a CWinThread map, for PostThreadMessage
#define ON_THREAD_MESSAGE(message, memberFxn) \
    FW_WM(message, FwSig_v_wp_lp, void (CCmdTarget::*)(WPARAM, LPARAM), memberFxn)
// void OnThreadMessage(WPARAM wParam, LPARAM lParam);
#define ON_REGISTERED_THREAD_MESSAGE(nMessageVariable, memberFxn) \
    { 0, 0, 0, 0, kFwEntryRegistered, &(nMessageVariable), FwSig_v_wp_lp, \
      reinterpret_cast<FwPMSG>(static_cast<void (CCmdTarget::*)(WPARAM, LPARAM)>(&ThisClass::memberFxn)) },

// ---- Commands and control notifications (WM_COMMAND) ----
// void OnCommandHandler();   menu, accelerator, or a control's code 0 (BN_CLICKED)
#define ON_COMMAND(id, memberFxn) \
    FW_ENTRY(WM_COMMAND, CN_COMMAND, id, id, 0, FwSig_v_v, void (CCmdTarget::*)(), memberFxn)
// BOOL OnCommandHandler(UINT nID);   FALSE lets routing continue
#define ON_COMMAND_EX(id, memberFxn) \
    FW_ENTRY(WM_COMMAND, CN_COMMAND, id, id, 0, FwSig_b_u, BOOL (CCmdTarget::*)(UINT), memberFxn)
// void OnCommandRange(UINT nID);
#define ON_COMMAND_RANGE(id, idLast, memberFxn) \
    FW_ENTRY(WM_COMMAND, CN_COMMAND, id, idLast, 0, FwSig_v_u, void (CCmdTarget::*)(UINT), memberFxn)
// void OnUpdateHandler(CCmdUI* pCmdUI);
#define ON_UPDATE_COMMAND_UI(id, memberFxn) \
    FW_ENTRY(WM_COMMAND, CN_UPDATE_COMMAND_UI, id, id, 0, FwSig_v_cmdui, void (CCmdTarget::*)(CCmdUI*), memberFxn)
// void OnUpdateRange(CCmdUI* pCmdUI);
#define ON_UPDATE_COMMAND_UI_RANGE(id, idLast, memberFxn) \
    FW_ENTRY(WM_COMMAND, CN_UPDATE_COMMAND_UI, id, idLast, 0, FwSig_v_cmdui, void (CCmdTarget::*)(CCmdUI*), memberFxn)
// void OnControlHandler();
#define ON_CONTROL(wNotifyCode, id, memberFxn) \
    FW_ENTRY(WM_COMMAND, wNotifyCode, id, id, 0, FwSig_v_v, void (CCmdTarget::*)(), memberFxn)
// void OnControlRange(UINT nID);
#define ON_CONTROL_RANGE(wNotifyCode, id, idLast, memberFxn) \
    FW_ENTRY(WM_COMMAND, wNotifyCode, id, idLast, 0, FwSig_v_u, void (CCmdTarget::*)(UINT), memberFxn)

// void OnBnClickedXxx();   (and the others below: void ())
#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)
#define ON_BN_DOUBLECLICKED(id, memberFxn) ON_CONTROL(BN_DOUBLECLICKED, id, memberFxn)
#define ON_BN_SETFOCUS(id, memberFxn) ON_CONTROL(BN_SETFOCUS, id, memberFxn)
#define ON_BN_KILLFOCUS(id, memberFxn) ON_CONTROL(BN_KILLFOCUS, id, memberFxn)
#define ON_EN_CHANGE(id, memberFxn) ON_CONTROL(EN_CHANGE, id, memberFxn)
#define ON_EN_UPDATE(id, memberFxn) ON_CONTROL(EN_UPDATE, id, memberFxn)
#define ON_EN_SETFOCUS(id, memberFxn) ON_CONTROL(EN_SETFOCUS, id, memberFxn)
#define ON_EN_KILLFOCUS(id, memberFxn) ON_CONTROL(EN_KILLFOCUS, id, memberFxn)
#define ON_EN_MAXTEXT(id, memberFxn) ON_CONTROL(EN_MAXTEXT, id, memberFxn)
#define ON_CBN_SELCHANGE(id, memberFxn) ON_CONTROL(CBN_SELCHANGE, id, memberFxn)
#define ON_CBN_SELENDOK(id, memberFxn) ON_CONTROL(CBN_SELENDOK, id, memberFxn)
#define ON_CBN_SELENDCANCEL(id, memberFxn) ON_CONTROL(CBN_SELENDCANCEL, id, memberFxn)
#define ON_CBN_EDITCHANGE(id, memberFxn) ON_CONTROL(CBN_EDITCHANGE, id, memberFxn)
#define ON_CBN_DROPDOWN(id, memberFxn) ON_CONTROL(CBN_DROPDOWN, id, memberFxn)
#define ON_CBN_CLOSEUP(id, memberFxn) ON_CONTROL(CBN_CLOSEUP, id, memberFxn)
#define ON_LBN_SELCHANGE(id, memberFxn) ON_CONTROL(LBN_SELCHANGE, id, memberFxn)
#define ON_LBN_DBLCLK(id, memberFxn) ON_CONTROL(LBN_DBLCLK, id, memberFxn)
#define ON_STN_CLICKED(id, memberFxn) ON_CONTROL(STN_CLICKED, id, memberFxn)
#define ON_STN_DBLCLK(id, memberFxn) ON_CONTROL(STN_DBLCLK, id, memberFxn)

// ---- WM_NOTIFY ----
// void OnNotifyHandler(NMHDR* pNMHDR, LRESULT* pResult);
#define ON_NOTIFY(wNotifyCode, id, memberFxn) \
    FW_ENTRY(WM_NOTIFY, wNotifyCode, id, id, 0, FwSig_v_nm_pl, void (CCmdTarget::*)(NMHDR*, LRESULT*), memberFxn)
// void OnNotifyRange(UINT nID, NMHDR* pNMHDR, LRESULT* pResult);
#define ON_NOTIFY_RANGE(wNotifyCode, id, idLast, memberFxn) \
    FW_ENTRY(WM_NOTIFY, wNotifyCode, id, idLast, 0, FwSig_v_u_nm_pl, \
             void (CCmdTarget::*)(UINT, NMHDR*, LRESULT*), memberFxn)
// BOOL OnNotifyEx(UINT nID, NMHDR* pNMHDR, LRESULT* pResult);   FALSE lets routing continue
#define ON_NOTIFY_EX(wNotifyCode, id, memberFxn) \
    FW_ENTRY(WM_NOTIFY, wNotifyCode, id, id, 0, FwSig_b_u_nm_pl, \
             BOOL (CCmdTarget::*)(UINT, NMHDR*, LRESULT*), memberFxn)
// BOOL OnNotifyExRange(UINT nID, NMHDR* pNMHDR, LRESULT* pResult);
#define ON_NOTIFY_EX_RANGE(wNotifyCode, id, idLast, memberFxn) \
    FW_ENTRY(WM_NOTIFY, wNotifyCode, id, idLast, 0, FwSig_b_u_nm_pl, \
             BOOL (CCmdTarget::*)(UINT, NMHDR*, LRESULT*), memberFxn)

// ---- Reflected to the control that sent them ----
// void OnReflectedNotify(NMHDR* pNMHDR, LRESULT* pResult);   the parent does not see it
#define ON_NOTIFY_REFLECT(wNotifyCode, memberFxn) \
    FW_ENTRY(WM_NOTIFY, wNotifyCode, 0, 0, kFwEntryReflected, FwSig_v_nm_pl, \
             void (CCmdTarget::*)(NMHDR*, LRESULT*), memberFxn)
// BOOL OnReflectedNotify(NMHDR* pNMHDR, LRESULT* pResult);   FALSE passes it on to the parent
#define ON_NOTIFY_REFLECT_EX(wNotifyCode, memberFxn) \
    FW_ENTRY(WM_NOTIFY, wNotifyCode, 0, 0, kFwEntryReflected, FwSig_b_nm_pl, \
             BOOL (CCmdTarget::*)(NMHDR*, LRESULT*), memberFxn)
// void OnReflectedCommand();   the parent does not see it
#define ON_CONTROL_REFLECT(wNotifyCode, memberFxn) \
    FW_ENTRY(WM_COMMAND, wNotifyCode, 0, 0, kFwEntryReflected, FwSig_v_v, void (CCmdTarget::*)(), memberFxn)
// BOOL OnReflectedCommand();   FALSE passes it on to the parent
#define ON_CONTROL_REFLECT_EX(wNotifyCode, memberFxn) \
    FW_ENTRY(WM_COMMAND, wNotifyCode, 0, 0, kFwEntryReflected, FwSig_b_v, BOOL (CCmdTarget::*)(), memberFxn)
// HBRUSH CtlColor(CDC* pDC, UINT nCtlColor);   null brush: the parent decides
#define ON_WM_CTLCOLOR_REFLECT() \
    FW_ENTRY(FW_WM_CTLCOLOR, 0, 0, 0, kFwEntryReflected, FwSig_hbr_dc_u, HBRUSH (CCmdTarget::*)(CDC*, UINT), CtlColor)
// void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct);
#define ON_WM_DRAWITEM_REFLECT() \
    FW_ENTRY(WM_DRAWITEM, 0, 0, 0, kFwEntryReflected, FwSig_v_dis, void (CCmdTarget::*)(LPDRAWITEMSTRUCT), DrawItem)
// void MeasureItem(LPMEASUREITEMSTRUCT lpMeasureItemStruct);
#define ON_WM_MEASUREITEM_REFLECT() \
    FW_ENTRY(WM_MEASUREITEM, 0, 0, 0, kFwEntryReflected, FwSig_v_mis, \
             void (CCmdTarget::*)(LPMEASUREITEMSTRUCT), MeasureItem)

// ---- Window messages ----
// int OnCreate(LPCREATESTRUCT lpCreateStruct);   -1 fails the creation
#define ON_WM_CREATE() FW_WM(WM_CREATE, FwSig_i_cs, int (CCmdTarget::*)(LPCREATESTRUCT), OnCreate)
// void OnDestroy();
#define ON_WM_DESTROY() FW_WM(WM_DESTROY, FwSig_v_v, void (CCmdTarget::*)(), OnDestroy)
// void OnNcDestroy();   the framework detaches and calls PostNcDestroy afterwards
#define ON_WM_NCDESTROY() FW_WM(WM_NCDESTROY, FwSig_v_v, void (CCmdTarget::*)(), OnNcDestroy)
// void OnSize(UINT nType, int cx, int cy);
#define ON_WM_SIZE() FW_WM(WM_SIZE, FwSig_v_u_i_i, void (CCmdTarget::*)(UINT, int, int), OnSize)
// void OnMove(int x, int y);
#define ON_WM_MOVE() FW_WM(WM_MOVE, FwSig_v_i_i, void (CCmdTarget::*)(int, int), OnMove)
// void OnPaint();
#define ON_WM_PAINT() FW_WM(WM_PAINT, FwSig_v_v, void (CCmdTarget::*)(), OnPaint)
// BOOL OnEraseBkgnd(CDC* pDC);
#define ON_WM_ERASEBKGND() FW_WM(WM_ERASEBKGND, FwSig_b_dc, BOOL (CCmdTarget::*)(CDC*), OnEraseBkgnd)
// void OnTimer(UINT_PTR nIDEvent);
#define ON_WM_TIMER() FW_WM(WM_TIMER, FwSig_v_timer, void (CCmdTarget::*)(UINT_PTR), OnTimer)
// void OnClose();
#define ON_WM_CLOSE() FW_WM(WM_CLOSE, FwSig_v_v, void (CCmdTarget::*)(), OnClose)
// void OnLButtonDown(UINT nFlags, CPoint point);   (the mouse-button and move messages alike)
#define ON_WM_LBUTTONDOWN() FW_WM(WM_LBUTTONDOWN, FwSig_v_u_pt, void (CCmdTarget::*)(UINT, CPoint), OnLButtonDown)
#define ON_WM_LBUTTONUP() FW_WM(WM_LBUTTONUP, FwSig_v_u_pt, void (CCmdTarget::*)(UINT, CPoint), OnLButtonUp)
#define ON_WM_LBUTTONDBLCLK() FW_WM(WM_LBUTTONDBLCLK, FwSig_v_u_pt, void (CCmdTarget::*)(UINT, CPoint), OnLButtonDblClk)
#define ON_WM_RBUTTONDOWN() FW_WM(WM_RBUTTONDOWN, FwSig_v_u_pt, void (CCmdTarget::*)(UINT, CPoint), OnRButtonDown)
#define ON_WM_RBUTTONUP() FW_WM(WM_RBUTTONUP, FwSig_v_u_pt, void (CCmdTarget::*)(UINT, CPoint), OnRButtonUp)
#define ON_WM_RBUTTONDBLCLK() FW_WM(WM_RBUTTONDBLCLK, FwSig_v_u_pt, void (CCmdTarget::*)(UINT, CPoint), OnRButtonDblClk)
#define ON_WM_MBUTTONDOWN() FW_WM(WM_MBUTTONDOWN, FwSig_v_u_pt, void (CCmdTarget::*)(UINT, CPoint), OnMButtonDown)
#define ON_WM_MOUSEMOVE() FW_WM(WM_MOUSEMOVE, FwSig_v_u_pt, void (CCmdTarget::*)(UINT, CPoint), OnMouseMove)
#define ON_WM_MOUSEHOVER() FW_WM(WM_MOUSEHOVER, FwSig_v_u_pt, void (CCmdTarget::*)(UINT, CPoint), OnMouseHover)
// void OnMouseLeave();
#define ON_WM_MOUSELEAVE() FW_WM(WM_MOUSELEAVE, FwSig_v_v, void (CCmdTarget::*)(), OnMouseLeave)
// BOOL OnMouseWheel(UINT nFlags, short zDelta, CPoint pt);   pt in screen coordinates
#define ON_WM_MOUSEWHEEL() FW_WM(WM_MOUSEWHEEL, FwSig_b_u_s_pt, BOOL (CCmdTarget::*)(UINT, short, CPoint), OnMouseWheel)
// int OnMouseActivate(CWnd* pDesktopWnd, UINT nHitTest, UINT message);
#define ON_WM_MOUSEACTIVATE() FW_WM(WM_MOUSEACTIVATE, FwSig_i_w_u_u, int (CCmdTarget::*)(CWnd*, UINT, UINT), OnMouseActivate)
// BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
#define ON_WM_SETCURSOR() FW_WM(WM_SETCURSOR, FwSig_b_w_u_u, BOOL (CCmdTarget::*)(CWnd*, UINT, UINT), OnSetCursor)
// LRESULT OnNcHitTest(CPoint point);   point in screen coordinates
#define ON_WM_NCHITTEST() FW_WM(WM_NCHITTEST, FwSig_l_pt, LRESULT (CCmdTarget::*)(CPoint), OnNcHitTest)
// void OnNcCalcSize(BOOL bCalcValidRects, NCCALCSIZE_PARAMS* lpncsp);
#define ON_WM_NCCALCSIZE() FW_WM(WM_NCCALCSIZE, FwSig_v_b_ncc, void (CCmdTarget::*)(BOOL, NCCALCSIZE_PARAMS*), OnNcCalcSize)
// void OnNcPaint();
#define ON_WM_NCPAINT() FW_WM(WM_NCPAINT, FwSig_v_v, void (CCmdTarget::*)(), OnNcPaint)
// BOOL OnNcActivate(BOOL bActive);
#define ON_WM_NCACTIVATE() FW_WM(WM_NCACTIVATE, FwSig_b_b, BOOL (CCmdTarget::*)(BOOL), OnNcActivate)
// void OnNcLButtonDown(UINT nHitTest, CPoint point);   (and the other non-client mouse messages)
#define ON_WM_NCLBUTTONDOWN() FW_WM(WM_NCLBUTTONDOWN, FwSig_v_u_pt, void (CCmdTarget::*)(UINT, CPoint), OnNcLButtonDown)
#define ON_WM_NCLBUTTONUP() FW_WM(WM_NCLBUTTONUP, FwSig_v_u_pt, void (CCmdTarget::*)(UINT, CPoint), OnNcLButtonUp)
#define ON_WM_NCLBUTTONDBLCLK() FW_WM(WM_NCLBUTTONDBLCLK, FwSig_v_u_pt, void (CCmdTarget::*)(UINT, CPoint), OnNcLButtonDblClk)
#define ON_WM_NCMOUSEMOVE() FW_WM(WM_NCMOUSEMOVE, FwSig_v_u_pt, void (CCmdTarget::*)(UINT, CPoint), OnNcMouseMove)
// void OnNcMouseLeave();
#define ON_WM_NCMOUSELEAVE() FW_WM(WM_NCMOUSELEAVE, FwSig_v_v, void (CCmdTarget::*)(), OnNcMouseLeave)
// void OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized);
#define ON_WM_ACTIVATE() FW_WM(WM_ACTIVATE, FwSig_v_u_w_b, void (CCmdTarget::*)(UINT, CWnd*, BOOL), OnActivate)
// void OnSetFocus(CWnd* pOldWnd);
#define ON_WM_SETFOCUS() FW_WM(WM_SETFOCUS, FwSig_v_w, void (CCmdTarget::*)(CWnd*), OnSetFocus)
// void OnKillFocus(CWnd* pNewWnd);
#define ON_WM_KILLFOCUS() FW_WM(WM_KILLFOCUS, FwSig_v_w, void (CCmdTarget::*)(CWnd*), OnKillFocus)
// void OnCaptureChanged(CWnd* pWnd);
#define ON_WM_CAPTURECHANGED() FW_WM(WM_CAPTURECHANGED, FwSig_v_w, void (CCmdTarget::*)(CWnd*), OnCaptureChanged)
// void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);   (KEYUP, CHAR, SYSKEYDOWN alike)
#define ON_WM_KEYDOWN() FW_WM(WM_KEYDOWN, FwSig_v_u_u_u, void (CCmdTarget::*)(UINT, UINT, UINT), OnKeyDown)
#define ON_WM_KEYUP() FW_WM(WM_KEYUP, FwSig_v_u_u_u, void (CCmdTarget::*)(UINT, UINT, UINT), OnKeyUp)
#define ON_WM_CHAR() FW_WM(WM_CHAR, FwSig_v_u_u_u, void (CCmdTarget::*)(UINT, UINT, UINT), OnChar)
#define ON_WM_SYSKEYDOWN() FW_WM(WM_SYSKEYDOWN, FwSig_v_u_u_u, void (CCmdTarget::*)(UINT, UINT, UINT), OnSysKeyDown)
// UINT OnGetDlgCode();
#define ON_WM_GETDLGCODE() FW_WM(WM_GETDLGCODE, FwSig_u_v, UINT (CCmdTarget::*)(), OnGetDlgCode)
// HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);   every WM_CTLCOLORxxx
#define ON_WM_CTLCOLOR() FW_WM(FW_WM_CTLCOLOR, FwSig_hbr_dc_w_u, HBRUSH (CCmdTarget::*)(CDC*, CWnd*, UINT), OnCtlColor)
// void OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct);
#define ON_WM_DRAWITEM() FW_WM(WM_DRAWITEM, FwSig_v_i_dis, void (CCmdTarget::*)(int, LPDRAWITEMSTRUCT), OnDrawItem)
// void OnMeasureItem(int nIDCtl, LPMEASUREITEMSTRUCT lpMeasureItemStruct);
#define ON_WM_MEASUREITEM() FW_WM(WM_MEASUREITEM, FwSig_v_i_mis, void (CCmdTarget::*)(int, LPMEASUREITEMSTRUCT), OnMeasureItem)
// void OnShowWindow(BOOL bShow, UINT nStatus);
#define ON_WM_SHOWWINDOW() FW_WM(WM_SHOWWINDOW, FwSig_v_b_u, void (CCmdTarget::*)(BOOL, UINT), OnShowWindow)
// void OnWindowPosChanged(WINDOWPOS* lpwndpos);
#define ON_WM_WINDOWPOSCHANGED() FW_WM(WM_WINDOWPOSCHANGED, FwSig_v_wpos, void (CCmdTarget::*)(WINDOWPOS*), OnWindowPosChanged)
// void OnWindowPosChanging(WINDOWPOS* lpwndpos);
#define ON_WM_WINDOWPOSCHANGING() FW_WM(WM_WINDOWPOSCHANGING, FwSig_v_wpos, void (CCmdTarget::*)(WINDOWPOS*), OnWindowPosChanging)
// void OnGetMinMaxInfo(MINMAXINFO* lpMMI);
#define ON_WM_GETMINMAXINFO() FW_WM(WM_GETMINMAXINFO, FwSig_v_mmi, void (CCmdTarget::*)(MINMAXINFO*), OnGetMinMaxInfo)
// void OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);   null for the window's own bar
#define ON_WM_HSCROLL() FW_WM(WM_HSCROLL, FwSig_v_u_u_sb, void (CCmdTarget::*)(UINT, UINT, CScrollBar*), OnHScroll)
// void OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
#define ON_WM_VSCROLL() FW_WM(WM_VSCROLL, FwSig_v_u_u_sb, void (CCmdTarget::*)(UINT, UINT, CScrollBar*), OnVScroll)
// void OnContextMenu(CWnd* pWnd, CPoint pos);   pos in screen coordinates, (-1,-1) from the keyboard
#define ON_WM_CONTEXTMENU() FW_WM(WM_CONTEXTMENU, FwSig_v_w_pt, void (CCmdTarget::*)(CWnd*, CPoint), OnContextMenu)
// void OnSysCommand(UINT nID, LPARAM lParam);
#define ON_WM_SYSCOMMAND() FW_WM(WM_SYSCOMMAND, FwSig_v_u_lp, void (CCmdTarget::*)(UINT, LPARAM), OnSysCommand)
// BOOL OnCopyData(CWnd* pWnd, COPYDATASTRUCT* pCopyDataStruct);
#define ON_WM_COPYDATA() FW_WM(WM_COPYDATA, FwSig_b_w_cds, BOOL (CCmdTarget::*)(CWnd*, COPYDATASTRUCT*), OnCopyData)
// void OnDropFiles(HDROP hDropInfo);
#define ON_WM_DROPFILES() FW_WM(WM_DROPFILES, FwSig_v_hdrop, void (CCmdTarget::*)(HDROP), OnDropFiles)
// void OnSettingChange(UINT uFlags, LPCTSTR lpszSection);
#define ON_WM_SETTINGCHANGE() FW_WM(WM_SETTINGCHANGE, FwSig_v_u_sz, void (CCmdTarget::*)(UINT, LPCTSTR), OnSettingChange)
// BOOL OnQueryEndSession();
#define ON_WM_QUERYENDSESSION() FW_WM(WM_QUERYENDSESSION, FwSig_b_v, BOOL (CCmdTarget::*)(), OnQueryEndSession)
// void OnEndSession(BOOL bEnding);
#define ON_WM_ENDSESSION() FW_WM(WM_ENDSESSION, FwSig_v_b, void (CCmdTarget::*)(BOOL), OnEndSession)
// void OnEnable(BOOL bEnable);
#define ON_WM_ENABLE() FW_WM(WM_ENABLE, FwSig_v_b, void (CCmdTarget::*)(BOOL), OnEnable)
// void OnCancelMode();
#define ON_WM_CANCELMODE() FW_WM(WM_CANCELMODE, FwSig_v_v, void (CCmdTarget::*)(), OnCancelMode)
// void OnEnterSizeMove();
#define ON_WM_ENTERSIZEMOVE() FW_WM(WM_ENTERSIZEMOVE, FwSig_v_v, void (CCmdTarget::*)(), OnEnterSizeMove)
// void OnExitSizeMove();
#define ON_WM_EXITSIZEMOVE() FW_WM(WM_EXITSIZEMOVE, FwSig_v_v, void (CCmdTarget::*)(), OnExitSizeMove)
// HCURSOR OnQueryDragIcon();
#define ON_WM_QUERYDRAGICON() FW_WM(WM_QUERYDRAGICON, FwSig_h_v, HCURSOR (CCmdTarget::*)(), OnQueryDragIcon)

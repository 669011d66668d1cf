// What the web pop-up needs of the program's main window, which the interface library cannot
// see: the session, and the two windows its approval pages report to. The main window
// implements IPopupHost; tests implement it with a fake.
//
// The pop-up finds its host as the thread's main window (AfxGetMainWnd) unless its creator
// set one. It asks again on every use and sends to the windows only while they exist, so a
// pop-up that outlives a view at shut-down does no harm. UI thread only.
#pragma once
#include <windows.h>
#include "ToviMessages.h"

class CToviProto;
class CWnd;

class IPopupHost {
public:
    // The session's protocol object, or null when there is no session.
    virtual CToviProto* GetPopupSession() = 0;
    // The splitter window: target of WM_UPLOAD_APPROVAL. Null when there is none.
    virtual HWND GetApprovalSplitter() = 0;
    // The server file list view: target of WM_APPROVAL_REFRESH. Null when there is none.
    virtual HWND GetApprovalListView() = 0;

protected:
    ~IPopupHost() = default;
};

// The host behind a window (the main window implements IPopupHost), or null.
inline IPopupHost* PopupHostOf(CWnd* pWnd)
{
    return pWnd ? dynamic_cast<IPopupHost*>(pWnd) : nullptr;
}

// ---- Messages of the web pop-up and its view ----
// Values are fixed: the main program and the library are built apart.

// Posted by a modeless pop-up to its owner after its window is gone. wParam 0, lParam: the
// pop-up's kind. The owner forgets its pointer; the pop-up deletes itself.
#ifndef WM_POPUP_CLOSED
#define WM_POPUP_CLOSED             (WM_USER + 46)
#endif
// Posted by the view to its parent: the page asked for a size (the view holds it). 0, 0.
#ifndef WM_RESIZE_DIALOG
#define WM_RESIZE_DIALOG            (WM_USER + 45)
#endif
// Posted by the view to its parent: the page set the language (the view holds it). 0, 0.
#ifndef WM_SET_LANGUAGE
#define WM_SET_LANGUAGE             (WM_USER + 67)
#endif
// Posted by the view to its parent: the page's log-in gave a session id (the view holds it). 0, 0.
#ifndef WM_SET_LOGIN_RESULT
#define WM_SET_LOGIN_RESULT         (WM_USER + 68)
#endif
// Posted by the view to its parent after an SMS log-in. wParam: CString* allocated with new,
// holding the user id; the receiver deletes it. lParam 0.
#ifndef WM_LOGIN_SMS
#define WM_LOGIN_SMS                (WM_USER + 73)
#endif
// Sent by the view to its parent when the page's SMS check succeeded. 0, 0.
#ifndef WM_SET_SMS_RESULT
#define WM_SET_SMS_RESULT           (WM_USER + 80)
#endif
// Sent by the view to its parent. wParam: const CString* of the page's file indexes, valid
// during the call only. lParam 0.
#ifndef WM_SET_DEL_SCHEDULE_FILES
#define WM_SET_DEL_SCHEDULE_FILES   (WM_USER + 82)
#endif
// Sent by the view to its parent: the user ticked "do not show again". 0, 0.
#ifndef WM_SET_DO_NOT_SHOW_POPUP
#define WM_SET_DO_NOT_SHOW_POPUP    (WM_USER + 83)
#endif

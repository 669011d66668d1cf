// CLoginWebThread: the user-interface thread that runs the web log-in window modally. The frame
// drives it as it drives CLoginThread: created suspended, SetLoginInfo, resumed, and the outcome
// from WM_LOGIN_RESULT. The thread ends when the window goes.
#pragma once
#include "LoginWebDlg.h"
#include "ToviInterfaceApi.h"
#include "WinThread.h"

class CToviProto;

class TOVIINTERFACE_API CLoginWebThread : public CWinThread {
    DECLARE_DYNCREATE(CLoginWebThread)
public:
    CLoginWebThread();
    ~CLoginWebThread() override;

    // Before the thread is resumed; ssoPage opens the single-sign-on page. Always 0.
    int SetLoginInfo(HWND owner, CToviProto* proto, int product, bool ssoPage);
    // Brings the window to the front once it exists (waits up to a second). Always 0.
    int SetUIFocus();
    // The session's domain list was refreshed: the window takes it and opens the page again.
    int ResetDomain();
    // Ends the window without a WM_LOGIN_RESULT.
    void SetRemove();

    BOOL InitInstance() override;

    CLoginWebDlg m_dlg;
};

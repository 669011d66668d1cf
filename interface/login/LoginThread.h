// CLoginThread: the user-interface thread that runs the login dialog modally, so that the main
// frame stays responsive while the dialog waits on the server.
//
// The frame creates it suspended from its run-time class, calls SetLoginInfo, resumes it, and
// learns the outcome from WM_LOGIN_RESULT. The thread ends when the dialog's window goes. The
// object deletes itself then (m_bAutoDelete); a caller that still wants to call SetRemove after
// the result may clear m_bAutoDelete before resuming and delete the object after the thread's
// handle is signalled. The other calls come from the frame's thread while the dialog runs.
#pragma once
#include "LoginDlg.h"
#include "ToviInterfaceApi.h"
#include "WinThread.h"

namespace login {

// What both log-in threads do: the product's language for the thread's texts and the locale,
// and bringing their window forward once the frame's message box (if any) is up.
void UseProductLanguage();
void BringForward(CVantelDialog& dialog);

}

class CToviProto;

class TOVIINTERFACE_API CLoginThread : public CWinThread {
    DECLARE_DYNCREATE(CLoginThread)
public:
    CLoginThread();
    ~CLoginThread() override;

    // Before the thread is resumed. product 2 gives the backup look. Always 0.
    int SetLoginInfo(HWND owner, CToviProto* proto, int product);
    // Brings the login window to the front once it exists (waits up to a second). Always 0.
    int SetUIFocus();
    // Refill the dialog's domain / language lists from the session. Always 0.
    int ResetDomainList();
    int ResetLanguageList();
    // Ends the dialog without a WM_LOGIN_RESULT.
    void SetRemove();

    BOOL InitInstance() override;

    CLoginDlg m_dlg;
};

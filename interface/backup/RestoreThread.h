// CRestoreThread: the user-interface thread that runs the restore window modally. The backup
// program creates it suspended from its run-time class, calls SetRestoreInfo, and resumes it;
// when the window closes, the owner gets WM_RESTORE_THREAD_EXIT (lParam a new CString with the
// policy key, which the receiver deletes). The object deletes itself when the thread ends
// unless the caller cleared m_bAutoDelete.
#pragma once
#include "ToviInterfaceApi.h"
#include "RestoreDlg.h"
#include "WinThread.h"

class CToviProto;

class TOVIINTERFACE_API CRestoreThread : public CWinThread {
    DECLARE_DYNCREATE(CRestoreThread)
public:
    CRestoreThread();
    ~CRestoreThread() override;

    // Before the thread is resumed. owner may be null; the session is read, never kept. Always 0.
    int SetRestoreInfo(HWND owner, CToviProto* session, CString policyKey);

    BOOL InitInstance() override;
    int ExitInstance() override;

    CRestoreDlg m_dlg;
    CString m_strPolicyKey;
};

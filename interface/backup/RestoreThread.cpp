// CRestoreThread: the restore's user-interface thread.
#include "RestoreThread.h"
#include "DialogKit.h"
#include "ToviMessages.h"

IMPLEMENT_DYNCREATE(CRestoreThread, CWinThread)

CRestoreThread::CRestoreThread() = default;

CRestoreThread::~CRestoreThread() = default;

int CRestoreThread::SetRestoreInfo(HWND owner, CToviProto* session, CString policyKey)
{
    if (owner)
        m_dlg.m_hOwner = owner;
    m_strPolicyKey = policyKey;
    m_dlg.m_strPolicyKey = policyKey;
    m_dlg.CopySession(session);
    return 0;
}

BOOL CRestoreThread::InitInstance()
{
    dialogkit::ApplyThreadLanguage();
    m_pMainWnd = &m_dlg;
    m_dlg.DoModal();
    m_pMainWnd = nullptr;
    return FALSE;
}

int CRestoreThread::ExitInstance()
{
    if (HWND owner = m_dlg.m_hOwner) {
        CString* key = new CString(m_strPolicyKey);
        if (!::PostMessageW(owner, WM_RESTORE_THREAD_EXIT, 0, reinterpret_cast<LPARAM>(key)))
            delete key;
    }
    return CWinThread::ExitInstance();
}

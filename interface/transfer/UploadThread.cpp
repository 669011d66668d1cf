// CUploadThread: the upload's user-interface thread.
#include "UploadThread.h"
#include "FileUtils.h"
#include "ToviRegistry.h"
#include "ToviProto.h"
#include "ToviString.h"
#include "TransferCommon.h"

IMPLEMENT_DYNCREATE(CUploadThread, CWinThread)

CUploadThread::CUploadThread()
{
    // The owner waits for the thread's end and deletes the object then.
    m_bAutoDelete = FALSE;
}

CUploadThread::~CUploadThread() = default;

int CUploadThread::SetUploadInfo(HWND owner, _PROTO_FOLDER_INFO* folder, std::vector<_UPLOADINFO>& items,
                                 CToviProto* session)
{
    if (owner) {
        m_hOwner = owner;
        m_dlg.m_hOwner = owner;
    }
    m_dlg.TakeItems(items);
    if (folder)
        CToviProto::CopyFolderInfo(&m_dlg.m_targetFolder, folder, false);
    m_dlg.CopySession(session);
    return 0;
}

int CUploadThread::AddUploadInfo(std::vector<_UPLOADINFO>& items)
{
    // A thread resumed a moment ago may not have its window yet.
    for (int i = 0; i < 500 && !(m_dlg.GetSafeHwnd() && ::IsWindowVisible(m_dlg.GetSafeHwnd())); ++i)
        ::Sleep(10);
    m_dlg.AddItems(items);
    return 0;
}

void CUploadThread::EndUploadForce()
{
    if (m_dlg.GetSafeHwnd())
        ::SendMessageW(m_dlg.GetSafeHwnd(), WM_END_UPLOAD_FORCE, 0, 0);
}

int CUploadThread::SetUIFocus()
{
    const CString title = CToviString::GetString(14046);
    for (int i = 0; i < 10; ++i) {
        if (::FindWindowW(L"#32770", title.GetString()))
            break;
        ::Sleep(100);
    }
    if (m_dlg.GetSafeHwnd())
        m_dlg.ActivateWindow(m_dlg.GetSafeHwnd());
    return 0;
}

BOOL CUploadThread::InitInstance()
{
    transfer::ApplyThreadLanguage();
    m_pMainWnd = &m_dlg;
    m_dlg.DoModal();
    m_pMainWnd = nullptr;
    return FALSE;
}

int CUploadThread::ExitInstance()
{
    if (m_hOwner)
        ::PostMessageW(m_hOwner, WM_UPLOAD_THREAD_EXIT, 0, 0);
    return CWinThread::ExitInstance();
}

// CUploadThread: the upload's user-interface thread.
#include "UploadThread.h"
#include "DialogKit.h"
#include "FileUtils.h"
#include "ToviRegistry.h"
#include "ToviProto.h"

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
    dialogkit::WaitUntilShown(m_dlg);
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
    dialogkit::BringToFront(m_dlg, 14046);
    return 0;
}

BOOL CUploadThread::InitInstance()
{
    dialogkit::RunWindowModal(*this, m_dlg);
    return FALSE;
}

int CUploadThread::ExitInstance()
{
    if (m_hOwner)
        ::PostMessageW(m_hOwner, WM_UPLOAD_THREAD_EXIT, 0, 0);
    return CWinThread::ExitInstance();
}

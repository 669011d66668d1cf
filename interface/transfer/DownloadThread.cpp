// CDownloadThread: the download's user-interface thread.
#include "DownloadThread.h"
#include "DialogKit.h"

IMPLEMENT_DYNCREATE(CDownloadThread, CWinThread)

CDownloadThread::CDownloadThread()
{
    // The owner waits for the thread's end and deletes the object then.
    m_bAutoDelete = FALSE;
}

CDownloadThread::~CDownloadThread() = default;

int CDownloadThread::SetDownloadInfo(void* owner, HWND mainWnd, std::vector<_DOWNLOADINFO>& items,
                                     CToviProto* session)
{
    if (owner)
        m_pOwner = owner;
    if (mainWnd) {
        m_hMainWnd = mainWnd;
        m_dlg.m_hMainWnd = mainWnd;
    }
    m_dlg.TakeItems(items);
    m_dlg.CopySession(session);
    return 0;
}

int CDownloadThread::AddDownloadInfo(std::vector<_DOWNLOADINFO>& items)
{
    dialogkit::WaitUntilShown(m_dlg);
    m_dlg.AddItems(items);
    return 0;
}

void CDownloadThread::EndDownloadForce()
{
    if (m_dlg.GetSafeHwnd())
        ::SendMessageW(m_dlg.GetSafeHwnd(), WM_END_DOWNLOAD_FORCE, 0, 0);
}

int CDownloadThread::SetUIFocus()
{
    dialogkit::BringToFront(m_dlg, 14047);
    return 0;
}

BOOL CDownloadThread::InitInstance()
{
    dialogkit::RunWindowModal(*this, m_dlg);
    return FALSE;
}

int CDownloadThread::ExitInstance()
{
    if (m_hMainWnd) {
        const WPARAM flags = m_dlg.GetErrorCount() > 0 ? DOWNLOAD_EXIT_REFRESH_SERVER : 0;
        ::PostMessageW(m_hMainWnd, WM_DOWNLOAD_THREAD_EXIT, flags, 0);
    }
    return CWinThread::ExitInstance();
}

// CDownloadThread: the user-interface thread that runs the download window modally. The main
// program creates it suspended from its run-time class, hands the job over with
// SetDownloadInfo, resumes it, hands later jobs to AddDownloadInfo, and deletes the object after
// the thread posted WM_DOWNLOAD_THREAD_EXIT and ended (the object does not delete itself).
#pragma once
#include "DownloadDlg.h"
#include "ToviInterfaceApi.h"
#include "ToviMessages.h"
#include "WinThread.h"
#include <vector>

class CToviProto;

class TOVIINTERFACE_API CDownloadThread : public CWinThread {
    DECLARE_DYNCREATE(CDownloadThread)
public:
    CDownloadThread();
    ~CDownloadThread() override;

    // Before the thread is resumed: the owner (kept, not used), the main window that gets
    // WM_DOWNLOAD_THREAD_EXIT, the items (swapped out of items) and the caller's session (read,
    // not kept). Always 0.
    int SetDownloadInfo(void* owner, HWND mainWnd, std::vector<_DOWNLOADINFO>& items, CToviProto* session);
    // From the owner's thread while the thread runs: more items. Items already listed are
    // dropped; refused with a message while the list is being filled. Always 0.
    int AddDownloadInfo(std::vector<_DOWNLOADINFO>& items);
    // Ends the download as Cancel does.
    void EndDownloadForce();
    // Brings the download window to the front. Always 0.
    int SetUIFocus();

    BOOL InitInstance() override;
    int ExitInstance() override;

    CDownloadDlg m_dlg;
    void* m_pOwner = nullptr;
    HWND m_hMainWnd = nullptr;
};

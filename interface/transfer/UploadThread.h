// CUploadThread: the user-interface thread that runs the upload window modally. The main
// program creates it suspended from its run-time class, hands the job over with SetUploadInfo,
// resumes it, hands later jobs to AddUploadInfo, and deletes the object after the thread posted
// WM_UPLOAD_THREAD_EXIT and ended (the object does not delete itself).
#pragma once
#include "ToviInterfaceApi.h"
#include "ToviMessages.h"
#include "UploadDlg.h"
#include "WinThread.h"
#include <vector>

class CToviProto;

class TOVIINTERFACE_API CUploadThread : public CWinThread {
    DECLARE_DYNCREATE(CUploadThread)
public:
    CUploadThread();
    ~CUploadThread() override;

    // Before the thread is resumed: the owner that gets the window's and the thread's messages,
    // the target folder's record (copied), the items (swapped out of items) and the caller's
    // session (read, not kept). Always 0.
    int SetUploadInfo(HWND owner, _PROTO_FOLDER_INFO* folder, std::vector<_UPLOADINFO>& items, CToviProto* session);
    // From the owner's thread while the thread runs: more items for the running upload. Shows
    // the window; refuses with a message while the list is being filled or the result phase
    // runs (the items are then left in the caller's vector). Always 0.
    int AddUploadInfo(std::vector<_UPLOADINFO>& items);
    // Ends the upload as Cancel does.
    void EndUploadForce();
    // Brings the upload window to the front. Always 0.
    int SetUIFocus();

    BOOL InitInstance() override;
    int ExitInstance() override;

    CUploadDlg m_dlg;
    HWND m_hOwner = nullptr;
};

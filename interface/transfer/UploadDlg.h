// CUploadDlg: the upload window and its procedure. It lists every file and folder that will go
// up, opens a session of its own, and runs a worker that creates the server folders, announces
// each file, decides by size and checksum whether to resume, skip or overwrite, streams the data
// and at last asks the server for the run's result.
//
// Threads: the window's own (handlers below), the list-filling threads, the upload worker and
// the connection's receive thread. Workers reach the window only by SendMessage and
// PostMessage; every change of a control happens on the window's thread. The job list is
// locked: the caller's thread appends to it while the worker reads it.
#pragma once
#include "ProtoRecords.h"
#include "ToviMessages.h"
#include "TransferDlg.h"
#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

class CToviProto;
class CFile;

// Messages of the upload window.
#define WM_UPLOAD_BEGIN         (WM_USER + 15)
#define WM_UPLOAD_ADD           (WM_USER + 17)
#define WM_UPLOAD_START         (WM_USER + 18)
#define WM_UPLOAD_FINISH        (WM_USER + 19)
#define WM_UPLOAD_RESULT        (WM_USER + 23)
#define WM_END_UPLOAD_FORCE     (WM_USER + 31)
#define WM_UPLOAD_RECONNECT     (WM_USER + 43)
#define WM_TOTAL_SIZE_UPDATE    (WM_USER + 52)
// Private: wParam the message id of an addition that was refused.
#define WM_UPLOAD_REFUSED       (WM_USER + 201)

class TOVIINTERFACE_API CUploadDlg : public CTransferDlg {
    DECLARE_DYNAMIC(CUploadDlg)
public:
    // Row statuses (string ids).
    enum : unsigned {
        kRowWaiting = 14094,
        kRowRunning = 14095,
        kRowDone = 14091,
        kRowDoneMarked = 14097,
        kRowFailed = 14089,
        kRowCancelled = 14064,
    };
    // Results of the folder and file steps.
    enum { kStepForceStop = -2, kStepAbandoned = -1, kStepSent = 0, kStepStopRun = 1, kStepSkipped = 2 };

    explicit CUploadDlg(CWnd* pParent = nullptr);
    ~CUploadDlg() override;

    // ---- Hand-over (the thread calls these before the window exists) ----
    // Copies the session fields of the caller's protocol object.
    void CopySession(const CToviProto* session);
    // Takes the items (the caller's vector is left with the previous, empty, contents).
    void TakeItems(std::vector<_UPLOADINFO>& items);
    // From any thread: queues items for a running window. False (and a message) while the list
    // is being filled or the result phase runs.
    bool AddItems(std::vector<_UPLOADINFO>& items);

    HWND m_hOwner = nullptr;
    _PROTO_FOLDER_INFO m_targetFolder = {};

    // ---- State read by the owner and by tests (any thread) ----
    std::atomic<bool> m_bForceStopped{false};
    // The server's words when it ended the session; final once the thread has ended.
    CString m_strForceStopText;
    int GetSentCount() const { return m_nSent; }
    int GetFailedCount() const { return m_nFailed; }
    int GetResultErrorCount() const { return m_nResultErrors; }
    int GetAbandonedCount() const { return m_nAbandoned; }
    size_t GetItemCount();
    size_t GetNextIndex();
    // The error records gathered so far (a copy).
    std::vector<_PROTO_UPLOAD_RESULT> GetErrorRecords();

protected:
    BOOL OnInitDialog() override;
    void OnCancel() override;
    void OnOK() override;
    void OnDestroy();
    void OnTimer(UINT_PTR nIDEvent);
    void OnCloseButton();
    LRESULT OnUploadProgress(WPARAM wParam, LPARAM lParam);
    LRESULT OnUploadThrottle(WPARAM wParam, LPARAM lParam);
    LRESULT OnUploadBegin(WPARAM wParam, LPARAM lParam);
    LRESULT OnUploadAdd(WPARAM wParam, LPARAM lParam);
    LRESULT OnUploadStart(WPARAM wParam, LPARAM lParam);
    LRESULT OnUploadFinish(WPARAM wParam, LPARAM lParam);
    LRESULT OnUploadResult(WPARAM wParam, LPARAM lParam);
    LRESULT OnEndUploadForce(WPARAM wParam, LPARAM lParam);
    LRESULT OnUploadReconnect(WPARAM wParam, LPARAM lParam);
    LRESULT OnTotalSizeUpdate(WPARAM wParam, LPARAM lParam);
    LRESULT OnUploadRefused(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()
    bool OnRelayReport(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void RefreshProgress() override;

private:
    // ---- Window (UploadDlg.cpp) ----
    // On the window's thread: queues the caller's items (emptying its vector), or refuses
    // while a list is being filled or the result phase runs. False when refused.
    bool TakeAddedItems(std::vector<_UPLOADINFO>& items);
    void SetCurrentText(const CString& text);
    void SetCurrentBar(int percent);
    void EndUpload();
    void StopThreads();
    bool WorkerAlive() { return IsAlive(m_pWorker); }

    // ---- Rows (UploadDlgList.cpp) ----
    static UINT SetListDataThread(LPVOID param);
    static UINT AddListDataThread(LPVOID param);
    void FillRows(const std::vector<_UPLOADINFO>& items);
    void FillFolder(const CString& folder);
    void InsertRow(const CString& path, bool folder, __int64 size);
    void SetRowStatus(const CString& path, unsigned textId);
    void SetRemainingRowStatus(const CString& path, unsigned textId);
    void FreeRows();

    // ---- Procedure (UploadProcedure.cpp) ----
    static UINT UploadWorker(LPVOID param);
    void Upload();
    int UploadFolder(const CString& path, const char* firstId, const char* secondId);
    int UploadFile(const char* secondId, const CString& path, const char* firstId);
    // The document-management check of the customer's site: 1 go on (source may now name the
    // link file to send in the item's place), 0 the file fails (the reason is the session's
    // message text).
    int ECMUpload(CString& source);
    int Stream(CFile& file, __int64 size, __int64 offset, const CString& path);
    int CancelFile(const CString& path);
    // A failed announce, confirm or send (step: upload::Step): again = true when the file is
    // to be tried again; otherwise the file step's result.
    int HandleFailure(int step, const CString& path, bool& retried, int& attempt, bool& again);
    // Sleeps the retry delay; false when cancelled meanwhile.
    bool WaitRetryDelay();
    void ResultPhase();
    void InsertLogItem(int kind, const CString& reason);
    bool NextItem(_UPLOADINFO& item);
    void HoldRemaining();
    // UI thread: moves the row mark to the row of this path at or after it; false when none.
    bool SeekRow(const CString& path);
    void ApplyConnectionLimits();
    void RowDone(const CString& path);
    std::string AskConflict(const CString& name, bool file, BYTE* applyAll);
    bool IsMarkedSite() const;

    // ---- Session fields of the upload's own, copied from the caller ----
    char m_szFactor[8] = {};
    char m_cUploadClose = 0;
    wchar_t m_wszResultMsg[1024] = {};
    char m_szBandWidth[16] = {};

    // ---- Jobs (m_itemsLock) ----
    std::mutex m_itemsLock;
    std::vector<_UPLOADINFO> m_items;
    size_t m_nNextIndex = 0;
    std::vector<_UPLOADINFO> m_pending;
    DWORD_PTR m_nItemData = 0;

    // ---- Procedure state ----
    CToviProto* m_pProto = nullptr;
    std::atomic<bool> m_bFilling{false};
    std::atomic<bool> m_bResultPhase{false};
    std::atomic<bool> m_bRefreshAllowed{true};
    bool m_bConflictShown = false;
    bool m_bFolderApplyAll = false;
    std::atomic<bool> m_bRunStopped{false};   // the last run ended before its items did     // folder prompts answered for the rest of the run
    int m_nStreamResult = 0;            // the send's error code when a stream failed on the wire
    std::string m_strApplyAll;          // the run's apply-to-all answer, empty: none
    std::atomic<int> m_nSent{0};
    std::atomic<int> m_nFailed{0};
    std::atomic<int> m_nResultErrors{0};
    std::atomic<int> m_nAbandoned{0};
    char m_szGroupKey[21] = {};
    std::mutex m_errorLock;
    std::vector<_PROTO_UPLOAD_RESULT> m_vecError;
    CString m_strItemName;              // window thread: the name the progress shows
    CString m_strWorkItem;              // worker thread: the item its log lines name

    // ---- Progress ----
    std::atomic<__int64> m_nStreamed{0}; // bytes the connection reported for the current stream

    // ---- Rows (window thread) ----
    int m_nCurrentRow = 0;

    // ---- Threads ----
    CWinThread* m_pFillThread = nullptr;
    CWinThread* m_pAddThread = nullptr;
    CWinThread* m_pWorker = nullptr;
    bool m_bWorkerRan = false;

    // ---- Controls ----
    CButton m_chkClose;   // the system's check box: the skinned painters draw no check mark
    bool m_bWsaStarted = false;          // paired with the release at destruction
    CVantelDialog* m_pResultList = nullptr; // the result list while it is open
};

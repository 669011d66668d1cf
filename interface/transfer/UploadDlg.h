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
#include "ListCtrl.h"
#include "ProtoRecords.h"
#include "ToviButton.h"
#include "ToviMessages.h"
#include "ToviProgressCtrl.h"
#include "TransferRate.h"
#include "VantelDialog.h"
#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

class CToviProto;
class CFile;
class CWinThread;
class CTransferTaskbar;

// Messages of the upload window.
#define WM_UPLOAD_BEGIN         (WM_USER + 15)
#define WM_UPLOAD_ADD           (WM_USER + 17)
#define WM_UPLOAD_START         (WM_USER + 18)
#define WM_UPLOAD_FINISH        (WM_USER + 19)
#define WM_UPLOAD_RESULT        (WM_USER + 23)
#define WM_END_UPLOAD_FORCE     (WM_USER + 31)
#define WM_UPLOAD_RECONNECT     (WM_USER + 43)
#define WM_TOTAL_SIZE_UPDATE    (WM_USER + 52)
// Private: lParam a std::function<void()>* that runs on the window's thread.
#define WM_UPLOAD_INVOKE        (WM_USER + 200)
// Private: lParam a heap std::function<void()>* to run (and delete) on the window's thread.
#define WM_UPLOAD_POSTED        (WM_USER + 202)
// Private: the counters moved; redraw the progress.
#define WM_UPLOAD_REFRESH       (WM_USER + 203)
// Private: wParam the message id of an addition that was refused.
#define WM_UPLOAD_REFUSED       (WM_USER + 201)

class TOVIINTERFACE_API CUploadDlg : public CVantelDialog {
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
    HWND m_hRelay = nullptr;   // the worker's message-only window for the connection's reports

    // ---- State read by the owner and by tests (any thread) ----
    std::atomic<bool> m_bForceStopped{false};
    int GetSentCount() const { return m_nSent; }
    int GetFailedCount() const { return m_nFailed; }
    int GetResultErrorCount() const { return m_nResultErrors; }
    int GetAbandonedCount() const { return m_nAbandoned; }
    size_t GetItemCount();
    size_t GetNextIndex();
    // The error records gathered so far (a copy).
    std::vector<_PROTO_UPLOAD_RESULT> GetErrorRecords();

    // Keeps the system awake while a worker runs; tests record the calls instead.
    typedef EXECUTION_STATE(WINAPI* ExecutionStateFn)(EXECUTION_STATE);
    static void SetExecutionStateHook(ExecutionStateFn fn);

protected:
    BOOL OnInitDialog() override;
    void OnCancel() override;
    void OnOK() override;
    void OnDestroy();
    BOOL OnEraseBkgnd(CDC* pDC);
    void OnTimer(UINT_PTR nIDEvent);
    void OnCloseButton();
    void OnMinimizeButton();
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
    LRESULT OnInvoke(WPARAM wParam, LPARAM lParam);
    LRESULT OnUploadRefused(WPARAM wParam, LPARAM lParam);
    LRESULT OnPosted(WPARAM wParam, LPARAM lParam);
    LRESULT OnUploadRefresh(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    // ---- Window (UploadDlg.cpp) ----
    void SetupControls();
    void RunOnUi(const std::function<void()>& work);
    // The same without waiting, for what only shows: the worker goes on while the window
    // paints. Runs in order with the other posted work, but after any work sent meanwhile.
    void PostToUi(const std::function<void()>& work);
    void DropPosted();
    // On the window's thread: queues the caller's items (emptying its vector), or refuses
    // while a list is being filled or the result phase runs. False when refused.
    bool TakeAddedItems(std::vector<_UPLOADINFO>& items);
    void SetCurrentText(const CString& text);
    void SetCurrentBar(int percent);
    void SetMarquee(bool on);
    void RefreshProgress();
    // Any thread: counts progress (wParam 1: a resume base) and asks the window to redraw now
    // and then. The connection reports on the worker's own relay window, so a stream never
    // waits for the window's thread.
    void CountProgress(WPARAM kind, __int64 bytes);
    static LRESULT CALLBACK RelayProc(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam);
    static HWND CreateRelay(CUploadDlg* dlg);
    void Notify(int kind, const CString& text);
    void EndUpload();
    void StopThreads();
    // Waits, pumping, for the thread to end and deletes it. closePrompt: a name-conflict
    // prompt still open is closed (only when stopping: it would hold the worker for ever).
    void WaitForThread(CWinThread*& thread, bool closePrompt = true);
    bool WorkerAlive();
    int ShowMessage(const CString& text, UINT type);

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
    static EXECUTION_STATE CallExecutionState(EXECUTION_STATE state);
    void ResultPhase();
    void InsertLogItem(int kind, const CString& reason);
    bool NextItem(_UPLOADINFO& item);
    void SkipRemaining();
    void ApplyConnectionLimits();
    void RowDone(const CString& path);
    std::string AskConflict(const CString& name, bool file, BYTE* applyAll);
    bool IsMarkedSite() const;

    // ---- Session fields copied from the caller ----
    char m_szSessionId[33] = {};
    char m_szHost[128] = {};
    int m_nPort = -1;
    char m_szCode[16] = {};
    CString m_strCustomerCode;
    char m_szFactor[8] = {};
    char m_szConnectTimeout[5] = {};
    char m_szSocketTimeout[5] = {};
    char m_szRetryTimeout[5] = {};
    char m_szRetryCount[5] = {};
    char m_cUploadClose = 0;
    wchar_t m_wszResultMsg[1024] = {};
    _OPTION_INFO m_option = {};
    char m_szBandWidth[16] = {};

    // ---- Jobs (m_itemsLock) ----
    std::mutex m_itemsLock;
    std::vector<_UPLOADINFO> m_items;
    size_t m_nNextIndex = 0;
    std::vector<_UPLOADINFO> m_pending;
    DWORD_PTR m_nItemData = 0;

    // ---- Procedure state ----
    CToviProto* m_pProto = nullptr;
    std::atomic<bool> m_bCancel{false};
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

    // ---- Progress (window thread) ----
    // Counted by the worker (through its relay window) and read by the window's thread.
    std::atomic<__int64> m_nFileSize{0};
    std::atomic<__int64> m_nFileDone{0};
    std::atomic<__int64> m_nStreamed{0}; // bytes the connection reported for the current stream
    std::atomic<__int64> m_nTotalDone{0};
    std::atomic<__int64> m_nRateBase{0};  // not yet given to the rate meter
    std::atomic<__int64> m_nRateBytes{0};
    std::atomic<DWORD> m_dwLastPosted{0};
    std::atomic<bool> m_bRefreshPosted{false};
    __int64 m_nTotalSize = 0;
    CTransferRate m_rate;
    CString m_strLastRate;


    // ---- Rows (window thread) ----
    int m_nCurrentRow = 0;

    // ---- Threads ----
    CWinThread* m_pFillThread = nullptr;
    CWinThread* m_pAddThread = nullptr;
    CWinThread* m_pWorker = nullptr;
    bool m_bWorkerRan = false;

    // ---- Controls ----
    CListCtrl m_list;
    CListCtrl m_log;
    HIMAGELIST m_hLogImages = nullptr;
    CToviProgressCtrl m_barFile;
    CToviProgressCtrl m_barTotal;
    CToviButton m_btnCancel;
    CToviButton m_btnMinimize;
    CToviButton m_btnMiddle;
    CToviButton m_btnClose;
    CButton m_chkClose;   // the system's check box: the skinned painters draw no check mark
    HICON m_hIcon = nullptr;
    CTransferTaskbar* m_pTaskbar = nullptr;
    bool m_bComInit = false;
    bool m_bWsaStarted = false;          // paired with the release at destruction
    CVantelDialog* m_pResultList = nullptr; // the result list while it is open
};

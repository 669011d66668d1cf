// CDownloadDlg: the download window and its procedure. It expands the server folders of the job
// into a flat list of items, opens a session of its own, and runs a worker that makes the local
// folders and fetches each file: a local file of the same name is compared with the server's
// copy by its Adler-32, so that it is resumed, skipped as identical or, after asking, replaced.
//
// Threads: the window's own (handlers below), the list-filling thread, the download worker and
// the connection's receive thread. Workers change controls only through RunOnUi (a sent
// message); the item lists are locked because the caller's thread hands items in.
#pragma once
#include "ListCtrl.h"
#include "ToviButton.h"
#include "ToviMessages.h"
#include "ToviProgressCtrl.h"
#include "ToviProto.h"
#include "TransferRate.h"
#include "VantelDialog.h"
#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

class CWinThread;
class CTransferTaskbar;

// Messages of the download window (the progress and cancel query come from the connection).
#define WM_DOWNLOAD_READY       (WM_USER + 10)
#define WM_DOWNLOAD_START       (WM_USER + 11)
#define WM_DOWNLOAD_END         (WM_USER + 12)
#define WM_END_DOWNLOAD_FORCE   (WM_USER + 33)
#ifndef WM_TOTAL_SIZE_UPDATE
#define WM_TOTAL_SIZE_UPDATE    (WM_USER + 52)
#endif
// Private: lParam a std::function<void()>* that runs on the window's thread.
#define WM_DOWNLOAD_INVOKE      (WM_USER + 201)

class TOVIINTERFACE_API CDownloadDlg : public CVantelDialog {
    DECLARE_DYNAMIC(CDownloadDlg)
public:
    // Results of the folder and file steps.
    enum { DOWNLOAD_SUCCESS = 0, DOWNLOAD_CANCEL = 1, DOWNLOAD_SKIP = 2, DOWNLOAD_FAILED = -1, DOWNLOAD_STOP_FORCE = -2 };
    // Row statuses (string ids).
    enum : unsigned {
        kRowWaiting = 14094,
        kRowRunning = 14095,
        kRowDone = 14091,
        kRowPresent = 14097,
        kRowFailed = 14089,
        kRowStopped = 14090,
        kRowCancelled = 14064,
    };

    explicit CDownloadDlg(CWnd* pParent = nullptr);
    ~CDownloadDlg() override;

    // ---- Hand-over (the thread calls these) ----
    void CopySession(const CToviProto* session);
    // Takes the items; the caller's vector gets the window's previous, empty, list.
    void TakeItems(std::vector<_DOWNLOADINFO>& items);
    // From the caller's thread while the window runs: adds the items not listed yet and
    // restarts the transfer. False (and a message) while the list is being filled.
    bool AddItems(std::vector<_DOWNLOADINFO>& items);

    HWND m_hMainWnd = nullptr;

    // ---- State read by tests and the owner (any thread) ----
    int GetErrorCount() const { return m_nErrors; }
    int GetDoneCount() const { return m_nDone; }
    int GetSkippedCount() const { return m_nSkipped; }
    size_t GetExpandedCount();
    bool IsRunOver() const { return m_bRunOver; }
    bool IsForceClosed() const { return m_bForceClosed; }

    // Keeps the system awake while the worker runs; tests record the calls instead.
    typedef EXECUTION_STATE(WINAPI* ExecutionStateFn)(EXECUTION_STATE);
    static void SetExecutionStateHook(ExecutionStateFn fn);
    // The password prompt of a protected file: IDOK when the password typed gives the digest.
    // Tests put theirs in; null brings back the real CPasswordDlg.
    typedef int (*PasswordPromptFn)(HWND parent, const CString& fileName, const char* digest);
    static void SetPasswordPrompt(PasswordPromptFn fn);

protected:
    BOOL OnInitDialog() override;
    void OnCancel() override;
    void OnOK() override;
    void OnDestroy();
    BOOL OnEraseBkgnd(CDC* pDC);
    void OnCloseButton();
    void OnMinimizeButton();
    LRESULT OnDownloadProgress(WPARAM wParam, LPARAM lParam);
    LRESULT OnQueryCancel(WPARAM wParam, LPARAM lParam);
    LRESULT OnDownloadReady(WPARAM wParam, LPARAM lParam);
    LRESULT OnDownloadStart(WPARAM wParam, LPARAM lParam);
    LRESULT OnDownloadEnd(WPARAM wParam, LPARAM lParam);
    LRESULT OnTotalSizeUpdate(WPARAM wParam, LPARAM lParam);
    LRESULT OnInvoke(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    // ---- Window (DownloadDlg.cpp) ----
    void SetupControls();
    void RunOnUi(const std::function<void()>& work);
    void SetBarText(CToviProgressCtrl& bar, const CString& text, int percent);
    void SetMarquee(bool on);
    void UpdateProgress();
    void NotifyTaskbar(const CString& text, int kind);
    int ShowMessage(const CString& text, UINT type);
    void EndDownload();
    void StopWorkers();
    void WaitForThread(CWinThread*& thread);
    bool IsAlive(CWinThread* thread);
    CToviProto* MakeSession();

    // ---- List (DownloadDlgList.cpp) ----
    static UINT SetListDataThread(LPVOID param);
    static UINT AddListDataThread(LPVOID param);
    // Appends the folder's contents, depth first, to out. -1 when a listing failed.
    int GetDownloadList(CToviProto& proto, const _DOWNLOADINFO& folder, std::vector<_DOWNLOADINFO>& out, int depth);
    void InsertDownloadItem(const _DOWNLOADINFO& item);
    void SetRowStatus(int row, unsigned textId);
    void SetRemainingRowsStatus(int row, unsigned textId);
    void InsertLogItem(int kind, const CString& text);
    void FreeRows();
    int FolderIcon(const _DOWNLOADINFO& item);

    // ---- Procedure (DownloadProcedure.cpp) ----
    static UINT DownloadThread(LPVOID param);
    int Download();
    int DownloadFolder(_DOWNLOADINFO item);
    int DownloadFile(_DOWNLOADINFO item);
    int DecryptWait(int row, HANDLE& file);
    // A failed request of the file step: the item's result, or kRetry.
    int Classify(int row, HANDLE& file);
    bool WaitRetryDelay();
    int StatusRow(const _DOWNLOADINFO& item);
    std::string AskConflict(const CString& path, int row, bool& cancelled);
    bool IsMarkedSite() const;
    void CloseFile(HANDLE& file);
    static EXECUTION_STATE CallExecutionState(EXECUTION_STATE state);

    // ---- Session fields copied from the caller ----
    char m_szUserId[33] = {};
    char m_szHost[128] = {};
    int m_nPort = -1;
    char m_szCode[16] = {};
    char m_szLoginId[10] = {};
    CString m_strCustomerCode;
    _OPTION_INFO m_option = {};
    char m_szConnectTimeout[5] = {};
    char m_szSocketTimeout[5] = {};
    char m_szRetryTimeout[5] = {};
    char m_szRetryCount[5] = {};

    // ---- Items (m_itemsLock) ----
    std::mutex m_itemsLock;
    std::vector<_DOWNLOADINFO> m_input;
    std::vector<_DOWNLOADINFO> m_added;
    std::vector<_DOWNLOADINFO> m_expanded;
    std::vector<_DOWNLOADINFO> m_remarks;

    // ---- Procedure state ----
    CToviProto* m_pProto = nullptr;
    std::atomic<bool> m_bCancel{false};
    std::atomic<bool> m_bListBusy{false};
    std::atomic<bool> m_bForceClosed{false};
    std::atomic<bool> m_bRunOver{false};
    size_t m_nCurrentIndex = 0;
    int m_nCurrentRow = 0;
    std::atomic<int> m_nErrors{0};
    std::atomic<int> m_nDone{0};
    std::atomic<int> m_nSkipped{0};
    bool m_bApplyAll = false;
    std::string m_strApplyMode;
    CString m_strFileName;
    wchar_t m_wszRemark[1024] = {};

    // ---- Progress (window thread) ----
    __int64 m_nFileSize = 0;
    __int64 m_nFileReceived = 0;
    __int64 m_nRunReceived = 0;
    __int64 m_nRunTotal = 0;
    int m_nListedRows = 0;
    CTransferRate m_rate;
    CString m_strLastRate;
    ULONGLONG m_nLastShown = 0;

    // ---- Threads ----
    CWinThread* m_pListThread = nullptr;
    CWinThread* m_pWorker = nullptr;

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
    CToviButton m_chkClose;
    HICON m_hIcon = nullptr;
    CTransferTaskbar* m_pTaskbar = nullptr;
    bool m_bComInit = false;
};

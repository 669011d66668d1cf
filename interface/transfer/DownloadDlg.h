// CDownloadDlg: the download window and its procedure. It expands the server folders of the job
// into a flat list of items, opens a session of its own, and runs a worker that makes the local
// folders and fetches each file: a local file of the same name is compared with the server's
// copy by its Adler-32, so that it is resumed, skipped as identical or, after asking, replaced.
//
// Threads: the window's own (handlers below), the list-filling thread, the download worker and
// the connection's receive thread. Workers change controls only on the window's thread (sent
// when they need an answer, posted when it only shows); the item lists are locked because the
// caller's thread hands items in.
#pragma once
#include "ToviMessages.h"
#include "ToviProto.h"
#include "TransferDlg.h"
#include <map>
#include <mutex>
#include <string>
#include <vector>

// Messages of the download window (the progress and cancel query come from the connection).
#define WM_DOWNLOAD_READY       (WM_USER + 10)
#define WM_DOWNLOAD_START       (WM_USER + 11)
#define WM_DOWNLOAD_END         (WM_USER + 12)
#define WM_END_DOWNLOAD_FORCE   (WM_USER + 33)
#ifndef WM_TOTAL_SIZE_UPDATE
#define WM_TOTAL_SIZE_UPDATE    (WM_USER + 52)
#endif

class TOVIINTERFACE_API CDownloadDlg : public CTransferDlg {
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
    // The server's words when it ended the session; final once the thread has ended.
    const CString& ForceCloseText() const { return m_strForceCloseText; }

    // The password prompt of a protected file: IDOK when the password typed gives the digest.
    // CPasswordDlg's by default.
    typedef int (*PasswordPromptFn)(HWND parent, const CString& fileName, const char* digest);
    static PasswordPromptFn s_pfnPasswordPrompt;

protected:
    BOOL OnInitDialog() override;
    void OnCancel() override;
    void OnOK() override;
    void OnDestroy();
    void OnCloseButton();
    LRESULT OnDownloadProgress(WPARAM wParam, LPARAM lParam);
    LRESULT OnQueryCancel(WPARAM wParam, LPARAM lParam);
    LRESULT OnDownloadReady(WPARAM wParam, LPARAM lParam);
    LRESULT OnDownloadStart(WPARAM wParam, LPARAM lParam);
    LRESULT OnDownloadEnd(WPARAM wParam, LPARAM lParam);
    LRESULT OnTotalSizeUpdate(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()
    bool OnRelayReport(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void RefreshProgress() override;

private:
    // ---- Window (DownloadDlg.cpp) ----
    void SetBarText(CToviProgressCtrl& bar, const CString& text, int percent);
    void EndDownload();
    void StopWorkers();

    // ---- List (DownloadDlgList.cpp) ----
    static UINT SetListDataThread(LPVOID param);
    static UINT AddListDataThread(LPVOID param);
    // Appends the folder's contents, depth first, to out. -1 when a listing failed.
    int GetDownloadList(CToviProto& proto, const _DOWNLOADINFO& folder, std::vector<_DOWNLOADINFO>& out, int depth);
    // Rows for the items, a batch at a time on the window's thread.
    void InsertDownloadItems(const std::vector<_DOWNLOADINFO>& items);
    void InsertDownloadItem(const _DOWNLOADINFO& item);
    // The shell's icon of a file's kind, asked once per extension (window thread).
    int FileIcon(const wchar_t* name);
    // Any thread: a row's status (from row on, every row's: SetRemainingRowsStatus) and the
    // item the worker is on are shown when the window gets to them, all waiting changes in one
    // go: a run of small files never waits for the list to paint.
    void SetRowStatus(int row, unsigned textId);
    void SetRemainingRowsStatus(int row, unsigned textId);
    void ShowItem(const CString& name, const CString& serverPath, bool file);
    void RequestDisplay();
    void ApplyDisplay();   // window thread
    // A line of the error list naming the item the worker is on.
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

    char m_szLoginId[10] = {};

    // ---- Items (m_itemsLock) ----
    std::mutex m_itemsLock;
    std::vector<_DOWNLOADINFO> m_input;
    std::vector<_DOWNLOADINFO> m_added;
    std::vector<_DOWNLOADINFO> m_expanded;
    std::vector<_DOWNLOADINFO> m_remarks;

    // ---- Procedure state ----
    CToviProto* m_pProto = nullptr;
    std::atomic<bool> m_bListBusy{false};
    std::atomic<bool> m_bForceClosed{false};
    CString m_strForceCloseText;
    std::atomic<bool> m_bRunOver{false};
    size_t m_nCurrentIndex = 0;
    int m_nCurrentRow = 0;
    std::atomic<int> m_nErrors{0};
    std::atomic<int> m_nDone{0};
    std::atomic<int> m_nSkipped{0};
    bool m_bApplyAll = false;
    std::string m_strApplyMode;
    CString m_strFileName;    // window thread: the name the progress shows
    CString m_strWorkItem;    // worker thread: the item its log lines name
    std::atomic<int> m_nRowCount{0};        // rows in the list, for the worker
    wchar_t m_wszRemark[1024] = {};

    // ---- Display waiting for the window (m_displayLock) ----
    struct RowChange {
        int row;
        unsigned textId;
        bool rest;   // this row and all after it
    };
    std::mutex m_displayLock;
    std::vector<RowChange> m_rowChanges;
    bool m_bItemChanged = false;
    bool m_bItemIsFile = false;
    CString m_strItemName;
    CString m_strItemPath;
    std::atomic<bool> m_bDisplayPosted{false};

    // ---- Progress (window thread) ----
    int m_nListedRows = 0;
    std::map<std::wstring, int> m_fileIcons;   // extension to icon

    // ---- Threads ----
    CWinThread* m_pListThread = nullptr;
    CWinThread* m_pWorker = nullptr;

    // ---- Controls ----
    CButton m_chkClose;   // the system's check box: the skinned painters draw no check mark
};

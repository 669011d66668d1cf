// CRestoreDlg: the restore window. It shows one backup policy, lets the user choose what happens
// to files that already exist and where the folders go back to, and on "Restore" runs a worker
// on a session of its own: it lists the policy's backed-up tree on the server, makes the local
// folders, fetches the files (resuming, skipping or replacing existing ones), and writes a
// restore run log.
//
// Threads: the window's own (every handler below), the worker, and the connection's receive
// thread, which sends WM_DOWNLOAD_PROGRESS and WM_DOWNLOAD_QUERY_CANCEL to this window while it
// writes a file. The worker changes controls only through RunOnUi (a sent message), so the
// window's thread pumps messages whenever it waits for the worker.
#pragma once
#include "ToviInterfaceApi.h"
#include "BackupLog.h"
#include "ShareCommon.h"
#include "ToviButton.h"
#include "ToviProgressCtrl.h"
#include "ToviRegistry.h"
#include "VantelDialog.h"
#include <atomic>
#include <functional>
#include <vector>

class CToviProto;
class CTransferTaskbar;
class CWinThread;
struct _PROTO_FOLDER_INFO;

// Messages of the restore window (progress and cancel query come from the connection).
#define WM_RESTORE_START        (WM_USER + 11)
// Private: lParam a std::function<void()>* that runs on the window's thread.
#define WM_RESTORE_INVOKE       (WM_USER + 202)

// One folder or file to restore, in listing order.
struct _RESTORE_ITEM_INFO {
    char Type[2];               // "D" folder, "F" file
    char ItemId[10];
    char FolderId[10];
    char FolderKind[2];
    char ShareFlagA[2];
    char Code3[2];
    char ShareFlagB[2];
    char Owner[13];
    char Version[8];            // always "0": the current version
    wchar_t Name[512];
    wchar_t ModifiedTime[24];   // the server's text; empty when the record has none
    wchar_t ServerPath[512];    // the folder that holds the item
    char Size[21];
    char Checksum[21];          // filled per file
    char FileKey[33];
    char PasswordDigest[65];    // never asked for
    CString LocalFolder;        // the local folder that receives the item
    CString ServerPathText;
};

class TOVIINTERFACE_API CRestoreDlg : public CVantelDialog {
    DECLARE_DYNAMIC(CRestoreDlg)
public:
    // Results of the folder and file steps.
    enum { kDone = 0, kCancelled = 1, kNext = 2, kStop = -1, kSessionEnded = -2 };
    // What happens to a file that is already there.
    enum { kOptionSkip = 0, kOptionOverwrite = 1, kOptionNewer = 2 };
    enum class Step { Resume, Complete, Skip, Overwrite, FromStart };

    explicit CRestoreDlg(CWnd* pParent = nullptr);
    ~CRestoreDlg() override;

    // ---- Hand-over (the thread calls these before the window exists) ----
    void CopySession(const CToviProto* session);
    HWND m_hOwner = nullptr;
    CString m_strPolicyKey;
    // Where the run logs go instead of the user's documents folder.
    void SetLogDocumentsFolder(const CString& folder) { m_log.SetDocumentsFolder(folder); }

    // What to do with an existing local file, from the server's match answer, the sizes, the
    // overwrite option and, for option 2, the server's modification time text (user locale)
    // against the local file's last write (local time). Skip when either date is unreadable.
    static Step DecideExisting(const char* answer, __int64 serverSize, __int64 localSize, int option,
                               const wchar_t* serverTime, const SYSTEMTIME& localWrite);

    // The folder chooser of the folder button: the shell's by default.
    typedef bool (*FolderPickerFn)(HWND owner, CString& folder);
    static FolderPickerFn s_pfnPickFolder;

    // ---- State read by tests and the owner (any thread) ----
    bool IsRunOver() const { return m_bRunOver; }
    bool IsForceClosed() const { return m_bForceClosed; }
    int GetFailCount() const { return m_nFailed; }

protected:
    BOOL OnInitDialog() override;
    void OnCancel() override;
    void OnOK() override;
    void OnDestroy();
    BOOL OnEraseBkgnd(CDC* pDC);
    HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    void OnCloseButton();
    void OnMinimizeButton();
    void OnRestoreButton();
    void OnFormerPlace();
    void OnChooseFolder();
    LRESULT OnRestoreStart(WPARAM wParam, LPARAM lParam);
    LRESULT OnDownloadProgress(WPARAM wParam, LPARAM lParam);
    LRESULT OnQueryCancel(WPARAM wParam, LPARAM lParam);
    LRESULT OnInvoke(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    // ---- Window (RestoreDlg.cpp) ----
    void ApplyLook();
    void SetupControls();
    void RunOnUi(const std::function<void()>& work);
    void ShowMessage(const CString& text);
    void SetProgressText(const CString& text, int percent);
    void SetMarquee(bool on);
    void NotifyEnd(int kind);
    bool OpenSession();
    void Stop();

    // ---- Worker (RestoreDlgWork.cpp) ----
    static UINT RestoreThread(LPVOID param);
    bool BuildList();
    bool ListFolder(const char* idx, const char* didx, const char* kind, std::vector<_PROTO_FOLDER_INFO>& out);
    bool AddFolderContents(const _RESTORE_ITEM_INFO& folder);
    void AddItem(const _PROTO_FOLDER_INFO& record, const CString& localFolder, const CString& serverPath);
    bool LocalFolderOf(const char* recordIdx, CString& folder) const;
    void RunRestore();
    int RestoreFolder(const _RESTORE_ITEM_INFO& item);
    int RestoreFile(_RESTORE_ITEM_INFO& item);
    int TransferFailed(const CString& local, HANDLE& file, bool createdNew);
    void ShowItem(const _RESTORE_ITEM_INFO& item, bool file);

    // ---- Run log ----
    bool CreateRestoreLog();
    bool InsertRestoreLog(const CString& path, const wchar_t* kind, __int64 size, const wchar_t* status);
    bool UpdateRestoreLog(const CString& path, const wchar_t* status, const CString& message);
    bool EndRestoreLog(const CString& status, const CString& remarks);

    // ---- Session fields copied from the caller ----
    share::SessionBlock m_session;
    CString m_strCustomerCode;
    char m_szFactor[8] = {};
    CToviProto* m_pProto = nullptr;

    // ---- Policy ----
    bool m_bPolicyRead = false;
    _BACKUP_POLICY_INFO m_policy = {};
    CFolderPathMap m_folders;
    int m_nStoredOverwrite = 0;
    int m_nOverwrite = kOptionSkip;
    CString m_strRestoreFolder;

    // ---- Run (worker, between transfers; progress on the window's thread) ----
    std::vector<_RESTORE_ITEM_INFO> m_items;
    unsigned __int64 m_nTotalSize = 0;
    unsigned __int64 m_nRunDone = 0;
    unsigned __int64 m_nFileSize = 0;
    unsigned __int64 m_nFileDone = 0;
    CString m_strTotalSize;
    std::atomic<int> m_nFailed{0};
    int m_nSkipped = 0;
    int m_nOverwritten = 0;
    std::atomic<bool> m_bCancel{false};
    std::atomic<bool> m_bForceClosed{false};
    std::atomic<bool> m_bRunOver{false};
    CBackupLog m_log{1};
    wchar_t m_wszMessage[1024] = {};

    // ---- Window ----
    CWinThread* m_pWorker = nullptr;
    CTransferTaskbar* m_pTaskbar = nullptr;
    bool m_bComInit = false;
    HICON m_hIcon = nullptr;
    CToviProgressCtrl m_bar;
    CToviButton m_btnRestore, m_btnFolder, m_btnCancel;
    CToviButton m_btnMinimize, m_btnMiddle, m_btnClose;
};

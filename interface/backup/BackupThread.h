// CBackupThread: one backup run of one backup policy on a session of its own. The backup
// program creates it suspended from its run-time class, calls SetBackupInfo (which takes the
// backup target folder from the session's options), and resumes it; it sets m_bCancel to
// stop the run. The owner gets WM_BACKUP_START and WM_BACKUP_FOLDER_RESULT (sent) and
// WM_BACKUP_END (posted, always last; lParam a new CString with the policy key that the
// receiver deletes). After a run that reached its end the thread waits in its message loop
// for WM_QUIT; after an early end it ends at once.
//
// The status window gets WM_BACKUP_TOTAL_SIZE (_BACKUP_SIZE_INFO), WM_BACKUP_FULL_PATH
// (_BACKUP_PATH_INFO) and WM_UPLOAD_POLICY_PROGRESS (_UPLOAD_POLICY_PROGRESS), all sent.
#pragma once
#include "ToviInterfaceApi.h"
#include "BackupLog.h"
#include "ToviMessages.h"
#include "ToviProtoTypes.h"
#include "ToviRegistry.h"
#include "WinThread.h"
#include <atomic>
#include <cstdint>

class CToviProto;
class CWnd;

// Records of the status window's messages.
struct _BACKUP_PATH_INFO {
    wchar_t PolicyKey[15];
    wchar_t Path[260];
};
struct _BACKUP_SIZE_INFO {
    wchar_t PolicyKey[15];
    __int64 Bytes;
};
struct _BACKUP_RESULT_INFO {
    wchar_t PolicyKey[15];
    wchar_t Text[128];
};

class TOVIINTERFACE_API CBackupThread : public CWinThread {
    DECLARE_DYNCREATE(CBackupThread)
public:
    CBackupThread();
    ~CBackupThread() override;

    // Before the thread is resumed. The session is read (a logged-in one), never kept.
    void SetBackupInfo(CWnd* owner, HWND statusWnd, CToviProto* session, CString policyKey);
    // The server folder under which the policy's folder is made; SetBackupInfo sets the
    // session's. An empty index leaves the target as it was.
    void SetBackupTarget(const char* folderIdx, const char* folderDidx);
    // Where the run logs go instead of the user's documents folder.
    void SetLogDocumentsFolder(const CString& folder) { m_log.SetDocumentsFolder(folder); }
    void GetGroupKey();

    BOOL InitInstance() override;
    int Run() override;
    int ExitInstance() override;

    // Run-log steps.
    bool CreateBackupLog(const COleDateTime& start);
    bool InsertBackupLog(CString path, CString type, __int64 size, CString status);
    bool UpdateBackupLog(CString path, CString status, CString error);
    bool EndBackupLog(const COleDateTime& start, CString status, CString remarks);

    // Run steps.
    int GetBackupFilesInfo(CString policyKey);
    void ScannerDir(CString folder);
    int UploadPolicyFolder(CString name, char* index, char* key);
    int UploadFolder(bool top, CString path, char* index, char* key);
    int UploadFile(CString path, char* index, char* key);

    CWnd* m_pOwner = nullptr;
    HWND m_hStatusWnd = nullptr;
    CToviProto* m_pProto = nullptr;
    CString m_strPolicyKey;
    _BACKUP_POLICY_INFO m_policy = {};
    CFolderPathMap m_folders;
    unsigned __int64 m_nTotalBytes = 0;
    wchar_t m_wszFileError[1024] = {};
    char m_szGroupKey[21] = {};
    CBackupLog m_log;
    CString m_strListPath;
    int m_nUploaded = 0, m_nFailed = 0, m_nSkipped = 0, m_nOverwritten = 0;
    int m_nOverwriteMode = -1;
    char m_szSessionId[33] = {};
    char m_szHost[128] = {};
    char m_szCode[16] = {};
    int m_nPort = 0;
    CString m_strCustomerCode;
    char m_szFactor[8] = {};
    char m_szTargetIdx[10] = {};
    char m_szTargetDidx[10] = {};
    std::atomic<bool> m_bCancel{false};
    char m_szConnectTimeout[5] = {};
    char m_szSocketTimeout[5] = {};

private:
    static LRESULT CALLBACK RelayProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
    bool Connect();
    bool MakeRelayWindow();
    void SendPath(const CString& path);
    void SendProgress(__int64 bytes);
    void SendResult(const CString& text);
    void PostEnd();
    void EndEarly(bool logged);
    // Fail an item: log it, count it, give back result.
    int FailItem(const CString& path, const CString& text, int result);
    // The keys of the folder name under the parent, from a listing of the parent: a server
    // that answers "already there" names no keys. False when the listing fails or has none.
    bool ExistingFolderKeys(const char* parentIdx, const char* parentDidx, const CString& name, char* idx,
                            char* didx);

    HWND m_hRelay = nullptr;          // our own window for the stream's throttle and progress
    uint64_t m_nStreamBytes = 0;      // bytes the current stream reported sent
    CString* m_pEndKey = nullptr;
    COleDateTime m_start;
};

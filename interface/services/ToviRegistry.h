// The client's per-user settings store: static operations over HKEY_CURRENT_USER, one key per
// product, and the backup product's policies.
//
// No state: every operation opens the key it needs, reads or writes, closes it and returns.
// Callable from any thread. Failures are reported only by the result (false, or an empty
// text) and traced; nothing throws and nothing is shown.
#pragma once
#include "ToviInterfaceApi.h"
#include "Strings.h"
#include <windows.h>
#include <map>
#include <vector>

// Product index: the first argument of most operations, selecting the product's key.
enum ProductType {
    PRODUCT_EXPLORER = 0,
    PRODUCT_DRIVE = 1,
    PRODUCT_BACKUP = 2,
    PRODUCT_DRIVE_ALT = 3,
};

// One backup policy as the policy list and editor see it. Texts are zero-terminated and cut
// to their arrays.
struct _BACKUP_POLICY_INFO {
    wchar_t PolicyID[15];
    wchar_t PolicyName[128];
    wchar_t PolicyDesc[1024];
    wchar_t CreateTime[21];
    wchar_t StartTime[21];
    wchar_t TotalSize[21];
    wchar_t BackupResult[128];
    char FolderIDX[10];         // ANSI
    unsigned int Reserved;      // left 0 here
    int BackupCycle;            // -1 without a schedule, else the schedule kind
};

// One folder of a backup policy.
struct _FOLDER_PATH_INFO {
    wchar_t TreePath[1024];
    wchar_t FullPath[260];
    wchar_t FolderIDX[10];
};

// A policy's folders, keyed by full path when read back.
typedef std::map<CString, _FOLDER_PATH_INFO> CFolderPathMap;

class TOVIINTERFACE_API CToviRegistry {
public:
    // Server address and update URL (indices 0-2).
    static bool SetServerDebugLevel(int index);
    static bool SetServerAddress(int index, CString server, int port, CString updateUrl);
    // server and debugLevel: caller-zeroed ANSI buffers of at least 256 bytes, filled without
    // a terminator; updateUrl: 128 characters.
    static bool GetServerAddress(int index, char* server, int* port, char* debugLevel, wchar_t* updateUrl);

    static bool SetMessageBoxTitle(int index, CString title);
    static bool GetMessageBoxTitle(int index, CString& title);
    static bool SetMainTitle(int index, CString title);
    static bool GetMainTitle(int index, CString& title);
    static bool SetDialogFont(int index, CString face);
    static bool GetDialogFont(int index, CString& face);
    // Primary language ids 0x12, 0x09, 0x11, stored as the LCID texts "1042", "1033", "1041".
    static bool SetLanguage(int index, unsigned short language);
    static bool GetLanguage(int index, unsigned short* language);
    // Indices 0-3; empty when the key or value is missing.
    static CString GetInstallDir(int index);

    // The stored log-in: the user id and password are kept enciphered. A negative flag leaves
    // the stored flag (and, for both flags, the stored texts) alone.
    static bool SetUserInfo(int index, int saveUserId, int autoLogin, int runExplorer,
                            CString userId, CString password, CString domain);
    static bool GetUserInfo(int index, int* saveUserId, int* autoLogin, int* runExplorer,
                            CString& userId, CString& password, CString& domain);
    // Indices 0 and 3. An empty id clears the stored one (log-out).
    static bool SetSessionID(int index, const char* sessionId);
    // Copies the deciphered id with a terminator, cut to bufferSize bytes.
    static bool GetSessionID(int index, char* buffer, int bufferSize);

    // Indices 0 and 3.
    static bool SetSSOID(int index, CString id);
    static bool GetSSOID(int index, CString& id);
    static bool SetUseSSO(int index, CString use);
    static bool GetUseSSO(int index, CString& use);
    static bool GetNoCustom(int index, CString& noCustom);
    static bool SetCustomFlag(int index, CString flag);
    static bool GetCustomFlag(int index, CString& flag);
    static bool SetUpdateUrl(int index, CString url);
    static bool GetUpdateUrl(int index, CString& url);

    // Explorer key only.
    static bool SetDelScheduleTime(CString time);
    static bool GetDelScheduleTime(CString& time);
    static bool GetUseFrame(int* useFrame);
    static bool SetLastFullPath(CString& serverPath, CString& localPath);
    static bool GetLastFullPath(CString& serverPath, CString& localPath);

    // Drive key only.
    static bool SetDriveInfo(CString remoteName, CString driveName);
    static bool GetDriveInfo(CString& remoteName, CString& driveName);
    static bool RemoveDriveInfo();
    // Explorer's label of a mapped drive.
    static bool SetDriveName(wchar_t* server, wchar_t* label, wchar_t* share);
    // True when the label key is gone afterwards (also when there was none).
    static bool RemoveDriveName(wchar_t* server, wchar_t* share);

    // Start with Windows (indices 0-2).
    static bool GetAutoRun(int index);
    static bool SetAutoRun(int index, bool on);

    // Any text value of any key under HKEY_CURRENT_USER, empty when missing.
    static CString GetADInfo(const wchar_t* subKey, const wchar_t* valueName);

    // Backup policies (keys of the backup product).
    static bool IsEnableBackupPolicyName(CString name);
    // Rewrites the policy's folders as Path[00], Path[01]... in map order. A folder's
    // FolderIDX comes from its entry, or else is kept from the stored folder of the same full
    // path. Entries that could not be read back (empty or too long paths) are refused before
    // anything is written. The save is all or nothing: when a write fails, names, times and
    // folders are put back as they were (a policy that the save created is removed).
    static bool SetBackupPolicy(CString id, CString name, CString description, CString createTime,
                                CFolderPathMap& folders, int overwrite);
    // Deletes every subkey of an open policy key; false when one cannot be deleted.
    static bool RemoveBackupFolders(HKEY policyKey);
    static bool GetBackupPolicyList(std::vector<_BACKUP_POLICY_INFO>& policies);
    static bool GetBackupPolicy(CString id, _BACKUP_POLICY_INFO* policy, CFolderPathMap& folders, int* overwrite);
    static bool SetBackupCycle(CString id, int reservation, int kind, CString date, int weekday,
                               CString time, CString nextRun);
    static bool GetBackupCycle(CString id, int* reservation, int* kind, CString& date, int* weekday, CString& time);
    // Stores the run after lastRun ("YYYY-MM-DD HH:MM[:SS]", as NextBackupTime is written).
    static bool SetNextBackupTime(CString id, CString lastRun);
    static bool UpdateBackupInfo(CString id, CString startTime, CString totalSize, CString result);
    static bool SetBackupPolicyID(int target, CString id, CString fullPath, CString folderIndex);
    static bool RemoveBackupPolicy(CString id);

    // The schedule arithmetic of SetNextBackupTime, without the registry: kind 1 daily, 2
    // weekly, 3 monthly on day monthDay (the month's last day when it is shorter). False for
    // a kind that computes nothing (0 and unknown kinds) or an unreadable lastRun.
    static bool ComputeNextBackupDate(int kind, int monthDay, CString lastRun, CString& nextDate);
};

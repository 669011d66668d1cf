// Window messages and job records that cross between the main program, the interface library
// and the backup program. Every value here is fixed: the programs are built and updated apart,
// so a number must never move.
//
// Ownership of message data:
// - Sent messages (SendMessage): whatever the parameters point to stays the sender's and is valid
//   only during the call. The receiver copies what it keeps.
// - Posted messages that carry a heap object: the object belongs to the receiver, which deletes
//   it. Each message below says which.
#pragma once
#include <windows.h>
#include <cstdint>
#include "Strings.h"

// ---- To the main program -------------------------------------------------------------------

// Posted by the login dialog to its owner (the main frame) when its window goes, unless the
// frame removed it (CLoginThread::SetRemove). wParam 1 logged in, 0 not; lParam 0. From then on
// the session object is the frame's again.
#define WM_LOGIN_RESULT             (WM_USER + 3)
// Posted by the login dialog to its owner when the user picked another language. wParam: the
// primary language id (0x12, 0x09, 0x11); lParam 0.
#define WM_LOCALE_CHANGE            (WM_USER + 30)
// Sent to the owner of the version list. wParam: const _PROTO_VERSION_INFO* (the chosen version),
// lParam: const wchar_t* destination folder. Both valid during the call only.
#define WM_VERSION_DOWNLOAD         (WM_USER + 13)
// Posted by the download thread to the window it was handed, when the thread ends. wParam: the
// DOWNLOAD_EXIT_ flags below; lParam 0.
#define WM_DOWNLOAD_THREAD_EXIT     (WM_USER + 14)
// Flag of WM_DOWNLOAD_THREAD_EXIT: some item of the run could not be downloaded. The server's
// copy has most likely changed since the list showed it (gone, moved, locked), so the receiver
// lists the server folder again to show what is there now.
#define DOWNLOAD_EXIT_REFRESH_SERVER 0x0001
// Posted by the upload window to its owner at the end of a run and when Cancel stops a running
// worker. wParam: the ItemData of the last _UPLOADINFO processed; lParam 0.
#define WM_UPLOAD_DONE              (WM_USER + 20)
// Posted by the upload thread to its owner when the thread ends. 0, 0.
#define WM_UPLOAD_THREAD_EXIT       (WM_USER + 21)
// Posted to the main window: refresh the alert counters. 0, 0.
#define WM_ALERT_UPDATE             (WM_USER + 28)
// Sent with 0, 0 to the help window that a share dialog was given: show the permission help.
#define WM_SHOW_HTML_POPUP          (WM_USER + 50)
// Sent by the search dialog to its owner view. wParam: _SEARCH_GOTO_FOLDER* allocated with new;
// the receiver deletes both strings and the record. lParam 0.
#define WM_SEARCH_GOTO_FOLDER       (WM_USER + 69)
// Sent by the search dialog to its owner when it is destroyed: the owner forgets it. 0, 0.
#define WM_SEARCHDLG_CLOSED         (WM_USER + 70)
// Sent to the splitter by the upload window (and by the web pop-up's approval call).
// wParam: const wchar_t* comma-separated result indexes, NUL-terminated, valid during the call
// only; lParam 0.
#define WM_UPLOAD_APPROVAL          (WM_USER + 81)
// Sent to the server tree view. wParam: CString* allocated with new, holding a server folder
// path; the receiver deletes it. lParam 0.
#define WM_OPEN_SHORTCUT_PATH       (WM_USER + 84)
// Sent by the web pop-up's refresh call to the server file pane. 0, 0.
#define WM_APPROVAL_REFRESH         (WM_USER + 85)
// Sent to the splitter in the order BEGIN, one ITEM per file, RUN.
// ITEM: wParam const _PROTO_SEARCH_INFO* (the hit), lParam const wchar_t* destination folder
// (up to 260 characters); both valid during the call only. BEGIN and RUN: 0, 0.
#define WM_SEARCH_DOWNLOAD_RUN      (WM_USER + 86)
#define WM_SEARCH_DOWNLOAD_BEGIN    (WM_USER + 87)
#define WM_SEARCH_DOWNLOAD_ITEM     (WM_USER + 88)

// ---- To the backup program ------------------------------------------------------------------

// Posted to the backup worker's owner. wParam 0, lParam: CString* allocated with new, holding the
// policy key; the receiver deletes it.
#define WM_BACKUP_CANCEL            (WM_USER + 7)
#define WM_BACKUP_END               (WM_USER + 53)
// Sent. wParam 0, lParam: const _BACKUP_START_INFO*, valid during the call only.
#define WM_BACKUP_START             (WM_USER + 57)
// Sent. wParam 0, lParam: const _BACKUP_RESULT_INFO* (policy key, "FAIL" or the run's final
// status text), valid during the call only.
#define WM_BACKUP_FOLDER_RESULT     (WM_USER + 58)
// Sent by the backup worker to its status window; lParam valid during the call only:
// _BACKUP_SIZE_INFO with the run's total bytes, _BACKUP_PATH_INFO with the item now handled.
#define WM_BACKUP_TOTAL_SIZE        (WM_USER + 54)
#define WM_BACKUP_FULL_PATH         (WM_USER + 55)
// Posted by the restore thread to its owner when it ends. wParam 0, lParam: CString* allocated
// with new, holding the policy key; the receiver deletes it.
#define WM_RESTORE_THREAD_EXIT      (WM_USER + 65)

// ---- Records ---------------------------------------------------------------------------------

// Shell attribute bit of _UPLOADINFO::Attributes that marks a folder.
#define UPLOADINFO_FOLDER 0x20000000u

// One upload job item, built by the explorer panes and handed to CUploadThread.
struct _UPLOADINFO {
    CString LocalPath;          // full local path of the file or folder
    char FirstId[10];           // target server folder: first identifier, NUL-terminated
    char SecondId[10];          // target server folder: second identifier, NUL-terminated
    DWORD_PTR ItemData;         // handed back as wParam of WM_UPLOAD_DONE
    DWORD Attributes;           // shell attributes; UPLOADINFO_FOLDER for a folder
};

// One download job item, built by the explorer panes, the version list and the search dialog.
struct _DOWNLOADINFO {
    char Type[2];               // "D" folder, "F" file
    char ItemId[10];
    char FolderId[10];
    char FolderKind[2];
    char ShareFlagA[2];
    char Code3[2];
    char ShareFlagB[2];
    char Owner[13];             // 7th character '1': the master of a group folder
    char Version[8];            // decimal; "0" or empty: the current version
    wchar_t Name[512];
    wchar_t ServerPath[512];    // the parent folder's path on the server
    char Size[21];              // decimal bytes
    char Checksum[21];          // written by the download
    char FileKey[33];
    char PasswordDigest[65];    // empty when the file is not protected
    CString DestRoot;
    CString DestFolder;
};

// The record of WM_SEARCH_GOTO_FOLDER.
struct _SEARCH_GOTO_FOLDER {
    int IsFile;                 // 1: the hit is a file, 0: a folder
    int Id1;
    int Id2;
    uint16_t ShortCode;
    CString* LocationPath;      // new; the receiver deletes it
    CString* SecondPath;        // new; the receiver deletes it
};

// The shortcut record (_SHORTCUT_LIST) is the connection library's, in ProtoShareRecords.h.

// The record of WM_BACKUP_START.
struct _BACKUP_START_INFO {
    wchar_t PolicyKey[15];
    wchar_t StartTime[21];      // "%Y-%m-%d %H:%M:%S"
    wchar_t TotalBytes[21];     // decimal
    wchar_t Title[128];
};

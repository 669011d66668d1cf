// Static file, system, locale, font, icon and process utilities of the whole client.
//
// Never instantiated; no state but the two version-text buffers. Callable from any thread
// (the version texts are overwritten by the next call of the same form: copy them at once).
// Failures are reported by the result (0, -1, false, null, empty text); nothing throws and
// nothing is shown.
#pragma once
#include "ToviInterfaceApi.h"
#include "Strings.h"
#include <windows.h>

class CWnd;

enum WindowsAccountType {
    WINDOWS_ACCOUNT_NONE = 0,
    WINDOWS_ACCOUNT_ADMINISTRATOR = 101,
    WINDOWS_ACCOUNT_POWER_USER = 102,
    WINDOWS_ACCOUNT_USER = 103,
    WINDOWS_ACCOUNT_GUEST = 104,
};

class TOVIINTERFACE_API CFileUtils {
public:
    // Sizes as the lists show them: "2KB", "4,768MB"; and in detail: "1.5 KB".
    static CString ConvertFileSize(__int64 bytes);
    static CString ConvertFileSize2(__int64 bytes);
    static CString ConvertFileSize2(CString bytes);
    // 0 when the file is not found.
    static __int64 GetFileSize(wchar_t* path);
    // The name and extension of a path.
    static CString GetFileName(wchar_t* path);
    // The new position; 0 for a null handle, -1 when the move fails.
    static __int64 Seek64(HANDLE file, __int64 distance, unsigned method);
    // Adler-32 of the first size bytes (0: the whole file), sampled in 20 chunks above
    // 100 MB; 0 when the file cannot be opened or is empty. Uploads and backups resume on it.
    static unsigned long ComputeChecksum(CString path, __int64 size);
    static HICON ToviLoadImage(unsigned resourceId, int cx, int cy);

    // The main window's placement in the application profile ("CorvaneIXO", "Pos"). A stored
    // value of any other size than a placement is left alone. Saving is false when there is no
    // application or main window, or the placement could not be read or stored.
    static void LoadPlacement(RECT* normal, bool keepShowState);
    static bool SavePlacement();

    // Windows version code: -1 unknown, 5 Windows 2000, 6 XP, 7 Server 2003 and anything
    // unlisted, 8 Vista, 9 Windows 7 (and 6.2 servers), 10 Windows 8.
    static int GetWindowsType();
    static void PrintWindowsType();
    // Applies a primary language id to the calling thread's locale and texts.
    static bool SetLocaleChange(unsigned short language);
    static CString GetFont(int index);
    static CString GetDlgFont(int index);
    static bool SetDlgFont(int index, CString face);
    // Natural file-name order of two CString* in the form qsort wants: file2 before file10.
    // CString is not moved safely byte by byte: sort CString arrays with std::sort.
    static int CompareFileName(const void* a, const void* b);

    // Product icons: the customised file under Documents\VariruDAD\Image, else the library's
    // icon resource; null for an index outside 0-2 or without either.
    static HICON GetMainIcon(int index);
    static HICON GetTrayOnIcon(int index);
    static HICON GetTrayOffIcon(int index);
    static HICON GetTrayRunIcon(int index);

    static int GetMemoryCheck();
    // 1 when the address answers one ICMP echo.
    static int GetNetConnect(const char* address);
    static int IsWow64();
    // Adapter addresses as "00-1A-2B-3C-4D-5E|00-50-56-C0-00-08".
    static CString GetMacList();

    static int IsExistFile(CString path);
    // 1 when the folder has anything in it; with create, 1 when it exists afterwards.
    static int IsExistFolder(CString folder, int create);
    // Creates every level of the path; 1 when the folder exists afterwards, else 0.
    static int CreateFolder(CString path);
    // Deletes the folder and everything in it; the result of removing the folder itself.
    static int DeleteFolder(const wchar_t* path);
    // 1 when a process of exactly this exe name runs; 0 otherwise, also when the processes
    // cannot be listed (traced).
    static int FindProcess(CString exeName);

    static int IsAdminAccount();
    static int IsPowerUserAccount();
    static int IsGuestAccount();
    static int IsUserAccount();
    static WindowsAccountType GetWindowsAccountType();

    // "v1.2.3.4" of the running program / "1,2,3,4" of a file, "Unknown" without a version.
    static wchar_t* GetFileVersionString();
    static wchar_t* GetFileVersionString(CString path);
    // The user of this process's terminal-services session.
    static CString GetUserNameW();
    // 1 when the server's dotted version is higher than the local one.
    static int IsHighVersion(CString serverVersion, CString localVersion);
    // "\r\n  - name.exe" per running process; empty when they cannot be listed.
    static CString GetProcessList();

    // The version code for a reported version, platform, product type and architecture.
    static int WindowsTypeOf(DWORD major, DWORD minor, DWORD platform, BYTE productType, WORD architecture);

    // The one way the client shows a message: the skinned message box on owner (may be null),
    // modal on the calling thread. type holds Windows MB_ flags (OK, OK/Cancel or Yes/No
    // buttons, an icon); the result is the pressed button's IDOK, IDCANCEL, IDYES or IDNO.
    // A caption configured for the edition replaces the given one. Defined in skin/, beside the box.
    static int ToviMessageBox(CWnd* owner, const wchar_t* text, const wchar_t* caption, unsigned type);
    // Checks a folder name the user typed: trims it in place (blanks in front, blanks and dots
    // at the end) and returns 0 when it is usable, else shows why in a message box on owner
    // (the foreground window of this process when null) and returns -1.
    static int CheckFolderName(CWnd* owner, CString& name);
    // The check alone, without a window: 0 for a usable name, else the id of the message text
    // that says what is wrong (12040 empty, 12076 too long, 12077 anything else). Trims name
    // as CheckFolderName does.
    static unsigned FolderNameFault(CString& name);
};

// The updater's update check: registry look-ups, the description reader, the file-by-file
// decision that builds the download list, the image description, the HTTP download and ending
// processes.
//
// One object per check or download, used on one thread. The description is input from outside:
// sections that would reach outside the install folder, lack a digest or name no file are left
// out of the list (traced), never downloaded.
#pragma once
#include "Strings.h"
#include "UpdateFileItem.h"
#include <windows.h>
#include <vector>

class CToviUpdate {
public:
    CToviUpdate();
    ~CToviUpdate();
    CToviUpdate(const CToviUpdate&) = delete;
    CToviUpdate& operator=(const CToviUpdate&) = delete;

    // UpdateURL of the product's key (at most 127 characters, also when empty), else ServerIP.
    static bool GetServerAddress(int index, CString& address);
    // InstallDir of the product's key (at most 259 characters), or empty.
    static CString GetInstallDir(int index);

    // The product family's folder in the user's documents ("...\\VariruDAD"); empty when the
    // documents folder cannot be found.
    static CString DownloadBase();

    // Appends one record per section of the INI file; -1 when it has none.
    int GetUpdateInfo(const CString& iniPath);
    // Builds the download list; true when it holds at least one file. owner: the owner of the
    // message boxes (null: none shown, for callers without a window).
    bool IsUpdate(int index, const CString& server, UpdateFileList& list, const CString& installDir, HWND owner);
    // Fetches and deciphers the image description into folder; 0 on success, -1 on failure.
    int ResetUpdateImage(const CString& folder, const CString& server);

    // Stores the body of url in path. True only for a 200 answer whose body arrived whole and
    // was written; a cancel (cancelEvent set) gives false. On false the file does not exist.
    // window (may be null) receives the progress messages, sent.
    bool HTTPDown(HANDLE cancelEvent, HWND window, const CString& url, const CString& path);

    // Ends the first process of that exact file name that can be opened; false when the
    // processes cannot be listed or the termination failed. With a folder, only programs
    // whose image lies inside that folder are considered.
    static bool KillProcess(const CString& exeName, const CString& insideFolder = CString());

    // ProductVersion of a file as "a.b.c.d"; false without one.
    static bool SHGetVersionOfFile(const CString& path, CString& version);
    // True when the dotted server version is higher than the local one.
    static bool CheckUpdate(const CString& localVersion, const CString& serverVersion);
    // SHA-1 of a file as 40 upper-case hexadecimal digits; empty when it cannot be read whole.
    static CString FileDigest(const CString& path);
    // A name or folder from a description that stays below the folder it is joined to: no
    // "..", no absolute path, no drive letter or other colon. Empty only when allowEmpty.
    static bool IsSafeRelativePath(const CString& path, bool allowEmpty);
    // Why a section may not be listed (null: it may): unsafe names, no digest.
    static const wchar_t* RefusalOf(const _UPDATE_MODULE_INFO& section);

    const std::vector<_UPDATE_MODULE_INFO>& Modules() const { return m_modules; }

    // Seams for what Wine cannot vary; each holds the real call.
    // The user's documents folder; false when it cannot be found.
    typedef bool (*DocumentsFolderFn)(CString& folder);
    static DocumentsFolderFn s_pfnDocumentsFolder;
    // TerminateProcess (Wine never refuses one).
    typedef BOOL (*TerminateProcessFn)(HANDLE process, UINT code);
    static TerminateProcessFn s_pfnTerminateProcess;

private:
    bool AddImages(int index, const CString& server, const CString& downloadFolder, const CString& imageFolder,
                   const CString& installDir, UpdateFileList& list, HWND owner);

    std::vector<_UPDATE_MODULE_INFO> m_modules;
};

// Builds an item from a section and its four paths and appends it to list.
void AddUpdateItem(const _UPDATE_MODULE_INFO& section, UpdateFileList& list, const CString& url,
                   const CString& downloadPath, const CString& targetPath, const CString& installedPath);

// The update check: fetches the enciphered update description over HTTP, compares every
// listed module with the installed file by version or SHA-1, replaces the update program when
// it is outdated, and removes customised images that no longer match their description.
//
// One object per check, used on one thread: the constructor keys the stored-data cipher and
// the records of every description read are appended to the object. HTTPDown blocks up to
// 3 seconds for the server's answer plus the transfer; the object must outlive the call.
#pragma once
#include "ToviInterfaceApi.h"
#include "Strings.h"
#include "ToviCrypto.h"
#include "UpdateCheckRecord.h"
#include "UpdateDescription.h"
#include <windows.h>
#include <wininet.h>
#include <vector>

class TOVIINTERFACE_API CToviUpdate {
public:
    CToviUpdate();
    ~CToviUpdate();
    CToviUpdate(const CToviUpdate&) = delete;
    CToviUpdate& operator=(const CToviUpdate&) = delete;

    static bool GetServerAddress(int index, char* server, int* port, char* debugLevel);
    static CString GetInstallDir(int index);

    // The ProductVersion text of a file, "1, 0, 2, 5" given as "1.0.2.5"; false without one.
    bool SHGetVersionOfFile(wchar_t* path, wchar_t* out, int outSize);
    // Downloads url to file; false (and no file) on any failure, a status other than 200, a
    // reply without Content-Length or a body shorter than announced.
    bool HTTPDown(HWND window, CString url, CString file);
    // Appends one record per section of the INI file; -1 when it has no section. Sections
    // whose names or folders would leave the installation folder are left out (traced).
    int GetUpdateInfo(CString iniPath);
    // The full check: 0 (or 1, see IsUpdateModule) when an update is due, -1 otherwise.
    int IsUpdate(int index, HWND window, CString baseUrl);
    // The check against the server's update-check list: 0 when a file is outdated, else -1.
    int IsUpdate(int index, std::vector<_UPDATE_CHECK> list);
    // 0 update needed; 1 the update program is outdated but this process (Vista or later, not
    // elevated) may not replace it; -1 current or failed.
    int IsUpdateModule(HWND window, CString installDir, CString dataDir, CString baseUrl);
    // 0 the product's customised images changed, -1 no change or no usable description (the
    // images are then left as they are).
    int IsUpdateImage(int index, HWND window, CString installDir, CString dataDir, CString baseUrl);
    // Removes the product's customisation: both description files, its login image (and for
    // index 0 the banner) and every icon of the Image folder. 0 when the main icon was among
    // them, else -1. The check itself never calls it on a failed fetch.
    int DeleteOldImagesNIcons(int index, CString updateDir, CString imageDir);
    // True when the dotted server version is higher than the local one.
    bool CheckUpdate(wchar_t* localVersion, wchar_t* serverVersion);
    // Ends every process of that exe name; false when the processes cannot be listed.
    static bool KillProcess(CString exeName);

    // A name or folder from a description that stays inside the folder it is joined to: no
    // "..", no absolute path, no drive letter or other colon. Empty only when allowed.
    static bool IsSafeRelativePath(const CString& path, bool allowEmpty);
    // The records read so far.
    const std::vector<_UPDATE_MODULE_INFO>& Modules() const { return m_modules; }

private:
    bool SameHash(const CString& path, const wchar_t* hash);

    std::vector<_UPDATE_MODULE_INFO> m_modules;
    _ENC_CTX m_ctx;
};

// CToviUpdate: the HTTP download, the description reader, version texts and comparisons.
#include "ToviUpdate.h"
#include "VersionResource.h"
#include "StoredDataCipher.h"
#include "SystemFacts.h"
#include "ToviRegistry.h"
#include "TraceLog.h"
#include "SHA1.h"
#include "ToviUpdateFetch.h"
#include "ToviUpdateRules.h"
#include <tlhelp32.h>
#include <cwchar>

CToviUpdate::CToviUpdate()
{
    CStoredDataCipher::Setup(m_ctx);
}

CToviUpdate::~CToviUpdate()
{
    m_modules.clear();
}

bool CToviUpdate::GetServerAddress(int index, char* server, int* port, char* debugLevel)
{
    wchar_t url[128] = {};
    return CToviRegistry::GetServerAddress(index, server, port, debugLevel, url);
}

CString CToviUpdate::GetInstallDir(int index)
{
    if (index < 0 || index > 2)
        return CString();
    return CToviRegistry::GetInstallDir(index);
}

bool CToviUpdate::SHGetVersionOfFile(wchar_t* path, wchar_t* out, int outSize)
{
    if (path == nullptr || out == nullptr || outSize <= 0)
        return false;
    std::vector<BYTE> data;
    if (!ReadVersionResource(path, data))
        return false;
    std::wstring version;
    if (!updaterules::ProductVersionText(data.data(), version))
        return false;
    updatedesc::CopyField(out, static_cast<size_t>(outSize), version.c_str());
    return true;
}

bool CToviUpdate::HTTPDown(HWND, CString url, CString file)
{
    TraceLog(1, L"[ CToviUpdate::HTTPDown ] START!\n");
    TraceLog(1024, L"\n==================================================\nURL = %s\nDEST DIR = %s\n"
                   L"==================================================\n",
             url.GetString(), file.GetString());
    updatefetch::Options options;
    options.traceName = L"CToviUpdate::HTTPDown";
    if (!updatefetch::Download(url, file, options))
        return false;
    TraceLog(1, L"[ CToviUpdate::HTTPDown ] GOTO_CLEAN - END!\n");
    return true;
}

bool CToviUpdate::IsSafeRelativePath(const CString& path, bool allowEmpty)
{
    return updaterules::IsSafeRelativePath(path, allowEmpty);
}

int CToviUpdate::GetUpdateInfo(CString iniPath)
{
    std::vector<_UPDATE_MODULE_INFO> read;
    if (updatedesc::Read(iniPath, updatedesc::EncryptMark::kEitherCase, read) == -1)
        return -1;
    for (const _UPDATE_MODULE_INFO& info : read) {
        if (!IsSafeRelativePath(info.FileName, false) || !IsSafeRelativePath(info.LocalName, false) ||
            !IsSafeRelativePath(info.TargetDir, true) || !IsSafeRelativePath(info.DestDir, true)) {
            TraceLog(2048, L"[ CToviUpdate::GetUpdateInfo ] [ %s ] names a place outside the install folder\n",
                     info.SectionName);
            continue;
        }
        m_modules.push_back(info);
    }
    return 0;
}

bool CToviUpdate::CheckUpdate(wchar_t* localVersion, wchar_t* serverVersion)
{
    return updaterules::IsNewer(localVersion, serverVersion);
}

bool CToviUpdate::KillProcess(CString exeName)
{
    HANDLE snapshot = CSystemFacts::Current().CreateProcessSnapshot();
    if (snapshot == INVALID_HANDLE_VALUE)
        return false;
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = ::Process32FirstW(snapshot, &entry); more; more = ::Process32NextW(snapshot, &entry)) {
        if (exeName != entry.szExeFile)
            continue;
        HANDLE process = ::OpenProcess(PROCESS_TERMINATE | PROCESS_QUERY_INFORMATION | SYNCHRONIZE, FALSE, entry.th32ProcessID);
        if (process == nullptr)
            continue;
        DWORD code = 0;
        ::GetExitCodeProcess(process, &code);
        ::TerminateProcess(process, code);
        ::WaitForSingleObject(process, INFINITE);
        ::CloseHandle(process);
    }
    ::CloseHandle(snapshot);
    return true;
}

bool CToviUpdate::SameHash(const CString& path, const wchar_t* hash)
{
    CSHA1 sha;
    if (!sha.HashFile(path))
        return false;
    sha.Final();
    wchar_t hex[41] = {};
    if (!sha.ReportHashW(hex, 41, CSHA1::REPORT_HEX_UPPER))
        return false;
    return CString(hex).CompareNoCase(hash) == 0;
}

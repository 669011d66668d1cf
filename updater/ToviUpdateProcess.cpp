// CToviUpdate::KillProcess: ends a program that holds a file the update replaces.
#include "ToviUpdate.h"
#include "TraceLog.h"
#include <tlhelp32.h>

namespace {

// The full path of a process's program; empty when it cannot be read.
CString ImagePath(HANDLE process)
{
    wchar_t path[MAX_PATH * 2] = {};
    DWORD size = MAX_PATH * 2;
    if (!::QueryFullProcessImageNameW(process, 0, path, &size))
        return CString();
    return CString(path, static_cast<int>(size));
}

// Whether path lies in folder or below it.
bool Inside(const CString& path, const CString& folder)
{
    CString prefix(folder);
    prefix.TrimRight(L'\\');
    prefix += L'\\';
    return path.GetLength() > prefix.GetLength() && path.Left(prefix.GetLength()).CompareNoCase(prefix) == 0;
}

BOOL Terminate(HANDLE process, UINT code) { return ::TerminateProcess(process, code); }

}

CToviUpdate::TerminateProcessFn CToviUpdate::s_pfnTerminateProcess = Terminate;

bool CToviUpdate::KillProcess(const CString& exeName, const CString& insideFolder)
{
    HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return false;
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof(entry);
    if (!::Process32FirstW(snapshot, &entry)) {
        ::CloseHandle(snapshot);
        return false;
    }
    bool ok = true;
    do {
        if (exeName != entry.szExeFile)
            continue;
        HANDLE process = ::OpenProcess(PROCESS_TERMINATE | PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE,
                                       entry.th32ProcessID);
        if (process == nullptr)
            continue;
        if (!insideFolder.IsEmpty() && !Inside(ImagePath(process), insideFolder)) {
            ::CloseHandle(process);
            continue;
        }
        DWORD code = 0;
        ::GetExitCodeProcess(process, &code);
        // A program that ended on its own meanwhile holds no file any more: that is no failure.
        if (s_pfnTerminateProcess(process, code) || ::WaitForSingleObject(process, 0) == WAIT_OBJECT_0) {
            ::WaitForSingleObject(process, INFINITE);
        } else {
            TraceLog(2048, L" ■■■ [ UPDATE ][ KillProcess ] %s: TerminateProcess failed [ %d ]\n", exeName.GetString(),
                     static_cast<int>(::GetLastError()));
            ok = false;
        }
        ::CloseHandle(process);
        break;
    } while (::Process32NextW(snapshot, &entry));
    ::CloseHandle(snapshot);
    return ok;
}

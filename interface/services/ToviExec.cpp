// CToviExec: elevation tests and starting programs with or without elevation.
#include "ToviExec.h"
#include "SystemFacts.h"
#include "ToviExecTask.h"
#include "ToviRegistry.h"
#include "TraceLog.h"
#include <psapi.h>
#include <vector>

int CToviExec::IsVista()
{
    OSVERSIONINFOEXW info;
    if (!CSystemFacts::Current().QueryVersion(info))
        return 0;
    return info.dwPlatformId == VER_PLATFORM_WIN32_NT && info.dwMajorVersion > 5 ? 1 : 0;
}

long CToviExec::IsElevated(int* elevated)
{
    bool isElevated = false;
    DWORD error = 0;
    switch (CSystemFacts::Current().QueryElevation(isElevated, error)) {
    case CSystemFacts::kOpenTokenFailed:
        TraceLog(2048, L"OpenProcessToken ERROR! Code = %d \n", static_cast<int>(error));
        return 1;
    case CSystemFacts::kTokenInfoFailed:
        TraceLog(2048, L"GetTokenInformation ERROR! Code = %d \n", static_cast<int>(error));
        return 1;
    default:
        break;
    }
    if (elevated != nullptr)
        *elevated = isElevated ? 1 : 0;
    return isElevated ? 0 : 1;
}

namespace {

// Starts a program through the shell for the CToviExec member `caller`, logging the request and
// any failure under that name.
bool ShellStart(const wchar_t* caller, ULONG mask, SHELLEXECUTEINFOW& info, HWND window, const wchar_t* verb,
                const wchar_t* file, const wchar_t* parameters, const wchar_t* folder)
{
    TraceLog(1, L" [ UPDATE ] [CToviExec::%s ] %s %s %s %s \n", caller, verb != nullptr ? verb : L"",
             file != nullptr ? file : L"", parameters != nullptr ? parameters : L"", folder != nullptr ? folder : L"");
    info = {};
    info.cbSize = sizeof(info);
    info.fMask = mask;
    info.hwnd = window;
    info.lpVerb = verb;
    info.lpFile = file;
    info.lpParameters = parameters;
    info.lpDirectory = folder;
    info.nShow = SW_SHOWNORMAL;
    if (CSystemFacts::Current().ShellExecuteEx(info))
        return true;
    TraceLog(2048, L" [CToviExec::%s ] [%d]", caller, static_cast<int>(::GetLastError()));
    return false;
}

}

int CToviExec::MyShellExec(HWND window, const wchar_t* verb, const wchar_t* file, const wchar_t* parameters,
                           const wchar_t* folder)
{
    SHELLEXECUTEINFOW info;
    return ShellStart(L"MyShellExec", 0, info, window, verb, file, parameters, folder) ? 1 : 0;
}

int CToviExec::RunAsStdUser(HWND window, const wchar_t* file, const wchar_t* parameters, const wchar_t* folder)
{
    TraceLog(1, L" [ RunAsStdUser ] START! [ %s ]\n", file != nullptr ? file : L"");
    if (!IsVista() || IsElevated(nullptr) == 1)
        return MyShellExec(window, nullptr, file, parameters, folder);
    if (GetActiveUserName() == L"Administrator")
        return MyShellExec(window, nullptr, file, parameters, folder);

    HRESULT failure = S_OK;
    auto create = [](ITaskService** service) { return CSystemFacts::Current().CreateTaskService(service); };
    if (stdusertask::Start(create, file, parameters, folder, stdusertask::Registration::kNoUserEmptySddl, &failure))
        return 1;
    TraceLog(2048, L" [ RunAsStdUser ] Task Scheduler failed [ 0x%08X ]\n", static_cast<unsigned>(failure));
    return 0;
}

bool CToviExec::GetInstallDir(int index, CString& installDir)
{
    if (index < 0 || index > 2)
        return false;
    CString dir = CToviRegistry::GetInstallDir(index);
    if (dir.IsEmpty())
        return false;
    installDir = dir;
    return true;
}

bool CToviExec::RunUpdate(int index)
{
    TraceLog(1, L"[  CToviExec::RunUpdate ] START! \n");
    CString installDir;
    if (!GetInstallDir(index, installDir))
        return false;
    // The update program that is started (elevated) is the one beside this program, named by
    // its full path: InstallDir is the ordinary user's to write and must not choose it.
    wchar_t self[MAX_PATH + 1] = {};
    DWORD length = ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    CString folder(self);
    folder = length > 0 && length < MAX_PATH ? folder.Left(folder.ReverseFind(L'\\')) : CString();
    if (folder.IsEmpty())
        return false;
    const wchar_t* verb = IsVista() && IsElevated(nullptr) == 1 ? L"runas" : nullptr;
    const wchar_t* parameter = index == 1 ? L"1" : index == 2 ? L"2" : L"0";
    if (MyShellExec(nullptr, verb, folder + L"\\CorvaneUpdate.exe", parameter, folder))
        return true;
    TraceLog(2048, L"[  CToviExec::RunUpdate ] MyShellExec return : FALSE! \n ");
    return false;
}

bool CToviExec::FindProcess(CString exeName)
{
    std::vector<DWORD> ids(1024);
    DWORD bytes = 0;
    if (!::EnumProcesses(ids.data(), static_cast<DWORD>(ids.size() * sizeof(DWORD)), &bytes))
        return false;
    for (DWORD i = 0; i < bytes / sizeof(DWORD); ++i) {
        wchar_t name[MAX_PATH] = L"<unknown>";
        HANDLE process = ::OpenProcess(PROCESS_ALL_ACCESS, FALSE, ids[i]);
        if (process != nullptr) {
            HMODULE module = nullptr;
            DWORD needed = 0;
            if (::EnumProcessModules(process, &module, sizeof(module), &needed))
                ::GetModuleBaseNameW(process, module, name, MAX_PATH);
            ::CloseHandle(process);
        }
        if (exeName == name)
            return true;
    }
    return false;
}

CString CToviExec::GetActiveUserName()
{
    std::vector<CSystemFacts::Session> sessions;
    CString user;
    if (!CSystemFacts::Current().EnumerateSessions(sessions))
        return user;
    for (const CSystemFacts::Session& s : sessions)
        if (s.state == 0)
            user = s.userName;
    return user;
}

int CToviExec::ExecuteDESetup(HWND window, const wchar_t* verb, const wchar_t* file, const wchar_t* parameters,
                              const wchar_t* folder)
{
    SHELLEXECUTEINFOW info;
    if (!ShellStart(L"ExecuteDESetup", SEE_MASK_NOCLOSEPROCESS, info, window, verb, file, parameters, folder))
        return 0;
    if (info.hProcess != nullptr) {
        while (::WaitForSingleObject(info.hProcess, 1000) == WAIT_TIMEOUT)
            TraceLog(1, L" [CToviExec::ExecuteDESetup ] Update doing! WAIT!");
        ::CloseHandle(info.hProcess);
    }
    TraceLog(1024, L" [CToviExec::ExecuteDESetup ] Update COMPLETE!");
    return 1;
}

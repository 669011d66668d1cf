// CToviExec of the update program: elevation facts and the ordinary-user start.
#include "ToviExec.h"
#include "ToviExecTask.h"
#include "TraceLog.h"
#include <shellapi.h>
#include <wtsapi32.h>

namespace {

bool Given(const wchar_t* text) { return text != nullptr && text[0] != L'\0'; }

HRESULT CreateTaskService(ITaskService** service)
{
    return ::CoCreateInstance(CLSID_TaskScheduler, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskService,
                              reinterpret_cast<void**>(service));
}

bool TokenElevated()
{
    HANDLE token = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token))
        return false;
    TOKEN_ELEVATION elevation = {};
    DWORD size = 0;
    bool elevated = ::GetTokenInformation(token, TokenElevation, &elevation, sizeof(elevation), &size) &&
                    elevation.TokenIsElevated != 0;
    ::CloseHandle(token);
    return elevated;
}

CString ActiveSessionUser()
{
    CString user;
    WTS_SESSION_INFOW* sessions = nullptr;
    DWORD count = 0;
    if (!::WTSEnumerateSessionsW(WTS_CURRENT_SERVER_HANDLE, 0, 1, &sessions, &count))
        return user;
    for (DWORD i = 0; i < count; ++i) {
        if (sessions[i].State != WTSActive)
            continue;
        LPWSTR name = nullptr;
        DWORD bytes = 0;
        if (::WTSQuerySessionInformationW(WTS_CURRENT_SERVER_HANDLE, sessions[i].SessionId, WTSUserName, &name, &bytes)) {
            user = name;
            ::WTSFreeMemory(name);
        }
    }
    ::WTSFreeMemory(sessions);
    return user;
}

}

CToviExec::ElevatedFn CToviExec::s_pfnElevated = TokenElevated;
CToviExec::ActiveUserNameFn CToviExec::s_pfnActiveUserName = ActiveSessionUser;
CToviExec::TaskServiceFactory CToviExec::s_pfnCreateTaskService = CreateTaskService;

bool CToviExec::IsVista()
{
    OSVERSIONINFOW info = {};
    info.dwOSVersionInfoSize = sizeof(info);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!::GetVersionExW(&info))
        return false;
#pragma GCC diagnostic pop
    return info.dwPlatformId == VER_PLATFORM_WIN32_NT && info.dwMajorVersion >= 6;
}

bool CToviExec::IsElevated() { return s_pfnElevated(); }

CString CToviExec::GetActiveUserName() { return s_pfnActiveUserName(); }

bool CToviExec::MyShellExec(const wchar_t* file, const wchar_t* parameters, const wchar_t* directory)
{
    SHELLEXECUTEINFOW info = {};
    info.cbSize = sizeof(info);
    // Nobody may be there to answer an error box; the result says it.
    info.fMask = SEE_MASK_FLAG_NO_UI;
    info.lpFile = file;
    info.lpParameters = parameters;
    info.lpDirectory = Given(directory) ? directory : nullptr;
    info.nShow = SW_SHOWNORMAL;
    return ::ShellExecuteExW(&info) != FALSE;
}

bool CToviExec::RunAsStdUser(const wchar_t* file, const wchar_t* parameters, const wchar_t* directory)
{
    TraceLog(1, L" ■■■ [ UPDATE ][ CToviExec::RunAsStdUser ] START! \n");
    if (!IsVista() || !IsElevated()) {
        TraceLog(1, L" ■■■ [ UPDATE ][ MyShellExec ] - %s %s %s! \n", file != nullptr ? file : L"",
                 parameters != nullptr ? parameters : L"", directory != nullptr ? directory : L"");
        return MyShellExec(file, parameters, directory);
    }
    if (GetActiveUserName() == L"Administrator")
        return MyShellExec(file, parameters, directory);

    HRESULT failure = S_OK;
    bool started = stdusertask::Start(s_pfnCreateTaskService, file, parameters, directory,
                                      stdusertask::Registration::kEmptyUserNoSddl, &failure);
    if (!started)
        TraceLog(2048, L" ■■■ [ UPDATE ][ CToviExec::RunAsStdUser ] Task Scheduler failed [ 0x%08X ]\n",
                 static_cast<unsigned>(failure));
    TraceLog(1, L" ■■■ [ UPDATE ][ CToviExec::RunAsStdUser ] END! \n");
    return started;
}

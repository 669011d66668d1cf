// CToviExec of the update program: elevation facts and the ordinary-user start.
#include "ToviExec.h"
#include "RegistrationTrigger.h"
#include "TraceLog.h"
#include "UpdaterSeams.h"
#include <shellapi.h>
#include <wtsapi32.h>

namespace {

const wchar_t kTaskName[] = L"RunAsStdUser Task";

template <typename T> class ComRef {
public:
    ComRef() {}
    ~ComRef() { if (m_p != nullptr) m_p->Release(); }
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    T** Out() { return &m_p; }
    void** OutVoid() { return reinterpret_cast<void**>(&m_p); }
    T* operator->() const { return m_p; }
    T* Get() const { return m_p; }
private:
    T* m_p = nullptr;
};

class Bstr {
public:
    explicit Bstr(const wchar_t* text) : m_s(::SysAllocString(text != nullptr ? text : L"")) {}
    ~Bstr() { ::SysFreeString(m_s); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    operator BSTR() const { return m_s; }
private:
    BSTR m_s;
};

bool Given(const wchar_t* text) { return text != nullptr && text[0] != L'\0'; }

HRESULT CreateTaskService(ITaskService** service)
{
    if (Seams().createTaskService)
        return Seams().createTaskService(service);
    return ::CoCreateInstance(CLSID_TaskScheduler, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskService,
                              reinterpret_cast<void**>(service));
}

// Builds and registers the task that starts file once as the interactive user.
HRESULT RegisterTask(ITaskService* service, const wchar_t* file, const wchar_t* parameters, const wchar_t* directory,
                     IRegisteredTask** registered)
{
    VARIANT empty;
    ::VariantInit(&empty);
    HRESULT hr = service->Connect(empty, empty, empty, empty);
    if (FAILED(hr))
        return hr;
    ComRef<ITaskFolder> root;
    if (FAILED(hr = service->GetFolder(Bstr(L"\\"), root.Out())))
        return hr;
    // A task left by an earlier run; usually there is none.
    root->DeleteTask(Bstr(kTaskName), 0);

    ComRef<ITaskDefinition> task;
    if (FAILED(hr = service->NewTask(0, task.Out())))
        return hr;
    ComRef<IRegistrationInfo> info;
    if (FAILED(hr = task->get_RegistrationInfo(info.Out())) || FAILED(hr = info->put_Author(Bstr(L"RunAsStdUser"))))
        return hr;
    ComRef<IPrincipal> principal;
    if (FAILED(hr = task->get_Principal(principal.Out())) || FAILED(hr = principal->put_Id(Bstr(L"RunAsStdUser_Principal"))) ||
        FAILED(hr = principal->put_LogonType(TASK_LOGON_INTERACTIVE_TOKEN)) ||
        FAILED(hr = principal->put_RunLevel(TASK_RUNLEVEL_LUA)))
        return hr;
    ComRef<ITaskSettings> settings;
    if (FAILED(hr = task->get_Settings(settings.Out())) || FAILED(hr = settings->put_StartWhenAvailable(VARIANT_TRUE)))
        return hr;
    ComRef<ITriggerCollection> triggers;
    ComRef<ITrigger> trigger;
    ComRef<IRegistrationTrigger> registration;
    if (FAILED(hr = task->get_Triggers(triggers.Out())) || FAILED(hr = triggers->Create(TASK_TRIGGER_REGISTRATION, trigger.Out())) ||
        FAILED(hr = trigger->QueryInterface(IID_IRegistrationTriggerTovi, registration.OutVoid())) ||
        FAILED(hr = registration->put_Id(Bstr(L"RunAsStdUser_Trigger"))) || FAILED(hr = registration->put_Delay(Bstr(L"PT0S"))))
        return hr;
    ComRef<IActionCollection> actions;
    ComRef<IAction> action;
    ComRef<IExecAction> exec;
    if (FAILED(hr = task->get_Actions(actions.Out())) || FAILED(hr = actions->Create(TASK_ACTION_EXEC, action.Out())) ||
        FAILED(hr = action->QueryInterface(IID_IExecAction, exec.OutVoid())) || FAILED(hr = exec->put_Path(Bstr(file))))
        return hr;
    if (Given(parameters) && FAILED(hr = exec->put_Arguments(Bstr(parameters))))
        return hr;
    if (Given(directory) && FAILED(hr = exec->put_WorkingDirectory(Bstr(directory))))
        return hr;

    VARIANT user, sddl;
    ::VariantInit(&user);
    user.vt = VT_BSTR;
    user.bstrVal = ::SysAllocString(L"");
    ::VariantInit(&sddl);
    hr = root->RegisterTaskDefinition(Bstr(kTaskName), task.Get(), TASK_CREATE_OR_UPDATE, user, empty,
                                      TASK_LOGON_INTERACTIVE_TOKEN, sddl, registered);
    ::VariantClear(&user);
    return hr;
}

}

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

bool CToviExec::IsElevated()
{
    if (Seams().elevated)
        return Seams().elevated();
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

CString CToviExec::GetActiveUserName()
{
    if (Seams().activeUserName)
        return Seams().activeUserName();
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

    HRESULT init = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    bool started = false;
    {
        ComRef<ITaskService> service;
        ComRef<IRegisteredTask> registered;
        HRESULT hr = CreateTaskService(service.Out());
        if (SUCCEEDED(hr) && service.Get() != nullptr)
            hr = RegisterTask(service.Get(), file, parameters, directory, registered.Out());
        if (SUCCEEDED(hr) && registered.Get() != nullptr) {
            started = true;
            for (int i = 0; i < 200; ++i) {
                TASK_STATE state = TASK_STATE_UNKNOWN;
                if (SUCCEEDED(registered->get_State(&state)) && state == TASK_STATE_RUNNING)
                    break;
                ::Sleep(100);
            }
        } else {
            TraceLog(2048, L" ■■■ [ UPDATE ][ CToviExec::RunAsStdUser ] Task Scheduler failed [ 0x%08X ]\n",
                     static_cast<unsigned>(hr));
        }
    }
    if (SUCCEEDED(init))
        ::CoUninitialize();
    TraceLog(1, L" ■■■ [ UPDATE ][ CToviExec::RunAsStdUser ] END! \n");
    return started;
}

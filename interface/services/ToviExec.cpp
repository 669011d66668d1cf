// CToviExec: elevation tests and starting programs with or without elevation.
#include "ToviExec.h"
#include "RegistrationTrigger.h"
#include "SystemFacts.h"
#include "ToviRegistry.h"
#include "TraceLog.h"
#include <psapi.h>
#include <vector>

namespace {

const wchar_t kTaskName[] = L"RunAsStdUser Task";

// Holds one COM interface and releases it on every path.
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

// A BSTR for one call.
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

VARIANT EmptyVariant()
{
    VARIANT v;
    ::VariantInit(&v);
    return v;
}

bool Given(const wchar_t* text) { return text != nullptr && text[0] != L'\0'; }

// Builds and registers the task that starts file once, as the interactive user.
HRESULT RegisterStdUserTask(ITaskService* service, const wchar_t* file, const wchar_t* parameters,
                            const wchar_t* folder, IRegisteredTask** registered)
{
    VARIANT empty = EmptyVariant();
    HRESULT hr = service->Connect(empty, empty, empty, empty);
    if (FAILED(hr))
        return hr;
    ComRef<ITaskFolder> root;
    if (FAILED(hr = service->GetFolder(Bstr(L"\\"), root.Out())))
        return hr;
    // There is usually no earlier task to delete.
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
        FAILED(hr = registration->put_Id(Bstr(L"RunAsStdUser_Trigger"))) ||
        FAILED(hr = registration->put_Delay(Bstr(L"PT0S"))))
        return hr;

    ComRef<IActionCollection> actions;
    ComRef<IAction> action;
    ComRef<IExecAction> exec;
    if (FAILED(hr = task->get_Actions(actions.Out())) || FAILED(hr = actions->Create(TASK_ACTION_EXEC, action.Out())) ||
        FAILED(hr = action->QueryInterface(IID_IExecAction, exec.OutVoid())) || FAILED(hr = exec->put_Path(Bstr(file))))
        return hr;
    if (Given(parameters) && FAILED(hr = exec->put_Arguments(Bstr(parameters))))
        return hr;
    if (Given(folder) && FAILED(hr = exec->put_WorkingDirectory(Bstr(folder))))
        return hr;

    VARIANT sddl;
    ::VariantInit(&sddl);
    sddl.vt = VT_BSTR;
    sddl.bstrVal = ::SysAllocString(L"");
    hr = root->RegisterTaskDefinition(Bstr(kTaskName), task.Get(), TASK_CREATE_OR_UPDATE, empty, empty,
                                      TASK_LOGON_INTERACTIVE_TOKEN, sddl, registered);
    ::VariantClear(&sddl);
    return hr;
}

}

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

    HRESULT init = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    int started = 0;
    {
        ComRef<ITaskService> service;
        ComRef<IRegisteredTask> registered;
        HRESULT hr = CSystemFacts::Current().CreateTaskService(service.Out());
        if (SUCCEEDED(hr) && service.Get() != nullptr)
            hr = RegisterStdUserTask(service.Get(), file, parameters, folder, registered.Out());
        else if (SUCCEEDED(hr))
            hr = E_POINTER;
        if (SUCCEEDED(hr) && registered.Get() != nullptr) {
            started = 1;
            for (int i = 0; i < 200; ++i) {
                TASK_STATE state = TASK_STATE_UNKNOWN;
                if (SUCCEEDED(registered->get_State(&state)) && state == TASK_STATE_RUNNING)
                    break;
                ::Sleep(100);
            }
        } else {
            TraceLog(2048, L" [ RunAsStdUser ] Task Scheduler failed [ 0x%08X ]\n", static_cast<unsigned>(hr));
        }
    }
    if (SUCCEEDED(init))
        ::CoUninitialize();
    return started;
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
    const wchar_t* verb = IsVista() && IsElevated(nullptr) == 1 ? L"runas" : nullptr;
    const wchar_t* parameter = index == 1 ? L"1" : index == 2 ? L"2" : L"0";
    if (MyShellExec(nullptr, verb, L"CorvaneUpdate.exe", parameter, installDir))
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

// The ordinary-user start through the Task Scheduler, behind both programs' RunAsStdUser.
#include "ToviExecTask.h"
#include "RegistrationTrigger.h"
#include <oleauto.h>

namespace stdusertask {
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

// A VARIANT that is empty or holds an empty text, cleared on every path.
class Value {
public:
    explicit Value(bool emptyText)
    {
        ::VariantInit(&m_v);
        if (emptyText) {
            m_v.vt = VT_BSTR;
            m_v.bstrVal = ::SysAllocString(L"");
        }
    }
    ~Value() { ::VariantClear(&m_v); }
    Value(const Value&) = delete;
    Value& operator=(const Value&) = delete;
    const VARIANT& Get() const { return m_v; }
private:
    VARIANT m_v;
};

bool Given(const wchar_t* text) { return text != nullptr && text[0] != L'\0'; }

HRESULT Describe(ITaskDefinition* task)
{
    HRESULT hr;
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
    return S_OK;
}

HRESULT AddAction(ITaskDefinition* task, const wchar_t* file, const wchar_t* parameters, const wchar_t* folder)
{
    HRESULT hr;
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
    return S_OK;
}

HRESULT Register(ITaskService* service, const wchar_t* file, const wchar_t* parameters, const wchar_t* folder,
                 Registration how, IRegisteredTask** registered)
{
    Value empty(false);
    HRESULT hr = service->Connect(empty.Get(), empty.Get(), empty.Get(), empty.Get());
    if (FAILED(hr))
        return hr;
    ComRef<ITaskFolder> root;
    if (FAILED(hr = service->GetFolder(Bstr(L"\\"), root.Out())))
        return hr;
    // A task left by an earlier start; usually there is none.
    root->DeleteTask(Bstr(kTaskName), 0);
    ComRef<ITaskDefinition> task;
    if (FAILED(hr = service->NewTask(0, task.Out())) || FAILED(hr = Describe(task.Get())) ||
        FAILED(hr = AddAction(task.Get(), file, parameters, folder)))
        return hr;
    Value user(how == Registration::kEmptyUserNoSddl);
    Value sddl(how == Registration::kNoUserEmptySddl);
    return root->RegisterTaskDefinition(Bstr(kTaskName), task.Get(), TASK_CREATE_OR_UPDATE, user.Get(), empty.Get(),
                                        TASK_LOGON_INTERACTIVE_TOKEN, sddl.Get(), registered);
}

}

bool Start(const std::function<HRESULT(ITaskService**)>& create, const wchar_t* file, const wchar_t* parameters,
           const wchar_t* folder, Registration how, HRESULT* failure)
{
    HRESULT init = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    bool started = false;
    HRESULT hr = E_FAIL;
    {
        ComRef<ITaskService> service;
        ComRef<IRegisteredTask> registered;
        hr = create(service.Out());
        if (SUCCEEDED(hr) && service.Get() == nullptr)
            hr = E_POINTER;
        if (SUCCEEDED(hr))
            hr = Register(service.Get(), file, parameters, folder, how, registered.Out());
        if (SUCCEEDED(hr) && registered.Get() != nullptr) {
            started = true;
            for (int i = 0; i < 200; ++i) {
                TASK_STATE state = TASK_STATE_UNKNOWN;
                if (SUCCEEDED(registered->get_State(&state)) && state == TASK_STATE_RUNNING)
                    break;
                ::Sleep(100);
            }
        } else if (SUCCEEDED(hr)) {
            hr = E_POINTER;
        }
    }
    if (SUCCEEDED(init))
        ::CoUninitialize();
    if (!started && failure != nullptr)
        *failure = hr;
    return started;
}

}

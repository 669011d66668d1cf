// The fake Task Scheduler: service, root folder, task definition and its parts, and the
// registered task, each logging what it is told.
#include "FakeTaskService.h"
#include <string>

namespace {

std::wstring Text(BSTR s) { return s != nullptr ? std::wstring(s) : std::wstring(L"(null)"); }
std::wstring Number(long n) { return std::to_wstring(n); }
std::wstring VariantText(const VARIANT& v)
{
    if (v.vt == VT_EMPTY)
        return L"(empty)";
    if (v.vt == VT_BSTR)
        return L"\"" + Text(v.bstrVal) + L"\"";
    return L"(vt " + Number(v.vt) + L")";
}

class FakeRegisteredTask : public StubRegisteredTask {
public:
    using StubRegisteredTask::StubRegisteredTask;
    HRESULT STDMETHODCALLTYPE get_State(TASK_STATE* state) override
    {
        ++m_log->polls;
        *state = m_log->runningOnPoll != 0 && m_log->polls >= m_log->runningOnPoll ? TASK_STATE_RUNNING : TASK_STATE_QUEUED;
        return S_OK;
    }
};

class FakeRegistrationInfo : public StubRegistrationInfo {
public:
    using StubRegistrationInfo::StubRegistrationInfo;
    HRESULT STDMETHODCALLTYPE put_Author(BSTR author) override { return m_log->Call(L"put_Author " + Text(author)); }
};

class FakePrincipal : public StubPrincipal {
public:
    using StubPrincipal::StubPrincipal;
    HRESULT STDMETHODCALLTYPE put_Id(BSTR id) override { return m_log->Call(L"put_PrincipalId " + Text(id)); }
    HRESULT STDMETHODCALLTYPE put_LogonType(TASK_LOGON_TYPE logon) override { return m_log->Call(L"put_LogonType " + Number(logon)); }
    HRESULT STDMETHODCALLTYPE put_RunLevel(TASK_RUNLEVEL_TYPE level) override { return m_log->Call(L"put_RunLevel " + Number(level)); }
};

class FakeSettings : public StubTaskSettings {
public:
    using StubTaskSettings::StubTaskSettings;
    HRESULT STDMETHODCALLTYPE put_StartWhenAvailable(VARIANT_BOOL start) override
    {
        return m_log->Call(std::wstring(L"put_StartWhenAvailable ") + (start == VARIANT_TRUE ? L"true" : L"false"));
    }
};

class FakeRegistrationTrigger : public StubRegistrationTrigger {
public:
    using StubRegistrationTrigger::StubRegistrationTrigger;
    HRESULT STDMETHODCALLTYPE put_Id(BSTR id) override { return m_log->Call(L"put_TriggerId " + Text(id)); }
    HRESULT STDMETHODCALLTYPE put_Delay(BSTR delay) override { return m_log->Call(L"put_Delay " + Text(delay)); }

protected:
    void* Extra(REFIID iid) override
    {
        if (iid == IID_IRegistrationTriggerTovi)
            return static_cast<IRegistrationTrigger*>(this);
        if (iid == __uuidof(ITrigger))
            return static_cast<ITrigger*>(this);
        return nullptr;
    }
};

class FakeTriggers : public StubTriggerCollection {
public:
    using StubTriggerCollection::StubTriggerCollection;
    HRESULT STDMETHODCALLTYPE Create(TASK_TRIGGER_TYPE2 type, ITrigger** trigger) override
    {
        HRESULT hr = m_log->Call(L"CreateTrigger " + Number(type));
        *trigger = SUCCEEDED(hr) ? new FakeRegistrationTrigger(m_log) : nullptr;
        return hr;
    }
};

class FakeExecAction : public StubExecAction {
public:
    using StubExecAction::StubExecAction;
    HRESULT STDMETHODCALLTYPE put_Path(BSTR path) override { return m_log->Call(L"put_Path " + Text(path)); }
    HRESULT STDMETHODCALLTYPE put_Arguments(BSTR arguments) override { return m_log->Call(L"put_Arguments " + Text(arguments)); }
    HRESULT STDMETHODCALLTYPE put_WorkingDirectory(BSTR folder) override
    {
        return m_log->Call(L"put_WorkingDirectory " + Text(folder));
    }

protected:
    void* Extra(REFIID iid) override { return iid == __uuidof(IAction) ? static_cast<IAction*>(this) : nullptr; }
};

class FakeActions : public StubActionCollection {
public:
    using StubActionCollection::StubActionCollection;
    HRESULT STDMETHODCALLTYPE Create(TASK_ACTION_TYPE type, IAction** action) override
    {
        HRESULT hr = m_log->Call(L"CreateAction " + Number(type));
        *action = SUCCEEDED(hr) ? new FakeExecAction(m_log) : nullptr;
        return hr;
    }
};

template <typename Fake, typename I> HRESULT Hand(TaskLog* log, const wchar_t* call, I** out)
{
    HRESULT hr = log->Call(call);
    *out = SUCCEEDED(hr) ? new Fake(log) : nullptr;
    return hr;
}

class FakeDefinition : public StubTaskDefinition {
public:
    using StubTaskDefinition::StubTaskDefinition;
    HRESULT STDMETHODCALLTYPE get_RegistrationInfo(IRegistrationInfo** info) override
    {
        return Hand<FakeRegistrationInfo>(m_log, L"get_RegistrationInfo", info);
    }
    HRESULT STDMETHODCALLTYPE get_Principal(IPrincipal** principal) override
    {
        return Hand<FakePrincipal>(m_log, L"get_Principal", principal);
    }
    HRESULT STDMETHODCALLTYPE get_Settings(ITaskSettings** settings) override
    {
        return Hand<FakeSettings>(m_log, L"get_Settings", settings);
    }
    HRESULT STDMETHODCALLTYPE get_Triggers(ITriggerCollection** triggers) override
    {
        return Hand<FakeTriggers>(m_log, L"get_Triggers", triggers);
    }
    HRESULT STDMETHODCALLTYPE get_Actions(IActionCollection** actions) override
    {
        return Hand<FakeActions>(m_log, L"get_Actions", actions);
    }
};

class FakeFolder : public StubTaskFolder {
public:
    using StubTaskFolder::StubTaskFolder;
    HRESULT STDMETHODCALLTYPE DeleteTask(BSTR name, LONG flags) override
    {
        HRESULT hr = m_log->Call(L"DeleteTask " + Text(name) + L" " + Number(flags));
        if (SUCCEEDED(hr) && !m_log->taskExists)
            return HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
        return hr;
    }
    HRESULT STDMETHODCALLTYPE RegisterTaskDefinition(BSTR path, ITaskDefinition* definition, LONG flags, VARIANT user,
                                                     VARIANT password, TASK_LOGON_TYPE logon, VARIANT sddl,
                                                     IRegisteredTask** task) override
    {
        HRESULT hr = m_log->Call(L"RegisterTaskDefinition " + Text(path) + L" flags " + Number(flags) + L" user " +
                                 VariantText(user) + L" password " + VariantText(password) + L" logon " + Number(logon) +
                                 L" sddl " + VariantText(sddl) + (definition != nullptr ? L"" : L" (no definition)"));
        *task = SUCCEEDED(hr) ? new FakeRegisteredTask(m_log) : nullptr;
        if (SUCCEEDED(hr))
            m_log->taskExists = true;
        return hr;
    }
};

class FakeService : public StubTaskService {
public:
    using StubTaskService::StubTaskService;
    HRESULT STDMETHODCALLTYPE Connect(VARIANT server, VARIANT user, VARIANT domain, VARIANT password) override
    {
        return m_log->Call(L"Connect " + VariantText(server) + L" " + VariantText(user) + L" " + VariantText(domain) + L" " +
                           VariantText(password));
    }
    HRESULT STDMETHODCALLTYPE GetFolder(BSTR path, ITaskFolder** folder) override
    {
        HRESULT hr = m_log->Call(L"GetFolder " + Text(path));
        *folder = SUCCEEDED(hr) ? new FakeFolder(m_log) : nullptr;
        return hr;
    }
    HRESULT STDMETHODCALLTYPE NewTask(DWORD flags, ITaskDefinition** definition) override
    {
        HRESULT hr = m_log->Call(L"NewTask " + Number(long(flags)));
        *definition = SUCCEEDED(hr) ? new FakeDefinition(m_log) : nullptr;
        return hr;
    }
};

}

ITaskService* NewFakeTaskService(TaskLog* log)
{
    return new FakeService(log);
}

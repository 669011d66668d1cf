// Task Scheduler 2.0 interfaces that answer E_NOTIMPL to every call and log it, for fakes to
// derive from and override what they take part in. Generated from the method lists of the
// MinGW-w64 taskschd.h; regenerate rather than edit when an interface is needed.
#pragma once
#include "TaskLog.h"
#include "RegistrationTrigger.h"

class StubTaskService : public TaskStub<ITaskService> {
public:
    explicit StubTaskService(TaskLog* log) : TaskStub<ITaskService>(log) {}
    HRESULT STDMETHODCALLTYPE GetFolder(BSTR path, ITaskFolder **folder) override { return NotImplemented(L"ITaskService::GetFolder"); }
    HRESULT STDMETHODCALLTYPE GetRunningTasks(LONG flags, IRunningTaskCollection **tasks) override { return NotImplemented(L"ITaskService::GetRunningTasks"); }
    HRESULT STDMETHODCALLTYPE NewTask(DWORD flags, ITaskDefinition **definition) override { return NotImplemented(L"ITaskService::NewTask"); }
    HRESULT STDMETHODCALLTYPE Connect(VARIANT server, VARIANT user, VARIANT domain, VARIANT password) override { return NotImplemented(L"ITaskService::Connect"); }
    HRESULT STDMETHODCALLTYPE get_Connected(VARIANT_BOOL *connected) override { return NotImplemented(L"ITaskService::get_Connected"); }
    HRESULT STDMETHODCALLTYPE get_TargetServer(BSTR *server) override { return NotImplemented(L"ITaskService::get_TargetServer"); }
    HRESULT STDMETHODCALLTYPE get_ConnectedUser(BSTR *user) override { return NotImplemented(L"ITaskService::get_ConnectedUser"); }
    HRESULT STDMETHODCALLTYPE get_ConnectedDomain(BSTR *domain) override { return NotImplemented(L"ITaskService::get_ConnectedDomain"); }
    HRESULT STDMETHODCALLTYPE get_HighestVersion(DWORD *version) override { return NotImplemented(L"ITaskService::get_HighestVersion"); }
};

class StubTaskFolder : public TaskStub<ITaskFolder> {
public:
    explicit StubTaskFolder(TaskLog* log) : TaskStub<ITaskFolder>(log) {}
    HRESULT STDMETHODCALLTYPE get_Name(BSTR *name) override { return NotImplemented(L"ITaskFolder::get_Name"); }
    HRESULT STDMETHODCALLTYPE get_Path(BSTR *path) override { return NotImplemented(L"ITaskFolder::get_Path"); }
    HRESULT STDMETHODCALLTYPE GetFolder(BSTR path, ITaskFolder **folder) override { return NotImplemented(L"ITaskFolder::GetFolder"); }
    HRESULT STDMETHODCALLTYPE GetFolders(LONG flags, ITaskFolderCollection **folders) override { return NotImplemented(L"ITaskFolder::GetFolders"); }
    HRESULT STDMETHODCALLTYPE CreateFolder(BSTR name, VARIANT sddl, ITaskFolder **folder) override { return NotImplemented(L"ITaskFolder::CreateFolder"); }
    HRESULT STDMETHODCALLTYPE DeleteFolder(BSTR name, LONG flags) override { return NotImplemented(L"ITaskFolder::DeleteFolder"); }
    HRESULT STDMETHODCALLTYPE GetTask(BSTR path, IRegisteredTask **task) override { return NotImplemented(L"ITaskFolder::GetTask"); }
    HRESULT STDMETHODCALLTYPE GetTasks(LONG flags, IRegisteredTaskCollection **tasks) override { return NotImplemented(L"ITaskFolder::GetTasks"); }
    HRESULT STDMETHODCALLTYPE DeleteTask(BSTR name, LONG flags) override { return NotImplemented(L"ITaskFolder::DeleteTask"); }
    HRESULT STDMETHODCALLTYPE RegisterTask(BSTR path, BSTR xml, LONG flags, VARIANT user, VARIANT password, TASK_LOGON_TYPE logonType, VARIANT sddl, IRegisteredTask **task) override { return NotImplemented(L"ITaskFolder::RegisterTask"); }
    HRESULT STDMETHODCALLTYPE RegisterTaskDefinition(BSTR path, ITaskDefinition *definition, LONG flags, VARIANT user, VARIANT password, TASK_LOGON_TYPE logon, VARIANT sddl, IRegisteredTask **task) override { return NotImplemented(L"ITaskFolder::RegisterTaskDefinition"); }
    HRESULT STDMETHODCALLTYPE GetSecurityDescriptor(LONG info, BSTR *sddl) override { return NotImplemented(L"ITaskFolder::GetSecurityDescriptor"); }
    HRESULT STDMETHODCALLTYPE SetSecurityDescriptor(BSTR sddl, LONG flags) override { return NotImplemented(L"ITaskFolder::SetSecurityDescriptor"); }
};

class StubTaskDefinition : public TaskStub<ITaskDefinition> {
public:
    explicit StubTaskDefinition(TaskLog* log) : TaskStub<ITaskDefinition>(log) {}
    HRESULT STDMETHODCALLTYPE get_RegistrationInfo(IRegistrationInfo **info) override { return NotImplemented(L"ITaskDefinition::get_RegistrationInfo"); }
    HRESULT STDMETHODCALLTYPE put_RegistrationInfo(IRegistrationInfo *info) override { return NotImplemented(L"ITaskDefinition::put_RegistrationInfo"); }
    HRESULT STDMETHODCALLTYPE get_Triggers(ITriggerCollection **triggers) override { return NotImplemented(L"ITaskDefinition::get_Triggers"); }
    HRESULT STDMETHODCALLTYPE put_Triggers(ITriggerCollection *triggers) override { return NotImplemented(L"ITaskDefinition::put_Triggers"); }
    HRESULT STDMETHODCALLTYPE get_Settings(ITaskSettings **settings) override { return NotImplemented(L"ITaskDefinition::get_Settings"); }
    HRESULT STDMETHODCALLTYPE put_Settings(ITaskSettings *settings) override { return NotImplemented(L"ITaskDefinition::put_Settings"); }
    HRESULT STDMETHODCALLTYPE get_Data(BSTR *data) override { return NotImplemented(L"ITaskDefinition::get_Data"); }
    HRESULT STDMETHODCALLTYPE put_Data(BSTR data) override { return NotImplemented(L"ITaskDefinition::put_Data"); }
    HRESULT STDMETHODCALLTYPE get_Principal(IPrincipal **principal) override { return NotImplemented(L"ITaskDefinition::get_Principal"); }
    HRESULT STDMETHODCALLTYPE put_Principal(IPrincipal *principal) override { return NotImplemented(L"ITaskDefinition::put_Principal"); }
    HRESULT STDMETHODCALLTYPE get_Actions(IActionCollection **actions) override { return NotImplemented(L"ITaskDefinition::get_Actions"); }
    HRESULT STDMETHODCALLTYPE put_Actions(IActionCollection *actions) override { return NotImplemented(L"ITaskDefinition::put_Actions"); }
    HRESULT STDMETHODCALLTYPE get_XmlText(BSTR *xml) override { return NotImplemented(L"ITaskDefinition::get_XmlText"); }
    HRESULT STDMETHODCALLTYPE put_XmlText(BSTR xml) override { return NotImplemented(L"ITaskDefinition::put_XmlText"); }
};

class StubRegistrationInfo : public TaskStub<IRegistrationInfo> {
public:
    explicit StubRegistrationInfo(TaskLog* log) : TaskStub<IRegistrationInfo>(log) {}
    HRESULT STDMETHODCALLTYPE get_Description(BSTR *description) override { return NotImplemented(L"IRegistrationInfo::get_Description"); }
    HRESULT STDMETHODCALLTYPE put_Description(BSTR description) override { return NotImplemented(L"IRegistrationInfo::put_Description"); }
    HRESULT STDMETHODCALLTYPE get_Author(BSTR *author) override { return NotImplemented(L"IRegistrationInfo::get_Author"); }
    HRESULT STDMETHODCALLTYPE put_Author(BSTR author) override { return NotImplemented(L"IRegistrationInfo::put_Author"); }
    HRESULT STDMETHODCALLTYPE get_Version(BSTR *version) override { return NotImplemented(L"IRegistrationInfo::get_Version"); }
    HRESULT STDMETHODCALLTYPE put_Version(BSTR version) override { return NotImplemented(L"IRegistrationInfo::put_Version"); }
    HRESULT STDMETHODCALLTYPE get_Date(BSTR *date) override { return NotImplemented(L"IRegistrationInfo::get_Date"); }
    HRESULT STDMETHODCALLTYPE put_Date(BSTR date) override { return NotImplemented(L"IRegistrationInfo::put_Date"); }
    HRESULT STDMETHODCALLTYPE get_Documentation(BSTR *doc) override { return NotImplemented(L"IRegistrationInfo::get_Documentation"); }
    HRESULT STDMETHODCALLTYPE put_Documentation(BSTR doc) override { return NotImplemented(L"IRegistrationInfo::put_Documentation"); }
    HRESULT STDMETHODCALLTYPE get_XmlText(BSTR *xml) override { return NotImplemented(L"IRegistrationInfo::get_XmlText"); }
    HRESULT STDMETHODCALLTYPE put_XmlText(BSTR xml) override { return NotImplemented(L"IRegistrationInfo::put_XmlText"); }
    HRESULT STDMETHODCALLTYPE get_URI(BSTR *uri) override { return NotImplemented(L"IRegistrationInfo::get_URI"); }
    HRESULT STDMETHODCALLTYPE put_URI(BSTR uri) override { return NotImplemented(L"IRegistrationInfo::put_URI"); }
    HRESULT STDMETHODCALLTYPE get_SecurityDescriptor(VARIANT *sddl) override { return NotImplemented(L"IRegistrationInfo::get_SecurityDescriptor"); }
    HRESULT STDMETHODCALLTYPE put_SecurityDescriptor(VARIANT sddl) override { return NotImplemented(L"IRegistrationInfo::put_SecurityDescriptor"); }
    HRESULT STDMETHODCALLTYPE get_Source(BSTR *source) override { return NotImplemented(L"IRegistrationInfo::get_Source"); }
    HRESULT STDMETHODCALLTYPE put_Source(BSTR source) override { return NotImplemented(L"IRegistrationInfo::put_Source"); }
};

class StubPrincipal : public TaskStub<IPrincipal> {
public:
    explicit StubPrincipal(TaskLog* log) : TaskStub<IPrincipal>(log) {}
    HRESULT STDMETHODCALLTYPE get_Id(BSTR *id) override { return NotImplemented(L"IPrincipal::get_Id"); }
    HRESULT STDMETHODCALLTYPE put_Id(BSTR id) override { return NotImplemented(L"IPrincipal::put_Id"); }
    HRESULT STDMETHODCALLTYPE get_DisplayName(BSTR *name) override { return NotImplemented(L"IPrincipal::get_DisplayName"); }
    HRESULT STDMETHODCALLTYPE put_DisplayName(BSTR name) override { return NotImplemented(L"IPrincipal::put_DisplayName"); }
    HRESULT STDMETHODCALLTYPE get_UserId(BSTR *user) override { return NotImplemented(L"IPrincipal::get_UserId"); }
    HRESULT STDMETHODCALLTYPE put_UserId(BSTR user) override { return NotImplemented(L"IPrincipal::put_UserId"); }
    HRESULT STDMETHODCALLTYPE get_LogonType(TASK_LOGON_TYPE *logon) override { return NotImplemented(L"IPrincipal::get_LogonType"); }
    HRESULT STDMETHODCALLTYPE put_LogonType(TASK_LOGON_TYPE logon) override { return NotImplemented(L"IPrincipal::put_LogonType"); }
    HRESULT STDMETHODCALLTYPE get_GroupId(BSTR *group) override { return NotImplemented(L"IPrincipal::get_GroupId"); }
    HRESULT STDMETHODCALLTYPE put_GroupId(BSTR group) override { return NotImplemented(L"IPrincipal::put_GroupId"); }
    HRESULT STDMETHODCALLTYPE get_RunLevel(TASK_RUNLEVEL_TYPE *level) override { return NotImplemented(L"IPrincipal::get_RunLevel"); }
    HRESULT STDMETHODCALLTYPE put_RunLevel(TASK_RUNLEVEL_TYPE level) override { return NotImplemented(L"IPrincipal::put_RunLevel"); }
};

class StubTaskSettings : public TaskStub<ITaskSettings> {
public:
    explicit StubTaskSettings(TaskLog* log) : TaskStub<ITaskSettings>(log) {}
    HRESULT STDMETHODCALLTYPE get_AllowDemandStart(VARIANT_BOOL *allow) override { return NotImplemented(L"ITaskSettings::get_AllowDemandStart"); }
    HRESULT STDMETHODCALLTYPE put_AllowDemandStart(VARIANT_BOOL allow) override { return NotImplemented(L"ITaskSettings::put_AllowDemandStart"); }
    HRESULT STDMETHODCALLTYPE get_RestartInterval(BSTR *interval) override { return NotImplemented(L"ITaskSettings::get_RestartInterval"); }
    HRESULT STDMETHODCALLTYPE put_RestartInterval(BSTR interval) override { return NotImplemented(L"ITaskSettings::put_RestartInterval"); }
    HRESULT STDMETHODCALLTYPE get_RestartCount(INT *count) override { return NotImplemented(L"ITaskSettings::get_RestartCount"); }
    HRESULT STDMETHODCALLTYPE put_RestartCount(INT count) override { return NotImplemented(L"ITaskSettings::put_RestartCount"); }
    HRESULT STDMETHODCALLTYPE get_MultipleInstances(TASK_INSTANCES_POLICY *policy) override { return NotImplemented(L"ITaskSettings::get_MultipleInstances"); }
    HRESULT STDMETHODCALLTYPE put_MultipleInstances(TASK_INSTANCES_POLICY policy) override { return NotImplemented(L"ITaskSettings::put_MultipleInstances"); }
    HRESULT STDMETHODCALLTYPE get_StopIfGoingOnBatteries(VARIANT_BOOL *stop) override { return NotImplemented(L"ITaskSettings::get_StopIfGoingOnBatteries"); }
    HRESULT STDMETHODCALLTYPE put_StopIfGoingOnBatteries(VARIANT_BOOL stop) override { return NotImplemented(L"ITaskSettings::put_StopIfGoingOnBatteries"); }
    HRESULT STDMETHODCALLTYPE get_DisallowStartIfOnBatteries(VARIANT_BOOL *disallow) override { return NotImplemented(L"ITaskSettings::get_DisallowStartIfOnBatteries"); }
    HRESULT STDMETHODCALLTYPE put_DisallowStartIfOnBatteries(VARIANT_BOOL disallow) override { return NotImplemented(L"ITaskSettings::put_DisallowStartIfOnBatteries"); }
    HRESULT STDMETHODCALLTYPE get_AllowHardTerminate(VARIANT_BOOL *allow) override { return NotImplemented(L"ITaskSettings::get_AllowHardTerminate"); }
    HRESULT STDMETHODCALLTYPE put_AllowHardTerminate(VARIANT_BOOL allow) override { return NotImplemented(L"ITaskSettings::put_AllowHardTerminate"); }
    HRESULT STDMETHODCALLTYPE get_StartWhenAvailable(VARIANT_BOOL *start) override { return NotImplemented(L"ITaskSettings::get_StartWhenAvailable"); }
    HRESULT STDMETHODCALLTYPE put_StartWhenAvailable(VARIANT_BOOL start) override { return NotImplemented(L"ITaskSettings::put_StartWhenAvailable"); }
    HRESULT STDMETHODCALLTYPE get_XmlText(BSTR *xml) override { return NotImplemented(L"ITaskSettings::get_XmlText"); }
    HRESULT STDMETHODCALLTYPE put_XmlText(BSTR xml) override { return NotImplemented(L"ITaskSettings::put_XmlText"); }
    HRESULT STDMETHODCALLTYPE get_RunOnlyIfNetworkAvailable(VARIANT_BOOL *run) override { return NotImplemented(L"ITaskSettings::get_RunOnlyIfNetworkAvailable"); }
    HRESULT STDMETHODCALLTYPE put_RunOnlyIfNetworkAvailable(VARIANT_BOOL run) override { return NotImplemented(L"ITaskSettings::put_RunOnlyIfNetworkAvailable"); }
    HRESULT STDMETHODCALLTYPE get_ExecutionTimeLimit(BSTR *limit) override { return NotImplemented(L"ITaskSettings::get_ExecutionTimeLimit"); }
    HRESULT STDMETHODCALLTYPE put_ExecutionTimeLimit(BSTR limit) override { return NotImplemented(L"ITaskSettings::put_ExecutionTimeLimit"); }
    HRESULT STDMETHODCALLTYPE get_Enabled(VARIANT_BOOL *enabled) override { return NotImplemented(L"ITaskSettings::get_Enabled"); }
    HRESULT STDMETHODCALLTYPE put_Enabled(VARIANT_BOOL enabled) override { return NotImplemented(L"ITaskSettings::put_Enabled"); }
    HRESULT STDMETHODCALLTYPE get_DeleteExpiredTaskAfter(BSTR *delay) override { return NotImplemented(L"ITaskSettings::get_DeleteExpiredTaskAfter"); }
    HRESULT STDMETHODCALLTYPE put_DeleteExpiredTaskAfter(BSTR delay) override { return NotImplemented(L"ITaskSettings::put_DeleteExpiredTaskAfter"); }
    HRESULT STDMETHODCALLTYPE get_Priority(INT *priority) override { return NotImplemented(L"ITaskSettings::get_Priority"); }
    HRESULT STDMETHODCALLTYPE put_Priority(INT priority) override { return NotImplemented(L"ITaskSettings::put_Priority"); }
    HRESULT STDMETHODCALLTYPE get_Compatibility(TASK_COMPATIBILITY *level) override { return NotImplemented(L"ITaskSettings::get_Compatibility"); }
    HRESULT STDMETHODCALLTYPE put_Compatibility(TASK_COMPATIBILITY level) override { return NotImplemented(L"ITaskSettings::put_Compatibility"); }
    HRESULT STDMETHODCALLTYPE get_Hidden(VARIANT_BOOL *hidden) override { return NotImplemented(L"ITaskSettings::get_Hidden"); }
    HRESULT STDMETHODCALLTYPE put_Hidden(VARIANT_BOOL hidden) override { return NotImplemented(L"ITaskSettings::put_Hidden"); }
    HRESULT STDMETHODCALLTYPE get_IdleSettings(IIdleSettings **settings) override { return NotImplemented(L"ITaskSettings::get_IdleSettings"); }
    HRESULT STDMETHODCALLTYPE put_IdleSettings(IIdleSettings *settings) override { return NotImplemented(L"ITaskSettings::put_IdleSettings"); }
    HRESULT STDMETHODCALLTYPE get_RunOnlyIfIdle(VARIANT_BOOL *run) override { return NotImplemented(L"ITaskSettings::get_RunOnlyIfIdle"); }
    HRESULT STDMETHODCALLTYPE put_RunOnlyIfIdle(VARIANT_BOOL run) override { return NotImplemented(L"ITaskSettings::put_RunOnlyIfIdle"); }
    HRESULT STDMETHODCALLTYPE get_WakeToRun(VARIANT_BOOL *wake) override { return NotImplemented(L"ITaskSettings::get_WakeToRun"); }
    HRESULT STDMETHODCALLTYPE put_WakeToRun(VARIANT_BOOL wake) override { return NotImplemented(L"ITaskSettings::put_WakeToRun"); }
    HRESULT STDMETHODCALLTYPE get_NetworkSettings(INetworkSettings **settings) override { return NotImplemented(L"ITaskSettings::get_NetworkSettings"); }
    HRESULT STDMETHODCALLTYPE put_NetworkSettings(INetworkSettings *settings) override { return NotImplemented(L"ITaskSettings::put_NetworkSettings"); }
};

class StubTriggerCollection : public TaskStub<ITriggerCollection> {
public:
    explicit StubTriggerCollection(TaskLog* log) : TaskStub<ITriggerCollection>(log) {}
    HRESULT STDMETHODCALLTYPE get_Count(LONG *count) override { return NotImplemented(L"ITriggerCollection::get_Count"); }
    HRESULT STDMETHODCALLTYPE get_Item(LONG index, ITrigger **trigger) override { return NotImplemented(L"ITriggerCollection::get_Item"); }
    HRESULT STDMETHODCALLTYPE get__NewEnum(IUnknown **penum) override { return NotImplemented(L"ITriggerCollection::get__NewEnum"); }
    HRESULT STDMETHODCALLTYPE Create(TASK_TRIGGER_TYPE2 type, ITrigger **trigger) override { return NotImplemented(L"ITriggerCollection::Create"); }
    HRESULT STDMETHODCALLTYPE Remove(VARIANT index) override { return NotImplemented(L"ITriggerCollection::Remove"); }
    HRESULT STDMETHODCALLTYPE Clear() override { return NotImplemented(L"ITriggerCollection::Clear"); }
};

class StubTrigger : public TaskStub<ITrigger> {
public:
    explicit StubTrigger(TaskLog* log) : TaskStub<ITrigger>(log) {}
    HRESULT STDMETHODCALLTYPE get_Type(TASK_TRIGGER_TYPE2 *type) override { return NotImplemented(L"ITrigger::get_Type"); }
    HRESULT STDMETHODCALLTYPE get_Id(BSTR *id) override { return NotImplemented(L"ITrigger::get_Id"); }
    HRESULT STDMETHODCALLTYPE put_Id(BSTR id) override { return NotImplemented(L"ITrigger::put_Id"); }
    HRESULT STDMETHODCALLTYPE get_Repetition(IRepetitionPattern **repeat) override { return NotImplemented(L"ITrigger::get_Repetition"); }
    HRESULT STDMETHODCALLTYPE put_Repetition(IRepetitionPattern *repeat) override { return NotImplemented(L"ITrigger::put_Repetition"); }
    HRESULT STDMETHODCALLTYPE get_ExecutionTimeLimit(BSTR *limit) override { return NotImplemented(L"ITrigger::get_ExecutionTimeLimit"); }
    HRESULT STDMETHODCALLTYPE put_ExecutionTimeLimit(BSTR limit) override { return NotImplemented(L"ITrigger::put_ExecutionTimeLimit"); }
    HRESULT STDMETHODCALLTYPE get_StartBoundary(BSTR *start) override { return NotImplemented(L"ITrigger::get_StartBoundary"); }
    HRESULT STDMETHODCALLTYPE put_StartBoundary(BSTR start) override { return NotImplemented(L"ITrigger::put_StartBoundary"); }
    HRESULT STDMETHODCALLTYPE get_EndBoundary(BSTR *end) override { return NotImplemented(L"ITrigger::get_EndBoundary"); }
    HRESULT STDMETHODCALLTYPE put_EndBoundary(BSTR end) override { return NotImplemented(L"ITrigger::put_EndBoundary"); }
    HRESULT STDMETHODCALLTYPE get_Enabled(VARIANT_BOOL *enabled) override { return NotImplemented(L"ITrigger::get_Enabled"); }
    HRESULT STDMETHODCALLTYPE put_Enabled(VARIANT_BOOL enabled) override { return NotImplemented(L"ITrigger::put_Enabled"); }
};

class StubActionCollection : public TaskStub<IActionCollection> {
public:
    explicit StubActionCollection(TaskLog* log) : TaskStub<IActionCollection>(log) {}
    HRESULT STDMETHODCALLTYPE get_Count(LONG *count) override { return NotImplemented(L"IActionCollection::get_Count"); }
    HRESULT STDMETHODCALLTYPE get_Item(LONG index, IAction **action) override { return NotImplemented(L"IActionCollection::get_Item"); }
    HRESULT STDMETHODCALLTYPE get__NewEnum(IUnknown **penum) override { return NotImplemented(L"IActionCollection::get__NewEnum"); }
    HRESULT STDMETHODCALLTYPE get_XmlText(BSTR *xml) override { return NotImplemented(L"IActionCollection::get_XmlText"); }
    HRESULT STDMETHODCALLTYPE put_XmlText(BSTR xml) override { return NotImplemented(L"IActionCollection::put_XmlText"); }
    HRESULT STDMETHODCALLTYPE Create(TASK_ACTION_TYPE Type, IAction **action) override { return NotImplemented(L"IActionCollection::Create"); }
    HRESULT STDMETHODCALLTYPE Remove(VARIANT index) override { return NotImplemented(L"IActionCollection::Remove"); }
    HRESULT STDMETHODCALLTYPE Clear() override { return NotImplemented(L"IActionCollection::Clear"); }
    HRESULT STDMETHODCALLTYPE get_Context(BSTR *ctx) override { return NotImplemented(L"IActionCollection::get_Context"); }
    HRESULT STDMETHODCALLTYPE put_Context(BSTR ctx) override { return NotImplemented(L"IActionCollection::put_Context"); }
};

class StubAction : public TaskStub<IAction> {
public:
    explicit StubAction(TaskLog* log) : TaskStub<IAction>(log) {}
    HRESULT STDMETHODCALLTYPE get_Id(BSTR *id) override { return NotImplemented(L"IAction::get_Id"); }
    HRESULT STDMETHODCALLTYPE put_Id(BSTR id) override { return NotImplemented(L"IAction::put_Id"); }
    HRESULT STDMETHODCALLTYPE get_Type(TASK_ACTION_TYPE *type) override { return NotImplemented(L"IAction::get_Type"); }
};

class StubExecAction : public TaskStub<IExecAction> {
public:
    explicit StubExecAction(TaskLog* log) : TaskStub<IExecAction>(log) {}
    HRESULT STDMETHODCALLTYPE get_Id(BSTR *id) override { return NotImplemented(L"IAction::get_Id"); }
    HRESULT STDMETHODCALLTYPE put_Id(BSTR id) override { return NotImplemented(L"IAction::put_Id"); }
    HRESULT STDMETHODCALLTYPE get_Type(TASK_ACTION_TYPE *type) override { return NotImplemented(L"IAction::get_Type"); }
    HRESULT STDMETHODCALLTYPE get_Path(BSTR *path) override { return NotImplemented(L"IExecAction::get_Path"); }
    HRESULT STDMETHODCALLTYPE put_Path(BSTR path) override { return NotImplemented(L"IExecAction::put_Path"); }
    HRESULT STDMETHODCALLTYPE get_Arguments(BSTR *argument) override { return NotImplemented(L"IExecAction::get_Arguments"); }
    HRESULT STDMETHODCALLTYPE put_Arguments(BSTR argument) override { return NotImplemented(L"IExecAction::put_Arguments"); }
    HRESULT STDMETHODCALLTYPE get_WorkingDirectory(BSTR *directory) override { return NotImplemented(L"IExecAction::get_WorkingDirectory"); }
    HRESULT STDMETHODCALLTYPE put_WorkingDirectory(BSTR directory) override { return NotImplemented(L"IExecAction::put_WorkingDirectory"); }
};

class StubRegisteredTask : public TaskStub<IRegisteredTask> {
public:
    explicit StubRegisteredTask(TaskLog* log) : TaskStub<IRegisteredTask>(log) {}
    HRESULT STDMETHODCALLTYPE get_Name(BSTR *name) override { return NotImplemented(L"IRegisteredTask::get_Name"); }
    HRESULT STDMETHODCALLTYPE get_Path(BSTR *path) override { return NotImplemented(L"IRegisteredTask::get_Path"); }
    HRESULT STDMETHODCALLTYPE get_State(TASK_STATE *state) override { return NotImplemented(L"IRegisteredTask::get_State"); }
    HRESULT STDMETHODCALLTYPE get_Enabled(VARIANT_BOOL *enabled) override { return NotImplemented(L"IRegisteredTask::get_Enabled"); }
    HRESULT STDMETHODCALLTYPE put_Enabled(VARIANT_BOOL enabled) override { return NotImplemented(L"IRegisteredTask::put_Enabled"); }
    HRESULT STDMETHODCALLTYPE Run(VARIANT params, IRunningTask **task) override { return NotImplemented(L"IRegisteredTask::Run"); }
    HRESULT STDMETHODCALLTYPE RunEx(VARIANT params, LONG flags, LONG sessionID, BSTR user, IRunningTask **task) override { return NotImplemented(L"IRegisteredTask::RunEx"); }
    HRESULT STDMETHODCALLTYPE GetInstances(LONG flags, IRunningTaskCollection **tasks) override { return NotImplemented(L"IRegisteredTask::GetInstances"); }
    HRESULT STDMETHODCALLTYPE get_LastRunTime(DATE *date) override { return NotImplemented(L"IRegisteredTask::get_LastRunTime"); }
    HRESULT STDMETHODCALLTYPE get_LastTaskResult(LONG *result) override { return NotImplemented(L"IRegisteredTask::get_LastTaskResult"); }
    HRESULT STDMETHODCALLTYPE get_NumberOfMissedRuns(LONG *runs) override { return NotImplemented(L"IRegisteredTask::get_NumberOfMissedRuns"); }
    HRESULT STDMETHODCALLTYPE get_NextRunTime(DATE *date) override { return NotImplemented(L"IRegisteredTask::get_NextRunTime"); }
    HRESULT STDMETHODCALLTYPE get_Definition(ITaskDefinition **task) override { return NotImplemented(L"IRegisteredTask::get_Definition"); }
    HRESULT STDMETHODCALLTYPE get_Xml(BSTR *xml) override { return NotImplemented(L"IRegisteredTask::get_Xml"); }
    HRESULT STDMETHODCALLTYPE GetSecurityDescriptor(LONG info, BSTR *sddl) override { return NotImplemented(L"IRegisteredTask::GetSecurityDescriptor"); }
    HRESULT STDMETHODCALLTYPE SetSecurityDescriptor(BSTR sddl, LONG flags) override { return NotImplemented(L"IRegisteredTask::SetSecurityDescriptor"); }
    HRESULT STDMETHODCALLTYPE Stop(LONG flags) override { return NotImplemented(L"IRegisteredTask::Stop"); }
    HRESULT STDMETHODCALLTYPE GetRunTimes(const LPSYSTEMTIME start, const LPSYSTEMTIME end, DWORD *count, LPSYSTEMTIME *time) override { return NotImplemented(L"IRegisteredTask::GetRunTimes"); }
};

class StubRegistrationTrigger : public TaskStub<IRegistrationTrigger> {
public:
    explicit StubRegistrationTrigger(TaskLog* log) : TaskStub<IRegistrationTrigger>(log) {}
    HRESULT STDMETHODCALLTYPE get_Type(TASK_TRIGGER_TYPE2 *type) override { return NotImplemented(L"ITrigger::get_Type"); }
    HRESULT STDMETHODCALLTYPE get_Id(BSTR *id) override { return NotImplemented(L"ITrigger::get_Id"); }
    HRESULT STDMETHODCALLTYPE put_Id(BSTR id) override { return NotImplemented(L"ITrigger::put_Id"); }
    HRESULT STDMETHODCALLTYPE get_Repetition(IRepetitionPattern **repeat) override { return NotImplemented(L"ITrigger::get_Repetition"); }
    HRESULT STDMETHODCALLTYPE put_Repetition(IRepetitionPattern *repeat) override { return NotImplemented(L"ITrigger::put_Repetition"); }
    HRESULT STDMETHODCALLTYPE get_ExecutionTimeLimit(BSTR *limit) override { return NotImplemented(L"ITrigger::get_ExecutionTimeLimit"); }
    HRESULT STDMETHODCALLTYPE put_ExecutionTimeLimit(BSTR limit) override { return NotImplemented(L"ITrigger::put_ExecutionTimeLimit"); }
    HRESULT STDMETHODCALLTYPE get_StartBoundary(BSTR *start) override { return NotImplemented(L"ITrigger::get_StartBoundary"); }
    HRESULT STDMETHODCALLTYPE put_StartBoundary(BSTR start) override { return NotImplemented(L"ITrigger::put_StartBoundary"); }
    HRESULT STDMETHODCALLTYPE get_EndBoundary(BSTR *end) override { return NotImplemented(L"ITrigger::get_EndBoundary"); }
    HRESULT STDMETHODCALLTYPE put_EndBoundary(BSTR end) override { return NotImplemented(L"ITrigger::put_EndBoundary"); }
    HRESULT STDMETHODCALLTYPE get_Enabled(VARIANT_BOOL *enabled) override { return NotImplemented(L"ITrigger::get_Enabled"); }
    HRESULT STDMETHODCALLTYPE put_Enabled(VARIANT_BOOL enabled) override { return NotImplemented(L"ITrigger::put_Enabled"); }
    HRESULT STDMETHODCALLTYPE get_Delay(BSTR *delay) override { return NotImplemented(L"IRegistrationTrigger::get_Delay"); }
    HRESULT STDMETHODCALLTYPE put_Delay(BSTR delay) override { return NotImplemented(L"IRegistrationTrigger::put_Delay"); }
};

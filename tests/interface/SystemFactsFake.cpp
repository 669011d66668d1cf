// The chosen system facts of FakeSystemFacts.
#include "SystemFactsFake.h"
#include <taskschd.h>

bool FakeSystemFacts::QueryVersion(OSVERSIONINFOEXW& info)
{
    if (m_versionFails)
        return false;
    if (!m_version)
        return CSystemFacts::QueryVersion(info);
    ZeroMemory(&info, sizeof(info));
    info.dwOSVersionInfoSize = sizeof(info);
    info.dwMajorVersion = m_major;
    info.dwMinorVersion = m_minor;
    info.dwPlatformId = m_platform;
    info.wProductType = m_productType;
    return true;
}

WORD FakeSystemFacts::ProcessorArchitecture()
{
    return m_architecture ? *m_architecture : CSystemFacts::ProcessorArchitecture();
}

CSystemFacts::ElevationQuery FakeSystemFacts::QueryElevation(bool& elevated, DWORD& error)
{
    if (!m_elevation)
        return CSystemFacts::QueryElevation(elevated, error);
    if (*m_elevation == kElevationKnown)
        elevated = m_elevated;
    else
        error = m_elevationError;
    return *m_elevation;
}

bool FakeSystemFacts::TokenHoldsGroup(const wchar_t* sidText)
{
    if (!m_hasGroups)
        return CSystemFacts::TokenHoldsGroup(sidText);
    for (const std::wstring& sid : m_groups)
        if (sid == sidText)
            return true;
    return false;
}

bool FakeSystemFacts::EnumerateSessions(std::vector<Session>& sessions)
{
    if (!m_hasSessions)
        return CSystemFacts::EnumerateSessions(sessions);
    sessions = m_sessions;
    return true;
}

CString FakeSystemFacts::CurrentSessionUserName()
{
    return m_currentUser ? CString(m_currentUser->c_str()) : CSystemFacts::CurrentSessionUserName();
}

HRESULT FakeSystemFacts::CreateTaskService(ITaskService** service)
{
    ++taskServiceRequests;
    if (!m_hasTask)
        return CSystemFacts::CreateTaskService(service);
    *service = nullptr;
    if (FAILED(m_taskResult))
        return m_taskResult;
    m_taskService->AddRef();
    *service = m_taskService;
    return S_OK;
}

BOOL FakeSystemFacts::ShellExecuteEx(SHELLEXECUTEINFOW& info)
{
    if (!m_recordLaunches)
        return CSystemFacts::ShellExecuteEx(info);
    Launch launch;
    launch.verb = info.lpVerb != nullptr ? info.lpVerb : L"";
    launch.file = info.lpFile != nullptr ? info.lpFile : L"";
    launch.parameters = info.lpParameters != nullptr ? info.lpParameters : L"";
    launch.folder = info.lpDirectory != nullptr ? info.lpDirectory : L"";
    launch.mask = info.fMask;
    launch.show = info.nShow;
    launches.push_back(launch);
    if (!m_launchResult)
        SetLastError(m_launchError);
    return m_launchResult;
}

HANDLE FakeSystemFacts::CreateProcessSnapshot()
{
    if (m_snapshotFails) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return INVALID_HANDLE_VALUE;
    }
    return CSystemFacts::CreateProcessSnapshot();
}

bool FakeSystemFacts::DocumentsFolder(CString& path)
{
    if (!m_hasDocuments)
        return CSystemFacts::DocumentsFolder(path);
    if (!m_documents)
        return false;
    path = m_documents->c_str();
    return true;
}

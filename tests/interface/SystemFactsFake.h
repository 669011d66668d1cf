// System facts that a test chooses: Windows version, elevation, account groups, sessions,
// the Task Scheduler, ShellExecuteEx and the Documents folder. Installed for the object's
// lifetime; every fact not set is asked of the real system.
#pragma once
#include "SystemFacts.h"
#include <map>
#include <optional>
#include <string>
#include <vector>

class FakeSystemFacts : public CSystemFacts {
public:
    struct Launch {
        std::wstring verb, file, parameters, folder;
        ULONG mask;
        int show;
    };

    FakeSystemFacts() { m_previous = CSystemFacts::Install(this); }
    ~FakeSystemFacts() override { CSystemFacts::Install(m_previous); }

    // Version: major.minor, NT platform, workstation unless said.
    void SetVersion(DWORD major, DWORD minor, BYTE productType = VER_NT_WORKSTATION,
                    DWORD platform = VER_PLATFORM_WIN32_NT)
    {
        m_version = true;
        m_versionFails = false;
        m_major = major;
        m_minor = minor;
        m_productType = productType;
        m_platform = platform;
    }
    void FailVersion() { m_versionFails = true; }
    void SetArchitecture(WORD architecture) { m_architecture = architecture; }
    void SetElevation(ElevationQuery query, bool elevated, DWORD error = 5)
    {
        m_elevation = query;
        m_elevated = elevated;
        m_elevationError = error;
    }
    // The token's groups by SID text; only the listed SIDs are held.
    void SetGroups(std::vector<std::wstring> sids) { m_groups = sids; m_hasGroups = true; }
    void SetSessions(std::vector<Session> sessions) { m_sessions = sessions; m_hasSessions = true; }
    void SetCurrentUser(const wchar_t* name) { m_currentUser = name; }
    void SetTaskService(ITaskService* service, HRESULT result = S_OK) { m_taskService = service; m_taskResult = result; m_hasTask = true; }
    // Records launches instead of starting anything; result is what ShellExecuteEx answers.
    void RecordLaunches(BOOL result = TRUE, DWORD error = 0) { m_recordLaunches = true; m_launchResult = result; m_launchError = error; }
    void FailProcessSnapshot() { m_snapshotFails = true; }
    void SetDocuments(const std::wstring& path) { m_documents = path; m_hasDocuments = true; }
    void NoDocuments() { m_documents.reset(); m_hasDocuments = true; }

    std::vector<Launch> launches;
    int taskServiceRequests = 0;

    bool QueryVersion(OSVERSIONINFOEXW& info) override;
    WORD ProcessorArchitecture() override;
    ElevationQuery QueryElevation(bool& elevated, DWORD& error) override;
    bool TokenHoldsGroup(const wchar_t* sidText) override;
    bool EnumerateSessions(std::vector<Session>& sessions) override;
    CString CurrentSessionUserName() override;
    HRESULT CreateTaskService(ITaskService** service) override;
    BOOL ShellExecuteEx(SHELLEXECUTEINFOW& info) override;
    HANDLE CreateProcessSnapshot() override;
    bool DocumentsFolder(CString& path) override;

private:
    CSystemFacts* m_previous = nullptr;
    bool m_version = false, m_versionFails = false;
    DWORD m_major = 0, m_minor = 0, m_platform = 0;
    BYTE m_productType = 0;
    std::optional<WORD> m_architecture;
    std::optional<ElevationQuery> m_elevation;
    bool m_elevated = false;
    DWORD m_elevationError = 0;
    bool m_hasGroups = false;
    std::vector<std::wstring> m_groups;
    bool m_hasSessions = false;
    std::vector<Session> m_sessions;
    std::optional<std::wstring> m_currentUser;
    bool m_hasTask = false;
    ITaskService* m_taskService = nullptr;
    HRESULT m_taskResult = S_OK;
    bool m_recordLaunches = false;
    BOOL m_launchResult = TRUE;
    DWORD m_launchError = 0;
    bool m_snapshotFails = false;
    bool m_hasDocuments = false;
    std::optional<std::wstring> m_documents;
};

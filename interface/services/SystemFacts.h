// The system facts that the settings and service classes ask for, behind one replaceable
// provider, so that tests can play any Windows version, elevation, account or session.
//
// CSystemFacts itself answers from the running system. A test derives from it, overrides
// what it wants to vary and installs its object with CSystemFacts::Install for as long as the
// test runs; the caller keeps ownership. Install and Current are not locked: install before
// the code under test starts threads.
#pragma once
#include "ToviInterfaceApi.h"
#include "Strings.h"
#include <windows.h>
#include <shellapi.h>
#include <vector>

struct ITaskService;

class TOVIINTERFACE_API CSystemFacts {
public:
    enum ElevationQuery {
        kElevationKnown = 0,
        kOpenTokenFailed = 1,
        kTokenInfoFailed = 2,
    };

    struct Session {
        DWORD id;
        int state;          // WTS_CONNECTSTATE_CLASS: 0 active
        CString userName;
    };

    CSystemFacts();
    virtual ~CSystemFacts();

    // The running provider: the installed one, else the real system.
    static CSystemFacts& Current();
    // Installs facts (null restores the real system) and returns the one it replaces.
    static CSystemFacts* Install(CSystemFacts* facts);

    // Version of the running system as the system itself reports it; false when the query fails.
    virtual bool QueryVersion(OSVERSIONINFOEXW& info);
    // PROCESSOR_ARCHITECTURE_* of the machine (GetNativeSystemInfo when the system has it).
    virtual WORD ProcessorArchitecture();
    // The TokenElevation of this process. On a failure error receives GetLastError.
    virtual ElevationQuery QueryElevation(bool& elevated, DWORD& error);
    // True when this process's token lists the group with that SID text, whatever its attributes.
    virtual bool TokenHoldsGroup(const wchar_t* sidText);
    // The terminal-services sessions with their users; false when they cannot be listed.
    virtual bool EnumerateSessions(std::vector<Session>& sessions);
    // The user name of the session this process runs in; empty when it cannot be asked.
    virtual CString CurrentSessionUserName();
    // Creates the Task Scheduler service object; COM is initialised by the caller.
    virtual HRESULT CreateTaskService(ITaskService** service);
    // ShellExecuteEx as it is.
    virtual BOOL ShellExecuteEx(SHELLEXECUTEINFOW& info);
    // CreateToolhelp32Snapshot of the processes; INVALID_HANDLE_VALUE on failure.
    virtual HANDLE CreateProcessSnapshot();
    // The user's Documents folder (CSIDL_PERSONAL); false when it has none.
    virtual bool DocumentsFolder(CString& path);
    // The settings store's changes: RegCreateKeyEx (read and write access, non-volatile) and
    // RegSetValueEx as they are; the results are theirs.
    virtual LONG CreateRegistryKey(HKEY parent, const wchar_t* path, HKEY* key);
    virtual LONG SetRegistryValue(HKEY key, const wchar_t* name, DWORD type, const BYTE* data, DWORD bytes);

private:
    CSystemFacts(const CSystemFacts&) = delete;
    CSystemFacts& operator=(const CSystemFacts&) = delete;
};

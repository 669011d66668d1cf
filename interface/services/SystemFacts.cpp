// The real system's answers to CSystemFacts, and the switch that lets tests replace them.
#include "SystemFacts.h"
#include <sddl.h>
#include <shlobj.h>
#include <taskschd.h>
#include <tlhelp32.h>
#include <wtsapi32.h>

namespace {
CSystemFacts g_realSystem;
CSystemFacts* g_installed = nullptr;

class TokenHandle {
public:
    TokenHandle() { m_ok = ::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &m_token) != FALSE; }
    ~TokenHandle() { if (m_ok) ::CloseHandle(m_token); }
    bool Ok() const { return m_ok; }
    HANDLE Get() const { return m_token; }
private:
    HANDLE m_token = nullptr;
    bool m_ok = false;
};
}

CSystemFacts::CSystemFacts() {}
CSystemFacts::~CSystemFacts() {}

CSystemFacts& CSystemFacts::Current()
{
    return g_installed != nullptr ? *g_installed : g_realSystem;
}

CSystemFacts* CSystemFacts::Install(CSystemFacts* facts)
{
    CSystemFacts* previous = g_installed;
    g_installed = facts;
    return previous;
}

bool CSystemFacts::QueryVersion(OSVERSIONINFOEXW& info)
{
    ZeroMemory(&info, sizeof(info));
    info.dwOSVersionInfoSize = sizeof(info);
    return ::GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&info)) != FALSE;
}

WORD CSystemFacts::ProcessorArchitecture()
{
    typedef void(WINAPI * NativeInfoFn)(LPSYSTEM_INFO);
    SYSTEM_INFO si = {};
    HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
    NativeInfoFn native = kernel != nullptr
        ? reinterpret_cast<NativeInfoFn>(::GetProcAddress(kernel, "GetNativeSystemInfo"))
        : nullptr;
    if (native != nullptr)
        native(&si);
    else
        ::GetSystemInfo(&si);
    return si.wProcessorArchitecture;
}

CSystemFacts::ElevationQuery CSystemFacts::QueryElevation(bool& elevated, DWORD& error)
{
    TokenHandle token;
    if (!token.Ok()) {
        error = ::GetLastError();
        return kOpenTokenFailed;
    }
    TOKEN_ELEVATION elevation = {};
    DWORD size = 0;
    if (!::GetTokenInformation(token.Get(), TokenElevation, &elevation, sizeof(elevation), &size)) {
        error = ::GetLastError();
        return kTokenInfoFailed;
    }
    elevated = elevation.TokenIsElevated != 0;
    return kElevationKnown;
}

bool CSystemFacts::TokenHoldsGroup(const wchar_t* sidText)
{
    PSID wanted = nullptr;
    if (sidText == nullptr || !::ConvertStringSidToSidW(sidText, &wanted))
        return false;
    bool found = false;
    TokenHandle token;
    DWORD size = 0;
    if (token.Ok()) {
        ::GetTokenInformation(token.Get(), TokenGroups, nullptr, 0, &size);
        std::vector<BYTE> buffer(size);
        if (size > 0 && ::GetTokenInformation(token.Get(), TokenGroups, buffer.data(), size, &size)) {
            const TOKEN_GROUPS* groups = reinterpret_cast<const TOKEN_GROUPS*>(buffer.data());
            for (DWORD i = 0; i < groups->GroupCount && !found; ++i)
                found = ::EqualSid(groups->Groups[i].Sid, wanted) != FALSE;
        }
    }
    ::LocalFree(wanted);
    return found;
}

bool CSystemFacts::EnumerateSessions(std::vector<Session>& sessions)
{
    WTS_SESSION_INFOW* list = nullptr;
    DWORD count = 0;
    if (!::WTSEnumerateSessionsW(WTS_CURRENT_SERVER_HANDLE, 0, 1, &list, &count))
        return false;
    for (DWORD i = 0; i < count; ++i) {
        Session s;
        s.id = list[i].SessionId;
        s.state = list[i].State;
        LPWSTR name = nullptr;
        DWORD bytes = 0;
        if (::WTSQuerySessionInformationW(WTS_CURRENT_SERVER_HANDLE, s.id, WTSUserName, &name, &bytes)) {
            s.userName = name;
            ::WTSFreeMemory(name);
        }
        sessions.push_back(s);
    }
    ::WTSFreeMemory(list);
    return true;
}

CString CSystemFacts::CurrentSessionUserName()
{
    CString result;
    LPWSTR name = nullptr;
    DWORD bytes = 0;
    if (::WTSQuerySessionInformationW(WTS_CURRENT_SERVER_HANDLE, WTS_CURRENT_SESSION, WTSUserName, &name, &bytes)) {
        result = name;
        ::WTSFreeMemory(name);
    }
    return result;
}

HRESULT CSystemFacts::CreateTaskService(ITaskService** service)
{
    return ::CoCreateInstance(CLSID_TaskScheduler, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskService,
                              reinterpret_cast<void**>(service));
}

BOOL CSystemFacts::ShellExecuteEx(SHELLEXECUTEINFOW& info)
{
    return ::ShellExecuteExW(&info);
}

HANDLE CSystemFacts::CreateProcessSnapshot()
{
    return ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
}

bool CSystemFacts::DocumentsFolder(CString& path)
{
    wchar_t buffer[MAX_PATH] = {};
    if (!::SHGetSpecialFolderPathW(nullptr, buffer, CSIDL_PERSONAL, FALSE))
        return false;
    path = buffer;
    return true;
}

LONG CSystemFacts::CreateRegistryKey(HKEY parent, const wchar_t* path, HKEY* key)
{
    return ::RegCreateKeyExW(parent, path, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_READ | KEY_WRITE, nullptr, key,
                             nullptr);
}

LONG CSystemFacts::SetRegistryValue(HKEY key, const wchar_t* name, DWORD type, const BYTE* data, DWORD bytes)
{
    return ::RegSetValueExW(key, name, 0, type, data, bytes);
}

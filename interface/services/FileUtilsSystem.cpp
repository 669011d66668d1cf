// CFileUtils: Windows version, locale, accounts, memory, network, adapters, processes and
// the main window's placement.
#include <winsock2.h>
#include "FileUtils.h"
#include "SystemFacts.h"
#include "ToviRegistry.h"
#include "ToviTextLanguage.h"
#include "TraceLog.h"
#include "WinApp.h"
#include "Wnd.h"
#include <iphlpapi.h>
#include <icmpapi.h>
#include <tlhelp32.h>
#include <vector>

namespace {

const wchar_t* ProductName(DWORD major, DWORD minor, BYTE productType, WORD architecture)
{
    bool workstation = productType == VER_NT_WORKSTATION;
    if (major == 5 && minor == 0) return L"Windows 2000";
    if (major == 5 && minor == 1) return L"Windows XP";
    if (major == 5 && minor == 2)
        return workstation && architecture == PROCESSOR_ARCHITECTURE_AMD64 ? L"Windows XP Professional x64" : L"Windows Server 2003";
    if (major == 6 && minor == 0) return workstation ? L"Windows Vista" : L"Windows Server 2008";
    if (major == 6 && minor == 1) return workstation ? L"Windows 7" : L"Windows Server 2008 R2";
    if (major == 6 && minor == 2) return workstation ? L"Windows 8" : L"Windows Server 2012";
    if (major == 6 && minor == 3) return workstation ? L"Windows 8.1" : L"Windows Server 2012 R2";
    if (major == 10) return workstation ? L"Windows 10" : L"Windows Server 2016";
    return L"Unknown Windows";
}

int AccountIs(const wchar_t* sid)
{
    return CSystemFacts::Current().TokenHoldsGroup(sid) ? 1 : 0;
}

const wchar_t kAdministrators[] = L"S-1-5-32-544";
const wchar_t kPowerUsers[] = L"S-1-5-32-547";
const wchar_t kGuests[] = L"S-1-5-32-546";

}

int CFileUtils::WindowsTypeOf(DWORD major, DWORD minor, DWORD platform, BYTE productType, WORD architecture)
{
    if (platform != VER_PLATFORM_WIN32_NT)
        return 7;
    bool workstation = productType == VER_NT_WORKSTATION;
    if (major == 5 && minor == 0) return 5;
    if (major == 5 && minor == 1) return 6;
    if (major == 5 && minor == 2) return workstation && architecture == PROCESSOR_ARCHITECTURE_AMD64 ? 6 : 7;
    if (major == 6 && minor == 0) return 8;
    if (major == 6 && minor == 1) return 9;
    if (major == 6 && minor == 2) return workstation ? 10 : 9;
    return 7;
}

int CFileUtils::GetWindowsType()
{
    CSystemFacts& facts = CSystemFacts::Current();
    OSVERSIONINFOEXW info;
    if (!facts.QueryVersion(info))
        return -1;
    return WindowsTypeOf(info.dwMajorVersion, info.dwMinorVersion, info.dwPlatformId, info.wProductType,
                         facts.ProcessorArchitecture());
}

void CFileUtils::PrintWindowsType()
{
    CSystemFacts& facts = CSystemFacts::Current();
    OSVERSIONINFOEXW info;
    if (!facts.QueryVersion(info)) {
        TraceLog(1, L"Get Windows Type -- ERROR!\n");
        return;
    }
    WORD architecture = facts.ProcessorArchitecture();
    bool wide = architecture == PROCESSOR_ARCHITECTURE_AMD64 || architecture == PROCESSOR_ARCHITECTURE_IA64;
    CString version;
    version.Format(L" %d . %d", static_cast<int>(info.dwMajorVersion), static_cast<int>(info.dwMinorVersion));
    TraceLog(1, L"\n==================================================\nARCHITECTURE = %s\nWINDOWS VERSION = %s [ %s ]\n"
                L"==================================================\n",
             wide ? L"64-bit" : L"32-bit",
             ProductName(info.dwMajorVersion, info.dwMinorVersion, info.wProductType, architecture),
             version.GetString());
}

bool CFileUtils::SetLocaleChange(unsigned short language)
{
    int code = GetWindowsType();
    if (code == -1)
        return false;
    LCID locale = MAKELCID(MAKELANGID(language, SUBLANG_DEFAULT), SORT_DEFAULT);
    // The texts of ToviLanguage and ToviMessage follow the thread's own choice; a system
    // may accept the UI language without letting the thread read it back.
    CToviTextLanguage::SetThreadLanguage(language);
    if (code < 8)
        return ::SetThreadLocale(locale) != FALSE;
    typedef LANGID(WINAPI * SetUiLanguageFn)(LANGID);
    HMODULE kernel = ::LoadLibraryW(L"kernel32.dll");
    if (kernel == nullptr)
        return false;
    bool done = false;
    SetUiLanguageFn setUiLanguage =
        reinterpret_cast<SetUiLanguageFn>(::GetProcAddress(kernel, "SetThreadUILanguage"));
    if (setUiLanguage != nullptr)
        done = setUiLanguage(static_cast<LANGID>(locale)) == static_cast<LANGID>(locale);
    ::FreeLibrary(kernel);
    return done;
}

int CFileUtils::GetMemoryCheck()
{
    MEMORYSTATUS status = {};
    status.dwLength = sizeof(status);
    ::GlobalMemoryStatus(&status);
    return status.dwAvailPhys > 524287999 ? 1 : 0;
}

int CFileUtils::GetNetConnect(const char* address)
{
    if (address == nullptr)
        return 0;
    unsigned long ip = ::inet_addr(address);
    if (ip == INADDR_NONE)
        return 0;
    HANDLE icmp = ::IcmpCreateFile();
    if (icmp == INVALID_HANDLE_VALUE)
        return 0;
    char request[32] = "Connected Check";
    char reply[60] = {};
    DWORD answers = ::IcmpSendEcho(icmp, ip, request, sizeof(request), nullptr, reply, sizeof(reply), 60000);
    ::IcmpCloseHandle(icmp);
    if (answers == 0) {
        TraceLog(1, L"%S connect failed\n", address);
        return 0;
    }
    return 1;
}

int CFileUtils::IsWow64()
{
    typedef BOOL(WINAPI * IsWow64Fn)(HANDLE, PBOOL);
    HMODULE kernel = ::GetModuleHandleW(L"Kernel32");
    IsWow64Fn isWow64 = kernel != nullptr
        ? reinterpret_cast<IsWow64Fn>(::GetProcAddress(kernel, "IsWow64Process"))
        : nullptr;
    BOOL wow64 = FALSE;
    if (isWow64 == nullptr || !isWow64(::GetCurrentProcess(), &wow64))
        return 0;
    return wow64 ? 1 : 0;
}

CString CFileUtils::GetMacList()
{
    ULONG size = sizeof(IP_ADAPTER_INFO);
    std::vector<BYTE> buffer(size);
    DWORD result = ::GetAdaptersInfo(reinterpret_cast<IP_ADAPTER_INFO*>(buffer.data()), &size);
    if (result == ERROR_BUFFER_OVERFLOW) {
        buffer.resize(size);
        result = ::GetAdaptersInfo(reinterpret_cast<IP_ADAPTER_INFO*>(buffer.data()), &size);
    }
    CString list;
    if (result != ERROR_SUCCESS)
        return list;
    for (IP_ADAPTER_INFO* adapter = reinterpret_cast<IP_ADAPTER_INFO*>(buffer.data()); adapter != nullptr;
         adapter = adapter->Next) {
        if (!list.IsEmpty())
            list += L'|';
        for (UINT i = 0; i < adapter->AddressLength && i < MAX_ADAPTER_ADDRESS_LENGTH; ++i) {
            if (i > 0)
                list += L'-';
            list.AppendFormat(L"%02X", adapter->Address[i]);
        }
    }
    TraceLog(1, L"[ CFileUtils::GetMacList ] %s\n", list.GetString());
    return list;
}

int CFileUtils::FindProcess(CString exeName)
{
    HANDLE snapshot = CSystemFacts::Current().CreateProcessSnapshot();
    if (snapshot == INVALID_HANDLE_VALUE) {
        TraceLog(2048, L"[ CFileUtils::FindProcess ] CreateToolhelp32Snapshot failed [ %d ]\n",
                 static_cast<int>(::GetLastError()));
        return 0;
    }
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof(entry);
    int found = 0;
    for (BOOL more = ::Process32FirstW(snapshot, &entry); more && !found; more = ::Process32NextW(snapshot, &entry))
        found = exeName == entry.szExeFile ? 1 : 0;
    ::CloseHandle(snapshot);
    return found;
}

CString CFileUtils::GetProcessList()
{
    CString list;
    HANDLE snapshot = CSystemFacts::Current().CreateProcessSnapshot();
    if (snapshot == INVALID_HANDLE_VALUE) {
        TraceLog(2048, L"[ CFileUtils::GetProcessList ] CreateToolhelp32Snapshot failed [ %d ]\n",
                 static_cast<int>(::GetLastError()));
        return list;
    }
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = ::Process32FirstW(snapshot, &entry); more; more = ::Process32NextW(snapshot, &entry))
        list.AppendFormat(L"\r\n  - %s", entry.szExeFile);
    ::CloseHandle(snapshot);
    return list;
}

int CFileUtils::IsAdminAccount() { return AccountIs(kAdministrators); }
int CFileUtils::IsPowerUserAccount() { return AccountIs(kPowerUsers); }
int CFileUtils::IsGuestAccount() { return AccountIs(kGuests); }

int CFileUtils::IsUserAccount()
{
    return !IsAdminAccount() && !IsPowerUserAccount() && !IsGuestAccount() ? 1 : 0;
}

WindowsAccountType CFileUtils::GetWindowsAccountType()
{
    if (IsAdminAccount())
        return WINDOWS_ACCOUNT_ADMINISTRATOR;
    if (IsPowerUserAccount())
        return WINDOWS_ACCOUNT_POWER_USER;
    if (IsUserAccount())
        return WINDOWS_ACCOUNT_USER;
    if (IsGuestAccount())
        return WINDOWS_ACCOUNT_GUEST;
    return WINDOWS_ACCOUNT_NONE;
}

CString CFileUtils::GetUserNameW()
{
    return CSystemFacts::Current().CurrentSessionUserName();
}

void CFileUtils::LoadPlacement(RECT* normal, bool keepShowState)
{
    CWinApp* app = AfxGetApp();
    CWnd* main = app != nullptr ? AfxGetMainWnd() : nullptr;
    if (main == nullptr || main->GetSafeHwnd() == nullptr)
        return;
    BYTE* data = nullptr;
    UINT bytes = 0;
    if (!app->GetProfileBinary(L"CorvaneIXO", L"Pos", &data, &bytes) || data == nullptr)
        return;
    if (bytes == sizeof(WINDOWPLACEMENT)) {
        WINDOWPLACEMENT placement;
        memcpy(&placement, data, sizeof(placement));
        if (!keepShowState)
            placement.showCmd = 0;
        if (normal != nullptr)
            *normal = placement.rcNormalPosition;
        ::SetWindowPlacement(main->GetSafeHwnd(), &placement);
    }
    delete[] data;
}

bool CFileUtils::SavePlacement()
{
    CWinApp* app = AfxGetApp();
    CWnd* main = app != nullptr ? AfxGetMainWnd() : nullptr;
    if (main == nullptr || main->GetSafeHwnd() == nullptr)
        return false;
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof(placement);
    if (!::GetWindowPlacement(main->GetSafeHwnd(), &placement)) {
        TraceLog(2048, L"[ CFileUtils::SavePlacement ] GetWindowPlacement FAILED [ %d ]\n",
                 static_cast<int>(::GetLastError()));
        return false;
    }
    if (!app->WriteProfileBinary(L"CorvaneIXO", L"Pos", reinterpret_cast<BYTE*>(&placement), sizeof(placement))) {
        TraceLog(2048, L"[ CFileUtils::SavePlacement ] the window position was not stored\n");
        return false;
    }
    return true;
}

// Start-up benchmark of CorvaneIXO.exe against a test server of its own: the time from the
// program's start to its logged-in main window (automatic log-in), and from pressing the log-in
// button of the log-in dialog to that window, beside the bare log-in exchange (key exchange,
// log-in and options through the protocol object) against the same server in the same run.
// Prints "startup NAME ms" and the ratio. Needs a display.
//
// The server (T:\native\bin\start-server.sh with the demo account) ends when this program
// closes its control connection.
#include "ToviRegistry.h"
#include <winsock2.h>
#include "ToviProto.h"
#include <algorithm>
#include <cstring>
#include <windows.h>
#include <cstdio>
#include <string>
#include <vector>

namespace {

const wchar_t kScratch[] = L"T:\\startup-bench";

SOCKET g_control = INVALID_SOCKET;

bool StartServer(int& port)
{
    ::CreateDirectoryW(kScratch, nullptr);
    const std::wstring portFile = std::wstring(kScratch) + L"\\ports";
    ::DeleteFileW(portFile.c_str());
    std::wstring command = L"start-server.sh --demo --host 127.0.0.1 --port-file " + portFile + L" --exit-with-control";
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE nul = ::CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                               OPEN_EXISTING, 0, nullptr);
    STARTUPINFOW si = {sizeof si};
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = si.hStdOutput = si.hStdError = nul;
    PROCESS_INFORMATION pi = {};
    const BOOL started = ::CreateProcessW(L"T:\\native\\bin\\start-server.sh", &command[0], nullptr, nullptr, TRUE, 0,
                                          nullptr, nullptr, &si, &pi);
    if (nul != INVALID_HANDLE_VALUE)
        ::CloseHandle(nul);
    if (!started)
        return false;
    ::CloseHandle(pi.hProcess);
    ::CloseHandle(pi.hThread);
    int control = 0;
    for (int i = 0; i < 400; ++i) {
        if (FILE* file = _wfopen(portFile.c_str(), L"r")) {
            const int n = fscanf(file, "%d %d", &port, &control);
            fclose(file);
            if (n == 2)
                break;
        }
        ::Sleep(50);
    }
    if (control == 0)
        return false;
    WSADATA data;
    ::WSAStartup(MAKEWORD(2, 2), &data);
    g_control = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<u_short>(control));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return ::connect(g_control, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
}

struct Search {
    const wchar_t* className;
    int childId;
    HWND found;
};

BOOL CALLBACK FindVisible(HWND wnd, LPARAM param)
{
    Search* search = reinterpret_cast<Search*>(param);
    wchar_t name[64] = {};
    if (!::IsWindowVisible(wnd) || ::IsIconic(wnd) || !::GetClassNameW(wnd, name, 64) ||
        ::lstrcmpiW(name, search->className) != 0)
        return TRUE;
    if (search->childId != 0 && ::GetDlgItem(wnd, search->childId) == nullptr)
        return TRUE;
    search->found = wnd;
    return FALSE;
}

HWND WaitFor(const wchar_t* className, int childId, DWORD timeoutMs)
{
    const DWORD start = ::GetTickCount();
    while (::GetTickCount() - start < timeoutMs) {
        Search search = {className, childId, nullptr};
        ::EnumWindows(FindVisible, reinterpret_cast<LPARAM>(&search));
        if (search.found)
            return search.found;
        ::Sleep(2);
    }
    return nullptr;
}

double Now()
{
    LARGE_INTEGER frequency, counter;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

bool Launch(PROCESS_INFORMATION& process)
{
    wchar_t own[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, own, MAX_PATH);
    std::wstring path(own);
    path = path.substr(0, path.find_last_of(L"\\/") + 1) + L"CorvaneIXO.exe";
    std::wstring line = L"\"" + path + L"\" /NOUPDATE";
    STARTUPINFOW si = {sizeof si};
    return ::CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &process) != FALSE;
}

// The exchange a log-in needs before the main window can be built, as the program's
// session makes it; the median of a few rounds, in ms (-1 when it failed).
double BareLogIn(int port)
{
    std::vector<double> rounds;
    for (int round = 0; round < 5; ++round) {
        CToviProto proto;
        std::strcpy(proto.ServerAddress.szHost, "127.0.0.1");
        proto.ServerAddress.nPort = port;
        const double start = Now();
        if (proto.GetSecureCode(nullptr, proto.ServerAddress.szHost, port, proto.ServerAddress.szCode,
                                PROT_CMD('B', '0')) != 0 ||
            proto.GetLoginInfo(L"1", CString(L"demo"), CString(L"demo1234"), const_cast<char*>("ko"),
                               const_cast<char*>("N"), const_cast<char*>("2"), false, CString(), nullptr) != 0 ||
            proto.GetOption() != 0)
            return -1;
        rounds.push_back(Now() - start);
        proto.GetLogoutInfo();
    }
    std::sort(rounds.begin(), rounds.end());
    return rounds[rounds.size() / 2];
}

void Exit(PROCESS_INFORMATION& process, HWND frame)
{
    ::PostMessageW(frame, WM_COMMAND, 1004, 0);
    if (::WaitForSingleObject(process.hProcess, 20000) != WAIT_OBJECT_0)
        ::TerminateProcess(process.hProcess, 9);
    ::CloseHandle(process.hProcess);
    ::CloseHandle(process.hThread);
}

}

int wmain()
{
    int port = 0;
    if (!StartServer(port)) {
        std::fprintf(stderr, "the test server did not start\n");
        return 1;
    }
    ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Varivivod");
    CToviRegistry::SetServerAddress(0, L"127.0.0.1", port, L"");

    // From the start of the program to its window, logging in by itself.
    CToviRegistry::SetUserInfo(0, 0, 1, 1, L"demo", L"demo1234", L"");
    PROCESS_INFORMATION process = {};
    const double start = Now();
    if (!Launch(process))
        return 1;
    HWND frame = WaitFor(L"CorvaneIXO", 0, 60000);
    const double shown = Now();
    if (frame == nullptr) {
        std::fprintf(stderr, "the main window did not appear\n");
        return 1;
    }
    std::printf("startup launch-to-main-window %.0f ms\n", shown - start);
    Exit(process, frame);

    // From the log-in button to the window.
    CToviRegistry::SetUserInfo(0, 0, 0, 1, L"", L"", L"");
    if (!Launch(process))
        return 1;
    HWND login = WaitFor(L"#32770", 10122, 60000);
    if (login == nullptr) {
        std::fprintf(stderr, "the log-in dialog did not appear\n");
        return 1;
    }
    ::SendMessageW(::GetDlgItem(login, 10007), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"demo"));
    ::SendMessageW(::GetDlgItem(login, 10009), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"demo1234"));
    const double pressed = Now();
    ::PostMessageW(login, WM_COMMAND, MAKEWPARAM(10122, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(login, 10122)));
    frame = WaitFor(L"CorvaneIXO", 0, 60000);
    const double loggedIn = Now();
    if (frame == nullptr) {
        std::fprintf(stderr, "the main window did not appear after the log-in\n");
        return 1;
    }
    std::printf("startup login-ok-to-main-window %.0f ms\n", loggedIn - pressed);
    Exit(process, frame);
    const double bare = BareLogIn(port);
    if (bare < 0) {
        std::fprintf(stderr, "the bare log-in failed\n");
        return 1;
    }
    std::printf("startup bare-login-exchange %.0f ms\n", bare);
    std::printf("startup login-ok-to-main-window / bare-login-exchange %.2f\n", (loggedIn - pressed) / bare);
    ::closesocket(g_control);
    return 0;
}

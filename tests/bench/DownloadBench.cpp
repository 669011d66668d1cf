// Download speed through CDownloadThread and its window against the test server, next to the
// bare CToviProto download of the same run: one large file (MB/s) and a folder of small files
// (files/s). Prints "bare ...", "window ..." and their ratios (MB = 1,000,000 bytes). Under Wine,
// from the build root:
//   win/wine-run.sh 'T:\win\bin\DownloadBench.exe' [megabytes, default 256] [files, default 2000]
// It starts a test server of its own (T:\native\bin\start-server.sh), which ends with it. Needs
// a display (the window is real): run it under Xvfb.
#include <winsock2.h>
#include "DownloadThread.h"
#include "Library.h"
#include "ToviMessages.h"
#include "ToviProto.h"
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

typedef std::chrono::steady_clock Clock;

const wchar_t kScratch[] = L"T:\\scratch\\DownloadBench";

double Seconds(Clock::time_point since)
{
    return std::chrono::duration<double>(Clock::now() - since).count();
}

class ControlLine {
public:
    bool Connect(int port)
    {
        m_socket = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in addr = {};
        addr.sin_family = AF_INET;
        addr.sin_port = htons(static_cast<u_short>(port));
        addr.sin_addr.s_addr = inet_addr("127.0.0.1");
        return connect(m_socket, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
    }
    std::string Send(const std::string& line)
    {
        std::string out = line + "\n";
        send(m_socket, out.data(), static_cast<int>(out.size()), 0);
        std::string reply;
        char c;
        while (recv(m_socket, &c, 1, 0) == 1 && c != '\n')
            reply.push_back(c);
        return reply;
    }

private:
    SOCKET m_socket = INVALID_SOCKET;
};

LRESULT CALLBACK ProgressProc(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DOWNLOAD_PROGRESS || message == WM_DOWNLOAD_QUERY_CANCEL)
        return 0;
    return DefWindowProcW(wnd, message, wParam, lParam);
}

struct WindowThread {
    HWND wnd = nullptr;
    HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    static DWORD WINAPI Main(LPVOID param)
    {
        WindowThread* self = static_cast<WindowThread*>(param);
        WNDCLASSW wc = {};
        wc.lpfnWndProc = ProgressProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"DownloadBenchOwner";
        RegisterClassW(&wc);
        self->wnd = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
        SetEvent(self->ready);
        MSG msg;
        while (GetMessageW(&msg, nullptr, 0, 0) > 0)
            DispatchMessageW(&msg);
        return 0;
    }
};

bool StartServer(int& port, int& control)
{
    const std::wstring portFile = std::wstring(kScratch) + L"\\ports";
    DeleteFileW(portFile.c_str());
    std::wstring command = L"start-server.sh --port-file " + portFile + L" --exit-with-control";
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE nul = CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                             OPEN_EXISTING, 0, nullptr);
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = si.hStdOutput = si.hStdError = nul;
    PROCESS_INFORMATION pi = {};
    const BOOL started = CreateProcessW(L"T:\\native\\bin\\start-server.sh", &command[0], nullptr, nullptr, TRUE, 0,
                                        nullptr, nullptr, &si, &pi);
    if (nul != INVALID_HANDLE_VALUE)
        CloseHandle(nul);
    if (!started)
        return false;
    if (pi.hProcess)
        CloseHandle(pi.hProcess);
    if (pi.hThread)
        CloseHandle(pi.hThread);
    for (int i = 0; i < 400; ++i) {
        FILE* file = _wfopen(portFile.c_str(), L"r");
        if (file) {
            int n = fscanf(file, "%d %d", &port, &control);
            fclose(file);
            if (n == 2)
                return true;
        }
        Sleep(50);
    }
    return false;
}

int LogIn(CToviProto& proto, int port)
{
    std::strcpy(proto.ServerAddress.szHost, "127.0.0.1");
    proto.ServerAddress.nPort = port;
    std::strcpy(proto.SocketTimeout, "60");
    std::strcpy(proto.ConnectTimeout, "5");
    int code = proto.GetSecureCode(nullptr, proto.ServerAddress.szHost, port, proto.ServerAddress.szCode,
                                   PROT_CMD('B', '0'));
    if (code != 0)
        return code;
    return proto.GetLoginInfo(L"1", CString(L"bench"), CString(L"bench1234"), const_cast<char*>("ko"),
                              const_cast<char*>("N"), const_cast<char*>("2"), false, CString(), nullptr);
}

std::vector<_PROTO_FOLDER_INFO> List(CToviProto& proto, const std::string& idx)
{
    std::vector<_PROTO_FOLDER_INFO> all;
    for (int page = 0; page < 100000; ++page) {
        if (proto.GetFolderInfo(const_cast<char*>(idx.c_str()), const_cast<char*>("1"), nullptr, false, page == 0) != 0)
            break;
        if (proto.ContinueFlag[0] != 'Y')
            break;
    }
    all.swap(proto.FolderInfo);
    return all;
}

// The bare protocol download of the files of a listing into a local folder; seconds, or -1.
double BareDownload(CToviProto& proto, HWND wnd, const std::vector<_PROTO_FOLDER_INFO>& files, const std::wstring& dir)
{
    CreateDirectoryW(dir.c_str(), nullptr);
    Clock::time_point start = Clock::now();
    for (const _PROTO_FOLDER_INFO& item : files) {
        if (item.ItemType[0] != 'F')
            continue;
        const std::wstring path = dir + L"\\" + item.Name;
        HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return -1;
        const int result = proto.GetDownloadInfo(wnd, file, const_cast<char*>(item.IDX), const_cast<char*>("1"),
                                                 const_cast<char*>("0"), nullptr, nullptr, nullptr);
        CloseHandle(file);
        if (result != 0)
            return -1;
    }
    return Seconds(start);
}

// The same through the download window: from the hand-over to the end of the run; seconds, or -1.
double WindowDownload(CToviProto& proto, HWND owner, const std::string& folder, const wchar_t* name,
                      const std::wstring& dir)
{
    CreateDirectoryW(dir.c_str(), nullptr);
    std::vector<_DOWNLOADINFO> items(1);
    std::strcpy(items[0].Type, "D");
    std::strncpy(items[0].ItemId, folder.c_str(), sizeof items[0].ItemId - 1);
    std::strcpy(items[0].FolderId, "1");
    std::strcpy(items[0].FolderKind, "1");
    std::strcpy(items[0].Version, "0");
    wcsncpy(items[0].Name, name, 511);
    wcscpy(items[0].ServerPath, L"/My Files");
    items[0].DestRoot = dir.c_str();
    items[0].DestFolder = dir.c_str();
    Clock::time_point start = Clock::now();
    CDownloadThread* thread = static_cast<CDownloadThread*>(
        AfxBeginThread(RUNTIME_CLASS(CDownloadThread), THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED));
    thread->SetDownloadInfo(nullptr, owner, items, &proto);
    thread->ResumeThread();
    while (!thread->m_dlg.IsRunOver() && WaitForSingleObject(thread->m_hThread, 10) == WAIT_TIMEOUT) {
    }
    const bool ok = thread->m_dlg.IsRunOver() && thread->m_dlg.GetErrorCount() == 0;
    const double seconds = ok ? Seconds(start) : -1;
    thread->EndDownloadForce();
    WaitForSingleObject(thread->m_hThread, 30000);
    delete thread;
    return seconds;
}

}

int main(int argc, char** argv)
{
    const uint64_t megabytes = argc > 1 && std::atoi(argv[1]) > 0 ? static_cast<uint64_t>(std::atoi(argv[1])) : 256;
    const int count = argc > 2 && std::atoi(argv[2]) > 0 ? std::atoi(argv[2]) : 2000;
    const uint64_t size = megabytes * 1024 * 1024;
    WSADATA wsa;
    WSAStartup(MAKEWORD(2, 2), &wsa);
    ToviInterfaceInit();
    CreateDirectoryW(L"T:\\scratch", nullptr);
    CreateDirectoryW(kScratch, nullptr);

    int port = 0, controlPort = 0;
    ControlLine control;
    if (!StartServer(port, controlPort) || !control.Connect(controlPort)) {
        std::printf("no test server (build the native tools first)\n");
        return 1;
    }
    control.Send("USER id=bench password=bench1234 quota=100000000000");
    control.Send("OPTION A1 159=32");
    control.Send("POLICY fixed seed-128-ofb");
    control.Send("FILE user=bench size=" + std::to_string(size) + " -- My Files/big/big.bin");
    for (int i = 0; i < count; ++i)
        control.Send("FILE user=bench size=4096 -- My Files/tree/f" + std::to_string(i) + ".bin");

    WindowThread window;
    CreateThread(nullptr, 0, WindowThread::Main, &window, 0, nullptr);
    WaitForSingleObject(window.ready, INFINITE);

    CToviProto proto;
    if (LogIn(proto, port) != 0 || proto.GetOption() != 0 ||
        proto.GetFolderInfo(const_cast<char*>("0"), const_cast<char*>("0"), const_cast<char*>("D"), false, true) != 0) {
        std::printf("log-in failed: %ls\n", proto.ResultInfo.wszMessage);
        return 1;
    }
    std::string myFiles;
    for (const _PROTO_FOLDER_INFO& item : proto.FolderInfo)
        if (std::wcscmp(item.Name, L"My Files") == 0)
            myFiles = item.IDX;
    std::string bigFolder, treeFolder;
    for (const _PROTO_FOLDER_INFO& item : List(proto, myFiles)) {
        if (std::wcscmp(item.Name, L"big") == 0)
            bigFolder = item.IDX;
        if (std::wcscmp(item.Name, L"tree") == 0)
            treeFolder = item.IDX;
    }
    const std::vector<_PROTO_FOLDER_INFO> bigFiles = List(proto, bigFolder);
    const std::vector<_PROTO_FOLDER_INFO> treeFiles = List(proto, treeFolder);

    std::printf("%llu MB file and %d files of 4 KB, factor 32, SEED-OFB\n",
                static_cast<unsigned long long>(megabytes), count);
    const std::wstring base(kScratch);
    const double bareBigSeconds = BareDownload(proto, window.wnd, bigFiles, base + L"\\bare-big");
    const double bareTreeSeconds = BareDownload(proto, window.wnd, treeFiles, base + L"\\bare-tree");
    const double winBigSeconds = WindowDownload(proto, window.wnd, bigFolder, L"big", base + L"\\window-big");
    const double winTreeSeconds = WindowDownload(proto, window.wnd, treeFolder, L"tree", base + L"\\window-tree");
    if (bareBigSeconds <= 0 || bareTreeSeconds <= 0 || winBigSeconds <= 0 || winTreeSeconds <= 0) {
        std::printf("a run failed: bare %.2f s / %.2f s, window %.2f s / %.2f s (%ls)\n", bareBigSeconds,
                    bareTreeSeconds, winBigSeconds, winTreeSeconds, proto.ResultInfo.wszMessage);
        return 1;
    }
    const double bareMb = static_cast<double>(size) / bareBigSeconds / 1e6;
    const double winMb = static_cast<double>(size) / winBigSeconds / 1e6;
    const double bareFiles = count / bareTreeSeconds;
    const double winFiles = count / winTreeSeconds;
    std::printf("bare big file %.1f MB/s\n", bareMb);
    std::printf("window big file %.1f MB/s\n", winMb);
    std::printf("bare small files %.1f files/s\n", bareFiles);
    std::printf("window small files %.1f files/s\n", winFiles);
    std::printf("ratio big %.2f small %.2f\n", winMb / bareMb, winFiles / bareFiles);
    std::fflush(stdout);
    proto.GetLogoutInfo();
    ToviInterfaceTerm();
    return 0;
}

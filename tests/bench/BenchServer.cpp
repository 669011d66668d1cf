// The benchmarks' shared set-up.
#include "BenchServer.h"
#include "Files.h"
#include "ToviProto.h"
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace bench {

bool ControlLine::Connect(int port)
{
    m_socket = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in addr = {};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<u_short>(port));
    addr.sin_addr.s_addr = inet_addr("127.0.0.1");
    return connect(m_socket, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
}

std::string ControlLine::Send(const std::string& line)
{
    std::string out = line + "\n";
    send(m_socket, out.data(), static_cast<int>(out.size()), 0);
    std::string reply;
    char c;
    while (recv(m_socket, &c, 1, 0) == 1 && c != '\n')
        reply.push_back(c);
    return reply;
}

bool StartServer(const std::wstring& scratch, int& port, int& control)
{
    const std::wstring portFile = scratch + L"\\ports";
    DeleteFileW(portFile.c_str());
    std::wstring command = L"start-server.sh --port-file " + portFile + L" --exit-with-control";
    // The script prints the ports; the file carries them, so its output goes nowhere.
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

int LogIn(CToviProto& proto, int port, const char* connectTimeout, const char* socketTimeout)
{
    std::strcpy(proto.ServerAddress.szHost, "127.0.0.1");
    proto.ServerAddress.nPort = port;
    std::strncpy(proto.ConnectTimeout, connectTimeout, sizeof proto.ConnectTimeout - 1);
    std::strncpy(proto.SocketTimeout, socketTimeout, sizeof proto.SocketTimeout - 1);
    int code = proto.GetSecureCode(nullptr, proto.ServerAddress.szHost, port, proto.ServerAddress.szCode,
                                   PROT_CMD('B', '0'));
    if (code != 0)
        return code;
    return proto.GetLoginInfo(L"1", CString(L"bench"), CString(L"bench1234"), const_cast<char*>("ko"),
                              const_cast<char*>("N"), const_cast<char*>("2"), false, CString(), nullptr);
}

RunSize ReadRunSize(int argc, char** argv)
{
    RunSize run = {};
    run.megabytes = argc > 1 && std::atoi(argv[1]) > 0 ? static_cast<uint64_t>(std::atoi(argv[1])) : 256;
    run.files = argc > 2 && std::atoi(argv[2]) > 0 ? std::atoi(argv[2]) : 2000;
    run.bytes = run.megabytes * 1024 * 1024;
    return run;
}

bool OpenBench(const wchar_t* scratch, ControlLine& control, int& port, bool fixedCipher)
{
    WSADATA wsa;
    WSAStartup(MAKEWORD(2, 2), &wsa);
    CreateDirectoryW(L"T:\\scratch", nullptr);
    CreateDirectoryW(scratch, nullptr);
    int controlPort = 0;
    if (!StartServer(scratch, port, controlPort) || !control.Connect(controlPort)) {
        std::printf("no test server (build the native tools first)\n");
        return false;
    }
    control.Send("USER id=bench password=bench1234 quota=100000000000");
    control.Send("OPTION A1 159=32");
    if (fixedCipher)
        control.Send("POLICY fixed seed-128-ofb");
    return true;
}

std::string LogInToMyFiles(CToviProto& proto, int port)
{
    if (LogIn(proto, port, "5", "60") != 0 || proto.GetOption() != 0 ||
        proto.GetFolderInfo(const_cast<char*>("0"), const_cast<char*>("0"), const_cast<char*>("D"), false, true) != 0) {
        std::printf("log-in failed: %ls\n", proto.ResultInfo.wszMessage);
        return std::string();
    }
    for (const _PROTO_FOLDER_INFO& item : proto.FolderInfo)
        if (std::wcscmp(item.Name, L"My Files") == 0)
            return item.IDX;
    std::printf("no \"My Files\" on the server\n");
    return std::string();
}

bool WriteSources(const std::wstring& big, const std::wstring& tree, const RunSize& run,
                  std::vector<std::wstring>& small)
{
    // Files an earlier run with more of them left behind would be sent too.
    bool written = FreshFolder(tree) && WriteSource(big, run.bytes, 12345);
    for (int i = 0; written && i < run.files; ++i) {
        small.push_back(tree + L"\\f" + std::to_wstring(i) + L".bin");
        written = WriteSource(small.back(), 4096, 777 + i);
    }
    if (!written)
        std::printf("cannot write the source files beside %ls\n", big.c_str());
    return written;
}

std::string MakeFolder(CToviProto& proto, const std::string& parent, const wchar_t* name)
{
    if (proto.GetMakeNewDir(const_cast<char*>(parent.c_str()), const_cast<char*>("1"), name,
                            const_cast<char*>("1")) != 0)
        return std::string();
    return proto.CurFolderInfo.IDX;
}

namespace {

bool WaitResult(CToviProto& proto)
{
    for (int round = 0; round < 100000; ++round) {
        if (proto.GetUploadResult(nullptr) != 0)
            return false;
        if (proto.UploadResult.empty() || std::strcmp(proto.UploadResult.back().szContinue, "Y") != 0)
            return true;
    }
    return false;
}

}

double BareUpload(CToviProto& proto, HWND wnd, const std::string& folder, const std::vector<std::wstring>& files)
{
    Clock::time_point start = Clock::now();
    for (const std::wstring& path : files) {
        CFile file(path.c_str(), CFile::modeRead | CFile::shareDenyWrite);
        const __int64 size = static_cast<__int64>(file.GetLength());
        const std::wstring name = path.substr(path.find_last_of(L'\\') + 1);
        if (proto.GetUploadInfo(const_cast<char*>(folder.c_str()), const_cast<char*>("1"), name.c_str(), L"", size,
                                nullptr, nullptr, nullptr) != 0 ||
            proto.GetUploadFile(wnd, file, size, 0) != 0)
            return -1;
    }
    if (!WaitResult(proto))
        return -1;
    return Seconds(start);
}

bool Report(const char* way, const RunSize& run, double bareBig, double bareTree, double big, double tree,
            const CToviProto& proto)
{
    if (bareBig <= 0 || bareTree <= 0 || big <= 0 || tree <= 0) {
        std::printf("a run failed: bare %.2f s / %.2f s, %s %.2f s / %.2f s (%ls)\n", bareBig, bareTree, way, big, tree,
                    proto.ResultInfo.wszMessage);
        return false;
    }
    const double bareMb = static_cast<double>(run.bytes) / bareBig / 1e6;
    const double mb = static_cast<double>(run.bytes) / big / 1e6;
    const double bareFiles = run.files / bareTree;
    const double files = run.files / tree;
    std::printf("bare big file %.1f MB/s\n", bareMb);
    std::printf("%s big file %.1f MB/s\n", way, mb);
    std::printf("bare small files %.1f files/s\n", bareFiles);
    std::printf("%s small files %.1f files/s\n", way, files);
    std::printf("ratio big %.2f small %.2f\n", mb / bareMb, files / bareFiles);
    std::fflush(stdout);
    return true;
}

bool WindowThread::Start(WNDPROC proc, const wchar_t* className)
{
    m_proc = proc;
    m_className = className;
    m_ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE thread = CreateThread(nullptr, 0, Main, this, 0, nullptr);
    if (!thread)
        return false;
    CloseHandle(thread);
    WaitForSingleObject(m_ready, INFINITE);
    CloseHandle(m_ready);
    m_ready = nullptr;
    return wnd != nullptr;
}

DWORD WINAPI WindowThread::Main(LPVOID param)
{
    WindowThread* self = static_cast<WindowThread*>(param);
    WNDCLASSW wc = {};
    wc.lpfnWndProc = self->m_proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = self->m_className;
    RegisterClassW(&wc);
    self->wnd = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    SetEvent(self->m_ready);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0)
        DispatchMessageW(&msg);
    return 0;
}

namespace {

void RemoveTree(const std::wstring& path)
{
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW((path + L"\\*").c_str(), &found);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..")
                continue;
            const std::wstring child = path + L"\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(child);
            else
                DeleteFileW(child.c_str());
        } while (FindNextFileW(find, &found));
        FindClose(find);
    }
    RemoveDirectoryW(path.c_str());
}

}

bool FreshFolder(const std::wstring& path)
{
    RemoveTree(path);
    return CreateDirectoryW(path.c_str(), nullptr) != 0;
}

bool WriteSource(const std::wstring& path, uint64_t size, uint32_t seed)
{
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    std::vector<unsigned char> block(static_cast<size_t>(size < (1u << 20) ? size : (1u << 20)));
    uint32_t x = seed;
    bool ok = true;
    for (uint64_t done = 0; done < size && ok;) {
        for (unsigned char& b : block) {
            x = x * 1103515245u + 12345u;
            b = static_cast<unsigned char>(x >> 24);
        }
        DWORD n = static_cast<DWORD>(size - done < block.size() ? size - done : block.size());
        DWORD written = 0;
        ok = WriteFile(h, block.data(), n, &written, nullptr) && written == n;
        done += n;
    }
    CloseHandle(h);
    return ok;
}

}

// Upload speed through CUploadThread and its window against the test server, next to the bare
// CToviProto upload of the same run: one large file (MB/s) and a tree of small files (files/s).
// Prints "bare ...", "window ..." and their ratios (MB = 1,000,000 bytes). Under Wine, from the
// build root:
//   win/wine-run.sh 'T:\win\bin\UploadBench.exe' [megabytes, default 256] [files, default 2000]
// It starts a test server of its own (T:\native\bin\start-server.sh), which ends with it. Needs a
// display (the window is real): run it under Xvfb.
#include "BenchServer.h"
#include "Files.h"
#include "Library.h"
#include "ToviMessages.h"
#include "ToviProto.h"
#include "UploadThread.h"
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

using bench::Clock;
using bench::ControlLine;
using bench::Seconds;

const wchar_t kScratch[] = L"T:\\scratch\\UploadBench";

// The splitter's stand-in: counts the window's end-of-run messages.
volatile LONG g_done = 0;
volatile LONG g_exit = 0;

LRESULT CALLBACK OwnerProc(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_UPLOAD_DONE:
        InterlockedIncrement(&g_done);
        return 0;
    case WM_UPLOAD_THREAD_EXIT:
        InterlockedIncrement(&g_exit);
        return 0;
    case WM_UPLOAD_PROGRESS:
        return 0;
    case WM_UPLOAD_THROTTLE:
        return 1;
    }
    return DefWindowProcW(wnd, message, wParam, lParam);
}

std::string MakeFolder(CToviProto& proto, const std::string& parent, const wchar_t* name)
{
    if (proto.GetMakeNewDir(const_cast<char*>(parent.c_str()), const_cast<char*>("1"), name,
                            const_cast<char*>("1")) != 0)
        return std::string();
    return proto.CurFolderInfo.IDX;
}

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

// The bare protocol upload of files into a server folder; seconds, or -1.
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

// The same through the upload window: from the hand-over to WM_UPLOAD_DONE; seconds, or -1.
double WindowUpload(CToviProto& proto, HWND owner, const std::string& folder, const std::wstring& path, bool isFolder)
{
    std::vector<_UPLOADINFO> items(1);
    items[0].LocalPath = path.c_str();
    std::strncpy(items[0].FirstId, folder.c_str(), sizeof items[0].FirstId - 1);
    std::strcpy(items[0].SecondId, "1");
    items[0].Attributes = isFolder ? UPLOADINFO_FOLDER : 0;
    const LONG done = g_done, exits = g_exit;
    Clock::time_point start = Clock::now();
    CUploadThread* thread = static_cast<CUploadThread*>(
        AfxBeginThread(RUNTIME_CLASS(CUploadThread), THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED));
    _PROTO_FOLDER_INFO target = {};
    thread->SetUploadInfo(owner, &target, items, &proto);
    thread->ResumeThread();
    while (g_done == done && WaitForSingleObject(thread->m_hThread, 10) == WAIT_TIMEOUT) {
    }
    const double seconds = g_done != done ? Seconds(start) : -1;
    thread->EndUploadForce();
    WaitForSingleObject(thread->m_hThread, 30000);
    while (g_exit == exits)
        Sleep(10);
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
    if (!bench::StartServer(kScratch, port, controlPort) || !control.Connect(controlPort)) {
        std::printf("no test server (build the native tools first)\n");
        return 1;
    }
    control.Send("USER id=bench password=bench1234 quota=100000000000");
    control.Send("OPTION A1 159=32");
    control.Send("POLICY fixed seed-128-ofb");

    const std::wstring big = std::wstring(kScratch) + L"\\big.bin";
    const std::wstring tree = std::wstring(kScratch) + L"\\tree";
    CreateDirectoryW(tree.c_str(), nullptr);
    std::vector<std::wstring> small;
    bool written = bench::WriteSource(big, size, 12345);
    for (int i = 0; written && i < count; ++i) {
        small.push_back(tree + L"\\f" + std::to_wstring(i) + L".bin");
        written = bench::WriteSource(small.back(), 4096, 777 + i);
    }
    if (!written) {
        std::printf("cannot write the source files under %ls\n", kScratch);
        return 1;
    }
    bench::WindowThread window;
    window.Start(OwnerProc, L"UploadBenchOwner");

    CToviProto proto;
    if (bench::LogIn(proto, port, "5", "60") != 0 || proto.GetOption() != 0 ||
        proto.GetFolderInfo(const_cast<char*>("0"), const_cast<char*>("0"), const_cast<char*>("D"), false, true) != 0) {
        std::printf("log-in failed: %ls\n", proto.ResultInfo.wszMessage);
        return 1;
    }
    proto.SetUpDownFactor(proto.OptionInfo.Factor);
    std::string myFiles;
    for (const _PROTO_FOLDER_INFO& item : proto.FolderInfo)
        if (std::wcscmp(item.Name, L"My Files") == 0)
            myFiles = item.IDX;
    const std::string bareBig = MakeFolder(proto, myFiles, L"bare-big");
    const std::string bareTree = MakeFolder(proto, myFiles, L"bare-tree");
    const std::string winBig = MakeFolder(proto, myFiles, L"window-big");
    const std::string winTree = MakeFolder(proto, myFiles, L"window-tree");
    proto.SetUpDownFactor(proto.OptionInfo.Factor);

    std::printf("%llu MB file and %d files of 4 KB, factor 32, SEED-OFB\n",
                static_cast<unsigned long long>(megabytes), count);
    const double bareBigSeconds = BareUpload(proto, window.wnd, bareBig, {big});
    const double bareTreeSeconds = BareUpload(proto, window.wnd, bareTree, small);
    const double winBigSeconds = WindowUpload(proto, window.wnd, winBig, big, false);
    const double winTreeSeconds = WindowUpload(proto, window.wnd, winTree, tree, true);
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

// Download speed through CDownloadThread and its window against the test server, next to the
// bare CToviProto download of the same run: one large file (MB/s) and a folder of small files
// (files/s), each way three times in turn with the other, the best round counting. Prints "bare
// ...", "window ..." and their ratios (MB = 1,000,000 bytes). Under Wine,
// from the build root:
//   win/wine-run.sh 'T:\win\bin\DownloadBench.exe' [megabytes, default 256] [files, default 2000]
// It starts a test server of its own (T:\native\bin\start-server.sh), which ends with it. Needs
// a display (the window is real): run it under Xvfb.
#include <winsock2.h>
#include "BenchServer.h"
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

const wchar_t kScratch[] = L"T:\\scratch\\DownloadBench";
const int kRounds = 3;

LRESULT CALLBACK ProgressProc(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DOWNLOAD_PROGRESS || message == WM_DOWNLOAD_QUERY_CANCEL)
        return 0;
    return DefWindowProcW(wnd, message, wParam, lParam);
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
    if (!bench::FreshFolder(dir))
        return -1;
    bench::Clock::time_point start = bench::Clock::now();
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
    return bench::Seconds(start);
}

// The same through the download window: from the hand-over to the end of the run; seconds, or -1.
double WindowDownload(CToviProto& proto, HWND owner, const std::string& folder, const wchar_t* name,
                      const std::wstring& dir)
{
    if (!bench::FreshFolder(dir))
        return -1;
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
    bench::Clock::time_point start = bench::Clock::now();
    CDownloadThread* thread = static_cast<CDownloadThread*>(
        AfxBeginThread(RUNTIME_CLASS(CDownloadThread), THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED));
    thread->SetDownloadInfo(nullptr, owner, items, &proto);
    thread->ResumeThread();
    // The window's own listing of the folder is part of its run: its share is shown apart.
    double listed = -1;
    while (!thread->m_dlg.IsRunOver() && WaitForSingleObject(thread->m_hThread, 10) == WAIT_TIMEOUT) {
        if (listed < 0 && thread->m_dlg.GetExpandedCount() > 0)
            listed = bench::Seconds(start);
    }
    const bool ok = thread->m_dlg.IsRunOver() && thread->m_dlg.GetErrorCount() == 0;
    const double seconds = ok ? bench::Seconds(start) : -1;
    if (ok)
        std::printf("window %ls: %.2f s, of which the listing %.2f s\n", name, seconds, listed);
    thread->EndDownloadForce();
    WaitForSingleObject(thread->m_hThread, 30000);
    delete thread;
    return seconds;
}

}

int main(int argc, char** argv)
{
    const bench::RunSize run = bench::ReadRunSize(argc, argv);
    ToviInterfaceInit();
    int port = 0;
    bench::ControlLine control;
    if (!bench::OpenBench(kScratch, control, port, true))
        return 1;
    control.Send("FILE user=bench size=" + std::to_string(run.bytes) + " -- My Files/big/big.bin");
    for (int i = 0; i < run.files; ++i)
        control.Send("FILE user=bench size=4096 -- My Files/tree/f" + std::to_string(i) + ".bin");

    bench::WindowThread window;
    window.Start(ProgressProc, L"DownloadBenchOwner");

    CToviProto proto;
    const std::string myFiles = bench::LogInToMyFiles(proto, port);
    if (myFiles.empty())
        return 1;
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
                static_cast<unsigned long long>(run.megabytes), run.files);
    const std::wstring base(kScratch);
    // The machine's load comes and goes: each way runs in turn with the other, and its best round
    // counts.
    double bareBigSeconds = -1, bareTreeSeconds = -1, winBigSeconds = -1, winTreeSeconds = -1;
    const auto best = [](double& kept, double seconds) {
        if (seconds <= 0 || kept == 0)
            kept = 0;
        else if (kept < 0 || seconds < kept)
            kept = seconds;
    };
    for (int round = 0; round < kRounds; ++round) {
        best(bareBigSeconds, BareDownload(proto, window.wnd, bigFiles, base + L"\\bare-big"));
        best(winBigSeconds, WindowDownload(proto, window.wnd, bigFolder, L"big", base + L"\\window-big"));
        best(bareTreeSeconds, BareDownload(proto, window.wnd, treeFiles, base + L"\\bare-tree"));
        best(winTreeSeconds, WindowDownload(proto, window.wnd, treeFolder, L"tree", base + L"\\window-tree"));
    }
    if (!bench::Report("window", run, bareBigSeconds, bareTreeSeconds, winBigSeconds, winTreeSeconds, proto))
        return 1;
    proto.GetLogoutInfo();
    ToviInterfaceTerm();
    return 0;
}

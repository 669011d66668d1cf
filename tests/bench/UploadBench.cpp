// Upload speed through CUploadThread and its window against the test server, next to the bare
// CToviProto upload of the same run: one large file (MB/s) and a tree of small files (files/s).
// Prints "bare ...", "window ..." and their ratios (MB = 1,000,000 bytes); each way runs four
// times in turn with the other, first in every other round, and its best round counts. Under
// Wine, from the build root:
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

const wchar_t kScratch[] = L"T:\\scratch\\UploadBench";
const int kRounds = 4;

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

// The same through the upload window: from the hand-over to WM_UPLOAD_DONE; seconds, or -1.
double WindowUpload(CToviProto& proto, HWND owner, const std::string& folder, const std::wstring& path, bool isFolder)
{
    std::vector<_UPLOADINFO> items(1);
    items[0].LocalPath = path.c_str();
    std::strncpy(items[0].FirstId, folder.c_str(), sizeof items[0].FirstId - 1);
    std::strcpy(items[0].SecondId, "1");
    items[0].Attributes = isFolder ? UPLOADINFO_FOLDER : 0;
    const LONG done = g_done, exits = g_exit;
    bench::Clock::time_point start = bench::Clock::now();
    CUploadThread* thread = static_cast<CUploadThread*>(
        AfxBeginThread(RUNTIME_CLASS(CUploadThread), THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED));
    _PROTO_FOLDER_INFO target = {};
    thread->SetUploadInfo(owner, &target, items, &proto);
    thread->ResumeThread();
    while (g_done == done && WaitForSingleObject(thread->m_hThread, 10) == WAIT_TIMEOUT) {
    }
    const double seconds = g_done != done ? bench::Seconds(start) : -1;
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
    const bench::RunSize run = bench::ReadRunSize(argc, argv);
    ToviInterfaceInit();
    int port = 0;
    bench::ControlLine control;
    if (!bench::OpenBench(kScratch, control, port, true))
        return 1;
    const std::wstring big = std::wstring(kScratch) + L"\\big.bin";
    const std::wstring tree = std::wstring(kScratch) + L"\\tree";
    std::vector<std::wstring> small;
    if (!bench::WriteSources(big, tree, run, small))
        return 1;
    bench::WindowThread window;
    window.Start(OwnerProc, L"UploadBenchOwner");

    CToviProto proto;
    const std::string myFiles = bench::LogInToMyFiles(proto, port);
    if (myFiles.empty())
        return 1;
    proto.SetUpDownFactor(proto.OptionInfo.Factor);
    std::printf("%llu MB file and %d files of 4 KB, factor 32, SEED-OFB\n",
                static_cast<unsigned long long>(run.megabytes), run.files);
    // The machine's load comes and goes: each way runs in turn with the other, each round into
    // folders of its own, and its best round counts.
    double bareBigSeconds = -1, bareTreeSeconds = -1, winBigSeconds = -1, winTreeSeconds = -1;
    const auto best = [](double& kept, double seconds) {
        if (seconds <= 0 || kept == 0)
            kept = 0;
        else if (kept < 0 || seconds < kept)
            kept = seconds;
    };
    for (int round = 0; round < kRounds; ++round) {
        const std::wstring suffix = L"-" + std::to_wstring(round + 1);
        const std::string bareBig = bench::MakeFolder(proto, myFiles, (L"bare-big" + suffix).c_str());
        const std::string bareTree = bench::MakeFolder(proto, myFiles, (L"bare-tree" + suffix).c_str());
        const std::string winBig = bench::MakeFolder(proto, myFiles, (L"window-big" + suffix).c_str());
        const std::string winTree = bench::MakeFolder(proto, myFiles, (L"window-tree" + suffix).c_str());
        proto.SetUpDownFactor(proto.OptionInfo.Factor);
        // The second upload of a pair runs slower than the first (the server's disk is still
        // busy with the first one's data): each way goes first in every other round.
        const bool bareFirst = round % 2 == 0;
        for (int turn = 0; turn < 2; ++turn) {
            if ((turn == 0) == bareFirst)
                best(bareBigSeconds, bench::BareUpload(proto, window.wnd, bareBig, {big}));
            else
                best(winBigSeconds, WindowUpload(proto, window.wnd, winBig, big, false));
        }
        for (int turn = 0; turn < 2; ++turn) {
            if ((turn == 0) == bareFirst)
                best(bareTreeSeconds, bench::BareUpload(proto, window.wnd, bareTree, small));
            else
                best(winTreeSeconds, WindowUpload(proto, window.wnd, winTree, tree, true));
        }
    }
    if (!bench::Report("window", run, bareBigSeconds, bareTreeSeconds, winBigSeconds, winTreeSeconds, proto))
        return 1;
    proto.GetLogoutInfo();
    ToviInterfaceTerm();
    return 0;
}

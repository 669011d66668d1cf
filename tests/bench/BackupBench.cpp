// Backup speed through CBackupThread (with its run logs) against the test server, next to the
// bare CToviProto upload of the same files: one large file (MB/s) and a folder of small files
// (files/s). Prints "bare ...", "backup ..." and their ratios (MB = 1,000,000 bytes). Under Wine,
// from the build root:
//   win/wine-run.sh 'T:\win\bin\BackupBench.exe' [megabytes, default 256] [files, default 2000]
// It starts a test server of its own (T:\native\bin\start-server.sh), which ends with it.
#include <winsock2.h>
#include "BenchServer.h"
#include "BackupThread.h"
#include "Files.h"
#include "Library.h"
#include "ToviMessages.h"
#include "ToviProto.h"
#include "ToviRegistry.h"
#include "Wnd.h"
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

const wchar_t kScratch[] = L"T:\\scratch\\BackupBench";

// The backup program's stand-in: counts the workers' end messages.
volatile LONG g_end = 0;

LRESULT CALLBACK OwnerProc(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_BACKUP_END:
        delete reinterpret_cast<CString*>(lParam);
        InterlockedIncrement(&g_end);
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

// One backup run of a policy whose only folder is folder; seconds from the resume to
// WM_BACKUP_END, or -1.
double BackupRun(CToviProto& proto, CWnd* owner, const std::string& target, const wchar_t* key,
                 const std::wstring& folder)
{
    CFolderPathMap folders;
    _FOLDER_PATH_INFO info = {};
    wcsncpy(info.TreePath, folder.c_str(), 1023);
    wcsncpy(info.FullPath, folder.c_str(), 259);
    folders[CString(folder.c_str())] = info;
    if (!CToviRegistry::SetBackupPolicy(key, L"", L"", L"2026-01-01 00:00:00", folders, 1))
        return -1;
    CBackupThread* worker = static_cast<CBackupThread*>(
        AfxBeginThread(RUNTIME_CLASS(CBackupThread), THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED));
    worker->m_bAutoDelete = FALSE;
    worker->SetBackupInfo(owner, nullptr, &proto, key);
    worker->SetBackupTarget(target.c_str(), "1");
    worker->SetLogDocumentsFolder(CString(kScratch));
    const LONG ends = g_end;
    Clock::time_point start = Clock::now();
    worker->ResumeThread();
    while (g_end == ends)
        Sleep(1);
    const double seconds = Seconds(start);
    worker->PostThreadMessage(WM_QUIT, 0, 0);
    WaitForSingleObject(worker->m_hThread, 30000);
    const bool failed = worker->m_nFailed > 0 || worker->m_nUploaded == 0;
    delete worker;
    CToviRegistry::RemoveBackupPolicy(key);
    return failed ? -1 : seconds;
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

    const std::wstring bigDir = std::wstring(kScratch) + L"\\big";
    const std::wstring big = bigDir + L"\\big.bin";
    const std::wstring tree = std::wstring(kScratch) + L"\\tree";
    CreateDirectoryW(bigDir.c_str(), nullptr);
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
    window.Start(OwnerProc, L"BackupBenchOwner");
    CWnd owner;
    owner.Attach(window.wnd);

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
    const std::string backupBig = MakeFolder(proto, myFiles, L"backup-big");
    const std::string backupTree = MakeFolder(proto, myFiles, L"backup-tree");

    std::printf("%llu MB file and %d files of 4 KB, factor 32, SEED-OFB, run logs on\n",
                static_cast<unsigned long long>(megabytes), count);
    const double bareBigSeconds = BareUpload(proto, window.wnd, bareBig, {big});
    const double bareTreeSeconds = BareUpload(proto, window.wnd, bareTree, small);
    const double backupBigSeconds = BackupRun(proto, &owner, backupBig, L"BENCHBIG", bigDir);
    const double backupTreeSeconds = BackupRun(proto, &owner, backupTree, L"BENCHTREE", tree);
    owner.Detach();
    if (bareBigSeconds <= 0 || bareTreeSeconds <= 0 || backupBigSeconds <= 0 || backupTreeSeconds <= 0) {
        std::printf("a run failed: bare %.2f s / %.2f s, backup %.2f s / %.2f s (%ls)\n", bareBigSeconds,
                    bareTreeSeconds, backupBigSeconds, backupTreeSeconds, proto.ResultInfo.wszMessage);
        return 1;
    }
    const double bareMb = static_cast<double>(size) / bareBigSeconds / 1e6;
    const double backupMb = static_cast<double>(size) / backupBigSeconds / 1e6;
    const double bareFiles = count / bareTreeSeconds;
    const double backupFiles = count / backupTreeSeconds;
    std::printf("bare big file %.1f MB/s\n", bareMb);
    std::printf("backup big file %.1f MB/s\n", backupMb);
    std::printf("bare small files %.1f files/s\n", bareFiles);
    std::printf("backup small files %.1f files/s\n", backupFiles);
    std::printf("ratio big %.2f small %.2f\n", backupMb / bareMb, backupFiles / bareFiles);
    std::fflush(stdout);
    proto.GetLogoutInfo();
    ToviInterfaceTerm();
    return 0;
}

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

// Everything a run writes: the sources, the run logs and the server's files. Each run has a
// folder of its own, emptied first and removed at the end, so that files another run left
// cannot join this run's backup or its figures.
std::wstring g_scratch;

void RemoveTree(const std::wstring& path)
{
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((path + L"\\*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = fd.cFileName;
            if (name == L"." || name == L"..")
                continue;
            const std::wstring child = path + L"\\" + name;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(child);
            } else {
                SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(child.c_str());
            }
        } while (FindNextFileW(h, &fd));
        FindClose(h);
    }
    RemoveDirectoryW(path.c_str());
}

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
    worker->SetLogDocumentsFolder(CString(g_scratch.c_str()));
    const LONG ends = g_end;
    bench::Clock::time_point start = bench::Clock::now();
    worker->ResumeThread();
    while (g_end == ends)
        Sleep(1);
    const double seconds = bench::Seconds(start);
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
    const bench::RunSize run = bench::ReadRunSize(argc, argv);
    ToviInterfaceInit();
    int port = 0;
    bench::ControlLine control;
    CreateDirectoryW(L"T:\\scratch", nullptr);
    g_scratch = L"T:\\scratch\\BackupBench-" + std::to_wstring(GetCurrentProcessId());
    RemoveTree(g_scratch);
    if (!bench::OpenBench(g_scratch.c_str(), control, port, true))
        return 1;
    // The backup takes whole folders: the large file has one of its own, and the tree holds
    // exactly this run's small files.
    const std::wstring bigDir = g_scratch + L"\\big";
    const std::wstring big = bigDir + L"\\big.bin";
    const std::wstring tree = g_scratch + L"\\tree";
    RemoveTree(tree);
    CreateDirectoryW(bigDir.c_str(), nullptr);
    std::vector<std::wstring> small;
    if (!bench::WriteSources(big, tree, run, small))
        return 1;
    bench::WindowThread window;
    window.Start(OwnerProc, L"BackupBenchOwner");
    CWnd owner;
    owner.Attach(window.wnd);

    CToviProto proto;
    const std::string myFiles = bench::LogInToMyFiles(proto, port);
    if (myFiles.empty())
        return 1;
    proto.SetUpDownFactor(proto.OptionInfo.Factor);
    const std::string bareBig = bench::MakeFolder(proto, myFiles, L"bare-big");
    const std::string bareTree = bench::MakeFolder(proto, myFiles, L"bare-tree");
    const std::string backupBig = bench::MakeFolder(proto, myFiles, L"backup-big");
    const std::string backupTree = bench::MakeFolder(proto, myFiles, L"backup-tree");

    std::printf("%llu MB file and %d files of 4 KB, factor 32, SEED-OFB, run logs on\n",
                static_cast<unsigned long long>(run.megabytes), run.files);
    const double bareBigSeconds = bench::BareUpload(proto, window.wnd, bareBig, {big});
    const double bareTreeSeconds = bench::BareUpload(proto, window.wnd, bareTree, small);
    const double backupBigSeconds = BackupRun(proto, &owner, backupBig, L"BENCHBIG", bigDir);
    const double backupTreeSeconds = BackupRun(proto, &owner, backupTree, L"BENCHTREE", tree);
    owner.Detach();
    if (!bench::Report("backup", run, bareBigSeconds, bareTreeSeconds, backupBigSeconds, backupTreeSeconds, proto))
        return 1;
    proto.GetLogoutInfo();
    ToviInterfaceTerm();
    RemoveTree(g_scratch);
    return 0;
}

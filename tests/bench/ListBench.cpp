// Opening a server folder of many items in the real server list, next to the bare D0 paging of
// the same folder through CToviProto in the same run; and the program's memory after filling.
// Prints "bare ...", "list ...", their ratio and the memory growth per row. Under Wine, from the
// build root (needs a display):
//   win/wine-run.sh 'T:\win\bin\ListBench.exe' [items, default 10000]
// It starts a test server of its own (T:\native\bin\start-server.sh), which ends with it.
#include <winsock2.h>
#include "BenchServer.h"
#include "ServerListCtrl.h"
#include "ServerListPane.h"
#include "ServerTreeCtrl.h"
#include "ToviProto.h"
#include <psapi.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

using bench::Clock;
using bench::ControlLine;
using bench::Seconds;

const wchar_t kScratch[] = L"T:\\scratch\\ListBench";

class NullFrame : public IServerFrameHost {
public:
    bool IsLoggedIn() override { return true; }
    int CheckFolderPassword(const _PROTO_FOLDER_INFO&, bool) override { return 0; }
    void PostForcedLogout() override {}
    void SetMenuButtonState(const ServerMenuState&) override {}
    bool IsDownloadTarget() override { return false; }
    void SetUploadAllowed(bool) override {}
    void SetViewButtonsEnabled(bool) override {}
    void EnableSearchBox(bool) override {}
    CString GetCustomerCode() override { return CString(); }
    bool IsLabelEditing() override { return false; }
    void SetLabelEditing(bool) override {}
    void SetActivePane(int, int) override {}
    void SetDragSource(const CString&) override {}
};

SIZE_T PrivateBytes()
{
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters);
    return counters.PrivateUsage ? counters.PrivateUsage : counters.PagefileUsage;
}

HTREEITEM ChildNamed(CServerTreeCtrl& tree, HTREEITEM parent, const wchar_t* name)
{
    for (HTREEITEM i = parent ? tree.GetChildItem(parent) : tree.GetRootItem(); i; i = tree.GetNextSiblingItem(i)) {
        _PROTO_FOLDER_INFO* r = tree.GetRecord(i);
        if (r && std::wcscmp(r->Name, name) == 0)
            return i;
    }
    return nullptr;
}

}

int wmain(int argc, wchar_t** argv)
{
    const int items = argc > 1 ? _wtoi(argv[1]) : 10000;
    WSADATA wsa;
    WSAStartup(MAKEWORD(2, 2), &wsa);
    CreateDirectoryW(L"T:\\scratch", nullptr);
    CreateDirectoryW(kScratch, nullptr);
    int port = 0, controlPort = 0;
    if (!bench::StartServer(kScratch, port, controlPort)) {
        std::printf("no test server\n");
        return 1;
    }
    ControlLine control;
    if (!control.Connect(controlPort)) {
        std::printf("no control line\n");
        return 1;
    }
    control.Send("USER id=bench password=bench1234 name=Bench");
    control.Send("SWITCH pageSize=500");
    control.Send("FOLDER user=bench -- My Files/Big");
    for (int i = 0; i < items; ++i)
        control.Send("FILE user=bench size=" + std::to_string(100 + i) + " -- My Files/Big/file" + std::to_string(i) +
                     ".txt");
    std::string reply = control.Send("ITEM user=bench -- My Files/Big");
    std::string idx = reply.substr(reply.find("idx=") + 4);
    idx = idx.substr(0, idx.find(' '));

    CToviProto bare;
    if (bench::LogIn(bare, port, "5", "60") != 0) {
        std::printf("log-in failed\n");
        return 1;
    }
    Clock::time_point t0 = Clock::now();
    int pages = 0;
    for (bool first = true;; first = false) {
        ++pages;
        if (bare.GetFolderInfo(&idx[0], const_cast<char*>("1"), const_cast<char*>("A"), false, first) != 0 ||
            bare.ContinueFlag[0] == 'N')
            break;
    }
    double bareSeconds = Seconds(t0);
    size_t rows = bare.FolderInfo.size();
    bare.ReleaseFolderInfo();

    CToviProto proto;
    if (bench::LogIn(proto, port, "5", "60") != 0)
        return 1;
    NullFrame frame;
    CWnd host;
    host.CreateEx(0, nullptr, L"ListBench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 900, 600, nullptr, nullptr);
    CServerTreeCtrl tree;
    tree.Create(WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS | TVS_LINESATROOT, CRect(0, 0, 250, 560), &host, 100);
    CServerListCtrl list;
    list.Create(WS_CHILD | WS_VISIBLE | LVS_REPORT, CRect(255, 0, 880, 560), &host, 101);
    CServerListPane pane(&list, &tree, &proto);
    tree.SetSession(&proto, &frame, &pane);
    list.SetSession(&proto, &frame, &tree, &pane);
    tree.DrawTreeRoot(nullptr);
    HTREEITEM myFiles = ChildNamed(tree, nullptr, L"My Files");
    tree.SelectItem(myFiles);
    while (pane.IsFilling()) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
    }
    HTREEITEM big = ChildNamed(tree, myFiles, L"Big");
    SIZE_T before = PrivateBytes();
    t0 = Clock::now();
    tree.SelectItem(big);
    while (pane.IsFilling()) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
    }
    UpdateWindow(list.GetSafeHwnd());
    double listSeconds = Seconds(t0);
    SIZE_T after = PrivateBytes();
    int shown = list.GetItemCount();
    double perRow = shown ? static_cast<double>(after - before) / shown : 0;
    std::printf("bare  %zu items in %d pages: %.3f s\n", rows, pages, bareSeconds);
    std::printf("list  %d rows shown: %.3f s\n", shown, listSeconds);
    std::printf("ratio %.2f (goal at most 2)\n", bareSeconds > 0 ? listSeconds / bareSeconds : 0.0);
    std::printf("memory +%.1f MB, %.0f bytes a row (record %zu bytes; goal record + 1024)\n",
                (after - before) / 1e6, perRow, sizeof(_PROTO_FOLDER_INFO));
    pane.ClearList();
    host.DestroyWindow();
    return 0;
}

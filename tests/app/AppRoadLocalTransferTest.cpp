// CorvaneIXO.exe end to end under Wine: transfers between the local and the server panes. Local
// rows are uploaded into the server tree's folder by the command bar's button; server items put
// on the clipboard the way the server list writes them are pasted into the local list and
// downloaded; rows of the server list go by the bar's download button into the local tree's
// folder; files another program put on the clipboard are pasted onto the server list, a second
// paste joining the running upload; an upload that the server folder or the choice does not
// allow is refused with its message; local files and server items dragged by the pointer from
// another program onto the server tree and list are uploaded or moved at the server.
#include "AppRun.h"
#include "DragDrop.h"
#include "FileBytes.h"
#include "MenuBarRes.h"
#include "PixelCapture.h"
#include "ServerClipboard.h"
#include "TestPaths.h"
#include "ToviRegistry.h"
#include "WindowDriver.h"
#include <commctrl.h>
#include <gtest/gtest.h>
#include <shlobj.h>
#include <thread>

using namespace apprun;

namespace {

void WriteAll(const std::wstring& path, const std::string& bytes)
{
    filebytes::WriteFile(path, std::vector<unsigned char>(bytes.begin(), bytes.end()));
}

// A user's drag from a window of this test onto a screen point of the program: the button goes
// down on a small window of ours, OLE's drag loop carries what source offers while the pointer
// moves there in steps and rests, and the button comes up there. The effect the drop reported
// (none when it was refused or never happened).
DROPEFFECT DragOnto(const std::function<COleDataSource*()>& makeSource, POINT to)
{
    DROPEFFECT effect = DROPEFFECT_NONE;
    std::thread drag([&] {
        if (FAILED(::OleInitialize(nullptr)))
            return;
        const int width = ::GetSystemMetrics(SM_CXSCREEN), height = ::GetSystemMetrics(SM_CYSCREEN);
        HWND start = ::CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, L"STATIC", L"", WS_POPUP | WS_VISIBLE,
                                       width - 60, height - 40, 60, 40, nullptr, nullptr, nullptr, nullptr);
        const POINT from = {width - 30, height - 20};
        ::SetForegroundWindow(start);
        MouseAt(from, 0);
        MouseAt(from, MOUSEEVENTF_LEFTDOWN);
        // The button is down for this thread once its press came through the queue.
        uitest::WaitUntil([] { return ::GetKeyState(VK_LBUTTON) < 0; }, 3000);
        std::thread pointer([&] {
            ::Sleep(300);
            for (int step = 1; step <= 8; ++step) {
                MouseAt({from.x + (to.x - from.x) * step / 8, from.y + (to.y - from.y) * step / 8}, 0);
                ::Sleep(80);
            }
            ::Sleep(600);   // some drag-overs at the target
            MouseAt(to, MOUSEEVENTF_LEFTUP);
        });
        COleDataSource* source = makeSource();
        effect = source->DoDragDrop(DROPEFFECT_COPY | DROPEFFECT_MOVE, nullptr, nullptr);
        pointer.join();
        ::DestroyWindow(start);
        ::OleUninitialize();
    });
    drag.join();
    return effect;
}

class AppRoadLocalTransfer : public AppRoadTest {
protected:
    void SetUp() override
    {
        AppRoadTest::SetUp();
        m_folder = MakeDocumentsFolder(L"Road transfer " + std::to_wstring(::GetCurrentProcessId()));
        // Keep-alive requests far away: nothing but the transfers talks to the server.
        ASSERT_EQ("OK", Control("OPTION A1 172=900 224=900").substr(0, 2));
    }
    void TearDown() override
    {
        AppRoadTest::TearDown();
        testpaths::RemoveTree(m_folder);
    }

    // Logs in showing localPath in the local panes (empty: My Computer), with rows rows there,
    // and the server folder named serverFolder selected in the server tree.
    void Start(unsigned short language, const std::wstring& localPath, int rows, const wchar_t* serverFolder)
    {
        m_frame = LaunchShowing(language, localPath);
        ASSERT_NE(nullptr, m_frame);
        const MainPanes panes = PanesOf(m_frame);
        ASSERT_TRUE(panes.All());
        m_bar = panes.bar;
        m_serverTree = panes.serverTree;
        m_localTree = panes.localTree;
        m_list = panes.localList;
        m_serverList = panes.serverList;
        ASSERT_TRUE(uitest::WaitUntil([&] { return ::SendMessageW(m_list, LVM_GETITEMCOUNT, 0, 0) >= rows; }, 20000))
            << "the local list did not show the folder";
        HTREEITEM folder = nullptr;
        ASSERT_TRUE(uitest::WaitUntil([&] { return (folder = TopLevel(serverFolder)) != nullptr; }, 20000))
            << "no server folder to upload into";
        ::SendMessageW(m_serverTree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(folder));
        ::Sleep(500);   // the selection lists the folder
    }
    HTREEITEM TopLevel(const wchar_t* name) { return RemoteTreeChild(m_serverTree, nullptr, name); }

    // A click on the named row (empty: on the list below its rows), which also makes the local
    // list the active pane.
    void ClickRow(const std::wstring& name)
    {
        ASSERT_TRUE(ClickListRow(m_list, name, 0)) << "no row " << std::string(name.begin(), name.end());
    }
    // A click on the server list's row named name (empty: below its rows), which makes the list
    // the active pane; more adds the row to the selection as a control-click would.
    void ClickServerRow(const std::wstring& name, bool more = false)
    {
        if (!more) {
            ASSERT_TRUE(ClickListRow(m_serverList, name)) << "no server row " << std::string(name.begin(), name.end());
            return;
        }
        int row = -1;
        ASSERT_TRUE(uitest::WaitUntil([&] { return (row = RemoteListRow(m_serverList, name)) >= 0; }, 20000))
            << "no server row " << std::string(name.begin(), name.end());
        std::vector<BYTE> item(sizeof(LVITEMW));
        auto* state = reinterpret_cast<LVITEMW*>(item.data());
        state->stateMask = state->state = LVIS_SELECTED;
        RemoteSend(m_serverList, LVM_SETITEMSTATE, static_cast<WPARAM>(row), item);
        ::Sleep(300);
    }
    bool ButtonEnabled(int id, DWORD timeoutMs = 10000)
    {
        return uitest::WaitUntil([&] { return ::IsWindowEnabled(::GetDlgItem(m_bar, id)) != FALSE; }, timeoutMs);
    }
    // The transfer window once it is up; a screenshot of it running goes to shot.
    HWND WaitForTransferWindow(bool upload, const wchar_t* shot)
    {
        HWND window = nullptr;
        uitest::WaitUntil([&] {
            const std::vector<HWND> windows = TransferWindows(upload);
            window = windows.empty() ? nullptr : windows.front();
            return window != nullptr;
        }, 30000);
        if (window && shot) {
            uitest::SaveScreenPng(testpaths::ScratchDir((L"AppRoadLocalTransfer-" + std::wstring(shot)).c_str()) +
                                  L"\\shot.png");
        }
        return window;
    }
    void CloseTransferWindow(HWND window)
    {
        EXPECT_TRUE(uitest::WaitUntil([&] { return TransferRunOver(window); }, 60000)) << "the transfer did not end";
        Click(window, IDCANCEL);
        EXPECT_TRUE(uitest::WaitUntil([&] { return !::IsWindow(window) || !::IsWindowVisible(window); }, 20000));
    }

    std::wstring m_folder;
    HWND m_frame = nullptr, m_bar = nullptr, m_serverTree = nullptr, m_serverList = nullptr, m_localTree = nullptr,
         m_list = nullptr;
};

}

TEST_F(AppRoadLocalTransfer, RowsUploadedByTheCommandBarButtonArriveByteIdentical)
{
    const std::string big = SomeBytes(8 * 1048576 + 17, 11), inner = SomeBytes(70001, 12);
    WriteAll(m_folder + L"\\올릴파일.bin", big);
    ASSERT_TRUE(::CreateDirectoryW((m_folder + L"\\올릴폴더").c_str(), nullptr));
    WriteAll(m_folder + L"\\올릴폴더\\inner.bin", inner);
    ASSERT_NO_FATAL_FAILURE(Start(LANG_KOREAN, m_folder, 2, L"My Files"));

    ClickRow(L"올릴파일.bin");
    ASSERT_TRUE(ButtonEnabled(IDC_MENU_UPLOAD)) << "the upload button stayed off for a file row";
    Click(m_bar, IDC_MENU_UPLOAD);
    HWND window = WaitForTransferWindow(true, L"upload-korean");
    ASSERT_NE(nullptr, window) << "no upload started";
    CloseTransferWindow(window);
    EXPECT_TRUE(filebytes::Same(big, ServerBytes("올릴파일.bin")));

    // A folder row goes with its content.
    ClickRow(L"올릴폴더");
    ASSERT_TRUE(ButtonEnabled(IDC_MENU_UPLOAD));
    Click(m_bar, IDC_MENU_UPLOAD);
    window = WaitForTransferWindow(true, nullptr);
    ASSERT_NE(nullptr, window) << "the folder's upload did not start";
    CloseTransferWindow(window);
    EXPECT_TRUE(filebytes::Same(inner, ServerBytes("올릴폴더/inner.bin")));
    EXPECT_EQ(nullptr, WaitForBox(2000)) << BoxText(WaitForBox(1));
    EXPECT_TRUE(ExitFromTray());
}

TEST_F(AppRoadLocalTransfer, ServerItemsPastedIntoTheLocalListAreDownloadedByteIdenticalAndTheListShowsThem)
{
    ASSERT_EQ("OK", Control("FILE user=demo size=9000000 -- My Files/down.bin").substr(0, 2));
    ASSERT_EQ("OK", Control("FILE user=demo size=70001 -- My Files/Sub/inner.bin").substr(0, 2));
    WriteAll(m_folder + L"\\here.txt", "x");
    ASSERT_NO_FATAL_FAILURE(Start(LANG_ENGLISH, m_folder, 1, L"My Files"));

    // The clipboard block the server list writes for a copy of two rows of "My Files".
    const std::vector<_PROTO_FOLDER_INFO> records = {
        ServerItem("F", Idx("My Files/down.bin"), L"down.bin", "9000000"),
        ServerItem("D", Idx("My Files/Sub"), L"Sub", "0"),
    };
    const UINT format = ::RegisterClipboardFormatW(kServerItemsFormat);
    ASSERT_EQ(1, CopyFolderInfoListClipboard(&format, records, L"SR", L"My Files", false));

    ClickRow(L"");
    ASSERT_TRUE(ButtonEnabled(IDC_MENU_PASTE)) << "paste stayed off with server items on the clipboard";
    Click(m_bar, IDC_MENU_PASTE);
    HWND window = WaitForTransferWindow(false, L"download-english");
    ASSERT_NE(nullptr, window) << "no download started";
    CloseTransferWindow(window);
    EXPECT_TRUE(filebytes::Same(protoserver::Pattern(0, 9000000), ReadWholeFile(m_folder + L"\\down.bin")));
    EXPECT_TRUE(filebytes::Same(protoserver::Pattern(0, 70001), ReadWholeFile(m_folder + L"\\Sub\\inner.bin")));
    // The download's end refreshes the folder it went into.
    EXPECT_TRUE(uitest::WaitUntil([&] { return RemoteListRow(m_list, L"down.bin") >= 0; }, 10000))
        << "the local list was not refreshed";
    EXPECT_GE(RemoteListRow(m_list, L"Sub"), 0);
    EXPECT_EQ(nullptr, WaitForBox(2000));
    EXPECT_TRUE(ExitFromTray());
}

TEST_F(AppRoadLocalTransfer, ServerRowsDownloadedByTheCommandBarButtonLandByteIdenticalInTheLocalFolder)
{
    ASSERT_EQ("OK", Control("FILE user=demo size=3000001 -- My Files/받을파일.bin").substr(0, 2));
    ASSERT_EQ("OK", Control("FILE user=demo size=70001 -- My Files/Sub/inner.bin").substr(0, 2));
    ASSERT_EQ("OK", Control("FILE user=demo size=5000 -- My Files/stays.bin").substr(0, 2));
    WriteAll(m_folder + L"\\here.txt", "x");
    ASSERT_NO_FATAL_FAILURE(Start(LANG_KOREAN, m_folder, 1, L"My Files"));

    // A row cut before: the download takes the clipboard's server items, so no pane may go on
    // showing the row as cut.
    ClickServerRow(L"stays.bin");
    ASSERT_TRUE(ButtonEnabled(IDC_MENU_CUT));
    Click(m_bar, IDC_MENU_CUT);
    auto cut = [&] {
        const int row = RemoteListRow(m_serverList, L"stays.bin");
        return row >= 0 && (::SendMessageW(m_serverList, LVM_GETITEMSTATE, row, LVIS_CUT) & LVIS_CUT) != 0;
    };
    ASSERT_TRUE(uitest::WaitUntil(cut, 10000)) << "the cut row is not marked";

    ClickServerRow(L"받을파일.bin");
    ClickServerRow(L"Sub", true);
    ASSERT_TRUE(cut()) << "the cut mark went with the selection";
    ASSERT_TRUE(ButtonEnabled(IDC_MENU_DOWNLOAD)) << "the download button stayed off for server rows";
    Click(m_bar, IDC_MENU_DOWNLOAD);
    HWND window = WaitForTransferWindow(false, L"list-download-korean");
    ASSERT_NE(nullptr, window) << "the bar's button did not reach the server list";
    EXPECT_TRUE(uitest::WaitUntil([&] { return !cut(); }, 10000)) << "the row kept its cut mark";
    CloseTransferWindow(window);
    EXPECT_TRUE(filebytes::Same(protoserver::Pattern(0, 3000001), ReadWholeFile(m_folder + L"\\받을파일.bin")));
    EXPECT_TRUE(filebytes::Same(protoserver::Pattern(0, 70001), ReadWholeFile(m_folder + L"\\Sub\\inner.bin")));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW((m_folder + L"\\stays.bin").c_str()))
        << "a row that was not selected was downloaded";
    EXPECT_EQ(nullptr, WaitForBox(2000)) << BoxText(WaitForBox(1));
    EXPECT_TRUE(ExitFromTray());
}

TEST_F(AppRoadLocalTransfer, FilesOfAnotherProgramPastedOntoTheServerListArriveAndASecondPasteJoinsTheRunningUpload)
{
    const std::string big = SomeBytes(12 * 1048576 + 5, 21), small = SomeBytes(90001, 22), inner = SomeBytes(4097, 23);
    WriteAll(m_folder + L"\\first.bin", big);
    ASSERT_TRUE(::CreateDirectoryW((m_folder + L"\\폴더").c_str(), nullptr));
    WriteAll(m_folder + L"\\폴더\\inner.bin", inner);
    WriteAll(m_folder + L"\\second.bin", small);
    ASSERT_EQ("OK", Control("FILE user=demo size=10 -- My Files/Sub/keep.bin").substr(0, 2));
    ASSERT_NO_FATAL_FAILURE(Start(LANG_ENGLISH, m_folder, 3, L"My Files"));

    // Below the rows: the paste goes to the folder shown, not into the folder row "Sub".
    ASSERT_TRUE(PutFilesOnClipboard({m_folder + L"\\first.bin", m_folder + L"\\폴더"}));
    ClickServerRow(L"");
    ASSERT_TRUE(ButtonEnabled(IDC_MENU_PASTE)) << "paste stayed off with files on the clipboard";
    Click(m_bar, IDC_MENU_PASTE);
    HWND window = WaitForTransferWindow(true, L"paste-upload-english");
    ASSERT_NE(nullptr, window) << "no upload started";
    // While the first runs, a second paste hands its file to the same thread.
    ASSERT_TRUE(PutFilesOnClipboard({m_folder + L"\\second.bin"}));
    ClickServerRow(L"");
    ASSERT_TRUE(ButtonEnabled(IDC_MENU_PASTE));
    Click(m_bar, IDC_MENU_PASTE);
    EXPECT_TRUE(uitest::WaitUntil([&] { return ServerBytes("second.bin") == small; }, 60000))
        << "the second paste did not arrive";
    EXPECT_EQ(1u, TransferWindows(true).size()) << "a second upload thread was started";
    CloseTransferWindow(window);
    EXPECT_TRUE(filebytes::Same(big, ServerBytes("first.bin")));
    EXPECT_TRUE(filebytes::Same(inner, ServerBytes("폴더/inner.bin")));
    EXPECT_EQ(0u, ServerBytes("Sub/first.bin").rfind("<missing", 0)) << "the paste went into the folder row";
    EXPECT_EQ(nullptr, WaitForBox(2000)) << BoxText(WaitForBox(1));
    EXPECT_TRUE(ExitFromTray());
}

// Both refusals guard a command that the bar's button does not offer in that state; the command
// can still come (a state drawn before the server tree's selection changed), so it is sent here
// as the bar would send it.
TEST_F(AppRoadLocalTransfer, AnUploadTheFolderOrTheChoiceDoesNotAllowIsRefusedAndSendsNothing)
{
    struct Case {
        const char* what;
        bool myComputer;             // the local list shows the drives
        const wchar_t* serverFolder;
        const wchar_t* message;
    } cases[] = {
        {"a folder without the upload right", false, L"Recycle Bin",
         L"You do not have permission to upload to this folder."},
        {"a drive", true, L"My Files", L"A whole drive cannot be uploaded. Choose folders or files instead."},
    };
    WriteAll(m_folder + L"\\stays.bin", SomeBytes(1000, 13));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_NO_FATAL_FAILURE(Start(LANG_ENGLISH, c.myComputer ? std::wstring() : m_folder, 1, c.serverFolder));
        const int before = LastConnection("H0");
        if (c.myComputer) {
            const int drive = RemoteListRow(m_list, L"C:");
            ClickRow(drive >= 0 ? L"C:" : RemoteListText(m_list, 0, 0));
        } else {
            ClickRow(L"stays.bin");
        }
        EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(m_bar, IDC_MENU_UPLOAD))) << "the button offers the upload";
        Click(m_bar, IDC_MENU_UPLOAD);
        HWND box = WaitForBox();
        ASSERT_NE(nullptr, box) << "no refusal";
        EXPECT_NE(std::wstring::npos, BoxText(box).find(c.message)) << std::string(BoxText(box).begin(),
                                                                                   BoxText(box).end());
        AnswerBox(box);
        // An upload would start from the answer's handling: checked once the program has done it.
        ASSERT_TRUE(WaitForIdleWindow(m_frame));
        EXPECT_TRUE(WaitForQuietServer("H0"));
        EXPECT_TRUE(TransferWindows(true).empty()) << "an upload started";
        EXPECT_EQ(before, LastConnection("H0")) << "an upload request went out";
        EXPECT_TRUE(ExitFromTray());
        EndProcess();
    }
}

namespace {

std::function<COleDataSource*()> LocalFiles(const std::wstring& path)
{
    return [path] {
        auto* source = new CDragDataSource;
        source->CacheFileDrop({CString(path.c_str())});
        return source;
    };
}

}

TEST_F(AppRoadLocalTransfer, LocalFilesDraggedOntoTheServerTreeAndListArriveByteIdentical)
{
    const std::string one = SomeBytes(300001, 31), two = SomeBytes(70001, 32);
    WriteAll(m_folder + L"\\끌어온파일.bin", one);
    WriteAll(m_folder + L"\\row.bin", two);
    ASSERT_EQ("OK", Control("FILE user=demo size=10 -- My Files/Sub/keep.bin").substr(0, 2));
    ASSERT_NO_FATAL_FAILURE(Start(LANG_KOREAN, m_folder, 2, L"My Files"));

    // Onto the tree's folder: it goes into that folder.
    HTREEITEM top = TopLevel(L"My Files");
    ASSERT_NE(nullptr, top);
    const POINT onTree = ScreenPoint(m_serverTree, RemoteTreeItemRect(m_serverTree, top));
    EXPECT_EQ(static_cast<DROPEFFECT>(DROPEFFECT_COPY), DragOnto(LocalFiles(m_folder + L"\\끌어온파일.bin"), onTree));
    HWND window = WaitForTransferWindow(true, nullptr);
    ASSERT_NE(nullptr, window) << "the drop on the tree started no upload";
    CloseTransferWindow(window);
    EXPECT_TRUE(filebytes::Same(one, ServerBytes("끌어온파일.bin")));

    // Onto the list's folder row: into that folder, not the one shown.
    int row = -1;
    ASSERT_TRUE(uitest::WaitUntil([&] { return (row = RemoteListRow(m_serverList, L"Sub")) >= 0; }, 20000));
    const POINT onRow = ScreenPoint(m_serverList, RemoteListRowRect(m_serverList, row));
    EXPECT_EQ(static_cast<DROPEFFECT>(DROPEFFECT_COPY), DragOnto(LocalFiles(m_folder + L"\\row.bin"), onRow));
    window = WaitForTransferWindow(true, nullptr);
    ASSERT_NE(nullptr, window) << "the drop on the list started no upload";
    CloseTransferWindow(window);
    EXPECT_TRUE(filebytes::Same(two, ServerBytes("Sub/row.bin")));
    EXPECT_EQ(0u, ServerBytes("row.bin").rfind("<missing", 0)) << "the drop went into the folder shown";
    ::Sleep(800);
    uitest::SaveScreenPng(testpaths::ScratchDir(L"AppRoadLocalTransfer-drop-korean") + L"\\shot.png");
    EXPECT_EQ(nullptr, WaitForBox(2000)) << BoxText(WaitForBox(1));
    EXPECT_TRUE(ExitFromTray());
}

TEST_F(AppRoadLocalTransfer, ServerRowsDraggedOntoAnotherServerFolderAreMovedThereByTheServer)
{
    for (const char* file : {"size=5000 -- My Files/move.bin", "size=10 -- My Files/Sub/keep.bin"})
        ASSERT_EQ("OK", Control(std::string("FILE user=demo ") + file).substr(0, 2));
    WriteAll(m_folder + L"\\here.txt", "x");
    ASSERT_NO_FATAL_FAILURE(Start(LANG_ENGLISH, m_folder, 1, L"My Files"));
    const std::vector<_PROTO_FOLDER_INFO> records = {ServerItem("F", Idx("My Files/move.bin"), L"move.bin", "5000")};
    int row = -1;
    ASSERT_TRUE(uitest::WaitUntil([&] { return (row = RemoteListRow(m_serverList, L"Sub")) >= 0; }, 20000));
    auto items = [&] {
        auto* source = new CDragDataSource;
        source->CacheServerItems(records, L"SR", L"My Files");
        return static_cast<COleDataSource*>(source);
    };
    // No key held: a move, which the server does as one paste request.
    EXPECT_EQ(static_cast<DROPEFFECT>(DROPEFFECT_MOVE),
              DragOnto(items, ScreenPoint(m_serverList, RemoteListRowRect(m_serverList, row))));
    EXPECT_TRUE(uitest::WaitUntil([&] { return !Idx("My Files/Sub/move.bin").empty(); }, 20000))
        << "the rows did not reach the folder dropped on";
    EXPECT_TRUE(Idx("My Files/move.bin").empty()) << "a move left the source";
    EXPECT_GE(LastConnection("F1"), 0) << "no paste request";
    EXPECT_TRUE(uitest::WaitUntil([&] { return RemoteListRow(m_serverList, L"move.bin") < 0; }, 10000))
        << "the list still shows the moved row";
    ::Sleep(800);
    uitest::SaveScreenPng(testpaths::ScratchDir(L"AppRoadLocalTransfer-drop-english") + L"\\shot.png");
    EXPECT_EQ(nullptr, WaitForBox(2000)) << BoxText(WaitForBox(1));
    EXPECT_TRUE(ExitFromTray());
}

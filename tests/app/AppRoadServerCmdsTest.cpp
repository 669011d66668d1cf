// The server panes' commands in CorvaneIXO.exe itself against the test server, driven as a user
// drives them: the context menus, rows, keys and the command bar. A version from the versions
// window and ticked search hits land byte-identical in the local tree's folder, and a search hit's
// go-to selects its row; a list download the server ends with a closed session logs out once;
// deletes to the bin and for good (only the latter asks for the quota); a cut pasted onto a folder
// row; the bin's restore with its go-to and its emptying; properties on their own connection; the
// share, guest, group share and link dialogs; a shortcut; the tree's new folder, rename and keys;
// local files pasted onto a tree folder; the command bar's buttons that a right-click on the
// list's empty space sets at once. The menus of another process cannot be read under Wine:
// each test gives the item permissions that put the wanted entry first (the order is the
// menu rules', ServerContextMenu).
#include "AppRun.h"
#include "BackupRes.h"
#include "DownloadRes.h"
#include "FileBytes.h"
#include "HexBytes.h"
#include "MenuBarRes.h"
#include "PixelCapture.h"
#include "ServerContextMenu.h"
#include "ShareRes.h"
#include "TestPaths.h"
#include "ToviListCtrl.h"
#include "ToviRegistry.h"
#include "WindowDriver.h"
#include <gtest/gtest.h>
#include <commctrl.h>
#include <shlobj.h>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <initializer_list>

using namespace apprun;

namespace {

class AppRoadServerCmds : public AppRoadTest {
protected:
    void SetUp() override
    {
        AppRoadTest::SetUp();
        // The server's store outlives a run: every test works in a folder of its own.
        m_name = "Cmds" + std::to_string(::GetTickCount64());
        m_folder = "My Files/" + m_name;
        ASSERT_EQ("OK", Control("FOLDER user=demo -- " + m_folder).substr(0, 2));
        m_local = MakeDocumentsFolder(L"Server commands " + FromUtf8(m_name));
        ASSERT_FALSE(m_local.empty());
        // Keep-alive and quota requests far away: what the server sees comes from the commands.
        ASSERT_EQ("OK", Control("OPTION A1 172=900 224=900").substr(0, 2));
    }
    void TearDown() override
    {
        Control("SWITCH keepVersions=0");
        // The store outlives the test: top-level folders get their own permissions back.
        for (const std::string& idx : m_tops)
            Control("PERM idx=" + idx + " value=-");
        AppRoadTest::TearDown();
        testpaths::RemoveTree(m_local);
    }

    void Put(const std::string& line)
    {
        const std::string reply = Control(line);
        ASSERT_EQ("OK", reply.substr(0, 2)) << line << ": " << reply;
    }
    void Perm(const std::string& path, const std::string& value)
    {
        const std::string idx = Idx(m_folder + path);
        ASSERT_FALSE(idx.empty()) << path;
        Put("PERM idx=" + idx + " value=" + value);
    }

    // Logs in in the language with the local panes in the test's local folder (the folder that
    // downloads go to) and opens the test's server folder, whose rows are then listed.
    void Start(unsigned short language = LANG_ENGLISH)
    {
        m_frame = LaunchShowing(language, m_local);
        ASSERT_NE(nullptr, m_frame);
        const MainPanes panes = PanesOf(m_frame);
        ASSERT_TRUE(panes.All());
        m_bar = panes.bar;
        m_tree = panes.serverTree;
        m_list = panes.serverList;
        m_localTree = panes.localTree;
        HTREEITEM myFiles = nullptr;
        ASSERT_TRUE(uitest::WaitUntil([&] { return (myFiles = Child(nullptr, L"My Files")) != nullptr; }, 20000));
        Select(myFiles);
        HTREEITEM own = nullptr;
        ASSERT_TRUE(uitest::WaitUntil([&] { return (own = Child(myFiles, FromUtf8(m_name))) != nullptr; }, 20000))
            << "the test's folder is not in the tree";
        Select(own);
        m_own = own;
        ASSERT_TRUE(uitest::WaitUntil([&] {
            return ListRowCount(m_list) == m_rows && (m_rows == 0 || !RemoteListText(m_list, 0, 0).empty());
        }, 20000)) << "the folder's rows were not listed: " << ListRowCount(m_list);
        ::Sleep(300);
    }
    HTREEITEM Child(HTREEITEM parent, const std::wstring& name) { return RemoteTreeChild(m_tree, parent, name); }
    void Select(HTREEITEM item) { ::SendMessageW(m_tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item)); }

    // Clicks the row and opens its menu, choosing the entry at position.
    void ChooseOnRow(const std::wstring& name, int position = 1)
    {
        ASSERT_TRUE(ClickListRow(m_list, name)) << "no row " << CStringA(name.c_str()).GetString();
        ASSERT_TRUE(ChooseFromListMenu(m_frame, m_list, RemoteListRow(m_list, name), position)) << "no menu";
        ASSERT_TRUE(MenuClosed());
    }
    bool RowShown(const std::wstring& name) { return RemoteListRow(m_list, name) >= 0; }
    int Requests(const char* command)
    {
        return std::atoi(protoserver::Control::Value(Control(std::string("COUNT cmd=") + command), "requests").c_str());
    }

    // The transfer window once its run is over.
    HWND TransferOver(bool upload)
    {
        HWND window = nullptr;
        uitest::WaitUntil([&] {
            const std::vector<HWND> windows = TransferWindows(upload);
            window = windows.empty() ? nullptr : windows.front();
            return window != nullptr && TransferRunOver(window);
        }, 60000);
        return window;
    }
    void CloseTransferWindow(HWND window)
    {
        Click(window, IDCANCEL);
        EXPECT_TRUE(uitest::WaitUntil([&] { return !::IsWindow(window) || !::IsWindowVisible(window); }, 20000));
    }
    std::string Local(const wchar_t* name) { return ReadWholeFile(m_local + L"\\" + name); }

    std::string m_name, m_folder;
    std::wstring m_local;
    int m_rows = 0;   // rows the test's folder lists at the start
    std::vector<std::string> m_tops;   // top-level folders whose permissions the test set
    HWND m_frame = nullptr, m_bar = nullptr, m_tree = nullptr, m_list = nullptr, m_localTree = nullptr;
    HTREEITEM m_own = nullptr;
};

}

TEST_F(AppRoadServerCmds, AnOlderVersionChosenInTheVersionsWindowLandsByteIdenticalInTheLocalFolder)
{
    const std::string older = SomeBytes(90001, 7), current = SomeBytes(4000, 8);
    Put("SWITCH keepVersions=5");
    Put("FILE user=demo hex=" + hexbytes::UpperHex(older) + " -- " + m_folder + "/report.bin");
    Put("FILE user=demo hex=" + hexbytes::UpperHex(current) + " -- " + m_folder + "/report.bin");
    ASSERT_EQ("1", protoserver::Control::Value(Control("ITEM user=demo -- " + m_folder + "/report.bin"), "versions"));
    // Downloads allowed, nothing else: the file's menu starts with its versions.
    Perm("/report.bin", PermissionsAllowing({servermenu::DOWNLOAD}));
    m_rows = 1;
    ASSERT_NO_FATAL_FAILURE(Start());

    ASSERT_NO_FATAL_FAILURE(ChooseOnRow(L"report.bin"));
    HWND versions = WaitForDialogWith(IDC_VERSION_LIST);
    ASSERT_NE(nullptr, versions) << "the versions window did not open";
    HWND rows = ::GetDlgItem(versions, IDC_VERSION_LIST);
    ASSERT_TRUE(uitest::WaitUntil([&] { return ListRowCount(rows) == 1; }, 10000)) << ListRowCount(rows);
    // The row's download button; its click reaches the list first.
    const int button = static_cast<int>(CToviListCtrl::ButtonId(0, 0));
    ::PostMessageW(rows, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(rows, button)));
    HWND window = TransferOver(false);
    ASSERT_NE(nullptr, window) << "the version's download did not run to its end";
    EXPECT_TRUE(filebytes::Same(older, Local(L"report.bin")));
    CloseTransferWindow(window);
    Click(versions, IDCANCEL);
    EXPECT_TRUE(uitest::WaitUntil([&] { return !::IsWindow(versions); }, 10000));
    EXPECT_EQ(nullptr, WaitForBox(1000));
    EXPECT_TRUE(ExitFromTray());
}

TEST_F(AppRoadServerCmds, AVersionWhoseServerPathDoesNotFitTheDownloadIsRefusedNamingTheFileAndNothingLands)
{
    // Three nested folders of 190 characters put the file's server path past the 511 characters
    // a download carries; each name still fits the server's disk.
    std::vector<std::string> folders;
    std::string path;
    for (char c : {'p', 'q', 'r'}) {
        folders.push_back(std::string(190, c));
        path += "/" + folders.back();
    }
    Put("SWITCH keepVersions=5");
    Put("FILE user=demo size=6001 -- " + m_folder + path + "/deep.bin");
    Put("FILE user=demo size=3001 -- " + m_folder + path + "/deep.bin");
    ASSERT_EQ("1", protoserver::Control::Value(Control("ITEM user=demo -- " + m_folder + path + "/deep.bin"),
                                               "versions"));
    Perm(path + "/deep.bin", PermissionsAllowing({servermenu::DOWNLOAD}));
    m_rows = 1;
    ASSERT_NO_FATAL_FAILURE(Start());
    HTREEITEM at = m_own;
    for (const std::string& folder : folders) {
        HTREEITEM child = nullptr;
        ASSERT_TRUE(uitest::WaitUntil([&] { return (child = Child(at, FromUtf8(folder))) != nullptr; }, 20000))
            << folder.substr(0, 1) << " is not in the tree";
        Select(child);
        at = child;
        ASSERT_TRUE(uitest::WaitUntil([&] { return ListRowCount(m_list) == 1 && !RemoteListText(m_list, 0, 0).empty(); },
                                      20000));
    }
    ASSERT_TRUE(uitest::WaitUntil([&] { return RowShown(L"deep.bin"); }, 20000));
    ::Sleep(300);

    ASSERT_NO_FATAL_FAILURE(ChooseOnRow(L"deep.bin"));
    HWND versions = WaitForDialogWith(IDC_VERSION_LIST);
    ASSERT_NE(nullptr, versions) << "the versions window did not open";
    HWND rows = ::GetDlgItem(versions, IDC_VERSION_LIST);
    ASSERT_TRUE(uitest::WaitUntil([&] { return ListRowCount(rows) == 1; }, 10000)) << ListRowCount(rows);
    const int button = static_cast<int>(CToviListCtrl::ButtonId(0, 0));
    ::PostMessageW(rows, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(rows, button)));
    HWND box = WaitForBox(15000);
    ASSERT_NE(nullptr, box) << "the download was not refused";
    const std::wstring text = BoxText(box);
    EXPECT_NE(std::wstring::npos, text.find(L"deep.bin")) << CStringA(text.c_str()).GetString();
    EXPECT_NE(std::wstring::npos, text.find(L"too long")) << CStringA(text.c_str()).GetString();
    AnswerBox(box);
    // Nothing ran and nothing landed, under the name or under a cut one: checked once the program
    // has handled the answer and the server has seen the last of its requests.
    ASSERT_TRUE(WaitForIdleWindow(m_frame));
    EXPECT_TRUE(WaitForQuietServer());
    EXPECT_TRUE(TransferWindows(false).empty());
    WIN32_FIND_DATAW found = {};
    HANDLE search = ::FindFirstFileW((m_local + L"\\*").c_str(), &found);
    std::vector<std::wstring> landed;
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (std::wcscmp(found.cFileName, L".") && std::wcscmp(found.cFileName, L".."))
                landed.push_back(found.cFileName);
        } while (::FindNextFileW(search, &found));
        ::FindClose(search);
    }
    EXPECT_TRUE(landed.empty()) << CStringA(landed.empty() ? L"" : landed.front().c_str()).GetString();
    Click(versions, IDCANCEL);
    EXPECT_TRUE(uitest::WaitUntil([&] { return !::IsWindow(versions); }, 10000));
    EXPECT_TRUE(ExitFromTray());
}

TEST_F(AppRoadServerCmds, TickedSearchHitsLandByteIdenticalInTheLocalFolderAndADoubleClickedHitIsSelected)
{
    Put("FILE user=demo size=70001 -- " + m_folder + "/pick-one.bin");
    Put("FILE user=demo size=3000 -- " + m_folder + "/Deeper/pick-two.bin");
    Put("FOLDER user=demo -- " + m_folder + "/pick-folder");
    // Only searching allowed in the folder: the menu of its empty space starts with the search.
    const std::string own = Idx(m_folder);
    Put("PERM idx=" + own + " value=" + PermissionsAllowing({servermenu::SEARCH}));
    m_rows = 3;
    ASSERT_NO_FATAL_FAILURE(Start());

    ASSERT_TRUE(ClickListRow(m_list, L""));
    ASSERT_TRUE(ChooseFromListMenu(m_frame, m_list, -1));
    HWND search = WaitForDialogWith(IDC_SEARCH_LIST);
    ASSERT_NE(nullptr, search) << "the search window did not open";
    // The conditions are a panel of their own inside the window.
    HWND name = FindDescendant(search, IDC_SEARCH_NAME);
    ASSERT_NE(nullptr, name);
    HWND panel = ::GetParent(name);
    ASSERT_TRUE(SetControlText(panel, IDC_SEARCH_NAME, L"pick"));
    Click(panel, IDC_SEARCH_RUN);
    HWND hits = ::GetDlgItem(search, IDC_SEARCH_LIST);
    ASSERT_TRUE(uitest::WaitUntil([&] { return ListRowCount(hits) == 3; }, 15000)) << ListRowCount(hits);
    ::Sleep(500);   // the rows paint their boxes
    // The user ticks every row; a folder has no box.
    for (int row = 0; row < 3; ++row) {
        RECT icon = {LVIR_ICON, 0, 0, 0};
        std::vector<BYTE> buffer(sizeof icon);
        std::memcpy(buffer.data(), &icon, sizeof icon);
        ASSERT_TRUE(RemoteSend(hits, LVM_GETITEMRECT, row, buffer));
        std::memcpy(&icon, buffer.data(), sizeof icon);
        const RECT bounds = RemoteListRowRect(hits, row);
        const LPARAM at = MAKELPARAM(icon.left - 10, bounds.top + 11);
        ::PostMessageW(hits, WM_LBUTTONDOWN, MK_LBUTTON, at);
        ::PostMessageW(hits, WM_LBUTTONUP, 0, at);
        ::Sleep(150);
    }
    // The window's second button downloads.
    Click(search, IDCANCEL);
    HWND window = TransferOver(false);
    ASSERT_NE(nullptr, window) << "the hits' download did not run to its end";
    EXPECT_TRUE(filebytes::Same(ServerBytes(m_name + "/pick-one.bin"), Local(L"pick-one.bin")));
    EXPECT_TRUE(filebytes::Same(ServerBytes(m_name + "/Deeper/pick-two.bin"), Local(L"pick-two.bin")));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW((m_local + L"\\pick-folder").c_str()))
        << "a folder hit was downloaded";
    CloseTransferWindow(window);
    EXPECT_EQ(nullptr, WaitForBox(1000));

    // A double-clicked hit: the tree opens its folder and the list selects its row.
    const int two = RemoteListRow(hits, L"pick-two.bin");
    ASSERT_GE(two, 0);
    DoubleClickRow(hits, two);
    EXPECT_TRUE(uitest::WaitUntil([&] {
        auto caret = reinterpret_cast<HTREEITEM>(::SendMessageW(m_tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
        return caret && RemoteTreeText(m_tree, caret) == L"Deeper";
    }, 10000)) << "the go-to did not open the hit's folder";
    EXPECT_TRUE(uitest::WaitUntil([&] {
        const int selected = static_cast<int>(::SendMessageW(m_list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
        return selected >= 0 && RemoteListText(m_list, selected, 0) == L"pick-two.bin";
    }, 10000)) << "the hit's row is not selected";
    EXPECT_EQ(nullptr, WaitForBox(1000));
    // The search window is left open: the exit takes it along.
    EXPECT_TRUE(ExitFromTray());
}

// The server closes the session while the list's download runs: the transfer stops by itself and
// the program logs out exactly once, back to the log-in.
TEST_F(AppRoadServerCmds, AListDownloadTheServerEndsWithAClosedSessionLogsOutOnce)
{
    Put("FILE user=demo size=200000 -- " + m_folder + "/cut.bin");
    m_rows = 1;
    ASSERT_NO_FATAL_FAILURE(Start());
    Put("FAULT error code=1213 count=1 cmd=H1 -- The session was closed by the server.");
    ASSERT_TRUE(ClickListRow(m_list, L"cut.bin"));
    ASSERT_TRUE(uitest::WaitUntil([&] { return ::IsWindowEnabled(::GetDlgItem(m_bar, IDC_MENU_DOWNLOAD)) != FALSE; },
                                  10000));
    Click(m_bar, IDC_MENU_DOWNLOAD);
    HWND box = WaitForBox(30000);
    ASSERT_NE(nullptr, box) << "no forced log-out";
    EXPECT_NE(std::wstring::npos, BoxText(box).find(L"The session was closed by the server."))
        << CStringA(BoxText(box).c_str()).GetString();
    AnswerBox(box);
    EXPECT_TRUE(uitest::WaitUntil([&] { return !::IsWindowVisible(m_frame); }, 10000)) << "the window stayed up";
    EXPECT_TRUE(uitest::WaitUntil([&] { return TransferWindows(false).empty(); }, 10000)) << "the transfer window stayed";
    EXPECT_EQ(nullptr, WaitForBox(4000)) << "a second log-out message appeared";
    EXPECT_TRUE(Sessions().empty()) << "the session was not ended";
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW((m_local + L"\\cut.bin").c_str()))
        << "a file the transfer never finished was left";
    Control("RESET");
    EXPECT_TRUE(ExitFromTray());
}

TEST_F(AppRoadServerCmds, ADeleteGoesToTheBinAndAPermanentDeleteAloneAsksForTheQuota)
{
    Put("FILE user=demo size=100 -- " + m_folder + "/to-bin.txt");
    Put("FILE user=demo size=100 -- " + m_folder + "/for-good.txt");
    // Each file allows one kind of delete: its menu starts with it.
    Perm("/to-bin.txt", PermissionsAllowing({servermenu::DELETE_}));
    Perm("/for-good.txt", PermissionsAllowing({servermenu::DEL_COMP}));
    m_rows = 2;
    ASSERT_NO_FATAL_FAILURE(Start());
    const struct {
        const wchar_t* row;
        const char* path;
        bool intoBin;
    } cases[] = {{L"to-bin.txt", "/to-bin.txt", true}, {L"for-good.txt", "/for-good.txt", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        ASSERT_TRUE(WaitForQuietServer("B5")) << "quota requests of earlier steps go on";
        const int quota = Requests("B5"), deletes = Requests("F2");
        ASSERT_NO_FATAL_FAILURE(ChooseOnRow(c.row));
        HWND confirm = WaitForDialogWith(IDOK);
        ASSERT_NE(nullptr, confirm) << "no confirmation";
        Click(confirm, IDOK);
        EXPECT_TRUE(uitest::WaitUntil([&] { return Idx(m_folder + c.path).empty(); }, 15000)) << "not deleted";
        EXPECT_LT(deletes, Requests("F2"));
        EXPECT_TRUE(uitest::WaitUntil([&] { return !RowShown(c.row); }, 10000)) << "the list kept the row";
        const std::string bin = Control("LIST user=demo -- Recycle Bin");
        EXPECT_EQ(c.intoBin, bin.find(CStringA(c.row).GetString()) != std::string::npos) << bin;
        if (c.intoBin) {
            // A quota request would follow the delete's reply: the program has handled that reply.
            ASSERT_TRUE(WaitForIdleWindow(m_frame));
            EXPECT_TRUE(WaitForQuietServer("B5", 1000));
            EXPECT_EQ(quota, Requests("B5")) << "a delete into the bin asked for the quota";
        } else {
            EXPECT_TRUE(uitest::WaitUntil([&] { return Requests("B5") > quota; }, 10000))
                << "a permanent delete did not ask for the quota";
        }
    }
    EXPECT_EQ(nullptr, WaitForBox(1000));
    EXPECT_TRUE(ExitFromTray());
}

TEST_F(AppRoadServerCmds, ACutFilePastedOntoAFolderRowMovesAtTheServerAndEmptiesTheClipboard)
{
    Put("FILE user=demo size=321 -- " + m_folder + "/move.txt");
    Put("FOLDER user=demo -- " + m_folder + "/Into");
    const std::string before = ServerBytes(m_name + "/move.txt");
    // Only cutting on the file, only new files on the folder: each menu starts with that entry.
    Perm("/move.txt", PermissionsAllowing({servermenu::MOVE_CUT}));
    Perm("/Into", PermissionsAllowing({servermenu::NEW_FILE}));
    m_rows = 2;
    ASSERT_NO_FATAL_FAILURE(Start());
    const UINT format = ::RegisterClipboardFormatW(L"VARIRUDAD");

    ASSERT_NO_FATAL_FAILURE(ChooseOnRow(L"move.txt"));
    ASSERT_TRUE(uitest::WaitUntil([&] { return ::IsClipboardFormatAvailable(format) != FALSE; }, 5000))
        << "the cut put nothing on the clipboard";
    const int moves = Requests("F1");
    ASSERT_NO_FATAL_FAILURE(ChooseOnRow(L"Into"));
    EXPECT_TRUE(uitest::WaitUntil([&] { return !Idx(m_folder + "/Into/move.txt").empty(); }, 15000))
        << "nothing was moved into the folder row";
    EXPECT_LT(moves, Requests("F1"));
    EXPECT_TRUE(Idx(m_folder + "/move.txt").empty()) << "a move left its source";
    EXPECT_EQ(before, ServerBytes(m_name + "/Into/move.txt"));
    EXPECT_TRUE(uitest::WaitUntil([&] { return !RowShown(L"move.txt"); }, 10000)) << "the source was not listed again";
    EXPECT_TRUE(uitest::WaitUntil([&] { return RowShown(L"Into"); }, 10000));
    EXPECT_TRUE(uitest::WaitUntil([&] { return ::IsClipboardFormatAvailable(format) == FALSE; }, 5000))
        << "the moved items stayed on the clipboard";
    EXPECT_EQ(nullptr, WaitForBox(1000));
    EXPECT_TRUE(ExitFromTray());
}

// The bin from the list: a deleted file is restored, the restore list's go-to opens its folder
// with its row selected; the bin emptied from the tree's menu asks for the quota.
TEST_F(AppRoadServerCmds, TheBinRestoresAFileWhoseRestoreListLeadsBackToItAndEmptiesFromTheTree)
{
    Put("FILE user=demo size=64 -- " + m_folder + "/back.txt");
    Put("FILE user=demo size=64 -- " + m_folder + "/other.txt");
    // Deleting to the bin alone: its menu starts with Delete, and in the bin with Restore.
    Perm("/back.txt", PermissionsAllowing({servermenu::DELETE_}));
    Perm("/other.txt", PermissionsAllowing({servermenu::DELETE_}));
    m_rows = 2;
    ASSERT_NO_FATAL_FAILURE(Start());
    const std::string idx = Idx(m_folder + "/back.txt");
    ASSERT_NO_FATAL_FAILURE(ChooseOnRow(L"back.txt"));
    HWND confirm = WaitForDialogWith(IDOK);
    ASSERT_NE(nullptr, confirm);
    Click(confirm, IDOK);
    ASSERT_TRUE(uitest::WaitUntil([&] { return Idx(m_folder + "/back.txt").empty(); }, 15000));

    HTREEITEM bin = Child(nullptr, L"Recycle Bin");
    ASSERT_NE(nullptr, bin);
    Select(bin);
    ASSERT_TRUE(uitest::WaitUntil([&] { return RowShown(L"back.txt"); }, 15000)) << "the file is not in the bin";
    ASSERT_NO_FATAL_FAILURE(ChooseOnRow(L"back.txt"));
    confirm = WaitForDialogWith(IDOK);
    ASSERT_NE(nullptr, confirm) << "no confirmation of the restore";
    Click(confirm, IDOK);
    HWND restored = WaitForDialogWith(IDC_RESTORE_LIST);
    ASSERT_NE(nullptr, restored) << "no restore list";
    EXPECT_EQ(idx, Idx(m_folder + "/back.txt")) << "the restore did not bring the file back as it was";
    EXPECT_NE(std::string::npos, Control("LAST cmd=F5").find("cmd=F5"));
    // The user double-clicks the restored entry.
    HWND entries = ::GetDlgItem(restored, IDC_RESTORE_LIST);
    ASSERT_TRUE(uitest::WaitUntil([&] { return ListRowCount(entries) == 1; }, 5000));
    DoubleClickRow(entries, 0);
    EXPECT_TRUE(uitest::WaitUntil([&] { return !::IsWindow(restored) || !::IsWindowVisible(restored); }, 10000))
        << "the go-to left the restore list open";
    EXPECT_TRUE(uitest::WaitUntil([&] {
        return ::SendMessageW(m_tree, TVM_GETNEXTITEM, TVGN_CARET, 0) == reinterpret_cast<LRESULT>(m_own);
    }, 10000)) << "the go-to did not open the file's folder";
    EXPECT_TRUE(uitest::WaitUntil([&] {
        const int selected = static_cast<int>(::SendMessageW(m_list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
        return selected >= 0 && RemoteListText(m_list, selected, 0) == L"back.txt";
    }, 10000)) << "the restored row is not selected";

    // Something in the bin again, then the bin's own menu empties it.
    ASSERT_NO_FATAL_FAILURE(ChooseOnRow(L"other.txt"));
    confirm = WaitForDialogWith(IDOK);
    ASSERT_NE(nullptr, confirm);
    Click(confirm, IDOK);
    ASSERT_TRUE(uitest::WaitUntil([&] { return Idx(m_folder + "/other.txt").empty(); }, 15000));
    ASSERT_TRUE(WaitForQuietServer("B5")) << "quota requests of the delete go on";
    const int quota = Requests("B5"), empties = Requests("F4");
    ASSERT_TRUE(ChooseFromTreeMenu(m_frame, m_tree, bin)) << "no menu on the bin";
    confirm = WaitForDialogWith(IDOK);
    ASSERT_NE(nullptr, confirm) << "no confirmation of emptying the bin";
    Click(confirm, IDOK);
    EXPECT_TRUE(uitest::WaitUntil([&] { return Requests("F4") > empties; }, 15000)) << "the bin was not emptied";
    EXPECT_TRUE(uitest::WaitUntil([&] { return Requests("B5") > quota; }, 10000)) << "no quota request followed";
    const std::string left = Control("LIST user=demo -- Recycle Bin");
    EXPECT_EQ(std::string::npos, left.find("other.txt")) << left;
    EXPECT_EQ(nullptr, WaitForBox(1000));
    EXPECT_TRUE(ExitFromTray());
}

// Properties ask the server over a connection of their own, which goes when the window closes.
TEST_F(AppRoadServerCmds, PropertiesAskOnAConnectionOfTheirOwnThatClosesWithTheWindow)
{
    Put("FILE user=demo size=2048 -- " + m_folder + "/about.txt");
    // Nothing allowed: the file's menu holds Properties alone.
    Perm("/about.txt", PermissionsAllowing({}));
    m_rows = 1;
    ASSERT_NO_FATAL_FAILURE(Start());
    // The start's connections have come and gone.
    ASSERT_TRUE(uitest::WaitUntilSteady([&] { return protoserver::Control::Value(Control("COUNT"), "open"); }, 700));
    const std::string open = protoserver::Control::Value(Control("COUNT"), "open");
    ASSERT_NO_FATAL_FAILURE(ChooseOnRow(L"about.txt"));
    HWND properties = WaitForDialogWith(IDC_PROP_NAME);
    ASSERT_NE(nullptr, properties) << "no properties window";
    EXPECT_TRUE(uitest::WaitUntil([&] { return TextOf(::GetDlgItem(properties, IDC_PROP_NAME)) == L"about.txt"; }, 10000))
        << CStringA(TextOf(::GetDlgItem(properties, IDC_PROP_NAME)).c_str()).GetString();
    const std::string last = Control("LAST cmd=D1");
    ASSERT_NE(std::string::npos, last.find("cmd=D1")) << last;
    EXPECT_NE(LastConnection("D0"), LastConnection("D1")) << "properties asked over the panes' connection";
    Click(properties, IDCANCEL);
    EXPECT_TRUE(uitest::WaitUntil([&] { return !::IsWindow(properties); }, 10000));
    EXPECT_TRUE(uitest::WaitUntil([&] { return protoserver::Control::Value(Control("COUNT"), "open") == open; }, 10000))
        << "the properties' connection stayed open: " << Control("COUNT");
    EXPECT_EQ(nullptr, WaitForBox(1000));
    EXPECT_TRUE(ExitFromTray());
}

// The share dialog opens with the folder's stored settings; saving them refreshes the list.
TEST_F(AppRoadServerCmds, TheShareDialogOpensWithTheStoredShareAndSavingListsTheFolderAgain)
{
    Put("FOLDER user=demo -- " + m_folder + "/Team");
    std::string team = Idx(m_folder + "/Team");
    {
        protoserver::TestProto side;
        ASSERT_TRUE(SideLogin(side));
        ASSERT_EQ(0, side.SetDShareInfo(&team[0], L"Team", const_cast<char*>("Y"), CString(L"secret"),
                                        const_cast<char*>("2026-01-01"), const_cast<char*>("2026-12-31"), true))
            << CStringA(side.Message().c_str()).GetString();
        side.GetLogoutInfo();
    }
    // Sharing alone allowed: the folder row's menu starts with it.
    Perm("/Team", PermissionsAllowing({servermenu::SHARE}));
    m_rows = 1;
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_NO_FATAL_FAILURE(ChooseOnRow(L"Team"));
    HWND share = WaitForDialogWith(IDC_SHARE_SAVE);
    ASSERT_NE(nullptr, share) << "no share dialog";
    EXPECT_NE(std::string::npos, Control("LAST cmd=G0").find("cmd=G0"));
    EXPECT_TRUE(uitest::WaitUntil([&] { return ::IsDlgButtonChecked(share, IDC_SHARE_ON) == BST_CHECKED; }, 5000))
        << "the stored share is not shown as on";
    EXPECT_EQ(BST_CHECKED, ::IsDlgButtonChecked(share, IDC_SHARE_PASSWORD_ON));
    EXPECT_EQ(BST_CHECKED, ::IsDlgButtonChecked(share, IDC_SHARE_PERIOD_ON));
    const int listings = Requests("D0"), saves = Requests("G1");
    Click(share, IDC_SHARE_SAVE);
    EXPECT_TRUE(uitest::WaitUntil([&] { return !::IsWindow(share); }, 10000)) << "the dialog stayed";
    EXPECT_LT(saves, Requests("G1")) << "nothing was saved";
    const std::string sent = Control("LAST cmd=G1");
    EXPECT_NE(std::string::npos, sent.find("198:2A")) << "the kept password did not go as a star: " << sent;
    EXPECT_TRUE(uitest::WaitUntil([&] { return Requests("D0") > listings; }, 10000)) << "the panes were not refreshed";
    EXPECT_TRUE(uitest::WaitUntil([&] { return RowShown(L"Team"); }, 10000));
    EXPECT_EQ(nullptr, WaitForBox(1000));
    EXPECT_TRUE(ExitFromTray());
}

TEST_F(AppRoadServerCmds, AShortcutToAFolderRowIsAddedAtTheServer)
{
    Put("FOLDER user=demo -- " + m_folder + "/Often");
    // Shortcuts alone allowed: the folder row's menu starts with the shortcut.
    Perm("/Often", PermissionsAllowing({servermenu::SHORTCUT}));
    m_rows = 1;
    ASSERT_NO_FATAL_FAILURE(Start());
    const int adds = Requests("D6");
    ASSERT_NO_FATAL_FAILURE(ChooseOnRow(L"Often"));
    HWND box = WaitForBox();
    ASSERT_NE(nullptr, box) << "the addition was not confirmed";
    EXPECT_LT(adds, Requests("D6"));
    const std::string sent = Control("LAST cmd=D6");
    EXPECT_NE(std::string::npos, sent.find("173:" + hexbytes::UpperHex(Idx(m_folder + "/Often")))) << sent;
    AnswerBox(box);
    EXPECT_EQ(nullptr, WaitForBox(1000));
    EXPECT_TRUE(ExitFromTray());
}

// Not a check: pictures of a file's context menu and of a running download in the main window,
// in both languages, for a person to look at.
TEST_F(AppRoadServerCmds, ScreenshotsOfAListMenuAndARunningDownload)
{
    const wchar_t* dir = _wgetenv(L"PANES_SHOTS");
    if (!dir)
        GTEST_SKIP() << "set PANES_SHOTS to a folder to take them";
    Put("FILE user=demo size=6000000 -- " + m_folder + "/큰 파일.bin");
    Put("FILE user=demo size=5000 -- " + m_folder + "/notes.txt");
    Put("FOLDER user=demo -- " + m_folder + "/Folder");
    m_rows = 3;
    for (unsigned short language : {LANG_KOREAN, LANG_ENGLISH}) {
        const std::wstring suffix = language == LANG_KOREAN ? L"-ko.png" : L"-en.png";
        ASSERT_NO_FATAL_FAILURE(Start(language));
        ::MoveWindow(m_frame, 0, 0, 1200, 850, TRUE);
        ::Sleep(500);
        ASSERT_TRUE(ClickListRow(m_list, L"notes.txt"));
        ASSERT_TRUE(ChooseFromListMenu(m_frame, m_list, RemoteListRow(m_list, L"notes.txt"), 0,
                                       std::wstring(dir) + L"\\list-menu" + suffix));
        ASSERT_TRUE(MenuClosed());
        ASSERT_TRUE(ClickListRow(m_list, L"큰 파일.bin"));
        // A stream slow enough to be seen running.
        Put("FAULT slow-stream ms=50 count=1 cmd=H1");
        Click(m_bar, IDC_MENU_DOWNLOAD);
        HWND window = nullptr;
        ASSERT_TRUE(uitest::WaitUntil([&] {
            const std::vector<HWND> windows = TransferWindows(false);
            window = windows.empty() ? nullptr : windows.front();
            return window != nullptr;
        }, 30000));
        // The picture once the window has painted its first progress.
        ASSERT_TRUE(WaitForIdleWindow(window));
        EXPECT_TRUE(uitest::SaveScreenPng(std::wstring(dir) + L"\\running-download" + suffix));
        window = TransferOver(false);
        ASSERT_NE(nullptr, window);
        CloseTransferWindow(window);
        ::DeleteFileW((m_local + L"\\큰 파일.bin").c_str());
        ASSERT_TRUE(ExitFromTray());
        EndProcess();
    }
}

// The sharing dialogs open from their menus with what the server holds for the folder: the
// guests of the guest area, the group area's settings, a new link for a file row, which, made,
// lists the folder again with the file's link.
TEST_F(AppRoadServerCmds, TheGuestGroupAndLinkDialogsOpenFromTheirMenusWithTheServersData)
{
    Put("FILE user=demo size=99 -- " + m_folder + "/linked.txt");
    // Each item allows only what its menu should start with.
    Perm("/linked.txt", PermissionsAllowing({servermenu::FILELINK}));
    m_tops = {Idx("Guest"), Idx("Group")};
    ASSERT_FALSE(m_tops[0].empty() || m_tops[1].empty());
    Put("PERM idx=" + m_tops[0] + " value=" + PermissionsAllowing({}));
    Put("PERM idx=" + m_tops[1] + " value=" + PermissionsAllowing({servermenu::NEW_GRP}));
    m_rows = 1;
    ASSERT_NO_FATAL_FAILURE(Start());
    auto exchanges = [&] { return std::atol(protoserver::Control::Value(Control("COUNT"), "exchanges").c_str()); };

    const struct {
        const wchar_t* top;   // a top-level folder's tree menu; null: the file row's list menu
        int control;          // a control only that dialog has
        const char* what;
    } cases[] = {
        {L"Guest", IDC_GUEST_RESET_PWD, "guest"},
        {L"Group", IDC_GSHARE_AUTO_DELETE, "group share"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        HTREEITEM top = Child(nullptr, c.top);
        ASSERT_NE(nullptr, top);
        const long before = exchanges();
        ASSERT_TRUE(ChooseFromTreeMenu(m_frame, m_tree, top)) << "no menu";
        HWND dialog = WaitForDialogWith(c.control);
        if (!dialog && c.control == IDC_GUEST_RESET_PWD)
            dialog = WaitForDialogWith(IDC_GMULTI_LIST, 1000);   // the server's option picks the guest dialog
        ASSERT_NE(nullptr, dialog) << "the dialog did not open";
        EXPECT_GT(exchanges(), before) << "the dialog did not read the folder's settings";
        Click(dialog, IDCANCEL);
        EXPECT_TRUE(uitest::WaitUntil([&] { return !::IsWindow(dialog); }, 10000));
    }

    const int listings = Requests("D0"), links = Requests("I0");
    ASSERT_NO_FATAL_FAILURE(ChooseOnRow(L"linked.txt"));
    HWND link = WaitForDialogWith(IDC_LINK_EXPIRE_ON);
    ASSERT_NE(nullptr, link) << "no link dialog";
    EXPECT_EQ(L"linked.txt", TextOf(::GetDlgItem(link, IDC_LINK_NAME)));
    Click(link, IDOK);
    EXPECT_TRUE(uitest::WaitUntil([&] { return !::IsWindow(link); }, 10000)) << "the link dialog stayed";
    EXPECT_LT(links, Requests("I0")) << "no link was made";
    const std::string info = protoserver::Control::Value(Control("ITEM user=demo -- " + m_folder + "/linked.txt"), "info");
    EXPECT_EQ('1', info.empty() ? '?' : info[0]) << "the file holds no link: " << info;
    EXPECT_TRUE(uitest::WaitUntil([&] { return Requests("D0") > listings; }, 10000)) << "the list was not refreshed";
    EXPECT_TRUE(uitest::WaitUntil([&] { return RowShown(L"linked.txt"); }, 10000));
    EXPECT_EQ(nullptr, WaitForBox(1000));
    EXPECT_TRUE(ExitFromTray());
}

// The tree's menu names a new folder in place and renames a folder in place; the server holds
// both names and the tree shows them.
TEST_F(AppRoadServerCmds, TheTreesMenuMakesANewFolderAndRenamesAFolderInPlace)
{
    Put("FOLDER user=demo -- " + m_folder + "/Old name");
    // New folders alone in the test's folder, renaming alone on its child.
    Put("PERM idx=" + Idx(m_folder) + " value=" + PermissionsAllowing({servermenu::NEW_DIR}));
    Perm("/Old name", PermissionsAllowing({servermenu::RENAME}));
    m_rows = 1;
    ASSERT_NO_FATAL_FAILURE(Start());
    auto nameInPlace = [&](HTREEITEM item, const wchar_t* name) {
        ASSERT_TRUE(ChooseFromTreeMenu(m_frame, m_tree, item)) << "no menu";
        HWND edit = nullptr;
        ASSERT_TRUE(uitest::WaitUntil([&] {
            edit = reinterpret_cast<HWND>(::SendMessageW(m_tree, TVM_GETEDITCONTROL, 0, 0));
            return edit != nullptr;
        }, 10000)) << "no name edit";
        ::SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name));
        ::PostMessageW(edit, WM_KEYDOWN, VK_RETURN, 0);
    };

    ASSERT_NO_FATAL_FAILURE(nameInPlace(m_own, L"Plans"));
    EXPECT_TRUE(uitest::WaitUntil([&] { return !Idx(m_folder + "/Plans").empty(); }, 10000)) << "no folder at the server";
    EXPECT_TRUE(uitest::WaitUntil([&] { return Child(m_own, L"Plans") != nullptr; }, 10000)) << "the tree has no Plans";

    HTREEITEM old = nullptr;
    ASSERT_TRUE(uitest::WaitUntil([&] { return (old = Child(m_own, L"Old name")) != nullptr; }, 10000));
    const std::string idx = Idx(m_folder + "/Old name");
    ASSERT_NO_FATAL_FAILURE(nameInPlace(old, L"New name"));
    EXPECT_TRUE(uitest::WaitUntil([&] { return Idx(m_folder + "/New name") == idx; }, 10000))
        << "the server did not rename the folder";
    EXPECT_TRUE(Idx(m_folder + "/Old name").empty());
    EXPECT_TRUE(uitest::WaitUntil([&] { return Child(m_own, L"New name") != nullptr && !Child(m_own, L"Old name"); },
                                  10000)) << "the tree kept the old name";
    EXPECT_EQ(nullptr, WaitForBox(1000));
    EXPECT_TRUE(ExitFromTray());
}

// The tree's keys: the left Control key with C and V copies a folder into another, Delete puts a
// folder into the bin, Shift with Delete deletes one for good.
TEST_F(AppRoadServerCmds, TheTreesKeysCopyAndPasteAFolderAndDeleteFolders)
{
    Put("FILE user=demo size=77 -- " + m_folder + "/Source/inner.txt");
    Put("FOLDER user=demo -- " + m_folder + "/Target");
    Put("FOLDER user=demo -- " + m_folder + "/Binned");
    Put("FOLDER user=demo -- " + m_folder + "/Gone");
    m_rows = 4;
    ASSERT_NO_FATAL_FAILURE(Start());
    auto item = [&](const wchar_t* name) {
        HTREEITEM found = nullptr;
        uitest::WaitUntil([&] { return (found = Child(m_own, name)) != nullptr; }, 10000);
        return found;
    };
    HTREEITEM source = item(L"Source");
    ASSERT_NE(nullptr, source);
    ClickTreeItem(m_tree, source);
    TypeKeys({VK_LCONTROL}, 'C');
    const int pastes = Requests("F1");
    HTREEITEM target = item(L"Target");
    ASSERT_NE(nullptr, target);
    ClickTreeItem(m_tree, target);
    TypeKeys({VK_LCONTROL}, 'V');
    EXPECT_TRUE(uitest::WaitUntil([&] { return !Idx(m_folder + "/Target/Source/inner.txt").empty(); }, 15000))
        << "the folder was not copied";
    EXPECT_LT(pastes, Requests("F1"));
    EXPECT_FALSE(Idx(m_folder + "/Source/inner.txt").empty()) << "a copy took the source away";

    const struct {
        const wchar_t* name;
        std::initializer_list<WORD> held;
        bool intoBin;
    } cases[] = {{L"Binned", {}, true}, {L"Gone", {VK_LSHIFT}, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(CStringA(c.name).GetString());
        HTREEITEM folder = item(c.name);
        ASSERT_NE(nullptr, folder);
        ClickTreeItem(m_tree, folder);
        TypeKeys(c.held, VK_DELETE);
        HWND confirm = WaitForDialogWith(IDOK);
        ASSERT_NE(nullptr, confirm) << "no confirmation";
        Click(confirm, IDOK);
        const std::string path = m_folder + "/" + std::string(CStringA(c.name).GetString());
        EXPECT_TRUE(uitest::WaitUntil([&] { return Idx(path).empty(); }, 15000)) << "not deleted";
        EXPECT_TRUE(uitest::WaitUntil([&] { return Child(m_own, c.name) == nullptr; }, 10000)) << "the tree kept it";
        const std::string bin = Control("LIST user=demo -- Recycle Bin");
        EXPECT_EQ(c.intoBin, bin.find(std::string(CStringA(c.name).GetString()) + ":") != std::string::npos) << bin;
    }
    EXPECT_EQ(nullptr, WaitForBox(1000));
    EXPECT_TRUE(ExitFromTray());
}

// Files another program put on the clipboard, pasted with the keys onto a folder of the tree,
// are uploaded into that folder byte-identical.
TEST_F(AppRoadServerCmds, LocalFilesPastedWithTheKeysOntoATreeFolderAreUploadedIntoIt)
{
    Put("FOLDER user=demo -- " + m_folder + "/Inbox");
    m_rows = 1;
    const std::string first = SomeBytes(150001, 21), second = SomeBytes(3, 22);
    filebytes::WriteFile(m_local + L"\\first.bin", std::vector<unsigned char>(first.begin(), first.end()));
    filebytes::WriteFile(m_local + L"\\둘째.bin", std::vector<unsigned char>(second.begin(), second.end()));
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_TRUE(PutFilesOnClipboard({m_local + L"\\first.bin", m_local + L"\\둘째.bin"}));
    HTREEITEM inbox = nullptr;
    ASSERT_TRUE(uitest::WaitUntil([&] { return (inbox = Child(m_own, L"Inbox")) != nullptr; }, 10000));
    ClickTreeItem(m_tree, inbox);
    TypeKeys({VK_LCONTROL}, 'V');
    HWND window = TransferOver(true);
    ASSERT_NE(nullptr, window) << "the upload did not run to its end";
    EXPECT_TRUE(filebytes::Same(first, ServerBytes(m_name + "/Inbox/first.bin")));
    EXPECT_TRUE(filebytes::Same(second, ServerBytes(m_name + "/Inbox/둘째.bin")));
    CloseTransferWindow(window);
    EXPECT_EQ(nullptr, WaitForBox(1000));
    EXPECT_TRUE(ExitFromTray());
}

// A row copied with the command bar and pasted from the menu of the list's empty space goes into
// the folder shown, beside its original.
TEST_F(AppRoadServerCmds, ACopyPastedOnTheListsEmptySpaceLandsInTheShownFolder)
{
    Put("FILE user=demo size=500 -- " + m_folder + "/dup.txt");
    Put("FOLDER user=demo -- " + m_folder + "/Only folder");
    // New files alone in the shown folder: the menu of its empty space starts with Paste.
    Put("PERM idx=" + Idx(m_folder) + " value=" + PermissionsAllowing({servermenu::NEW_FILE}));
    m_rows = 2;
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_TRUE(ClickListRow(m_list, L"dup.txt"));
    ASSERT_TRUE(uitest::WaitUntil([&] { return ::IsWindowEnabled(::GetDlgItem(m_bar, IDC_MENU_COPY)) != FALSE; }, 10000));
    Click(m_bar, IDC_MENU_COPY);
    ASSERT_TRUE(uitest::WaitUntil([&] { return ::IsClipboardFormatAvailable(::RegisterClipboardFormatW(L"VARIRUDAD")); },
                                  5000));
    const int pastes = Requests("F1");
    ASSERT_TRUE(ClickListRow(m_list, L""));
    ASSERT_TRUE(ChooseFromListMenu(m_frame, m_list, -1));
    EXPECT_TRUE(uitest::WaitUntil([&] { return Requests("F1") > pastes; }, 15000)) << "nothing was pasted";
    EXPECT_TRUE(uitest::WaitUntil([&] { return ListRowCount(m_list) == 3; }, 10000)) << "the copy is not listed";
    const std::string listing = Control("LIST user=demo -- " + m_folder);
    EXPECT_NE(std::string::npos, listing.find("dup (")) << listing;
    EXPECT_EQ(std::string::npos, Control("LIST user=demo -- " + m_folder + "/Only folder").find("dup"))
        << "the copy went into the folder row";
    EXPECT_EQ(nullptr, WaitForBox(1000));
    EXPECT_TRUE(ExitFromTray());
}

TEST_F(AppRoadServerCmds, ADownloadWithAFailedItemListsTheServerFolderAgainAndACleanOneDoesNot)
{
    Put("FILE user=demo size=1000 -- " + m_folder + "/fine.bin");
    Put("FILE user=demo size=1000 -- " + m_folder + "/gone.bin");
    m_rows = 2;
    ASSERT_NO_FATAL_FAILURE(Start());
    const struct {
        const wchar_t* row;
        bool fails;
    } runs[] = {{L"fine.bin", false}, {L"gone.bin", true}};
    for (const auto& run : runs) {
        SCOPED_TRACE(CStringA(run.row).GetString());
        if (run.fails)
            // A warning: the file is skipped and the run goes on to its end.
            Put("FAULT error reply=E1 code=1500 count=1 cmd=H1 -- The file is no longer there.");
        ASSERT_TRUE(ClickListRow(m_list, run.row));
        ASSERT_TRUE(uitest::WaitUntil([&] { return ::IsWindowEnabled(::GetDlgItem(m_bar, IDC_MENU_DOWNLOAD)) != FALSE; },
                                      10000));
        Click(m_bar, IDC_MENU_DOWNLOAD);
        HWND window = TransferOver(false);
        ASSERT_NE(nullptr, window) << "the download did not end";
        const int listings = Requests("D0");
        CloseTransferWindow(window);
        if (run.fails) {
            EXPECT_TRUE(uitest::WaitUntil([&] { return Requests("D0") > listings; }, 15000))
                << "the server folder was not listed again";
        } else {
            // The local side is refreshed in the same handler: once it shows the file, the
            // server side would have been asked too.
            EXPECT_TRUE(uitest::WaitUntil([&] { return !Local(run.row).empty(); }, 15000));
            EXPECT_EQ(listings, Requests("D0")) << "a clean download listed the server folder again";
        }
    }
    EXPECT_TRUE(ExitFromTray());
}

TEST_F(AppRoadServerCmds, ARightClickOnTheListsEmptySpaceShowsTheFoldersButtonStatesWhileItsMenuIsOpen)
{
    Put("FILE user=demo size=3000 -- " + m_folder + "/chosen.bin");
    m_rows = 1;
    ASSERT_NO_FATAL_FAILURE(Start());
    auto enabled = [this](int id) { return ::IsWindowEnabled(::GetDlgItem(m_bar, id)) != FALSE; };
    ASSERT_TRUE(ClickListRow(m_list, L"chosen.bin"));
    ASSERT_TRUE(uitest::WaitUntil([&] { return enabled(IDC_MENU_DELETE) && enabled(IDC_MENU_COPY); }, 10000))
        << "the chosen file's buttons did not come";

    // The menu's own loop lets no idle update through: what the bar shows while it is open was
    // put there by the right-click itself.
    RECT client = {};
    ::GetClientRect(m_list, &client);
    const POINT empty = {60, client.bottom - 8};
    POINT screen = empty;
    ::ClientToScreen(m_list, &screen);
    ::SetForegroundWindow(m_frame);
    ::SetCursorPos(screen.x, screen.y);
    ::PostMessageW(m_list, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(empty.x, empty.y));
    ::PostMessageW(m_list, WM_RBUTTONUP, 0, MAKELPARAM(empty.x, empty.y));
    HWND menu = nullptr;
    ASSERT_TRUE(uitest::WaitUntil([&] {
        menu = ::FindWindowW(L"#32768", nullptr);
        return menu && ::IsWindowVisible(menu);
    }, 10000)) << "no menu on the empty space";
    const int kFolderButtons[] = {IDC_MENU_DELETE, IDC_MENU_COPY, IDC_MENU_CUT, IDC_MENU_DOWNLOAD};
    for (int id : kFolderButtons)
        EXPECT_FALSE(enabled(id)) << "button " << id << " still follows the file the click left";
    EXPECT_TRUE(enabled(IDC_MENU_NEW_FOLDER)) << "the folder takes new folders";
    ::PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(MenuClosed());
}

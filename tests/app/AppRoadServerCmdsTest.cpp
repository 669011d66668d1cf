// The server panes' commands in CorvaneIXO.exe itself against the test server, driven as a user
// drives them: the list's context menu, its rows, the command bar. A version downloaded from the
// versions window and hits downloaded from the search window land byte-identical in the local
// tree's folder; a pane's download that the server ends with a closed session logs out once;
// deletes to the bin and for good (only the latter asks for the quota); a cut pasted into a folder
// row; properties, shares and shortcuts reach the server.
#include "AppRun.h"
#include "DownloadRes.h"
#include "FileBytes.h"
#include "MenuBarRes.h"
#include "ServerContextMenu.h"
#include "TestPaths.h"
#include "ToviListCtrl.h"
#include "ToviRegistry.h"
#include "WindowDriver.h"
#include <gtest/gtest.h>
#include <commctrl.h>
#include <shlobj.h>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

using namespace apprun;

namespace {

constexpr int kSplitterId = 0xE900, kServerTreePane = 0xE900, kServerListPane = 0xE901, kLocalTreePane = 0xE910;
constexpr int kMenuBar = 132;
constexpr int kLocalTreeId = 28001;

// A permission text that allows only the given flags.
std::string Only(std::initializer_list<int> allowed)
{
    std::string text(31, '0');
    for (int flag : allowed)
        text[static_cast<size_t>(flag)] = '1';
    return text;
}

int Count(HWND list)
{
    return static_cast<int>(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
}

class AppRoadServerCmds : public AppRoadTest {
protected:
    void SetUp() override
    {
        AppRoadTest::SetUp();
        // The server's store outlives a run: every test works in a folder of its own.
        m_name = "Cmds" + std::to_string(::GetTickCount64());
        m_folder = "My Files/" + m_name;
        ASSERT_EQ("OK", Control("FOLDER user=demo -- " + m_folder).substr(0, 2));
        wchar_t documents[MAX_PATH] = {};
        ::SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, 0, documents);
        m_local = std::wstring(documents) + L"\\Server commands " + FromUtf8(m_name);
        ASSERT_TRUE(::CreateDirectoryW(m_local.c_str(), nullptr));
        // Keep-alive and quota requests far away: what the server sees comes from the commands.
        ASSERT_EQ("OK", Control("OPTION A1 172=900 224=900").substr(0, 2));
    }
    void TearDown() override
    {
        Control("SWITCH keepVersions=0");
        AppRoadTest::TearDown();
        std::wstring from = m_local;
        from.push_back(L'\0');
        SHFILEOPSTRUCTW op = {};
        op.wFunc = FO_DELETE;
        op.pFrom = from.c_str();
        op.fFlags = FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI;
        ::SHFileOperationW(&op);
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
        StoreServer();
        StoreAutoLogin();
        ASSERT_TRUE(CToviRegistry::SetLanguage(0, language));
        CString server, local = m_local.c_str();
        ASSERT_TRUE(CToviRegistry::SetLastFullPath(server, local));
        ASSERT_TRUE(Launch());
        m_frame = WaitForMainWindow();
        ASSERT_NE(nullptr, m_frame);
        HWND splitter = ::GetDlgItem(m_frame, kSplitterId);
        ASSERT_NE(nullptr, splitter);
        m_bar = ::GetDlgItem(m_frame, kMenuBar);
        m_tree = ::FindWindowExW(::GetDlgItem(splitter, kServerTreePane), nullptr, WC_TREEVIEWW, nullptr);
        m_list = ::FindWindowExW(::GetDlgItem(splitter, kServerListPane), nullptr, WC_LISTVIEWW, nullptr);
        m_localTree = ::GetDlgItem(::GetDlgItem(splitter, kLocalTreePane), kLocalTreeId);
        ASSERT_TRUE(m_bar && m_tree && m_list && m_localTree);
        HTREEITEM myFiles = nullptr;
        ASSERT_TRUE(uitest::WaitUntil([&] { return (myFiles = Child(nullptr, L"My Files")) != nullptr; }, 20000));
        Select(myFiles);
        HTREEITEM own = nullptr;
        ASSERT_TRUE(uitest::WaitUntil([&] { return (own = Child(myFiles, FromUtf8(m_name))) != nullptr; }, 20000))
            << "the test's folder is not in the tree";
        Select(own);
        m_own = own;
        ASSERT_TRUE(uitest::WaitUntil([&] {
            return Count(m_list) == m_rows && (m_rows == 0 || !RemoteListText(m_list, 0, 0).empty());
        }, 20000)) << "the folder's rows were not listed: " << Count(m_list);
        ::Sleep(300);
    }
    HTREEITEM Child(HTREEITEM parent, const std::wstring& name)
    {
        auto item = reinterpret_cast<HTREEITEM>(
            ::SendMessageW(m_tree, TVM_GETNEXTITEM, parent ? TVGN_CHILD : TVGN_ROOT, reinterpret_cast<LPARAM>(parent)));
        for (; item; item = reinterpret_cast<HTREEITEM>(
                         ::SendMessageW(m_tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item))))
            if (RemoteTreeText(m_tree, item) == name)
                return item;
        return nullptr;
    }
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
    HWND m_frame = nullptr, m_bar = nullptr, m_tree = nullptr, m_list = nullptr, m_localTree = nullptr;
    HTREEITEM m_own = nullptr;
};

}

TEST_F(AppRoadServerCmds, AnOlderVersionChosenInTheVersionsWindowLandsByteIdenticalInTheLocalFolder)
{
    const std::string older = SomeBytes(90001, 7), current = SomeBytes(4000, 8);
    Put("SWITCH keepVersions=5");
    auto hex = [](const std::string& bytes) {
        static const char kHex[] = "0123456789abcdef";
        std::string text;
        for (unsigned char c : bytes) {
            text += kHex[c >> 4];
            text += kHex[c & 15];
        }
        return text;
    };
    Put("FILE user=demo hex=" + hex(older) + " -- " + m_folder + "/report.bin");
    Put("FILE user=demo hex=" + hex(current) + " -- " + m_folder + "/report.bin");
    ASSERT_EQ("1", protoserver::Control::Value(Control("ITEM user=demo -- " + m_folder + "/report.bin"), "versions"));
    // Downloads allowed, nothing else: the file's menu starts with its versions.
    Perm("/report.bin", Only({servermenu::DOWNLOAD}));
    m_rows = 1;
    ASSERT_NO_FATAL_FAILURE(Start());

    ASSERT_NO_FATAL_FAILURE(ChooseOnRow(L"report.bin"));
    HWND versions = WaitForDialogWith(IDC_VERSION_LIST);
    ASSERT_NE(nullptr, versions) << "the versions window did not open";
    HWND rows = ::GetDlgItem(versions, IDC_VERSION_LIST);
    ASSERT_TRUE(uitest::WaitUntil([&] { return Count(rows) == 1; }, 10000)) << Count(rows);
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

TEST_F(AppRoadServerCmds, TickedSearchHitsLandByteIdenticalInTheLocalFolderAndFoldersStayBehind)
{
    Put("FILE user=demo size=70001 -- " + m_folder + "/pick-one.bin");
    Put("FILE user=demo size=3000 -- " + m_folder + "/Deeper/pick-two.bin");
    Put("FOLDER user=demo -- " + m_folder + "/pick-folder");
    // Only searching allowed in the folder: the menu of its empty space starts with the search.
    const std::string own = Idx(m_folder);
    Put("PERM idx=" + own + " value=" + Only({servermenu::SEARCH}));
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
    ASSERT_TRUE(uitest::WaitUntil([&] { return Count(hits) == 3; }, 15000)) << Count(hits);
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
    ::PostMessageW(search, WM_CLOSE, 0, 0);
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
    Perm("/to-bin.txt", Only({servermenu::DELETE_}));
    Perm("/for-good.txt", Only({servermenu::DEL_COMP}));
    m_rows = 2;
    ASSERT_NO_FATAL_FAILURE(Start());
    const struct {
        const wchar_t* row;
        const char* path;
        bool intoBin;
    } cases[] = {{L"to-bin.txt", "/to-bin.txt", true}, {L"for-good.txt", "/for-good.txt", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        ::Sleep(1000);   // quota requests of earlier steps are over
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
            ::Sleep(2000);
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
    Perm("/move.txt", Only({servermenu::MOVE_CUT}));
    Perm("/Into", Only({servermenu::NEW_FILE}));
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

// CorvaneIXO.exe end to end: the server panes' keys and questions as a user meets them. Delete
// asks plainly and puts a row into the bin, Shift+Delete warns and deletes for good (in the list
// and in the tree); the list's clipboard keys copy, paste and cancel a cut; a file dropped onto
// the server list shows there once its upload ends; the bin offers neither download nor upload;
// emptying a bin of one entry names that entry.
#include "AppRun.h"
#include "CommonDlgsRes.h"
#include "FileBytes.h"
#include "MenuBarRes.h"
#include "PixelCapture.h"
#include "TransferRes.h"
#include "DownloadRes.h"
#include "BackupRes.h"
#include "ServerContextMenu.h"
#include "TestPaths.h"
#include "WindowDriver.h"
#include <gtest/gtest.h>
#include <commctrl.h>
#include <cstdlib>
#include <initializer_list>

using namespace apprun;

namespace {

bool ServerItemsOnClipboard()
{
    return ::IsClipboardFormatAvailable(::RegisterClipboardFormatW(L"VARIRUDAD")) != FALSE;
}

class AppRoadPaneKeys : public AppRoadTest {
protected:
    void SetUp() override
    {
        AppRoadTest::SetUp();
        m_name = "Keys" + std::to_string(::GetTickCount64());
        m_folder = "My Files/" + m_name;
        ASSERT_EQ("OK", Control("FOLDER user=demo -- " + m_folder).substr(0, 2));
        m_local = MakeDocumentsFolder(L"Pane keys " + FromUtf8(m_name));
        ASSERT_FALSE(m_local.empty());
        ASSERT_EQ("OK", Control("OPTION A1 172=900 224=900").substr(0, 2));
    }
    void TearDown() override
    {
        for (const std::string& idx : m_reset)
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
        const std::string idx = Idx(path);
        ASSERT_FALSE(idx.empty()) << path;
        Put("PERM idx=" + idx + " value=" + value);
        m_reset.push_back(idx);
    }
    int Requests(const char* command)
    {
        return std::atoi(protoserver::Control::Value(Control(std::string("COUNT cmd=") + command), "requests").c_str());
    }
    bool BinEmpty()
    {
        const std::string reply = Control("LIST user=demo -- Recycle Bin");
        return reply.substr(0, 2) == "OK" && reply.find_first_not_of(' ', 2) == std::string::npos;
    }
    bool InBin(const std::string& name)
    {
        return Control("LIST user=demo -- Recycle Bin").find(name + ":") != std::string::npos;
    }

    // Logs in (the local panes in the test's folder) and shows the test's server folder with
    // rows rows.
    void Start(unsigned short language, int rows)
    {
        m_frame = LaunchShowing(language, m_local);
        ASSERT_NE(nullptr, m_frame);
        m_panes = PanesOf(m_frame);
        ASSERT_TRUE(m_panes.All());
        HTREEITEM myFiles = nullptr;
        ASSERT_TRUE(uitest::WaitUntil([&] { return (myFiles = Child(nullptr, L"My Files")) != nullptr; }, 20000));
        Select(myFiles);
        ASSERT_TRUE(uitest::WaitUntil([&] { return (m_own = Child(myFiles, FromUtf8(m_name))) != nullptr; }, 20000))
            << "the test's folder is not in the tree";
        Select(m_own);
        ASSERT_TRUE(uitest::WaitUntil([&] {
            return ListRowCount(m_panes.serverList) == rows && (rows == 0 || !RemoteListText(m_panes.serverList, 0, 0).empty());
        }, 20000)) << "the folder's rows were not listed: " << ListRowCount(m_panes.serverList);
        ::SetForegroundWindow(m_frame);
    }
    HTREEITEM Child(HTREEITEM parent, const std::wstring& name) { return RemoteTreeChild(m_panes.serverTree, parent, name); }
    void Select(HTREEITEM item)
    {
        ::SendMessageW(m_panes.serverTree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
    }
    // The confirmation a key or menu opened: its text, the dialog answered with button.
    std::wstring AnswerConfirmation(int button, DWORD timeoutMs = 20000)
    {
        HWND confirm = WaitForDialogWith(IDC_CONFIRM_TEXT, timeoutMs);
        if (!confirm)
            return L"<no confirmation>";
        const std::wstring text = TextOf(::GetDlgItem(confirm, IDC_CONFIRM_TEXT));
        Click(confirm, button);
        uitest::WaitUntil([&] { return !::IsWindow(confirm); }, 10000);
        return text;
    }
    bool RowShown(const std::wstring& name) { return RemoteListRow(m_panes.serverList, name) >= 0; }
    // Clicks the server list's row until it is the one selected (a refresh that was still
    // filling the list takes a click's selection away).
    bool SelectRow(const std::wstring& name)
    {
        return uitest::WaitUntil([&] {
            if (!ClickListRow(m_panes.serverList, name, 5000))
                return false;
            const int selected = static_cast<int>(
                ::SendMessageW(m_panes.serverList, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
            return selected >= 0 && RemoteListText(m_panes.serverList, selected, 0) == name &&
                   ::SendMessageW(m_panes.serverList, LVM_GETSELECTEDCOUNT, 0, 0) == 1;
        }, 20000);
    }

    std::string m_name, m_folder;
    std::wstring m_local;
    std::vector<std::string> m_reset;
    HWND m_frame = nullptr;
    MainPanes m_panes;
    HTREEITEM m_own = nullptr;
};

bool Warns(const std::wstring& text)
{
    return text.find(L"permanently") != std::wstring::npos;
}

}

// Delete on a row asks plainly and the row lands in the bin; Shift+Delete warns that nothing comes
// back and the row is gone for good. The tree's keys ask the same questions.
TEST_F(AppRoadPaneKeys, TheDeleteKeysAskTheirOwnQuestionAndDeleteTheirOwnWay)
{
    Put("FILE user=demo size=100 -- " + m_folder + "/to-bin.txt");
    Put("FILE user=demo size=100 -- " + m_folder + "/for-good.txt");
    Put("FOLDER user=demo -- " + m_folder + "/Tree bin");
    Put("FOLDER user=demo -- " + m_folder + "/Tree gone");
    ASSERT_NO_FATAL_FAILURE(Start(LANG_ENGLISH, 4));
    const struct {
        const wchar_t* name;
        bool shift;
        bool inTree;
    } cases[] = {{L"to-bin.txt", false, false},
                 {L"for-good.txt", true, false},
                 {L"Tree bin", false, true},
                 {L"Tree gone", true, true}};
    for (const auto& c : cases) {
        const std::string name = CStringA(c.name).GetString();
        SCOPED_TRACE(name);
        const int deletes = Requests("F2");
        if (c.inTree) {
            // The tree relists the folder after the previous delete: a handle found before that
            // is gone, so the folder is found again for each click until one selects it.
            ASSERT_TRUE(uitest::WaitUntil([&] {
                HTREEITEM item = Child(m_own, c.name);
                if (item == nullptr)
                    return false;
                const auto selected = [&] {
                    return ::SendMessageW(m_panes.serverTree, TVM_GETNEXTITEM, TVGN_CARET, 0) ==
                           reinterpret_cast<LRESULT>(item);
                };
                if (!selected())
                    ClickTreeItem(m_panes.serverTree, item);
                return uitest::WaitUntil(selected, 2000);
            }, 20000));
        } else {
            ASSERT_TRUE(SelectRow(c.name));
        }
        TypeKeys(c.shift ? std::initializer_list<WORD>{VK_LSHIFT} : std::initializer_list<WORD>{}, VK_DELETE);
        const std::wstring question = AnswerConfirmation(IDOK);
        EXPECT_NE(std::wstring::npos, question.find(c.name)) << CStringA(question.c_str()).GetString();
        EXPECT_EQ(c.shift, Warns(question)) << CStringA(question.c_str()).GetString();
        EXPECT_TRUE(uitest::WaitUntil([&] { return Idx(m_folder + "/" + name).empty(); }, 15000)) << "not deleted";
        EXPECT_LT(deletes, Requests("F2"));
        EXPECT_EQ(!c.shift, InBin(name));
        if (!c.inTree)
            EXPECT_TRUE(uitest::WaitUntil([&] { return !RowShown(c.name); }, 10000)) << "the list kept the row";
    }
    EXPECT_TRUE(uitest::WaitUntil([&] { return ListRowCount(m_panes.serverList) == 0; }, 10000)) << "the list kept rows";
    EXPECT_EQ(nullptr, WaitForBox(1000));
    EXPECT_TRUE(ExitFromTray());
}

// A row that may only go into the bin goes there with Shift+Delete too, asked plainly; Delete on a
// row without any delete right asks nothing and sends nothing.
TEST_F(AppRoadPaneKeys, TheDeleteKeysFollowTheRowsOwnRights)
{
    Put("FILE user=demo size=10 -- " + m_folder + "/bin-only.txt");
    Put("FILE user=demo size=10 -- " + m_folder + "/kept.txt");
    ASSERT_NO_FATAL_FAILURE(Perm(m_folder + "/bin-only.txt", PermissionsAllowing({servermenu::DELETE_})));
    ASSERT_NO_FATAL_FAILURE(Perm(m_folder + "/kept.txt", PermissionsAllowing({servermenu::DOWNLOAD})));
    ASSERT_NO_FATAL_FAILURE(Start(LANG_ENGLISH, 2));

    ASSERT_TRUE(SelectRow(L"kept.txt"));
    const int deletes = Requests("F2");
    TypeKeys({}, VK_DELETE);
    TypeKeys({VK_LSHIFT}, VK_DELETE);
    EXPECT_EQ(nullptr, WaitForDialogWith(IDC_CONFIRM_TEXT, 2000)) << "a row without delete rights asked";
    EXPECT_EQ(deletes, Requests("F2"));

    ASSERT_TRUE(SelectRow(L"bin-only.txt"));
    TypeKeys({VK_LSHIFT}, VK_DELETE);
    const std::wstring question = AnswerConfirmation(IDOK);
    EXPECT_FALSE(Warns(question)) << CStringA(question.c_str()).GetString();
    EXPECT_TRUE(uitest::WaitUntil([&] { return InBin("bin-only.txt"); }, 15000)) << "not put into the bin";
    EXPECT_FALSE(Idx(m_folder + "/kept.txt").empty());
    EXPECT_EQ(nullptr, WaitForBox(1000));
    EXPECT_TRUE(ExitFromTray());
}

// Ctrl+C on a row and Ctrl+V on the list copy it beside itself at the server; Ctrl+X marks the row
// cut and Esc takes the mark and the clipboard's content away again.
TEST_F(AppRoadPaneKeys, TheListsClipboardKeysCopyPasteAndEscCancelsACut)
{
    Put("FILE user=demo size=321 -- " + m_folder + "/twin.txt");
    ASSERT_NO_FATAL_FAILURE(Start(LANG_ENGLISH, 1));
    HWND list = m_panes.serverList;

    ASSERT_TRUE(SelectRow(L"twin.txt"));
    TypeKeys({VK_LCONTROL}, 'C');
    ASSERT_TRUE(uitest::WaitUntil(ServerItemsOnClipboard, 5000)) << "Ctrl+C copied nothing";
    const int pastes = Requests("F1");
    ASSERT_TRUE(ClickListRow(list, L""));
    TypeKeys({VK_LCONTROL}, 'V');
    EXPECT_TRUE(uitest::WaitUntil([&] { return Requests("F1") > pastes; }, 15000)) << "Ctrl+V pasted nothing";
    EXPECT_TRUE(uitest::WaitUntil([&] { return ListRowCount(list) == 2; }, 10000)) << "the copy is not listed";
    EXPECT_NE(std::string::npos, Control("LIST user=demo -- " + m_folder).find("twin (")) << "no copy at the server";

    ASSERT_TRUE(SelectRow(L"twin.txt"));
    TypeKeys({VK_LCONTROL}, 'X');
    const int row = RemoteListRow(list, L"twin.txt");
    ASSERT_GE(row, 0);
    EXPECT_TRUE(uitest::WaitUntil([&] {
        return (::SendMessageW(list, LVM_GETITEMSTATE, row, LVIS_CUT) & LVIS_CUT) != 0;
    }, 5000)) << "Ctrl+X did not mark the row cut";
    EXPECT_TRUE(ServerItemsOnClipboard());
    TypeKeys({}, VK_ESCAPE);
    EXPECT_TRUE(uitest::WaitUntil([&] {
        return (::SendMessageW(list, LVM_GETITEMSTATE, row, LVIS_CUT) & LVIS_CUT) == 0 && !ServerItemsOnClipboard();
    }, 5000)) << "Esc left the cut";
    EXPECT_EQ(nullptr, WaitForBox(1000));
    EXPECT_TRUE(ExitFromTray());
}

// A local file dragged onto the server list is uploaded into the folder shown, and the list shows
// it once the upload ends, as after the command bar's upload.
TEST_F(AppRoadPaneKeys, AFileDroppedOnTheServerListShowsThereOnceItsUploadEnds)
{
    Put("FILE user=demo size=10 -- " + m_folder + "/already.txt");
    const std::string bytes = SomeBytes(700001, 31);
    filebytes::WriteFile(m_local + L"\\dropped.bin", std::vector<unsigned char>(bytes.begin(), bytes.end()));
    ASSERT_NO_FATAL_FAILURE(Start(LANG_KOREAN, 1));
    ASSERT_TRUE(uitest::WaitUntil([&] { return RemoteListRow(m_panes.localList, L"dropped.bin") >= 0; }, 20000));
    const RECT rect = RemoteListRowRect(m_panes.localList, RemoteListRow(m_panes.localList, L"dropped.bin"));
    POINT from = {rect.left + 20, (rect.top + rect.bottom) / 2};
    ::ClientToScreen(m_panes.localList, &from);
    RECT client = {};
    ::GetClientRect(m_panes.serverList, &client);
    POINT to = {client.right / 2, client.bottom - 8};
    ::ClientToScreen(m_panes.serverList, &to);
    DragWithMouse(from, to);

    HWND window = nullptr;
    ASSERT_TRUE(uitest::WaitUntil([&] {
        const std::vector<HWND> windows = TransferWindows(true);
        window = windows.empty() ? nullptr : windows.front();
        return window != nullptr && TransferRunOver(window);
    }, 60000)) << "the drop's upload did not run to its end";
    EXPECT_TRUE(filebytes::Same(bytes, ServerBytes(m_name + "/dropped.bin")));
    EXPECT_TRUE(uitest::WaitUntil([&] { return RowShown(L"dropped.bin"); }, 15000))
        << "the list does not show the dropped file";
    Click(window, IDCANCEL);
    EXPECT_EQ(nullptr, WaitForBox(1000));
    EXPECT_TRUE(ExitFromTray());
}

// The Recycle Bin chosen in the tree: the command bar's download stays off, and a local row offers
// no upload into it; an ordinary folder offers both.
TEST_F(AppRoadPaneKeys, TheBinOffersNeitherDownloadNorUpload)
{
    filebytes::WriteFile(m_local + L"\\local.txt", std::vector<unsigned char>{'l'});
    ASSERT_NO_FATAL_FAILURE(Start(LANG_ENGLISH, 0));
    HTREEITEM bin = nullptr;
    ASSERT_TRUE(uitest::WaitUntil([&] { return (bin = Child(nullptr, L"Recycle Bin")) != nullptr; }, 10000));
    auto enabled = [&](int id) { return ::IsWindowEnabled(::GetDlgItem(m_panes.bar, id)) != FALSE; };
    const struct {
        const char* folder;
        HTREEITEM item;
        bool offered;
    } cases[] = {{"the test's folder", m_own, true}, {"the bin", bin, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.folder);
        ClickTreeItem(m_panes.serverTree, c.item);
        if (c.offered)
            EXPECT_TRUE(uitest::WaitUntil([&] { return enabled(IDC_MENU_DOWNLOAD); }, 10000)) << "download off";
        else
            EXPECT_FALSE(uitest::WaitUntil([&] { return enabled(IDC_MENU_DOWNLOAD); }, 3000)) << "download offered";
        ASSERT_TRUE(ClickListRow(m_panes.localList, L"local.txt"));
        if (c.offered)
            EXPECT_TRUE(uitest::WaitUntil([&] { return enabled(IDC_MENU_UPLOAD); }, 10000)) << "upload off";
        else
            EXPECT_FALSE(uitest::WaitUntil([&] { return enabled(IDC_MENU_UPLOAD); }, 3000)) << "upload offered";
    }
    EXPECT_EQ(nullptr, WaitForBox(1000));
    EXPECT_TRUE(ExitFromTray());
}

// Emptying a bin that holds one entry names that entry (not "2 items"), and a yes empties it.
TEST_F(AppRoadPaneKeys, EmptyingABinOfOneEntryNamesThatEntry)
{
    Put("FILE user=demo size=10 -- " + m_folder + "/last one.txt");
    ASSERT_NO_FATAL_FAILURE(Perm("Recycle Bin", PermissionsAllowing({servermenu::DEL_COMP, servermenu::DOWNLOAD})));
    ASSERT_NO_FATAL_FAILURE(Start(LANG_ENGLISH, 1));
    HTREEITEM bin = nullptr;
    ASSERT_TRUE(uitest::WaitUntil([&] { return (bin = Child(nullptr, L"Recycle Bin")) != nullptr; }, 10000));
    // What earlier runs left in the bin goes first (an empty bin asks nothing).
    if (!BinEmpty()) {
        ASSERT_TRUE(ChooseFromTreeMenu(m_frame, m_panes.serverTree, bin, 1));
        AnswerConfirmation(IDOK);
        ASSERT_TRUE(uitest::WaitUntil([&] { return BinEmpty(); }, 30000))
            << Control("LIST user=demo -- Recycle Bin");
    }
    ASSERT_TRUE(SelectRow(L"last one.txt"));
    TypeKeys({}, VK_DELETE);
    AnswerConfirmation(IDOK);
    ASSERT_TRUE(uitest::WaitUntil([&] { return InBin("last one.txt"); }, 15000));

    const int empties = Requests("F4");
    ASSERT_TRUE(ChooseFromTreeMenu(m_frame, m_panes.serverTree, bin, 1));
    const std::wstring question = AnswerConfirmation(IDOK);
    EXPECT_NE(std::wstring::npos, question.find(L"'last one.txt'")) << CStringA(question.c_str()).GetString();
    EXPECT_EQ(std::wstring::npos, question.find(L"2")) << CStringA(question.c_str()).GetString();
    EXPECT_TRUE(Warns(question)) << CStringA(question.c_str()).GetString();
    EXPECT_TRUE(uitest::WaitUntil([&] { return Requests("F4") > empties; }, 15000)) << "the bin was not emptied";
    EXPECT_TRUE(uitest::WaitUntil([&] { return BinEmpty(); }, 15000));
    EXPECT_EQ(nullptr, WaitForBox(1000));
    EXPECT_TRUE(ExitFromTray());
}

// A download into a drive root that meets a different local file asks about it: the question
// names the local path with one separator, and its apply-to-all box is a real check box that
// ticks with a click.
TEST_F(AppRoadPaneKeys, TheNameConflictQuestionShowsTheLocalPathAndARealCheckBox)
{
    const std::wstring name = L"conflict " + FromUtf8(m_name) + L".bin";
    const std::string serverName = CStringA(name.c_str()).GetString();
    Put("FILE user=demo size=100 -- " + m_folder + "/" + serverName);
    const std::wstring local = L"C:\\" + name;
    filebytes::WriteFile(local, std::vector<unsigned char>(300, 'q'));
    m_frame = LaunchShowing(LANG_KOREAN, L"C:\\");
    ASSERT_NE(nullptr, m_frame);
    m_panes = PanesOf(m_frame);
    HTREEITEM myFiles = nullptr;
    ASSERT_TRUE(uitest::WaitUntil([&] { return (myFiles = Child(nullptr, L"My Files")) != nullptr; }, 20000));
    Select(myFiles);
    ASSERT_TRUE(uitest::WaitUntil([&] { return (m_own = Child(myFiles, FromUtf8(m_name))) != nullptr; }, 20000));
    Select(m_own);
    ::SetForegroundWindow(m_frame);
    ASSERT_TRUE(ClickListRow(m_panes.serverList, name));
    ASSERT_TRUE(uitest::WaitUntil([&] { return ::IsWindowEnabled(::GetDlgItem(m_panes.bar, IDC_MENU_DOWNLOAD)) != FALSE; },
                                  10000));
    Click(m_panes.bar, IDC_MENU_DOWNLOAD);
    HWND prompt = WaitForDialogWith(IDC_DUPLICATE_APPLY_ALL, 30000);
    ASSERT_NE(nullptr, prompt) << "no name-conflict question";
    const std::wstring shown = TextOf(::GetDlgItem(prompt, IDC_DUPLICATE_NAME));
    EXPECT_EQ(local, shown) << CStringA(shown.c_str()).GetString();
    HWND box = ::GetDlgItem(prompt, IDC_DUPLICATE_APPLY_ALL);
    const LONG type = ::GetWindowLongW(box, GWL_STYLE) & BS_TYPEMASK;
    EXPECT_TRUE(type == BS_AUTOCHECKBOX || type == BS_CHECKBOX) << "the box draws as a button of type " << type;
    EXPECT_NE(L"", TextOf(box));
    RECT rect = {};
    ::GetClientRect(box, &rect);
    POINT at = {8, (rect.bottom - rect.top) / 2};
    ::ClientToScreen(box, &at);
    ::SetForegroundWindow(prompt);
    MouseAt(at, MOUSEEVENTF_LEFTDOWN);
    MouseAt(at, MOUSEEVENTF_LEFTUP);
    EXPECT_TRUE(uitest::WaitUntil([&] { return ::SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED; }, 5000))
        << "a click does not tick the box";
    if (const wchar_t* dir = _wgetenv(L"PANES_SHOTS"))
        uitest::SaveScreenPng(std::wstring(dir) + L"\\conflict-ko.png");
    Click(prompt, IDC_DUPLICATE_SKIP);
    EXPECT_TRUE(uitest::WaitUntil([&] { return !::IsWindow(prompt); }, 10000));
    EXPECT_EQ(std::string(300, 'q'), ReadWholeFile(local)) << "a skipped file changed";
    ::DeleteFileW(local.c_str());
    for (HWND window : TransferWindows(false))
        if (TransferRunOver(window))
            Click(window, IDCANCEL);
    EXPECT_TRUE(ExitFromTray());
}

// Without the focus the server tree still marks the folder shown (as the local tree does), and at
// the window's first size the command bar shows both view buttons and the search box whole.
TEST_F(AppRoadPaneKeys, TheTreeMarksItsFolderWithoutFocusAndTheBarFitsTheFirstWindowSize)
{
    filebytes::WriteFile(m_local + L"\\local.txt", std::vector<unsigned char>{'l'});
    for (unsigned short language : {LANG_KOREAN, LANG_ENGLISH}) {
        SCOPED_TRACE(language == LANG_KOREAN ? "Korean" : "English");
        ASSERT_NO_FATAL_FAILURE(Start(language, 0));
        RECT bar = {};
        ::GetWindowRect(m_panes.bar, &bar);
        for (int id : {IDC_MENU_LIST_VIEW, IDC_MENU_THUMBNAIL_VIEW, IDC_MENU_SEARCH}) {
            RECT control = {};
            ::GetWindowRect(::GetDlgItem(m_panes.bar, id), &control);
            EXPECT_TRUE(control.left >= bar.left && control.right <= bar.right)
                << "control " << id << " at " << control.left << ".." << control.right << ", bar " << bar.left
                << ".." << bar.right;
        }
        ASSERT_TRUE(ClickListRow(m_panes.localList, L"local.txt"));
        ASSERT_NE(m_panes.serverTree, ::GetFocus());
        const RECT label = RemoteTreeItemRect(m_panes.serverTree, m_own);
        ASSERT_FALSE(::IsRectEmpty(&label));
        EXPECT_TRUE(uitest::WaitUntil([&] {
            ::InvalidateRect(m_panes.serverTree, nullptr, TRUE);
            const uitest::Pixels tree = uitest::CaptureWindow(m_panes.serverTree, 300);
            return tree.Count(RGB(236, 233, 216), label) > (label.right - label.left) * 2;
        }, 10000)) << "the folder shown has no mark while the tree has no focus";
        ASSERT_TRUE(ExitFromTray());
        EndProcess();
    }
}

// The restored-items list names each entry's type, as the server list words it.
TEST_F(AppRoadPaneKeys, TheRestoredItemsListShowsEachEntrysType)
{
    Put("FILE user=demo size=64 -- " + m_folder + "/back.txt");
    ASSERT_NO_FATAL_FAILURE(Perm(m_folder + "/back.txt", PermissionsAllowing({servermenu::DELETE_})));
    ASSERT_NO_FATAL_FAILURE(Start(LANG_ENGLISH, 1));
    const std::wstring type = RemoteListText(m_panes.serverList, 0, 2);
    ASSERT_FALSE(type.empty());
    ASSERT_TRUE(SelectRow(L"back.txt"));
    TypeKeys({}, VK_DELETE);
    AnswerConfirmation(IDOK);
    ASSERT_TRUE(uitest::WaitUntil([&] { return InBin("back.txt"); }, 15000));
    HTREEITEM bin = Child(nullptr, L"Recycle Bin");
    ASSERT_NE(nullptr, bin);
    Select(bin);
    ASSERT_TRUE(uitest::WaitUntil([&] { return RowShown(L"back.txt"); }, 15000));
    ASSERT_TRUE(ClickListRow(m_panes.serverList, L"back.txt"));
    ASSERT_TRUE(ChooseFromListMenu(m_frame, m_panes.serverList, RemoteListRow(m_panes.serverList, L"back.txt"), 1));
    AnswerConfirmation(IDOK);
    HWND restored = WaitForDialogWith(IDC_RESTORE_LIST);
    ASSERT_NE(nullptr, restored) << "no restore list";
    HWND entries = ::GetDlgItem(restored, IDC_RESTORE_LIST);
    ASSERT_TRUE(uitest::WaitUntil([&] { return ListRowCount(entries) == 1; }, 5000));
    EXPECT_EQ(type, RemoteListText(entries, 0, 2));
    if (const wchar_t* dir = _wgetenv(L"PANES_SHOTS"))
        uitest::SaveScreenPng(std::wstring(dir) + L"\\restored-en.png");
    Click(restored, IDOK);
    EXPECT_TRUE(uitest::WaitUntil([&] { return !::IsWindow(restored) || !::IsWindowVisible(restored); }, 10000));
    EXPECT_EQ(nullptr, WaitForBox(1000));
    EXPECT_TRUE(ExitFromTray());
}

// The search window's date pickers write a day as the share and link dialogs do: day first
// under the English interface, the system's short date otherwise.
TEST_F(AppRoadPaneKeys, TheSearchWindowsDatesReadAsTheShareAndLinkDialogsWriteThem)
{
    SYSTEMTIME today = {};
    ::GetLocalTime(&today);
    wchar_t system[64] = {};
    ::GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &today, nullptr, system, 64);
    wchar_t dayFirst[16] = {};
    swprintf(dayFirst, 16, L"%02d/%02d/%04d", today.wDay, today.wMonth, today.wYear);
    const struct {
        unsigned short language;
        std::wstring expected;
    } cases[] = {{LANG_KOREAN, system}, {LANG_ENGLISH, dayFirst}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.language == LANG_KOREAN ? "Korean" : "English");
        ASSERT_NO_FATAL_FAILURE(Start(c.language, 0));
        ClickTreeItem(m_panes.serverTree, m_own);
        TypeKeys({VK_LCONTROL}, 'F');
        HWND picker = nullptr;
        ASSERT_TRUE(uitest::WaitUntil([&] {
            for (HWND dialog : FindWindows(L"#32770", nullptr))
                if ((picker = FindDescendant(dialog, IDC_SEARCH_DATE_FROM)) != nullptr)
                    return true;
            return false;
        }, 20000)) << "no search window";
        wchar_t shown[64] = {};
        ::SendMessageW(picker, WM_GETTEXT, 64, reinterpret_cast<LPARAM>(shown));
        EXPECT_EQ(c.expected, std::wstring(shown));
        ::PostMessageW(::GetAncestor(picker, GA_ROOT), WM_CLOSE, 0, 0);
        ASSERT_TRUE(ExitFromTray());
        EndProcess();
    }
}

// Pictures of the windows these mends touch, in both languages, for people to look at.
TEST_F(AppRoadPaneKeys, ScreenshotsOfTheTouchedWindows)
{
    const wchar_t* dir = _wgetenv(L"PANES_SHOTS");
    if (!dir)
        GTEST_SKIP() << "set PANES_SHOTS to a folder to take them";
    Put("FILE user=demo size=5000 -- " + m_folder + "/notes.txt");
    filebytes::WriteFile(m_local + L"\\local.txt", std::vector<unsigned char>{'l'});
    for (unsigned short language : {LANG_KOREAN, LANG_ENGLISH}) {
        const std::wstring suffix = language == LANG_KOREAN ? L"-ko.png" : L"-en.png";
        ASSERT_NO_FATAL_FAILURE(Start(language, 1));
        ::Sleep(800);
        ASSERT_TRUE(ClickListRow(m_panes.localList, L"local.txt"));
        ::Sleep(800);
        EXPECT_TRUE(uitest::SaveScreenPng(std::wstring(dir) + L"\\main" + suffix));
        ASSERT_TRUE(ClickListRow(m_panes.serverList, L"notes.txt"));
        TypeKeys({VK_LSHIFT}, VK_DELETE);
        HWND confirm = WaitForDialogWith(IDC_CONFIRM_TEXT);
        ASSERT_NE(nullptr, confirm);
        ::Sleep(800);
        EXPECT_TRUE(uitest::SaveScreenPng(std::wstring(dir) + L"\\confirm" + suffix));
        Click(confirm, IDCANCEL);
        ClickTreeItem(m_panes.serverTree, m_own);
        TypeKeys({VK_LCONTROL}, 'F');
        HWND picker = nullptr;
        uitest::WaitUntil([&] {
            for (HWND dialog : FindWindows(L"#32770", nullptr))
                if ((picker = FindDescendant(dialog, IDC_SEARCH_DATE_FROM)) != nullptr)
                    return true;
            return false;
        }, 20000);
        if (picker) {
            ::Sleep(800);
            EXPECT_TRUE(uitest::SaveScreenPng(std::wstring(dir) + L"\\search" + suffix));
            ::PostMessageW(::GetAncestor(picker, GA_ROOT), WM_CLOSE, 0, 0);
        }
        ASSERT_TRUE(ExitFromTray());
        EndProcess();
    }
}

// The server panes' commands in the real folder and file views against the test server: the
// context menus as the user opens them, deletes, copies and moves, the new folder the server
// refuses, a drop on empty space, the search's go-to and the shortcut commands, each checked on
// the server's side and in the views.
#include <winsock2.h>
#include "RoadServer.h"
#include "HexBytes.h"
#include "ServerPanesFixture.h"
#include "AutoAnswer.h"
#include "BackupRes.h"
#include "CommonDlgsRes.h"
#include "DirectEditAddOn.h"
#include "DragDrop.h"
#include "FormParam.h"
#include "OleDataObject.h"
#include "ServerClipboard.h"
#include "ServerCommandSupport.h"
#include "ServerContextMenu.h"
#include "ServerLeftView.h"
#include "SearchDlg.h"
#include "PaneMessages.h"
#include "ServerRightView.h"
#include "ShareRes.h"
#include "ToviMessages.h"
#include "ToviMsg.h"
#include "ToviRegistry.h"
#include "ToviString.h"
#include "ToviTextLanguage.h"
#include "TestPaths.h"
#include "PixelCapture.h"
#include "WindowDriver.h"
#include "Wnd.h"
#include <atomic>
#include <cstring>
#include <cstdlib>
#include <cwchar>
#include <functional>
#include <string>
#include <thread>
#include <vector>

using namespace road;
using namespace servermenu;

namespace {

// Opens the pop-up menu that a right-click at point (client coordinates of control) brings, on
// another thread reads its entries and picks the one with command (0: none, the menu is closed).
std::vector<int> ChooseFromMenu(HWND control, POINT point, int command, const std::wstring& shot = std::wstring())
{
    std::vector<int> seen;
    std::atomic<bool> done{false};
    std::thread watcher([&] {
        HWND menuWnd = nullptr;
        for (int i = 0; i < 500 && !menuWnd; ++i) {
            menuWnd = FindWindowW(L"#32768", nullptr);
            if (!menuWnd || !IsWindowVisible(menuWnd)) {
                menuWnd = nullptr;
                Sleep(10);
            }
        }
        if (!menuWnd) {
            done = true;
            return;
        }
        if (!shot.empty()) {
            Sleep(400);
            if (!uitest::SaveScreenPng(shot))
                seen.push_back(-1);
        }
        HMENU menu = reinterpret_cast<HMENU>(SendMessageW(menuWnd, 0x01E1 /* MN_GETHMENU */, 0, 0));
        int downs = 0, steps = 0;
        for (int i = 0; menu && i < GetMenuItemCount(menu); ++i) {
            UINT id = GetMenuItemID(menu, i);
            seen.push_back(static_cast<int>(id == static_cast<UINT>(-1) ? 0 : id));
            if (id != 0 && id != static_cast<UINT>(-1)) {
                ++steps;
                if (static_cast<int>(id) == command)
                    downs = steps;
            }
        }
        if (downs == 0) {
            PostMessageW(menuWnd, WM_KEYDOWN, VK_ESCAPE, 0);
        } else {
            for (int i = 0; i < downs; ++i)
                PostMessageW(menuWnd, WM_KEYDOWN, VK_DOWN, 0);
            PostMessageW(menuWnd, WM_KEYDOWN, VK_RETURN, 0);
        }
        done = true;
    });
    POINT screen = point;
    ClientToScreen(control, &screen);
    SetCursorPos(screen.x, screen.y);
    PostMessageW(control, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(point.x, point.y));
    PostMessageW(control, WM_RBUTTONUP, 0, MAKELPARAM(point.x, point.y));
    uitest::WaitUntil([&] { return done.load(); }, 8000);
    watcher.join();
    uitest::PumpMessages();
    return seen;
}

class CommandsTest : public ServerPanesTest {
protected:
    void Seed() override
    {
        for (const char* path : {"My Files/Work/a", "My Files/Work/b", "My Files/Solo/only"})
            ASSERT_EQ("OK", Control(std::string("FOLDER user=road -- ") + path).substr(0, 2));
        ASSERT_EQ("OK", Control("FILE user=road size=40 -- My Files/Work/x.txt").substr(0, 2));
        ASSERT_EQ("OK", Control("FILE user=road size=30 -- My Files/Other.txt").substr(0, 2));
    }
};

}

TEST_F(CommandsTest, TheTreeMenuDeletesTheClickedFolderIntoTheBinWithoutMovingTheSelection)
{
    HTREEITEM work = Open({L"My Files", L"Work"});
    ASSERT_NE(nullptr, work);
    HTREEITEM a = Child(work, L"a");
    ASSERT_NE(nullptr, a);
    std::string aIdx = Idx("My Files/Work/a");
    uitest::AutoAnswer answers(nullptr, IDOK);
    std::vector<int> shown = ChooseFromMenu(Tree().GetSafeHwnd(), ItemPoint(a), kDelete);
    // The menu is the one the folder's record asks for.
    EXPECT_EQ(Ids(Tree().ContextMenuFor(work)), shown);
    ASSERT_TRUE(uitest::WaitUntil([&] { return Idx("My Files/Work/a").empty(); }));
    EXPECT_NE(std::string::npos, Control("LAST cmd=F2").find("cmd=F2"));
    EXPECT_EQ(nullptr, Child(work, L"a"));
    EXPECT_EQ(work, Tree().GetSelectedItem());
    // The modal rule around the dialog; a delete into the bin frees nothing: no quota refresh.
    EXPECT_EQ((std::vector<std::string>{"begin 0 stop", "end"}), m_ops.events);
}

TEST_F(CommandsTest, APermanentDeleteFromTheListMenuRefreshesTheQuota)
{
    ASSERT_NE(nullptr, Open({L"My Files", L"Work"}));
    int row = Row(L"x.txt");
    ASSERT_GE(row, 0);
    List().SetItemState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    uitest::AutoAnswer answers(nullptr, IDOK);
    std::vector<int> shown = ChooseFromMenu(List().GetSafeHwnd(), RowPoint(row), kDeleteForGood);
    EXPECT_NE(shown.end(), std::find(shown.begin(), shown.end(), kDeleteForGood));
    ASSERT_TRUE(uitest::WaitUntil([&] { return Idx("My Files/Work/x.txt").empty(); }));
    WaitFilled();
    EXPECT_EQ(-1, Row(L"x.txt"));
    EXPECT_EQ((std::vector<std::string>{"begin 0 stop", "end", "quota"}), m_ops.events);
}

TEST_F(CommandsTest, ANewFolderTheServerRefusesLeavesNoPlaceholderAndIsNotAskedForAgain)
{
    HTREEITEM work = Open({L"My Files", L"Work"});
    ASSERT_NE(nullptr, work);
    ASSERT_EQ("OK", Control("FAULT error reply=E0 code=1310 cmd=F0 -- Folder refused").substr(0, 2));
    uitest::AutoAnswer answers(nullptr, IDOK);
    m_left->RunTreeCommand(kNewFolder, work);
    HWND edit = TreeView_GetEditControl(Tree().GetSafeHwnd());
    ASSERT_NE(nullptr, edit);
    ::SetWindowTextW(edit, L"Plans");
    TreeView_EndEditLabelNow(Tree().GetSafeHwnd(), FALSE);
    ASSERT_TRUE(answers.WaitForCount(1));
    uitest::PumpMessages();
    std::vector<std::wstring> names;
    for (HTREEITEM i = Tree().GetChildItem(work); i; i = Tree().GetNextSiblingItem(i))
        names.push_back(Tree().GetItemText(i).GetString());
    EXPECT_EQ((std::vector<std::wstring>{L"a", L"b"}), names) << "the refused folder's row is gone";
    EXPECT_EQ(nullptr, TreeView_GetEditControl(Tree().GetSafeHwnd()));
    // Nothing is left whose edit could end again: Esc sends nothing, no folder appears.
    long before = Exchanges();
    SendMessageW(Tree().GetSafeHwnd(), WM_KEYDOWN, VK_ESCAPE, 0);
    uitest::PumpMessages();
    EXPECT_EQ(before, Exchanges());
    EXPECT_EQ("", Idx("My Files/Work/Plans"));
    EXPECT_EQ("", Idx("My Files/Work/New Folder"));
    EXPECT_FALSE(m_frame.editing);
}

TEST_F(CommandsTest, CopyAndCutPasteFolderItemsOnTheServer)
{
    HTREEITEM work = Open({L"My Files", L"Work"});
    ASSERT_NE(nullptr, work);
    uitest::AutoAnswer answers(nullptr, IDOK);
    HTREEITEM a = Child(work, L"a");
    HTREEITEM b = Child(work, L"b");
    ASSERT_TRUE(a && b);
    ASSERT_TRUE(m_left->CopyFolder(a));
    m_left->RunTreeCommand(kPaste, b);
    ASSERT_TRUE(uitest::WaitUntil([&] { return !Idx("My Files/Work/b/a").empty(); }));
    EXPECT_NE(std::string::npos, Control("LAST cmd=F1").find("cmd=F1"));
    EXPECT_FALSE(Idx("My Files/Work/a").empty()) << "a copy leaves the source";
    EXPECT_TRUE(servercmd::ClipboardHasServerItems()) << "a copy leaves the clipboard";

    // A cut moves: the source goes from the tree and the clipboard is emptied.
    HTREEITEM solo = Open({L"My Files", L"Solo"});
    ASSERT_NE(nullptr, solo);
    work = Child(Child(nullptr, L"My Files"), L"Work");
    a = Child(work, L"a");
    ASSERT_NE(nullptr, a);
    m_ops.events.clear();
    ASSERT_TRUE(m_left->CutFolder(a));
    EXPECT_TRUE(Tree().GetItemState(a, TVIS_CUT) & TVIS_CUT);
    m_left->RunTreeCommand(kPaste, solo);
    ASSERT_TRUE(uitest::WaitUntil([&] { return !Idx("My Files/Solo/a").empty(); }));
    EXPECT_TRUE(Idx("My Files/Work/a").empty());
    EXPECT_EQ(nullptr, Child(work, L"a"));
    EXPECT_FALSE(servercmd::ClipboardHasServerItems());
    EXPECT_EQ((std::vector<std::string>{"begin 2 stop", "end", "quota"}), m_ops.events);
}

TEST_F(CommandsTest, ADropOnEmptySpacePastesIntoTheShownFolderNotItsOnlyFolderRow)
{
    ASSERT_NE(nullptr, Open({L"My Files", L"Work"}));
    int row = Row(L"x.txt");
    ASSERT_GE(row, 0);
    _PROTO_FOLDER_INFO file = *reinterpret_cast<_PROTO_FOLDER_INFO*>(List().GetItemData(row));
    ASSERT_NE(nullptr, Open({L"My Files", L"Solo"}));
    ASSERT_EQ(1, List().GetItemCount()) << "Solo shows its one folder row";
    CDragDataSource* source = new CDragDataSource;
    ASSERT_TRUE(source->CacheServerItems({file}, L"SR", L"My Files/Work"));
    COleDataObject data;
    data.Attach(source->GetDataObject());
    uitest::AutoAnswer answers(nullptr, IDOK);
    m_right->OnDropData(&data, -1, DROPEFFECT_COPY);
    ASSERT_TRUE(uitest::WaitUntil([&] { return !Idx("My Files/Solo/x.txt").empty(); }));
    EXPECT_TRUE(Idx("My Files/Solo/only/x.txt").empty());
}

TEST_F(CommandsTest, TheSearchGoToReadsTheWindowsRecordAndSelectsTheFoundRow)
{
    ASSERT_NE(nullptr, Open({L"My Files"}));
    std::string idx = Idx("My Files/Work/x.txt");
    ASSERT_FALSE(idx.empty());
    auto* record = new _SEARCH_GOTO_FOLDER();
    record->IsFile = 1;
    record->Id1 = std::atoi(idx.c_str());
    record->LocationPath = new CString(L"My Files/Work");
    record->SecondPath = new CString(L"x.txt");
    m_right->SendMessage(WM_SEARCH_GOTO_FOLDER, reinterpret_cast<WPARAM>(record), 0);
    HTREEITEM selected = Tree().GetSelectedItem();
    ASSERT_NE(nullptr, selected);
    EXPECT_EQ(CString(L"Work"), Tree().GetItemText(selected));
    int row = List().GetNextItem(-1, LVNI_SELECTED);
    ASSERT_GE(row, 0);
    EXPECT_EQ(CString(L"x.txt"), List().GetItemText(row, 0));
}

TEST_F(CommandsTest, AShortcutIsAddedAndAMissingShortcutFolderIsReported)
{
    HTREEITEM work = Open({L"My Files", L"Work"});
    ASSERT_NE(nullptr, work);
    uitest::AutoAnswer answers(nullptr, IDOK);
    m_left->RunTreeCommand(kShortcut, Child(work, L"b"));
    ASSERT_TRUE(answers.WaitForCount(1));
    EXPECT_NE(std::string::npos, Control("LAST cmd=D6").find("cmd=D6"));
    EXPECT_EQ((std::vector<std::string>{"alert"}), m_ops.events);
    auto holds = [](const std::vector<std::wstring>& texts, const CString& message) {
        return std::find(texts.begin(), texts.end(), std::wstring(message.GetString())) != texts.end();
    };
    EXPECT_TRUE(holds(answers.Seen()[0].texts, CToviMsg::GetString(12127)));

    // The shortcut window hands over a string of its own: a folder that is gone is reported and
    // the selection stays.
    m_left->SendMessage(WM_OPEN_SHORTCUT_PATH, reinterpret_cast<WPARAM>(new CString(L"My Files/Gone")), 0);
    ASSERT_TRUE(answers.WaitForCount(2));
    EXPECT_TRUE(holds(answers.Seen()[1].texts, CToviMsg::GetString(12128)));
    EXPECT_EQ(work, Tree().GetSelectedItem());
}

// Not a check: pictures of the two menus for a person to look at, in both languages.
TEST_F(CommandsTest, ScreenshotsOfTheContextMenus)
{
    const wchar_t* dir = _wgetenv(L"PANES_SHOTS");
    if (!dir)
        GTEST_SKIP() << "set PANES_SHOTS to a folder to take them";
    HTREEITEM work = Open({L"My Files", L"Work"});
    ASSERT_NE(nullptr, work);
    for (LANGID language : {LANGID(0x12), LANGID(0x09)}) {
        CToviTextLanguage::SetThreadLanguage(language);
        std::wstring suffix = language == 0x12 ? L"-ko.png" : L"-en.png";
        std::vector<int> tree = ChooseFromMenu(Tree().GetSafeHwnd(), ItemPoint(work), 0, std::wstring(dir) + L"\\tree-menu" + suffix);
        EXPECT_FALSE(tree.empty());
        EXPECT_EQ(tree.end(), std::find(tree.begin(), tree.end(), -1));
        int row = Row(L"x.txt");
        List().SetItemState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        std::vector<int> list = ChooseFromMenu(List().GetSafeHwnd(), RowPoint(row), 0, std::wstring(dir) + L"\\list-menu" + suffix);
        EXPECT_EQ(list.end(), std::find(list.begin(), list.end(), -1));
        // The send-file dialog as the list's entry opens it, with its file row, in the face a
        // Korean installation sets for its dialogs.
        CString face;
        const bool hadFace = CToviRegistry::GetDialogFont(0, face);
        if (language == 0x12)
            CToviRegistry::SetDialogFont(0, L"\xB9D1\xC740 \xACE0\xB515");
        std::atomic<bool> shot{false};
        std::thread camera([&] {
            for (int i = 0; i < 500 && !shot; ++i, Sleep(20)) {
                for (HWND dialog : uitest::FindTopWindows(L"#32770", nullptr)) {
                    if (!::GetDlgItem(dialog, IDC_SEND_SEND) || !::IsWindowVisible(dialog))
                        continue;
                    // The picture waits until the dialog has finished painting.
                    EXPECT_TRUE(uitest::SaveScreenPng(std::wstring(dir) + L"\\send-file" + suffix));
                    ::PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
                    shot = true;
                    break;
                }
            }
        });
        m_right->RunListCommand(kSendFile, row);
        camera.join();
        EXPECT_TRUE(shot);
        CToviRegistry::SetDialogFont(0, hadFace ? face : CString());
    }
    CToviTextLanguage::SetThreadLanguage(0);
}

TEST_F(CommandsTest, LocalFilesPastedOnATreeFolderGoToTheSplittersUploadForThatFolder)
{
    HTREEITEM work = Open({L"My Files", L"Work"});
    ASSERT_NE(nullptr, work);
    std::wstring path = Scratch(L"pasted.txt");
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    CloseHandle(file);
    ASSERT_EQ(1, CopyFileListClipboard({CString(path.c_str())}, false));
    HTREEITEM b = Child(work, L"b");
    ASSERT_NE(nullptr, b);
    m_left->RunTreeCommand(kPaste, b);
    EXPECT_EQ((std::vector<std::string>{"upload 1 into " + Idx("My Files/Work/b")}), m_ops.events);
}

TEST_F(CommandsTest, PropertiesAskTheServerOnAConnectionOfTheirOwn)
{
    HTREEITEM work = Open({L"My Files", L"Work"});
    ASSERT_NE(nullptr, work);
    std::string sessionConn = protoserver::Control::Value(Control("LAST cmd=D0"), "conn");
    uitest::AutoAnswer answers(nullptr, IDOK);
    m_left->RunTreeCommand(kProperties, Child(work, L"a"));
    ASSERT_GE(answers.Count(), 1);
    std::string last = Control("LAST cmd=D1");
    ASSERT_NE(std::string::npos, last.find("cmd=D1")) << last;
    EXPECT_NE(sessionConn, protoserver::Control::Value(last, "conn"));
    // The dialog let its connection go when it closed: only the session's stays open.
    EXPECT_TRUE(uitest::WaitUntil([&] {
        return protoserver::Control::Value(Control("COUNT"), "open") == "1";
    }));
}

TEST_F(CommandsTest, TheBinRestoresWithoutTouchingTheQuotaAndEmptiesWithIt)
{
    HTREEITEM work = Open({L"My Files", L"Work"});
    ASSERT_NE(nullptr, work);
    uitest::AutoAnswer answers(nullptr, IDOK);
    ASSERT_TRUE(m_left->DeleteFolder(Child(work, L"a"), true));
    ASSERT_TRUE(m_left->DeleteFolder(Child(work, L"b"), true));
    ASSERT_TRUE(Idx("My Files/Work/a").empty());
    HTREEITEM bin = Open({L"Recycle Bin"});
    ASSERT_NE(nullptr, bin);
    HTREEITEM a = Child(bin, L"a");
    ASSERT_NE(nullptr, a) << "the deleted folder lies in the bin";

    m_ops.events.clear();
    ASSERT_TRUE(m_left->OnRecyclebinRestore(a));
    EXPECT_NE(std::string::npos, Control("LAST cmd=F5").find("cmd=F5"));
    EXPECT_FALSE(Idx("My Files/Work/a").empty());
    EXPECT_EQ(nullptr, Child(bin, L"a"));
    // A restore frees nothing: the quota timer runs on and no quota refresh follows.
    EXPECT_EQ((std::vector<std::string>{"begin 2", "end"}), m_ops.events);

    m_ops.events.clear();
    ASSERT_TRUE(m_left->OnRecyclebinClear(bin));
    EXPECT_NE(std::string::npos, Control("LAST cmd=F4").find("cmd=F4"));
    EXPECT_EQ(nullptr, Tree().GetChildItem(bin));
    EXPECT_EQ((std::vector<std::string>{"begin 3 stop", "end", "quota"}), m_ops.events);
}

TEST_F(CommandsTest, TheShareDialogOpensAfterTheFoldersShareSettingsAndARefusalIsShownInstead)
{
    HTREEITEM work = Open({L"My Files", L"Work"});
    ASSERT_NE(nullptr, work);
    uitest::AutoAnswer answers(nullptr, IDCANCEL);
    m_left->RunTreeCommand(kShare, Child(work, L"b"));
    ASSERT_GE(answers.Count(), 1);
    std::string last = Control("LAST cmd=G0");
    ASSERT_NE(std::string::npos, last.find("cmd=G0")) << last;
    EXPECT_NE(std::string::npos, last.find(":" + hexbytes::UpperHex(Idx("My Files/Work/b")))) << last;

    // The server refuses the share settings: its words are shown, no dialog opens.
    ASSERT_EQ("OK", Control("FAULT error reply=E0 code=1401 cmd=G0 -- Not shareable").substr(0, 2));
    int before = answers.Count();
    m_left->RunTreeCommand(kShare, Child(work, L"b"));
    ASSERT_TRUE(answers.WaitForCount(before + 1));
    auto seen = answers.Seen().back().texts;
    EXPECT_NE(seen.end(), std::find(seen.begin(), seen.end(), std::wstring(L"Not shareable")));
}

TEST_F(CommandsTest, TreeKeysCopyWithTheLeftControlKeyOnlyAndEscapeEmptiesTheClipboard)
{
    HTREEITEM work = Open({L"My Files", L"Work"});
    ASSERT_NE(nullptr, work);
    HWND tree = Tree().GetSafeHwnd();
    auto press = [&](std::initializer_list<int> held, UINT key) {
        BYTE keys[256] = {};
        for (int k : held)
            keys[k] = 0x80;
        SetKeyboardState(keys);
        SendMessageW(tree, WM_KEYDOWN, key, 0);
        BYTE none[256] = {};
        SetKeyboardState(none);
        uitest::PumpMessages();
    };
    if (::OpenClipboard(nullptr)) {
        EmptyClipboard();
        CloseClipboard();
    }
    press({VK_CONTROL, VK_RCONTROL}, 'C');
    EXPECT_FALSE(servercmd::ClipboardHasServerItems()) << "the right Control key copies nothing";
    press({VK_CONTROL, VK_LCONTROL}, 'C');
    EXPECT_TRUE(servercmd::ClipboardHasServerItems());
    press({}, VK_ESCAPE);
    EXPECT_FALSE(servercmd::ClipboardHasServerItems());
}

TEST_F(CommandsTest, TheGuestCommandOpensTheGuestDialogForTheFolder)
{
    HTREEITEM guest = Open({L"Guest"});
    ASSERT_NE(nullptr, guest);
    std::vector<int> menu = Ids(Tree().ContextMenuFor(guest));
    ASSERT_NE(menu.end(), std::find(menu.begin(), menu.end(), kGuestsOfFolder)) << "a top-level guest folder offers guests";
    long before = Exchanges();
    uitest::AutoAnswer answers(nullptr, IDCANCEL);
    m_left->RunTreeCommand(kGuestsOfFolder, guest);
    EXPECT_GE(answers.Count(), 1);
    EXPECT_GT(Exchanges(), before) << "the dialog read the folder's guests";
}

TEST_F(CommandsTest, RenameInTheTreeTrimsTheNameTakes256CharactersAndRefuses257)
{
    HTREEITEM work = Open({L"My Files", L"Work"});
    ASSERT_NE(nullptr, work);
    uitest::AutoAnswer answers(nullptr, IDOK);
    HWND tree = Tree().GetSafeHwnd();
    auto rename = [&](HTREEITEM item, const std::wstring& text) {
        m_left->RunTreeCommand(kRename, item);
        HWND edit = TreeView_GetEditControl(tree);
        if (!edit)
            return false;
        ::SetWindowTextW(edit, text.c_str());
        TreeView_EndEditLabelNow(tree, FALSE);
        uitest::PumpMessages();
        return true;
    };
    // The same name after trimming sends nothing.
    long before = Exchanges();
    ASSERT_TRUE(rename(Child(work, L"a"), L"  a.. "));
    EXPECT_EQ(before, Exchanges());

    ASSERT_TRUE(rename(Child(work, L"a"), L" renamed. "));
    ASSERT_TRUE(uitest::WaitUntil([&] { return !Idx("My Files/Work/renamed").empty(); }));
    EXPECT_NE(std::string::npos, Control("LAST cmd=F3").find("cmd=F3"));

    std::wstring longest(256, L'n');
    ASSERT_TRUE(rename(Child(work, L"b"), longest + L"x"));
    ASSERT_TRUE(answers.WaitForCount(1));
    auto texts = answers.Seen()[0].texts;
    std::string shown;
    for (const std::wstring& t : texts)
        shown += CStringA(t.c_str()).GetString() + std::string(" / ");
    EXPECT_NE(texts.end(), std::find(texts.begin(), texts.end(), std::wstring(CToviMsg::GetString(12042).GetString())))
        << shown;
    uitest::PumpMessages();
    // The refused name's edit opens again; the longest name the tree allows goes to the server
    // (which keeps its own, shorter limit and says so).
    HWND edit = TreeView_GetEditControl(tree);
    ASSERT_NE(nullptr, edit);
    ::SetWindowTextW(edit, longest.c_str());
    TreeView_EndEditLabelNow(tree, FALSE);
    ASSERT_TRUE(answers.WaitForCount(2));
    std::string last = Control("LAST cmd=F3");
    std::string utf16;
    for (int i = 0; i < 256; ++i)
        utf16 += "6E00";
    std::string hex8;
    for (int i = 0; i < 256; ++i)
        hex8 += "6E";
    EXPECT_TRUE(last.find(hex8) != std::string::npos || last.find(utf16) != std::string::npos) << last;
    EXPECT_FALSE(m_frame.editing);
}

TEST_F(CommandsTest, OpeningTheSearchAgainEndsTheFirstSearchWindow)
{
    HTREEITEM work = Open({L"My Files", L"Work"});
    ASSERT_NE(nullptr, work);
    m_left->RunTreeCommand(kSearch, work);
    CSearchDlg* first = m_left->SearchDialog();
    ASSERT_NE(nullptr, first);
    HWND firstWnd = first->GetSafeHwnd();
    ASSERT_TRUE(::IsWindow(firstWnd));
    m_left->RunTreeCommand(kContentSearch, work);
    uitest::PumpMessages();
    EXPECT_FALSE(::IsWindow(firstWnd));
    ASSERT_NE(nullptr, m_left->SearchDialog());
    HWND second = m_left->SearchDialog()->GetSafeHwnd();
    EXPECT_TRUE(::IsWindow(second));
    ::DestroyWindow(second);
    uitest::PumpMessages();
    EXPECT_EQ(nullptr, m_left->SearchDialog()) << "the closed window told its owner";
}

TEST_F(CommandsTest, FileSendingIsSwitchedOnForTheSelectedRowWhichStaysSelected)
{
    ASSERT_NE(nullptr, Open({L"My Files", L"Work"}));
    int row = Row(L"x.txt");
    ASSERT_GE(row, 0);
    List().SetItemState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    uitest::AutoAnswer answers(nullptr, IDOK);
    m_right->OnSendFileOn();
    ASSERT_TRUE(answers.WaitForCount(1));
    auto texts = answers.Seen()[0].texts;
    EXPECT_NE(texts.end(), std::find(texts.begin(), texts.end(), std::wstring(CToviMsg::GetString(12125).GetString())));
    EXPECT_NE(std::string::npos, Control("LAST cmd=F7").find("cmd=F7"));
    int selected = List().GetNextItem(-1, LVNI_SELECTED);
    ASSERT_GE(selected, 0);
    EXPECT_EQ(CString(L"x.txt"), List().GetItemText(selected, 0));
}

TEST_F(CommandsTest, TheCommandBarFindsTheFolderPanesCommandsOnItsWindow)
{
    HTREEITEM work = Open({L"My Files", L"Work"});
    ASSERT_NE(nullptr, work);
    // The bar looks the pane up by its window and casts, as it does for every pane.
    auto* bar = dynamic_cast<IServerTreeCommands*>(CWnd::FromHandle(m_left->GetSafeHwnd()));
    ASSERT_NE(nullptr, bar);
    EXPECT_EQ(Tree().GetSafeHwnd(), bar->GetTreeWindow());
    HTREEITEM b = Child(work, L"b");
    ASSERT_NE(nullptr, b);
    uitest::AutoAnswer answers(nullptr, IDOK);
    bar->OnDelete(b, 1);
    ASSERT_TRUE(uitest::WaitUntil([&] { return Idx("My Files/Work/b").empty(); }));
    EXPECT_EQ((std::vector<std::string>{"begin 0 stop", "end"}), m_ops.events) << "into the bin: no quota refresh";
}

TEST_F(CommandsTest, CreateLinkFromTheListMenuOpensTheLinkDialogForTheRow)
{
    ASSERT_NE(nullptr, Open({L"My Files", L"Work"}));
    int row = Row(L"x.txt");
    ASSERT_GE(row, 0);
    ASSERT_EQ("OK", Control("PERM idx=" + Idx("My Files/Work/x.txt") + " value=0000000000001000000000000000000").substr(0, 2));
    Tree().DrawSubTreeNList(Tree().GetSelectedItem(), TREE_REFRESH_TREE_AND_LIST, false);
    WaitFilled();
    row = Row(L"x.txt");
    List().SetItemState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    uitest::AutoAnswer answers(nullptr, IDCANCEL);
    std::vector<int> shown = ChooseFromMenu(List().GetSafeHwnd(), RowPoint(row), kLink);
    EXPECT_NE(shown.end(), std::find(shown.begin(), shown.end(), kLink));
    EXPECT_TRUE(answers.WaitForCount(1)) << "no link dialog";
    WaitFilled();
    EXPECT_GE(Row(L"x.txt"), 0) << "the list is shown again";
}

TEST_F(CommandsTest, TheVersionsOfAFileOpenFromTheListMenu)
{
    ASSERT_NE(nullptr, Open({L"My Files", L"Work"}));
    std::string file = Idx("My Files/Work/x.txt");
    ASSERT_FALSE(file.empty());
    int row = Row(L"x.txt");
    auto* record = reinterpret_cast<_PROTO_FOLDER_INFO*>(List().GetItemData(row));
    ASSERT_NE(nullptr, record);
    if (!record->Attr231[0])
        std::memset(record->Attr231, '0', 12);
    record->Attr231[4] = '1';   // the file keeps versions
    List().SetItemState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    uitest::AutoAnswer answers(nullptr, IDCANCEL);
    std::vector<int> shown = ChooseFromMenu(List().GetSafeHwnd(), RowPoint(row), kVersions);
    ASSERT_NE(shown.end(), std::find(shown.begin(), shown.end(), kVersions));
    EXPECT_TRUE(answers.WaitForCount(1)) << "no versions dialog";
    std::string last = Control("LAST cmd=D3");
    EXPECT_NE(std::string::npos, last.find("cmd=D3")) << "the dialog asked for the file's versions";
}

TEST_F(CommandsTest, AFileNameLongerThanTheVersionsWindowCarriesIsRefusedBeforeItOpens)
{
    ASSERT_NE(nullptr, Open({L"My Files", L"Work"}));
    const int row = Row(L"x.txt");
    ASSERT_GE(row, 0);
    auto* record = reinterpret_cast<_PROTO_FOLDER_INFO*>(List().GetItemData(row));
    ASSERT_NE(nullptr, record);
    if (!record->Attr231[0])
        std::memset(record->Attr231, '0', 12);
    record->Attr231[4] = '1';   // the file keeps versions
    // The record holds names the test server's disk cannot: the row's file gets one longer than
    // the versions window hands on to a download.
    const std::wstring name = std::wstring(600, L'v') + L".txt";
    ASSERT_LT(name.size(), _countof(record->Name));
    std::wcscpy(record->Name, name.c_str());
    auto asked = [&] { return std::atol(protoserver::Control::Value(Control("COUNT cmd=D3"), "requests").c_str()); };
    const long before = asked();
    List().SetItemState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    uitest::AutoAnswer boxes(L"Corvane IXO MessageBox", IDOK);
    uitest::AutoAnswer versions(CToviString::GetString(14027).GetString(), IDCANCEL);
    std::vector<int> shown = ChooseFromMenu(List().GetSafeHwnd(), RowPoint(row), kVersions);
    ASSERT_NE(shown.end(), std::find(shown.begin(), shown.end(), kVersions));
    ASSERT_TRUE(boxes.WaitForCount(1)) << "the name was not refused";
    const std::vector<std::wstring> seen = boxes.Seen()[0].texts;
    std::wstring texts;
    for (const std::wstring& t : seen)
        texts += t + L" / ";
    EXPECT_NE(std::wstring::npos, texts.find(name.substr(0, 40))) << CStringA(texts.c_str()).GetString();
    EXPECT_NE(std::wstring::npos, texts.find(CToviMsg::GetString(12075).GetString()))
        << CStringA(texts.c_str()).GetString();
    uitest::PumpMessages();
    EXPECT_EQ(0, versions.Count()) << "the versions window opened with a cut name";
    EXPECT_EQ(before, asked());
}

TEST_F(CommandsTest, AnEditorsResultRefreshesTheListAndAFailureIsShown)
{
    ASSERT_NE(nullptr, Open({L"My Files", L"Work"}));
    uitest::AutoAnswer answers(nullptr, IDOK);
    struct Case {
        WPARAM code;
        int boxes;
    } cases[] = {{0, 0}, {5, 0}, {3, 1}};
    int seen = 0;
    for (const Case& c : cases) {
        ASSERT_EQ("OK", Control("FILE user=road size=1 -- My Files/Work/new" + std::to_string(c.code) + ".txt").substr(0, 2));
        m_right->SendMessage(WM_DIRECTEDIT_REFRESH, c.code, 0);
        WaitFilled();
        seen += c.boxes;
        EXPECT_EQ(seen, answers.Count()) << c.code;
        EXPECT_GE(Row((L"new" + std::to_wstring(c.code) + L".txt").c_str()), 0) << "listed again without the cache";
    }
    auto texts = answers.Seen().back().texts;
    EXPECT_NE(texts.end(), std::find(texts.begin(), texts.end(), std::wstring(CToviMsg::GetString(12067).GetString())));
}

TEST_F(CommandsTest, BothPanesPassTheShareDialogsHelpRequestToTheFrame)
{
    m_left->SendMessage(WM_SHOW_HTML_POPUP, 0, 0);
    m_right->SendMessage(WM_SHOW_HTML_POPUP, 0, 0);
    EXPECT_EQ((std::vector<std::string>{"help", "help"}), m_ops.events);
}

TEST_F(CommandsTest, ABackupPcIsDeletedAfterItsNameIsTypedAndTheBackupAreaIsListedAgain)
{
    ASSERT_EQ("OK", Control("FOLDER user=road -- Backup/Laptop").substr(0, 2));
    std::string pc = Idx("Backup/Laptop");
    ASSERT_FALSE(pc.empty());
    std::string perms(31, '1');
    ASSERT_EQ("OK", Control("PERM idx=" + pc + " value=" + perms).substr(0, 2));
    HTREEITEM laptop = Open({L"Backup", L"Laptop"});
    ASSERT_NE(nullptr, laptop);
    std::vector<int> menu = Ids(Tree().ContextMenuFor(laptop));
    EXPECT_NE(menu.end(), std::find(menu.begin(), menu.end(), kPcDelete));
    // The confirmation asks for the PC's name before it lets OK through.
    std::atomic<bool> typed{false};
    std::thread typist([&] {
        for (int i = 0; i < 500 && !typed; ++i) {
            for (HWND dialog : uitest::FindTopWindows(L"#32770", nullptr)) {
                HWND name = ::GetDlgItem(dialog, IDC_CONFIRM_NAME);
                if (name && ::IsWindowVisible(dialog)) {
                    ::SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"Laptop"));
                    ::PostMessageW(dialog, WM_COMMAND, IDOK, 0);
                    typed = true;
                    break;
                }
            }
            Sleep(10);
        }
    });
    uitest::AutoAnswer boxes(L"Corvane IXO MessageBox", IDOK);
    m_left->RunTreeCommand(kPcDelete, laptop);
    typist.join();
    EXPECT_TRUE(typed);
    ASSERT_TRUE(uitest::WaitUntil([&] { return Idx("Backup/Laptop").empty(); }));
    EXPECT_NE(std::string::npos, Control("LAST cmd=S8").find("cmd=S8"));
    ASSERT_TRUE(boxes.WaitForCount(1));
    auto texts = boxes.Seen()[0].texts;
    EXPECT_NE(texts.end(), std::find(texts.begin(), texts.end(), std::wstring(CToviMsg::GetString(12131).GetString())));
    HTREEITEM backup = Child(nullptr, L"Backup");
    EXPECT_EQ(backup, Tree().GetSelectedItem());
    EXPECT_EQ(nullptr, Child(backup, L"Laptop"));
}

TEST_F(CommandsTest, ARestoredFileIsFoundAgainThroughTheRestoreListsGoTo)
{
    ASSERT_NE(nullptr, Open({L"My Files", L"Work"}));
    int row = Row(L"x.txt");
    ASSERT_GE(row, 0);
    {
        uitest::AutoAnswer answers(nullptr, IDOK);
        List().SetItemState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        ASSERT_TRUE(m_right->DeleteRows(true));
    }
    ASSERT_TRUE(Idx("My Files/Work/x.txt").empty());
    ASSERT_NE(nullptr, Open({L"Recycle Bin"}));
    row = Row(L"x.txt");
    ASSERT_GE(row, 0) << "the file lies in the bin";
    List().SetItemState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);

    // The confirmation is answered; in the restore list the user double-clicks the entry.
    std::atomic<bool> stop{false}, picked{false};
    std::thread user([&] {
        while (!stop) {
            for (HWND dialog : uitest::FindTopWindows(L"#32770", nullptr)) {
                if (!::IsWindowVisible(dialog))
                    continue;
                HWND list = ::GetDlgItem(dialog, IDC_RESTORE_LIST);
                if (list && !picked && ::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) > 0) {
                    LVITEMW state = {};
                    state.stateMask = state.state = LVIS_SELECTED | LVIS_FOCUSED;
                    ::SendMessageW(list, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&state));
                    NMITEMACTIVATE activate = {};
                    activate.hdr.hwndFrom = list;
                    activate.hdr.idFrom = IDC_RESTORE_LIST;
                    activate.hdr.code = NM_DBLCLK;
                    ::SendMessageW(dialog, WM_NOTIFY, IDC_RESTORE_LIST, reinterpret_cast<LPARAM>(&activate));
                    picked = true;
                } else if (!list && ::GetDlgItem(dialog, IDOK)) {
                    ::PostMessageW(dialog, WM_COMMAND, IDOK, 0);
                }
            }
            Sleep(20);
        }
    });
    m_ops.events.clear();
    bool restored = m_right->OnRecyclebinRestore();
    stop = true;
    user.join();
    ASSERT_TRUE(restored);
    EXPECT_TRUE(picked) << "no restore list";
    EXPECT_NE(std::string::npos, Control("LAST cmd=F5").find("cmd=F5"));
    EXPECT_FALSE(Idx("My Files/Work/x.txt").empty());
    EXPECT_EQ((std::vector<std::string>{"begin 2", "end"}), m_ops.events);
    // The go-to: the file's folder is open and its row selected.
    HTREEITEM selected = Tree().GetSelectedItem();
    ASSERT_NE(nullptr, selected);
    EXPECT_EQ(CString(L"Work"), Tree().GetItemText(selected));
    int at = List().GetNextItem(-1, LVNI_SELECTED);
    ASSERT_GE(at, 0);
    EXPECT_EQ(CString(L"x.txt"), List().GetItemText(at, 0));
}

TEST_F(CommandsTest, ServerItemsDroppedOnATreeFolderAreMovedIntoIt)
{
    HTREEITEM work = Open({L"My Files", L"Work"});
    ASSERT_NE(nullptr, work);
    int row = Row(L"x.txt");
    ASSERT_GE(row, 0);
    _PROTO_FOLDER_INFO file = *reinterpret_cast<_PROTO_FOLDER_INFO*>(List().GetItemData(row));
    HTREEITEM solo = Child(Child(nullptr, L"My Files"), L"Solo");
    ASSERT_NE(nullptr, solo);
    CDragDataSource* source = new CDragDataSource;
    ASSERT_TRUE(source->CacheServerItems({file}, L"SR", L"My Files/Work"));
    COleDataObject data;
    data.Attach(source->GetDataObject());
    uitest::AutoAnswer answers(nullptr, IDOK);
    m_left->DropData(solo, &data, 2);
    ASSERT_TRUE(uitest::WaitUntil([&] { return !Idx("My Files/Solo/x.txt").empty(); }));
    EXPECT_TRUE(Idx("My Files/Work/x.txt").empty()) << "a move leaves nothing behind";
    EXPECT_EQ((std::vector<std::string>{"begin 2 stop", "end", "quota"}), m_ops.events);
}

TEST_F(CommandsTest, TheGroupShareDialogOpensForAGroupFolder)
{
    HTREEITEM group = Open({L"Group"});
    ASSERT_NE(nullptr, group);
    long before = Exchanges();
    uitest::AutoAnswer answers(nullptr, IDCANCEL);
    m_left->RunTreeCommand(kNewGroup, group);
    EXPECT_GE(answers.Count(), 1) << "no group share dialog";
    EXPECT_GT(Exchanges(), before) << "the dialog read the folder's settings";
}

TEST_F(CommandsTest, ACutsSourceFolderIsForgottenWhenThatFolderIsDeleted)
{
    HTREEITEM work = Open({L"My Files", L"Work"});
    ASSERT_NE(nullptr, work);
    HTREEITEM a = Child(work, L"a");
    ASSERT_NE(nullptr, a);
    Tree().Expand(a, TVE_EXPAND);
    ASSERT_EQ("OK", Control("FOLDER user=road -- My Files/Work/a/inner").substr(0, 2));
    Tree().DrawSubTreeNList(a, TREE_REFRESH_TREE_ONLY, false);
    HTREEITEM inner = Child(a, L"inner");
    ASSERT_NE(nullptr, inner);
    ASSERT_TRUE(m_left->CutFolder(inner));
    EXPECT_EQ(a, Tree().MoveSource().Folder());
    uitest::AutoAnswer answers(nullptr, IDOK);
    ASSERT_TRUE(m_left->DeleteFolder(a, false));
    EXPECT_EQ(nullptr, Tree().MoveSource().Folder()) << "the gone folder is forgotten";
}

TEST_F(CommandsTest, TheSearchGoToOfAFolderSelectsItsTreeItem)
{
    ASSERT_NE(nullptr, Open({L"My Files"}));
    std::string idx = Idx("My Files/Work/b");
    ASSERT_FALSE(idx.empty());
    auto* record = new _SEARCH_GOTO_FOLDER();
    record->IsFile = 0;
    record->Id1 = std::atoi(idx.c_str());
    record->LocationPath = new CString(L"/My Files/Work");
    record->SecondPath = new CString(L"b");
    m_left->SendMessage(WM_SEARCH_GOTO_FOLDER, reinterpret_cast<WPARAM>(record), 0);
    HTREEITEM selected = Tree().GetSelectedItem();
    ASSERT_NE(nullptr, selected);
    EXPECT_EQ(CString(L"b"), Tree().GetItemText(selected));
    EXPECT_EQ(CString(L"Work"), Tree().GetItemText(Tree().GetParentItem(selected)));
}

TEST_F(CommandsTest, AShiftRightClickOnAnUnselectedRowMovesTheSelectionThereFirst)
{
    ASSERT_NE(nullptr, Open({L"My Files", L"Work"}));
    int a = Row(L"a"), x = Row(L"x.txt");
    ASSERT_TRUE(a >= 0 && x >= 0);
    List().SetItemState(a, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    std::vector<MenuEntry> menu = List().ContextMenuAt(RowPoint(x), true);
    EXPECT_FALSE(menu.empty());
    EXPECT_EQ(1u, List().GetSelectedCount());
    EXPECT_EQ(x, List().GetNextItem(-1, LVNI_SELECTED));
    // Empty space with nothing selected: the shown folder's menu, without properties.
    List().SetItemState(-1, 0, LVIS_SELECTED);
    std::vector<int> folder = Ids(List().ContextMenuAt(POINT{400, 400}, false));
    EXPECT_FALSE(folder.empty());
    EXPECT_EQ(folder.end(), std::find(folder.begin(), folder.end(), kProperties));
}

TEST_F(CommandsTest, ACutInTheListMarksExactlyTheSelectedRows)
{
    ASSERT_NE(nullptr, Open({L"My Files", L"Work"}));
    int a = Row(L"a"), b = Row(L"b"), x = Row(L"x.txt");
    List().SetItemState(a, LVIS_SELECTED, LVIS_SELECTED);
    ASSERT_EQ(1, m_right->CopyRows(true));
    List().SetItemState(-1, 0, LVIS_SELECTED);
    List().SetItemState(b, LVIS_SELECTED, LVIS_SELECTED);
    List().SetItemState(x, LVIS_SELECTED, LVIS_SELECTED);
    ASSERT_EQ(1, m_right->CopyRows(true));
    EXPECT_EQ(0u, List().GetItemState(a, LVIS_CUT));
    EXPECT_EQ(static_cast<UINT>(LVIS_CUT), List().GetItemState(b, LVIS_CUT));
    EXPECT_EQ(static_cast<UINT>(LVIS_CUT), List().GetItemState(x, LVIS_CUT));
    EXPECT_EQ(Tree().GetSelectedItem(), Tree().MoveSource().Folder());
}

TEST_F(CommandsTest, AClickOnAFolderGivesTheCommandBarThatFoldersButtons)
{
    HTREEITEM work = Open({L"My Files", L"Work"});
    ASSERT_NE(nullptr, work);
    HTREEITEM a = Child(work, L"a");
    ASSERT_NE(nullptr, a);
    std::string onlyCopy(31, '0');
    onlyCopy[2] = '1';
    ASSERT_EQ("OK", Control("PERM idx=" + Idx("My Files/Work/a") + " value=" + onlyCopy).substr(0, 2));
    Tree().DrawSubTreeNList(work, TREE_REFRESH_TREE_AND_LIST, false);
    WaitFilled();
    a = Child(work, L"a");
    ASSERT_NE(nullptr, a);
    m_frame.menu = ServerMenuState();
    m_frame.menu.remove = true;
    POINT at = ItemPoint(a);
    POINT screen = at;
    ClientToScreen(Tree().GetSafeHwnd(), &screen);
    SetCursorPos(screen.x, screen.y);
    NMHDR click = {Tree().GetSafeHwnd(), 0, static_cast<UINT>(NM_CLICK)};
    m_left->SendMessage(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&click));
    EXPECT_TRUE(m_frame.menu.copy);
    EXPECT_FALSE(m_frame.menu.remove) << "the folder allows no delete";
    EXPECT_FALSE(m_frame.menu.newFolder);
}

namespace {

struct TreeDragSeen {
    int runs = 0;
    DROPEFFECT allowed = 0;
    std::vector<_PROTO_FOLDER_INFO> records;
    CString tag, path;
} g_treeDrag;

DROPEFFECT CaptureTreeDrag(CDragDataSource* source, DROPEFFECT allowed)
{
    ++g_treeDrag.runs;
    g_treeDrag.allowed = allowed;
    COleDataObject data;
    data.Attach(source->GetDataObject());
    UINT format = source->m_cfServerItems;
    GetFolderInfoListDataObject(&data, &format, g_treeDrag.records, g_treeDrag.tag, g_treeDrag.path);
    return DROPEFFECT_NONE;
}

}

TEST_F(CommandsTest, ADragOfATreeFolderCarriesItsRecordFromTheTreeAndAFolderThatAllowsNoneStartsNone)
{
    HTREEITEM work = Open({L"My Files", L"Work"});
    ASSERT_NE(nullptr, work);
    ASSERT_EQ("OK", Control("PERM idx=" + Idx("My Files/Work/b") + " value=" + std::string(31, '0')).substr(0, 2));
    Tree().DrawSubTreeNList(work, TREE_REFRESH_TREE_AND_LIST, false);
    WaitFilled();
    g_treeDrag = TreeDragSeen();
    struct Seam {
        CServerListCtrl::DragRunner ole = CServerListCtrl::s_runDrag;
        Seam() { CServerListCtrl::s_runDrag = CaptureTreeDrag; }
        ~Seam() { CServerListCtrl::s_runDrag = ole; }
    } seam;
    auto beginDrag = [&](HTREEITEM item) {
        NMTREEVIEWW drag = {};
        drag.hdr.hwndFrom = Tree().GetSafeHwnd();
        drag.hdr.code = TVN_BEGINDRAGW;
        drag.itemNew.hItem = item;
        return m_left->SendMessage(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&drag));
    };
    beginDrag(Child(work, L"a"));
    EXPECT_EQ(1, g_treeDrag.runs);
    EXPECT_EQ(static_cast<DROPEFFECT>(DROPEFFECT_COPY | DROPEFFECT_MOVE), g_treeDrag.allowed);
    ASSERT_EQ(1u, g_treeDrag.records.size());
    EXPECT_STREQ(L"a", g_treeDrag.records[0].Name);
    EXPECT_EQ(CString(L"SL"), g_treeDrag.tag);
    EXPECT_EQ(CString(L"My Files/Work"), g_treeDrag.path);
    EXPECT_EQ(work, Tree().MoveSource().Folder());
    // b allows neither copy, move nor download: no drag.
    beginDrag(Child(work, L"b"));
    EXPECT_EQ(1, g_treeDrag.runs);
}

namespace {

std::wstring Wide(const std::string& text)
{
    return std::wstring(text.begin(), text.end());
}

std::vector<std::wstring> Texts(const std::vector<CString>& values)
{
    std::vector<std::wstring> out;
    for (const CString& v : values)
        out.push_back(v.GetString());
    return out;
}

}

TEST_F(CommandsTest, TheListsWebPagesCarryTheSelectedRowsAndTheirScripts)
{
    ASSERT_NE(nullptr, Open({L"My Files", L"Work"}));
    const std::string x = Idx("My Files/Work/x.txt"), a = Idx("My Files/Work/a");
    ASSERT_FALSE(x.empty());
    ASSERT_FALSE(a.empty());
    // Both allow viewing, the document viewer and network sending.
    std::string perm(31, '0');
    perm[VIEW] = perm[DOCVIEW] = perm[SEND_NET] = '1';
    for (const std::string& idx : {x, a})
        ASSERT_EQ("OK", Control("PERM idx=" + idx + " value=" + perm).substr(0, 2));
    Tree().DrawSubTreeNList(Tree().GetSelectedItem(), TREE_REFRESH_TREE_AND_LIST, false);
    WaitFilled();
    m_proto.ServerAddress.WebServerAddress = L"http://web.test";
    const std::wstring url = L"http://web.test/pm/app/appLoginProc.htm";
    const std::wstring head = std::wstring(L"&uid=") + CFormParam::Encode(m_proto.LoginInfo.UserId).GetString() +
                              L"&sess=" + CFormParam::Encode(CString(m_proto.LoginInfo.SessionId)).GetString();
    const std::wstring domain = CFormParam::Encode(m_proto.DomainIndexW).GetString();
    const int xRow = Row(L"x.txt"), aRow = Row(L"a");
    ASSERT_GE(xRow, 0);
    ASSERT_GE(aRow, 0);
    const auto* record = reinterpret_cast<const _PROTO_FOLDER_INFO*>(List().GetItemData(xRow));
    ASSERT_NE(nullptr, record);
    const std::wstring type = servercmd::FieldText(record->Attr27).GetString();
    ASSERT_NE(L"9", type) << "this folder's ids go whole";

    // The document viewer of the one selected file, from the list's menu.
    List().SetItemState(xRow, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    std::vector<int> shown = ChooseFromMenu(List().GetSafeHwnd(), RowPoint(xRow), kDocView);
    ASSERT_NE(shown.end(), std::find(shown.begin(), shown.end(), kDocView));
    ASSERT_EQ(1u, m_ops.pages.size());
    const std::wstring height = std::to_wstring(::GetSystemMetrics(SM_CYSCREEN) - 100);
    EXPECT_EQ(8, m_ops.pages[0].kind);
    EXPECT_EQ(url, m_ops.pages[0].url.GetString());
    EXPECT_EQ(L"link=viewer" + head + L"&idx=" + Wide(x) + L"&dtype=" + type + L"&domain=" + domain,
              m_ops.pages[0].body.GetString());
    EXPECT_EQ(L"openDocView", std::wstring(m_ops.pages[0].function.GetString()));
    EXPECT_EQ((std::vector<std::wstring>{L"1024", height}), Texts(m_ops.pages[0].args));

    // Network send of the folder and the file, from the menu: the ids in the list's order.
    List().SetItemState(aRow, LVIS_SELECTED, LVIS_SELECTED);
    shown = ChooseFromMenu(List().GetSafeHwnd(), RowPoint(xRow), kSendNet);
    ASSERT_NE(shown.end(), std::find(shown.begin(), shown.end(), kSendNet));
    ASSERT_EQ(2u, m_ops.pages.size());
    const std::wstring both = aRow < xRow ? Wide(a) + L"%2C" + Wide(x) : Wide(x) + L"%2C" + Wide(a);
    EXPECT_EQ(9, m_ops.pages[1].kind);
    EXPECT_EQ(L"link=netsend" + head + L"&files=" + both, m_ops.pages[1].body.GetString());
    EXPECT_EQ(L"openSendFileNet", std::wstring(m_ops.pages[1].function.GetString()));
    EXPECT_TRUE(m_ops.pages[1].args.empty());

    // The command bar's approval button: files and folders apart.
    auto* bar = dynamic_cast<IServerListCommands*>(CWnd::FromHandle(m_right->GetSafeHwnd()));
    ASSERT_NE(nullptr, bar);
    EXPECT_EQ(List().GetSafeHwnd(), bar->GetListWindow());
    EXPECT_EQ(1, bar->OnApproval());
    ASSERT_EQ(3u, m_ops.pages.size());
    EXPECT_EQ(6, m_ops.pages[2].kind);
    EXPECT_EQ(L"link=tasrequest" + head + L"&file=" + Wide(x) + L"&dir=" + Wide(a), m_ops.pages[2].body.GetString());
    EXPECT_EQ(L"openApproval", std::wstring(m_ops.pages[2].function.GetString()));

    // The other approval pages the menu dispatches.
    const struct {
        int command;
        const wchar_t* link;
    } approvals[] = {{kApprovalOut, L"tasrequestout"}, {kApprovalEnc, L"tasrequestsec"}};
    for (const auto& c : approvals) {
        m_ops.pages.clear();
        m_right->RunListCommand(c.command, xRow);
        ASSERT_EQ(1u, m_ops.pages.size()) << c.command;
        EXPECT_EQ(6, m_ops.pages[0].kind) << c.command;
        EXPECT_EQ(std::wstring(L"link=") + c.link + head + L"&file=" + Wide(x) + L"&dir=" + Wide(a),
                  m_ops.pages[0].body.GetString())
            << c.command;
    }
}

TEST_F(CommandsTest, WithoutAWebAddressOrUploadedFilesNoPageOpens)
{
    ASSERT_NE(nullptr, Open({L"My Files", L"Work"}));
    const int xRow = Row(L"x.txt");
    ASSERT_GE(xRow, 0);
    List().SetItemState(xRow, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    m_proto.ServerAddress.WebServerAddress.Empty();
    EXPECT_EQ(0, m_right->OnApproval());
    EXPECT_EQ(0, m_right->OnDocView(xRow));
    EXPECT_EQ(0, m_right->OnDeleteSchedule());
    m_proto.ServerAddress.WebServerAddress = L"http://web.test";
    EXPECT_EQ(0, m_right->OnUploadApproval(CString()));
    EXPECT_EQ(0, m_right->OnDocView(-1)) << "no row, no viewer";
    EXPECT_TRUE(m_ops.pages.empty());
    EXPECT_EQ(1, m_right->OnUploadApproval(L"5,6"));
    ASSERT_EQ(1u, m_ops.pages.size());
    EXPECT_EQ(14, m_ops.pages[0].kind);
}

namespace {

std::vector<std::wstring> g_addOnStarts;

int RecordAddOnStart(HWND, const wchar_t*, const wchar_t*, const wchar_t* parameters, const wchar_t*)
{
    g_addOnStarts.push_back(parameters ? parameters : L"");
    return 1;
}

bool NoDownload(HWND, const CString&, const CString&)
{
    return false;
}

bool NotRunning(const CString&)
{
    return false;
}

std::wstring g_addOnHome;

CString AddOnFolder(int)
{
    return g_addOnHome.c_str();
}

// An installed add-on with no update description, whose starts are recorded, for the scope's
// time.
class AddOnSeams {
public:
    AddOnSeams()
    {
        g_addOnHome = testpaths::ScratchDir(L"PaneDirectEdit");
        for (const wchar_t* part : {L"\\Orlemsecurity", L"\\Orlemsecurity\\VariruDAD_DE"})
            ::CreateDirectoryW((g_addOnHome + part).c_str(), nullptr);
        HANDLE program = ::CreateFileW((g_addOnHome + L"\\Orlemsecurity\\VariruDAD_DE\\IxoDirectEdit.exe").c_str(),
                                       GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        made = program != INVALID_HANDLE_VALUE;
        if (made)
            ::CloseHandle(program);
        CDirectEditAddOn::s_pLaunch = RecordAddOnStart;
        CDirectEditAddOn::s_pDownload = NoDownload;
        CDirectEditAddOn::s_pRunning = NotRunning;
        CDirectEditAddOn::s_pFolder = AddOnFolder;
        g_addOnStarts.clear();
    }
    ~AddOnSeams()
    {
        CDirectEditAddOn::s_pLaunch = m_launch;
        CDirectEditAddOn::s_pDownload = m_download;
        CDirectEditAddOn::s_pRunning = m_running;
        CDirectEditAddOn::s_pFolder = m_folder;
    }
    bool made = false;

private:
    decltype(CDirectEditAddOn::s_pLaunch) m_launch = CDirectEditAddOn::s_pLaunch;
    decltype(CDirectEditAddOn::s_pDownload) m_download = CDirectEditAddOn::s_pDownload;
    decltype(CDirectEditAddOn::s_pRunning) m_running = CDirectEditAddOn::s_pRunning;
    decltype(CDirectEditAddOn::s_pFolder) m_folder = CDirectEditAddOn::s_pFolder;
};

}

TEST_F(CommandsTest, TheCommandBarsDirectEditStartsTheAddOnWithTheRowsFile)
{
    ASSERT_NE(nullptr, Open({L"My Files", L"Work"}));
    const std::string x = Idx("My Files/Work/x.txt");
    const int xRow = Row(L"x.txt");
    ASSERT_GE(xRow, 0);
    List().SetItemState(xRow, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    int started = -1;
    {
        AddOnSeams seams;
        ASSERT_TRUE(seams.made);
        m_proto.ServerAddress.WebServerAddress = L"http://web.test";
        m_proto.OptionInfo.UserFileLimited[0] = 'N';
        auto* bar = dynamic_cast<IServerListCommands*>(CWnd::FromHandle(m_right->GetSafeHwnd()));
        ASSERT_NE(nullptr, bar);
        started = bar->OnDirectEdit(xRow);
    }
    EXPECT_EQ(1, started);
    ASSERT_EQ(1u, g_addOnStarts.size());
    int count = 0;
    LPWSTR* args = ::CommandLineToArgvW((L"p.exe " + g_addOnStarts[0]).c_str(), &count);
    ASSERT_EQ(9, count);
    EXPECT_STREQ(L"http://web.test", args[1]);
    EXPECT_EQ(Wide(x), std::wstring(args[3])) << "the row's file";
    EXPECT_EQ(std::to_wstring(reinterpret_cast<INT_PTR>(m_right->GetSafeHwnd())), std::wstring(args[7]));
    ::LocalFree(args);
}

TEST_F(CommandsTest, ANewLinkMadeFromTheListMenuOpensTheMailLinkPageForTheRow)
{
    ASSERT_NE(nullptr, Open({L"My Files", L"Work"}));
    const std::string x = Idx("My Files/Work/x.txt");
    ASSERT_EQ("OK", Control("PERM idx=" + x + " value=0000000000001000000000000000000").substr(0, 2));
    Tree().DrawSubTreeNList(Tree().GetSelectedItem(), TREE_REFRESH_TREE_AND_LIST, false);
    WaitFilled();
    m_proto.ServerAddress.WebServerAddress = L"http://web.test";
    const int row = Row(L"x.txt");
    ASSERT_GE(row, 0);
    const auto* record = reinterpret_cast<const _PROTO_FOLDER_INFO*>(List().GetItemData(row));
    ASSERT_NE(nullptr, record);
    const std::wstring didx = servercmd::FieldText(record->DIDX).GetString();
    const std::wstring type = servercmd::FieldText(record->Attr27).GetString();
    List().SetItemState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    // The link dialog is confirmed as it opens, without a password, expiry or limit.
    uitest::AutoAnswer answers(nullptr, IDOK);
    std::vector<int> shown = ChooseFromMenu(List().GetSafeHwnd(), RowPoint(row), kLink);
    ASSERT_NE(shown.end(), std::find(shown.begin(), shown.end(), kLink));
    ASSERT_TRUE(answers.WaitForCount(1)) << "no link dialog";
    ASSERT_TRUE(uitest::WaitUntil([&] { return !m_ops.pages.empty(); }));
    const webcmd::PageRequest& page = m_ops.pages[0];
    EXPECT_EQ(13, page.kind);
    EXPECT_EQ(L"openMailLink", std::wstring(page.function.GetString()));
    const std::wstring body = page.body.GetString();
    const std::wstring start = std::wstring(L"link=mailLink&uid=") + CFormParam::Encode(m_proto.LoginInfo.UserId).GetString();
    EXPECT_EQ(start, body.substr(0, start.size()));
    EXPECT_NE(std::wstring::npos, body.find(L"&linfo=" + Wide(x) + L"%3A" + didx + L"%3Af&")) << body;
    EXPECT_NE(std::wstring::npos, body.find(L"&dtype=" + type + L"&usePasswd=N&linkPwd=&setExpDate=N&expDate="
                                            L"&limitDown=N&limitDownCnt="))
        << body;
    EXPECT_NE(std::string::npos, Control("LAST cmd=I0").find("cmd=I0")) << "the link was made first";
}

namespace {

// The send-file dialog as a user meets it, on a thread of its own while the dialog runs: it
// closes the dialog with Cancel, or picks the receiver whose member row names it and sends.
class SendFileUser {
public:
    explicit SendFileUser(const std::wstring& receiver) : m_receiver(receiver), m_thread([this] { Run(); }) {}
    ~SendFileUser()
    {
        m_stop = true;
        m_thread.join();
    }
    std::atomic<bool> sawDialog{false}, sent{false};

private:
    static std::wstring Cell(HWND list, int row, int column)
    {
        wchar_t text[256] = {};
        LVITEMW item = {};
        item.iSubItem = column;
        item.pszText = text;
        item.cchTextMax = 255;
        ::SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
        return text;
    }
    void Run()
    {
        while (!m_stop && !sent) {
            for (HWND dialog : uitest::FindTopWindows(L"#32770", nullptr)) {
                if (!::GetDlgItem(dialog, IDC_SEND_SEND) || !::IsWindowVisible(dialog))
                    continue;
                sawDialog = true;
                if (m_receiver.empty()) {
                    ::PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
                    sent = true;
                    break;
                }
                HWND members = ::GetDlgItem(dialog, IDC_PICKER_MEMBERS);
                const int count = static_cast<int>(::SendMessageW(members, LVM_GETITEMCOUNT, 0, 0));
                for (int row = 0; row < count; ++row) {
                    if (Cell(members, row, 2).find(m_receiver) == std::wstring::npos)
                        continue;
                    LVITEMW state = {};
                    state.stateMask = state.state = LVIS_SELECTED | LVIS_FOCUSED;
                    ::SendMessageW(members, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&state));
                    uitest::ClickButton(dialog, IDC_PICKER_COPY);
                    HWND receivers = ::GetDlgItem(dialog, IDC_PICKER_RECEIVERS);
                    for (int i = 0; i < 300 && ::SendMessageW(receivers, LVM_GETITEMCOUNT, 0, 0) == 0; ++i)
                        Sleep(10);
                    uitest::ClickButton(dialog, IDC_SEND_SEND);
                    sent = true;
                    break;
                }
            }
            Sleep(20);
        }
    }
    std::wstring m_receiver;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

}

TEST_F(CommandsTest, SendFileFromTheListMenuSendsTheRowsToTheChosenReceiverUnderTheModalRule)
{
    for (const char* line : {"GROUP id=g1 name=Sales",
                             "USER id=lee password=pw name=Lee%20Jun position=Clerk code=U002 group=g1 department=Sales"})
        ASSERT_EQ("OK", Control(line).substr(0, 2)) << line;
    ASSERT_NE(nullptr, Open({L"My Files", L"Work"}));
    const std::string x = Idx("My Files/Work/x.txt");
    std::string perm(31, '0');
    perm[VIEW] = perm[DOWNLOAD] = perm[SENDFILE] = '1';
    ASSERT_EQ("OK", Control("PERM idx=" + x + " value=" + perm).substr(0, 2));
    Tree().DrawSubTreeNList(Tree().GetSelectedItem(), TREE_REFRESH_TREE_AND_LIST, false);
    WaitFilled();
    const long sentBefore = std::atol(protoserver::Control::Value(Control("COUNT cmd=I3"), "exchanges").c_str());

    // Cancelled: the frame's rule around the dialog, nothing sent, nothing refreshed.
    int row = Row(L"x.txt");
    ASSERT_GE(row, 0);
    List().SetItemState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    {
        SendFileUser user(L"");
        std::vector<int> shown = ChooseFromMenu(List().GetSafeHwnd(), RowPoint(row), kSendFile);
        ASSERT_NE(shown.end(), std::find(shown.begin(), shown.end(), kSendFile));
        ASSERT_TRUE(uitest::WaitUntil([&] { return user.sent.load(); }));
        EXPECT_TRUE(user.sawDialog);
    }
    EXPECT_EQ((std::vector<std::string>{"begin 4 stop", "end"}), m_ops.events);
    EXPECT_EQ(sentBefore, std::atol(protoserver::Control::Value(Control("COUNT cmd=I3"), "exchanges").c_str()));

    // Sent to a user picked in the organisation: the file arrives in the receiver's file box,
    // the shown folder is listed again and the quota follows.
    m_ops.events.clear();
    row = Row(L"x.txt");
    List().SetItemState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    {
        SendFileUser user(L"lee");
        ChooseFromMenu(List().GetSafeHwnd(), RowPoint(row), kSendFile);
        ASSERT_TRUE(uitest::WaitUntil([&] { return user.sent.load(); }));
    }
    ASSERT_TRUE(uitest::WaitUntil([&] { return m_ops.events.size() >= 3; }));
    EXPECT_EQ((std::vector<std::string>{"begin 4 stop", "end", "quota"}), m_ops.events);
    const std::string last = Control("LAST cmd=I3");
    EXPECT_NE(std::string::npos, last.find("cmd=I3")) << last;
    EXPECT_NE(std::string::npos, Control("LIST user=lee -- File box").find("x.txt")) << "the receiver got the file";
    WaitFilled();
    EXPECT_GE(Row(L"x.txt"), 0) << "the sender keeps the file";
}

TEST_F(CommandsTest, TheWebLinkOfTheCustomersListMenuCarriesTheSelectedFilesAndTheirFolder)
{
    ASSERT_NE(nullptr, Open({L"My Files", L"Work"}));
    m_frame.customer = L"DWY_IN";
    m_proto.ServerAddress.WebServerAddress = L"http://web.test";
    const std::string x = Idx("My Files/Work/x.txt"), work = Idx("My Files/Work");
    const int xRow = Row(L"x.txt"), aRow = Row(L"a");
    ASSERT_TRUE(xRow >= 0 && aRow >= 0);
    const auto* folder = Tree().GetRecord(Tree().GetSelectedItem());
    ASSERT_NE(nullptr, folder);
    const std::wstring type = servercmd::FieldText(folder->Attr27).GetString();
    const std::wstring domain = CFormParam::Encode(m_proto.DomainIndexW).GetString();

    // A folder among the selected rows: no web link.
    List().SetItemState(xRow, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    List().SetItemState(aRow, LVIS_SELECTED, LVIS_SELECTED);
    std::vector<int> shown = ChooseFromMenu(List().GetSafeHwnd(), RowPoint(xRow), 0);
    EXPECT_EQ(shown.end(), std::find(shown.begin(), shown.end(), kWebLink));

    List().SetItemState(aRow, 0, LVIS_SELECTED);
    shown = ChooseFromMenu(List().GetSafeHwnd(), RowPoint(xRow), kWebLink);
    ASSERT_NE(shown.end(), std::find(shown.begin(), shown.end(), kWebLink));
    ASSERT_EQ(1u, m_ops.pages.size());
    const webcmd::PageRequest& page = m_ops.pages[0];
    EXPECT_EQ(10, page.kind);
    EXPECT_EQ(L"http://web.test/pm/app/appLoginProc.htm", std::wstring(page.url.GetString()));
    EXPECT_EQ(std::wstring(L"link=weblink&uid=") + CFormParam::Encode(m_proto.LoginInfo.UserId).GetString() +
                  L"&sess=" + CFormParam::Encode(CString(m_proto.LoginInfo.SessionId)).GetString() + L"&linfo=" +
                  Wide(x) + L"%3A" + domain + L"%3Af&didx=" + domain + L"&idx=" + Wide(work) + L"&dtype=" + type,
              std::wstring(page.body.GetString()));
    EXPECT_EQ(L"openWebLink", std::wstring(page.function.GetString()));
    EXPECT_TRUE(m_ops.events.empty()) << "a page is no modal operation";

    // Chosen with the click beside the rows: the selected row names the folder.
    const std::wstring body = page.body.GetString();
    m_ops.pages.clear();
    m_right->RunListCommand(kWebLink, -1);
    ASSERT_EQ(1u, m_ops.pages.size());
    EXPECT_EQ(body, std::wstring(m_ops.pages[0].body.GetString()));
}

TEST_F(CommandsTest, ADoubleClickOnAFileDoesWhatTheOptionsAndItsPermissionsChoose)
{
    for (const char* path : {"My Files/Pics/photo.JPG", "My Files/Pics/plan.doc"})
        ASSERT_EQ("OK", Control(std::string("FILE user=road size=20 -- ") + path).substr(0, 2));
    const std::string photo = Idx("My Files/Pics/photo.JPG"), plan = Idx("My Files/Pics/plan.doc");
    const std::string pics = Idx("My Files/Pics");
    ASSERT_NE(nullptr, Open({L"My Files", L"Pics"}));
    m_right->Pane()->SetThumbnailSource(L"JPG;png", 0, 0);
    m_proto.ServerAddress.WebServerAddress = L"http://web.test";
    m_proto.OptionInfo.UserFileLimited[0] = 'N';
    AddOnSeams seams;
    ASSERT_TRUE(seams.made);

    struct Case {
        const char* what;
        const wchar_t* name;
        std::vector<int> allowed;
        char noAction, imageViewer, directEdit, doubleClickEdit;
        std::string expected;   // "page N", "download 1", "edit", or "" for nothing
    } cases[] = {
        {"double-click actions off", L"photo.JPG", {VIEW, DOCVIEW, DOWNLOAD}, 'Y', 'Y', 'Y', 'Y', ""},
        {"a picture in the slide viewer", L"photo.JPG", {VIEW, DOWNLOAD}, 'N', 'Y', 'N', 'N', "page 12"},
        {"a picture downloaded", L"photo.JPG", {VIEW, DOWNLOAD}, 'N', 'N', 'N', 'N', "download 1"},
        {"direct edit", L"plan.doc", {VIEW, DR_EDIT, DOCVIEW}, 'N', 'N', 'Y', 'Y', "edit"},
        {"direct edit, but not on a double-click", L"plan.doc", {VIEW, DR_EDIT, DOCVIEW}, 'N', 'N', 'Y', 'N', "page 8"},
        {"no direct edit on this server", L"plan.doc", {VIEW, DR_EDIT, DOCVIEW}, 'N', 'N', 'N', 'Y', "page 8"},
        {"the document viewer", L"plan.doc", {VIEW, DR_EDIT, DOCVIEW, DOWNLOAD}, 'N', 'N', 'N', 'N', "page 8"},
        {"a download", L"plan.doc", {VIEW, DOWNLOAD}, 'N', 'N', 'N', 'N', "download 1"},
        {"nothing allowed", L"plan.doc", {VIEW}, 'N', 'N', 'Y', 'Y', ""},
    };
    for (const Case& c : cases) {
        std::string perm(31, '0');
        for (int p : c.allowed)
            perm[p] = '1';
        const std::string idx = std::wstring(c.name) == L"plan.doc" ? plan : photo;
        ASSERT_EQ("OK", Control("PERM idx=" + idx + " value=" + perm).substr(0, 2));
        Tree().DrawSubTreeNList(Tree().GetSelectedItem(), TREE_REFRESH_TREE_AND_LIST, false);
        WaitFilled();
        m_proto.OptionInfo.DbClickNoAction[0] = c.noAction;
        m_proto.OptionInfo.SubOption[0] = c.imageViewer;
        m_proto.OptionInfo.DirectEdit[0] = c.directEdit;
        m_proto.OptionInfo.DbClickDirectEdit[0] = c.doubleClickEdit;
        m_ops.pages.clear();
        m_ops.events.clear();
        g_addOnStarts.clear();

        const int row = Row(c.name);
        ASSERT_GE(row, 0) << c.what;
        const POINT at = RowPoint(row);
        POINT screen = at;
        ClientToScreen(List().GetSafeHwnd(), &screen);
        SetCursorPos(screen.x, screen.y);
        const LPARAM where = MAKELPARAM(at.x, at.y);
        List().PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, where);
        List().PostMessage(WM_LBUTTONUP, 0, where);
        List().PostMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, where);
        List().PostMessage(WM_LBUTTONUP, 0, where);
        uitest::PumpMessages();

        std::string seen;
        for (const webcmd::PageRequest& page : m_ops.pages)
            seen += "page " + std::to_string(page.kind);
        for (const std::string& e : m_ops.events)
            seen += e;
        if (!g_addOnStarts.empty())
            seen += "edit";
        EXPECT_EQ(c.expected, seen) << c.what;
        if (c.expected == "page 12") {
            ASSERT_EQ(1u, m_ops.pages.size());
            EXPECT_EQ(L"openSlideViewer", std::wstring(m_ops.pages[0].function.GetString()));
            const std::wstring body = m_ops.pages[0].body.GetString();
            EXPECT_NE(std::wstring::npos, body.find(L"&data=" + Wide(pics) + L"%2C" + Wide(photo) + L"%2C")) << body;
        } else if (c.expected == "page 8") {
            ASSERT_EQ(1u, m_ops.pages.size());
            EXPECT_EQ(L"openDocView", std::wstring(m_ops.pages[0].function.GetString()));
            EXPECT_NE(std::wstring::npos, std::wstring(m_ops.pages[0].body.GetString()).find(L"&idx=" + Wide(plan)));
        } else if (c.expected == "edit") {
            EXPECT_NE(std::wstring::npos, g_addOnStarts[0].find(Wide(plan))) << "the row's file";
        }
    }
}

TEST_F(CommandsTest, ADeleteWhoseConnectionBreaksIsReportedAndTheFileStays)
{
    ASSERT_NE(nullptr, Open({L"My Files", L"Work"}));
    const int row = Row(L"x.txt");
    ASSERT_GE(row, 0);
    List().SetItemState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    ASSERT_EQ("OK", Control("FAULT close count=* cmd=F2").substr(0, 2));
    uitest::AutoAnswer answers(nullptr, IDOK);
    EXPECT_FALSE(m_right->DeleteRows(false)) << "nothing was deleted";
    ASSERT_EQ(2, answers.Count()) << "the question and the failure";
    const auto texts = answers.Seen().back().texts;
    EXPECT_TRUE(std::any_of(texts.begin(), texts.end(), [](const std::wstring& t) { return !t.empty(); }));
    EXPECT_EQ((std::vector<std::string>{"begin 0 stop", "end"}), m_ops.events) << "no quota refresh";
    EXPECT_FALSE(Idx("My Files/Work/x.txt").empty());
}

// The server tree and list in a host window against the test server: listing page by page, the
// change check, the filling worker's columns and order, rename through the label edit, forced
// log-out, a server that never ends a listing, and a refresh that arrives during another one.
#include <winsock2.h>
#include "RoadServer.h"
#include "AutoAnswer.h"
#include "CircularProgressThread.h"
#include "CircularProgressWnd.h"
#include "DragDrop.h"
#include "HexBytes.h"
#include "OleDataObject.h"
#include "ServerClipboard.h"
#include "PaneMessages.h"
#include "RecordCodec.h"
#include "ServerListCtrl.h"
#include "ServerListPane.h"
#include "ServerTreeCtrl.h"
#include "ThumbnailCache.h"
#include "ToviMsg.h"
#include "ToviRegistry.h"
#include "ToviString.h"
#include "ToviTextLanguage.h"
#include "PixelCapture.h"
#include "WindowDriver.h"
#include "Wnd.h"
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

using namespace road;

namespace {

// The frame as the controls see it: records what they tell it.
class FakeFrame : public IServerFrameHost {
public:
    bool IsLoggedIn() override { return true; }
    int CheckFolderPassword(const _PROTO_FOLDER_INFO&, bool) override { return 0; }
    void PostForcedLogout() override { ++logouts; }
    void SetMenuButtonState(const ServerMenuState& state) override { menu = state; ++menuUpdates; }
    bool IsDownloadTarget() override { return true; }
    void SetUploadAllowed(bool allowed) override { upload = allowed; }
    void SetViewButtonsEnabled(bool enabled) override { viewButtons = enabled; }
    void EnableSearchBox(bool enabled) override { search = enabled; }
    CString GetCustomerCode() override { return L"TESTSRV"; }
    bool IsLabelEditing() override { return editing; }
    void SetLabelEditing(bool e) override { editing = e; }
    void SetActivePane(int, int) override {}
    void SetDragSource(const CString& tag) override { dragSource = tag; }

    int logouts = 0;
    int menuUpdates = 0;
    ServerMenuState menu;
    bool upload = false, viewButtons = false, search = false, editing = false;
    CString dragSource;
};

// Passes everything to the real pane and notes the order of events; a hook may run inside the
// first stop, as a message pumped while the worker ends would.
class RecordingSide : public IServerListSide {
public:
    explicit RecordingSide(IServerListSide* real) : m_real(real) {}
    void StopListThread() override
    {
        events.push_back("stop");
        if (onStop) {
            auto hook = onStop;
            onStop = nullptr;
            hook();
        }
        m_real->StopListThread();
    }
    void ClearList() override { m_real->ClearList(); }
    void SetListColumn(const _PROTO_FOLDER_INFO& f) override { m_real->SetListColumn(f); }
    bool IsThumbnailView() override { return m_real->IsThumbnailView(); }
    void SetReportView() override { m_real->SetReportView(); }
    void SetListData(std::vector<_PROTO_FOLDER_INFO> items) override
    {
        events.push_back("data " + std::to_string(items.size()));
        m_real->SetListData(std::move(items));
    }
    bool StartListThread() override { return m_real->StartListThread(); }

    std::vector<std::string> events;
    std::function<void()> onStop;

private:
    IServerListSide* m_real;
};

class CHostWnd : public CWnd {};

class BrowseTest : public RoadTest {
protected:
    void SetUp() override
    {
        RoadTest::SetUp();
        ASSERT_EQ(0, LogIn(m_proto)) << m_proto.Message();
        ASSERT_EQ("OK", Control("SWITCH pageSize=2").substr(0, 2));
        for (const char* name : {"f10", "f2", "f1"})
            ASSERT_EQ("OK", Control(std::string("FOLDER user=road -- My Files/Docs/") + name).substr(0, 2));
        ASSERT_EQ("OK", Control("FILE user=road size=1536 -- My Files/Docs/file10.txt").substr(0, 2));
        ASSERT_EQ("OK", Control("FILE user=road size=20 -- My Files/Docs/file2.txt").substr(0, 2));
        ASSERT_EQ("OK", Control("FOLDER user=road -- My Files/Other").substr(0, 2));
        ASSERT_EQ("OK", Control("FILE user=road size=5 -- My Files/Other/only.txt").substr(0, 2));
        Ui([this] {
            m_made[0] = m_host.CreateEx(0, nullptr, L"Server panes", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 900, 500, nullptr,
                            nullptr);
            m_made[1] = m_tree.Create(WS_CHILD | WS_VISIBLE | WS_BORDER | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT |
                              TVS_SHOWSELALWAYS,
                          CRect(0, 0, 250, 460), &m_host, 100);
            m_made[2] = m_list.Create(WS_CHILD | WS_VISIBLE | WS_BORDER | LVS_REPORT | LVS_SHOWSELALWAYS, CRect(255, 0, 880, 460),
                          &m_host, 101);
            m_pane.reset(new CServerListPane(&m_list, &m_tree, &m_proto));
            m_side.reset(new RecordingSide(m_pane.get()));
            m_tree.SetSession(&m_proto, &m_frame, m_side.get());
            m_list.SetSession(&m_proto, &m_frame, &m_tree, m_pane.get());
        });
        ASSERT_TRUE(m_made[0] && m_made[1] && m_made[2]);
        bool top = false;
        Ui([&] { top = m_tree.DrawTreeRoot(nullptr); });
        ASSERT_TRUE(top);
    }
    void TearDown() override
    {
        Ui([this] {
            m_pane.reset();
            m_host.DestroyWindow();
        });
        RoadTest::TearDown();
    }

    // The controls live on the test thread, which pumps their messages while it waits.
    static bool Ui(const std::function<void()>& work)
    {
        work();
        return true;
    }
    HTREEITEM Child(HTREEITEM parent, const wchar_t* name)
    {
        HTREEITEM found = nullptr;
        Ui([&] {
            for (HTREEITEM i = parent ? m_tree.GetChildItem(parent) : m_tree.GetRootItem(); i;
                 i = m_tree.GetNextSiblingItem(i))
                if (_PROTO_FOLDER_INFO* r = m_tree.GetRecord(i); r && std::wstring(r->Name) == name)
                    found = i;
        });
        return found;
    }
    // Selects item as a click would and waits for the list to be filled.
    void Select(HTREEITEM item)
    {
        Ui([&] { m_tree.SelectItem(item); });
        WaitFilled();
    }
    void WaitFilled()
    {
        ASSERT_TRUE(uitest::WaitUntil([&] {
            bool filling = true;
            Ui([&] { filling = m_pane->IsFilling(); });
            return !filling;
        }));
    }
    std::vector<std::wstring> Row(int row)
    {
        std::vector<std::wstring> cells;
        Ui([&] {
            HWND header = reinterpret_cast<HWND>(::SendMessage(m_list.GetSafeHwnd(), LVM_GETHEADER, 0, 0));
            int columns = static_cast<int>(::SendMessage(header, HDM_GETITEMCOUNT, 0, 0));
            for (int c = 0; c < columns; ++c)
                cells.push_back(m_list.GetItemText(row, c).GetString());
        });
        return cells;
    }
    std::vector<std::wstring> Names()
    {
        std::vector<std::wstring> names;
        int count = 0;
        Ui([&] { count = m_list.GetItemCount(); });
        for (int i = 0; i < count; ++i)
            names.push_back(Row(i)[0]);
        return names;
    }
    long Exchanges()
    {
        return std::atol(protoserver::Control::Value(Control("COUNT"), "exchanges").c_str());
    }
    std::string Idx(const std::string& path)
    {
        return protoserver::Control::Value(Control("ITEM user=road -- " + path), "idx");
    }
    HTREEITEM OpenDocs()
    {
        HTREEITEM myFiles = Child(nullptr, L"My Files");
        EXPECT_NE(nullptr, myFiles);
        Select(myFiles);
        HTREEITEM docs = Child(myFiles, L"Docs");
        EXPECT_NE(nullptr, docs);
        Select(docs);
        return docs;
    }

    BOOL m_made[3] = {};
    FakeFrame m_frame;
    CHostWnd m_host;
    CServerTreeCtrl m_tree;
    CServerListCtrl m_list;
    std::unique_ptr<CServerListPane> m_pane;
    std::unique_ptr<RecordingSide> m_side;
};

}

TEST_F(BrowseTest, AFolderIsListedPageByPageIntoTheListFoldersFirstInNaturalOrder)
{
    EXPECT_NE(nullptr, Child(nullptr, L"Recycle Bin"));
    HTREEITEM docs = OpenDocs();
    ASSERT_NE(nullptr, docs);
    EXPECT_EQ((std::vector<std::wstring>{L"f1", L"f2", L"f10", L"file2.txt", L"file10.txt"}), Names());
    std::vector<std::wstring> file10 = Row(4);
    ASSERT_EQ(5u, file10.size()) << "name, size, type, date, status";
    EXPECT_EQ(L"2KB", file10[1]);
    EXPECT_EQ(19u, file10[3].size()) << file10[3];
    EXPECT_EQ(L"", Row(0)[1]) << "folders show no size";
    // The last D0 asked for Docs, every entry.
    std::string last = Control("LAST cmd=D0");
    EXPECT_NE(std::string::npos, last.find("173:" + hexbytes::UpperHex(Idx("My Files/Docs")))) << last;
    // Docs' sub-folders are now its tree children, sorted by name.
    EXPECT_NE(nullptr, Child(docs, L"f10"));
    // The command bar follows the folder's permissions.
    EXPECT_TRUE(m_frame.menu.newFolder);
    EXPECT_TRUE(m_frame.menu.remove);
    EXPECT_STREQ(L"2222", m_frame.menu.vrwd.GetString());

    // A click on the name column sorts descending, folders stay first.
    Ui([&] {
        NMLISTVIEW click = {};
        click.hdr.hwndFrom = m_list.GetSafeHwnd();
        click.hdr.idFrom = 101;
        click.hdr.code = LVN_COLUMNCLICK;
        click.iSubItem = 0;
        m_host.SendMessage(WM_NOTIFY, 101, reinterpret_cast<LPARAM>(&click));
    });
    EXPECT_EQ((std::vector<std::wstring>{L"f10", L"f2", L"f1", L"file10.txt", L"file2.txt"}), Names());
}

// The tree keeps a folder's content packed; what it gives back for a "no change" answer must
// be the listing itself, field by field, long texts and empty ones alike.
TEST_F(BrowseTest, TheKeptContentOfAFolderIsItsListingFieldByField)
{
    const std::wstring longName(60, L'\xAC00');
    std::string longUtf8;
    for (size_t i = 0; i < longName.size(); ++i)
        longUtf8 += "\xEA\xB0\x80";
    ASSERT_EQ("OK", Control("FILE user=road size=123456789 -- My Files/Docs/" + longUtf8 + ".txt").substr(0, 2));
    HTREEITEM docs = OpenDocs();
    ASSERT_NE(nullptr, docs);
    std::vector<_PROTO_FOLDER_INFO> kept, listed;
    Ui([&] {
        kept = m_tree.CachedChildren(m_tree.GetRecord(docs));
        _PROTO_FOLDER_INFO* folder = m_tree.GetRecord(docs);
        for (bool first = true;; first = false) {
            if (m_proto.GetFolderInfo(folder->IDX, folder->DIDX, const_cast<char*>("A"), false, first) != 0 ||
                m_proto.ContinueFlag[0] == 'N')
                break;
        }
        listed = m_proto.FolderInfo;
        m_proto.ReleaseFolderInfo();
    });
    ASSERT_EQ(6u, kept.size());
    size_t matched = 0;
    for (const _PROTO_FOLDER_INFO& k : kept) {
        for (const _PROTO_FOLDER_INFO& l : listed) {
            if (std::strcmp(k.IDX, l.IDX) != 0)
                continue;
            ++matched;
            SCOPED_TRACE(k.IDX);
#define SAME(field) EXPECT_EQ(0, std::memcmp(k.field, l.field, sizeof k.field)) << #field
            SAME(ItemType); SAME(DIDX); SAME(Name); SAME(Attr188); SAME(Attr190); SAME(Attr191); SAME(Attr197);
            SAME(Attr192); SAME(Attr9); SAME(Attr232); SAME(Attr13); SAME(Attr169); SAME(Attr183); SAME(Attr138);
#undef SAME
        }
    }
    EXPECT_EQ(kept.size(), matched);
    EXPECT_TRUE(std::any_of(kept.begin(), kept.end(), [&](const _PROTO_FOLDER_INFO& r) {
        return std::wstring(r.Name) == longName + L".txt";
    }));
}

TEST_F(BrowseTest, AnUnchangedCachedFolderIsShownWithoutAListingRequest)
{
    HTREEITEM docs = OpenDocs();
    ASSERT_NE(nullptr, docs);
    long before = Exchanges();
    bool listed = false;
    Ui([&] { listed = m_tree.DrawSubTreeNList(docs, TREE_REFRESH_TREE_AND_LIST, true); });
    ASSERT_TRUE(listed);
    WaitFilled();
    EXPECT_EQ(1, Exchanges() - before) << "only the change check";
    EXPECT_NE(std::string::npos, Control("LAST cmd=D4").find("cmd=D4"));
    EXPECT_EQ(5u, Names().size());

    // A new file: the check says so and the folder is listed again.
    ASSERT_EQ("OK", Control("FILE user=road size=1 -- My Files/Docs/new.txt").substr(0, 2));
    Ui([&] { listed = m_tree.DrawSubTreeNList(docs, TREE_REFRESH_TREE_AND_LIST, true); });
    ASSERT_TRUE(listed);
    WaitFilled();
    EXPECT_EQ(6u, Names().size());
}

TEST_F(BrowseTest, RenameThroughTheLabelEditObeysTheNameRulesAndTheServer)
{
    ASSERT_NE(nullptr, OpenDocs());
    uitest::AutoAnswer boxes(nullptr, IDOK);
    // The end of the edit as the list reports it: the edited text in the notification.
    auto end = [&](int row, const wchar_t* text) {
        Ui([&] {
            NMLVDISPINFOW info = {};
            info.hdr.hwndFrom = m_list.GetSafeHwnd();
            info.hdr.idFrom = 101;
            info.hdr.code = LVN_ENDLABELEDITW;
            info.item.iItem = row;
            info.item.pszText = const_cast<wchar_t*>(text);
            m_list.m_nEditMode = 1;
            m_host.SendMessage(WM_NOTIFY, 101, reinterpret_cast<LPARAM>(&info));
        });
    };
    end(3, L"b:c");
    ASSERT_TRUE(boxes.WaitForCount(1));
    end(3, L"FILE10.TXT");
    ASSERT_TRUE(boxes.WaitForCount(2));
    EXPECT_EQ("", Idx("My Files/Docs/b:c"));
    auto seen = boxes.Seen();
    auto holds = [](const std::vector<std::wstring>& texts, const CString& message) {
        for (const std::wstring& t : texts)
            if (t == message.GetString())
                return true;
        return false;
    };
    EXPECT_TRUE(holds(seen[0].texts, CToviMsg::GetString(12077)));
    EXPECT_TRUE(holds(seen[1].texts, CToviMsg::GetString(12078)));

    end(3, L"  renamed.txt. ");
    ASSERT_TRUE(uitest::WaitUntil([&] { return !Idx("My Files/Docs/renamed.txt").empty(); }));
    WaitFilled();
    EXPECT_EQ(L"renamed.txt", Names()[4]);

    // The server's refusal is shown as the server wrote it.
    ASSERT_EQ("OK", Control("FAULT error reply=E0 code=1310 cmd=F3 -- Name taken").substr(0, 2));
    end(3, L"other.txt");
    ASSERT_TRUE(boxes.WaitForCount(3));
    EXPECT_TRUE(holds(boxes.Seen()[2].texts, L"Name taken"));
    EXPECT_FALSE(m_frame.editing);
}

TEST_F(BrowseTest, ForcedCloseDuringAListingLogsOutOnce)
{
    HTREEITEM myFiles = Child(nullptr, L"My Files");
    ASSERT_NE(nullptr, myFiles);
    ASSERT_EQ("OK", Control("FAULT error reply=E0 code=1213 cmd=D0 count=* -- Session ended").substr(0, 2));
    uitest::AutoAnswer boxes(nullptr, IDOK);
    Ui([&] { m_tree.SelectItem(myFiles); });
    EXPECT_EQ(1, m_frame.logouts);
    EXPECT_EQ(0, boxes.Count()) << "no message for a forced close";
    EXPECT_TRUE(m_tree.IsForcedClose());
}

TEST_F(BrowseTest, AServerThatNeverEndsAListingFailsIt)
{
    HTREEITEM myFiles = Child(nullptr, L"My Files");
    ProtRecord item;
    item[25] = "D";
    item[173] = "555";
    item[177] = "1";
    item[181] = "loop";
    ProtRecord more;
    more[44] = "Y";
    ASSERT_EQ("OK", Control("FAULT payload count=* cmd=D0 hex=" + RecordHex({item, more})).substr(0, 2));
    long before = Exchanges();
    bool listed = true;
    Ui([&] {
        m_tree.m_nMaxPages = 4;
        listed = m_tree.DrawSubTreeNList(myFiles, TREE_REFRESH_TREE_ONLY, false);
    });
    EXPECT_FALSE(listed);
    EXPECT_EQ(4, Exchanges() - before);
}

TEST_F(BrowseTest, ARefreshArrivingDuringAnotherRunsAfterIt)
{
    HTREEITEM myFiles = Child(nullptr, L"My Files");
    Select(myFiles);
    HTREEITEM docs = Child(myFiles, L"Docs");
    HTREEITEM other = Child(myFiles, L"Other");
    ASSERT_TRUE(docs && other);
    m_side->events.clear();
    // While the Docs listing stops the worker, a message asks for Other.
    m_side->onStop = [&] { m_tree.DrawSubTreeNList(other, TREE_REFRESH_LIST_ONLY, false); };
    Ui([&] { m_tree.DrawSubTreeNList(docs, TREE_REFRESH_LIST_ONLY, false); });
    ASSERT_TRUE(uitest::WaitUntil([&] {
        size_t n = 0;
        Ui([&] { n = m_side->events.size(); });
        return n >= 4;
    }));
    WaitFilled();
    EXPECT_EQ((std::vector<std::string>{"stop", "data 5", "stop", "data 1"}), m_side->events);
    EXPECT_EQ((std::vector<std::wstring>{L"only.txt"}), Names());
}

TEST_F(BrowseTest, RecycleBinRowsKeepEachValueInItsOwnColumn)
{
    // The reply's dates are turned day-first in an English session, which another program's run may
    // have stored: this test reads a Korean one.
    HKEY product = nullptr;
    ::RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Varivivod\\VariruDAD", 0, nullptr, 0, KEY_WRITE, nullptr, &product,
                      nullptr);
    if (product)
        ::RegCloseKey(product);
    ASSERT_TRUE(CToviRegistry::SetLanguage(0, 0x12));
    HTREEITEM bin = Child(nullptr, L"Recycle Bin");
    ASSERT_NE(nullptr, bin);
    Select(bin);
    ProtRecord special;
    special[25] = "D";
    special[27] = "D";
    special[173] = "2";
    special[177] = "1";
    special[181] = "Kept";
    ProtRecord file;
    file[25] = "F";
    file[173] = "901";
    file[177] = "1";
    file[181] = "gone.txt";
    file[197] = "My Files/old";
    file[192] = "2048";
    file[188] = "2026-01-02 13:04:05";
    ProtRecord last;
    last[44] = "N";
    ASSERT_EQ("OK", Control("FAULT payload cmd=D0 hex=" + RecordHex({special, file, last})).substr(0, 2));
    Ui([&] { m_tree.DrawSubTreeNList(bin, TREE_REFRESH_LIST_ONLY, false); });
    WaitFilled();
    ASSERT_EQ((std::vector<std::wstring>{L"Kept", L"gone.txt"}), Names());
    // Name, former location, size, type, date, status.
    std::vector<std::wstring> kept = Row(0), gone = Row(1);
    ASSERT_EQ(6u, kept.size());
    EXPECT_EQ(L"", kept[1]);
    EXPECT_EQ(L"", kept[2]) << "a folder shows no size";
    EXPECT_EQ(std::wstring(CToviString::GetString(14187).GetString()), kept[3]);
    EXPECT_EQ(L"", kept[4]);
    EXPECT_EQ(L"My Files/old", gone[1]);
    EXPECT_EQ(L"2KB", gone[2]);
    EXPECT_NE(L"", gone[3]);
    EXPECT_EQ(std::wstring(L"2026-01-02 ") + CToviString::GetString(14186).GetString() + L" 01:04", gone[4]);
}

// Not a check: pictures of the panes for a person to look at, in both languages.
TEST_F(BrowseTest, ScreenshotsOfTheListedFolder)
{
    const wchar_t* dir = _wgetenv(L"PANES_SHOTS");
    if (!dir)
        GTEST_SKIP() << "set PANES_SHOTS to a folder to take them";
    for (LANGID language : {LANGID(0x12), LANGID(0x09)}) {
        CToviTextLanguage::SetThreadLanguage(language);
        HTREEITEM docs = OpenDocs();
        Ui([&] { m_tree.DrawSubTreeNList(docs, TREE_REFRESH_TREE_AND_LIST, false); });
        WaitFilled();
        Ui([&] { m_tree.Expand(docs, TVE_EXPAND); });
        uitest::PumpMessages();
        std::wstring path = std::wstring(dir) + (language == 0x12 ? L"\\panes-ko.png" : L"\\panes-en.png");
        EXPECT_TRUE(uitest::SavePng(uitest::CaptureWindow(m_host.GetSafeHwnd(), 500), path));
    }
    CToviTextLanguage::SetThreadLanguage(0);
}

TEST_F(BrowseTest, ClosingOneListLeavesTheSharedIconsToTheOthers)
{
    {
        CServerListCtrl other;
        ASSERT_TRUE(other.Create(WS_CHILD | LVS_REPORT, CRect(0, 0, 10, 10), &m_host, 102));
        CServerListPane pane(&other, &m_tree, &m_proto);
        other.DestroyWindow();
    }
    HIMAGELIST icons = reinterpret_cast<HIMAGELIST>(::SendMessage(m_list.GetSafeHwnd(), LVM_GETIMAGELIST, LVSIL_SMALL, 0));
    ASSERT_NE(nullptr, icons);
    EXPECT_LT(0, ImageList_GetImageCount(icons)) << "the list's icons went with the other list";
}

TEST_F(BrowseTest, TheCommandBarFollowsTheSelectedRowsPermissions)
{
    ASSERT_NE(nullptr, OpenDocs());
    std::string file2 = Idx("My Files/Docs/file2.txt");
    ASSERT_EQ("OK", Control("PERM idx=" + file2 + " value=1000000000000000000000000000000").substr(0, 2));
    Ui([&] { m_tree.DrawSubTreeNList(m_tree.GetSelectedItem(), TREE_REFRESH_LIST_ONLY, false); });
    WaitFilled();
    ASSERT_EQ(L"file2.txt", Names()[3]);
    Ui([&] { m_list.SetItemState(4, LVIS_SELECTED, LVIS_SELECTED); });
    EXPECT_TRUE(m_frame.menu.copy && m_frame.menu.remove && m_frame.menu.cut);
    Ui([&] {
        m_list.SetItemState(4, 0, LVIS_SELECTED);
        m_list.SetItemState(3, LVIS_SELECTED, LVIS_SELECTED);
    });
    EXPECT_FALSE(m_frame.menu.copy || m_frame.menu.remove || m_frame.menu.cut) << "view only";
    EXPECT_FALSE(m_frame.menu.download);
}

TEST_F(BrowseTest, ThePictureViewHoldsOneImagePerShownRowAcrossFolders)
{
    HTREEITEM docs = OpenDocs();
    ASSERT_NE(nullptr, docs);
    Ui([&] { m_pane->SetThumbnailView(true, true); });
    WaitFilled();
    ASSERT_EQ(5u, Names().size());
    HIMAGELIST pictures = m_pane->ThumbnailImages();
    ASSERT_NE(nullptr, pictures);
    EXPECT_EQ(5, ImageList_GetImageCount(pictures));
    // Another folder: the images of the first go with its rows.
    HTREEITEM other = Child(Child(nullptr, L"My Files"), L"Other");
    ASSERT_NE(nullptr, other);
    Select(other);
    ASSERT_EQ((std::vector<std::wstring>{L"only.txt"}), Names());
    EXPECT_EQ(1, ImageList_GetImageCount(m_pane->ThumbnailImages()));
    Select(docs);
    EXPECT_EQ(5, ImageList_GetImageCount(m_pane->ThumbnailImages()));
    Ui([&] { m_pane->SetThumbnailView(false, true); });
    WaitFilled();
    EXPECT_EQ(5u, Names().size());
}

// The busy spinner is the list's from its creation to its destruction, on a thread of its own.
TEST_F(BrowseTest, TheListsSpinnerRunsOnItsOwnThreadUntilTheListIsGone)
{
    CCircularProgressThread* spinner = m_list.Spinner();
    ASSERT_NE(nullptr, spinner);
    ASSERT_TRUE(spinner->WaitUntilReady(5000));
    ASSERT_NE(nullptr, spinner->GetSpinner());
    HWND wnd = spinner->GetSpinner()->m_hWnd;
    EXPECT_EQ(m_list.GetSafeHwnd(), ::GetParent(wnd));
    EXPECT_NE(::GetCurrentThreadId(), ::GetWindowThreadProcessId(wnd, nullptr));
    EXPECT_FALSE(::IsWindowVisible(wnd)) << "shown while nothing fills the list";
    HANDLE thread = nullptr;
    ASSERT_TRUE(::DuplicateHandle(::GetCurrentProcess(), spinner->m_hThread, ::GetCurrentProcess(), &thread, SYNCHRONIZE,
                                  FALSE, 0));
    Ui([&] {
        m_pane.reset();
        m_host.DestroyWindow();
    });
    EXPECT_EQ(static_cast<DWORD>(WAIT_OBJECT_0), ::WaitForSingleObject(thread, 3000))
        << "the spinner's thread outlived its list";
    EXPECT_FALSE(::IsWindow(wnd));
    ::CloseHandle(thread);
}

// A picture run whose own connection the server refuses ends at once, and takes its spinner
// away with it.
TEST_F(BrowseTest, APictureRunWithoutItsOwnConnectionEndsWithTheSpinnerHidden)
{
    ASSERT_NE(nullptr, OpenDocs());
    CCircularProgressThread* spinner = m_list.Spinner();
    ASSERT_NE(nullptr, spinner);
    ASSERT_TRUE(spinner->WaitUntilReady(5000));
    HWND wnd = spinner->GetSpinner()->m_hWnd;
    ASSERT_FALSE(::IsWindowVisible(wnd)) << "a finished run left the spinner up";
    ASSERT_EQ("OK", Control("FAULT error reply=E0 code=1500 cmd=A0 -- no pictures today").substr(0, 2));
    Ui([&] { m_pane->SetThumbnailView(true, true); });
    WaitFilled();
    EXPECT_EQ("0", protoserver::Control::Value(Control("FAULTS"), "n")) << "the run asked for no connection";
    EXPECT_TRUE(Names().empty());
    EXPECT_FALSE(::IsWindowVisible(wnd)) << "the failed run left the spinner turning";
}

namespace {

// A picture of the seeded Pics folder that the server sends in pages of 40 bytes: a red PNG
// made here, and where the picture view keeps it.
class PagedPictureTest : public BrowseTest {
protected:
    void SetUp() override
    {
        BrowseTest::SetUp();
        if (HasFatalFailure())
            return;
        uitest::Pixels red;
        red.width = 60;
        red.height = 45;
        red.bgra.assign(60 * 45, 0x00FF0000);
        const std::wstring made = Scratch(L"red.png");
        ASSERT_TRUE(uitest::SavePng(red, made));
        m_png = ReadLocal(made);
        ASSERT_LT(3 * 40u, m_png.size()) << "more than three pages";
        ASSERT_EQ("OK", Control("FILE user=road hex=" + hexbytes::UpperHex(m_png) + " -- My Files/Pics/red.png").substr(0, 2));
        ASSERT_EQ("OK", Control("SWITCH thumbnailPageBytes=40").substr(0, 2));
        const std::vector<_PROTO_FOLDER_INFO> items = ListAll(m_proto, Idx("My Files/Pics"), "1");
        const _PROTO_FOLDER_INFO* record = Find(items, L"red.png");
        ASSERT_NE(nullptr, record);
        m_cached = ThumbnailCacheDir() + L"\\" + ThumbnailCacheName(record->IDX, record->DIDX, record->Attr188);
        // A run before may have left a picture of the same name.
        DeleteFileW(m_cached.GetString());
        HTREEITEM myFiles = Child(nullptr, L"My Files");
        ASSERT_NE(nullptr, myFiles);
        Select(myFiles);
        m_pics = Child(myFiles, L"Pics");
        ASSERT_NE(nullptr, m_pics);
        Select(m_pics);
    }
    long Requests()
    {
        return std::atol(protoserver::Control::Value(Control("COUNT cmd=I2"), "requests").c_str());
    }
    bool Cached() { return GetFileAttributesW(m_cached.GetString()) != INVALID_FILE_ATTRIBUTES; }

    std::string m_png;
    CString m_cached;
    HTREEITEM m_pics = nullptr;
};

}

TEST_F(PagedPictureTest, APictureSentInPagesShowsInThePictureViewAndStaysWholeInTheCache)
{
    const long before = Requests();
    Ui([&] { m_pane->SetThumbnailView(true, true); });
    WaitFilled();
    EXPECT_LT(before + 3, Requests()) << "the picture came in pages";
    ASSERT_TRUE(Cached());
    EXPECT_TRUE(ReadLocal(m_cached.GetString()) == m_png) << "the cached picture is the server's, byte for byte";
    HIMAGELIST pictures = m_pane->ThumbnailImages();
    ASSERT_NE(nullptr, pictures);
    uitest::Pixels shown =
        uitest::RenderPainter(120, 90, [&](HDC dc) { ImageList_Draw(pictures, 0, dc, 0, 0, ILD_NORMAL); });
    EXPECT_EQ(RGB(255, 0, 0), shown.At(60, 45)) << "the picture is drawn in its box";
    // Shown again, it comes from the cache.
    Ui([&] { m_pane->SetThumbnailView(false, true); });
    WaitFilled();
    const long shownOnce = Requests();
    Ui([&] { m_pane->SetThumbnailView(true, true); });
    WaitFilled();
    EXPECT_EQ(shownOnce, Requests());
}

TEST_F(PagedPictureTest, LeavingThePictureViewWhilePagesComeLeavesNoCachedPicture)
{
    // The second page takes its time, so that the user leaves the view while it comes.
    ASSERT_EQ("OK", Control("FAULT slow-stream ms=1500 cmd=I2 skip=1").substr(0, 2));
    const long before = Requests();
    Ui([&] { m_pane->SetThumbnailView(true, true); });
    ASSERT_TRUE(uitest::WaitUntil([&] { return Requests() >= before + 2; }));
    Ui([&] { m_pane->SetThumbnailView(false, true); });
    WaitFilled();
    EXPECT_FALSE(Cached()) << "a picture cut short by the stop is not kept";
    std::vector<std::map<int, std::string>> last = LastRecords(Control("LAST cmd=I2"));
    ASSERT_FALSE(last.empty());
    EXPECT_EQ("N", last[0][44]) << "the server hears that the transfer ends";
    EXPECT_EQ(std::vector<std::wstring>{L"red.png"}, Names());
}

namespace {

// What a drag started by the list carried; the drag loop itself needs a real pointer.
struct DragSeen {
    int runs = 0;
    DROPEFFECT allowed = 0;
    std::vector<_PROTO_FOLDER_INFO> records;
    CString tag, path;
    bool image = false;
} g_drag;

DROPEFFECT CaptureDrag(CDragDataSource* source, DROPEFFECT allowed)
{
    ++g_drag.runs;
    g_drag.allowed = allowed;
    COleDataObject data;
    data.Attach(source->GetDataObject());
    UINT format = source->m_cfServerItems;
    GetFolderInfoListDataObject(&data, &format, g_drag.records, g_drag.tag, g_drag.path);
    g_drag.image = data.IsDataAvailable(static_cast<CLIPFORMAT>(RegisterClipboardFormatW(kDragImageFormat))) &&
                   data.IsDataAvailable(static_cast<CLIPFORMAT>(RegisterClipboardFormatW(kDragHotSpotFormat)));
    return DROPEFFECT_NONE;
}

}

TEST_F(BrowseTest, ADragOfListRowsCarriesTheirRecordsAndImageAndARowThatAllowsNoneStartsNone)
{
    HTREEITEM docs = OpenDocs();
    ASSERT_NE(nullptr, docs);
    g_drag = DragSeen();
    CServerListCtrl::DragRunner ole = CServerListCtrl::s_runDrag;
    CServerListCtrl::s_runDrag = CaptureDrag;
    auto beginDrag = [&](int row) {
        LRESULT result = 0;
        Ui([&] {
            NMLISTVIEW drag = {};
            drag.hdr.hwndFrom = m_list.GetSafeHwnd();
            drag.hdr.idFrom = 101;
            drag.hdr.code = LVN_BEGINDRAG;
            drag.iItem = row;
            result = m_host.SendMessage(WM_NOTIFY, 101, reinterpret_cast<LPARAM>(&drag));
        });
        return result;
    };
    Ui([&] {
        m_list.SetItemState(3, LVIS_SELECTED, LVIS_SELECTED);
        m_list.SetItemState(4, LVIS_SELECTED, LVIS_SELECTED);
    });
    EXPECT_EQ(0, beginDrag(3));
    ASSERT_EQ(1, g_drag.runs);
    EXPECT_EQ(DWORD(DROPEFFECT_COPY | DROPEFFECT_MOVE), g_drag.allowed);
    ASSERT_EQ(2u, g_drag.records.size());
    EXPECT_STREQ(L"file2.txt", g_drag.records[0].Name);
    EXPECT_STREQ(L"file10.txt", g_drag.records[1].Name);
    EXPECT_STREQ(L"SR", g_drag.tag.GetString());
    EXPECT_STREQ(L"My Files/Docs", g_drag.path.GetString());
    EXPECT_TRUE(g_drag.image);
    EXPECT_STREQ(L"SR", m_frame.dragSource.GetString());
    EXPECT_EQ(docs, m_tree.MoveSource().Folder());

    // A file the user may only look at cannot be dragged alone.
    ASSERT_EQ("OK", Control("PERM idx=" + Idx("My Files/Docs/file2.txt") + " value=1000000000000000000000000000000")
                        .substr(0, 2));
    Ui([&] { m_tree.DrawSubTreeNList(docs, TREE_REFRESH_TREE_AND_LIST, false); });
    WaitFilled();
    Ui([&] { m_list.SetItemState(3, LVIS_SELECTED, LVIS_SELECTED); });
    EXPECT_EQ(1, beginDrag(3));
    EXPECT_EQ(1, g_drag.runs) << "a drag started";
    CServerListCtrl::s_runDrag = ole;
}

TEST(DragBubble, TheBubbleGrowsWithTheRowsAndIsMaskedByMagenta)
{
    const struct {
        int count;
        int size;
    } cases[] = {{1, 72}, {2, 75}, {3, 78}, {40, 78}};
    for (const auto& c : cases) {
        HIMAGELIST bubble = CreateListDragBubble(nullptr, nullptr, L"name.txt", c.count);
        ASSERT_NE(nullptr, bubble) << c.count;
        int cx = 0, cy = 0;
        ImageList_GetIconSize(bubble, &cx, &cy);
        EXPECT_EQ(c.size, cx) << c.count;
        EXPECT_EQ(c.size, cy) << c.count;
        EXPECT_EQ(1, ImageList_GetImageCount(bubble));
        // Drawn on white: the corner outside the rounded cards shows the white, the card its colour.
        HDC screen = GetDC(nullptr);
        HDC dc = CreateCompatibleDC(screen);
        HBITMAP canvas = CreateCompatibleBitmap(screen, c.size, c.size);
        ReleaseDC(nullptr, screen);
        HGDIOBJ old = SelectObject(dc, canvas);
        RECT all = {0, 0, c.size, c.size};
        FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        ImageList_Draw(bubble, 0, dc, 0, 0, ILD_TRANSPARENT);
        EXPECT_EQ(RGB(255, 255, 255), GetPixel(dc, 0, 71)) << c.count;
        EXPECT_EQ(RGB(222, 211, 215), GetPixel(dc, 10, 30)) << c.count;
        SelectObject(dc, old);
        DeleteObject(canvas);
        DeleteDC(dc);
        ImageList_Destroy(bubble);
    }
    EXPECT_EQ(nullptr, CreateListDragBubble(nullptr, nullptr, L"", 0));
}

TEST_F(BrowseTest, AFlaggedRowShowsItsStatusIconAndAPlainRowNone)
{
    HTREEITEM docs = OpenDocs();
    ASSERT_NE(nullptr, docs);
    // Locked for sending: the server flags the file as limited.
    std::string file10 = Idx("My Files/Docs/file10.txt");
    ASSERT_EQ(0, m_proto.GetSendFileSet(const_cast<char*>(file10.c_str()), const_cast<char*>("1"), const_cast<char*>("Y"),
                                        const_cast<char*>("N")));
    Ui([&] { m_tree.DrawSubTreeNList(docs, TREE_REFRESH_TREE_AND_LIST, false); });
    WaitFilled();
    ASSERT_EQ((std::vector<std::wstring>{L"f1", L"f2", L"f10", L"file2.txt", L"file10.txt"}), Names());
    // Narrower columns, as a user would drag them, bring the status column into view.
    Ui([&] {
        for (int column : {0, 2, 3})
            ::SendMessage(m_list.GetSafeHwnd(), LVM_SETCOLUMNWIDTH, column, 100);
    });
    RECT client = {};
    ::GetClientRect(m_list.GetSafeHwnd(), &client);
    ::MapWindowPoints(m_list.GetSafeHwnd(), nullptr, reinterpret_cast<POINT*>(&client), 2);
    uitest::PumpMessages();
    uitest::Pixels shot = uitest::CaptureScreen(client);
    ASSERT_FALSE(shot.Empty());
    auto iconSlot = [&](int row) {
        RECT cell = {LVIR_BOUNDS, 4, 0, 0};
        ::SendMessage(m_list.GetSafeHwnd(), LVM_GETSUBITEMRECT, row, reinterpret_cast<LPARAM>(&cell));
        return RECT{cell.left + 8, cell.top, cell.left + 24, cell.top + 16};
    };
    const COLORREF pane = GetSysColor(COLOR_WINDOW);
    RECT flagged = iconSlot(4), plain = iconSlot(3);
    const int area = 16 * 16;
    EXPECT_LT(shot.Count(pane, flagged), area - 20) << "no icon in the limited file's status cell";
    EXPECT_EQ(area, shot.Count(pane, plain)) << "an icon in a plain file's status cell";
}

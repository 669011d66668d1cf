// The command bar in a frame of its own: the bar from its real template over a 2x2 splitter of
// stand-in panes that record what the bar asks of them, with the session's options given by the
// test; and the server panes' own tree and list reporting to the bar through the frame's pane
// host, clicked as a user would. (The program's own pane views do not take the bar's commands
// yet; the end-to-end test of the bar in CorvaneIXO.exe is AppRoadMenuBarUiTest.)
#include "AppRes.h"
#include "BarIconsRes.h"
#include "FileUtils.h"
#include "Framework.h"
#include "Library.h"
#include "ListIconsRes.h"
#include "MenuBarDlg.h"
#include "MenuBarRes.h"
#include "PaneCommands.h"
#include "PixelCapture.h"
#include "ServerListCtrl.h"
#include "ServerTreeCtrl.h"
#include "ToviMessages.h"
#include "ToviProto.h"
#include "ToviRegistry.h"
#include "ToviTextLanguage.h"
#include "UiThread.h"
#include "WindowDriver.h"
#include <gtest/gtest.h>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

// What the panes were asked, in order; written and read on the UI thread.
std::vector<std::wstring> g_calls;
HWND g_bar = nullptr;
CSplitterWnd* g_splitter = nullptr;

void Log(const std::wstring& line)
{
    g_calls.push_back(line);
}

std::wstring ActiveText()
{
    int row = -1, col = -1;
    g_splitter->GetActivePane(&row, &col);
    return L" (active " + std::to_wstring(row) + L"," + std::to_wstring(col) + L")";
}

std::wstring ItemName(HWND tree, HTREEITEM item)
{
    if (item == nullptr)
        return L"<none>";
    wchar_t text[64] = {};
    TVITEMW tv = {};
    tv.mask = TVIF_TEXT | TVIF_HANDLE;
    tv.hItem = item;
    tv.pszText = text;
    tv.cchTextMax = 64;
    ::SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tv));
    return text;
}

HWND MakeControl(CWnd* parent, const wchar_t* className, DWORD style)
{
    return ::CreateWindowExW(0, className, L"", WS_CHILD | WS_VISIBLE | style, 0, 0, 200, 120, parent->m_hWnd,
                             nullptr, nullptr, nullptr);
}

HTREEITEM AddTreeItem(HWND tree, const wchar_t* name, const _PROTO_FOLDER_INFO* record)
{
    TVINSERTSTRUCTW insert = {};
    insert.hParent = TVI_ROOT;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_PARAM;
    insert.item.pszText = const_cast<wchar_t*>(name);
    insert.item.lParam = reinterpret_cast<LPARAM>(record);
    return reinterpret_cast<HTREEITEM>(::SendMessageW(tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
}

class CServerTreeStandIn : public CView, public IServerTreeCommands {
    DECLARE_DYNCREATE(CServerTreeStandIn)
public:
    HWND m_tree = nullptr;
    HWND GetTreeWindow() override { return m_tree; }
    void OnNewFolder(HTREEITEM item) override { Log(L"server tree: new folder " + ItemName(m_tree, item)); }
    void OnDownload(HTREEITEM item) override { Log(L"server tree: download " + ItemName(m_tree, item)); }
    void OnShare(HTREEITEM item) override { Log(L"server tree: share " + ItemName(m_tree, item)); }
    void OnDelete(HTREEITEM item, int mode) override
    {
        Log(L"server tree: delete " + ItemName(m_tree, item) + L" mode " + std::to_wstring(mode));
    }
    void OnRecyclebinDelete(HTREEITEM item) override { Log(L"server tree: recycle bin delete " + ItemName(m_tree, item)); }
    void OnCopy(HTREEITEM item) override { Log(L"server tree: copy " + ItemName(m_tree, item)); }
    void OnCut(HTREEITEM item) override { Log(L"server tree: cut " + ItemName(m_tree, item)); }
    void OnPaste(HTREEITEM item) override { Log(L"server tree: paste " + ItemName(m_tree, item)); }
    void OnSearch(HTREEITEM item, const CString& text, int contents) override
    {
        Log(L"server tree: search " + ItemName(m_tree, item) + L" for '" + std::wstring(text.GetString()) + L"' " +
            std::to_wstring(contents));
    }

protected:
    void OnDraw(CDC*) override {}
    LRESULT OnGoTo(WPARAM wParam, LPARAM)
    {
        auto* record = reinterpret_cast<_SEARCH_GOTO_FOLDER*>(wParam);
        Log(L"server tree: go to file " + std::to_wstring(record->IsFile) + L" id " + std::to_wstring(record->Id1) +
            L" path '" + std::wstring(record->LocationPath->GetString()) + L"' second '" +
            std::wstring(record->SecondPath->GetString()) + L"'");
        delete record->LocationPath;
        delete record->SecondPath;
        delete record;
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};
IMPLEMENT_DYNCREATE(CServerTreeStandIn, CView)
BEGIN_MESSAGE_MAP(CServerTreeStandIn, CView)
    ON_MESSAGE(WM_SEARCH_GOTO_FOLDER, OnGoTo)
END_MESSAGE_MAP()

class CServerListStandIn : public CView, public IServerListCommands {
    DECLARE_DYNCREATE(CServerListStandIn)
public:
    HWND m_list = nullptr;
    HWND GetListWindow() override { return m_list; }
    void OnNewFolder() override { Log(L"server list: new folder"); }
    void OnDownload() override { Log(L"server list: download"); }
    void OnShare(int row) override { Log(L"server list: share row " + std::to_wstring(row)); }
    void OnDelete(int mode) override { Log(L"server list: delete mode " + std::to_wstring(mode)); }
    void OnRecyclebinDelete() override { Log(L"server list: recycle bin delete"); }
    void OnCopy() override { Log(L"server list: copy"); }
    void OnCut() override { Log(L"server list: cut"); }
    void OnPaste() override { Log(L"server list: paste"); }
    void OnLink(int row) override { Log(L"server list: link row " + std::to_wstring(row)); }
    int OnDirectEdit(int row) override
    {
        const bool enabled = ::IsWindowEnabled(::GetDlgItem(g_bar, IDC_MENU_DIRECT_EDIT)) != FALSE;
        Log(L"server list: direct edit row " + std::to_wstring(row) + (enabled ? L", button enabled" : L", button off"));
        return 1;
    }
    int OnApproval() override
    {
        const int selected = static_cast<int>(::SendMessageW(m_list, LVM_GETSELECTEDCOUNT, 0, 0));
        const int count = static_cast<int>(::SendMessageW(m_list, LVM_GETITEMCOUNT, 0, 0));
        Log(L"server list: approval, " + std::to_wstring(selected) + L" of " + std::to_wstring(count) +
            L" selected" + ActiveText());
        return 1;
    }
    void SetThumbnailView(int thumbnail, int save) override
    {
        Log(L"server list: thumbnail " + std::to_wstring(thumbnail) + L" save " + std::to_wstring(save));
    }
    void WaitListThreadExit() override { Log(L"server list: wait for the filling"); }

protected:
    void OnDraw(CDC*) override {}
};
IMPLEMENT_DYNCREATE(CServerListStandIn, CView)

class CLocalTreeStandIn : public CView, public ILocalTreeCommands {
    DECLARE_DYNCREATE(CLocalTreeStandIn)
public:
    HWND m_tree = nullptr;
    bool m_marked = false;
    HWND GetTreeWindow() override { return m_tree; }
    bool IsItemMarked(HTREEITEM) override { return m_marked; }
    void OnUpload(HTREEITEM item) override { Log(L"local tree: upload " + ItemName(m_tree, item)); }
    void OnDelete(HTREEITEM item, int mode) override
    {
        Log(L"local tree: delete " + ItemName(m_tree, item) + L" mode " + std::to_wstring(mode));
    }
    void OnCopy(HTREEITEM item) override { Log(L"local tree: copy " + ItemName(m_tree, item)); }
    void OnCut(HTREEITEM item) override { Log(L"local tree: cut " + ItemName(m_tree, item)); }
    void OnPaste(HTREEITEM item) override { Log(L"local tree: paste " + ItemName(m_tree, item)); }

protected:
    void OnDraw(CDC*) override {}
};
IMPLEMENT_DYNCREATE(CLocalTreeStandIn, CView)

class CLocalListStandIn : public CView, public ILocalListCommands {
    DECLARE_DYNCREATE(CLocalListStandIn)
public:
    void OnNewFolder() override { Log(L"local list: new folder" + ActiveText()); }
    void OnUpload() override { Log(L"local list: upload"); }
    void OnDelete(int mode) override { Log(L"local list: delete mode " + std::to_wstring(mode)); }
    void OnCopy() override { Log(L"local list: copy"); }
    void OnCut() override { Log(L"local list: cut"); }
    void OnPaste() override { Log(L"local list: paste"); }

protected:
    void OnDraw(CDC*) override {}
};
IMPLEMENT_DYNCREATE(CLocalListStandIn, CView)

class CBarSite : public IMenuBarSite {
public:
    CSplitterWnd* m_splitter = nullptr;
    _OPTION_INFO* m_options = nullptr;
    CSplitterWnd* GetSplitter() override { return m_splitter; }
    const _OPTION_INFO* GetOptions() override { return m_options; }
};

// The frame's side of the server panes, as the program's frame does it: what the panes report
// goes to the bar.
class CPaneHost : public IServerFrameHost {
public:
    CMenuBarDlg* m_bar = nullptr;
    bool IsLoggedIn() override { return true; }
    int CheckFolderPassword(const _PROTO_FOLDER_INFO&, bool) override { return 0; }
    void PostForcedLogout() override {}
    void SetMenuButtonState(const ServerMenuState& state) override { m_bar->SetMenuButtonState(state); }
    bool IsDownloadTarget() override { return true; }
    void SetUploadAllowed(bool) override {}
    void SetViewButtonsEnabled(bool enabled) override { m_bar->SetViewButtonsEnabled(enabled); }
    void EnableSearchBox(bool enabled) override { m_bar->EnableSearchBox(enabled); }
    CString GetCustomerCode() override { return L"TESTSRV"; }
    bool IsLabelEditing() override { return false; }
    void SetLabelEditing(bool) override {}
    void SetActivePane(int row, int col) override { g_splitter->SetActivePane(row, col); }
    void SetDragSource(const CString&) override {}
};

// A permission text with '1' at the given positions.
std::string Permission(std::initializer_list<int> allowed)
{
    std::string text(31, '0');
    for (int position : allowed)
        text[position] = '1';
    return text;
}

enum { DOWNLOAD = 1, COPY = 2, PREVIEW = 3, NEW_DIR = 5, NEW_FILE = 6, DELETE_ = 7, MOVE_CUT = 11, FILELINK = 12,
       SHARE = 13, SEARCH = 14, APPROVAL = 20 };

class CBarFrame : public CFrameWnd {
    DECLARE_DYNCREATE(CBarFrame)
public:
    CMenuBarDlg m_bar;
    CSplitterWnd m_splitter;
    CBarSite m_site;

protected:
    BOOL OnCreateClient(LPCREATESTRUCT, CCreateContext*) override
    {
        m_site.m_splitter = &m_splitter;
        m_bar.SetSite(&m_site);
        m_bar.SetBarHeight(41);
        if (!m_bar.Create(this, IDD_MENUBAR, CBRS_ALIGN_TOP | CBRS_TOOLTIPS, IDD_MENUBAR))
            return FALSE;
        CCreateContext context;
        context.m_pCurrentFrame = this;
        return m_splitter.CreateStatic(this, 2, 2) &&
               m_splitter.CreateView(0, 0, RUNTIME_CLASS(CServerTreeStandIn), CSize(300, 200), &context) &&
               m_splitter.CreateView(0, 1, RUNTIME_CLASS(CServerListStandIn), CSize(300, 200), &context) &&
               m_splitter.CreateView(1, 0, RUNTIME_CLASS(CLocalTreeStandIn), CSize(300, 200), &context) &&
               m_splitter.CreateView(1, 1, RUNTIME_CLASS(CLocalListStandIn), CSize(300, 200), &context);
    }
};
IMPLEMENT_DYNCREATE(CBarFrame, CFrameWnd)

const char kDeleteOnly[] = "0000000100000000000000000000000";
const char kFinalDeleteOnly[] = "0000000010000000000000000000000";

CRect ChildRect(HWND parent, int id)
{
    CRect rect;
    HWND child = ::GetDlgItem(parent, id);
    ::GetWindowRect(child, &rect);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

bool Visible(int id)
{
    return (::GetWindowLongW(::GetDlgItem(g_bar, id), GWL_STYLE) & WS_VISIBLE) != 0;
}

bool Enabled(int id)
{
    return ::IsWindowEnabled(::GetDlgItem(g_bar, id)) != FALSE;
}

}

class MenuBarTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_options.reset(new _OPTION_INFO());
        CToviRegistry::GetLanguage(0, &m_savedLanguage);
        // The language lives in the product's key, which an end-to-end run may have cleared.
        HKEY product = nullptr;
        RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Varivivod\\VariruDAD", 0, nullptr, 0, KEY_WRITE, nullptr, &product,
                        nullptr);
        if (product)
            RegCloseKey(product);
        ASSERT_TRUE(CToviRegistry::SetLanguage(0, 0x09));
        m_ui.Run([this] {
            ToviInterfaceInit();
            CToviTextLanguage::SetThreadLanguage(0x09);
            m_frame = new CBarFrame;
            m_frame->m_site.m_options = m_options.get();
            if (!m_frame->Create(nullptr, L"Command bar", WS_OVERLAPPEDWINDOW, CRect(0, 0, 1280, 500))) {
                m_frame = nullptr;
                return;
            }
            m_frame->ShowWindow(SW_SHOW);
            m_frame->m_splitter.RecalcLayout();
            m_frame->UpdateWindow();
            g_bar = m_frame->m_bar.m_hWnd;
            g_splitter = &m_frame->m_splitter;
            g_calls.clear();
        });
        ASSERT_NE(nullptr, m_frame);
    }

    void TearDown() override
    {
        m_ui.Run([this] {
            if (m_frame && ::IsWindow(m_frame->m_hWnd))
                m_frame->DestroyWindow();
            ToviInterfaceTerm();
        });
        g_bar = nullptr;
        g_splitter = nullptr;
        CToviRegistry::SetLanguage(0, m_savedLanguage);
    }

    CMenuBarDlg& Bar() { return m_frame->m_bar; }

    // A server record kept for the test's length.
    _PROTO_FOLDER_INFO* Record(const char* idx, const char* type, const char* permission, const wchar_t* name)
    {
        m_records.emplace_back(new _PROTO_FOLDER_INFO());
        _PROTO_FOLDER_INFO* r = m_records.back().get();
        std::strcpy(r->ItemType, "D");
        std::strcpy(r->IDX, idx);
        std::strcpy(r->Attr178, "0");
        std::strcpy(r->DIDX, "7");
        std::strcpy(r->Attr27, type);
        std::strcpy(r->Attr189, permission);
        wcscpy(r->Name, name);
        return r;
    }

    // The panes' contents: a server tree with a caret folder, a server list with two rows (the
    // first selected), a local tree with a caret folder.
    void FillPanes()
    {
        _PROTO_FOLDER_INFO* docs = Record("11", "1", kDeleteOnly, L"Docs");
        _PROTO_FOLDER_INFO* first = Record("21", "1", kFinalDeleteOnly, L"a.txt");
        _PROTO_FOLDER_INFO* second = Record("22", "1", kDeleteOnly, L"b.txt");
        m_ui.Run([&] {
            auto* tree = static_cast<CServerTreeStandIn*>(m_frame->m_splitter.GetPane(0, 0));
            tree->m_tree = MakeControl(tree, WC_TREEVIEWW, TVS_HASLINES);
            HTREEITEM item = AddTreeItem(tree->m_tree, L"Docs", docs);
            ::SendMessageW(tree->m_tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
            auto* list = static_cast<CServerListStandIn*>(m_frame->m_splitter.GetPane(0, 1));
            list->m_list = MakeControl(list, WC_LISTVIEWW, LVS_REPORT | LVS_SHOWSELALWAYS);
            for (auto* r : {first, second}) {
                LVITEMW row = {};
                row.mask = LVIF_TEXT | LVIF_PARAM;
                row.iItem = static_cast<int>(::SendMessageW(list->m_list, LVM_GETITEMCOUNT, 0, 0));
                row.pszText = r->Name;
                row.lParam = reinterpret_cast<LPARAM>(r);
                ::SendMessageW(list->m_list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&row));
            }
            SelectRow(0, true);
            auto* local = static_cast<CLocalTreeStandIn*>(m_frame->m_splitter.GetPane(1, 0));
            local->m_tree = MakeControl(local, WC_TREEVIEWW, TVS_HASLINES);
            HTREEITEM folder = AddTreeItem(local->m_tree, L"Local", nullptr);
            ::SendMessageW(local->m_tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(folder));
        });
    }

    // UI thread.
    void SelectRow(int row, bool selected)
    {
        auto* list = static_cast<CServerListStandIn*>(m_frame->m_splitter.GetPane(0, 1));
        LVITEMW state = {};
        state.stateMask = LVIS_SELECTED;
        state.state = selected ? LVIS_SELECTED : 0;
        ::SendMessageW(list->m_list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&state));
    }

    // Every flag set, the idle update run: every button usable.
    void EnableAll()
    {
        m_ui.Run([this] {
            const BOOL flags[CMenuBarDlg::kFlagCount] = {TRUE, TRUE, TRUE, TRUE, TRUE, TRUE,
                                                         TRUE, TRUE, TRUE, TRUE, TRUE, TRUE};
            Bar().SetMenuButtonState("", flags, CMenuBarDlg::kFlagCount);
            Bar().SetViewButtonsEnabled(true);
            m_frame->UpdateControlBars();
        });
    }

    // A user's click on a bar button with the given pane active; the calls it caused (none
    // within a short while, when none were expected).
    std::vector<std::wstring> ClickWithActive(int id, int row, int col, bool expectCalls = true)
    {
        m_ui.Run([&] {
            m_frame->m_splitter.SetActivePane(row, col);
            g_calls.clear();
        });
        const CRect button = ChildRect(g_bar, id);
        uitest::ClickWithMouse(g_bar, button.CenterPoint());
        std::vector<std::wstring> calls;
        uitest::WaitUntil([&] {
            m_ui.Run([&] { calls = g_calls; });
            return !calls.empty();
        }, expectCalls ? 3000 : 300);
        return calls;
    }

    void SetOptions(const char* approval, const char* directEdit)
    {
        std::strcpy(m_options->Approval, approval);
        std::strcpy(m_options->DirectEdit, directEdit);
        wcscpy(m_options->ContextMenu[0].Token1, L"결재요청");
        wcscpy(m_options->ContextMenu[0].Token2, L"Send for approval");
        wcscpy(m_options->ContextMenu[0].Token3, L"承認");
    }

    uitest::UiThread m_ui;
    CBarFrame* m_frame = nullptr;
    std::unique_ptr<_OPTION_INFO> m_options;
    std::vector<std::unique_ptr<_PROTO_FOLDER_INFO>> m_records;
    unsigned short m_savedLanguage = 0;
};

// The server panes' own tree and list over the bar: the rules that turn permission texts into
// button states are the panes', the bar shows them.
class MenuBarPanesTest : public MenuBarTest {
protected:
    void SetUp() override
    {
        MenuBarTest::SetUp();
        if (::OpenClipboard(nullptr)) {
            ::EmptyClipboard();
            ::CloseClipboard();
        }
        m_proto.reset(new CToviProto);
        m_host.m_bar = &Bar();
        m_ui.Run([this] {
            CWnd* treePane = m_frame->m_splitter.GetPane(0, 0);
            CWnd* listPane = m_frame->m_splitter.GetPane(0, 1);
            // The tree sits in a plain window: selecting its folder here must not start a listing.
            m_treeHolder = ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 280, 190,
                                             treePane->m_hWnd, nullptr, nullptr, nullptr);
            m_tree.Create(WS_CHILD | WS_VISIBLE | TVS_HASLINES | TVS_SHOWSELALWAYS, CRect(0, 0, 280, 190),
                          CWnd::FromHandle(m_treeHolder), 300);
            m_tree.SetSession(m_proto.get(), &m_host, nullptr);
            _PROTO_FOLDER_INFO* folder = new _PROTO_FOLDER_INFO();   // the tree's own
            std::strcpy(folder->ItemType, "D");
            std::strcpy(folder->IDX, "11");
            std::strcpy(folder->Attr27, "1");
            std::strcpy(folder->Attr5, "2120");
            std::strcpy(folder->Attr189, Permission({NEW_DIR, NEW_FILE, PREVIEW}).c_str());
            wcscpy(folder->Name, L"Docs");
            HTREEITEM item = AddTreeItem(m_tree.m_hWnd, L"Docs", folder);
            ::SendMessageW(m_tree.m_hWnd, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));

            m_list.Create(WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SHOWSELALWAYS, CRect(0, 0, 400, 190), listPane, 301);
            m_list.SetSession(m_proto.get(), &m_host, &m_tree, nullptr);
            LVCOLUMNW column = {};
            column.mask = LVCF_TEXT | LVCF_WIDTH;
            column.cx = 200;
            column.pszText = const_cast<wchar_t*>(L"Name");
            ::SendMessageW(m_list.m_hWnd, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
            AddRow(L"report.doc", Permission({DOWNLOAD, COPY, DELETE_, MOVE_CUT, FILELINK, SHARE, APPROVAL}));
            AddRow(L"locked.doc", Permission({COPY}));
        });
    }

    void TearDown() override
    {
        m_ui.Run([this] {
            m_list.DestroyWindow();
            m_tree.DestroyWindow();
        });
        MenuBarTest::TearDown();
    }

    // UI thread. The row's record stays the test's.
    void AddRow(const wchar_t* name, const std::string& permission)
    {
        _PROTO_FOLDER_INFO* r = Record("30", "", permission.c_str(), name);
        std::strcpy(r->ItemType, "F");
        LVITEMW row = {};
        row.mask = LVIF_TEXT | LVIF_PARAM;
        row.iItem = static_cast<int>(::SendMessageW(m_list.m_hWnd, LVM_GETITEMCOUNT, 0, 0));
        row.pszText = r->Name;
        row.lParam = reinterpret_cast<LPARAM>(r);
        ::SendMessageW(m_list.m_hWnd, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&row));
    }

    // A user's click on a row (-1: below the rows); then the idle update.
    void ClickRow(int row)
    {
        RECT rect = {LVIR_LABEL, 0, 0, 0};
        POINT at = {60, 150};
        if (row >= 0 && ::SendMessageW(m_list.m_hWnd, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&rect)))
            at = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
        uitest::ClickWithMouse(m_list.m_hWnd, at);
        EXPECT_TRUE(uitest::WaitUntil([&] {
            return ::SendMessageW(m_list.m_hWnd, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED) == row;
        }, 3000)) << "the click did not select row " << row;
        m_ui.Run([this] { m_frame->UpdateControlBars(); });
    }

    std::unique_ptr<CToviProto> m_proto;
    CPaneHost m_host;
    HWND m_treeHolder = nullptr;
    CServerTreeCtrl m_tree;
    CServerListCtrl m_list;
};

TEST_F(MenuBarPanesTest, ClickingRowsOfTheServerListEnablesWhatTheirPermissionsAllow)
{
    const struct {
        int row;   // -1: a click below the rows, nothing selected
        const char* what;
        bool newFolder, download, share, remove, copy, cut, link, approval;
    } steps[] = {
        {0, "report.doc: download, share, delete, copy, cut, link, approval", false, true, true, true, true, true,
         true, true},
        {1, "locked.doc: copy only", false, false, false, false, true, false, false, false},
        {-1, "no row: the folder allows a new folder", true, false, false, false, false, false, false, true},
    };
    for (const auto& step : steps) {
        ClickRow(step.row);
        SCOPED_TRACE(step.what);
        EXPECT_EQ(step.newFolder, Enabled(IDC_MENU_NEW_FOLDER));
        EXPECT_EQ(step.download, Enabled(IDC_MENU_DOWNLOAD));
        EXPECT_EQ(step.share, Enabled(IDC_MENU_SHARE));
        EXPECT_EQ(step.remove, Enabled(IDC_MENU_DELETE));
        EXPECT_EQ(step.copy, Enabled(IDC_MENU_COPY));
        EXPECT_EQ(step.cut, Enabled(IDC_MENU_CUT));
        EXPECT_EQ(step.link, Enabled(IDC_MENU_LINK));
        EXPECT_EQ(step.approval, Enabled(IDC_MENU_APPROVAL));
        EXPECT_FALSE(Enabled(IDC_MENU_UPLOAD)) << "upload is the local panes' button";
        EXPECT_FALSE(Enabled(IDC_MENU_PASTE)) << "nothing on the clipboard";
    }
}

TEST_F(MenuBarPanesTest, TheTreesFolderSetsTheViewButtonsTheSearchBoxAndThePermissionBox)
{
    m_ui.Run([this] { m_frame->UpdateControlBars(); });
    EXPECT_FALSE(Enabled(IDC_MENU_LIST_VIEW));
    // The tree reports its folder when it first takes the focus.
    uitest::ClickWithMouse(m_tree.m_hWnd, {30, 8});
    ::Sleep(100);
    m_ui.Run([this] { m_frame->UpdateControlBars(); });
    EXPECT_TRUE(Enabled(IDC_MENU_LIST_VIEW)) << "the folder allows PREVIEW";
    EXPECT_TRUE(Enabled(IDC_MENU_THUMBNAIL_VIEW));
    EXPECT_FALSE(Enabled(IDC_MENU_SEARCH)) << "the folder does not allow SEARCH";
    EXPECT_TRUE(Enabled(IDC_MENU_NEW_FOLDER));
    EXPECT_EQ(CFileUtils::ToviLoadImage(IDI_RIGHT_VIEW, 16, 16), Bar().GetPermIcon(0));
    EXPECT_EQ(CFileUtils::ToviLoadImage(IDI_RIGHT_UPLOAD, 16, 16), Bar().GetPermIcon(2));
}

TEST_F(MenuBarTest, ButtonsStandInOneOverlappingRowAndTheOptionalOnesFollowTheOptions)
{
    // Before a log-in there are no options: no approval request, and direct edit keeps an empty
    // place between link and the batch request.
    CRect newFolder = ChildRect(g_bar, IDC_MENU_NEW_FOLDER);
    EXPECT_EQ(0, newFolder.left);
    EXPECT_EQ(0, newFolder.top);
    EXPECT_EQ(38, newFolder.Height());
    EXPECT_EQ(newFolder.right - 1, ChildRect(g_bar, IDC_MENU_UPLOAD).left);
    EXPECT_FALSE(Visible(IDC_MENU_APPROVAL));
    EXPECT_FALSE(Visible(IDC_MENU_DIRECT_EDIT));
    const CRect link = ChildRect(g_bar, IDC_MENU_LINK);
    const CRect directEdit = ChildRect(g_bar, IDC_MENU_DIRECT_EDIT);
    EXPECT_EQ(link.right - 1, directEdit.left);
    EXPECT_EQ(directEdit.right - 1, ChildRect(g_bar, IDC_MENU_BATCH_APPROVAL).left);
    // The hidden buttons at the row's end hold no room from the view buttons and the search box.
    EXPECT_EQ(link.right, Bar().GetButtonsWidth());
    EXPECT_EQ(L"New Folder", uitest::GetText(::GetDlgItem(g_bar, IDC_MENU_NEW_FOLDER)));

    // The options of a log-in lay the row out again: the approval request with the English
    // caption right after new folder, and direct edit shown in its place.
    SetOptions("Y", "Y");
    m_ui.Run([this] { Bar().LayoutButtons(); });
    EXPECT_TRUE(Visible(IDC_MENU_APPROVAL));
    EXPECT_TRUE(Visible(IDC_MENU_DIRECT_EDIT));
    EXPECT_EQ(L"Send for approval", uitest::GetText(::GetDlgItem(g_bar, IDC_MENU_APPROVAL)));
    const CRect approval = ChildRect(g_bar, IDC_MENU_APPROVAL);
    EXPECT_EQ(newFolder.right - 1, approval.left);
    EXPECT_EQ(approval.right - 1, ChildRect(g_bar, IDC_MENU_UPLOAD).left);
    EXPECT_EQ(ChildRect(g_bar, IDC_MENU_DIRECT_EDIT).right, Bar().GetButtonsWidth());

    // Without the server's captions the button keeps a caption of its own.
    std::memset(m_options->ContextMenu, 0, sizeof m_options->ContextMenu);
    m_ui.Run([this] { Bar().LayoutButtons(); });
    EXPECT_EQ(L"Approval Request", uitest::GetText(::GetDlgItem(g_bar, IDC_MENU_APPROVAL)));

    // A state from a pane hides what the options do not allow, and a later session's options
    // bring the buttons back.
    SetOptions("N", "N");
    m_ui.Run([this] { Bar().SetMenuButtonState("", nullptr, 0); });
    EXPECT_FALSE(Visible(IDC_MENU_APPROVAL));
    EXPECT_FALSE(Visible(IDC_MENU_DIRECT_EDIT));
    SetOptions("Y", "Y");
    m_ui.Run([this] { Bar().LayoutButtons(); });
    EXPECT_TRUE(Visible(IDC_MENU_APPROVAL));
    EXPECT_TRUE(Visible(IDC_MENU_DIRECT_EDIT));
}

TEST_F(MenuBarTest, ViewButtonsAndSearchBoxSitAtTheRightEndButNeverOverTheRow)
{
    CRect client;
    ::GetClientRect(g_bar, &client);
    const CRect list = ChildRect(g_bar, IDC_MENU_LIST_VIEW);
    const CRect thumbnail = ChildRect(g_bar, IDC_MENU_THUMBNAIL_VIEW);
    const CRect search = ChildRect(g_bar, IDC_MENU_SEARCH);
    EXPECT_TRUE(Visible(IDC_MENU_SEARCH)) << "the first size change shows the search box";
    EXPECT_EQ(160, search.Width());
    EXPECT_EQ(25, search.Height());
    EXPECT_EQ(client.right - 160 - 2 * list.Width() - 10, list.left)
        << "client " << client.right << " list " << list.left << "," << list.Width() << " search " << search.left;
    EXPECT_EQ(list.right - 1, thumbnail.left);
    EXPECT_EQ(thumbnail.right + 10, search.left);
    EXPECT_EQ((client.Height() - search.Height()) / 2, search.top);
    EXPECT_EQ((client.Height() - list.Height()) / 2, list.top);

    // Narrower than the buttons: they run off the right edge instead of covering the row.
    m_ui.Run([this] { m_frame->SetWindowPos(nullptr, 0, 0, 500, 400, SWP_NOMOVE | SWP_NOZORDER); });
    EXPECT_EQ(Bar().GetButtonsWidth() + 98, ChildRect(g_bar, IDC_MENU_LIST_VIEW).left);
    EXPECT_GT(ChildRect(g_bar, IDC_MENU_SEARCH).left, ChildRect(g_bar, IDC_MENU_THUMBNAIL_VIEW).right);
}

TEST_F(MenuBarTest, EveryButtonWaitsForAPaneToReportItsStateAndThenFollowsTheFlags)
{
    m_ui.Run([this] { m_frame->UpdateControlBars(); });
    for (int id : {IDC_MENU_NEW_FOLDER, IDC_MENU_UPLOAD, IDC_MENU_DOWNLOAD, IDC_MENU_SHARE, IDC_MENU_DELETE,
                   IDC_MENU_COPY, IDC_MENU_CUT, IDC_MENU_PASTE, IDC_MENU_LINK, IDC_MENU_DIRECT_EDIT,
                   IDC_MENU_APPROVAL, IDC_MENU_LIST_VIEW, IDC_MENU_THUMBNAIL_VIEW})
        EXPECT_FALSE(Enabled(id)) << id;
    EXPECT_FALSE(Visible(IDC_MENU_BATCH_APPROVAL));
    FillPanes();
    EXPECT_TRUE(ClickWithActive(IDC_MENU_NEW_FOLDER, 0, 0, false).empty()) << "a disabled button did something";

    // Each flag in its argument place reaches its own button.
    const int ids[CMenuBarDlg::kFlagCount] = {IDC_MENU_NEW_FOLDER, IDC_MENU_UPLOAD,         IDC_MENU_DOWNLOAD,
                                              IDC_MENU_SHARE,      IDC_MENU_DELETE,         IDC_MENU_COPY,
                                              IDC_MENU_CUT,        IDC_MENU_PASTE,          IDC_MENU_LINK,
                                              IDC_MENU_BATCH_APPROVAL, IDC_MENU_DIRECT_EDIT, IDC_MENU_APPROVAL};
    for (int only = 0; only < CMenuBarDlg::kFlagCount; ++only) {
        m_ui.Run([&] {
            BOOL flags[CMenuBarDlg::kFlagCount] = {};
            flags[only] = TRUE;
            Bar().SetMenuButtonState("", flags, CMenuBarDlg::kFlagCount);
            m_frame->UpdateControlBars();
        });
        for (int i = 0; i < CMenuBarDlg::kFlagCount; ++i)
            EXPECT_EQ(i == only, Enabled(ids[i])) << "flag " << only << ", button " << ids[i];
        EXPECT_EQ(only == CMenuBarDlg::kBatchApproval, Visible(IDC_MENU_BATCH_APPROVAL)) << "flag " << only;
    }

    // The server panes' state record reaches the same buttons, its state text the box.
    bool ServerMenuState::*const members[CMenuBarDlg::kFlagCount] = {
        &ServerMenuState::newFolder, &ServerMenuState::upload,  &ServerMenuState::download,
        &ServerMenuState::share,     &ServerMenuState::remove,  &ServerMenuState::copy,
        &ServerMenuState::cut,       &ServerMenuState::paste,   &ServerMenuState::link,
        &ServerMenuState::approvalAfterGoTo, &ServerMenuState::directEdit, &ServerMenuState::approval};
    for (int only = 0; only < CMenuBarDlg::kFlagCount; ++only) {
        m_ui.Run([&] {
            ServerMenuState state;
            state.vrwd = L"2120";
            state.*members[only] = true;
            Bar().SetMenuButtonState(state);
            m_frame->UpdateControlBars();
        });
        for (int i = 0; i < CMenuBarDlg::kFlagCount; ++i)
            EXPECT_EQ(i == only, Enabled(ids[i])) << "member " << only << ", button " << ids[i];
    }
    EXPECT_EQ(CFileUtils::ToviLoadImage(IDI_RIGHT_VIEW, 16, 16), Bar().GetPermIcon(0));

    // The list's own push applies at once, without waiting for the idle update.
    m_ui.Run([&] {
        const BOOL flags[] = {FALSE, FALSE, TRUE};
        Bar().SetMenuButtonState("", flags, 3);
        Bar().EnableMenuButtons();
    });
    EXPECT_TRUE(Enabled(IDC_MENU_DOWNLOAD));
    EXPECT_FALSE(Enabled(IDC_MENU_NEW_FOLDER));

    // The view buttons and the search box follow the tree's folder alone.
    m_ui.Run([&] {
        Bar().SetViewButtonsEnabled(true);
        Bar().EnableSearchBox(false);
        m_frame->UpdateControlBars();
    });
    EXPECT_TRUE(Enabled(IDC_MENU_LIST_VIEW));
    EXPECT_TRUE(Enabled(IDC_MENU_THUMBNAIL_VIEW));
    EXPECT_FALSE(Enabled(IDC_MENU_SEARCH));
}

TEST_F(MenuBarTest, EachButtonGoesToTheActivePaneThatTakesIt)
{
    SetOptions("Y", "Y");
    m_ui.Run([this] { Bar().LayoutButtons(); });
    FillPanes();
    EnableAll();
    const struct {
        int id;
        int row, col;
        const wchar_t* expected;   // empty: nothing happens
    } rows[] = {
        {IDC_MENU_NEW_FOLDER, 0, 0, L"server tree: new folder Docs"},
        {IDC_MENU_NEW_FOLDER, 0, 1, L"server list: new folder"},
        {IDC_MENU_NEW_FOLDER, 1, 0, L"local list: new folder (active 1,1)"},
        {IDC_MENU_NEW_FOLDER, 1, 1, L"local list: new folder (active 1,1)"},
        {IDC_MENU_UPLOAD, 0, 0, L""},
        {IDC_MENU_UPLOAD, 0, 1, L""},
        {IDC_MENU_UPLOAD, 1, 0, L"local tree: upload Local"},
        {IDC_MENU_UPLOAD, 1, 1, L"local list: upload"},
        {IDC_MENU_DOWNLOAD, 0, 0, L"server tree: download Docs"},
        {IDC_MENU_DOWNLOAD, 0, 1, L"server list: download"},
        {IDC_MENU_DOWNLOAD, 1, 0, L""},
        {IDC_MENU_DOWNLOAD, 1, 1, L""},
        {IDC_MENU_SHARE, 0, 0, L"server tree: share Docs"},
        {IDC_MENU_SHARE, 0, 1, L"server list: share row 0"},
        {IDC_MENU_SHARE, 1, 1, L""},
        {IDC_MENU_DELETE, 0, 0, L"server tree: delete Docs mode 1"},
        {IDC_MENU_DELETE, 0, 1, L"server list: delete mode 0"},
        {IDC_MENU_DELETE, 1, 0, L"local tree: delete Local mode 1"},
        {IDC_MENU_DELETE, 1, 1, L"local list: delete mode 1"},
        {IDC_MENU_COPY, 0, 0, L"server tree: copy Docs"},
        {IDC_MENU_COPY, 0, 1, L"server list: copy"},
        {IDC_MENU_COPY, 1, 0, L"local tree: copy Local"},
        {IDC_MENU_COPY, 1, 1, L"local list: copy"},
        {IDC_MENU_CUT, 0, 0, L"server tree: cut Docs"},
        {IDC_MENU_CUT, 0, 1, L"server list: cut"},
        {IDC_MENU_CUT, 1, 0, L"local tree: cut Local"},
        {IDC_MENU_CUT, 1, 1, L"local list: cut"},
        {IDC_MENU_PASTE, 0, 0, L"server tree: paste Docs"},
        {IDC_MENU_PASTE, 0, 1, L"server list: paste"},
        {IDC_MENU_PASTE, 1, 0, L"local tree: paste Local"},
        {IDC_MENU_PASTE, 1, 1, L"local list: paste"},
        {IDC_MENU_LINK, 0, 0, L""},
        {IDC_MENU_LINK, 0, 1, L"server list: link row 0"},
        {IDC_MENU_LINK, 1, 1, L""},
        // Direct edit keeps its button off while the add-on starts.
        {IDC_MENU_DIRECT_EDIT, 0, 1, L"server list: direct edit row 0, button off"},
        {IDC_MENU_DIRECT_EDIT, 0, 0, L""},
        // These do not look at the active pane.
        {IDC_MENU_APPROVAL, 1, 1, L"server list: approval, 1 of 2 selected (active 1,1)"},
        {IDC_MENU_LIST_VIEW, 1, 0, L"server list: thumbnail 0 save 1"},
        {IDC_MENU_THUMBNAIL_VIEW, 1, 0, L"server list: thumbnail 1 save 1"},
    };
    for (const auto& row : rows) {
        const std::wstring expected = row.expected;
        const std::vector<std::wstring> calls = ClickWithActive(row.id, row.row, row.col, !expected.empty());
        std::wstring actual;
        for (const std::wstring& c : calls)
            actual += (actual.empty() ? L"" : L" | ") + c;
        EXPECT_EQ(expected, actual) << "button " << row.id << " with pane " << row.row << "," << row.col;
    }
    EXPECT_TRUE(Enabled(IDC_MENU_DIRECT_EDIT)) << "direct edit stayed off";
}

TEST_F(MenuBarTest, DeleteAsksTheItemWhatKindOfDeleteItAllows)
{
    FillPanes();
    EnableAll();
    // A recycle-bin folder in the list, a recycle-bin subfolder in the tree, a marked local
    // folder, and a list without a selection.
    m_ui.Run([this] {
        std::strcpy(m_records[1]->Attr27, "6");   // a.txt, the selected row
        std::strcpy(m_records[0]->Attr27, "D");
        static_cast<CLocalTreeStandIn*>(m_frame->m_splitter.GetPane(1, 0))->m_marked = true;
    });
    EXPECT_EQ(std::vector<std::wstring>{L"server list: recycle bin delete"}, ClickWithActive(IDC_MENU_DELETE, 0, 1));
    EXPECT_EQ(std::vector<std::wstring>{L"server tree: recycle bin delete Docs"},
              ClickWithActive(IDC_MENU_DELETE, 0, 0));
    EXPECT_EQ(std::vector<std::wstring>{L"local tree: delete Local mode 0"}, ClickWithActive(IDC_MENU_DELETE, 1, 0));
    EXPECT_EQ(std::vector<std::wstring>{L"local list: delete mode 0"}, ClickWithActive(IDC_MENU_DELETE, 1, 1));
    m_ui.Run([this] { SelectRow(0, false); });
    EXPECT_TRUE(ClickWithActive(IDC_MENU_DELETE, 0, 1, false).empty()) << "a delete without a selected row ran";
}

TEST_F(MenuBarTest, TheBatchRequestOpensTheApprovalFolderAndAsksForEveryRow)
{
    FillPanes();
    m_ui.Run([this] {
        auto* tree = static_cast<CServerTreeStandIn*>(m_frame->m_splitter.GetPane(0, 0));
        AddTreeItem(tree->m_tree, L"Shared", Record("12", "2", kDeleteOnly, L"Shared"));
        AddTreeItem(tree->m_tree, L"Approvals", Record("13", "A", kDeleteOnly, L"Approvals"));
    });
    EnableAll();
    const std::vector<std::wstring> calls = ClickWithActive(IDC_MENU_BATCH_APPROVAL, 1, 1);
    const std::vector<std::wstring> expected = {
        L"server tree: go to file 0 id 13 path 'Approvals' second '13'",
        L"server list: wait for the filling",
        L"server list: approval, 2 of 2 selected (active 0,1)",
    };
    EXPECT_EQ(expected, calls);

    // Without an approval folder nothing happens.
    m_ui.Run([this] { std::strcpy(m_records.back()->Attr27, "1"); });
    EXPECT_TRUE(ClickWithActive(IDC_MENU_BATCH_APPROVAL, 1, 1, false).empty());
}

TEST_F(MenuBarTest, EnterInTheSearchBoxSearchesTheServerTreesFolderByName)
{
    FillPanes();
    HWND search = ::GetDlgItem(g_bar, IDC_MENU_SEARCH);
    m_ui.Run([] { g_calls.clear(); });
    // Enter in an empty box searches nothing.
    uitest::SendKey(search, VK_RETURN);
    std::vector<std::wstring> calls;
    m_ui.Run([&] { calls = g_calls; });
    EXPECT_TRUE(calls.empty());
    uitest::TypeText(search, L"보고서");
    uitest::SendKey(search, VK_RETURN);
    m_ui.Run([&] { calls = g_calls; });
    EXPECT_EQ(std::vector<std::wstring>{L"server tree: search Docs for '보고서' 0"}, calls);
}

TEST_F(MenuBarTest, ThePermissionBoxShowsThePresentIconsSideBySide)
{
    auto icon = [](UINT id) { return CFileUtils::ToviLoadImage(id, 16, 16); };
    m_ui.Run([this] { Bar().SetMenuButtonState("1120", nullptr, 0); });
    EXPECT_EQ(icon(IDI_RIGHT_VIEW_PART), Bar().GetPermIcon(0));
    EXPECT_EQ(nullptr, Bar().GetPermIcon(1));
    EXPECT_EQ(icon(IDI_RIGHT_UPLOAD), Bar().GetPermIcon(2));
    EXPECT_EQ(icon(IDI_RIGHT_DELETE_OFF), Bar().GetPermIcon(3));

    // Drawing is the behaviour here: the box's frame and three icons 18 pixels apart from its
    // left, against the third icon slot left empty.
    uitest::Pixels shot = uitest::CaptureWindow(g_bar, 500);
    const CRect box = Bar().GetPermBox();
    ASSERT_FALSE(box.IsRectEmpty());
    EXPECT_EQ(RGB(0xD2, 0xD2, 0xD2), shot.At(box.left + 39, box.top)) << "no frame on the box's top edge";
    // A slot is drawn when its pixels differ from the bar's gradient on the same rows.
    auto drawn = [&](int slot) {
        int differing = 0;
        for (int y = box.top + 1; y < box.top + 17; ++y) {
            const RECT row = {box.left + 4 + 18 * slot, y, box.left + 4 + 18 * slot + 16, y + 1};
            differing += 16 - shot.Count(shot.At(box.right + 3, y), row);
        }
        return differing > 20;
    };
    EXPECT_TRUE(drawn(0));
    EXPECT_TRUE(drawn(1));
    EXPECT_TRUE(drawn(2));
    EXPECT_FALSE(drawn(3));

    // An empty state text leaves the icons; "0000" has no first icon, and without it no box.
    m_ui.Run([this] { Bar().SetMenuButtonState("", nullptr, 0); });
    EXPECT_EQ(icon(IDI_RIGHT_VIEW_PART), Bar().GetPermIcon(0));
    m_ui.Run([this] { Bar().SetMenuButtonState("0000", nullptr, 0); });
    EXPECT_EQ(nullptr, Bar().GetPermIcon(0));
    EXPECT_EQ(icon(IDI_RIGHT_DOWNLOAD_OFF), Bar().GetPermIcon(1));
    shot = uitest::CaptureWindow(g_bar, 500);
    EXPECT_NE(RGB(0xD2, 0xD2, 0xD2), shot.At(box.left + 39, box.top)) << "a box without its first icon was painted";
}

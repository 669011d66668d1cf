// The search window against the test server: a search over several pages lists every hit, the
// dates go out as yyyy-mm-dd, columns sort with folders first, a double click sends the go-to
// record and the download button hands only the checked files on.
#include <winsock2.h>
#include "DownloadHost.h"
#include "SearchDlg.h"
#include "WindowDriver.h"
#include <commctrl.h>
#include <cstring>

using namespace downloadtest;

namespace {

struct Told {
    int gotos = 0;
    int gotoIsFile = -1;
    std::wstring gotoPath;
    int closed = 0;
    std::vector<std::string> begins;   // "B", "I:<name>", "R"
    std::wstring folder;
};
Told g_told;

LRESULT CALLBACK SearchOwnerProc(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SEARCH_GOTO_FOLDER: {
        _SEARCH_GOTO_FOLDER* record = reinterpret_cast<_SEARCH_GOTO_FOLDER*>(wParam);
        ++g_told.gotos;
        g_told.gotoIsFile = record->IsFile;
        g_told.gotoPath = record->LocationPath->GetString();
        delete record->LocationPath;
        delete record->SecondPath;
        delete record;
        return 0;
    }
    case WM_SEARCHDLG_CLOSED:
        ++g_told.closed;
        return 0;
    case WM_SEARCH_DOWNLOAD_BEGIN:
        g_told.begins.push_back("B");
        return 0;
    case WM_SEARCH_DOWNLOAD_ITEM:
        g_told.begins.push_back("I:" + Utf8(reinterpret_cast<const _PROTO_SEARCH_INFO*>(wParam)->Name));
        g_told.folder = reinterpret_cast<const wchar_t*>(lParam);
        return 0;
    case WM_SEARCH_DOWNLOAD_RUN:
        g_told.begins.push_back("R");
        return 0;
    }
    return DefWindowProcW(wnd, message, wParam, lParam);
}

std::wstring g_chosen;
CString ChooseFolder(HWND, const CString&)
{
    return CString(g_chosen.c_str());
}

class Search : public DownloadHost {
protected:
    void SetUp() override
    {
        DownloadHost::SetUp();
        g_told = Told();
        g_chosen = m_dest;
        CSearchDlg::SetFolderChooser(ChooseFolder);
        m_ui.Run([this] {
            WNDCLASSW wc = {};
            wc.lpfnWndProc = SearchOwnerProc;
            wc.hInstance = GetModuleHandleW(nullptr);
            wc.lpszClassName = L"SearchOwner";
            RegisterClassW(&wc);
            m_owner = CreateWindowExW(0, L"SearchOwner", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance,
                                      nullptr);
        });
        const std::string myFiles = TopFolder(m_proto, L"My Files");
        std::strncpy(m_folder.IDX, myFiles.c_str(), 9);
        std::strcpy(m_folder.DIDX, "1");
    }
    void TearDown() override
    {
        if (m_dlg)
            m_ui.Run([this] { uitest::ClickButton(m_dlg->GetSafeHwnd(), 10125); });
        uitest::WaitUntil([] { return g_told.closed == 1; });
        m_ui.Run([this] { DestroyWindow(m_owner); });
        CSearchDlg::SetFolderChooser(nullptr);
        Control("SWITCH pageSize=0");
        DownloadHost::TearDown();
    }

    void Open(const wchar_t* text)
    {
        m_ui.Run([this, text] {
            m_dlg = new CSearchDlg();
            m_dlg->m_strSearchText = text;
            m_dlg->m_strLocation = L"My Files";
            m_dlg->m_pFolderInfo = &m_folder;
            m_dlg->m_hOwner = m_owner;
            m_dlg->m_hSplitter = m_owner;
            m_dlg->CopySession(&m_proto);
            m_dlg->Create(nullptr);
            m_dlg->ShowWindow(SW_SHOW);
        });
        m_wnd = m_dlg->GetSafeHwnd();
    }

    bool WaitForSearchEnd()
    {
        return uitest::WaitUntil([this] {
            bool busy = true;
            m_ui.Run([&] { busy = m_dlg->IsSearching(); });
            return !busy;
        }, 15000);
    }

    std::vector<std::wstring> Names()
    {
        std::vector<std::wstring> names;
        HWND list = GetDlgItem(m_wnd, 10059);
        const int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            wchar_t text[512] = {};
            LVITEMW item = {};
            item.pszText = text;
            item.cchTextMax = 512;
            SendMessageW(list, LVM_GETITEMTEXTW, i, reinterpret_cast<LPARAM>(&item));
            names.push_back(text);
        }
        return names;
    }

    void ClickColumn(int column)
    {
        NMLISTVIEW notice = {};
        notice.hdr.hwndFrom = GetDlgItem(m_wnd, 10059);
        notice.hdr.idFrom = 10059;
        notice.hdr.code = LVN_COLUMNCLICK;
        notice.iItem = -1;
        notice.iSubItem = column;
        SendMessageW(m_wnd, WM_NOTIFY, 10059, reinterpret_cast<LPARAM>(&notice));
    }

    _PROTO_FOLDER_INFO m_folder = {};
    CSearchDlg* m_dlg = nullptr;
    HWND m_wnd = nullptr;
    HWND m_owner = nullptr;
};

}

TEST_F(Search, EveryHitOfSeveralPagesIsListedAndSortsWithFoldersFirst)
{
    PutFile("hit-a.txt", 300);
    PutFile("hit-b.bin", 100);
    PutFile("deep/hit-c.txt", 200);
    PutFolder("hits-folder");
    PutFile("other.txt", 50);
    ASSERT_EQ("OK", Control("SWITCH pageSize=2").substr(0, 2));
    Open(L"hit");
    ASSERT_NE(nullptr, m_wnd);
    ASSERT_TRUE(WaitForSearchEnd());
    EXPECT_EQ(4, m_dlg->GetHitCount());
    EXPECT_EQ(4u, Names().size());
    EXPECT_EQ("hit", Utf8(Wide(road::LastRecords(Control("LAST cmd=D2"))[0][181])));

    ClickColumn(2);
    EXPECT_EQ((std::vector<std::wstring>{L"hits-folder", L"hit-b.bin", L"hit-c.txt", L"hit-a.txt"}), Names());
    ClickColumn(2);
    EXPECT_EQ((std::vector<std::wstring>{L"hits-folder", L"hit-a.txt", L"hit-c.txt", L"hit-b.bin"}), Names());
    ClickColumn(0);
    EXPECT_EQ((std::vector<std::wstring>{L"hit-a.txt", L"hit-b.bin", L"hit-c.txt", L"hits-folder"}), Names());
}

TEST_F(Search, DatesTravelAsYearMonthDayWhateverThePickerShows)
{
    PutFile("dated.txt", 10);
    Open(L"dated");
    ASSERT_TRUE(WaitForSearchEnd());
    SYSTEMTIME from = {};
    from.wYear = 2024;
    from.wMonth = 3;
    from.wDay = 5;
    SendMessageW(GetDlgItem(m_wnd, 10164), DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&from));
    uitest::ClickButton(m_wnd, 10166);
    ASSERT_TRUE(uitest::WaitUntil([this] { return !road::LastRecords(Control("LAST cmd=D2")).empty() &&
                                                   road::LastRecords(Control("LAST cmd=D2"))[0].count(11); }));
    ASSERT_TRUE(WaitForSearchEnd());
    EXPECT_EQ("2024-03-05", road::LastRecords(Control("LAST cmd=D2"))[0][11]);
    EXPECT_EQ(0u, road::LastRecords(Control("LAST cmd=D2"))[0].count(12)) << "no end date chosen";
}

TEST_F(Search, DoubleClickSendsTheGoToRecordAndDownloadHandsOnlyCheckedFiles)
{
    PutFile("pick-1.txt", 10);
    PutFile("pick-2.txt", 20);
    PutFolder("pick-folder");
    Open(L"pick");
    ASSERT_TRUE(WaitForSearchEnd());
    ASSERT_EQ(3u, Names().size());
    HWND list = GetDlgItem(m_wnd, 10059);
    ClickColumn(0);   // the name column sorts already: a click turns it round
    ASSERT_EQ((std::vector<std::wstring>{L"pick-folder", L"pick-2.txt", L"pick-1.txt"}), Names());

    LVITEMW state = {};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list, LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&state));
    NMITEMACTIVATE click = {};
    click.hdr.hwndFrom = list;
    click.hdr.idFrom = 10059;
    click.hdr.code = NM_DBLCLK;
    click.iItem = 1;
    SendMessageW(m_wnd, WM_NOTIFY, 10059, reinterpret_cast<LPARAM>(&click));
    EXPECT_EQ(1, g_told.gotos);
    EXPECT_EQ(1, g_told.gotoIsFile);

    // The user ticks the second file and the folder.
    for (int row : {0, 1}) {
        RECT box = {};
        m_ui.Run([&] {
            m_dlg->RedrawWindow();
            LVITEMW item = {};
            item.mask = LVIF_PARAM;
            item.iItem = row;
            SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
            // Where the list painted the row's box.
            box = reinterpret_cast<const _PROTO_SEARCH_INFO*>(item.lParam)->CheckRect;
        });
        const int x = (box.left + box.right) / 2, y = (box.top + box.bottom) / 2;
        SendMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
        SendMessageW(list, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    }
    uitest::ClickButton(m_wnd, IDCANCEL);
    ASSERT_TRUE(uitest::WaitUntil([] { return !g_told.begins.empty() && g_told.begins.back() == "R"; }));
    EXPECT_EQ((std::vector<std::string>{"B", "I:pick-2.txt", "R"}), g_told.begins) << "folders are never handed on";
    EXPECT_EQ(m_dest, g_told.folder);
}

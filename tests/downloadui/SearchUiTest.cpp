// The search window against the test server: a search over several pages lists every hit, the
// panel's conditions reach the request (dates as yyyy-mm-dd whatever the picker shows), columns
// sort with folders first, a double click sends the go-to record, the download button hands only
// the checked files on, the stop button and the page bound end the paging, and the window keeps
// its frame when maximised.
#include <winsock2.h>
#include "DownloadHost.h"
#include "AutoAnswer.h"
#include "PixelCapture.h"
#include "TestPaths.h"
#include "ToviRegistry.h"
#include "ToviTextLanguage.h"
#include "SearchDlg.h"
#include "SearchMenuDlg.h"
#include "SeamSwap.h"
#include "WindowDriver.h"
#include <commctrl.h>
#include <cstring>
#include <functional>
#include <map>

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

// Today less some days, as the server reads a date.
std::string DaysBack(int days)
{
    SYSTEMTIME now = {};
    GetLocalTime(&now);
    now.wHour = now.wMinute = now.wSecond = now.wMilliseconds = 0;
    FILETIME file = {};
    SystemTimeToFileTime(&now, &file);
    ULARGE_INTEGER at;
    at.LowPart = file.dwLowDateTime;
    at.HighPart = file.dwHighDateTime;
    at.QuadPart -= static_cast<ULONGLONG>(days) * 24 * 3600 * 10000000ULL;
    file.dwLowDateTime = at.LowPart;
    file.dwHighDateTime = at.HighPart;
    SYSTEMTIME then = {};
    FileTimeToSystemTime(&file, &then);
    char text[11] = {};
    snprintf(text, sizeof text, "%04d-%02d-%02d", then.wYear, then.wMonth, then.wDay);
    return text;
}

std::wstring g_chosen;
int g_chooserCalls = 0;
CString ChooseFolder(HWND, const CString&)
{
    ++g_chooserCalls;
    return CString(g_chosen.c_str());
}

// The main window's side of the search download: its local pane and the folder selected there.
class LocalPane : public ISearchDownloadHost {
public:
    bool IsLocalPaneShown() override { return shown; }
    CString SelectedLocalFolder() override
    {
        ++asked;
        return CString(folder.c_str());
    }
    bool shown = true;
    std::wstring folder;
    int asked = 0;
};

class Search : public DownloadHost {
public:   // the condition table acts on the fixture
    void SetUp() override
    {
        DownloadHost::SetUp();
        g_told = Told();
        g_chosen = m_dest;
        g_chooserCalls = 0;
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
        CSearchDlg::SetPageLimit(0);
        Control("SWITCH pageSize=0");
        DownloadHost::TearDown();
    }

    void Open(const wchar_t* text, unsigned short language = LANG_ENGLISH)
    {
        m_ui.Run([this, text, language] {
            CToviTextLanguage::SetThreadLanguage(language);
            m_dlg = new CSearchDlg();
            m_dlg->m_strSearchText = text;
            m_dlg->m_bContentSearch = m_content;
            m_dlg->m_strCustomFlag = m_customFlag;
            m_dlg->m_pDownloadHost = m_host;
            m_dlg->m_strLocation = L"My Files";
            m_dlg->m_pFolderInfo = &m_folder;
            m_dlg->m_hOwner = m_owner;
            m_dlg->m_hSplitter = m_owner;
            m_dlg->CopySession(&m_proto);
            m_dlg->Create(nullptr);
            m_dlg->ShowWindow(SW_SHOW);
        });
        m_wnd = m_dlg->GetSafeHwnd();
        m_ui.Run([this] { m_panel = m_dlg->GetMenu()->GetSafeHwnd(); });
    }

    // The user ticks or clears a check box of the panel.
    void Click(int id) { SendMessageW(GetDlgItem(m_panel, id), BM_CLICK, 0, 0); }
    // The user picks a row of a panel's combo box.
    void Pick(int id, int row)
    {
        HWND combo = GetDlgItem(m_panel, id);
        SendMessageW(combo, CB_SETCURSEL, row, 0);
        SendMessageW(m_panel, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
    }
    void SetDate(int id, int year, int month, int day)
    {
        SYSTEMTIME date = {};
        date.wYear = static_cast<WORD>(year);
        date.wMonth = static_cast<WORD>(month);
        date.wDay = static_cast<WORD>(day);
        SendMessageW(GetDlgItem(m_panel, id), DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&date));
    }
    long D2Count() { return RequestCount("D2"); }
    // Presses the panel's search button and waits for that search to end.
    bool SearchAgain()
    {
        const long before = D2Count();
        uitest::ClickButton(m_panel, 10153);
        return uitest::WaitUntil([&] { return D2Count() > before; }, 10000) && WaitForSearchEnd();
    }
    std::map<int, std::string> LastSearch() { return road::LastRecords(Control("LAST cmd=D2"))[0]; }

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

    // The user ticks a file row's check box where the list painted it.
    void Tick(int row)
    {
        HWND list = GetDlgItem(m_wnd, 10059);
        RECT box = {};
        m_ui.Run([&] {
            m_dlg->RedrawWindow();
            LVITEMW item = {};
            item.mask = LVIF_PARAM;
            item.iItem = row;
            SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
            box = reinterpret_cast<const _PROTO_SEARCH_INFO*>(item.lParam)->CheckRect;
        });
        // The clickable rectangle reaches 3 pixels beyond the painted box.
        EXPECT_GE(box.left + 3, 1) << "the box lies whole inside the list, row " << row;
        const int x = (box.left + box.right) / 2, y = (box.top + box.bottom) / 2;
        SendMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
        SendMessageW(list, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    }

    bool m_content = false;
    CString m_customFlag;
    ISearchDownloadHost* m_host = nullptr;
    _PROTO_FOLDER_INFO m_folder = {};
    CSearchDlg* m_dlg = nullptr;
    testseam::Swap<CSearchDlg::FolderChooserFn> m_chooser{CSearchDlg::s_pfnChooseFolder, ChooseFolder};
    HWND m_wnd = nullptr;
    HWND m_panel = nullptr;
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

TEST_F(Search, ThePanelsConditionsReachTheRequest)
{
    PutFile("cond.txt", 10);
    Open(L"cond");
    ASSERT_TRUE(WaitForSearchEnd());
    {
        const std::map<int, std::string> plain = LastSearch();
        EXPECT_EQ("A", plain.at(25));
        for (int absent : {11, 12, 169, 221, 222})
            EXPECT_EQ(0u, plain.count(absent)) << "field " << absent << " without its condition";
    }

    struct Row {
        const char* name;
        std::function<void(Search&)> act;
        std::map<int, std::string> sent;   // "" = the field is left out
    };
    const Row rows[] = {
        {"files", [](Search& t) { t.Click(10172); t.Pick(10178, 1); }, {{25, "F"}}},
        {"folders", [](Search& t) { t.Pick(10178, 0); }, {{25, "D"}, {221, ""}, {222, ""}}},
        {"category off", [](Search& t) { t.Click(10172); }, {{25, "A"}}},
        {"up to 1KB", [](Search& t) { t.Click(10174); }, {{221, ""}, {222, "1024"}}},
        {"100KB to 1MB", [](Search& t) { t.Pick(10175, 2); }, {{221, "102400"}, {222, "1048576"}}},
        {"1GB and more", [](Search& t) { t.Pick(10175, 6); }, {{221, "1073741824"}, {222, ""}}},
        {"size off", [](Search& t) { t.Click(10174); }, {{221, ""}, {222, ""}}},
        {"dates", [](Search& t) { t.Click(10068); t.SetDate(10070, 2024, 3, 5); t.SetDate(10071, 2024, 11, 30); },
         {{11, "2024-03-05"}, {12, "2024-11-30"}}},
        {"dates off", [](Search& t) { t.Click(10068); }, {{11, ""}, {12, ""}}},
        {"three months back", [](Search& t) { t.Click(10068); t.Pick(10177, 2); },
         {{11, DaysBack(90)}, {12, DaysBack(0)}}},
        {"dates off again", [](Search& t) { t.Click(10068); }, {{11, ""}, {12, ""}}},
        {"owner", [](Search& t) { t.Click(10176); uitest::SetText(GetDlgItem(t.m_panel, 10007), L"alice"); },
         {{169, "alice"}}},
        {"owner off", [](Search& t) { t.Click(10176); }, {{169, ""}}},
    };
    for (const Row& row : rows) {
        row.act(*this);
        ASSERT_TRUE(SearchAgain()) << row.name;
        const std::map<int, std::string> sent = LastSearch();
        for (const auto& [id, value] : row.sent) {
            if (value.empty())
                EXPECT_EQ(0u, sent.count(id)) << row.name << ": field " << id;
            else
                EXPECT_EQ(value, sent.count(id) ? sent.at(id) : "(none)") << row.name << ": field " << id;
        }
    }
}

TEST_F(Search, FoldersTakeNoSizeAndAReversedDateRangeStartsNothing)
{
    PutFile("rule.txt", 10);
    Open(L"rule");
    ASSERT_TRUE(WaitForSearchEnd());
    Click(10174);
    Pick(10175, 3);
    Click(10172);
    Pick(10178, 0);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(m_panel, 10174))) << "folders have no size";
    EXPECT_EQ(BST_UNCHECKED, SendMessageW(GetDlgItem(m_panel, 10174), BM_GETCHECK, 0, 0));
    Pick(10178, 1);
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(m_panel, 10174)));

    Click(10068);
    SetDate(10070, 2024, 6, 2);
    SetDate(10071, 2024, 6, 1);
    const long before = D2Count();
    uitest::AutoAnswer boxes(L"Corvane IXO MessageBox", IDOK);
    uitest::ClickButton(m_panel, 10153);
    ASSERT_TRUE(boxes.WaitForCount(1, 10000));
    EXPECT_TRUE(FirstBoxSaid(boxes, L"before the start date")) << "message 12105";
    Sleep(300);
    EXPECT_EQ(before, D2Count()) << "no search";
    EXPECT_FALSE(m_dlg->IsSearching());
}

TEST_F(Search, TheStopButtonEndsThePagingAndTheRowsStay)
{
    for (int i = 0; i < 6; ++i)
        PutFile("stop-" + std::to_string(i) + ".txt", 10);
    ASSERT_EQ("OK", Control("SWITCH pageSize=1").substr(0, 2));
    ASSERT_EQ("OK", Control("FAULT delay ms=400 count=* cmd=D2").substr(0, 2));
    Open(L"stop");
    ASSERT_TRUE(uitest::WaitUntil([this] { return D2Count() >= 2; }, 10000));
    EXPECT_EQ(L"Stop", uitest::GetText(GetDlgItem(m_panel, 10153)));
    uitest::ClickButton(m_panel, 10153);
    ASSERT_TRUE(WaitForSearchEnd());
    const long asked = D2Count();
    // A further page would be asked for as soon as the last one came: the count stands still
    // for well over one delayed page, at the number it had when the search ended.
    EXPECT_TRUE(uitest::WaitUntilSteady([this] { return std::to_string(D2Count()); }, 1000));
    EXPECT_EQ(asked, D2Count()) << "a stopped search asks for no further page";
    EXPECT_LT(asked, 6);
    EXPECT_GE(m_dlg->GetHitCount(), 1) << "the rows of earlier pages stay";
    EXPECT_LT(m_dlg->GetHitCount(), 6);
    EXPECT_EQ(L"Search", uitest::GetText(GetDlgItem(m_panel, 10153)));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(m_panel, 10156))) << "the name can be changed again";
}

TEST_F(Search, AServerThatNeverEndsItsListIsFollowedOnlyToTheBound)
{
    PutFile("endless-1.txt", 10);
    PutFile("endless-2.txt", 10);
    ASSERT_EQ("OK", Control("FAULT no-last-page count=* cmd=D2").substr(0, 2));
    CSearchDlg::SetPageLimit(5);
    uitest::AutoAnswer boxes(L"Corvane IXO MessageBox", IDOK);
    Open(L"endless");
    ASSERT_TRUE(WaitForSearchEnd()) << "the search must end by itself";
    EXPECT_EQ(5, D2Count());
    EXPECT_EQ(10, m_dlg->GetHitCount()) << "what came stays listed";
    EXPECT_EQ(1, boxes.Count()) << "and the user learns it may be incomplete";
    EXPECT_EQ(L"Search", uitest::GetText(GetDlgItem(m_panel, 10153)));
}

TEST_F(Search, TheWindowKeepsItsMinimumAndMaximisesWithItsBorderBeyondTheWorkArea)
{
    m_ui.SetPreTranslate(&AfxPreTranslateMessage);
    Open(L"");
    RECT window = {};
    m_ui.Run([this] { SetWindowPos(m_wnd, nullptr, 0, 0, 300, 200, SWP_NOMOVE | SWP_NOZORDER); });
    GetWindowRect(m_wnd, &window);
    EXPECT_GE(window.right - window.left, 800);
    EXPECT_GE(window.bottom - window.top, 540);
    RECT work = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    m_ui.Run([this] { ShowWindow(m_wnd, SW_MAXIMIZE); });
    GetWindowRect(m_wnd, &window);
    EXPECT_EQ(work.left - 4, window.left);
    EXPECT_EQ(work.top - 4, window.top);
    EXPECT_EQ(work.right + 4, window.right);
    EXPECT_EQ(work.bottom + 4, window.bottom);
    RECT client = {};
    GetClientRect(m_wnd, &client);
    EXPECT_EQ(work.right - work.left, client.right) << "only the border lies beyond the work area";
    EXPECT_EQ(work.bottom - work.top, client.bottom);
    m_ui.Run([this] { uitest::ClickButton(m_wnd, 10124); });
    m_ui.Run([] {});
    EXPECT_FALSE(IsZoomed(m_wnd)) << "the caption's middle button restores";
    // A double click on the caption band maximises, as a system caption would.
    PostMessageW(m_wnd, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(300, 10));
    EXPECT_TRUE(uitest::WaitUntil([this] { return IsZoomed(m_wnd) != FALSE; }));
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
    for (int row : {0, 1})
        Tick(row);
    uitest::ClickButton(m_wnd, IDCANCEL);
    ASSERT_TRUE(uitest::WaitUntil([] { return !g_told.begins.empty() && g_told.begins.back() == "R"; }));
    EXPECT_EQ((std::vector<std::string>{"B", "I:pick-2.txt", "R"}), g_told.begins) << "folders are never handed on";
    EXPECT_EQ(m_dest, g_told.folder);
}

TEST_F(Search, Screenshots)
{
    PutFile("보고서 2026.docx", 4096);
    PutFile("report-final.txt", 120000);
    PutFolder("reports");
    const std::wstring dir = testpaths::ScratchDir(L"search-shots");
    const struct {
        unsigned short language;
        const wchar_t* tag;
    } looks[] = {{LANG_KOREAN, L"ko"}, {LANG_ENGLISH, L"en"}};
    for (const auto& look : looks) {
        // The window takes its face from the configured language.
        ASSERT_TRUE(CToviRegistry::SetLanguage(0, look.language));
        Open(L"r", look.language);
        ASSERT_TRUE(WaitForSearchEnd());
        Click(10172);
        Pick(10178, 1);
        Click(10174);
        Pick(10175, 3);
        Click(10068);
        Pick(10177, 2);
        const uitest::Pixels shot = uitest::CaptureWindow(m_wnd, 500);
        EXPECT_TRUE(uitest::SavePng(shot, dir + L"\\search-" + look.tag + L".png"));
        // Down the client's left edge: the caption band, its two lines, the body, the line above
        // the footer band and the footer band, in the palette of every skinned window.
        RECT window = {}, client = {};
        POINT origin = {0, 0};
        GetWindowRect(m_wnd, &window);
        GetClientRect(m_wnd, &client);
        ClientToScreen(m_wnd, &origin);
        const int x = origin.x - window.left + 2, top = origin.y - window.top;
        const struct {
            int y;
            COLORREF colour;
        } rows[] = {{0, RGB(0x7B, 0xA2, 0xD0)},          {24, RGB(0x38, 0x64, 0x9A)},
                    {25, RGB(0x2E, 0x51, 0x7C)},         {26, RGB(0xF8, 0xF8, 0xF8)},
                    {client.bottom - 37, RGB(0xDD, 0xDD, 0xDD)}, {client.bottom - 36, RGB(0xEE, 0xEE, 0xEE)}};
        for (const auto& row : rows)
            EXPECT_EQ(row.colour, shot.At(x, top + row.y)) << "client row " << row.y;
        const HIMAGELIST icons = reinterpret_cast<HIMAGELIST>(
            SendMessageW(GetDlgItem(m_wnd, 10059), LVM_GETIMAGELIST, LVSIL_SMALL, 0));
        EXPECT_GT(ImageList_GetImageCount(icons), 0) << "the shared icons outlive an earlier window";
        if (look.language == LANG_ENGLISH)
            break;   // the fixture closes the last one
        m_ui.Run([this] { uitest::ClickButton(m_wnd, 10125); });
        ASSERT_TRUE(uitest::WaitUntil([] { return g_told.closed == 1; }));
        g_told.closed = 0;
    }
}

TEST_F(Search, WithTheLocalPaneShownItsSelectedFolderTakesTheFilesAndIsRemembered)
{
    PutFile("pane-1.txt", 10);
    LocalPane pane;
    pane.folder = m_dest;
    m_host = &pane;
    Open(L"pane");
    ASSERT_TRUE(WaitForSearchEnd());
    ASSERT_EQ(1, m_dlg->GetHitCount());
    Tick(0);
    uitest::ClickButton(m_wnd, IDCANCEL);
    ASSERT_TRUE(uitest::WaitUntil([] { return !g_told.begins.empty() && g_told.begins.back() == "R"; }));
    EXPECT_EQ(m_dest, g_told.folder);
    pane.folder = L"C:\\elsewhere";
    g_told.begins.clear();
    uitest::ClickButton(m_wnd, IDCANCEL);
    ASSERT_TRUE(uitest::WaitUntil([] { return !g_told.begins.empty() && g_told.begins.back() == "R"; }));
    EXPECT_EQ(m_dest, g_told.folder) << "the folder of the first download is kept";
    EXPECT_EQ(1, pane.asked);
    EXPECT_EQ(0, g_chooserCalls) << "no folder browser while the local pane offers a folder";

    // Without the local pane the user chooses.
    pane.shown = false;
    g_chosen = m_dest + L"\\chosen";
    CreateDirectoryW(g_chosen.c_str(), nullptr);
    g_told.begins.clear();
    uitest::ClickButton(m_wnd, IDCANCEL);
    ASSERT_TRUE(uitest::WaitUntil([] { return !g_told.begins.empty() && g_told.begins.back() == "R"; }));
    EXPECT_EQ(1, g_chooserCalls);
    EXPECT_EQ(g_chosen, g_told.folder);
}

TEST_F(Search, EnterInTheNameStartsTheSearchAndEscapeClosesTheWindow)
{
    PutFile("typed.txt", 10);
    m_ui.SetPreTranslate(&AfxPreTranslateMessage);
    Open(L"");
    HWND name = GetDlgItem(m_panel, 10156);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(m_panel, 10153))) << "nothing to search for yet";
    uitest::SetText(name, L"typed");
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(m_panel, 10153)));
    uitest::SendKey(name, VK_RETURN);
    ASSERT_TRUE(uitest::WaitUntil([this] { return D2Count() == 1; }, 10000));
    ASSERT_TRUE(WaitForSearchEnd());
    EXPECT_EQ(1, m_dlg->GetHitCount());
    EXPECT_TRUE(IsWindow(m_wnd)) << "Enter searches, it never closes the window";
    uitest::SendKey(GetDlgItem(m_wnd, 10059), VK_ESCAPE);
    ASSERT_TRUE(uitest::WaitUntil([] { return g_told.closed == 1; }));
    EXPECT_TRUE(g_told.begins.empty()) << "Escape is no download";
    m_dlg = nullptr;
}

TEST_F(Search, AContentSearchAsksForDocumentsInOneWideColumn)
{
    PutFile("notes.txt", 10);
    m_content = true;
    m_customFlag = L"WQPD_IN";
    Open(L"notes");
    ASSERT_TRUE(WaitForSearchEnd());
    const std::map<int, std::string> sent = LastSearch();
    EXPECT_EQ("Y", sent.at(54));
    EXPECT_EQ("F", sent.at(25)) << "documents only";
    HWND header = reinterpret_cast<HWND>(SendMessageW(GetDlgItem(m_wnd, 10059), LVM_GETHEADER, 0, 0));
    EXPECT_EQ(1, SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
    EXPECT_EQ(BST_CHECKED, SendMessageW(GetDlgItem(m_panel, 10172), BM_GETCHECK, 0, 0));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(m_panel, 10172)));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(m_panel, 10176))) << "this site searches no owner";
}

// The main window's own windows in this process: the owner-drawn menu and the tray menu's
// rows, the timers the server's intervals arm, and the log-out and idle check while a modal
// operation runs.
#include "AppRes.h"
#include <algorithm>
#include <atomic>
#include "InfoBarDlg.h"
#include "AutoAnswer.h"
#include "FakePopupHost.h"
#include "DateTime.h"
#include "FaultWatch.h"
#include "InstallerTrust.h"
#include "StatusBarDlg.h"
#include "TaskBarDlg.h"
#include "TestPaths.h"
#include "ToviCrypto.h"
#include "ToviProto.h"
#include "ProtoNetwork.h"
#include "ToviMsg.h"
#include "ToviString.h"
#include "Library.h"
#include "MainFrame.h"
#include "MainFrameRules.h"
#include "PopupDlg.h"
#include "ToviHtmlView.h"
#include "ServerOperationHost.h"
#include "ServerLeftView.h"
#include "ServerRightView.h"
#include "ToviMessages.h"
#include "ToviMenu.h"
#include "ToviRegistry.h"
#include "ToviString.h"
#include "ToviTray.h"
#include "UiThread.h"
#include "WindowDriver.h"
#include <gtest/gtest.h>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

std::wstring ItemText(CMenu& menu, UINT id)
{
    MENUITEMINFOW info = {sizeof(info)};
    info.fMask = MIIM_DATA;
    if (!menu.GetMenuItemInfo(id, &info))
        return L"<none>";
    const wchar_t* text = CToviMenu::ItemText(info.dwItemData);
    return text ? text : L"<null>";
}

bool Grayed(CMenu& menu, UINT id)
{
    return (::GetMenuState(menu.m_hMenu, id, MF_BYCOMMAND) & MF_GRAYED) != 0;
}

bool Present(CMenu& menu, UINT id)
{
    return ::GetMenuState(menu.m_hMenu, id, MF_BYCOMMAND) != static_cast<UINT>(-1);
}

BOOL WINAPI NoShell(DWORD, PNOTIFYICONDATAW)
{
    return TRUE;
}

}

TEST(ToviMenu, ItemsKeepTheirOwnTextAfterTheCallersStringChangedOrWentAway)
{
    CToviMenu menu;
    menu.Initialise();
    {
        std::wstring caller = L"Log In";
        ASSERT_TRUE(menu.AppendItem(ID_TRAY_LOGIN, caller.c_str(), nullptr));
        caller.assign(L"XXXXXX");
    }
    std::wstring* gone = new std::wstring(L"Settings\tCtrl+S");
    ASSERT_TRUE(menu.AppendItem(ID_TRAY_CONFIG, gone->c_str(), nullptr));
    delete gone;
    ASSERT_TRUE(menu.AppendSeparator());
    EXPECT_EQ(L"Log In", ItemText(menu, ID_TRAY_LOGIN));
    EXPECT_EQ(L"Settings\tCtrl+S", ItemText(menu, ID_TRAY_CONFIG));
    MENUITEMINFOW separator = {sizeof(separator)};
    separator.fMask = MIIM_DATA | MIIM_FTYPE;
    ASSERT_TRUE(menu.GetMenuItemInfo(2, &separator, TRUE));
    EXPECT_EQ(0u, separator.dwItemData) << "a separator carries no text";
}

TEST(TrayMenu, RowsFollowTheSessionState)
{
    CToviTray::s_pNotify = NoShell;
    CToviTray tray;
    struct Row {
        bool loggedIn;
        bool changePassword;
    } rows[] = {{false, false}, {true, false}, {true, true}};
    for (const Row& row : rows) {
        tray.m_bMenuLogin = !row.loggedIn;
        tray.m_bMenuLogout = row.loggedIn;
        tray.m_bMenuChangePassword = row.changePassword;
        tray.m_bMenuConfig = TRUE;
        tray.m_bMenuExit = TRUE;
        CToviMenu menu;
        tray.FillMenu(menu);
        SCOPED_TRACE(row.loggedIn ? (row.changePassword ? "logged in, QLNW" : "logged in") : "logged out");
        EXPECT_EQ(row.loggedIn, Grayed(menu, ID_TRAY_LOGIN));
        EXPECT_EQ(!row.loggedIn, Grayed(menu, ID_TRAY_LOGOUT));
        EXPECT_EQ(row.changePassword, Present(menu, ID_TRAY_CHANGE_PASSWORD));
        EXPECT_FALSE(Grayed(menu, ID_TRAY_CONFIG));
        EXPECT_FALSE(Grayed(menu, ID_TRAY_ABOUT));
        EXPECT_FALSE(Grayed(menu, ID_TRAY_EXIT));
        EXPECT_EQ(std::wstring(CToviString::GetString(14059)), ItemText(menu, ID_TRAY_EXIT));
        // Log-in, log-out, separator, [change password, separator,] settings, separator, about,
        // separator, exit.
        EXPECT_EQ(row.changePassword ? 10 : 8, ::GetMenuItemCount(menu.m_hMenu));
    }
    CToviTray::s_pNotify = ::Shell_NotifyIconW;
}

class MainFrameTest : public ::testing::Test {
protected:
    static bool NoInputSinceBoot(DWORD* tick)
    {
        *tick = 0;
        return true;
    }

    void SetUp() override
    {
        CToviTray::s_pNotify = NoShell;
        // Automatic log-in on: a log-out here never brings the log-in dialog back.
        CToviRegistry::SetUserInfo(0, 0, 1, 1, L"nobody", L"none", L"");
        m_ui.Run([this] {
            // The browser views need OLE on the window's thread, as the program starts it.
            ::OleInitialize(nullptr);
            ToviInterfaceInit();
            m_frame = new CMainFrame;
            if (!m_frame->CreateHidden())
                m_frame = nullptr;
        });
        ASSERT_NE(nullptr, m_frame);
    }

    void TearDown() override
    {
        m_ui.Run([this] {
            if (m_frame && ::IsWindow(m_frame->m_hWnd)) {
                uitest::FaultWatch watch;
                m_frame->DestroyWindow();
                EXPECT_EQ(0, watch.Faults()) << "the frame's destruction touched freed memory";
            }
            ToviInterfaceTerm();
            ::OleUninitialize();
        });
        CMainFrame::s_pLastInput = m_savedInput;
        CToviTray::s_pNotify = ::Shell_NotifyIconW;
    }

    uitest::UiThread m_ui;
    CMainFrame* m_frame = nullptr;
    CMainFrame::LastInputQuery m_savedInput = CMainFrame::s_pLastInput;
};

TEST_F(MainFrameTest, AnIntervalOfZeroArmsNoTimer)
{
    bool killedZero = true, killedSet = false;
    m_ui.Run([&] {
        m_frame->ArmTimer(IDT_SESSIONUPDATE, 0);
        killedZero = ::KillTimer(m_frame->m_hWnd, IDT_SESSIONUPDATE) != FALSE;
        m_frame->ArmTimer(IDT_QUOTAUPDATE, 60000);
        killedSet = ::KillTimer(m_frame->m_hWnd, IDT_QUOTAUPDATE) != FALSE;
    });
    EXPECT_FALSE(killedZero) << "a timer was armed with 0 ms";
    EXPECT_TRUE(killedSet);
}

TEST_F(MainFrameTest, TheAlertPopUpGoesWithTheFrameAndIsFreedOnce)
{
    // The pop-up deletes itself when its window goes, which is no later than the frame's own:
    // freeing it again from the frame corrupted the heap (a fault, or a hang on its lock).
    const struct {
        const char* how;
        bool close;
    } ways[] = { {"destroyed", false}, {"closed", true} };
    for (const auto& way : ways) {
        if (m_frame == nullptr) {
            m_ui.Run([this] {
                m_frame = new CMainFrame;
                if (!m_frame->CreateHidden())
                    m_frame = nullptr;
            });
            ASSERT_NE(nullptr, m_frame);
        }
        LONG faults = -1;
        bool popupLeft = true;
        m_ui.Run([&] {
            ASSERT_NE(nullptr, m_frame->m_pTaskBarDlg);
            HWND popup = m_frame->m_pTaskBarDlg->m_hWnd;
            ASSERT_TRUE(::IsWindow(popup));
            uitest::FaultWatch watch;
            if (way.close)
                m_frame->SendMessage(WM_CLOSE);
            else
                m_frame->DestroyWindow();
            faults = watch.Faults();
            popupLeft = ::IsWindow(popup) != FALSE;
        });
        m_frame = nullptr;
        EXPECT_EQ(0, faults) << way.how;
        EXPECT_FALSE(popupLeft) << way.how;
    }
}

namespace {

// A machine that never gets a network, counting how often it was asked.
class CNoNetwork : public CNetworkFacts {
public:
    std::atomic<int> m_nAsked{0};
    BOOL ConnectedState(DWORD* flags) override
    {
        ++m_nAsked;
        if (flags)
            *flags = 0;
        return FALSE;
    }
};

}

TEST_F(MainFrameTest, WithoutANetworkForTheWholeMinuteTheProgramSaysSoOnceAndCloses)
{
    CNoNetwork none;
    CNetworkFacts* saved = CNetworkFacts::Install(&none);
    uitest::AutoAnswer answer(L"Corvane IXO MessageBox", IDOK);
    HWND frame = nullptr;
    CString expected;
    m_ui.Run([&] {
        frame = m_frame->m_hWnd;
        expected = CToviMsg::GetString(12079);
        m_frame->StartCheckNetwork();
    });
    EXPECT_TRUE(answer.WaitForCount(1, 120000)) << "no message after the minute";
    EXPECT_TRUE(uitest::WaitUntil([&] { return !::IsWindow(frame); }, 30000)) << "the program did not close";
    CNetworkFacts::Install(saved);
    ASSERT_EQ(1u, answer.Seen().size());
    const auto texts = answer.Seen()[0].texts;
    EXPECT_NE(texts.end(), std::find(texts.begin(), texts.end(), std::wstring(expected.GetString())));
    EXPECT_EQ(120, none.m_nAsked.load()) << "the check did not keep asking for the whole minute";
}

TEST_F(MainFrameTest, ALogOutDuringAModalOperationRunsWhenTheOperationEnds)
{
    bool loggedInAfterRequest = false;
    m_ui.Run([&] {
        m_frame->m_bLoggedIn = true;
        m_frame->BeginModal();
        m_frame->SendMessage(WM_LOGOUT, 0, 0);
        loggedInAfterRequest = m_frame->m_bLoggedIn;
    });
    EXPECT_TRUE(loggedInAfterRequest) << "the session was closed under a running operation";
    m_ui.Run([&] { m_frame->EndModal(); });
    bool loggedIn = true;
    EXPECT_TRUE(uitest::WaitUntil([&] {
        m_ui.Run([&] { loggedIn = m_frame->m_bLoggedIn; });
        return !loggedIn;
    }, 5000)) << "the kept log-out never ran";
}

TEST_F(MainFrameTest, AnExitDuringAModalOperationRunsWhenTheOperationEnds)
{
    // The tray's exit reaches the frame while an operation's dialog runs; closing then would
    // destroy the panes under the dialog's caller.
    HWND frame = nullptr;
    bool aliveWhileModal = false;
    m_ui.Run([&] {
        frame = m_frame->m_hWnd;
        m_frame->BeginModal();
        m_frame->SendMessage(WM_COMMAND, ID_TRAY_EXIT, 0);
        aliveWhileModal = ::IsWindow(frame) != FALSE;
    });
    EXPECT_TRUE(aliveWhileModal) << "the window was closed under a running operation";
    m_ui.Run([&] { m_frame->EndModal(); });
    EXPECT_TRUE(uitest::WaitUntil([&] {
        bool alive = true;
        m_ui.Run([&] { alive = ::IsWindow(frame) != FALSE; });
        return !alive;
    }, 5000)) << "the kept exit never ran";
    m_frame = nullptr;   // gone with its window
}

TEST_F(MainFrameTest, TheIdleCheckWaitsWhileAModalOperationRuns)
{
    CMainFrame::s_pLastInput = NoInputSinceBoot;
    bool queuedWhileModal = true, queuedAfter = false;
    m_ui.Run([&] {
        m_frame->m_nIdleLimit = 1000;
        m_frame->m_bIdleCheckFree = true;
        m_frame->BeginModal();
        m_frame->SendMessage(WM_TIMER, IDT_IDLE_CHECK, 0);
        MSG msg;
        queuedWhileModal = ::PeekMessageW(&msg, m_frame->m_hWnd, WM_LOGOUT, WM_LOGOUT, PM_NOREMOVE) != FALSE;
        m_frame->EndModal();
        m_frame->SendMessage(WM_TIMER, IDT_IDLE_CHECK, 0);
        queuedAfter = ::PeekMessageW(&msg, m_frame->m_hWnd, WM_LOGOUT, WM_LOGOUT, PM_REMOVE) != FALSE &&
                      msg.lParam == 1;
    });
    EXPECT_FALSE(queuedWhileModal) << "an idle log-out was asked for during a modal operation";
    EXPECT_TRUE(queuedAfter) << "the idle log-out did not come once the operation ended";
}

TEST_F(MainFrameTest, WithoutALogoImageTheCaptionBarDrawsTheProductText)
{
    // Drawing is the behaviour here: the text's light blue must appear where the logo would be.
    int lit = 0;
    m_ui.Run([&] {
        HWND bar = m_frame->m_wndMainBar.m_hWnd;
        RECT client = {};
        ::GetClientRect(bar, &client);
        HDC screen = ::GetDC(nullptr);
        HDC memory = ::CreateCompatibleDC(screen);
        HBITMAP bitmap = ::CreateCompatibleBitmap(screen, client.right, client.bottom);
        HGDIOBJ old = ::SelectObject(memory, bitmap);
        ::SendMessageW(bar, WM_ERASEBKGND, reinterpret_cast<WPARAM>(memory), 0);
        for (int y = 30; y < 54 && y < client.bottom; ++y) {
            for (int x = client.right - 130; x < client.right - 10; ++x) {
                const COLORREF c = ::GetPixel(memory, x, y);
                if (GetRValue(c) > 0x70 && GetBValue(c) > 0xC0)
                    ++lit;
            }
        }
        ::SelectObject(memory, old);
        ::DeleteObject(bitmap);
        ::DeleteDC(memory);
        ::ReleaseDC(nullptr, screen);
    });
    EXPECT_GT(lit, 40) << "no product text in the logo's place";
}

namespace {

struct OpenedPage {
    int kind;
    std::wstring url;
    std::wstring body;
};
std::vector<OpenedPage> g_pages;

void RecordPage(CWnd*, int kind, const CString& url, const CString& body)
{
    g_pages.push_back({kind, url.GetString(), body.GetString()});
}

std::vector<std::wstring> g_urls;

void RecordUrl(const CString& url)
{
    g_urls.push_back(url.GetString());
}

}

class InfoBarTest : public MainFrameTest {
protected:
    void SetUp() override
    {
        MainFrameTest::SetUp();
        g_pages.clear();
        g_urls.clear();
        CInfoBarDlg::s_pOpenPage = RecordPage;
        CInfoBarDlg::s_pOpenUrl = RecordUrl;
        m_ui.Run([this] {
            m_proto = new CToviProto;
            std::strcpy(m_proto->LoginInfo.SessionId, "S1&x");
            wcscpy(m_proto->LoginInfo.UserId, L"demo");
            wcscpy(m_proto->LoginInfo.UserName, L"Demo User");
            m_proto->ServerAddress.WebServerAddress = L"http://web.test";
            for (char* flag : {m_proto->OptionInfo.Attr61, m_proto->OptionInfo.Attr80, m_proto->OptionInfo.Attr81,
                               m_proto->OptionInfo.Draft, m_proto->OptionInfo.Approval})
                std::strcpy(flag, "Y");
            m_ownProto = m_frame->m_pProto;
            m_frame->m_pProto = m_proto;
            m_frame->m_wndInfoBar.SetUserInfo(m_proto);
        });
    }

    void TearDown() override
    {
        m_ui.Run([this] {
            m_frame->m_pProto = m_ownProto;
            m_frame->m_wndInfoBar.SetUserInfo(nullptr);
            delete m_proto;
        });
        CInfoBarDlg::s_pOpenPage = m_savedOpener;
        CInfoBarDlg::s_pOpenUrl = m_savedUrlOpener;
        MainFrameTest::TearDown();
    }

    void Click(UINT id)
    {
        m_ui.Run([&] {
            HWND button = ::GetDlgItem(m_frame->m_wndInfoBar.m_hWnd, id);
            m_frame->m_wndInfoBar.SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
        });
    }

    CToviProto* m_proto = nullptr;
    CToviProto* m_ownProto = nullptr;
    CInfoBarDlg::PageOpener m_savedOpener = CInfoBarDlg::s_pOpenPage;
    CInfoBarDlg::UrlOpener m_savedUrlOpener = CInfoBarDlg::s_pOpenUrl;
};

TEST_F(InfoBarTest, EachPageButtonOpensItsPageWithTheEncodedForm)
{
    const struct {
        UINT button;
        int kind;
        const wchar_t* page;
    } rows[] = {
        {IDC_INFO_ALARM, 1, L"alarm"},    {IDC_INFO_SHARE, 2, L"share"},    {IDC_INFO_LINK, 3, L"link"},
        {IDC_INFO_DRAFT, 4, L"tasmanage"}, {IDC_INFO_APPROVAL, 4, L"tasmanage"}, {IDC_INFO_USAGE, 5, L"usage"},
    };
    for (const auto& row : rows) {
        g_pages.clear();
        Click(row.button);
        ASSERT_EQ(1u, g_pages.size()) << "button " << row.button;
        EXPECT_EQ(row.kind, g_pages[0].kind) << "button " << row.button;
        EXPECT_EQ(L"http://web.test/pm/app/appLoginProc.htm", g_pages[0].url);
        EXPECT_EQ(std::wstring(L"link=") + row.page + L"&uid=demo&sess=S1%26x", g_pages[0].body)
            << "button " << row.button;
    }
}

TEST_F(InfoBarTest, WithoutASessionOrAWebAddressNoPageOpens)
{
    m_ui.Run([&] { m_proto->ServerAddress.WebServerAddress.Empty(); });
    Click(IDC_INFO_ALARM);
    m_ui.Run([&] {
        m_proto->ServerAddress.WebServerAddress = L"http://web.test";
        m_proto->LoginInfo.SessionId[0] = '\0';
    });
    Click(IDC_INFO_USAGE);
    EXPECT_TRUE(g_pages.empty());
}

TEST_F(InfoBarTest, TheTaskPageRequestOpensOnlyWhileTheApprovalCounterHasAValue)
{
    _ALARM_INFO alarm = {};
    std::strcpy(alarm.Approval, "2");
    m_ui.Run([&] {
        m_frame->m_wndInfoBar.SetAlertInfo(alarm);
        uitest::PumpMessages();
        m_frame->m_wndInfoBar.SendMessage(WM_OPEN_TASK_PAGE, IDC_INFO_APPROVAL, 0);
    });
    ASSERT_EQ(1u, g_pages.size());
    EXPECT_EQ(4, g_pages[0].kind);
    alarm.Approval[0] = '\0';
    std::wstring caption;
    m_ui.Run([&] {
        m_frame->m_wndInfoBar.SetAlertInfo(alarm);
        uitest::PumpMessages();
        m_frame->m_wndInfoBar.SendMessage(WM_OPEN_TASK_PAGE, IDC_INFO_APPROVAL, 0);
        caption = uitest::GetText(m_frame->m_wndInfoBar.GetDlgItem(IDC_INFO_APPROVAL)->m_hWnd);
    });
    EXPECT_EQ(1u, g_pages.size()) << "an empty approval counter still opened the page";
    EXPECT_EQ(L"E", caption);
}

TEST_F(InfoBarTest, AClickOnTheAlertNotifierOpensTheAlarmPage)
{
    m_ui.Run([&] { m_frame->SendMessage(WM_TASKBAR_CLICK, 0, 0); });
    ASSERT_EQ(1u, g_pages.size());
    EXPECT_EQ(1, g_pages[0].kind);
    EXPECT_EQ(L"link=alarm&uid=demo&sess=S1%26x", g_pages[0].body);
}

TEST_F(InfoBarTest, OnlyTheCustomerWithTheCollaborationSystemGetsItsButton)
{
    bool shown = true;
    m_ui.Run([&] { shown = m_frame->m_wndInfoBar.m_bCollaborationShown; });
    EXPECT_FALSE(shown);
    m_ui.Run([&] {
        m_proto->CustomerCode = L"ZQ";
        m_frame->m_wndInfoBar.SetUserInfo(m_proto);
        shown = m_frame->m_wndInfoBar.m_bCollaborationShown;
    });
    EXPECT_TRUE(shown);
    Click(IDC_INFO_COLLABORATION);
    ASSERT_EQ(1u, g_urls.size());
    EXPECT_NE(std::wstring::npos, g_urls[0].find(L"/AutoLogin.aspx?empno=demo"));
    // An id with characters that mean something in an address goes encoded.
    m_ui.Run([&] { wcscpy(m_proto->LoginInfo.UserId, L"kim&lee #1"); });
    Click(IDC_INFO_COLLABORATION);
    ASSERT_EQ(2u, g_urls.size());
    EXPECT_NE(std::wstring::npos, g_urls[1].find(L"/AutoLogin.aspx?empno=kim%26lee%20%231"))
        << CStringA(g_urls[1].c_str()).GetString();
}

TEST_F(InfoBarTest, TheAlternativeLabelOptionRenamesTheDraftAndApprovalCounters)
{
    const struct {
        const char* option;
        UINT draft, approval;
    } rows[] = {{"N", 14211, 14212}, {"Y", 14254, 14258}, {"", 14211, 14212}};
    for (const auto& row : rows) {
        CString draft, approval, wantDraft, wantApproval;
        m_ui.Run([&] {
            std::strcpy(m_proto->OptionInfo.PrivacyModel, row.option);
            m_frame->m_wndInfoBar.SetUserInfo(m_proto);
            draft = m_frame->m_wndInfoBar.CounterLabel(3);
            approval = m_frame->m_wndInfoBar.CounterLabel(4);
            wantDraft = CToviString::GetString(row.draft);
            wantApproval = CToviString::GetString(row.approval);
        });
        EXPECT_EQ(std::wstring(wantDraft.GetString()), std::wstring(draft.GetString())) << "option " << row.option;
        EXPECT_EQ(std::wstring(wantApproval.GetString()), std::wstring(approval.GetString())) << "option " << row.option;
    }
}

TEST(InfoBarQuota, PercentAndTextOfTheFirstQuotaLine)
{
    EXPECT_EQ(25, CInfoBarDlg::QuotaPercent(1024, 4096));
    EXPECT_EQ(100, CInfoBarDlg::QuotaPercent(0, 0)) << "a total of 0 counts as full";
    EXPECT_EQ(33, CInfoBarDlg::QuotaPercent(1, 3)) << "whole percent, cut";
    std::vector<_QUOTA_INFO> quota(2);
    std::strcpy(quota[0].TotalBytes, "4096");
    std::strcpy(quota[0].UsedBytes, "1024");
    std::strcpy(quota[1].TotalBytes, "1");
    int percent = -1;
    EXPECT_STREQ(L"1.0 KB(25%) / 4.0 KB", CInfoBarDlg::QuotaText(quota, &percent).GetString());
    EXPECT_EQ(25, percent);
    EXPECT_TRUE(CInfoBarDlg::QuotaText({}, &percent).IsEmpty());
}

TEST(StatusBarText, TheLastLogInShowsDotsAndNoTrailingBlanks)
{
    const struct {
        const char* stored;
        const wchar_t* shown;
    } rows[] = {
        {"2016-12-01 10:00:00   ", L"2016.12.01 10:00:00"},
        {"2016-12-01", L"2016.12.01"},
        {"", L""},
    };
    for (const auto& row : rows) {
        char slot[24] = {};
        std::strncpy(slot, row.stored, sizeof slot);
        EXPECT_STREQ(row.shown, CStatusBarDlg::LastLoginText(slot, sizeof slot).GetString()) << row.stored;
    }
    // A slot filled to its end has no terminator of its own.
    char full[24];
    std::memset(full, '7', sizeof full);
    EXPECT_EQ(24, CStatusBarDlg::LastLoginText(full, sizeof full).GetLength());
}

namespace {

struct Navigation {
    std::wstring url;
    std::wstring body;
};
std::vector<Navigation> g_navigations;

BOOL RecordNavigation(CMainFrame*, const CString& url, const CString& body)
{
    g_navigations.push_back({url.GetString(), body.GetString()});
    return TRUE;
}

struct Launch {
    std::wstring verb;
    std::wstring file;
    std::wstring folder;
};
std::vector<Launch> g_launches;
std::wstring g_documents;
std::string g_installerBytes;
int g_downloads = 0;
bool g_trusted = true;
std::vector<std::wstring> g_trustAsked;

int RecordLaunch(HWND, const wchar_t* verb, const wchar_t* file, const wchar_t* folder)
{
    g_launches.push_back({verb ? verb : L"", file, folder});
    return 1;
}

CString ScratchDocuments()
{
    return g_documents.c_str();
}

// Plays the web server: the installer, enciphered as the server keeps it.
bool ServeInstaller(HWND, const CString& url, const CString& file)
{
    ++g_downloads;
    if (url.Find(L"/control/app/ixo_") < 0)
        return false;
    const CString plain = file + L".plain";
    HANDLE out = ::CreateFileW(plain, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    ::WriteFile(out, g_installerBytes.data(), static_cast<DWORD>(g_installerBytes.size()), &written, nullptr);
    ::CloseHandle(out);
    _ENC_CTX ctx = {};
    ctx.algo = ENC_ALG_SEED;
    ctx.mode = ENC_MODE_OFB;
    ctx.keyBits = 128;
    char phrase[] = "tivrepolusak4827";
    ::DeleteFileW(file);
    const bool done = CToviCrypto::ToviKeySetup(phrase, &ctx) == 0 && CToviCrypto::ToviFileEncrypt(&ctx, plain, file) == 0;
    ::DeleteFileW(plain);
    return done;
}

bool JudgeSignature(const CString& file)
{
    g_trustAsked.push_back(file.GetString());
    return g_trusted;
}

std::string ReadAll(const std::wstring& path)
{
    HANDLE in = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (in == INVALID_HANDLE_VALUE)
        return "<none>";
    std::string bytes(1 << 16, '\0');
    DWORD read = 0;
    ::ReadFile(in, &bytes[0], static_cast<DWORD>(bytes.size()), &read, nullptr);
    ::CloseHandle(in);
    bytes.resize(read);
    return bytes;
}

bool Exists(const std::wstring& path)
{
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

}

class StatusBarTest : public InfoBarTest {
protected:
    void SetUp() override
    {
        InfoBarTest::SetUp();
        g_navigations.clear();
        g_launches.clear();
        g_trustAsked.clear();
        g_downloads = 0;
        g_trusted = true;
        g_installerBytes = "MZ a dummy installer " + std::string(3000, 'x');
        g_documents = testpaths::ScratchDir(L"StatusBarTest");
        ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\OrlemSecurity\\VariruDADDrive");
        CStatusBarDlg::s_pNavigate = RecordNavigation;
        CStatusBarDlg::s_pLaunch = RecordLaunch;
        CStatusBarDlg::s_pDownload = ServeInstaller;
        installer::g_pTrusted = JudgeSignature;
        CStatusBarDlg::s_pDocuments = ScratchDocuments;
        m_ui.Run([this] {
            wcscpy(m_proto->OptionInfo.ManualUrl, L"http://web.test/manual.pdf");
            for (char* flag : {m_proto->OptionInfo.UseOnlineHelp, m_proto->OptionInfo.WebStorage,
                               m_proto->OptionInfo.DriveAddOn, m_proto->OptionInfo.BackupAddOn})
                std::strcpy(flag, "Y");
            std::strcpy(m_proto->LoginInfo.LastLogin, "2026-12-01 09:30:00");
            std::strcpy(m_proto->LoginInfo.LastLoginIp, "10.0.0.7");
            m_frame->m_wndStatusBar.SetStatusInfo(m_proto);
        });
    }

    void TearDown() override
    {
        m_ui.Run([this] { m_frame->m_wndStatusBar.SetStatusInfo(nullptr); });
        CStatusBarDlg::s_pNavigate = m_saved.navigate;
        CStatusBarDlg::s_pLaunch = m_saved.launch;
        CStatusBarDlg::s_pDownload = m_saved.download;
        installer::g_pTrusted = m_saved.trusted;
        CStatusBarDlg::s_pDocuments = m_saved.documents;
        ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\OrlemSecurity\\VariruDADDrive");
        InfoBarTest::TearDown();
    }

    void ClickStatus(UINT id)
    {
        m_ui.Run([&] {
            HWND bar = m_frame->m_wndStatusBar.m_hWnd;
            ::SendMessageW(bar, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(bar, id)));
        });
    }

    std::wstring UpdateFolder() const { return g_documents + L"\\VariruDAD\\Update"; }

    struct {
        CStatusBarDlg::PageNavigator navigate = CStatusBarDlg::s_pNavigate;
        CStatusBarDlg::Launcher launch = CStatusBarDlg::s_pLaunch;
        CStatusBarDlg::Downloader download = CStatusBarDlg::s_pDownload;
        installer::TrustCheck trusted = installer::g_pTrusted;
        CString (*documents)() = CStatusBarDlg::s_pDocuments;
    } m_saved;
};

TEST_F(StatusBarTest, TheOptionsShowTheButtonsAndAnUnknownValueKeepsTheState)
{
    struct Row {
        const char* value;
        bool shown;
    } rows[] = {{"N", false}, {"", false}, {"Y", true}, {"?", true}, {"N", false}};
    for (const Row& row : rows) {
        bool shown[CStatusBarDlg::kButtons] = {};
        m_ui.Run([&] {
            std::strcpy(m_proto->OptionInfo.UseOnlineHelp, row.value);
            m_frame->m_wndStatusBar.SetStatusInfo(m_proto);
            // The frame is hidden here: the bar's own record says what it would show.
            for (int i = 0; i < CStatusBarDlg::kButtons; ++i)
                shown[i] = m_frame->m_wndStatusBar.m_bShown[i];
        });
        EXPECT_EQ(row.shown, shown[1]) << "help option \"" << row.value << "\"";
        EXPECT_TRUE(shown[0]) << "the manual has an address";
        EXPECT_TRUE(shown[2] && shown[3] && shown[4]);
    }
    CString last;
    m_ui.Run([&] { last = m_frame->m_wndStatusBar.m_strLastLogin; });
    EXPECT_STREQ(L"2026.12.01 09:30:00", last.GetString());
}

TEST_F(StatusBarTest, TheManualAndTheWebStorageOpenTheirPagesInTheFrame)
{
    ClickStatus(IDC_STATUS_MANUAL);
    ClickStatus(IDC_STATUS_WEB);
    ASSERT_EQ(2u, g_navigations.size());
    EXPECT_EQ(L"http://web.test/manual.pdf", g_navigations[0].url);
    EXPECT_EQ(L"", g_navigations[0].body);
    EXPECT_EQ(L"http://web.test/pm/app/appLoginProc.htm", g_navigations[1].url);
    EXPECT_EQ(L"link=disk&type=0&uid=demo&sess=S1%26x", g_navigations[1].body);
}

TEST_F(StatusBarTest, AnAddOnThatIsNotInstalledIsDownloadedDecipheredCheckedAndStarted)
{
    ClickStatus(IDC_STATUS_DRIVE);
    ASSERT_EQ(1, g_downloads);
    ASSERT_EQ(1u, g_trustAsked.size());
    EXPECT_EQ(UpdateFolder() + L"\\ixo_drive_setup.exe", g_trustAsked[0]);
    ASSERT_EQ(1u, g_launches.size());
    EXPECT_EQ(L"ixo_drive_setup.exe", g_launches[0].file);
    EXPECT_EQ(UpdateFolder(), g_launches[0].folder);
    EXPECT_EQ(g_installerBytes, ReadAll(UpdateFolder() + L"\\ixo_drive_setup.exe")) << "not deciphered";
    EXPECT_FALSE(Exists(UpdateFolder() + L"\\ixo_drive_setup.exe.enc")) << "the download was left";
    // A second press fetches it again over the first one.
    g_installerBytes = "MZ the next version";
    ClickStatus(IDC_STATUS_DRIVE);
    EXPECT_EQ(2, g_downloads);
    EXPECT_EQ(g_installerBytes, ReadAll(UpdateFolder() + L"\\ixo_drive_setup.exe"));
}

TEST_F(StatusBarTest, AnInstallerWithoutAValidSignatureIsRefusedAndDeleted)
{
    g_trusted = false;
    uitest::AutoAnswer boxes(L"Corvane IXO MessageBox", IDOK);
    ClickStatus(IDC_STATUS_BACKUP);
    ASSERT_EQ(1u, g_trustAsked.size());
    EXPECT_TRUE(g_launches.empty()) << "an unverified installer was started";
    EXPECT_FALSE(Exists(UpdateFolder() + L"\\ixo_backup_setup.exe")) << "the refused installer stayed";
    EXPECT_FALSE(Exists(UpdateFolder() + L"\\ixo_backup_setup.exe.enc"));
    EXPECT_TRUE(boxes.WaitForCount(1)) << "the refusal was not shown";
}

TEST_F(StatusBarTest, AnInstalledAddOnStartsFromItsFolderAndAMissingProgramIsInstalledAgain)
{
    const std::wstring install = testpaths::ScratchDir(L"StatusBarTestDrive");
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, ::RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\OrlemSecurity\\VariruDADDrive", 0,
                                               nullptr, 0, KEY_WRITE, nullptr, &key, nullptr));
    ::RegSetValueExW(key, L"InstallDir", 0, REG_SZ, reinterpret_cast<const BYTE*>(install.c_str()),
                     static_cast<DWORD>((install.size() + 1) * sizeof(wchar_t)));
    ::RegCloseKey(key);
    const std::wstring program = install + L"\\IXODrive.exe";
    HANDLE file = ::CreateFileW(program.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ::CloseHandle(file);
    ClickStatus(IDC_STATUS_DRIVE);
    ASSERT_EQ(1u, g_launches.size());
    EXPECT_EQ(L"IXODrive.exe", g_launches[0].file);
    EXPECT_EQ(install, g_launches[0].folder);
    EXPECT_EQ(0, g_downloads);
    ::DeleteFileW(program.c_str());
    ClickStatus(IDC_STATUS_DRIVE);
    EXPECT_EQ(1, g_downloads) << "the deleted program was not installed again";
    ASSERT_EQ(2u, g_launches.size());
    EXPECT_EQ(L"ixo_drive_setup.exe", g_launches[1].file);
}

TEST_F(StatusBarTest, WindowsOwnSignatureCheckRefusesAnUnsignedInstaller)
{
    installer::g_pTrusted = m_saved.trusted;
    uitest::AutoAnswer boxes(L"Corvane IXO MessageBox", IDOK);
    ClickStatus(IDC_STATUS_DRIVE);
    EXPECT_EQ(1, g_downloads);
    EXPECT_TRUE(g_launches.empty()) << "an unsigned installer was started";
    EXPECT_FALSE(Exists(UpdateFolder() + L"\\ixo_drive_setup.exe"));
    EXPECT_TRUE(boxes.WaitForCount(1));
}

TEST_F(StatusBarTest, HelpAsksTheScriptViewsPageForTheHelpWindowAsAHelpPopUp)
{
    int kind = -1;
    m_ui.Run([&] {
        ASSERT_NE(nullptr, m_frame->m_pScriptView);
        m_frame->m_pScriptView->m_nPopupKind = 0;
    });
    ClickStatus(IDC_STATUS_HELP);
    m_ui.Run([&] { kind = m_frame->m_pScriptView->m_nPopupKind; });
    // The page's new window becomes the help pop-up (kind 7).
    EXPECT_EQ(7, kind);
}

TEST_F(MainFrameTest, AServerOperationStopsTheQuotaTimerUntilItEndsAndARestoreLeavesItRunning)
{
    struct Seen {
        int mode = 0;
        bool quotaRunning = false;
    } during, after, restoreDuring;
    m_ui.Run([&] {
        std::unique_ptr<IServerOperationHost> host(NewFrameOperationHost(m_frame));
        m_frame->m_nQuotaInterval = 60000;
        m_frame->ArmTimer(IDT_QUOTAUPDATE, m_frame->m_nQuotaInterval);
        // Whether the quota timer runs, leaving it as it was.
        auto running = [&] {
            bool was = ::KillTimer(m_frame->m_hWnd, IDT_QUOTAUPDATE) != FALSE;
            if (was)
                m_frame->ArmTimer(IDT_QUOTAUPDATE, m_frame->m_nQuotaInterval);
            return was;
        };
        host->BeginModalOperation(0, true);
        during = {m_frame->m_nModalOp, running()};
        host->EndModalOperation();
        after = {m_frame->m_nModalOp, running()};
        host->BeginModalOperation(2, false);
        restoreDuring = {m_frame->m_nModalOp, running()};
        host->EndModalOperation();
    });
    EXPECT_EQ(0, during.mode);
    EXPECT_FALSE(during.quotaRunning);
    EXPECT_EQ(-1, after.mode);
    EXPECT_TRUE(after.quotaRunning) << "the quota timer was not armed again";
    EXPECT_EQ(2, restoreDuring.mode);
    EXPECT_TRUE(restoreDuring.quotaRunning);
}

TEST_F(MainFrameTest, AWebPageGoesToTheOpenPopUpOfItsKindOrElseToTheScriptPagesNewWindow)
{
    webcmd::PageRequest page;
    page.kind = 6;
    page.url = L"http://web.test/pm/app/appLoginProc.htm";
    page.body = L"link=tasrequest&uid=demo&sess=S1&file=11";
    page.function = L"openApproval";
    struct {
        int kind = -1;
        std::wstring url, param;
    } script;
    std::wstring popupParam, popupUrl;
    bool shown = false;
    int scriptKindAfterReuse = -1;
    std::wstring otherKindParam;
    popupfake::Log() = popupfake::BrowserLog();
    m_ui.Run([&] {
        std::unique_ptr<IServerOperationHost> host(NewFrameOperationHost(m_frame));
        CToviHtmlView* view = m_frame->m_pScriptView;
        ASSERT_NE(nullptr, view);
        // No pop-up of the kind: the script page's new window gets the page.
        view->m_nPopupKind = 0;
        host->OpenWebPage(page);
        script = {view->m_nPopupKind, view->m_strPopupUrl.GetString(), view->m_strPopupParam.GetString()};

        // An approval pop-up is open: it is navigated and shown, the script is left alone.
        const CHtmlView::BrowserFactory control = CHtmlView::s_pfnBrowserFactory;
        CHtmlView::s_pfnBrowserFactory = &popupfake::RecordingBrowser::Make;
        CPopupDlg* popup = new CPopupDlg(m_frame);
        popup->m_nPopupKind = 6;
        const bool made = popup->Create(CPopupDlg::IDD, m_frame) != FALSE;
        CHtmlView::s_pfnBrowserFactory = control;
        ASSERT_TRUE(made);
        const int slot = mainframe::PopupSlot(6);
        m_frame->m_popups[slot] = popup;
        view->m_nPopupKind = 0;
        page.body = L"link=tasrequest&uid=demo&sess=S1&dir=20";
        host->OpenWebPage(page);
        scriptKindAfterReuse = view->m_nPopupKind;
        popupUrl = popup->m_strUrl.GetString();
        popupParam = popup->m_strParam.GetString();
        shown = ::IsWindowVisible(popup->m_hWnd) != FALSE;

        // A pop-up of another kind in that slot stays as it is.
        popup->m_nPopupKind = 14;
        page.body = L"link=tasrequest&uid=demo&sess=S1&file=99";
        host->OpenWebPage(page);
        otherKindParam = popup->m_strParam.GetString();
        popup->DestroyWindow();
        m_frame->m_popups[slot] = nullptr;
    });
    EXPECT_EQ(6, script.kind);
    EXPECT_EQ(L"http://web.test/pm/app/appLoginProc.htm", script.url);
    EXPECT_EQ(L"link=tasrequest&uid=demo&sess=S1&file=11", script.param);
    EXPECT_EQ(0, scriptKindAfterReuse) << "the script was asked for a second pop-up";
    EXPECT_EQ(L"http://web.test/pm/app/appLoginProc.htm", popupUrl);
    EXPECT_EQ(L"link=tasrequest&uid=demo&sess=S1&dir=20", popupParam);
    EXPECT_TRUE(shown);
    ASSERT_EQ(1u, popupfake::Log().navigations.size()) << "the open pop-up posts the new form once";
    EXPECT_EQ(L"http://web.test/pm/app/appLoginProc.htm", popupfake::Log().navigations[0].url);
    EXPECT_EQ("link=tasrequest&uid=demo&sess=S1&dir=20", popupfake::Log().navigations[0].body);
    EXPECT_EQ(L"link=tasrequest&uid=demo&sess=S1&dir=20", otherKindParam);
}

namespace {

// The server list of the frame on a session, with the frame's host (as after a log-in), for the
// scope's time; the hidden frame's list had none before.
class ServerListSession {
public:
    ServerListSession(CMainFrame* frame, CToviProto* proto)
        : m_frame(frame), m_host(NewFrameOperationHost(frame))
    {
        m_frame->m_pServerListView->SetSession(proto, &m_frame->m_serverHost, &m_frame->m_pServerTreeView->Tree());
        m_frame->m_pServerListView->SetOperationHost(m_host.get());
    }
    ~ServerListSession()
    {
        m_frame->m_pServerListView->SetOperationHost(nullptr);
        m_frame->m_pServerListView->SetSession(nullptr, &m_frame->m_serverHost, &m_frame->m_pServerTreeView->Tree());
    }

private:
    CMainFrame* m_frame;
    std::unique_ptr<IServerOperationHost> m_host;
};

}

TEST_F(InfoBarTest, FilesUploadedForApprovalOpenTheUploadApprovalPageFromTheServerList)
{
    struct {
        int kind = -1;
        std::wstring url, param;
    } seen, refused;
    m_ui.Run([&] {
        ASSERT_NE(nullptr, m_frame->m_pServerListView);
        ASSERT_NE(nullptr, m_frame->m_pScriptView);
        ServerListSession session(m_frame, m_proto);
        CToviHtmlView* view = m_frame->m_pScriptView;
        const std::wstring ids = L"31,32";
        // The server's upload-approval option off: the page is not asked for.
        std::strcpy(m_proto->OptionInfo.SubOption, "N");
        view->m_nPopupKind = 0;
        m_frame->m_wndSplitter.SendMessage(WM_UPLOAD_APPROVAL, reinterpret_cast<WPARAM>(ids.c_str()), 0);
        refused = {view->m_nPopupKind, view->m_strPopupUrl.GetString(), view->m_strPopupParam.GetString()};
        std::strcpy(m_proto->OptionInfo.SubOption, "Y");
        m_frame->m_wndSplitter.SendMessage(WM_UPLOAD_APPROVAL, reinterpret_cast<WPARAM>(ids.c_str()), 0);
        seen = {view->m_nPopupKind, view->m_strPopupUrl.GetString(), view->m_strPopupParam.GetString()};
    });
    EXPECT_EQ(0, refused.kind);
    EXPECT_EQ(14, seen.kind);
    EXPECT_EQ(L"http://web.test/pm/app/appLoginProc.htm", seen.url);
    EXPECT_EQ(L"link=tasrequest&uid=demo&sess=S1%26x&reg=Y&file=31%2C32", seen.param);
}

TEST_F(InfoBarTest, TheDeleteScheduleOpensFromTheFramesTimerAtMostOnceADay)
{
    CString stored;
    CToviRegistry::GetDelScheduleTime(stored);
    const struct {
        const wchar_t* what;
        CString lastShown;
        int kind;
    } cases[] = {
        {L"never shown", CString(), 15},
        {L"shown a minute ago", CTime::GetCurrentTime().Format(L"%Y/%m/%d/%H/%M/%S"), 0},
    };
    for (const auto& c : cases) {
        int kind = -1;
        std::wstring param;
        m_ui.Run([&] {
            ServerListSession session(m_frame, m_proto);
            std::strcpy(m_proto->AlarmInfo.Delete, "2");
            CToviRegistry::SetDelScheduleTime(c.lastShown);
            m_frame->m_pScriptView->m_nPopupKind = 0;
            m_frame->m_pScriptView->m_strPopupParam.Empty();
            m_frame->SendMessage(WM_TIMER, IDT_SHOW_DELETE_SCHEDULE, 0);
            kind = m_frame->m_pScriptView->m_nPopupKind;
            param = m_frame->m_pScriptView->m_strPopupParam.GetString();
        });
        EXPECT_EQ(c.kind, kind) << c.what;
        if (c.kind)
            EXPECT_EQ(L"link=delalarm&uid=demo&sess=S1%26x", param) << c.what;
    }
    CToviRegistry::SetDelScheduleTime(stored);
}

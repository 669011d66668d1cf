// The main window's own windows in this process: the owner-drawn menu and the tray menu's
// rows, the timers the server's intervals arm, and the log-out and idle check while a modal
// operation runs.
#include "AppRes.h"
#include "InfoBarDlg.h"
#include "ToviProto.h"
#include "Library.h"
#include "MainFrame.h"
#include "ToviMenu.h"
#include "ToviRegistry.h"
#include "ToviString.h"
#include "ToviTray.h"
#include "UiThread.h"
#include "WindowDriver.h"
#include <gtest/gtest.h>
#include <cstring>
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
            if (m_frame && ::IsWindow(m_frame->m_hWnd))
                m_frame->DestroyWindow();
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

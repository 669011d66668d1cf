// The main window's own windows in this process: the owner-drawn menu and the tray menu's
// rows, the timers the server's intervals arm, and the log-out and idle check while a modal
// operation runs.
#include "AppRes.h"
#include "Library.h"
#include "MainFrame.h"
#include "ServerOperationHost.h"
#include "ToviMenu.h"
#include "ToviRegistry.h"
#include "ToviString.h"
#include "ToviTray.h"
#include "UiThread.h"
#include "WindowDriver.h"
#include <gtest/gtest.h>
#include <memory>
#include <string>

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

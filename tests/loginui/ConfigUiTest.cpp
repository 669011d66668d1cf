// The settings dialogs against the test server, as the frame opens them: a typed server is
// checked with the domain, update and language requests before it is stored; input that cannot
// be a server never reaches it; a failed check leaves the session where it was and says why;
// the drive and backup dialogs store their own choices.
#include <winsock2.h>
#include "AutoAnswer.h"
#include "ConfigBackupDlg.h"
#include "ConfigDlg.h"
#include "ConfigDriveDlg.h"
#include "LoginHost.h"
#include "LoginRes.h"
#include "RegistryFixture.h"
#include "ToviRegistry.h"
#include "WindowDriver.h"
#include <gtest/gtest.h>
#include <cstring>
#include <memory>

using namespace logintest;

namespace {

class SettingsDialog : public LoginHost {
protected:
    void TearDown() override
    {
        if (m_dialog && m_dialog->GetSafeHwnd())
            uitest::ClickButton(m_dialog->GetSafeHwnd(), IDCANCEL);
        if (m_task)
            m_task->Wait(10000);
        if (m_dialog && m_dialog->m_pProto && m_dialog->m_pProto != m_session)
            delete m_dialog->m_pProto;
        m_dialog.reset();
        LoginHost::TearDown();
    }

    // Opens the dialog modal on the UI thread, lent the session (or none).
    template <class Dialog>
    HWND Open(CToviProto* session)
    {
        m_result = -100;
        m_dialog.reset(new Dialog(nullptr));
        m_dialog->m_pProto = session;
        m_task = m_ui.Post([this] { m_result = static_cast<int>(m_dialog->DoModal()); });
        EXPECT_TRUE(uitest::WaitUntil([this] { return Hwnd() && IsWindowVisible(Hwnd()); }, 10000));
        return Hwnd();
    }
    HWND Hwnd() const { return m_dialog ? m_dialog->GetSafeHwnd() : nullptr; }
    HWND Item(int id) const { return GetDlgItem(Hwnd(), id); }

    void TypeServer(const wchar_t* address, const std::wstring& port)
    {
        uitest::SetText(Item(IDC_CONFIG_ADDRESS), address);
        uitest::SetText(Item(IDC_CONFIG_PORT), port);
    }
    bool WaitClosed() { return m_task->Wait(15000); }

    std::string StoredHost(int product, int* port)
    {
        char host[256] = {}, level[256] = {};
        wchar_t url[128] = {};
        *port = -1;
        if (!CToviRegistry::GetServerAddress(product, host, port, level, url))
            return std::string();
        return host;
    }

    std::unique_ptr<CConfigBaseDlg> m_dialog;
    std::shared_ptr<uitest::UiTask> m_task;
    int m_result = -100;
};

std::wstring Joined(const uitest::AutoAnswer::Answered& box)
{
    std::wstring all;
    for (const std::wstring& text : box.texts)
        all += text + L"\n";
    return all;
}

}

TEST_F(SettingsDialog, ANewServerIsCheckedAtTheServerAndStored)
{
    Open<CConfigDlg>(nullptr);
    EXPECT_EQ(L"", uitest::GetText(Item(IDC_CONFIG_ADDRESS)));
    TypeServer(L"127.0.0.1", std::to_wstring(m_ports.port));
    uitest::ClickButton(Hwnd(), IDOK);
    ASSERT_TRUE(WaitClosed());
    EXPECT_EQ(IDOK, m_result);
    EXPECT_TRUE(Saw("A2"));
    EXPECT_TRUE(Saw("A5"));
    int port = 0;
    EXPECT_EQ("127.0.0.1", StoredHost(0, &port));
    EXPECT_EQ(m_ports.port, port);
    // Without a session of its own the dialog made one and left it for the caller, aimed there.
    ASSERT_NE(nullptr, m_dialog->m_pProto);
    EXPECT_STREQ("127.0.0.1", m_dialog->m_pProto->ServerAddress.szHost);
    EXPECT_EQ(m_ports.port, m_dialog->m_pProto->ServerAddress.nPort);
    EXPECT_FALSE(m_dialog->m_pProto->LanguageInfo.empty());
}

TEST_F(SettingsDialog, TheUpdateListIsAlwaysAskedOfTheCheckedServer)
{
    // The test server's domain names an address, which becomes the update address; the list of
    // client files must still come from this server.
    Open<CConfigDlg>(m_session);
    TypeServer(L"127.0.0.1", std::to_wstring(m_ports.port));
    uitest::ClickButton(Hwnd(), IDOK);
    ASSERT_TRUE(WaitClosed());
    EXPECT_EQ(IDOK, m_result);
    const auto records = road::LastRecords(Control("LAST cmd=A4"));
    ASSERT_FALSE(records.empty());
    EXPECT_EQ("2", records[0].at(53));
    CString url;
    ASSERT_TRUE(CToviRegistry::GetUpdateUrl(0, url));
    EXPECT_STREQ(L"127.0.0.1", url.GetString());
}

TEST_F(SettingsDialog, InputThatCannotBeAServerNeverReachesIt)
{
    const struct {
        const wchar_t* address;
        const wchar_t* port;
        const wchar_t* message;
    } rows[] = {
        {L"", L"7000", L"Enter the server address."},
        {L"127.0.0.1", L"", L"Enter the port number."},
        {L"127.0.0.1", L"0", L"Enter the port number."},
        {L"127.0.0.1", L"65536", L"Enter the port number."},
        {L"127.0.0.1", L"99999", L"Enter the port number."},
    };
    uitest::AutoAnswer box(kBoxTitle, IDOK);
    Open<CConfigDlg>(m_session);
    int answered = 0;
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << "row " << (&row - rows));
        TypeServer(row.address, row.port);
        uitest::ClickButton(Hwnd(), IDOK);
        ASSERT_TRUE(box.WaitForCount(++answered, 10000));
        EXPECT_NE(std::wstring::npos, Joined(box.Seen().back()).find(row.message));
        EXPECT_TRUE(IsWindow(Hwnd()));
    }
    EXPECT_FALSE(Saw("A2"));
    int port = 0;
    EXPECT_EQ("", StoredHost(0, &port));
}

TEST_F(SettingsDialog, AFailedCheckPutsTheSessionBackAndSaysWhy)
{
    for (const char* command : {"A2", "A4", "A5"}) {
        SCOPED_TRACE(command);
        ASSERT_EQ("OK", Control(std::string("FAULT error reply=E0 code=1900 cmd=") + command +
                                " -- The server is resting.").substr(0, 2));
        // The session was aimed elsewhere before.
        std::strcpy(m_session->ServerAddress.szHost, "127.0.0.2");
        m_session->ServerAddress.strCallerText = L"127.0.0.2";
        m_session->ServerAddress.nPort = 4321;
        uitest::AutoAnswer box(kBoxTitle, IDOK);
        Open<CConfigDlg>(m_session);
        TypeServer(L"127.0.0.1", std::to_wstring(m_ports.port));
        uitest::ClickButton(Hwnd(), IDOK);
        ASSERT_TRUE(box.WaitForCount(1, 15000));
        const std::wstring said = Joined(box.Seen()[0]);
        EXPECT_NE(std::wstring::npos, said.find(L"The server is resting."));
        ASSERT_TRUE(uitest::WaitUntil([this] { return IsWindowEnabled(Hwnd()) != FALSE; }));
        EXPECT_TRUE(IsWindow(Hwnd()));
        EXPECT_STREQ("127.0.0.2", m_session->ServerAddress.szHost);
        EXPECT_STREQ(L"127.0.0.2", m_session->ServerAddress.strCallerText.GetString());
        EXPECT_EQ(4321, m_session->ServerAddress.nPort);
        int port = 0;
        EXPECT_EQ("", StoredHost(0, &port));
        uitest::ClickButton(Hwnd(), IDCANCEL);
        ASSERT_TRUE(WaitClosed());
        EXPECT_EQ(IDCANCEL, m_result);
        m_dialog.reset();
        m_task.reset();
        Control("RESET");
        Control("DEMO");
    }
}

TEST_F(SettingsDialog, AnUnchangedServerOnlyClearsTheSavedLogIn)
{
    StoreServer(0);
    ASSERT_TRUE(CToviRegistry::SetUserInfo(0, 0, 1, -1, L"demo", L"demo1234", L"Test"));
    Open<CConfigDlg>(m_session);
    EXPECT_EQ(L"127.0.0.1", uitest::GetText(Item(IDC_CONFIG_ADDRESS)));
    EXPECT_EQ(std::to_wstring(m_ports.port), uitest::GetText(Item(IDC_CONFIG_PORT)));
    ASSERT_TRUE(IsWindowEnabled(Item(IDC_CONFIG_CLEAR_AUTO)));
    SendMessageW(Item(IDC_CONFIG_CLEAR_AUTO), BM_SETCHECK, BST_CHECKED, 0);
    uitest::ClickButton(Hwnd(), IDOK);
    ASSERT_TRUE(WaitClosed());
    EXPECT_EQ(IDOK, m_result);
    EXPECT_FALSE(Saw("A2"));
    DWORD autoLogin = 9;
    std::wstring password = L"?";
    ASSERT_TRUE(regtest::GetDword(regtest::kProductKeys[0], L"AutoLogin", autoLogin));
    regtest::GetText(regtest::kProductKeys[0], L"UserPWD", password);
    EXPECT_EQ(0u, autoLogin);
    EXPECT_TRUE(password.empty());
}

TEST_F(SettingsDialog, WithoutAutomaticLogInAllowedTheClearBoxIsOnAndHidden)
{
    StoreServer(0);
    m_session->m_bCallerFlag3 = 0;
    Open<CConfigDlg>(m_session);
    EXPECT_EQ(BST_CHECKED, SendMessageW(Item(IDC_CONFIG_CLEAR_AUTO), BM_GETCHECK, 0, 0));
    EXPECT_FALSE(IsWindowVisible(Item(IDC_CONFIG_CLEAR_AUTO)));
}

TEST_F(SettingsDialog, TheResetWindowBoxIsReportedToTheCaller)
{
    StoreServer(0);
    Open<CConfigDlg>(m_session);
    SendMessageW(Item(IDC_CONFIG_RESET_WINDOW), BM_SETCHECK, BST_CHECKED, 0);
    uitest::ClickButton(Hwnd(), IDC_CONFIG_RESET_WINDOW);
    uitest::ClickButton(Hwnd(), IDOK);
    ASSERT_TRUE(WaitClosed());
    EXPECT_EQ(1, m_dialog->m_bResetWindow);
}

TEST_F(SettingsDialog, TheDriveDialogStoresItsServerAndTheExplorerChoice)
{
    Open<CConfigDriveDlg>(m_session);
    TypeServer(L"http://127.0.0.1", std::to_wstring(m_ports.port));
    SendMessageW(Item(IDC_CONFIG_RUN_EXPLORER), BM_SETCHECK, BST_CHECKED, 0);
    uitest::ClickButton(Hwnd(), IDOK);
    ASSERT_TRUE(WaitClosed());
    EXPECT_EQ(IDOK, m_result);
    int port = 0;
    EXPECT_EQ("127.0.0.1", StoredHost(1, &port));
    EXPECT_EQ(m_ports.port, port);
    EXPECT_TRUE(Saw("A2"));
    EXPECT_FALSE(Saw("A4"));
    DWORD run = 9;
    ASSERT_TRUE(regtest::GetDword(regtest::kProductKeys[1], L"RunExplorer", run));
    EXPECT_EQ(1u, run);
    EXPECT_EQ(1, m_dialog->m_bResetWindow);
}

TEST_F(SettingsDialog, TheBackupDialogStoresItsServerAndStartWithWindows)
{
    // Starting with Windows names the installed program.
    regtest::PutText(regtest::kProductKeys[2], L"InstallDir", L"C:\\Backup");
    Open<CConfigBackupDlg>(m_session);
    TypeServer(L"https://127.0.0.1", std::to_wstring(m_ports.port));
    SendMessageW(Item(IDC_CONFIG_AUTORUN), BM_SETCHECK, BST_CHECKED, 0);
    uitest::ClickButton(Hwnd(), IDOK);
    ASSERT_TRUE(WaitClosed());
    EXPECT_EQ(IDOK, m_result);
    int port = 0;
    EXPECT_EQ("127.0.0.1", StoredHost(2, &port));
    EXPECT_TRUE(CToviRegistry::GetAutoRun(2));
    const auto records = road::LastRecords(Control("LAST cmd=A4"));
    ASSERT_FALSE(records.empty());
    EXPECT_EQ("7", records[0].at(53));
    EXPECT_TRUE(Saw("A2"));
    CToviRegistry::SetAutoRun(2, false);
}

TEST_F(SettingsDialog, ATwoServerSiteListsBothServersDomainsUnderTheirLabels)
{
    const std::string port = std::to_string(m_ports.port);
    ASSERT_EQ("OK", Control("OPTION A2 216=TQX_IN 145=127.0.0.1:" + port + " 146=localhost:" + port).substr(0, 2));
    Open<CConfigDlg>(m_session);
    TypeServer(L"127.0.0.1", std::to_wstring(m_ports.port));
    uitest::ClickButton(Hwnd(), IDOK);
    ASSERT_TRUE(WaitClosed());
    ASSERT_EQ(IDOK, m_result);
    ASSERT_EQ(2u, m_session->DomainInfo.size());
    EXPECT_STREQ("127.0.0.1", m_session->DomainInfo[0].ServerHost);
    EXPECT_STREQ("localhost", m_session->DomainInfo[1].ServerHost);
    EXPECT_STREQ("127.0.0.1", m_session->ServerAddress.szHost);
    m_dialog.reset();
    m_task.reset();

    // The login window offers the same domain once per server.
    ASSERT_NE(nullptr, StartLogin());
    HWND domains = LoginHost::Item(IDC_LOGIN_DOMAIN);
    ASSERT_EQ(2, SendMessageW(domains, CB_GETCOUNT, 0, 0));
    wchar_t first[80] = {}, second[80] = {};
    SendMessageW(domains, CB_GETLBTEXT, 0, (LPARAM)first);
    SendMessageW(domains, CB_GETLBTEXT, 1, (LPARAM)second);
    EXPECT_STREQ(L"[Internal]Test", first);
    EXPECT_STREQ(L"[External]Test", second);

    // Picking the external domain moves the session and the stored server there.
    SendMessageW(domains, CB_SETCURSEL, 1, 0);
    PostMessageW(LoginWindow(), WM_COMMAND, MAKEWPARAM(IDC_LOGIN_DOMAIN, CBN_SELCHANGE), (LPARAM)domains);
    int storedPort = 0;
    ASSERT_TRUE(uitest::WaitUntil([&] { return StoredHost(0, &storedPort) == "localhost"; }));
    EXPECT_EQ(m_ports.port, storedPort);
    LogInAs(L"demo", L"demo1234");
    ASSERT_TRUE(uitest::WaitUntil([] { return Owner().results > 0; }, 15000));
    EXPECT_EQ(1, Owner().lastResult.load());
    ASSERT_TRUE(WaitLoginEnd());
    EXPECT_STREQ("localhost", m_session->ServerAddress.szHost);
}

// The login window on its own thread against the test server, started as the main frame starts
// it: logging in reports to the owner and stores the session, the server's refusals are shown,
// a second session is offered the switch, wrong input never reaches the server, the saved log-in
// follows the two boxes, and the frame can remove the window without a result.
#include <winsock2.h>
#include "AutoAnswer.h"
#include "LoginHost.h"
#include "LoginRes.h"
#include "RegistryFixture.h"
#include "ToviMessages.h"
#include "ToviRegistry.h"
#include "WindowDriver.h"
#include <gtest/gtest.h>
#include <cstring>

using namespace logintest;

namespace {

class LoginDialog : public LoginHost {
protected:
    void SetUp() override
    {
        LoginHost::SetUp();
        FetchLists();
    }

    bool WaitResult(int count = 1) { return uitest::WaitUntil([count] { return Owner().results >= count; }, 15000); }

    bool Checked(int id) { return SendMessageW(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }

    // A message box's texts joined.
    static std::wstring Texts(const uitest::AutoAnswer::Answered& box)
    {
        std::wstring all;
        for (const std::wstring& text : box.texts)
            all += text + L"\n";
        return all;
    }
};

}

TEST_F(LoginDialog, LogsInTheDemoUserAndReportsToTheOwner)
{
    ASSERT_NE(nullptr, StartLogin());
    LogInAs(L"demo", L"demo1234");
    ASSERT_TRUE(WaitResult());
    EXPECT_EQ(1, Owner().lastResult.load());
    ASSERT_TRUE(WaitLoginEnd());

    // The session is the frame's again, logged in, with the chosen domain.
    ASSERT_NE('\0', m_session->LoginInfo.SessionId[0]);
    const std::vector<std::string> live = Sessions("demo");
    ASSERT_EQ(1u, live.size());
    EXPECT_EQ(live[0], m_session->LoginInfo.SessionId);
    EXPECT_STREQ("1", m_session->DomainIndex);
    EXPECT_STREQ(L"1", m_session->DomainIndexW.GetString());
    EXPECT_STREQ(L"demo", m_session->LoginInfo.UserId);
    char stored[33] = {};
    ASSERT_TRUE(CToviRegistry::GetSessionID(0, stored, sizeof stored));
    EXPECT_STREQ(m_session->LoginInfo.SessionId, stored);
    // The log-in told the server the explorer's client kind and the chosen language.
    const auto records = road::LastRecords(Control("LAST cmd=B0"));
    ASSERT_FALSE(records.empty());
    EXPECT_EQ("2", records[0].at(53));
    EXPECT_EQ("N", records[0].at(23));
}

TEST_F(LoginDialog, AWrongPasswordShowsTheServersMessageAndKeepsTheWindow)
{
    uitest::AutoAnswer box(kBoxTitle, IDOK);
    ASSERT_NE(nullptr, StartLogin());
    LogInAs(L"demo", L"wrong");
    ASSERT_TRUE(box.WaitForCount(1, 15000));
    EXPECT_NE(std::wstring::npos, Texts(box.Seen()[0]).find(L"Invalid user id or password."));
    // Still open, ready for another try, no result for the owner.
    ASSERT_TRUE(uitest::WaitUntil([this] { return IsWindowEnabled(Item(IDC_LOGIN_BUTTON)) != FALSE; }));
    EXPECT_TRUE(IsWindow(LoginWindow()));
    EXPECT_EQ(0, Owner().results.load());
    EXPECT_TRUE(Sessions("demo").empty());

    LogInAs(L"demo", L"demo1234");
    ASSERT_TRUE(WaitResult());
    EXPECT_EQ(1, Owner().lastResult.load());
}

TEST_F(LoginDialog, ASecondSessionIsOfferedTheSwitchAndYesEndsTheOther)
{
    protoserver::TestProto other;
    ASSERT_TRUE(LoggedInElsewhere(other));
    const std::vector<std::string> before = Sessions("demo");

    // The box's OK button answers Yes.
    uitest::AutoAnswer box(kBoxTitle, IDOK);
    ASSERT_NE(nullptr, StartLogin());
    LogInAs(L"demo", L"demo1234");
    ASSERT_TRUE(WaitResult());
    EXPECT_EQ(1, Owner().lastResult.load());
    ASSERT_EQ(1, box.Count());
    EXPECT_NE(std::wstring::npos, Texts(box.Seen()[0]).find(L"Already logged in elsewhere."));
    // The repeated log-in asked for the switch; only the new session is left.
    const auto records = road::LastRecords(Control("LAST cmd=B0"));
    ASSERT_FALSE(records.empty());
    EXPECT_EQ("Y", records[0].at(23));
    ASSERT_TRUE(WaitLoginEnd());
    const std::vector<std::string> after = Sessions("demo");
    ASSERT_EQ(1u, after.size());
    EXPECT_NE(before[0], after[0]);
    EXPECT_EQ(after[0], m_session->LoginInfo.SessionId);
    other.CloseSocket();
}

TEST_F(LoginDialog, DecliningTheSwitchKeepsTheOtherSessionAndTheWindow)
{
    protoserver::TestProto other;
    ASSERT_TRUE(LoggedInElsewhere(other));

    uitest::AutoAnswer box(kBoxTitle, IDCANCEL);
    ASSERT_NE(nullptr, StartLogin());
    LogInAs(L"demo", L"demo1234");
    ASSERT_TRUE(box.WaitForCount(1, 15000));
    ASSERT_TRUE(uitest::WaitUntil([this] { return IsWindowEnabled(Item(IDC_LOGIN_BUTTON)) != FALSE; }));
    EXPECT_EQ(0, Owner().results.load());
    EXPECT_EQ(1u, Sessions("demo").size());
    other.CloseSocket();
}

TEST_F(LoginDialog, AnEmptyIdIsRefusedBeforeAnythingIsSent)
{
    uitest::AutoAnswer box(kBoxTitle, IDOK);
    ASSERT_NE(nullptr, StartLogin());
    LogInAs(L"", L"demo1234");
    ASSERT_TRUE(box.WaitForCount(1, 15000));
    EXPECT_NE(std::wstring::npos, Texts(box.Seen()[0]).find(L"Enter your user ID."));
    EXPECT_FALSE(Saw("B0"));
    EXPECT_EQ(0, Owner().results.load());
    EXPECT_TRUE(IsWindow(LoginWindow()));
}

TEST_F(LoginDialog, WithoutAnyDomainTheLogInAsksForOne)
{
    // A session that never fetched the domain list.
    m_session->ReleaseDomainInfo();
    uitest::AutoAnswer box(kBoxTitle, IDOK);
    ASSERT_NE(nullptr, StartLogin());
    EXPECT_EQ(0, SendMessageW(Item(IDC_LOGIN_DOMAIN), CB_GETCOUNT, 0, 0));
    LogInAs(L"demo", L"demo1234");
    ASSERT_TRUE(box.WaitForCount(1, 15000));
    EXPECT_NE(std::wstring::npos, Texts(box.Seen()[0]).find(L"Choose a domain."));
    EXPECT_FALSE(Saw("B0"));
}

TEST_F(LoginDialog, SavingTheIdKeepsNoPasswordAndAutomaticLogInKeepsBoth)
{
    // An earlier automatic log-in left a password behind.
    ASSERT_TRUE(CToviRegistry::SetUserInfo(0, 0, 1, -1, L"demo", L"old-secret", L"Test"));
    ASSERT_NE(nullptr, StartLogin());
    // The automatic log-in runs by itself with the stored (wrong) password: answer its refusal.
    {
        uitest::AutoAnswer box(kBoxTitle, IDOK);
        ASSERT_TRUE(box.WaitForCount(1, 15000));
    }
    ASSERT_TRUE(uitest::WaitUntil([this] { return IsWindowEnabled(Item(IDC_LOGIN_BUTTON)) != FALSE; }));
    // Save the id only.
    SendMessageW(Item(IDC_LOGIN_AUTO_LOGIN), BM_SETCHECK, BST_UNCHECKED, 0);
    uitest::ClickButton(LoginWindow(), IDC_LOGIN_AUTO_LOGIN);
    ASSERT_TRUE(uitest::WaitUntil([this] { return IsWindowEnabled(Item(IDC_LOGIN_SAVE_ID)) != FALSE; }));
    SendMessageW(Item(IDC_LOGIN_SAVE_ID), BM_SETCHECK, BST_CHECKED, 0);
    LogInAs(L"demo", L"demo1234");
    ASSERT_TRUE(WaitResult());
    ASSERT_TRUE(WaitLoginEnd());

    DWORD save = 9, autoLogin = 9;
    std::wstring password = L"?";
    ASSERT_TRUE(regtest::GetDword(regtest::kProductKeys[0], L"SaveUserID", save));
    ASSERT_TRUE(regtest::GetDword(regtest::kProductKeys[0], L"AutoLogin", autoLogin));
    regtest::GetText(regtest::kProductKeys[0], L"UserPWD", password);
    EXPECT_EQ(1u, save);
    EXPECT_EQ(0u, autoLogin);
    EXPECT_TRUE(password.empty());
    int s = 0, a = 0, r = 0;
    CString id, pw, domain;
    ASSERT_TRUE(CToviRegistry::GetUserInfo(0, &s, &a, &r, id, pw, domain));
    EXPECT_STREQ(L"demo", id.GetString());
    EXPECT_STREQ(L"Test", domain.GetString());
}

TEST_F(LoginDialog, AStoredAutomaticLogInLogsInWithoutTyping)
{
    ASSERT_TRUE(CToviRegistry::SetUserInfo(0, 0, 1, -1, L"demo", L"demo1234", L"Test"));
    ASSERT_NE(nullptr, StartLogin());
    ASSERT_TRUE(WaitResult());
    EXPECT_EQ(1, Owner().lastResult.load());
    ASSERT_TRUE(WaitLoginEnd());
    // Still saved for the next start, password included.
    int s = 0, a = 0, r = 0;
    CString id, pw, domain;
    ASSERT_TRUE(CToviRegistry::GetUserInfo(0, &s, &a, &r, id, pw, domain));
    EXPECT_EQ(1, a);
    EXPECT_STREQ(L"demo1234", pw.GetString());
}

TEST_F(LoginDialog, ASavedIdFillsTheFieldAndNeverStartsAnAutomaticLogIn)
{
    ASSERT_TRUE(CToviRegistry::SetUserInfo(0, 1, 0, -1, L"demo", L"", L"Test"));
    ASSERT_NE(nullptr, StartLogin());
    EXPECT_EQ(L"demo", uitest::GetText(Item(IDC_LOGIN_USERID)));
    EXPECT_TRUE(Checked(IDC_LOGIN_SAVE_ID));
    // Nothing goes to the server on its own.
    EXPECT_FALSE(uitest::WaitUntil([this] { return Saw("B0"); }, 700));
    EXPECT_EQ(0, Owner().results.load());
}

TEST_F(LoginDialog, TheAutomaticLogInBoxTurnsTheSaveIdBoxOff)
{
    ASSERT_NE(nullptr, StartLogin());
    SendMessageW(Item(IDC_LOGIN_SAVE_ID), BM_SETCHECK, BST_CHECKED, 0);
    SendMessageW(Item(IDC_LOGIN_AUTO_LOGIN), BM_SETCHECK, BST_CHECKED, 0);
    uitest::ClickButton(LoginWindow(), IDC_LOGIN_AUTO_LOGIN);
    ASSERT_TRUE(uitest::WaitUntil([this] { return !IsWindowEnabled(Item(IDC_LOGIN_SAVE_ID)); }));
    EXPECT_FALSE(Checked(IDC_LOGIN_SAVE_ID));
    SendMessageW(Item(IDC_LOGIN_AUTO_LOGIN), BM_SETCHECK, BST_UNCHECKED, 0);
    uitest::ClickButton(LoginWindow(), IDC_LOGIN_AUTO_LOGIN);
    EXPECT_TRUE(uitest::WaitUntil([this] { return IsWindowEnabled(Item(IDC_LOGIN_SAVE_ID)) != FALSE; }));
}

TEST_F(LoginDialog, TheLanguageListFollowsTheServerAndAChoiceReachesTheOwner)
{
    ASSERT_EQ("OK", Control("OPTION LANG ko,en,jp").substr(0, 2));
    ASSERT_EQ(0, m_session->GetLanguageInfo());
    ASSERT_NE(nullptr, StartLogin());
    HWND languages = Item(IDC_LOGIN_LANGUAGE);
    ASSERT_EQ(3, SendMessageW(languages, CB_GETCOUNT, 0, 0));
    // English was stored: it is the one selected, and the texts are English.
    EXPECT_EQ(0x09, SendMessageW(languages, CB_GETITEMDATA, SendMessageW(languages, CB_GETCURSEL, 0, 0), 0));
    EXPECT_EQ(L"Log In", uitest::GetText(Item(IDC_LOGIN_BUTTON)));

    const int before = Owner().localeChanges;
    SendMessageW(languages, CB_SETCURSEL, 0, 0);   // Korean
    PostMessageW(LoginWindow(), WM_COMMAND, MAKEWPARAM(IDC_LOGIN_LANGUAGE, CBN_SELCHANGE), (LPARAM)languages);
    ASSERT_TRUE(uitest::WaitUntil([before] { return Owner().localeChanges > before; }));
    EXPECT_EQ(0x12, Owner().lastLocale.load());
    unsigned short stored = 0;
    ASSERT_TRUE(CToviRegistry::GetLanguage(0, &stored));
    EXPECT_EQ(0x12, stored);
    EXPECT_TRUE(uitest::WaitUntil([this] { return uitest::GetText(Item(IDC_LOGIN_BUTTON)) == L"\xB85C\xADF8\xC778"; }));
}

TEST_F(LoginDialog, WithoutServerLanguagesKoreanAndEnglishAreOffered)
{
    m_session->ReleaseLanguageInfo();
    ASSERT_NE(nullptr, StartLogin());
    HWND languages = Item(IDC_LOGIN_LANGUAGE);
    ASSERT_EQ(2, SendMessageW(languages, CB_GETCOUNT, 0, 0));
    EXPECT_EQ(0x12, SendMessageW(languages, CB_GETITEMDATA, 0, 0));
    EXPECT_EQ(0x09, SendMessageW(languages, CB_GETITEMDATA, 1, 0));
}

TEST_F(LoginDialog, RemovedByTheFrameItEndsWithoutAResult)
{
    ASSERT_NE(nullptr, StartLogin());
    m_login->SetRemove();
    ASSERT_TRUE(WaitLoginEnd());
    // Give a stray result message the time to arrive: none may.
    EXPECT_FALSE(uitest::WaitUntil([] { return Owner().results > 0; }, 500));
}

TEST_F(LoginDialog, TheExitButtonAsksTheOwnerToClose)
{
    ASSERT_NE(nullptr, StartLogin());
    uitest::ClickButton(LoginWindow(), 10125);
    ASSERT_TRUE(uitest::WaitUntil([] { return Owner().closes > 0; }));
    EXPECT_TRUE(IsWindow(LoginWindow()));
}

TEST_F(LoginDialog, TheBackupProductSendsItsClientKind)
{
    ASSERT_NE(nullptr, StartLogin(2));
    LogInAs(L"demo", L"demo1234");
    ASSERT_TRUE(WaitResult());
    const auto records = road::LastRecords(Control("LAST cmd=B0"));
    ASSERT_FALSE(records.empty());
    EXPECT_EQ("7", records[0].at(53));
}

TEST_F(LoginDialog, TheServersLogInOptionHidesFields)
{
    // Domain and language lists hidden, id and password shown.
    ASSERT_EQ("OK", Control("OPTION A2 137=001100000000").substr(0, 2));
    ASSERT_EQ(0, m_session->GetDomainInfo());
    m_session->CloseSocket();
    ASSERT_NE(nullptr, StartLogin());
    EXPECT_FALSE(IsWindowVisible(Item(IDC_LOGIN_DOMAIN)));
    EXPECT_FALSE(IsWindowVisible(Item(IDC_LOGIN_DOMAIN_LABEL)));
    EXPECT_FALSE(IsWindowVisible(Item(IDC_LOGIN_LANGUAGE)));
    EXPECT_TRUE(IsWindowVisible(Item(IDC_LOGIN_USERID)));
    EXPECT_TRUE(IsWindowVisible(Item(IDC_LOGIN_PASSWORD)));
    // The hidden domain list still chooses the domain.
    LogInAs(L"demo", L"demo1234");
    ASSERT_TRUE(WaitResult());
    EXPECT_EQ(1, Owner().lastResult.load());
}

TEST_F(LoginDialog, ASiteThatRefusesTheWindowsUserNeverShowsTheWindow)
{
    // This site logs in only its own directory's users; this machine is none of them.
    ASSERT_EQ("OK", Control("OPTION A2 216=ZPL").substr(0, 2));
    ASSERT_EQ(0, m_session->GetDomainInfo());
    m_session->CloseSocket();
    uitest::AutoAnswer box(kBoxTitle, IDOK);
    auto* thread = static_cast<CLoginThread*>(
        AfxBeginThread(RUNTIME_CLASS(CLoginThread), THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED));
    ASSERT_NE(nullptr, thread);
    thread->m_bAutoDelete = FALSE;
    thread->SetLoginInfo(m_owner, m_session, 0);
    m_login = thread;
    thread->ResumeThread();
    ASSERT_TRUE(box.WaitForCount(1, 15000));
    EXPECT_NE(std::wstring::npos, Texts(box.Seen()[0]).find(L"\xD5C8\xAC00 \xBC1B\xC9C0 \xC54A\xC740"));
    ASSERT_TRUE(uitest::WaitUntil([] { return Owner().closes > 0; }));
    ASSERT_TRUE(uitest::WaitUntil([this] { return LoginWindow() != nullptr; }));
    EXPECT_FALSE(IsWindowVisible(LoginWindow()));
    EXPECT_FALSE(Saw("B0"));
}

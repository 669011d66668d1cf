// The web log-in window from its real template against the test server, the page played by a
// recording browser: a page's log-in result becomes one B0 with "#" and the web session id and
// no password; a phone certification comes first when the page asks for it.
#include <winsock2.h>
#include "LoginHost.h"
#include "AutoAnswer.h"
#include "FakePopupHost.h"
#include "LoginWebThread.h"
#include "PopupView.h"
#include "SeamSwap.h"
#include "ToviProto.h"
#include "WindowDriver.h"
#include <gtest/gtest.h>
#include <map>

using namespace logintest;

namespace {

const char kDomainAddress[] = "http://127.0.0.1";

class LoginWeb : public LoginHost {
protected:
    void SetUp() override
    {
        LoginHost::SetUp();
        popupfake::Log() = popupfake::BrowserLog();
        popupfake::Log().location = L"http://127.0.0.1/pm/app/app_login.htm";
        ASSERT_EQ("OK", Control(std::string("OPTION DOMAIN 168=") + kDomainAddress).substr(0, 2));
        ASSERT_EQ("OK", Control("OPTION A2 153=Y").substr(0, 2));
        FetchLists();
        ASSERT_EQ('Y', m_session->WebLogin[0]);
    }

    void TearDown() override
    {
        if (m_web) {
            m_web->SetRemove();
            WaitWebEnd();
        }
        // The server keeps its domain address across RESET: give the next tests the usual one.
        Control("OPTION DOMAIN 168=127.0.0.1");
        LoginHost::TearDown();
    }

    void StartWebLogin(bool ssoPage = false)
    {
        m_web = static_cast<CLoginWebThread*>(
            AfxBeginThread(RUNTIME_CLASS(CLoginWebThread), THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED));
        ASSERT_NE(nullptr, m_web);
        m_web->m_bAutoDelete = FALSE;
        m_web->SetLoginInfo(m_owner, m_session, 0, ssoPage);
        m_web->ResumeThread();
        ASSERT_TRUE(uitest::WaitUntil([this] { return m_web->m_dlg.GetView() != nullptr; }, 10000))
            << "the web log-in window did not appear";
        // The window navigates once its view exists, on its own thread.
        ASSERT_TRUE(uitest::WaitUntil([] { return !popupfake::Log().navigations.empty(); }, 10000))
            << "the web log-in page was never opened";
    }

    bool WaitWebEnd(DWORD timeoutMs = 15000)
    {
        if (!m_web)
            return true;
        const bool ended = AfxPumpWait(m_web->m_hThread, timeoutMs) == WAIT_OBJECT_0;
        if (ended) {
            delete m_web;
            m_web = nullptr;
        }
        return ended;
    }

    std::wstring Token(const char* user = "demo")
    {
        const std::string reply = Control(std::string("WEBTOKEN user=") + user);
        EXPECT_EQ("OK", reply.substr(0, 2)) << reply;
        return std::wstring(CString(reply.substr(reply.find("token=") + 6).c_str()).GetString());
    }

    // What the page would call through window.external.
    static void PageCalls(CPopupView* view, const wchar_t* name, const std::wstring& argument)
    {
        ASSERT_NE(nullptr, view);
        ASSERT_EQ(S_OK, view->GetExternal()->CallByName(name, {argument}));
    }

    // The page, in English, hands over its log-in result; the window then goes.
    void PageLogsIn(const std::wstring& token)
    {
        PageCalls(m_web->m_dlg.GetView(), L"SetLanguage", L"en");
        PageCalls(m_web->m_dlg.GetView(), L"SetLoginResult", token);
        ASSERT_TRUE(WaitWebEnd()) << "the window stayed after the log-in";
    }

    std::map<int, std::string> LastB0()
    {
        const std::vector<std::map<int, std::string>> records = road::LastRecords(Control("LAST cmd=B0"));
        return records.empty() ? std::map<int, std::string>() : records.front();
    }

    CLoginWebThread* m_web = nullptr;
    testseam::Swap<CHtmlView::BrowserFactory> m_browser{CHtmlView::s_pfnBrowserFactory, &popupfake::RecordingBrowser::Make};
};

}

TEST_F(LoginWeb, ThePagesSessionIdLogsInAsHashAndIdWithoutAPassword)
{
    StartWebLogin();
    ASSERT_FALSE(popupfake::Log().navigations.empty());
    EXPECT_EQ(L"http://127.0.0.1/pm/app/app_login.htm", popupfake::Log().navigations.front().url);
    const std::wstring token = Token();
    uitest::AutoAnswer boxes(kBoxTitle, IDOK);
    ASSERT_NO_FATAL_FAILURE(PageLogsIn(token));
    EXPECT_EQ(1, Owner().lastResult.load());
    EXPECT_EQ(1, Owner().results.load());
    EXPECT_EQ(0, boxes.Count()) << "a message came up";
    const std::map<int, std::string> b0 = LastB0();
    ASSERT_TRUE(b0.count(169));
    EXPECT_EQ("#" + std::string(CStringA(token.c_str()).GetString()), b0.at(169));
    EXPECT_TRUE(!b0.count(170) || b0.at(170).empty()) << "a password was sent";
    EXPECT_EQ("en", b0.count(1) ? b0.at(1).substr(0, 2) : std::string()) << "the page's language";
    EXPECT_EQ(1u, Sessions("demo").size());
    EXPECT_STRNE("", m_session->LoginInfo.SessionId);
}

TEST_F(LoginWeb, ASessionElsewhereIsTakenOverOnYesByRepeatingTheSameToken)
{
    protoserver::TestProto other;
    ASSERT_TRUE(LoggedInElsewhere(other));
    const std::vector<std::string> before = Sessions("demo");

    StartWebLogin();
    const std::wstring token = Token();
    // The box's OK button answers Yes.
    uitest::AutoAnswer box(kBoxTitle, IDOK);
    ASSERT_NO_FATAL_FAILURE(PageLogsIn(token));
    EXPECT_EQ(1, Owner().lastResult.load());
    EXPECT_EQ(1, box.Count());
    const std::map<int, std::string> b0 = LastB0();
    EXPECT_EQ("Y", b0.count(23) ? b0.at(23) : std::string()) << "the repeat did not ask for the switch";
    EXPECT_EQ("#" + std::string(CStringA(token.c_str()).GetString()), b0.count(169) ? b0.at(169) : std::string());
    const std::vector<std::string> after = Sessions("demo");
    ASSERT_EQ(1u, after.size());
    EXPECT_NE(before[0], after[0]);
    other.CloseSocket();
}

TEST_F(LoginWeb, TheSingleSignOnPageIsOpenedWhenTheFrameAsksForIt)
{
    StartWebLogin(true);
    ASSERT_FALSE(popupfake::Log().navigations.empty());
    EXPECT_EQ(L"http://127.0.0.1/pm/app/appLoginProc_sso.htm", popupfake::Log().navigations.front().url);
}

TEST_F(LoginWeb, APhoneCertificationComesFirstAndItsSuccessLogsInOnce)
{
    StartWebLogin();
    const std::wstring token = Token();
    uitest::AutoAnswer boxes(kBoxTitle, IDOK);
    PageCalls(m_web->m_dlg.GetView(), L"SetLoginResult", L"SMS|" + token + L"|demo");
    HWND sms = nullptr;
    ASSERT_TRUE(uitest::WaitUntil([&] {
        sms = ::FindWindowW(L"#32770", L"SMS");
        return sms != nullptr && ::IsWindowVisible(sms);
    }, 10000)) << "no certification window";
    EXPECT_EQ(L"http://127.0.0.1/pm/member/pop_phone_certification_qvx.htm?uid=demo&chkApp=Y",
              popupfake::Log().navigations.back().url);
    EXPECT_FALSE(Saw("B0")) << "logged in before the certification";
    CPopupView* smsView = dynamic_cast<CPopupView*>(CWnd::FromHandlePermanent(::GetDlgItem(sms, 0xE900)));
    PageCalls(smsView, L"SetSmsResult", L"Y");
    uitest::ClickButton(sms, 10125);
    ASSERT_TRUE(WaitWebEnd()) << "no log-in after the certification";
    EXPECT_EQ(1, Owner().lastResult.load());
    EXPECT_EQ(1u, Sessions("demo").size());
    // A second B0 with the same token would have been refused with a message.
    EXPECT_EQ(0, boxes.Count());
}

TEST_F(LoginWeb, ACancelledCertificationLeavesThePageAndSendsNothing)
{
    StartWebLogin();
    const std::wstring token = Token();
    PageCalls(m_web->m_dlg.GetView(), L"SetLoginResult", L"SMS|" + token + L"|demo");
    HWND sms = nullptr;
    ASSERT_TRUE(uitest::WaitUntil([&] {
        sms = ::FindWindowW(L"#32770", L"SMS");
        return sms != nullptr && ::IsWindowVisible(sms);
    }, 10000));
    uitest::ClickButton(sms, 10125);
    ASSERT_TRUE(uitest::WaitForWindowGone(sms, 5000));
    ::Sleep(300);
    EXPECT_FALSE(Saw("B0"));
    EXPECT_NE(nullptr, m_web->m_dlg.GetSafeHwnd()) << "the log-in window went";
    EXPECT_EQ(0, Owner().results.load());
}

TEST_F(LoginWeb, AnEmptyPageResultIsRefusedWithoutARequest)
{
    StartWebLogin();
    uitest::AutoAnswer boxes(kBoxTitle, IDOK);
    PageCalls(m_web->m_dlg.GetView(), L"SetLoginResult", L"");
    ASSERT_TRUE(boxes.WaitForCount(1, 5000)) << "no message for the empty result";
    EXPECT_FALSE(Saw("B0"));
    EXPECT_NE(nullptr, m_web->m_dlg.GetSafeHwnd());
}

TEST_F(LoginWeb, AnUnknownTokenShowsTheServersWordsAndKeepsThePage)
{
    StartWebLogin();
    uitest::AutoAnswer boxes(kBoxTitle, IDOK);
    PageCalls(m_web->m_dlg.GetView(), L"SetLoginResult", L"0123456789abcdef0123456789abcdef");
    ASSERT_TRUE(boxes.WaitForCount(1, 10000));
    bool said = false;
    for (const auto& seen : boxes.Seen())
        for (const std::wstring& text : seen.texts)
            said = said || text.find(L"Invalid user id or password.") != std::wstring::npos;
    EXPECT_TRUE(said) << "the server's words were not shown";
    EXPECT_TRUE(Sessions("demo").empty());
    EXPECT_NE(nullptr, m_web->m_dlg.GetSafeHwnd());
}

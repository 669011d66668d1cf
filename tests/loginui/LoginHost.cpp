// The log-in tests' host.
#include <winsock2.h>
#include "LoginHost.h"
#include "RegistryFixture.h"
#include "Library.h"
#include "ToviMessages.h"
#include "ToviRegistry.h"
#include "WindowDriver.h"
#include <cstring>
#include <sstream>

namespace logintest {

const wchar_t kBoxTitle[] = L"Corvane IXO MessageBox";

namespace {

OwnerLog g_owner;

LRESULT CALLBACK OwnerProc(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_LOGIN_RESULT:
        g_owner.lastResult = static_cast<int>(wParam);
        ++g_owner.results;
        return 0;
    case WM_LOCALE_CHANGE:
        g_owner.lastLocale = static_cast<int>(wParam);
        ++g_owner.localeChanges;
        return 0;
    case WM_CLOSE:
        // The frame would close the program; the host only counts.
        ++g_owner.closes;
        return 0;
    }
    return DefWindowProcW(wnd, message, wParam, lParam);
}

}

OwnerLog& Owner()
{
    return g_owner;
}

void LoginHost::SetUp()
{
    RoadTest::SetUp();
    regtest::RemoveAll();
    ASSERT_TRUE(ToviInterfaceInit());
    g_owner.results = 0;
    g_owner.lastResult = -1;
    g_owner.localeChanges = 0;
    g_owner.lastLocale = 0;
    g_owner.closes = 0;
    ASSERT_EQ("OK", Control("DEMO").substr(0, 2));
    UseLanguage(9);
    m_session = new CToviProto();
    std::strcpy(m_session->ServerAddress.szHost, "127.0.0.1");
    m_session->ServerAddress.strCallerText = L"127.0.0.1";
    m_session->ServerAddress.nPort = m_ports.port;
    std::strcpy(m_session->ConnectTimeout, "2");
    std::strcpy(m_session->SocketTimeout, "20");
    m_ui.Run([this] {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = OwnerProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"LoginOwner";
        RegisterClassW(&wc);
        m_owner = CreateWindowExW(0, L"LoginOwner", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance,
                                  nullptr);
    });
    ASSERT_NE(nullptr, m_owner);
}

void LoginHost::TearDown()
{
    if (m_login) {
        m_login->SetRemove();
        WaitLoginEnd();
    }
    m_ui.Run([this] {
        if (IsWindow(m_owner))
            DestroyWindow(m_owner);
    });
    if (m_session) {
        m_session->CloseSocket();
        delete m_session;
        m_session = nullptr;
    }
    regtest::RemoveAll();
    ToviInterfaceTerm();
    RoadTest::TearDown();
}

void LoginHost::UseLanguage(unsigned short language)
{
    regtest::CreateKey(regtest::kProductKeys[0]);
    regtest::CreateKey(regtest::kProductKeys[1]);
    regtest::CreateKey(regtest::kProductKeys[2]);
    EXPECT_TRUE(CToviRegistry::SetLanguage(0, language));
    EXPECT_TRUE(CToviRegistry::SetLanguage(1, language));
    EXPECT_TRUE(CToviRegistry::SetLanguage(2, language));
}

void LoginHost::StoreServer(int product)
{
    EXPECT_TRUE(CToviRegistry::SetServerAddress(product, L"127.0.0.1", m_ports.port, L"http://127.0.0.1"));
}

void LoginHost::FetchLists()
{
    ASSERT_EQ(0, m_session->GetDomainInfo()) << "A2";
    ASSERT_EQ(0, m_session->GetLanguageInfo()) << "A5";
    m_session->CloseSocket();
}

CLoginThread* LoginHost::StartLogin(int product)
{
    auto* thread = static_cast<CLoginThread*>(
        AfxBeginThread(RUNTIME_CLASS(CLoginThread), THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED));
    if (!thread)
        return nullptr;
    thread->m_bAutoDelete = FALSE;
    thread->SetLoginInfo(m_owner, m_session, product);
    m_login = thread;
    thread->ResumeThread();
    EXPECT_TRUE(uitest::WaitUntil([this] { return LoginWindow() && IsWindowVisible(LoginWindow()); }, 10000))
        << "the login window did not appear";
    return thread;
}

void LoginHost::LogInAs(const wchar_t* id, const wchar_t* password)
{
    uitest::SetText(Item(10007), id);
    uitest::SetText(Item(10009), password);
    uitest::ClickButton(LoginWindow(), 10122);
}

bool LoginHost::WaitLoginEnd(DWORD timeoutMs)
{
    if (!m_login)
        return true;
    const bool ended = AfxPumpWait(m_login->m_hThread, timeoutMs) == WAIT_OBJECT_0;
    if (ended) {
        delete m_login;
        m_login = nullptr;
    }
    return ended;
}

bool LoginHost::Saw(const char* command)
{
    return Control(std::string("LAST cmd=") + command).substr(0, 2) == "OK";
}

::testing::AssertionResult LoginHost::LoggedInElsewhere(protoserver::TestProto& other)
{
    const std::string switched = Control("SWITCH singleSession=1");
    if (switched.substr(0, 2) != "OK")
        return ::testing::AssertionFailure() << switched;
    other.Aim(m_ports.port, "20");
    if (LogIn(other, "demo", "demo1234") != 0)
        return ::testing::AssertionFailure() << CStringA(other.Message().c_str()).GetString();
    if (Sessions("demo").size() != 1)
        return ::testing::AssertionFailure() << "the demo account has not exactly one session";
    return ::testing::AssertionSuccess();
}

std::vector<std::string> LoginHost::Sessions(const char* user)
{
    std::string reply = Control(std::string("SESSIONS user=") + user);
    std::vector<std::string> out;
    if (reply.substr(0, 2) != "OK")
        return out;
    std::istringstream words(reply.substr(2));
    std::string word;
    while (words >> word)
        out.push_back(word);
    return out;
}

}

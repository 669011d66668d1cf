// The session's web root in CorvaneIXO.exe: after a log-in against the test server, what the
// program fetches from the web comes from the stored server web address, here the HTTP fixture,
// whose request log shows what arrived.
#include "AppRun.h"
#include "AppRes.h"
#include "TestPaths.h"
#include "ToviRegistry.h"
#include "TraceCapture.h"
#include "WindowDriver.h"
#include <gtest/gtest.h>
#include <cstdlib>
#include <fstream>

using namespace apprun;

namespace {

using testpaths::FixtureDir;
using testpaths::FixturePort;

// The fixture's requests ("METHOD TARGET" lines) logged after offset whose target starts with
// prefix; the log is shared by every test that uses the fixture.
std::vector<std::string> RequestsUnder(const std::string& prefix, std::streamoff offset)
{
    std::vector<std::string> found;
    std::ifstream in((FixtureDir() + L"\\requests.log").c_str(), std::ios::binary);
    in.seekg(offset);
    std::string line;
    while (std::getline(in, line)) {
        const size_t target = line.find(' ');
        if (target != std::string::npos && line.compare(target + 1, prefix.size(), prefix) == 0)
            found.push_back(line);
    }
    return found;
}

std::streamoff LogSize()
{
    std::ifstream in((FixtureDir() + L"\\requests.log").c_str(), std::ios::binary | std::ios::ate);
    return in ? static_cast<std::streamoff>(in.tellg()) : 0;
}

// The program's refusals and failures, for a failing check's message.
std::string Failures(const uitest::TraceCapture& trace)
{
    std::string text;
    for (const auto& record : trace.Records())
        if (record.level == 2048)
            text += CStringA(record.text.c_str()).GetString();
    return text;
}

bool Has(const std::vector<std::string>& lines, const std::string& line)
{
    for (const std::string& l : lines)
        if (l == line)
            return true;
    return false;
}

}

class AppRoadWebRoot : public AppRoadTest {
protected:
    void SetUp() override
    {
        AppRoadTest::SetUp();
        ASSERT_NE(0, FixturePort()) << "the HTTP fixture is not running";
        // Each test serves under a folder of its own, so that the shared log tells its requests apart.
        m_name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        m_prefix = "/" + m_name;
        const std::wstring wide(m_name.begin(), m_name.end());
        std::wstring dir = FixtureDir() + L"\\www\\" + wide;
        for (const wchar_t* part : {L"", L"\\control", L"\\app"}) {
            dir += part;
            ::CreateDirectoryW(dir.c_str(), nullptr);
        }
        for (const wchar_t* name : {L"\\ixo_drive_setup.exe", L"\\ixo_backup_setup.exe"})
            std::ofstream((dir + name).c_str(), std::ios::binary) << SomeBytes(4096, 7);
        m_logStart = LogSize();
    }

    std::vector<std::string> Requests() const { return RequestsUnder(m_prefix, m_logStart); }
    bool Requested(const std::string& line) const { return Has(Requests(), line); }

    // Logs in with the stored web address as the settings dialog would leave it.
    HWND LogIn(const std::wstring& storedWebAddress)
    {
        StoreServer();
        EXPECT_TRUE(CToviRegistry::SetServerAddress(0, L"127.0.0.1", m_ports.port, storedWebAddress.c_str()));
        StoreAutoLogin();
        if (!Launch())
            return nullptr;
        return WaitForMainWindow();
    }

    std::wstring FixtureAddress() const
    {
        const std::wstring wide(m_name.begin(), m_name.end());
        return L"127.0.0.1:" + std::to_wstring(FixturePort()) + L"/" + wide;
    }

    std::string m_name;
    std::string m_prefix;
    std::streamoff m_logStart = 0;
};

TEST_F(AppRoadWebRoot, TheScriptPageAndBothAddOnsComeFromTheStoredWebAddress)
{
    ASSERT_EQ("OK", Control("OPTION A1 78=Y 82=Y").substr(0, 2));
    uitest::TraceCapture trace;
    // No scheme and a trailing "/", as a typed address may be stored.
    HWND frame = LogIn(FixtureAddress() + L"/");
    ASSERT_NE(nullptr, frame) << "no main window";
    // Wine's browser control asks for the page even though it renders nothing.
    EXPECT_TRUE(uitest::WaitUntil([&] { return Requested("GET " + m_prefix + "/pm/app/popScript.htm"); }, 10000))
        << "the hidden script view did not load its page; seen: " << ::testing::PrintToString(Requests());

    HWND statusBar = FindDescendant(frame, IDD_STATUSBAR);
    ASSERT_NE(nullptr, statusBar) << "no status bar";
    const struct {
        int button;
        const char* path;
    } addOns[] = {{IDC_STATUS_DRIVE, "/control/app/ixo_drive_setup.exe"},
                  {IDC_STATUS_BACKUP, "/control/app/ixo_backup_setup.exe"}};
    for (const auto& addOn : addOns) {
        SCOPED_TRACE(addOn.path);
        HWND button = ::GetDlgItem(statusBar, addOn.button);
        ASSERT_NE(nullptr, button);
        ASSERT_TRUE(::IsWindowVisible(button)) << "the server's option did not show the button";
        Click(statusBar, addOn.button);
        EXPECT_TRUE(uitest::WaitUntil([&] { return Requested("GET " + m_prefix + addOn.path); }, 20000))
            << "nothing was fetched from the web root; seen: " << ::testing::PrintToString(Requests())
            << "\n" << Failures(trace);
        // The fetched bytes carry no signature that Windows accepts: the program refuses them,
        // which it can only do after the download.
        HWND box = WaitForBox();
        EXPECT_NE(nullptr, box) << "the fetched installer was neither refused nor reported\n" << Failures(trace);
        if (box)
            AnswerBox(box);
    }
    Control("OPTION A1 78=N 82=N");
    EXPECT_TRUE(ExitFromTray());
}

TEST_F(AppRoadWebRoot, AfterALogOutTheNextLogInFollowsTheChangedWebAddress)
{
    HWND frame = LogIn(L"http://" + FixtureAddress() + L"/first");
    ASSERT_NE(nullptr, frame) << "no main window";
    EXPECT_TRUE(uitest::WaitUntil([&] { return Requested("GET " + m_prefix + "/first/pm/app/popScript.htm"); }, 10000))
        << "seen: " << ::testing::PrintToString(Requests());
    // The server now names another update address, which the update check of the tray's log-in
    // stores as the product's web address; the user logs out and in again in the same program.
    const std::wstring second = L"http://" + FixtureAddress() + L"/second/";
    ASSERT_EQ("OK", Control("OPTION A2 236=" + std::string(second.begin(), second.end())).substr(0, 2));
    ::PostMessageW(frame, WM_COMMAND, ID_TRAY_LOGOUT, 0);
    ASSERT_TRUE(uitest::WaitUntil([&] { return !::IsWindowVisible(frame); }, 10000)) << "the log-out left the window up";
    // The tray's log-in checks for updates first; the stored automatic log-in answers the dialog.
    ::PostMessageW(frame, WM_COMMAND, ID_TRAY_LOGIN, 0);
    EXPECT_NE(nullptr, WaitForMainWindow());
    EXPECT_TRUE(uitest::WaitUntil([&] { return Requested("GET " + m_prefix + "/second/pm/app/popScript.htm"); }, 10000))
        << "the second session kept the first web root; seen: " << ::testing::PrintToString(Requests());
    EXPECT_TRUE(ExitFromTray());
}

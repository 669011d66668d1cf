// The main window's update start in this process, as a process without elevation runs it: the
// test server's update address serves the module description (the HTTP fixture enciphers it),
// and the system's program starts are recorded instead of made. Wine always runs a program
// elevated, so CorvaneIXO.exe itself never takes these branches there.
#include "AppRun.h"
#include "MainFrame.h"
#include "SystemFacts.h"
#include "TestPaths.h"
#include "Library.h"
#include "ToviTray.h"
#include "UiThread.h"
#include "WindowDriver.h"
#include <gtest/gtest.h>
#include <fstream>
#include <mutex>

using namespace apprun;

namespace {


BOOL WINAPI NoShell(DWORD, PNOTIFYICONDATAW)
{
    return TRUE;
}

struct Start {
    std::wstring verb, file, parameters, folder;
    bool operator==(const Start& o) const
    {
        return verb == o.verb && file == o.file && parameters == o.parameters && folder == o.folder;
    }
};

std::string Narrow(const std::wstring& text)
{
    return std::string(CStringA(text.c_str()).GetString());
}

std::string Describe(const Start& s)
{
    return "[" + Narrow(s.verb) + "] [" + Narrow(s.file) + "] [" + Narrow(s.parameters) + "] [" + Narrow(s.folder) + "]";
}

void PrintTo(const Start& s, std::ostream* os)
{
    *os << Describe(s);
}

// A process that is not elevated, whose program starts are only written down.
class CUnelevated : public CSystemFacts {
public:
    ElevationQuery QueryElevation(bool& elevated, DWORD& error) override
    {
        elevated = false;
        error = 0;
        return kElevationKnown;
    }
    BOOL ShellExecuteEx(SHELLEXECUTEINFOW& info) override
    {
        auto text = [](const wchar_t* t) { return std::wstring(t ? t : L""); };
        std::lock_guard<std::mutex> hold(m_lock);
        m_starts.push_back({text(info.lpVerb), text(info.lpFile), text(info.lpParameters), text(info.lpDirectory)});
        return TRUE;
    }
    std::vector<Start> Starts()
    {
        std::lock_guard<std::mutex> hold(m_lock);
        return m_starts;
    }

private:
    std::mutex m_lock;
    std::vector<Start> m_starts;
};

std::wstring OwnPath()
{
    wchar_t own[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, own, MAX_PATH);
    return own;
}

class MainFrameUpdate : public UpdateSiteTest {
protected:
    void SetUp() override
    {
        UpdateSiteTest::SetUp();
        if (HasFatalFailure())
            return;
        ASSERT_TRUE(StoreInstallDir(m_install));
        ServeUpdates();
        StoreServer();
        m_saved = CSystemFacts::Install(&m_facts);
        CToviTray::s_pNotify = NoShell;
        m_ui.Run([this] {
            ::OleInitialize(nullptr);
            ToviInterfaceInit();
            m_frame = new CMainFrame;
            if (!m_frame->CreateHidden())
                m_frame = nullptr;
        });
        ASSERT_NE(nullptr, m_frame);
        m_window = m_frame->m_hWnd;
    }

    void TearDown() override
    {
        m_ui.Run([this] {
            if (::IsWindow(m_window))
                m_frame->DestroyWindow();
            ToviInterfaceTerm();
            ::OleUninitialize();
        });
        CSystemFacts::Install(m_saved);
        CToviTray::s_pNotify = ::Shell_NotifyIconW;
        UpdateSiteTest::TearDown();
    }

    void Serve(const std::string& ini) { WriteDescription(ini); }

    // Runs the start-up's update step; true when the window closed for the update in time.
    bool UpdateStartClosesTheWindow()
    {
        ::PostMessageW(m_window, WM_UPDATE_START, 0, 0);
        return uitest::WaitUntil([&] {
            bool alive = true;
            m_ui.Run([&] { alive = ::IsWindow(m_window) != FALSE; });
            return !alive;
        }, 60000);
    }

    CUnelevated m_facts;
    CSystemFacts* m_saved = nullptr;
    uitest::UiThread m_ui;
    CMainFrame* m_frame = nullptr;
    HWND m_window = nullptr;
};

}

TEST_F(MainFrameUpdate, ANewerProgramStartsTheUpdaterWithElevationAndCloses)
{
    Serve("[CORVANEIXO]\r\nFILENAME=CorvaneIXO.exe\r\nTARGETDIR=app\r\nENCRYPT=N\r\nVERSION=99.0.0.0\r\n");
    EXPECT_TRUE(UpdateStartClosesTheWindow()) << "the window stayed for the update";
    const std::vector<Start> starts = m_facts.Starts();
    ASSERT_EQ(1u, starts.size());
    // The update program beside the running program, never one that the install folder names.
    const std::wstring own = OwnPath(), folder = own.substr(0, own.find_last_of(L'\\'));
    const Start expected = {L"runas", folder + L"\\CorvaneUpdate.exe", L"0", folder};
    EXPECT_EQ(expected, starts[0]);
}

TEST_F(MainFrameUpdate, AnOutdatedUpdaterThatCannotBeReplacedRestartsTheProgramElevatedAndCloses)
{
    Serve("[CORVANEUPDATE]\r\nFILENAME=CorvaneUpdate.exe\r\nTARGETDIR=app\r\nDESTDIR=Update\r\nENCRYPT=N\r\n"
          "VERSION=99.0.0.0\r\n");
    EXPECT_TRUE(UpdateStartClosesTheWindow()) << "the window stayed for the restart";
    const std::vector<Start> starts = m_facts.Starts();
    ASSERT_EQ(1u, starts.size());
    EXPECT_EQ(L"runas", starts[0].verb) << Describe(starts[0]);
    EXPECT_EQ(0, ::lstrcmpiW(OwnPath().c_str(), starts[0].file.c_str())) << Describe(starts[0]);
    EXPECT_TRUE(starts[0].parameters.empty()) << Describe(starts[0]);
}

TEST_F(MainFrameUpdate, ANewServerInTheTraysSettingsRestartsTheProgramOnlyFromAKnownInstallFolder)
{
    const int kConfigAddress = 10028, kConfigPort = 10031;
    struct Row {
        const char* name;
        bool installKnown;
        const wchar_t* address;   // a server other than the stored one
    };
    const Row rows[] = {
        {"install folder known", true, L"localhost"},
        {"install folder unknown", false, L"127.0.0.1"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        if (!row.installKnown)
            ASSERT_TRUE(StoreInstallDir(L""));
        if (!::IsWindow(m_window)) {
            m_ui.Run([this] {
                m_frame = new CMainFrame;
                if (!m_frame->CreateHidden())
                    m_frame = nullptr;
            });
            ASSERT_NE(nullptr, m_frame);
            m_window = m_frame->m_hWnd;
        }
        const size_t startsBefore = m_facts.Starts().size();
        ::PostMessageW(m_window, WM_COMMAND, 1003, 0);   // the tray menu's settings entry
        HWND config = WaitForDialogWith(kConfigAddress);
        ASSERT_NE(nullptr, config);
        ASSERT_TRUE(SetControlText(config, kConfigAddress, row.address));
        ASSERT_TRUE(SetControlText(config, kConfigPort, std::to_wstring(m_ports.port).c_str()));
        Click(config, IDOK);
        ASSERT_TRUE(uitest::WaitUntil([&] { return !::IsWindow(config) || !::IsWindowVisible(config); }, 20000));

        bool closed = uitest::WaitUntil([&] {
            bool alive = true;
            m_ui.Run([&] { alive = ::IsWindow(m_window) != FALSE; });
            return !alive;
        }, row.installKnown ? 30000 : 0);
        std::vector<Start> starts = m_facts.Starts();
        starts.erase(starts.begin(), starts.begin() + static_cast<std::ptrdiff_t>(startsBefore));
        if (row.installKnown) {
            EXPECT_TRUE(closed) << "the window stayed for the restart";
            // The program of the install folder, with the user's ordinary rights (no verb).
            const Start expected = {L"", m_install + L"\\CorvaneIXO.exe", L"", m_install};
            ASSERT_EQ(1u, starts.size());
            EXPECT_EQ(expected, starts[0]);
        } else {
            WaitForIdleWindow(m_window);
            m_ui.Run([&] { closed = ::IsWindow(m_window) == FALSE; });
            EXPECT_FALSE(closed) << "the window closed without a restart";
            starts = m_facts.Starts();
            starts.erase(starts.begin(), starts.begin() + static_cast<std::ptrdiff_t>(startsBefore));
            EXPECT_TRUE(starts.empty()) << "started " << Describe(starts.front());
        }
    }
}

// CorvaneIXO.exe's start-up against the test server and the HTTP fixture: the update description
// that the server's update address serves decides between the log-in and the update program,
// which a stand-in in the install folder records; and the tray icon that a restarted shell
// announces with "TaskbarCreated" is added again.
#include "AppRun.h"
#include "TestPaths.h"
#include "WindowDriver.h"
#include <gtest/gtest.h>
#include <shellapi.h>
#include <cstdio>
#include <fstream>
#include <sstream>

using namespace apprun;

namespace {


std::wstring BinFolder()
{
    wchar_t own[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, own, MAX_PATH);
    std::wstring path(own);
    return path.substr(0, path.find_last_of(L"\\/"));
}

// The program's product version as dotted numbers, the last one raised by bump.
std::string ProgramVersion(const std::wstring& path, int bump)
{
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(path.c_str(), &ignored);
    std::vector<BYTE> data(size);
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (size == 0 || !::GetFileVersionInfoW(path.c_str(), 0, size, data.data()) ||
        !::VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) || fixed == nullptr)
        return std::string();
    char text[64] = {};
    std::snprintf(text, sizeof text, "%u.%u.%u.%u", HIWORD(fixed->dwProductVersionMS), LOWORD(fixed->dwProductVersionMS),
                  HIWORD(fixed->dwProductVersionLS), LOWORD(fixed->dwProductVersionLS) + bump);
    return text;
}

// The lines the stand-in updater wrote; empty when it has not run.
std::vector<std::wstring> StartedLines(const std::wstring& install)
{
    std::vector<std::wstring> lines;
    const std::string bytes = ReadWholeFile(install + L"\\started.txt");
    std::wstring text = FromUtf8(bytes);
    if (!text.empty() && text[0] == 0xFEFF)
        text.erase(0, 1);
    std::wistringstream in(text);
    std::wstring line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == L'\r')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

bool IconInTray(HWND frame)
{
    // A change that changes nothing: the shell answers it only for an icon it has.
    NOTIFYICONDATAW probe = {};
    probe.cbSize = sizeof probe;
    probe.hWnd = frame;
    probe.uID = 130;
    return ::Shell_NotifyIconW(NIM_MODIFY, &probe) != FALSE;
}

}

class AppRoadStartUp : public UpdateSiteTest {
protected:
    void Describe(const std::string& version)
    {
        WriteDescription("[CORVANEIXO]\r\nFILENAME=CorvaneIXO.exe\r\nTARGETDIR=app\r\nDESTDIR=\r\nENCRYPT=N\r\nVERSION=" +
                         version + "\r\n");
    }

    // The program and every library beside it copied into the install folder.
    bool Install(const std::wstring& program)
    {
        if (!::CopyFileW(program.c_str(), (m_install + L"\\CorvaneIXO.exe").c_str(), FALSE))
            return false;
        WIN32_FIND_DATAW found;
        HANDLE find = ::FindFirstFileW((BinFolder() + L"\\*.dll").c_str(), &found);
        if (find == INVALID_HANDLE_VALUE)
            return false;
        bool copied = true;
        do {
            copied = copied && ::CopyFileW((BinFolder() + L"\\" + found.cFileName).c_str(),
                                           (m_install + L"\\" + found.cFileName).c_str(), FALSE);
        } while (::FindNextFileW(find, &found));
        ::FindClose(find);
        return copied;
    }

    // Starts the installed copy with no arguments, so that its update check runs.
    bool LaunchInstalled()
    {
        std::wstring line = L"\"" + m_install + L"\\CorvaneIXO.exe\"";
        STARTUPINFOW startup = {sizeof(startup)};
        return ::CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, m_install.c_str(), &startup,
                                &m_process) != FALSE;
    }
};

TEST_F(AppRoadStartUp, AServerListNamingANewerProgramStartsTheUpdaterInsteadOfTheLogIn)
{
    // An installed copy of the program, whose update program beside it is a recording stand-in:
    // the program starts the update program that lies beside it.
    const std::wstring program = BinFolder() + L"\\CorvaneIXO.exe";
    ASSERT_TRUE(Install(program));
    ASSERT_TRUE(::CopyFileW((BinFolder() + L"\\UpdateLaunchRecorder.exe").c_str(),
                            (m_install + L"\\CorvaneUpdate.exe").c_str(), FALSE));
    ASSERT_TRUE(StoreInstallDir(m_install));
    const std::string own = ProgramVersion(program, 0), newer = ProgramVersion(program, 1);
    ASSERT_FALSE(own.empty()) << "the program has no version resource";
    ServeUpdates();
    StoreServer();
    StoreAutoLogin();

    // The installed version is the listed one: the program goes on to the log-in.
    Describe(own);
    ASSERT_TRUE(LaunchInstalled());
    ASSERT_NE(nullptr, WaitForMainWindow()) << "a current program did not log in";
    EXPECT_TRUE(StartedLines(m_install).empty()) << "the updater ran for a current program";
    EXPECT_TRUE(ExitFromTray());
    EndProcess();

    // The server lists a newer program: the update program is started with the product's
    // number in its folder instead of a log-in.
    Describe(newer);
    const int loginsBefore = RequestCount("B0");
    ASSERT_TRUE(LaunchInstalled());
    std::vector<std::wstring> started;
    EXPECT_TRUE(uitest::WaitUntil([&] { return !(started = StartedLines(m_install)).empty(); }, 30000))
        << "the update program was not started";
    EXPECT_EQ((std::vector<std::wstring>{L"0", L"cwd=" + m_install}), started);
    // The window's closing after the start is the in-process frame test's (MainFrameUpdateUiTest):
    // here the process sometimes stays for minutes after ShellExecuteEx under Wine.
    EXPECT_EQ(loginsBefore, RequestCount("B0")) << "the program logged in before the update";
    EXPECT_TRUE(FindWindows(L"CorvaneIXO", nullptr).empty()) << "the main window showed before the update";
}

TEST_F(AppRoadStartUp, TheTrayIconIsAddedAgainWhenTheShellAnnouncesANewTaskBar)
{
    StoreServer();
    StoreAutoLogin();
    ASSERT_TRUE(Launch());
    HWND frame = WaitForMainWindow();
    ASSERT_NE(nullptr, frame);
    ASSERT_TRUE(uitest::WaitUntil([&] { return IconInTray(frame); }, 10000)) << "no tray icon after the start";

    // What a restarted shell leaves: no icon of the program, then its broadcast to every window.
    NOTIFYICONDATAW gone = {};
    gone.cbSize = sizeof gone;
    gone.hWnd = frame;
    gone.uID = 130;
    ASSERT_TRUE(::Shell_NotifyIconW(NIM_DELETE, &gone));
    ASSERT_FALSE(IconInTray(frame));
    ::PostMessageW(frame, ::RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    EXPECT_TRUE(uitest::WaitUntil([&] { return IconInTray(frame); }, 10000)) << "the tray icon did not come back";
    EXPECT_TRUE(ExitFromTray());
}

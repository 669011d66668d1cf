// CorvaneIXO.exe's tray settings while the log-in waits: after OK the open log-in window is the
// kind the server now wants, with the new server's lists, in front; the tray shows the images
// on disk; and a server change restarts the program only from a known install folder.
#include "AppRun.h"
#include "PixelCapture.h"
#include "TestPaths.h"
#include "ToviRegistry.h"
#include "WindowDriver.h"
#include <gtest/gtest.h>
#include <shlobj.h>
#include <fstream>

using namespace apprun;

namespace {

const int kConfigAddress = 10028;
const int kConfigPort = 10031;
const int kLoginLanguage = 10050;
const int kLoginDomain = 10054;
const int kLoginButton = 10122;
const int kWebPageView = 0xE900;
const UINT kTrayConfigCommand = 1003;

std::string Narrow(const std::wstring& text)
{
    return std::string(CStringA(text.c_str()).GetString());
}

// The visible log-in windows of a process: the plain form, or the web page's window.
std::vector<HWND> LogInWindows(DWORD process, bool web)
{
    std::vector<HWND> found;
    for (HWND dialog : FindWindows(L"#32770", nullptr)) {
        DWORD owner = 0;
        ::GetWindowThreadProcessId(dialog, &owner);
        if (owner == process && ::GetDlgItem(dialog, web ? kWebPageView : kLoginButton) != nullptr)
            found.push_back(dialog);
    }
    return found;
}

// The language ids a log-in's language list offers, in its order.
std::vector<unsigned> OfferedLanguages(HWND login)
{
    HWND list = ::GetDlgItem(login, kLoginLanguage);
    std::vector<unsigned> ids;
    const int count = list ? static_cast<int>(::SendMessageW(list, CB_GETCOUNT, 0, 0)) : 0;
    for (int i = 0; i < count; ++i)
        ids.push_back(static_cast<unsigned>(::SendMessageW(list, CB_GETITEMDATA, i, 0)));
    return ids;
}

std::string Describe(const std::vector<unsigned>& ids)
{
    std::string text;
    for (unsigned id : ids)
        text += std::to_string(id) + " ";
    return text;
}

std::wstring StoredMainTitle()
{
    CString title;
    CToviRegistry::GetMainTitle(0, title);
    return title.GetString();
}

bool StoreInstallFolder(const std::wstring& folder)
{
    HKEY key = nullptr;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Varivivod\\VariruDAD", 0, nullptr, 0, KEY_WRITE, nullptr,
                          &key, nullptr) != ERROR_SUCCESS)
        return false;
    const LONG written = ::RegSetValueExW(key, L"InstallDir", 0, REG_SZ, reinterpret_cast<const BYTE*>(folder.c_str()),
                                          static_cast<DWORD>((folder.size() + 1) * sizeof(wchar_t)));
    ::RegCloseKey(key);
    return written == ERROR_SUCCESS;
}

// The image files that the program's tray takes before its own icons (an update puts them there).
std::wstring TrayOffIconPath()
{
    wchar_t documents[MAX_PATH] = {};
    if (!::SHGetSpecialFolderPathW(nullptr, documents, CSIDL_PERSONAL, FALSE))
        return std::wstring();
    std::wstring folder = std::wstring(documents) + L"\\VariruDAD";
    ::CreateDirectoryW(folder.c_str(), nullptr);
    folder += L"\\Image";
    ::CreateDirectoryW(folder.c_str(), nullptr);
    return folder + L"\\ixo_tray_off.ico";
}

// A 32 x 32 icon file of one opaque colour.
bool WriteSolidIcon(const std::wstring& path, COLORREF color)
{
    const int size = 32;
    const DWORD pixels = size * size * 4, mask = size * 4;
    std::string bytes;
    auto put = [&bytes](uint32_t value, int count) {
        for (int i = 0; i < count; ++i)
            bytes.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    };
    put(0, 2), put(1, 2), put(1, 2);                             // icon directory: one image
    put(size, 1), put(size, 1), put(0, 1), put(0, 1), put(1, 2), put(32, 2);
    put(sizeof(BITMAPINFOHEADER) + pixels + mask, 4), put(22, 4);
    put(sizeof(BITMAPINFOHEADER), 4), put(size, 4), put(size * 2, 4), put(1, 2), put(32, 2);
    put(BI_RGB, 4), put(0, 4), put(0, 4), put(0, 4), put(0, 4), put(0, 4);
    const uint32_t bgra = 0xFF000000u | (GetRValue(color) << 16) | (GetGValue(color) << 8) | GetBValue(color);
    for (int i = 0; i < size * size; ++i)
        put(bgra, 4);
    bytes.append(mask, '\0');
    std::ofstream out(path.c_str(), std::ios::binary | std::ios::trunc);
    out << bytes;
    return static_cast<bool>(out);
}

// How many pixels of that colour Wine's tray shows in its icons (its stand-alone tray window
// holds one child window per icon).
int TrayPixelsOf(COLORREF color)
{
    HWND tray = ::FindWindowW(L"__winex11_standalone_tray", nullptr);
    int count = 0;
    for (HWND icon = tray ? ::GetWindow(tray, GW_CHILD) : nullptr; icon; icon = ::GetWindow(icon, GW_HWNDNEXT)) {
        RECT area = {};
        ::GetWindowRect(icon, &area);
        const uitest::Pixels pixels = uitest::CaptureScreen(area);
        count += pixels.Count(color, {0, 0, pixels.width, pixels.height});
    }
    return count;
}

}

class AppRoadTraySettings : public AppRoadTest {
protected:
    // Opens the settings from the tray and confirms them with this server address (the port
    // stays the test server's); false when the dialog did not come or did not close.
    bool ConfirmSettings(const wchar_t* address)
    {
        HWND config = OpenSettings();
        if (config == nullptr)
            return false;
        if (!SetControlText(config, kConfigAddress, address) ||
            !SetControlText(config, kConfigPort, std::to_wstring(m_ports.port).c_str()))
            return false;
        Click(config, IDOK);
        return uitest::WaitUntil([&] { return !::IsWindow(config) || !::IsWindowVisible(config); }, 20000);
    }

    HWND OpenSettings()
    {
        HWND frame = ::FindWindowW(L"CorvaneIXO", nullptr);
        if (frame == nullptr)
            return nullptr;
        ::PostMessageW(frame, WM_COMMAND, kTrayConfigCommand, 0);
        return WaitForDialogWith(kConfigAddress);
    }

    // The one log-in window of the wanted kind, once no other log-in window shows; null when
    // that state does not come in time.
    HWND OnlyLogIn(bool web, DWORD timeoutMs = 20000)
    {
        HWND only = nullptr;
        uitest::WaitUntil([&] {
            const std::vector<HWND> wanted = LogInWindows(m_process.dwProcessId, web);
            const std::vector<HWND> other = LogInWindows(m_process.dwProcessId, !web);
            only = wanted.size() == 1 && other.empty() ? wanted.front() : nullptr;
            return only != nullptr;
        }, timeoutMs);
        return only;
    }

    std::string LogInsShown()
    {
        return std::to_string(LogInWindows(m_process.dwProcessId, false).size()) + " plain and " +
               std::to_string(LogInWindows(m_process.dwProcessId, true).size()) + " web log-in windows shown";
    }

    bool InFront(HWND window) { return uitest::WaitUntil([&] { return ::GetForegroundWindow() == window; }, 10000); }
};

TEST_F(AppRoadTraySettings, AfterOKTheLogInIsTheKindTheServerWantsWithItsListsAndInFront)
{
    struct Row {
        const char* name;
        bool webBefore, webAfter;
        const wchar_t* address;   // what the user confirms: the stored 127.0.0.1 or another name
    };
    const Row rows[] = {
        {"a new server keeps the plain form", false, false, L"localhost"},
        {"a new server with web log-in replaces the form", false, true, L"localhost"},
        {"a new server without web log-in replaces the web page", true, false, L"localhost"},
        {"a new server with web log-in keeps the web page", true, true, L"localhost"},
        {"the same server turned web log-in on", false, true, L"127.0.0.1"},
        {"the same server turned web log-in off", true, false, L"127.0.0.1"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ASSERT_EQ("OK", Control(row.webBefore ? "OPTION A2 153=Y" : "OPTION A2 153=-").substr(0, 2));
        ASSERT_EQ("OK", Control("OPTION LANG ko,en").substr(0, 2));
        ASSERT_EQ("OK", Control("OPTION DOMAIN 186=First%20Site 217=First%20Title").substr(0, 2));
        StoreServer();
        ASSERT_TRUE(Launch());
        ASSERT_NE(nullptr, OnlyLogIn(row.webBefore)) << LogInsShown();

        // The server's administrator changes the site while the log-in waits.
        ASSERT_EQ("OK", Control(row.webAfter ? "OPTION A2 153=Y" : "OPTION A2 153=-").substr(0, 2));
        ASSERT_EQ("OK", Control("OPTION LANG ko,en,jp").substr(0, 2));
        ASSERT_EQ("OK", Control("OPTION DOMAIN 186=Renamed%20Site 217=Renamed%20Title").substr(0, 2));
        ASSERT_TRUE(ConfirmSettings(row.address));

        HWND login = OnlyLogIn(row.webAfter);
        EXPECT_NE(nullptr, login) << LogInsShown();
        if (login != nullptr) {
            EXPECT_TRUE(InFront(login)) << "the log-in is not in front";
            if (row.webAfter) {
                // The web page's window names the site by the domain it took.
                EXPECT_TRUE(uitest::WaitUntil([] { return StoredMainTitle() == L"Renamed Title"; }, 10000))
                    << "the web log-in kept the domain of " << Narrow(StoredMainTitle());
            } else {
                EXPECT_TRUE(uitest::WaitUntil([&] { return TextOf(::GetDlgItem(login, kLoginDomain)) == L"Renamed Site"; },
                                              10000))
                    << "the log-in offers " << Narrow(TextOf(::GetDlgItem(login, kLoginDomain)));
                const std::vector<unsigned> expected = {LANG_KOREAN, LANG_ENGLISH, LANG_JAPANESE};
                EXPECT_TRUE(uitest::WaitUntil([&] { return OfferedLanguages(login) == expected; }, 10000))
                    << "languages offered: " << Describe(OfferedLanguages(login));
            }
        }
        // Without an install folder the program never restarts itself.
        EXPECT_FALSE(WaitForExit(0)) << "the program ended";
        EXPECT_TRUE(ExitFromTray());
        EndProcess();
    }
}

TEST_F(AppRoadTraySettings, CancelledSettingsGiveTheFocusBackToTheLogInAndTheTrayShowsTheImagesOnDisk)
{
    const std::wstring iconFile = TrayOffIconPath();
    ASSERT_FALSE(iconFile.empty());
    // Later programs must show their own tray images again.
    struct Remove {
        std::wstring path;
        ~Remove() { ::DeleteFileW(path.c_str()); }
    } remove{iconFile};
    ::DeleteFileW(iconFile.c_str());
    StoreServer();
    ASSERT_TRUE(Launch());
    HWND login = OnlyLogIn(false);
    ASSERT_NE(nullptr, login) << LogInsShown();
    ASSERT_NE(nullptr, ::FindWindowW(L"__winex11_standalone_tray", nullptr)) << "Wine shows no tray window";

    // An update's tray image arrives while the program runs; the tray shows the program's own.
    const COLORREF kUpdated = RGB(0x12, 0xE4, 0x5A);
    ASSERT_TRUE(WriteSolidIcon(iconFile, kUpdated));
    ASSERT_EQ(0, TrayPixelsOf(kUpdated));

    HWND config = OpenSettings();
    ASSERT_NE(nullptr, config);
    ASSERT_TRUE(InFront(config)) << "the settings did not come to the front";
    ::PostMessageW(config, WM_CLOSE, 0, 0);
    ASSERT_TRUE(uitest::WaitUntil([&] { return !::IsWindow(config) || !::IsWindowVisible(config); }, 10000));
    EXPECT_TRUE(InFront(login)) << "the log-in is not in front";
    EXPECT_EQ(login, OnlyLogIn(false)) << LogInsShown();
    EXPECT_TRUE(uitest::WaitUntil([&] { return TrayPixelsOf(kUpdated) >= 100; }, 10000))
        << "the tray still shows the old image (" << TrayPixelsOf(kUpdated) << " pixels of the new one)";
    EXPECT_TRUE(ExitFromTray());
}

TEST_F(AppRoadTraySettings, ANewServerWithAKnownInstallFolderThatCannotBeRestartedKeepsThisProgramGoing)
{
    // Under Wine the program always runs elevated, so its restart with ordinary rights goes
    // through the Task Scheduler, which cannot start anything there: the restart fails. (The
    // restart itself is MainFrameUpdateUiTest's, with the system's program start recorded.)
    const std::wstring install = testpaths::ScratchDir(L"TraySettingsInstall");
    ASSERT_TRUE(StoreInstallFolder(install));
    StoreServer();
    ASSERT_TRUE(Launch());
    HWND login = OnlyLogIn(false);
    ASSERT_NE(nullptr, login) << LogInsShown();
    ASSERT_EQ("OK", Control("OPTION DOMAIN 186=Renamed%20Site").substr(0, 2));
    ASSERT_TRUE(ConfirmSettings(L"localhost"));

    EXPECT_TRUE(uitest::WaitUntil([&] {
        HWND open = OnlyLogIn(false, 1000);
        return open && TextOf(::GetDlgItem(open, kLoginDomain)) == L"Renamed Site";
    }, 20000)) << "the log-in does not offer the new server's domain";
    EXPECT_FALSE(WaitForExit(0)) << "the program ended without a new instance";
    // It is still the one program: a second start hands over to it and ends.
    EXPECT_NE(-1, LaunchAndWait(L"/NOUPDATE", 20000)) << "a second program started beside it";
    EXPECT_TRUE(ExitFromTray());
}


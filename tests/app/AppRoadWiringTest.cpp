// CorvaneIXO.exe end to end: what the program hands from one part to the next on the user's
// road — the stored set-up code, the texts of the session's language, the alert pop-up, the
// about box and the version check.
#include "AppRun.h"
#include "ToviRegistry.h"
#include "ToviMsg.h"
#include "ToviString.h"
#include "ToviTextLanguage.h"
#include "WindowDriver.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <sstream>

using namespace apprun;

namespace {

const wchar_t kProductKey[] = L"Software\\Varivivod\\VariruDAD";

bool StoreText(const wchar_t* name, const wchar_t* value)
{
    HKEY key = nullptr;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, kProductKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return false;
    const LONG written = ::RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                                          static_cast<DWORD>((wcslen(value) + 1) * sizeof(wchar_t)));
    ::RegCloseKey(key);
    return written == ERROR_SUCCESS;
}

// The hex value of a field in the first record of a LAST reply; "-" when the field is absent.
std::string FieldOf(const std::string& reply, int id)
{
    const std::string rec = protoserver::Control::Value(reply, "rec");
    const std::string first = rec.substr(0, rec.find('/'));
    std::istringstream fields(first);
    std::string field;
    const std::string key = std::to_string(id) + ":";
    while (std::getline(fields, field, ','))
        if (field.compare(0, key.size(), key) == 0)
            return field.substr(key.size());
    return "-";
}

// Hex of a text without its terminator bytes.
std::string TrimZeros(std::string hex)
{
    while (hex.size() >= 2 && hex.compare(hex.size() - 2, 2, "00") == 0)
        hex.erase(hex.size() - 2);
    return hex;
}

// A text of the interface library in a language, as the program would read it.
std::wstring TextIn(LANGID language, unsigned int id)
{
    CToviTextLanguage::SetThreadLanguage(language);
    const CString text = CToviString::GetString(id);
    CToviTextLanguage::SetThreadLanguage(0);
    return std::wstring(text.GetString());
}

std::wstring MessageIn(LANGID language, unsigned int id)
{
    CToviTextLanguage::SetThreadLanguage(language);
    const CString text = CToviMsg::GetString(id);
    CToviTextLanguage::SetThreadLanguage(0);
    return std::wstring(text.GetString());
}

// The visible top-level dialogs of a process.
std::vector<HWND> DialogsOf(DWORD process)
{
    struct Search {
        DWORD process;
        std::vector<HWND> found;
    } search{process, {}};
    ::EnumWindows([](HWND wnd, LPARAM param) -> BOOL {
        auto* s = reinterpret_cast<Search*>(param);
        DWORD owner = 0;
        ::GetWindowThreadProcessId(wnd, &owner);
        wchar_t name[16] = {};
        ::GetClassNameW(wnd, name, 16);
        if (owner == s->process && ::IsWindowVisible(wnd) && std::wstring(name) == L"#32770")
            s->found.push_back(wnd);
        return TRUE;
    }, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The folder of the programs and libraries (the test runs beside them).
std::wstring BinFolder()
{
    wchar_t own[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, own, MAX_PATH);
    std::wstring path(own);
    return path.substr(0, path.find_last_of(L"\\/"));
}

// A file's ProductVersion text ("" without a version resource) and its fixed product version.
std::wstring ProductVersionOf(const std::wstring& path, DWORD* high = nullptr, DWORD* low = nullptr)
{
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(path.c_str(), &ignored);
    if (size == 0)
        return std::wstring();
    std::vector<BYTE> data(size);
    if (!::GetFileVersionInfoW(path.c_str(), 0, size, data.data()))
        return std::wstring();
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (::VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) && fixed) {
        if (high)
            *high = fixed->dwProductVersionMS;
        if (low)
            *low = fixed->dwProductVersionLS;
    }
    wchar_t* text = nullptr;
    if (!::VerQueryValueW(data.data(), L"\\StringFileInfo\\040904b0\\ProductVersion", reinterpret_cast<void**>(&text),
                          &length) || text == nullptr)
        return std::wstring();
    return text;
}

std::string Narrow(const std::wstring& text)
{
    return std::string(CStringA(text.c_str()).GetString());
}

const int kConfigAddress = 10028;
const int kConfigPort = 10031;
const int kConfigAddressLabel = 10169;
const int kConfigPortLabel = 10170;
const int kLoginUserId = 10007;
const int kLoginPassword = 10009;
const int kLoginLanguage = 10050;
const int kLoginDomain = 10054;
const int kLoginButton = 10122;
const int kChangePwdNew = 10010;
const int kChangePwdConfirm = 10011;
const int kInfoBar = 133;
const int kCaptionBar = 131;
const int kTrayIcon = 130;
const int kCaptionMin = 1029;
const int kCaptionMax = 1030;
const int kCaptionClose = 1031;
const int kInfoLogout = 1006;
const int kInfoUsage = 1028;

}

class AppRoadWiring : public AppRoadTest {};

TEST_F(AppRoadWiring, TheStoredSetUpCodeGoesWithTheLogInsAndTheKeepAliveConnectionsA0)
{
    // Timers far off: the log-in's A0 stays the last one until the test asks for an alert.
    ASSERT_EQ("OK", Control("OPTION A1 172=600 224=600 61=Y").substr(0, 2));
    StoreServer();
    StoreAutoLogin();
    ASSERT_TRUE(StoreText(L"ServerDebugLevel", L"7"));
    ASSERT_TRUE(Launch());
    HWND frame = WaitForMainWindow();
    ASSERT_NE(nullptr, frame);
    const int login = LastConnection("B0");
    ASSERT_NE(-1, login);
    std::string reply = Control("LAST cmd=A0");
    ASSERT_EQ(login, std::atoi(protoserver::Control::Value(reply, "conn").c_str())) << reply;
    EXPECT_EQ("37", TrimZeros(FieldOf(reply, 220))) << "log-in: " << reply;

    // The alert worker opens a connection of its own, as the panes ask it to.
    ::PostMessageW(frame, WM_USER + 28, 0, 0);
    int worker = -1;
    ASSERT_TRUE(uitest::WaitUntil([&] {
        worker = LastConnection("B4");
        return worker != -1 && worker != login;
    }, 15000)) << "no alert connection";
    reply = Control("LAST cmd=A0");
    EXPECT_EQ(worker, std::atoi(protoserver::Control::Value(reply, "conn").c_str())) << reply;
    EXPECT_EQ("37", TrimZeros(FieldOf(reply, 220))) << "alert worker: " << reply;
    EXPECT_TRUE(ExitFromTray());
}

TEST_F(AppRoadWiring, AFirstRunWithNoStoredLanguageShowsTheSettingsInKoreanLikeTheLogIn)
{
    ASSERT_TRUE(Launch());
    HWND config = WaitForDialogWith(kConfigAddress);
    ASSERT_NE(nullptr, config) << "no settings dialog without a stored server";
    EXPECT_EQ(TextIn(LANG_KOREAN, 14065), TextOf(::GetDlgItem(config, IDOK)));
    EXPECT_EQ(L"도메인 주소 : ", TextOf(::GetDlgItem(config, kConfigAddressLabel)));
    EXPECT_EQ(L"포트 : ", TextOf(::GetDlgItem(config, kConfigPortLabel)));
    ASSERT_TRUE(SetControlText(config, kConfigAddress, L"127.0.0.1"));
    ASSERT_TRUE(SetControlText(config, kConfigPort, std::to_wstring(m_ports.port).c_str()));
    Click(config, IDOK);
    HWND login = WaitForDialogWith(kLoginButton);
    ASSERT_NE(nullptr, login) << "no log-in dialog after the settings";
    EXPECT_TRUE(ExitFromTray());
}

TEST_F(AppRoadWiring, TheSettingsLabelsFollowTheStoredLanguage)
{
    for (LANGID language : {LANG_ENGLISH, LANG_JAPANESE}) {
        // Only the language: the settings dialog opens for want of a server.
        ASSERT_TRUE(StoreText(L"Language", language == LANG_ENGLISH ? L"1033" : L"1041"));
        ASSERT_TRUE(Launch());
        HWND config = WaitForDialogWith(kConfigAddress);
        ASSERT_NE(nullptr, config);
        EXPECT_EQ(TextIn(language, 14065), TextOf(::GetDlgItem(config, IDOK)));
        EXPECT_EQ(language == LANG_ENGLISH ? L"Domain address : " : L"ドメインアドレス : ",
                  TextOf(::GetDlgItem(config, kConfigAddressLabel)));
        EXPECT_EQ(language == LANG_ENGLISH ? L"Port : " : L"ポート : ", TextOf(::GetDlgItem(config, kConfigPortLabel)));
        // Cancelled, the program waits in the tray.
        Click(config, IDCANCEL);
        EXPECT_TRUE(uitest::WaitUntil([&] { return !::IsWindow(config) || !::IsWindowVisible(config); }, 10000));
        EXPECT_TRUE(ExitFromTray());
        EndProcess();
    }
}

TEST_F(AppRoadWiring, LoggingInInKoreanWithEnglishStoredRelabelsEveryBarAndTheLocalColumns)
{
    StoreServer();
    ASSERT_TRUE(CToviRegistry::SetLanguage(0, LANG_ENGLISH));
    ASSERT_TRUE(Launch());
    HWND login = WaitForDialogWith(kLoginButton);
    ASSERT_NE(nullptr, login);
    // The user picks Korean in the log-in's language list.
    HWND languages = ::GetDlgItem(login, kLoginLanguage);
    ASSERT_NE(nullptr, languages);
    int korean = -1;
    ASSERT_TRUE(uitest::WaitUntil([&] {
        const int count = static_cast<int>(::SendMessageW(languages, CB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i)
            if (::SendMessageW(languages, CB_GETITEMDATA, i, 0) == LANG_KOREAN)
                korean = i;
        return korean >= 0;
    }, 10000)) << "no Korean in the language list";
    ::SendMessageW(languages, CB_SETCURSEL, korean, 0);
    ::SendMessageW(login, WM_COMMAND, MAKEWPARAM(kLoginLanguage, CBN_SELCHANGE), reinterpret_cast<LPARAM>(languages));
    ASSERT_TRUE(SetControlText(login, kLoginUserId, L"demo"));
    ASSERT_TRUE(SetControlText(login, kLoginPassword, L"demo1234"));
    Click(login, kLoginButton);
    HWND frame = WaitForMainWindow();
    ASSERT_NE(nullptr, frame);
    HWND bar = ::GetDlgItem(frame, kInfoBar);
    ASSERT_NE(nullptr, bar);
    EXPECT_EQ(TextIn(LANG_KOREAN, 14037), TextOf(::GetDlgItem(bar, kInfoLogout)));
    EXPECT_EQ(TextIn(LANG_KOREAN, 14222), TextOf(::GetDlgItem(bar, kInfoUsage)));
    const MainPanes panes = PanesOf(frame);
    ASSERT_NE(nullptr, panes.localList);
    EXPECT_EQ(TextIn(LANG_KOREAN, 14000), RemoteColumnText(panes.localList, 0));
    EXPECT_EQ(TextIn(LANG_KOREAN, 14003), RemoteColumnText(panes.localList, 3));
    EXPECT_TRUE(ExitFromTray());
}

TEST_F(AppRoadWiring, ANewServerAlertSlidesThePopUpOutWithItsTextAndItGoesAgain)
{
    ASSERT_EQ("OK", Control("OPTION A1 172=60 224=1 61=Y").substr(0, 2));
    ASSERT_EQ("OK", Control("OPTION B4 223=1 224=1").substr(0, 2));
    StoreServer();
    StoreAutoLogin();
    ASSERT_TRUE(CToviRegistry::SetLanguage(0, LANG_KOREAN));
    ASSERT_TRUE(Launch());
    HWND frame = WaitForMainWindow();
    ASSERT_NE(nullptr, frame);
    const DWORD process = m_process.dwProcessId;
    wchar_t expected[512] = {};
    _snwprintf(expected, 511, MessageIn(LANG_KOREAN, 12093).c_str(), 3);
    // Three more alerts than the log-in saw.
    ASSERT_EQ("OK", Control("OPTION B4 223=4 224=1").substr(0, 2));
    HWND popup = nullptr;
    ASSERT_TRUE(uitest::WaitUntil([&] {
        for (HWND wnd : DialogsOf(process))
            if (TextOf(wnd) == expected)
                popup = wnd;
        return popup != nullptr;
    }, 15000)) << "no alert pop-up";
    // It slides out to the skin's full height.
    EXPECT_TRUE(uitest::WaitUntil([&] {
        RECT r = {};
        ::GetWindowRect(popup, &r);
        return r.right - r.left == 250 && r.bottom - r.top == 100;
    }, 10000)) << "the pop-up never came out in full";
    // It waits and goes.
    EXPECT_TRUE(uitest::WaitUntil([&] { return !::IsWindowVisible(popup); }, 15000)) << "the pop-up stayed";
    EXPECT_TRUE(ExitFromTray());
}

TEST_F(AppRoadWiring, TheTraysAboutBoxShowsTheProgramIconAndTheServersVersion)
{
    ASSERT_EQ("OK", Control("OPTION A2 164=4.5.6").substr(0, 2));
    StoreServer();
    StoreAutoLogin();
    ASSERT_TRUE(Launch());
    HWND frame = WaitForMainWindow();
    ASSERT_NE(nullptr, frame);
    ::PostMessageW(frame, WM_COMMAND, 1005, 0);   // the tray menu's about entry
    HWND about = nullptr;
    ASSERT_TRUE(uitest::WaitUntil([&] {
        about = ::FindWindowW(L"#32770", L"Corvane IXO About");
        return about != nullptr && ::IsWindowVisible(about);
    }, 15000)) << "no about box";
    EXPECT_EQ(L"Corvane IXO Version 4.5.6", TextOf(::GetDlgItem(about, 10182)));
    HWND icon = ::GetDlgItem(about, 10190);
    ASSERT_NE(nullptr, icon);
    EXPECT_TRUE(::IsWindowVisible(icon));
    EXPECT_NE(0, ::SendMessageW(icon, STM_GETICON, 0, 0)) << "the box shows no icon";
    Click(about, IDOK);
    EXPECT_TRUE(uitest::WaitUntil([&] { return !::IsWindow(about); }, 10000));
    EXPECT_TRUE(ExitFromTray());
}

TEST_F(AppRoadWiring, EveryDeliverableCarriesTheOneProductVersion)
{
    const std::wstring expected = ProductVersionOf(BinFolder() + L"\\CorvaneIXO.exe");
    ASSERT_FALSE(expected.empty()) << "the program has no version resource";
    for (const wchar_t* file : {L"CorvaneUpdate.exe", L"ToviInterface.dll", L"ToviConnect.dll", L"libFramework.dll",
                                L"ToviLanguage.dll", L"ToviMessage.dll", L"ToviDBUtil.dll"})
        EXPECT_EQ(Narrow(expected), Narrow(ProductVersionOf(BinFolder() + L"\\" + file))) << Narrow(file);
}

TEST_F(AppRoadWiring, TheSessionsUpdateCheckAnnouncesAnUpdateOnlyWhenTheServersVersionIsNewer)
{
    DWORD high = 0, low = 0;
    const std::wstring own = ProductVersionOf(BinFolder() + L"\\CorvaneIXO.exe", &high, &low);
    ASSERT_FALSE(own.empty());
    ASSERT_TRUE(StoreText(L"InstallDir", BinFolder().c_str()));
    ASSERT_EQ("OK", Control("OPTION UPDATE 181=CorvaneIXO.exe 229=" + Narrow(own) + " 230=00").substr(0, 2));
    ASSERT_EQ("OK", Control("OPTION A1 172=1 224=600").substr(0, 2));
    StoreServer();
    StoreAutoLogin();
    ASSERT_TRUE(Launch());
    ASSERT_NE(nullptr, WaitForMainWindow());
    auto updateChecks = [&] {
        return std::atoi(protoserver::Control::Value(Control("COUNT cmd=A4"), "requests").c_str());
    };
    // Three session updates, each with its check, and no announcement.
    const int before = updateChecks();
    ASSERT_TRUE(uitest::WaitUntil([&] { return updateChecks() >= before + 3; }, 20000)) << "no update checks ran";
    EXPECT_EQ(nullptr, WaitForBox(1000)) << "an update was announced for the program's own version";

    // The server now lists a newer build of the program.
    char newer[64] = {};
    std::snprintf(newer, sizeof newer, "%u.%u.%u.%u", HIWORD(high), LOWORD(high), HIWORD(low), LOWORD(low) + 1);
    ASSERT_EQ("OK", Control("OPTION UPDATE clear").substr(0, 2));
    ASSERT_EQ("OK", Control(std::string("OPTION UPDATE 181=CorvaneIXO.exe 229=") + newer + " 230=00").substr(0, 2));
    HWND box = WaitForBox();
    ASSERT_NE(nullptr, box) << "no update announced for " << newer;
    wchar_t expected[512] = {};
    wcsncpy(expected, MessageIn(LANG_KOREAN, 12094).c_str(), 511);
    EXPECT_NE(std::wstring::npos, BoxText(box).find(expected)) << Narrow(BoxText(box));
    AnswerBox(box);
    EXPECT_TRUE(ExitFromTray());
}

TEST_F(AppRoadWiring, TheChangePasswordChecksSpeakTheSessionsLanguage)
{
    StoreServer();
    StoreAutoLogin();
    ASSERT_TRUE(CToviRegistry::SetLanguage(0, LANG_ENGLISH));
    ASSERT_TRUE(Launch());
    HWND frame = WaitForMainWindow();
    ASSERT_NE(nullptr, frame);
    ::PostMessageW(frame, WM_COMMAND, 1007, 0);   // the tray menu's change-password entry
    HWND dialog = nullptr;
    ASSERT_TRUE(uitest::WaitUntil([&] {
        dialog = ::FindWindowW(L"#32770", L"Corvane IXO ChangePwd");
        return dialog != nullptr && ::IsWindowVisible(dialog);
    }, 15000)) << "no change-password dialog";
    const struct {
        const wchar_t *fresh, *confirm;
        unsigned message;
    } rows[] = {{L"", L"", 12160}, {L"new5678", L"", 12161}, {L"new5678", L"new5679", 12162}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.message);
        ASSERT_TRUE(SetControlText(dialog, kChangePwdNew, row.fresh));
        ASSERT_TRUE(SetControlText(dialog, kChangePwdConfirm, row.confirm));
        Click(dialog, IDOK);
        HWND box = WaitForBox();
        ASSERT_NE(nullptr, box);
        EXPECT_NE(std::wstring::npos, BoxText(box).find(MessageIn(LANG_ENGLISH, row.message))) << Narrow(BoxText(box));
        AnswerBox(box);
    }
    Click(dialog, IDCANCEL);
    EXPECT_TRUE(uitest::WaitUntil([&] { return !::IsWindow(dialog); }, 10000));
    EXPECT_TRUE(ExitFromTray());
}

TEST_F(AppRoadWiring, ATwoServerSiteOffersTheInsideAndTheOutsideServersDomains)
{
    const std::string port = std::to_string(m_ports.port);
    ASSERT_EQ("OK", Control("OPTION A2 216=TQX_IN 145=127.0.0.1:" + port + " 146=localhost:" + port).substr(0, 2));
    StoreServer();
    ASSERT_TRUE(Launch());
    HWND login = WaitForDialogWith(kLoginButton);
    ASSERT_NE(nullptr, login);
    HWND domains = ::GetDlgItem(login, kLoginDomain);
    ASSERT_NE(nullptr, domains);
    // The stored server's list, the inside server's, and the outside server's on its own connection.
    EXPECT_EQ("OK requests=3", Control("COUNT cmd=A2"));
    const int count = static_cast<int>(::SendMessageW(domains, CB_GETCOUNT, 0, 0));
    EXPECT_GE(count, 2);
    EXPECT_EQ(0, count % 2) << "the outside server's domains were not added behind the inside ones";
    EXPECT_TRUE(ExitFromTray());
}

TEST_F(AppRoadWiring, AServerChangedInTheTraysSettingsReachesTheOpenLogInsDomainList)
{
    StoreServer();
    ASSERT_TRUE(Launch());
    HWND login = WaitForDialogWith(kLoginButton);
    ASSERT_NE(nullptr, login);
    HWND domains = ::GetDlgItem(login, kLoginDomain);
    ASSERT_NE(nullptr, domains);
    ASSERT_TRUE(uitest::WaitUntil([&] { return !TextOf(domains).empty(); }, 10000));
    const std::wstring before = TextOf(domains);
    ASSERT_NE(L"Renamed Site", before);
    ASSERT_EQ("OK", Control("OPTION DOMAIN 186=Renamed%20Site").substr(0, 2));

    HWND frame = ::FindWindowW(L"CorvaneIXO", nullptr);
    ASSERT_NE(nullptr, frame);
    ::PostMessageW(frame, WM_COMMAND, 1003, 0);   // the tray menu's settings entry
    HWND config = WaitForDialogWith(kConfigAddress);
    ASSERT_NE(nullptr, config);
    ASSERT_TRUE(SetControlText(config, kConfigAddress, L"localhost"));
    ASSERT_TRUE(SetControlText(config, kConfigPort, std::to_wstring(m_ports.port).c_str()));
    Click(config, IDOK);
    EXPECT_TRUE(uitest::WaitUntil([&] { return !::IsWindow(config) || !::IsWindowVisible(config); }, 15000));
    EXPECT_TRUE(uitest::WaitUntil([&] {
        HWND open = WaitForDialogWith(kLoginButton, 1000);
        return open && TextOf(::GetDlgItem(open, kLoginDomain)) == L"Renamed Site";
    }, 15000)) << "the log-in still offers " << Narrow(before);
    EXPECT_TRUE(ExitFromTray());
}

TEST_F(AppRoadWiring, TheUsagePageOpensOverTheMainWindow)
{
    StoreServer();
    StoreAutoLogin();
    ASSERT_TRUE(Launch());
    HWND frame = WaitForMainWindow();
    ASSERT_NE(nullptr, frame);
    ::MoveWindow(frame, 200, 150, 1024, 768, TRUE);
    HWND bar = ::GetDlgItem(frame, kInfoBar);
    ASSERT_NE(nullptr, bar);
    Click(bar, kInfoUsage);
    HWND page = nullptr;
    ASSERT_TRUE(uitest::WaitUntil([&] {
        for (HWND wnd : DialogsOf(m_process.dwProcessId))
            if (::GetWindow(wnd, GW_OWNER) == frame)
                page = wnd;
        return page != nullptr;
    }, 15000)) << "no usage page";
    RECT outer = {}, inner = {};
    ::GetWindowRect(frame, &outer);
    ::GetWindowRect(page, &inner);
    const POINT middle = {(inner.left + inner.right) / 2, (inner.top + inner.bottom) / 2};
    EXPECT_LE(std::abs(middle.x - (outer.left + outer.right) / 2), 1) << "left " << inner.left;
    EXPECT_LE(std::abs(middle.y - (outer.top + outer.bottom) / 2), 1) << "top " << inner.top;
    ::PostMessageW(page, WM_CLOSE, 0, 0);
    EXPECT_TRUE(uitest::WaitUntil([&] { return !::IsWindow(page); }, 10000));
    EXPECT_TRUE(ExitFromTray());
}

TEST_F(AppRoadWiring, TheCaptionBarMinimisesMaximisesRestoresAndAsksBeforeClosing)
{
    StoreServer();
    StoreAutoLogin();
    ASSERT_TRUE(CToviRegistry::SetLanguage(0, LANG_ENGLISH));
    ASSERT_TRUE(Launch());
    HWND frame = WaitForMainWindow();
    ASSERT_NE(nullptr, frame);
    HWND caption = ::GetDlgItem(frame, kCaptionBar);
    ASSERT_NE(nullptr, caption);

    Click(caption, kCaptionMax);
    EXPECT_TRUE(uitest::WaitUntil([&] { return ::IsZoomed(frame) != FALSE; }, 10000)) << "not maximised";
    Click(caption, kCaptionMax);
    EXPECT_TRUE(uitest::WaitUntil([&] { return !::IsZoomed(frame); }, 10000)) << "not restored";

    // A double-click on the caption's empty middle toggles the same way. Posted as the mouse
    // delivers it: under Wine without a window manager the first click's caption drag swallows
    // the second click of a real one.
    for (bool zoomed : {true, false}) {
        RECT bar = {};
        ::GetClientRect(caption, &bar);
        ::PostMessageW(caption, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(bar.right / 2, bar.bottom / 2));
        EXPECT_TRUE(uitest::WaitUntil([&] { return (::IsZoomed(frame) != FALSE) == zoomed; }, 10000))
            << (zoomed ? "the double-click did not maximise" : "the double-click did not restore");
    }

    Click(caption, kCaptionMin);
    EXPECT_TRUE(uitest::WaitUntil([&] { return ::IsIconic(frame) != FALSE; }, 10000)) << "not minimised";
    ::ShowWindow(frame, SW_RESTORE);
    ASSERT_TRUE(uitest::WaitUntil([&] { return !::IsIconic(frame); }, 10000));

    // Close asks first; No keeps the program, Yes ends it.
    Click(caption, kCaptionClose);
    HWND box = WaitForBox();
    ASSERT_NE(nullptr, box) << "no close question";
    EXPECT_NE(std::wstring::npos, BoxText(box).find(MessageIn(LANG_ENGLISH, 12092).substr(0, 19))) << Narrow(BoxText(box));
    Click(box, IDCANCEL);
    EXPECT_TRUE(uitest::WaitUntil([&] { return !::IsWindow(box) || !::IsWindowVisible(box); }, 10000));
    EXPECT_FALSE(WaitForExit(1000)) << "No closed the program";
    Click(caption, kCaptionClose);
    box = WaitForBox();
    ASSERT_NE(nullptr, box);
    AnswerBox(box);
    EXPECT_TRUE(WaitForExit(30000)) << "Yes did not close the program";
    EXPECT_TRUE(Sessions().empty()) << "the session was not ended";
}

TEST_F(AppRoadWiring, ATrayDoubleClickBringsTheHiddenWindowBack)
{
    StoreServer();
    StoreAutoLogin();
    ASSERT_TRUE(Launch());
    HWND frame = WaitForMainWindow();
    ASSERT_NE(nullptr, frame);
    ::ShowWindow(frame, SW_HIDE);
    ASSERT_TRUE(uitest::WaitUntil([&] { return !::IsWindowVisible(frame); }, 5000));
    // The shell's notice of a double-click on the program's tray icon.
    ::PostMessageW(frame, WM_USER + 33, kTrayIcon, WM_LBUTTONDBLCLK);
    EXPECT_TRUE(uitest::WaitUntil([&] { return ::IsWindowVisible(frame) && !::IsIconic(frame); }, 10000))
        << "the window stayed hidden";
    EXPECT_TRUE(ExitFromTray());
}

TEST_F(AppRoadWiring, ASessionUpdateTheServerRefusesForAnotherReasonSaysSoAndKeepsTheSession)
{
    ASSERT_EQ("OK", Control("OPTION A1 172=1 224=600").substr(0, 2));
    StoreServer();
    StoreAutoLogin();
    ASSERT_TRUE(CToviRegistry::SetLanguage(0, LANG_ENGLISH));
    ASSERT_TRUE(Launch());
    HWND frame = WaitForMainWindow();
    ASSERT_NE(nullptr, frame);
    ASSERT_EQ("OK", Control("FAULT error code=1500 count=1 cmd=B2 -- Busy.").substr(0, 2));
    HWND box = WaitForBox();
    ASSERT_NE(nullptr, box) << "the failed session update was not shown";
    EXPECT_NE(std::wstring::npos, BoxText(box).find(MessageIn(LANG_ENGLISH, 12072))) << Narrow(BoxText(box));
    AnswerBox(box);
    EXPECT_TRUE(::IsWindowVisible(frame)) << "a refusal other than a closed session logged out";
    EXPECT_EQ(1u, Sessions().size());
    EXPECT_TRUE(ExitFromTray());
}

// CorvaneIXO.exe end to end under Wine against the test server: start-up, settings, log-in,
// the main window, keep-alive, forced log-out, a second launch and exit from the tray.
#include "AppRun.h"
#include "PixelCapture.h"
#include "ToviRegistry.h"
#include "WindowDriver.h"
#include <commctrl.h>
#include <gtest/gtest.h>
#include <algorithm>

using namespace apprun;

namespace {

const wchar_t kAppKey[] = L"Software\\로컬 응용 프로그램 마법사에서 생성된 응용 프로그램\\CorvaneIXO\\CorvaneIXO";

bool ProfileValueExists(const wchar_t* name)
{
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, kAppKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    DWORD size = 0;
    const bool found = ::RegQueryValueExW(key, name, nullptr, nullptr, nullptr, &size) == ERROR_SUCCESS && size > 0;
    ::RegCloseKey(key);
    return found;
}

bool Contains(const std::vector<std::wstring>& texts, const std::wstring& part)
{
    return std::any_of(texts.begin(), texts.end(),
                       [&](const std::wstring& t) { return t.find(part) != std::wstring::npos; });
}

}

class AppRoad : public AppRoadTest {};

TEST_F(AppRoad, LogsInAndShowsTheMainWindowWithItsBarsAndPanesThenExitFromTheTrayEndsTheSession)
{
    StoreServer();
    StoreAutoLogin();
    ASSERT_TRUE(Launch());
    HWND frame = WaitForMainWindow();
    ASSERT_NE(nullptr, frame) << "the main window did not appear";
    EXPECT_FALSE(TextOf(frame).empty()) << "the window has no title";
    for (int bar : {131, 132, 133, 134}) {
        HWND child = ::GetDlgItem(frame, bar);
        ASSERT_NE(nullptr, child) << "bar " << bar;
        EXPECT_TRUE(::IsWindowVisible(child)) << "bar " << bar;
    }
    HWND splitter = ::GetDlgItem(frame, 0xE900);
    ASSERT_NE(nullptr, splitter);
    for (int pane : {0xE900, 0xE901, 0xE910, 0xE911})
        EXPECT_NE(nullptr, ::GetDlgItem(splitter, pane)) << "pane " << std::hex << pane;
    // The hidden browser views are there but not shown.
    HWND script = ::GetDlgItem(frame, 0xE91E);
    ASSERT_NE(nullptr, script);
    EXPECT_FALSE(::IsWindowVisible(script));
    ASSERT_EQ(1u, Sessions().size());
    EXPECT_NE(-1, LastConnection("A1"));

    ASSERT_TRUE(ExitFromTray()) << "the program did not end";
    EXPECT_TRUE(Sessions().empty()) << "the session was not ended on the server";
    EXPECT_NE(-1, LastConnection("B1"));
    EXPECT_TRUE(ProfileValueExists(L"Pos"));
    EXPECT_TRUE(ProfileValueExists(L"SplitSize"));
}

TEST_F(AppRoad, ASecondLaunchEndsAndBringsTheFirstWindowForward)
{
    StoreServer();
    StoreAutoLogin();
    ASSERT_TRUE(Launch());
    HWND frame = WaitForMainWindow();
    ASSERT_NE(nullptr, frame);
    ::ShowWindow(frame, SW_MINIMIZE);
    ASSERT_TRUE(uitest::WaitUntil([&] { return ::IsIconic(frame) != FALSE; }, 5000));
    EXPECT_EQ(0, LaunchAndWait(L"/NOUPDATE", 20000)) << "the second instance did not end by itself";
    EXPECT_TRUE(uitest::WaitUntil([&] { return !::IsIconic(frame) && ::IsWindowVisible(frame); }, 5000))
        << "the first window did not come back";
    EXPECT_EQ(1u, FindWindows(L"CorvaneIXO", nullptr).size());
    EXPECT_EQ(1u, Sessions().size());
    EXPECT_TRUE(ExitFromTray());
}

TEST_F(AppRoad, KeepAliveWorkersEachUseAConnectionOfTheirOwn)
{
    ASSERT_EQ("OK", Control("OPTION A1 172=1 224=2 48=Y").substr(0, 2));
    StoreServer();
    StoreAutoLogin();
    ASSERT_TRUE(Launch());
    ASSERT_NE(nullptr, WaitForMainWindow());
    const int login = LastConnection("B0");
    ASSERT_NE(-1, login);
    int b2 = -1, b4 = -1, b5 = -1;
    // The first alert and quota requests of the log-in go over the session's own connection;
    // wait for the timers' ones.
    EXPECT_TRUE(uitest::WaitUntil([&] {
        b2 = LastConnection("B2");
        b4 = LastConnection("B4");
        b5 = LastConnection("B5");
        return b2 != -1 && b4 != -1 && b5 != -1 && b4 != login && b5 != login;
    }, 15000)) << "B2 " << b2 << " B4 " << b4 << " B5 " << b5;
    EXPECT_NE(login, b2);
    EXPECT_NE(b2, b4);
    EXPECT_NE(b2, b5);
    EXPECT_NE(b4, b5);
    EXPECT_TRUE(ExitFromTray());
}

TEST_F(AppRoad, TheAlarmKindAloneArmsTheAlertTimer)
{
    // The server's own options turn on only the alarm kind (61) of the five alert kinds.
    ASSERT_EQ("OK", Control("OPTION A1 172=60 224=1 80=- 81=- 48=- 49=-").substr(0, 2));
    StoreServer();
    StoreAutoLogin();
    ASSERT_TRUE(Launch());
    ASSERT_NE(nullptr, WaitForMainWindow());
    const int login = LastConnection("B0");
    ASSERT_NE(-1, login);
    int b4 = -1;
    EXPECT_TRUE(uitest::WaitUntil([&] {
        b4 = LastConnection("B4");
        return b4 != -1 && b4 != login;
    }, 10000)) << "no alert request of the timer (last B4 on connection " << b4 << ")";
    EXPECT_TRUE(ExitFromTray());
}

TEST_F(AppRoad, TheIntervalOfAnAlertReplyReplacesTheOptionsOne)
{
    ASSERT_EQ("OK", Control("OPTION A1 172=60 224=1").substr(0, 2));
    ASSERT_EQ("OK", Control("OPTION B4 224=3600").substr(0, 2));
    StoreServer();
    StoreAutoLogin();
    ASSERT_TRUE(Launch());
    ASSERT_NE(nullptr, WaitForMainWindow());
    const int login = LastConnection("B0");
    int first = -1;
    ASSERT_TRUE(uitest::WaitUntil([&] {
        first = LastConnection("B4");
        return first != -1 && first != login;
    }, 10000)) << "the alert timer never ran";
    // The reply asked for an hour: no second alert request within the option's second.
    ::Sleep(3500);
    EXPECT_EQ(first, LastConnection("B4")) << "the alert timer kept the option's interval";
    EXPECT_TRUE(ExitFromTray());
}

namespace {

const int kInfoBar = 133;
const int kQuotaText = 1021;
const int kAlarmCounter = 1011;
const int kShareCounter = 1018;
const int kLinkCounter = 1022;
const int kDraftCounter = 1025;
const int kApprovalCounter = 1027;
const int kShortcutCounter = 1034;
const int kLogoutButton = 1006;

}

TEST_F(AppRoad, TheInformationBarFollowsTheServersQuotaAndCounters)
{
    ASSERT_EQ("OK", Control("USER id=meter password=pw1234 name=Meter quota=4096").substr(0, 2));
    ASSERT_EQ("OK", Control("FILE user=meter size=1024 -- My Files/one.bin").substr(0, 2));
    ASSERT_EQ("OK", Control("OPTION A1 172=60 224=1 61=Y 80=Y 81=- 48=Y 49=N 99=Y").substr(0, 2));
    ASSERT_EQ("OK", Control("OPTION B4 223=3 226=1 227=4 234=6 224=1 131=2").substr(0, 2));
    ASSERT_EQ("OK", Control("OPTION B5 224=1").substr(0, 2));
    StoreServer();
    ASSERT_TRUE(CToviRegistry::SetUserInfo(0, 0, 1, 1, L"meter", L"pw1234", L""));
    ASSERT_TRUE(Launch());
    HWND frame = WaitForMainWindow();
    ASSERT_NE(nullptr, frame);
    HWND bar = ::GetDlgItem(frame, kInfoBar);
    ASSERT_NE(nullptr, bar);
    auto text = [&](int id) { return TextOf(::GetDlgItem(bar, id)); };
    auto shown = [&](int id) { return ::IsWindowVisible(::GetDlgItem(bar, id)) != FALSE; };
    EXPECT_TRUE(uitest::WaitUntil([&] { return text(kQuotaText) == L"1.0 KB(25%) / 4.0 KB"; }, 5000))
        << "quota: " << CStringA(text(kQuotaText).c_str()).GetString();
    EXPECT_TRUE(uitest::WaitUntil([&] { return text(kAlarmCounter) == L"3" && text(kShareCounter) == L"1"; }, 5000));
    EXPECT_TRUE(shown(kAlarmCounter));
    EXPECT_TRUE(shown(kShareCounter));
    EXPECT_FALSE(shown(kLinkCounter)) << "the link counter's kind is off";
    EXPECT_TRUE(shown(kDraftCounter));
    EXPECT_EQ(L"4", text(kDraftCounter));
    EXPECT_FALSE(shown(kApprovalCounter)) << "the approval counter's kind is off";
    EXPECT_TRUE(shown(kShortcutCounter));
    EXPECT_EQ(L"2", text(kShortcutCounter));
    EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(bar, kLogoutButton)));

    // Log-out keeps to the bar's right end however the window is sized.
    for (int width : {1260, 900, 1100}) {
        ::MoveWindow(frame, 0, 0, width, 700, TRUE);
        EXPECT_TRUE(uitest::WaitUntil([&] {
            RECT client = {}, button = {};
            ::GetClientRect(bar, &client);
            ::GetWindowRect(::GetDlgItem(bar, kLogoutButton), &button);
            ::MapWindowPoints(nullptr, bar, reinterpret_cast<POINT*>(&button), 2);
            return client.right > 0 && button.right == client.right - 8;
        }, 5000)) << "width " << width;
    }

    // The workers bring the server's new figures; an empty counter reads "E" and is off.
    ASSERT_EQ("OK", Control("FILE user=meter size=1024 -- My Files/two.bin").substr(0, 2));
    ASSERT_EQ("OK", Control("OPTION B4 223=5 226= 227=9").substr(0, 2));
    EXPECT_TRUE(uitest::WaitUntil([&] { return text(kQuotaText) == L"2.0 KB(50%) / 4.0 KB"; }, 8000))
        << "quota: " << CStringA(text(kQuotaText).c_str()).GetString();
    EXPECT_TRUE(uitest::WaitUntil([&] { return text(kAlarmCounter) == L"5" && text(kShareCounter) == L"E"; }, 8000))
        << "alarm " << CStringA(text(kAlarmCounter).c_str()).GetString() << " share "
        << CStringA(text(kShareCounter).c_str()).GetString();
    EXPECT_TRUE(uitest::WaitUntil([&] { return text(kDraftCounter) == L"9"; }, 8000));
    EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(bar, kAlarmCounter)));
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(bar, kShareCounter)));
    EXPECT_TRUE(ExitFromTray());
}

TEST_F(AppRoad, ScreenshotsOfTheMainWindowWithBothBarsFilled)
{
    const wchar_t* dir = _wgetenv(L"BARS_SHOTS");
    if (!dir)
        GTEST_SKIP() << "set BARS_SHOTS to a folder to take them";
    ASSERT_EQ("OK", Control("USER id=meter password=pw1234 name=Meter quota=10485760").substr(0, 2));
    ASSERT_EQ("OK", Control("FILE user=meter size=3221225 -- My Files/one.bin").substr(0, 2));
    ASSERT_EQ("OK", Control("OPTION A1 172=60 224=60 61=Y 80=Y 81=Y 48=Y 49=Y 63=Y 99=Y 64=Y "
                            "160=http://127.0.0.1/manual 211=Corvane%20Cloud 212=02-1234-5678")
                        .substr(0, 2));
    ASSERT_EQ("OK", Control("OPTION B4 223=3 226=12 233=1 227=4 234= 132=2 131=7 224=60").substr(0, 2));
    StoreServer();
    ASSERT_TRUE(CToviRegistry::SetUserInfo(0, 0, 1, 1, L"meter", L"pw1234", L""));
    // English first: the Korean run then has a last log-in to show.
    for (unsigned short language : {0x09, 0x12}) {
        ASSERT_TRUE(CToviRegistry::SetLanguage(0, language));
        ASSERT_TRUE(Launch());
        HWND frame = WaitForMainWindow();
        ASSERT_NE(nullptr, frame);
        ::MoveWindow(frame, 0, 0, 1280, 800, TRUE);
        HWND bar = ::GetDlgItem(frame, kInfoBar);
        ASSERT_TRUE(uitest::WaitUntil([&] { return !TextOf(::GetDlgItem(bar, kQuotaText)).empty(); }, 8000));
        const std::wstring name = language == 0x12 ? L"\\main-bars-ko.png" : L"\\main-bars-en.png";
        EXPECT_TRUE(uitest::SavePng(uitest::CaptureSettledScreen({0, 0, 1280, 800}), std::wstring(dir) + name));
        ASSERT_TRUE(ExitFromTray());
        EndProcess();
    }
}

TEST_F(AppRoad, AnExpiredSessionGivesExactlyOneLogOutWithTheServersText)
{
    ASSERT_EQ("OK", Control("OPTION A1 172=1 224=1 48=Y").substr(0, 2));
    StoreServer();
    StoreAutoLogin();
    ASSERT_TRUE(Launch());
    HWND frame = WaitForMainWindow();
    ASSERT_NE(nullptr, frame);
    ASSERT_EQ("OK", Control("EXPIRE user=demo").substr(0, 2));
    HWND box = WaitForBox();
    ASSERT_NE(nullptr, box) << "no log-out message";
    EXPECT_TRUE(Contains(ChildTexts(box), L"The session has ended.")) << "the server's text is missing";
    AnswerBox(box);
    EXPECT_TRUE(uitest::WaitUntil([&] { return !::IsWindowVisible(frame); }, 5000)) << "the window stayed up";
    // Every worker saw the end of the session; one log-out, one box.
    EXPECT_EQ(nullptr, WaitForBox(4000)) << "a second log-out message appeared";
    EXPECT_TRUE(ExitFromTray());
}

TEST_F(AppRoad, FailedOptionsAfterTheLogInEndTheSessionAndReturnToTheLogIn)
{
    ASSERT_EQ("OK", Control("FAULT error code=1500 count=1 cmd=A1 -- Options unavailable.").substr(0, 2));
    StoreServer();
    StoreAutoLogin();
    ASSERT_TRUE(Launch());
    HWND box = WaitForBox();
    ASSERT_NE(nullptr, box) << "the failure was not shown";
    EXPECT_TRUE(Contains(ChildTexts(box), L"Options unavailable.")) << "the server's words are missing";
    // While the box is up, the server already holds no session of ours.
    EXPECT_TRUE(Sessions().empty()) << "the session was left open on the server";
    EXPECT_NE(-1, LastConnection("B1"));
    AnswerBox(box);
    // Back to the log-in, which logs in again (automatic log-in) and this time succeeds.
    EXPECT_NE(nullptr, WaitForMainWindow());
    EXPECT_EQ(1u, Sessions().size());
    EXPECT_TRUE(ExitFromTray());
}

namespace {

const int kConfigAddress = 10028;
const int kConfigPort = 10031;
const int kLoginUserId = 10007;
const int kLoginPassword = 10009;
const int kLoginButton = 10122;

}

TEST_F(AppRoad, AFreshStartAsksForTheServerChecksAndStoresItThenLogsInThroughTheDialog)
{
    ASSERT_TRUE(Launch());
    HWND config = WaitForDialogWith(kConfigAddress);
    ASSERT_NE(nullptr, config) << "no settings dialog without a stored server";
    ASSERT_TRUE(SetControlText(config, kConfigAddress, L"127.0.0.1"));
    ASSERT_TRUE(SetControlText(config, kConfigPort, std::to_wstring(m_ports.port).c_str()));
    Click(config, IDOK);
    HWND login = WaitForDialogWith(kLoginButton);
    ASSERT_NE(nullptr, login) << "no log-in dialog after the settings";
    EXPECT_NE(-1, LastConnection("A2")) << "the server was not checked";
    EXPECT_NE(-1, LastConnection("A5"));
    char host[256] = {}, code[256] = {};
    int port = 0;
    ASSERT_TRUE(CToviRegistry::GetServerAddress(0, host, &port, code, nullptr));
    EXPECT_STREQ("127.0.0.1", host);
    EXPECT_EQ(m_ports.port, port);

    ASSERT_TRUE(SetControlText(login, kLoginUserId, L"demo"));
    ASSERT_TRUE(SetControlText(login, kLoginPassword, L"demo1234"));
    Click(login, kLoginButton);
    EXPECT_NE(nullptr, WaitForMainWindow()) << "no main window after the log-in";
    EXPECT_EQ(1u, Sessions().size());
    EXPECT_TRUE(ExitFromTray());
}

TEST_F(AppRoad, AWrongPasswordShowsTheServersMessageAndLeavesTheLogInOpen)
{
    StoreServer();
    ASSERT_TRUE(Launch());
    HWND login = WaitForDialogWith(kLoginButton);
    ASSERT_NE(nullptr, login);
    ASSERT_TRUE(SetControlText(login, kLoginUserId, L"demo"));
    ASSERT_TRUE(SetControlText(login, kLoginPassword, L"wrong"));
    Click(login, kLoginButton);
    HWND box = WaitForBox();
    ASSERT_NE(nullptr, box);
    EXPECT_NE(std::wstring::npos, BoxText(box).find(L"Invalid user id or password.")) << "box: " << BoxText(box).size();
    AnswerBox(box);
    EXPECT_TRUE(::IsWindow(login));
    EXPECT_TRUE(Sessions().empty());
    EXPECT_TRUE(FindWindows(L"CorvaneIXO", nullptr).empty()) << "the main window came up without a session";
}

TEST_F(AppRoad, LoggedInElsewhereTheUserMayTakeTheSessionOver)
{
    ASSERT_EQ("OK", Control("SWITCH singleSession=1").substr(0, 2));
    protoserver::TestProto other;
    other.Aim(m_ports.port, "5");
    ASSERT_EQ(0, other.GetSecureCode(nullptr, other.ServerAddress.szHost, other.ServerAddress.nPort,
                                     other.ServerAddress.szCode, PROT_CMD('B', '0')));
    ASSERT_EQ(0, other.GetLoginInfo(L"1", L"demo", L"demo1234", const_cast<char*>("ko"), const_cast<char*>("N"),
                                    const_cast<char*>("2"), false, CString(), nullptr));
    other.CloseSocket();
    const std::vector<std::string> before = Sessions();
    ASSERT_EQ(1u, before.size());
    StoreServer();
    StoreAutoLogin();
    ASSERT_TRUE(Launch());
    HWND box = WaitForBox();
    ASSERT_NE(nullptr, box) << "no question about the other session";
    AnswerBox(box);
    EXPECT_NE(nullptr, WaitForMainWindow());
    const std::vector<std::string> after = Sessions();
    ASSERT_EQ(1u, after.size()) << "the other session should have been ended";
    EXPECT_NE(before[0], after[0]);
    EXPECT_TRUE(ExitFromTray());
    Control("SWITCH singleSession=0");
}

namespace {

const wchar_t kChangePwdTitle[] = L"Corvane IXO ChangePwd";
const int kChangeCurrent = 10009;
const int kChangeNew = 10010;
const int kChangeConfirm = 10011;

// A fresh connection's B0 for a user: the server's result (0 logged in).
int TryLogIn(int port, const wchar_t* user, const wchar_t* password)
{
    protoserver::TestProto proto;
    proto.Aim(port, "5");
    int result = proto.GetSecureCode(nullptr, proto.ServerAddress.szHost, proto.ServerAddress.nPort,
                                     proto.ServerAddress.szCode, PROT_CMD('B', '0'));
    if (result == 0)
        result = proto.GetLoginInfo(L"1", user, password, const_cast<char*>("ko"), const_cast<char*>("Y"),
                                    const_cast<char*>("2"), false, CString(), nullptr);
    if (result == 0)
        proto.GetLogoutInfo();
    proto.CloseSocket();
    return result;
}

}

TEST_F(AppRoad, AResetPasswordIsChangedAtTheLogInAndTheNewOneLogsInFromThenOn)
{
    ASSERT_EQ("OK", Control("USER id=renew password=old1234 name=Renew reset=Y").substr(0, 2));
    StoreServer();
    ASSERT_TRUE(CToviRegistry::SetUserInfo(0, 0, 1, 1, L"renew", L"old1234", L""));
    ASSERT_TRUE(Launch());
    HWND change = nullptr;
    ASSERT_TRUE(uitest::WaitUntil([&] {
        std::vector<HWND> found = FindWindows(L"#32770", kChangePwdTitle);
        change = found.empty() ? nullptr : found.front();
        return change != nullptr;
    }, 30000)) << "the change-password dialog did not run";
    // The server asked with "Y": the current password is asked too.
    EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(change, kChangeCurrent)));
    EXPECT_TRUE(FindWindows(L"CorvaneIXO", nullptr).empty()) << "the main window came before the new password";
    ASSERT_TRUE(SetControlText(change, kChangeCurrent, L"old1234"));
    ASSERT_TRUE(SetControlText(change, kChangeNew, L"new5678"));
    ASSERT_TRUE(SetControlText(change, kChangeConfirm, L"new5678"));
    Click(change, IDOK);
    ASSERT_NE(nullptr, WaitForMainWindow()) << "no main window after the password change";
    EXPECT_NE(-1, LastConnection("B3"));
    ASSERT_TRUE(ExitFromTray());

    EXPECT_EQ(0, TryLogIn(m_ports.port, L"renew", L"new5678")) << "the server refused the new password";
    EXPECT_NE(0, TryLogIn(m_ports.port, L"renew", L"old1234")) << "the old password still logs in";
    EndProcess();

    // The automatic log-in goes on with the new password, not the replaced one.
    ASSERT_TRUE(Launch());
    EXPECT_NE(nullptr, WaitForMainWindow()) << "the stored log-in still holds the old password";
    EXPECT_TRUE(FindWindows(L"#32770", kChangePwdTitle).empty());
    EXPECT_TRUE(ExitFromTray());
}

TEST_F(AppRoad, AWebLogInSiteGetsTheWebLogInWindowInsteadOfTheForm)
{
    ASSERT_EQ("OK", Control("OPTION A2 153=Y").substr(0, 2));
    StoreServer();
    ASSERT_TRUE(Launch());
    const int kPageView = 0xE900;
    HWND web = WaitForDialogWith(kPageView);
    ASSERT_NE(nullptr, web) << "no web log-in window";
    EXPECT_EQ(nullptr, ::GetDlgItem(web, kLoginButton)) << "the plain log-in form came up";
    EXPECT_EQ(-1, LastConnection("B0"));
    EndProcess();
}

TEST_F(AppRoad, TheShortcutButtonListsTheUsersShortcutsAndOpensTheChosenOneInTheTree)
{
    // A folder below one the tree has not opened yet: opening it walks the names down.
    ASSERT_EQ("OK", Control("FOLDER user=demo -- My Files/Projects").substr(0, 2));
    const std::string folder = Control("FOLDER user=demo -- My Files/Projects/Plans");
    ASSERT_EQ("OK", folder.substr(0, 2)) << folder;
    protoserver::TestProto setter;
    setter.Aim(m_ports.port, "5");
    ASSERT_EQ(0, setter.GetSecureCode(nullptr, setter.ServerAddress.szHost, setter.ServerAddress.nPort,
                                      setter.ServerAddress.szCode, PROT_CMD('B', '0')));
    ASSERT_EQ(0, setter.GetLoginInfo(L"1", CString(kUser), CString(kPassword), const_cast<char*>("en"),
                                     const_cast<char*>("Y"), const_cast<char*>("2"), false, CString(), nullptr));
    std::string idx = protoserver::Control::Value(folder, "idx");
    ASSERT_EQ(0, setter.AddShortcut({&idx[0]}));
    setter.GetLogoutInfo();
    setter.CloseSocket();

    StoreServer();
    StoreAutoLogin();
    ASSERT_TRUE(Launch());
    HWND frame = WaitForMainWindow();
    ASSERT_NE(nullptr, frame);
    HWND bar = ::GetDlgItem(frame, 133);
    ASSERT_NE(nullptr, bar);
    const int kShortcutButton = 1034;
    const int kShortcutList = 10235;
    ::PostMessageW(bar, WM_COMMAND, MAKEWPARAM(kShortcutButton, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(bar, kShortcutButton)));
    HWND dialog = WaitForDialogWith(kShortcutList);
    ASSERT_NE(nullptr, dialog) << "no shortcut list";
    EXPECT_NE(-1, LastConnection("D7"));
    HWND list = ::GetDlgItem(dialog, kShortcutList);
    ASSERT_EQ(1, static_cast<int>(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)));
    EXPECT_EQ(L"My Files/Projects/Plans", RemoteListText(list, 0, 0));

    // Opening the chosen shortcut shows its folder in the server tree.
    std::vector<BYTE> item(sizeof(LVITEMW));
    auto* state = reinterpret_cast<LVITEMW*>(item.data());
    state->stateMask = state->state = LVIS_SELECTED | LVIS_FOCUSED;
    RemoteSend(list, LVM_SETITEMSTATE, 0, item);
    const int kOpenButton = 10238;
    Click(dialog, kOpenButton);
    EXPECT_TRUE(uitest::WaitUntil([&] { return !::IsWindow(dialog); }, 5000));
    HWND splitter = ::GetDlgItem(frame, 0xE900);
    HWND tree = ::FindWindowExW(::GetDlgItem(splitter, 0xE900), nullptr, WC_TREEVIEWW, nullptr);
    ASSERT_NE(nullptr, tree);
    auto caret = [&] {
        return reinterpret_cast<HTREEITEM>(::SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
    };
    EXPECT_TRUE(uitest::WaitUntil([&] {
        HTREEITEM at = caret();
        HTREEITEM parent = at ? reinterpret_cast<HTREEITEM>(
                                    ::SendMessageW(tree, TVM_GETNEXTITEM, TVGN_PARENT, reinterpret_cast<LPARAM>(at)))
                              : nullptr;
        return at && parent && RemoteTreeText(tree, at) == L"Plans" && RemoteTreeText(tree, parent) == L"Projects";
    }, 10000)) << "the tree shows " << CStringA(RemoteTreeText(tree, caret()).c_str()).GetString();
    EXPECT_TRUE(ExitFromTray());
}

TEST_F(AppRoad, TheStatusBarShowsTheButtonsTheOptionsAllow)
{
    // The manual follows its address and help its option; the reply has no say over the web
    // storage page and the two add-ons, whatever else it carries.
    const struct {
        bool manual, help;
        const char* options;
    } rows[] = {
        {true, true, "OPTION A1 160=http://127.0.0.1/manual 64=Y 77=N 78=N 82=N 84=N 154=N 92=N"},
        {false, false, "OPTION A1 160=- 64=N"},
    };
    StoreServer();
    StoreAutoLogin();
    for (const auto& row : rows) {
        ASSERT_EQ("OK", Control(row.options).substr(0, 2));
        ASSERT_TRUE(Launch());
        HWND frame = WaitForMainWindow();
        ASSERT_NE(nullptr, frame) << row.options;
        HWND bar = ::GetDlgItem(frame, 134);
        ASSERT_NE(nullptr, bar);
        const struct {
            int id;
            bool shown;
        } buttons[] = {{1019, row.manual}, {1017, row.help}, {1016, true}, {1014, true}, {1015, true}};
        for (const auto& button : buttons)
            EXPECT_EQ(button.shown, ::IsWindowVisible(::GetDlgItem(bar, button.id)) != FALSE)
                << "button " << button.id << " with " << row.options;
        ASSERT_TRUE(ExitFromTray());
        EndProcess();
    }
}

TEST_F(AppRoad, APasswordChangedFromTheTrayIsTheOneTheNextAutomaticLogInOffers)
{
    StoreServer();
    StoreAutoLogin();
    ASSERT_TRUE(Launch());
    HWND frame = WaitForMainWindow();
    ASSERT_NE(nullptr, frame);
    const int kTrayChangePassword = 1007;
    ::PostMessageW(frame, WM_COMMAND, kTrayChangePassword, 0);
    HWND change = nullptr;
    ASSERT_TRUE(uitest::WaitUntil([&] {
        std::vector<HWND> found = FindWindows(L"#32770", kChangePwdTitle);
        change = found.empty() ? nullptr : found.front();
        return change != nullptr;
    }, 10000)) << "no change-password dialog";
    ASSERT_TRUE(SetControlText(change, kChangeCurrent, L"demo1234"));
    ASSERT_TRUE(SetControlText(change, kChangeNew, L"fresh9876"));
    ASSERT_TRUE(SetControlText(change, kChangeConfirm, L"fresh9876"));
    Click(change, IDOK);
    HWND box = WaitForBox();
    ASSERT_NE(nullptr, box) << "the change was not confirmed";
    AnswerBox(box);
    ASSERT_TRUE(ExitFromTray());
    EndProcess();

    ASSERT_TRUE(Launch());
    EXPECT_NE(nullptr, WaitForMainWindow()) << "the automatic log-in still offered the old password";
    EXPECT_EQ(nullptr, WaitForBox(1000)) << "a log-in message came up";
    EXPECT_TRUE(ExitFromTray());
}

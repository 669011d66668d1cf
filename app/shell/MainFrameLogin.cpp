// CMainFrame: finding the server, the log-in thread, taking over a session, the update check
// before log-in, the log-out and the tray's commands.
#include "AboutDlg.h"
#include "ChangePwdDlg.h"
#include "ClientLeftView.h"
#include "ClientRightView.h"
#include "FileUtils.h"
#include "InstanceLock.h"
#include "LoginExchange.h"
#include "LoginRules.h"
#include "LoginThread.h"
#include "LoginWebThread.h"
#include "MainFrame.h"
#include "AppRes.h"
#include "ProgressDlg.h"
#include "TaskBarDlg.h"
#include "ServerLeftView.h"
#include "ServerRightView.h"
#include "ToviExec.h"
#include "ToviHtmlView.h"
#include "ToviMsg.h"
#include "ToviProto.h"
#include "ToviRegistry.h"
#include "ToviUpdate.h"
#include "TraceLog.h"
#include "WinThread.h"
#include <cstdlib>
#include <cstring>

namespace {

UINT CheckNetworkThread(LPVOID param)
{
    TraceLog(1, L"[ CheckNetworkThread ] START!\n");
    CMainFrame* frame = static_cast<CMainFrame*>(param);
    if (frame == nullptr)
        return static_cast<UINT>(-1);
    const HWND wnd = frame->m_hWnd;
    bool connected = false;
    for (int i = 0; i < 120 && !connected; ++i) {
        connected = CToviProto::CheckNetwork();
        if (!connected)
            ::Sleep(500);
    }
    if (connected) {
        TraceLog(1, L"[ CheckNetworkThread ] NETWORK CONNECTED! \n");
        if (frame->m_bUpdateAllowed) {
            TraceLog(1, L"[ CheckNetworkThread ] CheckUpdate TRUE -- Update START! \n");
            ::SendMessageW(wnd, WM_UPDATE_START, 0, 0);
        } else {
            TraceLog(1, L"[ CheckNetworkThread ] CheckUpdate FALSE -- Login START! \n");
            ::SendMessageW(wnd, WM_RUN_LOGIN, 0, 0);
        }
    } else {
        // The box belongs to the frame's thread; it closes the program after the box.
        ::PostMessageW(wnd, WM_NETWORK_ABSENT, 0, 0);
    }
    TraceLog(1, L"[ CheckNetworkThread ] END!\n");
    return 0;
}

// Copies a narrow text into a fixed slot with its terminator.
template <size_t N> void CopySlot(char (&slot)[N], const char* text)
{
    std::strncpy(slot, text ? text : "", N - 1);
    slot[N - 1] = 0;
}

bool ReadServerAddress(CToviProto* proto)
{
    char host[256] = {};
    char code[256] = {};
    int port = -1;
    if (!CToviRegistry::GetServerAddress(0, host, &port, code, nullptr) || host[0] == 0 || port <= 0 || port > 65535)
        return false;
    CopySlot(proto->ServerAddress.szHost, host);
    proto->ServerAddress.nPort = port;
    // The set-up code goes with every A0 of the session and its workers: the server picks the
    // session cipher by it.
    CopySlot(proto->ServerAddress.szCode, code);
    return true;
}

// Points a protocol object at host and port, keeping its set-up code.
void AimAt(CToviProto* proto, const char* host, int port)
{
    proto->CloseSocket();
    std::memset(proto->ServerAddress.szHost, 0, sizeof proto->ServerAddress.szHost);
    CopySlot(proto->ServerAddress.szHost, host);
    proto->ServerAddress.strCallerText = CString(host);
    proto->ServerAddress.nPort = port;
}

// A site with an inside and an outside server: the session moves to the inside one, whose
// domains come first, and the outside one's domains are added behind them. False when the
// inside server cannot give its domains; a silent outside server only adds nothing.
bool JoinTwoServers(CToviProto* proto)
{
    const CString code = proto->CustomerCode;
    if ((code.CompareNoCase(L"TQX_IN") != 0 && code.CompareNoCase(L"TQX_OUT") != 0) || !proto->ServerIn[0] ||
        !proto->ServerOut[0])
        return true;
    char inHost[72] = {}, outHost[72] = {};
    int inPort = -1, outPort = -1;
    if (!loginrules::SplitHostPort(proto->ServerIn, inHost, sizeof inHost, &inPort) ||
        !loginrules::SplitHostPort(proto->ServerOut, outHost, sizeof outHost, &outPort))
        return false;
    TraceLog(1, L"[ CMainFrame::RunLoginUI ] SERVER IN [ %S:%d ] OUT [ %S:%d ]\n", inHost, inPort, outHost, outPort);
    AimAt(proto, inHost, inPort);
    if (proto->GetDomainInfo() != 0)
        return false;
    loginflow::JoinOutsideDomains(proto, inHost, inPort, outHost, outPort, proto->ServerAddress.szCode);
    return true;
}

}

void CMainFrame::StartCheckNetwork()
{
    CWinThread* thread = AfxBeginThread(CheckNetworkThread, this, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    if (thread == nullptr)
        return;
    thread->m_bAutoDelete = TRUE;
    thread->ResumeThread();
}

LRESULT CMainFrame::OnNetworkAbsent(WPARAM, LPARAM)
{
    const CString text = CToviMsg::GetString(12079);
    TraceLog(1, L"[ CheckNetworkThread ] NETWORK DISCONNECTED! -- \n %s\nWM_CLOSE \n", (LPCWSTR)text);
    CFileUtils::ToviMessageBox(this, text, L"CorvaneIXO", MB_ICONWARNING);
    PostMessage(WM_CLOSE);
    return 0;
}

LRESULT CMainFrame::OnRunLogin(WPARAM, LPARAM)
{
    RunLoginUI();
    return 0;
}

void CMainFrame::ShowLoginProgress(bool start)
{
    if (start) {
        if (m_pProgressDlg == nullptr) {
            m_pProgressDlg = new CProgressDlg(this);
            if (!m_pProgressDlg->Create()) {
                delete m_pProgressDlg;
                m_pProgressDlg = nullptr;
                return;
            }
        }
        m_pProgressDlg->StartProgress(CToviMsg::GetString(12073));
    } else if (m_pProgressDlg != nullptr) {
        CProgressDlg::StopProgress(m_pProgressDlg);
        m_pProgressDlg = nullptr;
    }
}

void CMainFrame::RunLoginUI()
{
    if (m_pProto == nullptr) {
        m_pProto = new CToviProto;
        m_pProto->NoTimerFlag = 0;
    }
    bool haveLists = false;
    if (!ReadServerAddress(m_pProto)) {
        if (!RunConfigDialog(this))
            return;
        haveLists = true;
    }
    if (!haveLists) {
        ShowLoginProgress(true);
        bool reached = m_pProto->GetDomainInfo() == 0;
        if (reached) {
            CToviRegistry::SetCustomFlag(0, m_pProto->CustomerCode);
            TraceLog(1, L" [ CMainFrame::RunLoginUI ] CUSTOM FLAG = [ %s ]\n", (LPCWSTR)m_pProto->CustomerCode);
            reached = JoinTwoServers(m_pProto);
        }
        if (!reached) {
            ShowLoginProgress(false);
            BeginModal();
            const int answer = CFileUtils::ToviMessageBox(this, CToviMsg::GetString(12070), L"CorvaneIXO", MB_YESNO);
            EndModal();
            if (answer != IDYES || !RunConfigDialog(this))
                return;
        } else {
            m_pProto->GetLanguageInfo();
        }
    }
    if (m_pProto->CustomerCode.CompareNoCase(L"DWY_IN") == 0) {
        m_pProto->m_bCallerFlag1 = 0;
        m_pProto->m_bCallerFlag2 = 0;
        m_pProto->m_bCallerFlag3 = 0;
    } else if (m_pProto->CustomerCode.CompareNoCase(L"URQ") == 0) {
        TraceLog(1, L"[ CMainFrame::RunLoginUI ] URQ --> WEB SSO!\n");
        m_bWebSso = true;
    }
    TakeWebRoot();
    StartLoginThread();
    ShowLoginProgress(false);
}

void CMainFrame::SetTrayFlags(bool loggedIn)
{
    const mainframe::TrayFlags flags =
        mainframe::TrayFlagsFor(loggedIn, m_pProto ? m_pProto->CustomerCode : CString());
    m_tray.m_bMenuLogin = flags.login;
    m_tray.m_bMenuLogout = flags.logout;
    m_tray.m_bMenuChangePassword = flags.changePassword;
    m_tray.m_bMenuConfig = flags.config;
    m_tray.m_bMenuExit = flags.exit;
}

void CMainFrame::SetTrayImage(bool loggedIn)
{
    HICON icon = loggedIn ? m_hTrayOnIcon : m_hTrayOffIcon;
    if (icon)
        m_tray.SetIcon(icon);
}

LRESULT CMainFrame::OnLoginResult(WPARAM wParam, LPARAM)
{
    WaitThread(m_pLoginWebThread);
    WaitThread(m_pLoginThread);
    if (wParam != 1) {
        SetTrayFlags(false);
        return 0;
    }
    m_bFirstShow = true;
    m_logoutGuard.Reset();
    m_logoutGate.Clear();
    unsigned short language = 0x12;
    if (!CToviRegistry::GetLanguage(0, &language))
        language = 0x12;
    CFileUtils::SetLocaleChange(language);

    CString title;
    if (!CToviRegistry::GetMainTitle(0, title) || title.IsEmpty())
        title = L"CORVANE IXO";
    SetWindowText(title);
    SetTrayImage(true);

    if (!ApplyOptions()) {
        // The session exists on the server by now: end it there, forget it here, and offer the
        // log-in again, so that no session is left behind.
        const CString reason = m_pProto->ResultInfo.wszMessage;
        TraceLog(2048, L"[ CMainFrame::OnLoginResult ] the options could not be read [ %d ]\n",
                 m_pProto->ResultInfo.nResultCode);
        m_pProto->GetLogoutInfo();
        CToviRegistry::SetSessionID(0, "");
        std::memset(m_pProto->LoginInfo.SessionId, 0, sizeof m_pProto->LoginInfo.SessionId);
        SetTrayImage(false);
        SetTrayFlags(false);
        BeginModal();
        CFileUtils::ToviMessageBox(this, reason.IsEmpty() ? CToviMsg::GetString(12070) : reason, L"CorvaneIXO",
                                   MB_ICONERROR);
        EndModal();
        RunLoginUI();
        return 0;
    }
    m_tray.SetTooltipText(title);
    SetTrayFlags(false);
    const _OPTION_INFO& option = m_pProto->OptionInfo;
    m_wndMainBar.ShowWebButtons(option.Attr56[0] == '1', option.Attr57[0] == '1', option.Attr83[0] == '1',
                                option.Attr37[0] == '1', std::strcmp(option.Attr31, "Y") == 0);
    ReloadTexts();
    SwitchView(0xE90A);
    // The log-in may have switched servers since the road began.
    TakeWebRoot();
    // The hidden script view loads its page once the window shows: the browser control's
    // navigation blocks for a while and nothing on screen waits for it.
    StartServerPanes();

    m_bLoggedIn = true;
    m_wndInfoBar.SetUserInfo(m_pProto);
    FirstAlertAndQuota();
    if (m_pProto->CustomerCode.CompareNoCase(L"ZRVT_IN") == 0 && std::atoi(m_pProto->AlarmInfo.Approval) > 0)
        m_wndInfoBar.PostMessage(WM_OPEN_TASK_PAGE, IDC_INFO_APPROVAL, 0);
    m_wndStatusBar.SetStatusInfo(m_pProto);
    SetTrayFlags(true);
    LoadLayout();
    if (m_pProto->CustomerCode.CompareNoCase(L"RQGROUP") == 0)
        std::strcpy(m_pProto->OptionInfo.BackupAddOn, "N");

    PostMessage(WM_SHOW_MAIN_WINDOW);
    ArmSessionTimers();
    for (const wchar_t* title2 : {L"Corvane IXO Config", L"Corvane IXO About"}) {
        if (HWND open = ::FindWindowW(L"#32770", title2))
            ::PostMessageW(open, WM_CLOSE, 0, 0);
    }
    return 0;
}

void CMainFrame::TakeWebRoot()
{
    CString& root = m_pProto->ServerAddress.WebServerAddress;
    if (!root.IsEmpty() && root != m_strTakenWebRoot)
        return;
    char host[256] = {};
    char code[256] = {};
    int port = -1;
    wchar_t stored[128] = {};
    CToviRegistry::GetServerAddress(0, host, &port, code, stored);
    root = m_strTakenWebRoot = loginrules::WebRoot(stored);
    TraceLog(1, L"[ CMainFrame::TakeWebRoot ] WEB ROOT : [ %s ]\n", (LPCWSTR)root);
}

bool CMainFrame::ApplyOptions()
{
    m_strServerInfo1.Empty();
    m_strServerInfo2.Empty();
    m_strImageExt.Empty();
    m_strDrmCode.Empty();
    std::memset(m_szShareOption, 0, sizeof m_szShareOption);
    std::memset(m_szGroupShareOption, 0, sizeof m_szGroupShareOption);
    if (m_pProto->GetOption() != 0)
        return false;
    const _OPTION_INFO& option = m_pProto->OptionInfo;
    if (option.Attr5[0])
        CopySlot(m_szShareOption, option.Attr5);
    if (option.SessionInterval[0]) {
        m_nSessionInterval = mainframe::IntervalMs(option.SessionInterval);
        TraceLog(1, L"SessionUpdate TIME = %d\n", m_nSessionInterval);
    }
    if (option.AlertInterval[0]) {
        m_nAlertInterval = mainframe::IntervalMs(option.AlertInterval);
        m_nQuotaInterval = m_nAlertInterval;
    }
    if (option.Attr210[0])
        m_nVersionOption = std::atoi(option.Attr210);
    if (option.Attr211[0])
        m_strServerInfo1 = option.Attr211;
    if (option.Telephone[0])
        m_strServerInfo2.Format(L"☎ %s", option.Telephone);
    if (option.Attr213[0])
        m_nThumbWidth = std::atoi(option.Attr213);
    if (option.Attr214[0])
        m_nThumbHeight = std::atoi(option.Attr214);
    if (option.Attr215[0])
        m_strImageExt = option.Attr215;
    if (option.Attr61[0])
        CopySlot(m_szGroupShareOption, option.Attr61);
    if (option.DrmIcon[0])
        m_strDrmCode = option.DrmIcon;
    if (option.SysIdleTime[0])
        m_nIdleLimit = mainframe::IntervalMs(option.SysIdleTime);
    // The reply never carries these three: the web storage page and both add-ons are offered.
    _OPTION_INFO& forced = m_pProto->OptionInfo;
    for (char* slot : {forced.WebStorage, forced.DriveAddOn, forced.BackupAddOn})
        std::strcpy(slot, "Y");
    return true;
}

void CMainFrame::FirstAlertAndQuota()
{
    if (m_pProto->GetAlertUpdate(m_pProto->LoginInfo.SessionId) != 0)
        std::memset(&m_pProto->AlarmInfo, 0, sizeof m_pProto->AlarmInfo);
    m_wndInfoBar.SetAlertInfo(m_pProto->AlarmInfo);
    const _ALARM_INFO& alarm = m_pProto->AlarmInfo;
    const int counts[4] = {std::atoi(alarm.Attr223), std::atoi(alarm.Share), std::atoi(alarm.Draft),
                           std::atoi(alarm.Delete)};
    for (int i = 0; i < 4; ++i)
        m_nAlertCount[i] = m_nAlertPrev[i] = counts[i];
    m_nAlertCount[4] = std::atoi(alarm.Link);
    if (m_pProto->GetQuotaUpdate(m_pProto->LoginInfo.SessionId) != 0)
        m_pProto->QuotaList.clear();
    m_wndInfoBar.SetQuotaInfo(m_pProto->QuotaList);
}

LRESULT CMainFrame::OnUpdateStart(WPARAM, LPARAM)
{
    TraceLog(1, L"[ CMainFrame::OnUpdateStart] start!\n");
    if (!ReadServerAddress(m_pProto) && !RunConfigDialog(this)) {
        PostMessage(WM_CLOSE);
        return 0;
    }
    TraceLog(1, L"SERVER ADDR = [ %S ]\t PORT = [ %d ]\n", m_pProto->ServerAddress.szHost,
             m_pProto->ServerAddress.nPort);
    CString url;
    if (m_pProto->GetDomainInfo() == 0) {
        url = CString(m_pProto->UpdateUrl);
        if (url.IsEmpty())
            TraceLog(1, L" [ CMainFrame::OnUpdateStart ] Update URL is EMPTY!!");
        else
            TraceLog(1, L"[ CMainFrame::OnUpdateStart ] UPDATE URL = %s", (LPCWSTR)url);
        if (!CToviRegistry::SetUpdateUrl(0, url))
            CFileUtils::ToviMessageBox(this, L"Update URL 저장 실패", L"CorvaneIxo", MB_ICONERROR);
    }
    TraceLog(1, L"[ CMainFrame::ResetUpdateImage] FALSE!\n");
    if (StartUpdateIfDue(url))
        return 0;
    TraceLog(1, L"[ CMainFrame::ResetUpdateImage] TRUE!\n");
    ResetUpdateImage();
    RunLoginUI();
    return 0;
}

bool CMainFrame::StartUpdateIfDue(const CString& url)
{
    CToviUpdate update;
    const int check = url.IsEmpty() ? -1 : update.IsUpdate(0, m_hWnd, url);
    if (check == 0) {
        TraceLog(1, L"[ CMainFrame::OnUpdateStart] return 0\n");
        if (CToviExec().RunUpdate(0)) {
            PostMessage(WM_CLOSE);
            return true;
        }
    } else if (check == 1) {
        TraceLog(1, L"[ CMainFrame::OnUpdateStart] return 1 \n");
        wchar_t own[MAX_PATH] = {};
        if (::GetModuleFileNameW(nullptr, own, MAX_PATH) > 0) {
            // The new instance must find the single-instance mutex free, or it would end at once
            // and leave none running.
            struct Elevated {
                static bool Launch(void* path)
                {
                    return CToviExec().MyShellExec(nullptr, L"runas", static_cast<const wchar_t*>(path), L"", L"") != 0;
                }
            };
            CInstanceLock::Program().Restart(Elevated::Launch, own);
            PostMessage(WM_CLOSE);
            return true;
        }
    }
    return false;
}

void CMainFrame::ResetUpdateImage()
{
    for (HICON* icon : {&m_hTrayOnIcon, &m_hTrayOffIcon}) {
        if (*icon)
            ::DestroyIcon(*icon);
        *icon = nullptr;
    }
    m_hTrayOnIcon = CFileUtils::GetTrayOnIcon(0);
    m_hTrayOffIcon = CFileUtils::GetTrayOffIcon(0);
    SetTrayImage(m_bLoggedIn);
}

void CMainFrame::OnLogout()
{
    if (!m_bLoggedIn)
        return;
    if (!m_logoutGate.Request()) {
        TraceLog(1, L"[ CMainFrame::OnLogout ] kept until the running operation ends\n");
        return;
    }
    LogoutNow();
}

void CMainFrame::LogoutNow()
{
    if (!m_bLoggedIn)
        return;
    m_bLoggedIn = false;
    m_bAfterLogout = true;
    if (m_hLogoutEvent) {
        ::WaitForSingleObject(m_hLogoutEvent, INFINITE);
        ::CloseHandle(m_hLogoutEvent);
        m_hLogoutEvent = nullptr;
    }
    StopTimersAndWorkers();
    m_wndSplitter.StopTransfers();
    StopLoginThreads();
    if (m_pProto->GetLogoutInfo() == 0)
        CToviRegistry::SetSessionID(0, "");
    if (m_logoutGuard.Pending()) {
        // The words of the request that saw the session end; the log-out request's own reply
        // would say nothing of it.
        const CString text =
            m_strForcedLogoutText.IsEmpty() ? CString(m_pProto->ResultInfo.wszMessage) : m_strForcedLogoutText;
        CFileUtils::ToviMessageBox(this, text, L"CorvaneIxo", MB_ICONERROR);
        m_strForcedLogoutText.Empty();
        m_logoutGuard.Reset();
    }
    m_mapFolderPassword.clear();
    SaveLayout();
    ShowWindow(SW_MINIMIZE);
    ShowWindow(SW_HIDE);
    SaveLastPaths();
    ClearPanes();
    m_wndMainBar.ResetWebButtons();

    static const wchar_t* const kIdleCustomers[] = {L"TOLVAN_IN", L"TOLVAN_OUT", L"PERIDAN",
                                                    L"PERIDAN_OUT", L"DUVUDOVA_DI", L"PERIDANE_OUT"};
    if (m_nLogoutReason == 1) {
        for (const wchar_t* code : kIdleCustomers) {
            if (m_pProto->CustomerCode.CompareNoCase(code) == 0) {
                CString text;
                text.Format(L"%d분이상 사용하지 않아 로그아웃 되었습니다.", m_nIdleLimit / 60000);
                CFileUtils::ToviMessageBox(this, text, L"CorvaneIxo", MB_ICONINFORMATION);
                break;
            }
        }
    }
    SetTrayImage(false);
    SetTrayFlags(false);
    m_nLogoutReason = 0;

    int saveId = 0, autoLogin = 0, runExplorer = 0;
    CString userId, password, domain;
    if (CToviRegistry::GetUserInfo(0, &saveId, &autoLogin, &runExplorer, userId, password, domain) && autoLogin == 0)
        RunLoginUI();
}

void CMainFrame::ClearPanes()
{
    if (m_pServerListView)
        m_pServerListView->ClearPane();
    if (m_pServerTreeView)
        m_pServerTreeView->ClearPane();
    if (m_pLocalListView)
        m_pLocalListView->ClearPane();
    if (m_pLocalTreeView)
        m_pLocalTreeView->ClearPane();
}

LRESULT CMainFrame::OnLogoutMessage(WPARAM, LPARAM lParam)
{
    m_nLogoutReason = static_cast<int>(lParam);
    OnLogout();
    return 0;
}

void CMainFrame::BeginModal()
{
    m_logoutGate.EnterModal();
}

void CMainFrame::EndModal()
{
    if (m_logoutGate.LeaveModal())
        PostMessage(WM_LOGOUT, 0, m_nLogoutReason);
    if (m_bExitPending && !m_logoutGate.Busy()) {
        m_bExitPending = false;
        PostMessage(WM_CLOSE);
    }
}

void CMainFrame::OnLogin()
{
    m_bUpdateAllowed = true;
    StartCheckNetwork();
}

void CMainFrame::OnTrayLogout()
{
    OnLogout();
}

void CMainFrame::OnChangePassword()
{
    if (!m_bLoggedIn)
        return;
    CChangePwdDlg dialog(this);
    dialog.m_pProto = m_pProto;
    BeginModal();
    if (dialog.DoModal() == IDOK) {
        // A stored automatic log-in must offer the password the server now holds.
        int save = 0, automatic = 0, run = 0;
        CString id, password, domain;
        if (CToviRegistry::GetUserInfo(0, &save, &automatic, &run, id, password, domain) && automatic == 1 &&
            id.CompareNoCase(m_pProto->LoginInfo.UserId) == 0)
            CToviRegistry::SetUserInfo(0, save, automatic, -1, id, dialog.m_strNewPassword, domain);
        CFileUtils::ToviMessageBox(this, L"비밀번호가 정상 변경되었습니다.\r\n\r\n다시 로그인 하십시오.", L"IXODrive",
                                   MB_ICONWARNING);
    }
    EndModal();
}

namespace {

// Starts the program again from the install folder with the user's ordinary rights.
bool LaunchProgramAgain(void* folder)
{
    const CString& install = *static_cast<const CString*>(folder);
    return CToviExec().RunAsStdUser(nullptr, install + L"\\CorvaneIXO.exe", L"", install) != 0;
}

}

void CMainFrame::OnConfig()
{
    if (HWND open = ::FindWindowW(L"#32770", L"Corvane IXO Config")) {
        ::SetForegroundWindow(open);
        return;
    }
    bool resetLayout = false, restart = false, update = false;
    BeginModal();
    const bool confirmed = RunConfigDialog(this, &resetLayout, &restart, &update);
    EndModal();
    const bool web = m_pProto && m_pProto->WebLogin[0] == 'Y';
    if (confirmed) {
        if (resetLayout) {
            ResetLayout();
            LoadLayout();
        }
        if (restart) {
            CString install = CToviUpdate::GetInstallDir(0);
            // The new instance must find the single-instance lock free, or it would take itself
            // for a second launch and end, leaving none.
            if (!install.IsEmpty() && CInstanceLock::Program().Restart(LaunchProgramAgain, &install)) {
                PostMessage(WM_CLOSE);
                return;
            }
            if (install.IsEmpty() && update) {
                wchar_t url[128] = {};
                char host[256] = {}, code[256] = {};
                int port = -1;
                CToviRegistry::GetServerAddress(0, host, &port, code, url);
                if (StartUpdateIfDue(url))
                    return;
            } else {
                // No restart (no install folder, or the new instance could not be started): this
                // one goes on with the new server's log-in.
                RefreshLoginThreads();
            }
        }
        if (!web && m_pLoginThread)
            static_cast<CLoginThread*>(m_pLoginThread)->ResetLanguageList();
    }
    // The log-in window the user left comes back to the front.
    if (web && m_pLoginWebThread)
        static_cast<CLoginWebThread*>(m_pLoginWebThread)->SetUIFocus();
    else if (!web && m_pLoginThread)
        static_cast<CLoginThread*>(m_pLoginThread)->SetUIFocus();
    if (confirmed && !m_bLoggedIn)
        RunLoginUI();
    ResetUpdateImage();
}

void CMainFrame::OnAbout()
{
    if (HWND open = ::FindWindowW(L"#32770", L"Corvane IXO About")) {
        ::SetForegroundWindow(open);
        return;
    }
    CAboutDlg dialog(this);
    if (m_pProto)
        CopySlot(dialog.m_szServerVersion, m_pProto->ServerVersionInfo);
    HICON icon = static_cast<HICON>(
        ::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON, 48, 48, 0));
    dialog.m_hIcon = icon;
    BeginModal();
    dialog.DoModal();
    EndModal();
    if (icon)
        ::DestroyIcon(icon);
}

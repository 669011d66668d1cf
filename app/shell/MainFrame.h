// CMainFrame: the program's one top-level window. It draws its own rounded frame, carries the
// caption, command, information and status bars, the 2x2 splitter with the four panes and two
// browser views, and owns the session's protocol object, the tray icon, the keep-alive timers
// and workers and the log-in threads.
//
// Everything runs on the UI thread except the keep-alive workers, which write the intervals,
// idle flags and counters below and otherwise reach the frame only by posted messages.
// Created hidden by the application; shown by a successful log-in; deletes itself when its
// window is gone.
#pragma once
#include "FrameWnd.h"
#include "WinThread.h"
#include "FrameLocalHost.h"
#include "InfoBarDlg.h"
#include "MainBarDlg.h"
#include "MainFramePanes.h"
#include "MainFrameRules.h"
#include "MenuBarDlg.h"
#include "PopupHost.h"
#include "StatusBarDlg.h"
#include "ToviSplitter.h"
#include "ToviTray.h"
#include <map>
#include <string>

class CToviProto;
class CToviHtmlView;
class CTaskBarDlg;
class CProgressDlg;
class CPopupDlg;
class CWinThread;
class CServerLeftView;
class CServerRightView;
class CClientLeftView;
class CClientRightView;
struct _PROTO_FOLDER_INFO;

// Messages the frame receives.
#define WM_LOGIN_RESULT         (WM_USER + 3)
#define WM_SESSION_UPDATE       (WM_USER + 27)
#define WM_LOCALE_CHANGE        (WM_USER + 30)
#define WM_TRAY_NOTIFY          (WM_USER + 33)
#define WM_SHOW_MAIN_WINDOW     (WM_USER + 34)
#define WM_LOGOUT               (WM_USER + 35)
#define WM_RUN_LOGIN            (WM_USER + 36)
#define WM_UPDATE_START         (WM_USER + 37)
#define WM_TASKBAR_CLICK        (WM_USER + 38)
#define WM_UPDATE_NOTICE        (WM_USER + 39)
#define WM_REDRAW_CAPTION       (WM_USER + 40)
#define WM_QUOTA_UPDATE         (WM_USER + 41)
// Posted by the network check when no network came within its minute. 0, 0.
#define WM_NETWORK_ABSENT       (WM_USER + 90)
// Posted by the alert worker: wParam new alerts for the notifier. lParam 0.
#define WM_ALERT_NOTICE         (WM_USER + 91)
// Posted by ArmTimer called off the frame's thread: wParam the timer, lParam its interval (ms).
#define WM_ARM_TIMER            (WM_USER + 92)

// Frame timers.
enum {
    IDT_CLOSE_SOCKET = 1,
    IDT_SESSIONUPDATE = 2,
    IDT_ALERTUPDATE = 3,
    IDT_QUOTAUPDATE = 4,
    IDT_IDLE_CHECK = 6,
    IDT_SHOW_DELETE_SCHEDULE = 7,
};

// The registered "TaskbarCreated" message; filled before the program's entry.
extern const UINT WM_TASKBARCREATED;

class CMainFrame : public CFrameWnd, public IPopupHost {
    DECLARE_DYNCREATE(CMainFrame)
public:
    CMainFrame();
    ~CMainFrame() override;

    // Creates the hidden window. FALSE when it could not be made (the object is gone then).
    BOOL CreateHidden();

    // ---- Seams: what Wine cannot give ----
    // Milliseconds since the last input (GetLastInputInfo by default).
    typedef bool (*LastInputQuery)(DWORD* tick);
    static LastInputQuery s_pLastInput;

    // ---- Shared state (UI thread unless said) ----
    CToviProto* m_pProto = nullptr;
    CMainBarDlg m_wndMainBar;
    CMenuBarDlg m_wndMenuBar;
    CInfoBarDlg m_wndInfoBar;
    CStatusBarDlg m_wndStatusBar;
    CToviSplitter m_wndSplitter;
    CServerLeftView* m_pServerTreeView = nullptr;
    CServerRightView* m_pServerListView = nullptr;
    CClientLeftView* m_pLocalTreeView = nullptr;
    CClientRightView* m_pLocalListView = nullptr;
    CToviHtmlView* m_pWebView = nullptr;
    CToviHtmlView* m_pScriptView = nullptr;
    CToviTray m_tray;
    HICON m_hTrayOnIcon = nullptr;
    HICON m_hTrayOffIcon = nullptr;
    CTaskBarDlg* m_pTaskBarDlg = nullptr;   // deletes itself with its window
    CProgressDlg* m_pProgressDlg = nullptr;
    CWinThread* m_pLoginThread = nullptr;
    CWinThread* m_pLoginWebThread = nullptr;
    CPopupDlg* m_popups[mainframe::kPopupSlots] = {};
    CString m_strWebPath;
    std::map<std::string, std::string> m_mapFolderPassword;
    HANDLE m_hLogoutEvent = nullptr;
    bool m_bUpdateAllowed = false;
    bool m_bMaximized = false;
    bool m_bLoggedIn = false;
    bool m_bFirstShow = false;
    bool m_bHiddenByBar = false;
    int m_nInitialColWidth = 0;
    int m_nInitialRowHeight = 0;
    int m_nMainBarHeight = 60;
    int m_nInfoBarHeight = 32;
    int m_nMenuBarHeight = 41;
    int m_nStatusBarHeight = 33;
    int m_nLogoutReason = 0;
    int m_nModalOp = -1;
    bool m_bWebSso = false;
    bool m_bAfterLogout = false;
    CString m_strDragSource;
    bool m_bUseFrame = true;
    int m_nFrameBorderX = 5;
    int m_nFrameBorderY = 5;
    bool m_bShowGrip = true;
    // Option copies of the last A1 reply.
    char m_szShareOption[5] = {};
    char m_szGroupShareOption[2] = {};
    int m_nVersionOption = 0;
    CString m_strServerInfo1, m_strServerInfo2;
    int m_nThumbWidth = 0, m_nThumbHeight = 0;
    CString m_strImageExt;
    CString m_strDrmCode;
    // Keep-alive state: the workers write these.
    volatile int m_nSessionInterval = 0;
    volatile int m_nAlertInterval = 0;
    volatile int m_nQuotaInterval = 0;
    int m_nIdleLimit = 0;
    volatile bool m_bSessionIdle = true;
    volatile bool m_bAlertIdle = true;
    volatile bool m_bQuotaIdle = true;
    bool m_bIdleCheckFree = false;
    volatile bool m_bUpdateNoticeShown = false;
    int m_nAlertCount[5] = {};
    int m_nAlertPrev[4] = {};
    // The forced log-out: claimed once per session by whoever sees the session end first.
    mainframe::ForcedLogoutGuard m_logoutGuard;
    bool LogoutPending() const { return m_logoutGuard.Pending(); }
    // The server's words of the forced log-out; written only by the thread that claimed it.
    CString m_strForcedLogoutText;
    // The single-sign-on id of the command line, for the log-in.
    CString m_strSsoId;

    // ---- Operations other windows use ----
    void StartCheckNetwork();
    void SwitchView(UINT id);
    void SetMenuButtonState(const char* vrwd, const BOOL* flags, int count);
    // 0: no password or already given; 1: asked and given; -1: refused or silent.
    int CheckFolderPassword(const _PROTO_FOLDER_INFO* folder, bool silent);
    BOOL NavigateWebView(const CString& url, const CString& postData);
    void ShowDeleteSchedule();
    void LoadLayout();
    void SaveLayout();
    void ResetLayout();
    void SaveLastPaths();
    void StopTimersAndWorkers();
    void StopLoginThreads();
    // Arms a timer with a server interval; an interval of 0 arms nothing (and stops it). Any
    // thread: a worker's call is handed to the frame's thread, the only one that may set it.
    void ArmTimer(UINT_PTR id, int intervalMs);
    // A forced log-out seen by any thread (result code 1213) with the server's words: one
    // WM_LOGOUT per session; the first caller's text is the one shown.
    void RequestForcedLogout(const wchar_t* serverText);
    // Around a modal operation or a frame-owned dialog: a log-out that arrives meanwhile runs
    // when the last one ends.
    void BeginModal();
    void EndModal();
    bool ModalRunning() const { return m_logoutGate.Busy(); }
    void RunLoginUI();
    void OnLogout();
    void SetTrayFlags(bool loggedIn);
    // The server tree and list: the session after log-in and the first listing; the last server
    // path at the first show; the list's columns and sort with the layout.
    void StartServerPanes();
    // Gives the splitter its calls into the panes (selections, refreshes, colours).
    void HookSplitterPanes();
    void RestoreServerPath();
    void SaveServerListLayout();
    void ReloadServerListLayout();
    CServerFrameHost m_serverHost{this};
    CFrameLocalHost m_localHost{this};

    // ---- What the panes' hosts ask of the frame ----
    bool ServerUploadAllowed() const { return m_serverHost.UploadAllowed(); }
    // Makes the splitter's pane at row, column the active one (nothing before the splitter exists).
    void ActivatePane(int row, int column);
    // Removes the cut look from the rows and items of every pane.
    void ClearPaneCutMarks();
    // The two-letter tag of the pane that started the running drag ("CL", "CR", "SL", "SR").
    void SetDragSource(const CString& tag) { m_strDragSource = tag; }
    CString DragSource() const { return m_strDragSource; }
    // The server tree's selected folder and its item; null when there is none.
    _PROTO_FOLDER_INFO* ServerTreeTarget(HTREEITEM* item);
    // Transfers the local panes start; localItem: the local tree item refreshed when the download ends.
    void UploadFromLocal(_PROTO_FOLDER_INFO* folder, std::vector<_UPLOADINFO>& items);
    void DownloadToLocal(std::vector<_DOWNLOADINFO>& items, HTREEITEM localItem);

    // IPopupHost
    CToviProto* GetPopupSession() override { return m_pProto; }
    HWND GetApprovalSplitter() override { return m_wndSplitter.GetSafeHwnd(); }
    HWND GetApprovalListView() override;

    // The keep-alive workers (thread procedures; argument: the frame).
    static UINT SessionUpdateThread(LPVOID param);
    static UINT AlertUpdateThread(LPVOID param);
    static UINT QuotaUpdateThread(LPVOID param);

protected:
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    BOOL OnCreateClient(LPCREATESTRUCT lpcs, CCreateContext* pContext) override;
    int OnCreate(LPCREATESTRUCT lpCreateStruct);
    void OnSize(UINT nType, int cx, int cy);
    void OnGetMinMaxInfo(MINMAXINFO* lpMMI);
    LRESULT OnNcCalcSizeMessage(WPARAM wParam, LPARAM lParam);
    void OnNcPaint();
    BOOL OnEraseBkgnd(CDC* pDC);
    BOOL OnNcActivate(BOOL bActive);
    void OnTimer(UINT_PTR nIDEvent);
    void OnSysCommand(UINT nID, LPARAM lParam);
    void OnClose();
    void OnDestroy();
    void OnWindowPosChanging(WINDOWPOS* lpwndpos);
    LRESULT OnLoginResult(WPARAM wParam, LPARAM lParam);
    LRESULT OnSessionUpdate(WPARAM, LPARAM);
    LRESULT OnAlertUpdate(WPARAM, LPARAM);
    LRESULT OnQuotaUpdate(WPARAM, LPARAM);
    LRESULT OnLocaleChange(WPARAM wParam, LPARAM);
    // Every bar, the local list's column titles and the alert pop-up take the thread's language.
    void ReloadTexts();
    LRESULT OnTrayNotify(WPARAM wParam, LPARAM lParam);
    LRESULT OnShowMainWindow(WPARAM, LPARAM);
    LRESULT OnLogoutMessage(WPARAM, LPARAM lParam);
    LRESULT OnRunLogin(WPARAM, LPARAM);
    LRESULT OnUpdateStart(WPARAM, LPARAM);
    LRESULT OnTaskbarClick(WPARAM, LPARAM);
    LRESULT OnUpdateNotice(WPARAM, LPARAM);
    LRESULT OnRedrawCaption(WPARAM, LPARAM);
    LRESULT OnPopupClosed(WPARAM, LPARAM lParam);
    LRESULT OnTaskbarCreated(WPARAM, LPARAM);
    LRESULT OnNetworkAbsent(WPARAM, LPARAM);
    LRESULT OnAlertNotice(WPARAM wParam, LPARAM);
    LRESULT OnArmTimer(WPARAM wParam, LPARAM lParam);
    void OnLogin();
    void OnTrayLogout();
    void OnChangePassword();
    void OnConfig();
    void OnExit();
    void OnAbout();
    DECLARE_MESSAGE_MAP()

private:
    void ApplyRegion();
    void PaintFrame(CDC* pDC);
    void ShowLoginProgress(bool start);
    void StartLoginThread();
    void WaitThread(CWinThread*& thread);
    // Ends the web (or the plain) log-in window without a result and lets go of its thread.
    void StopLoginThread(bool web);
    bool ApplyOptions();
    // Gives the session the stored server web address as its web root, unless someone else
    // gave it one; a root this frame took earlier follows the settings if they changed.
    void TakeWebRoot();
    void FirstAlertAndQuota();
    void ArmSessionTimers();
    void IdleCheck();
    void LogoutNow();
    void ClearPanes();
    void SetTrayImage(bool loggedIn);
    // Loads both tray images again (an update may have replaced their files) and shows the one
    // of the current state.
    void ResetUpdateImage();
    // The update decision on the server's list at url: true when the updater or an elevated
    // instance was started and the frame is closing.
    bool StartUpdateIfDue(const CString& url);
    // After the settings changed the server while logged out: the log-in windows take the new
    // lists.
    void RefreshLoginThreads();
    bool StartWorker(AFX_THREADPROC proc, volatile bool& idleFlag);
    bool TransferRunning();

    mainframe::LogoutGate m_logoutGate;
    bool m_bExitPending = false;   // an exit asked for while a server operation ran
    CString m_strTakenWebRoot;     // the web root TakeWebRoot last gave the session
};

// The settings dialog run by the frame; true when the user confirmed it. resetLayout and
// restart (when given) receive what the dialog asks for beyond the server.
bool RunConfigDialog(CMainFrame* frame, bool* resetLayout = nullptr, bool* restart = nullptr,
                     bool* update = nullptr);

// The frame of the running program (the application's main window), or null.
CMainFrame* MainFrameOf();

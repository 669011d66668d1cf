// CMainFrame: creation, layout, the own frame painting and the message table. Log-in, the
// keep-alive timers, the layout store and shut-down live in the MainFrame*.cpp files beside.
#include "MainFrame.h"
#include "VImageList.h"
#include <thread>
#include "AppRes.h"
#include "ClientLeftView.h"
#include "ClientRightView.h"
#include "FileUtils.h"
#include "PopupDlg.h"
#include "ServerLeftView.h"
#include "ServerRightView.h"
#include "TaskBarDlg.h"
#include "ToviHtmlView.h"
#include "ToviProto.h"
#include "ToviRegistry.h"
#include "TraceLog.h"
#include "WinApp.h"
#include <exdisp.h>
#include <gdiplus.h>

const UINT WM_TASKBARCREATED = ::RegisterWindowMessageW(L"TaskbarCreated");

namespace {

// The alert pop-up's background, a bitmap of the interface library.
const UINT kTaskBarSkin = 144;

}

IMPLEMENT_DYNCREATE(CMainFrame, CFrameWnd)

BEGIN_MESSAGE_MAP(CMainFrame, CFrameWnd)
    ON_WM_CREATE()
    ON_WM_SIZE()
    ON_WM_GETMINMAXINFO()
    ON_MESSAGE(WM_NCCALCSIZE, OnNcCalcSizeMessage)
    ON_WM_NCPAINT()
    ON_WM_ERASEBKGND()
    ON_WM_NCACTIVATE()
    ON_WM_TIMER()
    ON_WM_SYSCOMMAND()
    ON_WM_CLOSE()
    ON_WM_DESTROY()
    ON_WM_WINDOWPOSCHANGING()
    ON_MESSAGE(WM_LOGIN_RESULT, OnLoginResult)
    ON_MESSAGE(WM_SESSION_UPDATE, OnSessionUpdate)
    ON_MESSAGE(WM_ALERT_UPDATE, OnAlertUpdate)
    ON_MESSAGE(WM_QUOTA_UPDATE, OnQuotaUpdate)
    ON_MESSAGE(WM_LOCALE_CHANGE, OnLocaleChange)
    ON_MESSAGE(WM_TRAY_NOTIFY, OnTrayNotify)
    ON_MESSAGE(WM_SHOW_MAIN_WINDOW, OnShowMainWindow)
    ON_MESSAGE(WM_LOGOUT, OnLogoutMessage)
    ON_MESSAGE(WM_RUN_LOGIN, OnRunLogin)
    ON_MESSAGE(WM_UPDATE_START, OnUpdateStart)
    ON_MESSAGE(WM_TASKBAR_CLICK, OnTaskbarClick)
    ON_MESSAGE(WM_UPDATE_NOTICE, OnUpdateNotice)
    ON_MESSAGE(WM_REDRAW_CAPTION, OnRedrawCaption)
    ON_MESSAGE(WM_POPUP_CLOSED, OnPopupClosed)
    ON_MESSAGE(WM_NETWORK_ABSENT, OnNetworkAbsent)
    ON_MESSAGE(WM_ALERT_NOTICE, OnAlertNotice)
    ON_MESSAGE(WM_ARM_TIMER, OnArmTimer)
    ON_REGISTERED_MESSAGE(WM_TASKBARCREATED, OnTaskbarCreated)
    ON_COMMAND(ID_TRAY_LOGIN, OnLogin)
    ON_COMMAND(ID_TRAY_LOGOUT, OnTrayLogout)
    ON_COMMAND(ID_TRAY_CHANGE_PASSWORD, OnChangePassword)
    ON_COMMAND(ID_TRAY_CONFIG, OnConfig)
    ON_COMMAND(ID_TRAY_EXIT, OnExit)
    ON_COMMAND(ID_TRAY_ABOUT, OnAbout)
END_MESSAGE_MAP()

CMainFrame* MainFrameOf()
{
    return DYNAMIC_DOWNCAST(CMainFrame, AfxGetMainWnd());
}

CMainFrame::CMainFrame()
{
    m_strWebPath = L"/pm/app/appLoginProc.htm";
    m_pProto = new CToviProto;
    m_pProto->NoTimerFlag = 0;
}

CMainFrame::~CMainFrame()
{
    m_mapFolderPassword.clear();
    if (m_hTrayOnIcon)
        ::DestroyIcon(m_hTrayOnIcon);
    if (m_hTrayOffIcon)
        ::DestroyIcon(m_hTrayOffIcon);
    // The alert pop-up deleted itself with its window, which never outlives this one.
    if (m_pProto) {
        m_pProto->CloseSocket();
        delete m_pProto;
        m_pProto = nullptr;
    }
    if (m_hLogoutEvent)
        ::CloseHandle(m_hLogoutEvent);
    ::UnregisterClassW(L"CorvaneIXO", AfxGetInstanceHandle());
}

BOOL CMainFrame::CreateHidden()
{
    if (!Create(nullptr, L"Corvane IXO", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN)) {
        return FALSE;
    }
    return TRUE;
}

BOOL CMainFrame::PreCreateWindow(CREATESTRUCT& cs)
{
    if (!CFrameWnd::PreCreateWindow(cs))
        return FALSE;
    // Our own class, so that a second instance can find this window by it. The framework's
    // creation hook puts its window procedure in front, as for its own classes.
    WNDCLASSW existing = {};
    if (!::GetClassInfoW(AfxGetInstanceHandle(), L"CorvaneIXO", &existing)) {
        WNDCLASSW own = {};
        own.style = CS_DBLCLKS;
        own.lpfnWndProc = ::DefWindowProcW;
        own.hInstance = AfxGetInstanceHandle();
        own.hIcon = CFileUtils::GetMainIcon(0);
        own.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        own.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        own.lpszClassName = L"CorvaneIXO";
        if (!::RegisterClassW(&own))
            return FALSE;
    }
    cs.lpszClass = L"CorvaneIXO";
    cs.style &= ~FWS_ADDTOTITLE;
    if (cs.hMenu) {
        ::DestroyMenu(cs.hMenu);
        cs.hMenu = nullptr;
    }
    RECT work = {};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const RECT first = mainframe::FirstFrameRect(work);
    cs.x = first.left;
    cs.y = first.top;
    cs.cx = first.right - first.left;
    cs.cy = first.bottom - first.top;
    return TRUE;
}

int CMainFrame::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CFrameWnd::OnCreate(lpCreateStruct) == -1)
        return -1;
    // The server panes' icon lists are built at the log-in; their icons are made meanwhile.
    std::thread([] {
        try {
            CVImageList::PreloadReservedIcons();
        } catch (...) {
            // The lists load what is missing themselves.
        }
    }).detach();
    ModifyStyle(WS_CAPTION, 0);
    SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);

    CRect client;
    GetClientRect(&client);
    m_nInitialColWidth = (client.Width() - 8) / 3;
    m_nInitialRowHeight =
        (client.Height() - m_nMainBarHeight - m_nInfoBarHeight - m_nMenuBarHeight - m_nStatusBarHeight - 8) / 2;
    m_wndSplitter.SetColumnInfo(0, m_nInitialColWidth, 10);
    m_wndSplitter.SetRowInfo(0, m_nInitialRowHeight, 10);
    m_wndSplitter.RecalcLayout();

    m_hTrayOnIcon = CFileUtils::GetTrayOnIcon(0);
    m_hTrayOffIcon = CFileUtils::GetTrayOffIcon(0);
    m_tray.Create(this, m_hTrayOffIcon);
    CString title;
    if (CToviRegistry::GetMainTitle(0, title) && !title.IsEmpty())
        m_tray.SetTooltipText(title);

    m_pTaskBarDlg = new CTaskBarDlg(this);
    if (!m_pTaskBarDlg->Create()) {
        delete m_pTaskBarDlg;
        m_pTaskBarDlg = nullptr;
    } else {
        // Without its skin the pop-up has no size and never shows.
        m_pTaskBarDlg->SetSkin(kTaskBarSkin);
        m_pTaskBarDlg->m_nAppearTime = 4;
        m_pTaskBarDlg->m_nWaitTime = 3000;
        m_pTaskBarDlg->m_nDisappearTime = 4;
        m_pTaskBarDlg->ResetLocale();
    }
    ApplyRegion();
    return 0;
}

BOOL CMainFrame::OnCreateClient(LPCREATESTRUCT, CCreateContext* pContext)
{
    int useFrame = 1;
    m_bUseFrame = CToviRegistry::GetUseFrame(&useFrame) && useFrame != 0;
    if (!m_bUseFrame) {
        m_nFrameBorderX = 2;
        m_nMenuBarHeight = 38;
        m_nStatusBarHeight = 30;
    }
    m_wndMainBar.m_bBottomLine = m_bUseFrame;
    m_wndMenuBar.m_bBottomLine = m_bUseFrame;
    m_wndInfoBar.m_bBottomLine = m_bUseFrame;
    m_wndStatusBar.m_bBottomLine = m_bUseFrame;
    m_wndSplitter.m_bUseFrame = m_bUseFrame;
    m_wndMainBar.SetBarHeight(m_nMainBarHeight);
    m_wndInfoBar.SetBarHeight(m_nInfoBarHeight);
    m_wndMenuBar.SetBarHeight(m_nMenuBarHeight);
    m_wndStatusBar.SetBarHeight(m_nStatusBarHeight);

    const UINT top = CBRS_ALIGN_TOP | CBRS_TOOLTIPS;
    if (!m_wndMainBar.Create(this, IDD_MAINBAR, top, IDD_MAINBAR) ||
        !m_wndInfoBar.Create(this, IDD_INFOBAR, top, IDD_INFOBAR) ||
        !m_wndMenuBar.Create(this, IDD_MENUBAR, top, IDD_MENUBAR) ||
        !m_wndStatusBar.Create(this, IDD_STATUSBAR, CBRS_ALIGN_BOTTOM | CBRS_TOOLTIPS, IDD_STATUSBAR)) {
        TraceLog(2048, L"[ CMainFrame::OnCreateClient ] a bar could not be created\n");
        return FALSE;
    }

    CCreateContext context;
    if (pContext)
        context = *pContext;
    context.m_pCurrentFrame = this;
    m_pWebView = new CToviHtmlView;
    if (!m_pWebView->Create(nullptr, nullptr, AFX_WS_DEFAULT_VIEW, CRect(0, 0, 0, 0), this, 0xE914, &context)) {
        m_pWebView = nullptr;
        return FALSE;
    }
    m_pScriptView = new CToviHtmlView;
    if (!m_pScriptView->Create(nullptr, nullptr, WS_CHILD, CRect(0, 0, 0, 0), this, 0xE91E, &context)) {
        m_pScriptView = nullptr;
        return FALSE;
    }
    m_pWebView->ShowWindow(SW_HIDE);

    if (!m_wndSplitter.CreateStatic(this, 2, 2, WS_CHILD | WS_VISIBLE, AFX_IDW_PANE_FIRST))
        return FALSE;
    const CSize initial(m_nInitialColWidth > 10 ? m_nInitialColWidth : 300,
                        m_nInitialRowHeight > 10 ? m_nInitialRowHeight : 200);
    if (!m_wndSplitter.CreateView(0, 0, RUNTIME_CLASS(CServerLeftView), initial, &context) ||
        !m_wndSplitter.CreateView(0, 1, RUNTIME_CLASS(CServerRightView), initial, &context) ||
        !m_wndSplitter.CreateView(1, 0, RUNTIME_CLASS(CClientLeftView), initial, &context) ||
        !m_wndSplitter.CreateView(1, 1, RUNTIME_CLASS(CClientRightView), initial, &context))
        return FALSE;
    m_pServerTreeView = DYNAMIC_DOWNCAST(CServerLeftView, m_wndSplitter.GetPane(0, 0));
    m_pServerListView = DYNAMIC_DOWNCAST(CServerRightView, m_wndSplitter.GetPane(0, 1));
    m_pLocalTreeView = DYNAMIC_DOWNCAST(CClientLeftView, m_wndSplitter.GetPane(1, 0));
    m_pLocalListView = DYNAMIC_DOWNCAST(CClientRightView, m_wndSplitter.GetPane(1, 1));
    if (m_pLocalTreeView)
        m_pLocalTreeView->SetHost(&m_localHost);
    if (m_pLocalListView)
        m_pLocalListView->SetHost(&m_localHost);
    HookSplitterPanes();
    return TRUE;
}

void CMainFrame::SwitchView(UINT id)
{
    if (m_pWebView == nullptr || m_wndSplitter.m_hWnd == nullptr)
        return;
    if (id == 0xE90A) {
        m_wndSplitter.SetDlgCtrlID(AFX_IDW_PANE_FIRST);
        m_wndSplitter.ShowWindow(SW_SHOW);
        ShowControlBar(&m_wndMenuBar, TRUE);
        m_pWebView->SetDlgCtrlID(0xE914);
        m_pWebView->ShowWindow(SW_HIDE);
    } else if (id == 0xE914) {
        m_pWebView->SetDlgCtrlID(AFX_IDW_PANE_FIRST);
        m_pWebView->ShowWindow(SW_SHOW);
        m_wndSplitter.SetDlgCtrlID(0xE90A);
        m_wndSplitter.ShowWindow(SW_HIDE);
        ShowControlBar(&m_wndMenuBar, FALSE);
    }
    RecalcLayout();
    UpdateWindow();
}

void CMainFrame::SetMenuButtonState(const char* vrwd, const BOOL* flags, int count)
{
    m_wndMenuBar.SetMenuButtonState(vrwd, flags, count);
}

HWND CMainFrame::GetApprovalListView()
{
    return m_pServerListView ? m_pServerListView->GetSafeHwnd() : nullptr;
}

void CMainFrame::ApplyRegion()
{
    CRect window;
    GetWindowRect(&window);
    if (window.IsRectEmpty())
        return;
    const int w = window.Width(), h = window.Height();
    HRGN region = ::CreateRectRgn(0, 0, w, h);
    // Each corner loses what of its 5 x 5 square lies outside an 11 x 11 circle.
    const POINT corners[4] = {{0, 0}, {w - 5, 0}, {0, h - 5}, {w - 5, h - 5}};
    const POINT circles[4] = {{0, 0}, {w - 11, 0}, {0, h - 11}, {w - 11, h - 11}};
    for (int i = 0; i < 4; ++i) {
        HRGN square = ::CreateRectRgn(corners[i].x, corners[i].y, corners[i].x + 5, corners[i].y + 5);
        HRGN circle = ::CreateEllipticRgn(circles[i].x, circles[i].y, circles[i].x + 12, circles[i].y + 12);
        HRGN outside = ::CreateRectRgn(0, 0, 0, 0);
        ::CombineRgn(outside, square, circle, RGN_DIFF);
        ::CombineRgn(region, region, outside, RGN_DIFF);
        ::DeleteObject(square);
        ::DeleteObject(circle);
        ::DeleteObject(outside);
    }
    if (!::SetWindowRgn(m_hWnd, region, TRUE))
        ::DeleteObject(region);
}

void CMainFrame::OnSize(UINT nType, int cx, int cy)
{
    CFrameWnd::OnSize(nType, cx, cy);
    if (nType != SIZE_MINIMIZED)
        ApplyRegion();
}

void CMainFrame::OnGetMinMaxInfo(MINMAXINFO* lpMMI)
{
    lpMMI->ptMinTrackSize.x = 1024;
    lpMMI->ptMinTrackSize.y = 768;
}

LRESULT CMainFrame::OnNcCalcSizeMessage(WPARAM wParam, LPARAM lParam)
{
    RECT* rect = reinterpret_cast<RECT*>(lParam);
    if (IsZoomed()) {
        // Maximised: stay inside the work area of the monitor the window lies on.
        LRESULT result = Default();
        MONITORINFO info = {sizeof(info)};
        if (::GetMonitorInfoW(::MonitorFromWindow(m_hWnd, MONITOR_DEFAULTTONEAREST), &info))
            *rect = info.rcWork;
        return result;
    }
    if (IsIconic())
        return Default();
    (void)wParam;
    rect->left += m_nFrameBorderX;
    rect->right -= m_nFrameBorderX;
    rect->top += m_nFrameBorderY;
    rect->bottom -= m_nFrameBorderY;
    return 0;
}

void CMainFrame::PaintFrame(CDC*)
{
    if (IsIconic())
        return;
    HDC dc = ::GetWindowDC(m_hWnd);
    if (dc == nullptr)
        return;
    CRect window;
    GetWindowRect(&window);
    const int w = window.Width(), h = window.Height();
    HDC memory = ::CreateCompatibleDC(dc);
    HBITMAP bitmap = ::CreateCompatibleBitmap(dc, w, h);
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    RECT all = {0, 0, w, h};
    HBRUSH face = ::CreateSolidBrush(RGB(0xE4, 0xE4, 0xE4));
    ::FillRect(memory, &all, face);
    ::DeleteObject(face);
    // The caption strip continues into the top border in the caption bar's colour.
    RECT topBand = {0, 0, w, m_nFrameBorderY};
    HBRUSH caption = ::CreateSolidBrush(RGB(0x2F, 0x5D, 0x9E));
    ::FillRect(memory, &topBand, caption);
    RECT leftBand = {0, 0, m_nFrameBorderX, m_nFrameBorderY + m_nMainBarHeight};
    RECT rightBand = {w - m_nFrameBorderX, 0, w, m_nFrameBorderY + m_nMainBarHeight};
    ::FillRect(memory, &leftBand, caption);
    ::FillRect(memory, &rightBand, caption);
    ::DeleteObject(caption);
    {
        Gdiplus::Graphics graphics(memory);
        graphics.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
        graphics.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
        Gdiplus::Pen outline(Gdiplus::Color(255, 0xA4, 0xA4, 0xA4), 1.0f);
        Gdiplus::GraphicsPath path;
        const Gdiplus::REAL r = 10.0f, right = static_cast<Gdiplus::REAL>(w - 1), bottom = static_cast<Gdiplus::REAL>(h - 1);
        path.AddArc(0.0f, 0.0f, r, r, 180.0f, 90.0f);
        path.AddArc(right - r, 0.0f, r, r, 270.0f, 90.0f);
        path.AddArc(right - r, bottom - r, r, r, 0.0f, 90.0f);
        path.AddArc(0.0f, bottom - r, r, r, 90.0f, 90.0f);
        path.CloseFigure();
        graphics.DrawPath(&outline, &path);
    }
    // Only the border: the client area belongs to the bars and panes.
    ::ExcludeClipRect(dc, m_nFrameBorderX, m_nFrameBorderY, w - m_nFrameBorderX, h - m_nFrameBorderY);
    ::BitBlt(dc, 0, 0, w, h, memory, 0, 0, SRCCOPY);
    ::SelectObject(memory, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    ::ReleaseDC(m_hWnd, dc);
    PostMessage(WM_REDRAW_CAPTION);
}

void CMainFrame::OnNcPaint()
{
    PaintFrame(nullptr);
}

BOOL CMainFrame::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

BOOL CMainFrame::OnNcActivate(BOOL)
{
    PaintFrame(nullptr);
    return TRUE;
}

LRESULT CMainFrame::OnRedrawCaption(WPARAM, LPARAM)
{
    if (m_wndMainBar.m_hWnd) {
        for (CWnd* b : {static_cast<CWnd*>(&m_wndMainBar.m_btnMin), static_cast<CWnd*>(&m_wndMainBar.m_btnMax),
                        static_cast<CWnd*>(&m_wndMainBar.m_btnExit)}) {
            if (b->m_hWnd) {
                b->Invalidate();
                b->UpdateWindow();
            }
        }
    }
    return 0;
}

void CMainFrame::OnSysCommand(UINT nID, LPARAM lParam)
{
    const UINT command = nID & 0xFFF0;
    if (command == SC_MAXIMIZE || command == SC_RESTORE)
        m_wndSplitter.KeepRowProportion();
    if (command == SC_MAXIMIZE)
        m_bMaximized = true;
    else if (command == SC_MINIMIZE)
        m_bMaximized = false;
    CFrameWnd::OnSysCommand(nID, lParam);
    if (command == SC_MAXIMIZE || command == SC_RESTORE)
        m_wndSplitter.ApplyRowProportion();
}

void CMainFrame::OnWindowPosChanging(WINDOWPOS* lpwndpos)
{
    CFrameWnd::OnWindowPosChanging(lpwndpos);
    if (m_bHiddenByBar)
        lpwndpos->flags &= ~SWP_SHOWWINDOW;
}

LRESULT CMainFrame::OnLocaleChange(WPARAM wParam, LPARAM)
{
    CFileUtils::SetLocaleChange(static_cast<unsigned short>(wParam));
    ReloadTexts();
    return 0;
}

void CMainFrame::ReloadTexts()
{
    m_wndMainBar.SetTexts();
    m_wndMenuBar.LayoutButtons();
    m_wndInfoBar.SetTexts();
    m_wndStatusBar.SetTexts();
    if (m_pLocalListView)
        m_pLocalListView->ResetColumnText();
    if (m_pTaskBarDlg)
        m_pTaskBarDlg->ResetLocale();
}

LRESULT CMainFrame::OnTrayNotify(WPARAM wParam, LPARAM lParam)
{
    return m_tray.OnTrayNotification(wParam, lParam);
}

LRESULT CMainFrame::OnTaskbarCreated(WPARAM, LPARAM)
{
    m_tray.Readd();
    return 0;
}

LRESULT CMainFrame::OnTaskbarClick(WPARAM, LPARAM)
{
    m_wndInfoBar.OpenWebPage(this, 1);
    return 0;
}

LRESULT CMainFrame::OnPopupClosed(WPARAM, LPARAM lParam)
{
    const int slot = mainframe::PopupSlot(static_cast<int>(lParam));
    if (slot >= 0)
        m_popups[slot] = nullptr;
    return 0;
}

LRESULT CMainFrame::OnShowMainWindow(WPARAM, LPARAM)
{
    if (!m_bLoggedIn) {
        m_bUpdateAllowed = true;
        StartCheckNetwork();
        return 0;
    }
    const CString customer = m_pProto ? m_pProto->CustomerCode : CString();
    if (customer.CompareNoCase(L"DIDIREVIRU") == 0 || customer.CompareNoCase(L"VRESEC") == 0)
        m_bHiddenByBar = false;
    if (IsIconic())
        ShowWindow(SW_RESTORE);
    else
        ShowWindow(SW_SHOW);
    ::SetForegroundWindow(m_hWnd);
    UpdateWindow();
    if (m_bFirstShow) {
        m_bFirstShow = false;
        CString serverPath, localPath;
        // The trees select these when the panes arrive; the store is read once per log-in.
        CToviRegistry::GetLastFullPath(serverPath, localPath);
        TraceLog(1, L"[ CMainFrame::OnShowMainWindow ] LAST PATHS [ %s ] [ %s ]\n", (LPCWSTR)serverPath,
                 (LPCWSTR)localPath);
        if (m_pLocalTreeView)
            m_pLocalTreeView->ShowLocalRoot(m_pLocalListView, localPath);
        RestoreServerPath();
        m_wndSplitter.SetActivePane(0, 0, nullptr);
        if (m_pServerTreeView)
            m_pServerTreeView->SetFocus();
        if (m_pProto && !m_pProto->ServerAddress.WebServerAddress.IsEmpty() && m_pScriptView)
            m_pScriptView->Navigate2(m_pProto->ServerAddress.WebServerAddress + L"/pm/app/popScript.htm");
    }
    return 0;
}

BOOL CMainFrame::NavigateWebView(const CString& url, const CString& postData)
{
    HRESULT init = ::OleInitialize(nullptr);
    IWebBrowser2* browser = nullptr;
    BOOL shown = FALSE;
    if (SUCCEEDED(::CoCreateInstance(CLSID_InternetExplorer, nullptr, CLSCTX_LOCAL_SERVER, IID_IWebBrowser2,
                                     reinterpret_cast<void**>(&browser))) && browser) {
        browser->put_Visible(VARIANT_TRUE);
        std::string body;
        for (int i = 0; i < postData.GetLength(); ++i)
            body += static_cast<char>(postData[i] & 0xFF);
        VARIANT vUrl, vFlags, vTarget, vPost, vHeaders;
        ::VariantInit(&vUrl);
        ::VariantInit(&vFlags);
        ::VariantInit(&vTarget);
        ::VariantInit(&vPost);
        ::VariantInit(&vHeaders);
        vUrl.vt = VT_BSTR;
        vUrl.bstrVal = ::SysAllocString(url);
        vTarget.vt = VT_BSTR;
        vTarget.bstrVal = ::SysAllocString(L"_top");
        vHeaders.vt = VT_BSTR;
        vHeaders.bstrVal = ::SysAllocString(L"Content-Type: application/x-www-form-urlencoded\r\n");
        SAFEARRAY* array = ::SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(body.size()));
        if (array) {
            void* data = nullptr;
            if (SUCCEEDED(::SafeArrayAccessData(array, &data))) {
                memcpy(data, body.data(), body.size());
                ::SafeArrayUnaccessData(array);
            }
            vPost.vt = VT_ARRAY | VT_UI1;
            vPost.parray = array;
        }
        if (SUCCEEDED(browser->Navigate2(&vUrl, &vFlags, &vTarget, &vPost, &vHeaders))) {
            SHANDLE_PTR handle = 0;
            if (SUCCEEDED(browser->get_HWND(&handle)) && handle)
                ::SetForegroundWindow(reinterpret_cast<HWND>(handle));
            shown = TRUE;
        }
        ::VariantClear(&vUrl);
        ::VariantClear(&vTarget);
        ::VariantClear(&vPost);
        ::VariantClear(&vHeaders);
        browser->Release();
    }
    if (SUCCEEDED(init))
        ::OleUninitialize();
    return shown;
}

// CToviTray: the notification-area icon.
#include "ToviTray.h"
#include "AppRes.h"
#include "ToviMenu.h"
#include "ToviString.h"
#include "WinApp.h"
#include "Wnd.h"
#include <cwchar>

// Posted to the owner after the menu closed, so that it closes properly (nobody handles it).
#define WM_TRAY_MENU_CLOSED (WM_USER + 0)

CToviTray::NotifyIconCall CToviTray::s_pNotify = ::Shell_NotifyIconW;

CToviTray::CToviTray() {}

CToviTray::~CToviTray()
{
    if (m_bEnabled) {
        m_nid.uFlags = 0;
        s_pNotify(NIM_DELETE, &m_nid);
        m_bEnabled = FALSE;
    }
}

BOOL CToviTray::Create(CWnd* owner, HICON icon)
{
    if (owner == nullptr || !::IsWindow(owner->m_hWnd))
        return FALSE;
    m_nid.cbSize = sizeof(NOTIFYICONDATAW);
    m_nid.hWnd = owner->m_hWnd;
    m_nid.uID = kIconId;
    m_nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    m_nid.uCallbackMessage = WM_USER + 33;
    m_nid.hIcon = icon;
    wcsncpy(m_nid.szTip, L"Corvane IXO", kTipLength - 1);
    m_nid.szTip[kTipLength - 1] = 0;
    m_bEnabled = s_pNotify(NIM_ADD, &m_nid);
    return m_bEnabled;
}

void CToviTray::SetTooltipText(const wchar_t* text)
{
    if (!m_bEnabled)
        return;
    wcsncpy(m_nid.szTip, text ? text : L"", kTipLength - 1);
    m_nid.szTip[kTipLength - 1] = 0;
    m_nid.uFlags = NIF_TIP;
    s_pNotify(NIM_MODIFY, &m_nid);
}

void CToviTray::SetIcon(HICON icon)
{
    m_nid.hIcon = icon;
    if (!m_bEnabled)
        return;
    m_nid.uFlags = NIF_ICON;
    s_pNotify(NIM_MODIFY, &m_nid);
}

void CToviTray::Readd()
{
    if (!m_bEnabled)
        return;
    m_nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    s_pNotify(NIM_ADD, &m_nid);
    m_nReserved = 0;
}

void CToviTray::FillMenu(CToviMenu& menu)
{
    HINSTANCE module = AfxGetInstanceHandle();
    auto icon = [module](UINT id) {
        return static_cast<HICON>(::LoadImageW(module, MAKEINTRESOURCEW(id), IMAGE_ICON, 16, 16, 0));
    };
    auto state = [](BOOL enabled) { return enabled ? 0u : static_cast<UINT>(MF_GRAYED); };
    menu.Initialise();
    HICON login = icon(IDI_TRAY_MENU_LOGIN), logout = icon(IDI_TRAY_MENU_LOGOUT), exit = icon(IDI_TRAY_MENU_EXIT);
    menu.AppendItem(ID_TRAY_LOGIN, CToviString::GetString(14030), login, state(m_bMenuLogin));
    menu.AppendItem(ID_TRAY_LOGOUT, CToviString::GetString(14037), logout, state(m_bMenuLogout));
    menu.AppendSeparator();
    if (m_bMenuChangePassword) {
        menu.AppendItem(ID_TRAY_CHANGE_PASSWORD, CToviString::GetString(14063), nullptr);
        menu.AppendSeparator();
    }
    menu.AppendItem(ID_TRAY_CONFIG, CToviString::GetString(14043), nullptr, state(m_bMenuConfig));
    menu.AppendSeparator();
    menu.AppendItem(ID_TRAY_ABOUT, CToviString::GetString(14058), nullptr);
    menu.AppendSeparator();
    menu.AppendItem(ID_TRAY_EXIT, CToviString::GetString(14059), exit, state(m_bMenuExit));
    for (HICON h : {login, logout, exit}) {
        if (h)
            ::DestroyIcon(h);
    }
}

LRESULT CToviTray::OnTrayNotification(WPARAM id, LPARAM event)
{
    if (id != kIconId)
        return 0;
    if (event == WM_RBUTTONUP) {
        CToviMenu menu;
        FillMenu(menu);
        POINT cursor = {};
        ::GetCursorPos(&cursor);
        ::SetForegroundWindow(m_nid.hWnd);
        menu.TrackPopupMenu(TPM_RIGHTBUTTON | TPM_RIGHTALIGN | TPM_NONOTIFY, cursor.x, cursor.y, m_nid.hWnd);
        ::PostMessageW(m_nid.hWnd, WM_TRAY_MENU_CLOSED, 0, 0);
    } else if (event == WM_LBUTTONDBLCLK) {
        ::PostMessageW(m_nid.hWnd, WM_USER + 34, 0, 0);
    }
    return 1;
}

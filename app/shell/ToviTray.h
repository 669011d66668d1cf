// CToviTray: the main window's notification-area icon and its right-click menu (log-in,
// log-out, change password, settings, about, exit). The frame sets the five enable flags;
// commands arrive at the owner as WM_COMMAND. UI thread only.
#pragma once
#include "Object.h"
#include <shellapi.h>

class CWnd;

class CToviTray : public CObject {
public:
    enum { kIconId = 130, kTipLength = 128 };
    CToviTray();
    ~CToviTray() override;

    // Adds the icon for owner; the result of the add (FALSE when owner is not a window).
    BOOL Create(CWnd* owner, HICON icon);
    void SetTooltipText(const wchar_t* text);
    void SetIcon(HICON icon);
    // After the shell restarted: adds the icon again with its image and tooltip.
    void Readd();
    // The tray's callback; 1 when handled.
    virtual LRESULT OnTrayNotification(WPARAM id, LPARAM event);
    // Fills menu with the items as the tray shows them now.
    void FillMenu(class CToviMenu& menu);

    BOOL m_bEnabled = FALSE;
    BOOL m_nReserved = FALSE;
    NOTIFYICONDATAW m_nid = {};
    BOOL m_bMenuLogin = TRUE;
    BOOL m_bMenuLogout = FALSE;
    BOOL m_bMenuChangePassword = FALSE;
    BOOL m_bMenuConfig = TRUE;
    BOOL m_bMenuExit = TRUE;

    // Seam: the shell call (Shell_NotifyIconW by default).
    typedef BOOL (WINAPI* NotifyIconCall)(DWORD message, PNOTIFYICONDATAW data);
    static NotifyIconCall s_pNotify;
};

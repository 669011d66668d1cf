// Updating the state of a menu item or a control for one command id (ON_UPDATE_COMMAND_UI).
#pragma once
#include "CmdTarget.h"

class CWnd;

class FW_API CCmdUI {
public:
    CCmdUI() = default;

    UINT m_nID = 0;
    UINT m_nIndex = 0;          // menu item position
    HMENU m_hMenu = nullptr;    // the menu, or null for a control
    CWnd* m_pOther = nullptr;   // the control, or null for a menu item
    BOOL m_bEnableChanged = FALSE;
    BOOL m_bContinueRouting = FALSE;

    virtual ~CCmdUI() = default;
    virtual void Enable(BOOL bOn = TRUE);
    virtual void SetCheck(int nCheck = 1);   // 0 clear, 1 checked, 2 indeterminate
    virtual void SetRadio(BOOL bOn = TRUE);
    virtual void SetText(LPCTSTR lpszText);
    void ContinueRouting() { m_bContinueRouting = TRUE; }

    // Asks the target's map for an update handler; when none exists and bDisableIfNoHandler is
    // set, disables the item unless a command handler exists. TRUE when a handler ran.
    BOOL DoUpdate(CCmdTarget* pTarget, BOOL bDisableIfNoHandler);
};

// CMenuBarDlg: the command bar under the information bar. Its buttons and search box come
// with the panes' commands; until then it keeps the enable state the panes push.
#pragma once
#include "ShellBar.h"

class CMenuBarDlg : public CShellBar {
    DECLARE_DYNAMIC(CMenuBarDlg)
public:
    CMenuBarDlg();
    enum { kButtonFlags = 12 };
    // The selected folder's VRWD text and the twelve button flags.
    void SetMenuButtonState(const char* vrwd, const BOOL* flags, int count);
    CString m_strVrwd;
    BOOL m_bButtonFlags[kButtonFlags] = {};
};

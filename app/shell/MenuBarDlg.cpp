// CMenuBarDlg: the command bar.
#include "MenuBarDlg.h"

IMPLEMENT_DYNAMIC(CMenuBarDlg, CShellBar)

CMenuBarDlg::CMenuBarDlg() : CShellBar(41, RGB(0xF6, 0xF6, 0xF6), RGB(0xE4, 0xE4, 0xE4)) {}

void CMenuBarDlg::SetMenuButtonState(const char* vrwd, const BOOL* flags, int count)
{
    m_strVrwd = vrwd ? CString(vrwd) : CString();
    for (int i = 0; i < kButtonFlags; ++i)
        m_bButtonFlags[i] = (flags != nullptr && i < count) ? flags[i] : FALSE;
}

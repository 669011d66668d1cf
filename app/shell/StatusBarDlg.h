// CStatusBarDlg: the status bar at the bottom of the main window. Its add-on buttons and help
// come later; it shows the user and the server's two information texts.
#pragma once
#include "ShellBar.h"

class CStatusBarDlg : public CShellBar {
    DECLARE_DYNAMIC(CStatusBarDlg)
public:
    CStatusBarDlg();
    void SetStatusText(const CString& text);
    CString GetStatusText() const { return m_strText; }

protected:
    void PaintBackground(CDC* pDC, const CRect& rect) override;

private:
    CString m_strText;
};

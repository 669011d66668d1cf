// CConfigDlg: the explorer's settings: the server (checked against the server before it is
// stored), clearing the saved automatic log-in, and resetting the main window's layout.
// Usage and results: see CConfigBaseDlg.
#pragma once
#include "ConfigBaseDlg.h"

class TOVIINTERFACE_API CConfigDlg : public CConfigBaseDlg {
    DECLARE_DYNAMIC(CConfigDlg)
public:
    explicit CConfigDlg(CWnd* pParent = nullptr);

protected:
    BOOL OnInitDialog() override;
    void OnBnClickedOk();
    void OnBnClickedCheckResetWindow();
    DECLARE_MESSAGE_MAP()
};

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
    // A site with an internal and an external server: the session moves to the internal one
    // and the domain list holds both servers' domains, each marked with its server. False when
    // the internal server failed the check (already said).
    bool CheckTwoServers();
    DECLARE_MESSAGE_MAP()
};

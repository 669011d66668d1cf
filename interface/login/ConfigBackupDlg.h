// CConfigBackupDlg: the backup product's settings: the server (with its own update check),
// clearing the saved automatic log-in and starting the backup with Windows.
// Usage: see CConfigBaseDlg.
#pragma once
#include "ConfigBaseDlg.h"

class TOVIINTERFACE_API CConfigBackupDlg : public CConfigBaseDlg {
    DECLARE_DYNAMIC(CConfigBackupDlg)
public:
    explicit CConfigBackupDlg(CWnd* pParent = nullptr);

    // Kept for callers of the backup product; does nothing.
    int ImportBackupPolicy() { return 0; }

protected:
    BOOL OnInitDialog() override;
    void OnBnClickedOk();
    DECLARE_MESSAGE_MAP()
};

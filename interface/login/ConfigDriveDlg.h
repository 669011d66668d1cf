// CConfigDriveDlg: the drive product's settings: the server, clearing the saved automatic
// log-in and whether the explorer starts with the drive. m_bResetWindow receives the explorer
// check at OK. Usage: see CConfigBaseDlg.
#pragma once
#include "ConfigBaseDlg.h"

class TOVIINTERFACE_API CConfigDriveDlg : public CConfigBaseDlg {
    DECLARE_DYNAMIC(CConfigDriveDlg)
public:
    explicit CConfigDriveDlg(CWnd* pParent = nullptr);

protected:
    BOOL OnInitDialog() override;
    void OnBnClickedOk();
    DECLARE_MESSAGE_MAP()
};

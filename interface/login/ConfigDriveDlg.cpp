// CConfigDriveDlg: the drive product's settings and its server check (no update check).
#include "ConfigDriveDlg.h"
#include "LoginRes.h"
#include "ToviProto.h"
#include "ToviRegistry.h"
#include "ToviString.h"

IMPLEMENT_DYNAMIC(CConfigDriveDlg, CConfigBaseDlg)

BEGIN_MESSAGE_MAP(CConfigDriveDlg, CConfigBaseDlg)
    ON_BN_CLICKED(IDOK, OnBnClickedOk)
END_MESSAGE_MAP()

CConfigDriveDlg::CConfigDriveDlg(CWnd* pParent) : CConfigBaseDlg(IDD_CONFIG_DRIVE_DIALOG, 1, pParent)
{
}

BOOL CConfigDriveDlg::OnInitDialog()
{
    const BOOL result = CConfigBaseDlg::OnInitDialog();
    SetDlgItemText(IDC_CONFIG_RUN_EXPLORER, CToviString::GetString(14077));
    int save = 0, autoOn = 0, runExplorer = 0;
    CString id, password, domain;
    CToviRegistry::GetUserInfo(1, &save, &autoOn, &runExplorer, id, password, domain);
    CheckDlgButton(IDC_CONFIG_RUN_EXPLORER, runExplorer == 1 ? BST_CHECKED : BST_UNCHECKED);
    return result;
}

void CConfigDriveDlg::OnBnClickedOk()
{
    if (!ReadServerFields(true))
        return;
    if (m_bServerChanged) {
        RunProgressUI(true);
        AimSession();
        if (!FetchDomains() || !FetchLanguages())
            return;
        CString updateUrl;
        updateUrl.Format(L"http://%s", (const wchar_t*)CString(m_szHost));
        CToviRegistry::SetServerAddress(1, CString(m_szHost), m_nPort, updateUrl);
    }
    const int run = IsDlgButtonChecked(IDC_CONFIG_RUN_EXPLORER) == BST_CHECKED ? 1 : 0;
    const int autoLogin = IsDlgButtonChecked(IDC_CONFIG_CLEAR_AUTO) == BST_CHECKED ? 0 : -1;
    m_bResetWindow = static_cast<BYTE>(run);
    CToviRegistry::SetUserInfo(1, -1, autoLogin, run, CString(), CString(), CString());
    RunProgressUI(false);
    EndDialog(IDOK);
}

// CConfigBackupDlg: the backup product's settings and its server check.
#include "ConfigBackupDlg.h"
#include "LoginRes.h"
#include "ToviProto.h"
#include "ToviRegistry.h"
#include "ToviUpdate.h"

IMPLEMENT_DYNAMIC(CConfigBackupDlg, CConfigBaseDlg)

BEGIN_MESSAGE_MAP(CConfigBackupDlg, CConfigBaseDlg)
    ON_BN_CLICKED(IDOK, OnBnClickedOk)
END_MESSAGE_MAP()

CConfigBackupDlg::CConfigBackupDlg(CWnd* pParent) : CConfigBaseDlg(IDD_CONFIG_BACKUP_DIALOG, 2, pParent)
{
}

BOOL CConfigBackupDlg::OnInitDialog()
{
    const BOOL result = CConfigBaseDlg::OnInitDialog();
    CheckDlgButton(IDC_CONFIG_AUTORUN, CToviRegistry::GetAutoRun(2) ? BST_CHECKED : BST_UNCHECKED);
    return result;
}

void CConfigBackupDlg::OnBnClickedOk()
{
    if (!ReadServerFields(true))
        return;
    if (m_bServerChanged) {
        RunProgressUI(true);
        AimSession();
        CString updateUrl;
        updateUrl.Format(L"http://%s", (const wchar_t*)CString(m_szHost));
        // The backup product takes the update list as a hint: without it the check goes on.
        if (m_pProto->GetUpdateCheck(const_cast<char*>("7")) == 0) {
            if (m_pProto->UpdatePort[0])
                updateUrl += CString(L":") + m_pProto->UpdatePort;
            CToviUpdate update;
            if (update.IsUpdate(2, m_pProto->UpdateCheck) == 0)
                m_bUpdateNeeded = 1;
        }
        if (!m_bUpdateNeeded) {
            if (!FetchDomains() || !FetchLanguages())
                return;
        }
        CToviRegistry::SetServerAddress(2, CString(m_szHost), m_nPort, updateUrl);
    }
    CToviRegistry::SetAutoRun(2, IsDlgButtonChecked(IDC_CONFIG_AUTORUN) == BST_CHECKED);
    if (IsDlgButtonChecked(IDC_CONFIG_CLEAR_AUTO) == BST_CHECKED)
        CToviRegistry::SetUserInfo(2, 0, 0, 0, CString(), CString(), CString());
    RunProgressUI(false);
    EndDialog(IDOK);
}

// CConfigDlg: the explorer's settings and its server check.
#include "ConfigDlg.h"
#include "FileUtils.h"
#include "LoginRes.h"
#include "LoginRules.h"
#include "ToviMsg.h"
#include "ToviProto.h"
#include "ToviRegistry.h"
#include "ToviString.h"
#include "ToviUpdate.h"

IMPLEMENT_DYNAMIC(CConfigDlg, CConfigBaseDlg)

BEGIN_MESSAGE_MAP(CConfigDlg, CConfigBaseDlg)
    ON_BN_CLICKED(IDOK, OnBnClickedOk)
    ON_BN_CLICKED(IDC_CONFIG_RESET_WINDOW, OnBnClickedCheckResetWindow)
END_MESSAGE_MAP()

CConfigDlg::CConfigDlg(CWnd* pParent) : CConfigBaseDlg(IDD_CONFIG_DIALOG, 0, pParent)
{
}

BOOL CConfigDlg::OnInitDialog()
{
    const BOOL result = CConfigBaseDlg::OnInitDialog();
    SetDlgItemText(IDC_CONFIG_RESET_WINDOW, CToviString::GetString(14076));
    return result;
}

void CConfigDlg::OnBnClickedCheckResetWindow()
{
    m_bResetWindow = IsDlgButtonChecked(IDC_CONFIG_RESET_WINDOW) == BST_CHECKED ? 1 : 0;
}

void CConfigDlg::OnBnClickedOk()
{
    if (!ReadServerFields(false))
        return;
    if (m_bServerChanged) {
        RunProgressUI(true);
        AimSession();
        if (!FetchDomains())
            return;
        // The update list must be this server's, also when a domain names the update address.
        if (!FetchUpdateCheck("2"))
            return;
        const char* firstAddress = m_pProto->DomainInfo.empty() ? "" : m_pProto->DomainInfo.front().DomainAddress;
        const CString updateUrl = loginrules::UpdateAddress(firstAddress, m_szHost, m_pProto->UpdatePort);
        if (!CToviRegistry::SetUpdateUrl(0, updateUrl))
            CFileUtils::ToviMessageBox(this, L"Update URL \xC800\xC7A5 \xC2E4\xD328", L"CorvaneIxo", MB_ICONSTOP);
        {
            CToviUpdate update;
            if (update.IsUpdate(0, m_pProto->UpdateCheck) == 0)
                m_bUpdateNeeded = 1;
        }
        if (!FetchLanguages())
            return;
        CToviRegistry::SetServerAddress(0, CString(m_szHost), m_nPort, updateUrl);
    }
    if (IsDlgButtonChecked(IDC_CONFIG_CLEAR_AUTO) == BST_CHECKED)
        CToviRegistry::SetUserInfo(0, 0, 0, -1, CString(), CString(), CString());
    RunProgressUI(false);
    EndDialog(IDOK);
}

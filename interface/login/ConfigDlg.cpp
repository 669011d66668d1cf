// CConfigDlg: the explorer's settings and its server check.
#include "ConfigDlg.h"
#include "LoginExchange.h"
#include "FileUtils.h"
#include "LoginRes.h"
#include "LoginRules.h"
#include "ToviMsg.h"
#include "ToviProto.h"
#include "ToviRegistry.h"
#include "ToviString.h"
#include "ToviUpdate.h"
#include <cstring>

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
        if (!CheckTwoServers())
            return;
    }
    if (IsDlgButtonChecked(IDC_CONFIG_CLEAR_AUTO) == BST_CHECKED)
        CToviRegistry::SetUserInfo(0, 0, 0, -1, CString(), CString(), CString());
    RunProgressUI(false);
    EndDialog(IDOK);
}

bool CConfigDlg::CheckTwoServers()
{
    const CString code = m_pProto->CustomerCode;
    if ((code.CompareNoCase(L"TQX_IN") != 0 && code.CompareNoCase(L"TQX_OUT") != 0) || !m_pProto->ServerIn[0] ||
        !m_pProto->ServerOut[0])
        return true;
    char inHost[72] = {}, outHost[72] = {};
    int inPort = -1, outPort = -1;
    if (!loginrules::SplitHostPort(m_pProto->ServerIn, inHost, sizeof inHost, &inPort) ||
        !loginrules::SplitHostPort(m_pProto->ServerOut, outHost, sizeof outHost, &outPort)) {
        FailCheck();
        return false;
    }
    // The session moves to the internal server, whose domains come first.
    m_pProto->CloseSocket();
    std::memset(m_pProto->ServerAddress.szHost, 0, sizeof m_pProto->ServerAddress.szHost);
    std::strncpy(m_pProto->ServerAddress.szHost, inHost, sizeof m_pProto->ServerAddress.szHost - 1);
    m_pProto->ServerAddress.strCallerText = CString(inHost);
    m_pProto->ServerAddress.nPort = inPort;
    if (!FetchDomains() || !FetchLanguages())
        return false;
    // The external server's domains are added behind them, asked on a connection of their own.
    loginflow::JoinOutsideDomains(m_pProto, inHost, inPort, outHost, outPort, m_szDebugLevel);
    return true;
}

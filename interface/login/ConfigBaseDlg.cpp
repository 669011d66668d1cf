// CConfigBaseDlg: the settings dialogs' shared fields, texts and server check.
#include "ConfigBaseDlg.h"
#include "DataExchange.h"
#include "FileUtils.h"
#include "LoginRes.h"
#include "LoginRules.h"
#include "ProgressDlg.h"
#include "SkinRes.h"
#include "ToviMsg.h"
#include "ToviProto.h"
#include "ToviRegistry.h"
#include "ToviString.h"
#include "ToviTextLanguage.h"
#include "TraceLog.h"
#include <cstring>

IMPLEMENT_DYNAMIC(CConfigBaseDlg, CVantelDialog)

BEGIN_MESSAGE_MAP(CConfigBaseDlg, CVantelDialog)
    ON_WM_ERASEBKGND()
    ON_WM_CTLCOLOR()
    ON_BN_CLICKED(IDCANCEL, OnBnClickedClose)
    ON_BN_CLICKED(IDC_SYSBTN_CLOSE, OnBnClickedClose)
END_MESSAGE_MAP()

namespace {

const COLORREF kTitleColor = RGB(84, 141, 222);
const COLORREF kGuideColor = RGB(128, 64, 64);

void CopyAnsi(char* dest, size_t size, const CString& text)
{
    std::memset(dest, 0, size);
    if (!text.IsEmpty())
        ::WideCharToMultiByte(CP_ACP, 0, text, text.GetLength(), dest, static_cast<int>(size) - 1, nullptr, nullptr);
}

}

CConfigBaseDlg::CConfigBaseDlg(UINT nIDTemplate, int product, CWnd* pParent)
    : CVantelDialog(nIDTemplate, pParent), m_nProduct(product)
{
    m_nProductType = product;
}

CConfigBaseDlg::~CConfigBaseDlg()
{
    CProgressDlg::StopProgress(m_pProgress);
}

void CConfigBaseDlg::DoDataExchange(CDataExchange* pDX)
{
    CVantelDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDOK, m_btnOk);
    DDX_Control(pDX, IDCANCEL, m_btnCancel);
    DDX_Control(pDX, IDC_SYSBTN_CLOSE, m_btnClose);
    DDX_Control(pDX, IDC_CONFIG_CLEAR_AUTO, m_chkClearAuto);
}

BOOL CConfigBaseDlg::OnInitDialog()
{
    CVantelDialog::OnInitDialog();

    // Texts.
    SetTitleBar(CToviString::GetString(14043));
    m_btnOk.SetWindowText(CToviString::GetString(14065));
    m_btnOk.SetBtnStyle(13);
    m_btnCancel.SetWindowText(CToviString::GetString(14066));
    m_btnCancel.SetBtnStyle(14);
    m_btnClose.SetBtnStyle(4);
    CRect client, close;
    GetClientRect(&client);
    m_btnClose.GetWindowRect(&close);
    m_btnClose.SetWindowPos(nullptr, client.Width() - close.Width() - 2, 0, 0, 0,
                            SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    SetDlgItemText(IDC_CONFIG_SERVER_TITLE, CToviString::GetString(14073));
    SetDlgItemText(IDC_CONFIG_LOGIN_TITLE, CToviString::GetString(14074));
    SetDlgItemText(IDC_CONFIG_GUIDE1, CToviMsg::GetString(12005));
    SetDlgItemText(IDC_CONFIG_EXAMPLE, L"ixo.corvane.com");
    SetDlgItemText(IDC_CONFIG_GUIDE2, CToviMsg::GetString(12006));
    SetDlgItemText(IDC_CONFIG_CLEAR_AUTO, CToviString::GetString(14075));
    const unsigned short language = CToviTextLanguage::GetThreadLanguage();
    SetDlgItemText(IDC_CONFIG_ADDRESS_LABEL, loginrules::ServerAddressLabel(language));
    SetDlgItemText(IDC_CONFIG_PORT_LABEL, loginrules::ServerPortLabel(language));

    // The stored server.
    char server[256] = {};
    char debugLevel[256] = {};
    int port = -1;
    wchar_t updateUrl[128] = {};
    const bool stored = CToviRegistry::GetServerAddress(m_nProduct, server, &port, debugLevel, updateUrl);
    std::strncpy(m_szHost, server, sizeof(m_szHost) - 1);
    std::strncpy(m_szDebugLevel, debugLevel, sizeof(m_szDebugLevel) - 1);
    m_nPort = port;
    CString portText;
    if (port >= 0)
        portText.Format(L"%d", port);
    SetDlgItemText(IDC_CONFIG_ADDRESS, CString(m_szHost));
    SetDlgItemText(IDC_CONFIG_PORT, portText);
    if (stored) {
        m_strStartHost = CString(m_szHost);
        m_nStartPort = port;
        wcsncpy(m_szUpdateUrl, updateUrl, 127);
    } else {
        if (updateUrl[0])
            wcsncpy(m_szUpdateUrl, updateUrl, 127);
        else
            _snwprintf(m_szUpdateUrl, 127, L"http://%s", (const wchar_t*)CString(m_szHost));
        if (m_szHost[0] == '\0')
            GotoDlgCtrl(GetDlgItem(IDC_CONFIG_ADDRESS));
        else if (port < 0)
            GotoDlgCtrl(GetDlgItem(IDC_CONFIG_PORT));
    }

    // The saved automatic log-in can only be cleared when there is one.
    int save = 0, autoOn = 0, runExplorer = 0;
    CString id, password, domain;
    CToviRegistry::GetUserInfo(m_nProduct, &save, &autoOn, &runExplorer, id, password, domain);
    m_chkClearAuto.EnableWindow(autoOn == 1);
    if (m_pProto != nullptr && m_pProto->m_bCallerFlag3 == 0) {
        // Automatic log-in is not allowed: OK always clears what is saved.
        m_chkClearAuto.SetCheck(BST_CHECKED);
        m_chkClearAuto.ShowWindow(SW_HIDE);
    }
    return stored && m_szHost[0] && port >= 0;
}

BOOL CConfigBaseDlg::OnEraseBkgnd(CDC* pDC)
{
    CRect rc;
    GetClientRect(&rc);
    return DrawBkgnd(pDC, rc);
}

HBRUSH CConfigBaseDlg::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    HBRUSH brush = CVantelDialog::OnCtlColor(pDC, pWnd, nCtlColor);
    if (nCtlColor == CTLCOLOR_STATIC && pWnd) {
        switch (pWnd->GetDlgCtrlID()) {
        case IDC_CONFIG_SERVER_TITLE:
        case IDC_CONFIG_LOGIN_TITLE:
            pDC->SetTextColor(kTitleColor);
            break;
        case IDC_CONFIG_GUIDE1:
        case IDC_CONFIG_EXAMPLE:
        case IDC_CONFIG_GUIDE2:
            pDC->SetTextColor(kGuideColor);
            break;
        default:
            break;
        }
    }
    return brush;
}

void CConfigBaseDlg::OnBnClickedClose()
{
    CProgressDlg::StopProgress(m_pProgress);
    m_pProgress = nullptr;
    EndDialog(IDCANCEL);
}

bool CConfigBaseDlg::ReadServerFields(bool stripScheme)
{
    CWnd* addressField = GetDlgItem(IDC_CONFIG_ADDRESS);
    if (!addressField->IsWindowEnabled()) {
        m_bServerChanged = 0;
        return true;
    }
    CString address, portText;
    GetDlgItemText(IDC_CONFIG_ADDRESS, address);
    GetDlgItemText(IDC_CONFIG_PORT, portText);
    address.Trim();
    if (stripScheme)
        address = loginrules::StripScheme(address);
    if (address.IsEmpty()) {
        CFileUtils::ToviMessageBox(this, CToviMsg::GetString(12007), L"CorvaneIXO", MB_ICONEXCLAMATION);
        GotoDlgCtrl(addressField);
        return false;
    }
    // A port outside 1-65535 would be stored and every later connection would fail.
    const int port = loginrules::ParsePort(portText);
    if (port < 0) {
        CFileUtils::ToviMessageBox(this, CToviMsg::GetString(12008), L"CorvaneIXO", MB_ICONEXCLAMATION);
        GotoDlgCtrl(GetDlgItem(IDC_CONFIG_PORT));
        return false;
    }
    CopyAnsi(m_szHost, sizeof(m_szHost), address);
    m_nPort = port;
    m_bServerChanged = (address.CompareNoCase(m_strStartHost) != 0 || port != m_nStartPort) ? 1 : 0;
    return true;
}

void CConfigBaseDlg::AimSession()
{
    if (m_pProto == nullptr) {
        m_pProto = new CToviProto();
    } else {
        m_pProto->CloseSocket();
    }
    std::memcpy(m_szPrevHost, m_pProto->ServerAddress.szHost, sizeof(m_szPrevHost));
    m_strPrevHostW = m_pProto->ServerAddress.strCallerText;
    m_nPrevPort = m_pProto->ServerAddress.nPort;
    m_bAimed = true;

    std::memset(m_pProto->ServerAddress.szHost, 0, sizeof(m_pProto->ServerAddress.szHost));
    std::strncpy(m_pProto->ServerAddress.szHost, m_szHost, sizeof(m_pProto->ServerAddress.szHost) - 1);
    m_pProto->ServerAddress.strCallerText = CString(m_szHost);
    std::memset(m_pProto->ServerAddress.szCode, 0, sizeof(m_pProto->ServerAddress.szCode));
    std::strncpy(m_pProto->ServerAddress.szCode, m_szDebugLevel, sizeof(m_pProto->ServerAddress.szCode) - 1);
    if (m_connectTimeout[0])
        std::memcpy(m_pProto->ConnectTimeout, m_connectTimeout, sizeof(m_pProto->ConnectTimeout));
    if (m_socketTimeout[0])
        std::memcpy(m_pProto->SocketTimeout, m_socketTimeout, sizeof(m_pProto->SocketTimeout));
    m_pProto->ServerAddress.nPort = m_nPort;
}

void CConfigBaseDlg::RestoreSession()
{
    if (!m_bAimed || m_pProto == nullptr)
        return;
    m_pProto->CloseSocket();
    std::memcpy(m_pProto->ServerAddress.szHost, m_szPrevHost, sizeof(m_szPrevHost));
    m_pProto->ServerAddress.strCallerText = m_strPrevHostW;
    m_pProto->ServerAddress.nPort = m_nPrevPort;
    m_bAimed = false;
}

void CConfigBaseDlg::FailCheck()
{
    CString why = CToviMsg::GetString(12066);
    if (m_pProto != nullptr && m_pProto->ResultInfo.wszMessage[0]) {
        why += L"\n\n";
        why += m_pProto->ResultInfo.wszMessage;
    }
    RestoreSession();
    RunProgressUI(false);
    CFileUtils::ToviMessageBox(this, why, L"CorvaneIxo", MB_ICONSTOP);
}

bool CConfigBaseDlg::FetchDomains()
{
    if (m_pProto->GetDomainInfo() == 0)
        return true;
    TraceLog(2048, L"[ CConfigBaseDlg::FetchDomains ] A2 failed: %d\n", m_pProto->ResultInfo.nResultCode);
    FailCheck();
    return false;
}

bool CConfigBaseDlg::FetchUpdateCheck(const char* clientKind)
{
    if (m_pProto->GetUpdateCheck(const_cast<char*>(clientKind)) == 0)
        return true;
    TraceLog(2048, L"[ CConfigBaseDlg::FetchUpdateCheck ] A4 failed: %d\n", m_pProto->ResultInfo.nResultCode);
    FailCheck();
    return false;
}

bool CConfigBaseDlg::FetchLanguages()
{
    if (m_pProto->GetLanguageInfo() == 0)
        return true;
    TraceLog(2048, L"[ CConfigBaseDlg::FetchLanguages ] A5 failed: %d\n", m_pProto->ResultInfo.nResultCode);
    FailCheck();
    return false;
}

void CConfigBaseDlg::RunProgressUI(bool show)
{
    CProgressDlg::Toggle(m_pProgress, this, show, show ? CToviMsg::GetString(12073) : CString());
}

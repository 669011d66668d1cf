// CLoginWebDlg and CSMSWebDlg: the web log-in window and the phone certification page.
#include "LoginWebDlg.h"
#include "FileUtils.h"
#include "LoginExchange.h"
#include "LoginRes.h"
#include "LoginRules.h"
#include "PopupHost.h"
#include "PopupView.h"
#include "SkinRes.h"
#include "ToviMessages.h"
#include "ToviMsg.h"
#include "ToviProto.h"
#include "ToviRegistry.h"
#include "ToviString.h"
#include "TraceLog.h"
#include <cstring>

namespace {

const wchar_t kCaption[] = L"CorvaneIXO";

}

// ---------------------------------------------------------------- CLoginWebDlg

IMPLEMENT_DYNAMIC(CLoginWebDlg, CWebPageDlg)

BEGIN_MESSAGE_MAP(CLoginWebDlg, CWebPageDlg)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_BN_CLICKED(IDC_SYSBTN_CLOSE, OnBnClickedClose)
    ON_MESSAGE(WM_RESIZE_DIALOG, OnResizeDialog)
    ON_MESSAGE(WM_SET_LANGUAGE, OnSetLanguage)
    ON_MESSAGE(WM_SET_LOGIN_RESULT, OnSetLogin)
    ON_MESSAGE(WM_LOGIN_SMS, OnSmsStart)
END_MESSAGE_MAP()

CLoginWebDlg::CLoginWebDlg(CWnd* pParent) : CWebPageDlg(pParent) {}

CLoginWebDlg::~CLoginWebDlg() = default;

CString CLoginWebDlg::LoginPageUrl(const CString& domainAddress, bool ssoPage)
{
    return domainAddress + (ssoPage ? L"/pm/app/appLoginProc_sso.htm" : L"/pm/app/app_login.htm");
}

int CLoginWebDlg::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CWebPageDlg::OnCreate(lpCreateStruct) == -1)
        return -1;
    m_hIcon = CFileUtils::GetMainIcon(LoginProduct);
    if (m_pProto && loginrules::OptionOn(m_pProto->LoginOption, sizeof m_pProto->LoginOption, 11)) {
        TraceLog(1, L"[ CLoginDlg::OnInitDialog ] [ LOGIN_SHORT_HEIGHT ] SHORT!\n");
        SetWindowPos(nullptr, 0, 0, 319, 390, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    return 0;
}

BOOL CLoginWebDlg::OnInitDialog()
{
    CWebPageDlg::OnInitDialog();
    SetUpWindow();
    InitControl(StoredLanguage(LoginProduct));
    TakeDomains();
    const CString url = LoginPageUrl(m_strDomainAddress, m_bSsoPage);
    if (!m_strDomainAddress.IsEmpty())
        TraceLog(1, L"[ CLoginWebDlg::OnInitDialog ] URL : %s\n", (LPCWSTR)url);
    else
        TraceLog(1, L"[ CLoginWebDlg::OnInitDialog ] Domain Address is EMPTY! \n");
    OpenPage(m_pProto, m_strDomainAddress, url);
    return FALSE;
}

void CLoginWebDlg::TakeDomains()
{
    if (m_pProto == nullptr || m_pProto->DomainInfo.empty())
        return;
    m_domains.clear();
    for (const DomainEntry& entry : m_pProto->DomainInfo)
        m_domains.push_back(MakeDomainRecord(entry, m_pProto->ServerAddress.szHost, m_pProto->ServerAddress.nPort));
    m_pProto->ReleaseDomainInfo();
    size_t chosen = 0;
    const char* host = m_pProto->ServerAddress.szHost;
    if (host[0]) {
        for (size_t i = 0; i < m_domains.size(); ++i)
            if (std::strstr(m_domains[i].DAddr, host) != nullptr)
                chosen = i;
    }
    m_selected = m_domains[chosen];
    m_strDomainAddress = CString(m_selected.DAddr);
    m_strDomainIndex = CString(m_selected.DIdx);
    if (m_selected.MessageTitle[0])
        CToviRegistry::SetMessageBoxTitle(LoginProduct, m_selected.MessageTitle);
    if (m_selected.MainTitle[0])
        CToviRegistry::SetMainTitle(LoginProduct, m_selected.MainTitle);
}

void CLoginWebDlg::ResetDomain()
{
    TakeDomains();
    CPopupView* view = GetView();
    if (view && !m_strDomainAddress.IsEmpty())
        view->Navigate2(m_strDomainAddress + L"/pm/app/appLogin.htm", 0, nullptr,
                        L"Content-Type: application/x-www-form-urlencoded\r\n");
}

void CLoginWebDlg::InitControl(unsigned short language)
{
    const CString face = ApplyLoginLanguage(language, m_fonts, LoginProduct, m_hOwner);
    LOGFONTW lf = {};
    if (CFont* current = GetFont())
        current->GetLogFont(&lf);
    wcsncpy(lf.lfFaceName, face.GetString(), LF_FACESIZE - 1);
    lf.lfQuality = CLEARTYPE_QUALITY;
    lf.lfCharSet = DEFAULT_CHARSET;
    m_font.DeleteObject();
    if (m_font.CreateFontIndirect(&lf))
        SendMessageToDescendants(WM_SETFONT, reinterpret_cast<WPARAM>(m_font.GetSafeHandle()), TRUE);
    const CString title = CToviString::GetString(14030);
    SetWindowText(title);
    SetTitleBar(title);
}

LRESULT CLoginWebDlg::OnResizeDialog(WPARAM, LPARAM)
{
    CPopupView* view = GetView();
    if (view == nullptr)
        return 1;
    RECT work = {};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int width = view->m_nRequestWidth + 8;
    const int height = view->m_nRequestHeight + 44;
    SetWindowPos(nullptr, (work.right - work.left - width) / 2, (work.bottom - work.top - height) / 2, width, height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(SW_SHOW);
    return 0;
}

LRESULT CLoginWebDlg::OnSetLanguage(WPARAM, LPARAM)
{
    InitControl(TakePageLanguage());
    CRect band;
    GetClientRect(&band);
    band.bottom = 22;
    InvalidateRect(&band);
    return 0;
}

void CLoginWebDlg::EnableView(bool enable)
{
    if (m_hView && ::IsWindow(m_hView))
        ::EnableWindow(m_hView, enable);
}

int CLoginWebDlg::MessageText(const wchar_t* text, unsigned type)
{
    return CFileUtils::ToviMessageBox(this, text, kCaption, type);
}

LRESULT CLoginWebDlg::OnSetLogin(WPARAM, LPARAM)
{
    CPopupView* view = GetView();
    const CString session = view ? view->m_strSessionId : CString();
    const CString language = view ? view->m_strLanguage : CString();
    TraceLog(1, L"[ CLoginWebDlg::OnSetLogin ] Session ID = %s \n", (LPCWSTR)session);
    if (session.IsEmpty() || language.IsEmpty() || m_pProto == nullptr) {
        TraceLog(2048, L"Invalid input data");
        MessageText(L"Invalid input data", MB_ICONSTOP);
        return 0;
    }
    EnableView(false);
    char languageCode[4] = {};
    ::WideCharToMultiByte(CP_ACP, 0, language, language.GetLength() > 3 ? 3 : language.GetLength(), languageCode, 3,
                          nullptr, nullptr);
    const loginflow::Request request = {m_strDomainIndex, L"#" + session, CString(), languageCode, LoginProduct, false};
    int error = 0;
    const loginflow::Outcome outcome =
        loginflow::LogIn(this, m_pProto, request, [this](bool busy) { EnableView(!busy); }, &error);
    if (outcome == loginflow::Outcome::NoConnection) {
        TraceLog(2048, L"[ OnSetLogin ]  GetSecureCode ERROR! [ %d ]", error);
        loginflow::OfferSettings(this, m_pProto);
        return 0;
    }
    if (outcome == loginflow::Outcome::Refused) {
        TraceLog(2048, L"[ CLoginWebDlg::OnSetLogin ] GetLoginInfo ERROR = %d\n%s\n", m_pProto->ResultInfo.nResultCode,
                 m_pProto->ResultInfo.wszMessage);
        m_pProto->CloseSocket();
        return 0;
    }

    if (!CToviRegistry::SetUserInfo(LoginProduct, -1, -1, -1, CString(), CString(), m_selected.DName))
        CFileUtils::ToviMessageBox(this, CToviMsg::GetString(12086), kCaption, MB_ICONEXCLAMATION);
    if (!m_strDomainAddress.IsEmpty())
        m_pProto->DomainAddressW = m_strDomainAddress;
    if (!m_strDomainIndex.IsEmpty())
        m_pProto->DomainIndexW = m_strDomainIndex;
    std::memset(m_pProto->DomainIndex, 0, sizeof m_pProto->DomainIndex);
    std::strncpy(m_pProto->DomainIndex, m_selected.DIdx, sizeof m_pProto->DomainIndex - 1);
    if (!loginflow::SettleResetPassword(this, m_pProto, nullptr)) {
        EnableView(true);
        m_pProto->CloseSocket();
        return 0;
    }
    m_nLogined = 1;
    EndDialog(IDOK);
    return 0;
}

LRESULT CLoginWebDlg::OnSmsStart(WPARAM wParam, LPARAM)
{
    TraceLog(1, L"[ CLoginWebDlg::OnSMSStart ] SMS START! \n");
    CString* posted = reinterpret_cast<CString*>(wParam);
    if (posted == nullptr)
        return 0;
    const CString userId = *posted;
    delete posted;
    TraceLog(1, L"[ CLoginWebDlg::OnSMSStart ] USER ID (WPARAM ) = %s \n", (LPCWSTR)userId);
    CSMSWebDlg sms(this);
    sms.m_strUserId = userId;
    sms.m_strDomainAddress = m_strDomainAddress;
    sms.m_strDomainIndex = m_strDomainIndex;
    sms.DoModal();
    if (sms.m_bCertified) {
        TraceLog(1024, L"[ CLoginWebDlg::OnSMSStart ] SMS SUCCESS! \n");
        // The view already holds the session id of the page's log-in result.
        PostMessage(WM_SET_LOGIN_RESULT);
    } else {
        TraceLog(1, L"[ CLoginWebDlg::OnSMSStart] SMS CANCEL! \n");
    }
    return 0;
}

void CLoginWebDlg::OnBnClickedClose()
{
    OnCancel();
}

void CLoginWebDlg::OnOK()
{
    // Enter belongs to the page.
}

void CLoginWebDlg::OnCancel()
{
    EndDialog(IDCANCEL);
}

void CLoginWebDlg::OnDestroy()
{
    CWebPageDlg::OnDestroy();
    if (!m_bRemoved && m_hOwner && ::IsWindow(m_hOwner))
        ::PostMessageW(m_hOwner, WM_LOGIN_RESULT, m_nLogined, 0);
}

// ---------------------------------------------------------------- CSMSWebDlg

IMPLEMENT_DYNAMIC(CSMSWebDlg, CWebPageDlg)

BEGIN_MESSAGE_MAP(CSMSWebDlg, CWebPageDlg)
    ON_BN_CLICKED(IDC_SYSBTN_CLOSE, OnBnClickedClose)
    ON_MESSAGE(WM_RESIZE_DIALOG, OnResizeDialog)
    ON_MESSAGE(WM_SET_LANGUAGE, OnSetLanguage)
    ON_MESSAGE(WM_SET_SMS_RESULT, OnSetSmsResult)
END_MESSAGE_MAP()

CSMSWebDlg::CSMSWebDlg(CWnd* pParent) : CWebPageDlg(pParent) {}

CSMSWebDlg::~CSMSWebDlg() = default;

CString CSMSWebDlg::CertificationUrl(const CString& domainAddress, const CString& userId)
{
    CString query;
    query.Format(L"?uid=%s&chkApp=Y", (LPCWSTR)userId);
    return domainAddress + L"/pm/member/pop_phone_certification_qvx.htm" + query;
}

BOOL CSMSWebDlg::OnInitDialog()
{
    CWebPageDlg::OnInitDialog();
    m_hIcon = CFileUtils::GetMainIcon(0);
    SetUpWindow();
    ApplyLoginLanguage(StoredLanguage(LoginProduct), m_fonts, LoginProduct, nullptr);
    SetWindowText(L"SMS");
    SetTitleBar(L"SMS");
    const CString url = CertificationUrl(m_strDomainAddress, m_strUserId);
    if (!m_strDomainAddress.IsEmpty())
        TraceLog(1, L"URL = %s\n", (LPCWSTR)url);
    OpenPage(nullptr, m_strDomainAddress, url);
    TraceLog(1, L"PARAMETER USER ID = %s\n", (LPCWSTR)m_strUserId);
    return FALSE;
}

LRESULT CSMSWebDlg::OnResizeDialog(WPARAM, LPARAM)
{
    // The certification page keeps the window as it is.
    return 0;
}

LRESULT CSMSWebDlg::OnSetLanguage(WPARAM, LPARAM)
{
    ApplyLoginLanguage(TakePageLanguage(), m_fonts, LoginProduct, nullptr);
    return 0;
}

LRESULT CSMSWebDlg::OnSetSmsResult(WPARAM, LPARAM)
{
    m_bCertified = true;
    TraceLog(1, L"[ CSMSWebDlg::OnSetSMSResult ] SMS RESULT SUCCESS!\n");
    return 0;
}

void CSMSWebDlg::OnBnClickedClose()
{
    EndDialog(IDCANCEL);
}

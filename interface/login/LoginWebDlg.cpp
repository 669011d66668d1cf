// CLoginWebDlg and CSMSWebDlg: the web log-in window and the phone certification page.
#include "LoginWebDlg.h"
#include "ChangePwdDlg.h"
#include "ConfigDlg.h"
#include "CreateContext.h"
#include "DataExchange.h"
#include "FileUtils.h"
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
// The band above the page that holds the caption buttons.
const int kBandHeight = 26;
const int kPageWidth = 319;

// The page view below the caption band; null when it could not be made (it deleted itself).
HWND CreatePageView(CWnd* parent, CToviDocument& document, CToviProto* proto)
{
    CRect client;
    parent->GetClientRect(&client);
    CRect area(client.left, client.top + kBandHeight, client.left + kPageWidth, client.bottom);
    CCreateContext context;
    context.m_pNewViewClass = RUNTIME_CLASS(CPopupView);
    context.m_pCurrentDoc = &document;
    CPopupView* view = new CPopupView;
    if (!view->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, area, parent, AFX_IDW_PANE_FIRST, &context))
        return nullptr;
    view->OnInitialUpdate();
    if (proto) {
        view->AddTrustedHost(CString(proto->ServerAddress.szHost));
        view->AddTrustedHost(proto->ServerAddress.WebServerAddress);
    }
    return view->GetSafeHwnd();
}

CPopupView* ViewOf(HWND view)
{
    if (view == nullptr || !::IsWindow(view))
        return nullptr;
    return dynamic_cast<CPopupView*>(CWnd::FromHandlePermanent(view));
}

void FitView(HWND view, int cx, int cy)
{
    if (view && ::IsWindow(view))
        ::MoveWindow(view, 0, kBandHeight, cx, cy > kBandHeight ? cy - kBandHeight : 0, TRUE);
}

void DestroyView(HWND& view)
{
    if (CPopupView* page = ViewOf(view))
        page->Stop();
    if (view && ::IsWindow(view))
        ::DestroyWindow(view);   // the view deletes itself
    view = nullptr;
}

// Minimise, a disabled middle button and close, side by side at the top right.
void PlaceCaptionButtons(CWnd* dialog, CToviButton& minimize, CToviButton& middle, CToviButton& close)
{
    minimize.SetBtnStyle(CToviButton::kStyleFrameMinimize);
    middle.SetBtnStyle(CToviButton::kStyleFrameMiddle);
    middle.EnableWindow(FALSE);
    close.SetBtnStyle(CToviButton::kStyleFrameClose);
    CRect client, button;
    dialog->GetClientRect(&client);
    minimize.GetWindowRect(&button);
    int x = client.Width() - 72;
    for (CToviButton* b : {&minimize, &middle, &close}) {
        b->SetWindowPos(nullptr, x, 0, button.Width(), button.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
        x += button.Width();
    }
}

unsigned short LanguageOfPage(const CString& text)
{
    if (text == L"en")
        return 0x09;
    if (text == L"jp")
        return 0x11;
    return 0x12;
}

unsigned short StoredLanguage(int product)
{
    unsigned short language = 0x12;
    if (!CToviRegistry::GetLanguage(product, &language) || language == 0) {
        language = 0x12;
        CToviRegistry::SetLanguage(product, language);
    }
    return language;
}

}

// ---------------------------------------------------------------- CLoginWebDlg

IMPLEMENT_DYNAMIC(CLoginWebDlg, CVantelDialog)

BEGIN_MESSAGE_MAP(CLoginWebDlg, CVantelDialog)
    ON_WM_CREATE()
    ON_WM_SIZE()
    ON_WM_ERASEBKGND()
    ON_WM_DESTROY()
    ON_BN_CLICKED(IDC_SYSBTN_MINIMIZE, OnBnClickedMinimize)
    ON_BN_CLICKED(IDC_SYSBTN_CLOSE, OnBnClickedClose)
    ON_MESSAGE(WM_RESIZE_DIALOG, OnResizeDialog)
    ON_MESSAGE(WM_SET_LANGUAGE, OnSetLanguage)
    ON_MESSAGE(WM_SET_LOGIN_RESULT, OnSetLogin)
    ON_MESSAGE(WM_LOGIN_SMS, OnSmsStart)
END_MESSAGE_MAP()

CLoginWebDlg::CLoginWebDlg(CWnd* pParent) : CVantelDialog(IDD_LOGINWEB_DIALOG, pParent)
{
    m_nUIType = kUITypeLogin;
}

CLoginWebDlg::~CLoginWebDlg() = default;

void CLoginWebDlg::DoDataExchange(CDataExchange* pDX)
{
    CVantelDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_SYSBTN_MINIMIZE, m_btnMinimize);
    DDX_Control(pDX, IDC_SYSBTN_MIDDLE, m_btnMiddle);
    DDX_Control(pDX, IDC_SYSBTN_CLOSE, m_btnClose);
}

CString CLoginWebDlg::LoginPageUrl(const CString& domainAddress, bool ssoPage)
{
    return domainAddress + (ssoPage ? L"/pm/app/appLoginProc_sso.htm" : L"/pm/app/app_login.htm");
}

CPopupView* CLoginWebDlg::GetView() const
{
    return ViewOf(m_hView);
}

int CLoginWebDlg::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CVantelDialog::OnCreate(lpCreateStruct) == -1)
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
    CVantelDialog::OnInitDialog();
    if (m_hIcon) {
        SetIcon(m_hIcon, TRUE);
        SetIcon(m_hIcon, FALSE);
    }
    PlaceCaptionButtons(this, m_btnMinimize, m_btnMiddle, m_btnClose);
    m_fonts = InstalledFontFamilies(m_hWnd);
    InitControl(StoredLanguage(LoginProduct));
    TakeDomains();
    m_hView = CreatePageView(this, m_document, m_pProto);
    CPopupView* view = GetView();
    if (!m_strDomainAddress.IsEmpty()) {
        const CString url = LoginPageUrl(m_strDomainAddress, m_bSsoPage);
        TraceLog(1, L"[ CLoginWebDlg::OnInitDialog ] URL : %s\n", (LPCWSTR)url);
        if (view) {
            view->AddTrustedHost(CPopupView::HostOfUrl(m_strDomainAddress));
            view->Navigate2(url);
        }
    } else {
        TraceLog(1, L"[ CLoginWebDlg::OnInitDialog ] Domain Address is EMPTY! \n");
    }
    if (view)
        view->SetFocus();
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

void CLoginWebDlg::OnSize(UINT nType, int cx, int cy)
{
    CVantelDialog::OnSize(nType, cx, cy);
    if (nType != SIZE_MINIMIZED)
        FitView(m_hView, cx, cy);
}

BOOL CLoginWebDlg::OnEraseBkgnd(CDC* pDC)
{
    CRect rc;
    GetClientRect(&rc);
    DrawBkgnd(pDC, rc);
    return TRUE;
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
    CPopupView* view = GetView();
    const unsigned short language = LanguageOfPage(view ? view->m_strLanguage : CString());
    CFileUtils::SetLocaleChange(language);
    CToviRegistry::SetLanguage(LoginProduct, language);
    InitControl(language);
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
    char languageCode[4] = "ko";
    if (!language.IsEmpty()) {
        std::memset(languageCode, 0, sizeof languageCode);
        ::WideCharToMultiByte(CP_ACP, 0, language, language.GetLength() > 3 ? 3 : language.GetLength(), languageCode,
                              3, nullptr, nullptr);
    }
    char force[2] = "N";
    const char* clientKind = LoginProduct == 2 ? "7" : "2";
    for (;;) {
        const int connected =
            m_pProto->GetSecureCode(m_hWnd, m_pProto->ServerAddress.szHost, m_pProto->ServerAddress.nPort,
                                    m_pProto->ServerAddress.szCode, static_cast<uint16_t>(('B' << 8) | '0'));
        if (connected != 0) {
            TraceLog(2048, L"[ OnSetLogin ]  GetSecureCode ERROR! [ %d ]", connected);
            m_pProto->CloseSocket();
            EnableView(true);
            if (CFileUtils::ToviMessageBox(this, CToviMsg::GetString(12070), kCaption, MB_YESNO | MB_ICONQUESTION) ==
                IDYES) {
                CConfigDlg config(this);
                config.m_pProto = m_pProto;
                std::memcpy(config.m_connectTimeout, m_pProto->ConnectTimeout, sizeof config.m_connectTimeout);
                std::memcpy(config.m_socketTimeout, m_pProto->SocketTimeout, sizeof config.m_socketTimeout);
                config.DoModal();
            }
            return 0;
        }
        char storedSession[33] = {};
        CToviRegistry::GetSessionID(0, storedSession, sizeof storedSession);
        const int result = m_pProto->GetLoginInfo(m_strDomainIndex, L"#" + session, CString(), languageCode, force,
                                                  const_cast<char*>(clientKind), false, CFileUtils::GetMacList(),
                                                  storedSession);
        if (result == 0)
            break;
        EnableView(true);
        if (result == 2210) {
            if (MessageText(m_pProto->ResultInfo.wszMessage, MB_YESNO | MB_ICONEXCLAMATION) == IDYES) {
                force[0] = 'Y';
                EnableView(false);
                continue;
            }
        } else {
            TraceLog(2048, L"[ CLoginWebDlg::OnSetLogin ] GetLoginInfo ERROR = %d\n%s\n", result,
                     m_pProto->ResultInfo.wszMessage);
            MessageText(m_pProto->ResultInfo.wszMessage[0] ? m_pProto->ResultInfo.wszMessage
                                                           : CToviMsg::GetString(12070).GetString(),
                        MB_ICONSTOP);
        }
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
    if (m_pProto->LoginInfo.ResetPassword[0] != 'N' && m_pProto->LoginInfo.ResetPassword[0] != '\0') {
        CChangePwdDlg change(this);
        change.m_pProto = m_pProto;
        change.m_bCurrentLocked = m_pProto->LoginInfo.ResetPassword[0] != 'Y';
        if (change.DoModal() != IDOK) {
            EnableView(true);
            m_pProto->CloseSocket();
            return 0;
        }
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

void CLoginWebDlg::OnBnClickedMinimize()
{
    ShowWindow(SW_MINIMIZE);
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
    DestroyView(m_hView);
    if (m_hIcon) {
        ::DestroyIcon(m_hIcon);
        m_hIcon = nullptr;
    }
    CVantelDialog::OnDestroy();
    if (!m_bRemoved && m_hOwner && ::IsWindow(m_hOwner))
        ::PostMessageW(m_hOwner, WM_LOGIN_RESULT, m_nLogined, 0);
}

// ---------------------------------------------------------------- CSMSWebDlg

IMPLEMENT_DYNAMIC(CSMSWebDlg, CVantelDialog)

BEGIN_MESSAGE_MAP(CSMSWebDlg, CVantelDialog)
    ON_WM_SIZE()
    ON_WM_ERASEBKGND()
    ON_WM_DESTROY()
    ON_BN_CLICKED(IDC_SYSBTN_MINIMIZE, OnBnClickedMinimize)
    ON_BN_CLICKED(IDC_SYSBTN_CLOSE, OnBnClickedClose)
    ON_MESSAGE(WM_RESIZE_DIALOG, OnResizeDialog)
    ON_MESSAGE(WM_SET_LANGUAGE, OnSetLanguage)
    ON_MESSAGE(WM_SET_SMS_RESULT, OnSetSmsResult)
END_MESSAGE_MAP()

CSMSWebDlg::CSMSWebDlg(CWnd* pParent) : CVantelDialog(IDD_LOGINWEB_DIALOG, pParent)
{
    m_nUIType = kUITypeLogin;
}

CSMSWebDlg::~CSMSWebDlg() = default;

void CSMSWebDlg::DoDataExchange(CDataExchange* pDX)
{
    CVantelDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_SYSBTN_MINIMIZE, m_btnMinimize);
    DDX_Control(pDX, IDC_SYSBTN_MIDDLE, m_btnMiddle);
    DDX_Control(pDX, IDC_SYSBTN_CLOSE, m_btnClose);
}

CString CSMSWebDlg::CertificationUrl(const CString& domainAddress, const CString& userId)
{
    CString query;
    query.Format(L"?uid=%s&chkApp=Y", (LPCWSTR)userId);
    return domainAddress + L"/pm/member/pop_phone_certification_qvx.htm" + query;
}

CPopupView* CSMSWebDlg::GetView() const
{
    return ViewOf(m_hView);
}

BOOL CSMSWebDlg::OnInitDialog()
{
    CVantelDialog::OnInitDialog();
    m_hIcon = CFileUtils::GetMainIcon(0);
    if (m_hIcon) {
        SetIcon(m_hIcon, TRUE);
        SetIcon(m_hIcon, FALSE);
    }
    PlaceCaptionButtons(this, m_btnMinimize, m_btnMiddle, m_btnClose);
    m_fonts = InstalledFontFamilies(m_hWnd);
    ApplyLoginLanguage(StoredLanguage(LoginProduct), m_fonts, LoginProduct, nullptr);
    SetWindowText(L"SMS");
    SetTitleBar(L"SMS");
    m_hView = CreatePageView(this, m_document, nullptr);
    CPopupView* view = GetView();
    if (!m_strDomainAddress.IsEmpty()) {
        const CString url = CertificationUrl(m_strDomainAddress, m_strUserId);
        TraceLog(1, L"URL = %s\n", (LPCWSTR)url);
        if (view) {
            view->AddTrustedHost(CPopupView::HostOfUrl(m_strDomainAddress));
            view->Navigate2(url);
        }
    }
    if (view)
        view->SetFocus();
    TraceLog(1, L"PARAMETER USER ID = %s\n", (LPCWSTR)m_strUserId);
    return FALSE;
}

void CSMSWebDlg::OnSize(UINT nType, int cx, int cy)
{
    CVantelDialog::OnSize(nType, cx, cy);
    if (nType != SIZE_MINIMIZED)
        FitView(m_hView, cx, cy);
}

BOOL CSMSWebDlg::OnEraseBkgnd(CDC* pDC)
{
    CRect rc;
    GetClientRect(&rc);
    DrawBkgnd(pDC, rc);
    return TRUE;
}

LRESULT CSMSWebDlg::OnResizeDialog(WPARAM, LPARAM)
{
    // The certification page keeps the window as it is.
    return 0;
}

LRESULT CSMSWebDlg::OnSetLanguage(WPARAM, LPARAM)
{
    CPopupView* view = GetView();
    const unsigned short language = LanguageOfPage(view ? view->m_strLanguage : CString());
    CFileUtils::SetLocaleChange(language);
    CToviRegistry::SetLanguage(LoginProduct, language);
    ApplyLoginLanguage(language, m_fonts, LoginProduct, nullptr);
    return 0;
}

LRESULT CSMSWebDlg::OnSetSmsResult(WPARAM, LPARAM)
{
    m_bCertified = true;
    TraceLog(1, L"[ CSMSWebDlg::OnSetSMSResult ] SMS RESULT SUCCESS!\n");
    return 0;
}

void CSMSWebDlg::OnBnClickedMinimize()
{
    ShowWindow(SW_MINIMIZE);
}

void CSMSWebDlg::OnBnClickedClose()
{
    EndDialog(IDCANCEL);
}

void CSMSWebDlg::OnDestroy()
{
    DestroyView(m_hView);
    if (m_hIcon) {
        ::DestroyIcon(m_hIcon);
        m_hIcon = nullptr;
    }
    CVantelDialog::OnDestroy();
}

// CWebPageDlg: the frame of the log-in windows that show a server page.
#include "WebPageDlg.h"
#include "CreateContext.h"
#include "DataExchange.h"
#include "FileUtils.h"
#include "LoginDlg.h"
#include "LoginRes.h"
#include "PopupView.h"
#include "SkinRes.h"
#include "ToviProto.h"
#include "ToviRegistry.h"

namespace {

// The band above the page that holds the caption buttons.
const int kBandHeight = 26;
const int kPageWidth = 319;

unsigned short LanguageOfPage(const CString& text)
{
    if (text == L"en")
        return 0x09;
    if (text == L"jp")
        return 0x11;
    return 0x12;
}

}

IMPLEMENT_DYNAMIC(CWebPageDlg, CVantelDialog)

BEGIN_MESSAGE_MAP(CWebPageDlg, CVantelDialog)
    ON_WM_SIZE()
    ON_WM_ERASEBKGND()
    ON_WM_DESTROY()
    ON_BN_CLICKED(IDC_SYSBTN_MINIMIZE, OnBnClickedMinimize)
END_MESSAGE_MAP()

CWebPageDlg::CWebPageDlg(CWnd* pParent) : CVantelDialog(IDD_LOGINWEB_DIALOG, pParent)
{
    m_nUIType = kUITypeLogin;
}

CWebPageDlg::~CWebPageDlg() = default;

void CWebPageDlg::DoDataExchange(CDataExchange* pDX)
{
    CVantelDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_SYSBTN_MINIMIZE, m_btnMinimize);
    DDX_Control(pDX, IDC_SYSBTN_MIDDLE, m_btnMiddle);
    DDX_Control(pDX, IDC_SYSBTN_CLOSE, m_btnClose);
}

CPopupView* CWebPageDlg::GetView() const
{
    if (m_hView == nullptr || !::IsWindow(m_hView))
        return nullptr;
    return dynamic_cast<CPopupView*>(CWnd::FromHandlePermanent(m_hView));
}

void CWebPageDlg::SetUpWindow()
{
    if (m_hIcon) {
        SetIcon(m_hIcon, TRUE);
        SetIcon(m_hIcon, FALSE);
    }
    // Minimise, a disabled middle button and close, side by side at the top right.
    m_btnMinimize.SetBtnStyle(CToviButton::kStyleFrameMinimize);
    m_btnMiddle.SetBtnStyle(CToviButton::kStyleFrameMiddle);
    m_btnMiddle.EnableWindow(FALSE);
    m_btnClose.SetBtnStyle(CToviButton::kStyleFrameClose);
    CRect client, button;
    GetClientRect(&client);
    m_btnMinimize.GetWindowRect(&button);
    int x = client.Width() - 72;
    for (CToviButton* b : {&m_btnMinimize, &m_btnMiddle, &m_btnClose}) {
        b->SetWindowPos(nullptr, x, 0, button.Width(), button.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
        x += button.Width();
    }
    m_fonts = InstalledFontFamilies(m_hWnd);
}

CPopupView* CWebPageDlg::OpenPage(CToviProto* proto, const CString& domainAddress, const CString& url)
{
    CRect client;
    GetClientRect(&client);
    CRect area(client.left, client.top + kBandHeight, client.left + kPageWidth, client.bottom);
    CCreateContext context;
    context.m_pNewViewClass = RUNTIME_CLASS(CPopupView);
    context.m_pCurrentDoc = &m_document;
    CPopupView* view = new CPopupView;
    // A view that could not be made has deleted itself.
    m_hView = view->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, area, this, AFX_IDW_PANE_FIRST, &context)
                  ? view->GetSafeHwnd()
                  : nullptr;
    view = GetView();
    if (view == nullptr)
        return nullptr;
    view->OnInitialUpdate();
    if (proto) {
        view->AddTrustedHost(CString(proto->ServerAddress.szHost));
        view->AddTrustedHost(proto->ServerAddress.WebServerAddress);
    }
    if (!domainAddress.IsEmpty()) {
        view->AddTrustedHost(CPopupView::HostOfUrl(domainAddress));
        view->Navigate2(url);
    }
    view->SetFocus();
    return view;
}

unsigned short CWebPageDlg::TakePageLanguage()
{
    CPopupView* view = GetView();
    const unsigned short language = LanguageOfPage(view ? view->m_strLanguage : CString());
    CFileUtils::SetLocaleChange(language);
    CToviRegistry::SetLanguage(LoginProduct, language);
    return language;
}

unsigned short CWebPageDlg::StoredLanguage(int product)
{
    unsigned short language = 0x12;
    if (!CToviRegistry::GetLanguage(product, &language) || language == 0) {
        language = 0x12;
        CToviRegistry::SetLanguage(product, language);
    }
    return language;
}

void CWebPageDlg::OnSize(UINT nType, int cx, int cy)
{
    CVantelDialog::OnSize(nType, cx, cy);
    if (nType != SIZE_MINIMIZED && m_hView && ::IsWindow(m_hView))
        ::MoveWindow(m_hView, 0, kBandHeight, cx, cy > kBandHeight ? cy - kBandHeight : 0, TRUE);
}

BOOL CWebPageDlg::OnEraseBkgnd(CDC* pDC)
{
    CRect rc;
    GetClientRect(&rc);
    DrawBkgnd(pDC, rc);
    return TRUE;
}

void CWebPageDlg::OnBnClickedMinimize()
{
    ShowWindow(SW_MINIMIZE);
}

void CWebPageDlg::OnDestroy()
{
    if (CPopupView* page = GetView())
        page->Stop();
    if (m_hView && ::IsWindow(m_hView))
        ::DestroyWindow(m_hView);   // the view deletes itself
    m_hView = nullptr;
    if (m_hIcon) {
        ::DestroyIcon(m_hIcon);
        m_hIcon = nullptr;
    }
    CVantelDialog::OnDestroy();
}

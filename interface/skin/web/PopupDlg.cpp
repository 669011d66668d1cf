// The web pop-up: kinds, navigation, the page's requests, closing and the log package.
#include "PopupDlg.h"
#include "FileUtils.h"
#include "PopupDlgRes.h"
#include "PopupHost.h"
#include "PopupView.h"
#include "ToviConv.h"
#include "ToviProto.h"
#include "ToviRegistry.h"
#include "ToviString.h"
#include "TraceLog.h"
#include "WinThread.h"
#include <shellapi.h>
#include <vector>

IMPLEMENT_DYNAMIC(CPopupDlg, CDialog)

namespace {
const wchar_t kFormHeader[] = L"Content-Type: application/x-www-form-urlencoded\r\n";
const wchar_t kApprovalBusyText[] = L"결재 프로세스를 완료해 주십시오.";

void ShellOpenUrl(const CString& url)
{
    ::ShellExecuteW(nullptr, L"open", L"iexplore", url.GetString(), nullptr, SW_SHOWNORMAL);
}

int CALLBACK FoundFace(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found)
{
    *(bool*)found = true;
    return 0;
}

bool FontInstalled(const CString& face)
{
    LOGFONTW lf = {};
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(lf.lfFaceName, face.GetString(), LF_FACESIZE);
    bool found = false;
    HDC dc = ::GetDC(nullptr);
    ::EnumFontFamiliesExW(dc, &lf, &FoundFace, (LPARAM)&found, 0);
    ::ReleaseDC(nullptr, dc);
    return found;
}

// The character set a text needs beyond Latin (Hangul, kana), or 0.
BYTE ScriptCharSet(const CString& text)
{
    for (int i = 0; i < text.GetLength(); ++i) {
        wchar_t c = text.GetAt(i);
        if ((c >= 0xAC00 && c <= 0xD7A3) || (c >= 0x1100 && c <= 0x11FF) || (c >= 0x3130 && c <= 0x318F))
            return HANGUL_CHARSET;
        if (c >= 0x3040 && c <= 0x30FF)
            return SHIFTJIS_CHARSET;
    }
    return 0;
}

struct FaceSearch {
    HDC dc;
    const CString* text;
    CString found;
};

int CALLBACK TryFace(const LOGFONTW* lf, const TEXTMETRICW*, DWORD, LPARAM param)
{
    auto* search = (FaceSearch*)param;
    if (lf->lfFaceName[0] == L'@')
        return 1;   // vertical faces
    LOGFONTW probe = *lf;
    HFONT font = ::CreateFontIndirectW(&probe);
    HGDIOBJ old = ::SelectObject(search->dc, font);
    std::vector<WORD> glyphs((size_t)search->text->GetLength() + 1);
    bool all = ::GetGlyphIndicesW(search->dc, search->text->GetString(), search->text->GetLength(), glyphs.data(),
                                  GGI_MARK_NONEXISTING_GLYPHS) != GDI_ERROR;
    for (int i = 0; all && i < search->text->GetLength(); ++i)
        all = glyphs[i] != 0xFFFF;
    ::SelectObject(search->dc, old);
    ::DeleteObject(font);
    if (!all)
        return 1;
    search->found = lf->lfFaceName;
    return 0;
}

// An installed face that has every glyph of a text in a script beyond Latin; empty when the
// text needs none or no face has them.
CString FaceWithGlyphs(const CString& text)
{
    BYTE charset = ScriptCharSet(text);
    if (charset == 0)
        return CString();
    LOGFONTW lf = {};
    lf.lfCharSet = charset;
    FaceSearch search = { ::GetDC(nullptr), &text, CString() };
    ::EnumFontFamiliesExW(search.dc, &lf, &TryFace, (LPARAM)&search, 0);
    ::ReleaseDC(nullptr, search.dc);
    return search.found;
}

bool PostsToFrame(int kind)
{
    return CPopupDlg::TargetFrameOfKind(kind) != nullptr;
}
}

CPopupDlg::UrlOpener CPopupDlg::s_pfnOpenUrl = &ShellOpenUrl;

BEGIN_MESSAGE_MAP(CPopupDlg, CDialog)
    ON_WM_CREATE()
    ON_WM_SIZE()
    ON_WM_NCACTIVATE()
    ON_WM_NCCALCSIZE()
    ON_WM_NCPAINT()
    ON_WM_ERASEBKGND()
    ON_WM_CLOSE()
    ON_BN_CLICKED(IDC_SYSBTN_MINIMIZE, OnMinimize)
    ON_BN_CLICKED(IDC_SYSBTN_CLOSE, OnCloseButton)
    ON_MESSAGE(WM_RESIZE_DIALOG, OnResizeDialog)
    ON_MESSAGE(WM_SET_DEL_SCHEDULE_FILES, OnShowApproval)
    ON_MESSAGE(WM_SET_DO_NOT_SHOW_POPUP, OnSetDelTime)
END_MESSAGE_MAP()

CPopupDlg::CPopupDlg(CWnd* pParent) : CDialog(IDD, pParent)
{
    m_nFrameWidth = ::GetSystemMetrics(SM_CXFRAME) + 1;
    m_hOwner = pParent ? pParent->GetSafeHwnd() : nullptr;
}

CPopupDlg::~CPopupDlg()
{
    if (m_hView && ::IsWindow(m_hView))
        ::DestroyWindow(m_hView);   // the view deletes itself
    if (m_hIcon)
        ::DestroyIcon(m_hIcon);
}


CPopupView* CPopupDlg::GetView() const
{
    if (m_hView == nullptr || !::IsWindow(m_hView))
        return nullptr;
    return dynamic_cast<CPopupView*>(CWnd::FromHandlePermanent(m_hView));
}

// ---- The main window's services ----

IPopupHost* CPopupDlg::Host() const
{
    if (m_pHost)
        return m_pHost;
    return PopupHostOf(AfxGetMainWnd());
}

CToviProto* CPopupDlg::Session() const
{
    IPopupHost* host = Host();
    return host ? host->GetPopupSession() : nullptr;
}

bool CPopupDlg::ApprovalOption() const
{
    CToviProto* proto = Session();
    return proto && strcmp(proto->OptionInfo.PrivacyModel, "Y") == 0;
}

// ---- Decisions ----

CSize CPopupDlg::PageSizeOfKind(int kind)
{
    switch (kind) {
    case 1: case 2: case 3: return CSize(650, 500);
    case 4: return CSize(800, 600);
    case 5: return CSize(400, 500);
    default: return CSize(0, 0);
    }
}

const wchar_t* CPopupDlg::TargetFrameOfKind(int kind)
{
    switch (kind) {
    case 6: case 14: return L"appApprovalRequest";
    case 8: return L"appDocView";
    case 9: return L"appSendFileNet";
    case 10: return L"appWebLink";
    case 12: return L"appSlideViewer";
    case 13: return L"appMailLink";
    case 15: return L"appApprovalDelList";
    default: return nullptr;
    }
}

CString CPopupDlg::TitleOfKind(int kind, const CString& siteCode, bool approvalOption)
{
    switch (kind) {
    case 1: case 2: case 3: case 4: return CToviString::GetString(14062);
    case 5: return CToviString::GetString(14098);
    case 6: case 14:
        if (siteCode == L"TREL_IN")
            return L"결재요청(반출)";
        return CToviString::GetString(approvalOption ? 14254 : 14213);
    case 7: return CToviString::GetString(14210);
    case 8: return CToviString::GetString(14235);
    case 9:
        if (siteCode == L"TREL_OUT")
            return L"업무망전송(반입)";
        return CToviString::GetString(14236);
    case 10: return CToviString::GetString(14243);
    case 12: return CToviString::GetString(14248);
    case 13: return CToviString::GetString(14024);
    case 15: return CToviString::GetString(14259);
    default: return CToviString::GetString(14062);
    }
}

CRect CPopupDlg::ResizeRect(const CRect& parent, int pageWidth, int pageHeight, int kind, CSize screen)
{
    const int w = pageWidth + kExtraWidth;
    const int h = pageHeight + kExtraHeight + (kind == 7 ? 3 : 0);
    // Centred on the parent: inset when the parent is wider, sticking out when narrower.
    int left = parent.left + (parent.Width() - w) / 2;
    int top = parent.top + (parent.Height() - h) / 2;
    if (left <= 0)
        left = 0;
    else if (left + w >= screen.cx)
        left = screen.cx - w;
    if (top <= 0)
        top = 0;
    else if (top + h >= screen.cy)
        top = screen.cy - h;
    return CRect(left, top, left + w, top + h);
}

CString CPopupDlg::LogPackageUrl(const CString& webServer)
{
    CString base = webServer;
    base.Trim();
    base.TrimRight(L"/\\");
    if (base.IsEmpty())
        return CString();
    return base + L"/cab/Logger.zip.enc";
}

// ---- Creation ----

int CPopupDlg::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CDialog::OnCreate(lpCreateStruct) == -1)
        return -1;
    ModifyStyle(WS_CAPTION, 0, SWP_FRAMECHANGED);
    m_hIcon = CFileUtils::GetMainIcon(0);
    if (m_nOpenMode == kModeModal) {
        ModifyStyle(WS_SYSMENU, 0);
        ModifyStyleEx(WS_EX_APPWINDOW, 0);
        CSize page = PageSizeOfKind(m_nPopupKind);
        m_nPageWidth = page.cx;
        m_nPageHeight = page.cy;
        // Over the window it was opened from, as the page's own size request would place it:
        // a page that never asks (no script ran) must not open in the screen's corner.
        HWND owner = m_hOwner && ::IsWindow(m_hOwner) && ::IsWindowVisible(m_hOwner) ? m_hOwner : ::GetDesktopWindow();
        CRect parent;
        ::GetWindowRect(owner, &parent);
        const CSize screen(::GetSystemMetrics(SM_CXVIRTUALSCREEN), ::GetSystemMetrics(SM_CYVIRTUALSCREEN));
        const CRect place = ResizeRect(parent, m_nPageWidth, m_nPageHeight, m_nPopupKind, screen);
        MoveWindow(place.left, place.top, m_nPageWidth + m_nExtraWidth, m_nPageHeight + m_nExtraHeight);
    }
    return 0;
}

BOOL CPopupDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    SetWindowText(TitleOfKind(m_nPopupKind, m_strSiteCode, ApprovalOption()));
    if (m_hIcon) {
        SetIcon(m_hIcon, TRUE);
        SetIcon(m_hIcon, FALSE);
    }

    LOGFONTW lf = {};
    HFONT dialogFont = (HFONT)SendMessage(WM_GETFONT);
    ::GetObjectW(dialogFont ? (HGDIOBJ)dialogFont : ::GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf);
    CString face = CFileUtils::GetFont(0);
    // A face the system lacks would fall back to one without the title's script: keep the
    // template's face then.
    if (!face.IsEmpty() && FontInstalled(face)) {
        lstrcpynW(lf.lfFaceName, face.GetString(), LF_FACESIZE);
    } else {
        CString fallback = FaceWithGlyphs(TitleOfKind(m_nPopupKind, m_strSiteCode, ApprovalOption()));
        if (!fallback.IsEmpty())
            lstrcpynW(lf.lfFaceName, fallback.GetString(), LF_FACESIZE);
    }
    lf.lfQuality = CLEARTYPE_QUALITY;
    m_font.CreateFontIndirect(&lf);
    lf.lfWeight = 600;
    m_fontTitle.CreateFontIndirect(&lf);
    SendMessageToDescendants(WM_SETFONT, (WPARAM)m_font.GetSafeHandle(), TRUE);

    m_btnMinimize.SubclassDlgItem(IDC_SYSBTN_MINIMIZE, this);
    m_btnMaximize.SubclassDlgItem(IDC_SYSBTN_MIDDLE, this);
    m_btnClose.SubclassDlgItem(IDC_SYSBTN_CLOSE, this);
    m_btnMinimize.SetBtnStyle(CToviButton::kStyleCaptionMinimize);
    m_btnMaximize.SetBtnStyle(CToviButton::kStyleCaptionMiddle);
    m_btnMaximize.EnableWindow(FALSE);
    m_btnClose.SetBtnStyle(CToviButton::kStyleCaptionClose);

    CRect client;
    GetClientRect(&client);
    CRect viewRect(client.left, client.top + kBandHeight, client.right, client.bottom);
    CCreateContext context;
    context.m_pNewViewClass = RUNTIME_CLASS(CPopupView);
    context.m_pCurrentDoc = &m_document;
    CPopupView* view = new CPopupView;
    // A failed view has deleted itself; the pop-up then lives without one.
    if (view->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, viewRect, this, AFX_IDW_PANE_FIRST, &context)) {
        m_hView = view->GetSafeHwnd();
        if (CToviProto* proto = Session()) {
            view->AddTrustedHost(CString(proto->ServerAddress.szHost));
            view->AddTrustedHost(proto->ServerAddress.WebServerAddress);
        }
    }

    if (m_nOpenMode == kModeModal) {
        m_btnMinimize.ShowWindow(SW_HIDE);
        m_btnMaximize.ShowWindow(SW_HIDE);
        LayoutControls();
        CPopupView* v = GetView();
        if (v && m_nPopupKind >= 1 && m_nPopupKind <= 5 && !m_strUrl.IsEmpty() && !m_strParam.IsEmpty()) {
            TraceLog(1, L"\nURL = %s\nPARAM = %s\n", m_strUrl.GetString(), m_strParam.GetString());
            PostForm(nullptr);
        }
    } else {
        LayoutControls();
    }
    return TRUE;
}

// ---- Navigation ----

bool CPopupDlg::PostForm(const wchar_t* target)
{
    CPopupView* view = GetView();
    if (view == nullptr || m_strUrl.IsEmpty() || m_strParam.IsEmpty())
        return false;
    char* body = CToviConv::Tovi_WideCharToMultiByte(m_strParam.GetString());
    if (body == nullptr)
        return false;
    if (target)
        view->Stop();
    view->Navigate2(m_strUrl, 0, target, kFormHeader, body, (DWORD)strlen(body));
    CToviConv::Tovi_Free(body);
    m_bFormPosted = true;
    return true;
}

void CPopupDlg::SetNavigateData()
{
    const wchar_t* target = TargetFrameOfKind(m_nPopupKind);
    if (target == nullptr)
        return;
    PostForm(target);
}

LRESULT CPopupDlg::OnResizeDialog(WPARAM, LPARAM)
{
    CPopupView* view = GetView();
    if (view == nullptr)
        return 1;
    // The form goes once; later size requests of the page only move the window.
    if (PostsToFrame(m_nPopupKind) && !m_bFormPosted)
        SetNavigateData();
    view = GetView();
    if (view == nullptr)
        return 1;
    CRect parent;
    HWND hParent = m_hOwner && ::IsWindow(m_hOwner) ? m_hOwner : ::GetDesktopWindow();
    ::GetWindowRect(hParent, &parent);
    CSize screen(::GetSystemMetrics(SM_CXVIRTUALSCREEN), ::GetSystemMetrics(SM_CYVIRTUALSCREEN));
    CRect rc = ResizeRect(parent, view->m_nRequestWidth, view->m_nRequestHeight, m_nPopupKind, screen);
    MoveWindow(&rc);
    ShowWindow(SW_SHOW);
    return 0;
}

// ---- Requests of the page ----

LRESULT CPopupDlg::OnShowApproval(WPARAM wParam, LPARAM)
{
    TraceLog(1, L"[ CPopupDlg::OnShowApproval ] \n");
    const CString* files = reinterpret_cast<const CString*>(wParam);
    CString copy = files ? *files : CString();
    IPopupHost* host = Host();
    HWND splitter = host ? host->GetApprovalSplitter() : nullptr;
    if (splitter && ::IsWindow(splitter))
        ::SendMessage(splitter, WM_UPLOAD_APPROVAL, (WPARAM)copy.GetString(), 0);
    return 0;
}

LRESULT CPopupDlg::OnSetDelTime(WPARAM, LPARAM)
{
    TraceLog(1, L"[ CPopupDlg::OnSetDelTime ] START! \n");
    if (AfxGetMainWnd() == nullptr && m_pHost == nullptr)
        return 0;
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    CString stamp;
    stamp.Format(L"%04d/%02d/%02d/%02d/%02d/%02d", now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute,
                 now.wSecond);
    TraceLog(1, L"[ CPopupDlg::OnSetDelTime ] Set Registry Time  = %s ", stamp.GetString());
    CToviRegistry::SetDelScheduleTime(stamp);
    return 0;
}

// ---- Keys and mouse ----

BOOL CPopupDlg::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message == WM_LBUTTONDOWN && pMsg->hwnd == m_hWnd && !IsZoomed() && !IsIconic()) {
        POINT pt = { (short)LOWORD(pMsg->lParam), (short)HIWORD(pMsg->lParam) };
        if (pt.y >= 0 && pt.y < kBandHeight) {
            POINT screen = pt;
            ::ClientToScreen(m_hWnd, &screen);
            PostMessage(WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(screen.x, screen.y));
        }
    } else if (pMsg->message == WM_KEYDOWN) {
        if (pMsg->wParam == VK_RETURN)
            return TRUE;
        if (pMsg->wParam == VK_SPACE && m_nPopupKind != 6 && m_nPopupKind != 10 && m_nPopupKind != 13)
            return TRUE;
        if (pMsg->wParam == 'H' && ::GetKeyState(VK_CONTROL) < 0 && ::GetKeyState(VK_SHIFT) < 0) {
            DownloadLogPackage();
            return TRUE;
        }
    }
    return CDialog::PreTranslateMessage(pMsg);
}

void CPopupDlg::DownloadLogPackage()
{
    TraceLog(1, L"[ CStatusBarDlg::LoggerDownload ] Start! \n");
    CToviProto* proto = Session();
    if (proto == nullptr)
        return;
    CString url = LogPackageUrl(proto->ServerAddress.WebServerAddress);
    if (url.IsEmpty())
        return;
    TraceLog(1, L"[ CStatusBarDlg::LoggerDownload ] URL : %s \n", url.GetString());
    s_pfnOpenUrl(url);
}

void CPopupDlg::OnOK()
{
    // Enter belongs to the page.
}

void CPopupDlg::OnCancel()
{
    SendMessage(WM_CLOSE);
}

void CPopupDlg::OnMinimize()
{
    ShowWindow(SW_SHOWMINIMIZED);
}

void CPopupDlg::OnCloseButton()
{
    PostMessage(WM_CLOSE);
}

// ---- Closing ----

void CPopupDlg::OnClose()
{
    if (m_nOpenMode != kModeModeless) {
        CDialog::OnCancel();
        return;
    }
    if (m_nPopupKind == 8 && (m_strSiteCode == L"ZAZIDEZODA_IN" || m_strSiteCode == L"ZAZIDEZODA_OUT")) {
        if (CPopupView* view = GetView())
            view->CallScript(L"closeDocView", {});
    }
    if (m_nPopupKind == 15) {
        CString approvalTitle = CToviString::GetString(14254);
        HWND approval = approvalTitle.IsEmpty() ? nullptr : ::FindWindowW(nullptr, approvalTitle.GetString());
        if (approval && approval != m_hWnd) {
            TraceLog(1, L" [ CPopupDlg::OnClose() ] APPROVAL Dialog Alive! \n");
            CFileUtils::ToviMessageBox(this, kApprovalBusyText, L"CorvaneIxo", MB_ICONHAND);
            // The list stays open until the approval it belongs to is finished.
            return;
        }
    }
    DestroyWindow();
}

void CPopupDlg::PostNcDestroy()
{
    CDialog::PostNcDestroy();
    if (ApprovalOption()) {
        IPopupHost* host = Host();
        HWND list = host ? host->GetApprovalListView() : nullptr;
        if (list && ::IsWindow(list))
            ::SendMessage(list, WM_APPROVAL_REFRESH, 0, 0);
    }
    if (m_nOpenMode == kModeModeless) {
        if (m_hOwner && ::IsWindow(m_hOwner))
            ::PostMessage(m_hOwner, WM_POPUP_CLOSED, 0, (LPARAM)m_nPopupKind);
        delete this;
    }
}

// CAboutDlg: versions, the home-page link and its cursor.
#include "AboutDlg.h"
#include "CommonDlgsRes.h"
#include "DataExchange.h"
#include "SkinRes.h"
#include "ToviString.h"
#include <shellapi.h>
#include <cstring>
#include <vector>

IMPLEMENT_DYNAMIC(CAboutDlg, CVantelDialog)

BEGIN_MESSAGE_MAP(CAboutDlg, CVantelDialog)
    ON_WM_ERASEBKGND()
    ON_WM_CTLCOLOR()
    ON_WM_SETCURSOR()
    ON_STN_CLICKED(IDC_ABOUT_HOME_LINK, OnLinkClicked)
    ON_BN_CLICKED(IDCANCEL, OnBnClickedCancel)
    ON_BN_CLICKED(IDC_SYSBTN_CLOSE, OnBnClickedCancel)
END_MESSAGE_MAP()

namespace {

void OpenInBrowser(const wchar_t* address)
{
    ::ShellExecuteW(nullptr, L"open", address, nullptr, nullptr, SW_SHOWNORMAL);
}

const COLORREF kLinkColor = 0xFF0000;

}

const wchar_t CAboutDlg::kHomePage[] = L"https://www.corvane-ixo.com";
void (*CAboutDlg::s_pfnOpenLink)(const wchar_t*) = OpenInBrowser;

CAboutDlg::CAboutDlg(CWnd* pParent) : CVantelDialog(IDD_ABOUT_DIALOG, pParent)
{
}

CString CAboutDlg::ServerVersionLine(const char* version)
{
    CString line = L"Corvane IXO Version ";
    if (version && version[0])
        line += CString(version);
    return line;
}

CString CAboutDlg::ClientVersionLine(const wchar_t* path)
{
    DWORD handle = 0;
    DWORD size = ::GetFileVersionInfoSizeW(path, &handle);
    if (size == 0)
        return CString();
    std::vector<BYTE> data(size);
    if (!::GetFileVersionInfoW(path, 0, size, data.data()))
        return CString();
    struct Translation {
        WORD language;
        WORD codePage;
    }* translations = nullptr;
    UINT length = 0;
    if (!::VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation", (LPVOID*)&translations, &length) ||
        length < sizeof(Translation))
        return CString();
    CString block;
    block.Format(L"\\StringFileInfo\\%04x%04x\\", translations[0].language, translations[0].codePage);
    wchar_t* version = nullptr;
    wchar_t* name = nullptr;
    UINT versionLength = 0, nameLength = 0;
    if (!::VerQueryValueW(data.data(), block + L"ProductVersion", (LPVOID*)&version, &versionLength) || !version ||
        !::VerQueryValueW(data.data(), block + L"ProductName", (LPVOID*)&name, &nameLength) || !name)
        return CString();
    CString line;
    line.Format(L"Client Version %s", (const wchar_t*)CString(version).Left(23));
    return line;
}

void CAboutDlg::DoDataExchange(CDataExchange* pDX)
{
    CVantelDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDOK, m_btnOk);
    DDX_Control(pDX, IDC_SYSBTN_CLOSE, m_btnClose);
    DDX_Control(pDX, IDC_ABOUT_HOME_LABEL, m_staticLabel);
    DDX_Control(pDX, IDC_ABOUT_HOME_LINK, m_staticLink);
}

BOOL CAboutDlg::OnInitDialog()
{
    CVantelDialog::OnInitDialog();
    if (m_nUIType == kUITypeDefault)
        SetWindowText(L"Corvane IXO About");
    else if (m_nUIType == kUITypeBlueAccent)
        SetWindowText(L"Corvane IXO Drive About");
    else if (m_nUIType == kUITypeGoldAccent)
        SetWindowText(L"Corvane IXO Backup About");
    SetTitleBar(CToviString::GetString(14060));

    m_btnClose.SetBtnStyle(CToviButton::kStyleCaptionClose);
    CRect client, close;
    GetClientRect(&client);
    m_btnClose.GetWindowRect(&close);
    m_btnClose.SetWindowPos(nullptr, client.Width() + 2 * close.Width() - 72, 2, 0, 0,
                            SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    m_btnOk.SetWindowText(CToviString::GetString(14061));
    m_btnOk.SetBtnStyle(15);
    // In the middle of the footer band that the background paints.
    CRect ok;
    m_btnOk.GetWindowRect(&ok);
    ScreenToClient(&ok);
    m_btnOk.SetWindowPos(nullptr, ok.left, client.bottom - 36 + (36 - ok.Height()) / 2, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);

    char version[33] = {};
    memcpy(version, m_szServerVersion, sizeof(m_szServerVersion));   // never trust the terminator
    SetDlgItemText(IDC_ABOUT_SERVER_VERSION, ServerVersionLine(version));
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    SetDlgItemText(IDC_ABOUT_CLIENT_VERSION, ClientVersionLine(path));
    m_staticLabel.SetWindowText(CToviString::GetString(14225));
    m_staticLink.SetWindowText(kHomePage);
    SetDlgItemText(IDC_ABOUT_NOTE, L"Copyright (C) Corvane. All rights reserved.");
    if (HWND icon = ::GetDlgItem(m_hWnd, IDC_ABOUT_ICON)) {
        if (m_hIcon)
            ::SendMessageW(icon, STM_SETICON, reinterpret_cast<WPARAM>(m_hIcon), 0);
        else
            ::ShowWindow(icon, SW_HIDE);
    }

    if (m_fontDlg.GetSafeHandle()) {
        LOGFONTW lf = {};
        ::GetObjectW(m_fontDlg.GetSafeHandle(), sizeof(lf), &lf);
        lf.lfUnderline = TRUE;
        m_fontLink.CreateFontIndirect(&lf);
        m_staticLink.SetFont(&m_fontLink);
        PlaceLink();
    }
    return TRUE;
}

// The label as wide as its text and the link right after it, one average character apart.
void CAboutDlg::PlaceLink()
{
    CClientDC dc(this);
    CFont* old = dc.SelectObject(&m_fontDlg);
    CString label, link;
    m_staticLabel.GetWindowText(label);
    m_staticLink.GetWindowText(link);
    CSize labelSize = dc.GetTextExtent(label);
    dc.SelectObject(&m_fontLink);
    CSize linkSize = dc.GetTextExtent(link);
    dc.SelectObject(old);

    CRect labelRect, linkRect;
    m_staticLabel.GetWindowRect(&labelRect);
    ScreenToClient(&labelRect);
    m_staticLink.GetWindowRect(&linkRect);
    ScreenToClient(&linkRect);
    const int gap = label.IsEmpty() ? 0 : labelSize.cx / label.GetLength();
    m_staticLabel.SetWindowPos(nullptr, 0, 0, labelSize.cx, labelRect.Height(),
                               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    m_staticLink.SetWindowPos(nullptr, labelRect.left + labelSize.cx + gap, linkRect.top, linkSize.cx,
                              linkRect.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL CAboutDlg::OnEraseBkgnd(CDC* pDC)
{
    CRect rc;
    GetClientRect(&rc);
    return DrawBkgnd(pDC, rc);
}

HBRUSH CAboutDlg::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    if (nCtlColor == CTLCOLOR_STATIC && pWnd) {
        pDC->SetBkMode(TRANSPARENT);
        if (pWnd->GetSafeHwnd() == m_staticLink.GetSafeHwnd())
            pDC->SetTextColor(kLinkColor);
        return (HBRUSH)::GetStockObject(NULL_BRUSH);
    }
    return CVantelDialog::OnCtlColor(pDC, pWnd, nCtlColor);
}

BOOL CAboutDlg::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message)
{
    if (pWnd && pWnd->GetSafeHwnd() == m_staticLink.GetSafeHwnd()) {
        ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
        return TRUE;
    }
    return (BOOL)Default();
}

void CAboutDlg::OnLinkClicked()
{
    if (s_pfnOpenLink)
        s_pfnOpenLink(kHomePage);
}

void CAboutDlg::OnBnClickedCancel()
{
    EndDialog(IDCANCEL);
}

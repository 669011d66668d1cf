// CPasswordDlg: the folder-password prompt and its local check.
#include "PasswordDlg.h"
#include "DataExchange.h"
#include "FileUtils.h"
#include "LoginRes.h"
#include "LoginRules.h"
#include "MessageBoxDlgRes.h"
#include "SkinRes.h"
#include "ToviMsg.h"
#include "ToviString.h"
#include <cstring>

IMPLEMENT_DYNAMIC(CPasswordDlg, CVantelDialog)

BEGIN_MESSAGE_MAP(CPasswordDlg, CVantelDialog)
    ON_WM_ERASEBKGND()
    ON_WM_CTLCOLOR()
    ON_BN_CLICKED(IDOK, OnBnClickedOk)
    ON_BN_CLICKED(IDCANCEL, OnBnClickedCancel)
    ON_BN_CLICKED(IDC_SYSBTN_CLOSE, OnBnClickedCancel)
END_MESSAGE_MAP()

namespace {
const COLORREF kInfoColor = RGB(84, 141, 222);
}

CPasswordDlg::CPasswordDlg(CWnd* pParent) : CVantelDialog(IDD_PASSWORD_DIALOG, pParent)
{
}

BOOL CPasswordDlg::Create(UINT nIDTemplate, CWnd* pParentWnd)
{
    return CVantelDialog::Create(nIDTemplate, pParentWnd);
}

int CPasswordDlg::AskForFile(HWND parent, const CString& fileName, const char* digest)
{
    if (digest == nullptr || digest[0] == '\0')
        return IDOK;
    CPasswordDlg dialog(parent ? CWnd::FromHandle(parent) : nullptr);
    dialog.m_strTitle = fileName;
    const size_t length = strnlen(digest, sizeof dialog.m_szExpectedHash - 1);
    memcpy(dialog.m_szExpectedHash, digest, length);
    dialog.m_szExpectedHash[length] = '\0';
    return static_cast<int>(dialog.DoModal());
}

void CPasswordDlg::DoDataExchange(CDataExchange* pDX)
{
    CVantelDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDOK, m_btnOk);
    DDX_Control(pDX, IDCANCEL, m_btnCancel);
    DDX_Control(pDX, IDC_SYSBTN_CLOSE, m_btnClose);
}

BOOL CPasswordDlg::OnInitDialog()
{
    CVantelDialog::OnInitDialog();
    m_szAcceptedHash[0] = '\0';
    const CString title = m_strTitle.IsEmpty() ? CToviString::GetString(14128) : m_strTitle;
    SetWindowText(title);
    SetTitleBar(title);
    GetDlgItem(IDC_PASSWORD_FRAME)->ShowWindow(SW_HIDE);

    SetDlgItemText(IDC_PASSWORD_INFO, CToviString::GetString(12000));
    LOGFONTW lf = {};
    if (CFont* font = GetFont())
        font->GetLogFont(&lf);
    lf.lfWeight = FW_BOLD;
    m_fontBold.CreateFontIndirect(&lf);
    GetDlgItem(IDC_PASSWORD_INFO)->SetFont(&m_fontBold);
    CString label;
    label.Format(L"%s :", (const wchar_t*)CToviMsg::GetString(14034));
    SetDlgItemText(IDC_PASSWORD_LABEL, label);

    m_btnClose.SetBtnStyle(4);
    CRect client, close;
    GetClientRect(&client);
    m_btnClose.GetWindowRect(&close);
    m_btnClose.SetWindowPos(nullptr, client.Width() - close.Width() - 2, 0, 0, 0,
                            SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    m_btnOk.SetWindowText(CToviString::GetString(14061));
    m_btnOk.SetIcon(IDI_BTN_CONFIRM);
    m_btnOk.SetBtnStyle(13);
    m_btnCancel.SetWindowText(CToviString::GetString(14064));
    m_btnCancel.SetIcon(IDI_BTN_CANCEL);
    m_btnCancel.SetBtnStyle(14);
    GotoDlgCtrl(GetDlgItem(IDC_PASSWORD_EDIT));
    return FALSE;
}

BOOL CPasswordDlg::OnEraseBkgnd(CDC* pDC)
{
    CRect rc;
    GetClientRect(&rc);
    return DrawBkgnd(pDC, rc);
}

HBRUSH CPasswordDlg::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    if (nCtlColor == CTLCOLOR_STATIC && pWnd && pWnd->GetDlgCtrlID() == IDC_PASSWORD_INFO) {
        HBRUSH brush = CVantelDialog::OnCtlColor(pDC, pWnd, nCtlColor);
        pDC->SetTextColor(kInfoColor);
        return brush;
    }
    return CVantelDialog::OnCtlColor(pDC, pWnd, nCtlColor);
}

void CPasswordDlg::OnBnClickedOk()
{
    CString entry;
    GetDlgItemText(IDC_PASSWORD_EDIT, entry);
    if (entry.IsEmpty()) {
        CFileUtils::ToviMessageBox(this, CToviMsg::GetString(12000), L"CorvaneIXO", MB_ICONEXCLAMATION);
        GotoDlgCtrl(GetDlgItem(IDC_PASSWORD_EDIT));
        return;
    }
    const CString digest = loginrules::PasswordDigest(entry);
    char computed[65] = {};
    if (digest.GetLength() == 64)
        ::WideCharToMultiByte(CP_ACP, 0, digest, 64, computed, 64, nullptr, nullptr);
    if (digest.GetLength() != 64 || std::strncmp(computed, m_szExpectedHash, 64) != 0) {
        CFileUtils::ToviMessageBox(this, CToviString::GetString(14129), L"CorvaneIXO", MB_ICONEXCLAMATION);
        SetDlgItemText(IDC_PASSWORD_EDIT, L"");
        GotoDlgCtrl(GetDlgItem(IDC_PASSWORD_EDIT));
        return;
    }
    std::memcpy(m_szAcceptedHash, computed, sizeof(m_szAcceptedHash));
    EndDialog(IDOK);
}

void CPasswordDlg::OnBnClickedCancel()
{
    m_szAcceptedHash[0] = '\0';
    EndDialog(IDCANCEL);
}

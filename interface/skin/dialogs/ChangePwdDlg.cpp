// CChangePwdDlg: input checks, the server request and the painted panel.
#include "ChangePwdDlg.h"
#include "CommonDlgsRes.h"
#include "DataExchange.h"
#include "FileUtils.h"
#include "MessageBoxDlgRes.h"
#include "SkinRes.h"
#include "ToviMsg.h"
#include "ToviProto.h"
#include "ToviString.h"
#include "ToviTextLanguage.h"
#include "TraceLog.h"
#include <gdiplus.h>
#include <cstring>

IMPLEMENT_DYNAMIC(CChangePwdDlg, CVantelDialog)

BEGIN_MESSAGE_MAP(CChangePwdDlg, CVantelDialog)
    ON_WM_ERASEBKGND()
    ON_WM_CTLCOLOR()
    ON_BN_CLICKED(IDOK, OnBnClickedOk)
    ON_BN_CLICKED(IDCANCEL, OnBnClickedCancel)
    ON_BN_CLICKED(IDC_SYSBTN_CLOSE, OnBnClickedCancel)
END_MESSAGE_MAP()

namespace {

const wchar_t kCheckCaption[] = L"CorvaneIXO";
// The checks' texts in the message table.
const unsigned kMsgNewEmpty = 12160;
const unsigned kMsgConfirmEmpty = 12161;
const unsigned kMsgMismatch = 12162;
const COLORREF kNoticeColor = RGB(84, 141, 222);

// A rounded rectangle path with corner arcs of the given diameter.
void RoundedPath(Gdiplus::GraphicsPath& path, const CRect& rc, int diameter)
{
    const Gdiplus::REAL d = (Gdiplus::REAL)diameter;
    const Gdiplus::REAL l = (Gdiplus::REAL)rc.left, t = (Gdiplus::REAL)rc.top;
    const Gdiplus::REAL r = (Gdiplus::REAL)(rc.right - 1), b = (Gdiplus::REAL)(rc.bottom - 1);
    path.AddArc(l, t, d, d, 180.0f, 90.0f);
    path.AddArc(r - d, t, d, d, 270.0f, 90.0f);
    path.AddArc(r - d, b - d, d, d, 0.0f, 90.0f);
    path.AddArc(l, b - d, d, d, 90.0f, 90.0f);
    path.CloseFigure();
}

}

CChangePwdDlg::CChangePwdDlg(CWnd* pParent) : CVantelDialog(IDD_CHANGEPWD_DIALOG, pParent)
{
    m_nUIType = kUITypeLoginCorners;
}

int CChangePwdDlg::MultibyteLength(const CString& text)
{
    if (text.IsEmpty())
        return 0;
    return ::WideCharToMultiByte(CP_ACP, 0, text, text.GetLength(), nullptr, 0, nullptr, nullptr);
}

void CChangePwdDlg::DoDataExchange(CDataExchange* pDX)
{
    CVantelDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDOK, m_btnOk);
    DDX_Control(pDX, IDCANCEL, m_btnCancel);
    DDX_Control(pDX, IDC_SYSBTN_CLOSE, m_btnClose);
}

BOOL CChangePwdDlg::OnInitDialog()
{
    CVantelDialog::OnInitDialog();
    SetWindowText(L"Corvane IXO ChangePwd");
    SetTitleBar(CToviString::GetString(14063));
    GetDlgItem(IDC_CHANGEPWD_FRAME)->ShowWindow(SW_HIDE);
    SetDlgItemText(IDC_CHANGEPWD_NOTICE, CToviMsg::GetString(12016));
    const struct { int id; unsigned text; } labels[] = {
        { IDC_CHANGEPWD_CURRENT_LABEL, 14034 }, { IDC_CHANGEPWD_NEW_LABEL, 14071 }, { IDC_CHANGEPWD_CONFIRM_LABEL, 14072 },
    };
    for (const auto& label : labels) {
        CString text;
        text.Format(L"%s :", (const wchar_t*)CToviString::GetString(label.text));
        SetDlgItemText(label.id, text);
    }

    m_btnClose.SetBtnStyle(CToviButton::kStyleFrameClose);
    CRect client, close;
    GetClientRect(&client);
    m_btnClose.GetWindowRect(&close);
    m_btnClose.SetWindowPos(nullptr, client.Width() + 2 * close.Width() - 72, 0, 0, 0,
                            SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    m_btnOk.SetWindowText(CToviString::GetString(14061));
    m_btnOk.SetIcon(IDI_BTN_CONFIRM);
    m_btnOk.SetBtnStyle(13);
    m_btnCancel.SetWindowText(CToviString::GetString(14064));
    m_btnCancel.SetIcon(IDI_BTN_CANCEL);
    m_btnCancel.SetBtnStyle(14);

    if (m_bCurrentLocked) {
        GetDlgItem(IDC_CHANGEPWD_CURRENT)->EnableWindow(FALSE);
        GotoDlgCtrl(GetDlgItem(IDC_CHANGEPWD_NEW));
    } else {
        GotoDlgCtrl(GetDlgItem(IDC_CHANGEPWD_CURRENT));
    }
    return FALSE;
}

BOOL CChangePwdDlg::PreTranslateMessage(MSG* pMsg)
{
    // Enter in a password field must not send half-typed passwords: only the button does.
    if (pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_RETURN)
        return TRUE;
    return CVantelDialog::PreTranslateMessage(pMsg);
}

BOOL CChangePwdDlg::OnEraseBkgnd(CDC* pDC)
{
    CRect rc;
    GetClientRect(&rc);
    DrawBkgnd(pDC, rc);
    CRect frame;
    GetDlgItem(IDC_CHANGEPWD_FRAME)->GetWindowRect(&frame);
    ScreenToClient(&frame);
    Gdiplus::Graphics graphics(pDC->GetSafeHdc());
    graphics.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
    Gdiplus::GraphicsPath path;
    RoundedPath(path, frame, 14);
    Gdiplus::SolidBrush fill(Gdiplus::Color(0x8C, 255, 255, 255));
    graphics.FillPath(&fill, &path);
    Gdiplus::Pen pen(Gdiplus::Color(0xFF, 0xD9, 0xD9, 0xD9), 1.0f);
    graphics.DrawPath(&pen, &path);
    return TRUE;
}

HBRUSH CChangePwdDlg::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    if (nCtlColor == CTLCOLOR_STATIC && pWnd && pWnd->GetDlgCtrlID() != IDC_CHANGEPWD_CURRENT) {
        pDC->SetBkMode(TRANSPARENT);
        if (pWnd->GetDlgCtrlID() == IDC_CHANGEPWD_NOTICE)
            pDC->SetTextColor(kNoticeColor);
        return (HBRUSH)::GetStockObject(NULL_BRUSH);
    }
    return CVantelDialog::OnCtlColor(pDC, pWnd, nCtlColor);
}

void CChangePwdDlg::Refuse(const wchar_t* text, int focusId)
{
    CFileUtils::ToviMessageBox(this, text, kCheckCaption, MB_ICONHAND);
    GotoDlgCtrl(GetDlgItem(focusId));
}

void CChangePwdDlg::OnBnClickedOk()
{
    CString current, fresh, confirm;
    GetDlgItemText(IDC_CHANGEPWD_CURRENT, current);
    GetDlgItemText(IDC_CHANGEPWD_NEW, fresh);
    GetDlgItemText(IDC_CHANGEPWD_CONFIRM, confirm);
    if (fresh.IsEmpty()) {
        Refuse(CToviMsg::GetString(kMsgNewEmpty), IDC_CHANGEPWD_NEW);
        return;
    }
    if (confirm.IsEmpty()) {
        Refuse(CToviMsg::GetString(kMsgConfirmEmpty), IDC_CHANGEPWD_CONFIRM);
        return;
    }
    if (fresh != confirm) {
        Refuse(CToviMsg::GetString(kMsgMismatch), IDC_CHANGEPWD_CONFIRM);
        return;
    }
    // A longer password would be cut to fit its field and the user could never type it again.
    const bool currentTooLong = MultibyteLength(current) > kMaxPasswordBytes;
    if (currentTooLong || MultibyteLength(fresh) > kMaxPasswordBytes) {
        const bool korean = CToviTextLanguage::GetThreadLanguage() == LANG_KOREAN;
        Refuse(korean ? L"\xBE44\xBC00\xBC88\xD638\xB294 30\xBC14\xC774\xD2B8\xAE4C\xC9C0 "
                        L"\xC785\xB825\xD560 \xC218 \xC788\xC2B5\xB2C8\xB2E4."
                      : L"A password can be at most 30 bytes long.",
               currentTooLong ? IDC_CHANGEPWD_CURRENT : IDC_CHANGEPWD_NEW);
        return;
    }
    if (m_pProto == nullptr) {
        TraceLog(2048, L"[ CChangePwdDlg::OnBnClickedOk ] no session\n");
        const bool korean = CToviTextLanguage::GetThreadLanguage() == LANG_KOREAN;
        CFileUtils::ToviMessageBox(this, korean ? L"\xC11C\xBC84\xC5D0 \xC5F0\xACB0\xB418\xC5B4 \xC788\xC9C0 "
                                                  L"\xC54A\xC2B5\xB2C8\xB2E4."
                                                : L"Not connected to the server.",
                                   L"CorvaneIXO", MB_ICONHAND);
        return;
    }
    char currentBytes[kMaxPasswordBytes + 1] = {};
    char freshBytes[kMaxPasswordBytes + 1] = {};
    if (!current.IsEmpty())
        ::WideCharToMultiByte(CP_ACP, 0, current, current.GetLength(), currentBytes, kMaxPasswordBytes, nullptr, nullptr);
    ::WideCharToMultiByte(CP_ACP, 0, fresh, fresh.GetLength(), freshBytes, kMaxPasswordBytes, nullptr, nullptr);
    int result = m_pProto->GetResetPWD(currentBytes, freshBytes);
    SecureZeroMemory(currentBytes, sizeof(currentBytes));
    SecureZeroMemory(freshBytes, sizeof(freshBytes));
    if (result != 0) {
        CFileUtils::ToviMessageBox(this, m_pProto->ResultInfo.wszMessage, L"CorvaneIXO", MB_ICONHAND);
        return;
    }
    m_strNewPassword = fresh;
    EndDialog(IDOK);
}

void CChangePwdDlg::OnBnClickedCancel()
{
    EndDialog(IDCANCEL);
}

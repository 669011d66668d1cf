// CConfirmDlg: texts by case, the typed-name check and the painted panel.
#include "ConfirmDlg.h"
#include "CommonDlgsRes.h"
#include "DataExchange.h"
#include "FileUtils.h"
#include "MessageBoxDlgRes.h"
#include "SkinRes.h"
#include "ToviMsg.h"
#include "ToviString.h"
#include "TraceLog.h"
#include <algorithm>
#include <cwchar>

IMPLEMENT_DYNAMIC(CConfirmDlg, CVantelDialog)

BEGIN_MESSAGE_MAP(CConfirmDlg, CVantelDialog)
    ON_WM_ERASEBKGND()
    ON_WM_CTLCOLOR()
    ON_BN_CLICKED(IDOK, OnBnClickedOk)
    ON_BN_CLICKED(IDCANCEL, OnBnClickedCancel)
    ON_BN_CLICKED(IDC_SYSBTN_CLOSE, OnBnClickedCancel)
END_MESSAGE_MAP()

namespace {

const COLORREF kWarningColor = RGB(163, 21, 60);
const COLORREF kPanelBorder = RGB(217, 217, 217);

CString Ui(unsigned id)
{
    return CToviString::GetString(id);
}

CString Msg(unsigned id)
{
    return CToviMsg::GetString(id);
}

// "<kind> <word>", e.g. "File Delete".
CString KindTitle(const CString& kind, unsigned word)
{
    CString title;
    title.Format(CString(L"%s ") + Ui(word), (const wchar_t*)kind);
    return title;
}

// "<kind> '<name>' <message>".
CString KindText(const CString& kind, const CString& name, unsigned message)
{
    CString text;
    text.Format(CString(L"%s '%s' ") + Msg(message), (const wchar_t*)kind, (const wchar_t*)name);
    return text;
}

CString CountText(unsigned message, int count)
{
    CString text;
    text.Format(Msg(message), count);
    return text;
}

}

CConfirmDlg::CConfirmDlg(CWnd* pParent) : CVantelDialog(IDD_CONFIRM_DIALOG, pParent)
{
}

CString CConfirmDlg::Name() const
{
    return CString(m_szName, (int)wcsnlen(m_szName, 512));
}

void CConfirmDlg::ChooseTexts(CString& title, CString& text) const
{
    const CString kind = Ui(m_szType[0] == 'F' ? 14069 : 14068);
    const CString name = Name();
    title = Ui(14061);
    text.Empty();
    if (m_nMode == kModeTypeName) {
        title.Format(L"%s %s", (const wchar_t*)Ui(14263), (const wchar_t*)Ui(14159));
        text.Format(Ui(12132), (const wchar_t*)name);
    } else if (m_nMode == kModeRestore) {
        if (m_nCount == 1) {
            title = KindTitle(kind, 14045);
            text = KindText(kind, name, 12014);
        } else {
            title = Ui(14070);
            text = CountText(12015, m_nCount);
        }
    } else if (m_bOtherPlace == 0) {
        if (m_nCount == 1) {
            title = KindTitle(kind, m_bInTrash ? 14159 : 14049);
            text = KindText(kind, name, m_bInTrash ? 12010 : 12011);
        } else if (m_nCount >= 2) {
            title = Ui(m_bInTrash ? 14160 : 14067);
            text = CountText(m_bInTrash ? 12012 : 12013, m_nCount);
        }
    } else if (m_bNotice) {
        title = Ui(14049);
        text = Msg(12062);
    } else if (m_nCount == 1) {
        title = KindTitle(kind, m_bInTrash ? 14159 : 14049);
        text = KindText(kind, name, 12011);
    } else if (m_nCount >= 2) {
        title = Ui(14049);
        text = CountText(12013, m_nCount);
    }
}

void CConfirmDlg::DoDataExchange(CDataExchange* pDX)
{
    CVantelDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDOK, m_btnOk);
    DDX_Control(pDX, IDCANCEL, m_btnCancel);
    DDX_Control(pDX, IDC_SYSBTN_CLOSE, m_btnClose);
}

void CConfirmDlg::InitControl()
{
    m_btnClose.SetBtnStyle(CToviButton::kStyleCaptionClose);
    CRect client, close;
    GetClientRect(&client);
    m_btnClose.GetWindowRect(&close);
    m_btnClose.SetWindowPos(nullptr, client.Width() + 2 * close.Width() - 72, 2, 0, 0,
                            SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    GetDlgItem(IDC_CONFIRM_FRAME)->ShowWindow(SW_HIDE);
    const bool typed = m_nMode == kModeTypeName;
    m_btnOk.SetWindowText(Ui(typed ? 14061 : 14078));
    m_btnOk.SetIcon(IDI_BTN_CONFIRM);
    m_btnOk.SetBtnStyle(13);
    m_btnCancel.SetWindowText(Ui(typed ? 14064 : 14079));
    m_btnCancel.SetIcon(IDI_BTN_CANCEL);
    m_btnCancel.SetBtnStyle(14);
    // The buttons in the middle of the footer band that the background paints.
    for (CToviButton* button : { &m_btnOk, &m_btnCancel }) {
        CRect rc;
        button->GetWindowRect(&rc);
        ScreenToClient(&rc);
        button->SetWindowPos(nullptr, rc.left, client.bottom - 36 + (36 - rc.Height()) / 2, 0, 0,
                             SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (typed) {
        CString label;
        label.Format(L"%s %s : ", (const wchar_t*)Ui(14263), (const wchar_t*)Ui(14000));
        CWnd* labelWnd = GetDlgItem(IDC_CONFIRM_NAME_LABEL);
        CWnd* edit = GetDlgItem(IDC_CONFIRM_NAME);
        labelWnd->SetWindowText(label);
        labelWnd->SetWindowPos(nullptr, client.left + 22, client.bottom - 70, 110, 15, SWP_NOZORDER | SWP_NOACTIVATE);
        // A label longer than its place pushes the field right instead of hiding under it.
        int editLeft = client.left + 122;
        {
            CClientDC dc(labelWnd);
            CFont* old = m_fontDlg.GetSafeHandle() ? dc.SelectObject(&m_fontDlg) : nullptr;
            editLeft = std::max(editLeft, (int)(client.left + 22 + dc.GetTextExtent(label).cx + 2));
            if (old)
                dc.SelectObject(old);
        }
        if (editLeft > client.left + 122)
            labelWnd->SetWindowPos(nullptr, 0, 0, editLeft - client.left - 22, 15, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        edit->SetWindowPos(nullptr, editLeft, client.bottom - 73, 120, 20, SWP_NOZORDER | SWP_NOACTIVATE);
        labelWnd->ShowWindow(SW_SHOW);
        edit->ShowWindow(SW_SHOW);
    }
}

BOOL CConfirmDlg::OnInitDialog()
{
    CVantelDialog::OnInitDialog();
    InitControl();
    CString title, text;
    ChooseTexts(title, text);
    SetTitleBar(title);
    SetDlgItemText(IDC_CONFIRM_TEXT, text);
    if (m_nMode == kModeTypeName) {
        GotoDlgCtrl(GetDlgItem(IDC_CONFIRM_NAME));
        return FALSE;
    }
    return TRUE;
}

BOOL CConfirmDlg::OnEraseBkgnd(CDC* pDC)
{
    CRect rc;
    GetClientRect(&rc);
    DrawBkgnd(pDC, rc);
    CRect frame;
    GetDlgItem(IDC_CONFIRM_FRAME)->GetWindowRect(&frame);
    ScreenToClient(&frame);
    CPen pen(PS_SOLID, 1, kPanelBorder);
    CBrush white(RGB(255, 255, 255));
    CPen* oldPen = pDC->SelectObject(&pen);
    CBrush* oldBrush = pDC->SelectObject(&white);
    pDC->RoundRect(frame.left, frame.top, frame.right, frame.bottom, 7, 7);
    pDC->SelectObject(oldBrush);
    pDC->SelectObject(oldPen);
    if (m_nMode == kModeTypeName) {
        CFont* oldFont = m_fontDlg.GetSafeHandle() ? pDC->SelectObject(&m_fontDlg) : nullptr;
        pDC->SetBkMode(TRANSPARENT);
        COLORREF oldColor = pDC->SetTextColor(kWarningColor);
        CRect line(22, 75, 450, 120);
        line.right = std::min(line.right, rc.right - 22);
        CString warning = Msg(12133);
        ::DrawTextW(pDC->GetSafeHdc(), warning, warning.GetLength(), &line, DT_LEFT | DT_END_ELLIPSIS | DT_NOPREFIX);
        pDC->SetTextColor(oldColor);
        if (oldFont)
            pDC->SelectObject(oldFont);
    }
    return TRUE;
}

HBRUSH CConfirmDlg::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    if (nCtlColor == CTLCOLOR_STATIC && pWnd) {
        pDC->SetBkMode(TRANSPARENT);
        return (HBRUSH)::GetStockObject(NULL_BRUSH);
    }
    return CVantelDialog::OnCtlColor(pDC, pWnd, nCtlColor);
}

void CConfirmDlg::OnBnClickedOk()
{
    if (m_nMode != kModeTypeName) {
        EndDialog(IDOK);
        return;
    }
    CString typed;
    GetDlgItemText(IDC_CONFIRM_NAME, typed);
    unsigned fault = 0;
    if (typed.IsEmpty())
        fault = 12040;
    else if (typed.CompareNoCase(Name()) != 0)
        fault = 12134;
    if (fault) {
        CString message = Msg(fault);
        TraceLog(2, L" [ CConfirmDlg::OnBnClickedOk ] %s\n", (const wchar_t*)message);
        CFileUtils::ToviMessageBox(this, message, L"CorvaneIXO", MB_ICONEXCLAMATION);
        GotoDlgCtrl(GetDlgItem(IDC_CONFIRM_NAME));
        return;
    }
    TraceLog(1024, L" [ CConfirmDlg::OnBnClickedOk ] SAME!\n");
    EndDialog(IDOK);
}

void CConfirmDlg::OnBnClickedCancel()
{
    EndDialog(IDCANCEL);
}

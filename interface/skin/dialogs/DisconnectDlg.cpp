// CDisconnectDlg: texts, button layout that grows for long captions, and the three answers.
#include "DisconnectDlg.h"
#include "CommonDlgsRes.h"
#include "DataExchange.h"
#include "SkinRes.h"
#include "ToviMsg.h"
#include "ToviString.h"

IMPLEMENT_DYNAMIC(CDisconnectDlg, CVantelDialog)

BEGIN_MESSAGE_MAP(CDisconnectDlg, CVantelDialog)
    ON_WM_ERASEBKGND()
    ON_WM_CTLCOLOR()
    ON_BN_CLICKED(IDC_DISCONNECT_DRIVE, OnBnClickedDisconnect)
    ON_BN_CLICKED(IDC_DISCONNECT_EXPLORER, OnBnClickedExplorer)
    ON_BN_CLICKED(IDCANCEL, OnBnClickedCancel)
    ON_BN_CLICKED(IDC_SYSBTN_CLOSE, OnBnClickedCancel)
END_MESSAGE_MAP()

namespace {
const COLORREF kHeadingColor = RGB(84, 141, 222);
// Left margin, two gaps of 3 and the right margin of the button row.
const int kRowFrame = 26;
}

CDisconnectDlg::CDisconnectDlg(CWnd* pParent) : CVantelDialog(IDD_DISCONNECT_DIALOG, pParent)
{
}

int CDisconnectDlg::ButtonSpare(int clientWidth, int w1, int w2, int w3, int* grow)
{
    int spare = (clientWidth - w1 - w2 - w3 - kRowFrame) / 3;
    int more = 0;
    if (spare < kMinSpare) {
        more = w1 + w2 + w3 + kRowFrame + 3 * kMinSpare - clientWidth;
        spare = kMinSpare;
    }
    if (grow)
        *grow = more;
    return spare;
}

void CDisconnectDlg::DoDataExchange(CDataExchange* pDX)
{
    CVantelDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_DISCONNECT_DRIVE, m_btnDisconnect);
    DDX_Control(pDX, IDCANCEL, m_btnCancel);
    DDX_Control(pDX, IDC_DISCONNECT_EXPLORER, m_btnExplorer);
    DDX_Control(pDX, IDC_SYSBTN_CLOSE, m_btnClose);
}

BOOL CDisconnectDlg::OnInitDialog()
{
    CVantelDialog::OnInitDialog();
    SetWindowText(L"Corvane Drive IXO Disconnect");
    SetTitleBar(CToviString::GetString(14080));
    InitControl();
    return TRUE;
}

void CDisconnectDlg::InitControl()
{
    if (m_fontDlg.GetSafeHandle()) {
        LOGFONTW lf = {};
        ::GetObjectW(m_fontDlg.GetSafeHandle(), sizeof(lf), &lf);
        lf.lfWeight = 600;
        m_fontBold.DeleteObject();
        m_fontBold.CreateFontIndirect(&lf);
        GetDlgItem(IDC_DISCONNECT_HEADING)->SetFont(&m_fontBold);
    }
    SetDlgItemText(IDC_DISCONNECT_HEADING, CToviString::GetString(14081));
    SetDlgItemText(IDC_DISCONNECT_LINE1, CToviMsg::GetString(12017));
    SetDlgItemText(IDC_DISCONNECT_LINE2, CToviMsg::GetString(12018));

    m_btnClose.SetBtnStyle(CToviButton::kStyleCaptionClose);
    CToviButton* buttons[3] = { &m_btnDisconnect, &m_btnCancel, &m_btnExplorer };
    const unsigned captions[3] = { 14081, 14064, 14082 };
    int widths[3] = {};
    {
        CClientDC dc(this);
        CFont* old = m_fontDlg.GetSafeHandle() ? dc.SelectObject(&m_fontDlg) : nullptr;
        for (int i = 0; i < 3; ++i) {
            CString caption = CToviString::GetString(captions[i]);
            buttons[i]->SetWindowText(caption);
            buttons[i]->SetBtnStyle(15);
            widths[i] = dc.GetTextExtent(caption).cx;
        }
        if (old)
            dc.SelectObject(old);
    }

    CRect client;
    GetClientRect(&client);
    int grow = 0;
    const int spare = ButtonSpare(client.Width(), widths[0], widths[1], widths[2], &grow);
    if (grow > 0) {
        // A long translation widens the dialog instead of squeezing the buttons together.
        CRect window;
        GetWindowRect(&window);
        SetWindowPos(nullptr, window.left - grow / 2, window.top, window.Width() + grow, window.Height(),
                     SWP_NOZORDER | SWP_NOACTIVATE);
        GetClientRect(&client);
        for (int id : { IDC_DISCONNECT_HEADING, IDC_DISCONNECT_LINE1, IDC_DISCONNECT_LINE2 }) {
            CRect line;
            GetDlgItem(id)->GetWindowRect(&line);
            GetDlgItem(id)->SetWindowPos(nullptr, 0, 0, line.Width() + grow, line.Height(),
                                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
    CRect first;
    m_btnDisconnect.GetWindowRect(&first);
    ScreenToClient(&first);
    // The row in the middle of the footer band that the background paints.
    const int top = client.bottom - 36 + (36 - first.Height()) / 2;
    int x = 10;
    for (int i = 0; i < 3; ++i) {
        buttons[i]->SetWindowPos(nullptr, x, top, widths[i] + spare, first.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
        x += widths[i] + spare + 3;
    }
    CRect close;
    m_btnClose.GetWindowRect(&close);
    m_btnClose.SetWindowPos(nullptr, client.Width() + 2 * close.Width() - 72, 2, 0, 0,
                            SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL CDisconnectDlg::OnEraseBkgnd(CDC* pDC)
{
    CRect rc;
    GetClientRect(&rc);
    return DrawBkgnd(pDC, rc);
}

HBRUSH CDisconnectDlg::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    if (nCtlColor == CTLCOLOR_STATIC && pWnd) {
        pDC->SetBkMode(TRANSPARENT);
        if (pWnd->GetDlgCtrlID() == IDC_DISCONNECT_HEADING)
            pDC->SetTextColor(kHeadingColor);
        return (HBRUSH)::GetStockObject(NULL_BRUSH);
    }
    return CVantelDialog::OnCtlColor(pDC, pWnd, nCtlColor);
}

void CDisconnectDlg::OnBnClickedDisconnect()
{
    m_nResult = kResultDisconnect;
    EndDialog(IDOK);
}

void CDisconnectDlg::OnBnClickedExplorer()
{
    m_nResult = kResultExplorer;
    EndDialog(IDOK);
}

void CDisconnectDlg::OnBnClickedCancel()
{
    EndDialog(IDCANCEL);
}

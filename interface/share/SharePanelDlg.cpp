// CSharePanelDlg: the sharing windows' panels and helpers.
#include "SharePanelDlg.h"
#include "ShareCommon.h"
#include "SkinRes.h"

IMPLEMENT_DYNAMIC(CSharePanelDlg, CVantelDialog)

BEGIN_MESSAGE_MAP(CSharePanelDlg, CVantelDialog)
    ON_WM_CTLCOLOR()
    ON_WM_ERASEBKGND()
    ON_BN_CLICKED(IDC_SYSBTN_CLOSE, OnBnClickedBtnSysExit)
END_MESSAGE_MAP()

CSharePanelDlg::CSharePanelDlg(UINT templateId, CWnd* pParent, std::initializer_list<int> frames,
                               std::initializer_list<int> lines)
    : CVantelDialog(templateId, pParent), m_frames(frames), m_lines(lines)
{
}

bool CSharePanelDlg::Checked(int id) const
{
    return ::IsDlgButtonChecked(m_hWnd, id) == BST_CHECKED;
}

void CSharePanelDlg::Check(int id, bool on)
{
    ::CheckDlgButton(m_hWnd, id, on ? BST_CHECKED : BST_UNCHECKED);
}

void CSharePanelDlg::EnableItem(int id, bool enable)
{
    ::EnableWindow(::GetDlgItem(m_hWnd, id), enable ? TRUE : FALSE);
}

BOOL CSharePanelDlg::OnEraseBkgnd(CDC* pDC)
{
    return share::PaintPanels(this, pDC, m_frames, m_lines);
}

HBRUSH CSharePanelDlg::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    if (HBRUSH brush = share::PanelCtlColor(pDC->GetSafeHdc(), nCtlColor))
        return brush;
    return CVantelDialog::OnCtlColor(pDC, pWnd, nCtlColor);
}

void CSharePanelDlg::OnBnClickedBtnSysExit()
{
    OnCancel();
}

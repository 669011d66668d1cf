// CSampleDialog: the window tests' sample dialog.
#include "SampleDialog.h"
#include "DataExchange.h"
#include "SampleDialogRes.h"

IMPLEMENT_DYNAMIC(CSampleDialog, CDialog)

BEGIN_MESSAGE_MAP(CSampleDialog, CDialog)
    ON_EN_CHANGE(IDC_SAMPLE_NAME, OnNameChange)
    ON_BN_CLICKED(IDC_SAMPLE_REMEMBER, OnRememberClicked)
END_MESSAGE_MAP()

CSampleDialog::CSampleDialog(CWnd* pParent) : CDialog(IDD_SAMPLE_DIALOG, pParent)
{
}

void CSampleDialog::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_SAMPLE_SWATCH, m_swatch);
    DDX_Text(pDX, IDC_SAMPLE_NAME, m_strName);
    DDV_MaxChars(pDX, m_strName, 40);
    DDX_Check(pDX, IDC_SAMPLE_REMEMBER, m_bRemember);
    DDX_Radio(pDX, IDC_SAMPLE_SMALL, m_nSize);
}

BOOL CSampleDialog::OnInitDialog()
{
    CDialog::OnInitDialog();
    // The initial text set by the exchange is not a change by the user.
    m_nNameChanges = 0;
    SetDlgItemInt(IDC_SAMPLE_COUNT, 0);
    return TRUE;
}

void CSampleDialog::OnNameChange()
{
    ++m_nNameChanges;
    SetDlgItemInt(IDC_SAMPLE_COUNT, (UINT)m_nNameChanges);
}

void CSampleDialog::OnRememberClicked()
{
    // The swatch shows whether the name will be remembered.
    m_swatch.SetColor(IsDlgButtonChecked(IDC_SAMPLE_REMEMBER) ? RGB(0, 160, 60) : RGB(0, 120, 215));
}

// CFileDuplicateDlg: the name-conflict prompt.
#include "FileDuplicateDlg.h"
#include "DialogKit.h"
#include "SkinRes.h"
#include "ToviMsg.h"
#include "ToviString.h"
#include "TransferRes.h"

IMPLEMENT_DYNAMIC(CFileDuplicateDlg, CVantelDialog)

BEGIN_MESSAGE_MAP(CFileDuplicateDlg, CVantelDialog)
    ON_WM_ERASEBKGND()
    ON_BN_CLICKED(IDC_DUPLICATE_OVERWRITE, OnOverwrite)
    ON_BN_CLICKED(IDC_DUPLICATE_SKIP, OnSkip)
    ON_BN_CLICKED(IDC_SYSBTN_CLOSE, OnCloseButton)
END_MESSAGE_MAP()

const wchar_t CFileDuplicateDlg::kFindTitle[] = L"Corvane IXO FileDuplicateDlg";

namespace {
const UINT kCancelIcon = 528;
}

CFileDuplicateDlg::CFileDuplicateDlg(CWnd* pParent) : CVantelDialog(IDD_FILE_DUPLICATE, pParent)
{
}

void CFileDuplicateDlg::CloseOpenPrompt()
{
    HWND prompt = ::FindWindowW(L"#32770", kFindTitle);
    if (prompt)
        ::PostMessageW(prompt, WM_CLOSE, 0, 0);
}

BOOL CFileDuplicateDlg::OnInitDialog()
{
    CVantelDialog::OnInitDialog();
    SetWindowText(kFindTitle);
    SetTitleBar(CToviString::GetString(14061));
    const bool file = m_szKind[0] == 'F' && m_szKind[1] == 0;
    SetDlgItemText(IDC_DUPLICATE_QUESTION, CToviMsg::GetString(file ? 12026 : 12027).GetString());
    SetDlgItemText(IDC_DUPLICATE_NAME, m_strName.GetString());
    // The system's own check box, drawn with its box and tick on the dialog's background (the
    // skinned flat button has no check-box look).
    SetDlgItemText(IDC_DUPLICATE_APPLY_ALL, CToviMsg::GetString(12059).GetString());
    dialogkit::SkinButton(m_btnOverwrite, this, IDC_DUPLICATE_OVERWRITE, 13, CToviString::GetString(14096), 0);
    dialogkit::SkinButton(m_btnSkip, this, IDC_DUPLICATE_SKIP, 13, CToviString::GetString(14097), 0);
    dialogkit::SkinButton(m_btnCancel, this, IDCANCEL, 14, CToviString::GetString(14064), kCancelIcon);
    dialogkit::SkinButton(m_btnClose, this, IDC_SYSBTN_CLOSE, CToviButton::kStyleCaptionClose, CString(), 0);
    dialogkit::PlaceCloseButton(this, &m_btnClose);
    return TRUE;
}

BOOL CFileDuplicateDlg::OnEraseBkgnd(CDC* pDC)
{
    CRect rect;
    GetClientRect(&rect);
    return DrawBkgnd(pDC, rect);
}

bool CFileDuplicateDlg::ApplyAllTicked() const
{
    return ::SendMessageW(::GetDlgItem(m_hWnd, IDC_DUPLICATE_APPLY_ALL), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void CFileDuplicateDlg::OnOverwrite()
{
    if (ApplyAllTicked())
        m_bApplyAll = 1;
    EndDialog(kOverwrite);
}

void CFileDuplicateDlg::OnSkip()
{
    if (ApplyAllTicked())
        m_bApplyAll = 1;
    EndDialog(kSkip);
}

void CFileDuplicateDlg::OnCancel()
{
    EndDialog(kCancel);
}

void CFileDuplicateDlg::OnCloseButton()
{
    OnCancel();
}

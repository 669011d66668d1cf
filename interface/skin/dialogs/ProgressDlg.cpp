// CProgressDlg: its text line and the set of live dialogs that makes a late stop safe.
#include "ProgressDlg.h"
#include "CommonDlgsRes.h"
#include "ToviMsg.h"
#include "ToviString.h"
#include <mutex>
#include <set>

IMPLEMENT_DYNAMIC(CProgressDlg, CVantelDialog)

BEGIN_MESSAGE_MAP(CProgressDlg, CVantelDialog)
    ON_WM_ERASEBKGND()
    ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

namespace {

std::mutex& LiveLock()
{
    static std::mutex lock;
    return lock;
}

std::set<const CProgressDlg*>& Live()
{
    static std::set<const CProgressDlg*> live;
    return live;
}

}

CProgressDlg::CProgressDlg(CWnd* pParent) : CVantelDialog(IDD_PROGRESS_DIALOG, pParent)
{
    m_nUIType = kUITypeProgress;
}

CProgressDlg::~CProgressDlg()
{
    std::lock_guard<std::mutex> hold(LiveLock());
    Live().erase(this);
}

BOOL CProgressDlg::Create()
{
    if (!CVantelDialog::Create(IDD_PROGRESS_DIALOG, m_pParentWnd))
        return FALSE;
    std::lock_guard<std::mutex> hold(LiveLock());
    Live().insert(this);
    return TRUE;
}

bool CProgressDlg::IsAlive(const CProgressDlg* dlg)
{
    std::lock_guard<std::mutex> hold(LiveLock());
    return dlg != nullptr && Live().count(dlg) != 0;
}

BOOL CProgressDlg::OnInitDialog()
{
    CVantelDialog::OnInitDialog();
    SetTitleBar(CToviString::GetString(14153));
    SetDlgItemText(IDC_PROGRESS_TEXT, CToviMsg::GetString(12057));
    return FALSE;
}

void CProgressDlg::StartProgress(CString text)
{
    if (m_hWnd == nullptr)
        return;
    SetDlgItemText(IDC_PROGRESS_TEXT, text);
    // The line lies on the painted background: repaint both, or old text shows through.
    CWnd* line = GetDlgItem(IDC_PROGRESS_TEXT);
    if (line && line->GetSafeHwnd()) {
        CRect rc;
        line->GetWindowRect(&rc);
        ScreenToClient(&rc);
        RedrawWindow(&rc, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    }
}

void CProgressDlg::StopProgress()
{
    if (m_hWnd != nullptr)
        DestroyWindow();
}

bool CProgressDlg::StopProgress(CProgressDlg* dlg)
{
    if (!IsAlive(dlg))
        return false;
    dlg->StopProgress();
    return true;
}

void CProgressDlg::Toggle(CProgressDlg*& dlg, CWnd* parent, bool show, const CString& text)
{
    if (!show) {
        StopProgress(dlg);
        dlg = nullptr;
        return;
    }
    if (IsAlive(dlg))
        return;
    dlg = new CProgressDlg(parent);
    if (!dlg->Create()) {
        delete dlg;
        dlg = nullptr;
        return;
    }
    dlg->StartProgress(text);
    dlg->UpdateWindow();
}

void CProgressDlg::PostNcDestroy()
{
    {
        std::lock_guard<std::mutex> hold(LiveLock());
        Live().erase(this);
    }
    CVantelDialog::PostNcDestroy();
    delete this;
}

BOOL CProgressDlg::OnEraseBkgnd(CDC* pDC)
{
    CRect rc;
    GetClientRect(&rc);
    return DrawBkgnd(pDC, rc);
}

HBRUSH CProgressDlg::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    if (nCtlColor == CTLCOLOR_STATIC && pWnd) {
        pDC->SetBkMode(TRANSPARENT);
        return (HBRUSH)::GetStockObject(NULL_BRUSH);
    }
    return CVantelDialog::OnCtlColor(pDC, pWnd, nCtlColor);
}

// CDialog: template loading, creation, the modal loop and the default OK/Cancel handling.
#include "Dialog.h"
#include "Resources.h"
#include "Trace.h"
#include "WinApp.h"
#include "WinThread.h"
#include "WndProc.h"

IMPLEMENT_DYNAMIC(CDialog, CWnd)

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_COMMAND(IDOK, OnOK)
    ON_COMMAND(IDCANCEL, OnCancel)
END_MESSAGE_MAP()

namespace {
// The dialog manager's procedure: everything is handled in the subclassed window procedure,
// so the dialog manager does its default for each message.
INT_PTR CALLBACK FwDlgProc(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}
}

CDialog::CDialog() = default;

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_lpszTemplateName(MAKEINTRESOURCE(nIDTemplate)), m_nIDHelp(nIDTemplate), m_pParentWnd(pParentWnd)
{
}

CDialog::CDialog(LPCTSTR lpszTemplateName, CWnd* pParentWnd) : m_pParentWnd(pParentWnd)
{
    if (IS_INTRESOURCE(lpszTemplateName)) {
        m_lpszTemplateName = lpszTemplateName;
        m_nIDHelp = (UINT)(UINT_PTR)lpszTemplateName;
    } else {
        m_strTemplateName = lpszTemplateName;
        m_lpszTemplateName = m_strTemplateName.GetString();
    }
}

bool CDialog::LoadTemplate(LPCTSTR name, LPCDLGTEMPLATE* ppTemplate, HINSTANCE* phModule) const
{
    if (name == nullptr)
        return false;
    HINSTANCE module = AfxFindResourceHandle(name, RT_DIALOG);
    HRSRC resource = ::FindResource(module, name, RT_DIALOG);
    HGLOBAL loaded = resource ? ::LoadResource(module, resource) : nullptr;
    *ppTemplate = loaded ? (LPCDLGTEMPLATE)::LockResource(loaded) : nullptr;
    *phModule = module;
    if (*ppTemplate == nullptr) {
        FwTrace("CDialog", "dialog template not found");
        return false;
    }
    return true;
}

bool CDialog::CreateFromTemplate(LPCDLGTEMPLATE lpTemplate, HWND hWndParent, HINSTANCE hInstance)
{
    if (m_hWnd != nullptr) {
        FwTrace("CDialog", "the object already has a window");
        return false;
    }
    FwEnsureCommonControls();
    FwHookWindowCreate(this, nullptr);
    HWND hWnd = ::CreateDialogIndirectParamW(hInstance, lpTemplate, hWndParent, &FwDlgProc, 0);
    bool attached = FwUnhookWindowCreate();
    if (hWnd == nullptr) {
        if (!attached)
            PostNcDestroy();
        return false;
    }
    return true;
}

HWND CDialog::ModalOwner() const
{
    HWND owner = m_pParentWnd ? m_pParentWnd->GetSafeHwnd() : nullptr;
    if (owner == nullptr) {
        CWnd* pMain = AfxGetMainWnd();
        HWND main = pMain ? pMain->GetSafeHwnd() : nullptr;
        if (main && ::IsWindowVisible(main) && ::GetWindowThreadProcessId(main, nullptr) == ::GetCurrentThreadId())
            owner = main;
        else
            owner = ::GetActiveWindow();
    }
    while (owner && (::GetWindowLongPtr(owner, GWL_STYLE) & WS_CHILD) && ::GetParent(owner))
        owner = ::GetParent(owner);
    return owner;
}

INT_PTR CDialog::DoModal()
{
    LPCDLGTEMPLATE lpTemplate = nullptr;
    HINSTANCE hModule = nullptr;
    if (!LoadTemplate(m_lpszTemplateName, &lpTemplate, &hModule))
        return -1;
    HWND owner = ModalOwner();
    bool reenableOwner = false;
    if (owner && ::IsWindowEnabled(owner)) {
        ::EnableWindow(owner, FALSE);
        reenableOwner = true;
    }
    m_bModal = true;
    m_bContinueModal = true;
    m_nModalResult = -1;
    if (CreateFromTemplate(lpTemplate, owner, hModule)) {
        if (m_bContinueModal) {   // OnInitDialog may have ended it already
            if (!(GetStyle() & WS_VISIBLE))
                ShowWindow(SW_SHOWNORMAL);
            ContinueModalLoop();
        }
        if (m_hWnd)
            ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                           SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
    }
    // The owner comes back before the dialog goes, so activation returns to it.
    if (reenableOwner) {
        ::EnableWindow(owner, TRUE);
        ::SetActiveWindow(owner);
    }
    int result = m_nModalResult;
    m_bModal = false;
    m_bContinueModal = false;
    if (m_hWnd)
        DestroyWindow();
    return result;
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd)
{
    return Create(MAKEINTRESOURCE(nIDTemplate), pParentWnd);
}

BOOL CDialog::Create(LPCTSTR lpszTemplateName, CWnd* pParentWnd)
{
    if (!IS_INTRESOURCE(lpszTemplateName) && lpszTemplateName != m_lpszTemplateName) {
        m_strTemplateName = lpszTemplateName;
        lpszTemplateName = m_strTemplateName.GetString();
    }
    m_lpszTemplateName = lpszTemplateName;
    if (IS_INTRESOURCE(lpszTemplateName) && m_nIDHelp == 0)
        m_nIDHelp = (UINT)(UINT_PTR)lpszTemplateName;
    if (pParentWnd)
        m_pParentWnd = pParentWnd;
    LPCDLGTEMPLATE lpTemplate = nullptr;
    HINSTANCE hModule = nullptr;
    if (!LoadTemplate(m_lpszTemplateName, &lpTemplate, &hModule))
        return FALSE;
    m_bModal = false;
    return CreateFromTemplate(lpTemplate, m_pParentWnd->GetSafeHwnd(), hModule);
}

BOOL CDialog::CreateIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd, HINSTANCE hInstance)
{
    if (pParentWnd)
        m_pParentWnd = pParentWnd;
    m_bModal = false;
    return CreateFromTemplate(lpDialogTemplate, m_pParentWnd->GetSafeHwnd(),
                              hInstance ? hInstance : AfxGetInstanceHandle());
}

void CDialog::EndDialog(int nResult)
{
    if (m_bModal) {
        EndModalLoop(nResult);
    } else if (m_hWnd) {
        ::EndDialog(m_hWnd, nResult);
    }
}

BOOL CDialog::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (message == WM_INITDIALOG) {
        *pResult = OnInitDialog();
        return TRUE;
    }
    return CWnd::OnWndMsg(message, wParam, lParam, pResult);
}

BOOL CDialog::OnInitDialog()
{
    if (!UpdateData(FALSE))
        FwTrace("CDialog::OnInitDialog", "data exchange failed");
    return TRUE;
}

void CDialog::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

BOOL CDialog::PreTranslateMessage(MSG* pMsg)
{
    bool input = (pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST)
                 || (pMsg->message >= WM_MOUSEFIRST && pMsg->message <= WM_MOUSELAST);
    if (!input || m_hWnd == nullptr)
        return FALSE;
    if (pMsg->hwnd != m_hWnd && !::IsChild(m_hWnd, pMsg->hwnd))
        return FALSE;
    return ::IsDialogMessage(m_hWnd, pMsg);
}

void CDialog::GotoDlgCtrl(CWnd* pWndCtrl)
{
    if (pWndCtrl && pWndCtrl->m_hWnd)
        ::SendMessage(m_hWnd, WM_NEXTDLGCTL, (WPARAM)pWndCtrl->m_hWnd, TRUE);
}

void CDialog::NextDlgCtrl() const
{
    ::SendMessage(m_hWnd, WM_NEXTDLGCTL, 0, FALSE);
}

void CDialog::PrevDlgCtrl() const
{
    ::SendMessage(m_hWnd, WM_NEXTDLGCTL, 1, FALSE);
}

void CDialog::SetDefID(UINT nID)
{
    ::SendMessage(m_hWnd, DM_SETDEFID, nID, 0);
}

DWORD CDialog::GetDefID() const
{
    return (DWORD)::SendMessage(m_hWnd, DM_GETDEFID, 0, 0);
}

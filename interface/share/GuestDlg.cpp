// CGuestDlg: guest settings of one folder.
#include "GuestDlg.h"
#include "CircularProgressThread.h"
#include "FileUtils.h"
#include "GuestMultiDlg.h"
#include "ShareRes.h"
#include "SkinRes.h"
#include "ToviMsg.h"
#include "ToviProto.h"
#include "ToviString.h"
#include "TransferCommon.h"
#include <cstdlib>
#include <cstring>

IMPLEMENT_DYNAMIC(CGuestDlg, CVantelDialog)

BEGIN_MESSAGE_MAP(CGuestDlg, CVantelDialog)
    ON_WM_CTLCOLOR()
    ON_WM_CREATE()
    ON_WM_ERASEBKGND()
    ON_BN_CLICKED(IDC_GUEST_NO_LIMIT, OnBnClickedCheckNoLimit)
    ON_BN_CLICKED(IDOK, OnBnClickedOk)
    ON_BN_CLICKED(IDC_SYSBTN_CLOSE, OnBnClickedBtnSysExit)
    ON_BN_CLICKED(IDC_GUEST_RESET_PWD, OnBnClickedResetPWD)
    ON_MESSAGE(WM_ERROR_DISP, OnErrorDisp)
    ON_MESSAGE(WM_CIRCULAR_PROGRESS, OnCircularProgress)
END_MESSAGE_MAP()

namespace {

template <size_t N>
void CopyText(char (&to)[N], const char* from)
{
    strncpy(to, from ? from : "", N - 1);
    to[N - 1] = 0;
}

}

CGuestDlg::CGuestDlg(CWnd* pParent) : CVantelDialog(IDD_GUEST, pParent) {}

CGuestDlg::~CGuestDlg()
{
    if (m_pProto) {
        m_pProto->CloseSocket();
        delete m_pProto;
    }
}

bool CGuestDlg::QuotaFits(const char* typed, const char* folderQuota)
{
    const long long limit = _strtoi64(folderQuota, nullptr, 10);
    // A folder without a quota of its own sets no bound.
    if (limit <= 0)
        return true;
    return _strtoi64(typed, nullptr, 10) <= limit;
}

int CGuestDlg::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CVantelDialog::OnCreate(lpCreateStruct) == -1)
        return -1;
    if (!m_pProto) {
        m_pProto = new CToviProto();
        m_pProto->NoTimerFlag = 8;
        m_session.CopyTo(*m_pProto);
    }
    return 0;
}

BOOL CGuestDlg::OnInitDialog()
{
    CVantelDialog::OnInitDialog();
    if (!m_pProto) {
        m_pProto = new CToviProto();
        m_pProto->NoTimerFlag = 8;
        m_session.CopyTo(*m_pProto);
    }
    const CString title = CToviString::GetString(m_nNewFolder ? 14006 : 14007);
    SetWindowText(title);
    SetTitleBar(title);
    InitControl();

    char folder[11];
    memcpy(folder, m_szFolderId, sizeof folder);
    if (m_pProto->GetGuestInfo(folder) != 0) {
        m_pProto->SharedUGroupInfo.clear();
        transfer::MessageBox(m_hWnd, m_pProto->ResultInfo.wszMessage, MB_ICONHAND);
        EndDialog(IDCANCEL);
        return TRUE;
    }
    if (m_wszFolderName[0])
        SetDlgItemText(IDC_GUEST_NAME, m_wszFolderName);
    const _PROTO_SHARED_INFO& info = m_pProto->SharedInfo;
    if (info.szEmail[0])
        SetDlgItemText(IDC_GUEST_EMAIL, CString(info.szEmail));
    CString text;
    if (_strtoi64(info.szGuestQuota, nullptr, 10) > 0) {
        text.Format(L"%I64u", _strtoui64(info.szGuestQuota, nullptr, 10));
        SetDlgItemText(IDC_GUEST_QUOTA, text);
    }
    if (_strtoi64(info.szQuota, nullptr, 10) > 0) {
        text.Format(L"MB / %I64u MB", _strtoui64(info.szQuota, nullptr, 10));
        SetDlgItemText(IDC_GUEST_QUOTA_UNIT, text);
    }
    SYSTEMTIME from = {}, to = {};
    if (info.szPeriodFrom[0] && info.szPeriodTo[0] && share::ParseDate(info.szPeriodFrom, &from) &&
        share::ParseDate(info.szPeriodTo, &to)) {
        ::CheckDlgButton(m_hWnd, IDC_GUEST_NO_LIMIT, BST_UNCHECKED);
        ::EnableWindow(::GetDlgItem(m_hWnd, IDC_GUEST_FROM), TRUE);
        ::EnableWindow(::GetDlgItem(m_hWnd, IDC_GUEST_TO), TRUE);
        DateTime_SetSystemtime(::GetDlgItem(m_hWnd, IDC_GUEST_FROM), GDT_VALID, &from);
        DateTime_SetSystemtime(::GetDlgItem(m_hWnd, IDC_GUEST_TO), GDT_VALID, &to);
    }
    ::CheckDlgButton(m_hWnd, IDC_GUEST_READ, info.szPermission[1] == '2' ? BST_CHECKED : BST_UNCHECKED);
    ::CheckDlgButton(m_hWnd, IDC_GUEST_WRITE, info.szPermission[2] == '2' ? BST_CHECKED : BST_UNCHECKED);
    ::CheckDlgButton(m_hWnd, IDC_GUEST_DELETE, info.szPermission[3] == '2' ? BST_CHECKED : BST_UNCHECKED);
    m_pProto->CloseSocket();
    if (!m_wszFolderName[0]) {
        ::SetFocus(::GetDlgItem(m_hWnd, IDC_GUEST_NAME));
        return FALSE;
    }
    return TRUE;
}

void CGuestDlg::InitControl()
{
    SetDlgItemText(IDC_GUEST_HEAD, CToviMsg::GetString(12036));
    SetDlgItemText(IDC_GUEST_HINT, CToviMsg::GetString(12113));
    share::SetTexts(this, {{IDC_GUEST_NAME_LABEL, 14110}, {IDC_GUEST_EMAIL_LABEL, 14111},
                           {IDC_GUEST_QUOTA_LABEL, 14189}, {IDC_GUEST_PERIOD_LABEL, 14112},
                           {IDC_GUEST_NO_LIMIT, 14113}, {IDC_GUEST_HEAD_RIGHTS, 14117}, {IDC_GUEST_READ, 14114},
                           {IDC_GUEST_WRITE, 14115}, {IDC_GUEST_DELETE, 14159}});
    CString unit;
    unit.Format(L"M / %s", CToviString::GetString(14099).GetString());
    SetDlgItemText(IDC_GUEST_QUOTA_UNIT, unit);
    ::SendDlgItemMessageW(m_hWnd, IDC_GUEST_NAME, EM_LIMITTEXT, 512, 0);
    ::SendDlgItemMessageW(m_hWnd, IDC_GUEST_EMAIL, EM_LIMITTEXT, CGuestMultiDlg::kMaxEmailBytes, 0);
    ::SendDlgItemMessageW(m_hWnd, IDC_GUEST_QUOTA, EM_LIMITTEXT, 10, 0);
    transfer::SkinButton(m_btnOk, this, IDOK, 13, CToviString::GetString(14109), 526);
    transfer::SkinButton(m_btnCancel, this, IDCANCEL, 14, CToviString::GetString(14064), 528);
    transfer::SkinButton(m_btnClose, this, IDC_SYSBTN_CLOSE, CToviButton::kStyleCaptionClose, CString(), 0);
    transfer::PlaceCloseButton(this, &m_btnClose);
    ::CheckDlgButton(m_hWnd, IDC_GUEST_NO_LIMIT, BST_CHECKED);
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_GUEST_FROM), FALSE);
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_GUEST_TO), FALSE);

    if (m_nNewFolder || m_szResetOption[0] != 'Y')
        return;
    transfer::SkinButton(m_btnReset, this, IDC_GUEST_RESET_PWD, 15, CToviString::GetString(14241), 0);
    // The reset button goes under the rights panel; the dialog grows to hold it.
    CRect panel, reset, ok, cancel, window;
    ::GetWindowRect(::GetDlgItem(m_hWnd, IDC_SHARE_FRAME_RIGHT), &panel);
    m_btnReset.GetWindowRect(&reset);
    m_btnOk.GetWindowRect(&ok);
    m_btnCancel.GetWindowRect(&cancel);
    GetWindowRect(&window);
    const int grow = reset.Height() + 10;
    for (CRect* r : {&panel, &reset, &ok, &cancel})
        ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(r), 2);
    m_btnReset.MoveWindow(panel.left + 8, panel.bottom + 10, reset.Width(), reset.Height());
    m_btnOk.MoveWindow(ok.left, ok.top + grow, ok.Width(), ok.Height());
    m_btnCancel.MoveWindow(cancel.left, cancel.top + grow, cancel.Width(), cancel.Height());
    SetWindowPos(nullptr, 0, 0, window.Width(), window.Height() + grow, SWP_NOMOVE | SWP_NOZORDER);
    m_btnReset.ShowWindow(SW_SHOW);
}

BOOL CGuestDlg::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_RETURN) {
        OnBnClickedOk();
        return TRUE;
    }
    return CVantelDialog::PreTranslateMessage(pMsg);
}

void CGuestDlg::OnBnClickedCheckNoLimit()
{
    const BOOL period = ::IsDlgButtonChecked(m_hWnd, IDC_GUEST_NO_LIMIT) != BST_CHECKED;
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_GUEST_FROM), period);
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_GUEST_TO), period);
}

void CGuestDlg::Refuse(unsigned messageId, int focusId, bool empty)
{
    transfer::MessageBox(m_hWnd, CToviMsg::GetString(messageId), MB_ICONEXCLAMATION);
    if (empty)
        SetDlgItemText(focusId, L"");
    ::SetFocus(::GetDlgItem(m_hWnd, focusId));
}

void CGuestDlg::OnBnClickedOk()
{
    CString name, email, quota;
    GetDlgItemText(IDC_GUEST_NAME, name);
    if (CFileUtils::CheckFolderName(this, name) != 0) {
        ::SetFocus(::GetDlgItem(m_hWnd, IDC_GUEST_NAME));
        return;
    }
    GetDlgItemText(IDC_GUEST_EMAIL, email);
    if (email.IsEmpty() || !CGuestMultiDlg::VerifyEmailAddress(email.GetString())) {
        Refuse(12041, IDC_GUEST_EMAIL);
        return;
    }
    GetDlgItemText(IDC_GUEST_QUOTA, quota);
    const CStringA quotaText(quota);
    if (quota.IsEmpty()) {
        Refuse(12044, IDC_GUEST_QUOTA, true);
        return;
    }
    if (!QuotaFits(quotaText.GetString(), m_pProto->SharedInfo.szQuota)) {
        Refuse(12043, IDC_GUEST_QUOTA, true);
        return;
    }
    char from[11] = {}, to[11] = {};
    if (::IsDlgButtonChecked(m_hWnd, IDC_GUEST_NO_LIMIT) != BST_CHECKED) {
        SYSTEMTIME first = {}, last = {};
        DateTime_GetSystemtime(::GetDlgItem(m_hWnd, IDC_GUEST_FROM), &first);
        DateTime_GetSystemtime(::GetDlgItem(m_hWnd, IDC_GUEST_TO), &last);
        if (share::DayNumber(first) > share::DayNumber(last)) {
            transfer::MessageBox(m_hWnd, CToviMsg::GetString(12104), MB_ICONEXCLAMATION);
            return;
        }
        share::FormatDate(first, from);
        share::FormatDate(last, to);
    }
    const bool read = ::IsDlgButtonChecked(m_hWnd, IDC_GUEST_READ) == BST_CHECKED;
    const bool write = ::IsDlgButtonChecked(m_hWnd, IDC_GUEST_WRITE) == BST_CHECKED;
    const bool remove = ::IsDlgButtonChecked(m_hWnd, IDC_GUEST_DELETE) == BST_CHECKED;
    if (!read && !write && !remove) {
        Refuse(12045, IDC_GUEST_READ);
        return;
    }
    _PROTO_SHARED_INFO info = {};
    wcsncpy(info.wszFolderName, name.GetString(), 511);
    CopyText(info.szEmail, CStringA(email).GetString());
    CopyText(info.szGuestQuota, quotaText.GetString());
    CopyText(info.szPeriodFrom, from);
    CopyText(info.szPeriodTo, to);
    const char word[5] = {'2', read ? '2' : '0', write ? '2' : '0', remove ? '2' : '0', 0};
    CopyText(info.szPermission, word);
    m_info = info;

    DisableControl(FALSE);
    m_bDone = false;
    SendMessage(WM_CIRCULAR_PROGRESS, 0, 0);
    share::RunWorker(GuestThread, this);
    SendMessage(WM_CIRCULAR_PROGRESS, static_cast<WPARAM>(-1), 0);
    if (m_bDone) {
        EndDialog(IDOK);
        return;
    }
    DisableControl(TRUE);
}

UINT CGuestDlg::GuestThread(LPVOID param)
{
    auto* self = static_cast<CGuestDlg*>(param);
    if (!self)
        return static_cast<UINT>(-1);
    CToviProto* proto = self->m_pProto;
    char folder[11];
    memcpy(folder, self->m_szFolderId, sizeof folder);
    if (proto->SetGuestInfo(folder, self->m_nNewFolder, &self->m_info) != 0) {
        ::PostMessageW(self->GetSafeHwnd(), WM_ERROR_DISP, static_cast<WPARAM>(proto->ResultInfo.nResultCode), 0);
        self->m_bDone = false;
        return static_cast<UINT>(-1);
    }
    for (int step = 0; step < PROTO_MAX_STEPS && proto->ContinueFlag[0] == 'Y'; ++step) {
        if (proto->GetGuestContinue(const_cast<char*>("Y")) != 0) {
            ::PostMessageW(self->GetSafeHwnd(), WM_ERROR_DISP, 0, 0);
            self->m_bDone = false;
            return static_cast<UINT>(-1);
        }
    }
    self->m_bDone = true;
    proto->CloseSocket();
    return 0;
}

void CGuestDlg::OnBnClickedResetPWD()
{
    for (int id : {IDC_GUEST_RESET_PWD, IDOK, IDCANCEL, IDC_SYSBTN_CLOSE})
        ::EnableWindow(::GetDlgItem(m_hWnd, id), FALSE);
    SendMessage(WM_CIRCULAR_PROGRESS, 0, 0);
    share::RunWorker(ResetThread, this);
    SendMessage(WM_CIRCULAR_PROGRESS, static_cast<WPARAM>(-1), 0);
    for (int id : {IDC_GUEST_RESET_PWD, IDOK, IDCANCEL, IDC_SYSBTN_CLOSE})
        ::EnableWindow(::GetDlgItem(m_hWnd, id), TRUE);
}

UINT CGuestDlg::ResetThread(LPVOID param)
{
    auto* self = static_cast<CGuestDlg*>(param);
    if (!self)
        return static_cast<UINT>(-1);
    CToviProto* proto = self->m_pProto;
    char folder[11];
    memcpy(folder, self->m_szFolderId, sizeof folder);
    if (proto->SetGuestResetPWD(folder) != 0) {
        ::PostMessageW(self->GetSafeHwnd(), WM_ERROR_DISP, static_cast<WPARAM>(proto->ResultInfo.nResultCode), 0);
        return static_cast<UINT>(-1);
    }
    for (int step = 0; step < PROTO_MAX_STEPS && proto->ContinueFlag[0] == 'Y'; ++step) {
        if (proto->SetGuestResetPWDContinue(const_cast<char*>("Y")) != 0) {
            ::PostMessageW(self->GetSafeHwnd(), WM_ERROR_DISP, 0, 0);
            return static_cast<UINT>(-1);
        }
    }
    proto->CloseSocket();
    return 0;
}

LRESULT CGuestDlg::OnErrorDisp(WPARAM, LPARAM)
{
    transfer::MessageBox(m_hWnd, m_pProto->ResultInfo.wszMessage, MB_ICONHAND);
    return 0;
}

LRESULT CGuestDlg::OnCircularProgress(WPARAM wParam, LPARAM)
{
    if (wParam == 0) {
        ActivateWindow(m_hWnd);
        UpdateWindow();
        if (!m_pSpinner)
            m_pSpinner = CCircularProgressThread::Start(this, 50, 0x9E6723);
        // Shown once its window exists, so that a short request cannot stop it half made.
        if (m_pSpinner && m_pSpinner->WaitUntilReady(2000))
            m_pSpinner->SetShow(true);
    } else if (m_pSpinner) {
        CCircularProgressThread::Stop(m_pSpinner);
        m_pSpinner = nullptr;
    }
    return 0;
}

void CGuestDlg::DisableControl(BOOL enable)
{
    for (int id : {IDC_GUEST_NAME, IDC_GUEST_EMAIL, IDC_GUEST_QUOTA, IDC_GUEST_FROM, IDC_GUEST_TO, IDC_SYSBTN_CLOSE,
                   IDC_GUEST_NO_LIMIT, IDC_GUEST_READ, IDC_GUEST_WRITE, IDC_GUEST_DELETE, IDOK, IDCANCEL})
        ::EnableWindow(::GetDlgItem(m_hWnd, id), enable);
    if (enable && ::IsDlgButtonChecked(m_hWnd, IDC_GUEST_NO_LIMIT) == BST_CHECKED) {
        ::EnableWindow(::GetDlgItem(m_hWnd, IDC_GUEST_FROM), FALSE);
        ::EnableWindow(::GetDlgItem(m_hWnd, IDC_GUEST_TO), FALSE);
    }
}

void CGuestDlg::OnBnClickedBtnSysExit()
{
    OnCancel();
}

BOOL CGuestDlg::OnEraseBkgnd(CDC* pDC)
{
    return share::PaintPanels(this, pDC, {IDC_SHARE_FRAME_LEFT, IDC_SHARE_FRAME_RIGHT});
}

HBRUSH CGuestDlg::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    if (HBRUSH brush = share::PanelCtlColor(pDC->GetSafeHdc(), nCtlColor))
        return brush;
    return CVantelDialog::OnCtlColor(pDC, pWnd, nCtlColor);
}

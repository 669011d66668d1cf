// CGuestDlg: guest settings of one folder.
#include "GuestDlg.h"
#include "DialogKit.h"
#include "EmailAddress.h"
#include "FileUtils.h"
#include "GuestMultiDlg.h"
#include "ShareRes.h"
#include "SkinRes.h"
#include "ToviMsg.h"
#include "ToviProto.h"
#include "ToviString.h"
#include <cstdlib>
#include <cstring>

IMPLEMENT_DYNAMIC(CGuestDlg, CGuestBaseDlg)

BEGIN_MESSAGE_MAP(CGuestDlg, CGuestBaseDlg)
    ON_BN_CLICKED(IDC_GUEST_NO_LIMIT, OnBnClickedCheckNoLimit)
    ON_BN_CLICKED(IDOK, OnBnClickedOk)
    ON_BN_CLICKED(IDC_GUEST_RESET_PWD, OnBnClickedResetPWD)
    ON_MESSAGE(WM_ERROR_DISP, OnErrorDisp)
END_MESSAGE_MAP()

using share::CopyText;

CGuestDlg::CGuestDlg(CWnd* pParent) : CGuestBaseDlg(IDD_GUEST, pParent) {}

bool CGuestDlg::QuotaFits(const char* typed, const char* folderQuota)
{
    const long long limit = _strtoi64(folderQuota, nullptr, 10);
    // A folder without a quota of its own sets no bound.
    if (limit <= 0)
        return true;
    return _strtoi64(typed, nullptr, 10) <= limit;
}

BOOL CGuestDlg::OnInitDialog()
{
    CVantelDialog::OnInitDialog();
    MakeSession();
    SetFolderTitle();
    InitControl();

    char folder[11];
    memcpy(folder, m_szFolderId, sizeof folder);
    if (m_pProto->GetGuestInfo(folder) != 0) {
        m_pProto->SharedUGroupInfo.clear();
        dialogkit::MessageBox(m_hWnd, m_pProto->ResultInfo.wszMessage, MB_ICONHAND);
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
    if (share::ShowPeriod(m_hWnd, IDC_GUEST_FROM, IDC_GUEST_TO, info.szPeriodFrom, info.szPeriodTo)) {
        ::CheckDlgButton(m_hWnd, IDC_GUEST_NO_LIMIT, BST_UNCHECKED);
        OnBnClickedCheckNoLimit();
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
    ::SendDlgItemMessageW(m_hWnd, IDC_GUEST_EMAIL, EM_LIMITTEXT, kMaxEmailBytes, 0);
    ::SendDlgItemMessageW(m_hWnd, IDC_GUEST_QUOTA, EM_LIMITTEXT, 10, 0);
    SkinButtons(14109);
    ::CheckDlgButton(m_hWnd, IDC_GUEST_NO_LIMIT, BST_CHECKED);
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_GUEST_FROM), FALSE);
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_GUEST_TO), FALSE);

    if (m_nNewFolder || m_szResetOption[0] != 'Y')
        return;
    dialogkit::SkinButton(m_btnReset, this, IDC_GUEST_RESET_PWD, 15, CToviString::GetString(14241), 0);
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

void CGuestDlg::OnBnClickedOk()
{
    CString name, email, quota;
    GetDlgItemText(IDC_GUEST_NAME, name);
    if (CFileUtils::CheckFolderName(this, name) != 0) {
        ::SetFocus(::GetDlgItem(m_hWnd, IDC_GUEST_NAME));
        return;
    }
    GetDlgItemText(IDC_GUEST_EMAIL, email);
    if (email.IsEmpty() || !VerifyEmailAddress(email.GetString())) {
        share::Refuse(this, 12041, IDC_GUEST_EMAIL);
        return;
    }
    GetDlgItemText(IDC_GUEST_QUOTA, quota);
    const CStringA quotaText(quota);
    if (quota.IsEmpty()) {
        share::Refuse(this, 12044, IDC_GUEST_QUOTA, true);
        return;
    }
    if (!QuotaFits(quotaText.GetString(), m_pProto->SharedInfo.szQuota)) {
        share::Refuse(this, 12043, IDC_GUEST_QUOTA, true);
        return;
    }
    char from[11] = {}, to[11] = {};
    if (::IsDlgButtonChecked(m_hWnd, IDC_GUEST_NO_LIMIT) != BST_CHECKED &&
        !share::ReadPeriod(m_hWnd, IDC_GUEST_FROM, IDC_GUEST_TO, from, to))
        return;
    const bool read = ::IsDlgButtonChecked(m_hWnd, IDC_GUEST_READ) == BST_CHECKED;
    const bool write = ::IsDlgButtonChecked(m_hWnd, IDC_GUEST_WRITE) == BST_CHECKED;
    const bool remove = ::IsDlgButtonChecked(m_hWnd, IDC_GUEST_DELETE) == BST_CHECKED;
    if (!read && !write && !remove) {
        share::Refuse(this, 12045, IDC_GUEST_READ);
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
    RunWorker(GuestThread);
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
    const Steps steps = self->RunSteps([&] { return proto->SetGuestInfo(folder, self->m_nNewFolder, &self->m_info); },
                                       [&] { return proto->GetGuestContinue(const_cast<char*>("Y")); });
    self->m_bDone = steps == Steps::kDone;
    return self->ReportSteps(steps);
}

void CGuestDlg::OnBnClickedResetPWD()
{
    for (int id : {IDC_GUEST_RESET_PWD, IDOK, IDCANCEL, IDC_SYSBTN_CLOSE})
        ::EnableWindow(::GetDlgItem(m_hWnd, id), FALSE);
    RunWorker(ResetThread);
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
    return self->ReportSteps(self->RunSteps([&] { return proto->SetGuestResetPWD(folder); },
                                            [&] { return proto->SetGuestResetPWDContinue(const_cast<char*>("Y")); }));
}

UINT CGuestDlg::ReportSteps(Steps steps)
{
    if (steps == Steps::kDone)
        return 0;
    // The first request's failure carries its code; a failed step carries none.
    const WPARAM code = steps == Steps::kFirstFailed ? static_cast<WPARAM>(m_pProto->ResultInfo.nResultCode) : 0;
    ::PostMessageW(GetSafeHwnd(), WM_ERROR_DISP, code, 0);
    return static_cast<UINT>(-1);
}

LRESULT CGuestDlg::OnErrorDisp(WPARAM, LPARAM)
{
    dialogkit::MessageBox(m_hWnd, m_pProto->ResultInfo.wszMessage, MB_ICONHAND);
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

// CGuestMultiDlg: the guest folder and its guests.
#include "GuestMultiDlg.h"
#include "CircularProgressThread.h"
#include "FileUtils.h"
#include "GuestDlg.h"
#include "ShareRes.h"
#include "SkinRes.h"
#include "ToviMsg.h"
#include "ToviRegistry.h"
#include "ToviString.h"
#include "TransferCommon.h"
#include <cstdlib>
#include <cstring>

IMPLEMENT_DYNAMIC(CGuestMultiDlg, CVantelDialog)

BEGIN_MESSAGE_MAP(CGuestMultiDlg, CVantelDialog)
    ON_WM_CTLCOLOR()
    ON_WM_CREATE()
    ON_WM_ERASEBKGND()
    ON_WM_DESTROY()
    ON_BN_CLICKED(IDC_GMULTI_PERIOD_ON, OnBnClickedCheckDate)
    ON_BN_CLICKED(IDC_GMULTI_APPLY_PERM, OnBnClickedBtnSetPerm)
    ON_BN_CLICKED(IDC_GMULTI_ADD, OnBnClickedBtnAddGuest)
    ON_BN_CLICKED(IDC_GMULTI_REMOVE, OnBnClickedBtnRemoveGuest)
    ON_BN_CLICKED(IDC_SYSBTN_CLOSE, OnBnClickedBtnSysExit)
    ON_BN_CLICKED(IDOK, OnBnClickedOk)
    ON_MESSAGE(WM_GUEST_ADDRESS_REFUSED, OnRenameAgain)
    ON_MESSAGE(WM_GUEST_ADDRESS_CHANGED, OnAddGuest)
    ON_MESSAGE(WM_CIRCULAR_PROGRESS, OnCircularProgress)
END_MESSAGE_MAP()

namespace {

const wchar_t kNewRowText[] = L"Email address";

template <size_t N>
void CopyText(char (&to)[N], const char* from)
{
    strncpy(to, from ? from : "", N - 1);
    to[N - 1] = 0;
}

bool AllDigits(const CString& text)
{
    for (int i = 0; i < text.GetLength(); ++i)
        if (text[i] < L'0' || text[i] > L'9')
            return false;
    return true;
}

}

CGuestMultiDlg::CGuestMultiDlg(CWnd* pParent) : CVantelDialog(IDD_GUEST_MULTI, pParent) {}

CGuestMultiDlg::~CGuestMultiDlg()
{
    if (m_pProto) {
        m_pProto->CloseSocket();
        delete m_pProto;
    }
}

int CGuestMultiDlg::OnCreate(LPCREATESTRUCT lpCreateStruct)
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

_PROTO_GUEST_USER_INFO* CGuestMultiDlg::Record(int row) const
{
    return reinterpret_cast<_PROTO_GUEST_USER_INFO*>(m_list.GetItemData(row));
}

BOOL CGuestMultiDlg::OnInitDialog()
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
    SetDlgItemText(IDC_GUEST_HEAD, CToviMsg::GetString(12036));
    SetDlgItemText(IDC_GUEST_HINT, CToviMsg::GetString(12113));
    SetDlgItemText(IDC_GMULTI_NOTE, CToviMsg::GetString(12114) + L"\r\n\r\n" + CToviMsg::GetString(12115));
    share::SetTexts(this, {{IDC_GUEST_NAME_LABEL, 14110}, {IDC_GUEST_QUOTA_LABEL, 14189},
                           {IDC_GMULTI_PERIOD_ON, 14112}, {IDC_GUEST_HEAD_RIGHTS, 14117}, {IDC_GUEST_READ, 14173},
                           {IDC_GUEST_WRITE, 14174}, {IDC_GUEST_DELETE, 14175}, {IDC_GMULTI_APPLY_PERM, 14163},
                           {IDC_GMULTI_ADD, 14164}, {IDC_GMULTI_REMOVE, 14165}});
    CString unit;
    unit.Format(L"M / %s", CToviString::GetString(14099).GetString());
    SetDlgItemText(IDC_GUEST_QUOTA_UNIT, unit);
    ::SendDlgItemMessageW(m_hWnd, IDC_GUEST_QUOTA, EM_LIMITTEXT, 10, 0);
    transfer::SkinButton(m_btnOk, this, IDOK, 13, CToviString::GetString(14065), 526);
    transfer::SkinButton(m_btnCancel, this, IDCANCEL, 14, CToviString::GetString(14064), 528);
    transfer::SkinButton(m_btnClose, this, IDC_SYSBTN_CLOSE, CToviButton::kStyleCaptionClose, CString(), 0);
    transfer::PlaceCloseButton(this, &m_btnClose);
    ::CheckDlgButton(m_hWnd, IDC_GMULTI_PERIOD_ON, BST_UNCHECKED);
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_GUEST_FROM), FALSE);
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_GUEST_TO), FALSE);
    unsigned short language = 18;
    CToviRegistry::GetLanguage(0, &language);
    if (language == 9) {
        DateTime_SetFormat(::GetDlgItem(m_hWnd, IDC_GUEST_FROM), L"dd/MM/yyyy");
        DateTime_SetFormat(::GetDlgItem(m_hWnd, IDC_GUEST_TO), L"dd/MM/yyyy");
    }
    for (int id : {IDC_GUEST_READ, IDC_GUEST_WRITE, IDC_GUEST_DELETE})
        ::CheckDlgButton(m_hWnd, id, BST_CHECKED);

    m_list.m_nListType = CVantelListCtrl::kTypeGuests;
    m_list.SubclassDlgItem(IDC_GMULTI_LIST, this);
    m_list.SetExtendedStyle(LVS_EX_GRIDLINES | LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
    m_list.InsertColumn(0, CToviString::GetString(14111), LVCFMT_LEFT, 218);
    m_list.InsertColumn(1, CToviString::GetString(14177), LVCFMT_CENTER, 84);
    m_list.InsertColumn(2, CToviString::GetString(14086), LVCFMT_CENTER, 48);

    char folder[20];
    memcpy(folder, m_szFolderId, sizeof folder);
    if (m_pProto->GetGuestMultiInfo(folder) != 0) {
        m_pProto->GuestUsers.clear();
        transfer::MessageBox(m_hWnd, m_pProto->ResultInfo.wszMessage, MB_ICONHAND);
        EndDialog(IDCANCEL);
        return TRUE;
    }
    if (m_wszFolderName[0])
        SetDlgItemText(IDC_GUEST_NAME, m_wszFolderName);
    const _PROTO_GUEST_FOLDER_INFO& info = m_pProto->GuestFolderInfo;
    CString text;
    if (_strtoi64(info.szQuota, nullptr, 10) > 0) {
        text.Format(L"%I64u", _strtoui64(info.szQuota, nullptr, 10));
        SetDlgItemText(IDC_GUEST_QUOTA, text);
    }
    if (_strtoi64(info.szFreeQuota, nullptr, 10) > 0) {
        text.Format(L"MB / %I64u MB", _strtoui64(info.szFreeQuota, nullptr, 10));
        SetDlgItemText(IDC_GUEST_QUOTA_UNIT, text);
    }
    SYSTEMTIME from = {}, to = {};
    if (info.szPeriodFrom[0] && info.szPeriodTo[0] && share::ParseDate(info.szPeriodFrom, &from) &&
        share::ParseDate(info.szPeriodTo, &to)) {
        ::CheckDlgButton(m_hWnd, IDC_GMULTI_PERIOD_ON, BST_CHECKED);
        OnBnClickedCheckDate();
        DateTime_SetSystemtime(::GetDlgItem(m_hWnd, IDC_GUEST_FROM), GDT_VALID, &from);
        DateTime_SetSystemtime(::GetDlgItem(m_hWnd, IDC_GUEST_TO), GDT_VALID, &to);
    }
    for (const _PROTO_GUEST_USER_INFO& guest : m_pProto->GuestUsers) {
        auto* copy = new _PROTO_GUEST_USER_INFO{};
        memcpy(copy->szEmail, guest.szEmail, sizeof copy->szEmail);
        memcpy(copy->szPermission, guest.szPermission, sizeof copy->szPermission);
        memcpy(copy->cStatus, guest.cStatus, sizeof copy->cStatus);
        const int row = m_list.InsertItem(m_list.GetItemCount(), CString(guest.szEmail));
        m_list.SetItemData(row, reinterpret_cast<DWORD_PTR>(copy));
        m_list.SetCheck(row, guest.cStatus[0] == 'Y');
    }
    m_pProto->ReleaseGuestUsers();
    if (!m_wszFolderName[0]) {
        ::SetFocus(::GetDlgItem(m_hWnd, IDC_GUEST_NAME));
        return FALSE;
    }
    return TRUE;
}

void CGuestMultiDlg::RightsWord(char (&word)[5]) const
{
    word[0] = '2';
    word[1] = ::IsDlgButtonChecked(m_hWnd, IDC_GUEST_READ) == BST_CHECKED ? '2' : '0';
    word[2] = ::IsDlgButtonChecked(m_hWnd, IDC_GUEST_WRITE) == BST_CHECKED ? '2' : '0';
    word[3] = ::IsDlgButtonChecked(m_hWnd, IDC_GUEST_DELETE) == BST_CHECKED ? '2' : '0';
    word[4] = 0;
}

void CGuestMultiDlg::EditRow(int row)
{
    m_list.ModifyStyle(0, LVS_EDITLABELS);
    m_list.SetFocus();
    HWND edit = ListView_EditLabel(m_list.GetSafeHwnd(), row);
    if (!edit) {
        m_list.ModifyStyle(LVS_EDITLABELS, 0);
        return;
    }
    // The record keeps a terminator after the address: the edit stops short of it.
    ::SendMessageW(edit, EM_LIMITTEXT, kMaxEmailBytes, 0);
}

void CGuestMultiDlg::OnBnClickedBtnAddGuest()
{
    m_list.SetFocus();
    auto* record = new _PROTO_GUEST_USER_INFO{};
    record->cNewRow = 1;
    const int row = m_list.InsertItem(m_list.GetItemCount(), kNewRowText);
    m_list.SetItemData(row, reinterpret_cast<DWORD_PTR>(record));
    m_list.EnsureVisible(row, FALSE);
    EditRow(row);
}

LRESULT CGuestMultiDlg::OnRenameAgain(WPARAM wParam, LPARAM lParam)
{
    if (static_cast<int>(wParam) > 0)
        transfer::MessageBox(m_hWnd, CToviMsg::GetString(static_cast<unsigned>(wParam)), MB_ICONEXCLAMATION);
    EditRow(static_cast<int>(lParam));
    return 0;
}

LRESULT CGuestMultiDlg::OnAddGuest(WPARAM, LPARAM lParam)
{
    const int row = static_cast<int>(lParam);
    _PROTO_GUEST_USER_INFO* record = Record(row);
    if (!record)
        return 1;
    const bool added = record->cStatus[0] == 0;
    CopyText(record->szEmail, CStringA(m_list.GetItemText(row, 0)).GetString());
    if (!added)
        return 0;
    char word[5];
    RightsWord(word);
    CopyText(record->szPermission, word);
    CopyText(record->cStatus, "R");
    m_list.SetCheck(row, TRUE);
    m_list.Invalidate();
    OnBnClickedBtnAddGuest();
    return 0;
}

void CGuestMultiDlg::OnBnClickedBtnSetPerm()
{
    char word[5];
    RightsWord(word);
    for (int row = 0; row < m_list.GetItemCount(); ++row)
        if (m_list.GetCheck(row))
            if (_PROTO_GUEST_USER_INFO* record = Record(row))
                CopyText(record->szPermission, word);
    m_list.Invalidate();
}

void CGuestMultiDlg::OnBnClickedBtnRemoveGuest()
{
    for (int row = m_list.GetItemCount() - 1; row >= 0; --row)
        if (m_list.GetCheck(row))
            m_list.DeleteItem(row);   // record freed by LVN_DELETEITEM
}

void CGuestMultiDlg::OnBnClickedCheckDate()
{
    const BOOL on = ::IsDlgButtonChecked(m_hWnd, IDC_GMULTI_PERIOD_ON) == BST_CHECKED;
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_GUEST_FROM), on);
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_GUEST_TO), on);
}

void CGuestMultiDlg::Refuse(unsigned messageId, int focusId, bool empty)
{
    transfer::MessageBox(m_hWnd, CToviMsg::GetString(messageId), MB_ICONEXCLAMATION);
    if (empty)
        SetDlgItemText(focusId, L"");
    ::SetFocus(::GetDlgItem(m_hWnd, focusId));
}

void CGuestMultiDlg::OnBnClickedOk()
{
    _PROTO_GUEST_FOLDER_INFO folder = {};
    CopyText(folder.cMode, m_nNewFolder ? "Y" : "N");
    CString name, quota;
    GetDlgItemText(IDC_GUEST_NAME, name);
    if (CFileUtils::CheckFolderName(this, name) != 0) {
        ::SetFocus(::GetDlgItem(m_hWnd, IDC_GUEST_NAME));
        return;
    }
    wcsncpy(folder.wszFolderName, name.GetString(), 511);
    GetDlgItemText(IDC_GUEST_QUOTA, quota);
    if (quota.IsEmpty()) {
        Refuse(12044, IDC_GUEST_QUOTA, true);
        return;
    }
    if (!AllDigits(quota)) {
        Refuse(12122, IDC_GUEST_QUOTA, true);
        return;
    }
    const CStringA quotaText(quota);
    if (_strtoi64(quotaText.GetString(), nullptr, 10) <= 0) {
        Refuse(12083, IDC_GUEST_QUOTA, true);
        return;
    }
    if (!CGuestDlg::QuotaFits(quotaText.GetString(), m_pProto->GuestFolderInfo.szFreeQuota)) {
        Refuse(12043, IDC_GUEST_QUOTA, true);
        return;
    }
    CopyText(folder.szQuota, quotaText.GetString());
    if (::IsDlgButtonChecked(m_hWnd, IDC_GMULTI_PERIOD_ON) == BST_CHECKED) {
        SYSTEMTIME first = {}, last = {};
        DateTime_GetSystemtime(::GetDlgItem(m_hWnd, IDC_GUEST_FROM), &first);
        DateTime_GetSystemtime(::GetDlgItem(m_hWnd, IDC_GUEST_TO), &last);
        if (share::DayNumber(first) > share::DayNumber(last)) {
            transfer::MessageBox(m_hWnd, CToviMsg::GetString(12104), MB_ICONEXCLAMATION);
            return;
        }
        share::FormatDate(first, folder.szPeriodFrom);
        share::FormatDate(last, folder.szPeriodTo);
    }
    if (m_list.GetItemCount() == 0) {
        transfer::MessageBox(m_hWnd, CToviMsg::GetString(12041), MB_ICONEXCLAMATION);
        return;
    }
    m_pProto->GuestUsers.clear();
    bool anyInactive = false;
    for (int row = 0; row < m_list.GetItemCount(); ++row) {
        const _PROTO_GUEST_USER_INFO* record = Record(row);
        if (!record || record->cNewRow)
            continue;
        _PROTO_GUEST_USER_INFO guest = {};
        memcpy(guest.szEmail, record->szEmail, sizeof guest.szEmail);
        memcpy(guest.szPermission, record->szPermission, sizeof guest.szPermission);
        const bool active = record->cStatus[0] == 'R' || m_list.GetCheck(row);
        guest.cStatus[0] = active ? 'Y' : 'N';
        anyInactive = anyInactive || !active;
        m_pProto->GuestUsers.push_back(guest);
    }
    m_folder = folder;
    DisableControl(FALSE);
    m_bDone = false;
    SendMessage(WM_CIRCULAR_PROGRESS, 0, 0);
    share::RunWorker(GuestThread, this);
    SendMessage(WM_CIRCULAR_PROGRESS, static_cast<WPARAM>(-1), 0);
    if (!m_bDone) {
        DisableControl(TRUE);
        return;
    }
    if (anyInactive && m_pProto->GuestMultiIdx[0] &&
        transfer::MessageBox(m_hWnd, CToviMsg::GetString(12112), MB_YESNO | MB_ICONQUESTION) == IDYES) {
        DisableControl(TRUE);
        m_nNewFolder = 0;
        CopyText(m_szFolderId, m_pProto->GuestMultiIdx);
        ResetGuestStatus();
        return;
    }
    EndDialog(IDOK);
}

UINT CGuestMultiDlg::GuestThread(LPVOID param)
{
    auto* self = static_cast<CGuestMultiDlg*>(param);
    if (!self)
        return 0;
    CToviProto* proto = self->m_pProto;
    char folder[20];
    memcpy(folder, self->m_szFolderId, sizeof folder);
    int result = proto->SetGuestMultiInfo(folder, &self->m_folder);
    for (int step = 0; result == 0 && step < PROTO_MAX_STEPS && proto->ContinueFlag[0] == 'Y'; ++step)
        result = proto->GetGuestMultiContinue(const_cast<char*>("Y"));
    if (result != 0) {
        transfer::MessageBox(self->GetSafeHwnd(), proto->ResultInfo.wszMessage, MB_ICONHAND);
        self->m_bDone = false;
        return 0;
    }
    self->m_bDone = true;
    proto->CloseSocket();
    return 0;
}

void CGuestMultiDlg::ResetGuestStatus()
{
    for (const _PROTO_GUEST_USER_INFO& guest : m_pProto->GuestUsers) {
        const CString email(guest.szEmail);
        for (int row = 0; row < m_list.GetItemCount(); ++row) {
            _PROTO_GUEST_USER_INFO* record = Record(row);
            if (record && m_list.GetItemText(row, 0) == email && record->cStatus[0] != guest.cStatus[0])
                memcpy(record->cStatus, guest.cStatus, sizeof record->cStatus);
        }
    }
    m_list.Invalidate();
}

LRESULT CGuestMultiDlg::OnCircularProgress(WPARAM wParam, LPARAM)
{
    if (wParam == 0) {
        ActivateWindow(m_hWnd);
        UpdateWindow();
        if (!m_pSpinner)
            m_pSpinner = CCircularProgressThread::Start(this, 50, 0x9E6723);
        if (m_pSpinner && m_pSpinner->WaitUntilReady(2000))
            m_pSpinner->SetShow(true);
    } else if (m_pSpinner) {
        CCircularProgressThread::Stop(m_pSpinner);
        m_pSpinner = nullptr;
    }
    return 0;
}

void CGuestMultiDlg::DisableControl(BOOL enable)
{
    for (int id : {IDC_GUEST_NAME, IDC_GUEST_QUOTA, IDC_GMULTI_PERIOD_ON, IDC_GUEST_FROM, IDC_GUEST_TO,
                   IDC_GUEST_READ, IDC_GUEST_WRITE, IDC_GUEST_DELETE, IDC_GMULTI_APPLY_PERM, IDC_GMULTI_ADD,
                   IDC_GMULTI_REMOVE, IDC_SYSBTN_CLOSE, IDOK, IDCANCEL})
        ::EnableWindow(::GetDlgItem(m_hWnd, id), enable);
    if (enable)
        OnBnClickedCheckDate();
}

void CGuestMultiDlg::OnBnClickedBtnSysExit()
{
    OnCancel();
}

void CGuestMultiDlg::OnDestroy()
{
    if (m_list.GetSafeHwnd())
        m_list.DeleteAllItems();
    CVantelDialog::OnDestroy();
}

BOOL CGuestMultiDlg::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    auto* header = reinterpret_cast<NMHDR*>(lParam);
    if (header->idFrom == IDC_GMULTI_LIST && header->code == LVN_DELETEITEM) {
        delete reinterpret_cast<_PROTO_GUEST_USER_INFO*>(reinterpret_cast<NMLISTVIEW*>(header)->lParam);
        *pResult = 0;
        return TRUE;
    }
    return CVantelDialog::OnNotify(wParam, lParam, pResult);
}

BOOL CGuestMultiDlg::OnEraseBkgnd(CDC* pDC)
{
    return share::PaintPanels(this, pDC, {IDC_SHARE_FRAME_LEFT, IDC_SHARE_FRAME_RIGHT});
}

HBRUSH CGuestMultiDlg::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    if (HBRUSH brush = share::PanelCtlColor(pDC->GetSafeHdc(), nCtlColor))
        return brush;
    return CVantelDialog::OnCtlColor(pDC, pWnd, nCtlColor);
}

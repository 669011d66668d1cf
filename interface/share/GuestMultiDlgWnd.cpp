// CGuestMultiDlg: the guest folder and its guests.
#include "GuestMultiDlg.h"
#include "DialogKit.h"
#include "EmailAddress.h"
#include "FileUtils.h"
#include "GuestDlg.h"
#include "ListIconsRes.h"
#include "ShareRes.h"
#include "SkinRes.h"
#include "ToviMsg.h"
#include "ToviRegistry.h"
#include "ToviString.h"
#include "VImageList.h"
#include <cstdlib>
#include <cstring>

IMPLEMENT_DYNAMIC(CGuestMultiDlg, CGuestBaseDlg)

BEGIN_MESSAGE_MAP(CGuestMultiDlg, CGuestBaseDlg)
    ON_WM_DESTROY()
    ON_BN_CLICKED(IDC_GMULTI_PERIOD_ON, OnBnClickedCheckDate)
    ON_BN_CLICKED(IDC_GMULTI_APPLY_PERM, OnBnClickedBtnSetPerm)
    ON_BN_CLICKED(IDC_GMULTI_ADD, OnBnClickedBtnAddGuest)
    ON_BN_CLICKED(IDC_GMULTI_REMOVE, OnBnClickedBtnRemoveGuest)
    ON_BN_CLICKED(IDOK, OnBnClickedOk)
    ON_MESSAGE(WM_GUEST_ADDRESS_REFUSED, OnRenameAgain)
    ON_MESSAGE(WM_GUEST_ADDRESS_CHANGED, OnAddGuest)
END_MESSAGE_MAP()

using share::CopyText;

namespace {

const wchar_t kNewRowText[] = L"Email address";

bool AllDigits(const CString& text)
{
    for (int i = 0; i < text.GetLength(); ++i)
        if (text[i] < L'0' || text[i] > L'9')
            return false;
    return true;
}

}

CGuestMultiDlg::CGuestMultiDlg(CWnd* pParent) : CGuestMultiDlg(IDD_GUEST_MULTI, true, pParent) {}

CGuestMultiDlg::CGuestMultiDlg(UINT templateId, bool folderPeriod, CWnd* pParent)
    : CGuestBaseDlg(templateId, pParent), m_bFolderPeriod(folderPeriod)
{
}

_PROTO_GUEST_USER_INFO* CGuestMultiDlg::Record(int row) const
{
    return reinterpret_cast<_PROTO_GUEST_USER_INFO*>(m_list.GetItemData(row));
}

void CGuestMultiDlg::InitList(const _PROTO_GUEST_FOLDER_INFO&)
{
    m_list.m_nListType = CVantelListCtrl::kTypeGuests;
    m_list.SubclassDlgItem(IDC_GMULTI_LIST, this);
    m_list.SetExtendedStyle(LVS_EX_GRIDLINES | LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
    m_list.InsertColumn(0, CToviString::GetString(14111), LVCFMT_LEFT, 218);
    m_list.InsertColumn(1, CToviString::GetString(14177), LVCFMT_CENTER, 84);
    m_list.InsertColumn(2, CToviString::GetString(14086), LVCFMT_CENTER, 48);
}

void CGuestMultiDlg::ShowGuest(int, const _PROTO_GUEST_USER_INFO&) {}

void CGuestMultiDlg::NewRowInserted(int) {}

void CGuestMultiDlg::CompleteGuest(int, _PROTO_GUEST_USER_INFO&) {}

BOOL CGuestMultiDlg::OnInitDialog()
{
    CVantelDialog::OnInitDialog();
    MakeSession();
    SetFolderTitle();
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
    SkinButtons(m_bFolderPeriod ? 14065 : 14109);
    // The legend beside the rights checks: the granted form of read, write and delete.
    const std::pair<int, UINT> legend[] = {{IDC_GMULTI_ICON_READ, IDI_RIGHT_DOWNLOAD},
                                           {IDC_GMULTI_ICON_WRITE, IDI_RIGHT_UPLOAD},
                                           {IDC_GMULTI_ICON_DELETE, IDI_RIGHT_DELETE}};
    for (const auto& [id, icon] : legend)
        ::SendDlgItemMessageW(m_hWnd, id, STM_SETICON, reinterpret_cast<WPARAM>(CVImageList::GetIcon(icon, 16, 16)), 0);
    if (m_bFolderPeriod) {
        ::CheckDlgButton(m_hWnd, IDC_GMULTI_PERIOD_ON, BST_UNCHECKED);
        OnBnClickedCheckDate();
        unsigned short language = 18;
        CToviRegistry::GetLanguage(0, &language);
        if (language == 9) {
            DateTime_SetFormat(::GetDlgItem(m_hWnd, IDC_GUEST_FROM), L"dd/MM/yyyy");
            DateTime_SetFormat(::GetDlgItem(m_hWnd, IDC_GUEST_TO), L"dd/MM/yyyy");
        }
    }
    for (int id : {IDC_GUEST_READ, IDC_GUEST_WRITE, IDC_GUEST_DELETE})
        ::CheckDlgButton(m_hWnd, id, BST_CHECKED);

    char folder[20];
    memcpy(folder, m_szFolderId, sizeof folder);
    if (m_pProto->GetGuestMultiInfo(folder) != 0) {
        m_pProto->GuestUsers.clear();
        dialogkit::MessageBox(m_hWnd, m_pProto->ResultInfo.wszMessage, MB_ICONHAND);
        EndDialog(IDCANCEL);
        return TRUE;
    }
    if (m_wszFolderName[0])
        SetDlgItemText(IDC_GUEST_NAME, m_wszFolderName);
    const _PROTO_GUEST_FOLDER_INFO& info = m_pProto->GuestFolderInfo;
    InitList(info);
    CString text;
    if (_strtoi64(info.szQuota, nullptr, 10) > 0) {
        text.Format(L"%I64u", _strtoui64(info.szQuota, nullptr, 10));
        SetDlgItemText(IDC_GUEST_QUOTA, text);
    }
    if (_strtoi64(info.szFreeQuota, nullptr, 10) > 0) {
        text.Format(L"MB / %I64u MB", _strtoui64(info.szFreeQuota, nullptr, 10));
        SetDlgItemText(IDC_GUEST_QUOTA_UNIT, text);
    }
    if (m_bFolderPeriod && share::ShowPeriod(m_hWnd, IDC_GUEST_FROM, IDC_GUEST_TO, info.szPeriodFrom, info.szPeriodTo)) {
        ::CheckDlgButton(m_hWnd, IDC_GMULTI_PERIOD_ON, BST_CHECKED);
        OnBnClickedCheckDate();
    }
    for (const _PROTO_GUEST_USER_INFO& guest : m_pProto->GuestUsers) {
        auto* copy = new _PROTO_GUEST_USER_INFO{};
        memcpy(copy->szEmail, guest.szEmail, sizeof copy->szEmail);
        memcpy(copy->szPermission, guest.szPermission, sizeof copy->szPermission);
        memcpy(copy->cStatus, guest.cStatus, sizeof copy->cStatus);
        const int row = m_list.InsertItem(m_list.GetItemCount(), CString(guest.szEmail));
        m_list.SetItemData(row, reinterpret_cast<DWORD_PTR>(copy));
        m_list.SetCheck(row, guest.cStatus[0] == 'Y');
        ShowGuest(row, guest);
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
    NewRowInserted(row);
    m_list.EnsureVisible(row, FALSE);
    EditRow(row);
}

LRESULT CGuestMultiDlg::OnRenameAgain(WPARAM wParam, LPARAM lParam)
{
    if (static_cast<int>(wParam) > 0)
        dialogkit::MessageBox(m_hWnd, CToviMsg::GetString(static_cast<unsigned>(wParam)), MB_ICONEXCLAMATION);
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
    // A date being edited goes to its own row before the rows below it move up.
    m_list.EndDateEdit();
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
        share::Refuse(this, 12044, IDC_GUEST_QUOTA, true);
        return;
    }
    if (!AllDigits(quota)) {
        share::Refuse(this, 12122, IDC_GUEST_QUOTA, true);
        return;
    }
    const CStringA quotaText(quota);
    if (_strtoi64(quotaText.GetString(), nullptr, 10) <= 0) {
        share::Refuse(this, 12083, IDC_GUEST_QUOTA, true);
        return;
    }
    if (!CGuestDlg::QuotaFits(quotaText.GetString(), m_pProto->GuestFolderInfo.szFreeQuota)) {
        share::Refuse(this, 12043, IDC_GUEST_QUOTA, true);
        return;
    }
    CopyText(folder.szQuota, quotaText.GetString());
    if (m_bFolderPeriod && ::IsDlgButtonChecked(m_hWnd, IDC_GMULTI_PERIOD_ON) == BST_CHECKED &&
        !share::ReadPeriod(m_hWnd, IDC_GUEST_FROM, IDC_GUEST_TO, folder.szPeriodFrom, folder.szPeriodTo))
        return;
    if (m_list.GetItemCount() == 0) {
        dialogkit::MessageBox(m_hWnd, CToviMsg::GetString(12041), MB_ICONEXCLAMATION);
        return;
    }
    // A date still in its editor belongs to its row.
    m_list.EndDateEdit();
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
        CompleteGuest(row, guest);
        m_pProto->GuestUsers.push_back(guest);
    }
    m_folder = folder;
    DisableControl(FALSE);
    m_bDone = false;
    RunWorker(GuestThread);
    if (!m_bDone) {
        DisableControl(TRUE);
        return;
    }
    if (anyInactive && m_pProto->GuestMultiIdx[0] &&
        dialogkit::MessageBox(m_hWnd, CToviMsg::GetString(12112), MB_YESNO | MB_ICONQUESTION) == IDYES) {
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
    const Steps steps = self->RunSteps([&] { return proto->SetGuestMultiInfo(folder, &self->m_folder); },
                                       [&] { return proto->GetGuestMultiContinue(const_cast<char*>("Y")); });
    // This dialog's worker tells the failure itself, over the dialog that waits for it.
    if (steps != Steps::kDone)
        dialogkit::MessageBox(self->GetSafeHwnd(), proto->ResultInfo.wszMessage, MB_ICONHAND);
    self->m_bDone = steps == Steps::kDone;
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

void CGuestMultiDlg::DisableControl(BOOL enable)
{
    for (int id : {IDC_GUEST_NAME, IDC_GUEST_QUOTA, IDC_GMULTI_PERIOD_ON, IDC_GUEST_FROM, IDC_GUEST_TO,
                   IDC_GUEST_READ, IDC_GUEST_WRITE, IDC_GUEST_DELETE, IDC_GMULTI_APPLY_PERM, IDC_GMULTI_ADD,
                   IDC_GMULTI_REMOVE, IDC_SYSBTN_CLOSE, IDOK, IDCANCEL})
        ::EnableWindow(::GetDlgItem(m_hWnd, id), enable);
    if (enable && m_bFolderPeriod)
        OnBnClickedCheckDate();
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

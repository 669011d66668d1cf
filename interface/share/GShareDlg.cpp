// CGShareDlg: group share settings and members.
#include "GShareDlg.h"
#include "DialogKit.h"
#include "FileUtils.h"
#include "ShareCommon.h"
#include "ShareRes.h"
#include "SkinRes.h"
#include "ToviMsg.h"
#include "ToviString.h"
#include <algorithm>
#include <cstdlib>
#include <cstring>

IMPLEMENT_DYNAMIC(CGShareDlg, CShareDlg)

BEGIN_MESSAGE_MAP(CGShareDlg, CShareDlg)
    ON_BN_CLICKED(IDC_SHARE_ADD, OnBnClickedBtnAddUgroup)
    ON_BN_CLICKED(IDC_SHARE_SAVE, OnBnClickedBtnSetShare)
    ON_BN_CLICKED(IDC_SHARE_ON, OnBnClickedCheckShare)
    ON_BN_CLICKED(IDC_GSHARE_AUTO_DELETE, OnBnClickedCheckAutoDelete)
    ON_CBN_SELENDOK(IDC_PICKER_DOMAIN, OnCbnSelendokComboDomain)
END_MESSAGE_MAP()

using share::CopyText;

CGShareDlg::CGShareDlg(CWnd* pParent) : CShareDlg(IDD_GSHARE, pParent) {}

BOOL CGShareDlg::OnInitDialog()
{
    CVantelDialog::OnInitDialog();
    const CString title = CToviString::GetString(14161);
    SetWindowText(title);
    SetTitleBar(title);
    share::SetTexts(this, {{IDC_SHARE_HEAD_SETTINGS, 14162}, {IDC_SHARE_HEAD_MEMBERS, 14167},
                           {IDC_SHARE_HEAD_PICKER, 14188}, {IDC_GSHARE_DOMAIN_LABEL, 14168},
                           {IDC_GSHARE_NAME_LABEL, 14110}, {IDC_GSHARE_QUOTA_LABEL, 14189}, {IDC_SHARE_ON, 14190},
                           {IDC_SHARE_PERIOD_ON, 14170}, {IDC_GSHARE_AUTO_DELETE, 14194},
                           {IDC_GSHARE_AUTO_UNIT, 14233}, {IDC_GSHARE_AUTO_NOTE, 14195}, {IDC_SHARE_VIEW, 14171},
                           {IDC_SHARE_VIEW_OWN, 14172}, {IDC_SHARE_VIEWER, 14247}, {IDC_SHARE_READ, 14173},
                           {IDC_SHARE_WRITE, 14174}, {IDC_SHARE_DELETE, 14175}, {IDC_SHARE_DELETE_OWN, 14176},
                           {IDC_SHARE_SAVE, 14182}, {IDCANCEL, 14064}, {IDC_SHARE_APPLY_PERM, 14163},
                           {IDC_SHARE_ADD, 14164}, {IDC_PICKER_REMOVE, 14165}, {IDC_PICKER_COPY, 14166},
                           {IDC_PICKER_SEARCH, 14131}, {IDC_GSHARE_RECYCLE, 14197}, {IDC_GSHARE_VERSIONING, 14230},
                           {IDC_GSHARE_HIDDEN, 14198}, {IDC_PICKER_SEARCH_GROUPS, 14178},
                           {IDC_PICKER_SEARCH_USERS, 14181}, {IDC_PICKER_SEARCH_RANK, 14179},
                           {IDC_SHARE_HELP, 14234}});
    InitPickerSide(CUGroupPicker::kGroupShare);
    InitButtonsAndLegend();
    ::SendDlgItemMessageW(m_hWnd, IDC_GSHARE_QUOTA, EM_LIMITTEXT, 10, 0);
    HWND mode = ::GetDlgItem(m_hWnd, IDC_GSHARE_AUTO_MODE);
    ::SendMessageW(mode, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(CToviString::GetString(14159).GetString()));
    ::SendMessageW(mode, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(CToviString::GetString(14232).GetString()));
    Check(IDC_SHARE_VIEW, true);

    const int quotaLine[] = {IDC_GSHARE_QUOTA, IDC_GSHARE_QUOTA_LABEL, IDC_GSHARE_QUOTA_FREE};
    for (int id : quotaLine)
        ::ShowWindow(::GetDlgItem(m_hWnd, id), m_bQuotaShown ? SW_SHOW : SW_HIDE);
    ::ShowWindow(::GetDlgItem(m_hWnd, IDC_SHARE_ON), m_bQuotaShown ? SW_HIDE : SW_SHOW);
    if (!m_bQuotaShown) {
        EnableItem(IDC_GSHARE_RECYCLE, false);
        EnableItem(IDC_SHARE_ON, m_bSubShareEnabled);
    }
    if (!m_bVersioningAllowed)
        EnableItem(IDC_GSHARE_VERSIONING, false);

    char folder[10];
    memcpy(folder, m_szFolderId, sizeof folder);
    if (m_pProto->GetGShareInfo(folder) != 0) {
        dialogkit::MessageBox(m_hWnd, m_pProto->ResultInfo.wszMessage, MB_ICONWARNING);
        EndDialog(IDCANCEL);
        return TRUE;
    }
    const _PROTO_SHARED_INFO& info = m_pProto->SharedInfo;
    if (!m_bNewShare)
        SetDlgItemText(IDC_SHARE_NAME, m_wszFolderName);
    if (info.cMaster[0] == 'N')
        EnableItem(IDC_GSHARE_QUOTA, false);
    CString text;
    if (!m_bNewShare && info.szGuestQuota[0] && _strtoi64(info.szGuestQuota, nullptr, 10) >= 0) {
        text.Format(L"%I64u", _strtoui64(info.szGuestQuota, nullptr, 10));
        SetDlgItemText(IDC_GSHARE_QUOTA, text);
    }
    if (info.szQuota[0]) {
        text.Format(L"MB / %I64u MB", _strtoui64(info.szQuota, nullptr, 10));
        SetDlgItemText(IDC_GSHARE_QUOTA_FREE, text);
    } else {
        SetDlgItemText(IDC_GSHARE_QUOTA_FREE, L"MB");
    }
    if (share::ShowPeriod(m_hWnd, IDC_SHARE_FROM, IDC_SHARE_TO, info.szPeriodFrom, info.szPeriodTo)) {
        Check(IDC_SHARE_PERIOD_ON, true);
    } else {
        Check(IDC_SHARE_PERIOD_ON, false);
        for (int id : {IDC_SHARE_FROM, IDC_SHARE_TO, IDC_SHARE_TILDE})
            EnableItem(id, false);
    }
    Check(IDC_GSHARE_AUTO_DELETE, false);
    for (int id : {IDC_GSHARE_AUTO_DELETE, IDC_GSHARE_AUTO_COUNT, IDC_GSHARE_AUTO_MODE})
        EnableItem(id, false);
    const bool unsharedForeign = !m_bNewShare && info.cShare[0] != 'Y' && info.cMaster[0] != 'Y';
    // The server's defaults sit in the option block under the fields the share's own record uses.
    const _OPTION_INFO& options = m_pProto->OptionInfo;
    const bool defaults = m_bNewShare || unsharedForeign;
    const char autoMode = defaults ? options.Attr37[0] : info.cAutoDelete[0];
    const char* countText = defaults ? options.Attr199 : info.szAutoDeleteCount;
    const long count = strtol(countText, nullptr, 10);
    if (count > 0) {
        text.Format(L"%ld", count);
        SetDlgItemText(IDC_GSHARE_AUTO_COUNT, text);
        Check(IDC_GSHARE_AUTO_DELETE, true);
        ::SendMessageW(mode, CB_SETCURSEL, autoMode == 'A' ? 1 : 0, 0);
    }
    if (!unsharedForeign && m_cAutoDeleteAllowed == 'Y') {
        EnableItem(IDC_GSHARE_AUTO_DELETE, true);
        EnableItem(IDC_GSHARE_AUTO_MODE, Checked(IDC_GSHARE_AUTO_DELETE));
        EnableItem(IDC_GSHARE_AUTO_COUNT, Checked(IDC_GSHARE_AUTO_DELETE));
    }
    Check(IDC_GSHARE_RECYCLE, info.cRecycle[0] == 'Y');
    Check(IDC_GSHARE_VERSIONING, info.cVersioning[0] == 'Y');
    Check(IDC_GSHARE_HIDDEN, info.cOption45[0] == 'Y');
    if (!m_bQuotaShown) {
        Check(IDC_SHARE_ON, info.cShare[0] == 'Y');
        if (info.cShare[0] != 'Y')
            for (int id : {IDC_SHARE_PERIOD_ON, IDC_GSHARE_AUTO_DELETE, IDC_GSHARE_AUTO_COUNT, IDC_GSHARE_VERSIONING,
                           IDC_GSHARE_HIDDEN, IDC_SHARE_FROM, IDC_SHARE_TO, IDC_SHARE_TILDE})
                EnableItem(id, false);
    }
    for (const _PROTO_SHARED_UGROUP& member : m_pProto->SharedUGroupInfo)
        AppendMember(member, true);
    InitPresetChecks();
    LayoutSettings();
    LayoutPermissions();
    LayoutPickerSide();
    NarrowWindow(static_cast<void (CShareDlg::*)()>(&CGShareDlg::OnBnClickedBtnAddUgroup));
    ::SetFocus(::GetDlgItem(m_hWnd, m_bNewShare ? IDC_SHARE_NAME : IDC_SHARE_ON));
    if (m_cReadOnly == 'Y' && info.cMaster[0] != 'Y')
        for (int id : {IDC_GSHARE_QUOTA, IDC_SHARE_PERIOD_ON, IDC_SHARE_NAME, IDC_GSHARE_AUTO_DELETE, IDC_SHARE_ON,
                       IDC_SHARE_FROM, IDC_SHARE_TO, IDC_SHARE_TILDE, IDC_GSHARE_AUTO_MODE, IDC_GSHARE_AUTO_COUNT,
                       IDC_GSHARE_RECYCLE, IDC_GSHARE_VERSIONING, IDC_GSHARE_HIDDEN})
            EnableItem(id, false);
    return FALSE;
}

void CGShareDlg::LayoutSettings()
{
    HWND dlg = m_hWnd;
    // The name and quota labels share one column as wide as the wider text.
    const int column = std::max(share::FitToText(dlg, IDC_GSHARE_NAME_LABEL), share::FitToText(dlg, IDC_GSHARE_QUOTA_LABEL));
    const RECT label = share::ItemRect(dlg, IDC_GSHARE_NAME_LABEL);
    const int left = label.left + column + share::kLabelGap;
    RECT rect = share::ItemRect(dlg, IDC_SHARE_NAME);
    share::MoveItem(dlg, IDC_SHARE_NAME, left, rect.top, rect.right - left, rect.bottom - rect.top);
    rect = share::ItemRect(dlg, IDC_GSHARE_QUOTA);
    share::MoveItem(dlg, IDC_GSHARE_QUOTA, left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
    const RECT quota = share::ItemRect(dlg, IDC_GSHARE_QUOTA);
    rect = share::ItemRect(dlg, IDC_GSHARE_QUOTA_FREE);
    const int freeLeft = quota.right + 6;
    share::MoveItem(dlg, IDC_GSHARE_QUOTA_FREE, freeLeft, rect.top, rect.right - freeLeft, rect.bottom - rect.top);
    for (int id : {IDC_SHARE_ON, IDC_SHARE_PERIOD_ON})
        share::FitToText(dlg, id);

    // Automatic deletion: the check, the mode and the count, then the unit taking what is left
    // of the line (it wraps under itself when the line is short).
    const RECT list = share::ItemRect(dlg, IDC_PICKER_CHOSEN);
    const RECT check = share::ItemRect(dlg, IDC_GSHARE_AUTO_DELETE);
    int x = check.left + share::FitToText(dlg, IDC_GSHARE_AUTO_DELETE) + 8;
    for (int id : {IDC_GSHARE_AUTO_MODE, IDC_GSHARE_AUTO_COUNT}) {
        rect = share::ItemRect(dlg, id);
        share::MoveItem(dlg, id, x, rect.top, rect.right - rect.left, rect.bottom - rect.top);
        x += rect.right - rect.left + 6;
    }
    rect = share::ItemRect(dlg, IDC_GSHARE_AUTO_UNIT);
    share::MoveItem(dlg, IDC_GSHARE_AUTO_UNIT, x, rect.top, list.right - x, rect.bottom - rect.top);
    const RECT versioning = share::ItemRect(dlg, IDC_GSHARE_VERSIONING);
    share::FitRow(dlg, versioning.left, {{IDC_GSHARE_VERSIONING, 0}, {IDC_GSHARE_HIDDEN, 12}, {IDC_GSHARE_RECYCLE, 12}});
}

void CGShareDlg::DrawDomainList()
{
    HWND combo = ::GetDlgItem(m_hWnd, IDC_PICKER_DOMAIN);
    if (m_pProto->GetUserGroupList(const_cast<char*>(""), const_cast<char*>("0"), true, const_cast<char*>("N"),
                                   const_cast<char*>("Y")) != 0) {
        dialogkit::MessageBox(m_hWnd, m_pProto->ResultInfo.wszMessage, MB_ICONWARNING);
        return;
    }
    ::SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    m_vecDomains.clear();
    int chosen = 0;
    for (const _PROTO_UGROUP_INFO& entry : m_pProto->UGroupInfo) {
        if (entry.Type[0] != 'D')
            continue;
        ::SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.DomainLabel));
        if (entry.Flag46[0] == 'Y')
            chosen = static_cast<int>(m_vecDomains.size());
        m_vecDomains.push_back(entry);
    }
    ::SendMessageW(combo, CB_SETCURSEL, chosen, 0);
}

void CGShareDlg::LoadRoot()
{
    const int chosen = static_cast<int>(::SendDlgItemMessageW(m_hWnd, IDC_PICKER_DOMAIN, CB_GETCURSEL, 0, 0));
    // Without a domain there is no tree to load.
    if (chosen < 0 || chosen >= static_cast<int>(m_vecDomains.size()))
        return;
    m_picker.SetRootDomain(m_vecDomains[chosen].DomainIndex);
    m_picker.LoadFirstLevel();
}

void CGShareDlg::OnBnClickedBtnAddUgroup()
{
    if (!ExpandSize())
        return;
    DrawDomainList();
    RePositionControl();
    LoadRoot();
}

void CGShareDlg::RePositionControl()
{
    if (m_cDomainOption != 'N')
        return;
    auto rectOf = [this](int id) {
        CRect rect;
        ::GetWindowRect(::GetDlgItem(m_hWnd, id), &rect);
        ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    };
    const CRect heading = rectOf(IDC_SHARE_HEAD_PICKER);
    const int up = rectOf(IDC_PICKER_TREE).top - rectOf(IDC_PICKER_DOMAIN).top;
    ::ShowWindow(::GetDlgItem(m_hWnd, IDC_SHARE_HEAD_PICKER), SW_HIDE);
    ::ShowWindow(::GetDlgItem(m_hWnd, IDC_PICKER_DOMAIN), SW_HIDE);
    const CRect label = rectOf(IDC_GSHARE_DOMAIN_LABEL);
    ::MoveWindow(::GetDlgItem(m_hWnd, IDC_GSHARE_DOMAIN_LABEL), heading.left, heading.top, label.Width(),
                 label.Height(), TRUE);
    ::ShowWindow(::GetDlgItem(m_hWnd, IDC_GSHARE_DOMAIN_LABEL), SW_SHOW);
    const CRect tree = rectOf(IDC_PICKER_TREE);
    ::MoveWindow(m_picker.Tree(), tree.left, tree.top - up, tree.Width(), tree.Height() + 6, TRUE);
    for (int id : {IDC_PICKER_SEARCH_GROUPS, IDC_PICKER_SEARCH_USERS, IDC_PICKER_SEARCH_RANK, IDC_PICKER_SEARCH_TEXT,
                   IDC_PICKER_SEARCH}) {
        const CRect item = rectOf(id);
        ::MoveWindow(::GetDlgItem(m_hWnd, id), item.left, item.top - up, item.Width(), item.Height(), TRUE);
    }
    const CRect members = rectOf(IDC_PICKER_MEMBERS);
    ::MoveWindow(m_picker.Members(), members.left, members.top - up, members.Width(), members.Height() + up, TRUE);
    Invalidate();
}

void CGShareDlg::OnCbnSelendokComboDomain()
{
    const int chosen = static_cast<int>(::SendDlgItemMessageW(m_hWnd, IDC_PICKER_DOMAIN, CB_GETCURSEL, 0, 0));
    if (chosen < 0 || chosen >= static_cast<int>(m_vecDomains.size()))
        return;
    const CUGroupPicker::Entry* first = m_picker.ItemEntry(TreeView_GetRoot(m_picker.Tree()));
    if (first && strcmp(first->info.DomainIndex, m_vecDomains[chosen].DomainIndex) == 0)
        return;
    m_picker.SetTerminateThread();
    TreeView_DeleteAllItems(m_picker.Tree());
    ListView_DeleteAllItems(m_picker.Members());
    LoadRoot();
}

void CGShareDlg::OnBnClickedCheckShare()
{
    if (m_bQuotaShown)
        return;
    const bool on = Checked(IDC_SHARE_ON);
    if (!on) {
        for (int id : {IDC_SHARE_PERIOD_ON, IDC_GSHARE_AUTO_DELETE, IDC_GSHARE_AUTO_MODE, IDC_GSHARE_AUTO_COUNT,
                       IDC_GSHARE_VERSIONING, IDC_GSHARE_HIDDEN, IDC_SHARE_FROM, IDC_SHARE_TO, IDC_SHARE_TILDE})
            EnableItem(id, false);
        return;
    }
    EnableItem(IDC_SHARE_PERIOD_ON, true);
    OnBnClickedCheckPeriod();
    EnableItem(IDC_GSHARE_VERSIONING, m_bVersioningAllowed);
    EnableItem(IDC_GSHARE_HIDDEN, true);
    const bool allowed = m_cAutoDeleteAllowed == 'Y';
    EnableItem(IDC_GSHARE_AUTO_DELETE, allowed);
    EnableItem(IDC_GSHARE_AUTO_MODE, allowed && Checked(IDC_GSHARE_AUTO_DELETE));
    EnableItem(IDC_GSHARE_AUTO_COUNT, allowed && Checked(IDC_GSHARE_AUTO_DELETE));
}

void CGShareDlg::OnBnClickedCheckAutoDelete()
{
    const bool on = Checked(IDC_GSHARE_AUTO_DELETE);
    EnableItem(IDC_GSHARE_AUTO_MODE, on);
    EnableItem(IDC_GSHARE_AUTO_COUNT, on);
    if (on)
        ::SetFocus(::GetDlgItem(m_hWnd, IDC_GSHARE_AUTO_COUNT));
}

void CGShareDlg::OnBnClickedBtnSetShare()
{
    if (m_picker.IsBusy())
        return;
    _PROTO_SHARED_INFO info = {};
    CString name;
    GetDlgItemText(IDC_SHARE_NAME, name);
    if (CFileUtils::CheckFolderName(this, name) != 0) {
        ::SetFocus(::GetDlgItem(m_hWnd, IDC_SHARE_NAME));
        return;
    }
    if (Checked(IDC_SHARE_PERIOD_ON) &&
        !share::ReadPeriod(m_hWnd, IDC_SHARE_FROM, IDC_SHARE_TO, info.szPeriodFrom, info.szPeriodTo))
        return;
    CopyText(info.cAutoDelete, "N");
    if (Checked(IDC_GSHARE_AUTO_DELETE)) {
        CString count;
        GetDlgItemText(IDC_GSHARE_AUTO_COUNT, count);
        if (count.IsEmpty()) {
            share::Refuse(this, 12082, IDC_GSHARE_AUTO_COUNT);
            return;
        }
        const long value = wcstol(count.GetString(), nullptr, 10);
        if (value <= 0) {
            share::Refuse(this, 12110, IDC_GSHARE_AUTO_COUNT);
            return;
        }
        const int mode = static_cast<int>(::SendDlgItemMessageW(m_hWnd, IDC_GSHARE_AUTO_MODE, CB_GETCURSEL, 0, 0));
        if (mode < 0)
            return;
        snprintf(info.szAutoDeleteCount, sizeof info.szAutoDeleteCount, "%ld", value);
        CopyText(info.cAutoDelete, mode == 0 ? "D" : "A");
    }
    CopyText(info.cVersioning, Checked(IDC_GSHARE_VERSIONING) ? "Y" : "N");
    CopyText(info.cOption45, Checked(IDC_GSHARE_HIDDEN) ? "Y" : "N");
    CopyText(info.cRecycle, Checked(IDC_GSHARE_RECYCLE) ? "Y" : "N");
    char subShare[2] = {};
    char* share = nullptr;
    if (m_bQuotaShown) {
        CString quota;
        GetDlgItemText(IDC_GSHARE_QUOTA, quota);
        if (quota.IsEmpty()) {
            share::Refuse(this, 12083, IDC_GSHARE_QUOTA);
            return;
        }
        const unsigned long long typed = _wcstoui64(quota.GetString(), nullptr, 10);
        const _PROTO_SHARED_INFO& reply = m_pProto->SharedInfo;
        if (reply.szQuota[0] && typed > _strtoui64(reply.szQuota, nullptr, 10)) {
            share::Refuse(this, 12043, IDC_GSHARE_QUOTA, true);
            return;
        }
        snprintf(info.szQuota, sizeof info.szQuota, "%llu", typed);
    } else {
        subShare[0] = Checked(IDC_SHARE_ON) ? 'Y' : 'N';
        share = subShare;
        if (subShare[0] == 'N') {
            // Nothing of a share goes out for a folder that is not one.
            memset(info.szPeriodFrom, 0, sizeof info.szPeriodFrom);
            memset(info.szPeriodTo, 0, sizeof info.szPeriodTo);
            memset(info.szAutoDeleteCount, 0, sizeof info.szAutoDeleteCount);
            CopyText(info.cVersioning, "N");
            CopyText(info.cOption45, "N");
            CopyText(info.cAutoDelete, "N");
        }
    }
    StoreChosenMembers();
    char folder[10];
    memcpy(folder, m_szFolderId, sizeof folder);
    char isNew[2] = {m_bNewShare ? 'Y' : 'N', 0};
    const int result = m_pProto->SetGShareInfo(folder, isNew, name.GetString(), share, const_cast<char*>("Y"), &info,
                                               true);
    m_pProto->SharedUGroupInfo.clear();
    if (result != 0) {
        dialogkit::MessageBox(m_hWnd, m_pProto->ResultInfo.wszMessage, MB_ICONERROR);
        return;
    }
    EndDialog(IDOK);
}

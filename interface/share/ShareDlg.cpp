// CShareDlg: share settings and members of one server folder.
#include "ShareDlg.h"
#include "DialogKit.h"
#include "FileUtils.h"
#include "ListIconsRes.h"
#include "MessageBoxDlgRes.h"
#include "ShareCommon.h"
#include "ShareRes.h"
#include "SkinRes.h"
#include "ToviMessages.h"
#include "ToviMsg.h"
#include "ToviProto.h"
#include "ToviString.h"
#include "TraceLog.h"
#include "VImageList.h"
#include <algorithm>
#include <cstring>
#include <utility>

IMPLEMENT_DYNAMIC(CShareDlg, CSharePanelDlg)

BEGIN_MESSAGE_MAP(CShareDlg, CSharePanelDlg)
    ON_WM_DESTROY()
    ON_BN_CLICKED(IDC_SHARE_ON, OnBnClickedCheckShare)
    ON_BN_CLICKED(IDC_SHARE_ADD, OnBnClickedBtnAddUgroup)
    ON_BN_CLICKED(IDC_PICKER_REMOVE, OnBnClickedBtnRemoveUgroup)
    ON_BN_CLICKED(IDC_PICKER_COPY, OnBnClickedBtnSetUgroup)
    ON_BN_CLICKED(IDC_PICKER_SEARCH, OnBnClickedBtnSearchUgroup)
    ON_BN_CLICKED(IDC_SHARE_SAVE, OnBnClickedBtnSetShare)
    ON_BN_CLICKED(IDC_SHARE_VIEW, OnBnClickedCheckViewPublic)
    ON_BN_CLICKED(IDC_SHARE_VIEW_OWN, OnBnClickedCheckViewPrivate)
    ON_BN_CLICKED(IDC_SHARE_DELETE, OnBnClickedCheckDeletePublic)
    ON_BN_CLICKED(IDC_SHARE_DELETE_OWN, OnBnClickedCheckDeletePrivate)
    ON_BN_CLICKED(IDC_SHARE_APPLY_PERM, OnBnClickedBtnSetPerm)
    ON_BN_CLICKED(IDC_SHARE_PASSWORD_ON, OnBnClickedCheckPassword)
    ON_BN_CLICKED(IDC_SHARE_PERIOD_ON, OnBnClickedCheckPeriod)
    ON_EN_CHANGE(IDC_SHARE_PASSWORD, OnEnChangeEditPassword)
    ON_BN_CLICKED(IDC_SHARE_HELP, OnBnClickedBtnShareHelp)
    ON_MESSAGE(WM_PICKER_STEP, OnPickerStep)
END_MESSAGE_MAP()

namespace {

const wchar_t kPasswordMask[] = L"**********";
// Room between the button rows' buttons, and between a legend pair and the next.
const int kButtonGap = 6;
const int kPairGap = 12;
const int kLegendGap = 3;

}

CShareDlg::CShareDlg(CWnd* pParent) : CShareDlg(IDD_SHARE, pParent) {}

CShareDlg::CShareDlg(UINT templateId, CWnd* pParent)
    : CSharePanelDlg(templateId, pParent, {IDC_SHARE_FRAME_LEFT, IDC_SHARE_FRAME_RIGHT})
{
}

CStringA CShareDlg::PermissionWord() const
{
    char word[5] = "0000";
    // Own items only wins over all.
    word[0] = Checked(IDC_SHARE_VIEW_OWN) ? '1' : Checked(IDC_SHARE_VIEW) ? '2' : '0';
    word[1] = Checked(IDC_SHARE_READ) ? '2' : '0';
    word[2] = Checked(IDC_SHARE_WRITE) ? '2' : '0';
    word[3] = Checked(IDC_SHARE_DELETE_OWN) ? '1' : Checked(IDC_SHARE_DELETE) ? '2' : '0';
    return CStringA(word);
}

void CShareDlg::UpdateNewRowPermission()
{
    const char* viewer = m_bViewerDigit ? (Checked(IDC_SHARE_VIEWER) ? "2" : "0") : "";
    m_picker.SetNewRowPermission(PermissionWord().GetString(), viewer);
}

void CShareDlg::InitPickerSide(CUGroupPicker::Kind kind)
{
    CString label = CToviString::GetString(14180);
    label += L" :";
    SetDlgItemText(IDC_PICKER_SEARCH_LABEL, label);
    dialogkit::SkinButton(m_btnClose, this, IDC_SYSBTN_CLOSE, CToviButton::kStyleCaptionClose, CString(), 0);
    dialogkit::PlaceCloseButton(this, &m_btnClose);
    m_picker.Attach(this, m_pProto, kind);
}

void CShareDlg::InitButtonsAndLegend()
{
    dialogkit::SkinButton(m_btnSave, this, IDC_SHARE_SAVE, 13, CString(), IDI_BTN_APPLY);
    dialogkit::SkinButton(m_btnCancel, this, IDCANCEL, 14, CString(), IDI_BTN_CANCEL);
    dialogkit::SkinButton(m_btnApply, this, IDC_SHARE_APPLY_PERM, 14, CString(), IDI_BTN_OK);
    dialogkit::SkinButton(m_btnAdd, this, IDC_SHARE_ADD, 14, CString(), IDI_BTN_ADD);
    dialogkit::SkinButton(m_btnRemove, this, IDC_PICKER_REMOVE, 14, CString(), IDI_BTN_REMOVE);
    dialogkit::SkinButton(m_btnCopy, this, IDC_PICKER_COPY, 14, CString(), IDI_BTN_MOVE);
    dialogkit::SkinButton(m_btnHelp, this, IDC_SHARE_HELP, 14, CString(), IDI_BTN_MOVE);

    // The legend's image list in the order of the permission word, the viewer's mark last.
    const UINT icons[] = {IDI_RIGHT_VIEW, IDI_RIGHT_VIEW_PART, IDI_RIGHT_DOWNLOAD, IDI_RIGHT_UPLOAD,
                          IDI_RIGHT_DELETE, IDI_RIGHT_DELETE_PART, IDI_RIGHT_SHARE_WRITE};
    const int statics[] = {IDC_SHARE_LEGEND_VIEW, IDC_SHARE_LEGEND_VIEW_OWN, IDC_SHARE_LEGEND_READ,
                           IDC_SHARE_LEGEND_WRITE, IDC_SHARE_LEGEND_DELETE, IDC_SHARE_LEGEND_DELETE_OWN,
                           IDC_SHARE_LEGEND_VIEWER};
    const int count = m_bViewerDigit ? 7 : 6;
    m_legend = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, count, 6);
    for (int i = 0; i < count; ++i)
        ImageList_AddIcon(m_legend, CVImageList::GetIcon(icons[i], 16, 16));
    for (int i = 0; i < count; ++i) {
        HICON icon = ImageList_GetIcon(m_legend, i, ILD_NORMAL);
        m_legendIcons.push_back(icon);
        ::SendDlgItemMessageW(m_hWnd, statics[i], STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
    }
    if (!m_bViewerDigit)
        ::ShowWindow(::GetDlgItem(m_hWnd, IDC_SHARE_LEGEND_VIEWER), SW_HIDE);
}

void CShareDlg::LayoutPermissions()
{
    HWND dlg = m_hWnd;
    const RECT list = share::ItemRect(dlg, IDC_PICKER_CHOSEN);
    const std::pair<int, int> pairs[] = {{IDC_SHARE_LEGEND_VIEW, IDC_SHARE_VIEW},
                                         {IDC_SHARE_LEGEND_VIEW_OWN, IDC_SHARE_VIEW_OWN},
                                         {IDC_SHARE_LEGEND_VIEWER, IDC_SHARE_VIEWER},
                                         {IDC_SHARE_LEGEND_READ, IDC_SHARE_READ},
                                         {IDC_SHARE_LEGEND_WRITE, IDC_SHARE_WRITE},
                                         {IDC_SHARE_LEGEND_DELETE, IDC_SHARE_DELETE},
                                         {IDC_SHARE_LEGEND_DELETE_OWN, IDC_SHARE_DELETE_OWN}};
    // Each icon level with its check.
    for (const auto& [icon, check] : pairs) {
        const RECT rect = share::ItemRect(dlg, check);
        share::MoveItem(dlg, icon, rect.left, (rect.top + rect.bottom - 16) / 2, 16, 16);
    }
    share::FitRow(dlg, list.left + 2,
                  {{IDC_SHARE_LEGEND_VIEW, 0}, {IDC_SHARE_VIEW, kLegendGap}, {IDC_SHARE_LEGEND_VIEW_OWN, kPairGap},
                   {IDC_SHARE_VIEW_OWN, kLegendGap}, {IDC_SHARE_LEGEND_VIEWER, kPairGap}, {IDC_SHARE_VIEWER, kLegendGap}});
    share::FitRow(dlg, list.left + 2,
                  {{IDC_SHARE_LEGEND_READ, 0}, {IDC_SHARE_READ, kLegendGap}, {IDC_SHARE_LEGEND_WRITE, kPairGap},
                   {IDC_SHARE_WRITE, kLegendGap}, {IDC_SHARE_LEGEND_DELETE, kPairGap}, {IDC_SHARE_DELETE, kLegendGap},
                   {IDC_SHARE_LEGEND_DELETE_OWN, kPairGap}, {IDC_SHARE_DELETE_OWN, kLegendGap}});

    // Add and remove under the list's left edge, apply under its right; help beside the heading.
    int x = list.left;
    for (CToviButton* button : {&m_btnAdd, &m_btnRemove}) {
        if (!(button->GetStyle() & WS_VISIBLE))
            continue;
        const RECT rect = share::ItemRect(dlg, button->GetDlgCtrlID());
        const int width = button->GetButtonWidth(20);
        button->MoveWindow(x, rect.top, width, rect.bottom - rect.top, TRUE);
        x += width + kButtonGap;
    }
    RECT rect = share::ItemRect(dlg, IDC_SHARE_APPLY_PERM);
    int width = m_btnApply.GetButtonWidth(20);
    m_btnApply.MoveWindow(list.right - width, rect.top, width, rect.bottom - rect.top, TRUE);
    rect = share::ItemRect(dlg, IDC_SHARE_HEAD_MEMBERS);
    width = m_btnHelp.GetButtonWidth(20);
    const int height = 20;
    m_btnHelp.MoveWindow(list.right - width, list.top - height - 2, width, height, TRUE);
    share::MoveItem(dlg, IDC_SHARE_HEAD_MEMBERS, rect.left, rect.top,
                    list.right - width - kButtonGap - rect.left, rect.bottom - rect.top);
}

void CShareDlg::LayoutPickerSide()
{
    HWND dlg = m_hWnd;
    const RECT search = share::ItemRect(dlg, IDC_PICKER_SEARCH_GROUPS);
    share::FitRow(dlg, search.left, {{IDC_PICKER_SEARCH_GROUPS, 0}, {IDC_PICKER_SEARCH_USERS, share::kLabelGap},
                                     {IDC_PICKER_SEARCH_RANK, share::kLabelGap}});
    const RECT rect = share::ItemRect(dlg, IDC_PICKER_COPY);
    m_btnCopy.MoveWindow(rect.left, rect.top, m_btnCopy.GetButtonWidth(20), rect.bottom - rect.top, TRUE);
}

void CShareDlg::InitPresetChecks()
{
    Check(IDC_SHARE_VIEW_OWN, m_szPermission[0] == '1');
    Check(IDC_SHARE_VIEW, m_szPermission[0] == '2');
    Check(IDC_SHARE_READ, m_szPermission[1] == '2');
    Check(IDC_SHARE_WRITE, m_szPermission[2] == '2');
    Check(IDC_SHARE_DELETE_OWN, m_szPermission[3] == '1');
    Check(IDC_SHARE_DELETE, m_szPermission[3] == '2');
    if (m_bViewerDigit)
        Check(IDC_SHARE_VIEWER, m_cDefaultViewer == '2');
    else
        ::ShowWindow(::GetDlgItem(m_hWnd, IDC_SHARE_VIEWER), SW_HIDE);
    // A search type the caller does not offer is neither checked nor shown.
    const int searchChecks[] = {IDC_PICKER_SEARCH_GROUPS, IDC_PICKER_SEARCH_USERS, IDC_PICKER_SEARCH_RANK};
    for (int i = 0; i < 3; ++i) {
        Check(searchChecks[i], m_szSearchType[i] == 'Y');
        ::ShowWindow(::GetDlgItem(m_hWnd, searchChecks[i]), m_szSearchType[i] == 'Y' ? SW_SHOW : SW_HIDE);
    }
}

void CShareDlg::AppendMember(const _PROTO_SHARED_UGROUP& member, bool withDomain)
{
    _PROTO_SHARED_UGROUP copy = {};
    memcpy(copy.Type, member.Type, sizeof copy.Type);
    if (member.Type[0] == 'U') {
        memcpy(copy.Code, member.Code, sizeof copy.Code);
        memcpy(copy.Name, member.Name, sizeof copy.Name);
        memcpy(copy.UserId, member.UserId, sizeof copy.UserId);
    } else {
        memcpy(copy.GroupId, member.GroupId, sizeof copy.GroupId);
        memcpy(copy.GroupName, member.GroupName, sizeof copy.GroupName);
    }
    if (withDomain) {
        memcpy(copy.DomainIndex, member.DomainIndex, sizeof copy.DomainIndex);
        memcpy(copy.DomainLabel, member.DomainLabel, sizeof copy.DomainLabel);
        memcpy(copy.Flag46, member.Flag46, sizeof copy.Flag46);
    }
    memcpy(copy.Permission, member.Permission, sizeof copy.Permission);
    if (m_bViewerDigit && member.Write[0])
        memcpy(copy.Write, member.Write, sizeof copy.Write);
    m_picker.AppendShared(copy);
}

void CShareDlg::StoreChosenMembers()
{
    m_pProto->SharedUGroupInfo.clear();
    for (int row = 0; row < m_picker.ChosenCount(); ++row)
        if (auto* record = static_cast<_PROTO_SHARED_UGROUP*>(m_picker.ChosenRecord(row)))
            m_pProto->SharedUGroupInfo.push_back(*record);
}

void CShareDlg::NarrowWindow(void (CShareDlg::*openPicker)())
{
    GetWindowRect(&m_rcFull);
    SetWindowPos(nullptr, 0, 0, m_rcFull.Width() / 2 + 7, m_rcFull.Height(), SWP_NOMOVE | SWP_NOZORDER);
    if (m_cPickerAtOnce == 'Y') {
        ::ShowWindow(::GetDlgItem(m_hWnd, IDC_SHARE_ADD), SW_HIDE);
        (this->*openPicker)();
    }
}

bool CShareDlg::ExpandSize()
{
    if (m_bPickerOpened)
        return false;
    m_bPickerOpened = true;
    CRect now;
    GetWindowRect(&now);
    int left = now.left - (now.Width() - 7) / 2;
    // The wide window stays on the screen: against its right edge, never left of its left edge.
    const int screenRight = ::GetSystemMetrics(SM_XVIRTUALSCREEN) + ::GetSystemMetrics(SM_CXVIRTUALSCREEN);
    if (left + m_rcFull.Width() > screenRight)
        left = screenRight - m_rcFull.Width();
    if (left <= 0)
        left = 0;
    // OK and Cancel keep their distance from the right edge.
    CRect client;
    GetClientRect(&client);
    std::pair<HWND, CRect> buttons[] = {{::GetDlgItem(m_hWnd, IDC_SHARE_SAVE), {}}, {::GetDlgItem(m_hWnd, IDCANCEL), {}}};
    for (auto& [button, rect] : buttons) {
        ::GetWindowRect(button, &rect);
        ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&rect), 2);
    }
    SetWindowPos(nullptr, left, now.top, m_rcFull.Width(), m_rcFull.Height(), SWP_NOZORDER);
    CRect wide;
    GetClientRect(&wide);
    for (const auto& [button, rect] : buttons)
        ::MoveWindow(button, rect.left + wide.right - client.right, rect.top, rect.Width(), rect.Height(), TRUE);
    dialogkit::PlaceCloseButton(this, &m_btnClose);
    EnableItem(IDC_SHARE_ADD, false);
    ::SetFocus(m_picker.Tree());
    return true;
}

BOOL CShareDlg::OnInitDialog()
{
    CVantelDialog::OnInitDialog();
    const CString title = CToviString::GetString(14161);
    SetWindowText(title);
    SetTitleBar(title);
    share::SetTexts(this, {{IDC_SHARE_HEAD_SETTINGS, 14162}, {IDC_SHARE_HEAD_MEMBERS, 14167},
                           {IDC_SHARE_HEAD_PICKER, 14168}, {IDC_SHARE_NAME_LABEL, 14110},
                           {IDC_SHARE_ON, 14169}, {IDC_SHARE_PASSWORD_ON, 14119}, {IDC_SHARE_PERIOD_ON, 14170},
                           {IDC_SHARE_VIEW, 14171}, {IDC_SHARE_VIEW_OWN, 14172}, {IDC_SHARE_READ, 14173},
                           {IDC_SHARE_WRITE, 14174}, {IDC_SHARE_DELETE, 14175}, {IDC_SHARE_DELETE_OWN, 14176},
                           {IDC_SHARE_VIEWER, 14247}, {IDC_PICKER_SEARCH_GROUPS, 14178},
                           {IDC_PICKER_SEARCH_USERS, 14181}, {IDC_PICKER_SEARCH_RANK, 14179},
                           {IDC_PICKER_SEARCH, 14131}, {IDC_PICKER_COPY, 14166}, {IDC_PICKER_REMOVE, 14165},
                           {IDC_SHARE_ADD, 14164}, {IDC_SHARE_APPLY_PERM, 14163}, {IDC_SHARE_SAVE, 14182},
                           {IDCANCEL, 14064}, {IDC_SHARE_HELP, 14234}});
    InitPickerSide(CUGroupPicker::kShare);
    InitButtonsAndLegend();
    ::SendDlgItemMessageW(m_hWnd, IDC_SHARE_PASSWORD, EM_LIMITTEXT, 20, 0);
    SetDlgItemText(IDC_SHARE_NAME, m_wszFolderName);

    Check(IDC_SHARE_VIEW, true);
    if (m_cShareWriteDisabled == 'Y') {
        EnableItem(IDC_SHARE_WRITE, false);
        TraceLog(1, L"[ CShareDlg::InitControl ] A1 OPTION - Disable Share Write Button !\n");
    }
    const _PROTO_SHARED_INFO& info = m_pProto->SharedInfo;
    if (info.cShare[0] != 'Y') {
        Check(IDC_SHARE_ON, false);
        Check(IDC_SHARE_PASSWORD_ON, false);
        for (int id : {IDC_SHARE_PASSWORD_ON, IDC_SHARE_PASSWORD, IDC_SHARE_PERIOD_ON, IDC_SHARE_FROM, IDC_SHARE_TO,
                       IDC_SHARE_TILDE})
            EnableItem(id, false);
    } else {
        Check(IDC_SHARE_ON, true);
        if (info.wszPassword[0]) {
            Check(IDC_SHARE_PASSWORD_ON, true);
            EnableItem(IDC_SHARE_PASSWORD, true);
            if (wcscmp(info.wszPassword, L"*") == 0) {
                SetDlgItemText(IDC_SHARE_PASSWORD, kPasswordMask);
                m_bPasswordChanged = false;
            }
        } else {
            Check(IDC_SHARE_PASSWORD_ON, false);
            EnableItem(IDC_SHARE_PASSWORD, false);
        }
        SYSTEMTIME from = {}, to = {};
        if (info.szPeriodFrom[0] && share::ParseDate(info.szPeriodFrom, &from)) {
            Check(IDC_SHARE_PERIOD_ON, true);
            DateTime_SetSystemtime(::GetDlgItem(m_hWnd, IDC_SHARE_FROM), GDT_VALID, &from);
            if (share::ParseDate(info.szPeriodTo, &to))
                DateTime_SetSystemtime(::GetDlgItem(m_hWnd, IDC_SHARE_TO), GDT_VALID, &to);
        } else {
            for (int id : {IDC_SHARE_FROM, IDC_SHARE_TO, IDC_SHARE_TILDE})
                EnableItem(id, false);
        }
    }
    for (const _PROTO_SHARED_UGROUP& member : m_pProto->SharedUGroupInfo)
        AppendMember(member, false);
    InitPresetChecks();
    share::FollowLabel(m_hWnd, IDC_SHARE_NAME_LABEL, IDC_SHARE_NAME);
    for (int id : {IDC_SHARE_ON, IDC_SHARE_PERIOD_ON})
        share::FitToText(m_hWnd, id);
    share::FollowLabel(m_hWnd, IDC_SHARE_PASSWORD_ON, IDC_SHARE_PASSWORD, true);
    LayoutPermissions();
    LayoutPickerSide();
    NarrowWindow(&CShareDlg::OnBnClickedBtnAddUgroup);
    if (m_cShareDefault == 'Y')
        Check(IDC_SHARE_ON, true);
    if (m_cPasswordRequired == 'Y') {
        Check(IDC_SHARE_PASSWORD_ON, true);
        EnableItem(IDC_SHARE_PASSWORD_ON, true);
        EnableItem(IDC_SHARE_PASSWORD, true);
    }
    return TRUE;
}

BOOL CShareDlg::PreTranslateMessage(MSG* pMsg)
{
    if (m_picker.PreTranslate(pMsg))
        return TRUE;
    return CVantelDialog::PreTranslateMessage(pMsg);
}

void CShareDlg::OnBnClickedBtnAddUgroup()
{
    if (!ExpandSize())
        return;
    m_picker.LoadFirstLevel();
    ExpandUserGroup();
}

void CShareDlg::ExpandUserGroup()
{
    if (m_pProto->CustomerCode != L"YH")
        return;
    HWND tree = m_picker.Tree();
    // The first root item's own load must have brought its children.
    m_picker.WaitTerminateThread();
    HTREEITEM current = TreeView_GetRoot(tree);
    // The path names the user's groups from the top, the first being the first root item.
    const char* next = strchr(m_pProto->GroupFullPath, ',');
    while (current && next) {
        const char* start = next + 1;
        next = strchr(start, ',');
        const size_t length = next ? static_cast<size_t>(next - start) : strlen(start);
        char id[10] = {};
        memcpy(id, start, std::min(length, sizeof id - 1));
        HTREEITEM found = nullptr;
        for (HTREEITEM child = TreeView_GetChild(tree, current); child && !found;
             child = TreeView_GetNextSibling(tree, child)) {
            const CUGroupPicker::Entry* entry = m_picker.ItemEntry(child);
            if (entry && strcmp(entry->info.GroupId, id) == 0)
                found = child;
        }
        if (!found)
            break;
        // Selecting the group loads it and its level; expanding then shows what was loaded.
        TreeView_SelectItem(tree, found);
        m_picker.WaitTerminateThread();
        TreeView_Expand(tree, found, TVE_EXPAND);
        m_picker.WaitTerminateThread();
        current = found;
    }
}

void CShareDlg::OnBnClickedCheckShare()
{
    const bool on = Checked(IDC_SHARE_ON);
    const bool required = m_cPasswordRequired == 'Y';
    if (on) {
        if (!required)
            EnableItem(IDC_SHARE_PASSWORD_ON, true);
        EnableItem(IDC_SHARE_PERIOD_ON, true);
        if (Checked(IDC_SHARE_PASSWORD_ON))
            EnableItem(IDC_SHARE_PASSWORD, true);
        if (Checked(IDC_SHARE_PERIOD_ON))
            for (int id : {IDC_SHARE_FROM, IDC_SHARE_TO, IDC_SHARE_TILDE})
                EnableItem(id, true);
        return;
    }
    if (!required) {
        Check(IDC_SHARE_PASSWORD_ON, false);
        EnableItem(IDC_SHARE_PASSWORD_ON, false);
        EnableItem(IDC_SHARE_PASSWORD, false);
    }
    Check(IDC_SHARE_PERIOD_ON, false);
    EnableItem(IDC_SHARE_PERIOD_ON, false);
    EnableItem(IDC_SHARE_FROM, false);
    EnableItem(IDC_SHARE_TO, false);
}

void CShareDlg::OnBnClickedCheckPassword()
{
    if (Checked(IDC_SHARE_PASSWORD_ON)) {
        EnableItem(IDC_SHARE_PASSWORD, true);
        ::SetFocus(::GetDlgItem(m_hWnd, IDC_SHARE_PASSWORD));
    } else if (m_cPasswordRequired == 'Y') {
        Check(IDC_SHARE_PASSWORD_ON, true);
    } else {
        EnableItem(IDC_SHARE_PASSWORD, false);
    }
}

void CShareDlg::OnBnClickedCheckPeriod()
{
    const bool on = Checked(IDC_SHARE_PERIOD_ON);
    for (int id : {IDC_SHARE_FROM, IDC_SHARE_TO, IDC_SHARE_TILDE})
        EnableItem(id, on);
}

void CShareDlg::OnEnChangeEditPassword()
{
    m_bPasswordChanged = true;
}

void CShareDlg::OnBnClickedCheckViewPublic()
{
    if (Checked(IDC_SHARE_VIEW))
        Check(IDC_SHARE_VIEW_OWN, false);
}

void CShareDlg::OnBnClickedCheckViewPrivate()
{
    if (Checked(IDC_SHARE_VIEW_OWN))
        Check(IDC_SHARE_VIEW, false);
}

void CShareDlg::OnBnClickedCheckDeletePublic()
{
    if (Checked(IDC_SHARE_DELETE))
        Check(IDC_SHARE_DELETE_OWN, false);
}

void CShareDlg::OnBnClickedCheckDeletePrivate()
{
    if (Checked(IDC_SHARE_DELETE_OWN))
        Check(IDC_SHARE_DELETE, false);
}

void CShareDlg::OnBnClickedBtnSetPerm()
{
    const char* viewer = m_bViewerDigit ? (Checked(IDC_SHARE_VIEWER) ? "2" : "0") : "";
    m_picker.ApplyPermission(PermissionWord().GetString(), viewer);
}

void CShareDlg::OnBnClickedBtnSetUgroup()
{
    UpdateNewRowPermission();
    m_picker.CopySelected();
}

void CShareDlg::OnBnClickedBtnRemoveUgroup()
{
    m_picker.RemoveSelected();
}

void CShareDlg::OnBnClickedBtnSearchUgroup()
{
    m_picker.Search();
}

void CShareDlg::OnBnClickedBtnShareHelp()
{
    if (m_hHelpWnd)
        ::SendMessageW(m_hHelpWnd, WM_SHOW_HTML_POPUP, 0, 0);
}

void CShareDlg::OnBnClickedBtnSetShare()
{
    if (m_picker.IsBusy())
        return;
    CString name;
    GetDlgItemText(IDC_SHARE_NAME, name);
    if (CFileUtils::CheckFolderName(this, name) != 0) {
        ::SetFocus(::GetDlgItem(m_hWnd, IDC_SHARE_NAME));
        return;
    }
    const bool on = Checked(IDC_SHARE_ON);
    CString password;
    if (on && Checked(IDC_SHARE_PASSWORD_ON)) {
        CString typed;
        GetDlgItemText(IDC_SHARE_PASSWORD, typed);
        if (typed.IsEmpty()) {
            dialogkit::MessageBox(m_hWnd, CToviMsg::GetString(12000), MB_ICONWARNING);
            return;
        }
        password = m_bPasswordChanged ? typed : CString(L"*");
    }
    char from[11] = {}, to[11] = {};
    if (on && Checked(IDC_SHARE_PERIOD_ON) && !share::ReadPeriod(m_hWnd, IDC_SHARE_FROM, IDC_SHARE_TO, from, to))
        return;
    StoreChosenMembers();
    char folder[10];
    memcpy(folder, m_szFolderId, sizeof folder);
    char shareFlag[2] = {on ? 'Y' : 'N', 0};
    const int result = m_pProto->SetDShareInfo(folder, name.GetString(), shareFlag, password, from, to, true);
    m_pProto->SharedUGroupInfo.clear();
    if (result != 0) {
        dialogkit::MessageBox(m_hWnd, m_pProto->ResultInfo.wszMessage, MB_ICONERROR);
        return;
    }
    EndDialog(IDOK);
}

void CShareDlg::OnCancel()
{
    for (int id : {IDC_SHARE_SAVE, IDCANCEL, IDC_SYSBTN_CLOSE})
        EnableItem(id, false);
    m_picker.SetTerminateThread();
    CVantelDialog::OnCancel();
}

void CShareDlg::OnDestroy()
{
    m_picker.Shutdown();
    for (HICON icon : m_legendIcons)
        ::DestroyIcon(icon);
    m_legendIcons.clear();
    if (m_legend) {
        ImageList_Destroy(m_legend);
        m_legend = nullptr;
    }
    CVantelDialog::OnDestroy();
}

BOOL CShareDlg::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (m_picker.OnNotify(reinterpret_cast<NMHDR*>(lParam), pResult))
        return TRUE;
    return CVantelDialog::OnNotify(wParam, lParam, pResult);
}

LRESULT CShareDlg::OnPickerStep(WPARAM wParam, LPARAM lParam)
{
    return m_picker.OnStep(wParam, lParam);
}


// CSendFileDlg: files, receivers, expiry and the optional deletion of the sources.
#include "SendFileDlg.h"
#include "DialogKit.h"
#include "FileUtils.h"
#include "MessageBoxDlgRes.h"
#include "ShareCommon.h"
#include "ShareRes.h"
#include "SkinRes.h"
#include "ToviMsg.h"
#include "ToviProto.h"
#include "ToviRegistry.h"
#include "ToviString.h"
#include <cstdlib>
#include <cstring>
#include <tuple>

IMPLEMENT_DYNAMIC(CSendFileDlg, CSharePanelDlg)

BEGIN_MESSAGE_MAP(CSendFileDlg, CSharePanelDlg)
    ON_WM_DESTROY()
    ON_BN_CLICKED(IDC_PICKER_SEARCH, OnBnClickedBtnSearchUgroup)
    ON_BN_CLICKED(IDC_PICKER_REMOVE, OnBnClickedBtnRemoveUgroup)
    ON_BN_CLICKED(IDC_PICKER_COPY, OnBnClickedBtnSetUgroup)
    ON_BN_CLICKED(IDC_SEND_SEND, OnBnClickedBtnSendFile)
    ON_BN_CLICKED(IDC_SEND_EXPIRE_ON, OnBnClickedCheckExpireDate)
    ON_MESSAGE(WM_GET_USER_N_GROUP, GetUserNGroup)
    ON_MESSAGE(WM_PICKER_STEP, OnPickerStep)
END_MESSAGE_MAP()

CSendFileDlg::CSendFileDlg(CWnd* pParent)
    : CSharePanelDlg(IDD_SEND_FILE, pParent, {IDC_SHARE_FRAME_LEFT, IDC_SHARE_FRAME_RIGHT}) {}

BOOL CSendFileDlg::OnInitDialog()
{
    CVantelDialog::OnInitDialog();
    const CString title = CToviString::GetString(14201);
    SetWindowText(title);
    SetTitleBar(title);
    share::SetTexts(this, {{IDC_PICKER_SEARCH_GROUPS, 14178}, {IDC_PICKER_SEARCH_USERS, 14181},
                           {IDC_PICKER_SEARCH_RANK, 14179}, {IDC_PICKER_SEARCH, 14131}, {IDC_PICKER_COPY, 14166},
                           {IDC_PICKER_REMOVE, 14165}, {IDC_SEND_DELETE_SOURCE, 14223}, {IDC_SEND_SEND, 14065},
                           {IDCANCEL, 14064}});
    for (const auto& [id, text] : {std::pair<int, unsigned>{IDC_SEND_HEAD_FILES, 12096},
                                   {IDC_SEND_HEAD_RECEIVERS, 12097}, {IDC_SEND_HEAD_PICKER, 12098},
                                   {IDC_SEND_FILES_LABEL, 12099}, {IDC_SEND_NOTE, 12101},
                                   {IDC_SEND_EXPIRE_ON, 12102}})
        SetDlgItemText(id, CToviMsg::GetString(text));
    ::CheckDlgButton(m_hWnd, IDC_PICKER_SEARCH_GROUPS, m_szSearchType[0] == 'Y' ? BST_CHECKED : BST_UNCHECKED);
    ::CheckDlgButton(m_hWnd, IDC_PICKER_SEARCH_USERS, m_szSearchType[1] == 'Y' ? BST_CHECKED : BST_UNCHECKED);
    ::CheckDlgButton(m_hWnd, IDC_PICKER_SEARCH_RANK, m_szSearchType[2] == 'Y' ? BST_CHECKED : BST_UNCHECKED);
    dialogkit::SkinButton(m_btnClose, this, IDC_SYSBTN_CLOSE, CToviButton::kStyleCaptionClose, CString(), 0);
    dialogkit::PlaceCloseButton(this, &m_btnClose);
    InitControl();
    LayoutControls();
    m_picker.Attach(this, m_pProto, CUGroupPicker::kSendFile);
    m_picker.SetRootDomain(m_szRootDomain);
    DrawSendFiles();
    m_picker.DrawUserNGroup(nullptr, 0);
    PostMessage(WM_GET_USER_N_GROUP, 0, 0);
    return TRUE;
}

void CSendFileDlg::LayoutControls()
{
    HWND dlg = m_hWnd;
    // Both list buttons carry their icon and are as wide as their text and 40 pixels, keeping
    // their right edges.
    for (auto [button, id, icon] : {std::tuple<CToviButton*, int, UINT>{&m_btnRemove, IDC_PICKER_REMOVE, IDI_BTN_REMOVE},
                                    {&m_btnCopy, IDC_PICKER_COPY, IDI_BTN_MOVE}}) {
        dialogkit::SkinButton(*button, this, id, 14, CString(), icon);
        const RECT rect = share::ItemRect(dlg, id);
        const int width = button->GetButtonWidth(20);
        button->MoveWindow(rect.right - width, rect.top, width, rect.bottom - rect.top, TRUE);
    }
    share::FitToText(dlg, IDC_SEND_DELETE_SOURCE);
    share::FollowLabel(dlg, IDC_SEND_EXPIRE_ON, IDC_SEND_EXPIRE, true);
    const RECT search = share::ItemRect(dlg, IDC_PICKER_SEARCH_GROUPS);
    share::FitRow(dlg, search.left, {{IDC_PICKER_SEARCH_GROUPS, 0}, {IDC_PICKER_SEARCH_USERS, share::kLabelGap},
                                     {IDC_PICKER_SEARCH_RANK, share::kLabelGap}});
}

void CSendFileDlg::InitControl()
{
    if (m_cDeleteOption == 'Y') {
        ::CheckDlgButton(m_hWnd, IDC_SEND_DELETE_SOURCE, m_cDeleteMode == 'N' ? BST_UNCHECKED : BST_CHECKED);
        EnableItem(IDC_SEND_DELETE_SOURCE, m_cDeleteMode != 'D');
    } else {
        ::CheckDlgButton(m_hWnd, IDC_SEND_DELETE_SOURCE, BST_UNCHECKED);
        EnableItem(IDC_SEND_DELETE_SOURCE, false);
        ::ShowWindow(::GetDlgItem(m_hWnd, IDC_SEND_DELETE_SOURCE), SW_HIDE);
        // The files list takes the room of the hidden check.
        HWND label = ::GetDlgItem(m_hWnd, IDC_SEND_FILES_LABEL);
        HWND files = ::GetDlgItem(m_hWnd, IDC_SEND_FILES);
        RECT rl, rf;
        ::GetWindowRect(label, &rl);
        ::GetWindowRect(files, &rf);
        ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&rl), 2);
        ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&rf), 2);
        ::MoveWindow(label, rl.left, rl.top + 25, rl.right - rl.left, rl.bottom - rl.top, TRUE);
        ::MoveWindow(files, rf.left, rf.top + 25, rf.right - rf.left, rf.bottom - rf.top - 25, TRUE);
    }
    const bool checked = m_cExpireMode == 'Y' || m_cExpireMode == 'R';
    ::CheckDlgButton(m_hWnd, IDC_SEND_EXPIRE_ON, checked ? BST_CHECKED : BST_UNCHECKED);
    EnableItem(IDC_SEND_EXPIRE_ON, m_cExpireMode == 'Y' || m_cExpireMode == 'N');
    EnableItem(IDC_SEND_EXPIRE, m_cExpireMode == 'Y');

    HWND picker = ::GetDlgItem(m_hWnd, IDC_SEND_EXPIRE);
    SYSTEMTIME range[2] = {};
    DWORD limits = GDTR_MIN;
    SYSTEMTIME day = {};
    if (share::ParseDate(m_szDefaultExpire, &day)) {
        DateTime_SetSystemtime(picker, GDT_VALID, &day);
        range[0] = day;
    } else {
        GetLocalTime(&range[0]);
    }
    if (share::ParseDate(m_szLatestExpire, &range[1]))
        limits |= GDTR_MAX;
    DateTime_SetRange(picker, limits, range);
    unsigned short language = 18;
    CToviRegistry::GetLanguage(0, &language);
    if (language == 9)
        DateTime_SetFormat(picker, L"dd/MM/yyyy");
}

void CSendFileDlg::DrawSendFiles()
{
    HWND list = ::GetDlgItem(m_hWnd, IDC_SEND_FILES);
    CString name = CToviString::GetString(14118), size = CToviString::GetString(14001);
    LVCOLUMNW column = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    column.fmt = LVCFMT_LEFT;
    column.cx = 290;
    column.pszText = const_cast<wchar_t*>(name.GetString());
    ListView_InsertColumn(list, 0, &column);
    column.fmt = LVCFMT_RIGHT;
    column.cx = 90;
    column.pszText = const_cast<wchar_t*>(size.GetString());
    ListView_InsertColumn(list, 1, &column);
    for (size_t i = 0; i < m_vecFiles.size(); ++i) {
        LVITEMW item = {};
        item.mask = LVIF_TEXT;
        item.iItem = static_cast<int>(i);
        item.pszText = m_vecFiles[i].wszName;
        const int row = ListView_InsertItem(list, &item);
        CString text = CFileUtils::ConvertFileSize(_strtoi64(m_vecFiles[i].szSize, nullptr, 10));
        ListView_SetItemText(list, row, 1, const_cast<wchar_t*>(text.GetString()));
    }
}

LRESULT CSendFileDlg::GetUserNGroup(WPARAM, LPARAM)
{
    m_picker.WaitTerminateThread();
    m_picker.SelectFirstAndLoad();
    return 0;
}

BOOL CSendFileDlg::PreTranslateMessage(MSG* pMsg)
{
    if (m_picker.PreTranslate(pMsg))
        return TRUE;
    return CVantelDialog::PreTranslateMessage(pMsg);
}

void CSendFileDlg::OnBnClickedCheckExpireDate()
{
    EnableItem(IDC_SEND_EXPIRE, Checked(IDC_SEND_EXPIRE_ON));
}

void CSendFileDlg::OnBnClickedBtnSearchUgroup()
{
    m_picker.Search();
}

void CSendFileDlg::OnBnClickedBtnRemoveUgroup()
{
    m_picker.RemoveSelected();
}

void CSendFileDlg::OnBnClickedBtnSetUgroup()
{
    m_picker.CopySelected();
}

void CSendFileDlg::OnBnClickedBtnSendFile()
{
    if (m_picker.IsBusy())
        return;
    if (m_picker.ChosenCount() == 0) {
        dialogkit::MessageBox(m_hWnd, CToviMsg::GetString(12103), MB_ICONWARNING);
        return;
    }
    char expire[11] = {};
    if (Checked(IDC_SEND_EXPIRE_ON)) {
        SYSTEMTIME day = {};
        DateTime_GetSystemtime(::GetDlgItem(m_hWnd, IDC_SEND_EXPIRE), &day);
        share::FormatDate(day, expire);
    }
    m_vecReceivers.clear();
    for (int row = 0; row < m_picker.ChosenCount(); ++row) {
        const auto* entry = static_cast<const CUGroupPicker::Entry*>(m_picker.ChosenRecord(row));
        if (!entry)
            continue;
        _RECEIVER_LIST receiver = {};
        // A group has no user id of its own: it goes out under its group id.
        const char* id = entry->info.Type[0] == 'G' ? entry->info.GroupId : entry->info.Code;
        strncpy(receiver.Code, id, sizeof receiver.Code - 1);
        strncpy(receiver.UserId, entry->info.UserId, sizeof receiver.UserId - 1);
        m_vecReceivers.push_back(receiver);
    }
    if (m_pProto->GetSendFiles(expire, m_vecFiles, m_vecReceivers) != 0) {
        dialogkit::MessageBox(m_hWnd, m_pProto->ResultInfo.wszMessage, MB_ICONERROR);
        return;
    }
    if (Checked(IDC_SEND_DELETE_SOURCE))
        DeleteSources();
    EndDialog(IDOK);
}

void CSendFileDlg::DeleteSources()
{
    for (_SEND_FILES& file : m_vecFiles) {
        if (file.szText[8] != '1')
            continue;
        if (m_pProto->GetDelete(const_cast<char*>("F"), file.szId, file.szParentId, const_cast<char*>("0"),
                                const_cast<char*>("0"), m_szDeleteArg) != 0)
            continue;
        for (int step = 0; step < PROTO_MAX_STEPS && m_pProto->FileOpInfo.FileOpName[0]; ++step)
            if (m_pProto->GetDeleteContinue(const_cast<char*>("Y")) != 0)
                break;
        m_bFilesDeleted = true;
    }
}

void CSendFileDlg::OnCancel()
{
    for (int id : {IDC_SEND_SEND, IDCANCEL, IDC_SYSBTN_CLOSE})
        EnableItem(id, false);
    m_picker.SetTerminateThread();
    CVantelDialog::OnCancel();
}

void CSendFileDlg::OnDestroy()
{
    m_picker.Shutdown();
    CVantelDialog::OnDestroy();
}

BOOL CSendFileDlg::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (m_picker.OnNotify(reinterpret_cast<NMHDR*>(lParam), pResult))
        return TRUE;
    return CVantelDialog::OnNotify(wParam, lParam, pResult);
}

LRESULT CSendFileDlg::OnPickerStep(WPARAM wParam, LPARAM lParam)
{
    return m_picker.OnStep(wParam, lParam);
}


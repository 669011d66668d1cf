// CUGroupPicker: lazy group tree, member list, search and copy into the chosen list.
#include "UGroupPicker.h"
#include "Dialog.h"
#include "DialogKit.h"
#include "ShareCommon.h"
#include "ShareRes.h"
#include "ToviMsg.h"
#include "ToviString.h"
#include "WinThread.h"
#include <algorithm>
#include <cstring>
#include <cwchar>
#include <initializer_list>
#include <vector>

using share::CopyText;

namespace {

const COLORREF kGroupRowColour = RGB(200, 213, 225);
enum { kImageGroup = 0, kImageGroupOpen = 1, kImagePerson = 2 };

template <size_t N>
void CopyWide(wchar_t (&to)[N], const wchar_t* from)
{
    wcsncpy(to, from ? from : L"", N - 1);
    to[N - 1] = 0;
}

bool IsUser(const _PROTO_UGROUP_INFO& entry)
{
    return entry.Type[0] == 'U';
}

LPARAM RowData(HWND list, int row)
{
    LVITEMW item = {};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    ListView_GetItem(list, &item);
    return item.lParam;
}

void AddColumn(HWND list, int index, UINT textId, int width, int format = LVCFMT_LEFT)
{
    CString text = CToviString::GetString(textId);
    LVCOLUMNW column = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    column.fmt = format;
    column.cx = width;
    column.pszText = const_cast<wchar_t*>(text.GetString());
    ListView_InsertColumn(list, index, &column);
}

// A column as the picker lays it out: its heading, the least width its cells want, and its
// share of the room the list has beyond what every heading needs (0: none).
struct Column {
    UINT textId;
    int minWidth;
    int grow;
    int format;
    bool kind = false;   // shows "User" or "Group" after the row's icon
};

// Room a heading needs beside its text (the header's margins and divider), and a cell beside
// its icon and text.
const int kHeadingRoom = 20;
const int kCellRoom = 16 + 14;

int TextExtent(HDC dc, const CString& text)
{
    SIZE size = {};
    ::GetTextExtentPoint32W(dc, text.GetString(), text.GetLength(), &size);
    return size.cx;
}

// Inserts the columns so that every heading shows whole and all of them fit the list's width
// (less a vertical scroll bar), the growing ones sharing what is left.
void AddColumns(HWND list, std::initializer_list<Column> columns)
{
    HDC dc = ::GetDC(list);
    HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(list, WM_GETFONT, 0, 0)));
    std::vector<int> widths;
    int needed = 0, shares = 0;
    for (const Column& column : columns) {
        int width = std::max(column.minWidth, TextExtent(dc, CToviString::GetString(column.textId)) + kHeadingRoom);
        if (column.kind)
            for (UINT word : {14183u, 14184u})
                width = std::max(width, TextExtent(dc, CToviString::GetString(word)) + kCellRoom);
        widths.push_back(width);
        needed += widths.back();
        shares += column.grow;
    }
    ::SelectObject(dc, old);
    ::ReleaseDC(list, dc);
    RECT client = {};
    ::GetClientRect(list, &client);
    const int spare = client.right - ::GetSystemMetrics(SM_CXVSCROLL) - needed;
    int index = 0, given = 0, granted = 0;
    for (const Column& column : columns) {
        int width = widths[index];
        if (spare > 0 && shares > 0 && column.grow > 0) {
            granted += column.grow;
            const int upTo = spare * granted / shares;
            width += upTo - given;
            given = upTo;
        }
        AddColumn(list, index++, column.textId, width, column.format);
    }
}

void SetCell(HWND list, int row, int column, const CString& text)
{
    ListView_SetItemText(list, row, column, const_cast<wchar_t*>(text.GetString()));
}

HICON LoadShellIcon(int index)
{
    HICON icon = nullptr;
    ExtractIconExW(L"shell32.dll", index, nullptr, &icon, 1);
    return icon ? icon : LoadIcon(nullptr, IDI_APPLICATION);
}

}

CUGroupPicker::CUGroupPicker() = default;

CUGroupPicker::~CUGroupPicker()
{
    if (m_images)
        ImageList_Destroy(m_images);
}

void CUGroupPicker::Attach(CDialog* dialog, CToviProto* proto, Kind kind)
{
    m_dialog = dialog;
    m_proto = proto;
    m_kind = kind;
    HWND dlg = dialog->GetSafeHwnd();
    m_tree = ::GetDlgItem(dlg, IDC_PICKER_TREE);
    m_members = ::GetDlgItem(dlg, IDC_PICKER_MEMBERS);
    m_chosen = ::GetDlgItem(dlg, kind == kSendFile ? IDC_PICKER_RECEIVERS : IDC_PICKER_CHOSEN);
    m_searchEdit = ::GetDlgItem(dlg, IDC_PICKER_SEARCH_TEXT);
    m_progress = ::GetDlgItem(dlg, IDC_PICKER_PROGRESS);

    m_images = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 3, 3);
    for (int index : {3, 4, 15}) {
        HICON icon = LoadShellIcon(index);
        ImageList_AddIcon(m_images, icon);
        DestroyIcon(icon);
    }
    TreeView_SetImageList(m_tree, m_images, TVSIL_NORMAL);
    ListView_SetImageList(m_members, m_images, LVSIL_SMALL);
    ListView_SetImageList(m_chosen, m_images, LVSIL_SMALL);
    ListView_SetExtendedListViewStyle(m_members, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
    ListView_SetExtendedListViewStyle(m_chosen, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);

    AddColumns(m_members, {{14138, 36, 0, LVCFMT_LEFT, true}, {14178, 50, 3, LVCFMT_LEFT}, {14000, 50, 2, LVCFMT_LEFT},
                           {14179, 40, 0, LVCFMT_LEFT}});
    if (kind == kSendFile)
        AddColumns(m_chosen, {{14178, 60, 2, LVCFMT_LEFT}, {14000, 60, 2, LVCFMT_LEFT}, {14179, 50, 1, LVCFMT_LEFT}});
    else
        AddColumns(m_chosen, {{14138, 40, 0, LVCFMT_LEFT, true}, {14000, 80, 1, LVCFMT_LEFT},
                              {14177, 100, 0, LVCFMT_CENTER}});
}

void CUGroupPicker::SetRootDomain(const char* domain)
{
    CopyText(m_rootDomain, domain);
}

void CUGroupPicker::SetNewRowPermission(const char* word, const char* viewer)
{
    CopyText(m_newWord, word);
    CopyText(m_newViewer, viewer);
}

CUGroupPicker::Entry* CUGroupPicker::ItemEntry(HTREEITEM item) const
{
    if (!item)
        return nullptr;
    TVITEMW tv = {};
    tv.mask = TVIF_PARAM;
    tv.hItem = item;
    TreeView_GetItem(m_tree, &tv);
    return reinterpret_cast<Entry*>(tv.lParam);
}

// ---- Workers ----

void CUGroupPicker::StartWorker(UINT (*proc)(LPVOID))
{
    m_stop = false;
    m_failed = false;
    // Read-only from the start, so the edit tells the whole load.
    ::SendMessageW(m_searchEdit, EM_SETREADONLY, TRUE, 0);
    CWinThread* thread = AfxBeginThread(proc, this, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    if (!thread) {
        ::SendMessageW(m_searchEdit, EM_SETREADONLY, FALSE, 0);
        return;
    }
    thread->m_bAutoDelete = FALSE;
    m_worker = thread;
    m_busy = true;
    thread->ResumeThread();
}

void CUGroupPicker::DrawUserNGroup(HTREEITEM item, int mode)
{
    SetTerminateThread();
    if (m_worker)
        return;
    m_loadItem = item;
    m_mode = mode;
    StartWorker(LoadThread);
}

void CUGroupPicker::WaitTerminateThread()
{
    while (m_worker) {
        CWinThread* worker = m_worker;
        DWORD code = 0;
        if (!GetExitCodeThread(worker->m_hThread, &code) || code != STILL_ACTIVE)
            break;
        if (WaitForSingleObject(worker->m_hThread, 10) == WAIT_OBJECT_0)
            break;
        MSG msg;
        if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    if (m_worker) {
        WaitForSingleObject(m_worker->m_hThread, INFINITE);
        delete m_worker;
        m_worker = nullptr;
    }
}

void CUGroupPicker::SetTerminateThread()
{
    m_stop = true;
    WaitTerminateThread();
    m_stop = false;
}

UINT CUGroupPicker::LoadThread(LPVOID param)
{
    auto* self = static_cast<CUGroupPicker*>(param);
    dialogkit::ApplyThreadLanguage();
    HWND dlg = self->m_dialog->GetSafeHwnd();
    ::SendMessageW(dlg, WM_PICKER_STEP, kStepBegin, 0);
    char* groupId = self->m_loadGroup;
    char* domain = self->m_loadDomain;
    char flag[2] = {self->m_kind == kSendFile ? 'Y' : 'N', 0};
    bool first = true;
    bool last = false;
    bool endPaging = false;
    int pages = 0;
    for (;;) {
        char more[2] = {(self->m_stop || endPaging) ? 'N' : 'Y', 0};
        const int result = self->m_proto->GetUserGroupList(groupId, domain, first, flag, more);
        first = false;
        if (result != 0) {
            ::SendMessageW(dlg, WM_PICKER_STEP, kStepError, 0);
            break;
        }
        if (more[0] == 'N')
            break;
        if (self->m_proto->ContinueFlag[0] == 'Y')
            ++pages;
        else if (self->m_proto->ContinueFlag[0] == 'N')
            last = true;
        if (pages > 9)
            ::SendMessageW(dlg, WM_PICKER_STEP, kStepMarquee, 0);
        if (!self->m_stop && ::SendMessageW(dlg, WM_PICKER_STEP, kStepPage, 0) == -1)
            endPaging = true;
        if (last)
            break;
    }
    if (!self->m_stop && !self->m_failed)
        ::SendMessageW(dlg, WM_PICKER_STEP, kStepSweep, 0);
    ::SendMessageW(dlg, WM_PICKER_STEP, kStepEnd, 0);
    return 0;
}

UINT CUGroupPicker::SearchThread(LPVOID param)
{
    auto* self = static_cast<CUGroupPicker*>(param);
    dialogkit::ApplyThreadLanguage();
    HWND dlg = self->m_dialog->GetSafeHwnd();
    char flag[2] = {self->m_kind == kSendFile ? 'Y' : 'N', 0};
    bool first = true;
    int pages = 0;
    for (;;) {
        char more[2] = {self->m_stop ? 'N' : 'Y', 0};
        const int result = self->m_proto->GetSearchUserGroup(self->m_searchKind, self->m_searchRank,
                                                             self->m_searchText, self->m_searchDomain, first,
                                                             flag, more);
        first = false;
        if (result != 0) {
            ::SendMessageW(dlg, WM_PICKER_STEP, kStepError, 0);
            break;
        }
        if (more[0] == 'N')
            break;
        const bool last = self->m_proto->ContinueFlag[0] != 'Y';
        if (!last && ++pages > 9)
            ::SendMessageW(dlg, WM_PICKER_STEP, kStepMarquee, 0);
        if (!self->m_stop)
            ::SendMessageW(dlg, WM_PICKER_STEP, kStepSearchPage, 0);
        if (last)
            break;
    }
    ::SendMessageW(dlg, WM_PICKER_STEP, kStepEnd, 0);
    return 0;
}

// ---- Steps on the dialog's thread ----

LRESULT CUGroupPicker::OnStep(WPARAM step, LPARAM)
{
    switch (step) {
    case kStepBegin:
        ::SendMessageW(m_searchEdit, EM_SETREADONLY, TRUE, 0);
        if (m_loadItem)
            MarkChildren(m_loadItem);
        else
            MarkChildren(TVI_ROOT);
        if (m_mode != 2)
            ClearMembers();
        m_memberRows = 0;
        if (const Entry* entry = ItemEntry(m_loadItem)) {
            CopyText(m_loadGroup, entry->info.GroupId);
            CopyText(m_loadDomain, entry->info.DomainIndex);
        } else {
            m_loadItem = nullptr;
            CopyText(m_loadGroup, "0");
            CopyText(m_loadDomain, m_rootDomain);
        }
        return 1;
    case kStepPage: {
        const int result = DrawGroupTree(m_loadItem);
        if (result != -1 && m_mode != 2 && m_loadItem)
            DrawUGroupList(m_loadItem, false);
        return result;
    }
    case kStepSearchPage: {
        HTREEITEM selected = TreeView_GetSelection(m_tree);
        if (selected) {
            DrawUGroupList(selected, true);
            CString count;
            count.Format(L"%d", m_memberRows);
            ::SetDlgItemTextW(m_dialog->GetSafeHwnd(), IDC_PICKER_SEARCH_COUNT, count.GetString());
        }
        return 0;
    }
    case kStepSweep:
        SweepChildren(m_loadItem ? m_loadItem : TVI_ROOT);
        return 0;
    case kStepMarquee:
        if (!m_marquee) {
            m_marquee = true;
            ::ShowWindow(m_progress, SW_SHOW);
            ::SendMessageW(m_progress, PBM_SETMARQUEE, TRUE, 10);
        }
        return 0;
    case kStepError:
        m_failed = true;
        dialogkit::MessageBox(m_dialog->GetSafeHwnd(), m_proto->ResultInfo.wszMessage, MB_ICONERROR);
        return 0;
    case kStepEnd:
        if (m_marquee) {
            ::SendMessageW(m_progress, PBM_SETMARQUEE, FALSE, 0);
            ::ShowWindow(m_progress, SW_HIDE);
            m_marquee = false;
        }
        m_busy = false;
        if (m_loadItem && m_expandPending && TreeView_GetChild(m_tree, m_loadItem)) {
            TreeView_Expand(m_tree, m_loadItem, TVE_EXPAND);
            m_expandPending = false;
        }
        if (m_mode == 2 && m_loadItem)
            TreeView_Expand(m_tree, m_loadItem, TVE_EXPAND);
        ::SendMessageW(m_searchEdit, EM_SETREADONLY, FALSE, 0);
        // With no group at all a search has nothing to search in: say so by a disabled button.
        if (!m_loadItem && !m_stop && !m_failed)
            ::EnableWindow(::GetDlgItem(m_dialog->GetSafeHwnd(), IDC_PICKER_SEARCH), TreeView_GetRoot(m_tree) != nullptr);
        return 0;
    default:
        return 0;
    }
}

int CUGroupPicker::DrawGroupTree(HTREEITEM item)
{
    HTREEITEM parent = item ? item : TVI_ROOT;
    ::SendMessageW(m_tree, WM_SETREDRAW, FALSE, 0);
    int result = 0;
    for (const _PROTO_UGROUP_INFO& info : m_proto->UGroupInfoTmp) {
        if (IsUser(info)) {
            result = m_mode == 2 ? -1 : 0;
            break;
        }
        if (info.Type[0] != 'G')
            continue;
        auto* entry = new Entry{info, 'N'};
        const bool children = info.Flag28[0] == 'Y';
        HTREEITEM found = FindFolder(parent, info.GroupId);
        if (found) {
            delete ItemEntry(found);
            TVITEMW tv = {};
            tv.mask = TVIF_TEXT | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_CHILDREN;
            tv.hItem = found;
            tv.pszText = entry->info.GroupName;
            tv.lParam = reinterpret_cast<LPARAM>(entry);
            tv.iImage = kImageGroup;
            tv.iSelectedImage = kImageGroupOpen;
            tv.cChildren = (children || TreeView_GetChild(m_tree, found)) ? 1 : 0;
            TreeView_SetItem(m_tree, &tv);
        } else {
            TVINSERTSTRUCTW insert = {};
            insert.hParent = parent;
            insert.hInsertAfter = TVI_LAST;
            insert.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_CHILDREN;
            insert.item.pszText = entry->info.GroupName;
            insert.item.lParam = reinterpret_cast<LPARAM>(entry);
            insert.item.iImage = kImageGroup;
            insert.item.iSelectedImage = kImageGroupOpen;
            insert.item.cChildren = children ? 1 : 0;
            TreeView_InsertItem(m_tree, &insert);
        }
    }
    ::SendMessageW(m_tree, WM_SETREDRAW, TRUE, 0);
    return result;
}

HTREEITEM CUGroupPicker::FindFolder(HTREEITEM parent, const char* groupId) const
{
    for (HTREEITEM child = TreeView_GetChild(m_tree, parent); child; child = TreeView_GetNextSibling(m_tree, child)) {
        const Entry* entry = ItemEntry(child);
        if (entry && strcmp(entry->info.GroupId, groupId) == 0)
            return child;
    }
    return nullptr;
}

void CUGroupPicker::MarkChildren(HTREEITEM item)
{
    for (HTREEITEM child = TreeView_GetChild(m_tree, item); child; child = TreeView_GetNextSibling(m_tree, child))
        if (Entry* entry = ItemEntry(child))
            entry->mark = 'Y';
}

void CUGroupPicker::SweepChildren(HTREEITEM item)
{
    HTREEITEM child = TreeView_GetChild(m_tree, item);
    while (child) {
        HTREEITEM next = TreeView_GetNextSibling(m_tree, child);
        const Entry* entry = ItemEntry(child);
        if (entry && entry->mark == 'Y')
            TreeView_DeleteItem(m_tree, child);   // item data freed by TVN_DELETEITEM
        child = next;
    }
    if (item != TVI_ROOT) {
        TVITEMW tv = {};
        tv.mask = TVIF_CHILDREN;
        tv.hItem = item;
        tv.cChildren = TreeView_GetChild(m_tree, item) ? 1 : 0;
        TreeView_SetItem(m_tree, &tv);
    }
}

CString CUGroupPicker::UserLabel(const wchar_t* name, const char* second)
{
    CString label = name;
    label += L"(";
    label += CString(second);
    label += L")";
    return label;
}

void CUGroupPicker::InsertGroupListItem(int row, const _PROTO_UGROUP_INFO& info)
{
    auto* entry = new Entry{info, 'N'};
    const bool user = IsUser(info);
    CString type = CToviString::GetString(user ? 14183 : 14184);
    LVITEMW item = {};
    item.mask = LVIF_TEXT | LVIF_PARAM | LVIF_IMAGE;
    item.iItem = row;
    item.pszText = const_cast<wchar_t*>(type.GetString());
    item.iImage = user ? kImagePerson : kImageGroup;
    item.lParam = reinterpret_cast<LPARAM>(entry);
    const int at = ListView_InsertItem(m_members, &item);
    SetCell(m_members, at, 1, info.GroupPath);
    SetCell(m_members, at, 2, user ? UserLabel(info.Name, info.UserId) : CString(info.GroupName));
    SetCell(m_members, at, 3, info.PosName);
}

void CUGroupPicker::DrawUGroupList(HTREEITEM item, bool search)
{
    HWND dlg = m_dialog->GetSafeHwnd();
    const int show = search ? SW_SHOW : SW_HIDE;
    ::ShowWindow(::GetDlgItem(dlg, IDC_PICKER_SEARCH_LABEL), show);
    ::ShowWindow(::GetDlgItem(dlg, IDC_PICKER_SEARCH_COUNT), show);
    ::SendMessageW(m_members, WM_SETREDRAW, FALSE, 0);
    if (!search && ListView_GetItemCount(m_members) == 0) {
        if (const Entry* own = ItemEntry(item))
            InsertGroupListItem(m_memberRows++, own->info);
    }
    for (const _PROTO_UGROUP_INFO& info : m_proto->UGroupInfoTmp)
        if (info.Type[0] == 'U' || info.Type[0] == 'G')
            InsertGroupListItem(m_memberRows++, info);
    ::SendMessageW(m_members, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(m_members, nullptr, TRUE);
}

void CUGroupPicker::LoadFirstLevel()
{
    DrawUserNGroup(nullptr, 0);
    WaitTerminateThread();
    SelectFirstAndLoad();
}

void CUGroupPicker::SelectFirstAndLoad()
{
    HTREEITEM first = TreeView_GetRoot(m_tree);
    if (!first)
        return;
    m_expandPending = true;
    const bool selected = TreeView_GetSelection(m_tree) == first;
    TreeView_SelectItem(m_tree, first);
    if (selected || m_kind == kSendFile)
        DrawUserNGroup(first, 0);
}

void CUGroupPicker::Search()
{
    if (m_busy)
        return;
    HWND dlg = m_dialog->GetSafeHwnd();
    const bool groups = IsDlgButtonChecked(dlg, IDC_PICKER_SEARCH_GROUPS) == BST_CHECKED;
    const bool users = IsDlgButtonChecked(dlg, IDC_PICKER_SEARCH_USERS) == BST_CHECKED;
    const bool rank = IsDlgButtonChecked(dlg, IDC_PICKER_SEARCH_RANK) == BST_CHECKED;
    m_searchKind[0] = groups && users ? 'A' : groups ? 'G' : users ? 'U' : 0;
    m_searchKind[1] = 0;
    CopyText(m_searchRank, rank ? "Y" : "N");
    if (!m_searchKind[0] && !rank) {
        dialogkit::MessageBox(dlg, CToviMsg::GetString(12063), MB_ICONWARNING);
        return;
    }
    GetWindowTextW(m_searchEdit, m_searchText, 255);
    if (!m_searchText[0]) {
        dialogkit::MessageBox(dlg, CToviMsg::GetString(12064), MB_ICONWARNING);
        ::SetFocus(m_searchEdit);
        return;
    }
    const Entry* selected = ItemEntry(TreeView_GetSelection(m_tree));
    if (!selected)
        return;
    CopyText(m_searchDomain, selected->info.DomainIndex);
    SetTerminateThread();
    ClearMembers();
    m_memberRows = 0;
    m_searched = true;
    StartWorker(SearchThread);
}

// ---- Chosen list ----

int CUGroupPicker::ChosenCount() const
{
    return ListView_GetItemCount(m_chosen);
}

void* CUGroupPicker::ChosenRecord(int row) const
{
    return reinterpret_cast<void*>(RowData(m_chosen, row));
}

bool CUGroupPicker::FindInserted(const _PROTO_UGROUP_INFO& info) const
{
    const bool user = IsUser(info);
    for (int row = 0; row < ChosenCount(); ++row) {
        if (m_kind == kSendFile) {
            const auto* entry = static_cast<const Entry*>(ChosenRecord(row));
            if (entry && entry->info.Type[0] == info.Type[0] &&
                strcmp(user ? entry->info.Code : entry->info.GroupId, user ? info.Code : info.GroupId) == 0)
                return true;
        } else {
            const auto* shared = static_cast<const _PROTO_SHARED_UGROUP*>(ChosenRecord(row));
            // The group share tells the same id apart by domain.
            if (shared && shared->Type[0] == info.Type[0] &&
                strcmp(user ? shared->Code : shared->GroupId, user ? info.Code : info.GroupId) == 0 &&
                (m_kind != kGroupShare || strcmp(shared->DomainIndex, info.DomainIndex) == 0))
                return true;
        }
    }
    return false;
}

void CUGroupPicker::InsertChosen(void* record, const _PROTO_UGROUP_INFO* entry, const _PROTO_SHARED_UGROUP* shared)
{
    const bool user = entry ? IsUser(*entry) : shared->Type[0] == 'U';
    LVITEMW item = {};
    item.mask = LVIF_TEXT | LVIF_PARAM | LVIF_IMAGE;
    item.iItem = ChosenCount();
    item.iImage = user ? kImagePerson : kImageGroup;
    item.lParam = reinterpret_cast<LPARAM>(record);
    CString first = entry ? CString(entry->GroupPath) : CToviString::GetString(user ? 14183 : 14184);
    item.pszText = const_cast<wchar_t*>(first.GetString());
    const int at = ListView_InsertItem(m_chosen, &item);
    if (entry) {
        SetCell(m_chosen, at, 1, user ? UserLabel(entry->Name, entry->UserId) : CString(entry->GroupName));
        SetCell(m_chosen, at, 2, entry->PosName);
        return;
    }
    CString name;
    if (shared->Flag46[0] == 'N') {
        name.Format(L"<%s> ", shared->DomainLabel);
    }
    name += user ? UserLabel(shared->Name, shared->UserId) : CString(shared->GroupName);
    SetCell(m_chosen, at, 1, name);
    SetCell(m_chosen, at, 2, CString(shared->Permission));
}

void CUGroupPicker::AppendShared(const _PROTO_SHARED_UGROUP& record)
{
    auto* copy = new _PROTO_SHARED_UGROUP(record);
    InsertChosen(copy, nullptr, copy);
}

void CUGroupPicker::CopySelected()
{
    for (int row = ListView_GetNextItem(m_members, -1, LVNI_SELECTED); row != -1;
         row = ListView_GetNextItem(m_members, row, LVNI_SELECTED)) {
        const auto* entry = reinterpret_cast<const Entry*>(RowData(m_members, row));
        if (!entry || FindInserted(entry->info))
            continue;
        if (m_kind == kSendFile) {
            auto* copy = new Entry(*entry);
            InsertChosen(copy, &copy->info, nullptr);
            continue;
        }
        auto* shared = new _PROTO_SHARED_UGROUP{};
        CopyText(shared->Type, entry->info.Type);
        if (IsUser(entry->info)) {
            CopyText(shared->Code, entry->info.Code);
            CopyWide(shared->Name, entry->info.Name);
            CopyText(shared->UserId, entry->info.UserId);
        } else {
            CopyText(shared->GroupId, entry->info.GroupId);
            CopyWide(shared->GroupName, entry->info.GroupName);
        }
        if (m_kind == kGroupShare) {
            CopyText(shared->DomainIndex, entry->info.DomainIndex);
            CopyWide(shared->DomainLabel, entry->info.DomainLabel);
            CopyText(shared->Flag46, entry->info.Flag46);
        }
        CopyText(shared->Permission, m_newWord);
        CopyText(shared->Write, m_newViewer);
        InsertChosen(shared, nullptr, shared);
    }
}

void CUGroupPicker::RemoveSelected()
{
    for (int row = ChosenCount() - 1; row >= 0; --row)
        if (ListView_GetItemState(m_chosen, row, LVIS_SELECTED) & LVIS_SELECTED)
            ListView_DeleteItem(m_chosen, row);   // record freed by LVN_DELETEITEM
}

void CUGroupPicker::ApplyPermission(const char* word, const char* viewer)
{
    for (int row = ListView_GetNextItem(m_chosen, -1, LVNI_SELECTED); row != -1;
         row = ListView_GetNextItem(m_chosen, row, LVNI_SELECTED)) {
        auto* shared = static_cast<_PROTO_SHARED_UGROUP*>(ChosenRecord(row));
        if (!shared)
            continue;
        CopyText(shared->Permission, word);
        CopyText(shared->Write, viewer);
        SetCell(m_chosen, row, 2, CString(shared->Permission));
    }
}

// ---- Clearing ----

void CUGroupPicker::ClearMembers()
{
    ListView_DeleteAllItems(m_members);
}

void CUGroupPicker::ClearTree()
{
    m_clearing = true;
    TreeView_DeleteAllItems(m_tree);
    m_clearing = false;
}

void CUGroupPicker::Shutdown()
{
    m_clearing = true;
    SetTerminateThread();
    if (m_tree) {
        TreeView_DeleteAllItems(m_tree);
        ListView_DeleteAllItems(m_members);
        ListView_DeleteAllItems(m_chosen);
    }
    if (m_proto) {
        m_proto->ReleaseUGroupInfo();
        m_proto->ReleaseUGroupInfoTmp();
    }
}

// ---- Notifications ----

bool CUGroupPicker::OnNotify(NMHDR* header, LRESULT* result)
{
    if (header->hwndFrom == m_tree && m_tree)
        *result = OnTreeNotify(header);
    else if (header->hwndFrom == m_members && m_members)
        *result = OnMembersNotify(header);
    else if (header->hwndFrom == m_chosen && m_chosen)
        *result = OnChosenNotify(header);
    else
        return false;
    return true;
}

LRESULT CUGroupPicker::OnTreeNotify(NMHDR* header)
{
    const bool refuse = m_clearing || m_busy;
    switch (header->code) {
    case TVN_DELETEITEMW: {
        auto* view = reinterpret_cast<NMTREEVIEWW*>(header);
        delete reinterpret_cast<Entry*>(view->itemOld.lParam);
        return 0;
    }
    case TVN_SELCHANGINGW:
        return refuse ? 1 : 0;
    case TVN_SELCHANGEDW: {
        if (refuse)
            return 0;
        auto* view = reinterpret_cast<NMTREEVIEWW*>(header);
        m_searched = false;
        if (m_kind != kSendFile)
            DrawUserNGroup(view->itemNew.hItem, 0);
        return 0;
    }
    case TVN_ITEMEXPANDINGW: {
        if (refuse)
            return 1;
        auto* view = reinterpret_cast<NMTREEVIEWW*>(header);
        if ((view->action & TVE_EXPAND) && !TreeView_GetChild(m_tree, view->itemNew.hItem))
            DrawUserNGroup(view->itemNew.hItem, 2);
        return 0;
    }
    case NM_CLICK: {
        if (refuse)
            return 1;
        TVHITTESTINFO hit = {};
        GetCursorPos(&hit.pt);
        ScreenToClient(m_tree, &hit.pt);
        HTREEITEM item = TreeView_HitTest(m_tree, &hit);
        if (!item || !(hit.flags & (TVHT_ONITEMICON | TVHT_ONITEMLABEL | TVHT_ONITEMSTATEICON)))
            return 0;
        if (m_kind == kSendFile) {
            DrawUserNGroup(item, 0);
        } else if (item == TreeView_GetSelection(m_tree) && m_searched) {
            m_searched = false;
            DrawUserNGroup(item, 0);
        }
        return 0;
    }
    default:
        return 0;
    }
}

LRESULT CUGroupPicker::OnMembersNotify(NMHDR* header)
{
    switch (header->code) {
    case LVN_DELETEITEM:
        delete reinterpret_cast<Entry*>(reinterpret_cast<NMLISTVIEW*>(header)->lParam);
        return 0;
    case NM_DBLCLK:
        CopySelected();
        return 0;
    case NM_CUSTOMDRAW: {
        auto* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(header);
        if (draw->nmcd.dwDrawStage == CDDS_PREPAINT)
            return CDRF_NOTIFYITEMDRAW;
        if (draw->nmcd.dwDrawStage == CDDS_ITEMPREPAINT && draw->nmcd.dwItemSpec == 0 && !m_searched)
            draw->clrTextBk = kGroupRowColour;
        return CDRF_DODEFAULT;
    }
    default:
        return 0;
    }
}

LRESULT CUGroupPicker::OnChosenNotify(NMHDR* header)
{
    if (header->code == LVN_DELETEITEM) {
        auto* view = reinterpret_cast<NMLISTVIEW*>(header);
        if (m_kind == kSendFile)
            delete reinterpret_cast<Entry*>(view->lParam);
        else
            delete reinterpret_cast<_PROTO_SHARED_UGROUP*>(view->lParam);
    }
    return 0;
}

bool CUGroupPicker::PreTranslate(MSG* msg)
{
    if (msg->message != WM_KEYDOWN || msg->wParam != VK_RETURN)
        return false;
    HWND focus = GetFocus();
    if (focus == m_searchEdit) {
        Search();
        return true;
    }
    // These dialogs have no OK button: Enter would end them as if saved and lose what the user
    // set. Only a push button that the dialog manager presses itself gets the key.
    const LRESULT code = ::SendMessageW(focus, WM_GETDLGCODE, 0, 0);
    return (code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) == 0;
}

// CServerLeftView: the commands on a folder of the server tree, from its menu, its keys and the
// command bar, and the messages that open a folder from the search and shortcut windows.
#include "ServerLeftView.h"
#include "FilePropertyDlg.h"
#include "GuestDlg.h"
#include "GuestMultiDlg.h"
#include "OleDataObject.h"
#include "ProtoCommands.h"
#include "RestoreListDlg.h"
#include "SearchDlg.h"
#include "ServerClipboard.h"
#include "ServerCommandSupport.h"
#include "ServerGuestChoice.h"
#include "ServerRightView.h"
#include "ToviMessages.h"
#include "ToviString.h"
#include "TraceLog.h"
#include <cstring>
#include <memory>

using namespace servermenu;

namespace {

bool Is(const char* text, const char* value) { return std::strcmp(text, value) == 0; }

std::vector<CString> SplitPath(const CString& path)
{
    std::vector<CString> parts;
    int start = 0;
    for (;;) {
        int slash = path.Find(L'/', start);
        CString part = slash < 0 ? path.Mid(start) : path.Mid(start, slash - start);
        if (!part.IsEmpty())
            parts.push_back(part);
        if (slash < 0)
            break;
        start = slash + 1;
    }
    return parts;
}

// The folder's record on the clipboard as the tree's, from its parent's path.
bool FolderToClipboard(CServerTreeCtrl& tree, HTREEITEM item, bool cut)
{
    const _PROTO_FOLDER_INFO* r = tree.GetRecord(item);
    if (!r)
        return false;
    UINT format = servercmd::ServerItemsFormat();
    std::vector<_PROTO_FOLDER_INFO> records(1, *r);
    return CopyFolderInfoListClipboard(&format, records, L"SL", tree.GetItemPath(tree.GetParentItem(item)), cut) != 0;
}

}

IServerOperationHost* CServerLeftView::OperationHost() const
{
    return m_pOpHost ? m_pOpHost : MainFrameOperationHost();
}

CWnd* CServerLeftView::DialogOwner()
{
    return servercmd::DialogOwnerOf(OperationHost(), this);
}

void CServerLeftView::RunTreeCommand(int command, HTREEITEM item)
{
    const _PROTO_FOLDER_INFO* r = m_tree.GetRecord(item);
    if (!r)
        return;
    switch (command) {
    case kNewFolder: OnNewFolder(item); break;
    case kShare: OnShare(item); break;
    case kNewGroup: OnGroupShare(item, 1, 1, 0); break;
    case kGroupSettings: OnGroupShare(item, 1, 0, 0); break;
    case kGroupShare: OnGroupShare(item, 0, 0, Is(r->Attr178, "1") ? 0 : 1); break;
    case kCut: m_tree.ClearCutMarks(); CutFolder(item); break;
    case kCopy: CopyFolder(item); break;
    case kPaste: OnPaste(item); break;
    case kDelete: DeleteFolder(item, true); break;
    case kDeleteForGood: DeleteFolder(item, false); break;
    case kRename: OnRename(item); break;
    case kDownload: OnDownload(item); break;
    case kProperties: OnProperties(item); break;
    case kGuestsOfFolder: OnGuest(item, true); break;
    case kGuestsOfRow: OnGuest(item, false); break;
    case kContentSearch: OnSearch(item, CString(), 1); break;
    case kSearch: OnSearch(item, CString(), 0); break;
    case kBinDelete: DeleteInRecycleBin(item); break;
    case kBinRestore: OnRecyclebinRestore(item); break;
    case kBinEmpty: OnRecyclebinClear(item); break;
    case kShortcut: OnAddShortcut(item); break;
    case kPcDelete: OnDeleteBackupPC(item); break;
    default: break;
    }
}

void CServerLeftView::Relist(HTREEITEM folder)
{
    if (folder)
        m_tree.DrawSubTreeNList(folder, folder == m_tree.GetSelectedItem() ? TREE_REFRESH_TREE_AND_LIST : TREE_REFRESH_TREE_ONLY,
                                true);
}

void CServerLeftView::RelistParent(HTREEITEM item)
{
    Relist(m_tree.GetParentItem(item));
}

void CServerLeftView::OnNewFolder(HTREEITEM item)
{
    if (!item)
        return;
    if (item != m_tree.GetSelectedItem())
        m_tree.SelectItem(item);
    if (m_pListView && m_pListView->Pane())
        m_pListView->Pane()->WaitListThreadExit();
    CString name = m_pListView ? m_pListView->MakeNewFolderName() : CToviString::GetString(14004);
    HTREEITEM child = m_tree.InsertProposedFolder(item, name);
    if (!child)
        return;
    m_tree.SetItemChildren(item, true);
    m_tree.Expand(item, TVE_EXPAND);
    m_tree.BeginNameEdit(child, 0);
}

void CServerLeftView::OnRename(HTREEITEM item)
{
    m_tree.BeginNameEdit(item ? item : m_tree.GetSelectedItem(), 1);
}

bool CServerLeftView::DeleteFolder(HTREEITEM item, bool toRecycleBin)
{
    const std::vector<_PROTO_FOLDER_INFO> items =
        ConfirmedItem(item, toRecycleBin ? servercmd::Question::DeleteToBin : servercmd::Question::DeleteForGood);
    if (items.empty())
        return false;
    servercmd::ProgressOutcome outcome = servercmd::RunDelete(OperationHost(), DialogOwner(), *m_pProto, items, toRecycleBin);
    if (outcome.untouched)
        return false;
    if (!outcome.cancelled && !outcome.error)
        RemoveFromTree(item);
    IServerOperationHost* host = OperationHost();
    if (!host)
        return false;
    if (!toRecycleBin)
        host->PostQuotaUpdate();
    return true;
}

std::vector<_PROTO_FOLDER_INFO> CServerLeftView::ConfirmedItem(HTREEITEM item, servercmd::Question question)
{
    const _PROTO_FOLDER_INFO* r = m_tree.GetRecord(item);
    if (!r || !m_pProto)
        return {};
    std::vector<_PROTO_FOLDER_INFO> items(1, *r);
    if (!servercmd::Confirm(DialogOwner(), question, items))
        items.clear();
    return items;
}

void CServerLeftView::RemoveFromTree(HTREEITEM item)
{
    HTREEITEM parent = m_tree.GetParentItem(item);
    bool wasSelected = item == m_tree.GetSelectedItem();
    m_tree.RemoveItem(item);
    if (!parent)
        return;
    if (wasSelected)
        m_tree.SelectItem(parent);
    // The removal moved the selection without a listing: the parent is listed here.
    if (parent == m_tree.GetSelectedItem())
        m_tree.DrawSubTreeNList(parent, TREE_REFRESH_TREE_AND_LIST, true);
    else if (!m_tree.GetChildItem(parent))
        m_tree.SetItemChildren(parent, false);
}

bool CServerLeftView::CopyFolder(HTREEITEM item)
{
    return FolderToClipboard(m_tree, item, false);
}

bool CServerLeftView::CutFolder(HTREEITEM item)
{
    if (!FolderToClipboard(m_tree, item, true))
        return false;
    m_tree.SetItemState(item, TVIS_CUT, TVIS_CUT);
    m_tree.MoveSource().Mark(m_tree.GetParentItem(item));
    return true;
}

void CServerLeftView::OnPaste(HTREEITEM item)
{
    if (servercmd::ClipboardHasServerItems()) {
        PasteServerItems(item, 0);
        return;
    }
    if (!servercmd::ClipboardHasFiles())
        return;
    std::vector<CString> paths;
    bool cut = false;
    if (GetFileListClipboard(paths, cut) && !paths.empty())
        UploadLocalFiles(item, paths);
}

bool CServerLeftView::DropData(HTREEITEM item, COleDataObject* data, int mode)
{
    const _PROTO_FOLDER_INFO* target = m_tree.GetRecord(item);
    if (!data || !target)
        return false;
    bool done = false;
    std::vector<CString> paths;
    if (GetFileListDataObject(paths, data) && !paths.empty()) {
        if (serverdrop::TakesUpload(*target)) {
            UploadLocalFiles(item, paths);
            done = OperationHost() != nullptr;
        }
    } else {
        UINT format = servercmd::ServerItemsFormat();
        std::vector<_PROTO_FOLDER_INFO> records;
        CString tag, source;
        if (GetFolderInfoListDataObject(data, &format, records, tag, source) && !records.empty() &&
            serverdrop::TakesItems(*target))
            done = PasteServerItems(item, mode == 2 ? 2 : 1, &records);
    }
    if (m_tree.GetRecord(m_tree.GetSelectedItem()))
        m_tree.SetMenuButtonState(m_tree.GetRecord(m_tree.GetSelectedItem()));
    return done;
}

void CServerLeftView::UploadLocalFiles(HTREEITEM item, const std::vector<CString>& paths)
{
    const _PROTO_FOLDER_INFO* target = m_tree.GetRecord(item);
    IServerOperationHost* host = OperationHost();
    if (target && host)
        host->UploadFiles(*target, paths, item);
}

bool CServerLeftView::PasteServerItems(HTREEITEM item, int mode, const std::vector<_PROTO_FOLDER_INFO>* dropped)
{
    const _PROTO_FOLDER_INFO* target = m_tree.GetRecord(item);
    if (!target || !m_pProto)
        return false;
    if (m_pListView && m_pListView->Pane())
        m_pListView->Pane()->WaitListThreadExit();
    const servercmd::PasteOutcome paste =
        dropped ? servercmd::PasteItems(OperationHost(), DialogOwner(), *m_pProto, *dropped, *target, mode == 2)
                : servercmd::PasteServerItems(OperationHost(), DialogOwner(), *m_pProto, *target, mode);
    if (!paste.ran)
        return false;
    // A drop leaves the clipboard and its cut alone.
    if (!dropped)
        m_tree.ClearCutMarks();
    if (paste.moved) {
        // The moved folders leave their old place: the source folder is listed anew.
        HTREEITEM source = m_tree.MoveSource().Take();
        if (source && source != item)
            m_tree.DrawSubTreeNList(source, TREE_REFRESH_TREE_ONLY, false);
        if (!dropped && ::OpenClipboard(m_hWnd))
            ClearClipboard();
    }
    Relist(item);
    if (IServerOperationHost* host = OperationHost())
        host->PostQuotaUpdate();
    return !paste.progress.untouched;
}

void CServerLeftView::OnDownload(HTREEITEM item)
{
    const _PROTO_FOLDER_INFO* r = m_tree.GetRecord(item);
    IServerOperationHost* host = OperationHost();
    if (r && host)
        host->DownloadItems(std::vector<_PROTO_FOLDER_INFO>(1, *r), m_tree.GetItemPath(m_tree.GetParentItem(item)));
}

void CServerLeftView::OnProperties(HTREEITEM item)
{
    const _PROTO_FOLDER_INFO* r = m_tree.GetRecord(item);
    if (!r || !m_pProto)
        return;
    std::unique_ptr<CToviProto> own = servercmd::OpenOwnSession(*m_pProto, m_hWnd, PROT_CMD('D', '1'));
    if (!own)
        return;   // freed here, once; the dialog never saw it
    CFilePropertyDlg dialog(DialogOwner());
    dialog.m_pProto = own.release();   // the dialog closes and deletes it
    dialog.m_vecItems.push_back(*r);
    HTREEITEM parent = m_tree.GetParentItem(item);
    const _PROTO_FOLDER_INFO* p = m_tree.GetRecord(parent);
    dialog.m_bParentTop = p && Is(p->Attr178, "0");
    dialog.m_strLocation = m_tree.GetItemPath(item);
    dialog.m_strCustomFlag = m_pProto->CustomerCode;
    dialog.DoModal();
}

void CServerLeftView::OnShare(HTREEITEM item)
{
    _PROTO_FOLDER_INFO* r = m_tree.GetRecord(item);
    if (r && m_pProto && servercmd::RunShareDialog(DialogOwner(), *m_pProto, *r, m_hWnd, OperationHost()) == IDOK)
        RelistParent(item);
}

void CServerLeftView::OnGroupShare(HTREEITEM item, int newGroup, int groupSettings, int)
{
    _PROTO_FOLDER_INFO* r = m_tree.GetRecord(item);
    if (r && m_pProto &&
        servercmd::RunGroupShareDialog(DialogOwner(), *m_pProto, *r, m_hWnd, newGroup && groupSettings) == IDOK)
        RelistParent(item);
}

void CServerLeftView::OnGuest(HTREEITEM item, bool newGuest)
{
    _PROTO_FOLDER_INFO* r = m_tree.GetRecord(item);
    if (!r || !m_pProto)
        return;
    if (RunGuestDialog(DialogOwner(), *m_pProto, *r, newGuest) == IDOK)
        RelistParent(item);
}

void CServerLeftView::OnSearch(HTREEITEM item, const CString& text, int contents)
{
    _PROTO_FOLDER_INFO* r = m_tree.GetRecord(item);
    if (!r || !m_pProto)
        return;
    CloseSearch();
    m_searchFolder.reset(new _PROTO_FOLDER_INFO(*r));
    auto* dialog = new CSearchDlg(nullptr);
    dialog->CopySession(m_pProto);
    dialog->m_pFolderInfo = m_searchFolder.get();
    dialog->m_strSearchText = text;
    dialog->m_bContentSearch = contents != 0;
    dialog->m_strLocation = m_tree.GetItemPath(item);
    dialog->m_strCustomFlag = m_pProto->CustomerCode;
    dialog->m_hOwner = m_hWnd;
    // Its downloads go to the splitter, into the local tree's folder.
    if (IServerOperationHost* host = OperationHost()) {
        dialog->m_hSplitter = host->TransferWindow();
        dialog->m_pDownloadHost = host->SearchDownloadHost();
    }
    if (!dialog->Create(nullptr)) {
        delete dialog;
        return;
    }
    m_pSearch = dialog;
    dialog->ShowWindow(SW_SHOW);
}

void CServerLeftView::CloseSearch()
{
    if (m_pSearch && m_pSearch->GetSafeHwnd())
        m_pSearch->DestroyWindow();   // its closing message makes us forget it
    m_pSearch = nullptr;
}

LRESULT CServerLeftView::OnSearchDlgClosed(WPARAM, LPARAM)
{
    m_pSearch = nullptr;
    return 0;
}

bool CServerLeftView::DeleteInRecycleBin(HTREEITEM item)
{
    const std::vector<_PROTO_FOLDER_INFO> items = ConfirmedItem(item, servercmd::Question::DeleteInBin);
    if (items.empty())
        return false;
    servercmd::ProgressOutcome outcome = servercmd::RunDelete(OperationHost(), DialogOwner(), *m_pProto, items, false);
    if (outcome.error || outcome.untouched)
        return false;
    if (!outcome.cancelled)
        RemoveFromTree(item);
    if (IServerOperationHost* host = OperationHost())
        host->PostQuotaUpdate();
    return true;
}

bool CServerLeftView::OnRecyclebinRestore(HTREEITEM item)
{
    const std::vector<_PROTO_FOLDER_INFO> items = ConfirmedItem(item, servercmd::Question::Restore);
    if (items.empty())
        return false;
    // No quota refresh follows: a restore frees no space.
    servercmd::ProgressOutcome outcome = servercmd::RunRestore(OperationHost(), DialogOwner(), *m_pProto, items);
    if (outcome.untouched)
        return false;
    if (!outcome.cancelled && !outcome.error)
        RemoveFromTree(item);
    CRestoreListDlg list(DialogOwner());
    list.m_vecItems = outcome.done.empty() ? items : outcome.done;
    if (list.DoModal() == IDOK && !list.m_strChosenPath.IsEmpty()) {
        m_tree.DrawSubTreeNList(m_tree.GetRootItem(), TREE_REFRESH_TREE_ONLY, true);
        HTREEITEM folder = OpenServerPath(list.m_strChosenPath);
        if (folder && list.m_nIsFile && m_pListView)
            m_pListView->SelectRowByIdx(list.m_szChosenIdx);
    }
    return true;
}

bool CServerLeftView::OnRecyclebinClear(HTREEITEM item)
{
    const _PROTO_FOLDER_INFO* r = m_tree.GetRecord(item);
    std::vector<_PROTO_FOLDER_INFO> entries;
    if (!r || !m_pProto || !m_tree.ListContent(*r, entries) || !servercmd::Confirm(DialogOwner(), servercmd::Question::EmptyBin, entries))
        return false;
    servercmd::ProgressOutcome outcome = servercmd::RunEmptyBin(OperationHost(), DialogOwner(), *m_pProto, *r);
    if (outcome.error || outcome.untouched)
        return false;
    if (!outcome.cancelled) {
        while (HTREEITEM child = m_tree.GetChildItem(item))
            m_tree.RemoveItem(child);
        if (item == m_tree.GetSelectedItem())
            m_tree.DrawSubTreeNList(item, TREE_REFRESH_TREE_AND_LIST, true);
        else
            m_tree.SetItemChildren(item, false);
    }
    if (IServerOperationHost* host = OperationHost())
        host->PostQuotaUpdate();
    return true;
}

void CServerLeftView::OnAddShortcut(HTREEITEM item)
{
    _PROTO_FOLDER_INFO* r = m_tree.GetRecord(item);
    if (r && m_pProto)
        servercmd::AddShortcuts(OperationHost(), DialogOwner(), *m_pProto, {*r});
}

void CServerLeftView::OnDeleteBackupPC(HTREEITEM item)
{
    _PROTO_FOLDER_INFO* r = m_tree.GetRecord(item);
    if (!r || !m_pProto)
        return;
    if (!servercmd::DeleteBackupPC(DialogOwner(), *m_pProto, *r))
        return;
    HTREEITEM parent = m_tree.GetParentItem(item);
    if (!parent)
        return;
    m_tree.SelectItem(parent);
    const _PROTO_FOLDER_INFO* p = m_tree.GetRecord(parent);
    TraceLog(2048, L" DrawSubTreeNList --> %s", p ? p->Name : L"");
    m_tree.DrawSubTreeNList(parent, TREE_REFRESH_TREE_AND_LIST, false);
}

HTREEITEM CServerLeftView::FindChildByName(HTREEITEM parent, const CString& name, const char* idx)
{
    if (!parent)
        return nullptr;
    m_tree.DrawSubTreeNList(parent, TREE_REFRESH_TREE_ONLY, true);
    if (m_tree.GetChildItem(parent))
        m_tree.Expand(parent, TVE_EXPAND);
    for (HTREEITEM child = m_tree.GetChildItem(parent); child; child = m_tree.GetNextSiblingItem(child)) {
        const _PROTO_FOLDER_INFO* r = m_tree.GetRecord(child);
        if (!r || name.CompareNoCase(r->Name) != 0)
            continue;
        if (idx && idx[0] && _stricmp(idx, r->IDX) != 0)
            continue;
        return child;
    }
    return nullptr;
}

HTREEITEM CServerLeftView::OpenServerPath(const CString& path)
{
    std::vector<CString> parts = SplitPath(path);
    if (parts.empty())
        return nullptr;
    HTREEITEM at = nullptr;
    for (HTREEITEM top = m_tree.GetRootItem(); top && !at; top = m_tree.GetNextSiblingItem(top)) {
        const _PROTO_FOLDER_INFO* r = m_tree.GetRecord(top);
        if (r && parts[0].CompareNoCase(r->Name) == 0)
            at = top;
    }
    for (size_t i = 1; at && i < parts.size(); ++i)
        at = FindChildByName(at, parts[i], "");
    if (at) {
        m_tree.SelectItem(at);
        m_tree.EnsureVisible(at);
    }
    return at;
}

LRESULT CServerLeftView::OnSearchGotoFolder(WPARAM wParam, LPARAM)
{
    // The search window hands over a record it allocated: ours to delete, strings included.
    std::unique_ptr<_SEARCH_GOTO_FOLDER> record(reinterpret_cast<_SEARCH_GOTO_FOLDER*>(wParam));
    if (!record)
        return 0;
    std::unique_ptr<CString> location(record->LocationPath);
    std::unique_ptr<CString> second(record->SecondPath);
    char idx[16];
    std::snprintf(idx, sizeof idx, "%d", record->Id1);
    m_tree.SetFocus();
    HTREEITEM folder = location ? OpenServerPath(*location) : nullptr;
    if (!folder)
        return 0;
    if (record->IsFile) {
        if (m_pListView)
            m_pListView->SelectRowByIdx(idx);
        return 0;
    }
    for (HTREEITEM child = m_tree.GetChildItem(folder); child; child = m_tree.GetNextSiblingItem(child)) {
        const _PROTO_FOLDER_INFO* r = m_tree.GetRecord(child);
        if (r && std::strcmp(r->IDX, idx) == 0) {
            m_tree.SelectItem(child);
            m_tree.EnsureVisible(child);
            break;
        }
    }
    return 0;
}

LRESULT CServerLeftView::OnOpenShortcutPath(WPARAM wParam, LPARAM)
{
    // The shortcut window hands over a string it allocated for us.
    std::unique_ptr<CString> path(reinterpret_cast<CString*>(wParam));
    if (!path || !m_tree.GetRootItem())
        return 0;
    HTREEITEM folder = OpenServerPath(*path);
    if (!folder) {
        TraceLog(2048, L"FindTreeData return NULL!");
        servercmd::ShowMessage(DialogOwner(), 12128, MB_ICONERROR);
    }
    return 0;
}

LRESULT CServerLeftView::OnShowHtmlPopup(WPARAM, LPARAM)
{
    servercmd::ShowPermissionHelp(OperationHost());
    return 0;
}

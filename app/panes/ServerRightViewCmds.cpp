// CServerRightView: the commands on the rows of the server list, from its menu, its keys, the
// command bar and the drop target.
#include "ServerRightView.h"
#include "DirectEditAddOn.h"
#include "FilePropertyDlg.h"
#include "FileUtils.h"
#include "LinkCreateDlg.h"
#include "LinkInfoDlg.h"
#include "OleDataObject.h"
#include "PaneMessages.h"
#include "ProtoCommands.h"
#include "RestoreListDlg.h"
#include "SearchDlg.h"
#include "SendFileDlg.h"
#include "ServerClipboard.h"
#include "ServerCommandSupport.h"
#include "ServerGuestChoice.h"
#include "ServerLeftView.h"
#include "ServerTreeCtrl.h"
#include "ToviMessages.h"
#include "ToviString.h"
#include "TransferCommon.h"
#include "TraceLog.h"
#include "VersionManagementDlg.h"
#include <cstdio>
#include <cstring>
#include <memory>

using namespace servermenu;
using servercmd::CopyId;
using servercmd::CopyShown;
using servercmd::ShowServerError;

namespace {

bool Is(const char* text, const char* value) { return std::strcmp(text, value) == 0; }

}

IServerOperationHost* CServerRightView::OperationHost() const
{
    return m_pOpHost ? m_pOpHost : MainFrameOperationHost();
}

CWnd* CServerRightView::DialogOwner()
{
    return servercmd::DialogOwnerOf(OperationHost(), this);
}

_PROTO_FOLDER_INFO* CServerRightView::CurrentFolder() const
{
    return m_pTree ? m_pTree->GetRecord(m_pTree->GetSelectedItem()) : nullptr;
}

HTREEITEM CServerRightView::FolderItemOf(const _PROTO_FOLDER_INFO* target) const
{
    if (!m_pTree || !target)
        return nullptr;
    HTREEITEM shown = m_pTree->GetSelectedItem();
    if (target == m_pTree->GetRecord(shown))
        return shown;
    for (HTREEITEM child = m_pTree->GetChildItem(shown); child; child = m_pTree->GetNextSiblingItem(child)) {
        const _PROTO_FOLDER_INFO* r = m_pTree->GetRecord(child);
        if (r && std::strncmp(r->IDX, target->IDX, sizeof r->IDX) == 0)
            return child;
    }
    return nullptr;
}

_PROTO_FOLDER_INFO* CServerRightView::RowRecord(int row) const
{
    if (row < 0 || !m_list.GetSafeHwnd() || row >= m_list.GetItemCount())
        return nullptr;
    return reinterpret_cast<_PROTO_FOLDER_INFO*>(m_list.GetItemData(row));
}

std::vector<_PROTO_FOLDER_INFO> CServerRightView::SelectedRecords() const
{
    std::vector<_PROTO_FOLDER_INFO> records;
    for (int i = m_list.GetNextItem(-1, LVNI_SELECTED); i >= 0; i = m_list.GetNextItem(i, LVNI_SELECTED))
        if (const _PROTO_FOLDER_INFO* r = RowRecord(i))
            records.push_back(*r);
    return records;
}

void CServerRightView::PostQuotaUpdate()
{
    if (IServerOperationHost* host = OperationHost())
        host->PostQuotaUpdate();
}

void CServerRightView::Refresh(int mode, bool useCache)
{
    if (m_pTree && m_pTree->GetSelectedItem())
        m_pTree->DrawSubTreeNList(m_pTree->GetSelectedItem(), mode, useCache);
}

void CServerRightView::RunListCommand(int command, int row)
{
    _PROTO_FOLDER_INFO* current = CurrentFolder();
    switch (command) {
    case kNewFolder: OnNewFolder(); break;
    case kNewGroup: OnGShare(-1, 1, 1); break;
    case kGroupSettings: OnGShare(row, 1, 0); break;
    case kGroupShare: OnGShare(row, 0, 0); break;
    case kBinDelete: DeleteInRecycleBin(); break;
    case kBinRestore: OnRecyclebinRestore(); break;
    case kBinEmpty: OnRecyclebinEmpty(); break;
    case kShare: OnShare(row); break;
    case kCut: CopyRows(true); break;
    case kCopy: CopyRows(false); break;
    case kPaste: PasteAt(true); break;
    case kDelete: DeleteRows(true); break;
    case kDeleteForGood: DeleteRows(false); break;
    case kRename: OnRename(); break;
    case kGuestsOfFolder: OnGuest(-1, true); break;
    case kGuestsOfRow: OnGuest(row, false); break;
    case kDownload: OnDownload(); break;
    case kSearch: OnSearch(CString(), 0); break;
    case kContentSearch: OnSearch(CString(), 1); break;
    case kProperties: OnProperty(); break;
    case kThumbnails: SetThumbnailView(true, true); break;
    case kLink: OnLink(row, false); break;
    case kVersions: OnVersion(row); break;
    case kMailLink: OnLink(row, false); break;
    case kSendOn: OnSendFileOn(); break;
    case kSendOff: OnSendFileOff(); break;
    case kSendFile: OnSendFile(); break;
    case kWebLink: OnWebLink(row); break;
    case kShortcut: OnAddShortcut(); break;
    case kPcDelete: OnDeleteBackupPC(); break;
    case kApproval: OnApproval(); break;
    case kApprovalOut: OnApprovalOut(); break;
    case kApprovalEnc: OnApprovalEnc(); break;
    case kDocView: OnDocView(row); break;
    case kSendNet: OnSendFileNet(); break;
    default:
        TraceLog(2048, L"[ CServerRightView::RunListCommand ] %d on %S\n", command, current ? current->IDX : "");
        break;
    }
}

void CServerRightView::OpenFileRow(int action, int row)
{
    switch (static_cast<FileOpen>(action)) {
    case FileOpen::SlideViewer: OnSlideViewer(row); break;
    case FileOpen::Download: OnDownload(); break;
    case FileOpen::DirectEdit: OnDirectEdit(row); break;
    case FileOpen::DocView: OnDocView(row); break;
    case FileOpen::Nothing: break;
    }
}

CString CServerRightView::MakeNewFolderName()
{
    CString base = CToviString::GetString(14004), name = base;
    for (int n = 2; m_list.GetSafeHwnd(); ++n) {
        LVFINDINFOW find = {};
        find.flags = LVFI_STRING;
        find.psz = name.GetString();
        if (::SendMessage(m_list.m_hWnd, LVM_FINDITEMW, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&find)) < 0)
            break;
        name.Format(L"%s (%d)", base.GetString(), n);
    }
    return name;
}

bool CServerRightView::SelectRowByIdx(const char* idx)
{
    if (!idx || !idx[0] || !m_pane)
        return false;
    m_pane->WaitListThreadExit();
    for (int i = 0; i < m_list.GetItemCount(); ++i) {
        const _PROTO_FOLDER_INFO* r = RowRecord(i);
        if (!r)
            continue;
        const char* own = r->IDX[0] == 'r' ? r->IDX + 1 : r->IDX;
        if (std::strcmp(own, idx) == 0) {
            m_list.SetItemState(-1, 0, LVIS_SELECTED | LVIS_FOCUSED);
            m_list.SetItemState(i, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
            m_list.EnsureVisible(i, FALSE);
            return true;
        }
    }
    return false;
}

void CServerRightView::OnRename()
{
    int row = m_list.GetNextItem(-1, LVNI_SELECTED);
    if (row >= 0)
        m_list.BeginNameEdit(row, 1);
}

bool CServerRightView::DeleteRows(bool toRecycleBin)
{
    std::vector<_PROTO_FOLDER_INFO> records = SelectedRecords();
    if (records.empty() || !m_pProto)
        return false;
    const servercmd::Question question =
        toRecycleBin ? servercmd::Question::DeleteToBin : servercmd::Question::DeleteForGood;
    if (!servercmd::Confirm(DialogOwner(), question, records))
        return true;
    if (servercmd::RunDelete(OperationHost(), DialogOwner(), *m_pProto, records, toRecycleBin).untouched)
        return false;
    Refresh();
    // Only a delete for good frees space.
    if (!toRecycleBin)
        PostQuotaUpdate();
    return true;
}

int CServerRightView::CopyRows(bool cut)
{
    std::vector<_PROTO_FOLDER_INFO> records = SelectedRecords();
    if (records.empty() || !m_pTree)
        return 0;
    UINT format = servercmd::ServerItemsFormat();
    if (!CopyFolderInfoListClipboard(&format, records, L"SR", m_pTree->GetItemPath(m_pTree->GetSelectedItem()), cut))
        return 0;
    if (!cut)
        return 1;
    for (int i = 0; i < m_list.GetItemCount(); ++i) {
        bool selected = (m_list.GetItemState(i, LVIS_SELECTED) & LVIS_SELECTED) != 0;
        m_list.SetItemState(i, selected ? LVIS_CUT : 0, LVIS_CUT);
    }
    m_pTree->MoveSource().Mark(m_pTree->GetSelectedItem());
    return 1;
}

int CServerRightView::PasteAt(bool atPoint)
{
    if (servercmd::ClipboardHasServerItems())
        OnServerFilePaste(0, false, atPoint);
    else if (servercmd::ClipboardHasFiles())
        OnLocalFilePaste(atPoint);
    return 1;
}

void CServerRightView::OnLocalFilePaste(bool atPoint)
{
    std::vector<CString> paths;
    bool cut = false;
    if (!GetFileListClipboard(paths, cut) || paths.empty())
        return;
    const _PROTO_FOLDER_INFO* target = CurrentFolder();
    if (atPoint)
        target = FolderAtContextPoint(target);
    IServerOperationHost* host = OperationHost();
    if (target && host)
        host->UploadFiles(*target, paths, FolderItemOf(target));
}

int CServerRightView::OnServerFilePaste(int effect, bool useSelection, bool atPoint,
                                        const std::vector<_PROTO_FOLDER_INFO>* dropped)
{
    TraceLog(2048, L" [ CServerRightView::OnServerFilePaste ] START!");
    _PROTO_FOLDER_INFO* current = CurrentFolder();
    if (!current || !m_pProto)
        return 0;
    const _PROTO_FOLDER_INFO* target = current;
    if (useSelection) {
        if (m_list.GetSelectedCount() == 1) {
            const _PROTO_FOLDER_INFO* row = RowRecord(m_list.GetNextItem(-1, LVNI_SELECTED));
            if (row && Is(row->ItemType, "D"))
                target = row;
        }
    } else if (atPoint) {
        target = FolderAtContextPoint(current);
    }
    const servercmd::PasteOutcome paste =
        dropped ? servercmd::PasteItems(OperationHost(), DialogOwner(), *m_pProto, *dropped, *target, effect == 2)
                : servercmd::PasteServerItems(OperationHost(), DialogOwner(), *m_pProto, *target, effect);
    if (!paste.ran || paste.progress.untouched)
        return 0;
    if (paste.moved && m_pTree->MoveSource().Folder()) {
        HTREEITEM from = m_pTree->MoveSource().Take();
        if (from != m_pTree->GetSelectedItem())
            m_pTree->DrawSubTreeNList(from, TREE_REFRESH_TREE_ONLY, true);
    }
    Refresh();
    // A drop leaves the clipboard and its cut alone.
    if (!dropped) {
        m_pTree->ClearCutMarks();
        if (paste.moved && ::OpenClipboard(m_hWnd))
            ClearClipboard();
    }
    PostQuotaUpdate();
    TraceLog(2048, L" [ CServerRightView::OnServerFilePaste ] END!");
    return 1;
}

const _PROTO_FOLDER_INFO* CServerRightView::FolderAtContextPoint(const _PROTO_FOLDER_INFO* fallback) const
{
    if (m_list.m_ptContext.x < 0)
        return fallback;
    LVHITTESTINFO hit = {};
    hit.pt = m_list.m_ptContext;
    const _PROTO_FOLDER_INFO* r =
        RowRecord(static_cast<int>(::SendMessage(m_list.m_hWnd, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit))));
    return r && Is(r->ItemType, "D") ? r : fallback;
}

bool CServerRightView::OnDropData(COleDataObject* data, int row, DWORD effect)
{
    _PROTO_FOLDER_INFO* current = CurrentFolder();
    if (!current || !data)
        return false;
    m_list.SetItemState(-1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    // A drop on empty space selects nothing (index -1 would select every row): the paste then
    // goes to the folder shown, not into whichever folder row happens to be alone in the list.
    if (row >= 0)
        m_list.SetItemState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    UINT format = servercmd::ServerItemsFormat();
    std::vector<_PROTO_FOLDER_INFO> records;
    CString tag, source;
    // Rows dropped on a file row go into the folder shown, as the pointer's effect said.
    const _PROTO_FOLDER_INFO* target = row >= 0 ? RowRecord(row) : current;
    if (!target || !Is(target->ItemType, "D"))
        target = current;
    bool done = false;
    if (GetFolderInfoListDataObject(data, &format, records, tag, source) && !records.empty()) {
        if (serverdrop::TakesItems(*target))
            done = OnServerFilePaste(effect == DROPEFFECT_MOVE ? 2 : 1, true, false, &records) != 0;
    } else {
        std::vector<CString> paths;
        IServerOperationHost* host = OperationHost();
        if (GetFileListDataObject(paths, data) && !paths.empty() && host && serverdrop::TakesUpload(*target)) {
            host->UploadFiles(*target, paths, FolderItemOf(target));
            done = true;
        }
    }
    Refresh();
    return done;
}

void CServerRightView::OnProperty()
{
    if (!m_pProto || !m_pTree)
        return;
    std::unique_ptr<CToviProto> own = servercmd::OpenOwnSession(*m_pProto, m_hWnd, PROT_CMD('D', '1'));
    if (!own)
        return;   // freed here, once
    std::vector<_PROTO_FOLDER_INFO> records = SelectedRecords();
    if (records.empty())
        return;
    CFilePropertyDlg dialog(DialogOwner());
    dialog.m_pProto = own.release();   // the dialog closes and deletes it
    dialog.m_vecItems = records;
    dialog.m_nDispMode = records.size() == 1 ? 1 : 2;
    dialog.m_strLocation = m_pTree->GetItemPath(m_pTree->GetSelectedItem());
    const _PROTO_FOLDER_INFO* current = CurrentFolder();
    dialog.m_bParentTop = current && Is(current->Attr178, "0");
    dialog.m_strCustomFlag = m_pProto->CustomerCode;
    dialog.DoModal();
}

void CServerRightView::OnShare(int)
{
    if (m_list.GetSelectedCount() != 1 || !m_pProto)
        return;
    _PROTO_FOLDER_INFO* r = RowRecord(m_list.GetNextItem(-1, LVNI_SELECTED));
    if (r && servercmd::RunShareDialog(DialogOwner(), *m_pProto, *r, m_hWnd, OperationHost()) == IDOK)
        Refresh();
}

void CServerRightView::OnLink(int row, bool info)
{
    const _PROTO_FOLDER_INFO* r = RowRecord(row);
    const _PROTO_FOLDER_INFO* current = CurrentFolder();
    if (!r || !current || !m_pProto)
        return;
    std::vector<_PROTO_FOLDER_INFO> records = SelectedRecords();
    if (info && records.empty())
        return;
    if (info && records.size() == 1) {
        CLinkInfoDlg dialog(DialogOwner());
        dialog.m_pProto = m_pProto;
        CopyId(dialog.m_szFolderId, current->IDX, sizeof current->IDX);
        CopyId(dialog.m_szItemId, r->IDX, sizeof r->IDX);
        wcsncpy(dialog.m_wszFileName, r->Name, 1023);
        dialog.DoModal();
    } else {
        CLinkCreateDlg dialog(DialogOwner());
        dialog.m_pProto = m_pProto;
        dialog.m_vecFiles = records.empty() ? std::vector<_PROTO_FOLDER_INFO>(1, *r) : records;
        CopyId(dialog.m_szFolderId, current->IDX, sizeof current->IDX);
        CopyId(dialog.m_szItemId, r->IDX, sizeof r->IDX);
        if (dialog.DoModal() == IDOK && !info)
            OnMailLink(dialog.m_linkInfo);
    }
    Refresh(TREE_REFRESH_LIST_ONLY, true);
}

void CServerRightView::OnVersion(int row)
{
    const _PROTO_FOLDER_INFO* r = RowRecord(row);
    const _PROTO_FOLDER_INFO* current = CurrentFolder();
    if (!r || !current || !m_pProto || !m_pTree)
        return;
    IServerOperationHost* host = OperationHost();
    CVersionManagementDlg dialog(DialogOwner());
    // The window hands the name on to the download: a name cut to its field would be another file's.
    if (!transfer::CopyFitting(dialog.m_wszFileName, _countof(dialog.m_wszFileName), r->Name)) {
        CFileUtils::ToviMessageBox(DialogOwner(), transfer::TooLongText(r->Name, true).GetString(), L"CorvaneIXO",
                                   MB_ICONHAND);
        return;
    }
    dialog.m_pProto = m_pProto;
    CopyId(dialog.m_szFileId, r->IDX, sizeof r->IDX);
    CopyId(dialog.m_szFolderId, current->IDX, sizeof current->IDX);
    dialog.m_strServerPath = m_pTree->GetItemPath(m_pTree->GetSelectedItem());
    if (host) {
        dialog.m_hOwner = host->TransferWindow();
        if (host->VersionOption() > 0)
            dialog.m_nKeptVersions = host->VersionOption();
        CString folder = host->DownloadFolder();
        if (!folder.IsEmpty() && folder.GetLength() < 260) {
            wcscpy(dialog.m_wszPresetFolder, folder.GetString());
            dialog.m_nPresetFlag = 1;
        }
    }
    dialog.DoModal();
}

void CServerRightView::OnGShare(int row, int newGroup, int groupSettings)
{
    _PROTO_FOLDER_INFO* r = row < 0 ? CurrentFolder() : RowRecord(row);
    if (r && m_pProto &&
        servercmd::RunGroupShareDialog(DialogOwner(), *m_pProto, *r, m_hWnd, newGroup && groupSettings) == IDOK)
        Refresh();
}

void CServerRightView::OnGuest(int row, bool newGuest)
{
    _PROTO_FOLDER_INFO* r = row < 0 ? CurrentFolder() : RowRecord(row);
    if (!r || !m_pProto)
        return;
    if (RunGuestDialog(DialogOwner(), *m_pProto, *r, newGuest) == IDOK)
        Refresh();
}

void CServerRightView::OnSearch(const CString& text, int contents)
{
    if (m_pFolderView && m_pTree && m_pTree->GetSelectedItem()) {
        // The tree's twin with the shown folder: one search window for both panes' owner.
        m_pFolderView->OnSearch(m_pTree->GetSelectedItem(), text, contents);
    }
}

LRESULT CServerRightView::OnSearchGotoFolder(WPARAM record, LPARAM)
{
    // The same record as the tree's; the tree pane does the walk and frees it.
    if (m_pFolderView)
        return m_pFolderView->SendMessage(WM_SEARCH_GOTO_FOLDER, record, 0);
    auto* goTo = reinterpret_cast<_SEARCH_GOTO_FOLDER*>(record);
    if (goTo) {
        delete goTo->LocationPath;
        delete goTo->SecondPath;
        delete goTo;
    }
    return 0;
}

LRESULT CServerRightView::OnSearchDlgClosed(WPARAM, LPARAM)
{
    m_pSearch = nullptr;
    return 0;
}

bool CServerRightView::DeleteInRecycleBin()
{
    std::vector<_PROTO_FOLDER_INFO> records = SelectedRecords();
    if (records.empty() || !m_pProto || !servercmd::Confirm(DialogOwner(), servercmd::Question::DeleteInBin, records))
        return false;
    if (servercmd::RunDelete(OperationHost(), DialogOwner(), *m_pProto, records, false).untouched)
        return false;
    Refresh();
    PostQuotaUpdate();
    return true;
}

bool CServerRightView::OnRecyclebinRestore()
{
    std::vector<_PROTO_FOLDER_INFO> records = SelectedRecords();
    if (records.empty() || !m_pProto || !servercmd::Confirm(DialogOwner(), servercmd::Question::Restore, records))
        return false;
    // No quota refresh follows: a restore frees no space.
    servercmd::ProgressOutcome outcome = servercmd::RunRestore(OperationHost(), DialogOwner(), *m_pProto, records);
    Refresh();
    if (outcome.untouched)
        return false;
    CRestoreListDlg list(DialogOwner());
    list.m_vecItems = outcome.done.empty() ? records : outcome.done;
    if (list.DoModal() == IDOK && !list.m_strChosenPath.IsEmpty() && m_pFolderView) {
        if (m_pFolderView->OpenServerPath(list.m_strChosenPath) && list.m_nIsFile)
            SelectRowByIdx(list.m_szChosenIdx);
    }
    return true;
}

void CServerRightView::OnRecyclebinEmpty()
{
    if (m_list.GetSelectedCount() == 0) {
        if (m_pFolderView && m_pTree)
            m_pFolderView->OnRecyclebinClear(m_pTree->GetSelectedItem());
        return;
    }
    _PROTO_FOLDER_INFO* r = RowRecord(m_list.GetNextItem(-1, LVNI_SELECTED));
    std::vector<_PROTO_FOLDER_INFO> entries;
    if (!r || !m_pProto || !m_pTree || !(Is(r->Attr27, "6") || Is(r->Attr27, "D")) || !m_pTree->ListContent(*r, entries) ||
        !servercmd::Confirm(DialogOwner(), servercmd::Question::EmptyBin, entries))
        return;
    if (!servercmd::RunEmptyBin(OperationHost(), DialogOwner(), *m_pProto, *r).untouched)
        PostQuotaUpdate();
    Refresh(TREE_REFRESH_TREE_AND_LIST, false);
}

void CServerRightView::OnAddShortcut()
{
    std::vector<_PROTO_FOLDER_INFO> records = SelectedRecords();
    if (!records.empty() && m_pProto)
        servercmd::AddShortcuts(OperationHost(), DialogOwner(), *m_pProto, records);
}

int CServerRightView::OnSendFile()
{
    const std::vector<_PROTO_FOLDER_INFO> records = SelectedRecords();
    const _PROTO_FOLDER_INFO* current = CurrentFolder();
    if (records.empty() || !current || !m_pProto)
        return 0;
    CSendFileDlg dialog(DialogOwner());
    dialog.m_pProto = m_pProto;
    for (const _PROTO_FOLDER_INFO& r : records)
        dialog.m_vecFiles.push_back(servercmd::SendFileOf(r));
    CopyId(dialog.m_szRootDomain, current->DIDX, sizeof current->DIDX);
    // The sources' folder, as a delete of its items names it.
    CopyId(dialog.m_szDeleteArg, current->IDX, sizeof current->IDX);
    INT_PTR result;
    {
        // Sending and deleting the sources are requests on the session's connection.
        CModalOperationScope scope(OperationHost(), servercmd::kSendFilesOperation, true);
        result = dialog.DoModal();
    }
    if (result != IDOK)
        return 0;
    Refresh();
    PostQuotaUpdate();
    return 1;
}

void CServerRightView::SwitchFileSending(bool on)
{
    _PROTO_FOLDER_INFO* r = RowRecord(m_list.GetNextItem(-1, LVNI_SELECTED));
    if (!r || !m_pProto)
        return;
    _PROTO_FOLDER_INFO row = *r;   // the refresh frees the row's record
    char yes[] = "Y", no[] = "N";
    if (m_pProto->GetSendFileSet(row.IDX, row.DIDX, on ? yes : no, no) != 0) {
        ShowServerError(DialogOwner(), *m_pProto);
        return;
    }
    Refresh();
    if (m_pane)
        m_pane->WaitListThreadExit();
    servercmd::ShowMessage(DialogOwner(), on ? 12125 : 12126, MB_ICONINFORMATION);
    SelectRowByIdx(row.IDX[0] == 'r' ? row.IDX + 1 : row.IDX);
}

int CServerRightView::OnDirectEdit(int row)
{
    const _PROTO_FOLDER_INFO* r = RowRecord(row);
    const _PROTO_FOLDER_INFO* current = CurrentFolder();
    DirectEditFile file;
    if (r) {
        file.fileIdx = servercmd::FieldText(r->IDX);
        file.folderIdx = servercmd::FieldText(r->Attr178);
        file.domainIdx = servercmd::FieldText(r->DIDX);
    }
    if (current)
        file.folderType = servercmd::FieldText(current->Attr27);
    CDirectEditAddOn addOn(this, m_pProto);
    // Without a record the add-on is still installed or updated when it needs to be.
    return addOn.OnDirectEdit(r ? &file : nullptr, static_cast<int>(m_list.GetSelectedCount()));
}

void CServerRightView::OnDeleteBackupPC()
{
    _PROTO_FOLDER_INFO* r = RowRecord(m_list.GetNextItem(-1, LVNI_SELECTED));
    if (!r || !m_pProto)
        return;
    if (!servercmd::DeleteBackupPC(DialogOwner(), *m_pProto, *r))
        return;
    const _PROTO_FOLDER_INFO* current = CurrentFolder();
    TraceLog(2048, L" DrawSubTreeNList --> %s", current ? current->Name : L"");
    Refresh();
}

void CServerRightView::OnDownload()
{
    TraceLog(2048, L" [ CServerRightView::OnDownload ] START! \n");
    std::vector<_PROTO_FOLDER_INFO> records = SelectedRecords();
    IServerOperationHost* host = OperationHost();
    if (!records.empty() && host && m_pTree)
        host->DownloadItems(records, m_pTree->GetItemPath(m_pTree->GetSelectedItem()));
    TraceLog(2048, L" [ CServerRightView::OnDownload ] END! \n");
}

void CServerRightView::WaitListThreadExit()
{
    if (m_pane)
        m_pane->WaitListThreadExit();
}

void CServerRightView::ClearCutMarks()
{
    if (m_list.GetSafeHwnd())
        m_list.SetItemState(-1, 0, LVIS_CUT);
}

LRESULT CServerRightView::OnListThreadStop(WPARAM, LPARAM)
{
    TraceLog(2048, L"OnListThreadStop\n");
    if (m_pane)
        m_pane->StopListThread();
    return 0;
}

LRESULT CServerRightView::OnDirectEditRefresh(WPARAM code, LPARAM)
{
    TraceLog(2048, L"[ CServerRightView::OnDirectEditRefresh ] RETURN CODE = %d\n", static_cast<int>(code));
    if (code == 0)
        TraceLog(2048, L"[ CServerRightView::OnDirectEditRefresh ] wParam = ERROR_SUCCESS");
    else if (code == 5)
        TraceLog(2048, L"[ CServerRightView::OnDirectEditRefresh ] wParam = File Unlock Success");
    else
        servercmd::ShowMessage(DialogOwner(), 12067, MB_ICONERROR);
    Refresh(TREE_REFRESH_TREE_AND_LIST, false);
    TraceLog(2048, L"[ CServerRightView::OnDirectEditRefresh ] END!\n ");
    return 0;
}

LRESULT CServerRightView::OnApprovalRefresh(WPARAM, LPARAM)
{
    TraceLog(2048, L"[ CServerRightView::OnApprovalRefresh ]\n ");
    Refresh();
    return 0;
}

LRESULT CServerRightView::OnShowHtmlPopup(WPARAM, LPARAM)
{
    servercmd::ShowPermissionHelp(OperationHost());
    return 0;
}

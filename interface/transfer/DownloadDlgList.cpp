// CDownloadDlg: the item list. Server folders are expanded depth first, folders before their
// contents; rows follow the expanded list one to one, so that the worker's item index is also
// its row.
#include "DownloadDlg.h"
#include "DialogKit.h"
#include "FileUtils.h"
#include "ToviMsg.h"
#include "ToviString.h"
#include "TraceLog.h"
#include "DownloadNames.h"
#include "DownloadRes.h"
#include "VImageList.h"
#include "WinThread.h"
#include <commctrl.h>

namespace {

// A listing that keeps saying "more" is not followed for ever.
const int kMaxPages = 100000;
// Nor a tree deeper than any real one.
const int kMaxDepth = 64;

bool Is(const char* code, const char* value)
{
    return strcmp(code, value) == 0;
}

void CopyField(char* dest, size_t size, const char* src)
{
    strncpy(dest, src, size - 1);
    dest[size - 1] = 0;
}

CVImageList& SharedImages()
{
    static CVImageList images;
    return images;
}

}

UINT CDownloadDlg::SetListDataThread(LPVOID param)
{
    CDownloadDlg* dlg = static_cast<CDownloadDlg*>(param);
    const bool com = SUCCEEDED(::CoInitialize(nullptr));
    dialogkit::ApplyThreadLanguage();
    dlg->RunOnUi([dlg] { dlg->FreeRows(); dlg->m_nListedRows = 0; });
    std::vector<_DOWNLOADINFO> input;
    {
        std::lock_guard<std::mutex> lock(dlg->m_itemsLock);
        dlg->m_expanded.clear();
        input = dlg->m_input;
    }
    dlg->SetBarText(dlg->m_barFile, CToviMsg::GetString(12020), -1);
    dlg->SetMarquee(true);
    std::vector<_DOWNLOADINFO> expanded;
    bool expand = true;
    for (const _DOWNLOADINFO& item : input) {
        if (dlg->m_bCancel) {
            dlg->m_bListBusy = false;
            return 0;
        }
        expanded.push_back(item);
        if (expand && item.Type[0] == 'D' && dlg->m_pProto &&
            dlg->GetDownloadList(*dlg->m_pProto, item, expanded, 0) != 0)
            expand = false;
    }
    {
        std::lock_guard<std::mutex> lock(dlg->m_itemsLock);
        dlg->m_expanded = expanded;
    }
    dlg->SetMarquee(false);
    dlg->InsertDownloadItems(expanded);
    if (dlg->m_bCancel) {
        dlg->m_bListBusy = false;
        return 0;
    }
    dlg->RunOnUi([dlg] { dlg->m_rate.m_nExpectedTotal = dlg->m_nTotalSize; });
    ::SendMessageW(dlg->m_hWnd, WM_DOWNLOAD_START, 0, 0);
    dlg->m_bListBusy = false;
    if (com)
        ::CoUninitialize();
    return 0;
}

UINT CDownloadDlg::AddListDataThread(LPVOID param)
{
    CDownloadDlg* dlg = static_cast<CDownloadDlg*>(param);
    const bool com = SUCCEEDED(::CoInitialize(nullptr));
    dialogkit::ApplyThreadLanguage();
    std::vector<_DOWNLOADINFO> added;
    {
        std::lock_guard<std::mutex> lock(dlg->m_itemsLock);
        added.swap(dlg->m_added);
        dlg->m_input.insert(dlg->m_input.end(), added.begin(), added.end());
    }
    dlg->SetBarText(dlg->m_barFile, CToviMsg::GetString(12020), -1);
    dlg->SetMarquee(true);
    std::vector<_DOWNLOADINFO> expanded;
    bool expand = true;
    for (const _DOWNLOADINFO& item : added) {
        if (dlg->m_bCancel)
            break;
        expanded.push_back(item);
        if (expand && item.Type[0] == 'D' && dlg->m_pProto &&
            dlg->GetDownloadList(*dlg->m_pProto, item, expanded, 0) != 0)
            expand = false;
    }
    dlg->SetMarquee(false);
    if (!dlg->m_bCancel) {
        {
            std::lock_guard<std::mutex> lock(dlg->m_itemsLock);
            dlg->m_expanded.insert(dlg->m_expanded.end(), expanded.begin(), expanded.end());
        }
        dlg->InsertDownloadItems(expanded);
        dlg->RunOnUi([dlg] { dlg->m_rate.m_nExpectedTotal = dlg->m_nTotalSize; });
        dlg->m_bListBusy = false;
        ::SendMessageW(dlg->m_hWnd, WM_DOWNLOAD_START, 0, 0);
    }
    dlg->m_bListBusy = false;
    if (com)
        ::CoUninitialize();
    return 0;
}

int CDownloadDlg::GetDownloadList(CToviProto& proto, const _DOWNLOADINFO& folder, std::vector<_DOWNLOADINFO>& out,
                                  int depth)
{
    if (depth >= kMaxDepth)
        return 0;
    // A folder whose own name is refused is not opened: its contents would land beside it.
    if (!download::IsSafeLocalName(folder.Name))
        return 0;
    std::vector<_PROTO_FOLDER_INFO> records;
    for (int page = 0; page < kMaxPages && !m_bCancel; ++page) {
        if (proto.GetFolderInfo(const_cast<char*>(folder.ItemId), const_cast<char*>(folder.FolderId),
                                const_cast<char*>("A"), true, page == 0) != 0) {
            const CString message = proto.ResultInfo.wszMessage;
            Notify(1, message);
            ShowMessage(message, MB_ICONERROR);
            return -1;
        }
        if (proto.ContinueFlag[0] == 'N' || proto.ContinueFlag[0] == 0)
            break;
    }
    records.swap(proto.FolderInfo);
    proto.ReleaseFolderInfo();

    CString serverPath;
    serverPath.Format(L"%s/%s", folder.ServerPath, folder.Name);
    if (serverPath.GetLength() > 511)
        serverPath = serverPath.Left(511);
    const CString localFolder = download::LocalPathIn(folder.DestFolder, folder.Name);
    for (const _PROTO_FOLDER_INFO& record : records) {
        if (m_bCancel)
            break;
        _DOWNLOADINFO child = {};
        CopyField(child.Type, sizeof child.Type, record.ItemType);
        CopyField(child.ItemId, sizeof child.ItemId, record.IDX);
        CopyField(child.FolderId, sizeof child.FolderId, record.DIDX);
        CopyField(child.FolderKind, sizeof child.FolderKind, record.Attr27);
        CopyField(child.ShareFlagA, sizeof child.ShareFlagA, record.Attr29);
        CopyField(child.Code3, sizeof child.Code3, record.Attr30);
        CopyField(child.ShareFlagB, sizeof child.ShareFlagB, record.Attr62);
        CopyField(child.Owner, sizeof child.Owner, record.Attr231);
        strcpy(child.Version, "0");
        wcsncpy(child.Name, record.Name, 511);
        wcsncpy(child.ServerPath, serverPath.GetString(), 511);
        CopyField(child.Size, sizeof child.Size, record.Attr192);
        CopyField(child.FileKey, sizeof child.FileKey, record.Attr9);
        CopyField(child.PasswordDigest, sizeof child.PasswordDigest, record.Attr237);
        child.DestRoot = folder.DestRoot;
        child.DestFolder = localFolder;
        out.push_back(child);
        if (child.Type[0] == 'D' && GetDownloadList(proto, child, out, depth + 1) != 0)
            break;
    }
    return 0;
}

int CDownloadDlg::FolderIcon(const _DOWNLOADINFO& item)
{
    CVImageList& images = SharedImages();
    const bool a = Is(item.ShareFlagA, "Y");
    const bool b = Is(item.ShareFlagB, "Y");
    const char* kind = item.FolderKind;
    if (Is(kind, "1") || Is(kind, "A")) {
        if (b)
            return images.GetShareYellowClose();
        return a ? images.GetYellowShareClose() : images.GetYellowClose();
    }
    if (Is(kind, "3")) {
        if (!b)
            return a ? images.GetBlueShareClose() : images.GetBlueClose();
        if (strcmp(item.FolderId, m_szLoginId) != 0)
            return images.GetDomainBlueClose();
        if (strlen(item.Owner) >= 7 && item.Owner[6] == '1')
            return images.GetMasterYellowClose();
        return a ? images.GetBlueShareClose() : images.GetGroupBlueClose();
    }
    if (Is(kind, "5"))
        return b ? images.GetGuestGreenClose() : images.GetGreenClose();
    if (Is(kind, "D"))
        return Is(item.ItemId, "2") ? images.GetTrashRedClose() : images.GetRedClose();
    return images.GetYellowClose();
}

void CDownloadDlg::InsertDownloadItems(const std::vector<_DOWNLOADINFO>& items)
{
    // One wait on the window per batch instead of one per row; a batch is small enough for the
    // window to stay responsive in between.
    const size_t kBatch = 256;
    for (size_t first = 0; first < items.size() && !m_bCancel; first += kBatch) {
        const size_t last = first + kBatch < items.size() ? first + kBatch : items.size();
        RunOnUi([this, &items, first, last] {
            bool anyFile = false;
            m_list.SetRedraw(FALSE);
            for (size_t i = first; i < last; ++i) {
                InsertDownloadItem(items[i]);
                anyFile = anyFile || items[i].Type[0] != 'D';
            }
            m_list.SetRedraw(TRUE);
            PostMessage(WM_TOTAL_SIZE_UPDATE, anyFile ? 1 : 0, static_cast<LPARAM>(last - first));
        });
    }
}

int CDownloadDlg::FileIcon(const wchar_t* name)
{
    const wchar_t* dot = wcsrchr(name, L'.');
    std::wstring kind = dot ? dot : L"";
    for (wchar_t& c : kind)
        c = static_cast<wchar_t>(towlower(c));
    auto known = m_fileIcons.find(kind);
    if (known == m_fileIcons.end())
        known = m_fileIcons.emplace(kind, SharedImages().GetSysIcon(name, false, false, false)).first;
    return known->second;
}

// Window thread.
void CDownloadDlg::InsertDownloadItem(const _DOWNLOADINFO& item)
{
    HIMAGELIST shared = SharedImages().GetSmallImageList();
    if (shared && ListView_GetImageList(m_list.GetSafeHwnd(), LVSIL_SMALL) != shared)
        m_list.SetImageList(shared, LVSIL_SMALL);
    _DOWNLOADINFO* data = new _DOWNLOADINFO(item);
    data->Checksum[0] = 0;
    const bool file = item.Type[0] != 'D';
    int image = 0;
    if (file) {
        image = FileIcon(item.Name);
        m_nTotalSize += _atoi64(item.Size);
    } else {
        image = FolderIcon(item);
    }
    const int row = m_list.GetItemCount();
    const int at = m_list.InsertItem(LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM, row, item.Name, 0, 0, image,
                                     reinterpret_cast<LPARAM>(data));
    if (at < 0) {
        delete data;
        return;
    }
    m_nRowCount = m_list.GetItemCount();
    if (!file && Is(item.FolderKind, "A"))
        m_list.SetItemState(at, INDEXTOOVERLAYMASK(SharedImages().GetLockOverlayMask()), LVIS_OVERLAYMASK);
    if (file)
        m_list.SetItemText(at, 1, CFileUtils::ConvertFileSize2(_atoi64(item.Size)).GetString());
    m_list.SetItemText(at, 2, CToviString::GetString(kRowWaiting).GetString());
}

void CDownloadDlg::SetRowStatus(int row, unsigned textId)
{
    {
        std::lock_guard<std::mutex> lock(m_displayLock);
        m_rowChanges.push_back({row, textId, false});
    }
    RequestDisplay();
}

void CDownloadDlg::SetRemainingRowsStatus(int row, unsigned textId)
{
    {
        std::lock_guard<std::mutex> lock(m_displayLock);
        m_rowChanges.push_back({row, textId, true});
    }
    RequestDisplay();
}

void CDownloadDlg::ShowItem(const CString& name, const CString& serverPath, bool file)
{
    {
        std::lock_guard<std::mutex> lock(m_displayLock);
        m_bItemChanged = true;
        m_bItemIsFile = file;
        m_strItemName = name;
        m_strItemPath = serverPath;
    }
    RequestDisplay();
}

void CDownloadDlg::RequestDisplay()
{
    // One request waits at a time: it takes every change made until the window runs it.
    if (!m_bDisplayPosted.exchange(true))
        PostToUi([this] { ApplyDisplay(); });
}

void CDownloadDlg::ApplyDisplay()
{
    m_bDisplayPosted = false;
    std::vector<RowChange> changes;
    bool itemChanged;
    bool itemIsFile;
    CString name;
    CString path;
    {
        std::lock_guard<std::mutex> lock(m_displayLock);
        changes.swap(m_rowChanges);
        itemChanged = m_bItemChanged;
        itemIsFile = m_bItemIsFile;
        name = m_strItemName;
        path = m_strItemPath;
        m_bItemChanged = false;
    }
    if (itemChanged) {
        m_strFileName = name;
        SetDlgItemText(IDC_DOWNLOAD_FOLDER, path.GetString());
        if (itemIsFile)
            SetDlgItemText(IDC_DOWNLOAD_FILE, name.GetString());
    }
    const int count = m_list.GetItemCount();
    int running = -1;
    for (const RowChange& change : changes) {
        const CString text = CToviString::GetString(change.textId);
        if (change.rest) {
            for (int i = change.row < 0 ? 0 : change.row; i < count; ++i) {
                m_list.SetItemText(i, 2, text.GetString());
                m_list.RedrawItems(i, i);
            }
            continue;
        }
        if (change.row < 0 || change.row >= count)
            continue;
        m_list.SetItemText(change.row, 2, text.GetString());
        if (change.textId == kRowRunning)
            running = change.row;
        else if (change.textId != kRowStopped)
            m_list.RedrawItems(change.row, change.row);
    }
    // Only the last row that started is brought into view.
    if (running >= 0) {
        m_list.SetSelectionMark(running);
        m_list.SetFocus();
        m_list.EnsureVisible(running, FALSE);
    }
}

void CDownloadDlg::InsertLogItem(int kind, const CString& text)
{
    const CString name = m_strWorkItem;
    PostToUi([this, kind, text, name] {
        m_log.SetRedraw(FALSE);
        const int at = m_log.InsertItem(LVIF_TEXT | LVIF_IMAGE, m_log.GetItemCount(),
                                        CToviString::GetString(14093).GetString(), 0, 0, 0, 0);
        if (at >= 0) {
            m_log.SetItemText(at, 1, name.GetString());
            m_log.SetItemText(at, 2, text.GetString());
            m_log.SetHotItem(at);
            m_log.EnsureVisible(at, FALSE);
        }
        m_log.SetRedraw(TRUE);
        (void)kind;
    });
}

void CDownloadDlg::FreeRows()
{
    if (!m_list.GetSafeHwnd())
        return;
    for (int i = 0; i < m_list.GetItemCount(); ++i)
        delete reinterpret_cast<_DOWNLOADINFO*>(m_list.GetItemData(i));
    m_list.DeleteAllItems();
    m_nRowCount = 0;
}

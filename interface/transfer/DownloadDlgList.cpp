// CDownloadDlg: the item list. Server folders are expanded depth first, folders before their
// contents; rows follow the expanded list one to one, so that the worker's item index is also
// its row.
#include "DownloadDlg.h"
#include "FileUtils.h"
#include "ToviMsg.h"
#include "ToviString.h"
#include "TraceLog.h"
#include "TransferCommon.h"
#include "DownloadNames.h"
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
    transfer::ApplyThreadLanguage();
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
    for (const _DOWNLOADINFO& item : expanded) {
        if (dlg->m_bCancel) {
            dlg->m_bListBusy = false;
            return 0;
        }
        dlg->InsertDownloadItem(item);
    }
    dlg->RunOnUi([dlg] { dlg->m_rate.m_nExpectedTotal = dlg->m_nRunTotal; });
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
    transfer::ApplyThreadLanguage();
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
        for (const _DOWNLOADINFO& item : expanded)
            dlg->InsertDownloadItem(item);
        dlg->RunOnUi([dlg] { dlg->m_rate.m_nExpectedTotal = dlg->m_nRunTotal; });
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
            NotifyTaskbar(message, 1);
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
    const CString localFolder = folder.DestFolder + L"\\" + folder.Name;
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

void CDownloadDlg::InsertDownloadItem(const _DOWNLOADINFO& item)
{
    RunOnUi([this, item] {
        HIMAGELIST shared = SharedImages().GetSmallImageList();
        if (shared && ListView_GetImageList(m_list.GetSafeHwnd(), LVSIL_SMALL) != shared)
            m_list.SetImageList(shared, LVSIL_SMALL);
        _DOWNLOADINFO* data = new _DOWNLOADINFO(item);
        data->Checksum[0] = 0;
        const bool file = item.Type[0] != 'D';
        int image = 0;
        if (file) {
            image = SharedImages().GetSysIcon(item.Name, false, false, false);
            m_nRunTotal += _atoi64(item.Size);
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
        if (!file && Is(item.FolderKind, "A"))
            m_list.SetItemState(at, INDEXTOOVERLAYMASK(SharedImages().GetLockOverlayMask()), LVIS_OVERLAYMASK);
        if (file)
            m_list.SetItemText(at, 1, CFileUtils::ConvertFileSize2(_atoi64(item.Size)).GetString());
        m_list.SetItemText(at, 2, CToviString::GetString(kRowWaiting).GetString());
        PostMessage(WM_TOTAL_SIZE_UPDATE, file ? 1 : 0, 0);
    });
}

void CDownloadDlg::SetRowStatus(int row, unsigned textId)
{
    RunOnUi([this, row, textId] {
        if (row < 0 || row >= m_list.GetItemCount())
            return;
        m_list.SetItemText(row, 2, CToviString::GetString(textId).GetString());
        if (textId == kRowRunning) {
            m_list.SetSelectionMark(row);
            m_list.SetFocus();
            m_list.EnsureVisible(row, FALSE);
            m_list.UpdateWindow();
        } else if (textId != kRowStopped) {
            m_list.RedrawItems(row, row);
        }
    });
}

void CDownloadDlg::SetRemainingRowsStatus(int row, unsigned textId)
{
    RunOnUi([this, row, textId] {
        for (int i = row < 0 ? 0 : row; i < m_list.GetItemCount(); ++i) {
            m_list.SetItemText(i, 2, CToviString::GetString(textId).GetString());
            m_list.RedrawItems(i, i);
        }
    });
}

void CDownloadDlg::InsertLogItem(int kind, const CString& text)
{
    const CString name = m_strFileName;
    RunOnUi([this, kind, text, name] {
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
}

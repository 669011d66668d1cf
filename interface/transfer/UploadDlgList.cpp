// CUploadDlg: the item list. Rows are filled depth-first in the order the file system lists a
// folder, the order in which the worker walks the items; a current-row index ties the two.
#include "UploadDlg.h"
#include "DialogKit.h"
#include "FileUtils.h"
#include "ToviMsg.h"
#include "ToviRegistry.h"
#include "ToviString.h"
#include "WinThread.h"
#include <commctrl.h>
#include <shellapi.h>

namespace {

bool IsDots(const wchar_t* name)
{
    return _wcsicmp(name, L".") == 0 || _wcsicmp(name, L"..") == 0;
}

}

LRESULT CUploadDlg::OnUploadBegin(WPARAM, LPARAM)
{
    m_nFileDone = 0;
    m_nFileSize = 0;
    m_bFilling = true;
    SetCurrentText(CToviMsg::GetString(12021));
    SetMarquee(true);
    m_pFillThread = AfxBeginThread(SetListDataThread, this, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    if (!m_pFillThread) {
        m_bFilling = false;
        return 0;
    }
    m_pFillThread->m_bAutoDelete = FALSE;
    m_pFillThread->ResumeThread();
    return 0;
}

UINT CUploadDlg::SetListDataThread(LPVOID param)
{
    CUploadDlg* dlg = static_cast<CUploadDlg*>(param);
    dialogkit::ApplyThreadLanguage();
    const bool com = SUCCEEDED(::CoInitialize(nullptr));
    dlg->RunOnUi([dlg] {
        dlg->FreeRows();
        dlg->m_nCurrentRow = 0;
        dlg->m_nTotalSize = 0;
    });
    std::vector<_UPLOADINFO> items;
    {
        std::lock_guard<std::mutex> lock(dlg->m_itemsLock);
        items = dlg->m_items;
    }
    dlg->FillRows(items);
    if (!dlg->m_bCancel) {
        dlg->PostToUi([dlg] { dlg->m_rate.m_nExpectedTotal = dlg->m_nTotalSize; });
        if (::SendMessageW(dlg->m_hWnd, WM_UPLOAD_START, 0, 0) == 1) {
            dlg->SetCurrentText(CToviString::GetString(14240));
            dlg->SetMarquee(false);
            dlg->SetCurrentBar(100);
            ::PostMessageW(dlg->m_hWnd, WM_CLOSE, 0, 0);
        }
    }
    dlg->m_bFilling = false;
    if (com)
        ::CoUninitialize();
    return 0;
}

LRESULT CUploadDlg::OnUploadAdd(WPARAM, LPARAM lParam)
{
    if (lParam && !TakeAddedItems(*reinterpret_cast<std::vector<_UPLOADINFO>*>(lParam)))
        return 0;
    WaitForThread(m_pAddThread, false);
    m_bFilling = true;
    m_bCancel = false;
    if (!WorkerAlive()) {
        SetCurrentText(CToviMsg::GetString(12021));
        SetMarquee(true);
    }
    m_pAddThread = AfxBeginThread(AddListDataThread, this, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    if (!m_pAddThread) {
        m_bFilling = false;
        return 0;
    }
    m_pAddThread->m_bAutoDelete = FALSE;
    m_pAddThread->ResumeThread();
    return 1;
}

UINT CUploadDlg::AddListDataThread(LPVOID param)
{
    CUploadDlg* dlg = static_cast<CUploadDlg*>(param);
    dialogkit::ApplyThreadLanguage();
    const bool com = SUCCEEDED(::CoInitialize(nullptr));
    std::vector<_UPLOADINFO> added;
    {
        std::lock_guard<std::mutex> lock(dlg->m_itemsLock);
        added.swap(dlg->m_pending);
    }
    // Rows first: a running worker takes an item as soon as it is in the vector, and a
    // status set before its row exists would leave the rows out of step for good.
    dlg->FillRows(added);
    {
        std::lock_guard<std::mutex> lock(dlg->m_itemsLock);
        dlg->m_items.insert(dlg->m_items.end(), added.begin(), added.end());
    }
    // Items given after a stopped run ended are its restart: the window starts the next run
    // for them, or the closing run's end does.
    dlg->m_bRunStopped = false;
    dlg->PostToUi([dlg] { dlg->m_rate.m_nExpectedTotal = dlg->m_nTotalSize; });
    dlg->m_bFilling = false;
    if (!dlg->m_bCancel && ::SendMessageW(dlg->m_hWnd, WM_UPLOAD_START, 0, 0) == 1) {
        dlg->SetCurrentText(CToviString::GetString(14240));
        dlg->SetMarquee(false);
    }
    if (com)
        ::CoUninitialize();
    return 0;
}

void CUploadDlg::FillRows(const std::vector<_UPLOADINFO>& items)
{
    for (const _UPLOADINFO& item : items) {
        if (m_bCancel)
            return;
        if (item.Attributes & UPLOADINFO_FOLDER) {
            InsertRow(item.LocalPath, true, 0);
            FillFolder(item.LocalPath);
        } else {
            WIN32_FILE_ATTRIBUTE_DATA data = {};
            __int64 size = 0;
            if (::GetFileAttributesExW(item.LocalPath.GetString(), GetFileExInfoStandard, &data))
                size = (static_cast<__int64>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
            InsertRow(item.LocalPath, false, size);
        }
    }
}

void CUploadDlg::FillFolder(const CString& folder)
{
    WIN32_FIND_DATAW found;
    HANDLE find = ::FindFirstFileW((folder + L"\\*.*").GetString(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        if (m_bCancel)
            break;
        if (IsDots(found.cFileName))
            continue;
        const CString child = folder + L"\\" + found.cFileName;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            InsertRow(child, true, 0);
            FillFolder(child);
        } else {
            InsertRow(child, false, (static_cast<__int64>(found.nFileSizeHigh) << 32) | found.nFileSizeLow);
        }
    } while (::FindNextFileW(find, &found));
    ::FindClose(find);
}

void CUploadDlg::InsertRow(const CString& path, bool folder, __int64 size)
{
    SHFILEINFOW info = {};
    ::SHGetFileInfoW(path.GetString(), folder ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL, &info, sizeof info,
                     SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_USEFILEATTRIBUTES);
    const int icon = info.iIcon;
    PostToUi([this, path, size, icon] {
        const int at = path.ReverseFind(L'\\');
        const CString name = at >= 0 ? path.Mid(at + 1) : path;
        const int row = m_list.InsertItem(m_list.GetItemCount(), name.GetString(), icon);
        if (size > 0)
            m_list.SetItemText(row, 1, CFileUtils::ConvertFileSize2(size).GetString());
        m_list.SetItemText(row, 2, CToviString::GetString(kRowWaiting).GetString());
        m_list.SetItemData(row, reinterpret_cast<DWORD_PTR>(new CString(path)));
        m_nTotalSize += size;
        PostMessage(WM_TOTAL_SIZE_UPDATE);
    });
}

bool CUploadDlg::SeekRow(const CString& path)
{
    // The rows follow the items in order; a stopped run leaves the rest of its rows behind, and
    // the next run's first item finds its own row further on.
    const int count = m_list.GetItemCount();
    for (int row = m_nCurrentRow; row < count; ++row) {
        const CString* rowPath = reinterpret_cast<const CString*>(m_list.GetItemData(row));
        if (rowPath && *rowPath == path) {
            m_nCurrentRow = row;
            return true;
        }
    }
    return false;
}

void CUploadDlg::SetRowStatus(const CString& path, unsigned textId)
{
    PostToUi([this, path, textId] {
        if (!SeekRow(path))
            return;
        m_list.SetItemText(m_nCurrentRow, 2, CToviString::GetString(textId).GetString());
        if (textId == kRowRunning) {
            m_list.SetItemState(m_nCurrentRow, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
            m_list.EnsureVisible(m_nCurrentRow, FALSE);
        } else {
            m_list.RedrawItems(m_nCurrentRow, m_nCurrentRow);
            ++m_nCurrentRow;
        }
    });
}

void CUploadDlg::SetRemainingRowStatus(const CString& path, unsigned textId)
{
    PostToUi([this, path, textId] {
        const int count = m_list.GetItemCount();
        if (!SeekRow(path))
            return;
        const CString text = CToviString::GetString(textId);
        for (int row = m_nCurrentRow; row < count; ++row)
            m_list.SetItemText(row, 2, text.GetString());
    });
}

void CUploadDlg::FreeRows()
{
    if (!m_list.GetSafeHwnd())
        return;
    const int count = m_list.GetItemCount();
    for (int row = 0; row < count; ++row)
        delete reinterpret_cast<CString*>(m_list.GetItemData(row));
    m_list.DeleteAllItems();
}

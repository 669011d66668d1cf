// CRestoreDlg: the restore worker. It lists the policy's backed-up tree on the server (the backup
// root, the policy's folder, each backed-up folder depth first), then makes the local folders and
// fetches the files, logging every item in the run log.
#include "RestoreDlg.h"
#include "BackupRes.h"
#include "DialogKit.h"
#include "DownloadNames.h"
#include "DownloadResume.h"
#include "FileUtils.h"
#include "ToviConv.h"
#include "ToviMsg.h"
#include "ToviProto.h"
#include "ToviString.h"
#include "TraceLog.h"
#include "WinThread.h"
#include <objbase.h>
#include <shlobj.h>
#include <cstdlib>
#include <ctime>

namespace {

const wchar_t kNothingToRestore[] = L"복원할 폴더(파일)들이 없습니다.";
const unsigned kMsgNameRefused = 12077;
const unsigned kMsgNetworkError = 12123;
// A listing that keeps saying "more" is not followed for ever, nor a tree deeper than any real one.
const int kMaxPages = 100000;
const int kMaxDepth = 64;

template <size_t N>
void CopyField(char (&dest)[N], const char* text)
{
    strncpy(dest, text ? text : "", N - 1);
    dest[N - 1] = '\0';
}

bool Is(const char* field, const char* text)
{
    return strcmp(field, text) == 0;
}

CString WithoutTrailingSlash(CString folder)
{
    while (folder.GetLength() > 0 && (folder.Right(1) == L"\\" || folder.Right(1) == L"/"))
        folder = folder.Left(folder.GetLength() - 1);
    return folder;
}

}

// ---- Decisions ----

CRestoreDlg::Step CRestoreDlg::DecideExisting(const char* answer, __int64 serverSize, __int64 localSize, int option,
                                              const wchar_t* serverTime, const SYSTEMTIME& localWrite)
{
    switch (download::MatchLocal(answer, serverSize, localSize)) {
    case download::LocalMatch::Resume:
        return Step::Resume;
    case download::LocalMatch::Complete:
        return Step::Complete;
    case download::LocalMatch::FromStart:
        return Step::FromStart;
    case download::LocalMatch::Conflict:
        break;
    }
    if (option == kOptionOverwrite)
        return Step::Overwrite;
    if (option != kOptionNewer)
        return Step::Skip;
    COleDateTime server;
    if (!serverTime || !serverTime[0] || !server.ParseDateTime(serverTime) || server.GetStatus() != COleDateTime::valid)
        return Step::Skip;
    if (localWrite.wYear == 0)
        return Step::Skip;
    const COleDateTime local(localWrite);
    if (local.GetStatus() != COleDateTime::valid)
        return Step::Skip;
    return server > local ? Step::Overwrite : Step::Skip;
}

// ---- Worker ----

UINT CRestoreDlg::RestoreThread(LPVOID param)
{
    CRestoreDlg* dlg = static_cast<CRestoreDlg*>(param);
    const bool com = SUCCEEDED(CoInitialize(nullptr));
    dialogkit::ApplyThreadLanguage();
    dlg->m_items.clear();
    dlg->SetProgressText(CToviMsg::GetString(12020), 0);
    dlg->SetMarquee(true);
    const bool built = dlg->BuildList();
    dlg->SetMarquee(false);
    if (built)
        dlg->RunRestore();
    dlg->RunOnUi([dlg] {
        dlg->m_btnCancel.SetWindowText(CToviString::GetString(14059).GetString());
        dlg->m_btnCancel.Invalidate();
    });
    dlg->m_bRunOver = true;
    if (com)
        CoUninitialize();
    return 0;
}

bool CRestoreDlg::ListFolder(const char* idx, const char* didx, const char* kind, std::vector<_PROTO_FOLDER_INFO>& out)
{
    out.clear();
    for (int page = 0; page < kMaxPages; ++page) {
        if (m_pProto->GetFolderInfo(const_cast<char*>(idx), const_cast<char*>(didx), const_cast<char*>(kind), true,
                                    page == 0) != 0) {
            ShowMessage(m_pProto->ResultInfo.wszMessage);
            return false;
        }
        if (m_pProto->ContinueFlag[0] != 'Y')
            break;
    }
    out.swap(m_pProto->FolderInfo);
    m_pProto->ReleaseFolderInfo();
    return true;
}

bool CRestoreDlg::LocalFolderOf(const char* recordIdx, CString& folder) const
{
    for (const auto& entry : m_folders) {
        char idx[10] = {};
        WideCharToMultiByte(CP_ACP, 0, entry.second.FolderIDX, -1, idx, sizeof idx - 1, nullptr, nullptr);
        if (!idx[0] || strcmp(idx, recordIdx) != 0)
            continue;
        wchar_t drive[_MAX_DRIVE] = {}, dir[_MAX_DIR] = {}, name[_MAX_FNAME] = {}, ext[_MAX_EXT] = {};
        if (_wsplitpath_s(entry.second.FullPath, drive, _MAX_DRIVE, dir, _MAX_DIR, name, _MAX_FNAME, ext, _MAX_EXT) != 0)
            continue;
        folder = WithoutTrailingSlash(CString(drive) + dir);
        return true;
    }
    return false;
}

void CRestoreDlg::AddItem(const _PROTO_FOLDER_INFO& record, const CString& localFolder, const CString& serverPath)
{
    _RESTORE_ITEM_INFO item = {};
    CopyField(item.Type, record.ItemType);
    CopyField(item.ItemId, record.IDX);
    CopyField(item.FolderId, record.DIDX);
    CopyField(item.FolderKind, record.Attr27);
    CopyField(item.ShareFlagA, record.Attr29);
    CopyField(item.Code3, record.Attr30);
    CopyField(item.ShareFlagB, record.Attr62);
    CopyField(item.Owner, record.Attr231);
    strcpy(item.Version, "0");
    wcsncpy_s(item.Name, 512, record.Name, _TRUNCATE);
    wcsncpy_s(item.ModifiedTime, 24, record.Attr188, _TRUNCATE);
    wcsncpy_s(item.ServerPath, 512, serverPath.GetString(), _TRUNCATE);
    CopyField(item.Size, record.Attr192);
    CopyField(item.FileKey, record.Attr9);
    item.LocalFolder = localFolder;
    item.ServerPathText = serverPath;
    if (Is(item.Type, "F"))
        m_nTotalSize += static_cast<unsigned __int64>(_atoi64(item.Size) > 0 ? _atoi64(item.Size) : 0);
    m_items.push_back(item);
}

// Folders come before their contents. False only when this folder's own listing failed.
bool CRestoreDlg::AddFolderContents(const _RESTORE_ITEM_INFO& folder)
{
    // A folder whose name is refused is not opened: its contents would land outside it.
    if (!download::IsSafeLocalName(folder.Name))
        return true;
    int depth = 0;
    for (const wchar_t* c = folder.ServerPath; *c; ++c)
        depth += *c == L'/';
    if (depth >= kMaxDepth || m_bCancel)
        return !m_bCancel;
    std::vector<_PROTO_FOLDER_INFO> records;
    if (!ListFolder(folder.ItemId, folder.FolderId, "A", records))
        return false;
    const CString serverPath = folder.ServerPathText + L"/" + folder.Name;
    const CString localFolder = folder.LocalFolder + L"\\" + folder.Name;
    for (const _PROTO_FOLDER_INFO& record : records) {
        if (m_bCancel)
            break;
        AddItem(record, localFolder, serverPath);
        if (!Is(record.ItemType, "D"))
            continue;
        const _RESTORE_ITEM_INFO child = m_items.back();
        if (!AddFolderContents(child))
            break;
    }
    return true;
}

bool CRestoreDlg::BuildList()
{
    m_nTotalSize = 0;
    std::vector<_PROTO_FOLDER_INFO> records;
    if (m_bCancel || !ListFolder("0", "0", "D", records))
        return false;
    const _PROTO_FOLDER_INFO* root = nullptr;
    for (const _PROTO_FOLDER_INFO& r : records) {
        if (Is(r.Attr27, "B")) {
            root = &r;
            break;
        }
    }
    if (!root) {
        ShowMessage(kNothingToRestore);
        return false;
    }
    CString serverPath = CString(root->Name) + L"/";
    const std::string rootIdx = root->IDX, rootDidx = root->DIDX;

    if (m_bCancel || !ListFolder(rootIdx.c_str(), rootDidx.c_str(), "D", records))
        return false;
    const _PROTO_FOLDER_INFO* policy = nullptr;
    for (const _PROTO_FOLDER_INFO& r : records) {
        if (m_policy.FolderIDX[0] && strcmp(r.IDX, m_policy.FolderIDX) == 0) {
            policy = &r;
            break;
        }
    }
    if (!policy) {
        ShowMessage(kNothingToRestore);
        return false;
    }
    serverPath += policy->Name;
    const std::string policyIdx = policy->IDX, policyDidx = policy->DIDX;

    if (m_bCancel || !ListFolder(policyIdx.c_str(), policyDidx.c_str(), "D", records))
        return false;
    const CString chosen = WithoutTrailingSlash(m_strRestoreFolder);
    for (const _PROTO_FOLDER_INFO& record : records) {
        if (m_bCancel)
            break;
        CString localFolder = chosen;
        if (m_strRestoreFolder.IsEmpty() && !LocalFolderOf(record.IDX, localFolder))
            continue;
        AddItem(record, localFolder, serverPath);
        if (!Is(record.ItemType, "D"))
            continue;
        const _RESTORE_ITEM_INFO top = m_items.back();
        if (!AddFolderContents(top))
            break;
    }
    if (m_bCancel)
        return false;
    if (m_items.empty()) {
        ShowMessage(kNothingToRestore);
        return false;
    }
    RunOnUi([this] { m_strTotalSize = CFileUtils::ConvertFileSize2(static_cast<__int64>(m_nTotalSize)); });
    return true;
}

void CRestoreDlg::RunRestore()
{
    if (!CreateRestoreLog())
        return;
    for (_RESTORE_ITEM_INFO& item : m_items) {
        int result = kDone;
        if (Is(item.Type, "D"))
            result = RestoreFolder(item);
        else if (Is(item.Type, "F"))
            result = RestoreFile(item);
        else
            continue;
        if (result == kCancelled || result == kStop || result == kSessionEnded)
            break;
    }
    const CString status = m_nFailed > 0 ? L"FAIL" : (m_bCancel ? L"CANCEL" : L"COMPLETE");
    EndRestoreLog(status, CBackupLog::RemarksText(m_nFailed, m_nSkipped, m_nOverwritten));
    NotifyEnd(m_nFailed > 0 ? 2 : (m_nSkipped > 0 || m_nOverwritten > 0 ? 1 : 0));
}

void CRestoreDlg::ShowItem(const _RESTORE_ITEM_INFO& item, bool file)
{
    RunOnUi([this, &item, file] {
        SetDlgItemText(IDC_RESTORE_FOLDER, item.ServerPathText.GetString());
        if (file)
            SetDlgItemText(IDC_RESTORE_FILE, item.Name);
    });
}

int CRestoreDlg::RestoreFolder(const _RESTORE_ITEM_INFO& item)
{
    if (m_bCancel)
        return kCancelled;
    ShowItem(item, false);
    const CString local = item.LocalFolder + L"\\" + item.Name;
    InsertRestoreLog(local, L"D", 0, L"WAIT");
    if (!download::IsSafeLocalName(item.Name)) {
        UpdateRestoreLog(local, L"FAIL", CToviMsg::GetString(kMsgNameRefused));
        ++m_nFailed;
        return kNext;
    }
    SetProgressText(CToviString::GetString(14088) + L" : " + item.Name, 0);
    if (GetFileAttributesW(local.GetString()) == INVALID_FILE_ATTRIBUTES) {
        if (!CreateDirectoryW(local.GetString(), nullptr)) {
            UpdateRestoreLog(local, L"FAIL", L"Fail to create directory");
            ++m_nFailed;
            return kStop;
        }
        SHChangeNotify(SHCNE_MKDIR, SHCNF_PATHW, local.GetString(), nullptr);
    }
    UpdateRestoreLog(local, L"COMPLETE", CString());
    return kDone;
}

// A request of the file step failed: the row, the count, and whether the restore goes on.
int CRestoreDlg::TransferFailed(const CString& local, HANDLE& file, bool createdNew)
{
    if (file != INVALID_HANDLE_VALUE) {
        CloseHandle(file);
        file = INVALID_HANDLE_VALUE;
    }
    const _RESULT_INFO& info = m_pProto->ResultInfo;
    UpdateRestoreLog(local, L"FAIL", info.wszMessage);
    ++m_nFailed;
    if (info.nResultCode == IXO_SOCK_ERR_SEND || info.nResultCode == IXO_SOCK_ERR_RECV ||
        info.nResultCode == IXO_SOCK_ERR_TIMEOUT)
        return kStop;
    if (info.nResultCode == 1213) {
        m_bForceClosed = true;
        return kSessionEnded;
    }
    if (createdNew)
        DeleteFileW(local.GetString());
    return kNext;
}

int CRestoreDlg::RestoreFile(_RESTORE_ITEM_INFO& item)
{
    if (m_bCancel)
        return kCancelled;
    ShowItem(item, true);
    const __int64 serverSize = _atoi64(item.Size);
    RunOnUi([this, serverSize] {
        m_nFileSize = static_cast<unsigned __int64>(serverSize);
        m_nFileDone = 0;
    });
    const CString local = item.LocalFolder + L"\\" + item.Name;
    InsertRestoreLog(local, L"F", serverSize, L"WAIT");
    if (!download::IsSafeLocalName(item.Name)) {
        UpdateRestoreLog(local, L"FAIL", CToviMsg::GetString(kMsgNameRefused));
        ++m_nFailed;
        return kNext;
    }

    WIN32_FILE_ATTRIBUTE_DATA found = {};
    const bool present = GetFileAttributesExW(local.GetString(), GetFileExInfoStandard, &found) != 0;
    const __int64 localSize = present ? (static_cast<__int64>(found.nFileSizeHigh) << 32) | found.nFileSizeLow : 0;
    char position[21] = {};
    item.Checksum[0] = '\0';
    if (present) {
        _snprintf(position, sizeof position, "%I64u", static_cast<unsigned __int64>(localSize));
        _snprintf(item.Checksum, sizeof item.Checksum, "%lu", CFileUtils::ComputeChecksum(local, localSize));
    }
    HANDLE file = CreateFileW(local.GetString(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              present ? OPEN_EXISTING : CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        UpdateRestoreLog(local, L"FAIL", CToviMsg::GetString(error == ERROR_SHARING_VIOLATION ? 12023 : 12024));
        ++m_nFailed;
        return kStop;
    }
    SYSTEMTIME localWrite = {};
    if (m_nOverwrite == kOptionNewer) {
        FILETIME written = {}, shown = {};
        if (GetFileTime(file, nullptr, nullptr, &written) && FileTimeToLocalFileTime(&written, &shown))
            FileTimeToSystemTime(&shown, &localWrite);
    }

    int rc = m_pProto->GetDownloadInfo(m_hWnd, file, item.ItemId, item.FolderId, item.Version,
                                       present ? position : nullptr, present ? item.Checksum : nullptr,
                                       item.FileKey[0] ? item.FileKey : nullptr);
    if (rc != 0) {
        TraceLog(1, L"==== GetDownloadInfo %d [%s]\n", rc, m_pProto->ResultInfo.wszMessage);
        return TransferFailed(local, file, !present);
    }
    auto cancelled = [this, &file, &local] {
        CloseHandle(file);
        file = INVALID_HANDLE_VALUE;
        UpdateRestoreLog(local, L"CANCEL", CString());
        return kCancelled;
    };
    if (m_pProto->ResultInfo.nResultCode == IXO_DOWNLOAD_CANCELLED)
        return cancelled();

    const wchar_t* status = L"COMPLETE";
    Step step = Step::FromStart;
    if (present) {
        step = DecideExisting(m_pProto->DownloadInfo.cAnswer, serverSize, localSize, m_nOverwrite, item.ModifiedTime,
                              localWrite);
        if (step == Step::Skip) {
            ++m_nSkipped;
            status = L"SKIP";
        } else if (step == Step::Overwrite) {
            ++m_nOverwritten;
            status = L"OVERWRITE";
        }
        __int64 there = localSize;
        switch (step) {
        case Step::Resume:
            ::SendMessageW(m_hWnd, WM_DOWNLOAD_PROGRESS, 0, reinterpret_cast<LPARAM>(&there));
            rc = download::ResumeAt(*m_pProto, file, localSize);
            break;
        case Step::Overwrite:
            there = 0;
            ::SendMessageW(m_hWnd, WM_DOWNLOAD_PROGRESS, 0, reinterpret_cast<LPARAM>(&there));
            rc = download::Reannounce(*m_pProto, m_hWnd, file, item.ItemId, item.FolderId, item.Version, item.FileKey);
            break;
        case Step::Skip:
        case Step::Complete:
            m_pProto->CloseSocket();
            CloseHandle(file);
            file = INVALID_HANDLE_VALUE;
            ::SendMessageW(m_hWnd, WM_DOWNLOAD_PROGRESS, 0, reinterpret_cast<LPARAM>(&there));
            break;
        case Step::FromStart:
            break;
        }
        if (rc != 0)
            return TransferFailed(local, file, false);
        if (step == Step::Skip || step == Step::Complete) {
            RunOnUi([this] { m_nFileDone = 0; });
            UpdateRestoreLog(local, status, CString());
            return kNext;
        }
        if (m_pProto->ResultInfo.nResultCode == IXO_DOWNLOAD_CANCELLED)
            return cancelled();
    }
    // The stream wrote from the file's first byte (or after the kept bytes): whatever lies
    // beyond its end is an older copy's. A stream that ended short is no restored file.
    SetEndOfFile(file);
    LARGE_INTEGER written = {};
    const bool sized = GetFileSizeEx(file, &written) != 0;
    CloseHandle(file);
    file = INVALID_HANDLE_VALUE;
    RunOnUi([this] { m_nFileDone = 0; });
    if (!sized || written.QuadPart != serverSize) {
        TraceLog(2048, L"[ CRestoreDlg::RestoreFile ] %s ended at %I64d of %I64d bytes\n", item.Name,
                 static_cast<__int64>(written.QuadPart), serverSize);
        UpdateRestoreLog(local, L"FAIL", CToviMsg::GetString(kMsgNetworkError));
        ++m_nFailed;
        return kNext;
    }

    // A remark the server left about the file is the row's outcome, and counts as a failure.
    const wchar_t* remark = m_pProto->DownloadInfo.wszMessage;
    if (remark[0] && wcslen(remark) < 2048) {
        wcsncpy_s(m_wszMessage, 1024, remark, _TRUNCATE);
        m_pProto->DownloadInfo.wszMessage[0] = L'\0';
        UpdateRestoreLog(local, L"FAIL", m_wszMessage);
        m_wszMessage[0] = L'\0';
        ++m_nFailed;
        return kDone;
    }
    UpdateRestoreLog(local, status, CString());
    return kDone;
}

// ---- Run log ----

bool CRestoreDlg::CreateRestoreLog()
{
    const COleDateTime start(static_cast<int64_t>(_time64(nullptr)));
    if (m_log.Create(m_strPolicyKey, start, m_nTotalSize))
        return true;
    TraceLog(2048, L"[ CRestoreDlg::CreateRestoreLog ] %s\n", m_log.LastError().GetString());
    return false;
}

bool CRestoreDlg::InsertRestoreLog(const CString& path, const wchar_t* kind, __int64 size, const wchar_t* status)
{
    return m_log.Insert(path, kind, size, status);
}

bool CRestoreDlg::UpdateRestoreLog(const CString& path, const wchar_t* status, const CString& message)
{
    return m_log.Update(path, status, message);
}

bool CRestoreDlg::EndRestoreLog(const CString& status, const CString& remarks)
{
    return m_log.End(status, remarks);
}

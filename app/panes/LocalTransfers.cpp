// Uploads and downloads started on the local panes.
#include "LocalTransfers.h"
#include "FileUtils.h"
#include "ToviMsg.h"
#include "TransferJobs.h"
#include "TraceLog.h"
#include <cstring>

namespace localxfer {

namespace {
// The position of the upload flag in a folder's permission text.
constexpr size_t kUploadFlag = 4;
}

bool FolderTakesUploads(const _PROTO_FOLDER_INFO& folder)
{
    // The recycle bin and the folders in it hold what was deleted: nothing is uploaded there.
    if (std::strcmp(folder.Attr27, "6") == 0 || std::strcmp(folder.Attr27, "D") == 0)
        return false;
    return kUploadFlag < strnlen(folder.Attr189, sizeof folder.Attr189) && folder.Attr189[kUploadFlag] == '1';
}

bool IsDriveRoot(const CString& path)
{
    return path.GetLength() == 3 && path[1] == L':' && (path[2] == L'\\' || path[2] == L'/');
}

UploadCheck UploadJobs(const _PROTO_FOLDER_INFO& folder, DWORD_PTR treeItem, const std::vector<LocalItem>& items,
                       std::vector<_UPLOADINFO>& jobs)
{
    jobs.clear();
    if (!FolderTakesUploads(folder))
        return UploadCheck::NoPermission;
    for (const LocalItem& item : items) {
        if (IsDriveRoot(item.path)) {
            jobs.clear();
            return UploadCheck::DriveRoot;
        }
        _UPLOADINFO job;
        if (transferjobs::ForUpload(item.path, folder, treeItem, item.attributes, job) == transferjobs::Refusal::None)
            jobs.push_back(job);
    }
    return jobs.empty() ? UploadCheck::Nothing : UploadCheck::Jobs;
}

std::vector<_DOWNLOADINFO> DownloadJobs(const std::vector<_PROTO_FOLDER_INFO>& records, const CString& sourcePath,
                                        const CString& destFolder, std::vector<CString>& refusals)
{
    std::vector<_DOWNLOADINFO> jobs;
    if (destFolder.IsEmpty())
        return jobs;
    for (const _PROTO_FOLDER_INFO& record : records) {
        _DOWNLOADINFO job;
        const transferjobs::Refusal why = transferjobs::FromFolderRecord(record, sourcePath, destFolder, job);
        if (why == transferjobs::Refusal::None) {
            jobs.push_back(job);
            continue;
        }
        wchar_t name[_countof(record.Name) + 1] = {};
        std::memcpy(name, record.Name, sizeof record.Name);
        refusals.push_back(transferjobs::RefusalText(why, name, record.ItemType[0] == 'D'));
    }
    return jobs;
}

UploadCheck StartUpload(CWnd* owner, ILocalFrameHost* host, const std::vector<LocalItem>& items)
{
    HTREEITEM serverItem = nullptr;
    _PROTO_FOLDER_INFO* folder = host ? host->ServerTarget(&serverItem) : nullptr;
    if (!folder)
        return UploadCheck::NoTarget;
    std::vector<_UPLOADINFO> jobs;
    const UploadCheck check = UploadJobs(*folder, reinterpret_cast<DWORD_PTR>(serverItem), items, jobs);
    if (check == UploadCheck::NoPermission)
        CFileUtils::ToviMessageBox(owner, CToviMsg::GetString(12068), L"CorvaneIXO", MB_OK | MB_ICONEXCLAMATION);
    else if (check == UploadCheck::DriveRoot)
        CFileUtils::ToviMessageBox(owner, CToviMsg::GetString(12069), L"CorvaneIxo", MB_OK | MB_ICONSTOP);
    else if (check == UploadCheck::Jobs)
        host->Upload(folder, jobs);
    return check;
}

void StartDownload(CWnd* owner, ILocalFrameHost* host, const std::vector<_PROTO_FOLDER_INFO>& records,
                   const CString& sourcePath, const CString& destFolder, HTREEITEM localItem)
{
    if (!host)
        return;
    std::vector<CString> refusals;
    std::vector<_DOWNLOADINFO> jobs = DownloadJobs(records, sourcePath, destFolder, refusals);
    for (const CString& text : refusals)
        CFileUtils::ToviMessageBox(owner, text, L"CorvaneIXO", MB_OK | MB_ICONWARNING);
    if (!jobs.empty())
        host->Download(jobs, localItem);
}

}

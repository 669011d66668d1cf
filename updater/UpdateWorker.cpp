// CUpdateWorker: staged download, digest proof, all-or-nothing replacement.
#include "UpdateWorker.h"
#include "ToviUpdate.h"
#include "TraceLog.h"
#include "UpdateCrypto.h"
#include "UpdateMessages.h"
#include "UpdateTexts.h"
#include "UpdaterRes.h"

namespace {

bool Exists(const CString& path) { return ::GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES; }

// Creates the folders above path that are missing.
void MakeParentFolders(const CString& path)
{
    int slash = path.ReverseFind(L'\\');
    if (slash <= 2)
        return;
    CString folder = path.Left(slash);
    if (Exists(folder))
        return;
    MakeParentFolders(folder);
    ::CreateDirectoryW(folder, nullptr);
}

}

CUpdateWorker::CUpdateWorker(const UpdateFileList& list, HANDLE cancelEvent, HWND window)
    : m_list(list), m_cancel(cancelEvent), m_window(window)
{
}

bool CUpdateWorker::Cancelled() const
{
    return m_cancel != nullptr && ::WaitForSingleObject(m_cancel, 0) == WAIT_OBJECT_0;
}

CUpdateWorker::Result CUpdateWorker::Fail(const CString& text)
{
    RemoveStaged();
    if (Cancelled())
        return kCancelled;
    if (onError)
        onError(text);
    return kFailed;
}

CUpdateWorker::Result CUpdateWorker::Run()
{
    TraceLog(1, L" ■■■ [ UPDATE ][ CreateDownLoadThread ] START!\n");
    _ENC_CTX ctx = {};
    ctx.algorithm = 1;
    ctx.mode = 3;
    ctx.keyBits = 128;
    if (CToviCrypto::ToviKeySetup(&ctx) != 0)
        return Fail(L"Fail to create crypto context");

    for (const _UPDATE_FILE_ITEM& item : m_list) {
        if (Cancelled())
            return Fail(CString());
        CString error;
        if (!Fetch(item, ctx, error)) {
            SecureZeroMemory(&ctx, sizeof(ctx));
            return Fail(error);
        }
    }
    SecureZeroMemory(&ctx, sizeof(ctx));
    if (Cancelled())
        return Fail(CString());

    CString error;
    if (!ReplaceAll(error))
        return Fail(error);
    TraceLog(1, L" ■■■ [ UPDATE ][ CreateDownLoadThread ] END!\n");
    return kDone;
}

bool CUpdateWorker::Fetch(const _UPDATE_FILE_ITEM& item, _ENC_CTX& ctx, CString& error)
{
    if (onFile)
        onFile(item.FileName);
    CString staged = StagedPath(item.TargetPath);
    CString downloaded = DownloadedPath(item.TargetPath);
    MakeParentFolders(item.TargetPath);
    bool encrypted = item.Encrypt == L"Y";
    TraceLog(1, L" ■■■ [ UPDATE ][ CreateDownLoadThread ] HTTPDown path = %s \n", item.Url.GetString());
    CToviUpdate http;
    if (!http.HTTPDown(m_cancel, m_window, item.Url, encrypted ? downloaded : staged)) {
        TraceLog(2048, L" ■■■ [ UPDATE ][ CreateDownLoadThread ] HTTPDown return : FALSE!\n");
        error = LoadResString(IDS_DOWNLOAD_FAILED);
        return false;
    }
    if (encrypted) {
        int rc = CToviCrypto::ToviFileDecrypt(&ctx, downloaded, staged);
        ::DeleteFileW(downloaded);
        if (rc != 0) {
            error = L"Fail to file decryption";
            return false;
        }
    }
    if (m_window != nullptr)
        ::SendMessageW(m_window, WM_UPDATER_PROGRESS, 0, 0);
    CString digest = CToviUpdate::FileDigest(staged);
    TraceLog(1, L" ■■■ [ UPDATE ][ CreateDownLoadThread ] HASH COMPARE! %s\n%s\n%s\n", item.FileName.GetString(),
             item.Hash.GetString(), digest.GetString());
    if (digest.IsEmpty() || digest.CompareNoCase(item.Hash) != 0) {
        error = LoadResString(IDS_INTEGRITY_FAILED);
        TraceLog(2048, L" ■■■ [ UPDATE ] %s\n", error.GetString());
        return false;
    }
    return true;
}

bool CUpdateWorker::ReplaceAll(CString& error)
{
    std::vector<Replaced> done;
    for (const _UPDATE_FILE_ITEM& item : m_list) {
        if (Cancelled()) {
            RollBack(done);
            return false;
        }
        const CString& target = item.TargetPath;
        bool hadOriginal = Exists(target);
        // The original is kept until the whole run has succeeded.
        if (hadOriginal && !::CopyFileW(target, KeptPath(target), FALSE)) {
            error.Format(L"Failed to update file. (delete:%s)", target.GetString());
            TraceLog(2048, L" ■■■ [ UPDATE ] %s\n", error.GetString());
            RollBack(done);
            return false;
        }
        TraceLog(1, L" ■■■ [ UPDATE ] MoveFile File %s --> %s\n", StagedPath(target).GetString(), target.GetString());
        if (!::MoveFileExW(StagedPath(target), target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            TraceLog(2048, L" ■■■ [ UPDATE ] MOVE FILE ERROR!  \n");
            error = L"Failed to update file. (move)";
            if (hadOriginal)
                ::DeleteFileW(KeptPath(target));
            RollBack(done);
            return false;
        }
        done.push_back({ target, hadOriginal });
    }
    for (const Replaced& r : done)
        if (r.hadOriginal)
            ::DeleteFileW(KeptPath(r.target));
    return true;
}

void CUpdateWorker::RollBack(const std::vector<Replaced>& done)
{
    for (auto it = done.rbegin(); it != done.rend(); ++it) {
        bool restored = it->hadOriginal ? ::MoveFileExW(KeptPath(it->target), it->target, MOVEFILE_REPLACE_EXISTING) != FALSE
                                        : ::DeleteFileW(it->target) != FALSE;
        if (!restored)
            TraceLog(2048, L" ■■■ [ UPDATE ] ROLL BACK FAILED [ %s ][ %d ]\n", it->target.GetString(),
                     static_cast<int>(::GetLastError()));
    }
}

void CUpdateWorker::RemoveStaged()
{
    for (const _UPDATE_FILE_ITEM& item : m_list) {
        ::DeleteFileW(StagedPath(item.TargetPath));
        ::DeleteFileW(DownloadedPath(item.TargetPath));
    }
}

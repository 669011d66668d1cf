// CUpdateWorker: staged download, digest proof, all-or-nothing replacement.
#include "UpdateWorker.h"
#include "../interface/services/CodeSignature.h"
#include "UpdateJournal.h"
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

    if (beginReplacement && !beginReplacement())
        return Fail(CString());
    std::vector<CString> targets;
    for (const _UPDATE_FILE_ITEM& item : m_list)
        targets.push_back(item.TargetPath);
    CString journal = journalPath;
    if (journal.IsEmpty() && !targets.empty())
        journal = updatejournal::PathFor(targets[0].Left(targets[0].ReverseFind(L'\\')));
    CString failed;
    if (!updatejournal::ReplaceStaged(journal, targets, failed, [this] { return Cancelled(); })) {
        TraceLog(2048, L" ■■■ [ UPDATE ] Failed to update file. [ %s ]\n", failed.GetString());
        return Fail(L"Failed to update file. (move)");
    }
    TraceLog(1, L" ■■■ [ UPDATE ][ CreateDownLoadThread ] END!\n");
    return kDone;
}

bool CUpdateWorker::Fetch(const _UPDATE_FILE_ITEM& item, _ENC_CTX& ctx, CString& error)
{
    if (onFile)
        onFile(item.FileName);
    CString staged = updatejournal::StagedPath(item.TargetPath);
    CString downloaded = updatejournal::DownloadedPath(item.TargetPath);
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
    return Proven(item, staged, error);
}

bool CUpdateWorker::Proven(const _UPDATE_FILE_ITEM& item, const CString& staged, CString& error)
{
    // The digest comes from a description anyone can write and encipher (the key is in every
    // copy of the program); a program image must also come from the update program's signer.
    if (!codesign::IsExecutableImage(item.TargetPath, staged))
        return true;
    if (codesign::SignedBy(staged, signer))
        return true;
    error.Format(LoadResString(IDS_SIGNATURE_FAILED), item.TargetPath.GetString());
    TraceLog(2048, L" ■■■ [ UPDATE ] %s [ signer of the update program: %s ]\n", error.GetString(),
             signer.empty() ? L"none" : signer.c_str());
    return false;
}

void CUpdateWorker::RemoveStaged()
{
    for (const _UPDATE_FILE_ITEM& item : m_list) {
        ::DeleteFileW(updatejournal::StagedPath(item.TargetPath));
        ::DeleteFileW(updatejournal::DownloadedPath(item.TargetPath));
    }
}

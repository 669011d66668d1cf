// Upload and download job records built from the server's records.
#include "TransferJobs.h"
#include "TransferCommon.h"
#include "VersionManagementDlg.h"
#include <cstring>
#include <cwchar>

namespace transferjobs {

namespace {

template <typename Char, size_t N>
bool Fill(Char (&dest)[N], const Char* src)
{
    return transfer::CopyFitting(dest, N, src);
}

// The source member may lack its terminator (a full fixed field): never read past it.
template <size_t N>
const char* Terminated(const char (&src)[N], char (&scratch)[N + 1])
{
    std::memcpy(scratch, src, N);
    scratch[N] = 0;
    return scratch;
}

template <size_t N>
const wchar_t* Terminated(const wchar_t (&src)[N], wchar_t (&scratch)[N + 1])
{
    std::wmemcpy(scratch, src, N);
    scratch[N] = 0;
    return scratch;
}

template <typename Char, size_t D, size_t S>
bool FillFrom(Char (&dest)[D], const Char (&src)[S])
{
    Char scratch[S + 1];
    return transfer::CopyFitting(dest, D, Terminated(src, scratch));
}

}

Refusal FromFolderRecord(const _PROTO_FOLDER_INFO& record, const wchar_t* serverPath, const wchar_t* destFolder,
                         _DOWNLOADINFO& out)
{
    out = _DOWNLOADINFO();
    if (!FillFrom(out.Name, record.Name))
        return Refusal::Name;
    if (!Fill(out.ServerPath, serverPath))
        return Refusal::ServerPath;
    const bool carried = FillFrom(out.Type, record.ItemType) && FillFrom(out.ItemId, record.IDX) &&
                         FillFrom(out.FolderId, record.DIDX) && FillFrom(out.FolderKind, record.Attr27) &&
                         FillFrom(out.ShareFlagA, record.Attr29) && FillFrom(out.Code3, record.Attr30) &&
                         FillFrom(out.ShareFlagB, record.Attr62) && FillFrom(out.Owner, record.Attr231) &&
                         FillFrom(out.Size, record.Attr192) && FillFrom(out.FileKey, record.Attr9) &&
                         FillFrom(out.PasswordDigest, record.Attr237);
    if (!carried)
        return Refusal::Text;
    Fill(out.Version, "0");
    out.DestRoot = destFolder;
    out.DestFolder = destFolder;
    return Refusal::None;
}

Refusal FromVersion(const _VERSION_ITEM& version, const wchar_t* destFolder, _DOWNLOADINFO& out)
{
    out = _DOWNLOADINFO();
    const _PROTO_VERSION_INFO& record = version.Version;
    if (!FillFrom(out.Name, version.FileName))
        return Refusal::Name;
    if (!FillFrom(out.ServerPath, version.ServerPath))
        return Refusal::ServerPath;
    const bool carried = FillFrom(out.ItemId, record.IDX) && FillFrom(out.FolderId, record.DIDX) &&
                         FillFrom(out.Version, record.Attr209) && FillFrom(out.Size, record.Attr192) &&
                         FillFrom(out.FileKey, record.Attr9);
    if (!carried)
        return Refusal::Text;
    Fill(out.Type, "F");
    out.DestRoot = destFolder;
    out.DestFolder = destFolder;
    return Refusal::None;
}

Refusal FromSearchHit(const _PROTO_SEARCH_INFO& hit, const wchar_t* destFolder, _DOWNLOADINFO& out)
{
    out = _DOWNLOADINFO();
    if (!FillFrom(out.Name, hit.Name))
        return Refusal::Name;
    if (!FillFrom(out.ServerPath, hit.Attr197))
        return Refusal::ServerPath;
    const bool carried = FillFrom(out.ItemId, hit.IDX) && FillFrom(out.FolderId, hit.DIDX) &&
                         FillFrom(out.FolderKind, hit.Attr27) && FillFrom(out.Size, hit.Attr192) &&
                         FillFrom(out.FileKey, hit.Attr9);
    if (!carried)
        return Refusal::Text;
    Fill(out.Type, "F");
    Fill(out.Version, "0");
    out.DestRoot = destFolder;
    out.DestFolder = destFolder;
    return Refusal::None;
}

Refusal ForUpload(const CString& localPath, const _PROTO_FOLDER_INFO& folder, DWORD_PTR treeItem, DWORD attributes,
                  _UPLOADINFO& out)
{
    out = _UPLOADINFO();
    if (localPath.IsEmpty())
        return Refusal::Name;
    if (!FillFrom(out.FirstId, folder.IDX) || !FillFrom(out.SecondId, folder.DIDX))
        return Refusal::Text;
    out.LocalPath = localPath;
    out.ItemData = treeItem;
    out.Attributes = attributes;
    return Refusal::None;
}

CString RefusalText(Refusal why, const wchar_t* name, bool folder)
{
    return transfer::TooLongText(name, why == Refusal::Name && !folder);
}

}

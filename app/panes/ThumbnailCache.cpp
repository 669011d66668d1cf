// Thumbnail cache names and fetching.
#include "ThumbnailCache.h"
#include <shlobj.h>
#include <cstring>
#include <cwctype>

namespace {

template <typename Ch> CString AlphaNumeric(const Ch* text, size_t width)
{
    CString out;
    for (size_t i = 0; i < width && text[i]; ++i) {
        unsigned c = static_cast<unsigned>(text[i]);
        if ((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))
            out += static_cast<wchar_t>(c);
    }
    return out;
}

bool Exists(const CString& path)
{
    return GetFileAttributesW(path.GetString()) != INVALID_FILE_ATTRIBUTES;
}

}

CString ThumbnailCacheName(const char* idx, const char* didx, const wchar_t* modified)
{
    CString index = AlphaNumeric(idx, 10);
    if (index.IsEmpty())
        return CString();
    CString name = index;
    name += L"_";
    name += AlphaNumeric(didx, 10);
    name += L"_";
    name += AlphaNumeric(modified, 24);
    name += L".png";
    return name;
}

CString ThumbnailCacheDir()
{
    wchar_t documents[MAX_PATH] = {};
    if (!SHGetSpecialFolderPathW(nullptr, documents, CSIDL_PERSONAL, TRUE))
        return CString();
    CString dir = documents;
    dir += L"\\VariruDAD";
    CreateDirectoryW(dir.GetString(), nullptr);
    dir += L"\\Thumbnail";
    CreateDirectoryW(dir.GetString(), nullptr);
    return Exists(dir) ? dir : CString();
}

bool QualifiesForThumbnail(const _PROTO_FOLDER_INFO& record, const CString& imageExtensions)
{
    if (strnlen(record.Attr189, sizeof record.Attr189) <= 3 || record.Attr189[3] != '1')
        return false;
    if (_strtoi64(record.Attr192, nullptr, 10) <= 0)
        return false;
    CString name = record.Name;
    int dot = name.ReverseFind(L'.');
    if (dot < 0 || dot + 1 >= name.GetLength())
        return false;
    CString extension = name.Mid(dot + 1);
    for (int i = 0; i < extension.GetLength(); ++i)
        extension.SetAt(i, static_cast<wchar_t>(towlower(extension[i])));
    return imageExtensions.Find(extension.GetString()) >= 0;
}

ThumbnailFetch FetchThumbnail(CToviProto& proto, HWND progress, const _PROTO_FOLDER_INFO& record, const CString& dir,
                              const std::atomic<bool>& stop, CString& path)
{
    CString name = ThumbnailCacheName(record.IDX, record.DIDX, record.Attr188);
    if (name.IsEmpty() || dir.IsEmpty())
        return ThumbnailFetch::Failed;
    path = dir;
    path += L"\\";
    path += name;
    if (Exists(path))
        return ThumbnailFetch::Reused;
    HANDLE file = CreateFileW(path.GetString(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return ThumbnailFetch::Failed;
    _PROTO_FOLDER_INFO& r = const_cast<_PROTO_FOLDER_INFO&>(record);   // the request takes texts
    int result = proto.GetThumbnail(progress, file, r.IDX, r.DIDX);
    bool stopped = false;
    for (int pages = 0; result == 0 && proto.ContinueFlag[0] == 'Y'; ++pages) {
        if (pages > 100000) {   // a server that never ends the transfer
            result = -1;
            break;
        }
        stopped = stop.load();
        char key[2] = {stopped ? 'N' : 'Y', '\0'};
        result = proto.GetThumbnailContinue(key);
        if (stopped)
            break;
    }
    CloseHandle(file);
    if (result != 0 || stopped) {
        DeleteFileW(path.GetString());
        return stopped ? ThumbnailFetch::Stopped : ThumbnailFetch::Failed;
    }
    return ThumbnailFetch::Fetched;
}

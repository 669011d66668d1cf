// Building the upload and download job records from the server's records. Every text goes in by
// a bounded, terminated copy; an item whose name or path does not fit its field is refused,
// because a cut name would land the data under another file's name.
#pragma once
#include "ProtoRecords.h"
#include "ToviMessages.h"

struct _VERSION_ITEM;

namespace transferjobs {

enum class Refusal {
    None,
    Name,          // the item's name does not fit
    ServerPath,    // the server path does not fit
    Text,          // a carried text does not fit its field
};

// A download item of a server file or folder (version "0").
Refusal FromFolderRecord(const _PROTO_FOLDER_INFO& record, const wchar_t* serverPath, const wchar_t* destFolder,
                         _DOWNLOADINFO& out);
// A download item of one version of a file.
Refusal FromVersion(const _VERSION_ITEM& version, const wchar_t* destFolder, _DOWNLOADINFO& out);
// A download item of a search hit (always a file); its server path is the hit's location.
Refusal FromSearchHit(const _PROTO_SEARCH_INFO& hit, const wchar_t* destFolder, _DOWNLOADINFO& out);
// An upload item of a local file or folder into the server folder.
Refusal ForUpload(const CString& localPath, const _PROTO_FOLDER_INFO& folder, DWORD_PTR treeItem, DWORD attributes,
                  _UPLOADINFO& out);

// The message shown for a refused item (names the item).
CString RefusalText(Refusal why, const wchar_t* name, bool folder);

}

// Transfers that start on the local panes: local items uploaded into the folder selected in the
// server tree, and server items (pasted or dropped) downloaded into a local folder.
//
// The job builders are plain functions a test can call; the Start functions show the program's
// boxes and hand the jobs to the frame. GUI thread only.
#pragma once
#include "LocalPaneHost.h"
#include "ProtoRecords.h"
#include "ToviMessages.h"
#include <vector>

class CWnd;

namespace localxfer {

// One local item chosen for upload: its path and its shell attributes (SFGAO_*).
struct LocalItem {
    CString path;
    DWORD attributes = 0;
};

enum class UploadCheck {
    NoTarget,      // no folder is selected in the server tree
    Jobs,          // jobs were built
    NoPermission,  // the server folder takes no uploads (message 12068)
    DriveRoot,     // a whole drive was chosen (message 12069); nothing goes
    Nothing,       // nothing left to upload
};

// The folder's UPLOAD permission flag is '1'; anything else, a missing flag too, refuses.
bool FolderTakesUploads(const _PROTO_FOLDER_INFO& folder);
// "C:\" and the like.
bool IsDriveRoot(const CString& path);
// Jobs for the items into folder; treeItem is the server tree item the splitter refreshes after.
// A drive root anywhere in the list stops the whole command, so a half-chosen set never goes.
UploadCheck UploadJobs(const _PROTO_FOLDER_INFO& folder, DWORD_PTR treeItem, const std::vector<LocalItem>& items,
                       std::vector<_UPLOADINFO>& jobs);
// Download jobs of server records from the server folder sourcePath into destFolder. An item
// whose texts do not fit the job record is left out and its message added to refusals.
std::vector<_DOWNLOADINFO> DownloadJobs(const std::vector<_PROTO_FOLDER_INFO>& records, const CString& sourcePath,
                                        const CString& destFolder, std::vector<CString>& refusals);

// Uploads items into the server tree's selected folder, with the refusal boxes owned by owner.
UploadCheck StartUpload(CWnd* owner, ILocalFrameHost* host, const std::vector<LocalItem>& items);
// Downloads the records into destFolder; localItem is the local tree item refreshed when the
// download ends (null: the selected one).
void StartDownload(CWnd* owner, ILocalFrameHost* host, const std::vector<_PROTO_FOLDER_INFO>& records,
                   const CString& sourcePath, const CString& destFolder, HTREEITEM localItem);

}

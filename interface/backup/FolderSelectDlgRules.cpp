// The decisions of the folder selection that need no window: what a check does to the folder
// map and which children of Computer are listed.
#include "FolderSelectDlg.h"
#include <shlwapi.h>
#include <cstring>

namespace {

// Whether inner lies inside outer. A drive root ("C:\") already ends with the separator; it
// must not need a second one, or its folders would be kept beside it and backed up twice.
bool IsInside(const CString& inner, const CString& outer)
{
    if (outer.IsEmpty())
        return false;
    CString prefix = outer;
    if (prefix[prefix.GetLength() - 1] != L'\\')
        prefix += L'\\';
    return inner.GetLength() > prefix.GetLength() && wcsncmp(inner.GetString(), prefix.GetString(), prefix.GetLength()) == 0;
}

} // namespace

CFolderSelectDlg::CheckOutcome CFolderSelectDlg::ApplyCheck(CFolderPathMap& map, const CString& fullPath,
                                                            const CString& treePath, bool check)
{
    if (!check) {
        map.erase(fullPath);
        return kUnchecked;
    }
    // The store reads back 259 characters of a path and of a tree path: a longer one would be
    // refused when the policy is saved.
    if (fullPath.IsEmpty() || fullPath.GetLength() > 259 || treePath.GetLength() > 259)
        return kRefusedNoPath;
    for (auto it = map.begin(); it != map.end();) {
        if (it->first == fullPath)
            return kRefusedSame;
        if (IsInside(fullPath, it->first))
            return kRefusedParent;
        if (IsInside(it->first, fullPath))
            it = map.erase(it);
        else
            ++it;
    }
    _FOLDER_PATH_INFO info = {};
    wcsncpy(info.TreePath, treePath.GetString(), 259);
    wcsncpy(info.FullPath, fullPath.GetString(), 259);
    map[fullPath] = info;
    return kChecked;
}

bool CFolderSelectDlg::ShowUnderComputer(bool hiddenFolder, const CString& path, UINT driveType, bool virtualDriveRuns,
                                         const CString& virtualDriveName, bool hasName)
{
    if (hiddenFolder || path.IsEmpty() || driveType == DRIVE_NO_ROOT_DIR)
        return false;
    if (driveType == DRIVE_REMOTE && virtualDriveRuns && !virtualDriveName.IsEmpty() && hasName &&
        wcsncmp(path.GetString(), virtualDriveName.GetString(), virtualDriveName.GetLength()) == 0)
        return false;
    return true;
}

bool CFolderSelectDlg::ListsAsFolder(ULONG attributes)
{
    return (attributes & SFGAO_FOLDER) && !(attributes & SFGAO_STREAM);
}

int CALLBACK CFolderSelectDlg::CompareFunc(LPARAM lParam1, LPARAM lParam2, LPARAM)
{
    const _FOLDER_TREE_ITEM* a = reinterpret_cast<const _FOLDER_TREE_ITEM*>(lParam1);
    const _FOLDER_TREE_ITEM* b = reinterpret_cast<const _FOLDER_TREE_ITEM*>(lParam2);
    if (a == nullptr || b == nullptr)
        return -1;
    return StrCmpLogicalW(a->szDisplayName, b->szDisplayName);
}

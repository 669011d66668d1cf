// The local panes' decisions without a window.
#include "LocalPaneRules.h"
#include "ToviString.h"
#include <shlwapi.h>
#include <cstring>
#include <utility>

CString LocalDateSortKey(const SYSTEMTIME& t)
{
    CString key;
    key.Format(L"%04d%02d%02d%02d%2d%02d", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond);
    return key;
}

CString LocalDateText(const SYSTEMTIME& t, bool english)
{
    const CString halfDay = CToviString::GetString(t.wHour < 12 ? 14185 : 14186);
    const int hour = t.wHour > 12 ? t.wHour - 12 : t.wHour;
    CString text;
    if (english)
        text.Format(L"%02d/%02d/%04d %s %02d:%02d", t.wDay, t.wMonth, t.wYear, halfDay.GetString(), hour, t.wMinute);
    else
        text.Format(L"%04d-%02d-%02d %s %02d:%02d", t.wYear, t.wMonth, t.wDay, halfDay.GetString(), hour, t.wMinute);
    return text;
}

int CALLBACK CompareLocalItems(LPARAM a, LPARAM b, LPARAM sort)
{
    const auto* first = reinterpret_cast<const _LOCAL_LIST_ITEM*>(a);
    const auto* second = reinterpret_cast<const _LOCAL_LIST_ITEM*>(b);
    if (!first || !second)
        return -1;
    const bool firstFolder = (first->attributes & SFGAO_FOLDER) != 0;
    const bool secondFolder = (second->attributes & SFGAO_FOLDER) != 0;
    if (firstFolder != secondFolder)
        return firstFolder ? -1 : 1;
    if ((sort & 0xFFFF) == 1)
        std::swap(first, second);
    switch (static_cast<int>(static_cast<DWORD>(sort) >> 16)) {
    case 0:
        return ::StrCmpLogicalW(first->displayName, second->displayName);
    case 1:
        return first->size < second->size ? -1 : (first->size > second->size ? 1 : 0);
    case 2:
        return ::StrCmpLogicalW(first->typeName, second->typeName);
    case 3: {
        CString x = first->modifiedKey, y = second->modifiedKey;
        x.Replace(L' ', L'0');
        y.Replace(L' ', L'0');
        return ::StrCmpLogicalW(x, y);
    }
    default:
        return 0;
    }
}

bool ReadClientColumnSize(const BYTE* data, UINT bytes, int widths[4])
{
    if (data == nullptr || bytes != kClientColumnSizeBytes)
        return false;
    int stored[4];
    std::memcpy(stored, data, sizeof stored);
    for (int w : stored)
        if (w < 0)
            return false;
    std::memcpy(widths, stored, sizeof stored);
    return true;
}

bool ReadClientSort(const BYTE* data, UINT bytes, int& direction, int& column)
{
    if (data == nullptr || bytes != kClientSortBytes)
        return false;
    int stored[2];
    std::memcpy(stored, data, sizeof stored);
    if (stored[0] < 0 || stored[0] > 1 || stored[1] < 0 || stored[1] > 4)
        return false;
    direction = stored[0];
    column = stored[1];
    return true;
}

bool ShowDriveChild(bool hasPath, UINT driveType, bool isVirtualDrive)
{
    if (!hasPath || driveType == DRIVE_UNKNOWN || driveType == DRIVE_NO_ROOT_DIR)
        return false;
    return !(driveType == DRIVE_REMOTE && isVirtualDrive);
}

bool IsHiddenVirtualDrive(bool driveProgramRunning, const CString& driveLetter, const CString& childPath,
                          const CString& displayName)
{
    if (!driveProgramRunning || driveLetter.IsEmpty() || displayName.IsEmpty())
        return false;
    return childPath.GetLength() >= driveLetter.GetLength() &&
           childPath.Left(driveLetter.GetLength()).CompareNoCase(driveLetter) == 0;
}

LocalMenuChoice ClassifyLocalMenuCommand(UINT command)
{
    switch (command) {
    case kLocalUploadCommand:
        return LocalMenuChoice::Upload;
    case kLocalPasteCommand:
        return LocalMenuChoice::Paste;
    case kLocalNewFolderCommand:
        return LocalMenuChoice::NewFolder;
    default:
        return command >= kShellFirstCommand && command <= kShellLastCommand ? LocalMenuChoice::Shell
                                                                             : LocalMenuChoice::None;
    }
}

FILEOP_FLAGS LocalDeleteFlags(bool toRecycleBin, bool inRecycleBin)
{
    if (inRecycleBin)
        return FOF_SILENT | FOF_NOCONFIRMMKDIR | FOF_NOERRORUI;
    return toRecycleBin ? FOF_ALLOWUNDO : 0;
}

CString DriveItemText(const CString& label, const CString& rootPath)
{
    return label + L" (" + rootPath.Left(2) + L")";
}

CString DriveLabelOf(const CString& itemText)
{
    CString label = itemText;
    label.Trim();
    return label.GetLength() > 5 ? label.Left(label.GetLength() - 5) : CString();
}

bool DropsIntoOwnFolder(const CString& firstPath, const CString& targetFolder)
{
    const int slash = firstPath.ReverseFind(L'\\');
    if (slash <= 0)
        return false;
    return firstPath.Left(slash).CompareNoCase(targetFolder) == 0;
}

std::wstring ShellPathList(const std::vector<CString>& paths)
{
    std::wstring joined;
    for (const CString& path : paths) {
        if (path.IsEmpty())
            continue;
        joined.append(path.GetString(), path.GetLength());
        joined.push_back(L'\0');
    }
    joined.push_back(L'\0');
    return joined;
}

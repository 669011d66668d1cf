// Decisions of the local panes that need no window: the list's date and size texts, its sort
// order, the stored column widths and sort state, which shell children the folder tree shows,
// the identifiers of our own context-menu entries and the flags of a shell delete.
#pragma once
#include "Strings.h"
#include <windows.h>
#include <shlobj.h>
#include <string>
#include <vector>

// One item of the local folder tree; the tree owns it: its item ID lists are freed with the shell
// allocator and its parent folder released when the item goes.
struct _LOCAL_TREE_ITEM {
    LPITEMIDLIST relative = nullptr;
    LPITEMIDLIST absolute = nullptr;
    IShellFolder* parent = nullptr;     // null for the root
    wchar_t name[260] = {};
    DWORD attributes = 0;
    bool enumerated = false;
    bool root = false;
    bool myComputer = false;
    bool recycleBin = false;
    bool cdrom = false;
};

// One row of the local file list; the pane owns it and frees the list with the shell allocator.
struct _LOCAL_LIST_ITEM {
    LPITEMIDLIST pidl = nullptr;        // absolute
    DWORD attributes = 0;               // SFGAO_*; no SFGAO_FOLDER for what is not a directory
    CString displayName;
    CString modifiedKey;                // LocalDateSortKey, empty when unknown
    CString typeName;
    __int64 size = 0;
    DWORD fileAttributes = 0;           // all bits for a drive root
};

// "%04d%02d%02d%02d%2d%02d": the minute is padded with a space, as stored rows always were.
CString LocalDateSortKey(const SYSTEMTIME& local);
// The list's modification text: English "dd/mm/yyyy AM hh:mm", otherwise "yyyy-mm-dd 오전 hh:mm",
// the hour on a 12-hour clock (0 and 12 stay as they are).
CString LocalDateText(const SYSTEMTIME& local, bool english);

// Sort parameter of the list: column << 16 | direction (0 ascending, 1 descending).
inline LPARAM LocalSortParam(int column, int direction)
{
    return static_cast<LPARAM>((static_cast<DWORD>(column) << 16) | (static_cast<DWORD>(direction) & 0xFFFF));
}
// Folders first in both directions, then by column: 0 name, 1 size, 2 type, 3 modified.
int CALLBACK CompareLocalItems(LPARAM a, LPARAM b, LPARAM sort);

// Stored profile values. Each reader leaves its outputs alone (the defaults stay) unless the
// value has exactly its size, so a short or long value is never read past its end.
constexpr UINT kClientColumnSizeBytes = 16;
constexpr UINT kClientSortBytes = 8;
bool ReadClientColumnSize(const BYTE* data, UINT bytes, int widths[4]);
// direction first, then column; a column outside 0-4 or a direction other than 0/1 is refused.
bool ReadClientSort(const BYTE* data, UINT bytes, int& direction, int& column);

// Children of My Computer: hidden without a file-system path, for drives of unknown type or
// without a root, and for the service's own virtual drive.
bool ShowDriveChild(bool hasPath, UINT driveType, bool isVirtualDrive);
// The virtual drive is hidden only while its program runs, its letter is known, the child's path
// lies on that letter and the child has a name.
bool IsHiddenVirtualDrive(bool driveProgramRunning, const CString& driveLetter, const CString& childPath,
                          const CString& displayName);

// Our own entries of the local context menus. The shell gets the identifiers 1 to
// kShellLastCommand; ours lie above that range and differ from each other, so a chosen
// identifier is recognised as ours before the shell is ever asked about it.
constexpr UINT kShellFirstCommand = 1;
constexpr UINT kShellLastCommand = 0x7FFF;
constexpr UINT kLocalUploadCommand = 0x8000;
constexpr UINT kLocalPasteCommand = 0x8001;
constexpr UINT kLocalNewFolderCommand = 0x8002;
enum class LocalMenuChoice { None, Upload, Paste, NewFolder, Shell };
LocalMenuChoice ClassifyLocalMenuCommand(UINT command);

// SHFileOperation flags of a delete. Inside the Recycle Bin the delete is for good, so the
// shell's own confirmation stays; elsewhere toRecycleBin decides whether it can be undone.
FILEOP_FLAGS LocalDeleteFlags(bool toRecycleBin, bool inRecycleBin);

// A drive item's text after its label changed: "label (D:)" for the root path "D:\".
CString DriveItemText(const CString& label, const CString& rootPath);
// The drive root "D:\" of a tree text "Data (D:)": the text without its last five characters.
CString DriveLabelOf(const CString& itemText);
// Whether files dragged from firstPath's folder would land in that same folder.
bool DropsIntoOwnFolder(const CString& firstPath, const CString& targetFolder);
// The non-empty paths, each ending in a zero, and a closing zero: SHFileOperation's list.
std::wstring ShellPathList(const std::vector<CString>& paths);

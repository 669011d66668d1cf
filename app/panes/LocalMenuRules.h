// What the local panes offer, without a window: the shell's context menu of the local tree and
// list trimmed and completed with our entries, what a chosen entry runs, and which command-bar
// buttons a local selection enables.
//
// The menu functions work on a popup the shell has filled; they ask verbOf for the verb of a
// shell entry, so that they never call the shell themselves.
#pragma once
#include "ServerPaneHost.h"
#include "Strings.h"
#include <windows.h>
#include <functional>
#include <vector>

// The verb of the shell's entry with this identifier; empty for entries without one.
typedef std::function<CString(UINT id)> ShellVerbLookup;

// Position of the entry whose verb is verb (case-insensitive); -1 when there is none.
int FindVerbPosition(HMENU popup, const ShellVerbLookup& verbOf, const wchar_t* verb);

// The facts of a right click on a local tree item.
struct LocalTreeMenuFacts {
    DWORD attributes = 0;               // the item's SFGAO_*
    CString path;                       // its file-system path; empty when it has none
    bool recycleBin = false;            // the item is the Recycle Bin
    bool uploadAllowed = false;         // the server tree's folder takes uploads
    bool clipboardHasPasteData = false; // files or server items
};
void CompleteLocalTreeMenu(HMENU popup, const ShellVerbLookup& verbOf, const LocalTreeMenuFacts& facts);

// The facts of a right click on the local list: on rows, or on empty space (the shown folder).
struct LocalListMenuFacts {
    bool onRows = false;
    bool recycleBin = false;            // the shown folder is the Recycle Bin
    DWORD folderAttributes = 0;         // the shown folder's SFGAO_*
    CString folderPath;                 // the shown folder's file-system path
    bool uploadAllowed = false;
    bool clipboardHasPasteData = false;
};
// True when the new-folder entry was put on the menu.
bool CompleteLocalListMenu(HMENU popup, const ShellVerbLookup& verbOf, const LocalListMenuFacts& facts);

// What a chosen entry of a local menu runs. Shell: the shell carries the entry out itself.
enum class LocalMenuAction { None, Restore, NewFolder, Upload, Rename, Cut, Copy, Delete, Paste, Shell };
// verb: the chosen shell entry's verb (ignored for our own entries).
LocalMenuAction LocalTreeMenuAction(UINT chosen, const CString& verb);
LocalMenuAction LocalListMenuAction(UINT chosen, const CString& verb, bool recycleBin, bool onRows, int selectedRows);

// A shell item as the command bar looks at it.
struct LocalItemFacts {
    DWORD attributes = 0;
    CString path;                       // empty: no file-system path
};
// A folder that takes new folders, pasted files and downloads.
bool IsWritableLocalFolder(const LocalItemFacts& folder);
// The buttons for the local tree's selected folder.
ServerMenuState LocalTreeButtons(const LocalItemFacts& folder, bool uploadAllowed, bool clipboardHasPasteData);
// The buttons for the list's selected rows; with none, the shown folder decides.
ServerMenuState LocalListButtons(const LocalItemFacts& shownFolder, bool recycleBin,
                                 const std::vector<LocalItemFacts>& selectedRows, bool uploadAllowed,
                                 bool clipboardHasPasteData);

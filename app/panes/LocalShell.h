// Shell namespace helpers shared by the local folder tree and the local file list: binding
// folders, unique names, context-menu verbs and the menu clean-up, shell file operations.
//
// GUI thread (COM initialised). Interfaces returned carry one reference for the caller.
#pragma once
#include "LocalMenuRules.h"
#include "ShellItems.h"
#include "Strings.h"
#include <windows.h>
#include <shlobj.h>
#include <vector>

// The folder of an absolute item ID list; the desktop itself for null or an empty list.
IShellFolder* BindLocalFolder(LPCITEMIDLIST absolute);
// A name that does not exist in folder: name itself, else "name (2)", "name (3)"... (the number
// goes behind the whole name). Always 1.
int MakeUniqueName(const CString& folder, const CString& name, CString& uniqueName);
// The verb of a shell menu entry (identifiers counted from 1); empty when it has none.
CString ShellVerbOf(IContextMenu* menu, UINT command);
// Position of the entry whose verb is verb; -1 when there is none.
int FindVerbPosition(HMENU popup, IContextMenu* menu, const wchar_t* verb);
// The verbs of the shell menu's entries, as the menu rules ask for them.
ShellVerbLookup ShellVerbsOf(IContextMenu* menu);
// Removes owner-drawn entries, then doubled and leading separators.
void TidyShellMenu(HMENU popup);
// Shows the menu at the cursor; the chosen identifier or 0.
UINT TrackLocalMenu(HMENU popup, HWND owner);
// Runs one shell copy, move or delete. True only when it ran to the end: no error and not
// aborted by the user.
bool RunShellFileOperation(HWND owner, UINT operation, const std::vector<CString>& from, const CString& to,
                           FILEOP_FLAGS flags);
// Whether the clipboard holds something a local folder can take (files or server items).
bool ClipboardHasPasteData();

// Tests set this to answer confirmations without the shell's dialogs (the shell's own operation
// stays the default). It gets the operation's structure and returns its result.
typedef int (*ShellFileOperationFn)(SHFILEOPSTRUCTW* operation);
extern ShellFileOperationFn g_pShellFileOperation;

// The shell's drop target of the item named by an absolute item ID list (from its parent folder,
// the desktop for a one-item list); null when there is none.
IDropTarget* GetShellDropTarget(LPCITEMIDLIST absolute);
// What the shell's target would do with data: enter at (0, 0) with the keys and the proposed
// effect, then leave at once. None when there is no target or it refused.
DWORD AskShellDropEffect(IDropTarget* target, IDataObject* data, DWORD keys, DWORD proposed);
// The question as the local drop targets ask it, for the folder named by absolute. Wine's folder
// targets refuse file lists that carry no shell item list, so tests answer it themselves; the
// shell's answer stays the default.
typedef DWORD (*ShellDropEffectFn)(LPCITEMIDLIST absolute, IDataObject* data, DWORD keys, DWORD proposed);
extern ShellDropEffectFn g_pShellDropEffect;

// Small helpers over shell item ID lists, shared by the program's local folder tree and the
// backup's folder selection: copying and joining lists, their last item and size, an item's
// file-system path and whether two lists name the same item.
//
// Lists returned here come from the allocator the caller passes and are freed with it. The path
// and comparison ask the shell, so they run on a thread with COM initialised.
#pragma once
#include "ToviInterfaceApi.h"
#include "Strings.h"
#include <windows.h>
#include <shlobj.h>

// A new list: first's items followed by second's. Null when first is null or allocation fails.
// A null second gives a new copy of first, so the result is always the caller's to free.
TOVIINTERFACE_API LPITEMIDLIST ConcatPidl(IMalloc* allocator, LPCITEMIDLIST first, LPCITEMIDLIST second);
// A new copy of list; null for null or when allocation fails.
TOVIINTERFACE_API LPITEMIDLIST ClonePidl(IMalloc* allocator, LPCITEMIDLIST list);
// The last item inside list (not a copy); the list itself when it is empty; null for null.
TOVIINTERFACE_API LPCITEMIDLIST GetLastPidlItem(LPCITEMIDLIST list);
// Bytes of list, terminator included (0 for null).
TOVIINTERFACE_API UINT PidlSize(LPCITEMIDLIST list);
// The file-system path of an absolute item ID list; empty when it has none.
TOVIINTERFACE_API CString ShellItemPath(LPCITEMIDLIST absolute);
// Whether two absolute item ID lists name the same shell item (false when either is null).
TOVIINTERFACE_API bool SameShellItem(LPCITEMIDLIST first, LPCITEMIDLIST second);

// Small helpers over shell item ID lists and local names, used by the local panes.
//
// Lists returned here come from the allocator the caller passes and are freed with it.
#pragma once
#include "Strings.h"
#include <windows.h>
#include <shlobj.h>

// A new list: first's items followed by second's. Null when first is null or allocation fails.
// A null second gives a new copy of first, so the result is always the caller's to free.
LPITEMIDLIST ConcatPidl(IMalloc* allocator, LPCITEMIDLIST first, LPCITEMIDLIST second);
// A new copy of list; null for null or when allocation fails.
LPITEMIDLIST ClonePidl(IMalloc* allocator, LPCITEMIDLIST list);
// The last item inside list (not a copy); the list itself when it is empty; null for null.
LPCITEMIDLIST GetLastPidlItem(LPCITEMIDLIST list);
// A name that does not exist in folder: name itself, else "name (2)", "name (3)"... (the number
// goes behind the whole name). Always 1.
int MakeUniqueName(const CString& folder, const CString& name, CString& uniqueName);
// Bytes of list, terminator included (0 for null).
UINT PidlSize(LPCITEMIDLIST list);

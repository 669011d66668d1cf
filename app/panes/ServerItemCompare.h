// Sort orders of the server file list: folders first, the recycle bin's special folder last
// among folders, then the column's key in natural order (digit runs by value, no case) or, for
// sizes, as numbers. The sort parameter is column << 16 | direction (0 ascending, 1 descending).
#pragma once
#include "ProtoRecords.h"
#include <windows.h>
#include <commctrl.h>

int CALLBACK CompareServerItems(LPARAM a, LPARAM b, LPARAM sort);
int CALLBACK CompareServerItemsCustom(LPARAM a, LPARAM b, LPARAM sort);
int CALLBACK CompareGroupItems(LPARAM a, LPARAM b, LPARAM sort);
int CALLBACK CompareRecycleItems(LPARAM a, LPARAM b, LPARAM sort);
int CALLBACK CompareRecycleItemsCustom(LPARAM a, LPARAM b, LPARAM sort);
// File-box folders: no folder-first rule, no special folder rule.
int CALLBACK CompareType9Items(LPARAM a, LPARAM b, LPARAM sort);
int CALLBACK CompareType9ItemsCustom(LPARAM a, LPARAM b, LPARAM sort);

inline LPARAM ServerSortParam(int column, int direction)
{
    return static_cast<LPARAM>((static_cast<DWORD>(column) << 16) | (static_cast<DWORD>(direction) & 0xFFFF));
}

// The comparator for a list whose current folder has this DType.
PFNLVCOMPARE ServerComparatorFor(const char* folderType, bool customColumns);

// Natural order of two texts (digit runs by value, no case), as the list and the tree sort.
int NaturalCompare(const wchar_t* a, const wchar_t* b);

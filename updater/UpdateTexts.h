// The update program's texts and its message box routine.
#pragma once
#include "Strings.h"
#include <windows.h>

// The string of the program's own table in the current text language (English when the table
// lacks that language); empty when the id is unknown.
CString LoadResString(UINT id);
// The program's skinned message box owned by owner; title from the product's MessageBoxTitle,
// else "CorvaneIXO". Returns the box's result.
int ShowUpdateMessage(int index, HWND owner, const wchar_t* text, UINT flags);

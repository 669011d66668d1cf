// Shared names of the framework's OLE drag-and-drop classes.
#pragma once
#include <windows.h>
#include <oleidl.h>

// A DROPEFFECT_xxx combination.
typedef DWORD DROPEFFECT;

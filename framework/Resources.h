// Where resources come from: the modules registered here (resource DLLs, libraries with their
// own templates), searched in registration order, then the program itself.
#pragma once
#include "FrameworkApi.h"
#include <windows.h>

// Adds a module to the search; registering one twice has no further effect. Any thread.
FW_API void AfxRegisterResourceModule(HINSTANCE module);
// Removes a module, e.g. before FreeLibrary.
FW_API void AfxUnregisterResourceModule(HINSTANCE module);
// The first module holding the named resource of that type; the program when none does.
FW_API HINSTANCE AfxFindResourceHandle(LPCTSTR name, LPCTSTR type);
// The string table entry id: text points into the module's resources (not zero-terminated)
// and stays valid while the module is loaded. False when no module has a non-empty entry.
FW_API bool AfxLoadStringResource(UINT id, const wchar_t** text, int* length);
// The same from one module only.
FW_API bool AfxLoadStringResourceFrom(HINSTANCE module, UINT id, const wchar_t** text, int* length);

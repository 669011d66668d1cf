// Start-up and shut-down of ToviInterface.dll, and its module handle for resource loading.
//
// Loading the library only records its instance and registers it for resource lookup; the
// program (and each test) calls ToviInterfaceInit once before using the library's windows and
// ToviInterfaceTerm before unloading it. GDI+ must not be started from DllMain, hence the
// explicit calls.
#pragma once
#include "ToviInterfaceApi.h"
#include <windows.h>

// Starts GDI+, switches the desktop's font smoothing to ClearType (persistently, for the
// user) and loads the theme library. Calls nest: only the first one starts and only the
// matching last ToviInterfaceTerm stops. False when GDI+ could not start (nothing is kept
// started then). Call on the program's main thread.
TOVIINTERFACE_API bool ToviInterfaceInit();
// Stops GDI+ and releases the theme library after the last ToviInterfaceInit.
TOVIINTERFACE_API void ToviInterfaceTerm();
// True between a successful ToviInterfaceInit and its ToviInterfaceTerm.
TOVIINTERFACE_API bool ToviInterfaceStarted();
// The library's module: its icons, bitmaps and dialog templates load from here.
TOVIINTERFACE_API HINSTANCE ToviInterfaceInstance();

// Messages the update workers send (never post) to the update dialog; lParam pointers point
// into the sender's stack.
#pragma once
#include <windows.h>

#define WM_UPDATER_PROGRESS_RANGE (WM_USER + 1)   // lParam: const unsigned long long* total bytes
#define WM_UPDATER_PROGRESS (WM_USER + 2)         // lParam: const unsigned long long* bytes written; 0: integrity check
#define WM_UPDATER_STATUS_TEXT (WM_USER + 3)      // wParam: const wchar_t* text
#define WM_UPDATER_START (WM_USER + 4)
#define WM_UPDATER_END (WM_USER + 5)

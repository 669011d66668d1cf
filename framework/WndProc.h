// Window-procedure plumbing shared by CWnd and CDialog (framework-internal).
#pragma once
#include <windows.h>

class CWnd;

// The procedure of every window the framework took over.
LRESULT CALLBACK FwWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
// Arms the calling thread's creation hook: the next window created on this thread (of class
// pszClass; any class but the input-method ones when null) is attached to pWnd and subclassed.
void FwHookWindowCreate(CWnd* pWnd, LPCWSTR pszClass);
// Disarms it; true when a window was attached meanwhile.
bool FwUnhookWindowCreate();
// Registers the common-control classes once per process.
void FwEnsureCommonControls();
// The framework DLL's module handle.
HINSTANCE FwFrameworkModule();

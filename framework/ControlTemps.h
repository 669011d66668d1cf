// Per-thread wrappers of a given control class for windows nobody wrapped with one
// (GetHeaderCtrl, GetEditControl and the like). Used inside the framework only.
#pragma once
#include "Wnd.h"

// The window's permanent object when it is of that class (or derived), else a temporary
// wrapper of the class owned by the calling thread. A temporary stays valid while its window
// exists; the table drops wrappers of vanished windows as it grows and all at thread end.
CWnd* FwControlFromHandle(HWND hWnd, CRuntimeClass* wrapperClass, CWnd* (*make)());

template <class T> T* FwControlFromHandle(HWND hWnd)
{
    return static_cast<T*>(FwControlFromHandle(hWnd, RUNTIME_CLASS(T), []() -> CWnd* { return new T; }));
}

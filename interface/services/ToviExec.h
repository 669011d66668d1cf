// Starts other programs for the client: the update program (elevated when needed), the
// direct-edit add-on installer (waiting for it), and programs that must run with the
// interactive user's ordinary rights while the caller runs elevated.
//
// No data: call the members on a default-constructed object, on the caller's thread.
// RunAsStdUser initialises COM (single-threaded apartment) and blocks up to 20 seconds;
// ExecuteDESetup blocks until the installer ends.
#pragma once
#include "ToviInterfaceApi.h"
#include "Strings.h"
#include <windows.h>

class TOVIINTERFACE_API CToviExec {
public:
    CToviExec() {}

    // 1 on Windows Vista or later.
    int IsVista();
    // 0 when this process is elevated, 1 when not or when the token cannot be read; *elevated
    // (when given) receives 1 for elevated and 0 for not.
    long IsElevated(int* elevated);
    // ShellExecuteEx with show normal; nonzero when started.
    int MyShellExec(HWND window, const wchar_t* verb, const wchar_t* file, const wchar_t* parameters,
                    const wchar_t* folder);
    // Starts the program with the interactive user's non-elevated rights; 1 when started
    // (directly, or once its task is registered).
    int RunAsStdUser(HWND window, const wchar_t* file, const wchar_t* parameters, const wchar_t* folder);
    bool GetInstallDir(int index, CString& installDir);
    // Starts CorvaneUpdate.exe of the product; "runas" on Vista and later when not elevated.
    bool RunUpdate(int index);
    // True when a process with exactly this module name runs.
    static bool FindProcess(CString exeName);
    // The user of the last active terminal-services session; empty when none.
    CString GetActiveUserName();
    // Starts the installer and waits until it ends; 1 when it ran.
    int ExecuteDESetup(HWND window, const wchar_t* verb, const wchar_t* file, const wchar_t* parameters,
                       const wchar_t* folder);
};

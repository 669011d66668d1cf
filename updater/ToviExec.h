// Starting the product again from the elevated updater: directly through the shell, or as the
// interactive user's ordinary (non-elevated) program through a Task Scheduler task.
//
// Called on the GUI thread. RunAsStdUser initialises COM and can block about 20 seconds.
#pragma once
#include "Strings.h"
#include <windows.h>
#include <taskschd.h>

class CToviExec {
public:
    // Windows of the NT family, version 6 or later.
    static bool IsVista();
    // The process token reports elevation; false when it cannot be read.
    static bool IsElevated();
    // The user of the last active Windows logon; empty when there is none.
    static CString GetActiveUserName();
    // Starts file through the shell, shown normally; true when it started.
    static bool MyShellExec(const wchar_t* file, const wchar_t* parameters, const wchar_t* directory);
    // Starts file with the interactive user's ordinary rights. True when it was started through
    // the shell, or when its task was registered.
    static bool RunAsStdUser(const wchar_t* file, const wchar_t* parameters, const wchar_t* directory);

    // Seams for what Wine cannot vary; each holds the real call.
    typedef bool (*ElevatedFn)();
    static ElevatedFn s_pfnElevated;
    typedef CString (*ActiveUserNameFn)();
    static ActiveUserNameFn s_pfnActiveUserName;
    // Creates the Task Scheduler service object, not yet connected.
    typedef HRESULT (*TaskServiceFactory)(ITaskService** service);
    static TaskServiceFactory s_pfnCreateTaskService;
};

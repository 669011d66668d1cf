// Where the update program meets platform facts that Wine cannot vary (documents folder,
// elevation, the logged-on user, the Task Scheduler, a refused termination). Each hook is empty
// by default, which means the real call; tests set them.
#pragma once
#include "Strings.h"
#include <windows.h>
#include <taskschd.h>
#include <functional>

struct UpdaterSeams {
    // The user's documents folder; false when it cannot be found.
    std::function<bool(CString&)> documentsFolder;
    // Whether this process runs elevated.
    std::function<bool()> elevated;
    // The user of the active Windows logon.
    std::function<CString()> activeUserName;
    // Creates the Task Scheduler service object (not yet connected).
    std::function<HRESULT(ITaskService**)> createTaskService;
    // The running update program's path: its folder is the install folder of an elevated run,
    // its signer the one every program it installs must carry.
    std::function<CString()> programPath;
    // Called after each recorded step of a replacement with its number (1, 2, ...): a test
    // ends the process there to play an abrupt end.
    std::function<void(int)> afterReplacementStep;
    // TerminateProcess (Wine never refuses one).
    std::function<BOOL(HANDLE, UINT)> terminateProcess;
};

// The process's hooks; set them before the code that reads them runs.
UpdaterSeams& Seams();

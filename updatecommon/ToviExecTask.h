// The Task Scheduler task that starts a program once with the interactive user's ordinary
// rights, shared by the client and the update program (both link this library; neither
// exports it).
//
// Runs on the caller's thread; initialises COM there (single-threaded apartment) and blocks up
// to about 20 seconds while it waits for the task to run.
#pragma once
#include <windows.h>
#include <taskschd.h>
#include <functional>

namespace stdusertask {

// How the task is registered: the client names no user and gives an empty security descriptor
// text; the update program gives an empty user text and no descriptor.
enum class Registration { kNoUserEmptySddl, kEmptyUserNoSddl };

// Creates the scheduler through create, replaces the task "RunAsStdUser Task" of the root
// folder by one that starts file (with parameters and folder, each when given) as soon as it
// is registered, and polls it up to 200 times, 100 ms apart, until it runs. True once the task
// was registered; otherwise *failure (when given) receives the failing step's result.
bool Start(const std::function<HRESULT(ITaskService**)>& create, const wchar_t* file, const wchar_t* parameters,
           const wchar_t* folder, Registration how, HRESULT* failure);

}

// Registration, start and stop of the backup edition's background service through the Service
// Control Manager. All calls block the calling thread while the service changes state.
#pragma once

// Install: registers the service program at path and starts it; true when it runs. Remove:
// stops and deletes it; true when it is gone (false for a service that does not exist).
bool ServiceInstall(bool install, const wchar_t* path);
// Start or stop the installed service; true when it is running (start) or stopped (stop) at
// the end. False when it is not installed.
bool ServiceControl(bool start);

// Backup windows carry their titles in the session's language: where a test leaves the
// language to the thread's locale, it waits for the window under either title.
#pragma once
#include "WindowDriver.h"

inline HWND WaitForBackupDialog(const wchar_t* korean, const wchar_t* english, DWORD timeoutMs = 15000)
{
    HWND found = nullptr;
    uitest::WaitUntil(
        [&] {
            found = uitest::FindTopWindow(L"#32770", korean);
            if (!found)
                found = uitest::FindTopWindow(L"#32770", english);
            return found != nullptr;
        },
        timeoutMs);
    return found;
}

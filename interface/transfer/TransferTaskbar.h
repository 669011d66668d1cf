// CTransferTaskbar: what the transfer windows tell the task bar (progress state and value,
// overlay icon, thumbnail tooltip, flashing). The real one wraps ITaskbarList3 and
// FlashWindowEx; tests put a recording one in its place through s_pfnCreate.
#pragma once
#include "ToviInterfaceApi.h"
#include <windows.h>

class TOVIINTERFACE_API CTransferTaskbar {
public:
    // ITaskbarList3's TBPFLAG values.
    enum State { kNoProgress = 0, kIndeterminate = 1, kNormal = 2, kError = 4, kPaused = 8 };

    virtual ~CTransferTaskbar() {}
    virtual void SetProgressState(HWND wnd, State state) = 0;
    virtual void SetProgressValue(HWND wnd, ULONGLONG done, ULONGLONG total) = 0;
    // icon null: no overlay.
    virtual void SetOverlayIcon(HWND wnd, HICON icon, const wchar_t* description) = 0;
    virtual void SetThumbnailTooltip(HWND wnd, const wchar_t* text) = 0;
    // start: flash the button until the window comes to the foreground; else stop flashing.
    virtual void Flash(HWND wnd, bool start) = 0;

    // A new task-bar object for a window being created (COM initialised on the calling
    // thread); null when the system has none. The caller deletes it.
    static CTransferTaskbar* Create();
    // What Create makes: the system's task bar by default.
    typedef CTransferTaskbar* (*Factory)();
    static Factory s_pfnCreate;
};

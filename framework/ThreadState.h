// The framework's per-thread state (framework-internal; not for programs).
#pragma once
#include "FrameworkApi.h"
#include <windows.h>
#include <utility>
#include <vector>

class CWnd;
class CWinThread;

struct FwThreadState {
    CWinThread* pThread = nullptr;      // the CWinThread running this thread, if any
    MSG lastSentMsg = {};               // the message the innermost window procedure handles
    MSG msgCur = {};                    // the message the thread's loop is pumping

    // Window creation in progress: the object the next created window belongs to.
    CWnd* pWndInit = nullptr;
    LPCWSTR pszInitClass = nullptr;     // expected class (string or atom), null for dialogs
    HHOOK hCbtHook = nullptr;

    // Released when the thread ends (ThreadExit.h).
    std::vector<std::pair<void (*)(void*), void*>> atExit;

    // Tooltips for EnableToolTips: the thread's tooltip control and the tool it shows now.
    HWND hToolTip = nullptr;
    HWND hToolHwnd = nullptr;
    UINT_PTR uToolId = 0;
    INT_PTR nToolHit = -1;
};

// The calling thread's state, created on first use; freed when the thread ends.
FwThreadState* FwGetThreadState();
// Drops the calling thread's state (thread end).
void FwFreeThreadState();

// The process-wide window map (WndMap.cpp).
namespace fwmap {
CWnd* LookupPermanent(HWND hWnd);
void AddPermanent(HWND hWnd, CWnd* pWnd);
void RemovePermanent(HWND hWnd);
CWnd* LookupOrMakeTemporary(HWND hWnd);
void DeleteTemporaries(bool bAll);
}

// CCircularProgressThread: the UI thread of the busy spinner, so that it keeps turning while
// the thread that owns a dialog is blocked in a synchronous server request.
//
// Protocol: Start (suspended creation, owner, no auto-delete, size and colour, resume), then
// SetShow(true) / SetShow(false) from the owner's thread around each blocking request, and
// Stop (WM_QUIT, a wait that keeps the owner's messages flowing, delete) when done.
#pragma once
#include "ToviInterfaceApi.h"
#include "WinThread.h"

class CCircularProgressWnd;
class CWnd;

class TOVIINTERFACE_API CCircularProgressThread : public CWinThread {
    DECLARE_DYNCREATE(CCircularProgressThread)
public:
    CCircularProgressThread();
    ~CCircularProgressThread() override;

    // Both take effect when the thread starts.
    void SetColor(COLORREF color) { m_clrColor = color; }
    void SetSize(int size) { m_nSize = size; }
    // Called on the owner's thread, or on a worker whose sent messages the owner's thread
    // answers meanwhile. Showing centres the spinner over the owner and hands it the owner's
    // background; showing a visible spinner does nothing.
    void SetShow(bool show);

    // The spinner window, once the thread has made it (null before and after).
    CCircularProgressWnd* GetSpinner() const { return m_pWnd; }
    // Waits (up to timeoutMs) until the thread has made its window or given up.
    bool WaitUntilReady(DWORD timeoutMs) const;

    // Starts a spinner over owner as the protocol says; null when the thread cannot start.
    static CCircularProgressThread* Start(CWnd* owner, int size, COLORREF color);
    // Ends the thread, dispatching the calling thread's messages meanwhile, and deletes it.
    static void Stop(CCircularProgressThread* thread);

    BOOL InitInstance() override;
    int ExitInstance() override;

    // The window the spinner covers; set by the creator before the thread runs.
    CWnd* m_pOwner = nullptr;

private:
    HBITMAP SnapshotOwnerBackground(int x, int y, int size) const;

    CCircularProgressWnd* m_pWnd = nullptr;
    int m_nSize = 40;
    COLORREF m_clrColor = 0x303030;
    int m_nLastX = -1;
    int m_nLastY = -1;
    int m_nLastSize = -1;
    HANDLE m_hReady = nullptr;
};

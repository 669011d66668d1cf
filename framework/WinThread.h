// CWinThread: worker threads and UI threads with a message loop; AfxBeginThread.
//
// A CWinThread object is created by AfxBeginThread (or the program) and started with
// CreateThread; the thread is always created suspended first, so m_hThread and m_nThreadID are
// set before it runs. With m_bAutoDelete (the default) the object deletes itself when the
// thread ends; otherwise the creator deletes it after the thread ended (m_hThread stays
// valid and is waitable until then).
#pragma once
#include "CmdTarget.h"

class CWnd;

typedef UINT (*AFX_THREADPROC)(LPVOID);

class FW_API CWinThread : public CCmdTarget {
    DECLARE_DYNAMIC(CWinThread)
public:
    CWinThread();                                        // a UI thread (derived class)
    CWinThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam);   // a worker thread
    ~CWinThread() override;

    BOOL CreateThread(DWORD dwCreateFlags = 0, UINT nStackSize = 0,
                      LPSECURITY_ATTRIBUTES lpSecurityAttrs = nullptr);
    DWORD ResumeThread() { return ::ResumeThread(m_hThread); }
    DWORD SuspendThread() { return ::SuspendThread(m_hThread); }
    int GetThreadPriority() { return ::GetThreadPriority(m_hThread); }
    BOOL SetThreadPriority(int nPriority) { return ::SetThreadPriority(m_hThread, nPriority); }
    BOOL PostThreadMessage(UINT message, WPARAM wParam, LPARAM lParam)
    { return ::PostThreadMessage(m_nThreadID, message, wParam, lParam); }
    operator HANDLE() const { return m_hThread; }

    // ---- Overridables (run on the thread itself) ----
    // UI threads: FALSE ends the thread at once (after ExitInstance).
    virtual BOOL InitInstance();
    // The exit code of the thread (the WM_QUIT code by default).
    virtual int ExitInstance();
    // The message loop; returns ExitInstance() after WM_QUIT.
    virtual int Run();
    // Thread messages (no window) go to this object's map (ON_THREAD_MESSAGE); window messages
    // to CWnd::PreTranslateMessage of the window and its ancestors. TRUE: consumed.
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    // Gets and dispatches one message; FALSE on WM_QUIT.
    virtual BOOL PumpMessage();
    // Called when the queue is empty, lCount counting up from 0; TRUE asks for more calls.
    // The default frees temporary wrappers at lCount 0.
    virtual BOOL OnIdle(LONG lCount);
    virtual BOOL IsIdleMessage(MSG* pMsg);
    // Messages in modal loops that the system runs (message boxes, menus), code MSGF_xxx.
    virtual BOOL ProcessMessageFilter(int code, LPMSG lpMsg);
    // The thread's main window (m_pMainWnd).
    virtual CWnd* GetMainWnd();
    // Deletes this object when m_bAutoDelete is set; called when the thread ends.
    virtual void Delete();

    CWnd* m_pMainWnd = nullptr;
    BOOL m_bAutoDelete = TRUE;
    HANDLE m_hThread = nullptr;
    DWORD m_nThreadID = 0;
    AFX_THREADPROC m_pfnThreadProc = nullptr;
    LPVOID m_pThreadParams = nullptr;
    MSG m_msgCur = {};

protected:
    // Binds the calling thread to this object (thread state) and installs the message filter.
    void BindToCurrentThread();
    friend unsigned __stdcall FwThreadEntry(void* pParam);

private:
    HHOOK m_hMsgFilter = nullptr;
};

// Starts fn(pParam) on a new thread; null when the thread cannot be created.
FW_API CWinThread* AfxBeginThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam,
                                  int nPriority = THREAD_PRIORITY_NORMAL, UINT nStackSize = 0,
                                  DWORD dwCreateFlags = 0, LPSECURITY_ATTRIBUTES lpSecurityAttrs = nullptr);
// Creates an object of a CWinThread-derived runtime class and starts it as a UI thread.
FW_API CWinThread* AfxBeginThread(CRuntimeClass* pThreadClass, int nPriority = THREAD_PRIORITY_NORMAL,
                                  UINT nStackSize = 0, DWORD dwCreateFlags = 0,
                                  LPSECURITY_ATTRIBUTES lpSecurityAttrs = nullptr);
// Ends the calling thread from inside it (its object is deleted when auto-delete). Prefer
// returning from the thread function.
FW_API void AfxEndThread(UINT nExitCode, BOOL bDelete = TRUE);
// The CWinThread running the calling thread: the application object on its thread, null on a
// thread the framework did not start.
FW_API CWinThread* AfxGetThread();
// Offers a message to the calling thread's PreTranslateMessage (or to the window tree when the
// thread has no CWinThread). Modal loops call it before dispatching.
FW_API BOOL AfxPreTranslateMessage(MSG* pMsg);
// Waits for a handle while dispatching the calling thread's messages; WAIT_OBJECT_0, WAIT_TIMEOUT
// or WAIT_FAILED. WM_QUIT is left in the queue (posted again) and ends the wait with WAIT_ABANDONED.
FW_API DWORD AfxPumpWait(HANDLE hObject, DWORD dwMilliseconds);

// CWinThread: thread start and end, the message loop, idle processing and AfxBeginThread.
#include "WinThread.h"
#include "CreateContext.h"
#include "Dc.h"
#include "Gdi.h"
#include "ImageList.h"
#include "Menu.h"
#include "ThreadState.h"
#include "Trace.h"
#include "WinApp.h"
#include "Wnd.h"
#include <process.h>

IMPLEMENT_DYNAMIC(CWinThread, CCmdTarget)

namespace {

LRESULT CALLBACK MsgFilterHook(int code, WPARAM wParam, LPARAM lParam)
{
    CWinThread* pThread = AfxGetThread();
    HHOOK next = nullptr;
    if (pThread && code >= 0 && lParam) {
        try {
            if (pThread->ProcessMessageFilter(code, (LPMSG)lParam))
                return 1;
        } catch (...) {
            FwTraceException("message filter");
        }
    }
    return ::CallNextHookEx(next, code, wParam, lParam);
}

// What every framework thread does on the way out, on the thread itself.
void EndCurrentThread(CWinThread* pThread, bool bDelete)
{
    FwThreadState* state = FwGetThreadState();
    if (state->pThread == pThread)
        state->pThread = nullptr;
    CWnd::DeleteTempMap(true);
    if (bDelete && pThread) {
        try {
            pThread->Delete();
        } catch (...) {
            FwTraceException("thread end", "Delete");
        }
    }
}

}

unsigned __stdcall FwThreadEntry(void* pParam)
{
    auto* pThread = static_cast<CWinThread*>(pParam);
    pThread->BindToCurrentThread();
    UINT nResult = 0;
    try {
        if (pThread->m_pfnThreadProc != nullptr) {
            nResult = pThread->m_pfnThreadProc(pThread->m_pThreadParams);
        } else if (!pThread->InitInstance()) {
            nResult = (UINT)pThread->ExitInstance();
        } else {
            nResult = (UINT)pThread->Run();
        }
    } catch (...) {
        FwTraceException("thread entry", pThread->GetRuntimeClass()->m_lpszClassName);
        nResult = (UINT)-1;
    }
    if (pThread->m_hMsgFilter) {
        ::UnhookWindowsHookEx(pThread->m_hMsgFilter);
        pThread->m_hMsgFilter = nullptr;
    }
    EndCurrentThread(pThread, true);
    return nResult;
}

CWinThread::CWinThread() = default;

CWinThread::CWinThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam)
    : m_pfnThreadProc(pfnThreadProc), m_pThreadParams(pParam)
{
}

CWinThread::~CWinThread()
{
    // The application object's handle is the pseudo handle of its thread.
    if (m_hThread != nullptr && m_hThread != ::GetCurrentThread())
        ::CloseHandle(m_hThread);
    FwThreadState* state = FwGetThreadState();
    if (state->pThread == this)
        state->pThread = nullptr;
}

BOOL CWinThread::CreateThread(DWORD dwCreateFlags, UINT nStackSize, LPSECURITY_ATTRIBUTES lpSecurityAttrs)
{
    if (m_hThread != nullptr)
        return FALSE;
    unsigned threadId = 0;
    // Always suspended first, so that the thread finds its handle and id filled in.
    uintptr_t handle = _beginthreadex(lpSecurityAttrs, nStackSize, &FwThreadEntry, this,
                                      CREATE_SUSPENDED | (dwCreateFlags & STACK_SIZE_PARAM_IS_A_RESERVATION),
                                      &threadId);
    if (handle == 0)
        return FALSE;
    m_hThread = (HANDLE)handle;
    m_nThreadID = threadId;
    if (!(dwCreateFlags & CREATE_SUSPENDED))
        ::ResumeThread(m_hThread);
    return TRUE;
}

void CWinThread::BindToCurrentThread()
{
    FwGetThreadState()->pThread = this;
    if (m_pfnThreadProc == nullptr && m_hMsgFilter == nullptr)
        m_hMsgFilter = ::SetWindowsHookExW(WH_MSGFILTER, &MsgFilterHook, nullptr, ::GetCurrentThreadId());
}

BOOL CWinThread::InitInstance()
{
    return FALSE;
}

int CWinThread::ExitInstance()
{
    return (int)m_msgCur.wParam;
}

int CWinThread::Run()
{
    BOOL bIdle = TRUE;
    LONG lIdleCount = 0;
    MSG peek;
    for (;;) {
        while (bIdle && !::PeekMessage(&peek, nullptr, 0, 0, PM_NOREMOVE)) {
            BOOL more = FALSE;
            try {
                more = OnIdle(lIdleCount++);
            } catch (...) {
                FwTraceException("message loop", "OnIdle");
            }
            if (!more)
                bIdle = FALSE;
        }
        do {
            if (!PumpMessage())
                return ExitInstance();
            if (IsIdleMessage(&m_msgCur)) {
                bIdle = TRUE;
                lIdleCount = 0;
            }
        } while (::PeekMessage(&peek, nullptr, 0, 0, PM_NOREMOVE));
    }
}

BOOL CWinThread::PumpMessage()
{
    BOOL got = ::GetMessage(&m_msgCur, nullptr, 0, 0);
    if (got == 0 || got == -1)
        return FALSE;
    FwGetThreadState()->msgCur = m_msgCur;
    BOOL consumed = FALSE;
    try {
        consumed = PreTranslateMessage(&m_msgCur);
    } catch (...) {
        FwTraceException("message loop", "PreTranslateMessage");
    }
    if (!consumed) {
        ::TranslateMessage(&m_msgCur);
        ::DispatchMessage(&m_msgCur);
    }
    return TRUE;
}

BOOL CWinThread::PreTranslateMessage(MSG* pMsg)
{
    CWnd::FilterToolTipMessage(pMsg);
    if (pMsg->hwnd == nullptr) {
        if (const FwMsgMapEntry* e = FindMessageEntry(pMsg->message, 0, 0, false)) {
            LRESULT ignored = 0;
            DispatchMsgEntry(e, pMsg->message, pMsg->wParam, pMsg->lParam, &ignored);
            return TRUE;
        }
        return FALSE;
    }
    return CWnd::WalkPreTranslateTree(nullptr, pMsg);
}

BOOL CWinThread::OnIdle(LONG lCount)
{
    if (lCount == 0) {
        // The main window's bars follow their commands' update handlers. Only a window of this
        // thread: another thread's main window has its own idle time, and a send to it could block.
        CWnd* pMain = GetMainWnd();
        if (pMain && pMain->m_hWnd && ::IsWindowVisible(pMain->m_hWnd)
            && ::GetWindowThreadProcessId(pMain->m_hWnd, nullptr) == ::GetCurrentThreadId())
            pMain->SendMessage(WM_IDLEUPDATECMDUI, TRUE);
        CWnd::DeleteTempMap(false);
        CGdiObject::DeleteTempMap();
        CDC::DeleteTempMap();
        CImageList::DeleteTempMap();
        CMenu::DeleteTempMap();
    }
    return FALSE;
}

BOOL CWinThread::IsIdleMessage(MSG* pMsg)
{
    // Mouse moves that do not move and the caret blink would keep the thread busy forever.
    static thread_local POINT lastMouse = { -1, -1 };
    static thread_local UINT lastMouseMessage = 0;
    if (pMsg->message == WM_MOUSEMOVE || pMsg->message == WM_NCMOUSEMOVE) {
        if (pMsg->pt.x == lastMouse.x && pMsg->pt.y == lastMouse.y && pMsg->message == lastMouseMessage)
            return FALSE;
        lastMouse = pMsg->pt;
        lastMouseMessage = pMsg->message;
        return TRUE;
    }
    return pMsg->message != WM_PAINT && pMsg->message != 0x0118 /* WM_SYSTIMER, caret blink */;
}

BOOL CWinThread::ProcessMessageFilter(int, LPMSG)
{
    return FALSE;
}

CWnd* CWinThread::GetMainWnd()
{
    return m_pMainWnd;
}

void CWinThread::Delete()
{
    if (m_bAutoDelete)
        delete this;
}

// ---- Free functions ----

namespace {

// Starts a new thread object: suspended first, so that its priority is set before it runs,
// then resumed unless the caller wants it suspended. A thread that cannot start is deleted.
CWinThread* StartThread(CWinThread* pThread, int nPriority, UINT nStackSize, DWORD dwCreateFlags,
                        LPSECURITY_ATTRIBUTES lpSecurityAttrs)
{
    if (!pThread->CreateThread(dwCreateFlags | CREATE_SUSPENDED, nStackSize, lpSecurityAttrs)) {
        delete pThread;
        return nullptr;
    }
    pThread->SetThreadPriority(nPriority);
    if (!(dwCreateFlags & CREATE_SUSPENDED))
        pThread->ResumeThread();
    return pThread;
}

}

CWinThread* AfxGetThread()
{
    return FwGetThreadState()->pThread;
}

CWinThread* AfxBeginThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam, int nPriority, UINT nStackSize,
                           DWORD dwCreateFlags, LPSECURITY_ATTRIBUTES lpSecurityAttrs)
{
    if (pfnThreadProc == nullptr)
        return nullptr;
    return StartThread(new CWinThread(pfnThreadProc, pParam), nPriority, nStackSize, dwCreateFlags,
                       lpSecurityAttrs);
}

CWinThread* AfxBeginThread(CRuntimeClass* pThreadClass, int nPriority, UINT nStackSize, DWORD dwCreateFlags,
                           LPSECURITY_ATTRIBUTES lpSecurityAttrs)
{
    if (pThreadClass == nullptr || !pThreadClass->IsDerivedFrom(RUNTIME_CLASS(CWinThread)))
        return nullptr;
    auto* pThread = static_cast<CWinThread*>(pThreadClass->CreateObject());
    if (pThread == nullptr)
        return nullptr;
    return StartThread(pThread, nPriority, nStackSize, dwCreateFlags, lpSecurityAttrs);
}

void AfxEndThread(UINT nExitCode, BOOL bDelete)
{
    CWinThread* pThread = AfxGetThread();
    if (pThread && pThread == AfxGetApp()) {
        FwTrace("AfxEndThread", "called on the application's thread; ignored");
        return;
    }
    EndCurrentThread(pThread, bDelete != FALSE);
    FwFreeThreadState();
    _endthreadex(nExitCode);
}

BOOL AfxPreTranslateMessage(MSG* pMsg)
{
    CWinThread* pThread = AfxGetThread();
    try {
        if (pThread)
            return pThread->PreTranslateMessage(pMsg);
        CWnd::FilterToolTipMessage(pMsg);
        return CWnd::WalkPreTranslateTree(nullptr, pMsg);
    } catch (...) {
        FwTraceException("AfxPreTranslateMessage");
        return FALSE;
    }
}

DWORD AfxPumpWait(HANDLE hObject, DWORD dwMilliseconds)
{
    DWORD start = ::GetTickCount();
    for (;;) {
        DWORD elapsed = ::GetTickCount() - start;
        DWORD remaining = (dwMilliseconds == INFINITE) ? INFINITE
                          : (elapsed >= dwMilliseconds ? 0 : dwMilliseconds - elapsed);
        DWORD r = ::MsgWaitForMultipleObjects(hObject ? 1 : 0, hObject ? &hObject : nullptr, FALSE, remaining,
                                              QS_ALLINPUT);
        if (hObject && r == WAIT_OBJECT_0)
            return WAIT_OBJECT_0;
        if (r == WAIT_TIMEOUT)
            return WAIT_TIMEOUT;
        if (r == WAIT_FAILED)
            return WAIT_FAILED;
        MSG msg;
        while (::PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                ::PostQuitMessage((int)msg.wParam);
                return WAIT_ABANDONED;
            }
            if (!AfxPreTranslateMessage(&msg)) {
                ::TranslateMessage(&msg);
                ::DispatchMessage(&msg);
            }
        }
        if (hObject && ::WaitForSingleObject(hObject, 0) == WAIT_OBJECT_0)
            return WAIT_OBJECT_0;
        if (dwMilliseconds != INFINITE && ::GetTickCount() - start >= dwMilliseconds)
            return WAIT_TIMEOUT;
    }
}

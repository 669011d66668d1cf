// Worker and UI threads: suspended start, auto-delete, exit codes, thread messages routed
// through the thread's map, WM_QUIT, pumped waits and exceptions that must not escape.
#include "Framework.h"
#include <gtest/gtest.h>
#include <atomic>
#include <stdexcept>

namespace {

const UINT kThreadMsgAdd = WM_APP + 10;

struct WorkerArgs {
    std::atomic<int> runs{ 0 };
    CWinThread* seenThread = nullptr;
    DWORD seenId = 0;
    UINT exitCode = 0;
};

UINT CountingWorker(LPVOID param)
{
    auto* args = static_cast<WorkerArgs*>(param);
    args->seenThread = AfxGetThread();
    args->seenId = ::GetCurrentThreadId();
    ++args->runs;
    return args->exitCode;
}

TEST(WorkerThread, CreatedSuspendedItWaitsForResume)
{
    WorkerArgs args;
    args.exitCode = 17;
    CWinThread* thread = AfxBeginThread(&CountingWorker, &args, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    ASSERT_NE(thread, nullptr);
    thread->m_bAutoDelete = FALSE;
    EXPECT_NE(thread->m_hThread, nullptr);
    EXPECT_NE(thread->m_nThreadID, 0u);
    EXPECT_EQ(::WaitForSingleObject(thread->m_hThread, 100), (DWORD)WAIT_TIMEOUT);
    EXPECT_EQ(args.runs, 0);
    thread->ResumeThread();
    ASSERT_EQ(AfxPumpWait(thread->m_hThread, 10000), (DWORD)WAIT_OBJECT_0);
    EXPECT_EQ(args.runs, 1);
    EXPECT_EQ(args.seenThread, thread);   // AfxGetThread on the worker is its own object
    EXPECT_EQ(args.seenId, thread->m_nThreadID);
    DWORD code = 0;
    ::GetExitCodeThread(thread->m_hThread, &code);
    EXPECT_EQ(code, 17u);
    delete thread;
}

int g_deletedThreads = 0;
class CCountedThread : public CWinThread {
public:
    CCountedThread(AFX_THREADPROC fn, LPVOID param) : CWinThread(fn, param) {}
    ~CCountedThread() override { ++g_deletedThreads; }
};

TEST(WorkerThread, AnAutoDeletingThreadDeletesItsObjectWhenItEnds)
{
    g_deletedThreads = 0;
    WorkerArgs args;
    auto* thread = new CCountedThread(&CountingWorker, &args);
    HANDLE copy = nullptr;
    ASSERT_TRUE(thread->CreateThread(CREATE_SUSPENDED));
    ::DuplicateHandle(::GetCurrentProcess(), thread->m_hThread, ::GetCurrentProcess(), &copy, SYNCHRONIZE, FALSE, 0);
    thread->ResumeThread();
    ASSERT_EQ(::WaitForSingleObject(copy, 10000), WAIT_OBJECT_0);
    ::CloseHandle(copy);
    EXPECT_EQ(g_deletedThreads, 1);
}

UINT ThrowingWorker(LPVOID)
{
    throw std::runtime_error("worker failed");
}

TEST(WorkerThread, AnExceptionEndsOnlyTheThread)
{
    CWinThread* thread = AfxBeginThread(&ThrowingWorker, nullptr, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    ASSERT_NE(thread, nullptr);
    thread->m_bAutoDelete = FALSE;
    thread->ResumeThread();
    ASSERT_EQ(::WaitForSingleObject(thread->m_hThread, 10000), WAIT_OBJECT_0);
    DWORD code = 0;
    ::GetExitCodeThread(thread->m_hThread, &code);
    EXPECT_EQ(code, (DWORD)-1);
    delete thread;
}

TEST(WorkerThread, ANullFunctionStartsNothing)
{
    EXPECT_EQ(AfxBeginThread((AFX_THREADPROC) nullptr, nullptr), nullptr);
}

// ---- UI threads ----

std::atomic<int> g_sum{ 0 };
std::atomic<int> g_idleCalls{ 0 };
std::atomic<DWORD> g_initThread{ 0 };

class CAddingThread : public CWinThread {
    DECLARE_DYNCREATE(CAddingThread)
public:
    BOOL InitInstance() override
    {
        g_initThread = ::GetCurrentThreadId();
        return TRUE;
    }
    int ExitInstance() override { return CWinThread::ExitInstance() + 100; }
    BOOL OnIdle(LONG lCount) override
    {
        ++g_idleCalls;
        return CWinThread::OnIdle(lCount);
    }

protected:
    void OnAdd(WPARAM wParam, LPARAM) { g_sum += (int)wParam; }
    DECLARE_MESSAGE_MAP()
};
IMPLEMENT_DYNCREATE(CAddingThread, CWinThread)
BEGIN_MESSAGE_MAP(CAddingThread, CWinThread)
    ON_THREAD_MESSAGE(kThreadMsgAdd, OnAdd)
END_MESSAGE_MAP()

TEST(UiThread, ThreadMessagesReachItsMapAndWmQuitEndsIt)
{
    g_sum = 0;
    g_initThread = 0;
    g_idleCalls = 0;
    CWinThread* thread = AfxBeginThread(RUNTIME_CLASS(CAddingThread), THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    ASSERT_NE(thread, nullptr);
    EXPECT_TRUE(thread->IsKindOf(RUNTIME_CLASS(CAddingThread)));
    thread->m_bAutoDelete = FALSE;
    thread->ResumeThread();
    // The queue exists once the thread runs its loop; posting may fail until then.
    DWORD start = ::GetTickCount();
    while (!thread->PostThreadMessage(kThreadMsgAdd, 2, 0) && ::GetTickCount() - start < 5000)
        ::Sleep(1);
    thread->PostThreadMessage(kThreadMsgAdd, 3, 0);
    // The loop goes idle once its queue is empty; quit only after that, or the quit may come
    // in the same batch and leave no idle moment.
    start = ::GetTickCount();
    while (g_idleCalls == 0 && ::GetTickCount() - start < 5000)
        ::Sleep(1);
    thread->PostThreadMessage(WM_QUIT, 4, 0);
    ASSERT_EQ(AfxPumpWait(thread->m_hThread, 10000), (DWORD)WAIT_OBJECT_0);
    EXPECT_EQ(g_sum, 5);
    EXPECT_EQ(g_initThread, thread->m_nThreadID);
    DWORD code = 0;
    ::GetExitCodeThread(thread->m_hThread, &code);
    EXPECT_EQ(code, 104u);   // the WM_QUIT code through ExitInstance
    EXPECT_GT(g_idleCalls, 0);
    delete thread;
}

TEST(UiThread, OnlyThreadClassesStartFromARuntimeClass)
{
    EXPECT_EQ(AfxBeginThread(RUNTIME_CLASS(CWnd)), nullptr);
    EXPECT_EQ(AfxBeginThread((CRuntimeClass*)nullptr), nullptr);
}

TEST(PumpedWait, ItDispatchesSentAndPostedWorkWhileWaiting)
{
    // A worker that needs the waiting thread's queue: it sends a message to a window of the
    // waiting thread before it ends, which deadlocks an unpumped wait.
    HWND target = ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ASSERT_NE(target, nullptr);
    CWinThread* thread = AfxBeginThread([](LPVOID p) -> UINT {
        ::SendMessageW(static_cast<HWND>(p), WM_SETTEXT, 0, (LPARAM)L"from worker");
        return 0;
    }, target, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    ASSERT_NE(thread, nullptr);
    thread->m_bAutoDelete = FALSE;
    thread->ResumeThread();
    EXPECT_EQ(AfxPumpWait(thread->m_hThread, 10000), (DWORD)WAIT_OBJECT_0);
    wchar_t text[32] = {};
    ::GetWindowTextW(target, text, 32);
    EXPECT_STREQ(text, L"from worker");
    delete thread;
    ::DestroyWindow(target);
}

TEST(PumpedWait, ItLeavesWmQuitForTheCallersLoop)
{
    HANDLE never = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ::PostQuitMessage(6);
    EXPECT_EQ(AfxPumpWait(never, 5000), (DWORD)WAIT_ABANDONED);
    MSG msg;
    ASSERT_TRUE(::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 6u);
    EXPECT_EQ(AfxPumpWait(never, 20), (DWORD)WAIT_TIMEOUT);
    ::CloseHandle(never);
}

TEST(ThreadState, MainWindowsArePerThread)
{
    CWnd mainOfWorker;
    CWnd* seen = reinterpret_cast<CWnd*>(1);
    struct Args { CWnd* wnd; CWnd** seen; } args = { &mainOfWorker, &seen };
    CWinThread* thread = AfxBeginThread([](LPVOID p) -> UINT {
        auto* a = static_cast<Args*>(p);
        AfxGetThread()->m_pMainWnd = a->wnd;
        *a->seen = AfxGetMainWnd();
        return 0;
    }, &args, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    ASSERT_NE(thread, nullptr);
    thread->m_bAutoDelete = FALSE;
    thread->ResumeThread();
    ASSERT_EQ(::WaitForSingleObject(thread->m_hThread, 10000), WAIT_OBJECT_0);
    EXPECT_EQ(seen, &mainOfWorker);
    EXPECT_EQ(AfxGetMainWnd(), nullptr);   // this thread has none, and there is no application
    delete thread;
}

}

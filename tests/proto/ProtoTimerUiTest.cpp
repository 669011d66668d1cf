// Timer 1 of the requesting thread's main window: stopped before each exchange and set again
// after it, unless NoTimerFlag says otherwise; threads without a main window touch no timer.
#include <winsock2.h>
#include "ProtoServer.h"
#include "WinThread.h"
#include "Wnd.h"

using namespace protoserver;

namespace {

struct TimerRun {
    int port = 0;
    bool makeMain = true;
    DWORD noTimer = 0;
    bool timerBefore = false;
    bool breakSocket = false;
    int result = -99;
    bool timerAfter = false;
};

HWND MakeWindow()
{
    return CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
}

// Runs one request on a framework thread, whose main window is set as the run says.
UINT RunOnThread(LPVOID param)
{
    TimerRun& run = *static_cast<TimerRun*>(param);
    HWND hwnd = MakeWindow();
    CWnd wnd;
    wnd.Attach(hwnd);
    if (run.makeMain)
        AfxGetThread()->m_pMainWnd = &wnd;
    if (run.timerBefore)
        SetTimer(hwnd, 1, 600000, nullptr);
    TestProto proto;
    proto.Aim(run.port);
    proto.NoTimerFlag = run.noTimer;
    if (run.breakSocket) {
        proto.Echo({});
        shutdown(static_cast<SOCKET>(proto.m_pConn->m_hSocket), SD_SEND);
    }
    run.result = proto.Echo({});
    run.timerAfter = KillTimer(hwnd, 1) != FALSE;
    AfxGetThread()->m_pMainWnd = nullptr;
    wnd.Detach();
    DestroyWindow(hwnd);
    return 0;
}

void RunRequest(TimerRun& run)
{
    CWinThread* thread = AfxBeginThread(RunOnThread, &run, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    ASSERT_NE(nullptr, thread);
    thread->m_bAutoDelete = FALSE;
    thread->ResumeThread();
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(thread->m_hThread, 60000));
    delete thread;
}

class TimerTest : public ServerTest {};

}

TEST_F(TimerTest, ARequestLeavesTimer1SetOnTheCallersMainWindow)
{
    TimerRun run;
    run.port = m_ports.port;
    RunRequest(run);
    EXPECT_EQ(0, run.result);
    EXPECT_TRUE(run.timerAfter);
}

TEST_F(TimerTest, WithNoTimerFlagTimer1IsNeitherSetNorStopped)
{
    TimerRun unset;
    unset.port = m_ports.port;
    unset.noTimer = 1;
    RunRequest(unset);
    EXPECT_EQ(0, unset.result);
    EXPECT_FALSE(unset.timerAfter);

    TimerRun kept;
    kept.port = m_ports.port;
    kept.noTimer = 1;
    kept.timerBefore = true;
    RunRequest(kept);
    EXPECT_EQ(0, kept.result);
    EXPECT_TRUE(kept.timerAfter);
}

TEST_F(TimerTest, AFailedSendLeavesTimer1Stopped)
{
    TimerRun run;
    run.port = m_ports.port;
    run.timerBefore = true;
    run.breakSocket = true;
    RunRequest(run);
    EXPECT_EQ(IXO_SOCK_ERR_SEND, run.result);
    EXPECT_FALSE(run.timerAfter);
}

TEST_F(TimerTest, AThreadWithoutAMainWindowTouchesNoTimer)
{
    TimerRun run;
    run.port = m_ports.port;
    run.makeMain = false;
    run.timerBefore = true;
    RunRequest(run);
    EXPECT_EQ(0, run.result);
    EXPECT_TRUE(run.timerAfter);

    TimerRun bare;
    bare.port = m_ports.port;
    bare.makeMain = false;
    RunRequest(bare);
    EXPECT_EQ(0, bare.result);
    EXPECT_FALSE(bare.timerAfter);
}

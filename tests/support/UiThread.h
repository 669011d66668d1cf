// A thread with a message loop for window tests: the test thread hands it work and drives
// the windows it creates from outside, as a user would.
#pragma once
#include <windows.h>
#include <functional>
#include <memory>

namespace uitest {

// Work handed to the UI thread with Post; Wait tells whether it finished in time.
class UiTask {
public:
    UiTask();
    ~UiTask();
    bool Wait(DWORD timeoutMs = 10000) const;
    bool Done() const;

private:
    friend class UiThread;
    HANDLE m_done;
    std::function<void()> m_work;
};

class UiThread {
public:
    // Starts the thread and waits until it takes work.
    UiThread();
    // Ends the loop (WM_QUIT) and waits up to 10 s for the thread; a thread that does not end
    // is reported as a test failure and left behind.
    ~UiThread();

    // Runs work on the UI thread and waits for it; false (and a test failure) when it did not
    // finish in time. Work posted this way also runs while the UI thread is in a modal loop.
    bool Run(std::function<void()> work, DWORD timeoutMs = 10000);
    // Starts work on the UI thread (e.g. DoModal) and returns at once.
    std::shared_ptr<UiTask> Post(std::function<void()> work);

    // Offered every message the UI thread's own loop takes before dispatching (a framework
    // thread's PreTranslateMessage, for dialog keys in modeless windows). Set it before posting.
    void SetPreTranslate(BOOL (*preTranslate)(MSG*)) { m_preTranslate = preTranslate; }

    DWORD Id() const { return m_threadId; }
    HANDLE Handle() const { return m_thread; }

private:
    static DWORD WINAPI Main(LPVOID self);
    static LRESULT CALLBACK HelperProc(HWND, UINT, WPARAM, LPARAM);
    UiThread(const UiThread&) = delete;
    UiThread& operator=(const UiThread&) = delete;

    HANDLE m_thread = nullptr;
    DWORD m_threadId = 0;
    HANDLE m_ready = nullptr;
    HWND m_helper = nullptr;
    BOOL (*volatile m_preTranslate)(MSG*) = nullptr;
};

}

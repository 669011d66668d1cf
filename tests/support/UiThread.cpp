// A thread with a message loop for window tests.
#include "UiThread.h"
#include <gtest/gtest.h>

namespace uitest {

namespace {
const wchar_t kHelperClass[] = L"TestUiThreadHelper";
const UINT kRunWork = WM_APP + 0x3F0;

void RegisterHelperClass(WNDPROC proc)
{
    WNDCLASSW wc = {};
    wc.lpfnWndProc = proc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = kHelperClass;
    ::RegisterClassW(&wc);   // fails harmlessly when a second UiThread registers it again
}
}

UiTask::UiTask() : m_done(::CreateEventW(nullptr, TRUE, FALSE, nullptr))
{
}

UiTask::~UiTask()
{
    ::CloseHandle(m_done);
}

bool UiTask::Wait(DWORD timeoutMs) const
{
    return ::WaitForSingleObject(m_done, timeoutMs) == WAIT_OBJECT_0;
}

bool UiTask::Done() const
{
    return Wait(0);
}

UiThread::UiThread()
{
    RegisterHelperClass(&HelperProc);
    m_ready = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    m_thread = ::CreateThread(nullptr, 0, &Main, this, 0, &m_threadId);
    if (m_thread == nullptr || ::WaitForSingleObject(m_ready, 10000) != WAIT_OBJECT_0 || m_helper == nullptr)
        ADD_FAILURE() << "the UI thread did not start";
}

UiThread::~UiThread()
{
    if (m_thread != nullptr) {
        ::PostThreadMessageW(m_threadId, WM_QUIT, 0, 0);
        if (m_helper)
            ::PostMessageW(m_helper, WM_CLOSE, 0, 0);
        if (::WaitForSingleObject(m_thread, 10000) != WAIT_OBJECT_0)
            ADD_FAILURE() << "the UI thread did not end within 10 s";
        ::CloseHandle(m_thread);
    }
    ::CloseHandle(m_ready);
}

DWORD WINAPI UiThread::Main(LPVOID param)
{
    auto* self = static_cast<UiThread*>(param);
    self->m_helper = ::CreateWindowExW(0, kHelperClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                       ::GetModuleHandleW(nullptr), nullptr);
    MSG msg;
    ::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);   // the thread's queue exists from here
    ::SetEvent(self->m_ready);
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        auto preTranslate = self->m_preTranslate;
        if (preTranslate && preTranslate(&msg))
            continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    if (self->m_helper)
        ::DestroyWindow(self->m_helper);
    return 0;
}

LRESULT CALLBACK UiThread::HelperProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == kRunWork) {
        auto* task = reinterpret_cast<std::shared_ptr<UiTask>*>(lParam);
        try {
            (*task)->m_work();
        } catch (const std::exception& e) {
            ADD_FAILURE() << "work on the UI thread threw: " << e.what();
        } catch (...) {
            ADD_FAILURE() << "work on the UI thread threw";
        }
        ::SetEvent((*task)->m_done);
        delete task;
        return 0;
    }
    if (message == WM_CLOSE) {
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

std::shared_ptr<UiTask> UiThread::Post(std::function<void()> work)
{
    auto task = std::make_shared<UiTask>();
    task->m_work = std::move(work);
    auto* handle = new std::shared_ptr<UiTask>(task);
    // Posted to a window, not the thread: modal loops dispatch window messages, not thread ones.
    if (!::PostMessageW(m_helper, kRunWork, 0, reinterpret_cast<LPARAM>(handle))) {
        delete handle;
        ADD_FAILURE() << "could not post work to the UI thread";
    }
    return task;
}

bool UiThread::Run(std::function<void()> work, DWORD timeoutMs)
{
    auto task = Post(std::move(work));
    if (!task->Wait(timeoutMs)) {
        ADD_FAILURE() << "work on the UI thread did not finish within " << timeoutMs << " ms";
        return false;
    }
    return true;
}

}

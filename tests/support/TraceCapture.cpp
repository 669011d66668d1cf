// A stand-in for the external log viewer ("Ferrow Log") that collects trace records.
#include "TraceCapture.h"
#include "WindowDriver.h"
#include <gtest/gtest.h>

namespace uitest {

namespace {
const wchar_t kCaptureClass[] = L"TestTraceCapture";
}

TraceCapture::TraceCapture()
{
    WNDCLASSW wc = {};
    wc.lpfnWndProc = &WindowProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = kCaptureClass;
    ::RegisterClassW(&wc);
    m_ready = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    m_thread = ::CreateThread(nullptr, 0, &Main, this, 0, nullptr);
    if (::WaitForSingleObject(m_ready, 10000) != WAIT_OBJECT_0 || m_window == nullptr)
        ADD_FAILURE() << "the \"Ferrow Log\" capture window was not created";
}

TraceCapture::~TraceCapture()
{
    if (m_window)
        ::PostMessageW(m_window, WM_CLOSE, 0, 0);
    if (m_thread) {
        ::WaitForSingleObject(m_thread, 10000);
        ::CloseHandle(m_thread);
    }
    ::CloseHandle(m_ready);
}

DWORD WINAPI TraceCapture::Main(LPVOID param)
{
    auto* self = static_cast<TraceCapture*>(param);
    // A hidden top-level window: FindWindow finds it by title, and it never steals the focus.
    self->m_window = ::CreateWindowExW(WS_EX_TOOLWINDOW, kCaptureClass, L"Ferrow Log", WS_POPUP, 0, 0, 10, 10,
                                       nullptr, nullptr, ::GetModuleHandleW(nullptr), self);
    ::SetEvent(self->m_ready);
    if (self->m_window == nullptr)
        return 1;
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return 0;
}

LRESULT CALLBACK TraceCapture::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTW*>(lParam);
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
    }
    auto* self = reinterpret_cast<TraceCapture*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    switch (message) {
    case WM_COPYDATA: {
        auto* data = reinterpret_cast<COPYDATASTRUCT*>(lParam);
        if (self && data) {
            Record record;
            record.level = data->dwData;
            record.bytes = data->cbData;
            if (data->lpData && data->cbData >= sizeof(wchar_t))
                record.text.assign(static_cast<const wchar_t*>(data->lpData), data->cbData / sizeof(wchar_t));
            std::lock_guard<std::mutex> hold(self->m_lock);
            self->m_records.push_back(record);
        }
        return TRUE;
    }
    case WM_CLOSE:
        ::DestroyWindow(hwnd);
        return 0;
    case WM_DESTROY:
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

std::vector<TraceCapture::Record> TraceCapture::Records() const
{
    std::lock_guard<std::mutex> hold(m_lock);
    return m_records;
}

void TraceCapture::Clear()
{
    std::lock_guard<std::mutex> hold(m_lock);
    m_records.clear();
}

bool TraceCapture::Contains(const std::wstring& part) const
{
    std::lock_guard<std::mutex> hold(m_lock);
    for (const Record& r : m_records) {
        if (r.text.find(part) != std::wstring::npos)
            return true;
    }
    return false;
}

bool TraceCapture::WaitForText(const std::wstring& part, DWORD timeoutMs) const
{
    return WaitUntil([&] { return Contains(part); }, timeoutMs);
}

}

// Answers message boxes and modal dialogs for a test.
#include "AutoAnswer.h"
#include "WindowDriver.h"
#include <algorithm>

namespace uitest {

AutoAnswer::AutoAnswer(const wchar_t* title, int buttonId, const wchar_t* className)
    : m_title(title ? title : L""), m_anyTitle(title == nullptr), m_className(className ? className : L""),
      m_buttonId(buttonId), m_stop(::CreateEventW(nullptr, TRUE, FALSE, nullptr))
{
    m_thread = ::CreateThread(nullptr, 0, &Watch, this, 0, nullptr);
}

AutoAnswer::~AutoAnswer()
{
    ::SetEvent(m_stop);
    ::WaitForSingleObject(m_thread, INFINITE);
    ::CloseHandle(m_thread);
    ::CloseHandle(m_stop);
}

DWORD WINAPI AutoAnswer::Watch(LPVOID param)
{
    auto* self = static_cast<AutoAnswer*>(param);
    while (::WaitForSingleObject(self->m_stop, 20) == WAIT_TIMEOUT)
        self->Poll();
    return 0;
}

void AutoAnswer::Poll()
{
    std::vector<HWND> windows = FindTopWindows(m_className.empty() ? nullptr : m_className.c_str(),
                                               m_anyTitle ? nullptr : m_title.c_str());
    std::lock_guard<std::mutex> hold(m_lock);
    // Forget answered windows that are gone, so a reused handle is answered again.
    m_pressed.erase(std::remove_if(m_pressed.begin(), m_pressed.end(),
                                   [&](HWND h) { return std::find(windows.begin(), windows.end(), h) == windows.end(); }),
                    m_pressed.end());
    for (HWND hwnd : windows) {
        if (std::find(m_pressed.begin(), m_pressed.end(), hwnd) != m_pressed.end())
            continue;
        // A dialog still being set up has no button yet, or is not enabled.
        if (!::IsWindowEnabled(hwnd) || ::GetDlgItem(hwnd, m_buttonId) == nullptr)
            continue;
        Answered answered;
        answered.title = GetText(hwnd);
        answered.texts = StaticTexts(hwnd);
        if (ClickButton(hwnd, m_buttonId)) {
            m_pressed.push_back(hwnd);
            m_seen.push_back(answered);
        }
    }
}

int AutoAnswer::Count() const
{
    std::lock_guard<std::mutex> hold(m_lock);
    return (int)m_seen.size();
}

std::vector<AutoAnswer::Answered> AutoAnswer::Seen() const
{
    std::lock_guard<std::mutex> hold(m_lock);
    return m_seen;
}

bool AutoAnswer::WaitForCount(int count, DWORD timeoutMs) const
{
    return WaitUntil([&] { return Count() >= count; }, timeoutMs);
}

}

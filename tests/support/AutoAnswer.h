// Answers message boxes and modal dialogs for a test: a watcher thread finds them and presses
// a button, so that flows that ask the user can run unattended.
#pragma once
#include <windows.h>
#include <mutex>
#include <string>
#include <vector>

namespace uitest {

class AutoAnswer {
public:
    // Watches for visible windows of this process of that class (message boxes and dialogs are
    // "#32770") whose title is title (null: any) and presses the button with buttonId in each.
    AutoAnswer(const wchar_t* title, int buttonId, const wchar_t* className = L"#32770");
    // Stops watching.
    ~AutoAnswer();

    struct Answered {
        std::wstring title;
        std::vector<std::wstring> texts;   // the static texts: a message box's message is among them
    };
    int Count() const;
    std::vector<Answered> Seen() const;
    // Waits (pumping the calling thread) until count windows were answered.
    bool WaitForCount(int count, DWORD timeoutMs = 15000) const;

private:
    static DWORD WINAPI Watch(LPVOID self);
    void Poll();
    AutoAnswer(const AutoAnswer&) = delete;
    AutoAnswer& operator=(const AutoAnswer&) = delete;

    std::wstring m_title;
    bool m_anyTitle;
    std::wstring m_className;
    int m_buttonId;
    HANDLE m_stop;
    HANDLE m_thread;
    mutable std::mutex m_lock;
    std::vector<Answered> m_seen;
    std::vector<HWND> m_pressed;   // answered windows still on screen (closing takes a moment)
};

}

// A stand-in for the external log viewer: a top-level window titled "Ferrow Log", on its own
// thread, that collects the WM_COPYDATA trace records sent to it.
#pragma once
#include <windows.h>
#include <mutex>
#include <string>
#include <vector>

namespace uitest {

class TraceCapture {
public:
    struct Record {
        ULONG_PTR level;      // dwData
        DWORD bytes;          // cbData as sent
        std::wstring text;    // the UTF-16 text (bytes / 2 characters)
    };

    // Creates the window (hidden, so it never takes the focus) and waits until it exists.
    TraceCapture();
    ~TraceCapture();

    HWND Window() const { return m_window; }
    std::vector<Record> Records() const;
    void Clear();
    // True when some record's text contains part; waits (pumping) up to timeoutMs.
    bool WaitForText(const std::wstring& part, DWORD timeoutMs = 5000) const;
    bool Contains(const std::wstring& part) const;

private:
    static DWORD WINAPI Main(LPVOID self);
    static LRESULT CALLBACK WindowProc(HWND, UINT, WPARAM, LPARAM);
    TraceCapture(const TraceCapture&) = delete;
    TraceCapture& operator=(const TraceCapture&) = delete;

    HANDLE m_thread = nullptr;
    HANDLE m_ready = nullptr;
    HWND m_window = nullptr;
    mutable std::mutex m_lock;
    std::vector<Record> m_records;
};

}

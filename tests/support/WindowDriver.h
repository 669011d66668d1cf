// Driving windows from a test: finding them, pressing buttons, typing, and bounded waits.
//
// All functions may be called from any thread of the test program. Those that act on a window
// post messages (so a handler that opens a modal dialog never blocks the test); use WaitUntil
// to see the effect.
#pragma once
#include <windows.h>
#include <functional>
#include <string>
#include <vector>

namespace uitest {

// Waits until cond() is true, dispatching the calling thread's messages meanwhile; false after
// timeoutMs. cond is checked at least every 10 ms.
bool WaitUntil(const std::function<bool()>& cond, DWORD timeoutMs = 15000);
// Waits until read() has given the same value for quietMs (the thing it reads has settled);
// false when it still changed at the time-out.
bool WaitUntilSteady(const std::function<std::string()>& read, DWORD quietMs, DWORD timeoutMs = 20000);
// Dispatches the calling thread's pending messages.
void PumpMessages();

// Visible top-level windows of this process with that class and title (null: any).
std::vector<HWND> FindTopWindows(const wchar_t* className, const wchar_t* title);
// The first of them, or null.
HWND FindTopWindow(const wchar_t* className, const wchar_t* title);
// Waits (pumping) for such a window; null after the time-out.
HWND WaitForWindow(const wchar_t* className, const wchar_t* title, DWORD timeoutMs = 15000);
// A dialog (class #32770) by title; message boxes are dialogs too.
inline HWND WaitForDialog(const wchar_t* title, DWORD timeoutMs = 15000)
{
    return WaitForWindow(L"#32770", title, timeoutMs);
}
// Waits until the window is gone.
bool WaitForWindowGone(HWND hwnd, DWORD timeoutMs = 15000);

// The first direct child of that class with that text (null: any), or null.
HWND FindChild(HWND parent, const wchar_t* className, const wchar_t* text);
std::wstring GetText(HWND hwnd);
// The texts of the static controls of a dialog, in z-order (a message box's message among them).
std::vector<std::wstring> StaticTexts(HWND dialog);

// Presses the button with that id as a click would: the parent gets WM_COMMAND/BN_CLICKED.
bool ClickButton(HWND dialog, int id);
// The same for the button whose caption is text (mnemonic '&' ignored).
bool ClickButtonByText(HWND dialog, const wchar_t* text);
// Replaces a control's text (WM_SETTEXT, as pasting would).
bool SetText(HWND control, const std::wstring& text);
// Types text into the control one character at a time (posted WM_CHAR).
bool TypeText(HWND control, const std::wstring& text);
// Presses and releases a key on the window (posted WM_KEYDOWN/WM_KEYUP), e.g. VK_RETURN.
bool SendKey(HWND hwnd, UINT vk);
// A real left click at a client point of the window, through the system's input queue: the
// window sees the cursor there, as it would a user's. The window must not be covered.
void ClickWithMouse(HWND hwnd, POINT at);
// Posts WM_CLOSE.
bool CloseWindow(HWND hwnd);

}

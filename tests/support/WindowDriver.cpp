// Driving windows from a test: finding them, pressing buttons, typing, and bounded waits.
#include "WindowDriver.h"

namespace uitest {

void PumpMessages()
{
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            ::PostQuitMessage((int)msg.wParam);
            return;
        }
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

bool WaitUntilSteady(const std::function<std::string()>& read, DWORD quietMs, DWORD timeoutMs)
{
    std::string last = read();
    DWORD since = ::GetTickCount();
    return WaitUntil([&] {
        ::Sleep(50);
        const std::string now = read();
        if (now != last) {
            last = now;
            since = ::GetTickCount();
        }
        return ::GetTickCount() - since >= quietMs;
    }, timeoutMs);
}

bool WaitUntil(const std::function<bool()>& cond, DWORD timeoutMs)
{
    DWORD start = ::GetTickCount();
    for (;;) {
        PumpMessages();
        if (cond())
            return true;
        DWORD elapsed = ::GetTickCount() - start;
        if (elapsed >= timeoutMs)
            return false;
        DWORD slice = timeoutMs - elapsed < 10 ? timeoutMs - elapsed : 10;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, slice, QS_ALLINPUT);
    }
}

namespace {
struct FindRequest {
    const wchar_t* className;
    const wchar_t* title;
    std::vector<HWND> found;
};

bool Matches(HWND hwnd, const wchar_t* className, const wchar_t* title)
{
    if (className) {
        wchar_t name[256];
        if (!::GetClassNameW(hwnd, name, 256) || ::lstrcmpiW(name, className) != 0)
            return false;
    }
    if (title && GetText(hwnd) != title)
        return false;
    return true;
}

BOOL CALLBACK CollectTopWindow(HWND hwnd, LPARAM param)
{
    auto* request = reinterpret_cast<FindRequest*>(param);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hwnd, &pid);
    if (pid == ::GetCurrentProcessId() && ::IsWindowVisible(hwnd) && Matches(hwnd, request->className, request->title))
        request->found.push_back(hwnd);
    return TRUE;
}
}

std::vector<HWND> FindTopWindows(const wchar_t* className, const wchar_t* title)
{
    FindRequest request = { className, title, {} };
    ::EnumWindows(&CollectTopWindow, reinterpret_cast<LPARAM>(&request));
    return request.found;
}

HWND FindTopWindow(const wchar_t* className, const wchar_t* title)
{
    std::vector<HWND> found = FindTopWindows(className, title);
    return found.empty() ? nullptr : found.front();
}

HWND WaitForWindow(const wchar_t* className, const wchar_t* title, DWORD timeoutMs)
{
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindTopWindow(className, title)) != nullptr; }, timeoutMs);
    return found;
}

bool WaitForWindowGone(HWND hwnd, DWORD timeoutMs)
{
    return WaitUntil([&] { return !::IsWindow(hwnd) || !::IsWindowVisible(hwnd); }, timeoutMs);
}

std::wstring GetText(HWND hwnd)
{
    // WM_GETTEXT with a time-out: a hung window must not hang the test.
    DWORD_PTR length = 0;
    if (!::SendMessageTimeoutW(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &length))
        return std::wstring();
    std::wstring text(length + 1, L'\0');
    DWORD_PTR got = 0;
    if (!::SendMessageTimeoutW(hwnd, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(&text[0]), SMTO_ABORTIFHUNG,
                               2000, &got))
        return std::wstring();
    text.resize(got);
    return text;
}

HWND FindChild(HWND parent, const wchar_t* className, const wchar_t* text)
{
    for (HWND child = ::GetWindow(parent, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (Matches(child, className, text))
            return child;
    }
    return nullptr;
}

std::vector<std::wstring> StaticTexts(HWND dialog)
{
    std::vector<std::wstring> texts;
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (Matches(child, L"Static", nullptr)) {
            std::wstring text = GetText(child);
            if (!text.empty())
                texts.push_back(text);
        }
    }
    return texts;
}

bool ClickButton(HWND dialog, int id)
{
    HWND button = ::GetDlgItem(dialog, id);
    return ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button)) != FALSE;
}

namespace {
std::wstring WithoutMnemonic(const std::wstring& text)
{
    std::wstring plain;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'&' && i + 1 < text.size())
            ++i;
        plain += text[i];
    }
    return plain;
}
}

bool ClickButtonByText(HWND dialog, const wchar_t* text)
{
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (Matches(child, L"Button", nullptr) && WithoutMnemonic(GetText(child)) == WithoutMnemonic(text))
            return ClickButton(dialog, ::GetDlgCtrlID(child));
    }
    return false;
}

void ClickWithMouse(HWND hwnd, POINT at)
{
    ::ClientToScreen(hwnd, &at);
    ::SetCursorPos(at.x, at.y);
    INPUT input = {};
    input.type = INPUT_MOUSE;
    for (DWORD flags : {MOUSEEVENTF_MOVE, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP}) {
        input.mi.dwFlags = flags;
        ::SendInput(1, &input, sizeof(input));
        ::Sleep(flags == MOUSEEVENTF_LEFTDOWN ? 30 : 50);
    }
}

bool SetText(HWND control, const std::wstring& text)
{
    DWORD_PTR result = 0;
    return ::SendMessageTimeoutW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG,
                                 5000, &result) != 0;
}

bool TypeText(HWND control, const std::wstring& text)
{
    for (wchar_t c : text) {
        if (!::PostMessageW(control, WM_CHAR, c, 1))
            return false;
    }
    return true;
}

bool SendKey(HWND hwnd, UINT vk)
{
    UINT scan = ::MapVirtualKeyW(vk, MAPVK_VK_TO_VSC);
    LPARAM down = 1 | (scan << 16);
    LPARAM up = down | (1u << 30) | (1u << 31);
    return ::PostMessageW(hwnd, WM_KEYDOWN, vk, down) && ::PostMessageW(hwnd, WM_KEYUP, vk, up);
}

bool CloseWindow(HWND hwnd)
{
    return ::PostMessageW(hwnd, WM_CLOSE, 0, 0) != FALSE;
}

}

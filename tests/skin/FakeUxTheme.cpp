// A stand-in for the theme library: reports the application themed, paints a known colour as
// the parent's background, and remembers the last bitmap it painted into. A test may have it
// run an action in the middle of its next paint.
#include <windows.h>

namespace {
HBITMAP g_lastBitmap = nullptr;
LONG g_calls = 0;
void (*g_duringCall)() = nullptr;
}

extern "C" __declspec(dllexport) BOOL WINAPI IsAppThemed()
{
    return TRUE;
}

extern "C" __declspec(dllexport) HRESULT WINAPI DrawThemeParentBackground(HWND, HDC hdc, const RECT* prc)
{
    if (void (*action)() = g_duringCall) {
        g_duringCall = nullptr;
        action();
    }
    g_lastBitmap = (HBITMAP)::GetCurrentObject(hdc, OBJ_BITMAP);
    ++g_calls;
    HBRUSH brush = ::CreateSolidBrush(RGB(0x12, 0x34, 0x56));
    ::FillRect(hdc, prc, brush);
    ::DeleteObject(brush);
    return S_OK;
}

extern "C" __declspec(dllexport) HBITMAP WINAPI FakeThemeLastBitmap()
{
    return g_lastBitmap;
}

extern "C" __declspec(dllexport) LONG WINAPI FakeThemeCalls()
{
    return g_calls;
}

extern "C" __declspec(dllexport) void WINAPI FakeThemeDuringNextCall(void (*action)())
{
    g_duringCall = action;
}

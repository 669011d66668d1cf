// Pixels of windows and painters for tests, and PNG files of them for people to look at.
#pragma once
#include <windows.h>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace uitest {

struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> bgra;   // top-down rows, 0x00RRGGBB

    bool Empty() const { return width <= 0 || height <= 0; }
    // The colour at (x, y) as a COLORREF; CLR_INVALID outside.
    COLORREF At(int x, int y) const;
    // How many pixels of the rectangle have exactly that colour.
    int Count(COLORREF color, const RECT& area) const;
};

// Paints into a width x height memory DC (a 32-bit DIB) filled with background first.
Pixels RenderPainter(int width, int height, const std::function<void(HDC)>& paint,
                     COLORREF background = RGB(255, 255, 255));
// Asks the window to draw itself into a memory DC (WM_PRINT with client, non-client, children
// and background). Windows that paint only in WM_PAINT show their background only.
Pixels PrintWindowPixels(HWND hwnd);
// The window's area of the screen, after it repainted (any thread may call). The window must
// be visible and not covered; under Xvfb nothing else covers it.
Pixels CaptureWindow(HWND hwnd, DWORD settleMs = 2000);
// A rectangle of the screen.
Pixels CaptureScreen(const RECT& area);
// A rectangle of the screen once it has stopped changing (windows finished painting), or as it
// is at the time-out.
Pixels CaptureSettledScreen(const RECT& area, DWORD timeoutMs = 5000);

// Writes a PNG through GDI+'s encoder; false on failure.
bool SavePng(const Pixels& pixels, const std::wstring& path);
// The whole screen as a PNG, once it has stopped changing.
bool SaveScreenPng(const std::wstring& path);

}

// Pixels of windows and painters for tests, and PNG files of them.
#include "PixelCapture.h"
#include "WindowDriver.h"
#include <gdiplus.h>
#include <memory>

namespace uitest {

COLORREF Pixels::At(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width || y >= height)
        return CLR_INVALID;
    uint32_t v = bgra[(size_t)y * width + x];
    return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
}

int Pixels::Count(COLORREF color, const RECT& area) const
{
    int n = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            if (At(x, y) == color)
                ++n;
    return n;
}

namespace {

// A 32-bit top-down DIB selected into a memory DC; Read copies it out.
class MemorySurface {
public:
    MemorySurface(int width, int height) : m_width(width), m_height(height)
    {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        m_dc = ::CreateCompatibleDC(nullptr);
        m_bitmap = ::CreateDIBSection(m_dc, &info, DIB_RGB_COLORS, &m_bits, nullptr, 0);
        m_old = ::SelectObject(m_dc, m_bitmap);
    }
    ~MemorySurface()
    {
        ::SelectObject(m_dc, m_old);
        ::DeleteObject(m_bitmap);
        ::DeleteDC(m_dc);
    }
    bool Ok() const { return m_bitmap != nullptr && m_bits != nullptr; }
    HDC Dc() const { return m_dc; }
    Pixels Read() const
    {
        Pixels pixels;
        if (!Ok())
            return pixels;
        ::GdiFlush();
        pixels.width = m_width;
        pixels.height = m_height;
        const auto* bits = static_cast<const uint32_t*>(m_bits);
        pixels.bgra.assign(bits, bits + (size_t)m_width * m_height);
        for (uint32_t& v : pixels.bgra)
            v &= 0x00FFFFFF;
        return pixels;
    }

private:
    int m_width, m_height;
    HDC m_dc = nullptr;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_old = nullptr;
    void* m_bits = nullptr;
};

bool SamePixels(const Pixels& a, const Pixels& b)
{
    return a.width == b.width && a.height == b.height && a.bgra == b.bgra;
}

class GdiplusSession {
public:
    GdiplusSession()
    {
        Gdiplus::GdiplusStartupInput input;
        m_ok = Gdiplus::GdiplusStartup(&m_token, &input, nullptr) == Gdiplus::Ok;
    }
    ~GdiplusSession()
    {
        if (m_ok)
            Gdiplus::GdiplusShutdown(m_token);
    }
    bool Ok() const { return m_ok; }

private:
    ULONG_PTR m_token = 0;
    bool m_ok = false;
};

bool PngEncoder(CLSID* clsid)
{
    UINT count = 0;
    UINT bytes = 0;
    if (Gdiplus::GetImageEncodersSize(&count, &bytes) != Gdiplus::Ok || bytes == 0)
        return false;
    std::unique_ptr<BYTE[]> buffer(new BYTE[bytes]);
    auto* encoders = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.get());
    if (Gdiplus::GetImageEncoders(count, bytes, encoders) != Gdiplus::Ok)
        return false;
    for (UINT i = 0; i < count; ++i) {
        if (::lstrcmpiW(encoders[i].MimeType, L"image/png") == 0) {
            *clsid = encoders[i].Clsid;
            return true;
        }
    }
    return false;
}

}

Pixels RenderPainter(int width, int height, const std::function<void(HDC)>& paint, COLORREF background)
{
    MemorySurface surface(width, height);
    if (!surface.Ok())
        return Pixels();
    RECT all = { 0, 0, width, height };
    HBRUSH brush = ::CreateSolidBrush(background);
    ::FillRect(surface.Dc(), &all, brush);
    ::DeleteObject(brush);
    paint(surface.Dc());
    return surface.Read();
}

Pixels PrintWindowPixels(HWND hwnd)
{
    RECT rect;
    if (!::GetWindowRect(hwnd, &rect))
        return Pixels();
    MemorySurface surface(rect.right - rect.left, rect.bottom - rect.top);
    if (!surface.Ok())
        return Pixels();
    DWORD_PTR ignored = 0;
    ::SendMessageTimeoutW(hwnd, WM_PRINT, reinterpret_cast<WPARAM>(surface.Dc()),
                          PRF_CLIENT | PRF_NONCLIENT | PRF_CHILDREN | PRF_ERASEBKGND, SMTO_ABORTIFHUNG, 5000, &ignored);
    return surface.Read();
}

Pixels CaptureScreen(const RECT& area)
{
    int width = area.right - area.left;
    int height = area.bottom - area.top;
    if (width <= 0 || height <= 0)
        return Pixels();
    MemorySurface surface(width, height);
    if (!surface.Ok())
        return Pixels();
    HDC screen = ::GetDC(nullptr);
    ::BitBlt(surface.Dc(), 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
    ::ReleaseDC(nullptr, screen);
    return surface.Read();
}

Pixels CaptureWindow(HWND hwnd, DWORD settleMs)
{
    ::RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    RECT rect;
    if (!::GetWindowRect(hwnd, &rect))
        return Pixels();
    // The display shows the new paint a moment later; take the picture once it stops changing.
    Pixels last = CaptureScreen(rect);
    Pixels current;
    WaitUntil([&] {
        ::Sleep(50);
        current = CaptureScreen(rect);
        bool stable = SamePixels(current, last);
        last = current;
        return stable;
    }, settleMs);
    return last;
}

bool SavePng(const Pixels& pixels, const std::wstring& path)
{
    if (pixels.Empty())
        return false;
    GdiplusSession session;
    CLSID png;
    if (!session.Ok() || !PngEncoder(&png))
        return false;
    std::vector<uint32_t> opaque(pixels.bgra);
    for (uint32_t& v : opaque)
        v |= 0xFF000000;
    Gdiplus::Bitmap bitmap(pixels.width, pixels.height, pixels.width * 4, PixelFormat32bppARGB,
                           reinterpret_cast<BYTE*>(opaque.data()));
    return bitmap.Save(path.c_str(), &png, nullptr) == Gdiplus::Ok;
}

Pixels CaptureSettledScreen(const RECT& area, DWORD timeoutMs)
{
    Pixels last = CaptureScreen(area);
    WaitUntil([&] {
        ::Sleep(150);
        Pixels current = CaptureScreen(area);
        const bool stable = SamePixels(current, last);
        last = current;
        return stable;
    }, timeoutMs);
    return last;
}

bool SaveScreenPng(const std::wstring& path)
{
    RECT screen = { 0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN) };
    return SavePng(CaptureSettledScreen(screen), path);
}

}

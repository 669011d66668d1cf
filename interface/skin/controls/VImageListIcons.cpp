// CVImageList: icon helpers: library icons, grey copies, alpha bitmaps, registry icons.
#include "VImageList.h"
#include "Library.h"
#include <gdiplus.h>
#include <shellapi.h>
#include <vector>

namespace {
struct IconParts {
    ICONINFO info = {};
    ~IconParts()
    {
        if (info.hbmColor)
            ::DeleteObject(info.hbmColor);
        if (info.hbmMask)
            ::DeleteObject(info.hbmMask);
    }
};

// The colour bitmap's pixels as top-down 32-bit BGRA.
bool ReadPixels(HBITMAP bitmap, int width, int height, std::vector<DWORD>* pixels)
{
    BITMAPINFO bi = {};
    bi.bmiHeader = { sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB };
    pixels->assign((size_t)width * height, 0);
    HDC dc = ::GetDC(nullptr);
    int rows = ::GetDIBits(dc, bitmap, 0, height, pixels->data(), &bi, DIB_RGB_COLORS);
    ::ReleaseDC(nullptr, dc);
    return rows == height;
}
}

HICON CVImageList::GetIcon(UINT id, int cx, int cy)
{
    return (HICON)::LoadImageW(ToviInterfaceInstance(), MAKEINTRESOURCEW(id), IMAGE_ICON, cx, cy,
                               LR_SHARED | LR_LOADTRANSPARENT);
}

BYTE CVImageList::GrayOf(BYTE red, BYTE green, BYTE blue)
{
    return (BYTE)((299u * red + 587u * green + 114u * blue) / 1000u);
}

HICON CVImageList::CreateGrayscaleIcon(HICON icon)
{
    IconParts parts;
    if (icon == nullptr || !::GetIconInfo(icon, &parts.info) || parts.info.hbmColor == nullptr)
        return nullptr;
    // The hot spot of an icon is its centre: twice it is the icon's size.
    const int width = (int)parts.info.xHotspot * 2;
    const int height = (int)parts.info.yHotspot * 2;
    BITMAP colour = {};
    if (width <= 0 || height <= 0 || !::GetObjectW(parts.info.hbmColor, sizeof(colour), &colour))
        return nullptr;
    std::vector<DWORD> pixels;
    if (!ReadPixels(parts.info.hbmColor, width, height, &pixels))
        return nullptr;
    for (DWORD& p : pixels) {
        if ((p & 0x00FFFFFF) == 0)
            continue;
        BYTE g = GrayOf((BYTE)(p >> 16), (BYTE)(p >> 8), (BYTE)p);
        p = (p & 0xFF000000) | ((DWORD)g << 16) | ((DWORD)g << 8) | g;
    }
    HBITMAP grey = ::CreateBitmap(width, height, colour.bmPlanes, colour.bmBitsPixel, nullptr);
    if (grey == nullptr)
        return nullptr;
    BITMAPINFO bi = {};
    bi.bmiHeader = { sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB };
    HDC dc = ::GetDC(nullptr);
    int rows = ::SetDIBits(dc, grey, 0, height, pixels.data(), &bi, DIB_RGB_COLORS);
    ::ReleaseDC(nullptr, dc);
    HICON result = nullptr;
    if (rows == height) {
        ICONINFO made = { TRUE, parts.info.xHotspot, parts.info.yHotspot, parts.info.hbmMask, grey };
        result = ::CreateIconIndirect(&made);
    }
    ::DeleteObject(grey);
    return result;
}

Gdiplus::Bitmap* CVImageList::IconToAlphaBitmap(HICON icon)
{
    IconParts parts;
    if (icon == nullptr || !::GetIconInfo(icon, &parts.info) || parts.info.hbmColor == nullptr)
        return nullptr;
    Gdiplus::Bitmap* plain = Gdiplus::Bitmap::FromHBITMAP(parts.info.hbmColor, nullptr);
    if (plain == nullptr)
        return nullptr;
    if (Gdiplus::GetPixelFormatSize(plain->GetPixelFormat()) < 32) {
        delete plain;
        return Gdiplus::Bitmap::FromHICON(icon);
    }
    delete plain;
    BITMAP colour = {};
    ::GetObjectW(parts.info.hbmColor, sizeof(colour), &colour);
    std::vector<DWORD> pixels;
    if (!ReadPixels(parts.info.hbmColor, colour.bmWidth, colour.bmHeight, &pixels))
        return Gdiplus::Bitmap::FromHICON(icon);
    bool hasAlpha = false;
    for (DWORD p : pixels) {
        if (p & 0xFF000000) {
            hasAlpha = true;
            break;
        }
    }
    if (!hasAlpha)
        return Gdiplus::Bitmap::FromHICON(icon);
    auto* argb = new Gdiplus::Bitmap(colour.bmWidth, colour.bmHeight, PixelFormat32bppARGB);
    Gdiplus::Rect all(0, 0, colour.bmWidth, colour.bmHeight);
    Gdiplus::BitmapData data = {};
    if (argb->LockBits(&all, Gdiplus::ImageLockModeWrite, PixelFormat32bppARGB, &data) != Gdiplus::Ok) {
        delete argb;
        return Gdiplus::Bitmap::FromHICON(icon);
    }
    for (int y = 0; y < colour.bmHeight; ++y)
        ::memcpy((BYTE*)data.Scan0 + (size_t)y * data.Stride, &pixels[(size_t)y * colour.bmWidth], colour.bmWidth * 4);
    argb->UnlockBits(&data);
    return argb;
}

HICON CVImageList::GetIconFromRegistry(const wchar_t* key, bool large)
{
    if (key == nullptr)
        return nullptr;
    wchar_t className[MAX_PATH + 1] = {};
    LONG size = sizeof(className) - sizeof(wchar_t);
    if (::RegQueryValueW(HKEY_CLASSES_ROOT, key, className, &size) != ERROR_SUCCESS || className[0] == 0)
        return nullptr;
    wchar_t iconKey[MAX_PATH + 32] = {};
    ::wsprintfW(iconKey, L"%s\\DefaultIcon", className);
    wchar_t location[MAX_PATH + 1] = {};
    size = sizeof(location) - sizeof(wchar_t);
    if (::RegQueryValueW(HKEY_CLASSES_ROOT, iconKey, location, &size) != ERROR_SUCCESS || location[0] == 0)
        return nullptr;
    int index = 0;
    if (wchar_t* comma = ::wcsrchr(location, L',')) {
        *comma = 0;
        index = ::_wtoi(comma + 1);
    }
    wchar_t* file = location;
    if (file[0] == L'"') {
        ++file;
        if (wchar_t* end = ::wcschr(file, L'"'))
            *end = 0;
    }
    HICON icon = nullptr;
    if (large)
        ::ExtractIconExW(file, index, &icon, nullptr, 1);
    else
        ::ExtractIconExW(file, index, nullptr, &icon, 1);
    return icon;
}

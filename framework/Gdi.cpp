// GDI object wrappers: bitmaps, brushes, pens, fonts and regions.
#include "Gdi.h"
#include "Dc.h"
#include "Resources.h"
#include "TempHandleMap.h"
#include <cstdlib>

namespace {

// The screen DC, or the given one, for conversions that need a device.
class DeviceForConversion {
public:
    explicit DeviceForConversion(CDC* dc) : m_hdc(dc ? dc->GetSafeHdc() : nullptr)
    {
        if (m_hdc == nullptr) {
            m_hdc = ::GetDC(nullptr);
            m_screen = true;
        }
    }
    ~DeviceForConversion()
    {
        if (m_screen)
            ::ReleaseDC(nullptr, m_hdc);
    }
    DeviceForConversion(const DeviceForConversion&) = delete;
    DeviceForConversion& operator=(const DeviceForConversion&) = delete;
    HDC Get() const { return m_hdc; }

private:
    HDC m_hdc;
    bool m_screen = false;
};

} // namespace

// ---- CGdiObject

IMPLEMENT_DYNAMIC(CGdiObject, CObject)
IMPLEMENT_DYNAMIC(CBitmap, CGdiObject)
IMPLEMENT_DYNAMIC(CBrush, CGdiObject)
IMPLEMENT_DYNAMIC(CPen, CGdiObject)
IMPLEMENT_DYNAMIC(CFont, CGdiObject)
IMPLEMENT_DYNAMIC(CRgn, CGdiObject)

CGdiObject::~CGdiObject()
{
    DeleteObject();
}

CGdiObject* CGdiObject::FromHandle(HGDIOBJ handle)
{
    return CTempHandleMap<CGdiObject, HGDIOBJ>::Get(handle);
}

void CGdiObject::DeleteTempMap()
{
    CTempHandleMap<CGdiObject, HGDIOBJ>::Clear();
    CTempHandleMap<CBitmap, HBITMAP>::Clear();
    CTempHandleMap<CBrush, HBRUSH>::Clear();
    CTempHandleMap<CPen, HPEN>::Clear();
    CTempHandleMap<CFont, HFONT>::Clear();
    CTempHandleMap<CRgn, HRGN>::Clear();
}

BOOL CGdiObject::Attach(HGDIOBJ handle)
{
    if (handle == nullptr || m_hObject != nullptr)
        return FALSE;
    m_hObject = handle;
    m_stock = false;
    return TRUE;
}

HGDIOBJ CGdiObject::Detach()
{
    HGDIOBJ handle = m_hObject;
    m_hObject = nullptr;
    m_stock = false;
    return handle;
}

BOOL CGdiObject::DeleteObject()
{
    if (m_hObject == nullptr)
        return FALSE;
    if (m_stock) {
        Detach();
        return TRUE;
    }
    if (!::DeleteObject(m_hObject))
        return FALSE;
    m_hObject = nullptr;
    return TRUE;
}

BOOL CGdiObject::CreateStockObject(int index)
{
    if (m_hObject != nullptr)
        return FALSE;
    m_hObject = ::GetStockObject(index);
    m_stock = m_hObject != nullptr;
    return m_stock ? TRUE : FALSE;
}

// ---- CBitmap

CBitmap* CBitmap::FromHandle(HBITMAP handle)
{
    return CTempHandleMap<CBitmap, HBITMAP>::Get(handle);
}

BOOL CBitmap::CreateCompatibleBitmap(CDC* dc, int width, int height)
{
    DeviceForConversion device(dc);
    // A memory DC starts with a 1x1 monochrome bitmap; a bitmap "compatible" with it would be
    // monochrome too, which nobody means.
    HDC hdc = device.Get();
    HDC screen = nullptr;
    if (::GetObjectType(hdc) == OBJ_MEMDC) {
        BITMAP selected = {};
        ::GetObjectW(::GetCurrentObject(hdc, OBJ_BITMAP), sizeof(selected), &selected);
        if (selected.bmBitsPixel == 1 && selected.bmWidth == 1 && selected.bmHeight == 1)
            hdc = screen = ::GetDC(nullptr);
    }
    BOOL ok = Attach(::CreateCompatibleBitmap(hdc, width, height));
    if (screen)
        ::ReleaseDC(nullptr, screen);
    return ok;
}

BOOL CBitmap::CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits)
{
    return Attach(::CreateBitmap(width, height, planes, bitsPerPixel, bits));
}

BOOL CBitmap::CreateBitmapIndirect(const BITMAP* bitmap)
{
    return Attach(::CreateBitmapIndirect(bitmap));
}

BOOL CBitmap::CreateDIBSection32(int width, int height, void** bits)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* pixels = nullptr;
    HBITMAP handle = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
    if (bits)
        *bits = handle ? pixels : nullptr;
    return Attach(handle);
}

BOOL CBitmap::LoadBitmap(LPCWSTR name)
{
    HINSTANCE module = AfxFindResourceHandle(name, RT_BITMAP);
    return Attach(::LoadBitmapW(module, name));
}

BOOL CBitmap::LoadOEMBitmap(UINT id)
{
    return Attach(::LoadBitmapW(nullptr, MAKEINTRESOURCEW(id)));
}

CSize CBitmap::GetBitmapDimension() const
{
    SIZE size = {};
    ::GetBitmapDimensionEx(*this, &size);
    return size;
}

CSize CBitmap::SetBitmapDimension(int width, int height)
{
    SIZE old = {};
    ::SetBitmapDimensionEx(*this, width, height, &old);
    return old;
}

// ---- CBrush

CBrush* CBrush::FromHandle(HBRUSH handle)
{
    return CTempHandleMap<CBrush, HBRUSH>::Get(handle);
}

BOOL CBrush::CreateSolidBrush(COLORREF color)
{
    return Attach(::CreateSolidBrush(color));
}

BOOL CBrush::CreateHatchBrush(int hatch, COLORREF color)
{
    return Attach(::CreateHatchBrush(hatch, color));
}

BOOL CBrush::CreatePatternBrush(CBitmap* pattern)
{
    return pattern ? Attach(::CreatePatternBrush(*pattern)) : FALSE;
}

BOOL CBrush::CreateBrushIndirect(const LOGBRUSH* logBrush)
{
    return Attach(::CreateBrushIndirect(logBrush));
}

BOOL CBrush::CreateSysColorBrush(int colorIndex)
{
    if (!Attach(::GetSysColorBrush(colorIndex)))
        return FALSE;
    m_stock = true;
    return TRUE;
}

// ---- CPen

CPen* CPen::FromHandle(HPEN handle)
{
    return CTempHandleMap<CPen, HPEN>::Get(handle);
}

BOOL CPen::CreatePen(int style, int width, COLORREF color)
{
    return Attach(::CreatePen(style, width, color));
}

BOOL CPen::CreatePenIndirect(const LOGPEN* logPen)
{
    return Attach(::CreatePenIndirect(logPen));
}

// ---- CFont

CFont* CFont::FromHandle(HFONT handle)
{
    return CTempHandleMap<CFont, HFONT>::Get(handle);
}

BOOL CFont::CreateFontIndirect(const LOGFONTW* logFont)
{
    return Attach(::CreateFontIndirectW(logFont));
}

BOOL CFont::CreateFont(int height, int width, int escapement, int orientation, int weight,
                       BYTE italic, BYTE underline, BYTE strikeOut, BYTE charSet,
                       BYTE outPrecision, BYTE clipPrecision, BYTE quality, BYTE pitchAndFamily,
                       LPCWSTR faceName)
{
    return Attach(::CreateFontW(height, width, escapement, orientation, weight, italic, underline,
                                strikeOut, charSet, outPrecision, clipPrecision, quality,
                                pitchAndFamily, faceName));
}

BOOL CFont::CreatePointFont(int pointSize10, LPCWSTR faceName, CDC* dc)
{
    LOGFONTW logFont = {};
    logFont.lfCharSet = DEFAULT_CHARSET;
    logFont.lfHeight = pointSize10;
    if (faceName)
        lstrcpynW(logFont.lfFaceName, faceName, LF_FACESIZE);
    return CreatePointFontIndirect(&logFont, dc);
}

BOOL CFont::CreatePointFontIndirect(const LOGFONTW* logFont, CDC* dc)
{
    DeviceForConversion device(dc);
    HDC hdc = device.Get();
    // Tenths of a point to device pixels, then to the DC's logical units.
    POINT height = {0, ::MulDiv(::GetDeviceCaps(hdc, LOGPIXELSY), logFont->lfHeight, 720)};
    POINT origin = {0, 0};
    ::DPtoLP(hdc, &height, 1);
    ::DPtoLP(hdc, &origin, 1);
    LOGFONTW converted = *logFont;
    converted.lfHeight = -std::abs(height.y - origin.y);
    return CreateFontIndirect(&converted);
}

// ---- CRgn

CRgn* CRgn::FromHandle(HRGN handle)
{
    return CTempHandleMap<CRgn, HRGN>::Get(handle);
}

BOOL CRgn::CreateRectRgn(int left, int top, int right, int bottom)
{
    return Attach(::CreateRectRgn(left, top, right, bottom));
}

BOOL CRgn::CreateRectRgnIndirect(LPCRECT rect)
{
    return Attach(::CreateRectRgnIndirect(rect));
}

BOOL CRgn::CreateRoundRectRgn(int left, int top, int right, int bottom, int ellipseWidth, int ellipseHeight)
{
    return Attach(::CreateRoundRectRgn(left, top, right, bottom, ellipseWidth, ellipseHeight));
}

BOOL CRgn::CreateEllipticRgn(int left, int top, int right, int bottom)
{
    return Attach(::CreateEllipticRgn(left, top, right, bottom));
}

BOOL CRgn::CreateEllipticRgnIndirect(LPCRECT rect)
{
    return Attach(::CreateEllipticRgnIndirect(rect));
}

BOOL CRgn::CreatePolygonRgn(const POINT* points, int count, int fillMode)
{
    return Attach(::CreatePolygonRgn(points, count, fillMode));
}

int CRgn::CombineRgn(const CRgn* a, const CRgn* b, int mode)
{
    if (a == nullptr || a->m_hObject == nullptr)
        return ERROR;
    if (mode != RGN_COPY && (b == nullptr || b->m_hObject == nullptr))
        return ERROR;
    if (m_hObject == nullptr && !CreateRectRgn(0, 0, 0, 0))
        return ERROR;
    return ::CombineRgn(*this, *a, mode == RGN_COPY ? nullptr : static_cast<HRGN>(*b), mode);
}

int CRgn::CopyRgn(const CRgn* source)
{
    return CombineRgn(source, nullptr, RGN_COPY);
}

BOOL CRgn::SetRectRgn(int left, int top, int right, int bottom)
{
    if (m_hObject == nullptr)
        return CreateRectRgn(left, top, right, bottom);
    return ::SetRectRgn(*this, left, top, right, bottom);
}

// GDI object wrappers: bitmaps, brushes, pens, fonts and regions.
#pragma once
#include "FrameworkApi.h"
#include "Geometry.h"
#include "Object.h"

class CDC;
template <class TObject, class THandle> class CTempHandleMap;

// Owns one GDI object: the destructor deletes it unless it was detached. Wrappers returned by
// FromHandle (and by CDC::SelectObject for the previously selected object) are per-thread
// temporaries that own nothing; keep the handle, not the pointer, beyond the current message.
class FW_API CGdiObject : public CObject {
    DECLARE_DYNAMIC(CGdiObject)
public:
    CGdiObject() = default;
    ~CGdiObject() override;

    static CGdiObject* FromHandle(HGDIOBJ handle);
    // Drops this thread's temporary wrappers (all kinds of GDI object).
    static void DeleteTempMap();

    HGDIOBJ GetSafeHandle() const { return m_hObject; }
    operator HGDIOBJ() const { return m_hObject; }
    // Takes ownership; fails when this wrapper already holds an object.
    BOOL Attach(HGDIOBJ handle);
    HGDIOBJ Detach();
    // Deletes the object now; FALSE when there was none or GDI refused (still selected).
    BOOL DeleteObject();
    BOOL CreateStockObject(int index);
    int GetObject(int size, void* buffer) const { return ::GetObjectW(m_hObject, size, buffer); }
    UINT GetObjectType() const { return ::GetObjectType(m_hObject); }
    BOOL UnrealizeObject() { return ::UnrealizeObject(m_hObject); }

    HGDIOBJ m_hObject = nullptr;

protected:
    template <class TObject, class THandle> friend class CTempHandleMap;
    void AttachTemporary(HGDIOBJ handle) { m_hObject = handle; }
    void DetachTemporary() { m_hObject = nullptr; }
    // Stock objects are never deleted; wrapping one must not make it owned.
    bool m_stock = false;
};

class FW_API CBitmap : public CGdiObject {
    DECLARE_DYNAMIC(CBitmap)
public:
    static CBitmap* FromHandle(HBITMAP handle);
    operator HBITMAP() const { return static_cast<HBITMAP>(m_hObject); }

    // Compatible with the device of dc (the screen when dc is null).
    BOOL CreateCompatibleBitmap(CDC* dc, int width, int height);
    BOOL CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits);
    BOOL CreateBitmapIndirect(const BITMAP* bitmap);
    // A top-down 32-bit DIB section; bits (optional) receives the pixel memory.
    BOOL CreateDIBSection32(int width, int height, void** bits = nullptr);
    // From the module that holds the resource (program, interface library, framework).
    BOOL LoadBitmap(UINT id) { return LoadBitmap(MAKEINTRESOURCEW(id)); }
    BOOL LoadBitmap(LPCWSTR name);
    BOOL LoadOEMBitmap(UINT id);
    int GetBitmap(BITMAP* bitmap) const { return ::GetObjectW(m_hObject, sizeof(BITMAP), bitmap); }
    // The nominal size in 0.1 mm set by SetBitmapDimension (zero unless set); the pixel size
    // is GetBitmap's bmWidth/bmHeight.
    CSize GetBitmapDimension() const;
    CSize SetBitmapDimension(int width, int height);
};

class FW_API CBrush : public CGdiObject {
    DECLARE_DYNAMIC(CBrush)
public:
    CBrush() = default;
    explicit CBrush(COLORREF color) { CreateSolidBrush(color); }
    CBrush(int hatch, COLORREF color) { CreateHatchBrush(hatch, color); }
    explicit CBrush(CBitmap* pattern) { CreatePatternBrush(pattern); }

    static CBrush* FromHandle(HBRUSH handle);
    operator HBRUSH() const { return static_cast<HBRUSH>(m_hObject); }

    BOOL CreateSolidBrush(COLORREF color);
    BOOL CreateHatchBrush(int hatch, COLORREF color);
    BOOL CreatePatternBrush(CBitmap* pattern);
    BOOL CreateBrushIndirect(const LOGBRUSH* logBrush);
    // The system's cached colour brush: wrapped but never deleted.
    BOOL CreateSysColorBrush(int colorIndex);
    int GetLogBrush(LOGBRUSH* logBrush) const { return ::GetObjectW(m_hObject, sizeof(LOGBRUSH), logBrush); }
};

class FW_API CPen : public CGdiObject {
    DECLARE_DYNAMIC(CPen)
public:
    CPen() = default;
    CPen(int style, int width, COLORREF color) { CreatePen(style, width, color); }

    static CPen* FromHandle(HPEN handle);
    operator HPEN() const { return static_cast<HPEN>(m_hObject); }

    BOOL CreatePen(int style, int width, COLORREF color);
    BOOL CreatePenIndirect(const LOGPEN* logPen);
    int GetLogPen(LOGPEN* logPen) const { return ::GetObjectW(m_hObject, sizeof(LOGPEN), logPen); }
};

class FW_API CFont : public CGdiObject {
    DECLARE_DYNAMIC(CFont)
public:
    static CFont* FromHandle(HFONT handle);
    operator HFONT() const { return static_cast<HFONT>(m_hObject); }

    BOOL CreateFontIndirect(const LOGFONTW* logFont);
    BOOL CreateFont(int height, int width, int escapement, int orientation, int weight,
                    BYTE italic, BYTE underline, BYTE strikeOut, BYTE charSet,
                    BYTE outPrecision, BYTE clipPrecision, BYTE quality, BYTE pitchAndFamily,
                    LPCWSTR faceName);
    // pointSize10 in tenths of a point, converted for dc (the screen when null).
    BOOL CreatePointFont(int pointSize10, LPCWSTR faceName, CDC* dc = nullptr);
    // Like CreatePointFont, lfHeight holding tenths of a point.
    BOOL CreatePointFontIndirect(const LOGFONTW* logFont, CDC* dc = nullptr);
    int GetLogFont(LOGFONTW* logFont) const { return ::GetObjectW(m_hObject, sizeof(LOGFONTW), logFont); }
};

class FW_API CRgn : public CGdiObject {
    DECLARE_DYNAMIC(CRgn)
public:
    static CRgn* FromHandle(HRGN handle);
    operator HRGN() const { return static_cast<HRGN>(m_hObject); }

    BOOL CreateRectRgn(int left, int top, int right, int bottom);
    BOOL CreateRectRgnIndirect(LPCRECT rect);
    BOOL CreateRoundRectRgn(int left, int top, int right, int bottom, int ellipseWidth, int ellipseHeight);
    BOOL CreateEllipticRgn(int left, int top, int right, int bottom);
    BOOL CreateEllipticRgnIndirect(LPCRECT rect);
    BOOL CreatePolygonRgn(const POINT* points, int count, int fillMode);

    // Both store the result in this region, creating it (empty) first when there is none.
    // Return the region type (NULLREGION, SIMPLEREGION, COMPLEXREGION) or ERROR.
    int CombineRgn(const CRgn* a, const CRgn* b, int mode);
    int CopyRgn(const CRgn* source);

    BOOL SetRectRgn(int left, int top, int right, int bottom);
    BOOL SetRectRgn(LPCRECT rect) { return SetRectRgn(rect->left, rect->top, rect->right, rect->bottom); }
    BOOL PtInRegion(int x, int y) const { return ::PtInRegion(*this, x, y); }
    BOOL PtInRegion(POINT point) const { return ::PtInRegion(*this, point.x, point.y); }
    BOOL RectInRegion(LPCRECT rect) const { return ::RectInRegion(*this, rect); }
    BOOL EqualRgn(const CRgn* other) const { return ::EqualRgn(*this, *other); }
    int GetRgnBox(LPRECT rect) const { return ::GetRgnBox(*this, rect); }
    int OffsetRgn(int dx, int dy) { return ::OffsetRgn(*this, dx, dy); }
    int OffsetRgn(POINT offset) { return ::OffsetRgn(*this, offset.x, offset.y); }
    int GetRegionData(LPRGNDATA data, int size) const { return ::GetRegionData(*this, size, data); }
};

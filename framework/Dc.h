// Device contexts: the CDC drawing wrapper, paint/client/window DCs and an off-screen buffer.
#pragma once
#include "FrameworkApi.h"
#include "Gdi.h"
#include "Strings.h"

class CWnd;

// Owns its HDC when created through CreateCompatibleDC or Attach: the destructor deletes it.
// FromHandle gives a per-thread temporary wrapper that owns nothing (see CGdiObject).
// SelectObject returns the previously selected object as such a temporary; pass it back to
// SelectObject to restore it.
class FW_API CDC : public CObject {
    DECLARE_DYNAMIC(CDC)
public:
    CDC() = default;
    ~CDC() override;

    static CDC* FromHandle(HDC hdc);
    static void DeleteTempMap();

    HDC GetSafeHdc() const { return m_hDC; }
    operator HDC() const { return m_hDC; }
    BOOL Attach(HDC hdc);
    HDC Detach();
    // A memory DC compatible with dc (the screen when null).
    BOOL CreateCompatibleDC(CDC* dc);
    BOOL DeleteDC();

    // ---- Objects
    CPen* SelectObject(CPen* pen);
    CBrush* SelectObject(CBrush* brush);
    CFont* SelectObject(CFont* font);
    CBitmap* SelectObject(CBitmap* bitmap);
    // A region is copied into the clip region; returns the region type or ERROR.
    int SelectObject(CRgn* region);
    CGdiObject* SelectObject(CGdiObject* object);
    HGDIOBJ SelectObject(HGDIOBJ object) { return ::SelectObject(m_hDC, object); }
    CGdiObject* SelectStockObject(int index);
    CPen* GetCurrentPen() const { return CPen::FromHandle(static_cast<HPEN>(::GetCurrentObject(m_hDC, OBJ_PEN))); }
    CBrush* GetCurrentBrush() const { return CBrush::FromHandle(static_cast<HBRUSH>(::GetCurrentObject(m_hDC, OBJ_BRUSH))); }
    CFont* GetCurrentFont() const { return CFont::FromHandle(static_cast<HFONT>(::GetCurrentObject(m_hDC, OBJ_FONT))); }
    CBitmap* GetCurrentBitmap() const { return CBitmap::FromHandle(static_cast<HBITMAP>(::GetCurrentObject(m_hDC, OBJ_BITMAP))); }

    // ---- State
    int SaveDC() { return ::SaveDC(m_hDC); }
    BOOL RestoreDC(int savedDC) { return ::RestoreDC(m_hDC, savedDC); }
    int GetDeviceCaps(int index) const { return ::GetDeviceCaps(m_hDC, index); }
    int SetStretchBltMode(int mode) { return ::SetStretchBltMode(m_hDC, mode); }
    int GetStretchBltMode() const { return ::GetStretchBltMode(m_hDC); }
    int SetROP2(int mode) { return ::SetROP2(m_hDC, mode); }
    int SetMapMode(int mode) { return ::SetMapMode(m_hDC, mode); }
    int GetMapMode() const { return ::GetMapMode(m_hDC); }
    COLORREF SetTextColor(COLORREF color) { return ::SetTextColor(m_hDC, color); }
    COLORREF GetTextColor() const { return ::GetTextColor(m_hDC); }
    COLORREF SetBkColor(COLORREF color) { return ::SetBkColor(m_hDC, color); }
    COLORREF GetBkColor() const { return ::GetBkColor(m_hDC); }
    int SetBkMode(int mode) { return ::SetBkMode(m_hDC, mode); }
    int GetBkMode() const { return ::GetBkMode(m_hDC); }
    UINT SetTextAlign(UINT flags) { return ::SetTextAlign(m_hDC, flags); }

    // ---- Coordinates
    CPoint SetViewportOrg(int x, int y);
    CPoint SetViewportOrg(POINT point) { return SetViewportOrg(point.x, point.y); }
    CPoint OffsetViewportOrg(int dx, int dy);
    CPoint GetViewportOrg() const;
    CPoint SetWindowOrg(int x, int y);
    CPoint SetWindowOrg(POINT point) { return SetWindowOrg(point.x, point.y); }
    CPoint GetWindowOrg() const;
    void DPtoLP(LPPOINT points, int count = 1) const { ::DPtoLP(m_hDC, points, count); }
    void DPtoLP(LPRECT rect) const { ::DPtoLP(m_hDC, reinterpret_cast<LPPOINT>(rect), 2); }
    void LPtoDP(LPPOINT points, int count = 1) const { ::LPtoDP(m_hDC, points, count); }
    void LPtoDP(LPRECT rect) const { ::LPtoDP(m_hDC, reinterpret_cast<LPPOINT>(rect), 2); }

    // ---- Clipping
    // A null region resets clipping to the whole device.
    int SelectClipRgn(CRgn* region) { return ::SelectClipRgn(m_hDC, region ? static_cast<HRGN>(*region) : nullptr); }
    int SelectClipRgn(CRgn* region, int mode) { return ::ExtSelectClipRgn(m_hDC, region ? static_cast<HRGN>(*region) : nullptr, mode); }
    int IntersectClipRect(int left, int top, int right, int bottom) { return ::IntersectClipRect(m_hDC, left, top, right, bottom); }
    int IntersectClipRect(LPCRECT rect) { return IntersectClipRect(rect->left, rect->top, rect->right, rect->bottom); }
    int ExcludeClipRect(int left, int top, int right, int bottom) { return ::ExcludeClipRect(m_hDC, left, top, right, bottom); }
    int ExcludeClipRect(LPCRECT rect) { return ExcludeClipRect(rect->left, rect->top, rect->right, rect->bottom); }
    int GetClipBox(LPRECT rect) const { return ::GetClipBox(m_hDC, rect); }
    BOOL PtVisible(int x, int y) const { return ::PtVisible(m_hDC, x, y); }
    BOOL RectVisible(LPCRECT rect) const { return ::RectVisible(m_hDC, rect); }

    // ---- Pixels, lines and shapes
    COLORREF SetPixel(int x, int y, COLORREF color) { return ::SetPixel(m_hDC, x, y, color); }
    COLORREF SetPixel(POINT point, COLORREF color) { return ::SetPixel(m_hDC, point.x, point.y, color); }
    BOOL SetPixelV(int x, int y, COLORREF color) { return ::SetPixelV(m_hDC, x, y, color); }
    COLORREF GetPixel(int x, int y) const { return ::GetPixel(m_hDC, x, y); }
    COLORREF GetPixel(POINT point) const { return ::GetPixel(m_hDC, point.x, point.y); }
    CPoint MoveTo(int x, int y);
    CPoint MoveTo(POINT point) { return MoveTo(point.x, point.y); }
    CPoint GetCurrentPosition() const;
    BOOL LineTo(int x, int y) { return ::LineTo(m_hDC, x, y); }
    BOOL LineTo(POINT point) { return ::LineTo(m_hDC, point.x, point.y); }
    BOOL Polyline(const POINT* points, int count) { return ::Polyline(m_hDC, points, count); }
    BOOL Polygon(const POINT* points, int count) { return ::Polygon(m_hDC, points, count); }
    BOOL Rectangle(int left, int top, int right, int bottom) { return ::Rectangle(m_hDC, left, top, right, bottom); }
    BOOL Rectangle(LPCRECT rect) { return ::Rectangle(m_hDC, rect->left, rect->top, rect->right, rect->bottom); }
    BOOL RoundRect(int left, int top, int right, int bottom, int ellipseWidth, int ellipseHeight)
    {
        return ::RoundRect(m_hDC, left, top, right, bottom, ellipseWidth, ellipseHeight);
    }
    BOOL RoundRect(LPCRECT rect, POINT ellipse)
    {
        return ::RoundRect(m_hDC, rect->left, rect->top, rect->right, rect->bottom, ellipse.x, ellipse.y);
    }
    BOOL Ellipse(int left, int top, int right, int bottom) { return ::Ellipse(m_hDC, left, top, right, bottom); }
    BOOL Ellipse(LPCRECT rect) { return ::Ellipse(m_hDC, rect->left, rect->top, rect->right, rect->bottom); }

    // ---- Fills and frames
    // Fills with a solid colour; the DC's background colour is left as it was.
    void FillSolidRect(LPCRECT rect, COLORREF color);
    void FillSolidRect(int x, int y, int width, int height, COLORREF color);
    void FillRect(LPCRECT rect, CBrush* brush) { ::FillRect(m_hDC, rect, *brush); }
    void FillRect(LPCRECT rect, HBRUSH brush) { ::FillRect(m_hDC, rect, brush); }
    void FrameRect(LPCRECT rect, CBrush* brush) { ::FrameRect(m_hDC, rect, *brush); }
    void FrameRect(LPCRECT rect, HBRUSH brush) { ::FrameRect(m_hDC, rect, brush); }
    void InvertRect(LPCRECT rect) { ::InvertRect(m_hDC, rect); }
    // A one-pixel frame just inside the rectangle: top and left edges in topLeft, bottom and
    // right edges in bottomRight.
    void Draw3dRect(LPCRECT rect, COLORREF topLeft, COLORREF bottomRight);
    void Draw3dRect(int x, int y, int width, int height, COLORREF topLeft, COLORREF bottomRight);
    BOOL GradientFill(TRIVERTEX* vertices, ULONG vertexCount, void* mesh, ULONG meshCount, DWORD mode)
    {
        return ::GradientFill(m_hDC, vertices, vertexCount, mesh, meshCount, mode);
    }
    // Two-colour linear gradient over rect: top to bottom when vertical, else left to right.
    BOOL FillGradientRect(LPCRECT rect, COLORREF from, COLORREF to, bool vertical);
    void DrawFocusRect(LPCRECT rect) { ::DrawFocusRect(m_hDC, rect); }
    BOOL DrawEdge(LPRECT rect, UINT edge, UINT flags) { return ::DrawEdge(m_hDC, rect, edge, flags); }
    BOOL DrawFrameControl(LPRECT rect, UINT type, UINT state) { return ::DrawFrameControl(m_hDC, rect, type, state); }

    // ---- Block transfers
    BOOL BitBlt(int x, int y, int width, int height, CDC* source, int xSource, int ySource, DWORD rop);
    BOOL StretchBlt(int x, int y, int width, int height, CDC* source, int xSource, int ySource,
                    int sourceWidth, int sourceHeight, DWORD rop);
    BOOL TransparentBlt(int x, int y, int width, int height, CDC* source, int xSource, int ySource,
                        int sourceWidth, int sourceHeight, UINT transparentColor);
    BOOL AlphaBlend(int x, int y, int width, int height, CDC* source, int xSource, int ySource,
                    int sourceWidth, int sourceHeight, BLENDFUNCTION blend);
    BOOL PatBlt(int x, int y, int width, int height, DWORD rop) { return ::PatBlt(m_hDC, x, y, width, height, rop); }

    // ---- Icons and states
    BOOL DrawIcon(int x, int y, HICON icon) { return ::DrawIcon(m_hDC, x, y, icon); }
    BOOL DrawIcon(POINT point, HICON icon) { return ::DrawIcon(m_hDC, point.x, point.y, icon); }
    BOOL DrawIconEx(int x, int y, HICON icon, int width, int height, UINT step = 0,
                    HBRUSH flickerFree = nullptr, UINT flags = DI_NORMAL)
    {
        return ::DrawIconEx(m_hDC, x, y, icon, width, height, step, flickerFree, flags);
    }
    BOOL DrawIconEx(POINT point, HICON icon, SIZE size, UINT step = 0, HBRUSH flickerFree = nullptr,
                    UINT flags = DI_NORMAL)
    {
        return ::DrawIconEx(m_hDC, point.x, point.y, icon, size.cx, size.cy, step, flickerFree, flags);
    }
    // The DST_ type is implied by the image argument; flags carry the DSS_ state.
    BOOL DrawState(POINT point, SIZE size, HICON icon, UINT flags, HBRUSH brush = nullptr);
    BOOL DrawState(POINT point, SIZE size, HICON icon, UINT flags, CBrush* brush);
    BOOL DrawState(POINT point, SIZE size, HBITMAP bitmap, UINT flags, HBRUSH brush = nullptr);
    BOOL DrawState(POINT point, SIZE size, CBitmap* bitmap, UINT flags, HBRUSH brush = nullptr);
    BOOL DrawState(POINT point, SIZE size, LPCWSTR text, UINT flags, BOOL prefixText = TRUE,
                   int textLength = 0, HBRUSH brush = nullptr);

    // ---- Text
    int DrawText(LPCWSTR text, int count, LPRECT rect, UINT format) { return ::DrawTextW(m_hDC, text, count, rect, format); }
    int DrawText(const CString& text, LPRECT rect, UINT format);
    BOOL TextOut(int x, int y, LPCWSTR text, int count) { return ::TextOutW(m_hDC, x, y, text, count); }
    BOOL TextOut(int x, int y, const CString& text);
    BOOL ExtTextOut(int x, int y, UINT options, LPCRECT rect, LPCWSTR text, UINT count, const INT* dx = nullptr)
    {
        return ::ExtTextOutW(m_hDC, x, y, options, rect, text, count, dx);
    }
    BOOL ExtTextOut(int x, int y, UINT options, LPCRECT rect, const CString& text, const INT* dx = nullptr);
    CSize GetTextExtent(LPCWSTR text, int count) const;
    CSize GetTextExtent(const CString& text) const;
    BOOL GetTextMetrics(LPTEXTMETRICW metrics) const { return ::GetTextMetricsW(m_hDC, metrics); }

    HDC m_hDC = nullptr;

protected:
    template <class TObject, class THandle> friend class CTempHandleMap;
    void AttachTemporary(HDC hdc) { m_hDC = hdc; }
    void DetachTemporary() { m_hDC = nullptr; }
};

// BeginPaint/EndPaint for a window's WM_PAINT handler.
class FW_API CPaintDC : public CDC {
    DECLARE_DYNAMIC(CPaintDC)
public:
    explicit CPaintDC(CWnd* wnd);
    explicit CPaintDC(HWND hwnd);
    ~CPaintDC() override;

    PAINTSTRUCT m_ps = {};

protected:
    HWND m_hWnd = nullptr;
};

// The client area's DC (GetDC/ReleaseDC).
class FW_API CClientDC : public CDC {
    DECLARE_DYNAMIC(CClientDC)
public:
    explicit CClientDC(CWnd* wnd);
    explicit CClientDC(HWND hwnd);
    ~CClientDC() override;

protected:
    HWND m_hWnd = nullptr;
};

// The whole window's DC including the non-client area (GetWindowDC/ReleaseDC).
class FW_API CWindowDC : public CDC {
    DECLARE_DYNAMIC(CWindowDC)
public:
    explicit CWindowDC(CWnd* wnd);
    explicit CWindowDC(HWND hwnd);
    ~CWindowDC() override;

protected:
    HWND m_hWnd = nullptr;
};

// Off-screen drawing for flicker-free painting: a memory DC with a bitmap the size of rect,
// whose logical coordinates equal the target's, so painters draw as if on the target. The
// picture reaches the target when Flush is called or the buffer is destroyed. If the buffer
// cannot be made, it draws straight to the target instead.
class FW_API CBufferDC : public CDC {
    DECLARE_DYNAMIC(CBufferDC)
public:
    CBufferDC(CDC* target, LPCRECT rect);
    ~CBufferDC() override;

    // Copies the picture to the target now; later drawing is copied again at destruction.
    void Flush();
    bool IsBuffered() const { return m_buffered; }

private:
    CDC* m_target;
    CRect m_rect;
    CBitmap m_bitmap;
    HGDIOBJ m_oldBitmap = nullptr;
    bool m_buffered = false;
};

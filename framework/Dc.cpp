// Device contexts: the CDC drawing wrapper, paint/client/window DCs and an off-screen buffer.
#include "Dc.h"
#include "TempHandleMap.h"
#include "Wnd.h"

IMPLEMENT_DYNAMIC(CDC, CObject)
IMPLEMENT_DYNAMIC(CPaintDC, CDC)
IMPLEMENT_DYNAMIC(CClientDC, CDC)
IMPLEMENT_DYNAMIC(CWindowDC, CDC)
IMPLEMENT_DYNAMIC(CBufferDC, CDC)

namespace {

HDC SourceHdc(CDC* source)
{
    return source ? source->GetSafeHdc() : nullptr;
}

} // namespace

// ---- CDC

CDC::~CDC()
{
    DeleteDC();
}

CDC* CDC::FromHandle(HDC hdc)
{
    return CTempHandleMap<CDC, HDC>::Get(hdc);
}

void CDC::DeleteTempMap()
{
    CTempHandleMap<CDC, HDC>::Clear();
}

BOOL CDC::Attach(HDC hdc)
{
    if (hdc == nullptr || m_hDC != nullptr)
        return FALSE;
    m_hDC = hdc;
    return TRUE;
}

HDC CDC::Detach()
{
    HDC hdc = m_hDC;
    m_hDC = nullptr;
    return hdc;
}

BOOL CDC::CreateCompatibleDC(CDC* dc)
{
    return Attach(::CreateCompatibleDC(dc ? dc->GetSafeHdc() : nullptr));
}

BOOL CDC::DeleteDC()
{
    if (m_hDC == nullptr)
        return FALSE;
    return ::DeleteDC(Detach());
}

CPen* CDC::SelectObject(CPen* pen)
{
    if (pen == nullptr)
        return nullptr;
    return CPen::FromHandle(static_cast<HPEN>(::SelectObject(m_hDC, pen->GetSafeHandle())));
}

CBrush* CDC::SelectObject(CBrush* brush)
{
    if (brush == nullptr)
        return nullptr;
    return CBrush::FromHandle(static_cast<HBRUSH>(::SelectObject(m_hDC, brush->GetSafeHandle())));
}

CFont* CDC::SelectObject(CFont* font)
{
    if (font == nullptr)
        return nullptr;
    return CFont::FromHandle(static_cast<HFONT>(::SelectObject(m_hDC, font->GetSafeHandle())));
}

CBitmap* CDC::SelectObject(CBitmap* bitmap)
{
    if (bitmap == nullptr)
        return nullptr;
    return CBitmap::FromHandle(static_cast<HBITMAP>(::SelectObject(m_hDC, bitmap->GetSafeHandle())));
}

int CDC::SelectObject(CRgn* region)
{
    if (region == nullptr)
        return ERROR;
    return static_cast<int>(reinterpret_cast<INT_PTR>(::SelectObject(m_hDC, region->GetSafeHandle())));
}

CGdiObject* CDC::SelectObject(CGdiObject* object)
{
    if (object == nullptr)
        return nullptr;
    return CGdiObject::FromHandle(::SelectObject(m_hDC, object->GetSafeHandle()));
}

CGdiObject* CDC::SelectStockObject(int index)
{
    HGDIOBJ stock = ::GetStockObject(index);
    if (stock == nullptr)
        return nullptr;
    return CGdiObject::FromHandle(::SelectObject(m_hDC, stock));
}

CPoint CDC::SetViewportOrg(int x, int y)
{
    POINT old = {};
    ::SetViewportOrgEx(m_hDC, x, y, &old);
    return old;
}

CPoint CDC::OffsetViewportOrg(int dx, int dy)
{
    POINT old = {};
    ::OffsetViewportOrgEx(m_hDC, dx, dy, &old);
    return old;
}

CPoint CDC::GetViewportOrg() const
{
    POINT origin = {};
    ::GetViewportOrgEx(m_hDC, &origin);
    return origin;
}

CPoint CDC::SetWindowOrg(int x, int y)
{
    POINT old = {};
    ::SetWindowOrgEx(m_hDC, x, y, &old);
    return old;
}

CPoint CDC::GetWindowOrg() const
{
    POINT origin = {};
    ::GetWindowOrgEx(m_hDC, &origin);
    return origin;
}

CPoint CDC::MoveTo(int x, int y)
{
    POINT old = {};
    ::MoveToEx(m_hDC, x, y, &old);
    return old;
}

CPoint CDC::GetCurrentPosition() const
{
    POINT position = {};
    ::GetCurrentPositionEx(m_hDC, &position);
    return position;
}

void CDC::FillSolidRect(LPCRECT rect, COLORREF color)
{
    COLORREF old = ::SetBkColor(m_hDC, color);
    ::ExtTextOutW(m_hDC, 0, 0, ETO_OPAQUE, rect, nullptr, 0, nullptr);
    ::SetBkColor(m_hDC, old);
}

void CDC::FillSolidRect(int x, int y, int width, int height, COLORREF color)
{
    RECT rect = {x, y, x + width, y + height};
    FillSolidRect(&rect, color);
}

void CDC::Draw3dRect(LPCRECT rect, COLORREF topLeft, COLORREF bottomRight)
{
    Draw3dRect(rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top, topLeft, bottomRight);
}

void CDC::Draw3dRect(int x, int y, int width, int height, COLORREF topLeft, COLORREF bottomRight)
{
    if (width <= 0 || height <= 0)
        return;
    FillSolidRect(x, y, width - 1, 1, topLeft);
    FillSolidRect(x, y, 1, height - 1, topLeft);
    FillSolidRect(x + width - 1, y, 1, height, bottomRight);
    FillSolidRect(x, y + height - 1, width, 1, bottomRight);
}

BOOL CDC::FillGradientRect(LPCRECT rect, COLORREF from, COLORREF to, bool vertical)
{
    TRIVERTEX vertices[2] = {};
    vertices[0].x = rect->left;
    vertices[0].y = rect->top;
    vertices[0].Red = static_cast<COLOR16>(GetRValue(from) << 8);
    vertices[0].Green = static_cast<COLOR16>(GetGValue(from) << 8);
    vertices[0].Blue = static_cast<COLOR16>(GetBValue(from) << 8);
    vertices[1].x = rect->right;
    vertices[1].y = rect->bottom;
    vertices[1].Red = static_cast<COLOR16>(GetRValue(to) << 8);
    vertices[1].Green = static_cast<COLOR16>(GetGValue(to) << 8);
    vertices[1].Blue = static_cast<COLOR16>(GetBValue(to) << 8);
    GRADIENT_RECT mesh = {0, 1};
    return ::GradientFill(m_hDC, vertices, 2, &mesh, 1, vertical ? GRADIENT_FILL_RECT_V : GRADIENT_FILL_RECT_H);
}

BOOL CDC::BitBlt(int x, int y, int width, int height, CDC* source, int xSource, int ySource, DWORD rop)
{
    return ::BitBlt(m_hDC, x, y, width, height, SourceHdc(source), xSource, ySource, rop);
}

BOOL CDC::StretchBlt(int x, int y, int width, int height, CDC* source, int xSource, int ySource,
                     int sourceWidth, int sourceHeight, DWORD rop)
{
    return ::StretchBlt(m_hDC, x, y, width, height, SourceHdc(source), xSource, ySource, sourceWidth,
                        sourceHeight, rop);
}

BOOL CDC::TransparentBlt(int x, int y, int width, int height, CDC* source, int xSource, int ySource,
                         int sourceWidth, int sourceHeight, UINT transparentColor)
{
    return ::TransparentBlt(m_hDC, x, y, width, height, SourceHdc(source), xSource, ySource, sourceWidth,
                            sourceHeight, transparentColor);
}

BOOL CDC::AlphaBlend(int x, int y, int width, int height, CDC* source, int xSource, int ySource,
                     int sourceWidth, int sourceHeight, BLENDFUNCTION blend)
{
    return ::AlphaBlend(m_hDC, x, y, width, height, SourceHdc(source), xSource, ySource, sourceWidth,
                        sourceHeight, blend);
}

BOOL CDC::DrawState(POINT point, SIZE size, HICON icon, UINT flags, HBRUSH brush)
{
    return ::DrawStateW(m_hDC, brush, nullptr, reinterpret_cast<LPARAM>(icon), 0, point.x, point.y, size.cx,
                        size.cy, (flags & ~0x000FU) | DST_ICON);
}

BOOL CDC::DrawState(POINT point, SIZE size, HICON icon, UINT flags, CBrush* brush)
{
    return DrawState(point, size, icon, flags, brush ? static_cast<HBRUSH>(*brush) : nullptr);
}

BOOL CDC::DrawState(POINT point, SIZE size, HBITMAP bitmap, UINT flags, HBRUSH brush)
{
    return ::DrawStateW(m_hDC, brush, nullptr, reinterpret_cast<LPARAM>(bitmap), 0, point.x, point.y, size.cx,
                        size.cy, (flags & ~0x000FU) | DST_BITMAP);
}

BOOL CDC::DrawState(POINT point, SIZE size, CBitmap* bitmap, UINT flags, HBRUSH brush)
{
    return DrawState(point, size, bitmap ? static_cast<HBITMAP>(*bitmap) : nullptr, flags, brush);
}

BOOL CDC::DrawState(POINT point, SIZE size, LPCWSTR text, UINT flags, BOOL prefixText, int textLength,
                    HBRUSH brush)
{
    UINT type = prefixText ? DST_PREFIXTEXT : DST_TEXT;
    return ::DrawStateW(m_hDC, brush, nullptr, reinterpret_cast<LPARAM>(text), static_cast<WPARAM>(textLength),
                        point.x, point.y, size.cx, size.cy, (flags & ~0x000FU) | type);
}

int CDC::DrawText(const CString& text, LPRECT rect, UINT format)
{
    return ::DrawTextW(m_hDC, text, text.GetLength(), rect, format);
}

BOOL CDC::TextOut(int x, int y, const CString& text)
{
    return ::TextOutW(m_hDC, x, y, text, text.GetLength());
}

BOOL CDC::ExtTextOut(int x, int y, UINT options, LPCRECT rect, const CString& text, const INT* dx)
{
    return ::ExtTextOutW(m_hDC, x, y, options, rect, text, static_cast<UINT>(text.GetLength()), dx);
}

CSize CDC::GetTextExtent(LPCWSTR text, int count) const
{
    SIZE size = {};
    if (count < 0)
        count = text ? lstrlenW(text) : 0;
    ::GetTextExtentPoint32W(m_hDC, text, count, &size);
    return size;
}

CSize CDC::GetTextExtent(const CString& text) const
{
    return GetTextExtent(text, text.GetLength());
}

// ---- CPaintDC, CClientDC, CWindowDC

CPaintDC::CPaintDC(CWnd* wnd) : CPaintDC(wnd ? wnd->GetSafeHwnd() : nullptr)
{
}

CPaintDC::CPaintDC(HWND hwnd) : m_hWnd(hwnd)
{
    if (hwnd)
        Attach(::BeginPaint(hwnd, &m_ps));
}

CPaintDC::~CPaintDC()
{
    if (m_hWnd && m_hDC) {
        ::EndPaint(m_hWnd, &m_ps);
        Detach();
    }
}

CClientDC::CClientDC(CWnd* wnd) : CClientDC(wnd ? wnd->GetSafeHwnd() : nullptr)
{
}

CClientDC::CClientDC(HWND hwnd) : m_hWnd(hwnd)
{
    Attach(::GetDC(hwnd));
}

CClientDC::~CClientDC()
{
    if (m_hDC)
        ::ReleaseDC(m_hWnd, Detach());
}

CWindowDC::CWindowDC(CWnd* wnd) : CWindowDC(wnd ? wnd->GetSafeHwnd() : nullptr)
{
}

CWindowDC::CWindowDC(HWND hwnd) : m_hWnd(hwnd)
{
    Attach(::GetWindowDC(hwnd));
}

CWindowDC::~CWindowDC()
{
    if (m_hDC)
        ::ReleaseDC(m_hWnd, Detach());
}

// ---- CBufferDC

CBufferDC::CBufferDC(CDC* target, LPCRECT rect) : m_target(target), m_rect(rect)
{
    if (target == nullptr)
        return;
    if (!m_rect.IsRectEmpty() && CreateCompatibleDC(target)) {
        if (m_bitmap.CreateCompatibleBitmap(target, m_rect.Width(), m_rect.Height())) {
            m_oldBitmap = ::SelectObject(m_hDC, m_bitmap);
            ::SetWindowOrgEx(m_hDC, m_rect.left, m_rect.top, nullptr);
            // Painters expect the target's font, colours and modes.
            ::SelectObject(m_hDC, ::GetCurrentObject(*target, OBJ_FONT));
            ::SelectObject(m_hDC, ::GetCurrentObject(*target, OBJ_PEN));
            ::SelectObject(m_hDC, ::GetCurrentObject(*target, OBJ_BRUSH));
            ::SetTextColor(m_hDC, target->GetTextColor());
            ::SetBkColor(m_hDC, target->GetBkColor());
            ::SetBkMode(m_hDC, target->GetBkMode());
            m_buffered = true;
            return;
        }
        DeleteDC();
    }
    Attach(target->GetSafeHdc());
}

CBufferDC::~CBufferDC()
{
    if (!m_buffered) {
        Detach();
        return;
    }
    Flush();
    // Hand the target's objects back before the memory DC goes.
    ::SelectObject(m_hDC, ::GetStockObject(SYSTEM_FONT));
    ::SelectObject(m_hDC, ::GetStockObject(BLACK_PEN));
    ::SelectObject(m_hDC, ::GetStockObject(WHITE_BRUSH));
    ::SelectObject(m_hDC, m_oldBitmap);
    DeleteDC();
}

void CBufferDC::Flush()
{
    if (!m_buffered)
        return;
    ::BitBlt(*m_target, m_rect.left, m_rect.top, m_rect.Width(), m_rect.Height(), m_hDC, m_rect.left,
             m_rect.top, SRCCOPY);
}

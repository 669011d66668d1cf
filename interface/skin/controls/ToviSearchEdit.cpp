// CToviSearchEdit: frame painting, state tracking and the search request.
#include "ToviSearchEdit.h"
#include "Dc.h"
#include "SkinRes.h"
#include "VImageList.h"
#include <gdiplus.h>

IMPLEMENT_DYNAMIC(CToviSearchEdit, CEdit)

BEGIN_MESSAGE_MAP(CToviSearchEdit, CEdit)
    ON_WM_ERASEBKGND()
    ON_WM_CTLCOLOR_REFLECT()
    ON_WM_SETCURSOR()
    ON_WM_GETDLGCODE()
END_MESSAGE_MAP()

namespace {
Gdiplus::Color FromArgb(DWORD argb)
{
    return Gdiplus::Color((BYTE)(argb >> 24), (BYTE)(argb >> 16), (BYTE)(argb >> 8), (BYTE)argb);
}

void RoundBox(Gdiplus::GraphicsPath* path, const Gdiplus::RectF& r, float d)
{
    if (d > r.Height)
        d = r.Height;
    path->AddArc(r.X, r.Y, d, d, 90.0f, 180.0f);
    path->AddArc(r.X + r.Width - d, r.Y, d, d, 270.0f, 180.0f);
    path->CloseFigure();
}
}

CToviSearchEdit::CToviSearchEdit() = default;

CToviSearchEdit::~CToviSearchEdit()
{
    if (m_hIconSearchGray)
        ::DestroyIcon(m_hIconSearchGray);
    m_brushBack.DeleteObject();
}

void CToviSearchEdit::PreSubclassWindow()
{
    m_hIconFocus = CVImageList::GetIcon(IDI_SEARCH_FOCUS, 16, 16);
    m_hIconIdle = CVImageList::GetIcon(IDI_SEARCH_IDLE, 16, 16);
    m_hIconSearch = CVImageList::GetIcon(IDI_SEARCH_GO, 16, 16);
    if (m_hIconSearchGray)
        ::DestroyIcon(m_hIconSearchGray);
    m_hIconSearchGray = CVImageList::CreateGrayscaleIcon(m_hIconSearch);
    CEdit::PreSubclassWindow();
}

BOOL CToviSearchEdit::PreTranslateMessage(MSG* pMsg)
{
    return CEdit::PreTranslateMessage(pMsg);
}

void CToviSearchEdit::SetWidnowArea(int width, int height)
{
    m_rectArea = CRect(0, 0, width, height);
    int cy = 12;
    if (m_hWnd) {
        HDC dc = ::GetDC(m_hWnd);
        HGDIOBJ old = ::SelectObject(dc, (HFONT)SendMessage(WM_GETFONT));
        SIZE size = {};
        ::GetTextExtentPoint32W(dc, L"abcd", 4, &size);
        ::SelectObject(dc, old);
        ::ReleaseDC(m_hWnd, dc);
        cy = size.cy;
    }
    const int d = (height - cy) / 2;
    m_rectText = CRect(26, d, width - 23, height - d);
    m_rectSearch = CRect(width - 22, 4, width - 6, 20);
    ResizeWindow();
}

void CToviSearchEdit::ResizeWindow()
{
    if (m_hWnd == nullptr)
        return;
    SetWindowPos(&CWnd::wndTop, m_rectArea.left, m_rectArea.top, m_rectArea.Width(), m_rectArea.Height(),
                 SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessage(EM_SETRECT, 0, (LPARAM)&m_rectText);
}

COLORREF CToviSearchEdit::GetStateTextColor() const
{
    if (m_bFocus)
        return 0x000000;
    return m_bHover ? 0x787878 : 0xA0A0A0;
}

void CToviSearchEdit::Repaint()
{
    Invalidate(TRUE);
}

void CToviSearchEdit::DoSearch()
{
    if (GetWindowTextLength() == 0)
        return;
    HWND target = ::GetWindow(m_hWnd, GW_OWNER);
    if (target == nullptr)
        target = ::GetParent(m_hWnd);
    if (target)
        ::SendMessage(target, WM_DO_SEARCH, 0, 0);
}

LRESULT CToviSearchEdit::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SETFOCUS:
        m_bFocus = true;
        break;
    case WM_KILLFOCUS:
        m_bFocus = false;
        Repaint();
        break;
    case WM_KEYDOWN:
        if (wParam == VK_RETURN) {
            DoSearch();
            return 0;
        }
        Repaint();
        break;
    case WM_MOUSEMOVE:
        if (!m_bHoverTracking) {
            TRACKMOUSEEVENT tme = { sizeof(tme), TME_HOVER | TME_LEAVE, m_hWnd, 1 };
            m_bHoverTracking = ::TrackMouseEvent(&tme) != FALSE;
        }
        break;
    case WM_LBUTTONDOWN: {
        POINT pt = { (short)LOWORD(lParam), (short)HIWORD(lParam) };
        if (m_rectSearch.PtInRect(pt)) {
            DoSearch();
            return 0;
        }
        break;
    }
    case WM_MOUSEHOVER:
        m_bHover = true;
        Repaint();
        break;
    case WM_MOUSELEAVE:
        m_bHover = false;
        m_bHoverTracking = false;
        Repaint();
        break;
    default:
        break;
    }
    return CEdit::WindowProc(message, wParam, lParam);
}

UINT CToviSearchEdit::OnGetDlgCode()
{
    // Enter is the search key, also inside a dialog.
    return (UINT)Default() | DLGC_WANTALLKEYS;
}

BOOL CToviSearchEdit::OnEraseBkgnd(CDC* pDC)
{
    CRect client;
    GetClientRect(&client);
    const int w = client.Width(), h = client.Height();
    if (w <= 0 || h <= 0)
        return TRUE;
    CDC mem;
    mem.CreateCompatibleDC(pDC);
    CBitmap bitmap;
    bitmap.CreateCompatibleBitmap(pDC, w, h);
    CBitmap* old = mem.SelectObject(&bitmap);
    mem.FillGradientRect(&client, RGB(0xF5, 0xF5, 0xF5), RGB(0xEF, 0xEF, 0xEF), true);
    {
        Gdiplus::Graphics g(mem.GetSafeHdc());
        g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
        Gdiplus::RectF box(1.0f, 1.0f, (float)(w - 1) - 2.0f, (float)(h - 1) - 2.0f);
        Gdiplus::GraphicsPath path;
        RoundBox(&path, box, 20.0f);
        Gdiplus::SolidBrush white(Gdiplus::Color(255, 255, 255, 255));
        g.FillPath(&white, &path);
        DWORD outer = 0xFFD2D2D2, inner = 0;
        if (m_bFocus) {
            outer = 0xFF598AC4;
            inner = 0x3C598AC4;
        } else if (m_bHover) {
            outer = 0xFFA0A0A0;
            inner = 0x3CA0A0A0;
        }
        Gdiplus::Pen outerPen(FromArgb(outer), 1.0f);
        g.DrawPath(&outerPen, &path);
        if (inner) {
            Gdiplus::GraphicsPath innerPath;
            RoundBox(&innerPath, Gdiplus::RectF(box.X + 1.0f, box.Y + 1.0f, box.Width - 2.0f, box.Height - 2.0f), 18.0f);
            Gdiplus::Pen innerPen(FromArgb(inner), 1.0f);
            g.DrawPath(&innerPen, &innerPath);
        }
    }
    HICON magnifier = m_bFocus ? m_hIconFocus : m_hIconIdle;
    if (magnifier)
        ::DrawIconEx(mem.GetSafeHdc(), 6, 5, magnifier, 16, 16, 0, nullptr, DI_NORMAL);
    HICON search = nullptr;
    if (m_bFocus || m_bHover)
        search = m_hIconSearch;
    else if (GetWindowTextLength() > 0)
        search = m_hIconSearchGray;
    if (search)
        ::DrawIconEx(mem.GetSafeHdc(), m_rectSearch.left, m_rectSearch.top, search, 16, 16, 0, nullptr, DI_NORMAL);
    pDC->BitBlt(0, 0, w, h, &mem, 0, 0, SRCCOPY);
    mem.SelectObject(old);
    return TRUE;
}

HBRUSH CToviSearchEdit::CtlColor(CDC* pDC, UINT)
{
    pDC->SetBkColor(0xFFFFFF);
    pDC->SetTextColor(GetStateTextColor());
    return (HBRUSH)::GetStockObject(NULL_BRUSH);
}

BOOL CToviSearchEdit::OnSetCursor(CWnd*, UINT, UINT)
{
    POINT pt;
    ::GetCursorPos(&pt);
    ScreenToClient(&pt);
    if (m_rectText.PtInRect(pt))
        return (BOOL)Default();
    ::SetCursor(::LoadCursor(nullptr, IDC_ARROW));
    return TRUE;
}

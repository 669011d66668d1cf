// CWnd members that hand out GDI and menu wrappers.
#include "Wnd.h"
#include "Dc.h"
#include "Gdi.h"
#include "Menu.h"

void CWnd::SetFont(CFont* pFont, BOOL bRedraw)
{
    ::SendMessage(m_hWnd, WM_SETFONT, (WPARAM)(pFont ? pFont->GetSafeHandle() : nullptr), bRedraw);
}

CFont* CWnd::GetFont() const
{
    HFONT font = (HFONT)::SendMessage(m_hWnd, WM_GETFONT, 0, 0);
    return font ? CFont::FromHandle(font) : nullptr;
}

CDC* CWnd::GetDC()
{
    HDC hdc = ::GetDC(m_hWnd);
    return hdc ? CDC::FromHandle(hdc) : nullptr;
}

CDC* CWnd::GetWindowDC()
{
    HDC hdc = ::GetWindowDC(m_hWnd);
    return hdc ? CDC::FromHandle(hdc) : nullptr;
}

int CWnd::ReleaseDC(CDC* pDC)
{
    return pDC ? ::ReleaseDC(m_hWnd, pDC->GetSafeHdc()) : 0;
}

void CWnd::InvalidateRgn(CRgn* pRgn, BOOL bErase)
{
    ::InvalidateRgn(m_hWnd, pRgn ? (HRGN)pRgn->GetSafeHandle() : nullptr, bErase);
}

BOOL CWnd::RedrawWindow(LPCRECT lpRectUpdate, CRgn* prgnUpdate, UINT flags)
{
    return ::RedrawWindow(m_hWnd, lpRectUpdate, prgnUpdate ? (HRGN)prgnUpdate->GetSafeHandle() : nullptr, flags);
}

CMenu* CWnd::GetMenu() const
{
    HMENU menu = ::GetMenu(m_hWnd);
    return menu ? CMenu::FromHandle(menu) : nullptr;
}

BOOL CWnd::SetMenu(CMenu* pMenu)
{
    return ::SetMenu(m_hWnd, pMenu ? pMenu->GetSafeHmenu() : nullptr);
}

CMenu* CWnd::GetSystemMenu(BOOL bRevert) const
{
    HMENU menu = ::GetSystemMenu(m_hWnd, bRevert);
    return menu ? CMenu::FromHandle(menu) : nullptr;
}

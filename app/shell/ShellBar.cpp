// CShellBar: a dialog bar of fixed height with a gradient background.
#include "ShellBar.h"
#include "Dc.h"
#include "Gdi.h"

IMPLEMENT_DYNAMIC(CShellBar, CDialogBar)

BEGIN_MESSAGE_MAP(CShellBar, CDialogBar)
    ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

CShellBar::CShellBar(int height, COLORREF top, COLORREF bottom) : m_nHeight(height), m_clrTop(top), m_clrBottom(bottom) {}

CSize CShellBar::CalcFixedLayout(BOOL bStretch, BOOL bHorz)
{
    CSize size = CDialogBar::CalcFixedLayout(bStretch, bHorz);
    size.cy = m_nHeight;
    return size;
}

void CShellBar::OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler)
{
    if (!m_bOwnButtonStates)
        CDialogBar::OnUpdateCmdUI(pTarget, bDisableIfNoHndler);
}

void FillVerticalGradient(HDC dc, const RECT& rect, COLORREF top, COLORREF bottom)
{
    CDC::FromHandle(dc)->FillGradientRect(&rect, top, bottom, true);
}

void CShellBar::PaintBackground(CDC* pDC, const CRect& rect)
{
    FillVerticalGradient(pDC->m_hDC, rect, m_clrTop, m_clrBottom);
    if (m_bBottomLine) {
        HPEN pen = ::CreatePen(PS_SOLID, 1, RGB(0xA4, 0xA4, 0xA4));
        HGDIOBJ old = ::SelectObject(pDC->m_hDC, pen);
        ::MoveToEx(pDC->m_hDC, rect.left, rect.bottom - 1, nullptr);
        ::LineTo(pDC->m_hDC, rect.right, rect.bottom - 1);
        ::SelectObject(pDC->m_hDC, old);
        ::DeleteObject(pen);
    }
}

BOOL CShellBar::OnEraseBkgnd(CDC* pDC)
{
    CRect rect;
    GetClientRect(&rect);
    if (rect.IsRectEmpty())
        return TRUE;
    // Drawn off screen and copied in one step, so the bar does not flicker while it sizes.
    HDC memory = ::CreateCompatibleDC(pDC->m_hDC);
    HBITMAP bitmap = ::CreateCompatibleBitmap(pDC->m_hDC, rect.Width(), rect.Height());
    HGDIOBJ oldBitmap = ::SelectObject(memory, bitmap);
    CDC memoryDC;
    memoryDC.Attach(memory);
    PaintBackground(&memoryDC, rect);
    memoryDC.Detach();
    ::BitBlt(pDC->m_hDC, 0, 0, rect.Width(), rect.Height(), memory, 0, 0, SRCCOPY);
    ::SelectObject(memory, oldBitmap);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    return TRUE;
}

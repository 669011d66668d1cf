// CStatusBarDlg: the status bar.
#include "StatusBarDlg.h"
#include "Dc.h"

IMPLEMENT_DYNAMIC(CStatusBarDlg, CShellBar)

CStatusBarDlg::CStatusBarDlg() : CShellBar(33, RGB(0xF4, 0xF4, 0xF4), RGB(0xDD, 0xDD, 0xDD))
{
    m_bBottomLine = FALSE;
}

void CStatusBarDlg::SetStatusText(const CString& text)
{
    m_strText = text;
    if (m_hWnd != nullptr)
        Invalidate();
}

void CStatusBarDlg::PaintBackground(CDC* pDC, const CRect& rect)
{
    FillVerticalGradient(pDC->m_hDC, rect, m_clrTop, m_clrBottom);
    HPEN pen = ::CreatePen(PS_SOLID, 1, RGB(0xD2, 0xD2, 0xD2));
    HGDIOBJ oldPen = ::SelectObject(pDC->m_hDC, pen);
    ::MoveToEx(pDC->m_hDC, rect.left, rect.top, nullptr);
    ::LineTo(pDC->m_hDC, rect.right, rect.top);
    ::SelectObject(pDC->m_hDC, oldPen);
    ::DeleteObject(pen);
    if (m_strText.IsEmpty())
        return;
    HFONT font = reinterpret_cast<HFONT>(::SendMessageW(m_hWnd, WM_GETFONT, 0, 0));
    HGDIOBJ old = font ? ::SelectObject(pDC->m_hDC, font) : nullptr;
    ::SetBkMode(pDC->m_hDC, TRANSPARENT);
    ::SetTextColor(pDC->m_hDC, RGB(0x44, 0x44, 0x44));
    RECT text = {rect.left + 12, rect.top, rect.right - 24, rect.bottom};
    ::DrawTextW(pDC->m_hDC, m_strText, m_strText.GetLength(), &text, DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX);
    if (old)
        ::SelectObject(pDC->m_hDC, old);
}

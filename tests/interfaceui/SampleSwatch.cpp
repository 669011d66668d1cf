// CSampleSwatch: a static control painted in one colour through the reflected WM_CTLCOLORSTATIC.
#include "SampleSwatch.h"
#include "Dc.h"

IMPLEMENT_DYNAMIC(CSampleSwatch, CWnd)

BEGIN_MESSAGE_MAP(CSampleSwatch, CWnd)
    ON_WM_CTLCOLOR_REFLECT()
END_MESSAGE_MAP()

CSampleSwatch::~CSampleSwatch()
{
    if (m_hBrush)
        ::DeleteObject(m_hBrush);
}

void CSampleSwatch::SetColor(COLORREF color)
{
    m_color = color;
    if (m_hBrush) {
        ::DeleteObject(m_hBrush);
        m_hBrush = nullptr;
    }
    if (m_hWnd)
        Invalidate();
}

HBRUSH CSampleSwatch::CtlColor(CDC* pDC, UINT)
{
    ++m_nColorRequests;
    if (m_hBrush == nullptr)
        m_hBrush = ::CreateSolidBrush(m_color);
    pDC->SetBkColor(m_color);
    return m_hBrush;
}

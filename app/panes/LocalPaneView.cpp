// CLocalPaneView: the local pane views' shared window behaviour.
#include "LocalPaneView.h"
#include "Dc.h"

IMPLEMENT_DYNAMIC(CLocalPaneView, CView)

BEGIN_MESSAGE_MAP(CLocalPaneView, CView)
    ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

BOOL CLocalPaneView::PreCreateWindow(CREATESTRUCT& cs)
{
    cs.style |= WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
    return CView::PreCreateWindow(cs);
}

BOOL CLocalPaneView::OnEraseBkgnd(CDC* pDC)
{
    CRect rect;
    GetClientRect(&rect);
    HBRUSH brush = ::CreateSolidBrush(RGB(0xFB, 0xFB, 0xFB));
    ::FillRect(pDC->m_hDC, &rect, brush);
    ::DeleteObject(brush);
    return TRUE;
}

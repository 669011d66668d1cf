// CClientLeftView: the local folder tree pane (bottom left).
#include "ClientLeftView.h"
#include "Dc.h"

IMPLEMENT_DYNCREATE(CClientLeftView, CView)

BEGIN_MESSAGE_MAP(CClientLeftView, CView)
    ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

CClientLeftView::CClientLeftView() {}

void CClientLeftView::OnDraw(CDC*) {}

BOOL CClientLeftView::OnEraseBkgnd(CDC* pDC)
{
    CRect rect;
    GetClientRect(&rect);
    HBRUSH brush = ::CreateSolidBrush(RGB(0xFB, 0xFB, 0xFB));
    ::FillRect(pDC->m_hDC, &rect, brush);
    ::DeleteObject(brush);
    return TRUE;
}

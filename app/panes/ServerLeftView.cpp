// CServerLeftView: the server folder tree pane (top left).
#include "ServerLeftView.h"
#include "Dc.h"

IMPLEMENT_DYNCREATE(CServerLeftView, CView)

BEGIN_MESSAGE_MAP(CServerLeftView, CView)
    ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

CServerLeftView::CServerLeftView() {}

void CServerLeftView::OnDraw(CDC*) {}

BOOL CServerLeftView::OnEraseBkgnd(CDC* pDC)
{
    CRect rect;
    GetClientRect(&rect);
    HBRUSH brush = ::CreateSolidBrush(RGB(0xFF, 0xFF, 0xFF));
    ::FillRect(pDC->m_hDC, &rect, brush);
    ::DeleteObject(brush);
    return TRUE;
}

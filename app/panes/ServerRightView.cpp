// CServerRightView: the server file list pane (top right).
#include "ServerRightView.h"
#include "Dc.h"

IMPLEMENT_DYNCREATE(CServerRightView, CView)

BEGIN_MESSAGE_MAP(CServerRightView, CView)
    ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

CServerRightView::CServerRightView() {}

void CServerRightView::OnDraw(CDC*) {}

BOOL CServerRightView::OnEraseBkgnd(CDC* pDC)
{
    CRect rect;
    GetClientRect(&rect);
    HBRUSH brush = ::CreateSolidBrush(RGB(0xFF, 0xFF, 0xFF));
    ::FillRect(pDC->m_hDC, &rect, brush);
    ::DeleteObject(brush);
    return TRUE;
}

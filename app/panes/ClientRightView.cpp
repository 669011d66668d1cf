// CClientRightView: the local file list pane (bottom right).
#include "ClientRightView.h"
#include "Dc.h"

IMPLEMENT_DYNCREATE(CClientRightView, CView)

BEGIN_MESSAGE_MAP(CClientRightView, CView)
    ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

CClientRightView::CClientRightView() {}

void CClientRightView::OnDraw(CDC*) {}

BOOL CClientRightView::OnEraseBkgnd(CDC* pDC)
{
    CRect rect;
    GetClientRect(&rect);
    HBRUSH brush = ::CreateSolidBrush(RGB(0xFB, 0xFB, 0xFB));
    ::FillRect(pDC->m_hDC, &rect, brush);
    ::DeleteObject(brush);
    return TRUE;
}

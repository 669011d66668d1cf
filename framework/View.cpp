// CView: joining the document, painting through OnDraw, and activation within the frame.
#include "View.h"
#include "Dc.h"
#include "Document.h"
#include "FrameWnd.h"
#include "SplitterWnd.h"

IMPLEMENT_DYNAMIC(CView, CWnd)

BEGIN_MESSAGE_MAP(CView, CWnd)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_PAINT()
    ON_WM_MOUSEACTIVATE()
    ON_MESSAGE(WM_INITIALUPDATE, OnInitialUpdateMessage)
END_MESSAGE_MAP()

CView::CView() = default;

CView::~CView()
{
    if (m_pDocument)
        m_pDocument->RemoveView(this);
}

BOOL CView::PreCreateWindow(CREATESTRUCT& cs)
{
    if (cs.lpszClass == nullptr) {
        cs.lpszClass = RegisterClassFor(CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW, ::LoadCursor(nullptr, IDC_ARROW),
                                        (HBRUSH)(COLOR_WINDOW + 1));
        if (cs.lpszClass == nullptr)
            return FALSE;
    }
    return CWnd::PreCreateWindow(cs);
}

void CView::PostNcDestroy()
{
    delete this;
}

int CView::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CWnd::OnCreate(lpCreateStruct) == -1)
        return -1;
    auto* pContext = static_cast<CCreateContext*>(lpCreateStruct->lpCreateParams);
    if (pContext && pContext->m_pCurrentDoc)
        pContext->m_pCurrentDoc->AddView(this);
    return 0;
}

void CView::OnDestroy()
{
    // The frame must not keep pointing at a view that is going.
    CFrameWnd* pFrame = GetParentFrame();
    if (pFrame && pFrame->GetActiveView() == this)
        pFrame->SetActiveView(nullptr, FALSE);
    CWnd::OnDestroy();
}

void CView::OnPaint()
{
    CPaintDC dc(this);
    OnPrepareDC(&dc);
    OnDraw(&dc);
}

void CView::OnPrepareDC(CDC*)
{
}

void CView::OnDraw(CDC*)
{
}

int CView::OnMouseActivate(CWnd* pDesktopWnd, UINT nHitTest, UINT message)
{
    int result = CWnd::OnMouseActivate(pDesktopWnd, nHitTest, message);
    if (result == MA_NOACTIVATE || result == MA_NOACTIVATEANDEAT)
        return result;
    ActivateInParent();
    return result;
}

void CView::ActivateInParent()
{
    if (m_hWnd == nullptr)
        return;
    auto* pSplitter = DYNAMIC_DOWNCAST(CSplitterWnd, CWnd::FromHandlePermanent(::GetParent(m_hWnd)));
    int row = 0, col = 0;
    if (pSplitter && pSplitter->IsChildPane(this, &row, &col)) {
        pSplitter->SetActivePane(row, col, this);
        return;
    }
    if (CFrameWnd* pFrame = GetParentFrame())
        pFrame->SetActiveView(this);
}

LRESULT CView::OnInitialUpdateMessage(WPARAM, LPARAM)
{
    if (!m_bInitialUpdateDone) {
        m_bInitialUpdateDone = true;
        OnInitialUpdate();
    }
    return 0;
}

void CView::OnInitialUpdate()
{
    OnUpdate(nullptr, 0, nullptr);
}

void CView::OnUpdate(CView*, LPARAM, CObject*)
{
    if (m_hWnd)
        Invalidate(TRUE);
}

void CView::OnActivateView(BOOL, CView*, CView*)
{
}

BOOL CView::OnCmdMsg(UINT nID, int nCode, void* pExtra, FwCmdHandlerInfo* pHandlerInfo)
{
    if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    return m_pDocument != nullptr && m_pDocument->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

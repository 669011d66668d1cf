// CDocument: the list of views that show a document.
#include "Document.h"
#include "View.h"
#include <algorithm>

IMPLEMENT_DYNCREATE(CDocument, CCmdTarget)

BEGIN_MESSAGE_MAP(CDocument, CCmdTarget)
END_MESSAGE_MAP()

CDocument::CDocument() = default;

CDocument::~CDocument()
{
    for (CView* pView : m_views)
        pView->m_pDocument = nullptr;
    m_views.clear();
}

void CDocument::SetTitle(LPCTSTR lpszTitle)
{
    m_strTitle = lpszTitle ? lpszTitle : L"";
}

CView* CDocument::GetView(int nIndex) const
{
    return (nIndex >= 0 && nIndex < (int)m_views.size()) ? m_views[nIndex] : nullptr;
}

void CDocument::AddView(CView* pView)
{
    if (pView == nullptr || std::find(m_views.begin(), m_views.end(), pView) != m_views.end())
        return;
    if (pView->m_pDocument != nullptr && pView->m_pDocument != this)
        pView->m_pDocument->RemoveView(pView);
    m_views.push_back(pView);
    pView->m_pDocument = this;
    OnChangedViewList();
}

void CDocument::RemoveView(CView* pView)
{
    auto found = std::find(m_views.begin(), m_views.end(), pView);
    if (found == m_views.end())
        return;
    m_views.erase(found);
    pView->m_pDocument = nullptr;
    OnChangedViewList();
}

void CDocument::UpdateAllViews(CView* pSender, LPARAM lHint, CObject* pHint)
{
    // A view's update may make another view leave: walk a copy.
    std::vector<CView*> views = m_views;
    for (CView* pView : views) {
        if (pView != pSender && std::find(m_views.begin(), m_views.end(), pView) != m_views.end())
            pView->OnUpdate(pSender, lHint, pHint);
    }
}

void CDocument::OnChangedViewList()
{
    if (m_bAutoDelete && m_views.empty())
        delete this;
}

BOOL CDocument::OnNewDocument()
{
    m_bModified = FALSE;
    return TRUE;
}

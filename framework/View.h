// CView: a child window that shows a document inside a frame or a splitter pane.
//
// Views are created by run-time class (a splitter's CreateView or a frame's CreateView) with a
// CCreateContext naming their document; they belong to the UI thread that created them. A view
// is a heap object that deletes itself after its window is gone.
#pragma once
#include "Wnd.h"
#include "CreateContext.h"

class CDocument;
class CFrameWnd;
class CSplitterWnd;

class FW_API CView : public CWnd {
    DECLARE_DYNAMIC(CView)
public:
    CView();
    // Leaves the document.
    ~CView() override;

    CDocument* GetDocument() const { return m_pDocument; }

    // Called once, after the frame and the view's siblings exist (WM_INITIALUPDATE). The default
    // calls OnUpdate.
    virtual void OnInitialUpdate();
    // The document changed (UpdateAllViews); the default repaints the view.
    virtual void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint);
    // This view became (bActivate) or stopped being the frame's active view.
    virtual void OnActivateView(BOOL bActivate, CView* pActivateView, CView* pDeactiveView);
    // Paints the view; the DC is the paint DC after OnPrepareDC.
    virtual void OnDraw(CDC* pDC);
    virtual void OnPrepareDC(CDC* pDC);

    // Commands reach the view first, then its document.
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, FwCmdHandlerInfo* pHandlerInfo) override;
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    void PostNcDestroy() override;

    // Makes this view the active one: through its splitter's SetActivePane when a splitter holds
    // it (so a splitter that colours its active pane hears of it), else through its frame.
    void ActivateInParent();

protected:
    CDocument* m_pDocument = nullptr;
    bool m_bInitialUpdateDone = false;

    int OnCreate(LPCREATESTRUCT lpCreateStruct);
    void OnDestroy();
    void OnPaint();
    int OnMouseActivate(CWnd* pDesktopWnd, UINT nHitTest, UINT message);
    LRESULT OnInitialUpdateMessage(WPARAM wParam, LPARAM lParam);

    DECLARE_MESSAGE_MAP()
    friend class CDocument;
};

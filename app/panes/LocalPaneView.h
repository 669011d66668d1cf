// CLocalPaneView: what the two local pane views share as windows: their children are clipped,
// and the background that the control does not cover is the panes' light grey.
//
// GUI thread only.
#pragma once
#include "View.h"

class CLocalPaneView : public CView {
    DECLARE_DYNAMIC(CLocalPaneView)
protected:
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    BOOL OnEraseBkgnd(CDC* pDC);
    DECLARE_MESSAGE_MAP()
};

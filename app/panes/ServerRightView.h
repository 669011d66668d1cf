// CServerRightView: the server file list pane (top right). Until the panes issue fills it, the pane is an empty view that the
// frame creates, activates, clears and asks for its selected path.
#pragma once
#include "View.h"

class CServerRightView : public CView {
    DECLARE_DYNCREATE(CServerRightView)
public:
    CServerRightView();
    // Frees the items' records and empties the pane (log-out and shut-down).
    virtual void ClearPane() {}
    // The selected folder's path for the last-paths store; empty without a selection.
    virtual CString SelectedPath() const { return CString(); }

protected:
    void OnDraw(CDC* pDC) override;
    BOOL OnEraseBkgnd(CDC* pDC);
    DECLARE_MESSAGE_MAP()
};

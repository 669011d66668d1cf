// CServerLeftView: the server folder tree pane (top left). It owns the tree control, hands it the
// session after log-in and opens the folders the list asks for.
#pragma once
#include "ServerTreeCtrl.h"
#include "View.h"
#include <vector>

class CServerLeftView : public CView {
    DECLARE_DYNCREATE(CServerLeftView)
public:
    CServerLeftView();

    // The tree lists through proto and reports to frame; list receives each folder's content.
    void SetSession(CToviProto* proto, IServerFrameHost* frame, IServerListSide* list);
    // Frees the items' records and empties the pane (log-out and shut-down).
    virtual void ClearPane();
    // The selected folder's path for the last-paths store; empty without a selection.
    virtual CString SelectedPath() const;
    // Opens the folder named by names from the top level down, as far as they are found; the
    // first top-level folder when none is.
    void SelectServerNames(const std::vector<CString>& names);
    CServerTreeCtrl& Tree() { return m_tree; }

protected:
    void OnDraw(CDC* pDC) override;
    int OnCreate(LPCREATESTRUCT lpCreateStruct);
    void OnSize(UINT nType, int cx, int cy);
    void OnDestroy();
    void OnSetFocus(CWnd* oldWnd);
    BOOL OnEraseBkgnd(CDC* pDC);
    LRESULT OnOpenChildFolder(WPARAM record, LPARAM);
    DECLARE_MESSAGE_MAP()

private:
    CServerTreeCtrl m_tree;
};

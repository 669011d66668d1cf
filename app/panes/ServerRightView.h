// CServerRightView: the server file list pane (top right). It owns the list control and its
// data side (the filling worker, columns, sort state and picture view).
#pragma once
#include "ServerListCtrl.h"
#include "ServerListPane.h"
#include "View.h"
#include <memory>

class CServerTreeCtrl;

class CServerRightView : public CView {
    DECLARE_DYNCREATE(CServerRightView)
public:
    CServerRightView();
    ~CServerRightView() override;

    void SetSession(CToviProto* proto, IServerFrameHost* frame, CServerTreeCtrl* tree);
    // What the tree hands each folder's content to.
    IServerListSide* ListSide() { return m_pane.get(); }
    CServerListPane* Pane() { return m_pane.get(); }
    CServerListCtrl& List() { return m_list; }
    // Frees the items' records and empties the pane (log-out and shut-down).
    virtual void ClearPane();
    // The list has no folder of its own: the tree's selection is the path.
    virtual CString SelectedPath() const { return CString(); }
    // The command bar's view buttons (their command ids).
    enum { kNewFolderButton = 1005, kReportViewButton = 1023, kThumbnailViewButton = 1026 };
    // A new folder in the shown folder, or in the one selected folder row, named in place.
    void OnNewFolder();
    // The picture view or the report.
    void SetThumbnailView(bool thumbnail, bool refill);
    // Column widths and sort state into the profile (the frame's layout save).
    void SaveLayout();
    // Widths and sort state read again (after the layout was reset), the rows re-sorted.
    void ReloadLayout();

protected:
    void OnDraw(CDC* pDC) override;
    int OnCreate(LPCREATESTRUCT lpCreateStruct);
    void OnSize(UINT nType, int cx, int cy);
    void OnDestroy();
    void OnSetFocus(CWnd* oldWnd);
    BOOL OnEraseBkgnd(CDC* pDC);
    void OnReportView();
    void OnThumbnailView();
    DECLARE_MESSAGE_MAP()

private:
    CServerListCtrl m_list;
    CServerTreeCtrl* m_pTree = nullptr;
    std::unique_ptr<CServerListPane> m_pane;
};

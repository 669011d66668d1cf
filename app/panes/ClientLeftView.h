// CClientLeftView: the local folder tree pane (bottom left). It hosts the tree and its drop
// target and carries out the file commands on a local folder: cut, copy, paste, delete, rename,
// and drops of local files.
//
// GUI thread only. Shell file operations run through the shell, so the user sees its own
// progress, confirmations and undo.
#pragma once
#include "ClientTreeCtrl.h"
#include "LocalDropTargets.h"
#include "View.h"
#include <memory>

class CClientRightView;
class COleDataObject;

class CClientLeftView : public CView {
    DECLARE_DYNCREATE(CClientLeftView)
public:
    CClientLeftView();
    ~CClientLeftView() override;

    // Frees the items' records and empties the pane (log-out and shut-down).
    virtual void ClearPane();
    // The selected folder's path for the last-paths store; empty without a selection.
    virtual CString SelectedPath() const;
    // Fills the tree after log-in and selects lastPath (My Computer when it is empty or gone).
    // host null: the main frame.
    void ShowLocalRoot(CClientRightView* list, const CString& lastPath, ILocalFrameHost* host = nullptr);

    CClientTreeCtrl* GetTree() { return m_pTree.get(); }
    CCLDropTarget& DropTarget() { return m_dropTarget; }
    ILocalFrameHost* Host() const { return m_pHost; }

    void OnCut(HTREEITEM item);
    void OnCopy(HTREEITEM item);
    void OnPaste(HTREEITEM item);
    void OnDelete(HTREEITEM item, bool allowUndo);
    void OnRename(HTREEITEM item);
    // The transfer hand-over does not exist yet: only a folder gone from the disk is noticed.
    void OnUpload(HTREEITEM item);
    bool OnDropItems(HTREEITEM target, DROPEFFECT effect, COleDataObject* data);
    void AfterShellVerb(HTREEITEM item, const CString& verb);
    // Expands the selected folder and selects its child named by the last item of pidl.
    void SelectChildByPidl(LPCITEMIDLIST pidl);
    void ExpandItem(HTREEITEM item);
    // Refreshes item's tree children (when expanded) and the list (when it is the selected one).
    void RefreshItem(HTREEITEM item);

protected:
    void OnDraw(CDC* pDC) override;
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    BOOL OnEraseBkgnd(CDC* pDC);
    int OnCreate(LPCREATESTRUCT cs);
    void OnSize(UINT type, int cx, int cy);
    void OnDestroy();
    DECLARE_MESSAGE_MAP()

private:
    bool PasteFiles(HTREEITEM item, const std::vector<CString>& paths, bool move, bool fromClipboard);

    std::unique_ptr<CClientTreeCtrl> m_pTree;
    CCLDropTarget m_dropTarget;
    HIMAGELIST m_hSystemImages = nullptr;
    HTREEITEM m_hCutItem = nullptr;
    ILocalFrameHost* m_pHost = nullptr;
};

// CClientLeftView: the local folder tree pane (bottom left). It hosts the tree and its drop
// target and carries out the file commands on a local folder: cut, copy, paste, delete, rename,
// drops of local files, the folder's upload and downloads of server items pasted or dropped on it.
//
// GUI thread only. Shell file operations run through the shell, so the user sees its own
// progress, confirmations and undo.
#pragma once
#include "ClientTreeCtrl.h"
#include "LocalDropTargets.h"
#include "PaneCommands.h"
#include "ProtoRecords.h"
#include "LocalPaneView.h"
#include <memory>
#include <vector>

class COleDataObject;

class CClientLeftView : public CLocalPaneView, public ILocalTreeCommands, public ILocalTreeSide {
    DECLARE_DYNCREATE(CClientLeftView)
public:
    CClientLeftView();
    ~CClientLeftView() override;

    // Frees the items' records and empties the pane (log-out and shut-down).
    virtual void ClearPane();
    // The selected folder's path for the last-paths store; empty without a selection.
    virtual CString SelectedPath() const;
    // The window around the panes; kept, not owned.
    void SetHost(ILocalFrameHost* host) { m_pHost = host; }
    // Fills the tree after log-in and selects lastPath (My Computer when it is empty or gone).
    // host null: the one SetHost gave.
    void ShowLocalRoot(ILocalListSide* list, const CString& lastPath, ILocalFrameHost* host = nullptr);

    CClientTreeCtrl* GetTree() { return m_pTree.get(); }
    CCLDropTarget& DropTarget() { return m_dropTarget; }
    ILocalFrameHost* Host() const { return m_pHost; }

    HWND GetTreeWindow() override;
    bool IsItemMarked(HTREEITEM item) override;
    void OnCut(HTREEITEM item) override;
    void OnCopy(HTREEITEM item) override;
    // Local files are pasted through the shell, server items downloaded into the folder.
    void OnPaste(HTREEITEM item) override;
    void OnDelete(HTREEITEM item, bool allowUndo);
    // The command bar's delete: mode 1 allows undo, 0 deletes for good.
    void OnDelete(HTREEITEM item, int mode) override { OnDelete(item, mode != 0); }
    void OnRename(HTREEITEM item);
    // Uploads the item into the server tree's selected folder; a folder gone from the disk
    // refreshes its parent instead.
    void OnUpload(HTREEITEM item) override;
    bool OnDropItems(HTREEITEM target, DROPEFFECT effect, COleDataObject* data);
    void AfterShellVerb(HTREEITEM item, const CString& verb);
    void ExpandItem(HTREEITEM item);

    // ILocalTreeSide
    HTREEITEM SelectedFolder() override;
    _LOCAL_TREE_ITEM* FolderRecord(HTREEITEM item) override;
    HTREEITEM FindChildFolder(HTREEITEM parent, LPCITEMIDLIST absolute) override;
    void SelectChild(LPCITEMIDLIST pidl) override;
    void SelectParent() override;
    void RefreshItem(HTREEITEM item) override;
    void RefreshSelected() override;
    void MarkMoveSource(HTREEITEM folder) override;
    HTREEITEM MoveSourceFolder() override;

protected:
    void OnDraw(CDC* pDC) override;
    int OnCreate(LPCREATESTRUCT cs);
    void OnSize(UINT type, int cx, int cy);
    void OnDestroy();
    DECLARE_MESSAGE_MAP()

private:
    // Starts the download of server records into item's folder; false when it has no path.
    bool DownloadInto(HTREEITEM item, const std::vector<_PROTO_FOLDER_INFO>& records, const CString& sourcePath);
    bool PasteFiles(HTREEITEM item, const std::vector<CString>& paths, bool move, bool fromClipboard);

    std::unique_ptr<CClientTreeCtrl> m_pTree;
    CCLDropTarget m_dropTarget;
    HIMAGELIST m_hSystemImages = nullptr;
    HTREEITEM m_hCutItem = nullptr;
    ILocalFrameHost* m_pHost = nullptr;
};

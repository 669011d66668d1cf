// CServerLeftView: the server folder tree pane (top left). It owns the tree control, hands it the
// session after log-in and opens the folders the list asks for.
#pragma once
#include "PaneCommands.h"
#include "ServerCommandSink.h"
#include "ServerCommandSupport.h"
#include "ServerDropTargets.h"
#include "ServerOperationHost.h"
#include "ServerTreeCtrl.h"
#include "View.h"
#include <memory>
#include <vector>

class CServerRightView;
class CSearchDlg;
class COleDataObject;

class CServerLeftView : public CView, public IServerTreeMenuSink, public IServerTreeCommands {
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
    CSLDropTarget& DropTarget() { return m_dropTarget; }

    // ---- Commands on a folder of the tree (ServerLeftViewCmds.cpp) ----
    // The file pane beside this one; the frame's operation host unless a test gives its own.
    void SetListView(CServerRightView* list) { m_pListView = list; }
    void SetOperationHost(IServerOperationHost* host) { m_pOpHost = host; }
    void RunTreeCommand(int command, HTREEITEM item) override;
    // The command bar's (PaneCommands.h).
    HWND GetTreeWindow() override { return m_tree.GetSafeHwnd(); }
    void OnNewFolder(HTREEITEM item) override;
    void OnDownload(HTREEITEM item) override;
    void OnShare(HTREEITEM item) override;
    void OnDelete(HTREEITEM item, int mode) override { DeleteFolder(item, mode != 0); }
    void OnRecyclebinDelete(HTREEITEM item) override { DeleteInRecycleBin(item); }
    void OnCopy(HTREEITEM item) override { CopyFolder(item); }
    void OnCut(HTREEITEM item) override { CutFolder(item); }
    void OnPaste(HTREEITEM item) override;
    void OnSearch(HTREEITEM item, const CString& text, int contents) override;

    void OnRename(HTREEITEM item);
    // False when nothing was done (no main frame, refused, or no request went through).
    bool DeleteFolder(HTREEITEM item, bool toRecycleBin);
    bool CopyFolder(HTREEITEM item);
    bool CutFolder(HTREEITEM item);
    // The clipboard's items, or the dropped ones, pasted into the folder (mode 2 moves, 1
    // copies, 0 as the clipboard says); false when no request went through.
    bool PasteServerItems(HTREEITEM item, int mode, const std::vector<_PROTO_FOLDER_INFO>* dropped = nullptr);
    // A drop on a tree folder: local files are uploaded into it, server items pasted with the
    // drop's mode (2 move, else copy). False when the folder refuses them or nothing was done.
    bool DropData(HTREEITEM item, COleDataObject* data, int mode);
    void OnProperties(HTREEITEM item);
    void OnGroupShare(HTREEITEM item, int newGroup, int groupSettings, int groupShare);
    void OnGuest(HTREEITEM item, bool newGuest);
    bool DeleteInRecycleBin(HTREEITEM item);
    bool OnRecyclebinRestore(HTREEITEM item);
    bool OnRecyclebinClear(HTREEITEM item);
    void OnAddShortcut(HTREEITEM item);
    void OnDeleteBackupPC(HTREEITEM item);
    // The child of parent with the given name (and index, unless empty), listed first.
    HTREEITEM FindChildByName(HTREEITEM parent, const CString& name, const char* idx);
    // Opens the folder at a "/"-joined path from the top level; the folder reached, or null.
    HTREEITEM OpenServerPath(const CString& path);
    CSearchDlg* SearchDialog() const { return m_pSearch; }
    // Ends the search window (before the record it reads goes).
    void CloseSearch();

protected:
    void OnDraw(CDC* pDC) override;
    int OnCreate(LPCREATESTRUCT lpCreateStruct);
    void OnSize(UINT nType, int cx, int cy);
    void OnDestroy();
    void OnSetFocus(CWnd* oldWnd);
    BOOL OnEraseBkgnd(CDC* pDC);
    LRESULT OnOpenChildFolder(WPARAM record, LPARAM);
    LRESULT OnSearchGotoFolder(WPARAM record, LPARAM);
    LRESULT OnSearchDlgClosed(WPARAM, LPARAM);
    LRESULT OnShowHtmlPopup(WPARAM, LPARAM);
    LRESULT OnOpenShortcutPath(WPARAM path, LPARAM);
    DECLARE_MESSAGE_MAP()

private:
    IServerOperationHost* OperationHost() const;
    CWnd* DialogOwner();
    // Lists the folder again: with the list when it is the selected one, else the tree only.
    void Relist(HTREEITEM folder);
    void RelistParent(HTREEITEM item);
    // The folder's record, once the user agreed to delete or restore it; empty otherwise.
    std::vector<_PROTO_FOLDER_INFO> ConfirmedItem(HTREEITEM item, servercmd::Question question);
    // Takes a deleted or restored folder out of the tree and shows its parent's content.
    void RemoveFromTree(HTREEITEM item);
    void UploadLocalFiles(HTREEITEM item, const std::vector<CString>& paths);

    CServerTreeCtrl m_tree;
    CSLDropTarget m_dropTarget;
    CToviProto* m_pProto = nullptr;
    CServerRightView* m_pListView = nullptr;
    IServerOperationHost* m_pOpHost = nullptr;
    CSearchDlg* m_pSearch = nullptr;
    // The searched folder's record: the search window reads it while it runs, after the tree
    // may have listed that folder again.
    std::unique_ptr<_PROTO_FOLDER_INFO> m_searchFolder;
};

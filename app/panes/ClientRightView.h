// CClientRightView: the local file pane (bottom right): the content of the folder selected in
// the local tree, one owned record per row, the program's size and date texts, the column widths
// and sort order kept in the profile, and the local file commands.
//
// GUI thread only. The tree fills the pane: BeginFill, AddItem for each child, EndFill.
#pragma once
#include "ClientListCtrl.h"
#include "LocalDropTargets.h"
#include "LocalPaneHost.h"
#include "PaneCommands.h"
#include "ToviHeaderCtrl.h"
#include "LocalPaneView.h"
#include <memory>
#include <vector>

class COleDataObject;

class CClientRightView : public CLocalPaneView, public ILocalListCommands, public ILocalListSide {
    DECLARE_DYNCREATE(CClientRightView)
public:
    CClientRightView();
    ~CClientRightView() override;

    // Frees the items' records and empties the pane (log-out and shut-down).
    virtual void ClearPane() { ClearList(); }
    // The shown folder's path; empty when it has none.
    virtual CString SelectedPath() const;
    // The window around the panes; kept, not owned.
    void SetHost(ILocalFrameHost* host) { m_pHost = host; }
    // The tree whose selected folder is shown; host null keeps the one SetHost gave.
    void SetLeftView(ILocalTreeSide* tree, ILocalFrameHost* host = nullptr) override;
    ILocalTreeSide* TreeSide() const { return m_pTree; }
    ILocalFrameHost* Host() const { return m_pHost; }
    CClientListCtrl* GetList() { return m_pList.get(); }
    CCRDropTarget& DropTarget() { return m_dropTarget; }

    // ILocalListSide: the tree fills the pane.
    void BeginFill(LPCITEMIDLIST folder, bool recycleBin) override;
    int AddItem(IShellFolder* folder, LPCITEMIDLIST child, int position) override;
    void EndFill(bool sort) override;
    void SetFolder(LPCITEMIDLIST folder);
    void SetColumnLayout(bool location);
    void ApplySortState();
    void ClearList();
    void LoadColumnSize(bool location);
    void SaveColumnSize(bool location);
    void LoadSortState();
    void ResetColumnText();
    // Sorts by column (a click on the sorted column turns the direction) and stores the state.
    void SortByColumn(int column);
    void ClearCutMarks();

    void OnNewFolder() override;
    void OnCut() override;
    void OnCopy() override;
    void OnDelete(bool toRecycleBin);
    // The command bar's delete: mode 1 to the Recycle Bin, 0 for good.
    void OnDelete(int mode) override { OnDelete(mode != 0); }
    void OnPaste(bool fromContextMenu);
    void OnPaste() override { OnPaste(false); }
    void OnRename();
    void OnRestore(UINT command);
    // Uploads the selected rows into the server tree's selected folder; with no row selected the
    // shown folder is refreshed.
    void OnUpload() override;
    void OnDropData(COleDataObject* data, int row, DROPEFFECT effect);

    // Refreshes the folder selected in the tree and selects the row called name.
    void RefreshAndSelect(const CString& name, bool edit);
    // Full paths of the selected rows (drive roots and rows without a path left out).
    std::vector<CString> SelectedPaths() const;
    LPCITEMIDLIST ShownFolder() const { return m_pidlFolder; }
    bool IsRecycleBin() const { return m_bRecycleBin; }
    bool IsLocationLayout() const { return m_bLocation; }
    int SortColumn() const { return m_nSortColumn; }
    int SortDirection() const { return m_nSortDirection; }
    void SetPaneColor(COLORREF color);

protected:
    void OnDraw(CDC* pDC) override;
    int OnCreate(LPCREATESTRUCT cs);
    void OnSize(UINT type, int cx, int cy);
    void OnDestroy();
    DECLARE_MESSAGE_MAP()

private:
    void AddColumns();
    void FreeRows();
    void RefreshTarget(HTREEITEM item);
    bool PasteFiles(const std::vector<CString>& paths, bool move, const CString& target, HTREEITEM targetItem,
                    bool fromClipboard);
    HTREEITEM TreeItemOfFolderRow(int row, CString& path);

    std::unique_ptr<CClientListCtrl> m_pList;
    CToviHeaderCtrl m_header;
    CCRDropTarget m_dropTarget;
    HIMAGELIST m_hSystemImages = nullptr;
    IMalloc* m_pMalloc = nullptr;
    LPITEMIDLIST m_pidlFolder = nullptr;
    int m_nSortColumn = 0;
    int m_nSortDirection = 0;
    bool m_bLocation = false;
    bool m_bRecycleBin = false;
    ILocalTreeSide* m_pTree = nullptr;
    ILocalFrameHost* m_pHost = nullptr;
};

// CClientTreeCtrl: the local folder tree over the shell namespace, from the desktop down, folders
// only. Selecting a folder fills the local file pane with its content.
//
// GUI thread only. Every item's data is a _LOCAL_TREE_ITEM (LocalPaneRules.h) the tree owns.
#pragma once
#include "LocalPaneHost.h"
#include "LocalPaneRules.h"
#include "MoveSource.h"
#include "TreeCtrl.h"
#include <shlobj.h>

class CClientLeftView;

// The shell's change notice (wParam: the event's two absolute item ID lists, lParam: event).
#define WM_SHELL_NOTIFY (WM_USER + 1)

class CClientTreeCtrl : public CTreeCtrl {
public:
    CClientTreeCtrl();
    ~CClientTreeCtrl() override;

    // Inserts the desktop, expands it and starts the shell notifications. The pane and host
    // are kept, not owned.
    bool DrawTreeRoot(ILocalListSide* list, CClientLeftView* view, ILocalFrameHost* host);
    // Enumerates item again (null: the caret item): its tree children with tree, the list with list.
    void RefreshFolder(HTREEITEM item, bool tree, bool list);
    // Opens My Computer, then the path's drive and folders; selects the deepest one found.
    void SelectPath(const CString& path);
    void SetPaneColor(COLORREF color);
    // Stops notifications, frees every record and deletes the items.
    void ClearTree();
    void ClearCutMarks();
    void UpdateMenuState();
    // Deletes item and its subtree with their records.
    void RemoveItem(HTREEITEM item);

    _LOCAL_TREE_ITEM* GetRecord(HTREEITEM item) const;
    // The item's file-system path; empty when it has none.
    CString GetItemPath(HTREEITEM item) const;
    HTREEITEM FindRecycleBin() const;
    HTREEITEM FindMyComputer() const;
    // Whether target is item or lies below it.
    bool IsSameOrBelow(HTREEITEM target, HTREEITEM item) const;
    bool IsShownFolderRecycleBin() const;
    void RefreshRecycleBinIcon();
    void SetSelectionReactions(bool on) { m_bSelectionOff = !on; }
    // Opens the shell context menu of item at the cursor.
    void ShowContextMenu(HTREEITEM item);

    // The virtual drive program's running check; tests replace it.
    typedef bool (*DriveProgramQuery)();
    static DriveProgramQuery s_pDriveProgramRunning;

    // The parent of the last dragged or cut item.
    CMoveSource& MoveSource() { return m_moveSource; }

    HTREEITEM m_hDragItem = nullptr;
    HTREEITEM m_hDragParent = nullptr;
    IMalloc* m_pMalloc = nullptr;

protected:
    void OnItemExpanding(NMHDR* nm, LRESULT* result);
    void OnSelChanging(NMHDR* nm, LRESULT* result);
    void OnSelChanged(NMHDR* nm, LRESULT* result);
    void OnBeginLabelEdit(NMHDR* nm, LRESULT* result);
    void OnEndLabelEdit(NMHDR* nm, LRESULT* result);
    void OnKeyDown(NMHDR* nm, LRESULT* result);
    void OnBeginDrag(NMHDR* nm, LRESULT* result);
    void OnRClick(NMHDR* nm, LRESULT* result);
    void OnClick(NMHDR* nm, LRESULT* result);
    void OnCustomDraw(NMHDR* nm, LRESULT* result);
    void OnSetFocus(CWnd* oldWnd);
    void OnLButtonDown(UINT flags, CPoint point);
    LRESULT OnShellNoti(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    void FillFolder(HTREEITEM item, IShellFolder* folder, bool tree, int list);
    bool ShowChild(const _LOCAL_TREE_ITEM& parent, LPCITEMIDLIST absolute, const wchar_t* name) const;
    HTREEITEM InsertChild(HTREEITEM parent, IShellFolder* folder, LPCITEMIDLIST relative, DWORD attributes,
                          const wchar_t* name);
    void SortChildrenByName(HTREEITEM parent);
    void FreeRecords(HTREEITEM item);
    // Forgets the move source and drag marks that lie at or below item, which is going.
    void ForgetMarksWithin(HTREEITEM item);
    void DeleteChildren(HTREEITEM item);
    bool IsSpecialHidden(LPCITEMIDLIST absolute) const;
    void UpdateDrive(const CString& path, bool added);
    void RegisterNotifications();
    void UnregisterNotifications();
    DWORD DragEffectsOf(HTREEITEM item);
    HIMAGELIST MakeDragImage(HTREEITEM item);

    bool m_bBusy = false;
    LPITEMIDLIST m_pidlRecycleBin = nullptr;
    LPITEMIDLIST m_pidlMyComputer = nullptr;
    LPITEMIDLIST m_pidlControlPanel = nullptr;
    LPITEMIDLIST m_pidlControlPanel2 = nullptr;
    LPITEMIDLIST m_pidlNetwork = nullptr;
    LPITEMIDLIST m_pidlLibraries = nullptr;
    int m_nMediaRemoved = 0;
    ILocalListSide* m_pList = nullptr;
    CClientLeftView* m_pView = nullptr;
    ILocalFrameHost* m_pHost = nullptr;
    UINT m_cfRemoteSetup = 0;
    UINT m_nSavedState = 0;
    ULONG m_nNotifyId = 0;
    COLORREF m_paneColor = RGB(0xFF, 0xFF, 0xFF);
    bool m_bSelectionOff = false;
    CMoveSource m_moveSource;
};

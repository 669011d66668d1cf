// CServerTreeCtrl: the server folder tree. Every item's data is a heap folder record owned by
// the tree; listing a folder (DrawSubTreeNList) refreshes the item's children and, in the modes
// that ask for it, hands the folder's content to the server file pane.
//
// GUI thread only. The frame hands over the protocol object, the frame host and the list side
// before the first refresh; none is owned.
#pragma once
#include "MoveSource.h"
#include "PaneKeyRules.h"
#include "ServerContextMenu.h"
#include "ServerPaneHost.h"
#include "TreeCtrl.h"
#include "ToviProto.h"
#include "VImageList.h"
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

enum {
    TREE_REFRESH_TREE_AND_LIST = 0,
    TREE_REFRESH_TREE_ONLY = 1,
    TREE_REFRESH_LIST_ONLY = 2,
};

class IServerTreeMenuSink;

class CServerTreeCtrl : public CTreeCtrl {
public:
    CServerTreeCtrl();
    ~CServerTreeCtrl() override;

    void SetSession(CToviProto* proto, IServerFrameHost* frame, IServerListSide* list);
    // Refreshes the top level; item is the one about to be selected. False on a failed request
    // and when item's top-level ancestor no longer exists.
    bool DrawTreeRoot(HTREEITEM item);
    // Lists a folder (null: the top level). A call that arrives while a refresh is running on
    // this thread (through a message pumped meanwhile) is deferred until it ends: true.
    bool DrawSubTreeNList(HTREEITEM item, int mode, bool useCache);
    void SetMenuButtonState(const _PROTO_FOLDER_INFO* folder);
    void SetPaneColor(COLORREF color);
    void SelectServerPath(const CString& path);
    // The same walk by folder names (case-insensitive), as the last-paths store keeps them.
    void SelectServerNames(const std::vector<CString>& names);
    // Frees every item's record and deletes the items.
    void ClearTree();
    // The folder's whole content as the server has it now, without touching the tree or the
    // list; false (the failure shown, a closed session reported) when the listing failed.
    bool ListContent(const _PROTO_FOLDER_INFO& folder, std::vector<_PROTO_FOLDER_INFO>& entries);

    _PROTO_FOLDER_INFO* GetRecord(HTREEITEM item) const;
    // The folder's content as its last whole listing left it (empty when none is kept).
    std::vector<_PROTO_FOLDER_INFO> CachedChildren(const _PROTO_FOLDER_INFO* folder) const;
    // Folder names from the top level down to item, joined by "/".
    CString GetItemPath(HTREEITEM item) const;
    bool IsForcedClose() const { return m_bForcedClose; }

    static int CALLBACK CompareByName(LPARAM a, LPARAM b, LPARAM);
    static int CALLBACK CompareBySortKey(LPARAM a, LPARAM b, LPARAM);

    // ---- The user's commands (ServerTreeCmds.cpp) ----
    // Where the menu's and the keys' commands go (the folder pane).
    void SetCommandSink(IServerTreeMenuSink* sink);
    // The context menu the folder would get now.
    std::vector<servermenu::MenuEntry> ContextMenuFor(HTREEITEM item) const;
    // Opens the in-place edit: mode 0 names a new folder (F0 at the end), 1 renames (F3).
    bool BeginNameEdit(HTREEITEM item, int mode);
    // A child named name for a folder about to be made under parent; null when none was made.
    HTREEITEM InsertProposedFolder(HTREEITEM parent, const CString& name);
    void RemoveItem(HTREEITEM item);
    void ClearCutMarks();
    void SetItemChildren(HTREEITEM item, bool children);

    // Pages one listing may take before it counts as failed.
    int m_nMaxPages = 100000;
    int m_nLabelEditMode = 0;
    // The parent of the last dragged or cut folder or the list's folder of a cut.
    CMoveSource& MoveSource() { return m_moveSource; }
    // The folder this tree's running drag carries (its drops refuse that folder and its subtree).
    HTREEITEM m_hDragItem = nullptr;
    IServerFrameHost* FrameHost() const { return m_pFrame; }

protected:
    void OnItemExpanding(NMHDR* nm, LRESULT* result);
    void OnItemExpanded(NMHDR* nm, LRESULT* result);
    void OnSelChanging(NMHDR* nm, LRESULT* result);
    void OnSelChanged(NMHDR* nm, LRESULT* result);
    void OnKillFocusNotify(NMHDR* nm, LRESULT* result);
    void OnCustomDraw(NMHDR* nm, LRESULT* result);
    void OnSetFocus(CWnd* oldWnd);
    void OnDestroy();
    LRESULT OnDeferredRefresh(WPARAM, LPARAM);
    void OnRClick(NMHDR* nm, LRESULT* result);
    void OnNMClick(NMHDR* nm, LRESULT* result);
    void OnBeginDrag(NMHDR* nm, LRESULT* result);
    void OnTreeKeyDown(NMHDR* nm, LRESULT* result);
    // What the key table reads of a folder.
    static panekeys::ServerTreeKeyFacts KeyFacts(const _PROTO_FOLDER_INFO& folder);
    void OnEndLabelEdit(NMHDR* nm, LRESULT* result);
    LRESULT OnEditLabel(WPARAM, LPARAM item);
    DECLARE_MESSAGE_MAP()

private:
    // Pages of one listing into the protocol object; 0 or the failing code (-1: no end).
    int RequestPages(char* idx, char* didx, char* type);
    // Shows a failed request the user's way; 1213 marks the forced close instead.
    void ReportFailure(const wchar_t* what, int code, bool quiet1301);
    void RebuildChildren(HTREEITEM parent);
    HTREEITEM PutFolderItem(const _PROTO_FOLDER_INFO& record, HTREEITEM itemOrParent, bool update);
    void ImagesFor(const _PROTO_FOLDER_INFO& record, HTREEITEM parent, int& image, int& selected) const;
    void DeleteWithRecords(HTREEITEM item);
    void FreeRecords(HTREEITEM item);
    void SortChildren(HTREEITEM parent, PFNTVCOMPARE compare);
    HTREEITEM FindTopLevelAncestor(HTREEITEM item) const;
    void AfterSelection(HTREEITEM item);
    void SelectAlong(const std::vector<CString>& parts, bool byName);

    bool m_bBusy = false;
    bool m_bTopRemoved = false;
    CRITICAL_SECTION m_lock;
    int m_nRefreshDepth = 0;
    struct Deferred {
        bool pending = false;
        HTREEITEM item = nullptr;
        int mode = 0;
        bool useCache = false;
    } m_deferred;
    CToviProto* m_pProto = nullptr;
    IServerFrameHost* m_pFrame = nullptr;
    IServerListSide* m_pList = nullptr;
    bool m_bSelectionSuppressed = false;
    COLORREF m_paneColor = CLR_NONE;
    bool m_bFocusSeen = false;
    bool m_bForcedClose = false;
    bool m_bNotDeleting = true;
    std::unique_ptr<CVImageList> m_images;
    IServerTreeMenuSink* m_pCommands = nullptr;
    HTREEITEM m_proposed = nullptr;   // the new folder being named
    bool m_bEndingEdit = false;
    // Each listed folder's content for the change check's "no change" answer, packed: most of a
    // record is unused fixed-size text, and a folder of thousands would double the list's memory.
    std::unordered_map<const _PROTO_FOLDER_INFO*, std::vector<std::string>> m_cache;
    CMoveSource m_moveSource;
};

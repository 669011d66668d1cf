// What the local panes need from the window around them (ILocalFrameHost; the main frame's side
// is CFrameLocalHost in shell/FrameLocalHost.h, tests give the panes a host of their own) and
// what the local tree and file pane ask of each other (ILocalListSide, ILocalTreeSide).
//
// All calls come on the GUI thread.
#pragma once
#include "ServerPaneHost.h"
#include "ToviMessages.h"
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>
#include <vector>

class ILocalFrameHost {
public:
    virtual ~ILocalFrameHost() = default;
    virtual void SetMenuButtonState(const ServerMenuState& state) = 0;
    // The server tree's selected folder takes uploads.
    virtual bool IsUploadAllowed() = 0;
    // The local tree's folder can take downloads (the server panes' download button reads it).
    virtual void SetDownloadTarget(bool target) = 0;
    virtual bool IsLabelEditing() = 0;
    virtual void SetLabelEditing(bool editing) = 0;
    virtual void SetActivePane(int row, int column) = 0;
    // Removes the cut look from the rows and items of every pane.
    virtual void ClearCutMarks() = 0;
    // The two-letter tag of the pane that started the running drag ("CL", "CR", "SL", "SR").
    virtual void SetDragSource(const CString& tag) = 0;
    virtual CString GetDragSource() = 0;

    // Transfers. A host without a server side (the panes' own tests) starts none.
    // The server tree's selected folder and its item; null when there is none.
    virtual _PROTO_FOLDER_INFO* ServerTarget(HTREEITEM* item)
    {
        *item = nullptr;
        return nullptr;
    }
    virtual void Upload(_PROTO_FOLDER_INFO* /*folder*/, std::vector<_UPLOADINFO>& /*items*/) {}
    // localItem: the local tree item refreshed when the download ends.
    virtual void Download(std::vector<_DOWNLOADINFO>& /*items*/, HTREEITEM /*localItem*/) {}
};

struct _LOCAL_TREE_ITEM;
class ILocalTreeSide;

// The local file pane, as the tree hands it a folder's content.
class ILocalListSide {
public:
    virtual ~ILocalListSide() = default;
    // The tree whose selected folder the pane shows; host null keeps the pane's own.
    virtual void SetLeftView(ILocalTreeSide* tree, ILocalFrameHost* host) = 0;
    // A new folder's filling: rows go, the folder's copy is kept.
    virtual void BeginFill(LPCITEMIDLIST folder, bool recycleBin) = 0;
    // Adds one row at position; 1 when added.
    virtual int AddItem(IShellFolder* folder, LPCITEMIDLIST child, int position) = 0;
    // Redraws the list, sorted by the stored order when sort is set.
    virtual void EndFill(bool sort) = 0;
};

// The local folder tree, as the file pane, its list and its drop target ask it.
class ILocalTreeSide {
public:
    virtual ~ILocalTreeSide() = default;
    // The selected folder; null when none.
    virtual HTREEITEM SelectedFolder() = 0;
    // The item's record; null for none.
    virtual _LOCAL_TREE_ITEM* FolderRecord(HTREEITEM item) = 0;
    // The child of parent that names the same shell item as absolute; null when none.
    virtual HTREEITEM FindChildFolder(HTREEITEM parent, LPCITEMIDLIST absolute) = 0;
    // Expands the selected folder and selects its child named by the last item of pidl.
    virtual void SelectChild(LPCITEMIDLIST pidl) = 0;
    // Selects the selected folder's parent.
    virtual void SelectParent() = 0;
    // Refreshes item's tree children (when expanded) and the list (when it is the selected one).
    virtual void RefreshItem(HTREEITEM item) = 0;
    // Lists the selected folder again, and its tree children when it is expanded.
    virtual void RefreshSelected() = 0;
    // The pending move's source folder (see CMoveSource): marked by a cut or drag out of the
    // shown folder, read by the paste or drop that moves.
    virtual void MarkMoveSource(HTREEITEM folder) = 0;
    virtual HTREEITEM MoveSourceFolder() = 0;
};

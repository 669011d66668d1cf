// The drop targets of the two server panes: which effect a drag over the folder tree or the file
// list shows, which item it highlights, and where the drop goes. Local files are uploaded
// (copy) where the folder takes uploads; server items are copied or moved by the keys where the
// folder takes new folders or files.
//
// GUI thread (OLE). Each is a member of its pane's view and registered on the view's control.
#pragma once
#include "DragDrop.h"
#include <string>
#include <vector>

class CServerLeftView;
class CServerRightView;

namespace serverdrop {

// What a drag carries and where it started, as the effect rules read it.
struct DragFacts {
    bool files = false;         // CF_HDROP: local files, an upload
    bool serverItems = false;   // "VARIRUDAD": server items, a copy or move
    DWORD keys = 0;
    bool fromThisPane = false;  // the drag started in the pane under the pointer
};

// What folder takes, one rule for the effect shown and the drop done: local files where it
// allows uploads, server items where it allows new folders or new files.
bool TakesUpload(const _PROTO_FOLDER_INFO& folder);
bool TakesItems(const _PROTO_FOLDER_INFO& folder);

// The tree's effect on folder; intoItself: the drag carries this folder or one above it.
DROPEFFECT TreeEffect(const _PROTO_FOLDER_INFO& folder, const DragFacts& drag, bool intoItself);
// The list's effect: row is the record under the pointer (null: empty space), current the
// folder shown; rowSelected: that row belongs to the dragged selection; intoItself: the folder
// the items would go into is a folder the tree is dragging, or lies below it.
DROPEFFECT ListEffect(const _PROTO_FOLDER_INFO* row, const _PROTO_FOLDER_INFO& current, const DragFacts& drag,
                      bool rowSelected, bool intoItself);

}

class CSLDropTarget : public CTreeDropTarget {
public:
    // Notes the folders the list is dragging, read once per drag.
    DROPEFFECT OnDragEnter(CWnd* wnd, COleDataObject* data, DWORD keys, CPoint point) override;
    // The folder under the pointer decides (TreeEffect); a folder with sub-folders opens when
    // the pointer rests on it.
    DROPEFFECT OnDragOver(CWnd* wnd, COleDataObject* data, DWORD keys, CPoint point) override;
    void OnDragLeave(CWnd* wnd) override;
    // The folder under the point takes the upload or the paste (CServerLeftView::DropData);
    // false when nothing was done, so the source keeps what it offered for a move.
    BOOL OnDrop(CWnd* wnd, COleDataObject* data, DROPEFFECT effect, CPoint point) override;
    CServerLeftView* m_pView = nullptr;

private:
    // The indexes of the folder rows the server list is dragging.
    std::vector<std::string> m_listFolders;
};

class CSRDropTarget : public CListDropTarget {
public:
    // The row under the pointer, or the folder shown, decides (ListEffect).
    DROPEFFECT OnDragOver(CWnd* wnd, COleDataObject* data, DWORD keys, CPoint point) override;
    // The highlighted row, or the folder shown when none is, takes the upload or the paste
    // (CServerRightView::OnDropData); false when nothing was done.
    BOOL OnDrop(CWnd* wnd, COleDataObject* data, DROPEFFECT effect, CPoint point) override;
    void OnDragLeave(CWnd* wnd) override;
    CServerRightView* m_pView = nullptr;
};

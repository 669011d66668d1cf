// The drop targets of the two server panes: which effect a drag over the folder tree or the file
// list shows, which item it highlights, and where the drop goes. Local files are uploaded
// (copy) where the folder takes uploads; server items are copied or moved by the keys where the
// folder takes new folders or files.
//
// GUI thread (OLE). Each is a member of its pane's view and registered on the view's control.
#pragma once
#include "DragDrop.h"

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

// The tree's effect on folder; intoItself: the drag carries this folder or one above it.
DROPEFFECT TreeEffect(const _PROTO_FOLDER_INFO& folder, const DragFacts& drag, bool intoItself);
// The list's effect: row is the record under the pointer (null: empty space), current the
// folder shown; rowSelected: that row belongs to the dragged selection.
DROPEFFECT ListEffect(const _PROTO_FOLDER_INFO* row, const _PROTO_FOLDER_INFO& current, const DragFacts& drag,
                      bool rowSelected);

}

class CSLDropTarget : public CDragDropTarget {
public:
    CServerLeftView* m_pView = nullptr;
    DROPEFFECT OnDragEnter(CWnd* wnd, COleDataObject* data, DWORD keys, CPoint point) override;
    DROPEFFECT OnDragOver(CWnd* wnd, COleDataObject* data, DWORD keys, CPoint point) override;
    BOOL OnDrop(CWnd* wnd, COleDataObject* data, DROPEFFECT effect, CPoint point) override;
    void OnDragLeave(CWnd* wnd) override;
    // Tests set the clock the hover expansion reads.
    DWORD (*m_pTick)() = [] { return ::GetTickCount(); };
    // The item the drag highlights (kept here: Wine's tree does not report its drop item back).
    HTREEITEM m_hHoverItem = nullptr;
};

class CSRDropTarget : public CDragDropTarget {
public:
    CServerRightView* m_pView = nullptr;
    DROPEFFECT OnDragEnter(CWnd* wnd, COleDataObject* data, DWORD keys, CPoint point) override;
    DROPEFFECT OnDragOver(CWnd* wnd, COleDataObject* data, DWORD keys, CPoint point) override;
    BOOL OnDrop(CWnd* wnd, COleDataObject* data, DROPEFFECT effect, CPoint point) override;
    void OnDragLeave(CWnd* wnd) override;
};

// The server panes' drop targets.
#include "ServerDropTargets.h"
#include "OleDataObject.h"
#include "ServerClipboard.h"
#include "ServerCommandSupport.h"
#include "ServerContextMenu.h"
#include "ServerLeftView.h"
#include "ServerRightView.h"
#include <algorithm>
#include <cstring>

using servermenu::Denies;

namespace serverdrop {

namespace {

bool IsKind(const _PROTO_FOLDER_INFO& r, const char* kind) { return std::strcmp(r.ItemType, kind) == 0; }

DROPEFFECT UploadInto(const _PROTO_FOLDER_INFO& folder)
{
    return TakesUpload(folder) ? DROPEFFECT_COPY : DROPEFFECT_NONE;
}

DROPEFFECT PasteInto(const _PROTO_FOLDER_INFO& folder, DWORD keys)
{
    return TakesItems(folder) ? CDragDropTarget::ProposedEffect(keys) : DROPEFFECT_NONE;
}

}

bool TakesUpload(const _PROTO_FOLDER_INFO& folder)
{
    return !Denies(folder, servermenu::UPLOAD);
}

bool TakesItems(const _PROTO_FOLDER_INFO& folder)
{
    return !Denies(folder, servermenu::NEW_DIR) || !Denies(folder, servermenu::NEW_FILE);
}

DROPEFFECT TreeEffect(const _PROTO_FOLDER_INFO& folder, const DragFacts& drag, bool intoItself)
{
    if (drag.files)
        return UploadInto(folder);
    if (!drag.serverItems || intoItself)
        return DROPEFFECT_NONE;
    return PasteInto(folder, drag.keys);
}

DROPEFFECT ListEffect(const _PROTO_FOLDER_INFO* row, const _PROTO_FOLDER_INFO& current, const DragFacts& drag,
                      bool rowSelected, bool intoItself)
{
    // The list's own rows dropped on its empty space would land where they are.
    if (!row && drag.serverItems && drag.fromThisPane)
        return DROPEFFECT_NONE;
    if (drag.files)
        return UploadInto(row && IsKind(*row, "D") ? *row : current);
    if (!drag.serverItems || intoItself)
        return DROPEFFECT_NONE;
    const _PROTO_FOLDER_INFO* target = &current;
    if (row && IsKind(*row, "D")) {
        if (drag.fromThisPane && rowSelected)
            return DROPEFFECT_NONE;   // a selection dropped onto itself
        target = row;
    } else if (row && drag.fromThisPane) {
        return DROPEFFECT_NONE;       // a row of this folder dropped onto a file of it
    }
    return PasteInto(*target, drag.keys);
}

}

namespace {

serverdrop::DragFacts FactsOf(COleDataObject* data, DWORD keys, IServerFrameHost* frame, const wchar_t* paneTag)
{
    serverdrop::DragFacts facts;
    facts.files = data->IsDataAvailable(CF_HDROP) != FALSE;
    facts.serverItems = CDragDropTarget::HasServerItems(data);
    facts.keys = keys;
    facts.fromThisPane = frame && frame->GetDragSource() == paneTag;
    return facts;
}

// Whether item is the folder the tree is dragging or lies below it.
bool WithinDraggedFolder(const CServerTreeCtrl& tree, HTREEITEM item)
{
    for (HTREEITEM walk = item; walk && tree.m_hDragItem; walk = tree.GetParentItem(walk))
        if (walk == tree.m_hDragItem)
            return true;
    return false;
}

// The list's target folder is one the tree is dragging: the folder shown lies in the dragged
// one, or the folder row under the pointer is the dragged folder itself.
bool IntoTreeDrag(const CServerTreeCtrl& tree, const _PROTO_FOLDER_INFO* row)
{
    if (!tree.m_hDragItem)
        return false;
    if (WithinDraggedFolder(tree, tree.GetSelectedItem()))
        return true;
    const _PROTO_FOLDER_INFO* dragged = tree.GetRecord(tree.m_hDragItem);
    return row && dragged && std::strcmp(row->ItemType, "D") == 0 &&
           std::strncmp(row->IDX, dragged->IDX, sizeof row->IDX) == 0;
}

// A folder whose password was not given takes no drop: no prompt can come during a drag, and
// the drop must not pass by the password.
bool Locked(IServerFrameHost& frame, const _PROTO_FOLDER_INFO* folder)
{
    return folder && std::strcmp(folder->ItemType, "D") == 0 && frame.CheckFolderPassword(*folder, true) != 0;
}

void ForgetDragSource(IServerFrameHost* frame)
{
    if (frame)
        frame->SetDragSource(CString());
}

}

// ---- The folder tree ----

DROPEFFECT CSLDropTarget::OnDragEnter(CWnd* wnd, COleDataObject* data, DWORD keys, CPoint point)
{
    m_listFolders.clear();
    IServerFrameHost* frame = m_pView ? m_pView->Tree().FrameHost() : nullptr;
    if (frame && data && frame->GetDragSource() == L"SR") {
        UINT format = servercmd::ServerItemsFormat();
        std::vector<_PROTO_FOLDER_INFO> records;
        CString tag, source;
        GetFolderInfoListDataObject(data, &format, records, tag, source);
        for (const _PROTO_FOLDER_INFO& r : records)
            if (std::strcmp(r.ItemType, "D") == 0)
                m_listFolders.emplace_back(r.IDX, strnlen(r.IDX, sizeof r.IDX));
    }
    return CTreeDropTarget::OnDragEnter(wnd, data, keys, point);
}

DROPEFFECT CSLDropTarget::OnDragOver(CWnd* wnd, COleDataObject* data, DWORD keys, CPoint point)
{
    MoveDragImage(wnd, point);
    if (!m_pView || !data)
        return DROPEFFECT_NONE;
    CServerTreeCtrl& tree = m_pView->Tree();
    IServerFrameHost* frame = tree.FrameHost();
    HTREEITEM item = tree.HitTest(point);
    _PROTO_FOLDER_INFO* record = tree.GetRecord(item);
    if (!frame || !record)
        return DROPEFFECT_NONE;
    // Only a folder the server says has sub-folders opens; one never listed is listed first. A
    // folder whose password was not given stays shut: no prompt can interrupt a drag, and the
    // hover must not show what the password keeps.
    HoverItem(tree, item, [&] {
        if (std::strcmp(record->Attr28, "Y") != 0 || Locked(*frame, record))
            return;
        if (!tree.GetChildItem(item))
            tree.DrawSubTreeNList(item, TREE_REFRESH_TREE_ONLY, true);
        tree.Expand(item, TVE_EXPAND);
    });
    record = tree.GetRecord(item);   // a listing may have put a fresh record there
    if (!record || Locked(*frame, record))
        return DROPEFFECT_NONE;
    // Folder rows of the list dragged onto themselves or below themselves.
    bool intoListFolder = false;
    for (HTREEITEM walk = item; walk && !m_listFolders.empty() && !intoListFolder; walk = tree.GetParentItem(walk)) {
        const _PROTO_FOLDER_INFO* r = tree.GetRecord(walk);
        const std::string idx = r ? std::string(r->IDX, strnlen(r->IDX, sizeof r->IDX)) : std::string();
        intoListFolder = std::find(m_listFolders.begin(), m_listFolders.end(), idx) != m_listFolders.end();
    }
    const serverdrop::DragFacts facts = FactsOf(data, keys, frame, L"SL");
    const bool intoTreeFolder = facts.fromThisPane && WithinDraggedFolder(tree, item);
    return serverdrop::TreeEffect(*record, facts, intoTreeFolder || intoListFolder);
}

void CSLDropTarget::OnDragLeave(CWnd*)
{
    EndTreeDrag(m_pView ? &m_pView->Tree() : nullptr);
}

BOOL CSLDropTarget::OnDrop(CWnd*, COleDataObject* data, DROPEFFECT effect, CPoint point)
{
    EndTreeDrag(m_pView ? &m_pView->Tree() : nullptr);
    if (!m_pView)
        return FALSE;
    CServerTreeCtrl& tree = m_pView->Tree();
    ForgetDragSource(tree.FrameHost());
    if (IsRefusedDrop(effect))
        return FALSE;
    HTREEITEM item = tree.HitTest(point);
    if (!item || !tree.GetRecord(item))
        return FALSE;
    return m_pView->DropData(item, data, static_cast<int>(effect & (DROPEFFECT_COPY | DROPEFFECT_MOVE)));
}

// ---- The file list ----

DROPEFFECT CSRDropTarget::OnDragOver(CWnd* wnd, COleDataObject* data, DWORD keys, CPoint point)
{
    MoveDragImage(wnd, point);
    CServerTreeCtrl* tree = m_pView ? m_pView->FolderTree() : nullptr;
    IServerFrameHost* frame = tree ? tree->FrameHost() : nullptr;
    if (!frame || !data)
        return DROPEFFECT_NONE;
    CServerListCtrl& list = m_pView->List();
    UINT flags = 0;
    int row = list.HitTest(point, &flags);
    if (!(flags & 0x46))
        row = -1;
    const _PROTO_FOLDER_INFO* current = tree->GetRecord(tree->GetSelectedItem());
    if (!current)
        return DROPEFFECT_NONE;
    const auto* record = row >= 0 ? reinterpret_cast<const _PROTO_FOLDER_INFO*>(list.GetItemData(row)) : nullptr;
    if (row >= 0 && !record)
        return DROPEFFECT_NONE;
    HighlightRow(list, row);
    if (Locked(*frame, record))
        return DROPEFFECT_NONE;
    const bool selected = row >= 0 && (list.GetItemState(row, LVIS_SELECTED) & LVIS_SELECTED);
    const bool fromTree = frame->GetDragSource() == L"SL";
    return serverdrop::ListEffect(record, *current, FactsOf(data, keys, frame, L"SR"), selected,
                                  fromTree && IntoTreeDrag(*tree, record));
}

void CSRDropTarget::OnDragLeave(CWnd*)
{
    EndListDrag(m_pView ? &m_pView->List() : nullptr);
}

BOOL CSRDropTarget::OnDrop(CWnd*, COleDataObject* data, DROPEFFECT effect, CPoint)
{
    EndDragImage();
    CServerTreeCtrl* tree = m_pView ? m_pView->FolderTree() : nullptr;
    if (!tree)
        return FALSE;
    ForgetDragSource(tree->FrameHost());
    const int row = TakeDropRow(m_pView->List());
    if (IsRefusedDrop(effect))
        return FALSE;
    return m_pView->OnDropData(data, row, effect);
}

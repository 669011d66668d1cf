// The local panes' drop targets.
#include "LocalDropTargets.h"
#include "ClientLeftView.h"
#include "ClientRightView.h"
#include "LocalShell.h"
#include "OleDataObject.h"
#include "ServerClipboard.h"

namespace {

DWORD ShellEffect(LPCITEMIDLIST absolute, COleDataObject* data, DWORD keys)
{
    IDataObject* object = data ? data->GetIDataObject(FALSE) : nullptr;
    return object ? g_pShellDropEffect(absolute, object, keys, CDragDropTarget::ProposedEffect(keys)) : DROPEFFECT_NONE;
}

}

// ---- The folder tree ----

DROPEFFECT CCLDropTarget::OnDragOver(CWnd* wnd, COleDataObject* data, DWORD keys, CPoint point)
{
    MoveDragImage(wnd, point);
    CClientTreeCtrl* tree = m_pView ? m_pView->GetTree() : nullptr;
    if (!tree || !data)
        return DROPEFFECT_NONE;
    HTREEITEM item = tree->HitTest(point);
    _LOCAL_TREE_ITEM* record = tree->GetRecord(item);
    if (!record || record->recycleBin)
        return DROPEFFECT_NONE;
    HoverItem(*tree, item, [&] { m_pView->ExpandItem(item); });
    if (HasServerItems(data))
        return DROPEFFECT_COPY;
    if (!data->IsDataAvailable(CF_HDROP))
        return DROPEFFECT_NONE;
    ILocalFrameHost* host = m_pView->Host();
    if (host && host->GetDragSource() == L"CL" && tree->m_hDragItem && tree->IsSameOrBelow(item, tree->m_hDragItem))
        return DROPEFFECT_NONE;
    return ShellEffect(record->absolute, data, keys);
}

void CCLDropTarget::OnDragLeave(CWnd*)
{
    EndTreeDrag(m_pView ? m_pView->GetTree() : nullptr);
}

BOOL CCLDropTarget::OnDrop(CWnd*, COleDataObject* data, DROPEFFECT effect, CPoint point)
{
    CClientTreeCtrl* tree = m_pView ? m_pView->GetTree() : nullptr;
    EndTreeDrag(tree);
    if (m_pView && m_pView->Host())
        m_pView->Host()->SetDragSource(CString());
    if (!tree || IsRefusedDrop(effect))
        return FALSE;
    HTREEITEM item = tree->HitTest(point);
    if (!item)
        return FALSE;
    return m_pView->OnDropItems(item, effect, data) ? TRUE : FALSE;
}

// ---- The file list ----

DROPEFFECT CCRDropTarget::OnDragOver(CWnd* wnd, COleDataObject* data, DWORD keys, CPoint point)
{
    MoveDragImage(wnd, point);
    CClientListCtrl* list = m_pView ? m_pView->GetList() : nullptr;
    ILocalTreeSide* tree = m_pView ? m_pView->TreeSide() : nullptr;
    if (!list || !tree || !data)
        return DROPEFFECT_NONE;
    UINT flags = 0;
    int row = list->HitTest(point, &flags);
    if (!(flags & 0x0E))
        row = -1;
    _LOCAL_TREE_ITEM* folder = tree->FolderRecord(tree->SelectedFolder());
    if (!folder || folder->recycleBin)
        return DROPEFFECT_NONE;
    _LOCAL_LIST_ITEM* record = row >= 0 ? list->GetRecord(row) : nullptr;
    if (row >= 0 && !record)
        return DROPEFFECT_NONE;
    HighlightRow(*list, row);
    if (HasServerItems(data))
        return DROPEFFECT_COPY;
    if (!data->IsDataAvailable(CF_HDROP))
        return DROPEFFECT_NONE;
    std::vector<CString> paths;
    GetFileListDataObject(paths, data);
    if (record && (record->attributes & SFGAO_FOLDER)) {
        const CString target = ShellItemPath(record->pidl);
        for (const CString& path : paths)
            if (path.CompareNoCase(target) == 0)
                return DROPEFFECT_NONE;
        return ShellEffect(record->pidl, data, keys);
    }
    if (!paths.empty() && DropsIntoOwnFolder(paths.front(), ShellItemPath(folder->absolute)))
        return DROPEFFECT_NONE;
    return ShellEffect(folder->absolute, data, keys);
}

void CCRDropTarget::OnDragLeave(CWnd*)
{
    EndListDrag(m_pView ? m_pView->GetList() : nullptr);
}

BOOL CCRDropTarget::OnDrop(CWnd*, COleDataObject* data, DROPEFFECT effect, CPoint)
{
    EndDragImage();
    if (m_pView && m_pView->Host())
        m_pView->Host()->SetDragSource(CString());
    CClientListCtrl* list = m_pView ? m_pView->GetList() : nullptr;
    if (!list)
        return FALSE;
    const int row = TakeDropRow(*list);
    if (IsRefusedDrop(effect))
        return FALSE;
    m_pView->OnDropData(data, row, effect);
    return TRUE;
}

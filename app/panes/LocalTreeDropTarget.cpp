// The local folder tree's drop target, and the shell's answer both local targets ask.
#include "LocalDropTargets.h"
#include "ClientLeftView.h"
#include "LocalShell.h"
#include "OleDataObject.h"

DWORD LocalShellDropEffect(LPCITEMIDLIST absolute, COleDataObject* data, DWORD keys)
{
    IDataObject* object = data ? data->GetIDataObject(FALSE) : nullptr;
    return object ? g_pShellDropEffect(absolute, object, keys, CDragDropTarget::ProposedEffect(keys)) : DROPEFFECT_NONE;
}

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
    return LocalShellDropEffect(record->absolute, data, keys);
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

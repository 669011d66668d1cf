// The local file list's drop target.
#include "LocalDropTargets.h"
#include "ClientRightView.h"
#include "LocalShell.h"
#include "OleDataObject.h"
#include "ServerClipboard.h"

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
        return LocalShellDropEffect(record->pidl, data, keys);
    }
    if (!paths.empty() && DropsIntoOwnFolder(paths.front(), ShellItemPath(folder->absolute)))
        return DROPEFFECT_NONE;
    return LocalShellDropEffect(folder->absolute, data, keys);
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

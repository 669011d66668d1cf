// The main frame as the local panes' host.
#include "LocalPaneHost.h"
#include "ClientLeftView.h"
#include "ClientRightView.h"
#include "MainFrame.h"
#include "ServerLeftView.h"

CFrameLocalHost& CFrameLocalHost::Instance()
{
    static CFrameLocalHost host;
    return host;
}

void CFrameLocalHost::SetMenuButtonState(const ServerMenuState& state)
{
    CMainFrame* frame = MainFrameOf();
    if (!frame)
        return;
    const BOOL flags[12] = {state.newFolder, state.upload, state.download, state.share, state.remove, state.copy,
                            state.cut, state.paste, state.link, state.approvalAfterGoTo, state.directEdit,
                            state.approval};
    frame->SetMenuButtonState("", flags, 12);
}

bool CFrameLocalHost::IsUploadAllowed()
{
    CMainFrame* frame = MainFrameOf();
    return frame && frame->m_serverHost.UploadAllowed();
}

void CFrameLocalHost::SetDownloadTarget(bool target) { m_bDownloadTarget = target; }

bool CFrameLocalHost::IsLabelEditing() { return m_bLabelEdit; }

void CFrameLocalHost::SetLabelEditing(bool editing) { m_bLabelEdit = editing; }

void CFrameLocalHost::SetActivePane(int row, int column)
{
    CMainFrame* frame = MainFrameOf();
    if (frame && frame->m_wndSplitter.GetSafeHwnd())
        frame->m_wndSplitter.SetActivePane(row, column, nullptr);
}

void CFrameLocalHost::ClearCutMarks()
{
    CMainFrame* frame = MainFrameOf();
    if (frame && frame->m_wndSplitter.m_panes.clearCutMarks)
        frame->m_wndSplitter.m_panes.clearCutMarks();
}

void CFrameLocalHost::SetDragSource(const CString& tag)
{
    if (CMainFrame* frame = MainFrameOf())
        frame->m_strDragSource = tag;
    m_strDragSource = tag;
}

CString CFrameLocalHost::GetDragSource()
{
    CMainFrame* frame = MainFrameOf();
    return frame ? frame->m_strDragSource : m_strDragSource;
}

_PROTO_FOLDER_INFO* CFrameLocalHost::ServerTarget(HTREEITEM* item)
{
    *item = nullptr;
    CMainFrame* frame = MainFrameOf();
    if (!frame || !frame->m_pServerTreeView || !frame->m_pServerTreeView->Tree().GetSafeHwnd())
        return nullptr;
    CServerTreeCtrl& tree = frame->m_pServerTreeView->Tree();
    *item = tree.GetSelectedItem();
    return *item ? tree.GetRecord(*item) : nullptr;
}

void CFrameLocalHost::Upload(_PROTO_FOLDER_INFO* folder, std::vector<_UPLOADINFO>& items)
{
    CMainFrame* frame = MainFrameOf();
    if (frame && frame->m_wndSplitter.GetSafeHwnd())
        frame->m_wndSplitter.Upload(folder, items);
}

void CFrameLocalHost::Download(std::vector<_DOWNLOADINFO>& items, HTREEITEM localItem)
{
    CMainFrame* frame = MainFrameOf();
    if (!frame || !frame->m_wndSplitter.GetSafeHwnd())
        return;
    frame->m_wndSplitter.m_hDownloadLocalItem = localItem;
    frame->m_wndSplitter.Download(items);
}

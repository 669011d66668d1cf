// CMainFrame and the server panes: the session handed to the tree and list after log-in, the
// first listing and the last server path, and the frame's side of IServerFrameHost.
#include "MainFrame.h"
#include "MainFramePanes.h"
#include "ClientLeftView.h"
#include "ServerLeftView.h"
#include "ServerRightView.h"
#include "ToviProto.h"
#include "TraceLog.h"

bool CServerFrameHost::IsLoggedIn()
{
    return m_frame->m_bLoggedIn;
}

int CServerFrameHost::CheckFolderPassword(const _PROTO_FOLDER_INFO& folder, bool silent)
{
    return m_frame->CheckFolderPassword(&folder, silent);
}

void CServerFrameHost::PostForcedLogout()
{
    // The guard lets only the first report of the ended session through.
    m_frame->RequestForcedLogout(m_frame->m_pProto ? m_frame->m_pProto->ResultInfo.wszMessage : L"");
}

void CServerFrameHost::SetMenuButtonState(const ServerMenuState& s)
{
    if (m_frame->m_wndMenuBar.GetSafeHwnd())
        m_frame->m_wndMenuBar.SetMenuButtonState(s);
}

void CServerFrameHost::SetViewButtonsEnabled(bool enabled)
{
    m_bViewButtons = enabled;
    if (m_frame->m_wndMenuBar.GetSafeHwnd())
        m_frame->m_wndMenuBar.SetViewButtonsEnabled(enabled);
}

void CServerFrameHost::EnableSearchBox(bool enabled)
{
    m_bSearchBox = enabled;
    if (m_frame->m_wndMenuBar.GetSafeHwnd())
        m_frame->m_wndMenuBar.EnableSearchBox(enabled);
}

bool CServerFrameHost::IsDownloadTarget()
{
    return m_frame->m_pLocalTreeView && !m_frame->m_pLocalTreeView->SelectedPath().IsEmpty();
}

CString CServerFrameHost::GetCustomerCode()
{
    return m_frame->m_pProto ? m_frame->m_pProto->CustomerCode : CString();
}

void CServerFrameHost::SetActivePane(int row, int column)
{
    if (m_frame->m_wndSplitter.GetSafeHwnd())
        m_frame->m_wndSplitter.SetActivePane(row, column, nullptr);
}

void CServerFrameHost::SetDragSource(const CString& tag)
{
    m_frame->m_strDragSource = tag;
}

void CMainFrame::StartServerPanes()
{
    if (!m_pServerTreeView || !m_pServerListView || !m_pProto)
        return;
    CServerTreeCtrl& tree = m_pServerTreeView->Tree();
    m_pServerListView->SetSession(m_pProto, &m_serverHost, &tree);
    if (CServerListPane* pane = m_pServerListView->Pane())
        pane->SetThumbnailSource(m_strImageExt, m_nThumbWidth, m_nThumbHeight);
    m_pServerListView->SetThumbnailView(false, false);
    m_pServerTreeView->SetSession(m_pProto, &m_serverHost, m_pServerListView->ListSide());
    m_pServerTreeView->SetListView(m_pServerListView);
    m_pServerListView->SetFolderView(m_pServerTreeView);
    if (!tree.DrawSubTreeNList(nullptr, TREE_REFRESH_TREE_ONLY, false) && tree.IsForcedClose())
        m_serverHost.PostForcedLogout();
}

void CMainFrame::RestoreServerPath()
{
    if (!m_pServerTreeView)
        return;
    std::vector<CString> names;
    CString local;
    mainframe::RestoreLastPaths(names, local);
    CServerTreeCtrl& tree = m_pServerTreeView->Tree();
    m_pServerTreeView->SelectServerNames(names);
    tree.SetMenuButtonState(tree.GetRecord(tree.GetSelectedItem()));
}

void CMainFrame::SaveServerListLayout()
{
    if (m_pServerListView)
        m_pServerListView->SaveLayout();
}

void CMainFrame::ReloadServerListLayout()
{
    if (m_pServerListView)
        m_pServerListView->ReloadLayout();
}

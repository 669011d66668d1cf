// CMainFrame and the server panes: the session handed to the tree and list after log-in, the
// first listing and the last server path, and the frame's side of IServerFrameHost.
#include "MainFrame.h"
#include "MainFramePanes.h"
#include "ClientLeftView.h"
#include "ClientRightView.h"
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

void CServerFrameHost::EnableMenuButtons()
{
    if (m_frame->m_wndMenuBar.GetSafeHwnd())
        m_frame->m_wndMenuBar.EnableMenuButtons();
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
    m_frame->SetDragSource(tag);
}

CString CServerFrameHost::GetDragSource()
{
    return m_frame->DragSource();
}

void CServerFrameHost::ClearCutMarks()
{
    if (m_frame->m_wndSplitter.m_panes.clearCutMarks)
        m_frame->m_wndSplitter.m_panes.clearCutMarks();
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

namespace {

// A download's target item may have gone while it ran (its folder collapsed and refilled,
// deleted): only an item still in the tree is touched.
bool InTree(CTreeCtrl& tree, HTREEITEM parent, HTREEITEM item)
{
    for (HTREEITEM child = tree.GetChildItem(parent); child; child = tree.GetNextSiblingItem(child))
        if (child == item || InTree(tree, child, item))
            return true;
    return false;
}

}

void CMainFrame::HookSplitterPanes()
{
    SplitterPaneCalls& calls = m_wndSplitter.m_panes;
    if (!calls.serverSelection)
        calls.serverSelection = [this]() -> HTREEITEM {
            if (!m_pServerTreeView || !m_pServerTreeView->Tree().GetSafeHwnd())
                return nullptr;
            return m_pServerTreeView->Tree().GetSelectedItem();
        };
    if (!calls.refreshServer)
        calls.refreshServer = [this](HTREEITEM item, int mode) {
            if (m_pServerTreeView && m_pServerTreeView->Tree().GetSafeHwnd() &&
                !m_pServerTreeView->Tree().DrawSubTreeNList(item, mode, false) &&
                m_pServerTreeView->Tree().IsForcedClose())
                m_serverHost.PostForcedLogout();
        };
    calls.localSelection = [this]() -> HTREEITEM {
        CClientTreeCtrl* tree = m_pLocalTreeView ? m_pLocalTreeView->GetTree() : nullptr;
        return tree && tree->GetSafeHwnd() ? tree->GetSelectedItem() : nullptr;
    };
    calls.refreshLocal = [this](HTREEITEM item, bool selected) {
        CClientTreeCtrl* tree = m_pLocalTreeView ? m_pLocalTreeView->GetTree() : nullptr;
        if (!tree || !tree->GetSafeHwnd() || !item || !InTree(*tree, TVI_ROOT, item))
            return;
        const bool expanded = (tree->GetItemState(item, TVIS_EXPANDED) & TVIS_EXPANDED) != 0;
        if (expanded || selected)
            tree->RefreshFolder(item, expanded, selected);
    };
    // A move's end or a clipboard taken over leaves no pane showing rows as cut.
    calls.clearCutMarks = [this]() {
        if (m_pServerTreeView && m_pServerTreeView->Tree().GetSafeHwnd())
            m_pServerTreeView->Tree().ClearCutMarks();
        if (m_pServerListView)
            m_pServerListView->ClearCutMarks();
        if (m_pLocalTreeView && m_pLocalTreeView->GetTree())
            m_pLocalTreeView->GetTree()->ClearCutMarks();
        if (m_pLocalListView)
            m_pLocalListView->ClearCutMarks();
    };
    if (!calls.uploadApproval)
        calls.uploadApproval = [this](const CString& indexes) {
            if (m_pServerListView)
                m_pServerListView->OnUploadApproval(indexes);
        };
    calls.paneColor[1][0] = [this](COLORREF color) {
        if (m_pLocalTreeView && m_pLocalTreeView->GetTree())
            m_pLocalTreeView->GetTree()->SetPaneColor(color);
    };
    calls.paneColor[1][1] = [this](COLORREF color) {
        if (m_pLocalListView)
            m_pLocalListView->SetPaneColor(color);
    };
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

void CMainFrame::ActivatePane(int row, int column)
{
    if (m_wndSplitter.GetSafeHwnd())
        m_wndSplitter.SetActivePane(row, column, nullptr);
}

void CMainFrame::ClearPaneCutMarks()
{
    if (m_wndSplitter.m_panes.clearCutMarks)
        m_wndSplitter.m_panes.clearCutMarks();
}

_PROTO_FOLDER_INFO* CMainFrame::ServerTreeTarget(HTREEITEM* item)
{
    *item = nullptr;
    if (!m_pServerTreeView || !m_pServerTreeView->Tree().GetSafeHwnd())
        return nullptr;
    CServerTreeCtrl& tree = m_pServerTreeView->Tree();
    *item = tree.GetSelectedItem();
    return *item ? tree.GetRecord(*item) : nullptr;
}

void CMainFrame::UploadFromLocal(_PROTO_FOLDER_INFO* folder, std::vector<_UPLOADINFO>& items)
{
    if (m_wndSplitter.GetSafeHwnd())
        m_wndSplitter.Upload(folder, items);
}

void CMainFrame::DownloadToLocal(std::vector<_DOWNLOADINFO>& items, HTREEITEM localItem)
{
    if (!m_wndSplitter.GetSafeHwnd())
        return;
    m_wndSplitter.m_hDownloadLocalItem = localItem;
    m_wndSplitter.Download(items);
}

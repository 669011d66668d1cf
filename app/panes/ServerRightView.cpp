// CServerRightView: the server file list pane (top right).
#include "ServerRightView.h"
#include "Dc.h"
#include "PaneMessages.h"
#include "ServerTreeCtrl.h"
#include "ThumbnailCache.h"
#include "ToviMessages.h"
#include "WindowPosBatch.h"
#include <cstring>

IMPLEMENT_DYNCREATE(CServerRightView, CView)

BEGIN_MESSAGE_MAP(CServerRightView, CView)
    ON_WM_CREATE()
    ON_WM_SIZE()
    ON_WM_DESTROY()
    ON_WM_SETFOCUS()
    ON_WM_ERASEBKGND()
    ON_COMMAND(kNewFolderButton, OnNewFolder)
    ON_COMMAND(kReportViewButton, OnReportView)
    ON_COMMAND(kThumbnailViewButton, OnThumbnailView)
    ON_MESSAGE(WM_SEARCH_GOTO_FOLDER, OnSearchGotoFolder)
    ON_MESSAGE(WM_SEARCHDLG_CLOSED, OnSearchDlgClosed)
    ON_MESSAGE(WM_SHOW_HTML_POPUP, OnShowHtmlPopup)
    ON_MESSAGE(WM_LIST_THREAD_STOP, OnListThreadStop)
    ON_MESSAGE(WM_DIRECTEDIT_REFRESH, OnDirectEditRefresh)
    ON_MESSAGE(WM_APPROVAL_REFRESH, OnApprovalRefresh)
END_MESSAGE_MAP()

CServerRightView::CServerRightView()
{
    m_dropTarget.m_pView = this;
}

CServerRightView::~CServerRightView() = default;

void CServerRightView::OnDraw(CDC*) {}

int CServerRightView::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CView::OnCreate(lpCreateStruct) == -1)
        return -1;
    const DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_TABSTOP | LVS_REPORT | LVS_SHAREIMAGELISTS |
                        LVS_SHOWSELALWAYS;
    if (!m_list.Create(style, CRect(0, 0, 0, 0), this, 0))
        return -1;
    m_list.SetExtendedStyle(m_list.GetExtendedStyle() | LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
    m_list.SetPaneColor(RGB(0xFA, 0xFA, 0xFA));
    m_list.EnableToolTips(TRUE);
    m_dropTarget.Register(&m_list);
    return 0;
}

void CServerRightView::OnSize(UINT nType, int cx, int cy)
{
    CView::OnSize(nType, cx, cy);
    if (nType == SIZE_MINIMIZED || !m_list.GetSafeHwnd())
        return;
    CWindowPosBatch batch(1);
    batch.Move(&m_list, CRect(0, 0, cx, cy), SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void CServerRightView::OnDestroy()
{
    m_dropTarget.Revoke();
    if (m_pane) {
        m_pane->ClearList();
        m_pane.reset();
    }
    // The pictures of this run go with it.
    CString dir = ThumbnailCacheDir();
    if (!dir.IsEmpty()) {
        WIN32_FIND_DATAW found;
        HANDLE find = FindFirstFileW((dir + L"\\*.*").GetString(), &found);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
                    CString path;
                    path.Format(L"%s\\%s", dir.GetString(), found.cFileName);
                    DeleteFileW(path.GetString());
                }
            } while (FindNextFileW(find, &found));
            FindClose(find);
        }
    }
    CView::OnDestroy();
}

void CServerRightView::OnSetFocus(CWnd* oldWnd)
{
    CView::OnSetFocus(oldWnd);
    if (m_list.GetSafeHwnd())
        m_list.SetFocus();
}

BOOL CServerRightView::OnEraseBkgnd(CDC*)
{
    return TRUE;   // the list covers the whole pane
}

void CServerRightView::SetSession(CToviProto* proto, IServerFrameHost* frame, CServerTreeCtrl* tree)
{
    if (!m_list.GetSafeHwnd())
        return;
    if (!m_pane) {
        // Made with the first session: the shell's icons are not needed before anything is listed.
        m_pane.reset(new CServerListPane(&m_list, nullptr, nullptr));
        m_pane->LoadSortState();
        _PROTO_FOLDER_INFO plain;
        CToviProto::memsetFolderInfo(&plain);
        m_pane->SetListColumn(plain);
    }
    m_pTree = tree;
    m_pProto = proto;
    m_pane->Attach(tree, proto);
    m_list.SetSession(proto, frame, tree, m_pane.get());
    m_list.SetCommandSink(this);
}

void CServerRightView::ClearPane()
{
    if (m_pane)
        m_pane->ClearList();
}

void CServerRightView::SetThumbnailView(bool thumbnail, bool refill)
{
    if (m_pane)
        m_pane->SetThumbnailView(thumbnail, refill);
}

void CServerRightView::SaveLayout()
{
    if (!m_pane)
        return;
    m_pane->SaveColumnSize();
    m_pane->SaveSortState();
}

void CServerRightView::OnReportView()
{
    SetThumbnailView(false, true);
}

void CServerRightView::OnThumbnailView()
{
    SetThumbnailView(true, true);
}

void CServerRightView::ReloadLayout()
{
    if (!m_pane)
        return;
    m_pane->LoadSortState();
    m_pane->LoadColumnSize(m_list.m_nListKind);
    m_pane->Resort();
}

void CServerRightView::OnNewFolder()
{
    if (!m_pane || !m_pTree)
        return;
    HTREEITEM folderItem = m_pTree->GetSelectedItem();
    int selected = static_cast<int>(m_list.GetSelectedCount());
    if (!folderItem || selected > 1)
        return;
    if (selected == 1) {
        // Into the selected folder row first; a file row takes no folder.
        auto* row = reinterpret_cast<const _PROTO_FOLDER_INFO*>(m_list.GetItemData(m_list.GetNextItem(-1, LVNI_SELECTED)));
        if (!row || std::strcmp(row->ItemType, "D") != 0)
            return;
        if (!m_pTree->GetChildItem(folderItem))
            m_pTree->Expand(folderItem, TVE_EXPAND);
        HTREEITEM child = nullptr;
        for (HTREEITEM i = m_pTree->GetChildItem(folderItem); i && !child; i = m_pTree->GetNextSiblingItem(i)) {
            _PROTO_FOLDER_INFO* r = m_pTree->GetRecord(i);
            if (r && std::strncmp(r->IDX, row->IDX, sizeof r->IDX) == 0)
                child = i;
        }
        if (!child)
            return;
        m_pTree->SelectItem(child);
        folderItem = child;
    }
    m_pane->WaitListThreadExit();
    _PROTO_FOLDER_INFO* target = m_pTree->GetRecord(folderItem);
    if (!target || m_pTree->GetSelectedItem() != folderItem)
        return;
    int row = m_pane->InsertNewFolderRow(*target);
    if (row < 0)
        return;
    m_list.UpdateWindow();
    m_list.SetFocus();
    m_list.BeginNameEdit(row, 0);
}

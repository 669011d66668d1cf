// CServerLeftView: the server folder tree pane (top left).
#include "ServerLeftView.h"
#include "Dc.h"
#include "PaneMessages.h"
#include "ToviMessages.h"
#include "WindowPosBatch.h"
#include <cstring>
#include <memory>

IMPLEMENT_DYNCREATE(CServerLeftView, CView)

BEGIN_MESSAGE_MAP(CServerLeftView, CView)
    ON_WM_CREATE()
    ON_WM_SIZE()
    ON_WM_DESTROY()
    ON_WM_SETFOCUS()
    ON_WM_ERASEBKGND()
    ON_MESSAGE(WM_OPEN_CHILD_FOLDER, OnOpenChildFolder)
    ON_MESSAGE(WM_SEARCH_GOTO_FOLDER, OnSearchGotoFolder)
    ON_MESSAGE(WM_SEARCHDLG_CLOSED, OnSearchDlgClosed)
    ON_MESSAGE(WM_SHOW_HTML_POPUP, OnShowHtmlPopup)
    ON_MESSAGE(WM_OPEN_SHORTCUT_PATH, OnOpenShortcutPath)
END_MESSAGE_MAP()

CServerLeftView::CServerLeftView()
{
    m_dropTarget.m_pView = this;
}

void CServerLeftView::OnDraw(CDC*) {}

int CServerLeftView::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CView::OnCreate(lpCreateStruct) == -1)
        return -1;
    const DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT |
                        TVS_SHOWSELALWAYS;
    if (!m_tree.Create(style, CRect(0, 0, 0, 0), this, 0))
        return -1;
    m_tree.SetPaneColor(RGB(0xFA, 0xFA, 0xFA));
    m_dropTarget.Register(&m_tree);
    return 0;
}

void CServerLeftView::OnSize(UINT nType, int cx, int cy)
{
    CView::OnSize(nType, cx, cy);
    if (nType == SIZE_MINIMIZED || !m_tree.GetSafeHwnd())
        return;
    CWindowPosBatch batch(1);
    batch.Move(&m_tree, CRect(0, 0, cx, cy), SWP_NOZORDER | SWP_NOACTIVATE);
}

void CServerLeftView::OnDestroy()
{
    m_dropTarget.Revoke();
    CloseSearch();
    ClearPane();
    CView::OnDestroy();
}

void CServerLeftView::OnSetFocus(CWnd* oldWnd)
{
    CView::OnSetFocus(oldWnd);
    if (m_tree.GetSafeHwnd())
        m_tree.SetFocus();
}

BOOL CServerLeftView::OnEraseBkgnd(CDC*)
{
    return TRUE;   // the tree covers the whole pane
}

void CServerLeftView::SetSession(CToviProto* proto, IServerFrameHost* frame, IServerListSide* list)
{
    m_pProto = proto;
    m_tree.SetSession(proto, frame, list);
    m_tree.SetCommandSink(this);
}

void CServerLeftView::ClearPane()
{
    m_tree.ClearTree();
}

CString CServerLeftView::SelectedPath() const
{
    if (!m_tree.GetSafeHwnd())
        return CString();
    HTREEITEM item = m_tree.GetSelectedItem();
    return item ? m_tree.GetItemPath(item) : CString();
}

void CServerLeftView::SelectServerNames(const std::vector<CString>& names)
{
    m_tree.SelectServerNames(names);
}

LRESULT CServerLeftView::OnOpenChildFolder(WPARAM record, LPARAM)
{
    // The list posts a copy of the row's record: its own row may be gone by now.
    std::unique_ptr<_PROTO_FOLDER_INFO> child(reinterpret_cast<_PROTO_FOLDER_INFO*>(record));
    if (!child)
        return 0;
    HTREEITEM parent = m_tree.GetSelectedItem();
    if (!parent)
        return 0;
    if (!m_tree.GetChildItem(parent))
        m_tree.Expand(parent, TVE_EXPAND);
    for (HTREEITEM item = m_tree.GetChildItem(parent); item; item = m_tree.GetNextSiblingItem(item)) {
        _PROTO_FOLDER_INFO* r = m_tree.GetRecord(item);
        if (r && std::strncmp(r->IDX, child->IDX, sizeof r->IDX) == 0) {
            m_tree.Expand(parent, TVE_EXPAND);
            m_tree.SelectItem(item);
            m_tree.EnsureVisible(item);
            break;
        }
    }
    return 0;
}

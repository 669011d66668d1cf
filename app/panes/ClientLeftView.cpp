// CClientLeftView: the local folder tree pane (bottom left) and its folder commands.
#include "ClientLeftView.h"
#include "Dc.h"
#include "Edit.h"
#include "LocalPaneRules.h"
#include "LocalShell.h"
#include "LocalTransfers.h"
#include "OleDataObject.h"
#include "ServerClipboard.h"
#include "ShellItems.h"
#include "TraceLog.h"

namespace {
constexpr UINT kTreeId = 28001;
}

IMPLEMENT_DYNCREATE(CClientLeftView, CLocalPaneView)

BEGIN_MESSAGE_MAP(CClientLeftView, CLocalPaneView)
    ON_WM_CREATE()
    ON_WM_SIZE()
    ON_WM_DESTROY()
END_MESSAGE_MAP()

CClientLeftView::CClientLeftView()
{
    m_dropTarget.m_pView = this;
}

CClientLeftView::~CClientLeftView() = default;

void CClientLeftView::OnDraw(CDC*) {}

int CClientLeftView::OnCreate(LPCREATESTRUCT cs)
{
    if (CLocalPaneView::OnCreate(cs) == -1)
        return -1;
    m_pTree.reset(new CClientTreeCtrl());
    if (!m_pTree->Create(WS_CHILD | WS_VISIBLE | WS_TABSTOP | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT |
                             TVS_SHOWSELALWAYS,
                         CRect(0, 0, 10, 10), this, kTreeId)) {
        m_pTree.reset();
        return -1;
    }
    m_dropTarget.Register(m_pTree.get());
    SHFILEINFOW info = {};
    m_hSystemImages = reinterpret_cast<HIMAGELIST>(
        ::SHGetFileInfoW(L"", 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
    const COLORREF pane = RGB(0xFF, 0xFF, 0xFF);
    m_pTree->SetImageList(m_hSystemImages, TVSIL_NORMAL);
    m_pTree->SetPaneColor(pane);
    return 0;
}

void CClientLeftView::OnSize(UINT type, int cx, int cy)
{
    CLocalPaneView::OnSize(type, cx, cy);
    if (m_pTree && m_pTree->m_hWnd)
        m_pTree->SetWindowPos(nullptr, 0, 0, cx, cy, SWP_NOZORDER | SWP_SHOWWINDOW);
}

void CClientLeftView::OnDestroy()
{
    m_dropTarget.Revoke();
    ClearPane();
    if (m_pTree && m_pTree->m_hWnd)
        m_pTree->DestroyWindow();
    m_pTree.reset();
    CLocalPaneView::OnDestroy();
}

void CClientLeftView::ClearPane()
{
    if (m_pTree)
        m_pTree->ClearTree();
    m_hCutItem = nullptr;
}

CString CClientLeftView::SelectedPath() const
{
    if (!m_pTree || !m_pTree->m_hWnd)
        return CString();
    return m_pTree->GetItemPath(m_pTree->GetSelectedItem());
}

void CClientLeftView::ShowLocalRoot(ILocalListSide* list, const CString& lastPath, ILocalFrameHost* host)
{
    if (!m_pTree)
        return;
    if (host)
        m_pHost = host;
    if (list)
        list->SetLeftView(this, m_pHost);
    m_hCutItem = nullptr;
    m_pTree->DrawTreeRoot(list, this, m_pHost);
    m_pTree->SelectPath(lastPath);
}

void CClientLeftView::RefreshItem(HTREEITEM item)
{
    if (!item || !m_pTree)
        return;
    const bool expanded = (m_pTree->GetItemState(item, TVIS_EXPANDED) & TVIS_EXPANDED) != 0;
    const bool selected = m_pTree->GetSelectedItem() == item;
    if (expanded || selected)
        m_pTree->RefreshFolder(item, expanded, selected);
}

void CClientLeftView::OnCut(HTREEITEM item)
{
    const CString path = m_pTree ? m_pTree->GetItemPath(item) : CString();
    if (path.IsEmpty() || !CopyFileListClipboard({path}, true))
        return;
    m_pTree->SetItemState(item, TVIS_CUT, TVIS_CUT);
    m_pTree->MoveSource().Mark(m_pTree->GetParentItem(item));
    if (m_hCutItem && m_hCutItem != item)
        m_pTree->SetItemState(m_hCutItem, 0, TVIS_CUT);
    m_hCutItem = item;
}

void CClientLeftView::OnCopy(HTREEITEM item)
{
    const CString path = m_pTree ? m_pTree->GetItemPath(item) : CString();
    if (path.IsEmpty() || path.GetLength() == 3)
        return;
    CopyFileListClipboard({path}, false);
}

bool CClientLeftView::PasteFiles(HTREEITEM item, const std::vector<CString>& paths, bool move, bool fromClipboard)
{
    _LOCAL_TREE_ITEM* record = m_pTree ? m_pTree->GetRecord(item) : nullptr;
    if (!record || record->recycleBin)
        return false;
    const CString target = ShellItemPath(record->absolute);
    if (paths.empty() || target.IsEmpty())
        return false;
    HTREEITEM source = m_pTree->MoveSource().Folder();
    if (!RunShellFileOperation(m_pTree->m_hWnd, move ? FO_MOVE : FO_COPY, paths, target, FOF_ALLOWUNDO))
        return true;
    RefreshItem(item);
    if (move && source && source != item)
        RefreshItem(source);
    if (fromClipboard) {
        if (move && ::OpenClipboard(m_pTree->m_hWnd))
            ClearClipboard();
        if (m_pHost)
            m_pHost->ClearCutMarks();
        m_hCutItem = nullptr;
    }
    return true;
}

void CClientLeftView::OnPaste(HTREEITEM item)
{
    if (::IsClipboardFormatAvailable(CF_HDROP)) {
        std::vector<CString> paths;
        bool cut = false;
        if (GetFileListClipboard(paths, cut))
            PasteFiles(item, paths, cut, true);
        return;
    }
    const UINT format = ::RegisterClipboardFormatW(kServerItemsFormat);
    std::vector<_PROTO_FOLDER_INFO> records;
    CString tag, source;
    bool cut = false;
    if (GetFolderInfoListClipboard(&format, records, tag, source, cut) && !records.empty())
        DownloadInto(item, records, source);
}

bool CClientLeftView::DownloadInto(HTREEITEM item, const std::vector<_PROTO_FOLDER_INFO>& records,
                                   const CString& sourcePath)
{
    _LOCAL_TREE_ITEM* record = m_pTree ? m_pTree->GetRecord(item) : nullptr;
    if (!record || record->recycleBin)
        return false;
    const CString folder = ShellItemPath(record->absolute);
    if (folder.IsEmpty())
        return false;
    localxfer::StartDownload(m_pTree.get(), m_pHost, records, sourcePath, folder, item);
    return true;
}

void CClientLeftView::OnDelete(HTREEITEM item, bool allowUndo)
{
    const CString path = m_pTree ? m_pTree->GetItemPath(item) : CString();
    if (path.IsEmpty())
        return;
    if (!RunShellFileOperation(m_pTree->m_hWnd, FO_DELETE, {path}, CString(), LocalDeleteFlags(allowUndo, false)))
        return;
    HTREEITEM parent = m_pTree->GetParentItem(item);
    if (m_hCutItem && m_pTree->IsSameOrBelow(m_hCutItem, item))
        m_hCutItem = nullptr;
    m_pTree->RemoveItem(item);
    m_pTree->SetFocus();
    if (parent && m_pTree->GetSelectedItem() == parent)
        RefreshItem(parent);
    if (parent && !m_pTree->GetChildItem(parent)) {
        TVITEMW tv = {};
        tv.mask = TVIF_CHILDREN;
        tv.hItem = parent;
        m_pTree->SetItem(&tv);
    }
    m_pTree->RefreshRecycleBinIcon();
}

HWND CClientLeftView::GetTreeWindow()
{
    return m_pTree ? m_pTree->m_hWnd : nullptr;
}

bool CClientLeftView::IsItemMarked(HTREEITEM item)
{
    // Nothing deleted in the Recycle Bin goes back into it.
    _LOCAL_TREE_ITEM* record = m_pTree ? m_pTree->GetRecord(item) : nullptr;
    return record && record->recycleBin;
}

void CClientLeftView::OnRename(HTREEITEM item)
{
    if (!m_pTree || !m_pTree->GetRecord(item))
        return;
    m_pTree->ModifyStyle(0, TVS_EDITLABELS);
    CEdit* edit = m_pTree->EditLabel(item);
    if (!edit)
        m_pTree->ModifyStyle(TVS_EDITLABELS, 0);
    else
        edit->SetFocus();
}

void CClientLeftView::OnUpload(HTREEITEM item)
{
    _LOCAL_TREE_ITEM* record = m_pTree ? m_pTree->GetRecord(item) : nullptr;
    if (!record)
        return;
    const CString path = ShellItemPath(record->absolute);
    if (path.IsEmpty() || ::GetFileAttributesW(path) == INVALID_FILE_ATTRIBUTES) {
        HTREEITEM parent = m_pTree->GetParentItem(item);
        if (parent)
            m_pTree->RefreshFolder(parent, true, m_pTree->GetSelectedItem() == parent);
        return;
    }
    localxfer::StartUpload(m_pTree.get(), m_pHost, {{path, record->attributes}});
}

bool CClientLeftView::OnDropItems(HTREEITEM target, DROPEFFECT effect, COleDataObject* data)
{
    if (!data || !m_pTree)
        return false;
    const UINT serverItems = ::RegisterClipboardFormatW(kServerItemsFormat);
    if (serverItems && data->IsDataAvailable(static_cast<CLIPFORMAT>(serverItems))) {
        std::vector<_PROTO_FOLDER_INFO> records;
        CString tag, source;
        if (!GetFolderInfoListDataObject(data, &serverItems, records, tag, source) || records.empty())
            return false;
        return DownloadInto(target, records, source);
    }
    if (!data->IsDataAvailable(CF_HDROP))
        return false;
    _LOCAL_TREE_ITEM* record = m_pTree->GetRecord(target);
    if (!record || record->recycleBin)
        return false;
    std::vector<CString> paths;
    if (!GetFileListDataObject(paths, data) || paths.empty())
        return false;
    const CString folder = ShellItemPath(record->absolute);
    if (folder.IsEmpty())
        return false;
    const bool move = (effect & DROPEFFECT_MOVE) != 0;
    HTREEITEM source = m_pTree->MoveSource().Folder();
    if (RunShellFileOperation(m_pTree->m_hWnd, move ? FO_MOVE : FO_COPY, paths, folder, FOF_ALLOWUNDO)) {
        RefreshItem(target);
        if (move && source && source != target)
            RefreshItem(source);
    }
    m_pTree->UpdateMenuState();
    return true;
}

void CClientLeftView::AfterShellVerb(HTREEITEM item, const CString& verb)
{
    if (!m_pTree)
        return;
    HTREEITEM selected = m_pTree->GetSelectedItem();
    if (verb.CompareNoCase(L"link") == 0 && selected == item)
        RefreshItem(item);
    else if (verb.CompareNoCase(L"empty") == 0) {
        if (selected == item)
            RefreshItem(item);
        m_pTree->RefreshRecycleBinIcon();
    }
}

void CClientLeftView::ExpandItem(HTREEITEM item)
{
    if (!m_pTree || !item || (m_pTree->GetItemState(item, TVIS_EXPANDED) & TVIS_EXPANDED))
        return;
    m_pTree->SetRedraw(FALSE);
    m_pTree->Expand(item, TVE_EXPAND);
    m_pTree->SetRedraw(TRUE);
}

void CClientLeftView::SelectChild(LPCITEMIDLIST pidl)
{
    if (!m_pTree || !pidl)
        return;
    HTREEITEM selected = m_pTree->GetSelectedItem();
    if (!selected)
        return;
    ExpandItem(selected);
    if (!m_pTree->GetRecord(selected))
        return;
    if (HTREEITEM child = FindChildFolder(selected, pidl)) {
        m_pTree->SelectItem(child);
        m_pTree->EnsureVisible(child);
    }
}

HTREEITEM CClientLeftView::SelectedFolder()
{
    return m_pTree ? m_pTree->GetSelectedItem() : nullptr;
}

_LOCAL_TREE_ITEM* CClientLeftView::FolderRecord(HTREEITEM item)
{
    return m_pTree ? m_pTree->GetRecord(item) : nullptr;
}

HTREEITEM CClientLeftView::FindChildFolder(HTREEITEM parent, LPCITEMIDLIST absolute)
{
    if (!m_pTree || !parent)
        return nullptr;
    for (HTREEITEM child = m_pTree->GetChildItem(parent); child; child = m_pTree->GetNextSiblingItem(child)) {
        _LOCAL_TREE_ITEM* record = m_pTree->GetRecord(child);
        if (record && SameShellItem(record->absolute, absolute))
            return child;
    }
    return nullptr;
}

void CClientLeftView::SelectParent()
{
    HTREEITEM parent = m_pTree ? m_pTree->GetParentItem(m_pTree->GetSelectedItem()) : nullptr;
    if (parent)
        m_pTree->SelectItem(parent);
}

void CClientLeftView::RefreshSelected()
{
    if (!m_pTree)
        return;
    HTREEITEM selected = m_pTree->GetSelectedItem();
    m_pTree->RefreshFolder(selected, (m_pTree->GetItemState(selected, TVIS_EXPANDED) & TVIS_EXPANDED) != 0, true);
}

void CClientLeftView::MarkMoveSource(HTREEITEM folder)
{
    if (m_pTree)
        m_pTree->MoveSource().Mark(folder);
}

HTREEITEM CClientLeftView::MoveSourceFolder()
{
    return m_pTree ? m_pTree->MoveSource().Folder() : nullptr;
}

// CClientRightView: the local file pane (bottom right): rows, columns, profile values and the
// local file commands.
#include "ClientRightView.h"
#include "Dc.h"
#include "FileUtils.h"
#include "HeaderCtrl.h"
#include "LocalShell.h"
#include "LocalTransfers.h"
#include "OleDataObject.h"
#include "ServerClipboard.h"
#include "ShellItems.h"
#include "ToviRegistry.h"
#include "ToviString.h"
#include "TraceLog.h"
#include "WinApp.h"
#include <shlwapi.h>

namespace {

constexpr UINT kListId = 28002;
const wchar_t kSection[] = L"CorvaneIXO";
constexpr int kDefaultWidths[4] = {250, 80, 160, 142};

bool EnglishUser()
{
    unsigned short language = 0x12;
    if (!CToviRegistry::GetLanguage(0, &language))
        language = 0x12;
    return language == LANG_ENGLISH;
}

}

IMPLEMENT_DYNCREATE(CClientRightView, CLocalPaneView)

BEGIN_MESSAGE_MAP(CClientRightView, CLocalPaneView)
    ON_WM_CREATE()
    ON_WM_SIZE()
    ON_WM_DESTROY()
END_MESSAGE_MAP()

CClientRightView::CClientRightView()
{
    m_dropTarget.m_pView = this;
}

CClientRightView::~CClientRightView() = default;

void CClientRightView::OnDraw(CDC*) {}

int CClientRightView::OnCreate(LPCREATESTRUCT cs)
{
    if (CLocalPaneView::OnCreate(cs) == -1)
        return -1;
    m_pList.reset(new CClientListCtrl(this));
    if (!m_pList->Create(WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | LVS_SHAREIMAGELISTS | LVS_REPORT,
                         CRect(0, 0, 10, 10), this, kListId)) {
        m_pList.reset();
        return -1;
    }
    m_pList->SetExtendedStyle(m_pList->GetExtendedStyle() | LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
    SHFILEINFOW info = {};
    m_hSystemImages = reinterpret_cast<HIMAGELIST>(
        ::SHGetFileInfoW(L"", 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
    m_pList->SetImageList(m_hSystemImages, LVSIL_SMALL);
    m_pList->SetPaneColor(RGB(0xFF, 0xFF, 0xFF));
    AddColumns();
    ::SHGetMalloc(&m_pMalloc);
    m_dropTarget.Register(m_pList.get());
    return 0;
}

void CClientRightView::OnSize(UINT type, int cx, int cy)
{
    CLocalPaneView::OnSize(type, cx, cy);
    if (type != SIZE_MINIMIZED && m_pList && m_pList->m_hWnd)
        m_pList->SetWindowPos(nullptr, 0, 0, cx, cy, SWP_NOZORDER);
}

void CClientRightView::OnDestroy()
{
    m_dropTarget.Revoke();
    ClearList();
    if (m_pMalloc)
        m_pMalloc->Release();
    m_pMalloc = nullptr;
    if (m_pList && m_pList->m_hWnd)
        m_pList->DestroyWindow();
    m_pList.reset();
    CLocalPaneView::OnDestroy();
}

void CClientRightView::SetLeftView(ILocalTreeSide* tree, ILocalFrameHost* host)
{
    m_pTree = tree;
    if (host)
        m_pHost = host;
}

CString CClientRightView::SelectedPath() const
{
    return ShellItemPath(m_pidlFolder);
}

void CClientRightView::SetPaneColor(COLORREF color)
{
    if (m_pList)
        m_pList->SetPaneColor(color);
}

void CClientRightView::AddColumns()
{
    m_pList->InsertColumn(0, CToviString::GetString(14000), LVCFMT_LEFT, kDefaultWidths[0]);
    m_pList->InsertColumn(1, CToviString::GetString(14001), LVCFMT_RIGHT, kDefaultWidths[1]);
    m_pList->InsertColumn(2, CToviString::GetString(14002), LVCFMT_LEFT, kDefaultWidths[2]);
    m_pList->InsertColumn(3, CToviString::GetString(14003), LVCFMT_LEFT, kDefaultWidths[3]);
    LoadColumnSize(false);
    m_header.Init(m_pList->GetHeaderCtrl());
}

void CClientRightView::LoadColumnSize(bool location)
{
    int widths[4] = {kDefaultWidths[0], kDefaultWidths[1], kDefaultWidths[2], kDefaultWidths[3]};
    CWinApp* app = AfxGetApp();
    BYTE* data = nullptr;
    UINT bytes = 0;
    if (app && app->GetProfileBinary(kSection, L"ClientColumnSize", &data, &bytes) && data) {
        if (!ReadClientColumnSize(data, bytes, widths))
            TraceLog(2048, L"[ CClientRightView::LoadColumnSize ] stored value of %u bytes ignored\n", bytes);
    }
    delete[] data;
    if (!m_pList || !m_pList->m_hWnd)
        return;
    const int columns[4] = {0, location ? 2 : 1, location ? 3 : 2, location ? 4 : 3};
    for (int i = 0; i < 4; ++i)
        m_pList->SetColumnWidth(columns[i], widths[i]);
}

void CClientRightView::SaveColumnSize(bool location)
{
    CWinApp* app = AfxGetApp();
    if (!app || !m_pList || !m_pList->m_hWnd)
        return;
    const int columns[4] = {0, location ? 2 : 1, location ? 3 : 2, location ? 4 : 3};
    int widths[4];
    for (int i = 0; i < 4; ++i)
        widths[i] = m_pList->GetColumnWidth(columns[i]);
    app->WriteProfileBinary(kSection, L"ClientColumnSize", reinterpret_cast<BYTE*>(widths), sizeof widths);
}

void CClientRightView::LoadSortState()
{
    CWinApp* app = AfxGetApp();
    BYTE* data = nullptr;
    UINT bytes = 0;
    if (app && app->GetProfileBinary(kSection, L"ClientSort", &data, &bytes) && data) {
        if (!ReadClientSort(data, bytes, m_nSortDirection, m_nSortColumn))
            TraceLog(2048, L"[ CClientRightView::LoadSortState ] stored value of %u bytes ignored\n", bytes);
    }
    delete[] data;
}

void CClientRightView::ApplySortState()
{
    m_nSortColumn = 0;
    m_nSortDirection = 0;
    LoadSortState();
    if (!m_pList || !m_pList->m_hWnd)
        return;
    m_header.SetOrder(m_nSortDirection, m_nSortColumn);
    ::SendMessage(m_pList->m_hWnd, LVM_SORTITEMS, LocalSortParam(m_nSortColumn, m_nSortDirection),
                  reinterpret_cast<LPARAM>(&CompareLocalItems));
}

void CClientRightView::SortByColumn(int column)
{
    if (column == m_nSortColumn)
        m_nSortDirection = m_nSortDirection ? 0 : 1;
    else {
        m_nSortColumn = column;
        m_nSortDirection = 0;
    }
    m_header.SetOrder(m_nSortDirection, m_nSortColumn);
    ::SendMessage(m_pList->m_hWnd, LVM_SORTITEMS, LocalSortParam(m_nSortColumn, m_nSortDirection),
                  reinterpret_cast<LPARAM>(&CompareLocalItems));
    if (CWinApp* app = AfxGetApp()) {
        int state[2] = {m_nSortDirection, m_nSortColumn};
        app->WriteProfileBinary(kSection, L"ClientSort", reinterpret_cast<BYTE*>(state), sizeof state);
    }
}

void CClientRightView::ResetColumnText()
{
    if (!m_pList || !m_pList->m_hWnd)
        return;
    const UINT ids[5] = {14000, 14029, 14001, 14002, 14003};
    for (int column = 0, i = 0; i < 5; ++i) {
        if (i == 1 && !m_bLocation)
            continue;
        CString text = CToviString::GetString(ids[i]);
        LVCOLUMNW info = {};
        info.mask = LVCF_TEXT;
        info.pszText = const_cast<wchar_t*>(text.GetString());
        m_pList->SetColumn(column++, &info);
    }
    m_header.ResetColumn();
    m_pList->Invalidate();
}

void CClientRightView::SetColumnLayout(bool location)
{
    if (location == m_bLocation || !m_pList || !m_pList->m_hWnd)
        return;
    SaveColumnSize(m_bLocation);
    m_pList->SetRedraw(FALSE);
    if (location)
        m_pList->InsertColumn(1, CToviString::GetString(14029), LVCFMT_LEFT, 250);
    else
        m_pList->DeleteColumn(1);
    m_bLocation = location;
    LoadColumnSize(location);
    m_header.ResetColumn();
    m_pList->SetRedraw(TRUE);
    m_pList->Invalidate();
}

void CClientRightView::FreeRows()
{
    if (!m_pList || !m_pList->m_hWnd)
        return;
    for (int row = 0, count = m_pList->GetItemCount(); row < count; ++row) {
        _LOCAL_LIST_ITEM* record = m_pList->GetRecord(row);
        m_pList->SetItemData(row, 0);
        if (!record)
            continue;
        if (record->pidl)
            ::CoTaskMemFree(record->pidl);
        delete record;
    }
    m_pList->DeleteAllItems();
}

void CClientRightView::SetFolder(LPCITEMIDLIST folder)
{
    FreeRows();
    if (m_pidlFolder)
        ::CoTaskMemFree(m_pidlFolder);
    m_pidlFolder = nullptr;
    if (folder && m_pMalloc)
        m_pidlFolder = ClonePidl(m_pMalloc, folder);
}

void CClientRightView::ClearList()
{
    SetFolder(nullptr);
    m_bRecycleBin = false;
}

void CClientRightView::BeginFill(LPCITEMIDLIST folder, bool recycleBin)
{
    if (m_pList && m_pList->m_hWnd)
        m_pList->SetRedraw(FALSE);
    SetFolder(folder);
    m_bRecycleBin = recycleBin;
    // Only the Recycle Bin's items carry a location of their own.
    SetColumnLayout(recycleBin);
}

void CClientRightView::EndFill(bool sort)
{
    if (!m_pList || !m_pList->m_hWnd)
        return;
    if (sort)
        ApplySortState();
    m_pList->SetRedraw(TRUE);
    m_pList->Invalidate();
}

int CClientRightView::AddItem(IShellFolder* folder, LPCITEMIDLIST child, int position)
{
    if (!folder || !child || !m_pMalloc || !m_pList)
        return 0;
    auto* record = new _LOCAL_LIST_ITEM();
    record->pidl = ConcatPidl(m_pMalloc, m_pidlFolder, child);
    SHFILEINFOW info = {};
    if (!record->pidl ||
        !::SHGetFileInfoW(reinterpret_cast<LPCWSTR>(record->pidl), 0, &info, sizeof info,
                          SHGFI_PIDL | SHGFI_DISPLAYNAME | SHGFI_TYPENAME | SHGFI_SYSICONINDEX | SHGFI_SMALLICON)) {
        if (record->pidl)
            m_pMalloc->Free(record->pidl);
        delete record;
        return 0;
    }
    DWORD attributes = 0x700FC177;
    LPCITEMIDLIST one = child;
    if (FAILED(folder->GetAttributesOf(1, &one, &attributes))) {
        m_pMalloc->Free(record->pidl);
        delete record;
        return 0;
    }
    int overlay = 0;
    if (attributes & SFGAO_GHOSTED)
        overlay = 0;
    if (attributes & SFGAO_LINK)
        overlay = 2;
    if (attributes & SFGAO_SHARE)
        overlay = 1;
    if (attributes & SFGAO_HIDDEN)
        overlay = 0;
    IShellIconOverlay* overlays = nullptr;
    if (SUCCEEDED(folder->QueryInterface(IID_IShellIconOverlay, reinterpret_cast<void**>(&overlays))) && overlays) {
        int index = 0;
        if (SUCCEEDED(overlays->GetOverlayIndex(child, &index)) && index > 0)
            overlay = index;
        overlays->Release();
    }
    record->attributes = attributes;
    record->displayName = info.szDisplayName;
    record->typeName = info.szTypeName;
    CString sizeText, dateText;
    const CString path = ShellItemPath(record->pidl);
    if (path.GetLength() == 3) {
        record->fileAttributes = 0xFFFFFFFF;
    } else if (!path.IsEmpty()) {
        WIN32_FIND_DATAW data;
        HANDLE find = ::FindFirstFileW(path, &data);
        if (find != INVALID_HANDLE_VALUE) {
            ::FindClose(find);
            record->fileAttributes = data.dwFileAttributes;
            if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
                // An archive the shell browses as a folder is still a file here.
                record->attributes &= ~SFGAO_FOLDER;
                record->size = (static_cast<__int64>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
                sizeText = CFileUtils::ConvertFileSize(record->size);
            }
            FILETIME localTime;
            SYSTEMTIME time;
            if (::FileTimeToLocalFileTime(&data.ftLastWriteTime, &localTime) &&
                ::FileTimeToSystemTime(&localTime, &time)) {
                record->modifiedKey = LocalDateSortKey(time);
                dateText = LocalDateText(time, EnglishUser());
            }
        }
    }
    CString shown = record->displayName;
    CString name = CFileUtils::GetFileName(const_cast<wchar_t*>(shown.GetString()));
    if (name.IsEmpty())
        name = shown;
    LVITEMW item = {};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM | LVIF_STATE;
    item.iItem = position;
    item.pszText = const_cast<wchar_t*>(name.GetString());
    item.iImage = info.iIcon;
    item.state = INDEXTOOVERLAYMASK(overlay);
    item.stateMask = LVIS_OVERLAYMASK;
    item.lParam = reinterpret_cast<LPARAM>(record);
    const int row = m_pList->InsertItem(&item);
    if (row < 0) {
        m_pMalloc->Free(record->pidl);
        delete record;
        return 0;
    }
    int column = 1;
    if (m_bLocation) {
        const int slash = shown.ReverseFind(L'\\');
        m_pList->SetItemText(row, column, slash > 0 ? shown.Left(slash) : CString());
        ++column;
    }
    m_pList->SetItemText(row, column, sizeText);
    m_pList->SetItemText(row, column + 1, record->typeName);
    m_pList->SetItemText(row, column + 2, dateText);
    return 1;
}

std::vector<CString> CClientRightView::SelectedPaths() const
{
    std::vector<CString> paths;
    if (!m_pList || !m_pList->m_hWnd)
        return paths;
    for (int row = m_pList->GetNextItem(-1, LVNI_SELECTED); row >= 0; row = m_pList->GetNextItem(row, LVNI_SELECTED)) {
        _LOCAL_LIST_ITEM* record = m_pList->GetRecord(row);
        const CString path = record ? ShellItemPath(record->pidl) : CString();
        if (!path.IsEmpty() && path.GetLength() != 3)
            paths.push_back(path);
    }
    return paths;
}

void CClientRightView::ClearCutMarks()
{
    if (m_pList && m_pList->m_hWnd)
        m_pList->SetItemState(-1, 0, LVIS_CUT);
}

void CClientRightView::RefreshAndSelect(const CString& name, bool edit)
{
    if (!m_pTree)
        return;
    m_pTree->RefreshSelected();
    if (name.IsEmpty())
        return;
    for (int row = 0, count = m_pList->GetItemCount(); row < count; ++row) {
        if (m_pList->GetItemText(row, 0).CompareNoCase(name) != 0)
            continue;
        m_pList->SetItemState(-1, 0, LVIS_SELECTED | LVIS_FOCUSED);
        m_pList->EnsureVisible(row, FALSE);
        m_pList->SetItemState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        if (edit) {
            m_pList->m_nLabelEditPurpose = 0;
            m_pList->SetFocus();
            m_pList->ModifyStyle(0, LVS_EDITLABELS);
            ::SendMessage(m_pList->m_hWnd, LVM_EDITLABELW, row, 0);
        }
        break;
    }
}

void CClientRightView::OnNewFolder()
{
    const CString folder = ShellItemPath(m_pidlFolder);
    if (folder.IsEmpty())
        return;
    CString name;
    if (!MakeUniqueName(folder, CToviString::GetString(14004), name))
        return;
    CString path = folder;
    if (path[path.GetLength() - 1] != L'\\')
        path += L"\\";
    path += name;
    if (!::CreateDirectoryW(path, nullptr))
        return;
    ::SHChangeNotify(SHCNE_MKDIR, SHCNF_PATHW, path.GetString(), nullptr);
    if (m_pHost)
        m_pHost->SetLabelEditing(true);
    RefreshAndSelect(name, true);
}

void CClientRightView::OnCut()
{
    std::vector<CString> paths;
    for (int row = 0, count = m_pList->GetItemCount(); row < count; ++row) {
        if (!(m_pList->GetItemState(row, LVIS_SELECTED) & LVIS_SELECTED)) {
            m_pList->SetItemState(row, 0, LVIS_CUT);
            continue;
        }
        m_pList->SetItemState(row, LVIS_CUT, LVIS_CUT);
        _LOCAL_LIST_ITEM* record = m_pList->GetRecord(row);
        const CString path = record ? ShellItemPath(record->pidl) : CString();
        if (!path.IsEmpty() && path.GetLength() != 3)
            paths.push_back(path);
    }
    CopyFileListClipboard(paths, true);
    if (m_pTree)
        m_pTree->MarkMoveSource(m_pTree->SelectedFolder());
}

void CClientRightView::OnCopy()
{
    const std::vector<CString> paths = SelectedPaths();
    if (!paths.empty())
        CopyFileListClipboard(paths, false);
}

void CClientRightView::OnDelete(bool toRecycleBin)
{
    std::vector<CString> paths;
    for (int row = m_pList->GetNextItem(-1, LVNI_SELECTED); row >= 0; row = m_pList->GetNextItem(row, LVNI_SELECTED)) {
        _LOCAL_LIST_ITEM* record = m_pList->GetRecord(row);
        const CString path = record ? ShellItemPath(record->pidl) : CString();
        if (!path.IsEmpty())
            paths.push_back(path);
    }
    if (paths.empty())
        return;
    if (RunShellFileOperation(m_hWnd, FO_DELETE, paths, CString(), LocalDeleteFlags(toRecycleBin, m_bRecycleBin)))
        RefreshAndSelect(CString(), false);
}

HTREEITEM CClientRightView::TreeItemOfFolderRow(int row, CString& path)
{
    HTREEITEM selected = m_pTree ? m_pTree->SelectedFolder() : nullptr;
    _LOCAL_LIST_ITEM* record = row >= 0 ? m_pList->GetRecord(row) : nullptr;
    if (!record || !(record->attributes & SFGAO_FOLDER)) {
        path = ShellItemPath(m_pidlFolder);
        return selected;
    }
    path = ShellItemPath(record->pidl);
    return m_pTree && selected ? m_pTree->FindChildFolder(selected, record->pidl) : nullptr;
}

void CClientRightView::RefreshTarget(HTREEITEM item)
{
    if (m_pTree && item)
        m_pTree->RefreshItem(item);
}

bool CClientRightView::PasteFiles(const std::vector<CString>& paths, bool move, const CString& target,
                                  HTREEITEM targetItem, bool fromClipboard)
{
    if (paths.empty() || target.IsEmpty())
        return false;
    HTREEITEM source = m_pTree ? m_pTree->MoveSourceFolder() : nullptr;
    const FILEOP_FLAGS flags = move ? FOF_ALLOWUNDO : (FOF_ALLOWUNDO | FOF_RENAMEONCOLLISION);
    if (!RunShellFileOperation(m_hWnd, move ? FO_MOVE : FO_COPY, paths, target, flags))
        return false;
    RefreshTarget(targetItem);
    if (move && source && source != targetItem)
        RefreshTarget(source);
    if (fromClipboard) {
        if (move && ::OpenClipboard(m_hWnd))
            ClearClipboard();
        if (m_pHost)
            m_pHost->ClearCutMarks();
    }
    return true;
}

void CClientRightView::OnPaste(bool fromContextMenu)
{
    if (!m_pList)
        return;
    int row = -1;
    if (fromContextMenu && m_pList->m_lastRightClick.x >= 0)
        row = m_pList->HitTest(CPoint(m_pList->m_lastRightClick.x, m_pList->m_lastRightClick.y));
    if (::IsClipboardFormatAvailable(CF_HDROP)) {
        if (m_bRecycleBin)
            return;
        std::vector<CString> paths;
        bool cut = false;
        if (!GetFileListClipboard(paths, cut))
            return;
        CString target;
        HTREEITEM item = TreeItemOfFolderRow(row, target);
        PasteFiles(paths, cut, target, item, true);
        return;
    }
    // Server items are always downloaded as copies: the cut mark does not matter here.
    const UINT format = ::RegisterClipboardFormatW(kServerItemsFormat);
    std::vector<_PROTO_FOLDER_INFO> records;
    CString tag, source;
    bool cut = false;
    if (!GetFolderInfoListClipboard(&format, records, tag, source, cut) || records.empty())
        return;
    CString target;
    HTREEITEM item = TreeItemOfFolderRow(row, target);
    localxfer::StartDownload(this, m_pHost, records, source, target, item);
}

void CClientRightView::OnDropData(COleDataObject* data, int row, DROPEFFECT effect)
{
    if (!data || !m_pTree || !m_pTree->SelectedFolder())
        return;
    CString target;
    HTREEITEM item = TreeItemOfFolderRow(row, target);
    if (target.IsEmpty())
        return;
    const UINT serverItems = ::RegisterClipboardFormatW(kServerItemsFormat);
    if (serverItems && data->IsDataAvailable(static_cast<CLIPFORMAT>(serverItems))) {
        std::vector<_PROTO_FOLDER_INFO> records;
        CString tag, source;
        if (GetFolderInfoListDataObject(data, &serverItems, records, tag, source) && !records.empty())
            localxfer::StartDownload(this, m_pHost, records, source, target, item);
        return;
    }
    std::vector<CString> paths;
    if (!GetFileListDataObject(paths, data))
        return;
    PasteFiles(paths, (effect & DROPEFFECT_MOVE) != 0, target, item, false);
    m_pList->UpdateMenuState();
}

void CClientRightView::OnRename()
{
    if (!m_pList || m_pList->GetSelectedCount() != 1)
        return;
    const int row = m_pList->GetNextItem(-1, LVNI_SELECTED);
    m_pList->EnsureVisible(row, FALSE);
    m_pList->m_nLabelEditPurpose = 1;
    m_pList->ModifyStyle(0, LVS_EDITLABELS);
    if (m_pHost)
        m_pHost->SetLabelEditing(true);
    m_pList->SetFocus();
    ::SendMessage(m_pList->m_hWnd, LVM_EDITLABELW, row, 0);
}

void CClientRightView::OnRestore(UINT command)
{
    IShellFolder* bin = nullptr;
    LPITEMIDLIST binPidl = nullptr;
    if (FAILED(::SHGetSpecialFolderLocation(nullptr, CSIDL_BITBUCKET, &binPidl)) || !binPidl)
        return;
    bin = BindLocalFolder(binPidl);
    ::CoTaskMemFree(binPidl);
    if (!bin)
        return;
    for (int row = m_pList->GetNextItem(-1, LVNI_SELECTED); row >= 0; row = m_pList->GetNextItem(row, LVNI_SELECTED)) {
        _LOCAL_LIST_ITEM* record = m_pList->GetRecord(row);
        if (!record)
            continue;
        LPCITEMIDLIST last = GetLastPidlItem(record->pidl);
        IContextMenu* menu = nullptr;
        if (FAILED(bin->GetUIObjectOf(m_hWnd, 1, &last, IID_IContextMenu, nullptr, reinterpret_cast<void**>(&menu))) ||
            !menu)
            continue;
        HMENU popup = ::CreatePopupMenu();
        if (popup && SUCCEEDED(menu->QueryContextMenu(popup, 0, kShellFirstCommand, kShellLastCommand, CMF_NORMAL))) {
            CMINVOKECOMMANDINFO invoke = {sizeof invoke};
            invoke.hwnd = m_hWnd;
            invoke.lpVerb = MAKEINTRESOURCEA(command - kShellFirstCommand);
            invoke.nShow = SW_SHOWNORMAL;
            menu->InvokeCommand(&invoke);
        }
        if (popup)
            ::DestroyMenu(popup);
        menu->Release();
    }
    bin->Release();
    RefreshAndSelect(CString(), false);
}

void CClientRightView::OnUpload()
{
    if (!m_pList)
        return;
    std::vector<localxfer::LocalItem> items;
    for (int row = m_pList->GetNextItem(-1, LVNI_SELECTED); row >= 0; row = m_pList->GetNextItem(row, LVNI_SELECTED)) {
        _LOCAL_LIST_ITEM* record = m_pList->GetRecord(row);
        const CString path = record ? ShellItemPath(record->pidl) : CString();
        if (!path.IsEmpty() && ::GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES)
            items.push_back({path, record->attributes});
    }
    const bool selection = m_pList->GetSelectedCount() > 0;
    if (localxfer::StartUpload(this, m_pHost, items) == localxfer::UploadCheck::Nothing && !selection)
        RefreshAndSelect(CString(), false);
}

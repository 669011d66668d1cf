// CFolderSelectDlg: the tree over the shell namespace: which children are shown, filling and
// refreshing an item's children, and freeing the items' data.
#include "FolderSelectDlg.h"
#include "ShellItems.h"
#include "TraceLog.h"
#include <commctrl.h>
#include <shellapi.h>
#include <shlwapi.h>

namespace {

const wchar_t kVirtualDriveProgram[] = L"CorvaneDriveIXO.exe";

UINT DriveTypeOf(const CString& path)
{
    if (path.GetLength() < 2 || path[1] != L':')
        return GetDriveTypeW(path.GetString());
    const CString root = path.Left(2) + L"\\";
    return GetDriveTypeW(root.GetString());
}

// Whether a drive's root holds a folder: asked of CD-ROM drives, whose shell attributes would
// make the drive spin up.
bool RootHasFolder(const CString& path)
{
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW((path.Left(2) + L"\\*.*").GetString(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return false;
    bool folder = false;
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && wcscmp(found.cFileName, L".") != 0 &&
            wcscmp(found.cFileName, L"..") != 0)
            folder = true;
    } while (!folder && FindNextFileW(find, &found));
    FindClose(find);
    return folder;
}

} // namespace

bool CFolderSelectDlg::IsHiddenFolder(LPCITEMIDLIST pidl)
{
    for (LPCITEMIDLIST hidden : {static_cast<LPCITEMIDLIST>(m_pidlControlPanel), static_cast<LPCITEMIDLIST>(m_pidlVirtual1),
                                 static_cast<LPCITEMIDLIST>(m_pidlVirtual2), static_cast<LPCITEMIDLIST>(m_pidlNetwork),
                                 static_cast<LPCITEMIDLIST>(m_pidlRecycleBin)})
        if (SameShellItem(pidl, hidden))
            return true;
    return false;
}

bool CFolderSelectDlg::IsDisplay(HTREEITEM parent, LPCITEMIDLIST parentPidl, LPCITEMIDLIST childPidl, const CString& name)
{
    _FOLDER_TREE_ITEM* parentData = ItemData(parent);
    if (!parentData)
        return false;
    if (!parentData->bRoot && !parentData->bComputer)
        return true;
    LPITEMIDLIST absolute = ConcatPidl(m_pMalloc, parentPidl, childPidl);
    if (!absolute)
        return false;
    bool show = true;
    if (parentData->bRoot) {
        show = SameShellItem(absolute, m_pidlComputer);
    } else if (parentData->bComputer) {
        const CString path = ShellItemPath(absolute);
        const UINT type = path.IsEmpty() ? DRIVE_UNKNOWN : DriveTypeOf(path);
        bool runs = false;
        CString driveName, unused;
        if (type == DRIVE_REMOTE && m_pfnFindProcess && m_pfnFindProcess(kVirtualDriveProgram))
            runs = CToviRegistry::GetDriveInfo(driveName, unused);
        show = ShowUnderComputer(IsHiddenFolder(absolute), path, type, runs, driveName, !name.IsEmpty());
    }
    m_pMalloc->Free(absolute);
    return show;
}

void CFolderSelectDlg::DrawSubItems(HTREEITEM item)
{
    _FOLDER_TREE_ITEM* data = ItemData(item);
    if (!data || !m_pMalloc)
        return;
    HCURSOR previous = SetCursor(LoadCursor(nullptr, IDC_WAIT));
    IShellFolder* desktop = nullptr;
    if (SUCCEEDED(SHGetDesktopFolder(&desktop))) {
        IShellFolder* folder = nullptr;
        if (data->bRoot) {
            folder = desktop;
            folder->AddRef();
        } else if (FAILED(desktop->BindToObject(data->pidlAbsolute, nullptr, IID_IShellFolder,
                                                reinterpret_cast<void**>(&folder)))) {
            folder = nullptr;
        }
        if (folder) {
            EnumChildItems(folder, data->pidlAbsolute, item);
            folder->Release();
        } else {
            TraceLog(2048, L"[ CFolderSelectDlg::DrawSubItems ] cannot open [ %s ]\n", data->szDisplayName);
        }
        desktop->Release();
    }
    SetCursor(previous);
}

void CFolderSelectDlg::EnumChildItems(IShellFolder* folder, LPCITEMIDLIST pidl, HTREEITEM item)
{
    InvalidateChildItem(item);
    m_tree.SetRedraw(FALSE);
    IEnumIDList* children = nullptr;
    if (folder->EnumObjects(m_hWnd, SHCONTF_FOLDERS, &children) == S_OK && children) {
        LPITEMIDLIST child = nullptr;
        while (children->Next(1, &child, nullptr) == S_OK) {
            ULONG attributes = SFGAO_FILESYSTEM | SFGAO_FOLDER | SFGAO_STREAM;
            LPCITEMIDLIST one = child;
            if (FAILED(folder->GetAttributesOf(1, &one, &attributes)))
                attributes = 0;
            STRRET text = {};
            wchar_t name[260] = {};
            if (SUCCEEDED(folder->GetDisplayNameOf(child, SHGDN_NORMAL, &text)))
                StrRetToBufW(&text, child, name, 260);
            if (ListsAsFolder(attributes) && IsDisplay(item, pidl, child, name))
                InsertTreeItem(item, folder, pidl, child, name);
            m_pMalloc->Free(child);
        }
        children->Release();
    }
    DeleteInvalidChildItem(item);

    TVITEMW state = {};
    state.mask = TVIF_CHILDREN;
    state.hItem = item;
    state.cChildren = m_tree.GetChildItem(item) ? 1 : 0;
    m_tree.SetItem(&state);
    _FOLDER_TREE_ITEM* data = ItemData(item);
    if (data && !data->bRoot && !data->bComputer && !ShellItemPath(pidl).IsEmpty()) {
        TVSORTCB sort = {};
        sort.hParent = item;
        sort.lpfnCompare = &CFolderSelectDlg::CompareFunc;
        m_tree.SortChildrenCB(&sort);
    }
    m_tree.SetRedraw(TRUE);
}

bool CFolderSelectDlg::InsertTreeItem(HTREEITEM item, IShellFolder* folder, LPCITEMIDLIST parentPidl,
                                      LPCITEMIDLIST childPidl, const CString& name)
{
    _FOLDER_TREE_ITEM* parentData = ItemData(item);
    if (!parentData)
        return false;
    ULONG attributes = SFGAO_CAPABILITYMASK | SFGAO_DISPLAYATTRMASK | SFGAO_FILESYSTEM | SFGAO_FOLDER |
                       SFGAO_HASSUBFOLDER | SFGAO_STREAM | SFGAO_FILESYSANCESTOR;
    LPCITEMIDLIST one = childPidl;
    if (FAILED(folder->GetAttributesOf(1, &one, &attributes)))
        attributes = 0;

    _FOLDER_TREE_ITEM* data = new _FOLDER_TREE_ITEM();
    data->pidlRelative = ClonePidl(m_pMalloc, childPidl);
    data->pidlAbsolute = ConcatPidl(m_pMalloc, parentPidl, childPidl);
    data->pParentFolder = folder;
    folder->AddRef();
    lstrcpynW(data->szDisplayName, name.GetString(), 260);
    data->ulAttributes = attributes;
    data->bValid = 1;
    // The special items stand only under the desktop and Computer: deeper folders skip the asking.
    const CString path = parentData->bComputer ? ShellItemPath(data->pidlAbsolute) : CString();
    data->bCdRom = !path.IsEmpty() && DriveTypeOf(path) == DRIVE_CDROM;
    if (parentData->bRoot) {
        data->bLibraries = SameShellItem(data->pidlAbsolute, m_pidlLibraries);
        data->bRecycleBin = SameShellItem(data->pidlAbsolute, m_pidlRecycleBin);
        data->bComputer = SameShellItem(data->pidlAbsolute, m_pidlComputer);
    }

    SHFILEINFOW info = {};
    const UINT iconFlags = SHGFI_PIDL | SHGFI_SYSICONINDEX | SHGFI_SMALLICON | ((attributes & SFGAO_LINK) ? SHGFI_LINKOVERLAY : 0);
    SHGetFileInfoW(reinterpret_cast<LPCWSTR>(data->pidlAbsolute), 0, &info, sizeof info, iconFlags);
    const int image = info.iIcon;
    int selected = image;
    if (attributes & SFGAO_FOLDER) {
        SHFILEINFOW open = {};
        if (SHGetFileInfoW(reinterpret_cast<LPCWSTR>(data->pidlAbsolute), 0, &open, sizeof open, iconFlags | SHGFI_OPENICON))
            selected = open.iIcon;
    }
    const bool hasChildren = data->bCdRom ? RootHasFolder(path) : (attributes & SFGAO_HASSUBFOLDER) != 0;
    const UINT overlay = (attributes & SFGAO_SHARE) ? INDEXTOOVERLAYMASK(1) : 0;

    if (m_bHadChildren) {
        // A refresh: the item found again keeps its place, its check and its loaded children.
        for (HTREEITEM child = m_tree.GetChildItem(item); child; child = m_tree.GetNextSiblingItem(child)) {
            _FOLDER_TREE_ITEM* old = ItemData(child);
            if (!old || old->bValid || wcscmp(old->szDisplayName, data->szDisplayName) != 0)
                continue;
            m_tree.SetItemData(child, reinterpret_cast<DWORD_PTR>(data));
            CleanItemData(old);
            if (!hasChildren)
                CleanChildItem(child);
            TVITEMW look = {};
            look.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_CHILDREN | TVIF_STATE;
            look.hItem = child;
            look.iImage = image;
            look.iSelectedImage = selected;
            look.cChildren = hasChildren ? 1 : 0;
            look.state = overlay;
            look.stateMask = TVIS_OVERLAYMASK;
            m_tree.SetItem(&look);
            return true;
        }
    }
    TVINSERTSTRUCTW insert = {};
    insert.hParent = item;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM | TVIF_CHILDREN | TVIF_STATE;
    insert.item.pszText = data->szDisplayName;
    insert.item.iImage = image;
    insert.item.iSelectedImage = selected;
    insert.item.cChildren = hasChildren ? 1 : 0;
    insert.item.lParam = reinterpret_cast<LPARAM>(data);
    insert.item.state = overlay | INDEXTOSTATEIMAGEMASK(IsItemChecked(item) ? 2 : 1);
    insert.item.stateMask = TVIS_OVERLAYMASK | TVIS_STATEIMAGEMASK;
    if (!m_tree.InsertItem(&insert)) {
        CleanItemData(data);
        return false;
    }
    return true;
}

void CFolderSelectDlg::InvalidateChildItem(HTREEITEM item)
{
    m_bHadChildren = false;
    for (HTREEITEM child = m_tree.GetChildItem(item); child; child = m_tree.GetNextSiblingItem(child)) {
        m_bHadChildren = true;
        if (_FOLDER_TREE_ITEM* data = ItemData(child))
            data->bValid = 0;
    }
}

void CFolderSelectDlg::DeleteInvalidChildItem(HTREEITEM item)
{
    HTREEITEM child = m_tree.GetChildItem(item);
    while (child) {
        HTREEITEM next = m_tree.GetNextSiblingItem(child);
        _FOLDER_TREE_ITEM* data = ItemData(child);
        if (!data || !data->bValid)
            CleanItem(child);
        child = next;
    }
}

void CFolderSelectDlg::CleanItemData(_FOLDER_TREE_ITEM* data)
{
    if (!data)
        return;
    if (m_pMalloc) {
        if (data->pidlRelative)
            m_pMalloc->Free(data->pidlRelative);
        if (data->pidlAbsolute)
            m_pMalloc->Free(data->pidlAbsolute);
    }
    if (data->pParentFolder)
        data->pParentFolder->Release();
    delete data;
}

void CFolderSelectDlg::CleanChildItem(HTREEITEM item)
{
    HTREEITEM child = m_tree.GetChildItem(item);
    while (child) {
        HTREEITEM next = m_tree.GetNextSiblingItem(child);
        CleanItem(child);
        child = next;
    }
}

void CFolderSelectDlg::CleanItem(HTREEITEM item)
{
    if (!item)
        return;
    CleanChildItem(item);
    if (item == m_hSettleItem)
        m_hSettleItem = nullptr;
    _FOLDER_TREE_ITEM* data = ItemData(item);
    m_tree.SetItemData(item, 0);
    m_tree.DeleteItem(item);
    CleanItemData(data);
}

void CFolderSelectDlg::CleanAllItems()
{
    m_bClearing = true;
    CleanItem(m_tree.GetRootItem());
    m_bClearing = false;
}

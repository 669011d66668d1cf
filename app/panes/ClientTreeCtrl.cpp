// The local folder tree: filling from the shell namespace, the show rule, selection, keys,
// rename in place, shell change notices, drag start and painting.
#include "ClientTreeCtrl.h"
#include "TreeSelectionMark.h"
#include "ClientLeftView.h"
#include "DragDrop.h"
#include "FileUtils.h"
#include "LocalPaneRules.h"
#include "LocalShell.h"
#include "PaneKeyRules.h"
#include "ShellItems.h"
#include "ToviExec.h"
#include "ToviRegistry.h"
#include "ToviString.h"
#include "TraceLog.h"
#include <shlwapi.h>

namespace {

constexpr LONG kNotifyEvents = 0x201FF;
constexpr int kNotifySources = 0x2381F;

LPITEMIDLIST ParseFromDesktop(const wchar_t* name)
{
    IShellFolder* desktop = nullptr;
    if (FAILED(::SHGetDesktopFolder(&desktop)) || !desktop)
        return nullptr;
    LPITEMIDLIST pidl = nullptr;
    ULONG eaten = 0;
    if (FAILED(desktop->ParseDisplayName(nullptr, nullptr, const_cast<wchar_t*>(name), &eaten, &pidl, nullptr)))
        pidl = nullptr;
    desktop->Release();
    return pidl;
}

LPITEMIDLIST SpecialFolder(int csidl)
{
    LPITEMIDLIST pidl = nullptr;
    if (FAILED(::SHGetSpecialFolderLocation(nullptr, csidl, &pidl)))
        return nullptr;
    return pidl;
}

void SmallIcons(LPCITEMIDLIST absolute, bool folder, bool link, int& image, int& selected)
{
    SHFILEINFOW info = {};
    UINT flags = SHGFI_PIDL | SHGFI_SYSICONINDEX | SHGFI_SMALLICON | (link ? SHGFI_LINKOVERLAY : 0);
    ::SHGetFileInfoW(reinterpret_cast<LPCWSTR>(absolute), 0, &info, sizeof info, flags);
    image = info.iIcon;
    selected = image;
    if (folder) {
        SHFILEINFOW open = {};
        ::SHGetFileInfoW(reinterpret_cast<LPCWSTR>(absolute), 0, &open, sizeof open, flags | SHGFI_OPENICON);
        selected = open.iIcon;
    }
}

bool CdHasDirectory(const CString& root)
{
    WIN32_FIND_DATAW data;
    CString pattern = root;
    if (!pattern.IsEmpty() && pattern[pattern.GetLength() - 1] != L'\\')
        pattern += L"\\";
    pattern += L"*.*";
    HANDLE find = ::FindFirstFileW(pattern, &data);
    if (find == INVALID_HANDLE_VALUE)
        return false;
    bool found = false;
    do {
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && wcscmp(data.cFileName, L".") != 0 &&
            wcscmp(data.cFileName, L"..") != 0)
            found = true;
    } while (!found && ::FindNextFileW(find, &data));
    ::FindClose(find);
    return found;
}

int CALLBACK CompareTreeNames(LPARAM a, LPARAM b, LPARAM)
{
    auto* x = reinterpret_cast<_LOCAL_TREE_ITEM*>(a);
    auto* y = reinterpret_cast<_LOCAL_TREE_ITEM*>(b);
    if (!x || !y)
        return -1;
    return ::StrCmpLogicalW(x->name, y->name);
}

bool LeftControlDown() { return (::GetKeyState(VK_LCONTROL) & 0x8000) != 0; }

}

CClientTreeCtrl::DriveProgramQuery CClientTreeCtrl::s_pDriveProgramRunning = [] {
    return CToviExec::FindProcess(L"CorvaneDriveIXO.exe");
};

BEGIN_MESSAGE_MAP(CClientTreeCtrl, CTreeCtrl)
    ON_NOTIFY_REFLECT(TVN_ITEMEXPANDINGW, OnItemExpanding)
    ON_NOTIFY_REFLECT(TVN_SELCHANGINGW, OnSelChanging)
    ON_NOTIFY_REFLECT(TVN_SELCHANGEDW, OnSelChanged)
    ON_NOTIFY_REFLECT(TVN_BEGINLABELEDITW, OnBeginLabelEdit)
    ON_NOTIFY_REFLECT(TVN_ENDLABELEDITW, OnEndLabelEdit)
    ON_NOTIFY_REFLECT(TVN_KEYDOWN, OnKeyDown)
    ON_NOTIFY_REFLECT(TVN_BEGINDRAGW, OnBeginDrag)
    ON_NOTIFY_REFLECT(NM_RCLICK, OnRClick)
    ON_NOTIFY_REFLECT(NM_CLICK, OnClick)
    ON_NOTIFY_REFLECT(NM_CUSTOMDRAW, OnCustomDraw)
    ON_WM_SETFOCUS()
    ON_WM_LBUTTONDOWN()
    ON_MESSAGE(WM_SHELL_NOTIFY, OnShellNoti)
END_MESSAGE_MAP()

CClientTreeCtrl::CClientTreeCtrl()
{
    m_cfRemoteSetup = ::RegisterClipboardFormatW(L"IXO Remote_Setup");
}

CClientTreeCtrl::~CClientTreeCtrl()
{
    UnregisterNotifications();
    for (LPITEMIDLIST* pidl : {&m_pidlRecycleBin, &m_pidlMyComputer, &m_pidlControlPanel, &m_pidlControlPanel2,
                               &m_pidlNetwork, &m_pidlLibraries}) {
        if (*pidl)
            ::CoTaskMemFree(*pidl);
        *pidl = nullptr;
    }
    if (m_pMalloc)
        m_pMalloc->Release();
}

_LOCAL_TREE_ITEM* CClientTreeCtrl::GetRecord(HTREEITEM item) const
{
    if (!item || item == TVI_ROOT || !m_hWnd)
        return nullptr;
    return reinterpret_cast<_LOCAL_TREE_ITEM*>(GetItemData(item));
}

CString CClientTreeCtrl::GetItemPath(HTREEITEM item) const
{
    _LOCAL_TREE_ITEM* record = GetRecord(item);
    return record ? ShellItemPath(record->absolute) : CString();
}

bool CClientTreeCtrl::DrawTreeRoot(ILocalListSide* list, CClientLeftView* view, ILocalFrameHost* host)
{
    m_pList = list;
    m_pView = view;
    m_pHost = host;
    if (!m_pMalloc && FAILED(::SHGetMalloc(&m_pMalloc)))
        return false;
    if (!m_pidlRecycleBin) {
        const int windows = CFileUtils::GetWindowsType();
        m_pidlRecycleBin = SpecialFolder(CSIDL_BITBUCKET);
        m_pidlMyComputer = SpecialFolder(CSIDL_DRIVES);
        m_pidlNetwork = SpecialFolder(CSIDL_NETWORK);
        if (windows == 6 || windows == 7)
            m_pidlControlPanel = SpecialFolder(CSIDL_CONTROLS);
        else if (windows >= 8)
            m_pidlControlPanel = ParseFromDesktop(L"::{26EE0668-A00A-44D7-9371-BEB064C98683}");
        if (windows >= 9) {
            m_pidlControlPanel2 = ParseFromDesktop(L"::{5399E694-6CE5-4D6C-8FCE-1D8870FDCBA0}");
            m_pidlLibraries = ParseFromDesktop(L"::{031E4825-7B94-4dc3-B131-E946B44C8DD5}");
        }
    }
    ClearTree();
    auto* record = new _LOCAL_TREE_ITEM();
    record->absolute = SpecialFolder(CSIDL_DESKTOP);
    record->relative = ClonePidl(m_pMalloc, record->absolute);
    record->root = true;
    record->enumerated = true;
    record->attributes = SFGAO_FOLDER | SFGAO_HASSUBFOLDER;
    SHFILEINFOW info = {};
    ::SHGetFileInfoW(reinterpret_cast<LPCWSTR>(record->absolute), 0, &info, sizeof info,
                     SHGFI_PIDL | SHGFI_DISPLAYNAME | SHGFI_SYSICONINDEX | SHGFI_SMALLICON);
    wcsncpy(record->name, info.szDisplayName, 259);
    TVINSERTSTRUCTW insert = {};
    insert.hParent = TVI_ROOT;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM | TVIF_CHILDREN;
    insert.item.pszText = record->name;
    insert.item.iImage = insert.item.iSelectedImage = info.iIcon;
    insert.item.cChildren = 1;
    insert.item.lParam = reinterpret_cast<LPARAM>(record);
    HTREEITEM root = InsertItem(&insert);
    if (!root) {
        FreeRecords(nullptr);
        delete record;
        return false;
    }
    m_bSelectionOff = false;
    IShellFolder* desktop = BindLocalFolder(nullptr);
    if (desktop) {
        FillFolder(root, desktop, true, 0);
        desktop->Release();
    }
    m_bBusy = true;
    Expand(root, TVE_EXPAND);
    m_bBusy = false;
    RegisterNotifications();
    return false;
}

void CClientTreeCtrl::RegisterNotifications()
{
    if (m_nNotifyId || !m_hWnd)
        return;
    SHChangeNotifyEntry entry = {};
    LPITEMIDLIST desktop = SpecialFolder(CSIDL_DESKTOP);
    entry.pidl = desktop;
    entry.fRecursive = TRUE;
    m_nNotifyId = ::SHChangeNotifyRegister(m_hWnd, kNotifySources, kNotifyEvents, WM_SHELL_NOTIFY, 1, &entry);
    if (desktop)
        ::CoTaskMemFree(desktop);
}

void CClientTreeCtrl::UnregisterNotifications()
{
    if (m_nNotifyId)
        ::SHChangeNotifyDeregister(m_nNotifyId);
    m_nNotifyId = 0;
}

bool CClientTreeCtrl::IsSpecialHidden(LPCITEMIDLIST absolute) const
{
    for (LPCITEMIDLIST special : {m_pidlControlPanel, m_pidlControlPanel2, m_pidlNetwork, m_pidlLibraries})
        if (special && SameShellItem(special, absolute))
            return true;
    return false;
}

bool CClientTreeCtrl::ShowChild(const _LOCAL_TREE_ITEM& parent, LPCITEMIDLIST absolute, const wchar_t* name) const
{
    if (!parent.root && !parent.myComputer)
        return true;
    if (IsSpecialHidden(absolute))
        return false;
    if (!parent.myComputer)
        return true;
    const CString path = ShellItemPath(absolute);
    const UINT type = path.IsEmpty() ? DRIVE_UNKNOWN : ::GetDriveTypeW(path);
    bool virtualDrive = false;
    if (type == DRIVE_REMOTE) {
        CString letter, label;
        const bool known = CToviRegistry::GetDriveInfo(letter, label);
        virtualDrive = known && IsHiddenVirtualDrive(s_pDriveProgramRunning(), letter, path, name);
    }
    return ShowDriveChild(!path.IsEmpty(), type, virtualDrive);
}

HTREEITEM CClientTreeCtrl::InsertChild(HTREEITEM parent, IShellFolder* folder, LPCITEMIDLIST relative, DWORD attributes,
                                       const wchar_t* name)
{
    _LOCAL_TREE_ITEM* parentRecord = GetRecord(parent);
    if (!parentRecord)
        return nullptr;
    auto* record = new _LOCAL_TREE_ITEM();
    record->relative = ClonePidl(m_pMalloc, relative);
    record->absolute = ConcatPidl(m_pMalloc, parentRecord->absolute, relative);
    if (!record->relative || !record->absolute) {
        if (record->relative)
            m_pMalloc->Free(record->relative);
        if (record->absolute)
            m_pMalloc->Free(record->absolute);
        delete record;
        return nullptr;
    }
    record->parent = folder;
    folder->AddRef();
    record->attributes = attributes;
    wcsncpy(record->name, name, 259);
    const CString path = ShellItemPath(record->absolute);
    if (parentRecord->myComputer && !path.IsEmpty() && ::GetDriveTypeW(path) == DRIVE_CDROM)
        record->cdrom = true;
    if (parentRecord->root && m_pidlRecycleBin && SameShellItem(record->absolute, m_pidlRecycleBin))
        record->recycleBin = true;
    if (m_pidlMyComputer && SameShellItem(record->absolute, m_pidlMyComputer))
        record->myComputer = true;

    int image = 0, selected = 0;
    SmallIcons(record->absolute, (attributes & SFGAO_FOLDER) != 0, (attributes & SFGAO_LINK) != 0, image, selected);
    TVINSERTSTRUCTW insert = {};
    insert.hParent = parent;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM | TVIF_CHILDREN | TVIF_STATE;
    insert.item.pszText = record->name;
    insert.item.iImage = image;
    insert.item.iSelectedImage = selected;
    if (attributes & SFGAO_SHARE) {
        insert.item.state = INDEXTOOVERLAYMASK(1);
        insert.item.stateMask = TVIS_OVERLAYMASK;
    }
    insert.item.cChildren = record->cdrom ? (CdHasDirectory(path) ? 1 : 0) : ((attributes & SFGAO_HASSUBFOLDER) ? 1 : 0);
    insert.item.lParam = reinterpret_cast<LPARAM>(record);
    HTREEITEM item = InsertItem(&insert);
    if (!item) {
        record->parent->Release();
        m_pMalloc->Free(record->relative);
        m_pMalloc->Free(record->absolute);
        delete record;
    }
    return item;
}

void CClientTreeCtrl::FillFolder(HTREEITEM item, IShellFolder* folder, bool tree, int list)
{
    _LOCAL_TREE_ITEM* record = GetRecord(item);
    if (!m_pList || !record)
        return;
    if (tree) {
        DeleteChildren(item);
        SetRedraw(FALSE);
    }
    if (list) {
        m_pList->BeginFill(record->absolute, record->recycleBin);
    }
    IEnumIDList* children = nullptr;
    const SHCONTF what = SHCONTF_FOLDERS | (list == 1 ? SHCONTF_NONFOLDERS : 0);
    int position = 0;
    if (SUCCEEDED(folder->EnumObjects(m_hWnd, what, &children)) && children) {
        LPITEMIDLIST child = nullptr;
        ULONG fetched = 0;
        while (children->Next(1, &child, &fetched) == S_OK && fetched == 1) {
            DWORD attributes = SFGAO_FOLDER | SFGAO_STREAM | SFGAO_HASSUBFOLDER | SFGAO_SHARE | SFGAO_LINK |
                               SFGAO_CANRENAME | SFGAO_CANCOPY | SFGAO_CANMOVE | SFGAO_CANDELETE | SFGAO_READONLY |
                               SFGAO_FILESYSTEM;
            LPCITEMIDLIST one = child;
            STRRET strret = {};
            wchar_t name[260] = {};
            if (SUCCEEDED(folder->GetAttributesOf(1, &one, &attributes)) &&
                SUCCEEDED(folder->GetDisplayNameOf(child, SHGDN_INFOLDER, &strret)) &&
                SUCCEEDED(::StrRetToBufW(&strret, child, name, 260))) {
                LPITEMIDLIST absolute = ConcatPidl(m_pMalloc, record->absolute, child);
                if (absolute && ShowChild(*record, absolute, name)) {
                    if (tree && (attributes & SFGAO_FOLDER) && !(attributes & SFGAO_STREAM))
                        InsertChild(item, folder, child, attributes, name);
                    if (list && m_pList->AddItem(folder, child, position))
                        ++position;
                }
                if (absolute)
                    m_pMalloc->Free(absolute);
            }
            m_pMalloc->Free(child);
        }
        children->Release();
    }
    if (tree) {
        record->enumerated = true;
        TVITEMW tv = {};
        tv.mask = TVIF_CHILDREN;
        tv.hItem = item;
        tv.cChildren = GetChildItem(item) ? 1 : 0;
        SetItem(&tv);
        if (!record->root && !record->myComputer)
            SortChildrenByName(item);
        SetRedraw(TRUE);
    }
    if (list)
        m_pList->EndFill(!record->myComputer);
}

void CClientTreeCtrl::SortChildrenByName(HTREEITEM parent)
{
    TVSORTCB sort = {};
    sort.hParent = parent;
    sort.lpfnCompare = &CompareTreeNames;
    SortChildrenCB(&sort);
}

void CClientTreeCtrl::FreeRecords(HTREEITEM item)
{
    for (HTREEITEM child = GetChildItem(item ? item : TVI_ROOT); child; child = GetNextSiblingItem(child)) {
        FreeRecords(child);
        _LOCAL_TREE_ITEM* record = GetRecord(child);
        if (!record)
            continue;
        SetItemData(child, 0);
        if (record->parent)
            record->parent->Release();
        if (m_pMalloc) {
            if (record->relative)
                m_pMalloc->Free(record->relative);
            if (record->absolute)
                m_pMalloc->Free(record->absolute);
        } else {
            ::CoTaskMemFree(record->relative);
            ::CoTaskMemFree(record->absolute);
        }
        delete record;
    }
}

void CClientTreeCtrl::RemoveItem(HTREEITEM item)
{
    _LOCAL_TREE_ITEM* record = GetRecord(item);
    if (!record || record->root)
        return;
    FreeRecords(item);
    SetItemData(item, 0);
    ForgetMarksWithin(item);
    DeleteItem(item);
    if (record->parent)
        record->parent->Release();
    m_pMalloc->Free(record->relative);
    m_pMalloc->Free(record->absolute);
    delete record;
}

void CClientTreeCtrl::ForgetMarksWithin(HTREEITEM item)
{
    if (m_moveSource.Folder() && IsSameOrBelow(m_moveSource.Folder(), item))
        m_moveSource.Forget();
    for (HTREEITEM* mark : {&m_hDragItem, &m_hDragParent})
        if (*mark && IsSameOrBelow(*mark, item))
            *mark = nullptr;
}

void CClientTreeCtrl::DeleteChildren(HTREEITEM item)
{
    FreeRecords(item);
    HTREEITEM child = GetChildItem(item);
    while (child) {
        HTREEITEM next = GetNextSiblingItem(child);
        ForgetMarksWithin(child);
        DeleteItem(child);
        child = next;
    }
}

void CClientTreeCtrl::ClearTree()
{
    if (!m_hWnd)
        return;
    m_bSelectionOff = true;
    UnregisterNotifications();
    SelectItem(nullptr);
    HTREEITEM root = GetRootItem();
    if (root) {
        FreeRecords(root);
        _LOCAL_TREE_ITEM* record = GetRecord(root);
        SetItemData(root, 0);
        if (record) {
            ::CoTaskMemFree(record->absolute);
            if (record->relative && m_pMalloc)
                m_pMalloc->Free(record->relative);
            delete record;
        }
    }
    DeleteAllItems();
    m_moveSource.Forget();
    m_hDragItem = m_hDragParent = nullptr;
}

void CClientTreeCtrl::RefreshFolder(HTREEITEM item, bool tree, bool list)
{
    if (!item)
        item = GetSelectedItem();
    _LOCAL_TREE_ITEM* record = GetRecord(item);
    if (!record)
        return;
    HCURSOR old = ::SetCursor(::LoadCursor(nullptr, IDC_WAIT));
    IShellFolder* folder = BindLocalFolder(record->root ? nullptr : record->absolute);
    if (folder) {
        FillFolder(item, folder, tree, list ? 1 : 0);
        folder->Release();
    }
    ::SetCursor(old ? ::LoadCursor(nullptr, IDC_ARROW) : nullptr);
}

HTREEITEM CClientTreeCtrl::FindMyComputer() const
{
    HTREEITEM root = GetRootItem();
    for (HTREEITEM child = root ? GetChildItem(root) : nullptr; child; child = GetNextSiblingItem(child)) {
        _LOCAL_TREE_ITEM* record = GetRecord(child);
        if (record && record->myComputer)
            return child;
    }
    return nullptr;
}

HTREEITEM CClientTreeCtrl::FindRecycleBin() const
{
    HTREEITEM root = GetRootItem();
    for (HTREEITEM child = root ? GetChildItem(root) : nullptr; child; child = GetNextSiblingItem(child)) {
        _LOCAL_TREE_ITEM* record = GetRecord(child);
        if (record && record->recycleBin)
            return child;
    }
    return nullptr;
}

bool CClientTreeCtrl::IsShownFolderRecycleBin() const
{
    _LOCAL_TREE_ITEM* record = GetRecord(GetSelectedItem());
    return record && record->recycleBin;
}

bool CClientTreeCtrl::IsSameOrBelow(HTREEITEM target, HTREEITEM item) const
{
    for (HTREEITEM walk = target; walk; walk = GetParentItem(walk))
        if (walk == item)
            return true;
    return false;
}

void CClientTreeCtrl::SelectPath(const CString& path)
{
    HTREEITEM computer = FindMyComputer();
    if (!computer)
        return;
    Expand(computer, TVE_TOGGLE | 0);
    if (!(GetItemState(computer, TVIS_EXPANDED) & TVIS_EXPANDED))
        Expand(computer, TVE_EXPAND);
    HTREEITEM deepest = computer;
    if (path.GetLength() >= 2) {
        const CString drive = path.Left(2);
        HTREEITEM level = nullptr;
        for (HTREEITEM child = GetChildItem(computer); child; child = GetNextSiblingItem(child)) {
            const CString childPath = GetItemPath(child);
            const UINT type = childPath.IsEmpty() ? DRIVE_UNKNOWN : ::GetDriveTypeW(childPath);
            if ((type == DRIVE_REMOVABLE || type == DRIVE_FIXED || type == DRIVE_CDROM) &&
                childPath.Left(2).CompareNoCase(drive) == 0) {
                level = child;
                break;
            }
        }
        if (level) {
            deepest = level;
            int pos = 3;
            while (pos < path.GetLength()) {
                const CString name = path.Tokenize(L"\\", pos);
                if (name.IsEmpty())
                    break;
                if (!(GetItemState(deepest, TVIS_EXPANDED) & TVIS_EXPANDED))
                    Expand(deepest, TVE_EXPAND);
                HTREEITEM next = nullptr;
                for (HTREEITEM child = GetChildItem(deepest); child; child = GetNextSiblingItem(child)) {
                    const CString childPath = GetItemPath(child);
                    const CString last = childPath.Mid(childPath.ReverseFind(L'\\') + 1);
                    if (last.CompareNoCase(name) == 0) {
                        next = child;
                        break;
                    }
                }
                if (!next)
                    break;
                deepest = next;
            }
        }
    }
    SelectItem(deepest);
    EnsureVisible(deepest);
}

void CClientTreeCtrl::SetPaneColor(COLORREF color)
{
    m_paneColor = color;
    if (!m_hWnd)
        return;
    SetBkColor(color);
    HIMAGELIST images = reinterpret_cast<HIMAGELIST>(::SendMessage(m_hWnd, TVM_GETIMAGELIST, TVSIL_NORMAL, 0));
    if (images)
        ImageList_SetBkColor(images, color);
    Invalidate();
}

void CClientTreeCtrl::ClearCutMarks()
{
    if (!m_hWnd)
        return;
    std::vector<HTREEITEM> stack;
    if (HTREEITEM root = GetRootItem())
        stack.push_back(root);
    while (!stack.empty()) {
        HTREEITEM item = stack.back();
        stack.pop_back();
        if (GetItemState(item, TVIS_CUT) & TVIS_CUT)
            SetItemState(item, 0, TVIS_CUT);
        for (HTREEITEM child = GetChildItem(item); child; child = GetNextSiblingItem(child))
            stack.push_back(child);
    }
}

void CClientTreeCtrl::UpdateMenuState()
{
    if (!m_pHost)
        return;
    HTREEITEM item = GetSelectedItem();
    _LOCAL_TREE_ITEM* record = GetRecord(item);
    ServerMenuState state;
    if (record) {
        const CString path = ShellItemPath(record->absolute);
        const bool writable = !path.IsEmpty() && !(record->attributes & SFGAO_READONLY);
        state.newFolder = writable;
        state.upload = !path.IsEmpty() && (record->attributes & SFGAO_CANCOPY) && path.GetLength() != 3 &&
                       m_pHost->IsUploadAllowed();
        state.remove = (record->attributes & SFGAO_CANDELETE) != 0;
        state.copy = (record->attributes & SFGAO_CANCOPY) != 0;
        state.cut = (record->attributes & SFGAO_CANMOVE) != 0;
        state.paste = writable && ClipboardHasPasteData();
        m_pHost->SetDownloadTarget(writable);
    } else {
        m_pHost->SetDownloadTarget(false);
    }
    m_pHost->SetMenuButtonState(state);
}

void CClientTreeCtrl::OnItemExpanding(NMHDR* nm, LRESULT* result)
{
    *result = 0;
    auto* tv = reinterpret_cast<NMTREEVIEWW*>(nm);
    if (m_bBusy || !(tv->action & TVE_EXPAND))
        return;
    _LOCAL_TREE_ITEM* record = GetRecord(tv->itemNew.hItem);
    if (!record)
        return;
    SetRedraw(FALSE);
    RefreshFolder(tv->itemNew.hItem, true, false);
    SetRedraw(TRUE);
}

void CClientTreeCtrl::OnSelChanging(NMHDR*, LRESULT* result)
{
    *result = (m_bBusy || m_bSelectionOff) ? TRUE : FALSE;
}

void CClientTreeCtrl::OnSelChanged(NMHDR* nm, LRESULT* result)
{
    *result = 0;
    if (m_bBusy || m_bSelectionOff)
        return;
    auto* tv = reinterpret_cast<NMTREEVIEWW*>(nm);
    HTREEITEM item = tv->itemNew.hItem;
    m_bBusy = true;
    UpdateMenuState();
    const bool expanded = (GetItemState(item, TVIS_EXPANDED) & TVIS_EXPANDED) != 0;
    RefreshFolder(item, expanded, true);
    m_bBusy = false;
}

void CClientTreeCtrl::OnBeginLabelEdit(NMHDR* nm, LRESULT* result)
{
    auto* info = reinterpret_cast<NMTVDISPINFOW*>(nm);
    m_nSavedState = GetItemState(info->item.hItem, TVIS_SELECTED);
    if (m_nSavedState & TVIS_SELECTED)
        SetItemState(info->item.hItem, 0, TVIS_SELECTED);
    if (m_pHost)
        m_pHost->SetLabelEditing(true);
    *result = 0;
}

void CClientTreeCtrl::OnEndLabelEdit(NMHDR* nm, LRESULT* result)
{
    *result = 0;
    auto* info = reinterpret_cast<NMTVDISPINFOW*>(nm);
    HTREEITEM item = info->item.hItem;
    ModifyStyle(TVS_EDITLABELS, 0);
    if (m_pHost)
        m_pHost->SetLabelEditing(false);
    if (m_nSavedState & TVIS_SELECTED)
        SetItemState(item, TVIS_SELECTED, TVIS_SELECTED);
    _LOCAL_TREE_ITEM* record = GetRecord(item);
    if (!info->item.pszText || !record || !record->parent)
        return;
    const CString path = ShellItemPath(record->absolute);
    const bool driveRoot = path.GetLength() == 3;
    CString oldName = GetItemText(item);
    oldName.Trim();
    if (driveRoot)
        oldName = DriveLabelOf(oldName);
    CString newName = info->item.pszText;
    newName.Trim();
    if (newName.IsEmpty() || newName.CompareNoCase(oldName) == 0)
        return;
    LPITEMIDLIST renamed = nullptr;
    HRESULT hr = record->parent->SetNameOf(m_hWnd, record->relative, newName, SHGDN_NORMAL, &renamed);
    if (FAILED(hr)) {
        TraceLog(2048, L"[ CClientTreeCtrl::OnEndLabelEdit ] SetNameOf failed %08X\n", static_cast<unsigned>(hr));
        SetFocus();
        ModifyStyle(0, TVS_EDITLABELS);
        EditLabel(item);
        return;
    }
    if (renamed)
        ::CoTaskMemFree(renamed);
    if (driveRoot) {
        const CString text = DriveItemText(newName, path);
        SetItemText(item, text);
        wcsncpy(record->name, text, 259);
        return;
    }
    HTREEITEM parent = GetParentItem(item);
    RefreshFolder(parent, true, false);
    for (HTREEITEM child = GetChildItem(parent); child; child = GetNextSiblingItem(child)) {
        if (GetItemText(child).CompareNoCase(newName) == 0) {
            SelectItem(child);
            break;
        }
    }
}

void CClientTreeCtrl::OnKeyDown(NMHDR* nm, LRESULT* result)
{
    *result = 0;
    auto* key = reinterpret_cast<NMTVKEYDOWN*>(nm);
    HTREEITEM item = GetSelectedItem();
    _LOCAL_TREE_ITEM* record = GetRecord(item);
    panekeys::KeyPress press;
    press.key = key->wVKey;
    press.leftControl = LeftControlDown();
    press.leftShift = (GetKeyState(VK_LSHIFT) & 0x8000) != 0;
    panekeys::LocalTreeKeyFacts facts;
    facts.item = m_pView && record;
    facts.canRename = record && (record->attributes & SFGAO_CANRENAME);
    const panekeys::KeyOutcome outcome = panekeys::LocalTreeKey(press, facts);
    if (outcome.clear == panekeys::ClearMarks::AllPanes && m_pHost)
        m_pHost->ClearCutMarks();
    if (outcome.emptyClipboard && ::OpenClipboard(m_hWnd)) {
        ::EmptyClipboard();
        ::CloseClipboard();
    }
    using panekeys::Action;
    switch (outcome.action) {
    case Action::Copy: m_pView->OnCopy(item); break;
    case Action::Paste: m_pView->OnPaste(item); break;
    case Action::Cut: m_pView->OnCut(item); break;
    case Action::Delete: m_pView->OnDelete(item, true); break;
    case Action::Rename: m_pView->OnRename(item); break;
    case Action::Refresh: RefreshFolder(item, (GetItemState(item, TVIS_EXPANDED) & TVIS_EXPANDED) != 0, true); break;
    default: break;
    }
    UpdateMenuState();
}

DWORD CClientTreeCtrl::DragEffectsOf(HTREEITEM item)
{
    _LOCAL_TREE_ITEM* record = GetRecord(item);
    if (!record)
        return DROPEFFECT_NONE;
    IShellFolder* parent = record->parent;
    IShellFolder* desktop = nullptr;
    if (!parent) {
        desktop = BindLocalFolder(nullptr);
        parent = desktop;
    }
    DWORD effects = DROPEFFECT_NONE;
    IContextMenu* menu = nullptr;
    LPCITEMIDLIST one = record->relative;
    if (parent && SUCCEEDED(parent->GetUIObjectOf(m_hWnd, 1, &one, IID_IContextMenu, nullptr,
                                                  reinterpret_cast<void**>(&menu))) && menu) {
        HMENU popup = ::CreatePopupMenu();
        if (popup && SUCCEEDED(menu->QueryContextMenu(popup, 0, kShellFirstCommand, kShellLastCommand,
                                                      CMF_EXPLORE | CMF_CANRENAME))) {
            if (FindVerbPosition(popup, menu, L"delete") >= 0)
                effects = DROPEFFECT_COPY | DROPEFFECT_MOVE;
            else if (FindVerbPosition(popup, menu, L"copy") >= 0)
                effects = DROPEFFECT_COPY;
        }
        if (popup)
            ::DestroyMenu(popup);
        menu->Release();
    }
    if (desktop)
        desktop->Release();
    return effects;
}

HIMAGELIST CClientTreeCtrl::MakeDragImage(HTREEITEM item)
{
    _LOCAL_TREE_ITEM* record = GetRecord(item);
    if (!record)
        return nullptr;
    SHFILEINFOW info = {};
    const bool selected = (GetItemState(item, TVIS_SELECTED) & TVIS_SELECTED) != 0;
    ::SHGetFileInfoW(reinterpret_cast<LPCWSTR>(record->absolute), 0, &info, sizeof info,
                     SHGFI_PIDL | SHGFI_ICON | SHGFI_LARGEICON | (selected ? SHGFI_OPENICON : 0));
    // The tree's own tile: one card, masked by grey.
    DragBubbleLook look;
    look.mask = RGB(192, 192, 192);
    look.icon = {20, 13};
    look.keyedIcon = true;
    look.nameQuality = CLEARTYPE_QUALITY;
    HFONT treeFont = reinterpret_cast<HFONT>(::SendMessage(m_hWnd, WM_GETFONT, 0, 0));
    HIMAGELIST images = CreateDragBubble(treeFont, info.hIcon, record->name, 1, look);
    if (info.hIcon)
        ::DestroyIcon(info.hIcon);
    return images;
}

void CClientTreeCtrl::OnBeginDrag(NMHDR* nm, LRESULT* result)
{
    *result = 0;
    auto* tv = reinterpret_cast<NMTREEVIEWW*>(nm);
    HTREEITEM item = tv->itemNew.hItem;
    const CString path = GetItemPath(item);
    if (path.IsEmpty() || path.GetLength() == 3)
        return;
    const DWORD effects = DragEffectsOf(item);
    if (effects == DROPEFFECT_NONE)
        return;
    HIMAGELIST image = MakeDragImage(item);
    if (!image)
        return;
    auto* source = new CDragDataSource();
    if (!source->CacheFileDrop({path})) {
        ImageList_Destroy(image);
        source->ExternalRelease();
        return;
    }
    if (m_pHost)
        m_pHost->SetDragSource(L"CL");
    m_hDragItem = item;
    m_hDragParent = GetParentItem(item);
    m_moveSource.Mark(m_hDragParent);
    source->CacheDragImage(image, 36, 62);
    CDragDropSource dropSource;
    source->DoDragDrop(effects, nullptr, &dropSource);
    ImageList_Destroy(image);
}

void CClientTreeCtrl::OnRClick(NMHDR*, LRESULT* result)
{
    *result = 1;
    POINT cursor = {};
    ::GetCursorPos(&cursor);
    ScreenToClient(&cursor);
    HTREEITEM item = HitTest(CPoint(cursor.x, cursor.y));
    if (item)
        ShowContextMenu(item);
}

void CClientTreeCtrl::ShowContextMenu(HTREEITEM item)
{
    _LOCAL_TREE_ITEM* record = GetRecord(item);
    if (!record || !m_pView)
        return;
    IShellFolder* desktop = record->parent ? nullptr : BindLocalFolder(nullptr);
    IShellFolder* parent = record->parent ? record->parent : desktop;
    IContextMenu* menu = nullptr;
    LPCITEMIDLIST one = record->relative;
    HMENU popup = nullptr;
    if (parent && SUCCEEDED(parent->GetUIObjectOf(m_hWnd, 1, &one, IID_IContextMenu, nullptr,
                                                  reinterpret_cast<void**>(&menu))) && menu &&
        (popup = ::CreatePopupMenu()) != nullptr &&
        SUCCEEDED(menu->QueryContextMenu(popup, 0, kShellFirstCommand, kShellLastCommand, CMF_EXPLORE | CMF_CANRENAME))) {
        if (record->recycleBin) {
            const int link = FindVerbPosition(popup, menu, L"link");
            if (link >= 0)
                ::DeleteMenu(popup, link, MF_BYPOSITION);
        }
        const CString path = ShellItemPath(record->absolute);
        if (!path.IsEmpty() && path.GetLength() != 3 && m_pHost && m_pHost->IsUploadAllowed() &&
            FindVerbPosition(popup, menu, L"copy") >= 0) {
            ::AppendMenuW(popup, MF_SEPARATOR, 0, nullptr);
            ::AppendMenuW(popup, MF_STRING, kLocalUploadCommand, CToviString::GetString(14046));
        }
        const bool writable = (record->attributes & SFGAO_FOLDER) && !(record->attributes & SFGAO_READONLY);
        const int copy = FindVerbPosition(popup, menu, L"copy");
        if (writable && ClipboardHasPasteData() && FindVerbPosition(popup, menu, L"paste") < 0) {
            const CString text = CToviString::GetString(14052) + L"(&P)";
            ::InsertMenuW(popup, copy >= 0 ? copy + 1 : ::GetMenuItemCount(popup), MF_BYPOSITION | MF_STRING,
                          kLocalPasteCommand, text);
        }
        TidyShellMenu(popup);
        const UINT chosen = TrackLocalMenu(popup, m_hWnd);
        switch (ClassifyLocalMenuCommand(chosen)) {
        case LocalMenuChoice::Upload:
            m_pView->OnUpload(item);
            break;
        case LocalMenuChoice::Paste:
            m_pView->OnPaste(item);
            break;
        case LocalMenuChoice::Shell: {
            const CString verb = ShellVerbOf(menu, chosen);
            if (verb.CompareNoCase(L"cut") == 0)
                m_pView->OnCut(item);
            else if (verb.CompareNoCase(L"copy") == 0)
                m_pView->OnCopy(item);
            else if (verb.CompareNoCase(L"rename") == 0)
                m_pView->OnRename(item);
            else if (verb.CompareNoCase(L"delete") == 0)
                m_pView->OnDelete(item, true);
            else if (verb.CompareNoCase(L"paste") == 0)
                m_pView->OnPaste(item);
            else {
                CMINVOKECOMMANDINFO invoke = {sizeof invoke};
                invoke.hwnd = m_hWnd;
                invoke.lpVerb = MAKEINTRESOURCEA(chosen - kShellFirstCommand);
                invoke.nShow = SW_SHOWNORMAL;
                if (SUCCEEDED(menu->InvokeCommand(&invoke)))
                    m_pView->AfterShellVerb(item, verb);
            }
            break;
        }
        default:
            break;
        }
    }
    if (popup)
        ::DestroyMenu(popup);
    if (menu)
        menu->Release();
    if (desktop)
        desktop->Release();
    UpdateMenuState();
}

void CClientTreeCtrl::OnClick(NMHDR*, LRESULT* result)
{
    *result = 0;
    UpdateMenuState();
}

void CClientTreeCtrl::OnCustomDraw(NMHDR* nm, LRESULT* result)
{
    treelook::MarkUnfocusedSelection(*this, nm, result);
}

void CClientTreeCtrl::OnSetFocus(CWnd* oldWnd)
{
    Default();
    (void)oldWnd;
    if (m_pHost && !m_pHost->IsLabelEditing())
        m_pHost->SetActivePane(1, 0);
    UpdateMenuState();
}

void CClientTreeCtrl::OnLButtonDown(UINT, CPoint)
{
    if (::GetFocus() != m_hWnd)
        SetFocus();
    Default();
}

void CClientTreeCtrl::UpdateDrive(const CString& path, bool added)
{
    HTREEITEM computer = FindMyComputer();
    _LOCAL_TREE_ITEM* computerRecord = GetRecord(computer);
    if (!computerRecord || path.IsEmpty())
        return;
    HTREEITEM existing = nullptr;
    for (HTREEITEM child = GetChildItem(computer); child; child = GetNextSiblingItem(child))
        if (GetItemPath(child).CompareNoCase(path) == 0)
            existing = child;
    if (added && !existing) {
        HCURSOR old = ::SetCursor(::LoadCursor(nullptr, IDC_WAIT));
        SetRedraw(FALSE);
        IShellFolder* folder = BindLocalFolder(computerRecord->absolute);
        IEnumIDList* children = nullptr;
        if (folder && SUCCEEDED(folder->EnumObjects(m_hWnd, SHCONTF_FOLDERS | SHCONTF_NONFOLDERS, &children)) &&
            children) {
            LPITEMIDLIST child = nullptr;
            ULONG fetched = 0;
            while (children->Next(1, &child, &fetched) == S_OK && fetched == 1) {
                LPITEMIDLIST absolute = ConcatPidl(m_pMalloc, computerRecord->absolute, child);
                const CString childPath = ShellItemPath(absolute);
                DWORD attributes = SFGAO_FOLDER | SFGAO_HASSUBFOLDER | SFGAO_CANCOPY | SFGAO_CANMOVE |
                                   SFGAO_CANDELETE | SFGAO_CANRENAME;
                LPCITEMIDLIST one = child;
                STRRET strret = {};
                wchar_t name[260] = {};
                if (!childPath.IsEmpty() && ::GetDriveTypeW(childPath) == DRIVE_REMOVABLE &&
                    childPath.CompareNoCase(path) == 0 && SUCCEEDED(folder->GetAttributesOf(1, &one, &attributes)) &&
                    (attributes & SFGAO_FOLDER) && SUCCEEDED(folder->GetDisplayNameOf(child, SHGDN_INFOLDER, &strret)) &&
                    SUCCEEDED(::StrRetToBufW(&strret, child, name, 260)))
                    InsertChild(computer, folder, child, attributes, name);
                if (absolute)
                    m_pMalloc->Free(absolute);
                m_pMalloc->Free(child);
            }
            children->Release();
        }
        if (folder)
            folder->Release();
        SetRedraw(TRUE);
        ::SetCursor(old);
    } else if (!added && existing) {
        RemoveItem(existing);
    }
    if (GetSelectedItem() == computer)
        RefreshFolder(computer, false, true);
}

LRESULT CClientTreeCtrl::OnShellNoti(WPARAM wParam, LPARAM lParam)
{
    auto** pidls = reinterpret_cast<LPITEMIDLIST*>(wParam);
    const LONG event = static_cast<LONG>(lParam);
    const CString path = pidls ? ShellItemPath(pidls[0]) : CString();
    switch (event) {
    case SHCNE_DRIVEREMOVED:
        TraceLog(1, L"[ OnShellNoti ] SHCNE_DRIVEREMOVED\n");
        UpdateDrive(path, false);
        break;
    case SHCNE_DRIVEADD:
        UpdateDrive(path, true);
        break;
    case SHCNE_MEDIAINSERTED:
    case SHCNE_MEDIAREMOVED: {
        HTREEITEM computer = FindMyComputer();
        if (!computer || ::GetDriveTypeW(path) != DRIVE_CDROM)
            break;
        if (event == SHCNE_MEDIAREMOVED && !m_nMediaRemoved) {
            m_nMediaRemoved = 1;
            break;
        }
        RefreshFolder(computer, true, GetSelectedItem() == computer);
        m_nMediaRemoved = 0;
        break;
    }
    case SHCNE_RENAMEITEM:
    case SHCNE_RENAMEFOLDER:
        if (path.Find(L"RECYCLER", 1) > 0) {
            HTREEITEM selected = GetSelectedItem();
            if (selected)
                RefreshFolder(selected, (GetItemState(selected, TVIS_EXPANDED) & TVIS_EXPANDED) != 0, true);
            RefreshRecycleBinIcon();
        }
        break;
    default:
        break;
    }
    return 0;
}

void CClientTreeCtrl::RefreshRecycleBinIcon()
{
    HTREEITEM bin = FindRecycleBin();
    _LOCAL_TREE_ITEM* record = GetRecord(bin);
    if (!record)
        return;
    int image = 0, selected = 0;
    SmallIcons(record->absolute, true, false, image, selected);
    SetItemImage(bin, image, selected);
    Invalidate();
}

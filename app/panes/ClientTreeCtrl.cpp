// The local folder tree: filling from the shell namespace, the show rule, records, refreshes,
// the path selection and the menu state. Its user commands are in ClientTreeCmds.cpp, the
// shell's change notices in ClientTreeNotify.cpp.
#include "ClientTreeCtrl.h"
#include "FileUtils.h"
#include "LocalMenuRules.h"
#include "LocalPaneRules.h"
#include "LocalShell.h"
#include "ShellItems.h"
#include "ToviExec.h"
#include "ToviRegistry.h"
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
        LocalItemFacts folder;
        folder.attributes = record->attributes;
        folder.path = ShellItemPath(record->absolute);
        state = LocalTreeButtons(folder, m_pHost->IsUploadAllowed(), ClipboardHasPasteData());
        m_pHost->SetDownloadTarget(IsWritableLocalFolder(folder));
    } else {
        m_pHost->SetDownloadTarget(false);
    }
    m_pHost->SetMenuButtonState(state);
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

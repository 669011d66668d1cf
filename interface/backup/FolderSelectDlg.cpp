// CFolderSelectDlg: set-up, the tree's notifications, the check logic and the hand-over.
#include "BackupLook.h"
#include "DialogKit.h"
#include "FolderSelectDlg.h"
#include "ShellItems.h"
#include "BackupPolicyDlg.h"
#include "BackupRes.h"
#include "FileUtils.h"
#include "MessageBoxDlgRes.h"
#include "SkinRes.h"
#include "ToviString.h"
#include "TraceLog.h"
#include <commctrl.h>
#include <shellapi.h>
#include <vector>

IMPLEMENT_DYNAMIC(CFolderSelectDlg, CDialog)

namespace {
// Posted after a check-box click or key: puts the item's check where the check logic decided,
// whatever the control did with the click itself.
const UINT kSettleCheck = WM_APP + 61;
} // namespace

BEGIN_MESSAGE_MAP(CFolderSelectDlg, CDialog)
    ON_WM_CREATE()
    ON_WM_NCACTIVATE()
    ON_WM_NCCALCSIZE()
    ON_WM_NCPAINT()
    ON_WM_SIZE()
    ON_WM_ERASEBKGND()
    ON_WM_GETMINMAXINFO()
    ON_WM_SETCURSOR()
    ON_WM_DESTROY()
    ON_BN_CLICKED(IDC_SYSBTN_CLOSE, OnCloseButton)
    ON_NOTIFY(TVN_SELCHANGINGW, IDC_FOLDER_TREE, OnTvnSelchanging)
    ON_NOTIFY(TVN_SELCHANGEDW, IDC_FOLDER_TREE, OnTvnSelchanged)
    ON_NOTIFY(TVN_ITEMEXPANDINGW, IDC_FOLDER_TREE, OnTvnItemexpanding)
    ON_NOTIFY(TVN_ITEMEXPANDEDW, IDC_FOLDER_TREE, OnTvnItemexpanded)
    ON_NOTIFY(TVN_KEYDOWN, IDC_FOLDER_TREE, OnTvnKeydown)
    ON_NOTIFY(NM_CLICK, IDC_FOLDER_TREE, OnNMClickTree)
    ON_MESSAGE(kSettleCheck, OnSettleCheck)
END_MESSAGE_MAP()

CFolderSelectDlg::CFolderSelectDlg(CWnd* pParent) : CDialog(IDD_FOLDER_SELECT, pParent) {}

CFolderSelectDlg::~CFolderSelectDlg()
{
    FreeHiddenFolders();
    if (m_pMalloc)
        m_pMalloc->Release();
    if (m_hFont)
        DeleteObject(m_hFont);
    if (m_hTitleFont)
        DeleteObject(m_hTitleFont);
}

void CFolderSelectDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
}

int CFolderSelectDlg::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    // No system menu while the dialog is built: it comes back at the end of OnInitDialog.
    ModifyStyle(WS_SYSMENU, 0);
    return CWnd::OnCreate(lpCreateStruct);
}

BOOL CFolderSelectDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    GetWindowText(m_strTitle);
    const CString title = backuplook::Text(CString(m_strTitle).GetString());
    m_strTitle = title;
    SetWindowText(m_strTitle);

    const CString face = backuplook::FaceName(PRODUCT_BACKUP);
    LOGFONTW lf = {};
    lf.lfHeight = -12;
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = CLEARTYPE_QUALITY;
    lstrcpynW(lf.lfFaceName, face.GetString(), LF_FACESIZE);
    m_hFont = CreateFontIndirectW(&lf);
    lf.lfWeight = FW_BOLD;
    m_hTitleFont = CreateFontIndirectW(&lf);
    SendMessageToDescendants(WM_SETFONT, reinterpret_cast<WPARAM>(m_hFont), TRUE);

    dialogkit::SkinButton(m_btnOk, this, IDOK, 13, CToviString::GetString(14061), IDI_BTN_CONFIRM);
    dialogkit::SkinButton(m_btnCancel, this, IDCANCEL, 14, CToviString::GetString(14064), IDI_BTN_CANCEL);
    dialogkit::SkinButton(m_btnClose, this, IDC_SYSBTN_CLOSE, CToviButton::kStyleCaptionClose, CString(), 0);

    m_tree.SubclassDlgItem(IDC_FOLDER_TREE, this);
    // Check boxes set on the made control, before any item: set at creation, the control makes
    // their images late and shows the checks made before then unchecked.
    m_tree.ModifyStyle(0, TVS_CHECKBOXES);
    SHFILEINFOW info = {};
    HIMAGELIST system = reinterpret_cast<HIMAGELIST>(
        SHGetFileInfoW(L"C:\\", 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
    if (system)
        m_tree.SetImageList(system, TVSIL_NORMAL);
    SHGetMalloc(&m_pMalloc);
    InitHiddenFolders();

    CRect client;
    GetClientRect(&client);
    LayoutControls(client.Width(), client.Height());

    InsertRoot();
    OpenPreselected();
    m_tree.SetFocus();
    ModifyStyle(0, WS_SYSMENU);
    return FALSE;
}

void CFolderSelectDlg::InitHiddenFolders()
{
    SHGetSpecialFolderLocation(nullptr, CSIDL_BITBUCKET, &m_pidlRecycleBin);
    SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &m_pidlComputer);
    SHGetSpecialFolderLocation(nullptr, CSIDL_NETWORK, &m_pidlNetwork);
    const int windows = CFileUtils::GetWindowsType();
    IShellFolder* desktop = nullptr;
    if (windows == 6 || windows == 7) {
        SHGetSpecialFolderLocation(nullptr, CSIDL_CONTROLS, &m_pidlControlPanel);
    } else if (windows > 7 && SUCCEEDED(SHGetDesktopFolder(&desktop))) {
        auto parse = [desktop](const wchar_t* name, LPITEMIDLIST* pidl) {
            wchar_t text[64];
            lstrcpynW(text, name, 64);
            if (FAILED(desktop->ParseDisplayName(nullptr, nullptr, text, nullptr, pidl, nullptr)))
                *pidl = nullptr;
        };
        parse(L"::{26EE0668-A00A-44D7-9371-BEB064C98683}", &m_pidlControlPanel);
        if (windows >= 9) {
            parse(L"::{5399E694-6CE5-4D6C-8FCE-1D8870FDCBA0}", &m_pidlVirtual1);
            parse(L"::{031E4825-7B94-4dc3-B131-E946B44C8DD5}", &m_pidlVirtual2);
            m_pidlLibraries = ClonePidl(m_pMalloc, m_pidlVirtual2);
        }
        desktop->Release();
    }
}

void CFolderSelectDlg::FreeHiddenFolders()
{
    for (LPITEMIDLIST* pidl : {&m_pidlRecycleBin, &m_pidlComputer, &m_pidlNetwork, &m_pidlControlPanel,
                               &m_pidlVirtual1, &m_pidlVirtual2, &m_pidlLibraries}) {
        if (*pidl)
            CoTaskMemFree(*pidl);
        *pidl = nullptr;
    }
}

void CFolderSelectDlg::InsertRoot()
{
    LPITEMIDLIST desktopPidl = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOP, &desktopPidl)) || desktopPidl == nullptr)
        return;
    SHFILEINFOW info = {};
    SHGetFileInfoW(reinterpret_cast<LPCWSTR>(desktopPidl), 0, &info, sizeof info,
                   SHGFI_PIDL | SHGFI_DISPLAYNAME | SHGFI_SYSICONINDEX | SHGFI_SMALLICON);
    _FOLDER_TREE_ITEM* data = new _FOLDER_TREE_ITEM();
    data->pidlRelative = ClonePidl(m_pMalloc, desktopPidl);
    data->pidlAbsolute = ClonePidl(m_pMalloc, desktopPidl);
    CoTaskMemFree(desktopPidl);
    lstrcpynW(data->szDisplayName, info.szDisplayName, 260);
    data->ulAttributes = SFGAO_FOLDER | SFGAO_HASSUBFOLDER;
    data->bValid = 1;
    data->bRoot = 1;

    TVINSERTSTRUCTW insert = {};
    insert.hParent = TVI_ROOT;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM | TVIF_CHILDREN;
    insert.item.pszText = data->szDisplayName;
    insert.item.iImage = insert.item.iSelectedImage = info.iIcon;
    insert.item.cChildren = 1;
    insert.item.lParam = reinterpret_cast<LPARAM>(data);
    HTREEITEM root = m_tree.InsertItem(&insert);
    if (!root) {
        CleanItemData(data);
        return;
    }
    DrawSubItems(root);
    m_tree.Expand(root, TVE_EXPAND);
    for (HTREEITEM child = m_tree.GetChildItem(root); child; child = m_tree.GetNextSiblingItem(child)) {
        _FOLDER_TREE_ITEM* childData = ItemData(child);
        if (childData && childData->bComputer) {
            DrawSubItems(child);
            m_tree.Expand(child, TVE_EXPAND);
            break;
        }
    }
}

void CFolderSelectDlg::OpenPreselected()
{
    HTREEITEM root = m_tree.GetRootItem();
    _FOLDER_TREE_ITEM* rootData = ItemData(root);
    if (!rootData || m_mapFolder.empty())
        return;
    const CString rootName = rootData->szDisplayName;
    for (auto it = m_mapFolder.begin(); it != m_mapFolder.end();) {
        const CString treePath = it->second.TreePath;
        if (treePath.Left(rootName.GetLength()) != rootName) {
            ++it;
            continue;
        }
        if (ExpandNSetPath(treePath, true)) {
            ++it;
            continue;
        }
        // The folder (or one above it) is gone: keeping the entry would back up a path that
        // the tree cannot show, and checking the nearest folder would choose one the user did not.
        TraceLog(2048, L"[ CFolderSelectDlg::OpenPreselected ] dropped [ %s ]\n", treePath.GetString());
        it = m_mapFolder.erase(it);
    }
}

bool CFolderSelectDlg::ExpandNSetPath(CString treePath, bool check)
{
    HTREEITEM current = m_tree.GetRootItem();
    if (!current)
        return false;
    std::vector<CString> parts;
    int start = 0;
    for (;;) {
        const int slash = treePath.Find(L'/', start);
        parts.push_back(slash < 0 ? treePath.Mid(start) : treePath.Mid(start, slash - start));
        if (slash < 0)
            break;
        start = slash + 1;
    }
    for (size_t i = 1; i < parts.size(); ++i) {
        if (m_tree.GetChildItem(current) == nullptr)
            DrawSubItems(current);
        HTREEITEM found = nullptr;
        for (HTREEITEM child = m_tree.GetChildItem(current); child; child = m_tree.GetNextSiblingItem(child)) {
            _FOLDER_TREE_ITEM* data = ItemData(child);
            if (data && parts[i] == data->szDisplayName) {
                found = child;
                break;
            }
        }
        if (!found)
            return false;
        current = found;
        if (i + 1 < parts.size())
            m_tree.Expand(current, TVE_EXPAND);
    }
    if (check) {
        SetItemCheck(current, true);
        CheckChildItems(current);
    }
    return true;
}

_FOLDER_TREE_ITEM* CFolderSelectDlg::ItemData(HTREEITEM item)
{
    return item ? reinterpret_cast<_FOLDER_TREE_ITEM*>(m_tree.GetItemData(item)) : nullptr;
}

bool CFolderSelectDlg::IsItemChecked(HTREEITEM item)
{
    return item && m_tree.GetCheck(item);
}

void CFolderSelectDlg::SetItemCheck(HTREEITEM item, bool check)
{
    if (item)
        m_tree.SetCheck(item, check ? TRUE : FALSE);
}

CString CFolderSelectDlg::ItemPath(HTREEITEM item)
{
    _FOLDER_TREE_ITEM* data = ItemData(item);
    wchar_t path[MAX_PATH] = {};
    if (!data || data->bRoot || data->bComputer || !SHGetPathFromIDListW(data->pidlAbsolute, path))
        return CString();
    return path;
}

CString CFolderSelectDlg::GetTreePath(HTREEITEM item)
{
    CString path;
    for (HTREEITEM at = item; at; at = m_tree.GetParentItem(at)) {
        _FOLDER_TREE_ITEM* data = ItemData(at);
        const CString name = data ? CString(data->szDisplayName) : m_tree.GetItemText(at);
        path = path.IsEmpty() ? name : name + L"/" + path;
    }
    return path;
}

HTREEITEM CFolderSelectDlg::FindTreePath(const CString& treePath)
{
    HTREEITEM current = m_tree.GetRootItem();
    int start = 0;
    int slash = treePath.Find(L'/');
    while (current && slash >= 0) {
        start = slash + 1;
        slash = treePath.Find(L'/', start);
        const CString part = slash < 0 ? treePath.Mid(start) : treePath.Mid(start, slash - start);
        HTREEITEM child = m_tree.GetChildItem(current);
        while (child && m_tree.GetItemText(child) != part)
            child = m_tree.GetNextSiblingItem(child);
        current = child;
    }
    return current;
}

bool CFolderSelectDlg::IsPathChecked(const CString& treePath)
{
    return IsItemChecked(FindTreePath(treePath));
}

void CFolderSelectDlg::CheckChildItems(HTREEITEM item)
{
    for (HTREEITEM child = m_tree.GetChildItem(item); child; child = m_tree.GetNextSiblingItem(child)) {
        CheckChildItems(child);
        SetItemCheck(child, true);
    }
}

void CFolderSelectDlg::UnCheckChildItems(HTREEITEM item)
{
    for (HTREEITEM child = m_tree.GetChildItem(item); child; child = m_tree.GetNextSiblingItem(child)) {
        UnCheckChildItems(child);
        SetItemCheck(child, false);
    }
}

// The check logic of one click: decides against the map, then settles the item's check after
// the control has handled the click itself.
void CFolderSelectDlg::ClickCheck(HTREEITEM item)
{
    bool finalState = false;
    HTREEITEM parent = m_tree.GetParentItem(item);
    if (parent && IsItemChecked(parent)) {
        // A folder inside a checked folder is covered by it and cannot change by itself.
        finalState = true;
    } else {
        const CString path = ItemPath(item);
        const bool wasChecked = !path.IsEmpty() && m_mapFolder.count(path) != 0;
        switch (ApplyCheck(m_mapFolder, path, GetTreePath(item), !wasChecked)) {
        case kChecked:
            CheckChildItems(item);
            finalState = true;
            break;
        case kUnchecked:
            UnCheckChildItems(item);
            break;
        case kRefusedSame:
            CFileUtils::ToviMessageBox(this, L"동일한 폴더가 이미 추가 되었습니다.", L"CorvaneIXO", MB_ICONWARNING);
            finalState = wasChecked;
            break;
        case kRefusedParent:
            CFileUtils::ToviMessageBox(this, L"부모 폴더가 이미 추가 되었습니다.", L"CorvaneIXO", MB_ICONWARNING);
            break;
        case kRefusedNoPath:
            break;
        }
    }
    SetItemCheck(item, finalState);
    m_hSettleItem = item;
    PostMessage(kSettleCheck, 0, finalState ? 1 : 0);
}

LRESULT CFolderSelectDlg::OnSettleCheck(WPARAM, LPARAM lParam)
{
    // CleanItem forgets the item when it is deleted before this arrives.
    if (m_hSettleItem && !m_bClearing)
        SetItemCheck(m_hSettleItem, lParam != 0);
    m_hSettleItem = nullptr;
    return 0;
}

void CFolderSelectDlg::OnNMClickTree(NMHDR*, LRESULT* pResult)
{
    *pResult = 0;
    const DWORD pos = GetMessagePos();
    POINT pt = {static_cast<short>(LOWORD(pos)), static_cast<short>(HIWORD(pos))};
    ::ScreenToClient(m_tree.GetSafeHwnd(), &pt);
    TVHITTESTINFO hit = {};
    hit.pt = pt;
    HTREEITEM item = m_tree.HitTest(&hit);
    if (!item || !(hit.flags & TVHT_ONITEMSTATEICON))
        return;
    TraceLog(1, L"TVHT_ONITEMSTATEICON\n");
    ClickCheck(item);
}

void CFolderSelectDlg::OnTvnKeydown(NMHDR* pNMHDR, LRESULT* pResult)
{
    *pResult = 0;
    // The space bar toggles a check box as a click does: the same logic keeps the map true.
    const NMTVKEYDOWN* key = reinterpret_cast<const NMTVKEYDOWN*>(pNMHDR);
    if (key->wVKey != VK_SPACE)
        return;
    HTREEITEM item = m_tree.GetSelectedItem();
    if (item)
        ClickCheck(item);
}

void CFolderSelectDlg::OnTvnSelchanging(NMHDR*, LRESULT* pResult)
{
    *pResult = (m_bClearing || m_bRefreshing) ? 1 : 0;
}

void CFolderSelectDlg::OnTvnSelchanged(NMHDR* pNMHDR, LRESULT* pResult)
{
    *pResult = 0;
    if (m_bClearing || m_bRefreshing)
        return;
    const NMTREEVIEWW* change = reinterpret_cast<const NMTREEVIEWW*>(pNMHDR);
    HTREEITEM item = change->itemNew.hItem;
    if (!item || !(m_tree.GetItemState(item, TVIS_EXPANDED) & TVIS_EXPANDED))
        return;
    m_bRefreshing = true;
    DrawSubItems(item);
    m_bRefreshing = false;
}

void CFolderSelectDlg::OnTvnItemexpanding(NMHDR* pNMHDR, LRESULT* pResult)
{
    *pResult = 0;
    TraceLog(1, L"OnTvnItemexpanding\n");
    const NMTREEVIEWW* change = reinterpret_cast<const NMTREEVIEWW*>(pNMHDR);
    if ((change->action & TVE_EXPAND) == 0 || m_bRefreshing)
        return;
    m_tree.SetRedraw(FALSE);
    DrawSubItems(change->itemNew.hItem);
}

void CFolderSelectDlg::OnTvnItemexpanded(NMHDR*, LRESULT* pResult)
{
    *pResult = 0;
    m_tree.SetRedraw(TRUE);
}

void CFolderSelectDlg::OnCloseButton()
{
    OnCancel();
}

void CFolderSelectDlg::OnOK()
{
    // The editor that opened the folder selection takes the map over; other callers read
    // m_mapFolder after DoModal.
    CWnd* parent = m_pParentWnd ? m_pParentWnd : GetParent();
    CBackupPolicyDlg* editor = DYNAMIC_DOWNCAST(CBackupPolicyDlg, parent);
    if (editor && editor->GetSafeHwnd()) {
        editor->ReleaseFolderInfo();
        editor->m_mapFolder = m_mapFolder;
    }
    EndDialog(IDOK);
}

void CFolderSelectDlg::OnDestroy()
{
    if (m_tree.GetSafeHwnd()) {
        m_tree.SetImageList(static_cast<HIMAGELIST>(nullptr), TVSIL_NORMAL);
        CleanAllItems();
    }
    CWnd::OnDestroy();
}

// The local file list: sorting, opening, the context menu, keys, rename, drag start and painting.
#include "ClientListCtrl.h"
#include "ClientRightView.h"
#include "DragDrop.h"
#include "LocalMenuRules.h"
#include "LocalShell.h"
#include "PaneKeyRules.h"
#include "PaneMessages.h"
#include "ServerClipboard.h"
#include "ServerNameRules.h"
#include "ShellItems.h"
#include "ToviString.h"
#include "TraceLog.h"

namespace {

bool Held(int key) { return (::GetKeyState(key) & 0x8000) != 0; }

}

BEGIN_MESSAGE_MAP(CClientListCtrl, CListCtrl)
    ON_NOTIFY_REFLECT(LVN_COLUMNCLICK, OnColumnClick)
    ON_NOTIFY_REFLECT(NM_DBLCLK, OnDblClk)
    ON_NOTIFY_REFLECT(NM_RCLICK, OnRClick)
    ON_NOTIFY_REFLECT(LVN_KEYDOWN, OnKeyDown)
    ON_NOTIFY_REFLECT(LVN_BEGINLABELEDITW, OnBeginLabelEdit)
    ON_NOTIFY_REFLECT(LVN_ENDLABELEDITW, OnEndLabelEdit)
    ON_NOTIFY_REFLECT(LVN_BEGINDRAG, OnBeginDrag)
    ON_NOTIFY_REFLECT(LVN_ITEMCHANGED, OnItemChanged)
    ON_NOTIFY_REFLECT(NM_CUSTOMDRAW, OnCustomDraw)
    ON_NOTIFY_REFLECT(NM_KILLFOCUS, OnKillFocusNotify)
    ON_WM_SETFOCUS()
    ON_WM_LBUTTONDOWN()
    ON_MESSAGE(WM_EDIT_LABEL, OnEditLabel)
END_MESSAGE_MAP()

_LOCAL_LIST_ITEM* CClientListCtrl::GetRecord(int row) const
{
    if (row < 0 || !m_hWnd)
        return nullptr;
    return reinterpret_cast<_LOCAL_LIST_ITEM*>(GetItemData(row));
}

void CClientListCtrl::SetPaneColor(COLORREF color)
{
    m_backColor = color;
    if (!m_hWnd)
        return;
    SetBkColor(color);
    Invalidate();
}

void CClientListCtrl::UpdateMenuState()
{
    ILocalFrameHost* host = m_pPane->Host();
    ILocalTreeSide* tree = m_pPane->TreeSide();
    if (!host || !tree)
        return;
    LocalItemFacts shown;
    if (_LOCAL_TREE_ITEM* folder = tree->FolderRecord(tree->SelectedFolder())) {
        shown.attributes = folder->attributes;
        shown.path = ShellItemPath(folder->absolute);
    }
    std::vector<LocalItemFacts> rows;
    for (int row = GetNextItem(-1, LVNI_SELECTED); row >= 0; row = GetNextItem(row, LVNI_SELECTED)) {
        // A row without a record counts as selected but enables nothing.
        LocalItemFacts facts;
        if (_LOCAL_LIST_ITEM* record = GetRecord(row)) {
            facts.attributes = record->attributes;
            facts.path = ShellItemPath(record->pidl);
        }
        rows.push_back(facts);
    }
    host->SetMenuButtonState(LocalListButtons(shown, m_pPane->IsRecycleBin(), rows, host->IsUploadAllowed(),
                                              ClipboardHasPasteData()));
}

void CClientListCtrl::OnColumnClick(NMHDR* nm, LRESULT* result)
{
    *result = 0;
    m_pPane->SortByColumn(reinterpret_cast<NMLISTVIEW*>(nm)->iSubItem);
}

void CClientListCtrl::OpenRow(int row)
{
    _LOCAL_LIST_ITEM* record = GetRecord(row);
    if (!record || !record->pidl)
        return;
    if (record->attributes & SFGAO_FOLDER) {
        LPITEMIDLIST copy = ::ILClone(record->pidl);
        if (!copy)
            return;
        if (ILocalTreeSide* tree = m_pPane->TreeSide())
            tree->SelectChild(copy);
        ::ILFree(copy);
        return;
    }
    CString text = GetItemText(row, 0);
    SHELLEXECUTEINFOW info = {sizeof info};
    info.fMask = SEE_MASK_INVOKEIDLIST;
    info.lpIDList = record->pidl;
    info.lpFile = text.GetString();
    info.hwnd = m_pPane->m_hWnd;
    info.nShow = SW_SHOWNORMAL;
    ::ShellExecuteExW(&info);
}

void CClientListCtrl::OnDblClk(NMHDR*, LRESULT* result)
{
    *result = 0;
    const int row = GetNextItem(-1, LVNI_SELECTED);
    if (row >= 0)
        OpenRow(row);
}

void CClientListCtrl::OnRClick(NMHDR*, LRESULT* result)
{
    *result = 0;
    ShowContextMenu();
}

void CClientListCtrl::ShowContextMenu()
{
    ILocalTreeSide* tree = m_pPane->TreeSide();
    _LOCAL_TREE_ITEM* folder = tree ? tree->FolderRecord(tree->SelectedFolder()) : nullptr;
    if (!folder)
        return;
    UINT flags = CMF_NORMAL | (Held(VK_LSHIFT) ? CMF_EXTENDEDVERBS : 0);
    POINT cursor = {};
    ::GetCursorPos(&cursor);
    ScreenToClient(&cursor);
    m_lastRightClick = cursor;
    UINT hit = 0;
    const int row = HitTest(CPoint(cursor.x, cursor.y), &hit);
    const bool onRows = row >= 0 && (hit & (LVHT_ONITEMICON | LVHT_ONITEMLABEL | LVHT_ONITEMSTATEICON));
    if (onRows && !(GetItemState(row, LVIS_SELECTED) & LVIS_SELECTED)) {
        SetItemState(-1, 0, LVIS_SELECTED);
        SetItemState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    }
    IContextMenu* menu = nullptr;
    if (onRows) {
        IShellFolder* shown = BindLocalFolder(folder->root ? nullptr : folder->absolute);
        std::vector<LPCITEMIDLIST> children;
        for (int r = GetNextItem(-1, LVNI_SELECTED); r >= 0; r = GetNextItem(r, LVNI_SELECTED))
            if (_LOCAL_LIST_ITEM* record = GetRecord(r))
                children.push_back(GetLastPidlItem(record->pidl));
        if (children.size() == 1)
            flags |= CMF_CANRENAME;
        if (shown && !children.empty() &&
            FAILED(shown->GetUIObjectOf(m_hWnd, static_cast<UINT>(children.size()), children.data(), IID_IContextMenu,
                                        nullptr, reinterpret_cast<void**>(&menu))))
            menu = nullptr;
        if (shown)
            shown->Release();
    } else {
        IShellFolder* desktop = folder->parent ? nullptr : BindLocalFolder(nullptr);
        IShellFolder* parent = folder->parent ? folder->parent : desktop;
        LPCITEMIDLIST one = folder->relative;
        if (parent && FAILED(parent->GetUIObjectOf(m_hWnd, 1, &one, IID_IContextMenu, nullptr,
                                                   reinterpret_cast<void**>(&menu))))
            menu = nullptr;
        if (desktop)
            desktop->Release();
    }
    if (!menu)
        return;
    UpdateMenuState();
    HMENU popup = ::CreatePopupMenu();
    if (!popup || FAILED(menu->QueryContextMenu(popup, 0, kShellFirstCommand, kShellLastCommand, flags))) {
        if (popup)
            ::DestroyMenu(popup);
        menu->Release();
        return;
    }
    LocalListMenuFacts facts;
    facts.onRows = onRows;
    facts.recycleBin = m_pPane->IsRecycleBin();
    facts.folderAttributes = folder->attributes;
    facts.folderPath = ShellItemPath(folder->absolute);
    facts.uploadAllowed = m_pPane->Host() && m_pPane->Host()->IsUploadAllowed();
    facts.clipboardHasPasteData = ClipboardHasPasteData();
    m_bNewFolderAllowed = CompleteLocalListMenu(popup, ShellVerbsOf(menu), facts);
    const UINT chosen = TrackLocalMenu(popup, m_hWnd);
    const CString verb = ShellVerbOf(menu, chosen);
    switch (LocalListMenuAction(chosen, verb, facts.recycleBin, onRows, static_cast<int>(GetSelectedCount()))) {
    case LocalMenuAction::Restore: m_pPane->OnRestore(chosen); break;
    case LocalMenuAction::NewFolder: m_pPane->OnNewFolder(); break;
    case LocalMenuAction::Upload: m_pPane->OnUpload(); break;
    case LocalMenuAction::Rename: m_pPane->OnRename(); break;
    case LocalMenuAction::Cut: m_pPane->OnCut(); break;
    case LocalMenuAction::Copy: m_pPane->OnCopy(); break;
    case LocalMenuAction::Delete: m_pPane->OnDelete(true); break;
    case LocalMenuAction::Paste: m_pPane->OnPaste(true); break;
    case LocalMenuAction::Shell: {
        CMINVOKECOMMANDINFO invoke = {sizeof invoke};
        invoke.hwnd = m_hWnd;
        invoke.lpVerb = MAKEINTRESOURCEA(chosen - kShellFirstCommand);
        invoke.nShow = SW_SHOWNORMAL;
        if (SUCCEEDED(menu->InvokeCommand(&invoke)) && !onRows && verb.CompareNoCase(L"empty") == 0)
            m_pPane->RefreshAndSelect(CString(), false);
        break;
    }
    default:
        break;
    }
    ::DestroyMenu(popup);
    menu->Release();
    UpdateMenuState();
}

void CClientListCtrl::OnKeyDown(NMHDR* nm, LRESULT* result)
{
    *result = 0;
    panekeys::KeyPress press;
    press.key = reinterpret_cast<NMLVKEYDOWN*>(nm)->wVKey;
    press.leftControl = Held(VK_LCONTROL);
    press.leftShift = Held(VK_LSHIFT);
    panekeys::LocalListKeyFacts facts;
    facts.selected = static_cast<int>(GetSelectedCount());
    const panekeys::KeyOutcome outcome = panekeys::LocalListKey(press, facts);
    ILocalFrameHost* host = m_pPane->Host();
    if (outcome.clear == panekeys::ClearMarks::ThisList)
        SetItemState(-1, 0, LVIS_CUT);
    else if (outcome.clear == panekeys::ClearMarks::AllPanes && host)
        host->ClearCutMarks();
    if (outcome.emptyClipboard && ::OpenClipboard(m_hWnd))
        ClearClipboard();
    using panekeys::Action;
    switch (outcome.action) {
    case Action::Copy: m_pPane->OnCopy(); break;
    case Action::Paste: m_pPane->OnPaste(false); break;
    case Action::Cut: m_pPane->OnCut(); break;
    case Action::Delete: m_pPane->OnDelete(true); break;
    case Action::DeleteForGood: m_pPane->OnDelete(false); break;
    case Action::Rename: m_pPane->OnRename(); break;
    case Action::SelectAll: SetItemState(-1, LVIS_SELECTED, LVIS_SELECTED); break;
    case Action::Refresh: m_pPane->RefreshAndSelect(CString(), false); break;
    case Action::Parent: {
        if (ILocalTreeSide* tree = m_pPane->TreeSide())
            tree->SelectParent();
        break;
    }
    default: break;
    }
    UpdateMenuState();
}

void CClientListCtrl::OnBeginLabelEdit(NMHDR* nm, LRESULT* result)
{
    const int row = reinterpret_cast<NMLVDISPINFOW*>(nm)->item.iItem;
    SetItemState(row, 0, LVIS_SELECTED);
    *result = 0;
}

void CClientListCtrl::OnEndLabelEdit(NMHDR* nm, LRESULT* result)
{
    *result = 0;
    auto* info = reinterpret_cast<NMLVDISPINFOW*>(nm);
    const int row = info->item.iItem;
    SetItemState(row, LVIS_SELECTED, LVIS_SELECTED);
    _LOCAL_LIST_ITEM* record = GetRecord(row);
    const CString current = GetItemText(row, 0);
    const bool cancelled = info->item.pszText == nullptr;
    const CString name = cancelled ? CString() : TrimEditedName(info->item.pszText);
    auto finish = [this] {
        ModifyStyle(LVS_EDITLABELS, 0);
        if (ILocalFrameHost* host = m_pPane->Host())
            host->SetLabelEditing(false);
    };
    if (!record || cancelled || name.IsEmpty() || (m_nLabelEditPurpose == 1 && name.Compare(current) == 0)) {
        finish();
        return;
    }
    IShellFolder* folder = BindLocalFolder(m_pPane->ShownFolder());
    LPITEMIDLIST renamed = nullptr;
    HRESULT hr = folder ? folder->SetNameOf(m_hWnd, GetLastPidlItem(record->pidl), name, SHGDN_NORMAL, &renamed)
                        : E_FAIL;
    if (folder)
        folder->Release();
    if (renamed)
        ::CoTaskMemFree(renamed);
    if (FAILED(hr)) {
        TraceLog(2048, L"[ CClientListCtrl::OnEndLabelEdit ] SetNameOf failed %08X\n", static_cast<unsigned>(hr));
        PostMessage(WM_EDIT_LABEL, 0, row);
        return;
    }
    finish();
    m_pPane->RefreshAndSelect(name, false);
}

LRESULT CClientListCtrl::OnEditLabel(WPARAM, LPARAM row)
{
    if (ILocalFrameHost* host = m_pPane->Host())
        host->SetActivePane(1, 1);
    SetFocus();
    ::SendMessage(m_hWnd, LVM_EDITLABELW, static_cast<WPARAM>(row), 0);
    return 0;
}

HIMAGELIST CClientListCtrl::MakeDragImage(int count, int firstRow, int& size)
{
    _LOCAL_LIST_ITEM* record = GetRecord(firstRow);
    if (!record)
        return nullptr;
    SHFILEINFOW icon = {};
    ::SHGetFileInfoW(reinterpret_cast<LPCWSTR>(record->pidl), 0, &icon, sizeof icon,
                     SHGFI_PIDL | SHGFI_ICON | SHGFI_SYSICONINDEX | SHGFI_LARGEICON);
    if (!icon.hIcon)
        return nullptr;
    size = count == 1 ? 72 : (count == 2 ? 75 : 78);
    DragBubbleLook look;
    look.icon = {20, count == 1 ? 13 : 20};
    look.keyedIcon = true;
    HFONT listFont = reinterpret_cast<HFONT>(::SendMessage(m_hWnd, WM_GETFONT, 0, 0));
    HIMAGELIST images = CreateDragBubble(listFont, icon.hIcon, GetItemText(firstRow, 0), count, look);
    ::DestroyIcon(icon.hIcon);
    return images;
}

void CClientListCtrl::OnBeginDrag(NMHDR*, LRESULT* result)
{
    *result = 0;
    const int count = static_cast<int>(GetSelectedCount());
    const int first = GetNextItem(-1, LVNI_SELECTED);
    if (count == 0 || first < 0)
        return;
    bool canMove = true, canCopy = true;
    std::vector<CString> paths;
    for (int row = first; row >= 0; row = GetNextItem(row, LVNI_SELECTED)) {
        _LOCAL_LIST_ITEM* record = GetRecord(row);
        if (!record)
            return;
        const bool folder = (record->attributes & SFGAO_FOLDER) != 0;
        const bool known = record->fileAttributes != 0;
        canMove = canMove && (folder ? (record->attributes & SFGAO_CANMOVE) != 0
                                     : known && !(record->fileAttributes & FILE_ATTRIBUTE_READONLY));
        canCopy = canCopy && (folder ? (record->attributes & SFGAO_CANCOPY) != 0 : known);
        const CString path = ShellItemPath(record->pidl);
        if (!path.IsEmpty() && path.GetLength() != 3)
            paths.push_back(path);
    }
    const DWORD effects = canMove ? (DROPEFFECT_COPY | DROPEFFECT_MOVE) : (canCopy ? DROPEFFECT_COPY : DROPEFFECT_NONE);
    if (effects == DROPEFFECT_NONE)
        return;
    int size = 72;
    HIMAGELIST image = MakeDragImage(count, first, size);
    if (!image)
        return;
    auto* source = new CDragDataSource();
    if (!source->CacheFileDrop(paths)) {
        ImageList_Destroy(image);
        source->ExternalRelease();
        return;
    }
    ILocalTreeSide* tree = m_pPane->TreeSide();
    if (canMove && tree)
        tree->MarkMoveSource(tree->SelectedFolder());
    if (ILocalFrameHost* host = m_pPane->Host())
        host->SetDragSource(L"CR");
    source->CacheDragImage(image, size / 2, size - 10);
    CDragDropSource dropSource;
    source->DoDragDrop(effects, nullptr, &dropSource);
    ImageList_Destroy(image);
}

void CClientListCtrl::OnItemChanged(NMHDR* nm, LRESULT* result)
{
    *result = 0;
    auto* change = reinterpret_cast<NMLISTVIEW*>(nm);
    const UINT wanted = LVIS_SELECTED | LVIS_FOCUSED;
    if ((change->uNewState & wanted) != wanted || (change->uOldState & wanted) == wanted)
        return;
    if (GetSelectedCount() > 1) {
        for (int row = GetNextItem(-1, LVNI_SELECTED); row >= 0; row = GetNextItem(row, LVNI_SELECTED)) {
            _LOCAL_LIST_ITEM* record = GetRecord(row);
            if (!record)
                continue;
            LPITEMIDLIST bin = nullptr;
            if (SUCCEEDED(::SHGetSpecialFolderLocation(nullptr, CSIDL_BITBUCKET, &bin)) && bin) {
                if (SameShellItem(bin, record->pidl))
                    SetItemState(row, 0, LVIS_SELECTED);
                ::CoTaskMemFree(bin);
            }
        }
    }
    if (GetSelectedCount() > 0)
        UpdateMenuState();
}

void CClientListCtrl::OnCustomDraw(NMHDR* nm, LRESULT* result)
{
    auto* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(nm);
    switch (draw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
    case CDDS_ITEMPREPAINT:
        *result = CDRF_NOTIFYSUBITEMDRAW;
        return;
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM: {
        draw->clrTextBk = m_backColor;
        if (::GetFocus() != m_hWnd) {
            draw->clrText = RGB(0, 0, 0);
            const int row = static_cast<int>(draw->nmcd.dwItemSpec);
            if (GetItemState(row, LVIS_SELECTED) & LVIS_SELECTED) {
                draw->clrTextBk = m_inactiveSelection;
                // The list paints its own selection over ours unless the state is hidden.
                draw->nmcd.uItemState &= ~CDIS_SELECTED;
            }
        }
        *result = CDRF_DODEFAULT;
        return;
    }
    default:
        *result = CDRF_DODEFAULT;
    }
}

void CClientListCtrl::OnKillFocusNotify(NMHDR*, LRESULT* result)
{
    *result = 0;
    m_bFocused = false;
}

void CClientListCtrl::OnSetFocus(CWnd*)
{
    Default();
    ILocalFrameHost* host = m_pPane->Host();
    if (host && !host->IsLabelEditing())
        host->SetActivePane(1, 1);
    if (!m_bFocused) {
        m_bFocused = true;
        UpdateMenuState();
    }
}

void CClientListCtrl::OnLButtonDown(UINT, CPoint)
{
    if (::GetFocus() != m_hWnd)
        SetFocus();
    Default();
}

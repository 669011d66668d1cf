// The local folder tree's user commands: expanding and selecting, rename in place, keys, the
// drag start, the shell context menu with our entries, clicks, focus and painting.
#include "ClientTreeCtrl.h"
#include "ClientLeftView.h"
#include "DragDrop.h"
#include "LocalMenuRules.h"
#include "LocalPaneRules.h"
#include "LocalShell.h"
#include "PaneKeyRules.h"
#include "ToviString.h"
#include "TraceLog.h"
#include "TreeSelectionMark.h"

namespace {

bool LeftControlDown() { return (::GetKeyState(VK_LCONTROL) & 0x8000) != 0; }

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
        LocalTreeMenuFacts facts;
        facts.attributes = record->attributes;
        facts.path = ShellItemPath(record->absolute);
        facts.recycleBin = record->recycleBin;
        facts.uploadAllowed = m_pHost && m_pHost->IsUploadAllowed();
        facts.clipboardHasPasteData = ClipboardHasPasteData();
        CompleteLocalTreeMenu(popup, ShellVerbsOf(menu), facts);
        const UINT chosen = TrackLocalMenu(popup, m_hWnd);
        const CString verb = ShellVerbOf(menu, chosen);
        switch (LocalTreeMenuAction(chosen, verb)) {
        case LocalMenuAction::Upload: m_pView->OnUpload(item); break;
        case LocalMenuAction::Paste: m_pView->OnPaste(item); break;
        case LocalMenuAction::Cut: m_pView->OnCut(item); break;
        case LocalMenuAction::Copy: m_pView->OnCopy(item); break;
        case LocalMenuAction::Rename: m_pView->OnRename(item); break;
        case LocalMenuAction::Delete: m_pView->OnDelete(item, true); break;
        case LocalMenuAction::Shell: {
            CMINVOKECOMMANDINFO invoke = {sizeof invoke};
            invoke.hwnd = m_hWnd;
            invoke.lpVerb = MAKEINTRESOURCEA(chosen - kShellFirstCommand);
            invoke.nShow = SW_SHOWNORMAL;
            if (SUCCEEDED(menu->InvokeCommand(&invoke)))
                m_pView->AfterShellVerb(item, verb);
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

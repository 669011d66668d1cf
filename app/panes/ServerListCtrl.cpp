// The server file list: sorting, double-click routing, and the end of the in-place name edit
// with its rename (F3) and new-folder (F0) requests.
#include "ServerListCtrl.h"
#include "CircularProgressThread.h"
#include "FileUtils.h"
#include "PaneMessages.h"
#include "ServerClipboard.h"
#include "ServerCommandSink.h"
#include "ServerItemCompare.h"
#include "ServerListPane.h"
#include "ServerListTips.h"
#include "DragDrop.h"
#include <shellapi.h>
#include "ListIconsRes.h"
#include "SkinRes.h"
#include "VImageList.h"
#include "ServerMenuRules.h"
#include "ServerNameRules.h"
#include "ServerTreeCtrl.h"
#include "ToviMsg.h"
#include "TraceLog.h"
#include <cstring>

namespace {

const wchar_t kCaption[] = L"CorvaneIXO";
constexpr int kMaxNameLength = 256;

}

BEGIN_MESSAGE_MAP(CServerListCtrl, CListCtrl)
    ON_WM_CREATE()
    ON_NOTIFY_REFLECT(LVN_COLUMNCLICK, OnColumnClick)
    ON_NOTIFY_REFLECT(LVN_ENDLABELEDITW, OnEndLabelEdit)
    ON_NOTIFY_REFLECT(NM_DBLCLK, OnDblClk)
    ON_NOTIFY_REFLECT(LVN_ITEMCHANGED, OnItemChanged)
    ON_NOTIFY_REFLECT(LVN_KEYDOWN, OnKeyDown)
    ON_NOTIFY_REFLECT(NM_RCLICK, OnNMRclick)
    ON_NOTIFY_REFLECT(NM_CUSTOMDRAW, OnCustomDraw)
    ON_NOTIFY_REFLECT(LVN_BEGINDRAG, OnBeginDrag)
    ON_NOTIFY_EX_RANGE(TTN_NEEDTEXTW, 0, 0xFFFFFFFF, OnToolTipText)
    ON_NOTIFY_EX_RANGE(TTN_NEEDTEXTA, 0, 0xFFFFFFFF, OnToolTipText)
    ON_MESSAGE(WM_SET_TOOLTIP_TEXT, OnSetToolTipText)
    ON_WM_DESTROY()
    ON_MESSAGE(WM_EDIT_LABEL, OnEditLabel)
    ON_MESSAGE(WM_SERVER_LIST_ROWS, OnInsertRows)
    ON_WM_SETFOCUS()
END_MESSAGE_MAP()

int CServerListCtrl::CheckItemName(const CString& name)
{
    return CheckServerItemName(name);
}

int CServerListCtrl::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CListCtrl::OnCreate(lpCreateStruct) == -1)
        return -1;
    // Without its thread the list simply shows no spinner.
    if (!m_pSpinner)
        m_pSpinner = CCircularProgressThread::Start(this, 50, RGB(35, 103, 158));
    return 0;
}

void CServerListCtrl::SetPaneColor(COLORREF color)
{
    m_paneColor = color;
    if (GetSafeHwnd()) {
        ::SendMessage(m_hWnd, LVM_SETBKCOLOR, 0, color);
        Invalidate();
    }
}

void CServerListCtrl::OnSetFocus(CWnd* oldWnd)
{
    CListCtrl::OnSetFocus(oldWnd);
    if (m_pFrame && !m_pFrame->IsLabelEditing())
        m_pFrame->SetActivePane(0, 1);
    // The bar shows this pane's commands from now on; the clipboard may have changed meanwhile.
    UpdateMenuButtons();
}

void CServerListCtrl::OnColumnClick(NMHDR* nm, LRESULT* result)
{
    *result = 0;
    auto* lv = reinterpret_cast<NMLISTVIEW*>(nm);
    if (!m_pTree || !m_pPane)
        return;
    _PROTO_FOLDER_INFO* current = m_pTree->GetRecord(m_pTree->GetSelectedItem());
    if (!current)
        return;
    int column = m_pPane->SortColumn(), direction = m_pPane->SortDirection();
    if (lv->iSubItem == column) {
        direction = 1 - direction;
    } else {
        column = lv->iSubItem;
        direction = 0;
    }
    m_pPane->SetSortState(column, direction);
    SortItems(ServerComparatorFor(current->Attr27, m_pPane->CustomColumns()), ServerSortParam(column, direction));
    m_pPane->SaveSortState();
}

void CServerListCtrl::OnDblClk(NMHDR*, LRESULT* result)
{
    *result = 1;
    if (GetSelectedCount() == 0)
        return;
    POINT pt;
    GetCursorPos(&pt);
    ScreenToClient(&pt);
    LVHITTESTINFO hit = {};
    hit.pt = pt;
    int row = static_cast<int>(::SendMessage(m_hWnd, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    if (row < 0)
        row = GetNextItem(-1, LVNI_FOCUSED);
    auto* r = row >= 0 ? reinterpret_cast<_PROTO_FOLDER_INFO*>(GetItemData(row)) : nullptr;
    if (!r)
        return;
    SetFocus();
    if (m_pFrame && m_pFrame->CheckFolderPassword(*r, false) == -1)
        return;
    TraceLog(1, L"[ CServerListCtrl::OnNMDblclk] Item = %s\n", r->Name);
    *result = 0;
    if (std::strcmp(r->ItemType, "D") == 0) {
        if (m_pTree && m_pTree->GetParent()) {
            // The row may be freed before the message arrives: the receiver gets a copy it owns.
            auto* copy = new _PROTO_FOLDER_INFO();
            CToviProto::memsetFolderInfo(copy);
            CToviProto::CopyFolderInfo(copy, r, false);
            if (!m_pTree->GetParent()->PostMessage(WM_OPEN_CHILD_FOLDER, reinterpret_cast<WPARAM>(copy), 0))
                delete copy;
        }
        return;
    }
    if (m_pCommands)
        m_pCommands->OpenFileRow(static_cast<int>(ChooseFileOpen(*r)), row);
}

servermenu::FileOpen CServerListCtrl::ChooseFileOpen(const _PROTO_FOLDER_INFO& file) const
{
    using servermenu::FileOpen;
    servermenu::FileOpenFacts facts;
    if (m_pProto) {
        const _OPTION_INFO& o = m_pProto->OptionInfo;
        facts.noAction = o.DbClickNoAction[0] == 'Y';
        facts.imageViewer = o.SubOption[0] == 'Y';
        facts.directEdit = o.DirectEdit[0] == 'Y' && o.DbClickDirectEdit[0] == 'Y';
    }
    if (m_pPane)
        facts.imageExtensions = m_pPane->FrameImageExtensions();
    const FileOpen action = servermenu::ChooseFileOpen(file, facts);
    if (facts.noAction)
        TraceLog(1, L"[ CServerListCtrl::OnNMDblclk] A1 OPTION - NO-ACTION!\n");
    else if (action == FileOpen::SlideViewer)
        TraceLog(1, L" SUB OPTION [ SUB_OPT_DBCLICK_IMAGEVIEWER  ] == Y --> Execute < IMAGE-VIEWER > !\n");
    else if (servermenu::IsImageName(file.Name, facts.imageExtensions))
        TraceLog(1, L" SUB OPTION [ SUB_OPT_DBCLICK_IMAGEVIEWER  ] == N --> < DOWNLOAD > !\n");
    return action;
}

void CServerListCtrl::BeginNameEdit(int row, int mode)
{
    m_nEditMode = mode;
    ModifyStyle(0, LVS_EDITLABELS);
    if (m_pFrame)
        m_pFrame->SetLabelEditing(true);
    SetFocus();
    HWND edit = reinterpret_cast<HWND>(::SendMessage(m_hWnd, LVM_EDITLABELW, row, 0));
    if (edit)
        ::SetFocus(edit);
    else
        EndEdit();
}

void CServerListCtrl::EndEdit()
{
    ModifyStyle(LVS_EDITLABELS, 0);
    if (m_pFrame)
        m_pFrame->SetLabelEditing(false);
}

int CServerListCtrl::Reopen(int row)
{
    PostMessage(WM_EDIT_LABEL, 0, row);
    return 0;
}

LRESULT CServerListCtrl::OnEditLabel(WPARAM, LPARAM row)
{
    if (m_pFrame)
        m_pFrame->SetActivePane(0, 1);
    SetFocus();
    HWND edit = reinterpret_cast<HWND>(::SendMessage(m_hWnd, LVM_EDITLABELW, static_cast<int>(row), 0));
    if (edit)
        ::SetFocus(edit);
    return 0;
}

void CServerListCtrl::OnEndLabelEdit(NMHDR* nm, LRESULT* result)
{
    *result = 0;   // the row changes only through the refresh after a successful request
    auto* info = reinterpret_cast<NMLVDISPINFOW*>(nm);
    int row = info->item.iItem;
    CString old = GetItemText(row, 0);
    int firstSelected = GetNextItem(-1, LVNI_SELECTED);
    auto* first = firstSelected >= 0 ? reinterpret_cast<_PROTO_FOLDER_INFO*>(GetItemData(firstSelected)) : nullptr;
    bool fileContext = first && std::strcmp(first->ItemType, "F") == 0;

    CString name;
    if (!info->item.pszText) {
        if (m_nEditMode == 1) {
            EndEdit();
            return;
        }
        name = TrimEditedName(old);
    } else {
        name = TrimEditedName(info->item.pszText);
        if (m_nEditMode == 1 && name == old) {
            EndEdit();
            return;
        }
    }

    auto sibling = [this, row](const CString& candidate) {
        LVFINDINFOW find = {};
        find.flags = LVFI_STRING;
        find.psz = candidate.GetString();
        for (int at = -1;;) {
            at = static_cast<int>(::SendMessage(m_hWnd, LVM_FINDITEMW, at, reinterpret_cast<LPARAM>(&find)));
            if (at < 0)
                return 0;
            if (at == row)
                continue;
            auto* r = reinterpret_cast<_PROTO_FOLDER_INFO*>(GetItemData(at));
            return (r && std::strcmp(r->ItemType, "D") == 0) ? static_cast<int>('D') : static_cast<int>('F');
        }
    };
    NameDecision decision = DecideEditedName(name, fileContext, kMaxNameLength, sibling);
    if (decision.verdict == NameVerdict::ReopenQuiet) {
        Reopen(row);
        return;
    }
    if (decision.verdict == NameVerdict::ReopenMessage) {
        CString text = CToviMsg::GetString(decision.messageId);
        CFileUtils::ToviMessageBox(this, text.GetString(), kCaption, MB_OK | MB_ICONEXCLAMATION);
        Reopen(row);
        return;
    }

    HTREEITEM folderItem = m_pTree ? m_pTree->GetSelectedItem() : nullptr;
    _PROTO_FOLDER_INFO* folder = m_pTree ? m_pTree->GetRecord(folderItem) : nullptr;
    if (!m_pProto || !folder) {
        EndEdit();
        return;
    }
    if (m_nEditMode == 0) {
        char mode[] = "0";
        if (m_pProto->GetMakeNewDir(folder->IDX, folder->DIDX, name.GetString(), mode) != 0) {
            CFileUtils::ToviMessageBox(this, m_pProto->ResultInfo.wszMessage, kCaption, MB_OK | MB_ICONERROR);
            EndEdit();
            if (auto* r = reinterpret_cast<_PROTO_FOLDER_INFO*>(GetItemData(row)))
                delete r;
            DeleteItem(row);
            return;
        }
    } else {
        auto* record = reinterpret_cast<_PROTO_FOLDER_INFO*>(GetItemData(row));
        if (!record) {
            EndEdit();
            return;
        }
        if (m_pProto->GetRename(record->ItemType, record->IDX, record->DIDX, name.GetString()) != 0) {
            CFileUtils::ToviMessageBox(this, m_pProto->ResultInfo.wszMessage, kCaption, MB_OK | MB_ICONERROR);
            EndEdit();
            return;
        }
    }
    EndEdit();
    if (!m_pTree->GetChildItem(folderItem)) {
        TVITEMW tv = {};
        tv.mask = TVIF_CHILDREN | TVIF_HANDLE;
        tv.hItem = folderItem;
        tv.cChildren = 1;
        ::SendMessage(m_pTree->GetSafeHwnd(), TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&tv));
    }
    m_pTree->DrawSubTreeNList(folderItem, TREE_REFRESH_TREE_AND_LIST, false);
}

bool CServerListCtrl::MenuState(ServerMenuState& state) const
{
    if (!m_pFrame || !m_pFrame->IsLoggedIn() || !m_pTree)
        return false;
    _PROTO_FOLDER_INFO* folder = m_pTree->GetRecord(m_pTree->GetSelectedItem());
    if (!folder)
        return false;
    std::vector<const _PROTO_FOLDER_INFO*> selected;
    for (int row = GetNextItem(-1, LVNI_SELECTED); row >= 0; row = GetNextItem(row, LVNI_SELECTED))
        if (auto* r = reinterpret_cast<const _PROTO_FOLDER_INFO*>(GetItemData(row)))
            selected.push_back(r);
    ServerMenuFacts facts;
    UINT format = RegisterClipboardFormatW(L"VARIRUDAD");
    facts.clipboardHasItems = (format && IsClipboardFormatAvailable(format)) || IsClipboardFormatAvailable(CF_HDROP);
    facts.downloadTarget = m_pFrame->IsDownloadTarget();
    facts.customerCode = m_pFrame->GetCustomerCode();
    state = ComputeListMenuState(selected, *folder, facts);
    return true;
}

void CServerListCtrl::UpdateMenuButtons()
{
    ServerMenuState state;
    if (MenuState(state))
        m_pFrame->SetMenuButtonState(state);
}

void CServerListCtrl::OnItemChanged(NMHDR* nm, LRESULT* result)
{
    *result = 0;
    auto* lv = reinterpret_cast<NMLISTVIEW*>(nm);
    if (!(lv->uChanged & LVIF_STATE) || ((lv->uNewState ^ lv->uOldState) & LVIS_SELECTED) == 0)
        return;
    UpdateMenuButtons();
}

LRESULT CServerListCtrl::OnInsertRows(WPARAM, LPARAM batch)
{
    if (m_pPane && batch)
        m_pPane->InsertPrepared(*reinterpret_cast<std::vector<CServerListPane::PreparedRow>*>(batch));
    return 0;
}

panekeys::ServerListKeyFacts CServerListCtrl::KeyFacts() const
{
    panekeys::ServerListKeyFacts facts;
    facts.selected = static_cast<int>(GetSelectedCount());
    ServerMenuState bar;
    if (MenuState(bar)) {
        facts.copy = bar.copy;
        facts.paste = bar.paste;
        facts.cut = bar.cut;
        facts.remove = bar.remove;
    }
    const int first = GetNextItem(-1, LVNI_SELECTED);
    if (auto* r = first >= 0 ? reinterpret_cast<const _PROTO_FOLDER_INFO*>(GetItemData(first)) : nullptr) {
        facts.firstDeletes = servermenu::Allows(*r, servermenu::DELETE_);
        facts.firstDeletesForGood = servermenu::Allows(*r, servermenu::DEL_COMP);
        facts.renameOne = facts.selected == 1 && servermenu::Allows(*r, servermenu::RENAME);
    }
    const _PROTO_FOLDER_INFO* folder = m_pTree ? m_pTree->GetRecord(m_pTree->GetSelectedItem()) : nullptr;
    facts.inBin = folder && (std::strcmp(folder->Attr27, "6") == 0 || std::strcmp(folder->Attr27, "D") == 0);
    return facts;
}

void CServerListCtrl::OnKeyDown(NMHDR* nm, LRESULT* result)
{
    *result = 0;
    auto* key = reinterpret_cast<NMLVKEYDOWN*>(nm);
    // A protected folder that stays locked takes no key.
    if (GetSelectedCount() == 1 && m_pFrame) {
        const int row = GetNextItem(-1, LVNI_SELECTED);
        auto* r = reinterpret_cast<const _PROTO_FOLDER_INFO*>(GetItemData(row));
        if (r && m_pFrame->CheckFolderPassword(*r, false) == -1) {
            SetItemState(row, 0, LVIS_SELECTED | LVIS_FOCUSED);
            *result = 1;
            return;
        }
    }
    panekeys::KeyPress press;
    press.key = key->wVKey;
    press.leftControl = (GetKeyState(VK_LCONTROL) & 0x8000) != 0;
    press.leftShift = (GetKeyState(VK_LSHIFT) & 0x8000) != 0;
    const panekeys::KeyOutcome outcome = panekeys::ServerListKey(press, KeyFacts());
    if (outcome.clear == panekeys::ClearMarks::ThisList)
        SetItemState(-1, 0, LVIS_CUT);
    else if (outcome.clear == panekeys::ClearMarks::AllPanes && m_pFrame)
        m_pFrame->ClearCutMarks();
    if (outcome.emptyClipboard && ::OpenClipboard(m_hWnd))
        ClearClipboard();
    RunKeyAction(outcome.action);
    if (outcome.action != panekeys::Action::None || outcome.clear != panekeys::ClearMarks::None ||
        outcome.emptyClipboard)
        UpdateMenuButtons();
}

void CServerListCtrl::RunKeyAction(panekeys::Action action)
{
    using panekeys::Action;
    auto command = [this](int id) {
        if (m_pCommands)
            m_pCommands->RunListCommand(id, GetNextItem(-1, LVNI_SELECTED));
    };
    switch (action) {
    case Action::Copy: command(servermenu::kCopy); break;
    case Action::Paste:
        // The key pastes into the folder shown, not where the last menu was opened.
        m_ptContext = CPoint(-1, -1);
        command(servermenu::kPaste);
        break;
    case Action::Cut: command(servermenu::kCut); break;
    case Action::Delete: command(servermenu::kDelete); break;
    case Action::DeleteForGood: command(servermenu::kDeleteForGood); break;
    case Action::BinDelete: command(servermenu::kBinDelete); break;
    case Action::Rename: BeginNameEdit(GetNextItem(-1, LVNI_SELECTED), 1); break;
    case Action::SelectAll: SetItemState(-1, LVIS_SELECTED, LVIS_SELECTED); break;
    case Action::Refresh:
        if (m_pTree && m_pPane) {
            m_pPane->SetSortState(0, 0);
            m_pPane->SaveSortState();
            m_pTree->DrawSubTreeNList(m_pTree->GetSelectedItem(), TREE_REFRESH_TREE_AND_LIST, true);
        }
        break;
    case Action::Parent:
        if (m_pTree)
            if (HTREEITEM parent = m_pTree->GetParentItem(m_pTree->GetSelectedItem()))
                m_pTree->SelectItem(parent);
        break;
    case Action::Search:
    case Action::None:
        break;
    }
}

void CServerListCtrl::OnDestroy()
{
    // The spinner's window is a child of this list on another thread: that thread ends it
    // while the list still stands.
    CCircularProgressThread::Stop(m_pSpinner);
    m_pSpinner = nullptr;
    if (m_statusImages) {
        ImageList_Destroy(m_statusImages);
        m_statusImages = nullptr;
    }
    CListCtrl::OnDestroy();
}

int CServerListCtrl::StatusColumn() const
{
    bool custom = m_pPane && m_pPane->CustomColumns();
    switch (m_nListKind) {
    case 0: return custom ? 5 : 4;
    case 1: return custom ? 6 : -1;
    case 2: return custom ? 6 : 5;
    case 3: return 6;
    default: return -1;
    }
}

HIMAGELIST CServerListCtrl::StatusImages()
{
    if (!m_statusImages) {
        m_statusImages = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 10, 1);
        for (UINT id : {IDI_STATUS_LINK, IDI_STATUS_SEARCH, IDI_STATUS_PROTECTED, IDI_STATUS_LIMITED, IDI_STATUS_VERSIONING,
                        IDI_STATUS_HIDDEN, IDI_MASTER_YELLOW_CLOSE, IDI_STATUS_PASSWORD, IDI_STATUS_DRM,
                        IDI_STATUS_INCOMPLETE})
            if (HICON icon = CVImageList::GetIcon(id, 16, 16))
                ImageList_AddIcon(m_statusImages, icon);
    }
    return m_statusImages;
}

void CServerListCtrl::OnCustomDraw(NMHDR* nm, LRESULT* result)
{
    auto* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(nm);
    *result = CDRF_DODEFAULT;
    COLORREF pane = m_paneColor == CLR_NONE ? GetSysColor(COLOR_WINDOW) : m_paneColor;
    bool focused = ::GetFocus() == m_hWnd;
    switch (draw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
        *result = CDRF_NOTIFYITEMDRAW;
        return;
    case CDDS_ITEMPREPAINT:
        draw->clrTextBk = pane;
        if (!m_bThumbnail)
            *result = CDRF_NOTIFYSUBITEMDRAW;
        return;
    case CDDS_SUBITEM | CDDS_ITEMPREPAINT:
        if (draw->iSubItem == StatusColumn()) {
            *result = CDRF_NOTIFYPOSTPAINT;
        } else if (!focused) {
            bool selected = (GetItemState(static_cast<int>(draw->nmcd.dwItemSpec), LVIS_SELECTED) & LVIS_SELECTED) != 0;
            draw->clrText = RGB(0, 0, 0);
            draw->clrTextBk = selected ? GetSysColor(COLOR_BTNFACE) : pane;
        }
        return;
    case CDDS_SUBITEM | CDDS_ITEMPOSTPAINT: {
        if (draw->iSubItem != StatusColumn())
            return;
        int row = static_cast<int>(draw->nmcd.dwItemSpec);
        auto* record = reinterpret_cast<const _PROTO_FOLDER_INFO*>(GetItemData(row));
        RECT cell = {};
        cell.top = draw->iSubItem;
        cell.left = LVIR_BOUNDS;
        ::SendMessage(m_hWnd, LVM_GETSUBITEMRECT, row, reinterpret_cast<LPARAM>(&cell));
        UINT state = GetItemState(row, LVIS_SELECTED | LVIS_DROPHILITED);
        COLORREF fill = pane;
        if ((state & LVIS_DROPHILITED) || ((state & LVIS_SELECTED) && focused))
            fill = GetSysColor(COLOR_HIGHLIGHT);
        else if (state & LVIS_SELECTED)
            fill = GetSysColor(COLOR_BTNFACE);
        HBRUSH brush = CreateSolidBrush(fill);
        FillRect(draw->nmcd.hdc, &cell, brush);
        DeleteObject(brush);
        if (record) {
            int x = cell.left + 8;
            for (const StatusSlot& slot : StatusSlotsOf(*record)) {
                ImageList_Draw(StatusImages(), slot.image, draw->nmcd.hdc, x, cell.top, ILD_TRANSPARENT);
                x += 24;
            }
        }
        *result = CDRF_SKIPDEFAULT;
        return;
    }
    default:
        return;
    }
}

namespace {

constexpr int kLimitedFlag = 3;
constexpr UINT_PTR kSlotsPerCell = 16;

}

INT_PTR CServerListCtrl::OnToolHitTest(CPoint point, TOOLINFO* ti) const
{
    if (m_bThumbnail || !m_hWnd)
        return -1;
    LVHITTESTINFO hit = {};
    hit.pt = point;
    ::SendMessage(m_hWnd, LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit));
    if (hit.iItem < 0 || hit.iSubItem < 0)
        return -1;
    RECT cell = {};
    cell.top = hit.iSubItem;
    cell.left = LVIR_BOUNDS;
    ::SendMessage(m_hWnd, LVM_GETSUBITEMRECT, hit.iItem, reinterpret_cast<LPARAM>(&cell));
    UINT_PTR slot = 0;
    RECT tool = cell;
    if (hit.iSubItem == StatusColumn()) {
        auto* r = reinterpret_cast<const _PROTO_FOLDER_INFO*>(GetItemData(hit.iItem));
        size_t count = r ? StatusSlotsOf(*r).size() : 0;
        for (size_t i = 0; i < count && i + 1 < kSlotsPerCell; ++i) {
            RECT icon = {cell.left + 8 + 24 * static_cast<int>(i), cell.top, 0, 0};
            icon.right = icon.left + 16;
            icon.bottom = icon.top + 16;
            if (PtInRect(&icon, point)) {
                slot = i + 1;
                tool = icon;
            }
        }
    }
    // Row times 1,024 plus column plus 1 names the cell; the status icon under the mouse is a
    // tool of its own, so that moving to another icon asks for its text.
    INT_PTR cellId = static_cast<INT_PTR>(hit.iItem) * 1024 + hit.iSubItem + 1;
    if (ti) {
        ti->hwnd = m_hWnd;
        ti->uId = static_cast<UINT_PTR>(cellId) * kSlotsPerCell + slot;
        ti->rect = tool;
        ti->lpszText = LPSTR_TEXTCALLBACK;
    }
    return cellId;
}

CString CServerListCtrl::ToolTipTextFor(int row, int column, int slot)
{
    auto* r = row < GetItemCount() ? reinterpret_cast<const _PROTO_FOLDER_INFO*>(GetItemData(row)) : nullptr;
    if (!r)
        return CString();
    if (column == StatusColumn()) {
        std::vector<StatusSlot> slots = StatusSlotsOf(*r);
        if (slot < 1 || static_cast<size_t>(slot) > slots.size())
            return CString();
        const StatusSlot& s = slots[slot - 1];
        bool folder = std::strcmp(r->ItemType, "D") == 0;
        m_strToolTip = CToviMsg::GetString(StatusTipMessage(s.flag, folder));
        if (s.flag == kLimitedFlag && m_pProto && m_pProto->OptionInfo.UserFileLimited[0] == 'Y') {
            // Asked here, when the tip is about to show: once per shown tip.
            _PROTO_FOLDER_INFO one = *r;
            one.Children.clear();
            if (m_pProto->RunProperty({one}) == 0 && !m_pProto->PropertyInfo.empty()) {
                const _PROTO_PROPERTY_INFO& p = m_pProto->PropertyInfo.front();
                CString name(p.Attr183), id(p.Attr169);
                if (std::strcmp(p.Attr33, "F") == 0 && !name.IsEmpty() && !id.IsEmpty())
                    m_strToolTip = LockedFileTip(name, id);
            }
            m_pProto->ReleasePropertyInfo();
        }
        return m_strToolTip;
    }
    if (column == 1 && (m_nListKind == 1 || m_nListKind == 2))
        return GetItemText(row, column);
    return CString();
}

BOOL CServerListCtrl::OnToolTipText(UINT, NMHDR* nm, LRESULT* result)
{
    *result = 0;
    UINT_PTR id = nm->idFrom;
    UINT_PTR cellId = id / kSlotsPerCell;
    if (cellId == 0)
        return FALSE;
    int row = static_cast<int>((cellId - 1) / 1024), column = static_cast<int>((cellId - 1) % 1024);
    ::SendMessage(nm->hwndFrom, TTM_SETMAXTIPWIDTH, 0, 300);
    CString text = ShortenToolTip(ToolTipTextFor(row, column, static_cast<int>(id % kSlotsPerCell)));
    if (nm->code == TTN_NEEDTEXTW) {
        auto* need = reinterpret_cast<NMTTDISPINFOW*>(nm);
        need->lpszText = need->szText;
        CopyToolTipText(need->szText, sizeof need->szText / sizeof need->szText[0], text);
    } else {
        auto* need = reinterpret_cast<NMTTDISPINFOA*>(nm);
        need->lpszText = need->szText;
        CopyToolTipText(need->szText, sizeof need->szText, text);
    }
    return TRUE;
}

LRESULT CServerListCtrl::OnSetToolTipText(WPARAM, LPARAM text)
{
    m_strToolTip = text ? reinterpret_cast<const wchar_t*>(text) : L"";
    return 0;
}

namespace {

DROPEFFECT RunOleDrag(CDragDataSource* source, DROPEFFECT allowed)
{
    CDragDropSource dropSource;
    return source->DoDragDrop(allowed, nullptr, &dropSource);
}

bool Is(const char* text, const char* value) { return std::strcmp(text, value) == 0; }

// The 32 x 32 icon of a dragged row; the caller destroys a shell icon (owned is set then).
HICON DragIconOf(const _PROTO_FOLDER_INFO& r, const _PROTO_FOLDER_INFO* current, bool& owned)
{
    owned = false;
    if (!Is(r.ItemType, "D")) {
        SHFILEINFOW info = {};
        if (SHGetFileInfoW(r.Name, FILE_ATTRIBUTE_NORMAL, &info, sizeof info,
                           SHGFI_ICON | SHGFI_LARGEICON | SHGFI_USEFILEATTRIBUTES) && info.hIcon) {
            owned = true;
            return info.hIcon;
        }
        return nullptr;
    }
    bool top = current && Is(current->Attr178, "0");
    const char* ct = current ? current->Attr27 : "";
    bool shared = Is(r.Attr29, "Y");
    const char* t = r.Attr27;
    UINT id = 0;
    if (Is(t, "1") || Is(t, "A"))
        id = top && Is(ct, "2") ? 560 : (shared ? 599 : 558);
    else if (Is(t, "3"))
        id = !top ? (shared ? 601 : 562)
                  : Is(ct, "3") ? (r.Attr231[6] == '1' ? 593 : (shared ? 601 : 564)) : (Is(ct, "4") ? 566 : 0);
    else if (Is(t, "5"))
        id = top ? 568 : 578;
    else if (Is(t, "6"))
        id = 558;
    else if (Is(t, "D"))
        id = Is(r.IDX, "2") ? 576 : 580;
    return id ? CVImageList::GetIcon(id, 32, 32) : nullptr;
}

}

CServerListCtrl::DragRunner CServerListCtrl::s_runDrag = RunOleDrag;

void CServerListCtrl::OnBeginDrag(NMHDR* nm, LRESULT* result)
{
    *result = 0;
    auto* lv = reinterpret_cast<NMLISTVIEW*>(nm);
    if (!m_pPane || !m_pTree)
        return;
    m_pPane->WaitListThreadExit();
    HTREEITEM folderItem = m_pTree->GetSelectedItem();
    m_pTree->MoveSource().Mark(folderItem);
    _PROTO_FOLDER_INFO* current = m_pTree->GetRecord(folderItem);
    auto* row = lv->iItem >= 0 ? reinterpret_cast<_PROTO_FOLDER_INFO*>(GetItemData(lv->iItem)) : nullptr;
    if (!(row ? row : current)) {
        *result = 1;
        return;
    }
    if (GetSelectedCount() == 1 && row) {
        auto allowed = [row](size_t p) { return p < strnlen(row->Attr189, sizeof row->Attr189) && row->Attr189[p] == '1'; };
        if (!allowed(2) && !allowed(11) && !allowed(1)) {   // COPY, MOVE_CUT, DOWNLOAD
            *result = 1;
            return;
        }
        int password = m_pFrame ? m_pFrame->CheckFolderPassword(*row, false) : 0;
        if (password == 1)
            return;
        if (password == -1) {
            SetItemState(lv->iItem, 0, LVIS_SELECTED);
            *result = 1;
            return;
        }
    }
    std::vector<_PROTO_FOLDER_INFO> records;
    for (int i = GetNextItem(-1, LVNI_SELECTED); i >= 0; i = GetNextItem(i, LVNI_SELECTED))
        if (auto* r = reinterpret_cast<_PROTO_FOLDER_INFO*>(GetItemData(i))) {
            records.push_back(*r);
            records.back().Children.clear();
        }
    if (records.empty())
        return;
    bool ownedIcon = false;
    HICON icon = DragIconOf(records.front(), current, ownedIcon);
    HFONT font = reinterpret_cast<HFONT>(::SendMessage(m_hWnd, WM_GETFONT, 0, 0));
    HIMAGELIST image = CreateListDragBubble(font, icon, records.front().Name, static_cast<int>(records.size()));
    if (ownedIcon)
        DestroyIcon(icon);
    if (!image)
        return;
    auto* source = new CDragDataSource;
    int bubble = 0, unused = 0;
    ImageList_GetIconSize(image, &bubble, &unused);
    if (!source->CacheServerItems(records, L"SR", m_pTree->GetItemPath(folderItem)) ||
        !source->CacheDragImage(image, bubble / 2, bubble / 2)) {
        delete source;   // never handed to OLE
        ImageList_Destroy(image);
        return;
    }
    if (m_pFrame)
        m_pFrame->SetDragSource(L"SR");
    s_runDrag(source, DROPEFFECT_COPY | DROPEFFECT_MOVE);
    ImageList_Destroy(image);
}

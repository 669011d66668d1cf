// The server file list: sorting, double-click routing, and the end of the in-place name edit
// with its rename (F3) and new-folder (F0) requests.
#include "ServerListCtrl.h"
#include "FileUtils.h"
#include "PaneMessages.h"
#include "ServerItemCompare.h"
#include "ServerListPane.h"
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
    ON_NOTIFY_REFLECT(LVN_COLUMNCLICK, OnColumnClick)
    ON_NOTIFY_REFLECT(LVN_ENDLABELEDITW, OnEndLabelEdit)
    ON_NOTIFY_REFLECT(NM_DBLCLK, OnDblClk)
    ON_NOTIFY_REFLECT(LVN_ITEMCHANGED, OnItemChanged)
    ON_MESSAGE(WM_EDIT_LABEL, OnEditLabel)
    ON_MESSAGE(WM_SERVER_LIST_ROWS, OnInsertRows)
    ON_WM_SETFOCUS()
END_MESSAGE_MAP()

int CServerListCtrl::CheckItemName(const CString& name)
{
    return CheckServerItemName(name);
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
}

void CServerListCtrl::OnDblClk(NMHDR*, LRESULT* result)
{
    *result = 1;
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
    if (m_pFrame && m_pFrame->CheckFolderPassword(*r, false) == -1)
        return;
    TraceLog(1, L"[ CServerListCtrl::OnNMDblclk] Item = %s\n", r->Name);
    if (std::strcmp(r->ItemType, "D") == 0 && m_pTree && m_pTree->GetParent())
        m_pTree->GetParent()->PostMessage(WM_OPEN_CHILD_FOLDER, reinterpret_cast<WPARAM>(r), 0);
    *result = 0;
}

void CServerListCtrl::BeginNameEdit(int row, int mode)
{
    m_nEditMode = mode;
    ModifyStyle(0, LVS_EDITLABELS);
    if (m_pFrame)
        m_pFrame->SetLabelEditing(true);
    SetFocus();
    ::SendMessage(m_hWnd, LVM_EDITLABELW, row, 0);
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

void CServerListCtrl::UpdateMenuButtons()
{
    if (!m_pFrame || !m_pFrame->IsLoggedIn() || !m_pTree)
        return;
    _PROTO_FOLDER_INFO* folder = m_pTree->GetRecord(m_pTree->GetSelectedItem());
    if (!folder)
        return;
    std::vector<const _PROTO_FOLDER_INFO*> selected;
    for (int row = GetNextItem(-1, LVNI_SELECTED); row >= 0; row = GetNextItem(row, LVNI_SELECTED))
        if (auto* r = reinterpret_cast<const _PROTO_FOLDER_INFO*>(GetItemData(row)))
            selected.push_back(r);
    ServerMenuFacts facts;
    UINT format = RegisterClipboardFormatW(L"VARIRUDAD");
    facts.clipboardHasItems = (format && IsClipboardFormatAvailable(format)) || IsClipboardFormatAvailable(CF_HDROP);
    facts.downloadTarget = m_pFrame->IsDownloadTarget();
    facts.customerCode = m_pFrame->GetCustomerCode();
    m_pFrame->SetMenuButtonState(ComputeListMenuState(selected, *folder, facts));
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

// CServerListCtrl: the right-click menu of the server list: the selection prepared the way the
// click asks, the menu chosen from the rows, the folder and the session, the command sent on.
#include "ServerListCtrl.h"
#include "ServerCommandSink.h"
#include "ServerCommandSupport.h"
#include "ServerTreeCtrl.h"
#include "ToviRegistry.h"
#include <cstring>

using namespace servermenu;

std::vector<MenuEntry> CServerListCtrl::ContextMenuAt(CPoint client, bool shift)
{
    _PROTO_FOLDER_INFO* current = m_pTree ? m_pTree->GetRecord(m_pTree->GetSelectedItem()) : nullptr;
    LVHITTESTINFO hit = {};
    hit.pt = client;
    int row = static_cast<int>(::SendMessage(m_hWnd, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    bool onRow = row >= 0 && (hit.flags & (LVHT_ONITEMICON | LVHT_ONITEMLABEL | LVHT_ONITEMSTATEICON));
    bool rowSelected = onRow && (GetItemState(row, LVIS_SELECTED) & LVIS_SELECTED);
    auto recordOf = [this](int i) { return reinterpret_cast<_PROTO_FOLDER_INFO*>(GetItemData(i)); };

    ListMenuFacts f;
    f.current = current;
    f.pointOnRow = onRow;
    f.pointRecord = onRow ? recordOf(row) : nullptr;
    int count = static_cast<int>(GetSelectedCount());
    if (count == 1 && rowSelected) {
        f.menuRecord = recordOf(row);
        if (!f.menuRecord)
            return {};
        if (m_pFrame && m_pFrame->CheckFolderPassword(*f.menuRecord, false) == -1) {
            SetItemState(row, 0, LVIS_SELECTED);
            return {};
        }
    } else if (count == 0 && !(shift && onRow)) {
        f.menuRecord = current;
        if (!current)
            return {};
        UpdateMenuButtons();
        if (m_pFrame)
            m_pFrame->EnableMenuButtons();
    } else {
        for (int i = GetNextItem(-1, LVNI_SELECTED); i >= 0;) {
            int next = GetNextItem(i, LVNI_SELECTED);
            _PROTO_FOLDER_INFO* r = recordOf(i);
            if (shift && onRow && !rowSelected)
                SetItemState(i, 0, LVIS_SELECTED);
            else if (r && !r->Attr27[0] && current)
                std::memcpy(r->Attr27, current->Attr27, sizeof r->Attr27);
            if (r)
                f.menuRecord = r;
            i = next;
        }
        if (shift && onRow && !rowSelected) {
            SetItemState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
            f.menuRecord = recordOf(row);
        }
        if (!f.menuRecord)
            return {};
    }
    for (int i = GetNextItem(-1, LVNI_SELECTED); i >= 0; i = GetNextItem(i, LVNI_SELECTED))
        if (_PROTO_FOLDER_INFO* r = recordOf(i))
            f.selected.push_back(r);
    f.downloadTarget = m_pFrame && m_pFrame->IsDownloadTarget();
    f.clipboardHasItems = servercmd::ClipboardHasServerItems() || servercmd::ClipboardHasFiles();
    if (m_pFrame)
        f.customerCode = m_pFrame->GetCustomerCode();
    if (m_pProto) {
        f.guestLogin = m_pProto->LoginInfo.GuestLogin[0] != 'N';
        f.fileLockOption = m_pProto->OptionInfo.UserFileLimited[0] == 'Y';
        f.privacyModel = m_pProto->OptionInfo.PrivacyModel[0] == 'Y';
        f.shortcutOption = m_pProto->OptionInfo.UseShortcut[0] ? m_pProto->OptionInfo.UseShortcut[0] : 'Y';
        f.serverTexts = m_pProto->OptionInfo.ContextMenu;
    }
    unsigned short language = 0x12;
    CToviRegistry::GetLanguage(0, &language);
    f.language = language;
    return ListMenu(f);
}

void CServerListCtrl::OnNMRclick(NMHDR*, LRESULT* result)
{
    *result = 1;
    if (!m_pFrame || !m_pCommands)
        return;
    bool shift = (GetKeyState(VK_LSHIFT) & 0x8000) != 0;
    CPoint at;
    GetCursorPos(&at);
    CPoint client = at;
    ScreenToClient(&client);
    m_ptContext = client;
    std::vector<MenuEntry> entries = ContextMenuAt(client, shift);
    if (entries.empty())
        return;
    LVHITTESTINFO hit = {};
    hit.pt = client;
    int row = static_cast<int>(::SendMessage(m_hWnd, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    HMENU menu = CreatePopupMenu();
    FillPopup(menu, entries);
    int command = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_LEFTALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0, m_hWnd, nullptr);
    DestroyMenu(menu);
    if (command > 0)
        m_pCommands->RunListCommand(command, row);
    *result = 0;
}

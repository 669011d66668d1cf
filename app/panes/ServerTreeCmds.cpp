// CServerTreeCtrl: what the user does on a folder: the context menu, the keys, and the end of
// the in-place naming of a new or renamed folder (F0, F3).
#include "ServerTreeCtrl.h"
#include "DragDrop.h"
#include "FileUtils.h"
#include "ServerListCtrl.h"
#include "PaneMessages.h"
#include "ServerClipboard.h"
#include "ServerCommandSink.h"
#include "ServerCommandSupport.h"
#include "ServerContextMenu.h"
#include "ServerNameRules.h"
#include "ToviMsg.h"
#include "TraceLog.h"
#include <cstdlib>
#include <cstring>

using namespace servermenu;

namespace {

// The tree takes one character more than the list: a 256-character name passes here.
constexpr int kTreeNameLimit = 257;

bool LeftControl() { return (GetKeyState(VK_LCONTROL) & 0x8000) != 0; }
bool LeftShift() { return (GetKeyState(VK_LSHIFT) & 0x8000) != 0; }

}

void CServerTreeCtrl::SetCommandSink(IServerTreeMenuSink* sink)
{
    m_pCommands = sink;
}

std::vector<MenuEntry> CServerTreeCtrl::ContextMenuFor(HTREEITEM item) const
{
    const _PROTO_FOLDER_INFO* r = GetRecord(item);
    if (!r)
        return {};
    TreeMenuFacts facts;
    facts.topLevel = GetParentItem(item) == nullptr;
    facts.guestLogin = m_pProto && m_pProto->LoginInfo.GuestLogin[0] != 'N';
    facts.downloadTarget = m_pFrame && m_pFrame->IsDownloadTarget();
    facts.clipboardHasItems = servercmd::ClipboardHasServerItems() || servercmd::ClipboardHasFiles();
    facts.useShortcut = m_pProto && m_pProto->OptionInfo.UseShortcut[0] == 'Y';
    return TreeMenu(*r, facts);
}

void CServerTreeCtrl::OnRClick(NMHDR*, LRESULT* result)
{
    *result = 1;
    if (!m_pFrame || !m_pCommands)
        return;
    CPoint at;
    GetCursorPos(&at);
    CPoint client = at;
    ScreenToClient(&client);
    UINT flags = 0;
    HTREEITEM item = HitTest(client, &flags);
    if (!item || !(flags & (TVHT_ONITEMICON | TVHT_ONITEMLABEL | TVHT_ONITEMSTATEICON)))
        return;
    // The clicked folder, not the selection, is what the command acts on.
    _PROTO_FOLDER_INFO* r = GetRecord(item);
    if (!r || m_pFrame->CheckFolderPassword(*r, false) == -1)
        return;
    std::vector<MenuEntry> entries = ContextMenuFor(item);
    if (entries.empty())
        return;
    HMENU menu = CreatePopupMenu();
    FillPopup(menu, entries);
    int command = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_LEFTALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0, m_hWnd, nullptr);
    DestroyMenu(menu);
    if (command > 0)
        m_pCommands->RunTreeCommand(command, item);
}

void CServerTreeCtrl::OnNMClick(NMHDR*, LRESULT* result)
{
    *result = 0;
    CPoint at;
    GetCursorPos(&at);
    ScreenToClient(&at);
    UINT flags = 0;
    HTREEITEM item = HitTest(at, &flags);
    _PROTO_FOLDER_INFO* r = GetRecord(item);
    if (!r || !(flags & (TVHT_ONITEMICON | TVHT_ONITEMLABEL | TVHT_ONITEMSTATEICON)))
        return;
    if (!m_pFrame || m_pFrame->CheckFolderPassword(*r, false) == -1)
        return;
    SetMenuButtonState(r);
    static const char* const kFlags[] = {
        "VIEW", "DOWNLOAD", "COPY", "PREVIEW", "UPLOAD", "NEW_DIR", "NEW_FILE", "DELETE", "DEL_COMP", "OVERWRIT",
        "RENAME", "MOVE_CUT", "FILELINK", "SHARE", "SEARCH", "CONTENTS", "NEW_GRP", "SET_GRP", "GRPSHARE", "SENDFILE",
        "APPROVAL", "DOCVIEW", "SEND_NET", "SENDLOCK", "SENDUNLO", "MAIL_LINK", "DR_EDIT", "SHORTCUT", "PC_DELETE",
        "APPROVAL_OUT", "APPROVAL_ENC"};
    static const char* const kInfo[] = {"LINK", "SEARCH", "PROTECTED", "LIMITED", "VERSIONING", "HIDDEN", "MASTER",
                                        "PASSWORD", "DRM", "INCOMPLETE_UPLOAD", "DOWNLOAD_LIMIT", "PERSONAL"};
    TraceLog(2048, L"[ CServerTreeCtrl::OnNMClick ] \x25B6 %s \x25C0\tIDX = %S\tPIDX = %S\tDType = %S\n", r->Name, r->IDX,
             r->Attr178, r->Attr27);
    size_t perms = strnlen(r->Attr189, sizeof r->Attr189);
    for (size_t i = 0; i < perms && i < sizeof kFlags / sizeof *kFlags; ++i)
        TraceLog(2048, L"\t\t[ %S = %c ]\n", kFlags[i], r->Attr189[i]);
    if (!std::strcmp(r->ItemType, "D"))
        TraceLog(2048, L"\t\t[ VRWD = %S ]\n", r->Attr5);
    if (std::atoi(r->Attr231) != 0) {
        size_t info = strnlen(r->Attr231, sizeof r->Attr231);
        for (size_t i = 0; i < info && i < sizeof kInfo / sizeof *kInfo; ++i)
            TraceLog(2048, L"\t\t[ %S = %c ]\n", kInfo[i], r->Attr231[i]);
    }
}

void CServerTreeCtrl::OnBeginDrag(NMHDR* nm, LRESULT* result)
{
    *result = 0;
    HTREEITEM item = reinterpret_cast<NMTREEVIEWW*>(nm)->itemNew.hItem;
    _PROTO_FOLDER_INFO* r = GetRecord(item);
    if (!r || !(Allows(*r, COPY) || Allows(*r, MOVE_CUT) || Allows(*r, DOWNLOAD))) {
        *result = 1;
        return;
    }
    int password = m_pFrame ? m_pFrame->CheckFolderPassword(*r, false) : 0;
    if (password != 0) {
        *result = password == 1 ? 0 : 1;   // a password just given starts no drag yet
        return;
    }
    HTREEITEM parent = GetParentItem(item);
    m_moveSource.Mark(parent);
    std::vector<_PROTO_FOLDER_INFO> records(1, *r);
    records.front().Children.clear();
    int image = 0, selected = 0;
    GetItemImage(item, image, selected);
    HICON icon = m_images ? ImageList_GetIcon(m_images->GetSmallImageList(), image, ILD_TRANSPARENT) : nullptr;
    HFONT font = reinterpret_cast<HFONT>(::SendMessage(m_hWnd, WM_GETFONT, 0, 0));
    HIMAGELIST bubble = CreateListDragBubble(font, icon, r->Name, 1);
    if (icon)
        DestroyIcon(icon);
    if (!bubble)
        return;
    auto* source = new CDragDataSource;
    int size = 0, unused = 0;
    ImageList_GetIconSize(bubble, &size, &unused);
    if (!source->CacheServerItems(records, L"SL", GetItemPath(parent)) || !source->CacheDragImage(bubble, size / 2, size / 2)) {
        delete source;   // never handed to OLE
        ImageList_Destroy(bubble);
        return;
    }
    if (m_pFrame)
        m_pFrame->SetDragSource(L"SL");
    m_hDragItem = item;
    CServerListCtrl::s_runDrag(source, DROPEFFECT_COPY | DROPEFFECT_MOVE);
    m_hDragItem = nullptr;
    ImageList_Destroy(bubble);
}

panekeys::ServerTreeKeyFacts CServerTreeCtrl::KeyFacts(const _PROTO_FOLDER_INFO& r)
{
    // The same rules as the command bar's buttons for this folder.
    panekeys::ServerTreeKeyFacts facts;
    facts.copy = Allows(r, COPY);
    facts.paste = (Allows(r, NEW_DIR) || Allows(r, NEW_FILE)) &&
                  (servercmd::ClipboardHasServerItems() || servercmd::ClipboardHasFiles());
    facts.cut = Allows(r, MOVE_CUT);
    facts.remove = (Allows(r, DELETE_) || Allows(r, DEL_COMP)) && !(!std::strcmp(r.Attr27, "6") && !std::strcmp(r.Attr178, "0")) &&
                   !(!std::strcmp(r.Attr27, "D") && !std::strcmp(r.IDX, "2"));
    facts.deletes = Allows(r, DELETE_);
    facts.deletesForGood = Allows(r, DEL_COMP);
    facts.rename = Allows(r, RENAME);
    facts.search = Allows(r, SEARCH);
    facts.inBin = !std::strcmp(r.Attr27, "6") || !std::strcmp(r.Attr27, "D");
    return facts;
}

void CServerTreeCtrl::OnTreeKeyDown(NMHDR* nm, LRESULT* result)
{
    *result = 0;
    auto* key = reinterpret_cast<NMTVKEYDOWN*>(nm);
    HTREEITEM item = GetSelectedItem();
    _PROTO_FOLDER_INFO* r = GetRecord(item);
    if (!r || !m_pCommands)
        return;
    panekeys::KeyPress press;
    press.key = key->wVKey;
    press.leftControl = LeftControl();
    press.leftShift = LeftShift();
    const panekeys::KeyOutcome outcome = panekeys::ServerTreeKey(press, KeyFacts(*r));
    if (outcome.clear == panekeys::ClearMarks::AllPanes) {
        if (m_pFrame)
            m_pFrame->ClearCutMarks();
        ClearCutMarks();
    }
    if (outcome.emptyClipboard && ::OpenClipboard(m_hWnd))
        ClearClipboard();
    using panekeys::Action;
    switch (outcome.action) {
    case Action::Copy: m_pCommands->RunTreeCommand(kCopy, item); break;
    case Action::Paste: m_pCommands->RunTreeCommand(kPaste, item); break;
    case Action::Cut: m_pCommands->RunTreeCommand(kCut, item); break;
    case Action::Delete: m_pCommands->RunTreeCommand(kDelete, item); break;
    case Action::DeleteForGood: m_pCommands->RunTreeCommand(kDeleteForGood, item); break;
    case Action::BinDelete: m_pCommands->RunTreeCommand(kBinDelete, item); break;
    case Action::Search: m_pCommands->RunTreeCommand(kSearch, item); break;
    case Action::Rename: m_pCommands->RunTreeCommand(kRename, item); break;
    case Action::Refresh: DrawSubTreeNList(item, TREE_REFRESH_TREE_AND_LIST, false); break;
    default: break;
    }
    if (GetRecord(GetSelectedItem()))
        SetMenuButtonState(GetRecord(GetSelectedItem()));
}

void CServerTreeCtrl::ClearCutMarks()
{
    for (HTREEITEM item = GetRootItem(); item;) {
        SetItemState(item, 0, TVIS_CUT);
        HTREEITEM next = GetChildItem(item);
        if (!next) {
            for (HTREEITEM up = item; up && !next; up = GetParentItem(up))
                next = GetNextSiblingItem(up);
        }
        item = next;
    }
}

bool CServerTreeCtrl::BeginNameEdit(HTREEITEM item, int mode)
{
    if (!item)
        return false;
    m_nLabelEditMode = mode;
    ModifyStyle(0, TVS_EDITLABELS);
    SetFocus();
    HWND edit = reinterpret_cast<HWND>(::SendMessage(m_hWnd, TVM_EDITLABELW, 0, reinterpret_cast<LPARAM>(item)));
    if (!edit) {
        ModifyStyle(TVS_EDITLABELS, 0);
        return false;
    }
    if (m_pFrame)
        m_pFrame->SetLabelEditing(true);
    ::SetFocus(edit);
    return true;
}

HTREEITEM CServerTreeCtrl::InsertProposedFolder(HTREEITEM parent, const CString& name)
{
    const _PROTO_FOLDER_INFO* p = GetRecord(parent);
    if (!p)
        return nullptr;
    auto* data = new _PROTO_FOLDER_INFO();
    CToviProto::memsetFolderInfo(data);
    std::memcpy(data->ItemType, "D", 2);
    std::memcpy(data->Attr27, p->Attr27, sizeof data->Attr27);
    int image = 0, selected = 0;
    if (m_images) {
        const char* t = p->Attr27;
        if (!std::strcmp(t, "1") || !std::strcmp(t, "A") || !std::strcmp(t, "2")) {
            image = m_images->GetYellowClose();
            selected = m_images->GetYellowOpen();
        } else if (!std::strcmp(t, "3") || !std::strcmp(t, "4")) {
            image = m_images->GetBlueClose();
            selected = m_images->GetBlueOpen();
        } else if (!std::strcmp(t, "5")) {
            image = m_images->GetGreenClose();
            selected = m_images->GetGreenOpen();
        }
    }
    HTREEITEM item = InsertItem(TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM, name, image, selected, 0, 0,
                                reinterpret_cast<LPARAM>(data), parent, TVI_LAST);
    if (!item) {
        delete data;
        return nullptr;
    }
    if (m_images && !std::strcmp(p->Attr27, "A"))
        SetItemState(item, INDEXTOOVERLAYMASK(m_images->GetLockOverlayMask()), TVIS_OVERLAYMASK);
    m_proposed = item;
    Expand(parent, TVE_EXPAND);
    return item;
}

void CServerTreeCtrl::RemoveItem(HTREEITEM item)
{
    if (item == m_proposed)
        m_proposed = nullptr;
    // A cut's source folder that goes with the item is forgotten, not listed later.
    for (HTREEITEM up = m_moveSource.Folder(); up; up = GetParentItem(up)) {
        if (up == item) {
            m_moveSource.Forget();
            break;
        }
    }
    DeleteWithRecords(item);
}

LRESULT CServerTreeCtrl::OnEditLabel(WPARAM, LPARAM item)
{
    if (m_pFrame)
        m_pFrame->SetActivePane(0, 0);
    BeginNameEdit(reinterpret_cast<HTREEITEM>(item), m_nLabelEditMode);
    return 0;
}

void CServerTreeCtrl::OnEndLabelEdit(NMHDR* nm, LRESULT* result)
{
    *result = 0;   // the label changes only through the refresh after a request
    // A message box below pumps messages while the edit box still exists; its loss of focus
    // ends the same edit again. Only the first end may send anything.
    if (m_bEndingEdit)
        return;
    m_bEndingEdit = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{m_bEndingEdit};
    auto* info = reinterpret_cast<NMTVDISPINFOW*>(nm);
    HTREEITEM item = info->item.hItem;
    ModifyStyle(TVS_EDITLABELS, 0);
    if (m_pFrame)
        m_pFrame->SetLabelEditing(false);
    CString old = GetItemText(item);
    bool newFolder = m_nLabelEditMode == 0;
    CString name;
    if (!info->item.pszText) {
        if (!newFolder)
            return;
        name = old;   // a cancelled new folder is still made, under the proposed name
    } else {
        name = TrimEditedName(info->item.pszText);
        if (!newFolder && name == old)
            return;
    }
    NameDecision decision = DecideEditedName(name, false, kTreeNameLimit, nullptr);
    if (decision.verdict == NameVerdict::ReopenMessage && name.GetLength() >= kTreeNameLimit)
        decision.messageId = 12042;   // the tree has one wording for too long a name
    if (decision.verdict != NameVerdict::Accept) {
        if (decision.verdict == NameVerdict::ReopenMessage) {
            CFileUtils::ToviMessageBox(this, CToviMsg::GetString(decision.messageId).GetString(), L"CorvaneIXO",
                                       MB_OK | MB_ICONWARNING);
        }
        PostMessage(WM_EDIT_LABEL, 0, reinterpret_cast<LPARAM>(item));
        return;
    }
    HTREEITEM parent = GetParentItem(item);
    _PROTO_FOLDER_INFO* p = GetRecord(parent);
    _PROTO_FOLDER_INFO* r = GetRecord(item);
    if (!m_pProto || !r || (newFolder && !p))
        return;
    if (newFolder) {
        char mode[] = "0";
        if (m_pProto->GetMakeNewDir(p->IDX, p->DIDX, name.GetString(), mode) != 0) {
            servercmd::ShowServerError(this, *m_pProto);
            // The refused folder does not exist: its row goes, so no later end of an edit on it
            // (Esc included) can ask for it again.
            RemoveItem(item);
            if (!GetChildItem(parent))
                SetItemChildren(parent, false);
            return;
        }
        CToviProto::CopyFolderInfo(r, &m_pProto->CurFolderInfo, true);
        m_proposed = nullptr;
        DrawSubTreeNList(parent, parent == GetSelectedItem() ? TREE_REFRESH_TREE_AND_LIST : TREE_REFRESH_TREE_ONLY, true);
        return;
    }
    if (m_pProto->GetRename(r->ItemType, r->IDX, r->DIDX, name.GetString()) != 0) {
        servercmd::ShowServerError(this, *m_pProto);
        return;
    }
    if (parent && parent != GetSelectedItem())
        SelectItem(parent);
    else
        DrawSubTreeNList(parent, TREE_REFRESH_TREE_AND_LIST, true);
}

void CServerTreeCtrl::SetItemChildren(HTREEITEM item, bool children)
{
    TVITEMW tv = {};
    tv.mask = TVIF_CHILDREN | TVIF_HANDLE;
    tv.hItem = item;
    tv.cChildren = children ? 1 : 0;
    ::SendMessage(m_hWnd, TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&tv));
}

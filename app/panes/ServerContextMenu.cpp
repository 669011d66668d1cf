// Context menu choices of the server tree and list.
#include "ServerContextMenu.h"
#include "ToviString.h"
#include "TraceLog.h"
#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <utility>

namespace servermenu {

namespace {

bool Is(const char* text, const char* value) { return std::strcmp(text, value) == 0; }

bool IsFile(const _PROTO_FOLDER_INFO& r) { return !Is(r.ItemType, "D"); }

CString Caption(int id)
{
    switch (id) {
    case kNewFolder: return CToviString::GetString(14005);
    case kNewGroup: return CToviString::GetString(14008);
    case kGroupSettings:
    case kGroupShare: return CToviString::GetString(14009);
    case kBinDelete: return CToviString::GetString(14049);
    case kBinRestore: return CToviString::GetString(14045);
    case kBinEmpty: return CToviString::GetString(14020);
    case kVersions: return CToviString::GetString(14027);
    case kShare: return CToviString::GetString(14010);
    case kCut: return CToviString::GetString(14011);
    case kCopy: return CToviString::GetString(14012);
    case kPaste: return CToviString::GetString(14013);
    case kDelete: return CToviString::GetString(14014);
    case kDeleteForGood: return CToviString::GetString(14015);
    case kRename: return CToviString::GetString(14016);
    case kGuestsOfFolder: return CToviString::GetString(14006);
    case kGuestsOfRow: return CToviString::GetString(14007);
    case kDownload: return CToviString::GetString(14017);
    case kSearch: return CToviString::GetString(14018);
    case kProperties: return CToviString::GetString(14019);
    case kLink: return CToviString::GetString(14025);
    case kMailLink: return CToviString::GetString(14024);
    case kThumbnails: return CToviString::GetString(14026);
    case kContentSearch: return CToviString::GetString(14028);
    case kWebLink: return CToviString::GetString(14243);
    case kSendOn: return CToviString::GetString(14255);
    case kSendOff: return CToviString::GetString(14256);
    case kShortcut: {
        CString text;
        text.Format(L"%s %s", CToviString::GetString(14262).GetString(), CToviString::GetString(14126).GetString());
        return text;
    }
    case kPcDelete: {
        CString text;
        text.Format(L"%s %s", CToviString::GetString(14263).GetString(), CToviString::GetString(14159).GetString());
        return text;
    }
    default: return CString();
    }
}

// An entry and the permission of the menu's record that brings it.
struct Allowed {
    int id;
    int permission;
};

// A menu of groups: a separator only between two groups that both have entries.
class Builder {
public:
    void Add(int id) { Add(id, Caption(id)); }
    void Add(int id, const CString& caption)
    {
        if (m_groupClosed && !m_entries.empty())
            m_entries.push_back(MenuEntry());
        m_groupClosed = false;
        MenuEntry e;
        e.id = id;
        e.caption = caption;
        m_entries.push_back(e);
    }
    void AddIf(bool offered, int id)
    {
        if (offered)
            Add(id);
    }
    // Each entry, in order, that the record's permissions allow.
    void AddAllowed(const _PROTO_FOLDER_INFO& r, std::initializer_list<Allowed> entries)
    {
        for (const Allowed& e : entries)
            AddIf(Allows(r, e.permission), e.id);
    }
    void EndGroup() { m_groupClosed = true; }
    std::vector<MenuEntry> Take() { return std::move(m_entries); }

private:
    std::vector<MenuEntry> m_entries;
    bool m_groupClosed = false;
};

// The record's type, or the shown folder's for a row that carries none.
const char* TypeOf(const _PROTO_FOLDER_INFO& r, const _PROTO_FOLDER_INFO* current)
{
    if (r.Attr27[0] || !current)
        return r.Attr27;
    return current->Attr27;
}

// Server captions: index in the option block, the built-in fallback, the trace when none came.
struct ServerText {
    int id;                 // the entry's id under the server's caption
    int slot;
    int fallbackId;         // the entry's id when the server sent nothing
    unsigned fallbackText;
    int traceLevel;
    const wchar_t* trace;
};

const ServerText kSendFileText = {kSendFile, 4, kSendFile, 14201, 1,
                                  L" [ SetMouseMenu] ERROR! OPTION CONTEXTMENU File Transfer IS EMPTY! --> %s\n"};
const ServerText kSendNetText = {kSendNet, 3, kSendNet, 14236, 1,
                                 L" [ SetMouseMenu] ERROR! OPTION CONTEXTMENU NetworkTransfer IS EMPTY! --> %s\n"};
const ServerText kApprovalOutText = {kApprovalOut, 1, kApproval, 14213, 2048,
                                     L" [ SetMouseMenu] ERROR! OPTION CONTEXT APPROVAL REQUEST OUT EMPTY! --> %s\n"};
const ServerText kApprovalText = {kApproval, 0, kApproval, 14213, 2048,
                                  L" [ SetMouseMenu] ERROR! OPTION CONTEXT APPROVAL REQUEST EMPTY! --> %s\n"};
const ServerText kApprovalEncText = {kApprovalEnc, 2, kApproval, 14213, 2048,
                                     L" [ SetMouseMenu] ERROR! OPTION CONTEXT APPROVAL REQUEST Enc EMPTY! --> %s"};

void AddServerText(Builder& menu, const ServerText& text, const ListMenuFacts& f)
{
    const _CONTEXT_MENU_ENTRY* entry = f.serverTexts ? &f.serverTexts[text.slot] : nullptr;
    if (!entry || !entry->Section[0]) {
        TraceLog(text.traceLevel, text.trace, entry ? entry->Section : L"");
        menu.Add(text.fallbackId, CToviString::GetString(text.fallbackText));
        return;
    }
    const wchar_t* caption = f.language == 0x09 ? entry->Token1 : f.language == 0x12 ? entry->Token2 : entry->Token3;
    menu.Add(text.id, caption);
}

void TreeBinMenu(Builder& m, const _PROTO_FOLDER_INFO& r, const TreeMenuFacts& f)
{
    if (f.topLevel) {
        m.AddAllowed(r, {{kBinEmpty, DEL_COMP}});
        return;
    }
    m.AddIf(Allows(r, DOWNLOAD) && f.downloadTarget, kDownload);
    m.EndGroup();
    m.AddAllowed(r, {{kBinDelete, DEL_COMP}});
    m.Add(kBinRestore);
}

void TreeTypeDMenu(Builder& m, const _PROTO_FOLDER_INFO& r)
{
    if (Is(r.IDX, "2")) {
        m.AddAllowed(r, {{kBinEmpty, DEL_COMP}, {kDownload, DOWNLOAD}});
        return;
    }
    m.AddAllowed(r, {{kDownload, DOWNLOAD}, {kBinDelete, DEL_COMP}});
    m.Add(kBinRestore);
}

void TreeFolderMenu(Builder& m, const _PROTO_FOLDER_INFO& r, const TreeMenuFacts& f)
{
    if (Is(r.Attr27, "5") && !f.guestLogin) {
        if (f.topLevel)
            m.Add(kGuestsOfFolder);
        else if (std::strncmp(r.Attr179, r.IDX, sizeof r.IDX) == 0)
            m.Add(kGuestsOfRow);
    }
    m.EndGroup();
    if (Is(r.Attr27, "3"))
        m.AddAllowed(r, {{kNewGroup, NEW_GRP}, {kGroupSettings, SET_GRP}, {kGroupShare, GRPSHARE}});
    m.EndGroup();
    m.AddAllowed(r, {{kNewFolder, NEW_DIR}});
    m.AddIf(Allows(r, SHARE) && !Is(r.Attr27, "B"), kShare);
    m.EndGroup();
    m.AddAllowed(r, {{kCut, MOVE_CUT}, {kCopy, COPY}});
    m.AddIf((Allows(r, NEW_DIR) || Allows(r, NEW_FILE)) && f.clipboardHasItems, kPaste);
    m.EndGroup();
    m.AddAllowed(r, {{kDelete, DELETE_}, {kDeleteForGood, DEL_COMP}, {kRename, RENAME}});
    m.EndGroup();
    m.AddAllowed(r, {{kContentSearch, CONTENTS}});
    m.EndGroup();
    m.AddIf(Allows(r, DOWNLOAD) && f.downloadTarget, kDownload);
    m.AddAllowed(r, {{kSearch, SEARCH}});
    m.EndGroup();
    m.AddIf(f.useShortcut && Allows(r, SHORTCUT), kShortcut);
    m.AddAllowed(r, {{kPcDelete, PC_DELETE}});
    m.EndGroup();
    m.Add(kProperties);
}

bool AnySelected(const ListMenuFacts& f, int permission)
{
    return std::any_of(f.selected.begin(), f.selected.end(),
                       [&](const _PROTO_FOLDER_INFO* r) { return Allows(*r, permission); });
}

bool NoneSelectedDenies(const ListMenuFacts& f, int permission)
{
    return !f.selected.empty() && std::none_of(f.selected.begin(), f.selected.end(),
                                               [&](const _PROTO_FOLDER_INFO* r) { return Denies(*r, permission); });
}

// Every selected row links (of the given kind) and is no recycle-bin entry.
bool AllSelectedLink(const ListMenuFacts& f, int permission)
{
    return !f.selected.empty() && std::all_of(f.selected.begin(), f.selected.end(), [&](const _PROTO_FOLDER_INFO* r) {
               return Allows(*r, permission) && !Is(TypeOf(*r, f.current), "D");
           });
}

// The two searches of the bin's menus, in their own group.
void BinSearches(Builder& m, const _PROTO_FOLDER_INFO& r)
{
    m.EndGroup();
    m.AddAllowed(r, {{kSearch, SEARCH}, {kContentSearch, CONTENTS}});
}

void ListBinMenu(Builder& m, const ListMenuFacts& f)
{
    const _PROTO_FOLDER_INFO& r = *f.menuRecord;
    size_t n = f.selected.size();
    if (n == 0) {
        if (!Is(r.Attr178, "0"))
            return;   // inside the bin with nothing selected
        m.AddAllowed(r, {{kBinEmpty, DEL_COMP}});
        BinSearches(m, r);
        return;
    }
    m.AddIf(Allows(r, DOWNLOAD) && (n == 1 || f.downloadTarget), kDownload);
    m.EndGroup();
    m.AddAllowed(r, {{kBinDelete, DEL_COMP}});
    m.Add(kBinRestore);
    if (n == 1)
        BinSearches(m, r);
    m.EndGroup();
    m.Add(kProperties);
}

void ListTypeDMenu(Builder& m, const ListMenuFacts& f)
{
    const _PROTO_FOLDER_INFO& r = *f.menuRecord;
    bool special = Is(r.IDX, "2");
    size_t n = f.selected.size();
    if (n == 0) {
        if (!special)
            return;
        m.AddAllowed(r, {{kBinEmpty, DEL_COMP}});
        BinSearches(m, r);
        return;
    }
    if (n == 1 && special) {
        m.AddAllowed(r, {{kBinEmpty, DEL_COMP}, {kDownload, DOWNLOAD}});
        BinSearches(m, r);
    } else {
        m.AddAllowed(r, {{kDownload, DOWNLOAD}});
        m.EndGroup();
        m.AddAllowed(r, {{kBinDelete, DEL_COMP}});
        m.AddIf(n == 1 || !special, kBinRestore);
        if (n == 1)
            BinSearches(m, r);
    }
    m.EndGroup();
    m.Add(kProperties);
}

void ListFolderTypeItems(Builder& m, const ListMenuFacts& f, const char* type)
{
    const _PROTO_FOLDER_INFO& r = *f.menuRecord;
    size_t n = f.selected.size();
    if (Is(type, "5") && !f.guestLogin) {
        if (n == 1 && std::strncmp(r.Attr179, r.IDX, sizeof r.IDX) == 0)
            m.Add(kGuestsOfRow);
        else if (n == 0 && Is(r.Attr178, "0"))
            m.Add(kGuestsOfFolder);
    }
    m.EndGroup();
    if (Is(type, "3") || Is(type, "4")) {
        if (n == 1)
            m.AddAllowed(r, {{kGroupSettings, SET_GRP}, {kGroupShare, GRPSHARE}});
        else if (n == 0 && Is(r.Attr178, "0"))
            m.AddAllowed(r, {{kNewGroup, NEW_GRP}});
    }
    m.EndGroup();
}

// The entries whose captions the server sends, each while no selected row denies it.
void AddServerTexts(Builder& m, const ListMenuFacts& f, std::initializer_list<std::pair<int, const ServerText*>> texts)
{
    for (const auto& t : texts)
        if (NoneSelectedDenies(f, t.first))
            AddServerText(m, *t.second, f);
}

void ListCommonItems(Builder& m, const ListMenuFacts& f, const char* type)
{
    const _PROTO_FOLDER_INFO& r = *f.menuRecord;
    size_t n = f.selected.size();
    m.AddIf(Allows(r, NEW_DIR) && n < 2, kNewFolder);
    m.AddIf(Allows(r, SHARE) && type[0] != 'B' && n == 1, kShare);
    m.EndGroup();
    m.AddIf(AnySelected(f, MOVE_CUT), kCut);
    m.AddIf(AnySelected(f, COPY), kCopy);
    const _PROTO_FOLDER_INFO* target = f.pointOnRow ? f.pointRecord : f.current;
    m.AddIf(target && !IsFile(*target) && (Allows(*target, NEW_DIR) || Allows(*target, NEW_FILE)) &&
                f.clipboardHasItems,
            kPaste);
    m.EndGroup();
    m.AddIf(AnySelected(f, DELETE_), kDelete);
    m.AddIf(AnySelected(f, DEL_COMP), kDeleteForGood);
    m.AddIf(Allows(r, RENAME) && n == 1, kRename);
    m.EndGroup();
    m.AddIf(n <= 1 && Allows(r, CONTENTS), kContentSearch);
    m.EndGroup();
    m.AddIf(n <= 1 && Allows(r, SEARCH), kSearch);
    m.EndGroup();
    m.AddIf(AllSelectedLink(f, FILELINK), kLink);
    m.AddIf(AllSelectedLink(f, MAIL_LINK), kMailLink);
    m.EndGroup();
    AddServerTexts(m, f, {{SENDFILE, &kSendFileText}, {SEND_NET, &kSendNetText}});
    m.EndGroup();
    m.AddIf(f.fileLockOption && n == 1 && Allows(r, SENDLOCK), kSendOn);
    m.AddIf(f.fileLockOption && n == 1 && Allows(r, SENDUNLO), kSendOff);
    m.EndGroup();
    if (Allows(r, DOCVIEW) && n == 1)
        m.Add(kDocView, CToviString::GetString(f.privacyModel ? 14253 : 14235));
    m.EndGroup();
    m.AddIf(f.customerCode == L"DWY_IN" && n >= 1 && f.current && f.current->Attr5[1] != '0' &&
                std::all_of(f.selected.begin(), f.selected.end(), [](const _PROTO_FOLDER_INFO* s) { return IsFile(*s); }),
            kWebLink);
    m.EndGroup();
    AddServerTexts(m, f, {{APPROVAL_OUT, &kApprovalOutText}, {APPROVAL, &kApprovalText}, {APPROVAL_ENC, &kApprovalEncText}});
    m.EndGroup();
    m.AddIf(IsFile(r) && n == 1 && r.Attr231[4] == '1', kVersions);
    m.EndGroup();
    m.AddIf(AnySelected(f, DOWNLOAD) && f.downloadTarget, kDownload);
    m.EndGroup();
    m.AddIf(n == 0 && Allows(r, PREVIEW), kThumbnails);
    m.AddIf(n >= 1 && f.shortcutOption != 'N' && NoneSelectedDenies(f, SHORTCUT), kShortcut);
    m.EndGroup();
    m.AddIf(n == 1 && Allows(r, PC_DELETE), kPcDelete);
    m.EndGroup();
    m.AddIf(n >= 1, kProperties);
}

}

bool Allows(const _PROTO_FOLDER_INFO& r, int permission)
{
    return permission < static_cast<int>(strnlen(r.Attr189, sizeof r.Attr189)) && r.Attr189[permission] == '1';
}

bool Denies(const _PROTO_FOLDER_INFO& r, int permission)
{
    return permission < static_cast<int>(strnlen(r.Attr189, sizeof r.Attr189)) && r.Attr189[permission] == '0';
}

std::vector<MenuEntry> TreeMenu(const _PROTO_FOLDER_INFO& r, const TreeMenuFacts& f)
{
    Builder m;
    bool bin = Is(r.Attr27, "6");
    if (bin || Is(r.Attr27, "D")) {
        if (bin)
            TreeBinMenu(m, r, f);
        else
            TreeTypeDMenu(m, r);
        BinSearches(m, r);
        m.EndGroup();
        m.Add(kProperties);
    } else {
        TreeFolderMenu(m, r, f);
    }
    return m.Take();
}

std::vector<MenuEntry> ListMenu(const ListMenuFacts& f)
{
    Builder m;
    if (!f.menuRecord)
        return m.Take();
    const char* type = TypeOf(*f.menuRecord, f.current);
    if (Is(type, "6"))
        ListBinMenu(m, f);
    else if (Is(type, "D"))
        ListTypeDMenu(m, f);
    else {
        ListFolderTypeItems(m, f, type);
        ListCommonItems(m, f, type);
    }
    return m.Take();
}

bool IsImageName(const wchar_t* name, const CString& imageExtensions)
{
    const CString text(name);
    const int dot = text.ReverseFind(L'.');
    if (dot < 0)
        return false;
    CString extension = text.Mid(dot);
    extension.TrimLeft(L'.');
    extension.MakeLower();
    // A name that ends in a dot has no extension: an empty one would be found in any list.
    return !extension.IsEmpty() && imageExtensions.Find(extension) >= 0;
}

FileOpen ChooseFileOpen(const _PROTO_FOLDER_INFO& file, const FileOpenFacts& facts)
{
    if (facts.noAction)
        return FileOpen::Nothing;
    if (IsImageName(file.Name, facts.imageExtensions))
        return facts.imageViewer ? FileOpen::SlideViewer : FileOpen::Download;
    if (facts.directEdit && Allows(file, DR_EDIT))
        return FileOpen::DirectEdit;
    if (Allows(file, DOCVIEW))
        return FileOpen::DocView;
    if (Allows(file, DOWNLOAD))
        return FileOpen::Download;
    return FileOpen::Nothing;
}

std::vector<int> Ids(const std::vector<MenuEntry>& entries)
{
    std::vector<int> ids;
    for (const MenuEntry& e : entries)
        ids.push_back(e.id);
    return ids;
}

void FillPopup(HMENU menu, const std::vector<MenuEntry>& entries)
{
    for (const MenuEntry& e : entries) {
        if (e.id == kSeparator)
            AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        else
            AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(e.id), e.caption.GetString());
    }
}

}

// The server panes' menu and command-bar tables row by row: for every entry of the list's and
// the tree's context menus and every command-bar button of the list, one selection that offers
// it and one that differs only in the row's condition and does not.
#include "ServerContextMenu.h"
#include "ServerMenuRules.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <cstring>
#include <deque>
#include <functional>
#include <initializer_list>
#include <string>

using namespace servermenu;

namespace {

template <size_t N> void Set(char (&member)[N], const char* value)
{
    std::memset(member, 0, N);
    std::memcpy(member, value, std::min(std::strlen(value), N - 1));
}

// Records that live as long as the test: the facts point at them.
class Pool {
public:
    // Kind "D" folder or "F" file, folder type, the permissions that are '1' (all others '0').
    const _PROTO_FOLDER_INFO* Rec(const char* kind, const char* type, std::initializer_list<int> allowed,
                                  const char* idx = "100", const char* parent = "50")
    {
        _PROTO_FOLDER_INFO r = {};
        Set(r.ItemType, kind);
        Set(r.Attr27, type);
        Set(r.IDX, idx);
        Set(r.Attr178, parent);
        Set(r.Attr5, "1111");
        Set(r.Attr231, "000000000000");
        std::string perms(31, '0');
        for (int p : allowed)
            perms[p] = '1';
        Set(r.Attr189, perms.c_str());
        m_records.push_back(r);
        return &m_records.back();
    }
    _PROTO_FOLDER_INFO* Last() { return &m_records.back(); }

private:
    std::deque<_PROTO_FOLDER_INFO> m_records;
};

bool Has(const std::vector<MenuEntry>& menu, int id)
{
    return std::any_of(menu.begin(), menu.end(), [id](const MenuEntry& e) { return e.id == id; });
}

std::string Show(const std::vector<int>& ids)
{
    std::string text;
    for (int id : ids)
        text += (id ? std::to_string(id) : std::string("|")) + " ";
    return text;
}

// Every server caption present, so that each approval entry shows under its own id.
const _CONTEXT_MENU_ENTRY* ServerTexts()
{
    static _CONTEXT_MENU_ENTRY texts[5] = {};
    for (_CONTEXT_MENU_ENTRY& t : texts) {
        wcscpy(t.Section, L"Y");
        wcscpy(t.Token1, L"caption");
        wcscpy(t.Token2, L"caption");
        wcscpy(t.Token3, L"caption");
    }
    return texts;
}

struct ListRow {
    int id;
    const char* condition;
    std::function<ListMenuFacts()> offered, notOffered;
};

struct TreeRow {
    int id;
    const char* condition;
    std::function<std::vector<MenuEntry>()> offered, notOffered;
};

}

TEST(ServerListMenuTable, EachEntryIsOfferedExactlyWhenItsConditionHolds)
{
    Pool pool;
    const _PROTO_FOLDER_INFO* folder = pool.Rec("D", "1", {NEW_DIR, NEW_FILE, SEARCH, CONTENTS, PREVIEW});
    // The facts of a right-click with these rows selected (the last one is the menu's record;
    // none: the folder's own menu).
    auto on = [folder](std::vector<const _PROTO_FOLDER_INFO*> rows, const _PROTO_FOLDER_INFO* current = nullptr) {
        ListMenuFacts f;
        f.current = current ? current : folder;
        f.selected = rows;
        f.menuRecord = rows.empty() ? f.current : rows.back();
        f.shortcutOption = 'N';
        f.serverTexts = ServerTexts();
        return f;
    };
    auto with = [](ListMenuFacts f, std::function<void(ListMenuFacts&)> change) {
        change(f);
        return f;
    };
    auto file = [&pool](std::initializer_list<int> allowed, const char* type = "1") {
        return pool.Rec("F", type, allowed, "200");
    };
    auto dir = [&pool](std::initializer_list<int> allowed, const char* type = "1") {
        return pool.Rec("D", type, allowed, "201");
    };
    const _PROTO_FOLDER_INFO* plain = file({});
    const _PROTO_FOLDER_INFO* versioned = file({});
    pool.Last()->Attr231[4] = '1';
    const _PROTO_FOLDER_INFO* versionedDir = dir({});
    pool.Last()->Attr231[4] = '1';
    const _PROTO_FOLDER_INFO* binTop = pool.Rec("D", "6", {DEL_COMP, SEARCH, CONTENTS, DOWNLOAD}, "300", "0");
    const _PROTO_FOLDER_INFO* binInner = pool.Rec("D", "6", {DEL_COMP, SEARCH, CONTENTS, DOWNLOAD}, "301", "300");
    const _PROTO_FOLDER_INFO* binRow = pool.Rec("F", "6", {DOWNLOAD, DEL_COMP, SEARCH, CONTENTS}, "302", "300");
    const _PROTO_FOLDER_INFO* binRowNoDelete = pool.Rec("F", "6", {DOWNLOAD}, "303", "300");
    const _PROTO_FOLDER_INFO* special = pool.Rec("D", "D", {DEL_COMP, DOWNLOAD, SEARCH, CONTENTS}, "2", "0");
    const _PROTO_FOLDER_INFO* otherD = pool.Rec("D", "D", {DEL_COMP, DOWNLOAD, SEARCH, CONTENTS}, "9", "2");
    const _PROTO_FOLDER_INFO* guestTop = pool.Rec("D", "5", {}, "400", "0");
    const _PROTO_FOLDER_INFO* guestInner = pool.Rec("D", "5", {}, "401", "400");
    const _PROTO_FOLDER_INFO* ownGuest = pool.Rec("D", "5", {}, "402", "400");
    Set(pool.Last()->Attr179, "402");
    const _PROTO_FOLDER_INFO* groupTop = pool.Rec("D", "3", {NEW_GRP, SET_GRP, GRPSHARE}, "500", "0");
    const _PROTO_FOLDER_INFO* groupInner = pool.Rec("D", "3", {NEW_GRP}, "501", "500");
    const _PROTO_FOLDER_INFO* groupRow = pool.Rec("D", "3", {SET_GRP, GRPSHARE}, "502", "500");
    const _PROTO_FOLDER_INFO* group4Row = pool.Rec("D", "4", {SET_GRP, GRPSHARE}, "503", "500");
    const _PROTO_FOLDER_INFO* readOnlyFolder = dir({});
    const _PROTO_FOLDER_INFO* noWriteVrwd = dir({});
    Set(pool.Last()->Attr5, "1011");

    const ListRow rows[] = {
        // The recycle bin (type 6).
        {kBinEmpty, "the bin itself, nothing selected, DEL_COMP", [&] { return on({}, binTop); },
         [&] { return on({}, binInner); }},
        {kSearch, "the bin itself, nothing selected, SEARCH", [&] { return on({}, binTop); },
         [&] { return on({}, binInner); }},
        {kContentSearch, "the bin itself, nothing selected, CONTENTS", [&] { return on({}, binTop); },
         [&] { return on({}, binInner); }},
        {kDownload, "one bin row with DOWNLOAD, no download target needed", [&] { return on({binRow}, binTop); },
         [&] { return on({binRow, binRowNoDelete}, binTop); }},
        {kDownload, "several bin rows: DOWNLOAD of the menu record and a download target",
         [&] { return with(on({binRow, binRowNoDelete}, binTop), [](ListMenuFacts& f) { f.downloadTarget = true; }); },
         [&] { return on({binRowNoDelete, binRow}, binTop); }},
        {kBinDelete, "bin rows: DEL_COMP of the menu record", [&] { return on({binRowNoDelete, binRow}, binTop); },
         [&] { return on({binRow, binRowNoDelete}, binTop); }},
        {kBinRestore, "bin rows: always", [&] { return on({binRowNoDelete}, binTop); },
         [&] { return on({}, binInner); }},
        {kSearch, "one bin row: SEARCH", [&] { return on({binRow}, binTop); },
         [&] { return on({binRowNoDelete, binRow}, binTop); }},
        {kContentSearch, "one bin row: CONTENTS", [&] { return on({binRow}, binTop); },
         [&] { return on({binRowNoDelete, binRow}, binTop); }},
        {kProperties, "bin rows: always", [&] { return on({binRowNoDelete}, binTop); },
         [&] { return on({}, binTop); }},
        // Type D folders; the special one has IDX 2.
        {kBinEmpty, "type D, nothing selected, the special folder", [&] { return on({}, special); },
         [&] { return on({}, otherD); }},
        {kBinEmpty, "type D, the special folder as the one row", [&] { return on({special}, special); },
         [&] { return on({otherD}, special); }},
        {kBinDelete, "type D, one row other than the special folder", [&] { return on({otherD}, special); },
         [&] { return on({special}, special); }},
        {kBinRestore, "type D, several rows unless the record is the special folder",
         [&] { return on({special, otherD}, special); }, [&] { return on({otherD, special}, special); }},
        {kDownload, "type D, the special folder's row with DOWNLOAD", [&] { return on({special}, special); },
         [&] { return on({}, special); }},
        {kProperties, "type D, rows selected", [&] { return on({otherD}, special); },
         [&] { return on({}, special); }},
        // Folder-type entries of the other folders.
        {kGuestsOfRow, "type 5, one row whose third id is its IDX", [&] { return on({ownGuest}, guestTop); },
         [&] { return on({guestInner}, guestTop); }},
        {kGuestsOfRow, "type 5, not for a guest log-in", [&] { return on({ownGuest}, guestTop); },
         [&] { return with(on({ownGuest}, guestTop), [](ListMenuFacts& f) { f.guestLogin = true; }); }},
        {kGuestsOfFolder, "type 5, nothing selected, a top-level folder", [&] { return on({}, guestTop); },
         [&] { return on({}, guestInner); }},
        {kNewGroup, "type 3, nothing selected, top level, NEW_GRP", [&] { return on({}, groupTop); },
         [&] { return on({}, groupInner); }},
        {kGroupSettings, "type 3, one row, SET_GRP", [&] { return on({groupRow}, groupTop); },
         [&] { return on({groupRow, group4Row}, groupTop); }},
        {kGroupShare, "type 4, one row, GRPSHARE", [&] { return on({group4Row}, groupTop); },
         [&] { return on({groupRow, group4Row}, groupTop); }},
        // The common entries.
        {kNewFolder, "NEW_DIR, fewer than two rows", [&] { return on({}); },
         [&] { return on({dir({NEW_DIR}), dir({NEW_DIR})}); }},
        {kShare, "SHARE, exactly one row", [&] { return on({dir({SHARE})}); },
         [&] { return on({dir({SHARE}), dir({SHARE})}); }},
        {kShare, "SHARE, not on a type B folder", [&] { return on({dir({SHARE})}); },
         [&] { return on({dir({SHARE}, "B")}); }},
        {kCut, "any row with MOVE_CUT", [&] { return on({file({MOVE_CUT}), plain}); },
         [&] { return on({plain, plain}); }},
        {kCopy, "any row with COPY", [&] { return on({plain, file({COPY})}); }, [&] { return on({plain, plain}); }},
        {kPaste, "the folder row under the click takes items and the clipboard has some",
         [&] {
             return with(on({dir({NEW_FILE})}), [&](ListMenuFacts& f) {
                 f.clipboardHasItems = true;
                 f.pointOnRow = true;
                 f.pointRecord = f.selected[0];
             });
         },
         [&] {
             return with(on({file({NEW_DIR})}), [&](ListMenuFacts& f) {
                 f.clipboardHasItems = true;
                 f.pointOnRow = true;
                 f.pointRecord = f.selected[0];
             });
         }},
        {kPaste, "on empty space the current folder decides",
         [&] { return with(on({}), [](ListMenuFacts& f) { f.clipboardHasItems = true; }); },
         [&] { return with(on({}, readOnlyFolder), [](ListMenuFacts& f) { f.clipboardHasItems = true; }); }},
        {kPaste, "only with items on the clipboard",
         [&] { return with(on({}), [](ListMenuFacts& f) { f.clipboardHasItems = true; }); }, [&] { return on({}); }},
        {kDelete, "any row with DELETE", [&] { return on({plain, file({DELETE_})}); },
         [&] { return on({file({DEL_COMP})}); }},
        {kDeleteForGood, "any row with DEL_COMP", [&] { return on({file({DEL_COMP}), plain}); },
         [&] { return on({file({DELETE_})}); }},
        {kRename, "RENAME, exactly one row", [&] { return on({file({RENAME})}); },
         [&] { return on({file({RENAME}), file({RENAME})}); }},
        {kContentSearch, "CONTENTS, at most one row", [&] { return on({file({CONTENTS})}); },
         [&] { return on({file({CONTENTS}), file({CONTENTS})}); }},
        {kSearch, "SEARCH, at most one row", [&] { return on({}); },
         [&] { return on({file({SEARCH}), file({SEARCH})}); }},
        {kLink, "every row has FILELINK", [&] { return on({file({FILELINK}), file({FILELINK})}); },
         [&] { return on({file({FILELINK}), plain}); }},
        {kLink, "no row of type D", [&] { return on({file({FILELINK})}); },
         [&] { return on({file({FILELINK}, "D"), file({FILELINK})}); }},
        {kMailLink, "every row has MAIL_LINK", [&] { return on({file({MAIL_LINK})}); },
         [&] { return on({file({MAIL_LINK}), plain}); }},
        {kSendFile, "no row denies SENDFILE", [&] { return on({file({SENDFILE})}); },
         [&] { return on({file({SENDFILE}), plain}); }},
        {kSendNet, "no row denies SEND_NET", [&] { return on({file({SEND_NET})}); }, [&] { return on({plain}); }},
        {kSendOn, "the file-lock option, one row, SENDLOCK",
         [&] { return with(on({file({SENDLOCK})}), [](ListMenuFacts& f) { f.fileLockOption = true; }); },
         [&] { return on({file({SENDLOCK})}); }},
        {kSendOff, "the file-lock option, one row, SENDUNLO",
         [&] { return with(on({file({SENDUNLO})}), [](ListMenuFacts& f) { f.fileLockOption = true; }); },
         [&] {
             return with(on({file({SENDUNLO}), file({SENDUNLO})}), [](ListMenuFacts& f) { f.fileLockOption = true; });
         }},
        {kDocView, "DOCVIEW, exactly one row", [&] { return on({file({DOCVIEW})}); },
         [&] { return on({file({DOCVIEW}), file({DOCVIEW})}); }},
        {kWebLink, "customer DWY_IN, every row a file, the folder's write letter not 0",
         [&] { return with(on({plain}), [](ListMenuFacts& f) { f.customerCode = L"DWY_IN"; }); },
         [&] { return with(on({plain}, noWriteVrwd), [](ListMenuFacts& f) { f.customerCode = L"DWY_IN"; }); }},
        {kWebLink, "only for customer DWY_IN (exact)",
         [&] { return with(on({plain}), [](ListMenuFacts& f) { f.customerCode = L"DWY_IN"; }); },
         [&] { return with(on({plain}), [](ListMenuFacts& f) { f.customerCode = L"dwy_in"; }); }},
        {kWebLink, "not with a folder row",
         [&] { return with(on({plain}), [](ListMenuFacts& f) { f.customerCode = L"DWY_IN"; }); },
         [&] { return with(on({plain, dir({})}), [](ListMenuFacts& f) { f.customerCode = L"DWY_IN"; }); }},
        {kApprovalOut, "no row denies APPROVAL_OUT", [&] { return on({file({APPROVAL_OUT})}); },
         [&] { return on({plain}); }},
        {kApproval, "no row denies APPROVAL", [&] { return on({file({APPROVAL})}); }, [&] { return on({plain}); }},
        {kApprovalEnc, "no row denies APPROVAL_ENC", [&] { return on({file({APPROVAL_ENC})}); },
         [&] { return on({plain}); }},
        {kVersions, "a file with the versioning flag, exactly one row", [&] { return on({versioned}); },
         [&] { return on({versionedDir}); }},
        {kVersions, "not with two rows", [&] { return on({versioned}); },
         [&] { return on({versioned, versioned}); }},
        {kDownload, "any row with DOWNLOAD and a download target",
         [&] { return with(on({plain, file({DOWNLOAD})}), [](ListMenuFacts& f) { f.downloadTarget = true; }); },
         [&] { return on({plain, file({DOWNLOAD})}); }},
        {kThumbnails, "nothing selected, PREVIEW", [&] { return on({}); }, [&] { return on({file({PREVIEW})}); }},
        {kShortcut, "rows, the shortcut option not N, no row denies SHORTCUT",
         [&] { return with(on({dir({SHORTCUT})}), [](ListMenuFacts& f) { f.shortcutOption = 'Y'; }); },
         [&] { return on({dir({SHORTCUT})}); }},
        {kShortcut, "no row may deny it",
         [&] { return with(on({dir({SHORTCUT})}), [](ListMenuFacts& f) { f.shortcutOption = 'Y'; }); },
         [&] { return with(on({dir({SHORTCUT}), dir({})}), [](ListMenuFacts& f) { f.shortcutOption = 'Y'; }); }},
        {kPcDelete, "PC_DELETE, exactly one row", [&] { return on({dir({PC_DELETE})}); },
         [&] { return on({dir({PC_DELETE}), dir({PC_DELETE})}); }},
        {kProperties, "at least one row", [&] { return on({plain}); }, [&] { return on({}); }},
    };
    for (const ListRow& row : rows) {
        const std::vector<MenuEntry> offered = ListMenu(row.offered());
        const std::vector<MenuEntry> notOffered = ListMenu(row.notOffered());
        EXPECT_TRUE(Has(offered, row.id)) << row.id << ": " << row.condition << "; menu " << Show(Ids(offered));
        EXPECT_FALSE(Has(notOffered, row.id)) << row.id << ": " << row.condition << "; menu " << Show(Ids(notOffered));
    }

    // Everything allowed on one file: the entries in the table's order and groups.
    const std::initializer_list<int> all = {NEW_DIR, SHARE, MOVE_CUT, COPY, DELETE_, DEL_COMP, RENAME, CONTENTS, SEARCH,
                                            FILELINK, MAIL_LINK, SENDFILE, SEND_NET, SENDLOCK, SENDUNLO, DOCVIEW,
                                            APPROVAL_OUT, APPROVAL, APPROVAL_ENC, DOWNLOAD, SHORTCUT, PC_DELETE};
    const _PROTO_FOLDER_INFO* everything = file(all);
    pool.Last()->Attr231[4] = '1';
    ListMenuFacts f = on({everything});
    f.clipboardHasItems = true;
    f.downloadTarget = true;
    f.fileLockOption = true;
    f.shortcutOption = 'Y';
    f.customerCode = L"DWY_IN";
    EXPECT_EQ(Show({101, 111, 0, 112, 113, 114, 0, 115, 116, 117, 0, 127, 0, 121, 0, 123, 124, 0, 128, 131, 0, 133, 134,
                    0, 130, 0, 132, 0, 137, 129, 138, 0, 110, 0, 120, 0, 135, 0, 136, 0, 122}),
              Show(Ids(ListMenu(f))));
}

TEST(ServerTreeMenuTable, EachEntryIsOfferedExactlyWhenItsConditionHolds)
{
    Pool pool;
    TreeMenuFacts below;
    auto menu = [](const _PROTO_FOLDER_INFO* r, TreeMenuFacts f) { return TreeMenu(*r, f); };
    auto facts = [](std::function<void(TreeMenuFacts&)> change) {
        TreeMenuFacts f;
        change(f);
        return f;
    };
    const TreeMenuFacts top = facts([](TreeMenuFacts& f) { f.topLevel = true; });
    const TreeMenuFacts target = facts([](TreeMenuFacts& f) { f.downloadTarget = true; });
    const TreeMenuFacts clip = facts([](TreeMenuFacts& f) { f.clipboardHasItems = true; });
    const TreeMenuFacts shortcuts = facts([](TreeMenuFacts& f) { f.useShortcut = true; });
    auto dir = [&pool](std::initializer_list<int> allowed, const char* type = "1", const char* idx = "100") {
        return pool.Rec("D", type, allowed, idx);
    };
    const _PROTO_FOLDER_INFO* ownGuest = dir({}, "5", "77");
    Set(pool.Last()->Attr179, "77");
    const _PROTO_FOLDER_INFO* otherGuest = dir({}, "5", "78");
    Set(pool.Last()->Attr179, "1");

    const TreeRow rows[] = {
        {kDownload, "bin below the top: DOWNLOAD and a download target",
         [&] { return menu(dir({DOWNLOAD}, "6"), target); }, [&] { return menu(dir({DOWNLOAD}, "6"), below); }},
        {kBinDelete, "bin below the top: DEL_COMP", [&] { return menu(dir({DEL_COMP}, "6"), below); },
         [&] { return menu(dir({DEL_COMP}, "6"), top); }},
        {kBinRestore, "bin below the top: always", [&] { return menu(dir({}, "6"), below); },
         [&] { return menu(dir({}, "6"), top); }},
        {kBinEmpty, "bin at the top: DEL_COMP", [&] { return menu(dir({DEL_COMP}, "6"), top); },
         [&] { return menu(dir({}, "6"), top); }},
        {kSearch, "bin: SEARCH", [&] { return menu(dir({SEARCH}, "6"), top); },
         [&] { return menu(dir({}, "6"), top); }},
        {kContentSearch, "bin: CONTENTS", [&] { return menu(dir({CONTENTS}, "6"), below); },
         [&] { return menu(dir({}, "6"), below); }},
        {kBinEmpty, "type D with IDX 2: DEL_COMP", [&] { return menu(dir({DEL_COMP}, "D", "2"), below); },
         [&] { return menu(dir({DEL_COMP}, "D", "3"), below); }},
        {kDownload, "type D: DOWNLOAD, no download target needed", [&] { return menu(dir({DOWNLOAD}, "D", "2"), below); },
         [&] { return menu(dir({}, "D", "2"), below); }},
        {kBinDelete, "type D other than IDX 2: DEL_COMP", [&] { return menu(dir({DEL_COMP}, "D", "3"), below); },
         [&] { return menu(dir({DEL_COMP}, "D", "2"), below); }},
        {kBinRestore, "type D other than IDX 2: always", [&] { return menu(dir({}, "D", "3"), below); },
         [&] { return menu(dir({}, "D", "2"), below); }},
        {kProperties, "bin and type D: always", [&] { return menu(dir({}, "D", "2"), below); },
         [&] { return std::vector<MenuEntry>(); }},
        {kGuestsOfFolder, "type 5 at the top", [&] { return menu(dir({}, "5"), top); },
         [&] { return menu(dir({}, "5"), facts([](TreeMenuFacts& f) { f.topLevel = f.guestLogin = true; })); }},
        {kGuestsOfRow, "type 5 below, the third id equals IDX", [&] { return menu(ownGuest, below); },
         [&] { return menu(otherGuest, below); }},
        {kNewGroup, "type 3: NEW_GRP", [&] { return menu(dir({NEW_GRP}, "3"), below); },
         [&] { return menu(dir({NEW_GRP}, "4"), below); }},
        {kGroupSettings, "type 3: SET_GRP", [&] { return menu(dir({SET_GRP}, "3"), below); },
         [&] { return menu(dir({GRPSHARE}, "3"), below); }},
        {kGroupShare, "type 3: GRPSHARE", [&] { return menu(dir({GRPSHARE}, "3"), below); },
         [&] { return menu(dir({SET_GRP}, "3"), below); }},
        {kNewFolder, "NEW_DIR", [&] { return menu(dir({NEW_DIR}), below); }, [&] { return menu(dir({}), below); }},
        {kShare, "SHARE, not type B", [&] { return menu(dir({SHARE}), below); },
         [&] { return menu(dir({SHARE}, "B"), below); }},
        {kCut, "MOVE_CUT", [&] { return menu(dir({MOVE_CUT}), below); }, [&] { return menu(dir({COPY}), below); }},
        {kCopy, "COPY", [&] { return menu(dir({COPY}), below); }, [&] { return menu(dir({MOVE_CUT}), below); }},
        {kPaste, "NEW_DIR or NEW_FILE with items on the clipboard", [&] { return menu(dir({NEW_FILE}), clip); },
         [&] { return menu(dir({NEW_FILE}), below); }},
        {kDelete, "DELETE", [&] { return menu(dir({DELETE_}), below); }, [&] { return menu(dir({DEL_COMP}), below); }},
        {kDeleteForGood, "DEL_COMP", [&] { return menu(dir({DEL_COMP}), below); },
         [&] { return menu(dir({DELETE_}), below); }},
        {kRename, "RENAME", [&] { return menu(dir({RENAME}), below); }, [&] { return menu(dir({}), below); }},
        {kContentSearch, "CONTENTS", [&] { return menu(dir({CONTENTS}), below); }, [&] { return menu(dir({}), below); }},
        {kDownload, "DOWNLOAD and a download target", [&] { return menu(dir({DOWNLOAD}), target); },
         [&] { return menu(dir({DOWNLOAD}), below); }},
        {kSearch, "SEARCH", [&] { return menu(dir({SEARCH}), below); }, [&] { return menu(dir({}), below); }},
        {kShortcut, "the shortcut option Y and SHORTCUT", [&] { return menu(dir({SHORTCUT}), shortcuts); },
         [&] { return menu(dir({SHORTCUT}), below); }},
        {kPcDelete, "PC_DELETE", [&] { return menu(dir({PC_DELETE}), below); }, [&] { return menu(dir({}), below); }},
        {kProperties, "always, last", [&] { return menu(dir({}), below); }, [&] { return std::vector<MenuEntry>(); }},
    };
    for (const TreeRow& row : rows) {
        const std::vector<MenuEntry> offered = row.offered();
        const std::vector<MenuEntry> notOffered = row.notOffered();
        EXPECT_TRUE(Has(offered, row.id)) << row.id << ": " << row.condition << "; menu " << Show(Ids(offered));
        EXPECT_FALSE(Has(notOffered, row.id)) << row.id << ": " << row.condition << "; menu " << Show(Ids(notOffered));
        ASSERT_FALSE(offered.empty());
        EXPECT_EQ(kProperties, offered.back().id) << row.condition << ": properties comes last";
    }
    // Ids 123, 124 and 125 belong to the list: the tree never offers them.
    const std::initializer_list<int> all = {VIEW, DOWNLOAD, COPY, PREVIEW, UPLOAD, NEW_DIR, NEW_FILE, DELETE_, DEL_COMP,
                                            OVERWRIT, RENAME, MOVE_CUT, FILELINK, SHARE, SEARCH, CONTENTS, NEW_GRP,
                                            SET_GRP, GRPSHARE, SENDFILE, APPROVAL, DOCVIEW, SEND_NET, SENDLOCK,
                                            SENDUNLO, MAIL_LINK, DR_EDIT, SHORTCUT, PC_DELETE, APPROVAL_OUT, APPROVAL_ENC};
    TreeMenuFacts everything = facts([](TreeMenuFacts& f) { f.downloadTarget = f.clipboardHasItems = f.useShortcut = true; });
    const std::vector<MenuEntry> full = menu(dir(all, "3"), everything);
    EXPECT_EQ(Show({102, 103, 104, 0, 101, 111, 0, 112, 113, 114, 0, 115, 116, 117, 0, 127, 0, 120, 121, 0, 135, 136, 0,
                    122}),
              Show(Ids(full)));
}

TEST(ServerListButtonTable, EachButtonFollowsItsRuleForTheSelectedRows)
{
    Pool pool;
    const _PROTO_FOLDER_INFO* folder = pool.Rec("D", "1", {NEW_DIR});
    const _PROTO_FOLDER_INFO* approvalFolder = pool.Rec("D", "A", {NEW_FILE});
    auto file = [&pool](std::initializer_list<int> allowed) { return pool.Rec("F", "1", allowed, "200"); };
    auto dir = [&pool](std::initializer_list<int> allowed) { return pool.Rec("D", "1", allowed, "201"); };
    const _PROTO_FOLDER_INFO* plain = file({});
    const _PROTO_FOLDER_INFO* special = pool.Rec("D", "D", {DELETE_, DEL_COMP}, "2");
    ServerMenuFacts none;
    ServerMenuFacts target;
    target.downloadTarget = true;
    ServerMenuFacts clip;
    clip.clipboardHasItems = true;
    ServerMenuFacts zrvt;
    zrvt.customerCode = L"zrvt_in";

    struct Case {
        std::vector<const _PROTO_FOLDER_INFO*> rows;
        const _PROTO_FOLDER_INFO* folder;
        ServerMenuFacts facts;
    };
    struct Row {
        const char* button;
        bool ServerMenuState::*flag;
        Case on, off;
    };
    const Row rows[] = {
        {"new folder: the folder's NEW_DIR with nothing selected", &ServerMenuState::newFolder, {{}, folder, none},
         {{}, approvalFolder, none}},
        {"new folder: exactly one row with NEW_DIR", &ServerMenuState::newFolder, {{dir({NEW_DIR})}, folder, none},
         {{dir({NEW_DIR}), dir({NEW_DIR})}, folder, none}},
        {"upload: always off", &ServerMenuState::upload, {{}, nullptr, none}, {{file({UPLOAD})}, folder, target}},
        {"download: any row with DOWNLOAD and a download target", &ServerMenuState::download,
         {{plain, file({DOWNLOAD})}, folder, target}, {{plain, file({DOWNLOAD})}, folder, none}},
        {"share: exactly one row with SHARE", &ServerMenuState::share, {{dir({SHARE})}, folder, none},
         {{dir({SHARE}), dir({SHARE})}, folder, none}},
        {"delete: any row with DELETE", &ServerMenuState::remove, {{plain, file({DELETE_})}, folder, none},
         {{plain}, folder, none}},
        {"delete: any row with DEL_COMP", &ServerMenuState::remove, {{file({DEL_COMP})}, folder, none},
         {{}, folder, none}},
        {"delete: not the special folder", &ServerMenuState::remove, {{dir({DELETE_})}, folder, none},
         {{special}, folder, none}},
        {"copy: any row with COPY", &ServerMenuState::copy, {{file({COPY}), plain}, folder, none},
         {{plain}, folder, none}},
        {"cut: any row with MOVE_CUT", &ServerMenuState::cut, {{plain, dir({MOVE_CUT})}, folder, none},
         {{plain}, folder, none}},
        {"paste: the folder takes items and the clipboard has some", &ServerMenuState::paste,
         {{plain}, approvalFolder, clip}, {{plain}, approvalFolder, none}},
        {"paste: the folder decides, not the rows", &ServerMenuState::paste, {{plain}, folder, clip},
         {{dir({NEW_DIR, NEW_FILE})}, plain, clip}},
        {"link: every row a file with FILELINK", &ServerMenuState::link,
         {{file({FILELINK}), file({FILELINK})}, folder, none}, {{file({FILELINK}), dir({FILELINK})}, folder, none}},
        {"approval after go-to: ZRVT_IN in any case and a type A folder", &ServerMenuState::approvalAfterGoTo,
         {{plain}, approvalFolder, zrvt}, {{plain}, folder, zrvt}},
        {"direct edit: exactly one row with DR_EDIT", &ServerMenuState::directEdit, {{file({DR_EDIT})}, folder, none},
         {{file({DR_EDIT}), file({DR_EDIT})}, folder, none}},
        {"approval: nothing selected", &ServerMenuState::approval, {{}, folder, none}, {{plain}, folder, none}},
        {"approval: every row a file with APPROVAL", &ServerMenuState::approval,
         {{file({APPROVAL}), file({APPROVAL})}, folder, none}, {{file({APPROVAL}), dir({APPROVAL})}, folder, none}},
    };
    for (const Row& row : rows) {
        const ServerMenuState on = ComputeListMenuState(row.on.rows, row.on.folder ? *row.on.folder : *folder, row.on.facts);
        const ServerMenuState off = ComputeListMenuState(row.off.rows, *row.off.folder, row.off.facts);
        if (row.flag != &ServerMenuState::upload) {
            EXPECT_TRUE(on.*row.flag) << row.button;
        }
        EXPECT_FALSE(off.*row.flag) << row.button;
    }
    // The letters of the last folder row visited, empty without one.
    EXPECT_STREQ(L"1111", ComputeListMenuState({plain, dir({})}, *folder, none).vrwd.GetString());
    EXPECT_STREQ(L"", ComputeListMenuState({plain}, *folder, none).vrwd.GetString());
}

TEST(ServerTreeButtonTable, EachButtonFollowsItsRuleForTheSelectedFolder)
{
    Pool pool;
    auto dir = [&pool](std::initializer_list<int> allowed, const char* type = "1", const char* idx = "100",
                       const char* parent = "50") { return pool.Rec("D", type, allowed, idx, parent); };
    ServerMenuFacts none;
    ServerMenuFacts target;
    target.downloadTarget = true;
    ServerMenuFacts clip;
    clip.clipboardHasItems = true;
    ServerMenuFacts zrvt;
    zrvt.customerCode = L"ZRVT_IN";
    ServerMenuFacts zrvtLower;
    zrvtLower.customerCode = L"zrvt_in";
    struct Case {
        const _PROTO_FOLDER_INFO* folder;
        ServerMenuFacts facts;
    };
    struct Row {
        const char* button;
        bool ServerMenuState::*flag;
        Case on, off;
    };
    const std::initializer_list<int> all = {VIEW, DOWNLOAD, COPY, PREVIEW, UPLOAD, NEW_DIR, NEW_FILE, DELETE_, DEL_COMP,
                                            OVERWRIT, RENAME, MOVE_CUT, FILELINK, SHARE, SEARCH, CONTENTS, NEW_GRP,
                                            SET_GRP, GRPSHARE, SENDFILE, APPROVAL, DOCVIEW, SEND_NET, SENDLOCK,
                                            SENDUNLO, MAIL_LINK, DR_EDIT, SHORTCUT, PC_DELETE, APPROVAL_OUT, APPROVAL_ENC};
    ServerMenuFacts everything;
    everything.downloadTarget = everything.clipboardHasItems = true;
    everything.customerCode = L"ZRVT_IN";
    const Row rows[] = {
        {"new folder: NEW_DIR", &ServerMenuState::newFolder, {dir({NEW_DIR}), none}, {dir({NEW_FILE}), none}},
        {"upload: always off (the splitter's flag carries UPLOAD)", &ServerMenuState::upload, {nullptr, none},
         {dir(all, "A"), everything}},
        {"download: DOWNLOAD and a download target", &ServerMenuState::download, {dir({DOWNLOAD}), target},
         {dir({DOWNLOAD}), none}},
        {"download: not the bin itself", &ServerMenuState::download, {dir({DOWNLOAD}, "6", "9", "8"), target},
         {dir({DOWNLOAD}, "6", "9", "0"), target}},
        {"share: SHARE", &ServerMenuState::share, {dir({SHARE}), none}, {dir({}), none}},
        {"delete: DELETE", &ServerMenuState::remove, {dir({DELETE_}), none}, {dir({}), none}},
        {"delete: DEL_COMP", &ServerMenuState::remove, {dir({DEL_COMP}), none}, {dir({DEL_COMP}, "6", "9", "0"), none}},
        {"delete: not the bin's top", &ServerMenuState::remove, {dir({DELETE_}, "6", "9", "8"), none},
         {dir({DELETE_}, "6", "9", "0"), none}},
        {"delete: not the special type D folder", &ServerMenuState::remove, {dir({DELETE_}, "D", "3"), none},
         {dir({DELETE_}, "D", "2"), none}},
        {"copy: COPY", &ServerMenuState::copy, {dir({COPY}), none}, {dir({MOVE_CUT}), none}},
        {"cut: MOVE_CUT", &ServerMenuState::cut, {dir({MOVE_CUT}), none}, {dir({COPY}), none}},
        {"paste: NEW_DIR or NEW_FILE with items on the clipboard", &ServerMenuState::paste, {dir({NEW_FILE}), clip},
         {dir({NEW_FILE}), none}},
        {"paste: only into a folder that takes items", &ServerMenuState::paste, {dir({NEW_DIR}), clip},
         {dir({COPY}), clip}},
        {"link: always off", &ServerMenuState::link, {nullptr, none}, {dir(all, "A"), everything}},
        {"approval after go-to: ZRVT_IN exactly and type A", &ServerMenuState::approvalAfterGoTo, {dir({}, "A"), zrvt},
         {dir({}, "A"), zrvtLower}},
        {"approval after go-to: only on a type A folder", &ServerMenuState::approvalAfterGoTo, {dir({}, "A"), zrvt},
         {dir({}, "1"), zrvt}},
        {"direct edit: always off", &ServerMenuState::directEdit, {nullptr, none}, {dir(all, "A"), everything}},
        {"approval: always off", &ServerMenuState::approval, {nullptr, none}, {dir(all, "A"), everything}},
    };
    for (const Row& row : rows) {
        if (row.on.folder) {
            EXPECT_TRUE(ComputeTreeMenuState(*row.on.folder, row.on.facts).*row.flag) << row.button;
        }
        EXPECT_FALSE(ComputeTreeMenuState(*row.off.folder, row.off.facts).*row.flag) << row.button;
    }
    EXPECT_STREQ(L"1111", ComputeTreeMenuState(*dir({}), none).vrwd.GetString());
}

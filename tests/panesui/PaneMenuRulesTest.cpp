// The context menus of the server tree and list without a window: which commands a folder, a
// selection and the session's options offer, in which groups, with which captions.
#include "ServerContextMenu.h"
#include "ServerGuestChoice.h"
#include "ToviString.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <string>

using namespace servermenu;

namespace {

template <size_t N> void Set(char (&member)[N], const char* value)
{
    std::memset(member, 0, N);
    std::memcpy(member, value, std::min(std::strlen(value), N - 1));
}

// A record of kind ("D" folder, "F" file) and folder type, whose listed permissions are '1' and
// every other one '0'.
_PROTO_FOLDER_INFO Rec(const char* kind, const char* type, std::initializer_list<int> allowed, const char* idx = "100",
                       const char* parent = "50")
{
    _PROTO_FOLDER_INFO r = {};
    Set(r.ItemType, kind);
    Set(r.Attr27, type);
    Set(r.IDX, idx);
    Set(r.Attr178, parent);
    std::string perms(31, '0');
    for (int p : allowed)
        perms[p] = '1';
    Set(r.Attr189, perms.c_str());
    return r;
}

std::string Show(const std::vector<int>& ids)
{
    std::string text;
    for (int id : ids)
        text += (id ? std::to_string(id) : std::string("|")) + " ";
    return text;
}

const std::initializer_list<int> kAll = {VIEW, DOWNLOAD, COPY, PREVIEW, UPLOAD, NEW_DIR, NEW_FILE, DELETE_, DEL_COMP,
                                         OVERWRIT, RENAME, MOVE_CUT, FILELINK, SHARE, SEARCH, CONTENTS, NEW_GRP,
                                         SET_GRP, GRPSHARE, SENDFILE, APPROVAL, DOCVIEW, SEND_NET, SENDLOCK, SENDUNLO,
                                         MAIL_LINK, DR_EDIT, SHORTCUT, PC_DELETE, APPROVAL_OUT, APPROVAL_ENC};

}

TEST(ServerTreeMenu, OffersWhatTheFolderTypeAndPermissionsAllow)
{
    struct Case {
        const char* what;
        _PROTO_FOLDER_INFO folder;
        TreeMenuFacts facts;
        std::vector<int> expected;
    };
    TreeMenuFacts below;
    below.downloadTarget = true;
    below.useShortcut = true;
    TreeMenuFacts top = below;
    top.topLevel = true;
    TreeMenuFacts withClipboard = below;
    withClipboard.clipboardHasItems = true;
    TreeMenuFacts guest = top;
    guest.guestLogin = true;
    TreeMenuFacts noTarget;
    _PROTO_FOLDER_INFO ownGuestFolder = Rec("D", "5", {}, "77");
    Set(ownGuestFolder.Attr179, "77");
    const Case cases[] = {
        {"an ordinary folder with every permission", Rec("D", "1", kAll), below,
         {101, 111, 0, 112, 113, 0, 115, 116, 117, 0, 127, 0, 120, 121, 0, 135, 136, 0, 122}},
        {"paste only with items on the clipboard", Rec("D", "1", {NEW_FILE}), withClipboard, {114, 0, 122}},
        {"no paste without a permission to add", Rec("D", "1", {COPY}), withClipboard, {113, 0, 122}},
        {"download only into a folder that takes files", Rec("D", "1", {DOWNLOAD, SEARCH}), noTarget, {121, 0, 122}},
        {"shortcut only with the session's option", Rec("D", "1", {SHORTCUT}), noTarget, {122}},
        {"no share entry on a type B folder", Rec("D", "B", {SHARE, NEW_DIR}), below, {101, 0, 122}},
        {"the group folder's three group entries", Rec("D", "3", {NEW_GRP, SET_GRP, GRPSHARE}), below,
         {102, 103, 104, 0, 122}},
        {"guests of a top-level guest folder", Rec("D", "5", {}), top, {118, 0, 122}},
        {"guests of the user's own guest folder below", ownGuestFolder, below, {119, 0, 122}},
        {"no guests for a guest log-in", Rec("D", "5", {}), guest, {122}},
        {"the recycle bin at the top level", Rec("D", "6", {DEL_COMP, SEARCH, CONTENTS, DOWNLOAD}), top,
         {109, 0, 121, 127, 0, 122}},
        {"an entry inside the recycle bin", Rec("D", "6", {DEL_COMP, DOWNLOAD}), below, {120, 0, 107, 108, 0, 122}},
        {"restore is always offered in the bin", Rec("D", "6", {}), below, {108, 0, 122}},
        {"the special type D folder", Rec("D", "D", {DEL_COMP, DOWNLOAD, SEARCH}, "2"), below,
         {109, 120, 0, 121, 0, 122}},
        {"another type D folder", Rec("D", "D", {DEL_COMP, DOWNLOAD}, "9"), noTarget, {120, 107, 108, 0, 122}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Show(c.expected), Show(Ids(TreeMenu(c.folder, c.facts)))) << c.what;
}

TEST(ServerListMenu, OffersWhatTheSelectionAndFolderAllow)
{
    _PROTO_FOLDER_INFO folder = Rec("D", "1", {NEW_DIR, NEW_FILE, SEARCH, CONTENTS, PREVIEW, SHARE, RENAME});
    _PROTO_FOLDER_INFO cutOnly = Rec("F", "1", {MOVE_CUT, RENAME, SHARE}, "201");
    _PROTO_FOLDER_INFO copyOnly = Rec("F", "1", {COPY, RENAME}, "202");
    _PROTO_FOLDER_INFO folderRow = Rec("D", "1", {NEW_DIR}, "203");
    _PROTO_FOLDER_INFO fileRow = Rec("F", "1", {NEW_DIR, NEW_FILE}, "204");
    _PROTO_FOLDER_INFO bin = Rec("D", "6", {DEL_COMP, SEARCH, CONTENTS}, "300", "0");
    _PROTO_FOLDER_INFO binEntry = Rec("D", "6", {DEL_COMP}, "301", "300");

    auto facts = [&](const _PROTO_FOLDER_INFO* menu, std::vector<const _PROTO_FOLDER_INFO*> selected) {
        ListMenuFacts f;
        f.current = &folder;
        f.menuRecord = menu;
        f.selected = selected;
        f.clipboardHasItems = true;
        f.shortcutOption = 'N';
        return f;
    };
    struct Case {
        const char* what;
        ListMenuFacts facts;
        std::vector<int> expected;
    };
    ListMenuFacts emptySpace = facts(&folder, {});
    ListMenuFacts two = facts(&copyOnly, {&cutOnly, &copyOnly});
    two.pointOnRow = true;
    two.pointRecord = &copyOnly;
    ListMenuFacts onFolderRow = facts(&folderRow, {&folderRow});
    onFolderRow.pointOnRow = true;
    onFolderRow.pointRecord = &folderRow;
    ListMenuFacts onFileRow = facts(&fileRow, {&fileRow});
    onFileRow.pointOnRow = true;
    onFileRow.pointRecord = &fileRow;
    ListMenuFacts onRowWithoutRecord = facts(&folder, {});
    onRowWithoutRecord.pointOnRow = true;
    ListMenuFacts binItself = facts(&bin, {});
    binItself.current = &bin;
    ListMenuFacts insideBin = facts(&binEntry, {});
    insideBin.current = &binEntry;
    ListMenuFacts binRow = facts(&binEntry, {&binEntry});
    binRow.current = &bin;
    const Case cases[] = {
        {"empty space: the folder's own entries and no properties", emptySpace, {101, 0, 114, 0, 127, 0, 121, 0, 125}},
        {"two rows: cut when one allows it, no rename or share", two, {112, 113, 0, 122}},
        {"paste onto a folder row that takes items", onFolderRow, {101, 0, 114, 0, 122}},
        {"no paste onto a file row", onFileRow, {101, 0, 122}},
        {"no paste onto a row without record", onRowWithoutRecord, {101, 0, 127, 0, 121, 0, 125}},
        {"the recycle bin itself", binItself, {109, 0, 121, 127}},
        {"inside the bin with nothing selected", insideBin, {}},
        {"one entry in the bin", binRow, {107, 108, 0, 122}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Show(c.expected), Show(Ids(ListMenu(c.facts)))) << c.what;
}

TEST(ServerListMenu, ServerCaptionsFollowTheLanguageAndMissingOnesFallBackToPlainApproval)
{
    _PROTO_FOLDER_INFO folder = Rec("D", "1", {});
    _PROTO_FOLDER_INFO file = Rec("F", "1", {SENDFILE, APPROVAL_OUT}, "9");
    _CONTEXT_MENU_ENTRY texts[5] = {};
    wcscpy(texts[4].Section, L"Y");
    wcscpy(texts[4].Token1, L"Send file");
    wcscpy(texts[4].Token2, L"파일 보내기");
    wcscpy(texts[4].Token3, L"ファイル送信");
    ListMenuFacts f;
    f.current = &folder;
    f.menuRecord = &file;
    f.selected = {&file};
    f.shortcutOption = 'N';
    f.serverTexts = texts;
    struct Row {
        unsigned short language;
        const wchar_t* sendFile;
    } rows[] = {{0x09, L"Send file"}, {0x12, L"파일 보내기"}, {0x11, L"ファイル送信"}};
    for (const Row& row : rows) {
        f.language = row.language;
        std::vector<MenuEntry> menu = ListMenu(f);
        auto send = std::find_if(menu.begin(), menu.end(), [](const MenuEntry& e) { return e.id == kSendFile; });
        ASSERT_NE(menu.end(), send) << row.language;
        EXPECT_EQ(CString(row.sendFile), send->caption) << row.language;
        // The approval-out caption was not sent: the plain approval stands in, under its own text.
        EXPECT_EQ(menu.end(), std::find_if(menu.begin(), menu.end(), [](const MenuEntry& e) { return e.id == kApprovalOut; }));
        auto approval = std::find_if(menu.begin(), menu.end(), [](const MenuEntry& e) { return e.id == kApproval; });
        ASSERT_NE(menu.end(), approval);
        EXPECT_EQ(CToviString::GetString(14213), approval->caption);
    }
}

TEST(ServerListMenu, SendFileEntryIsHiddenWhenAnySelectedRowDeniesIt)
{
    _PROTO_FOLDER_INFO folder = Rec("D", "1", {});
    _PROTO_FOLDER_INFO allowed = Rec("F", "1", {SENDFILE}, "1");
    _PROTO_FOLDER_INFO denied = Rec("F", "1", {}, "2");
    ListMenuFacts f;
    f.current = &folder;
    f.menuRecord = &allowed;
    f.shortcutOption = 'N';
    f.selected = {&allowed};
    std::vector<int> one = Ids(ListMenu(f));
    EXPECT_NE(one.end(), std::find(one.begin(), one.end(), kSendFile));
    f.selected = {&allowed, &denied};
    std::vector<int> both = Ids(ListMenu(f));
    EXPECT_EQ(both.end(), std::find(both.begin(), both.end(), kSendFile));
}

TEST(ServerGuestChoice, TheMultiGuestOptionAndTheCustomerChooseTheDialog)
{
    struct Case {
        char option;
        const wchar_t* customer;
        GuestDialogKind expected;
    } cases[] = {
        {'N', L"RQGROUP", GuestDialogKind::Single},
        {'Y', L"TESTSRV", GuestDialogKind::Multi},
        {'Y', L"RQGROUP", GuestDialogKind::MultiCustomer},
        {'Y', L"rqgroup", GuestDialogKind::MultiCustomer},
        {0, L"", GuestDialogKind::Single},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, ChooseGuestDialog(c.option, c.customer)) << c.option << " " << CStringA(c.customer).GetString();
}

TEST(ServerFileOpen, TheDoubleClickFollowsTheOptionsThenThePictureThenThePermissions)
{
    auto file = [](const wchar_t* name, std::initializer_list<int> allowed) {
        _PROTO_FOLDER_INFO r = Rec("F", "1", allowed);
        wcscpy(r.Name, name);
        return r;
    };
    // The options (no action, image viewer, direct edit) and the frame's picture list.
    auto facts = [](bool noAction, bool imageViewer, bool directEdit, const wchar_t* pictures = L"jpg;jpeg;png;gif;bmp") {
        FileOpenFacts f;
        f.noAction = noAction;
        f.imageViewer = imageViewer;
        f.directEdit = directEdit;
        f.imageExtensions = pictures;
        return f;
    };
    const FileOpenFacts plain = facts(false, false, false), off = facts(true, true, true),
                        viewer = facts(false, true, false), editing = facts(false, false, true),
                        noPictures = facts(false, true, false, L"");
    const struct {
        const char* what;
        _PROTO_FOLDER_INFO file;
        FileOpenFacts facts;
        FileOpen expected;
    } cases[] = {
        {"double-click actions off", file(L"plan.doc", {DOCVIEW, DOWNLOAD, DR_EDIT}), off, FileOpen::Nothing},
        {"a picture in the slide viewer", file(L"photo.JPG", {DOCVIEW}), viewer, FileOpen::SlideViewer},
        {"a picture downloaded without the viewer", file(L"photo.jpg", {DOCVIEW}), plain, FileOpen::Download},
        {"only the last extension counts", file(L"photo.jpg.gz", {DOCVIEW}), viewer, FileOpen::DocView},
        {"the extension's dots go", file(L"photo..png", {}), viewer, FileOpen::SlideViewer},
        {"a name ending in a dot has no extension", file(L"photo.", {}), viewer, FileOpen::Nothing},
        {"a name without extension", file(L"README", {DOWNLOAD}), viewer, FileOpen::Download},
        {"no picture list from the frame", file(L"photo.jpg", {DOCVIEW}), noPictures, FileOpen::DocView},
        {"direct edit when the server lets it", file(L"plan.doc", {DOCVIEW, DR_EDIT}), editing, FileOpen::DirectEdit},
        {"no direct edit without the option", file(L"plan.doc", {DOCVIEW, DR_EDIT}), plain, FileOpen::DocView},
        {"no direct edit without the permission", file(L"plan.doc", {DOWNLOAD}), editing, FileOpen::Download},
        {"the viewer before the download", file(L"plan.doc", {DOCVIEW, DOWNLOAD}), plain, FileOpen::DocView},
        {"none of the three", file(L"plan.doc", {VIEW, COPY}), editing, FileOpen::Nothing},
    };
    for (const auto& c : cases)
        EXPECT_EQ(static_cast<int>(c.expected), static_cast<int>(ChooseFileOpen(c.file, c.facts))) << c.what;
}

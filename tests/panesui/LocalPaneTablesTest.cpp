// The local panes' menu and command-bar tables row by row: the shell's context menu of the local
// tree and list as the panes trim and complete it for each kind of item, selection and clipboard,
// what each chosen entry runs, and which command-bar buttons each local selection enables.
#include "LocalMenuRules.h"
#include "LocalPaneRules.h"
#include "ToviString.h"
#include "ToviTextLanguage.h"
#include <gtest/gtest.h>
#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

// A popup as the shell fills it, written as its verbs in order: "|" is a separator, "~verb" an
// owner-drawn entry. Shell entries get the identifiers 1, 2, 3... as the shell gives them.
class ShellMenu {
public:
    explicit ShellMenu(const std::wstring& layout) : m_popup(::CreatePopupMenu())
    {
        std::wistringstream words(layout);
        std::wstring word;
        UINT id = kShellFirstCommand;
        while (words >> word) {
            if (word == L"|") {
                ::AppendMenuW(m_popup, MF_SEPARATOR, 0, nullptr);
            } else if (word[0] == L'~') {
                m_verbs[id] = word.substr(1);
                ::AppendMenuW(m_popup, MF_OWNERDRAW, id++, nullptr);
            } else {
                m_verbs[id] = word;
                ::AppendMenuW(m_popup, MF_STRING, id++, word.c_str());
            }
        }
    }
    ShellMenu(const ShellMenu&) = delete;
    ShellMenu& operator=(const ShellMenu&) = delete;
    ~ShellMenu() { ::DestroyMenu(m_popup); }
    HMENU Popup() const { return m_popup; }
    ShellVerbLookup Verbs() const
    {
        return [this](UINT id) {
            auto found = m_verbs.find(id);
            return found == m_verbs.end() ? CString() : CString(found->second.c_str());
        };
    }
    // The menu in the layout's words; our entries as "+upload", "+paste" and "+newfolder".
    std::wstring Layout() const
    {
        std::wstring text;
        for (int i = 0; i < ::GetMenuItemCount(m_popup); ++i) {
            MENUITEMINFOW info = {sizeof info};
            info.fMask = MIIM_FTYPE | MIIM_ID;
            ::GetMenuItemInfoW(m_popup, i, TRUE, &info);
            std::wstring word;
            if (info.fType & MFT_SEPARATOR)
                word = L"|";
            else if (info.wID == kLocalUploadCommand)
                word = L"+upload";
            else if (info.wID == kLocalPasteCommand)
                word = L"+paste";
            else if (info.wID == kLocalNewFolderCommand)
                word = L"+newfolder";
            else
                word = ((info.fType & MFT_OWNERDRAW) ? L"~" : L"") + m_verbs.at(info.wID);
            text += (text.empty() ? L"" : L" ") + word;
        }
        return text;
    }
    // The text of the entry with this identifier.
    std::wstring Text(UINT id) const
    {
        wchar_t text[128] = {};
        ::GetMenuStringW(m_popup, id, text, 128, MF_BYCOMMAND);
        return text;
    }

private:
    HMENU m_popup;
    std::map<UINT, std::wstring> m_verbs;
};

std::string Narrow(const std::wstring& text) { return std::string(CStringA(text.c_str()).GetString()); }

constexpr DWORD kFolder = SFGAO_FOLDER | SFGAO_CANCOPY | SFGAO_CANMOVE | SFGAO_CANDELETE | SFGAO_CANRENAME |
                          SFGAO_FILESYSTEM;
constexpr DWORD kFile = SFGAO_CANCOPY | SFGAO_CANMOVE | SFGAO_CANDELETE | SFGAO_CANRENAME | SFGAO_FILESYSTEM;

class LocalTables : public ::testing::Test {
protected:
    void SetUp() override { CToviTextLanguage::SetThreadLanguage(LANG_KOREAN); }
    void TearDown() override { CToviTextLanguage::SetThreadLanguage(0); }
};

}

// A folder's shell menu in the tree: the Recycle Bin loses "link"; upload goes at the end for a
// folder with a path that is not a drive root, while the server side takes uploads and the shell
// offers "copy"; our paste goes right after "copy" for a writable folder while the clipboard holds
// something and the shell offers no paste; owner-drawn entries, doubled and leading separators go.
TEST_F(LocalTables, TheTreesMenuFollowsItsRowForEachItemAndClipboard)
{
    const std::wstring folderMenu = L"open explore | cut copy | link delete rename | properties";
    struct Row {
        const char* condition;
        std::wstring shell;
        DWORD attributes;
        const wchar_t* path;
        bool recycleBin, uploadAllowed, clipboard;
        std::wstring expected;
    };
    const Row rows[] = {
        {"a plain folder: the shell's entries as they are", folderMenu, kFolder, L"C:\\Docs\\Sub", false, false, false,
         folderMenu},
        {"uploads allowed: upload at the end", folderMenu, kFolder, L"C:\\Docs\\Sub", false, true, false,
         folderMenu + L" | +upload"},
        {"no upload for an item without a path", folderMenu, kFolder, L"", false, true, false, folderMenu},
        {"no upload for a drive root", folderMenu, kFolder, L"C:\\", false, true, false, folderMenu},
        {"no upload when the shell offers no copy", L"open | delete | properties", kFolder, L"C:\\Docs\\Sub", false,
         true, false, L"open | delete | properties"},
        {"something to paste: our paste right after copy", folderMenu, kFolder, L"C:\\Docs\\Sub", false, false, true,
         L"open explore | cut copy +paste | link delete rename | properties"},
        {"no paste into a read-only folder", folderMenu, kFolder | SFGAO_READONLY, L"C:\\Docs\\Sub", false, false,
         true, folderMenu},
        {"no paste into what is not a folder", folderMenu, kFile, L"C:\\Docs\\a.zip", false, false, true, folderMenu},
        {"no paste of ours when the shell has one", L"open | cut copy paste | properties", kFolder, L"C:\\Docs\\Sub",
         false, false, true, L"open | cut copy paste | properties"},
        {"upload and paste together", folderMenu, kFolder, L"C:\\Docs\\Sub", false, true, true,
         L"open explore | cut copy +paste | link delete rename | properties | +upload"},
        {"the Recycle Bin loses link", L"open | empty | link | properties", kFolder, L"", true, true, true,
         L"open | empty | properties +paste"},
        {"link stays elsewhere", L"open | empty | link | properties", kFolder, L"", false, false, false,
         L"open | empty | link | properties"},
        {"owner-drawn entries and stray separators go", L"| ~sendto open | | cut copy | ~new properties", kFolder,
         L"C:\\Docs\\Sub", false, false, false, L"open | cut copy | properties"},
    };
    for (const Row& row : rows) {
        ShellMenu menu(row.shell);
        LocalTreeMenuFacts facts;
        facts.attributes = row.attributes;
        facts.path = row.path;
        facts.recycleBin = row.recycleBin;
        facts.uploadAllowed = row.uploadAllowed;
        facts.clipboardHasPasteData = row.clipboard;
        CompleteLocalTreeMenu(menu.Popup(), menu.Verbs(), facts);
        EXPECT_EQ(Narrow(row.expected), Narrow(menu.Layout())) << row.condition;
    }

    // Our entries' captions: the paste entry carries its access key in the tree.
    ShellMenu menu(folderMenu);
    LocalTreeMenuFacts facts;
    facts.attributes = kFolder;
    facts.path = L"C:\\Docs\\Sub";
    facts.uploadAllowed = facts.clipboardHasPasteData = true;
    CompleteLocalTreeMenu(menu.Popup(), menu.Verbs(), facts);
    EXPECT_EQ(std::wstring(CToviString::GetString(14046)), menu.Text(kLocalUploadCommand));
    EXPECT_EQ(std::wstring(CToviString::GetString(14052)) + L"(&P)", menu.Text(kLocalPasteCommand));
}

// The list's menu: on empty space only properties, paste and empty stay, with new folder and a
// separator on top for a writable folder; on rows the Recycle Bin loses cut and upload follows copy
// while the server side takes uploads; with something to paste into a writable folder our paste
// goes before properties, except in the Recycle Bin, where the shell's paste goes with the entry
// before it; owner-drawn entries go.
TEST_F(LocalTables, TheListsMenuFollowsItsRowForEachSelectionAndClipboard)
{
    const std::wstring folderMenu = L"open explore | cut copy paste | link delete rename | properties";
    const std::wstring rowsMenu = L"open | cut copy | delete rename | properties";
    const std::wstring binRowsMenu = L"undelete | cut | paste | delete | properties";
    struct Row {
        const char* condition;
        std::wstring shell;
        bool onRows, recycleBin;
        DWORD folderAttributes;
        const wchar_t* folderPath;
        bool uploadAllowed, clipboard;
        std::wstring expected;
        bool newFolder;
    };
    const Row rows[] = {
        {"empty space of a writable folder: new folder on top, then what stays", folderMenu, false, false, kFolder,
         L"C:\\Docs", false, false, L"+newfolder | paste properties", true},
        {"empty space of a read-only folder: no new folder", folderMenu, false, false, kFolder | SFGAO_READONLY,
         L"C:\\Docs", false, false, L"paste properties", false},
        {"empty space of a folder without a path: no new folder", folderMenu, false, false, kFolder, L"", false, false,
         L"paste properties", false},
        {"empty space of the Recycle Bin keeps empty", L"open | empty | link | properties", false, true, kFolder, L"",
         false, false, L"empty properties", false},
        {"empty space, something to paste and no shell paste: our paste before properties", L"open explore | properties",
         false, false, kFolder, L"C:\\Docs", false, true, L"+newfolder | +paste properties", true},
        {"empty space offers no upload", folderMenu, false, false, kFolder, L"C:\\Docs", true, false,
         L"+newfolder | paste properties", true},
        {"rows: the shell's entries as they are", rowsMenu, true, false, kFolder, L"C:\\Docs", false, false, rowsMenu,
         false},
        {"rows, uploads allowed: a separator and upload after copy", rowsMenu, true, false, kFolder, L"C:\\Docs", true,
         false, L"open | cut copy | +upload | delete rename | properties", false},
        {"rows, no upload when the shell offers no copy", L"open | delete | properties", true, false, kFolder,
         L"C:\\Docs", true, false, L"open | delete | properties", false},
        {"rows in the Recycle Bin lose cut", binRowsMenu, true, true, kFolder, L"", false, false,
         L"undelete | paste | delete | properties", false},
        {"rows in the Recycle Bin with something to paste lose the shell's paste and the entry before it",
         binRowsMenu, true, true, kFolder, L"", false, true, L"undelete | delete | properties", false},
        {"rows, something to paste into a writable folder: our paste before properties", rowsMenu, true, false,
         kFolder, L"C:\\Docs", false, true, L"open | cut copy | delete rename | +paste properties", false},
        {"rows, no paste of ours when the shell has one", L"open | cut copy paste | properties", true, false, kFolder,
         L"C:\\Docs", false, true, L"open | cut copy paste | properties", false},
        {"rows, no paste into a read-only folder", rowsMenu, true, false, kFolder | SFGAO_READONLY, L"C:\\Docs", false,
         true, rowsMenu, false},
        {"rows, owner-drawn entries go", L"open | ~sendto cut copy | properties ~new", true, false, kFolder,
         L"C:\\Docs", false, false, L"open | cut copy | properties", false},
    };
    for (const Row& row : rows) {
        ShellMenu menu(row.shell);
        LocalListMenuFacts facts;
        facts.onRows = row.onRows;
        facts.recycleBin = row.recycleBin;
        facts.folderAttributes = row.folderAttributes;
        facts.folderPath = row.folderPath;
        facts.uploadAllowed = row.uploadAllowed;
        facts.clipboardHasPasteData = row.clipboard;
        const bool newFolder = CompleteLocalListMenu(menu.Popup(), menu.Verbs(), facts);
        EXPECT_EQ(Narrow(row.expected), Narrow(menu.Layout())) << row.condition;
        EXPECT_EQ(row.newFolder, newFolder) << row.condition;
    }

    // Our entries' captions; the list's paste has no access key.
    ShellMenu background(L"open | properties");
    LocalListMenuFacts facts;
    facts.folderAttributes = kFolder;
    facts.folderPath = L"C:\\Docs";
    facts.clipboardHasPasteData = true;
    CompleteLocalListMenu(background.Popup(), background.Verbs(), facts);
    EXPECT_EQ(std::wstring(CToviString::GetString(14004)), background.Text(kLocalNewFolderCommand));
    EXPECT_EQ(std::wstring(CToviString::GetString(14052)), background.Text(kLocalPasteCommand));
    ShellMenu onRows(rowsMenu);
    facts.onRows = facts.uploadAllowed = true;
    CompleteLocalListMenu(onRows.Popup(), onRows.Verbs(), facts);
    EXPECT_EQ(std::wstring(CToviString::GetString(14046)), onRows.Text(kLocalUploadCommand));
}

// What a chosen entry runs: our entries by their identifiers, the shell's by their verbs; every
// other shell entry is left to the shell.
TEST_F(LocalTables, AChosenEntryRunsThePanesCommandOrTheShells)
{
    using A = LocalMenuAction;
    struct TreeRow {
        UINT chosen;
        const wchar_t* verb;
        A expected;
    };
    const TreeRow treeRows[] = {
        {0, L"", A::None},
        {kLocalUploadCommand, L"", A::Upload},
        {kLocalPasteCommand, L"", A::Paste},
        {kLocalNewFolderCommand, L"", A::None},
        {5, L"cut", A::Cut},
        {5, L"Copy", A::Copy},
        {5, L"rename", A::Rename},
        {5, L"delete", A::Delete},
        {5, L"paste", A::Paste},
        {5, L"link", A::Shell},
        {5, L"empty", A::Shell},
        {5, L"properties", A::Shell},
        {5, L"", A::Shell},
    };
    for (const TreeRow& row : treeRows)
        EXPECT_EQ(static_cast<int>(row.expected), static_cast<int>(LocalTreeMenuAction(row.chosen, row.verb)))
            << "tree: " << std::hex << row.chosen << " " << Narrow(row.verb);

    struct ListRow {
        UINT chosen;
        const wchar_t* verb;
        bool recycleBin, onRows;
        int selected;
        A expected;
    };
    const ListRow listRows[] = {
        {0, L"", false, true, 1, A::None},
        {kLocalNewFolderCommand, L"", false, false, 0, A::NewFolder},
        {kLocalUploadCommand, L"", false, true, 2, A::Upload},
        {kLocalPasteCommand, L"", false, false, 0, A::Paste},
        {7, L"undelete", true, true, 2, A::Restore},
        {7, L"undelete", true, false, 0, A::Shell},
        {7, L"undelete", false, true, 1, A::Shell},
        {7, L"rename", false, true, 1, A::Rename},
        {7, L"rename", false, true, 2, A::Shell},
        {7, L"cut", false, true, 3, A::Cut},
        {7, L"copy", false, true, 3, A::Copy},
        {7, L"delete", true, true, 1, A::Delete},
        {7, L"paste", false, false, 0, A::Paste},
        {7, L"empty", true, false, 0, A::Shell},
        {7, L"properties", false, true, 1, A::Shell},
    };
    for (const ListRow& row : listRows)
        EXPECT_EQ(static_cast<int>(row.expected),
                  static_cast<int>(LocalListMenuAction(row.chosen, row.verb, row.recycleBin, row.onRows, row.selected)))
            << "list: " << std::hex << row.chosen << " " << Narrow(row.verb) << " bin " << row.recycleBin << " rows "
            << row.onRows << " selected " << row.selected;
}

namespace {

LocalItemFacts Item(DWORD attributes, const wchar_t* path)
{
    LocalItemFacts item;
    item.attributes = attributes;
    item.path = path;
    return item;
}

// The buttons the local panes never enable.
const std::pair<const char*, bool ServerMenuState::*> kAlwaysOff[] = {
    {"download", &ServerMenuState::download},     {"share", &ServerMenuState::share},
    {"link", &ServerMenuState::link},             {"batch approval", &ServerMenuState::approvalAfterGoTo},
    {"direct edit", &ServerMenuState::directEdit}, {"approval", &ServerMenuState::approval},
};

}

// The tree's folder: new folder and paste (with something to paste) for a writable folder, upload
// for a folder with a path that is no drive root and can be copied while the server side takes
// uploads, delete, copy and cut by the shell's attributes; nothing of the server's.
TEST_F(LocalTables, TheTreesFolderEnablesTheButtonsOfItsRow)
{
    struct Case {
        LocalItemFacts folder;
        bool uploadAllowed, clipboard;
    };
    struct Row {
        const char* button;
        bool ServerMenuState::*flag;
        Case on, off;
    };
    const LocalItemFacts docs = Item(kFolder, L"C:\\Docs");
    const Row rows[] = {
        {"new folder: a path and not read-only", &ServerMenuState::newFolder, {docs, false, false},
         {Item(kFolder | SFGAO_READONLY, L"C:\\Docs"), false, false}},
        {"new folder: not without a path", &ServerMenuState::newFolder, {docs, false, false},
         {Item(kFolder, L""), false, false}},
        {"upload: while the server side takes uploads", &ServerMenuState::upload, {docs, true, false},
         {docs, false, false}},
        {"upload: not for a drive root", &ServerMenuState::upload, {docs, true, false},
         {Item(kFolder, L"C:\\"), true, false}},
        {"upload: not without a path", &ServerMenuState::upload, {docs, true, false}, {Item(kFolder, L""), true, false}},
        {"upload: only what can be copied", &ServerMenuState::upload, {docs, true, false},
         {Item(kFolder & ~SFGAO_CANCOPY, L"C:\\Docs"), true, false}},
        {"delete: the shell may delete it", &ServerMenuState::remove, {Item(SFGAO_CANDELETE, L""), false, false},
         {Item(kFolder & ~SFGAO_CANDELETE, L"C:\\Docs"), false, false}},
        {"copy: the shell may copy it", &ServerMenuState::copy, {Item(SFGAO_CANCOPY, L""), false, false},
         {Item(kFolder & ~SFGAO_CANCOPY, L"C:\\Docs"), false, false}},
        {"cut: the shell may move it", &ServerMenuState::cut, {Item(SFGAO_CANMOVE, L""), false, false},
         {Item(kFolder & ~SFGAO_CANMOVE, L"C:\\Docs"), false, false}},
        {"paste: a writable folder and something to paste", &ServerMenuState::paste, {docs, false, true},
         {docs, false, false}},
        {"paste: not into a read-only folder", &ServerMenuState::paste, {docs, false, true},
         {Item(kFolder | SFGAO_READONLY, L"C:\\Docs"), false, true}},
    };
    for (const Row& row : rows) {
        EXPECT_TRUE(LocalTreeButtons(row.on.folder, row.on.uploadAllowed, row.on.clipboard).*row.flag) << row.button;
        EXPECT_FALSE(LocalTreeButtons(row.off.folder, row.off.uploadAllowed, row.off.clipboard).*row.flag)
            << row.button;
    }
    const ServerMenuState everything = LocalTreeButtons(Item(0xFFFFFFFF & ~SFGAO_READONLY, L"C:\\Docs"), true, true);
    for (const auto& off : kAlwaysOff)
        EXPECT_FALSE(everything.*off.second) << off.first << " is the server side's";
    EXPECT_TRUE(everything.newFolder && everything.upload && everything.remove && everything.copy && everything.cut &&
                everything.paste);
    EXPECT_STREQ(L"", everything.vrwd.GetString()) << "the local side shows no permission icons";
    // Downloads land in the same folders that take new folders.
    EXPECT_TRUE(IsWritableLocalFolder(docs));
    EXPECT_FALSE(IsWritableLocalFolder(Item(kFolder | SFGAO_READONLY, L"C:\\Docs")));
    EXPECT_FALSE(IsWritableLocalFolder(Item(kFolder, L"")));
}

// The list: without a selection the shown folder decides new folder and paste; with rows each row
// adds what it allows (new folder and cut not in the Recycle Bin, upload while the server side
// takes uploads) and paste follows new folder.
TEST_F(LocalTables, TheListsSelectionEnablesTheButtonsOfItsRow)
{
    const LocalItemFacts docs = Item(kFolder, L"C:\\Docs");
    const LocalItemFacts readOnlyDocs = Item(kFolder | SFGAO_READONLY, L"C:\\Docs");
    const LocalItemFacts file = Item(kFile, L"C:\\Docs\\a.txt");
    const LocalItemFacts readOnlyFile = Item(kFile | SFGAO_READONLY, L"C:\\Docs\\r.txt");
    const LocalItemFacts bare = Item(0, L"");
    struct Case {
        LocalItemFacts folder;
        bool recycleBin;
        std::vector<LocalItemFacts> rows;
        bool uploadAllowed, clipboard;
    };
    struct Row {
        const char* button;
        bool ServerMenuState::*flag;
        Case on, off;
    };
    const Row rows[] = {
        {"new folder, nothing selected: the shown folder is writable", &ServerMenuState::newFolder,
         {docs, false, {}, false, false}, {readOnlyDocs, false, {}, false, false}},
        {"new folder, nothing selected: not without a path", &ServerMenuState::newFolder,
         {docs, false, {}, false, false}, {Item(kFolder, L""), false, {}, false, false}},
        {"paste, nothing selected: the writable folder and something to paste", &ServerMenuState::paste,
         {docs, false, {}, false, true}, {readOnlyDocs, false, {}, false, true}},
        {"paste, nothing selected: only with something to paste", &ServerMenuState::paste,
         {docs, false, {}, false, true}, {docs, false, {}, false, false}},
        {"copy, nothing selected: off", &ServerMenuState::copy, {docs, false, {file}, false, false},
         {docs, false, {}, true, true}},
        {"delete, nothing selected: off", &ServerMenuState::remove, {docs, false, {file}, false, false},
         {docs, false, {}, true, true}},
        {"cut, nothing selected: off", &ServerMenuState::cut, {docs, false, {file}, false, false},
         {docs, false, {}, true, true}},
        {"upload, nothing selected: off", &ServerMenuState::upload, {docs, false, {file}, true, false},
         {docs, false, {}, true, true}},
        {"new folder: a selected row with a path, not read-only", &ServerMenuState::newFolder,
         {readOnlyDocs, false, {readOnlyFile, file}, false, false},
         {docs, false, {readOnlyFile, bare}, false, false}},
        {"new folder: not in the Recycle Bin", &ServerMenuState::newFolder, {docs, false, {file}, false, false},
         {docs, true, {file}, false, false}},
        {"paste: follows the rows' new folder, not the shown folder", &ServerMenuState::paste,
         {readOnlyDocs, false, {file}, false, true}, {docs, false, {readOnlyFile}, false, true}},
        {"paste: only with something to paste", &ServerMenuState::paste, {docs, false, {file}, false, true},
         {docs, false, {file}, false, false}},
        {"copy: any row the shell may copy", &ServerMenuState::copy,
         {docs, false, {bare, Item(SFGAO_CANCOPY, L"")}, false, false},
         {docs, false, {Item(kFile & ~SFGAO_CANCOPY, L"C:\\x")}, false, false}},
        {"delete: any row the shell may delete", &ServerMenuState::remove,
         {docs, true, {bare, Item(SFGAO_CANDELETE, L"")}, false, false},
         {docs, false, {Item(kFile & ~SFGAO_CANDELETE, L"C:\\x")}, false, false}},
        {"cut: any row the shell may move", &ServerMenuState::cut,
         {docs, false, {bare, Item(SFGAO_CANMOVE, L"")}, false, false},
         {docs, false, {Item(kFile & ~SFGAO_CANMOVE, L"C:\\x")}, false, false}},
        {"cut: not in the Recycle Bin", &ServerMenuState::cut, {docs, false, {file}, false, false},
         {docs, true, {file}, false, false}},
        {"upload: a row with a path that can be copied, while the server side takes uploads",
         &ServerMenuState::upload, {docs, false, {bare, file}, true, false}, {docs, false, {file}, false, false}},
        {"upload: not a drive root", &ServerMenuState::upload, {docs, false, {file}, true, false},
         {docs, false, {Item(kFolder, L"D:\\")}, true, false}},
        {"upload: not what cannot be copied", &ServerMenuState::upload, {docs, false, {file}, true, false},
         {docs, false, {Item(kFile & ~SFGAO_CANCOPY, L"C:\\x")}, true, false}},
        {"upload: not without a path", &ServerMenuState::upload, {docs, false, {file}, true, false},
         {docs, false, {Item(kFile, L"")}, true, false}},
    };
    auto state = [](const Case& c) {
        return LocalListButtons(c.folder, c.recycleBin, c.rows, c.uploadAllowed, c.clipboard);
    };
    for (const Row& row : rows) {
        EXPECT_TRUE(state(row.on).*row.flag) << row.button;
        EXPECT_FALSE(state(row.off).*row.flag) << row.button;
    }
    const LocalItemFacts everything = Item(0xFFFFFFFF & ~SFGAO_READONLY, L"C:\\Docs\\all");
    for (const Case& c : {Case{docs, false, {}, true, true}, Case{docs, false, {everything, file}, true, true}}) {
        const ServerMenuState s = state(c);
        for (const auto& off : kAlwaysOff)
            EXPECT_FALSE(s.*off.second) << off.first << " is the server side's";
        EXPECT_STREQ(L"", s.vrwd.GetString());
    }
}

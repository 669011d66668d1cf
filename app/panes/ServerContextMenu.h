// Which commands the server tree's and the server list's context menus offer, from the item's
// permissions, the folder's type, the selection, the clipboard and the session's options, and
// what a double-click on a file row does. Pure decisions: the controls gather the facts, these
// functions choose, the controls show the menu or run the choice.
#pragma once
#include "ProtoRecords.h"
#include "Strings.h"
#include <vector>

namespace servermenu {

// The menu's command ids; the controls dispatch on them.
enum Command {
    kSeparator = 0,
    kNewFolder = 101,
    kNewGroup = 102,
    kGroupSettings = 103,
    kGroupShare = 104,
    kBinDelete = 107,
    kBinRestore = 108,
    kBinEmpty = 109,
    kVersions = 110,
    kShare = 111,
    kCut = 112,
    kCopy = 113,
    kPaste = 114,
    kDelete = 115,
    kDeleteForGood = 116,
    kRename = 117,
    kGuestsOfFolder = 118,
    kGuestsOfRow = 119,
    kDownload = 120,
    kSearch = 121,
    kProperties = 122,
    kLink = 123,
    kMailLink = 124,
    kThumbnails = 125,
    kContentSearch = 127,
    kSendFile = 128,
    kApproval = 129,
    kDocView = 130,
    kSendNet = 131,
    kWebLink = 132,
    kSendOn = 133,
    kSendOff = 134,
    kShortcut = 135,
    kPcDelete = 136,
    kApprovalOut = 137,
    kApprovalEnc = 138,
};

// Positions in a record's permission text.
enum Permission {
    VIEW, DOWNLOAD, COPY, PREVIEW, UPLOAD, NEW_DIR, NEW_FILE, DELETE_, DEL_COMP, OVERWRIT, RENAME, MOVE_CUT,
    FILELINK, SHARE, SEARCH, CONTENTS, NEW_GRP, SET_GRP, GRPSHARE, SENDFILE, APPROVAL, DOCVIEW, SEND_NET,
    SENDLOCK, SENDUNLO, MAIL_LINK, DR_EDIT, SHORTCUT, PC_DELETE, APPROVAL_OUT, APPROVAL_ENC
};

// The flag is '1' / the flag is '0' (a missing flag is neither).
bool Allows(const _PROTO_FOLDER_INFO& r, int permission);
bool Denies(const _PROTO_FOLDER_INFO& r, int permission);

// One entry: a command and its caption (a separator has id 0 and no caption).
struct MenuEntry {
    int id = kSeparator;
    CString caption;
};

// What the tree's menu depends on beyond the clicked folder's record.
struct TreeMenuFacts {
    bool topLevel = false;            // the folder has no parent item
    bool guestLogin = false;          // the session logged in as a guest
    bool downloadTarget = false;      // the local tree's folder can take files
    bool clipboardHasItems = false;   // "VARIRUDAD" or CF_HDROP on the clipboard
    bool useShortcut = false;         // the session's shortcut option is "Y"
};

std::vector<MenuEntry> TreeMenu(const _PROTO_FOLDER_INFO& folder, const TreeMenuFacts& facts);

// What the list's menu depends on. menuRecord is the record the menu is about (the single row,
// the last selected row, or the shown folder when nothing is selected); current is the shown
// folder; pointRecord the row under the click (null on empty space or a row without record).
struct ListMenuFacts {
    const _PROTO_FOLDER_INFO* menuRecord = nullptr;
    const _PROTO_FOLDER_INFO* current = nullptr;
    std::vector<const _PROTO_FOLDER_INFO*> selected;
    bool pointOnRow = false;
    const _PROTO_FOLDER_INFO* pointRecord = nullptr;
    bool guestLogin = false;
    bool downloadTarget = false;
    bool clipboardHasItems = false;
    bool fileLockOption = false;      // the server's file-lock option 'Y'
    bool privacyModel = false;        // the server's privacy-model option 'Y'
    char shortcutOption = 'Y';        // 'N' hides the shortcut entry
    CString customerCode;
    // The server's captions: approval, approval out, approval enc, network send, send file
    // (null: none sent, the built-in texts and the traces stand in).
    const _CONTEXT_MENU_ENTRY* serverTexts = nullptr;
    unsigned short language = 0x12;
};

std::vector<MenuEntry> ListMenu(const ListMenuFacts& facts);

// What a double-click on a file row does.
enum class FileOpen { Nothing, SlideViewer, Download, DirectEdit, DocView };

struct FileOpenFacts {
    bool noAction = false;       // the server turned double-click actions off
    bool imageViewer = false;    // pictures open in the slide viewer instead of downloading
    bool directEdit = false;     // the server lets a double-click start direct editing
    CString imageExtensions;     // the frame's list, lower case, searched as plain text
};

FileOpen ChooseFileOpen(const _PROTO_FOLDER_INFO& file, const FileOpenFacts& facts);
// The name's extension (without its dots, lower case) occurs in the extension list; a name
// without one never does.
bool IsImageName(const wchar_t* name, const CString& imageExtensions);

// The ids alone, separators as 0 (what tests and traces compare).
std::vector<int> Ids(const std::vector<MenuEntry>& entries);

// Appends the entries to an empty pop-up menu.
void FillPopup(HMENU menu, const std::vector<MenuEntry>& entries);

}

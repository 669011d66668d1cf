// The local panes' menus and buttons, decided without a window.
#include "LocalMenuRules.h"
#include "LocalPaneRules.h"
#include "LocalShell.h"
#include "ToviString.h"
#include <shlobj.h>

namespace {

bool IsVerb(const CString& verb, const wchar_t* wanted) { return verb.CompareNoCase(wanted) == 0; }

bool IsDriveRoot(const CString& path) { return path.GetLength() == 3; }

}

int FindVerbPosition(HMENU popup, const ShellVerbLookup& verbOf, const wchar_t* verb)
{
    const int count = ::GetMenuItemCount(popup);
    for (int i = 0; i < count; ++i) {
        const UINT id = ::GetMenuItemID(popup, i);
        if (id == static_cast<UINT>(-1) || id == 0)
            continue;
        if (IsVerb(verbOf(id), verb))
            return i;
    }
    return -1;
}

void CompleteLocalTreeMenu(HMENU popup, const ShellVerbLookup& verbOf, const LocalTreeMenuFacts& facts)
{
    if (facts.recycleBin) {
        const int link = FindVerbPosition(popup, verbOf, L"link");
        if (link >= 0)
            ::DeleteMenu(popup, link, MF_BYPOSITION);
    }
    if (!facts.path.IsEmpty() && !IsDriveRoot(facts.path) && facts.uploadAllowed &&
        FindVerbPosition(popup, verbOf, L"copy") >= 0) {
        ::AppendMenuW(popup, MF_SEPARATOR, 0, nullptr);
        ::AppendMenuW(popup, MF_STRING, kLocalUploadCommand, CToviString::GetString(14046));
    }
    const bool writableFolder = (facts.attributes & SFGAO_FOLDER) && !(facts.attributes & SFGAO_READONLY);
    if (writableFolder && facts.clipboardHasPasteData && FindVerbPosition(popup, verbOf, L"paste") < 0) {
        const int copy = FindVerbPosition(popup, verbOf, L"copy");
        const CString text = CToviString::GetString(14052) + L"(&P)";
        ::InsertMenuW(popup, copy >= 0 ? copy + 1 : ::GetMenuItemCount(popup), MF_BYPOSITION | MF_STRING,
                      kLocalPasteCommand, text);
    }
    TidyShellMenu(popup);
}

bool CompleteLocalListMenu(HMENU popup, const ShellVerbLookup& verbOf, const LocalListMenuFacts& facts)
{
    bool newFolder = false;
    if (!facts.onRows) {
        for (int i = ::GetMenuItemCount(popup) - 1; i >= 0; --i) {
            const UINT id = ::GetMenuItemID(popup, i);
            const CString verb = id == 0 || id == static_cast<UINT>(-1) ? CString() : verbOf(id);
            if (!IsVerb(verb, L"properties") && !IsVerb(verb, L"paste") && !IsVerb(verb, L"empty"))
                ::DeleteMenu(popup, i, MF_BYPOSITION);
        }
        if (!facts.folderPath.IsEmpty() && !(facts.folderAttributes & SFGAO_READONLY)) {
            newFolder = true;
            ::InsertMenuW(popup, 0, MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);
            ::InsertMenuW(popup, 0, MF_BYPOSITION | MF_STRING, kLocalNewFolderCommand, CToviString::GetString(14004));
        }
    } else {
        if (facts.recycleBin) {
            const int cut = FindVerbPosition(popup, verbOf, L"cut");
            if (cut >= 0)
                ::DeleteMenu(popup, cut, MF_BYPOSITION);
        }
        const int copy = FindVerbPosition(popup, verbOf, L"copy");
        if (copy >= 0 && facts.uploadAllowed) {
            ::InsertMenuW(popup, copy + 1, MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);
            ::InsertMenuW(popup, copy + 2, MF_BYPOSITION | MF_STRING, kLocalUploadCommand, CToviString::GetString(14046));
        }
    }
    if ((facts.folderAttributes & SFGAO_FOLDER) && !(facts.folderAttributes & SFGAO_READONLY) &&
        facts.clipboardHasPasteData) {
        const int paste = FindVerbPosition(popup, verbOf, L"paste");
        if (!facts.recycleBin && paste < 0) {
            const int properties = FindVerbPosition(popup, verbOf, L"properties");
            ::InsertMenuW(popup, properties >= 0 ? properties : ::GetMenuItemCount(popup), MF_BYPOSITION | MF_STRING,
                          kLocalPasteCommand, CToviString::GetString(14052));
        } else if (facts.recycleBin && paste >= 0) {
            ::DeleteMenu(popup, paste, MF_BYPOSITION);
            if (paste > 0)
                ::DeleteMenu(popup, paste - 1, MF_BYPOSITION);
        }
    }
    TidyShellMenu(popup);
    return newFolder;
}

LocalMenuAction LocalTreeMenuAction(UINT chosen, const CString& verb)
{
    switch (ClassifyLocalMenuCommand(chosen)) {
    case LocalMenuChoice::Upload:
        return LocalMenuAction::Upload;
    case LocalMenuChoice::Paste:
        return LocalMenuAction::Paste;
    case LocalMenuChoice::Shell:
        break;
    default:
        return LocalMenuAction::None;
    }
    if (IsVerb(verb, L"cut"))
        return LocalMenuAction::Cut;
    if (IsVerb(verb, L"copy"))
        return LocalMenuAction::Copy;
    if (IsVerb(verb, L"rename"))
        return LocalMenuAction::Rename;
    if (IsVerb(verb, L"delete"))
        return LocalMenuAction::Delete;
    if (IsVerb(verb, L"paste"))
        return LocalMenuAction::Paste;
    return LocalMenuAction::Shell;
}

LocalMenuAction LocalListMenuAction(UINT chosen, const CString& verb, bool recycleBin, bool onRows, int selectedRows)
{
    switch (ClassifyLocalMenuCommand(chosen)) {
    case LocalMenuChoice::NewFolder:
        return LocalMenuAction::NewFolder;
    case LocalMenuChoice::Upload:
        return LocalMenuAction::Upload;
    case LocalMenuChoice::Paste:
        return LocalMenuAction::Paste;
    case LocalMenuChoice::Shell:
        break;
    default:
        return LocalMenuAction::None;
    }
    if (recycleBin && onRows && IsVerb(verb, L"undelete"))
        return LocalMenuAction::Restore;
    if (IsVerb(verb, L"rename") && selectedRows == 1)
        return LocalMenuAction::Rename;
    if (IsVerb(verb, L"cut"))
        return LocalMenuAction::Cut;
    if (IsVerb(verb, L"copy"))
        return LocalMenuAction::Copy;
    if (IsVerb(verb, L"delete"))
        return LocalMenuAction::Delete;
    if (IsVerb(verb, L"paste"))
        return LocalMenuAction::Paste;
    return LocalMenuAction::Shell;
}

bool IsWritableLocalFolder(const LocalItemFacts& folder)
{
    return !folder.path.IsEmpty() && !(folder.attributes & SFGAO_READONLY);
}

ServerMenuState LocalTreeButtons(const LocalItemFacts& folder, bool uploadAllowed, bool clipboardHasPasteData)
{
    ServerMenuState state;
    const bool writable = IsWritableLocalFolder(folder);
    state.newFolder = writable;
    state.upload = !folder.path.IsEmpty() && (folder.attributes & SFGAO_CANCOPY) && !IsDriveRoot(folder.path) &&
                   uploadAllowed;
    state.remove = (folder.attributes & SFGAO_CANDELETE) != 0;
    state.copy = (folder.attributes & SFGAO_CANCOPY) != 0;
    state.cut = (folder.attributes & SFGAO_CANMOVE) != 0;
    state.paste = writable && clipboardHasPasteData;
    return state;
}

ServerMenuState LocalListButtons(const LocalItemFacts& shownFolder, bool recycleBin,
                                 const std::vector<LocalItemFacts>& selectedRows, bool uploadAllowed,
                                 bool clipboardHasPasteData)
{
    ServerMenuState state;
    if (selectedRows.empty()) {
        state.newFolder = IsWritableLocalFolder(shownFolder);
    } else {
        for (const LocalItemFacts& row : selectedRows) {
            if (IsWritableLocalFolder(row) && !recycleBin)
                state.newFolder = true;
            if (row.attributes & SFGAO_CANCOPY)
                state.copy = true;
            if (row.attributes & SFGAO_CANDELETE)
                state.remove = true;
            if ((row.attributes & SFGAO_CANMOVE) && !recycleBin)
                state.cut = true;
            if (!row.path.IsEmpty() && !IsDriveRoot(row.path) && (row.attributes & SFGAO_CANCOPY) && uploadAllowed)
                state.upload = true;
        }
    }
    state.paste = state.newFolder && clipboardHasPasteData;
    return state;
}

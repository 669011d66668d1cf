// Decisions of the command bar that need no window.
#include "MenuBarRules.h"
#include "BarIconsRes.h"
#include "ListIconsRes.h"
#include "MenuBarRes.h"
#include <cstring>

namespace menubar {

namespace {

enum { DELETE_ = 7, DEL_COMP = 8 };

bool Allowed(const _PROTO_FOLDER_INFO& r, int position)
{
    return position < static_cast<int>(strnlen(r.Attr189, sizeof r.Attr189)) && r.Attr189[position] == '1';
}

bool OptionIsY(const char* option)
{
    return option[0] == 'Y';
}

}

PermissionIcons PermissionIconsFor(const char* state)
{
    // Columns: '0', '1', '2'; 0 is no icon.
    static const UINT kTable[4][3] = {
        {0, IDI_RIGHT_VIEW_PART, IDI_RIGHT_VIEW},
        {IDI_RIGHT_DOWNLOAD_OFF, 0, IDI_RIGHT_DOWNLOAD},
        {IDI_RIGHT_UPLOAD_OFF, 0, IDI_RIGHT_UPLOAD},
        {IDI_RIGHT_DELETE_OFF, IDI_RIGHT_DELETE_PART, IDI_RIGHT_DELETE},
    };
    PermissionIcons icons = {};
    const size_t length = state ? strnlen(state, 4) : 0;
    for (size_t i = 0; i < length; ++i) {
        const char c = state[i];
        if (c >= '0' && c <= '2')
            icons.ids[i] = kTable[i][c - '0'];
    }
    return icons;
}

DeleteCommand DeleteCommandFor(const _PROTO_FOLDER_INFO& item)
{
    DeleteCommand command;
    if (Allowed(item, DELETE_))
        command.mode = 1;
    else if (Allowed(item, DEL_COMP))
        command.mode = 0;
    command.recycleBin = std::strcmp(item.Attr27, "6") == 0 || std::strcmp(item.Attr27, "D") == 0;
    return command;
}

CString ApprovalCaption(const _OPTION_INFO& options, unsigned short language)
{
    // The entry keeps its captions as English, Korean, third language.
    const _CONTEXT_MENU_ENTRY& entry = options.ContextMenu[0];
    if (language == 0x09)
        return CString(entry.Token2);
    if (language == 0x12)
        return CString(entry.Token1);
    return CString(entry.Token3);
}

bool ApprovalShown(const _OPTION_INFO* options)
{
    return options != nullptr && OptionIsY(options->Approval);
}

bool DirectEditShown(const _OPTION_INFO* options)
{
    return options != nullptr && OptionIsY(options->DirectEdit);
}

std::vector<UINT> ButtonRow(bool approval)
{
    std::vector<UINT> row = {IDC_MENU_NEW_FOLDER, IDC_MENU_APPROVAL, IDC_MENU_UPLOAD, IDC_MENU_DOWNLOAD,
                             IDC_MENU_SHARE,      IDC_MENU_DELETE,   IDC_MENU_COPY,   IDC_MENU_CUT,
                             IDC_MENU_PASTE,      IDC_MENU_LINK,     IDC_MENU_DIRECT_EDIT, IDC_MENU_BATCH_APPROVAL};
    if (!approval)
        row.erase(row.begin() + 1);
    return row;
}

int ViewButtonsLeft(int clientRight, int searchWidth, int viewWidth, int buttonsWidth)
{
    const int x = clientRight - searchWidth - 2 * viewWidth - 10;
    return x < buttonsWidth + 98 ? buttonsWidth + 98 : x;
}

RECT PermissionBox(int clientRight, int clientHeight, int searchWidth, int viewWidth, int buttonsWidth)
{
    int left = clientRight - searchWidth - 2 * viewWidth - 98;
    if (left < buttonsWidth + 10)
        left = buttonsWidth + 10;
    const int top = (clientHeight - 20) / 2;
    return RECT{left, top, left + 78, top + 19};
}

}

// Decisions of the command bar that need no window: the permission icons of a folder's state
// text, the delete command a server item asks for, the approval button's caption, and where the
// row, the permission box and the view buttons go.
#pragma once
#include "ProtoRecords.h"
#include "Strings.h"
#include <windows.h>
#include <vector>

namespace menubar {

// The four permission icons of a four-character state text ('0', '1', '2' per position): the
// icon resource for each position, 0 where the position shows none.
struct PermissionIcons {
    UINT ids[4];
};
PermissionIcons PermissionIconsFor(const char* state);

// What the delete button runs for a server item: the recycle bin's own delete for its folders
// ("6", "D"), else the delete with mode 1 (to the recycle bin) unless only DEL_COMP allows it.
struct DeleteCommand {
    bool recycleBin = false;
    int mode = 1;
};
DeleteCommand DeleteCommandFor(const _PROTO_FOLDER_INFO& item);

// The approval button's caption from the approval request entry of the options: English for
// language 0x09, Korean for 0x12, the third language otherwise.
CString ApprovalCaption(const _OPTION_INFO& options, unsigned short language);
bool ApprovalShown(const _OPTION_INFO* options);
bool DirectEditShown(const _OPTION_INFO* options);

// The command buttons from left to right: the approval request only with its option.
std::vector<UINT> ButtonRow(bool approval);

// The view buttons' left edge: as far right as the search box and both buttons allow, never
// left of the command row plus 98 pixels.
int ViewButtonsLeft(int clientRight, int searchWidth, int viewWidth, int buttonsWidth);
// The permission box (78 x 19, vertically centred), 20 pixels left of the view buttons and never
// left of the command row plus 10 pixels.
RECT PermissionBox(int clientRight, int clientHeight, int searchWidth, int viewWidth, int buttonsWidth);

}

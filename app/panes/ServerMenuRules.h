// Which command-bar buttons the server tree's folder and the server list's selection allow.
#pragma once
#include "ServerPaneHost.h"
#include <vector>

struct ServerMenuFacts {
    bool clipboardHasItems = false;   // "VARIRUDAD" or CF_HDROP on the clipboard
    bool downloadTarget = false;      // the local tree's folder can take files
    CString customerCode;
};

// The state for the selected rows (none: the folder's own buttons) in the current folder.
ServerMenuState ComputeListMenuState(const std::vector<const _PROTO_FOLDER_INFO*>& selected,
                                     const _PROTO_FOLDER_INFO& folder, const ServerMenuFacts& facts);
// The state for the server tree's selected folder. Unlike the list, the tree compares the
// customer code of the approval after go-to exactly.
ServerMenuState ComputeTreeMenuState(const _PROTO_FOLDER_INFO& folder, const ServerMenuFacts& facts);

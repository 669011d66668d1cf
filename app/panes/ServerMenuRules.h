// Which command-bar buttons the server list's selection allows.
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

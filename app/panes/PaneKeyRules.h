// The keys of the four explorer panes: which command a key press runs, from what the pane knows
// at that moment. Pure decisions: the controls gather the facts and carry out the outcome.
#pragma once
#include <windows.h>

namespace panekeys {

enum class Action {
    None,
    Copy,
    Paste,
    Cut,
    Delete,          // into the recycle bin
    DeleteForGood,
    BinDelete,       // entries of the server's recycle bin: always for good
    Rename,
    Search,
    SelectAll,
    Refresh,
    Parent,          // the tree selects the shown folder's parent
};

// Whose cut marks a key clears before its command.
enum class ClearMarks { None, ThisList, AllPanes };

// One key as the control's key-down notification gives it, with the left Control and left
// Shift keys as they were held.
struct KeyPress {
    WORD key = 0;
    bool leftControl = false;
    bool leftShift = false;
};

struct KeyOutcome {
    Action action = Action::None;
    ClearMarks clear = ClearMarks::None;
    bool emptyClipboard = false;
    bool operator==(const KeyOutcome& o) const
    {
        return action == o.action && clear == o.clear && emptyClipboard == o.emptyClipboard;
    }
};

// The server list: its selection and the command bar's buttons as they stand.
struct ServerListKeyFacts {
    int selected = 0;                  // selected rows
    bool copy = false, paste = false, cut = false, remove = false;   // the command bar's buttons
    bool firstDeletes = false;         // the first selected row's DELETE flag is '1'
    bool firstDeletesForGood = false;  // its DEL_COMP flag is '1'
    bool renameOne = false;            // exactly one row is selected and it allows RENAME
    bool inBin = false;                // the folder shown is the recycle bin or lies in it
};
KeyOutcome ServerListKey(const KeyPress& press, const ServerListKeyFacts& facts);

// The server tree, on its selected folder.
struct ServerTreeKeyFacts {
    bool copy = false, paste = false, cut = false, remove = false;   // the command bar's buttons
    bool deletes = false;              // DELETE is '1'
    bool deletesForGood = false;       // DEL_COMP is '1'
    bool rename = false, search = false;
    bool inBin = false;                // a folder inside the recycle bin
};
KeyOutcome ServerTreeKey(const KeyPress& press, const ServerTreeKeyFacts& facts);

// The local tree, on its selected folder.
struct LocalTreeKeyFacts {
    bool item = false;                 // a folder is selected (with its record)
    bool canRename = false;            // the shell lets it be renamed
};
KeyOutcome LocalTreeKey(const KeyPress& press, const LocalTreeKeyFacts& facts);

// The local list.
struct LocalListKeyFacts {
    int selected = 0;
};
KeyOutcome LocalListKey(const KeyPress& press, const LocalListKeyFacts& facts);

}

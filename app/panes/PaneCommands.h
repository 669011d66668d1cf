// What the command bar asks of the four panes of the main splitter. Each pane view implements
// the interface of its place; the bar finds it on the pane window with dynamic_cast, so a pane
// that does not implement it is simply skipped.
//
// GUI thread only. Tree items and list rows carry the pane's own records: a server tree item's
// or server list row's item data is its _PROTO_FOLDER_INFO*.
#pragma once
#include "Strings.h"
#include <windows.h>
#include <commctrl.h>

// The server folder tree pane (row 0, column 0).
class IServerTreeCommands {
public:
    virtual ~IServerTreeCommands() = default;
    virtual HWND GetTreeWindow() = 0;
    virtual void OnNewFolder(HTREEITEM item) = 0;
    virtual void OnDownload(HTREEITEM item) = 0;
    virtual void OnShare(HTREEITEM item) = 0;
    // mode 1 moves the folder to the recycle bin, 0 deletes it for good.
    virtual void OnDelete(HTREEITEM item, int mode) = 0;
    virtual void OnRecyclebinDelete(HTREEITEM item) = 0;
    virtual void OnCopy(HTREEITEM item) = 0;
    virtual void OnCut(HTREEITEM item) = 0;
    virtual void OnPaste(HTREEITEM item) = 0;
    // contents 0 searches names.
    virtual void OnSearch(HTREEITEM item, const CString& text, int contents) = 0;
};

// The server file pane (row 0, column 1). row: the first selected row, -1 when none.
class IServerListCommands {
public:
    virtual ~IServerListCommands() = default;
    virtual HWND GetListWindow() = 0;
    virtual void OnNewFolder() = 0;
    virtual void OnDownload() = 0;
    virtual void OnShare(int row) = 0;
    virtual void OnDelete(int mode) = 0;
    virtual void OnRecyclebinDelete() = 0;
    virtual void OnCopy() = 0;
    virtual void OnCut() = 0;
    virtual void OnPaste() = 0;
    virtual void OnLink(int row) = 0;
    virtual int OnDirectEdit(int row) = 0;
    // 1 when the approval page went to the frame.
    virtual int OnApproval() = 0;
    // thumbnail 1 shows pictures, 0 the report; save 1 keeps the choice.
    virtual void SetThumbnailView(int thumbnail, int save) = 0;
    // Lets a running list-filling worker end, pumping messages meanwhile.
    virtual void WaitListThreadExit() = 0;
};

// The local folder tree pane (row 1, column 0).
class ILocalTreeCommands {
public:
    virtual ~ILocalTreeCommands() = default;
    virtual HWND GetTreeWindow() = 0;
    // True when the item's record carries the mark byte (it is not deleted to the recycle bin).
    virtual bool IsItemMarked(HTREEITEM item) = 0;
    virtual void OnUpload(HTREEITEM item) = 0;
    // mode 1 allows undo (recycle bin), 0 deletes for good.
    virtual void OnDelete(HTREEITEM item, int mode) = 0;
    virtual void OnCopy(HTREEITEM item) = 0;
    virtual void OnCut(HTREEITEM item) = 0;
    virtual void OnPaste(HTREEITEM item) = 0;
};

// The local file pane (row 1, column 1).
class ILocalListCommands {
public:
    virtual ~ILocalListCommands() = default;
    virtual void OnNewFolder() = 0;
    virtual void OnUpload() = 0;
    virtual void OnDelete(int mode) = 0;
    virtual void OnCopy() = 0;
    virtual void OnCut() = 0;
    virtual void OnPaste() = 0;
};

// Where the server tree and list send the commands their menus and keys choose: the pane views
// carry them out. GUI thread only.
#pragma once
#include <windows.h>
#include <commctrl.h>

class IServerTreeMenuSink {
public:
    virtual ~IServerTreeMenuSink() = default;
    // command: a servermenu::Command; item: the folder it was chosen on.
    virtual void RunTreeCommand(int command, HTREEITEM item) = 0;
};

class IServerListMenuSink {
public:
    virtual ~IServerListMenuSink() = default;
    // command: a servermenu::Command; row: the row under the click, -1 on empty space.
    virtual void RunListCommand(int command, int row) = 0;
    // A file row's double-click: action is the servermenu::FileOpen the options chose.
    virtual void OpenFileRow(int action, int row) = 0;
};

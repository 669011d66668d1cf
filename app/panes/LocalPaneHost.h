// What the local panes need from the window around them. The main frame's side is
// CFrameLocalHost (shell/FrameLocalHost.h); tests give the panes a host of their own.
//
// All calls come on the GUI thread.
#pragma once
#include "ServerPaneHost.h"
#include "ToviMessages.h"
#include <windows.h>
#include <commctrl.h>
#include <vector>

class ILocalFrameHost {
public:
    virtual ~ILocalFrameHost() = default;
    virtual void SetMenuButtonState(const ServerMenuState& state) = 0;
    // The server tree's selected folder takes uploads.
    virtual bool IsUploadAllowed() = 0;
    // The local tree's folder can take downloads (the server panes' download button reads it).
    virtual void SetDownloadTarget(bool target) = 0;
    virtual bool IsLabelEditing() = 0;
    virtual void SetLabelEditing(bool editing) = 0;
    virtual void SetActivePane(int row, int column) = 0;
    // Removes the cut look from the rows and items of every pane.
    virtual void ClearCutMarks() = 0;
    // The two-letter tag of the pane that started the running drag ("CL", "CR", "SL", "SR").
    virtual void SetDragSource(const CString& tag) = 0;
    virtual CString GetDragSource() = 0;

    // Transfers. A host without a server side (the panes' own tests) starts none.
    // The server tree's selected folder and its item; null when there is none.
    virtual _PROTO_FOLDER_INFO* ServerTarget(HTREEITEM* item)
    {
        *item = nullptr;
        return nullptr;
    }
    virtual void Upload(_PROTO_FOLDER_INFO* /*folder*/, std::vector<_UPLOADINFO>& /*items*/) {}
    // localItem: the local tree item refreshed when the download ends.
    virtual void Download(std::vector<_DOWNLOADINFO>& /*items*/, HTREEITEM /*localItem*/) {}
};

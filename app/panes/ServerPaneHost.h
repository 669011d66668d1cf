// What the server browsing controls need from the window around them. The main frame and the
// two server pane views implement these; the controls never reach into the frame otherwise.
//
// All calls come on the GUI thread.
#pragma once
#include "ProtoRecords.h"
#include "Strings.h"
#include <vector>

// The command bar's button states, in the order the frame takes them.
struct ServerMenuState {
    CString vrwd;
    bool newFolder = false;
    bool upload = false;
    bool download = false;
    bool share = false;
    bool remove = false;
    bool copy = false;
    bool cut = false;
    bool paste = false;
    bool link = false;
    bool approvalAfterGoTo = false;
    bool directEdit = false;
    bool approval = false;
};

// The main frame and its splitter, as the server tree and list use them.
class IServerFrameHost {
public:
    virtual ~IServerFrameHost() = default;
    virtual bool IsLoggedIn() = 0;
    // 0: no password or already given; 1: just given; -1: refused (silent: would have to ask).
    virtual int CheckFolderPassword(const _PROTO_FOLDER_INFO& folder, bool silent) = 0;
    // The server ended the session (1213): log out once, however many controls report it.
    virtual void PostForcedLogout() = 0;
    virtual void SetMenuButtonState(const ServerMenuState& state) = 0;
    virtual bool IsDownloadTarget() = 0;          // the local tree's folder can take files
    virtual void SetUploadAllowed(bool allowed) = 0;
    virtual void SetViewButtonsEnabled(bool enabled) = 0;   // thumbnail/report toggles
    virtual void EnableSearchBox(bool enabled) = 0;
    virtual CString GetCustomerCode() = 0;
    virtual bool IsLabelEditing() = 0;            // a pane's in-place edit is open
    virtual void SetLabelEditing(bool editing) = 0;
    virtual void SetActivePane(int row, int column) = 0;
    // The two-letter origin of the drag a pane starts ("SL", "SR"), read by the dropping pane.
    virtual void SetDragSource(const CString& tag) = 0;
    // A host that keeps no origin reports none: no drag counts as the dropping pane's own.
    virtual CString GetDragSource() { return CString(); }
    // Every pane drops its cut marks (a pending cut was cancelled); a host without other panes
    // has none to clear.
    virtual void ClearCutMarks() {}
};

// The server file pane, as the tree hands it a folder's content.
class IServerListSide {
public:
    virtual ~IServerListSide() = default;
    // Stops the filling worker, pumping messages meanwhile; then the rows can be freed.
    virtual void StopListThread() = 0;
    virtual void ClearList() = 0;
    virtual void SetListColumn(const _PROTO_FOLDER_INFO& folder) = 0;
    virtual bool IsThumbnailView() = 0;
    virtual void SetReportView() = 0;
    virtual void SetListData(std::vector<_PROTO_FOLDER_INFO> items) = 0;
    virtual bool StartListThread() = 0;
};

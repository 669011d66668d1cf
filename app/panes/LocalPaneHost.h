// What the local panes need from the window around them. The main frame's side is
// CFrameLocalHost; tests give the panes a host of their own.
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

// The main frame as the local panes' host.
class CFrameLocalHost : public ILocalFrameHost {
public:
    void SetMenuButtonState(const ServerMenuState& state) override;
    bool IsUploadAllowed() override;
    void SetDownloadTarget(bool target) override;
    bool IsLabelEditing() override;
    void SetLabelEditing(bool editing) override;
    void SetActivePane(int row, int column) override;
    void ClearCutMarks() override;
    void SetDragSource(const CString& tag) override;
    CString GetDragSource() override;
    _PROTO_FOLDER_INFO* ServerTarget(HTREEITEM* item) override;
    void Upload(_PROTO_FOLDER_INFO* folder, std::vector<_UPLOADINFO>& items) override;
    void Download(std::vector<_DOWNLOADINFO>& items, HTREEITEM localItem) override;
    static CFrameLocalHost& Instance();

private:
    bool m_bDownloadTarget = false;
    bool m_bLabelEdit = false;
    CString m_strDragSource;
};

// The main frame as the local panes see it (ILocalFrameHost): the frame's adapter, kept apart
// from the frame's own header as CServerFrameHost is.
//
// UI thread only.
#pragma once
#include "LocalPaneHost.h"

class CMainFrame;

class CFrameLocalHost : public ILocalFrameHost {
public:
    explicit CFrameLocalHost(CMainFrame* frame) : m_frame(frame) {}

    void SetMenuButtonState(const ServerMenuState& state) override;
    bool IsUploadAllowed() override;
    void SetDownloadTarget(bool target) override { m_bDownloadTarget = target; }
    bool IsLabelEditing() override { return m_bLabelEdit; }
    void SetLabelEditing(bool editing) override { m_bLabelEdit = editing; }
    void SetActivePane(int row, int column) override;
    void ClearCutMarks() override;
    void SetDragSource(const CString& tag) override;
    CString GetDragSource() override;
    _PROTO_FOLDER_INFO* ServerTarget(HTREEITEM* item) override;
    void Upload(_PROTO_FOLDER_INFO* folder, std::vector<_UPLOADINFO>& items) override;
    void Download(std::vector<_DOWNLOADINFO>& items, HTREEITEM localItem) override;

private:
    CMainFrame* m_frame;
    bool m_bDownloadTarget = false;
    bool m_bLabelEdit = false;
};

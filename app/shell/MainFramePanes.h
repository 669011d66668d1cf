// The main frame as the server tree and list see it (IServerFrameHost), kept apart from the
// frame's own header so that the panes depend on this small surface only.
//
// UI thread only.
#pragma once
#include "ServerPaneHost.h"

class CMainFrame;

class CServerFrameHost : public IServerFrameHost {
public:
    explicit CServerFrameHost(CMainFrame* frame) : m_frame(frame) {}

    bool IsLoggedIn() override;
    int CheckFolderPassword(const _PROTO_FOLDER_INFO& folder, bool silent) override;
    void PostForcedLogout() override;
    void SetMenuButtonState(const ServerMenuState& state) override;
    bool IsDownloadTarget() override;
    void SetUploadAllowed(bool allowed) override { m_bUploadAllowed = allowed; }
    void SetViewButtonsEnabled(bool enabled) override;
    void EnableSearchBox(bool enabled) override;
    CString GetCustomerCode() override;
    bool IsLabelEditing() override { return m_bLabelEditing; }
    void SetLabelEditing(bool editing) override { m_bLabelEditing = editing; }
    void SetActivePane(int row, int column) override;
    void SetDragSource(const CString& tag) override;
    CString GetDragSource() override;
    void ClearCutMarks() override;

    // What the command bar reads when it is drawn.
    bool UploadAllowed() const { return m_bUploadAllowed; }
    bool ViewButtonsEnabled() const { return m_bViewButtons; }
    bool SearchBoxEnabled() const { return m_bSearchBox; }

private:
    CMainFrame* m_frame;
    bool m_bUploadAllowed = false;
    bool m_bViewButtons = false;
    bool m_bSearchBox = false;
    bool m_bLabelEditing = false;
};

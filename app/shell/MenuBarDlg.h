// CMenuBarDlg: the command bar under the information bar: the folder and file command buttons,
// the two view buttons, the box of the selected server folder's four permission icons and the
// search box. It does no work of its own: each button goes to the pane that the splitter reports
// active (PaneCommands.h); the panes push back which buttons are enabled.
//
// GUI thread only. The permission icons are the interface library's shared copies: they are
// replaced, never destroyed, here.
#pragma once
#include "ServerPaneHost.h"
#include "ShellBar.h"
#include "ToviButton.h"
#include "ToviSearchEdit.h"

class CSplitterWnd;
struct _OPTION_INFO;

// Where the bar finds the panes and the session's options. The main frame around the bar is the
// default; a test hands a site of its own.
class IMenuBarSite {
public:
    virtual ~IMenuBarSite() = default;
    virtual CSplitterWnd* GetSplitter() = 0;
    // Null before the first log-in.
    virtual const _OPTION_INFO* GetOptions() = 0;
};

class CMenuBarDlg : public CShellBar {
    DECLARE_DYNAMIC(CMenuBarDlg)
public:
    CMenuBarDlg();
    ~CMenuBarDlg() override;

    // The enable flags of SetMenuButtonState, in its argument order.
    enum Flag {
        kNewFolder, kUpload, kDownload, kShare, kDelete, kCopy, kCut, kPaste, kLink, kBatchApproval,
        kDirectEdit, kApproval, kFlagCount
    };

    BOOL Create(CWnd* pParentWnd, UINT nIDTemplate, UINT nStyle, UINT nID) override;
    void SetSite(IMenuBarSite* site) { m_pSite = site; }

    // Captions for the thread's language and the session's options, the row of command buttons
    // and the search box. At creation, and again once the options of a log-in are known.
    void LayoutButtons();
    // The selected server folder's state text (the local tree passes "") and the twelve flags
    // in Flag order; missing flags count as clear.
    void SetMenuButtonState(const char* state, const BOOL* flags, int count);
    // The same from the server panes' state record (what the frame's pane host receives).
    void SetMenuButtonState(const ServerMenuState& state);
    // Applies the stored flags to the eleven command buttons (not the batch approval request
    // and not the view buttons).
    void EnableMenuButtons();
    // The server tree's folder allows the thumbnail view (PREVIEW) and searching (SEARCH).
    void SetViewButtonsEnabled(bool enabled);
    void EnableSearchBox(bool enabled);

    BOOL GetFlag(Flag flag) const { return m_bFlag[flag]; }
    BOOL GetViewFlag() const { return m_bViewFlag; }
    HICON GetPermIcon(int position) const { return m_hPermIcon[position]; }
    // Where the permission box was last painted (empty until then).
    CRect GetPermBox() const { return m_rcPermBox; }
    int GetButtonsWidth() const { return m_nButtonsWidth; }

    CToviButton m_btnNewFolder, m_btnUpload, m_btnDownload, m_btnShare, m_btnDelete, m_btnCopy, m_btnCut;
    CToviButton m_btnPaste, m_btnLink, m_btnDirectEdit, m_btnApproval, m_btnBatchApproval;
    CToviButton m_btnListView, m_btnThumbnailView;
    CToviSearchEdit m_editSearch;

protected:
    void PaintBackground(CDC* pDC, const CRect& rect) override;
    void OnSize(UINT nType, int cx, int cy);
    LRESULT OnDoSearch(WPARAM, LPARAM);

    void OnBnClickedNewFolder();
    void OnBnClickedUpload();
    void OnBnClickedDownload();
    void OnBnClickedShare();
    void OnBnClickedDelete();
    void OnBnClickedCopy();
    void OnBnClickedCut();
    void OnBnClickedPaste();
    void OnBnClickedLink();
    void OnBnClickedBtnDirectEdit();
    void OnBnClickedApproval();
    void OnBnClickedBatchApproval();
    void OnBnClickedListView();
    void OnBnClickedThumbnailView();

    void OnUpdateNewFolder(CCmdUI* pCmdUI);
    void OnUpdateUpload(CCmdUI* pCmdUI);
    void OnUpdateDownload(CCmdUI* pCmdUI);
    void OnUpdateShare(CCmdUI* pCmdUI);
    void OnUpdateDelete(CCmdUI* pCmdUI);
    void OnUpdateCopy(CCmdUI* pCmdUI);
    void OnUpdateCut(CCmdUI* pCmdUI);
    void OnUpdatePaste(CCmdUI* pCmdUI);
    void OnUpdateLink(CCmdUI* pCmdUI);
    void OnUpdateDirectEdit(CCmdUI* pCmdUI);
    void OnUpdateApproval(CCmdUI* pCmdUI);
    void OnUpdateBatchApproval(CCmdUI* pCmdUI);
    void OnUpdateViewButtons(CCmdUI* pCmdUI);
    DECLARE_MESSAGE_MAP()

private:
    CSplitterWnd* Splitter();
    const _OPTION_INFO* Options();
    // The active pane's place; false (and -1, -1) when no pane is active.
    bool ActivePane(int* row, int* col);
    template <class T> T* PaneAs(int row, int col);
    CToviButton* ButtonOf(UINT id);
    void ApplyFont();
    void SetCaptions(const _OPTION_INFO* options);
    // The view buttons and the search box at the right end of the bar.
    void PlaceRightControls();
    // The right edge of the row's last shown button.
    int OccupiedWidth();
    void PaintPermissionBox(HDC dc, const CRect& client);
    void LoadPermIcons(const char* state);
    // Runs one command on the active pane: the four callbacks take the pane of their place.
    template <class ServerTree, class ServerList, class LocalTree, class LocalList>
    void Forward(ServerTree serverTree, ServerList serverList, LocalTree localTree, LocalList localList);

    int m_nButtonsWidth = 0;
    CFont m_font;
    HICON m_hPermIcon[4] = {};
    CRect m_rcPermBox;
    BOOL m_bFlag[kFlagCount] = {};
    BOOL m_bViewFlag = FALSE;
    IMenuBarSite* m_pSite = nullptr;
};

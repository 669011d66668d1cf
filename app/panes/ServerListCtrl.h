// CServerListCtrl: the server file list. Rows carry heap copies of server records owned by the
// list pane (CServerListPane); the control handles sorting, the in-place name edit and its
// requests (rename, new folder), and routes the rest to its hosts.
//
// GUI thread only.
#pragma once
#include "ListCtrl.h"
#include "ServerContextMenu.h"
#include "ServerPaneHost.h"
#include "OleDefs.h"
#include "PaneKeyRules.h"
#include "ToviProto.h"

class CCircularProgressThread;
class CServerTreeCtrl;
class CServerListPane;
class IServerListMenuSink;
struct _CONTEXT_MENU_ENTRY;

class CServerListCtrl : public CListCtrl {
public:
    CServerListCtrl() = default;

    void SetSession(CToviProto* proto, IServerFrameHost* frame, CServerTreeCtrl* tree, CServerListPane* pane)
    {
        m_pProto = proto;
        m_pFrame = frame;
        m_pTree = tree;
        m_pPane = pane;
    }
    static int CheckItemName(const CString& name);
    // Opens the in-place edit of row: mode 0 names a new folder, 1 renames.
    void BeginNameEdit(int row, int mode);
    void SetPaneColor(COLORREF color);
    // Hands the command bar the buttons the selected rows (or the folder) allow.
    void UpdateMenuButtons();
    // Those buttons without handing them over; false when there is no folder shown.
    bool MenuState(ServerMenuState& state) const;
    // What the key table reads of the list now.
    panekeys::ServerListKeyFacts KeyFacts() const;
    INT_PTR OnToolHitTest(CPoint point, TOOLINFO* ti) const override;
    // The busy spinner over the list, on its own thread from the list's creation to its
    // destruction; null when it could not start. The filling worker shows and hides it.
    CCircularProgressThread* Spinner() const { return m_pSpinner; }

    // Runs the drag of a prepared source with the allowed effects; the OLE drag loop unless a
    // test puts its own (no drag loop runs under a display without a real pointer).
    typedef DROPEFFECT (*DragRunner)(class CDragDataSource* source, DROPEFFECT allowed);
    static DragRunner s_runDrag;

    // ---- The context menu (ServerListMenu.cpp) ----
    void SetCommandSink(IServerListMenuSink* sink) { m_pCommands = sink; }
    // The menu for the selection as it is now, the click at the client point (on a row or not).
    std::vector<servermenu::MenuEntry> ContextMenuAt(CPoint client, bool shift);
    // Where the last right-click was (client coordinates): the paste target "at the point".
    CPoint m_ptContext = CPoint(-1, -1);

    int m_nEditMode = 1;
    int m_nListKind = 0;
    bool m_bThumbnail = false;

protected:
    int OnCreate(LPCREATESTRUCT lpCreateStruct);
    void OnColumnClick(NMHDR* nm, LRESULT* result);
    void OnEndLabelEdit(NMHDR* nm, LRESULT* result);
    void OnDblClk(NMHDR* nm, LRESULT* result);
    void OnItemChanged(NMHDR* nm, LRESULT* result);
    void OnKeyDown(NMHDR* nm, LRESULT* result);
    void OnCustomDraw(NMHDR* nm, LRESULT* result);
    void OnBeginDrag(NMHDR* nm, LRESULT* result);
    void OnDestroy();
    BOOL OnToolTipText(UINT id, NMHDR* nm, LRESULT* result);
    LRESULT OnSetToolTipText(WPARAM, LPARAM text);
    LRESULT OnEditLabel(WPARAM, LPARAM row);
    LRESULT OnInsertRows(WPARAM, LPARAM batch);
    void OnSetFocus(CWnd* oldWnd);
    void OnNMRclick(NMHDR* nm, LRESULT* result);
    DECLARE_MESSAGE_MAP()

private:
    void RunKeyAction(panekeys::Action action);
    // What the double-click on a file does under the session's options (traced as it is chosen).
    servermenu::FileOpen ChooseFileOpen(const _PROTO_FOLDER_INFO& file) const;
    // The report column that shows the rows' status icons; -1 when the kind has none.
    int StatusColumn() const;
    HIMAGELIST StatusImages();
    // The tip of a cell (slot: the status icon, from 1); the locked-file tip asks the server.
    CString ToolTipTextFor(int row, int column, int slot);
    void EndEdit();
    int Reopen(int row);

    CToviProto* m_pProto = nullptr;
    IServerFrameHost* m_pFrame = nullptr;
    CServerTreeCtrl* m_pTree = nullptr;
    CServerListPane* m_pPane = nullptr;
    COLORREF m_paneColor = CLR_NONE;
    HIMAGELIST m_statusImages = nullptr;
    CString m_strToolTip;
    IServerListMenuSink* m_pCommands = nullptr;
    CCircularProgressThread* m_pSpinner = nullptr;
};

// CFrameWnd: a top-level (or child) frame that lays out control bars along its edges and one
// pane window in the rest, routes commands to the active view, updates menus and bars from
// ON_UPDATE_COMMAND_UI handlers, and closes the windows it owns in an order that keeps views
// alive for them.
//
// A frame is a heap object created with new (often by run-time class); it deletes itself after
// its window is gone. Everything here runs on the frame's UI thread.
#pragma once
#include "Wnd.h"
#include "CreateContext.h"
#include <vector>

class CControlBar;
class CView;
class CMenu;

class FW_API CFrameWnd : public CWnd {
    DECLARE_DYNCREATE(CFrameWnd)
public:
    CFrameWnd();
    ~CFrameWnd() override;

    // Position and size left to the system.
    static const CRect rectDefault;

    // Creates the frame window. lpszMenuName names a menu resource (null: none). pContext is
    // handed to OnCreateClient. Views get WM_INITIALUPDATE once the frame exists.
    BOOL Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle = WS_OVERLAPPEDWINDOW,
                const RECT& rect = rectDefault, CWnd* pParentWnd = nullptr, LPCTSTR lpszMenuName = nullptr,
                DWORD dwExStyle = 0, CCreateContext* pContext = nullptr);
    // Creates the frame from the resources with id nIDResource: the title from the string (up to
    // its first '\n'), the class icon, the menu and the accelerators, each when it exists.
    virtual BOOL LoadFrame(UINT nIDResource, DWORD dwDefaultStyle = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
                           CWnd* pParentWnd = nullptr, CCreateContext* pContext = nullptr);
    // Without a class: registers the framework's frame class (with the icon of LoadFrame's
    // resource id); clears FWS_ADDTOTITLE.
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    void PostNcDestroy() override;
    BOOL PreTranslateMessage(MSG* pMsg) override;

    // Creates the frame's client windows during WM_CREATE; FALSE fails the frame's creation.
    // The default creates the context's view, if it names one, as the pane window.
    virtual BOOL OnCreateClient(LPCREATESTRUCT lpcs, CCreateContext* pContext);
    // A view of pContext->m_pNewViewClass as a child with id nID; null on failure.
    CWnd* CreateView(CCreateContext* pContext, UINT nID = AFX_IDW_PANE_FIRST);
    // True once creation finished and the views had their initial update.
    BOOL IsFrameCreated() const { return m_bFrameCreated; }

    // ---- Layout ----
    // Visible control bars take their fixed size along the edge they are aligned to, in the
    // order they were created; the child with id AFX_IDW_PANE_FIRST gets the rest. Runs on
    // every size change and whenever a bar is shown or hidden.
    virtual void RecalcLayout(BOOL bNotify = TRUE);
    void ShowControlBar(CControlBar* pBar, BOOL bShow, BOOL bDelay = FALSE);
    // The frame's bars in creation order (bars register themselves when they are created).
    int GetControlBarCount() const { return (int)m_bars.size(); }
    CControlBar* GetControlBarAt(int nIndex) const;
    CControlBar* GetControlBar(UINT nID) const;
    void AddControlBar(CControlBar* pBar);
    void RemoveControlBar(CControlBar* pBar);
    void EnableDocking(DWORD dwDockStyle) { m_dwDockStyle = dwDockStyle; }
    // Moves the bar to the end of the layout order of its edge.
    void DockControlBar(CControlBar* pBar);

    // ---- Views and commands ----
    // The active view, or null (also when that view's window is gone).
    CView* GetActiveView() const;
    // Makes pViewNew the active view; OnActivateView tells both views when bNotify. The focus
    // moves into the new view unless it is there already.
    void SetActiveView(CView* pViewNew, BOOL bNotify = TRUE);
    // Commands go to the active view (and its document), then the frame, then the application.
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, FwCmdHandlerInfo* pHandlerInfo) override;
    // Enables, checks and renames the items of a menu that is about to open by the
    // ON_UPDATE_COMMAND_UI handlers of the command route; with m_bAutoMenuEnable an item that
    // has neither an update nor a command handler is greyed.
    virtual void OnInitMenuPopup(CMenu* pPopupMenu, UINT nIndex, BOOL bSysMenu);
    // Sends WM_IDLEUPDATECMDUI to the frame's bars now (the message loop does it when idle).
    void UpdateControlBars(BOOL bDisableIfNoHndler = TRUE);

    // ---- Windows that must go before the views ----
    // Pop-ups that use this frame's views (a web page of the explorer, a progress window) are
    // registered here. When the frame is destroyed, DestroyPopups runs first, while every view
    // still exists; call it yourself earlier when shutting down needs it sooner.
    void AddPopup(HWND hWndPopup);
    void RemovePopup(HWND hWndPopup);
    // Destroys the registered pop-ups that still exist, newest first (another thread's window is
    // sent WM_CLOSE). Overrides destroy their own pop-ups and then call this.
    virtual void DestroyPopups();

    BOOL m_bAutoMenuEnable = TRUE;
    UINT m_nIDHelp = 0;

protected:
    int OnCreate(LPCREATESTRUCT lpCreateStruct);
    void OnDestroy();
    void OnSize(UINT nType, int cx, int cy);
    void OnClose();
    void OnSetFocus(CWnd* pOldWnd);
    LRESULT OnIdleUpdateCmdUI(WPARAM wParam, LPARAM lParam);
    LRESULT OnInitMenuPopupMessage(WPARAM wParam, LPARAM lParam);

    HACCEL m_hAccelTable = nullptr;
    DWORD m_dwDockStyle = 0;

    DECLARE_MESSAGE_MAP()

private:
    std::vector<CControlBar*> m_bars;
    std::vector<HWND> m_popups;
    CView* m_pViewActive = nullptr;
    HWND m_hWndViewActive = nullptr;
    bool m_bInRecalcLayout = false;
    bool m_bClosing = false;   // WM_DESTROY came: the children go next, no more layouts
    BOOL m_bFrameCreated = FALSE;
};

// CFrameWnd: creation from resources, the client layout, command routing, menu and bar
// updates, and the order in which a closing frame lets its windows go.
#include "FrameWnd.h"
#include "CmdUI.h"
#include "ControlBar.h"
#include "Menu.h"
#include "Resources.h"
#include "Trace.h"
#include "View.h"
#include "WinApp.h"
#include "WindowPosBatch.h"
#include <algorithm>

IMPLEMENT_DYNCREATE(CFrameWnd, CWnd)

BEGIN_MESSAGE_MAP(CFrameWnd, CWnd)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_SIZE()
    ON_WM_CLOSE()
    ON_WM_SETFOCUS()
    ON_MESSAGE(WM_IDLEUPDATECMDUI, OnIdleUpdateCmdUI)
    ON_MESSAGE(WM_INITMENUPOPUP, OnInitMenuPopupMessage)
END_MESSAGE_MAP()

const CRect CFrameWnd::rectDefault(CW_USEDEFAULT, CW_USEDEFAULT, 0, 0);

CFrameWnd* CWnd::GetParentFrame() const
{
    HWND hWnd = m_hWnd;
    while (hWnd != nullptr && (::GetWindowLongPtr(hWnd, GWL_STYLE) & WS_CHILD)) {
        hWnd = ::GetParent(hWnd);
        if (auto* pFrame = DYNAMIC_DOWNCAST(CFrameWnd, FromHandlePermanent(hWnd)))
            return pFrame;
    }
    return nullptr;
}

namespace {

bool HasResource(UINT nID, LPCTSTR type, HINSTANCE* phModule)
{
    HINSTANCE module = AfxFindResourceHandle(MAKEINTRESOURCE(nID), type);
    *phModule = module;
    return ::FindResource(module, MAKEINTRESOURCE(nID), type) != nullptr;
}

}

CFrameWnd::CFrameWnd() = default;

CFrameWnd::~CFrameWnd()
{
    if (m_hAccelTable)
        ::DestroyAcceleratorTable(m_hAccelTable);
}

BOOL CFrameWnd::PreCreateWindow(CREATESTRUCT& cs)
{
    if (cs.lpszClass == nullptr) {
        HICON hIcon = nullptr;
        HINSTANCE module = nullptr;
        if (m_nIDHelp != 0 && HasResource(m_nIDHelp, RT_GROUP_ICON, &module))
            hIcon = ::LoadIcon(module, MAKEINTRESOURCE(m_nIDHelp));
        cs.lpszClass = RegisterClassFor(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW), (HBRUSH)(COLOR_BTNFACE + 1),
                                        hIcon);
        if (cs.lpszClass == nullptr)
            return FALSE;
    }
    cs.style &= ~FWS_ADDTOTITLE;
    return TRUE;
}

BOOL CFrameWnd::Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                       CWnd* pParentWnd, LPCTSTR lpszMenuName, DWORD dwExStyle, CCreateContext* pContext)
{
    HMENU hMenu = nullptr;
    if (lpszMenuName != nullptr && !(dwStyle & WS_CHILD)) {
        HINSTANCE module = AfxFindResourceHandle(lpszMenuName, RT_MENU);
        hMenu = ::LoadMenu(module, lpszMenuName);
        if (hMenu == nullptr)
            FwTrace("CFrameWnd::Create", "menu resource not found");
    }
    int x = rect.left, y = rect.top, cx = rect.right - rect.left, cy = rect.bottom - rect.top;
    if (rect.left == CW_USEDEFAULT) {
        x = y = cx = cy = CW_USEDEFAULT;
        if (dwStyle & WS_CHILD)
            x = y = cx = cy = 0;
    }
    m_bFrameCreated = FALSE;
    if (!CreateEx(dwExStyle, lpszClassName, lpszWindowName, dwStyle, x, y, cx, cy, pParentWnd->GetSafeHwnd(),
                  hMenu, pContext)) {
        // The window owns its menu only once it exists.
        if (hMenu && ::IsMenu(hMenu))
            ::DestroyMenu(hMenu);
        return FALSE;
    }
    m_bFrameCreated = TRUE;
    SendMessageToDescendants(WM_INITIALUPDATE, 0, 0, TRUE, TRUE);
    RecalcLayout();
    return TRUE;
}

BOOL CFrameWnd::LoadFrame(UINT nIDResource, DWORD dwDefaultStyle, CWnd* pParentWnd, CCreateContext* pContext)
{
    m_nIDHelp = nIDResource;
    CString title;
    const wchar_t* text = nullptr;
    int length = 0;
    if (AfxLoadStringResource(nIDResource, &text, &length)) {
        int end = 0;
        while (end < length && text[end] != L'\n')
            ++end;
        title = CString(text, end);
    }
    HINSTANCE module = nullptr;
    if (HasResource(nIDResource, RT_ACCELERATOR, &module) && m_hAccelTable == nullptr)
        m_hAccelTable = ::LoadAccelerators(module, MAKEINTRESOURCE(nIDResource));
    LPCTSTR menuName = HasResource(nIDResource, RT_MENU, &module) ? MAKEINTRESOURCE(nIDResource) : nullptr;
    return Create(nullptr, title, dwDefaultStyle, rectDefault, pParentWnd, menuName, 0, pContext);
}

void CFrameWnd::PostNcDestroy()
{
    delete this;
}

BOOL CFrameWnd::PreTranslateMessage(MSG* pMsg)
{
    if (m_hAccelTable && pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST
        && (pMsg->hwnd == m_hWnd || ::IsChild(m_hWnd, pMsg->hwnd))) {
        if (::TranslateAccelerator(m_hWnd, m_hAccelTable, pMsg))
            return TRUE;
    }
    return CWnd::PreTranslateMessage(pMsg);
}

// ---- Creation ----

int CFrameWnd::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CWnd::OnCreate(lpCreateStruct) == -1)
        return -1;
    auto* pContext = static_cast<CCreateContext*>(lpCreateStruct->lpCreateParams);
    if (!OnCreateClient(lpCreateStruct, pContext)) {
        FwTrace("CFrameWnd::OnCreate", "the client windows could not be created");
        return -1;
    }
    RecalcLayout();
    return 0;
}

BOOL CFrameWnd::OnCreateClient(LPCREATESTRUCT, CCreateContext* pContext)
{
    if (pContext == nullptr || pContext->m_pNewViewClass == nullptr)
        return TRUE;
    return CreateView(pContext, AFX_IDW_PANE_FIRST) != nullptr;
}

CWnd* CFrameWnd::CreateView(CCreateContext* pContext, UINT nID)
{
    if (pContext == nullptr || pContext->m_pNewViewClass == nullptr)
        return nullptr;
    CObject* pObject = pContext->m_pNewViewClass->CreateObject();
    CWnd* pView = DYNAMIC_DOWNCAST(CWnd, pObject);
    if (pView == nullptr) {
        FwTrace("CFrameWnd::CreateView", "the class cannot be created as a window");
        delete pObject;
        return nullptr;
    }
    CCreateContext context = *pContext;
    context.m_pCurrentFrame = this;
    // A view deletes itself when its creation fails; any other window is ours to delete.
    bool selfDeleting = pView->IsKindOf(RUNTIME_CLASS(CView));
    if (!pView->Create(nullptr, nullptr, AFX_WS_DEFAULT_VIEW, CRect(0, 0, 0, 0), this, nID, &context)) {
        FwTrace("CFrameWnd::CreateView", "the view window could not be created");
        if (!selfDeleting)
            delete pView;
        return nullptr;
    }
    if (m_bFrameCreated)
        pView->SendMessage(WM_INITIALUPDATE);
    return pView;
}

// ---- Layout ----

void CFrameWnd::RecalcLayout(BOOL)
{
    if (m_hWnd == nullptr || m_bInRecalcLayout || m_bClosing)
        return;
    m_bInRecalcLayout = true;
    CRect rest;
    GetClientRect(&rest);
    CWindowPosBatch batch((int)m_bars.size() + 1);
    for (CControlBar* pBar : m_bars) {
        if (pBar->m_hWnd == nullptr || !(pBar->GetStyle() & WS_VISIBLE))
            continue;
        DWORD align = pBar->GetBarStyle() & CBRS_ALIGN_ANY;
        bool vertical = align == CBRS_ALIGN_LEFT || align == CBRS_ALIGN_RIGHT;
        CSize size = pBar->CalcFixedLayout(TRUE, !vertical);
        CRect place = rest;
        if (vertical) {
            int cx = std::max(0, std::min((int)size.cx, rest.Width()));
            if (align == CBRS_ALIGN_RIGHT) {
                place.left = rest.right - cx;
                rest.right = place.left;
            } else {
                place.right = rest.left + cx;
                rest.left = place.right;
            }
        } else {
            int cy = std::max(0, std::min((int)size.cy, rest.Height()));
            if (align == CBRS_ALIGN_BOTTOM) {
                place.top = rest.bottom - cy;
                rest.bottom = place.top;
            } else {
                place.bottom = rest.top + cy;
                rest.top = place.bottom;
            }
        }
        batch.Move(pBar, place);
    }
    if (HWND hPane = ::GetDlgItem(m_hWnd, AFX_IDW_PANE_FIRST))
        batch.Move(hPane, nullptr, rest.left, rest.top, rest.Width(), rest.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
    batch.End();
    m_bInRecalcLayout = false;
}

void CFrameWnd::OnSize(UINT nType, int cx, int cy)
{
    CWnd::OnSize(nType, cx, cy);
    if (nType != SIZE_MINIMIZED)
        RecalcLayout();
}

void CFrameWnd::ShowControlBar(CControlBar* pBar, BOOL bShow, BOOL)
{
    if (pBar == nullptr || pBar->m_hWnd == nullptr)
        return;
    pBar->ShowWindow(bShow ? SW_SHOWNOACTIVATE : SW_HIDE);
    RecalcLayout();
}

CControlBar* CFrameWnd::GetControlBarAt(int nIndex) const
{
    return (nIndex >= 0 && nIndex < (int)m_bars.size()) ? m_bars[nIndex] : nullptr;
}

CControlBar* CFrameWnd::GetControlBar(UINT nID) const
{
    for (CControlBar* pBar : m_bars) {
        if (pBar->m_hWnd && (UINT)pBar->GetDlgCtrlID() == nID)
            return pBar;
    }
    return nullptr;
}

void CFrameWnd::AddControlBar(CControlBar* pBar)
{
    if (pBar && std::find(m_bars.begin(), m_bars.end(), pBar) == m_bars.end())
        m_bars.push_back(pBar);
}

void CFrameWnd::RemoveControlBar(CControlBar* pBar)
{
    m_bars.erase(std::remove(m_bars.begin(), m_bars.end(), pBar), m_bars.end());
}

void CFrameWnd::DockControlBar(CControlBar* pBar)
{
    if (pBar == nullptr)
        return;
    RemoveControlBar(pBar);
    m_bars.push_back(pBar);
    pBar->m_pDockSite = this;
    RecalcLayout();
}

// ---- Views and commands ----

CView* CFrameWnd::GetActiveView() const
{
    if (m_pViewActive == nullptr || FromHandlePermanent(m_hWndViewActive) != m_pViewActive)
        return nullptr;
    return m_pViewActive;
}

void CFrameWnd::SetActiveView(CView* pViewNew, BOOL bNotify)
{
    CView* pViewOld = GetActiveView();
    if (pViewNew != nullptr && pViewNew->m_hWnd == nullptr)
        pViewNew = nullptr;
    if (pViewNew == pViewOld) {
        m_pViewActive = pViewNew;
        m_hWndViewActive = pViewNew ? pViewNew->m_hWnd : nullptr;
        return;
    }
    m_pViewActive = pViewNew;
    m_hWndViewActive = pViewNew ? pViewNew->m_hWnd : nullptr;
    if (bNotify && pViewOld)
        pViewOld->OnActivateView(FALSE, pViewNew, pViewOld);
    if (pViewNew) {
        HWND focus = ::GetFocus();
        if (focus != pViewNew->m_hWnd && !::IsChild(pViewNew->m_hWnd, focus))
            pViewNew->SetFocus();
        if (bNotify)
            pViewNew->OnActivateView(TRUE, pViewNew, pViewOld);
    }
}

BOOL CFrameWnd::OnCmdMsg(UINT nID, int nCode, void* pExtra, FwCmdHandlerInfo* pHandlerInfo)
{
    if (CView* pView = GetActiveView()) {
        if (pView->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
            return TRUE;
    }
    if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    CWinApp* pApp = AfxGetApp();
    return pApp != nullptr && pApp->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

void CFrameWnd::OnSetFocus(CWnd* pOldWnd)
{
    CView* pView = GetActiveView();
    if (pView && pView->IsWindowVisible())
        pView->SetFocus();
    else
        CWnd::OnSetFocus(pOldWnd);
}

LRESULT CFrameWnd::OnInitMenuPopupMessage(WPARAM wParam, LPARAM lParam)
{
    OnInitMenuPopup(CMenu::FromHandle((HMENU)wParam), LOWORD(lParam), HIWORD(lParam));
    return 0;
}

void CFrameWnd::OnInitMenuPopup(CMenu* pPopupMenu, UINT, BOOL bSysMenu)
{
    if (bSysMenu || pPopupMenu == nullptr || pPopupMenu->GetSafeHmenu() == nullptr)
        return;
    HMENU hMenu = pPopupMenu->GetSafeHmenu();
    CCmdUI state;
    state.m_hMenu = hMenu;
    int count = ::GetMenuItemCount(hMenu);
    for (int i = 0; i < count; ++i) {
        UINT id = ::GetMenuItemID(hMenu, i);
        // Separators, sub-menus (they get their own WM_INITMENUPOPUP) and system commands.
        if (id == 0 || id == (UINT)-1 || id >= 0xF000)
            continue;
        state.m_nIndex = (UINT)i;
        state.m_nID = id;
        state.DoUpdate(this, m_bAutoMenuEnable);
    }
}

LRESULT CFrameWnd::OnIdleUpdateCmdUI(WPARAM wParam, LPARAM)
{
    UpdateControlBars((BOOL)wParam);
    return 0;
}

void CFrameWnd::UpdateControlBars(BOOL bDisableIfNoHndler)
{
    // A bar's update may destroy another bar: walk a copy and check each is still ours.
    std::vector<CControlBar*> bars = m_bars;
    for (CControlBar* pBar : bars) {
        if (std::find(m_bars.begin(), m_bars.end(), pBar) == m_bars.end() || pBar->m_hWnd == nullptr)
            continue;
        if (pBar->GetStyle() & WS_VISIBLE)
            pBar->OnUpdateCmdUI(this, bDisableIfNoHndler);
    }
}

// ---- Closing ----

void CFrameWnd::OnClose()
{
    DestroyWindow();
}

void CFrameWnd::AddPopup(HWND hWndPopup)
{
    if (hWndPopup && std::find(m_popups.begin(), m_popups.end(), hWndPopup) == m_popups.end())
        m_popups.push_back(hWndPopup);
}

void CFrameWnd::RemovePopup(HWND hWndPopup)
{
    m_popups.erase(std::remove(m_popups.begin(), m_popups.end(), hWndPopup), m_popups.end());
}

void CFrameWnd::DestroyPopups()
{
    while (!m_popups.empty()) {
        HWND hWnd = m_popups.back();
        m_popups.pop_back();
        if (!::IsWindow(hWnd))
            continue;
        if (::GetWindowThreadProcessId(hWnd, nullptr) == ::GetCurrentThreadId()) {
            ::DestroyWindow(hWnd);
        } else {
            DWORD_PTR ignored = 0;
            ::SendMessageTimeout(hWnd, WM_CLOSE, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
        }
    }
}

void CFrameWnd::OnDestroy()
{
    // Windows destroys the frame before its children: the views still exist here, so pop-ups
    // that talk to them go first.
    m_bClosing = true;
    try {
        DestroyPopups();
    } catch (...) {
        FwTraceException("CFrameWnd::OnDestroy", "DestroyPopups");
    }
    CWnd::OnDestroy();
}

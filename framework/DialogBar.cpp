// CDialogBar: a child dialog from a template as a control bar, and the updates of its controls.
#include "DialogBar.h"
#include "CmdUI.h"
#include "FrameWnd.h"
#include "Resources.h"
#include "Trace.h"
#include "WndProc.h"
#include <vector>

IMPLEMENT_DYNAMIC(CDialogBar, CControlBar)

BEGIN_MESSAGE_MAP(CDialogBar, CControlBar)
END_MESSAGE_MAP()

namespace {

INT_PTR CALLBACK FwBarDlgProc(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

// Offsets of the style fields in the two template layouts.
struct TemplateStyle {
    size_t styleOffset;
    size_t exStyleOffset;
};

bool FindStyleFields(const BYTE* data, size_t size, TemplateStyle* fields)
{
    if (size < 18)
        return false;
    WORD version = *(const WORD*)data;
    WORD signature = *(const WORD*)(data + 2);
    if (version == 1 && signature == 0xFFFF) {
        if (size < 26)
            return false;
        fields->exStyleOffset = 8;   // dlgVer, signature, helpID, then exStyle and style
        fields->styleOffset = 12;
    } else {
        fields->styleOffset = 0;
        fields->exStyleOffset = 4;
    }
    return true;
}

}

CDialogBar::CDialogBar() = default;
CDialogBar::~CDialogBar() = default;

BOOL CDialogBar::Create(CWnd* pParentWnd, UINT nIDTemplate, UINT nStyle, UINT nID)
{
    return Create(pParentWnd, MAKEINTRESOURCE(nIDTemplate), nStyle, nID);
}

BOOL CDialogBar::Create(CWnd* pParentWnd, LPCTSTR lpszTemplateName, UINT nStyle, UINT nID)
{
    if (m_hWnd != nullptr || pParentWnd == nullptr || pParentWnd->m_hWnd == nullptr) {
        FwTrace("CDialogBar::Create", "no parent, or the bar exists already");
        return FALSE;
    }
    HINSTANCE module = AfxFindResourceHandle(lpszTemplateName, RT_DIALOG);
    HRSRC resource = ::FindResource(module, lpszTemplateName, RT_DIALOG);
    HGLOBAL loaded = resource ? ::LoadResource(module, resource) : nullptr;
    const BYTE* data = loaded ? (const BYTE*)::LockResource(loaded) : nullptr;
    DWORD size = resource ? ::SizeofResource(module, resource) : 0;
    TemplateStyle fields = {};
    if (data == nullptr || !FindStyleFields(data, size, &fields)) {
        FwTrace("CDialogBar::Create", "dialog template not found");
        return FALSE;
    }
    // A copy made a plain child: whatever the template says, a bar has no caption or frame.
    std::vector<BYTE> copy(data, data + size);
    DWORD style = *(DWORD*)&copy[fields.styleOffset];
    style &= ~(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | DS_MODALFRAME | WS_DISABLED | WS_VISIBLE
               | WS_MINIMIZEBOX | WS_MAXIMIZEBOX);
    style |= WS_CHILD | WS_CLIPSIBLINGS;
    *(DWORD*)&copy[fields.styleOffset] = style;
    DWORD exStyle = *(DWORD*)&copy[fields.exStyleOffset];
    exStyle = (exStyle & ~(WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE | WS_EX_CLIENTEDGE | WS_EX_APPWINDOW))
              | WS_EX_CONTROLPARENT;
    *(DWORD*)&copy[fields.exStyleOffset] = exStyle;

    m_dwStyle = nStyle & 0xFFFF;
    m_pDockSite = DYNAMIC_DOWNCAST(CFrameWnd, pParentWnd);
    if (m_pDockSite == nullptr)
        m_pDockSite = pParentWnd->GetParentFrame();
    FwEnsureCommonControls();
    FwHookWindowCreate(this, nullptr);
    HWND hWnd = ::CreateDialogIndirectParamW(module, (LPCDLGTEMPLATE)copy.data(), pParentWnd->m_hWnd,
                                             &FwBarDlgProc, 0);
    bool attached = FwUnhookWindowCreate();
    if (hWnd == nullptr) {
        FwTrace("CDialogBar::Create", "the bar window could not be created");
        if (!attached)
            PostNcDestroy();
        return FALSE;
    }
    SetDlgCtrlID((int)nID);
    CRect rect;
    GetWindowRect(&rect);
    m_sizeDefault = rect.Size();
    // Showing it makes the frame lay itself out again.
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    return TRUE;
}

BOOL CDialogBar::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (message == WM_INITDIALOG) {
        // A bar never takes the focus when it appears.
        *pResult = FALSE;
        return TRUE;
    }
    return CControlBar::OnWndMsg(message, wParam, lParam, pResult);
}

CSize CDialogBar::CalcFixedLayout(BOOL bStretch, BOOL bHorz)
{
    return CControlBar::CalcFixedLayout(bStretch, bHorz);
}

void CDialogBar::OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler)
{
    CCmdUI state;
    CWnd wndTemp;
    for (HWND hChild = ::GetTopWindow(m_hWnd); hChild != nullptr; hChild = ::GetWindow(hChild, GW_HWNDNEXT)) {
        UINT id = (UINT)::GetDlgCtrlID(hChild);
        if (id == 0 || id == 0xFFFF || id == (UINT)-1)
            continue;
        CWnd* pChild = FromHandlePermanent(hChild);
        if (pChild == nullptr) {
            wndTemp.m_hWnd = hChild;
            pChild = &wndTemp;
        }
        state.m_nID = id;
        state.m_pOther = pChild;
        state.m_hMenu = nullptr;
        if (OnCmdMsg(id, CN_UPDATE_COMMAND_UI, &state, nullptr))
            continue;
        if (pTarget && pTarget->OnCmdMsg(id, CN_UPDATE_COMMAND_UI, &state, nullptr))
            continue;
        if (!bDisableIfNoHndler)
            continue;
        bool isButton = (::SendMessage(hChild, WM_GETDLGCODE, 0, 0)
                         & (DLGC_BUTTON | DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) != 0;
        if (!isButton)
            continue;
        FwCmdHandlerInfo info = {};
        bool handled = OnCmdMsg(id, CN_COMMAND, nullptr, &info)
                       || (pTarget && pTarget->OnCmdMsg(id, CN_COMMAND, nullptr, &info));
        if (!handled)
            state.Enable(FALSE);
    }
    wndTemp.m_hWnd = nullptr;
}

// CWnd: handle map, creation, subclassing, the window procedure and destruction.
#include "Wnd.h"
#include "ThreadState.h"
#include "Trace.h"
#include "WinApp.h"
#include "WinThread.h"
#include "WndProc.h"
#include <mutex>
#include <set>
#include <string>

IMPLEMENT_DYNCREATE(CWnd, CCmdTarget)

const CWnd CWnd::wndTop(HWND_TOP, CWnd::PseudoTag());
const CWnd CWnd::wndBottom(HWND_BOTTOM, CWnd::PseudoTag());
const CWnd CWnd::wndTopMost(HWND_TOPMOST, CWnd::PseudoTag());
const CWnd CWnd::wndNoTopMost(HWND_NOTOPMOST, CWnd::PseudoTag());

void FwWndAccessInstall(CWnd* pWnd, HWND hWnd);

namespace {

// Where a subclassed window keeps its original procedure, so that a message reaching
// FwWndProc after the object let go (or died) still gets proper default handling.
const wchar_t kSuperProcProp[] = L"Fw.SuperProc";

void InstallProc(HWND hWnd, WNDPROC* pfnSuper)
{
    WNDPROC old = (WNDPROC)::SetWindowLongPtr(hWnd, GWLP_WNDPROC, (LONG_PTR)&FwWndProc);
    if (old != &FwWndProc) {
        *pfnSuper = old;
        ::SetProp(hWnd, kSuperProcProp, (HANDLE)(UINT_PTR)old);
    } else if (*pfnSuper == nullptr) {
        *pfnSuper = (WNDPROC)(UINT_PTR)::GetProp(hWnd, kSuperProcProp);
    }
}

// Puts the original procedure back; false when someone subclassed the window after us, in
// which case ours stays in the chain and forwards through the property.
bool RemoveProc(HWND hWnd, WNDPROC pfnSuper)
{
    if (pfnSuper == nullptr)
        return true;
    if ((WNDPROC)::GetWindowLongPtr(hWnd, GWLP_WNDPROC) != &FwWndProc)
        return false;
    ::SetWindowLongPtr(hWnd, GWLP_WNDPROC, (LONG_PTR)pfnSuper);
    ::RemoveProp(hWnd, kSuperProcProp);
    return true;
}

bool SameClass(HWND hWnd, LPCWSTR expected)
{
    if (IS_INTRESOURCE(expected))
        return (ATOM)::GetClassLongPtr(hWnd, GCW_ATOM) == (ATOM)(ULONG_PTR)expected;
    wchar_t name[256];
    if (!::GetClassNameW(hWnd, name, 256))
        return false;
    return ::lstrcmpiW(name, expected) == 0;
}

bool IsInputMethodWindow(HWND hWnd)
{
    wchar_t name[64];
    if (!::GetClassNameW(hWnd, name, 64))
        return false;
    return ::lstrcmpiW(name, L"IME") == 0 || ::lstrcmpiW(name, L"MSCTFIME UI") == 0;
}

LRESULT CALLBACK CbtFilterHook(int code, WPARAM wParam, LPARAM lParam)
{
    FwThreadState* state = FwGetThreadState();
    if (code == HCBT_CREATEWND && state->pWndInit != nullptr) {
        HWND hWnd = (HWND)wParam;
        bool match = state->pszInitClass ? SameClass(hWnd, state->pszInitClass) : !IsInputMethodWindow(hWnd);
        if (match) {
            CWnd* pWnd = state->pWndInit;
            state->pWndInit = nullptr;
            try {
                pWnd->Attach(hWnd);
                pWnd->PreSubclassWindow();
            } catch (...) {
                FwTraceException("window creation", "PreSubclassWindow");
            }
            FwWndAccessInstall(pWnd, hWnd);
        }
    }
    return ::CallNextHookEx(state->hCbtHook, code, wParam, lParam);
}

struct ClassRegistry {
    std::mutex lock;
    std::set<std::wstring> names;
};

}

// Lets the hook reach CWnd's protected procedure pointer.
struct FwWndAccess {
    static void Install(CWnd* pWnd, HWND hWnd) { InstallProc(hWnd, &pWnd->m_pfnSuper); }
    static bool Remove(CWnd* pWnd, HWND hWnd)
    {
        bool removed = RemoveProc(hWnd, pWnd->m_pfnSuper);
        pWnd->m_pfnSuper = nullptr;
        return removed;
    }
};

void FwWndAccessInstall(CWnd* pWnd, HWND hWnd)
{
    FwWndAccess::Install(pWnd, hWnd);
}

void FwHookWindowCreate(CWnd* pWnd, LPCWSTR pszClass)
{
    FwThreadState* state = FwGetThreadState();
    if (state->hCbtHook == nullptr)
        state->hCbtHook = ::SetWindowsHookExW(WH_CBT, &CbtFilterHook, nullptr, ::GetCurrentThreadId());
    state->pWndInit = pWnd;
    state->pszInitClass = pszClass;
}

bool FwUnhookWindowCreate()
{
    FwThreadState* state = FwGetThreadState();
    bool attached = state->pWndInit == nullptr;
    state->pWndInit = nullptr;
    state->pszInitClass = nullptr;
    return attached;
}

void FwEnsureCommonControls()
{
    static std::once_flag once;
    std::call_once(once, [] {
        INITCOMMONCONTROLSEX icc = { sizeof(icc), ICC_WIN95_CLASSES | ICC_DATE_CLASSES | ICC_USEREX_CLASSES
                                                      | ICC_COOL_CLASSES | ICC_LINK_CLASS | ICC_STANDARD_CLASSES };
        ::InitCommonControlsEx(&icc);
    });
}

namespace {

// After WM_NCDESTROY: the object lets go of the window and may delete itself. A thread's main
// window going away ends that thread's message loop.
void FinishNcDestroy(CWnd* pWnd, HWND hWnd)
{
    if (CWnd::FromHandlePermanent(hWnd) != pWnd)
        return;
    FwWndAccess::Remove(pWnd, hWnd);
    pWnd->Detach();
    CWinThread* pThread = AfxGetThread();
    if (pThread && pThread->m_pMainWnd == pWnd) {
        pThread->m_pMainWnd = nullptr;
        ::PostQuitMessage(0);
    }
    try {
        pWnd->PostNcDestroy();
    } catch (...) {
        FwTraceHandlerException("window procedure", "PostNcDestroy");
    }
}

}

LRESULT CALLBACK FwWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
    if (pWnd == nullptr) {
        WNDPROC super = (WNDPROC)(UINT_PTR)::GetProp(hWnd, kSuperProcProp);
        if (message == WM_NCDESTROY)
            ::RemoveProp(hWnd, kSuperProcProp);
        return super ? ::CallWindowProc(super, hWnd, message, wParam, lParam)
                     : ::DefWindowProc(hWnd, message, wParam, lParam);
    }
    FwThreadState* state = FwGetThreadState();
    MSG saved = state->lastSentMsg;
    state->lastSentMsg.hwnd = hWnd;
    state->lastSentMsg.message = message;
    state->lastSentMsg.wParam = wParam;
    state->lastSentMsg.lParam = lParam;
    LRESULT lResult = 0;
    try {
        lResult = pWnd->WindowProc(message, wParam, lParam);
    } catch (...) {
        char what[64];
        wsprintfA(what, "message 0x%04X", message);
        FwTraceHandlerException("window procedure", what);
        // A window whose creation handler failed is not created.
        lResult = (message == WM_CREATE) ? -1 : 0;
    }
    if (message == WM_NCDESTROY)
        FinishNcDestroy(pWnd, hWnd);
    state->lastSentMsg = saved;
    return lResult;
}

// ---- Construction and the map ----

CWnd::CWnd() = default;

CWnd::~CWnd()
{
    if (m_hWnd == nullptr || FromHandlePermanent(m_hWnd) != this)
        return;
    HWND hWnd = m_hWnd;
    if (::IsWindow(hWnd) && ::GetWindowThreadProcessId(hWnd, nullptr) == ::GetCurrentThreadId()) {
        // The object dies first: the window goes with it, without the derived handlers.
        ::DestroyWindow(hWnd);
    }
    if (FromHandlePermanent(hWnd) == this) {
        FwWndAccess::Remove(this, hWnd);
        Detach();
    }
}

CWnd* CWnd::FromHandle(HWND hWnd)
{
    return fwmap::LookupOrMakeTemporary(hWnd);
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd)
{
    return fwmap::LookupPermanent(hWnd);
}

void CWnd::DeleteTempMap(bool bAll)
{
    fwmap::DeleteTemporaries(bAll);
}

BOOL CWnd::Attach(HWND hWndNew)
{
    if (hWndNew == nullptr || m_hWnd != nullptr)
        return FALSE;
    CWnd* existing = FromHandlePermanent(hWndNew);
    if (existing != nullptr && existing != this)
        return FALSE;   // one object per window
    fwmap::AddPermanent(hWndNew, this);
    m_hWnd = hWndNew;
    return TRUE;
}

HWND CWnd::Detach()
{
    HWND hWnd = m_hWnd;
    if (hWnd != nullptr && FromHandlePermanent(hWnd) == this)
        fwmap::RemovePermanent(hWnd);
    m_hWnd = nullptr;
    return hWnd;
}

// ---- Creation ----

LPCTSTR CWnd::RegisterClassFor(UINT nClassStyle, HCURSOR hCursor, HBRUSH hbrBackground, HICON hIcon)
{
    wchar_t name[96];
    wsprintfW(name, L"Fw:%x:%p:%p:%p", nClassStyle, (void*)hCursor, (void*)hbrBackground, (void*)hIcon);
    static ClassRegistry* registry = new ClassRegistry;
    std::lock_guard<std::mutex> hold(registry->lock);
    auto found = registry->names.find(name);
    if (found != registry->names.end())
        return found->c_str();
    WNDCLASSW wc = {};
    wc.style = nClassStyle | CS_GLOBALCLASS;
    wc.lpfnWndProc = ::DefWindowProcW;   // the creation hook puts FwWndProc in front
    wc.hInstance = FwFrameworkModule();
    wc.hCursor = hCursor;
    wc.hbrBackground = hbrBackground;
    wc.hIcon = hIcon;
    wc.lpszClassName = name;
    if (!::RegisterClassW(&wc) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        return nullptr;
    return registry->names.insert(name).first->c_str();
}

BOOL CWnd::PreCreateWindow(CREATESTRUCT& cs)
{
    if (cs.lpszClass == nullptr) {
        cs.lpszClass = RegisterClassFor(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW), (HBRUSH)(COLOR_WINDOW + 1));
        if (cs.lpszClass == nullptr)
            return FALSE;
    }
    return TRUE;
}

BOOL CWnd::Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                  CWnd* pParentWnd, UINT nID, CCreateContext* pContext)
{
    return CreateEx(0, lpszClassName, lpszWindowName, dwStyle | WS_CHILD, rect, pParentWnd, nID,
                    (LPVOID)pContext);
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle,
                    const RECT& rect, CWnd* pParentWnd, UINT nID, LPVOID lpParam)
{
    return CreateEx(dwExStyle, lpszClassName, lpszWindowName, dwStyle, rect.left, rect.top,
                    rect.right - rect.left, rect.bottom - rect.top, pParentWnd->GetSafeHwnd(),
                    (HMENU)(UINT_PTR)nID, lpParam);
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle,
                    int x, int y, int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu, LPVOID lpParam)
{
    if (m_hWnd != nullptr) {
        FwTrace("CWnd::CreateEx", "the object already has a window");
        return FALSE;
    }
    CREATESTRUCT cs = {};
    cs.dwExStyle = dwExStyle;
    cs.lpszClass = lpszClassName;
    cs.lpszName = lpszWindowName;
    cs.style = dwStyle;
    cs.x = x;
    cs.y = y;
    cs.cx = nWidth;
    cs.cy = nHeight;
    cs.hwndParent = hWndParent;
    cs.hMenu = nIDorHMenu;
    cs.hInstance = AfxGetInstanceHandle();
    cs.lpCreateParams = lpParam;
    if (!PreCreateWindow(cs)) {
        PostNcDestroy();
        return FALSE;
    }
    FwEnsureCommonControls();
    // The class name may live in a caller's temporary; the hook compares by content at once.
    std::wstring className = IS_INTRESOURCE(cs.lpszClass) ? std::wstring() : std::wstring(cs.lpszClass);
    FwHookWindowCreate(this, IS_INTRESOURCE(cs.lpszClass) ? cs.lpszClass : className.c_str());
    HWND hWnd = ::CreateWindowEx(cs.dwExStyle, cs.lpszClass, cs.lpszName, cs.style, cs.x, cs.y, cs.cx, cs.cy,
                                 cs.hwndParent, cs.hMenu, cs.hInstance, cs.lpCreateParams);
    if (!FwUnhookWindowCreate()) {
        // The window never existed for us: a self-owning object cleans up as after a destroy.
        PostNcDestroy();
    }
    return hWnd != nullptr;
}

BOOL CWnd::DestroyWindow()
{
    HWND hWnd = m_hWnd;
    if (hWnd == nullptr)
        return FALSE;
    bool permanent = FromHandlePermanent(hWnd) == this;
    BOOL result = ::DestroyWindow(hWnd);
    // A permanent object was detached by WM_NCDESTROY and may be gone already.
    if (!permanent && m_hWnd == hWnd)
        m_hWnd = nullptr;
    return result;
}

void CWnd::PreSubclassWindow()
{
}

void CWnd::PostNcDestroy()
{
}

BOOL CWnd::SubclassWindow(HWND hWnd)
{
    if (hWnd == nullptr || !::IsWindow(hWnd))
        return FALSE;
    if (!Attach(hWnd))
        return FALSE;
    try {
        PreSubclassWindow();
    } catch (...) {
        FwTraceException("SubclassWindow", "PreSubclassWindow");
    }
    FwWndAccess::Install(this, hWnd);
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent)
{
    HWND hWndControl = ::GetDlgItem(pParent->GetSafeHwnd(), (int)nID);
    return hWndControl ? SubclassWindow(hWndControl) : FALSE;
}

HWND CWnd::UnsubclassWindow()
{
    if (m_hWnd == nullptr)
        return nullptr;
    FwWndAccess::Remove(this, m_hWnd);
    return Detach();
}

// ---- Messages ----

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT lResult = 0;
    if (!OnWndMsg(message, wParam, lParam, &lResult))
        lResult = DefWindowProc(message, wParam, lParam);
    return lResult;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_pfnSuper != nullptr)
        return ::CallWindowProc(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefWindowProc(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default()
{
    const MSG& msg = FwGetThreadState()->lastSentMsg;
    return DefWindowProc(msg.message, msg.wParam, msg.lParam);
}

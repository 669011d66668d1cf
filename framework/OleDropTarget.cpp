// Drop targets: OLE's IDropTarget calls turned into the target's callbacks, in client
// coordinates, with the drag's data object held between enter and leave or drop.
#include "OleDropTarget.h"
#include "Trace.h"
#include "Wnd.h"
#include <ole2.h>

IMPLEMENT_DYNAMIC(COleDropTarget, CCmdTarget)

COleDropTarget::COleDropTarget()
{
    m_xDropTarget.m_pOwner = this;
}

IDropTarget* COleDropTarget::GetInterface()
{
    return &m_xDropTarget;
}

COleDropTarget::~COleDropTarget()
{
    Revoke();
}

BOOL COleDropTarget::Register(CWnd* pWnd)
{
    HWND hWnd = pWnd->GetSafeHwnd();
    if (hWnd == nullptr || m_hWnd != nullptr)
        return FALSE;
    HRESULT hr = ::RegisterDragDrop(hWnd, &m_xDropTarget);
    if (FAILED(hr)) {
        FwTrace("COleDropTarget::Register", "RegisterDragDrop failed");
        return FALSE;
    }
    m_hWnd = hWnd;
    return TRUE;
}

void COleDropTarget::Revoke()
{
    EndDrag();
    if (m_hWnd == nullptr)
        return;
    // The window may be gone already; OLE forgets it either way.
    if (::IsWindow(m_hWnd))
        ::RevokeDragDrop(m_hWnd);
    m_hWnd = nullptr;
}

DROPEFFECT COleDropTarget::OnDragEnter(CWnd*, COleDataObject*, DWORD, CPoint)
{
    return DROPEFFECT_NONE;
}

DROPEFFECT COleDropTarget::OnDragOver(CWnd*, COleDataObject*, DWORD, CPoint)
{
    return DROPEFFECT_NONE;
}

BOOL COleDropTarget::OnDrop(CWnd*, COleDataObject*, DROPEFFECT, CPoint)
{
    return FALSE;
}

DROPEFFECT COleDropTarget::OnDropEx(CWnd*, COleDataObject*, DROPEFFECT, DROPEFFECT, CPoint)
{
    return (DROPEFFECT)-1;
}

void COleDropTarget::OnDragLeave(CWnd*)
{
}

DROPEFFECT COleDropTarget::OnDragScroll(CWnd*, DWORD, CPoint)
{
    return DROPEFFECT_NONE;
}

int COleDropTarget::GetScrollInset()
{
    return (int)::GetProfileIntW(L"windows", L"DragScrollInset", DD_DEFSCROLLINSET);
}

UINT COleDropTarget::GetScrollDelay()
{
    return ::GetProfileIntW(L"windows", L"DragScrollDelay", DD_DEFSCROLLDELAY);
}

UINT COleDropTarget::GetScrollInterval()
{
    return ::GetProfileIntW(L"windows", L"DragScrollInterval", DD_DEFSCROLLINTERVAL);
}

DROPEFFECT COleDropTarget::EffectFromKeys(DWORD dwKeyState, DROPEFFECT allowed)
{
    DROPEFFECT wanted;
    if ((dwKeyState & MK_CONTROL) && (dwKeyState & MK_SHIFT))
        wanted = DROPEFFECT_LINK;
    else if (dwKeyState & MK_CONTROL)
        wanted = DROPEFFECT_COPY;
    else if (allowed & DROPEFFECT_MOVE)
        wanted = DROPEFFECT_MOVE;
    else
        wanted = DROPEFFECT_COPY;
    return (wanted & allowed) ? wanted : DROPEFFECT_NONE;
}

CWnd* COleDropTarget::TargetWnd() const
{
    return CWnd::FromHandle(m_hWnd);
}

CPoint COleDropTarget::ClientPoint(POINTL pt) const
{
    POINT p = { pt.x, pt.y };
    ::ScreenToClient(m_hWnd, &p);
    return CPoint(p.x, p.y);
}

void COleDropTarget::EndDrag()
{
    m_dataObject.Release();
    m_lpDataObject = nullptr;
    m_nScrollDirection = 0xFFFF;
    m_dropEffectAllowed = DROPEFFECT_NONE;
    m_dropEffectLast = DROPEFFECT_NONE;
}

// ---- IDropTarget ----

STDMETHODIMP COleDropTarget::XDropTarget::QueryInterface(REFIID riid, void** ppv)
{
    if (ppv == nullptr)
        return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDropTarget)) {
        *ppv = static_cast<IDropTarget*>(this);
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP COleDropTarget::XDropTarget::DragEnter(IDataObject* pData, DWORD grfKeyState, POINTL pt,
                                                    DWORD* pdwEffect)
{
    if (pdwEffect == nullptr)
        return E_INVALIDARG;
    COleDropTarget* t = m_pOwner;
    DWORD allowed = *pdwEffect;
    *pdwEffect = DROPEFFECT_NONE;
    t->EndDrag();
    if (pData == nullptr || t->m_hWnd == nullptr)
        return S_OK;
    pData->AddRef();
    t->m_dataObject.Attach(pData, TRUE);
    t->m_lpDataObject = &t->m_dataObject;
    t->m_dropEffectAllowed = allowed;
    t->m_dwLastTick = ::GetTickCount();
    t->m_nScrollDelay = GetScrollDelay();
    try {
        *pdwEffect = t->OnDragEnter(t->TargetWnd(), t->m_lpDataObject, grfKeyState, t->ClientPoint(pt)) & allowed;
        t->m_dropEffectLast = *pdwEffect;
    } catch (...) {
        FwTraceException("COleDropTarget::DragEnter");
        *pdwEffect = DROPEFFECT_NONE;
    }
    return S_OK;
}

STDMETHODIMP COleDropTarget::XDropTarget::DragOver(DWORD grfKeyState, POINTL pt, DWORD* pdwEffect)
{
    if (pdwEffect == nullptr)
        return E_INVALIDARG;
    COleDropTarget* t = m_pOwner;
    DWORD allowed = *pdwEffect;
    *pdwEffect = DROPEFFECT_NONE;
    if (t->m_lpDataObject == nullptr)
        return S_OK;
    t->m_dropEffectAllowed = allowed;
    try {
        CPoint point = t->ClientPoint(pt);
        DROPEFFECT effect = t->OnDragScroll(t->TargetWnd(), grfKeyState, point);
        if ((effect & DROPEFFECT_SCROLL) == 0)
            effect = t->OnDragOver(t->TargetWnd(), t->m_lpDataObject, grfKeyState, point);
        *pdwEffect = effect & (allowed | DROPEFFECT_SCROLL);
        t->m_dropEffectLast = *pdwEffect & ~DROPEFFECT_SCROLL;
    } catch (...) {
        FwTraceException("COleDropTarget::DragOver");
        *pdwEffect = DROPEFFECT_NONE;
    }
    return S_OK;
}

STDMETHODIMP COleDropTarget::XDropTarget::DragLeave()
{
    COleDropTarget* t = m_pOwner;
    if (t->m_lpDataObject != nullptr) {
        try {
            t->OnDragLeave(t->TargetWnd());
        } catch (...) {
            FwTraceException("COleDropTarget::DragLeave");
        }
    }
    t->EndDrag();
    return S_OK;
}

STDMETHODIMP COleDropTarget::XDropTarget::Drop(IDataObject* pData, DWORD grfKeyState, POINTL pt,
                                               DWORD* pdwEffect)
{
    if (pdwEffect == nullptr)
        return E_INVALIDARG;
    COleDropTarget* t = m_pOwner;
    DWORD allowed = *pdwEffect;
    *pdwEffect = DROPEFFECT_NONE;
    if (pData == nullptr || t->m_hWnd == nullptr) {
        t->EndDrag();
        return S_OK;
    }
    // OLE hands the data object again with the drop; use that one.
    pData->AddRef();
    t->m_dataObject.Attach(pData, TRUE);
    t->m_lpDataObject = &t->m_dataObject;
    (void)grfKeyState;
    try {
        CPoint point = t->ClientPoint(pt);
        CWnd* wnd = t->TargetWnd();
        // The effect the user saw last is the one the drop performs by default.
        DROPEFFECT dropDefault = t->m_dropEffectLast & allowed;
        DROPEFFECT done = t->OnDropEx(wnd, t->m_lpDataObject, dropDefault, allowed, point);
        if (done == (DROPEFFECT)-1) {
            done = DROPEFFECT_NONE;
            if (dropDefault != DROPEFFECT_NONE &&
                t->OnDrop(wnd, t->m_lpDataObject, dropDefault, point))
                done = dropDefault;
        }
        *pdwEffect = done & allowed;
    } catch (...) {
        FwTraceException("COleDropTarget::Drop");
        *pdwEffect = DROPEFFECT_NONE;
    }
    t->EndDrag();
    return S_OK;
}

// Hosting OLE controls in a window: creation, in-place activation and the site's interfaces.
#include "ControlSite.h"
#include "Trace.h"
#include "Wnd.h"
#include <mshtmhst.h>
#include <algorithm>

// ---- COleControlSite ----

COleControlSite::COleControlSite(COleControlContainer* pCtrlCont) : m_pCtrlCont(pCtrlCont)
{
    m_xClientSite.m_pSite = this;
    m_xInPlaceSite.m_pSite = this;
    m_xInPlaceFrame.m_pSite = this;
}

COleControlSite::~COleControlSite()
{
    // Normally DestroyControl ran; a control still held here is let go without calls into it.
    if (m_pActiveObject)
        m_pActiveObject->Release();
    if (m_pInPlaceObject)
        m_pInPlaceObject->Release();
    if (m_pObject)
        m_pObject->Release();
}

ULONG COleControlSite::AddRef()
{
    return (ULONG)::InterlockedIncrement(&m_dwRef);
}

ULONG COleControlSite::Release()
{
    LONG n = ::InterlockedDecrement(&m_dwRef);
    if (n == 0)
        delete this;
    return (ULONG)n;
}

HRESULT COleControlSite::QueryInterface(REFIID riid, void** ppv)
{
    if (ppv == nullptr)
        return E_POINTER;
    *ppv = nullptr;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IOleClientSite))
        *ppv = static_cast<IOleClientSite*>(&m_xClientSite);
    else if (IsEqualIID(riid, IID_IOleWindow) || IsEqualIID(riid, IID_IOleInPlaceSite))
        *ppv = static_cast<IOleInPlaceSite*>(&m_xInPlaceSite);
    else if (IsEqualIID(riid, IID_IOleInPlaceFrame) || IsEqualIID(riid, IID_IOleInPlaceUIWindow))
        *ppv = static_cast<IOleInPlaceFrame*>(&m_xInPlaceFrame);
    else if (IsEqualIID(riid, IID_IDocHostUIHandler))
        *ppv = GetDocHostUIHandler();
    if (*ppv == nullptr)
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

HWND COleControlSite::HostWindow() const
{
    return m_pCtrlCont ? m_pCtrlCont->GetHwnd() : nullptr;
}

HRESULT COleControlSite::CreateControl(REFCLSID clsid, const RECT& rect, UINT nID)
{
    if (m_pObject != nullptr || HostWindow() == nullptr)
        return E_UNEXPECTED;
    m_nID = nID;
    m_rect = rect;
    HRESULT hr = ::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER,
                                    IID_IOleObject, (void**)&m_pObject);
    if (FAILED(hr)) {
        m_pObject = nullptr;
        return hr;
    }
    hr = m_pObject->SetClientSite(&m_xClientSite);
    if (SUCCEEDED(hr)) {
        IPersistStreamInit* init = nullptr;
        if (SUCCEEDED(m_pObject->QueryInterface(IID_IPersistStreamInit, (void**)&init))) {
            init->InitNew();
            init->Release();
        }
        RECT r = rect;
        hr = m_pObject->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, &m_xClientSite, 0, HostWindow(), &r);
    }
    if (FAILED(hr)) {
        DestroyControl();
        return hr;
    }
    m_pObject->QueryInterface(IID_IOleInPlaceObject, (void**)&m_pInPlaceObject);
    if (HWND hCtrl = GetControlWindow())
        ::SetWindowLongPtr(hCtrl, GWLP_ID, (LONG_PTR)nID);
    return S_OK;
}

void COleControlSite::DestroyControl()
{
    if (m_pInPlaceObject) {
        m_pInPlaceObject->InPlaceDeactivate();
        m_pInPlaceObject->Release();
        m_pInPlaceObject = nullptr;
    }
    if (m_pActiveObject) {
        m_pActiveObject->Release();
        m_pActiveObject = nullptr;
    }
    if (m_pObject) {
        IOleObject* obj = m_pObject;
        m_pObject = nullptr;
        obj->Close(OLECLOSE_NOSAVE);
        obj->SetClientSite(nullptr);
        obj->Release();
    }
}

void COleControlSite::MoveControl(const RECT& rect)
{
    m_rect = rect;
    if (m_pInPlaceObject) {
        RECT r = rect;
        m_pInPlaceObject->SetObjectRects(&r, &r);
    }
}

HRESULT COleControlSite::QueryControl(REFIID riid, void** ppv) const
{
    if (ppv == nullptr)
        return E_POINTER;
    *ppv = nullptr;
    return m_pObject ? m_pObject->QueryInterface(riid, ppv) : E_UNEXPECTED;
}

HWND COleControlSite::GetControlWindow() const
{
    HWND hwnd = nullptr;
    if (m_pInPlaceObject)
        m_pInPlaceObject->GetWindow(&hwnd);
    return hwnd;
}

BOOL COleControlSite::TranslateAccelerator(MSG* pMsg)
{
    if (m_pActiveObject == nullptr || pMsg == nullptr)
        return FALSE;
    if (pMsg->message < WM_KEYFIRST || pMsg->message > WM_KEYLAST)
        return FALSE;
    return m_pActiveObject->TranslateAccelerator(pMsg) == S_OK;
}

// ---- IOleClientSite ----

#define FW_SITE_IUNKNOWN(cls) \
    STDMETHODIMP COleControlSite::cls::QueryInterface(REFIID riid, void** ppv) \
    { return m_pSite->QueryInterface(riid, ppv); } \
    STDMETHODIMP_(ULONG) COleControlSite::cls::AddRef() { return m_pSite->AddRef(); } \
    STDMETHODIMP_(ULONG) COleControlSite::cls::Release() { return m_pSite->Release(); }

FW_SITE_IUNKNOWN(XClientSite)
FW_SITE_IUNKNOWN(XInPlaceSite)
FW_SITE_IUNKNOWN(XInPlaceFrame)

STDMETHODIMP COleControlSite::XClientSite::SaveObject() { return E_NOTIMPL; }
STDMETHODIMP COleControlSite::XClientSite::GetMoniker(DWORD, DWORD, IMoniker** ppmk)
{
    if (ppmk)
        *ppmk = nullptr;
    return E_NOTIMPL;
}
STDMETHODIMP COleControlSite::XClientSite::GetContainer(IOleContainer** ppContainer)
{
    if (ppContainer)
        *ppContainer = nullptr;
    return E_NOINTERFACE;
}
STDMETHODIMP COleControlSite::XClientSite::ShowObject() { return S_OK; }
STDMETHODIMP COleControlSite::XClientSite::OnShowWindow(BOOL) { return S_OK; }
STDMETHODIMP COleControlSite::XClientSite::RequestNewObjectLayout() { return E_NOTIMPL; }

// ---- IOleInPlaceSite ----

STDMETHODIMP COleControlSite::XInPlaceSite::GetWindow(HWND* phwnd)
{
    if (phwnd == nullptr)
        return E_POINTER;
    *phwnd = m_pSite->HostWindow();
    return *phwnd ? S_OK : E_FAIL;
}
STDMETHODIMP COleControlSite::XInPlaceSite::ContextSensitiveHelp(BOOL) { return E_NOTIMPL; }
STDMETHODIMP COleControlSite::XInPlaceSite::CanInPlaceActivate()
{
    return m_pSite->HostWindow() ? S_OK : S_FALSE;
}
STDMETHODIMP COleControlSite::XInPlaceSite::OnInPlaceActivate() { return S_OK; }
STDMETHODIMP COleControlSite::XInPlaceSite::OnUIActivate() { return S_OK; }
STDMETHODIMP COleControlSite::XInPlaceSite::GetWindowContext(IOleInPlaceFrame** ppFrame,
                                                             IOleInPlaceUIWindow** ppDoc,
                                                             LPRECT lprcPosRect, LPRECT lprcClipRect,
                                                             LPOLEINPLACEFRAMEINFO lpFrameInfo)
{
    if (ppFrame == nullptr || ppDoc == nullptr || lprcPosRect == nullptr || lprcClipRect == nullptr)
        return E_POINTER;
    *ppFrame = &m_pSite->m_xInPlaceFrame;
    m_pSite->AddRef();
    *ppDoc = nullptr;
    *lprcPosRect = m_pSite->m_rect;
    *lprcClipRect = m_pSite->m_rect;
    if (lpFrameInfo) {
        lpFrameInfo->fMDIApp = FALSE;
        HWND host = m_pSite->HostWindow();
        lpFrameInfo->hwndFrame = host ? ::GetAncestor(host, GA_ROOT) : nullptr;
        lpFrameInfo->haccel = nullptr;
        lpFrameInfo->cAccelEntries = 0;
    }
    return S_OK;
}
STDMETHODIMP COleControlSite::XInPlaceSite::Scroll(SIZE) { return E_NOTIMPL; }
STDMETHODIMP COleControlSite::XInPlaceSite::OnUIDeactivate(BOOL) { return S_OK; }
STDMETHODIMP COleControlSite::XInPlaceSite::OnInPlaceDeactivate() { return S_OK; }
STDMETHODIMP COleControlSite::XInPlaceSite::DiscardUndoState() { return E_NOTIMPL; }
STDMETHODIMP COleControlSite::XInPlaceSite::DeactivateAndUndo() { return E_NOTIMPL; }
STDMETHODIMP COleControlSite::XInPlaceSite::OnPosRectChange(LPCRECT lprcPosRect)
{
    if (lprcPosRect == nullptr)
        return E_POINTER;
    m_pSite->MoveControl(*lprcPosRect);
    return S_OK;
}

// ---- IOleInPlaceFrame ----

STDMETHODIMP COleControlSite::XInPlaceFrame::GetWindow(HWND* phwnd)
{
    if (phwnd == nullptr)
        return E_POINTER;
    HWND host = m_pSite->HostWindow();
    *phwnd = host ? ::GetAncestor(host, GA_ROOT) : nullptr;
    return *phwnd ? S_OK : E_FAIL;
}
STDMETHODIMP COleControlSite::XInPlaceFrame::ContextSensitiveHelp(BOOL) { return E_NOTIMPL; }
STDMETHODIMP COleControlSite::XInPlaceFrame::GetBorder(LPRECT) { return INPLACE_E_NOTOOLSPACE; }
STDMETHODIMP COleControlSite::XInPlaceFrame::RequestBorderSpace(LPCBORDERWIDTHS) { return INPLACE_E_NOTOOLSPACE; }
STDMETHODIMP COleControlSite::XInPlaceFrame::SetBorderSpace(LPCBORDERWIDTHS) { return S_OK; }
STDMETHODIMP COleControlSite::XInPlaceFrame::SetActiveObject(IOleInPlaceActiveObject* pActiveObject, LPCOLESTR)
{
    if (pActiveObject)
        pActiveObject->AddRef();
    if (m_pSite->m_pActiveObject)
        m_pSite->m_pActiveObject->Release();
    m_pSite->m_pActiveObject = pActiveObject;
    return S_OK;
}
STDMETHODIMP COleControlSite::XInPlaceFrame::InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) { return E_NOTIMPL; }
STDMETHODIMP COleControlSite::XInPlaceFrame::SetMenu(HMENU, HOLEMENU, HWND) { return S_OK; }
STDMETHODIMP COleControlSite::XInPlaceFrame::RemoveMenus(HMENU) { return E_NOTIMPL; }
STDMETHODIMP COleControlSite::XInPlaceFrame::SetStatusText(LPCOLESTR) { return S_OK; }
STDMETHODIMP COleControlSite::XInPlaceFrame::EnableModeless(BOOL) { return S_OK; }
STDMETHODIMP COleControlSite::XInPlaceFrame::TranslateAccelerator(LPMSG, WORD) { return S_FALSE; }

// ---- COleControlContainer ----

COleControlContainer::COleControlContainer(CWnd* pWnd) : m_pWnd(pWnd), m_hWnd(pWnd->GetSafeHwnd())
{
}

COleControlContainer::~COleControlContainer()
{
    while (!m_sites.empty()) {
        COleControlSite* site = m_sites.back();
        site->DestroyControl();
        RemoveSite(site);
    }
    SetExternal(nullptr);
}

HWND COleControlContainer::GetHwnd() const
{
    return ::IsWindow(m_hWnd) ? m_hWnd : nullptr;
}

void COleControlContainer::AddSite(COleControlSite* pSite)
{
    if (pSite && std::find(m_sites.begin(), m_sites.end(), pSite) == m_sites.end())
        m_sites.push_back(pSite);
}

void COleControlContainer::RemoveSite(COleControlSite* pSite)
{
    auto it = std::find(m_sites.begin(), m_sites.end(), pSite);
    if (it == m_sites.end())
        return;
    m_sites.erase(it);
    // A control may still hold the site: it stays alive, but no longer knows this container.
    pSite->m_pCtrlCont = nullptr;
    pSite->Release();
}

COleControlSite* COleControlContainer::FindSite(UINT nID) const
{
    for (COleControlSite* site : m_sites)
        if (site->GetID() == nID)
            return site;
    return nullptr;
}

void COleControlContainer::SetExternal(IDispatch* pDispatch)
{
    if (pDispatch)
        pDispatch->AddRef();
    if (m_pExternal)
        m_pExternal->Release();
    m_pExternal = pDispatch;
}

IDispatch* COleControlContainer::GetExternal()
{
    if (m_pExternal)
        m_pExternal->AddRef();
    return m_pExternal;
}

// ---- COccManager ----

COleControlSite* COccManager::CreateSite(COleControlContainer* pCtrlCont)
{
    return new COleControlSite(pCtrlCont);
}

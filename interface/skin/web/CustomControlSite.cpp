// The browser's host-UI answers.
#include "CustomControlSite.h"

CCustomControlSite::CCustomControlSite(COleControlContainer* pCtrlCont) : COleControlSite(pCtrlCont)
{
    m_xDocHostUIHandler.m_pSite = this;
}

CCustomControlSite::~CCustomControlSite() = default;

IDocHostUIHandler* CCustomControlSite::GetHandler()
{
    return &m_xDocHostUIHandler;
}

IDocHostUIHandler* CCustomControlSite::GetDocHostUIHandler()
{
    return &m_xDocHostUIHandler;
}

STDMETHODIMP CCustomControlSite::XDocHostUIHandler::QueryInterface(REFIID riid, void** ppv)
{
    return m_pSite->QueryInterface(riid, ppv);
}

STDMETHODIMP_(ULONG) CCustomControlSite::XDocHostUIHandler::AddRef()
{
    return m_pSite->AddRef();
}

STDMETHODIMP_(ULONG) CCustomControlSite::XDocHostUIHandler::Release()
{
    return m_pSite->Release();
}

STDMETHODIMP CCustomControlSite::XDocHostUIHandler::ShowContextMenu(DWORD, POINT*, IUnknown*, IDispatch*)
{
    return S_OK;   // handled: the page gets no context menu
}

STDMETHODIMP CCustomControlSite::XDocHostUIHandler::GetHostInfo(DOCHOSTUIINFO* pInfo)
{
    if (pInfo == nullptr)
        return E_POINTER;
    pInfo->dwFlags = DOCHOSTUIFLAG_NO3DBORDER | DOCHOSTUIFLAG_SCROLL_NO;
    pInfo->dwDoubleClick = DOCHOSTUIDBLCLK_DEFAULT;
    return S_OK;
}

STDMETHODIMP CCustomControlSite::XDocHostUIHandler::ShowUI(DWORD, IOleInPlaceActiveObject*, IOleCommandTarget*,
                                                           IOleInPlaceFrame*, IOleInPlaceUIWindow*)
{
    return S_OK;
}

STDMETHODIMP CCustomControlSite::XDocHostUIHandler::HideUI() { return S_OK; }
STDMETHODIMP CCustomControlSite::XDocHostUIHandler::UpdateUI() { return S_OK; }
STDMETHODIMP CCustomControlSite::XDocHostUIHandler::EnableModeless(BOOL) { return E_NOTIMPL; }
STDMETHODIMP CCustomControlSite::XDocHostUIHandler::OnDocWindowActivate(BOOL) { return E_NOTIMPL; }
STDMETHODIMP CCustomControlSite::XDocHostUIHandler::OnFrameWindowActivate(BOOL) { return E_NOTIMPL; }
STDMETHODIMP CCustomControlSite::XDocHostUIHandler::ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL)
{
    return E_NOTIMPL;
}

STDMETHODIMP CCustomControlSite::XDocHostUIHandler::TranslateAccelerator(LPMSG, const GUID*, DWORD)
{
    return S_FALSE;
}

STDMETHODIMP CCustomControlSite::XDocHostUIHandler::GetOptionKeyPath(LPOLESTR* pchKey, DWORD)
{
    if (pchKey)
        *pchKey = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP CCustomControlSite::XDocHostUIHandler::GetDropTarget(IDropTarget*, IDropTarget** ppDropTarget)
{
    if (ppDropTarget)
        *ppDropTarget = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP CCustomControlSite::XDocHostUIHandler::GetExternal(IDispatch** ppDispatch)
{
    if (ppDispatch == nullptr)
        return E_POINTER;
    COleControlContainer* cont = m_pSite->GetContainer();
    *ppDispatch = cont ? cont->GetExternal() : nullptr;
    // The answer is S_OK even without an object, as the page then simply has no external.
    return S_OK;
}

STDMETHODIMP CCustomControlSite::XDocHostUIHandler::TranslateUrl(DWORD, LPWSTR, LPWSTR* ppchURLOut)
{
    if (ppchURLOut)
        *ppchURLOut = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP CCustomControlSite::XDocHostUIHandler::FilterDataObject(IDataObject*, IDataObject** ppDORet)
{
    if (ppDORet)
        *ppDORet = nullptr;
    return E_NOTIMPL;
}

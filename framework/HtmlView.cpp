// The web browser view: control creation, browser calls, the event sink and script calls.
#include "HtmlView.h"
#include "Dc.h"
#include "Trace.h"
#include <exdispid.h>
#include <mshtml.h>
#include <oleauto.h>

// The web browser control and its interfaces, from the platform's published identifiers;
// defined here so the framework needs no extra import library.
static const CLSID kClsidWebBrowser =
    { 0x8856F961, 0x340A, 0x11D0, { 0xA9, 0x6B, 0x00, 0xC0, 0x4F, 0xD7, 0x05, 0xA2 } };
static const IID kIidWebBrowser2 =
    { 0xD30C1661, 0xCDAF, 0x11D0, { 0x8A, 0x3E, 0x00, 0xC0, 0x4F, 0xC9, 0xE2, 0x6E } };
static const IID kDiidWebBrowserEvents2 =
    { 0x34A715A0, 0x6587, 0x11D0, { 0x92, 0x4A, 0x00, 0x20, 0xAF, 0xC7, 0xAC, 0x4D } };
static const IID kIidHtmlDocument =
    { 0x626FC520, 0xA41E, 0x11CF, { 0xA7, 0x31, 0x00, 0xA0, 0xC9, 0x08, 0x26, 0x37 } };

IMPLEMENT_DYNCREATE(CHtmlView, CView)

CHtmlView::BrowserFactory CHtmlView::s_pfnBrowserFactory = &CHtmlView::BrowserControl;

namespace {
// Argument i in written order.
VARIANT* Arg(DISPPARAMS* p, UINT i)
{
    if (p == nullptr || i >= p->cArgs)
        return nullptr;
    VARIANT* v = &p->rgvarg[p->cArgs - 1 - i];
    // Events pass some arguments as references to variants.
    while (v && v->vt == (VT_BYREF | VT_VARIANT))
        v = v->pvarVal;
    return v;
}

CString ArgText(DISPPARAMS* p, UINT i)
{
    VARIANT* v = Arg(p, i);
    if (v == nullptr)
        return CString();
    if (v->vt == VT_BSTR)
        return v->bstrVal ? CString(v->bstrVal) : CString();
    if (v->vt == (VT_BYREF | VT_BSTR))
        return (v->pbstrVal && *v->pbstrVal) ? CString(*v->pbstrVal) : CString();
    VARIANT s;
    ::VariantInit(&s);
    CString text;
    if (SUCCEEDED(::VariantChangeType(&s, v, 0, VT_BSTR)) && s.bstrVal)
        text = s.bstrVal;
    ::VariantClear(&s);
    return text;
}

long ArgLong(DISPPARAMS* p, UINT i)
{
    VARIANT* v = Arg(p, i);
    if (v == nullptr)
        return 0;
    if (v->vt == (VT_BYREF | VT_I4))
        return v->plVal ? *v->plVal : 0;
    VARIANT n;
    ::VariantInit(&n);
    long value = 0;
    if (SUCCEEDED(::VariantChangeType(&n, v, 0, VT_I4)))
        value = n.lVal;
    return value;
}

// The byte text of a posted body (a SAFEARRAY of bytes), for OnBeforeNavigate2.
CString PostedText(VARIANT* v)
{
    if (v == nullptr || (v->vt & VT_ARRAY) == 0)
        return CString();
    SAFEARRAY* sa = (v->vt & VT_BYREF) ? (v->pparray ? *v->pparray : nullptr) : v->parray;
    if (sa == nullptr)
        return CString();
    void* data = nullptr;
    if (FAILED(::SafeArrayAccessData(sa, &data)))
        return CString();
    LONG lo = 0, hi = -1;
    ::SafeArrayGetLBound(sa, 1, &lo);
    ::SafeArrayGetUBound(sa, 1, &hi);
    CString text;
    if (hi >= lo)
        text = CString(CStringA((const char*)data, (int)(hi - lo + 1)));
    ::SafeArrayUnaccessData(sa);
    return text;
}

void SetBoolRef(VARIANT* v, BOOL value)
{
    if (v && v->vt == (VT_BYREF | VT_BOOL) && v->pboolVal)
        *v->pboolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
}

BOOL GetBoolRef(VARIANT* v)
{
    if (v && v->vt == (VT_BYREF | VT_BOOL) && v->pboolVal)
        return *v->pboolVal != VARIANT_FALSE;
    return FALSE;
}
}

// ---- CWebBrowserCalls ----

CWebBrowserCalls::CWebBrowserCalls(IWebBrowser2* pBrowser) : m_pBrowser(pBrowser)
{
    if (m_pBrowser)
        m_pBrowser->AddRef();
}

CWebBrowserCalls::~CWebBrowserCalls()
{
    if (m_pBrowser)
        m_pBrowser->Release();
}

HRESULT CWebBrowserCalls::Navigate2(LPCTSTR url, DWORD flags, LPCTSTR target, LPCTSTR headers,
                                    const void* postData, DWORD postLength)
{
    if (m_pBrowser == nullptr)
        return E_UNEXPECTED;
    VARIANT vUrl, vFlags, vTarget, vPost, vHeaders;
    ::VariantInit(&vUrl);
    ::VariantInit(&vFlags);
    ::VariantInit(&vTarget);
    ::VariantInit(&vPost);
    ::VariantInit(&vHeaders);
    vUrl.vt = VT_BSTR;
    vUrl.bstrVal = ::SysAllocString(url ? url : L"");
    vFlags.vt = VT_I4;
    vFlags.lVal = (LONG)flags;
    if (target && *target) {
        vTarget.vt = VT_BSTR;
        vTarget.bstrVal = ::SysAllocString(target);
    }
    if (headers && *headers) {
        vHeaders.vt = VT_BSTR;
        vHeaders.bstrVal = ::SysAllocString(headers);
    }
    if (postData && postLength > 0) {
        SAFEARRAY* sa = ::SafeArrayCreateVector(VT_UI1, 0, postLength);
        if (sa == nullptr) {
            ::VariantClear(&vUrl);
            ::VariantClear(&vTarget);
            ::VariantClear(&vHeaders);
            return E_OUTOFMEMORY;
        }
        void* dst = nullptr;
        if (SUCCEEDED(::SafeArrayAccessData(sa, &dst))) {
            memcpy(dst, postData, postLength);
            ::SafeArrayUnaccessData(sa);
        }
        vPost.vt = VT_ARRAY | VT_UI1;
        vPost.parray = sa;
    }
    HRESULT hr = m_pBrowser->Navigate2(&vUrl, &vFlags, &vTarget, &vPost, &vHeaders);
    ::VariantClear(&vUrl);
    ::VariantClear(&vTarget);
    ::VariantClear(&vPost);
    ::VariantClear(&vHeaders);
    return hr;
}

HRESULT CWebBrowserCalls::Stop()
{
    return m_pBrowser ? m_pBrowser->Stop() : E_UNEXPECTED;
}

HRESULT CWebBrowserCalls::GetLocationURL(CString& url)
{
    url.Empty();
    if (m_pBrowser == nullptr)
        return E_UNEXPECTED;
    BSTR b = nullptr;
    HRESULT hr = m_pBrowser->get_LocationURL(&b);
    if (SUCCEEDED(hr) && b)
        url = b;
    ::SysFreeString(b);
    return hr;
}

HRESULT CWebBrowserCalls::GetDocument(IDispatch** ppDisp)
{
    if (ppDisp == nullptr)
        return E_POINTER;
    *ppDisp = nullptr;
    return m_pBrowser ? m_pBrowser->get_Document(ppDisp) : E_UNEXPECTED;
}

HRESULT CWebBrowserCalls::GetApplication(IDispatch** ppDisp)
{
    if (ppDisp == nullptr)
        return E_POINTER;
    *ppDisp = nullptr;
    return m_pBrowser ? m_pBrowser->get_Application(ppDisp) : E_UNEXPECTED;
}

HRESULT CWebBrowserCalls::SetRegisterAsBrowser(BOOL bRegister)
{
    return m_pBrowser ? m_pBrowser->put_RegisterAsBrowser(bRegister ? VARIANT_TRUE : VARIANT_FALSE)
                      : E_UNEXPECTED;
}

// ---- CHtmlView ----

BEGIN_MESSAGE_MAP(CHtmlView, CView)
    ON_WM_SIZE()
    ON_WM_DESTROY()
    ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

CHtmlView::CHtmlView()
{
    m_xEventSink.m_pView = this;
}

CHtmlView::~CHtmlView()
{
    DestroyBrowser();
}

IDispatch* CHtmlView::GetEventSink()
{
    return &m_xEventSink;
}

BOOL CHtmlView::Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                       CWnd* pParentWnd, UINT nID, CCreateContext* pContext)
{
    if (!CView::Create(lpszClassName, lpszWindowName, dwStyle, rect, pParentWnd, nID, pContext))
        return FALSE;
    if (!CreateBrowser()) {
        FwTrace("CHtmlView::Create", "the browser control could not be created");
        DestroyBrowser();
        DestroyWindow();   // the view deletes itself here
        return FALSE;
    }
    return TRUE;
}

COleControlSite* CHtmlView::CreateControlSite(COleControlContainer* pCtrlCont)
{
    if (m_pOccManager)
        return m_pOccManager->CreateSite(pCtrlCont);
    COccManager plain;
    return plain.CreateSite(pCtrlCont);
}

COleControlSite* CHtmlView::GetBrowserSite() const
{
    return m_pCtrlCont ? m_pCtrlCont->FindSite(AFX_IDW_PANE_FIRST) : nullptr;
}

bool CHtmlView::CreateBrowser()
{
    m_pCtrlCont = new COleControlContainer(this);
    if (IDispatch* external = GetExternalDispatch())
        m_pCtrlCont->SetExternal(external);

    m_pCalls = s_pfnBrowserFactory(this);
    return m_pCalls != nullptr;
}

CWebBrowserCalls* CHtmlView::BrowserControl(CHtmlView* view)
{
    COleControlSite* site = view->CreateControlSite(view->m_pCtrlCont);
    if (site == nullptr)
        return nullptr;
    view->m_pCtrlCont->AddSite(site);
    CRect rc;
    view->GetClientRect(&rc);
    if (FAILED(site->CreateControl(kClsidWebBrowser, rc, AFX_IDW_PANE_FIRST)))
        return nullptr;
    IWebBrowser2* browser = nullptr;
    if (FAILED(site->QueryControl(kIidWebBrowser2, (void**)&browser)) || browser == nullptr)
        return nullptr;
    CWebBrowserCalls* calls = new CWebBrowserCalls(browser);
    browser->Release();

    IConnectionPointContainer* cpc = nullptr;
    if (SUCCEEDED(site->QueryControl(IID_IConnectionPointContainer, (void**)&cpc)) && cpc) {
        if (SUCCEEDED(cpc->FindConnectionPoint(kDiidWebBrowserEvents2, &view->m_pEventPoint)) && view->m_pEventPoint) {
            if (FAILED(view->m_pEventPoint->Advise(&view->m_xEventSink, &view->m_dwEventCookie))) {
                view->m_pEventPoint->Release();
                view->m_pEventPoint = nullptr;
            }
        }
        cpc->Release();
    }
    return calls;
}

void CHtmlView::DestroyBrowser()
{
    if (m_pEventPoint) {
        m_pEventPoint->Unadvise(m_dwEventCookie);
        m_pEventPoint->Release();
        m_pEventPoint = nullptr;
        m_dwEventCookie = 0;
    }
    delete m_pCalls;
    m_pCalls = nullptr;
    if (m_pCtrlCont) {
        COleControlContainer* cont = m_pCtrlCont;
        m_pCtrlCont = nullptr;
        delete cont;   // destroys the control and lets go of window.external
    }
}

void CHtmlView::OnDestroy()
{
    DestroyBrowser();
    CView::OnDestroy();
}

void CHtmlView::OnSize(UINT nType, int cx, int cy)
{
    CView::OnSize(nType, cx, cy);
    if (COleControlSite* site = GetBrowserSite())
        site->MoveControl(CRect(0, 0, cx, cy));
}

BOOL CHtmlView::OnEraseBkgnd(CDC* pDC)
{
    // The control covers the whole view; without one the view shows an empty page.
    COleControlSite* site = GetBrowserSite();
    if (site && site->GetControlWindow())
        return TRUE;
    CRect rc;
    GetClientRect(&rc);
    pDC->FillSolidRect(&rc, ::GetSysColor(COLOR_WINDOW));
    return TRUE;
}

void CHtmlView::OnDraw(CDC*)
{
}

BOOL CHtmlView::PreTranslateMessage(MSG* pMsg)
{
    if (COleControlSite* site = GetBrowserSite())
        if (site->TranslateAccelerator(pMsg))
            return TRUE;
    return CView::PreTranslateMessage(pMsg);
}

BOOL CHtmlView::Navigate2(LPCTSTR lpszURL, DWORD dwFlags, LPCTSTR lpszTargetFrameName, LPCTSTR lpszHeaders,
                          LPVOID lpvPostData, DWORD dwPostDataLen)
{
    if (m_pCalls == nullptr)
        return FALSE;
    return SUCCEEDED(m_pCalls->Navigate2(lpszURL, dwFlags, lpszTargetFrameName, lpszHeaders, lpvPostData,
                                         dwPostDataLen));
}

void CHtmlView::Stop()
{
    if (m_pCalls)
        m_pCalls->Stop();
}

CString CHtmlView::GetLocationURL() const
{
    CString url;
    if (m_pCalls)
        m_pCalls->GetLocationURL(url);
    return url;
}

LPDISPATCH CHtmlView::GetHtmlDocument() const
{
    IDispatch* doc = nullptr;
    if (m_pCalls && FAILED(m_pCalls->GetDocument(&doc)))
        doc = nullptr;
    return doc;
}

LPDISPATCH CHtmlView::GetApplication() const
{
    IDispatch* app = nullptr;
    if (m_pCalls && FAILED(m_pCalls->GetApplication(&app)))
        app = nullptr;
    return app;
}

void CHtmlView::SetRegisterAsBrowser(BOOL bNewValue)
{
    if (m_pCalls)
        m_pCalls->SetRegisterAsBrowser(bNewValue);
}

BOOL CHtmlView::CallScript(LPCTSTR lpszFunction, const std::vector<CString>& args)
{
    IDispatch* docDisp = GetHtmlDocument();
    if (docDisp == nullptr)
        return FALSE;
    IHTMLDocument* doc = nullptr;
    HRESULT hr = docDisp->QueryInterface(kIidHtmlDocument, (void**)&doc);
    docDisp->Release();
    if (FAILED(hr) || doc == nullptr)
        return FALSE;
    IDispatch* script = nullptr;
    hr = doc->get_Script(&script);
    doc->Release();
    if (FAILED(hr) || script == nullptr)
        return FALSE;
    DISPID id = DISPID_UNKNOWN;
    LPOLESTR name = const_cast<LPOLESTR>(lpszFunction);
    hr = script->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id);
    if (SUCCEEDED(hr)) {
        std::vector<VARIANT> v(args.size());
        for (size_t i = 0; i < args.size(); ++i) {
            VARIANT& a = v[args.size() - 1 - i];   // automation wants the last argument first
            ::VariantInit(&a);
            a.vt = VT_BSTR;
            a.bstrVal = ::SysAllocString(args[i].GetString());
        }
        DISPPARAMS params = { v.empty() ? nullptr : v.data(), nullptr, (UINT)v.size(), 0 };
        VARIANT result;
        ::VariantInit(&result);
        hr = script->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, &result, nullptr, nullptr);
        ::VariantClear(&result);
        for (VARIANT& a : v)
            ::VariantClear(&a);
    }
    script->Release();
    return SUCCEEDED(hr);
}

void CHtmlView::OnBeforeNavigate2(LPCTSTR, DWORD, LPCTSTR, const CString&, LPCTSTR, BOOL*) {}
void CHtmlView::OnNavigateComplete2(LPCTSTR) {}
void CHtmlView::OnDocumentComplete(LPCTSTR) {}
void CHtmlView::OnTitleChange(LPCTSTR) {}
void CHtmlView::OnNewWindow2(LPDISPATCH*, BOOL*) {}
void CHtmlView::OnWindowClosing(BOOL, BOOL*) {}
void CHtmlView::OnClientToHostWindow(long*, long*) {}

HRESULT CHtmlView::OnBrowserEvent(DISPID id, DISPPARAMS* p)
{
    switch (id) {
    case DISPID_BEFORENAVIGATE2: {
        // (pDisp, URL, Flags, TargetFrameName, PostData, Headers, Cancel)
        BOOL cancel = GetBoolRef(Arg(p, 6));
        OnBeforeNavigate2(ArgText(p, 1), (DWORD)ArgLong(p, 2), ArgText(p, 3), PostedText(Arg(p, 4)),
                          ArgText(p, 5), &cancel);
        SetBoolRef(Arg(p, 6), cancel);
        return S_OK;
    }
    case DISPID_NAVIGATECOMPLETE2:
        OnNavigateComplete2(ArgText(p, 1));
        return S_OK;
    case DISPID_DOCUMENTCOMPLETE:
        OnDocumentComplete(ArgText(p, 1));
        return S_OK;
    case DISPID_TITLECHANGE:
        OnTitleChange(ArgText(p, 0));
        return S_OK;
    case DISPID_NEWWINDOW2: {
        // (ppDisp, Cancel)
        VARIANT* vDisp = Arg(p, 0);
        if (vDisp == nullptr || vDisp->vt != (VT_BYREF | VT_DISPATCH) || vDisp->ppdispVal == nullptr)
            return E_INVALIDARG;
        BOOL cancel = GetBoolRef(Arg(p, 1));
        OnNewWindow2(vDisp->ppdispVal, &cancel);
        SetBoolRef(Arg(p, 1), cancel);
        return S_OK;
    }
    case DISPID_WINDOWCLOSING: {
        // (IsChildWindow, Cancel)
        BOOL cancel = GetBoolRef(Arg(p, 1));
        OnWindowClosing(ArgLong(p, 0) != 0, &cancel);
        SetBoolRef(Arg(p, 1), cancel);
        return S_OK;
    }
    case DISPID_CLIENTTOHOSTWINDOW: {
        // (CX, CY), both by reference
        VARIANT* vx = Arg(p, 0);
        VARIANT* vy = Arg(p, 1);
        long cx = ArgLong(p, 0), cy = ArgLong(p, 1);
        OnClientToHostWindow(&cx, &cy);
        if (vx && vx->vt == (VT_BYREF | VT_I4) && vx->plVal)
            *vx->plVal = cx;
        if (vy && vy->vt == (VT_BYREF | VT_I4) && vy->plVal)
            *vy->plVal = cy;
        return S_OK;
    }
    default:
        return DISP_E_MEMBERNOTFOUND;
    }
}

// ---- The event sink ----

STDMETHODIMP CHtmlView::XEventSink::QueryInterface(REFIID riid, void** ppv)
{
    if (ppv == nullptr)
        return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch) ||
        IsEqualIID(riid, kDiidWebBrowserEvents2)) {
        *ppv = static_cast<IDispatch*>(this);
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP CHtmlView::XEventSink::GetTypeInfoCount(UINT* pctinfo)
{
    if (pctinfo == nullptr)
        return E_POINTER;
    *pctinfo = 0;
    return S_OK;
}

STDMETHODIMP CHtmlView::XEventSink::GetTypeInfo(UINT, LCID, ITypeInfo** ppTInfo)
{
    if (ppTInfo)
        *ppTInfo = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP CHtmlView::XEventSink::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*)
{
    return E_NOTIMPL;
}

STDMETHODIMP CHtmlView::XEventSink::Invoke(DISPID dispIdMember, REFIID, LCID, WORD, DISPPARAMS* pDispParams,
                                           VARIANT*, EXCEPINFO*, UINT*)
{
    if (m_pView == nullptr)
        return E_UNEXPECTED;
    try {
        return m_pView->OnBrowserEvent(dispIdMember, pDispParams);
    } catch (...) {
        FwTraceException("CHtmlView event");
        return E_FAIL;
    }
}

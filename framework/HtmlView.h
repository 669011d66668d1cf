// CHtmlView: a view that hosts the system's web browser control in a control container of our
// own, turns the control's events into virtual calls and gives pages a window.external.
//
// UI thread only, with OLE initialised (AfxOleInit). The view is a heap object like every
// view: it deletes itself after its window is gone.
//
// All calls into the browser go through a CWebBrowserCalls object. By default it wraps the
// control's IWebBrowser2; s_pfnBrowserFactory replaces the control for tests (no control is
// created then, and the factory's object answers every call).
#pragma once
#include "View.h"
#include "ControlSite.h"
#include "NamedDispatch.h"
#include <exdisp.h>
#include <vector>

// The browser operations the view uses. The default forwards to an IWebBrowser2.
class FW_API CWebBrowserCalls {
public:
    explicit CWebBrowserCalls(IWebBrowser2* pBrowser = nullptr);
    virtual ~CWebBrowserCalls();
    CWebBrowserCalls(const CWebBrowserCalls&) = delete;
    CWebBrowserCalls& operator=(const CWebBrowserCalls&) = delete;

    // postData: bytes sent as the request body (null/0: a GET); headers: extra request lines.
    virtual HRESULT Navigate2(LPCTSTR url, DWORD flags, LPCTSTR target, LPCTSTR headers,
                              const void* postData, DWORD postLength);
    virtual HRESULT Stop();
    virtual HRESULT GetLocationURL(CString& url);
    // The current document / the control's automation object, with a reference for the caller.
    virtual HRESULT GetDocument(IDispatch** ppDisp);
    virtual HRESULT GetApplication(IDispatch** ppDisp);
    virtual HRESULT SetRegisterAsBrowser(BOOL bRegister);

    IWebBrowser2* GetBrowser() const { return m_pBrowser; }

private:
    IWebBrowser2* m_pBrowser;
};

class FW_API CHtmlView : public CView {
    DECLARE_DYNCREATE(CHtmlView)
public:
    CHtmlView();
    ~CHtmlView() override;

    // Creates the view window and the browser control over its client area (id
    // AFX_IDW_PANE_FIRST). On failure the view destroys itself (and so is deleted) and FALSE
    // is returned: the caller must not touch it afterwards.
    BOOL Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                CWnd* pParentWnd, UINT nID, CCreateContext* pContext = nullptr) override;

    // ---- Browser operations ----
    // postData/postLength: the request body (a POST); headers: extra header lines.
    BOOL Navigate2(LPCTSTR lpszURL, DWORD dwFlags = 0, LPCTSTR lpszTargetFrameName = nullptr,
                   LPCTSTR lpszHeaders = nullptr, LPVOID lpvPostData = nullptr, DWORD dwPostDataLen = 0);
    void Stop();
    CString GetLocationURL() const;
    // The document shown now, with a reference for the caller; null when there is none.
    LPDISPATCH GetHtmlDocument() const;
    // The control's automation object, with a reference for the caller (a new-window answer).
    LPDISPATCH GetApplication() const;
    void SetRegisterAsBrowser(BOOL bNewValue);
    // Calls a script function of the page with string arguments (written order). FALSE when
    // there is no document or script, the name is unknown or the call failed.
    BOOL CallScript(LPCTSTR lpszFunction, const std::vector<CString>& args);

    // ---- Events of the control (defaults do nothing) ----
    virtual void OnBeforeNavigate2(LPCTSTR lpszURL, DWORD nFlags, LPCTSTR lpszTargetFrameName,
                                   const CString& postedData, LPCTSTR lpszHeaders, BOOL* pbCancel);
    virtual void OnNavigateComplete2(LPCTSTR strURL);
    virtual void OnDocumentComplete(LPCTSTR lpszURL);
    virtual void OnTitleChange(LPCTSTR lpszText);
    // A page opens a new window: set *ppDisp to a browser's automation object to show it
    // there, or *pbCancel to refuse; leaving both lets the browser open its own window.
    virtual void OnNewWindow2(LPDISPATCH* ppDisp, BOOL* pbCancel);
    // The page closes its window (window.close()).
    virtual void OnWindowClosing(BOOL bIsChildWindow, BOOL* pbCancel);
    // The page asks for a size of its content area (window.resizeTo on a new window).
    virtual void OnClientToHostWindow(long* pcx, long* pcy);

    // The control's event sink as the control holds it (tests call it as the control would).
    IDispatch* GetEventSink();
    COleControlContainer* GetControlContainer() const { return m_pCtrlCont; }
    COleControlSite* GetBrowserSite() const;
    CWebBrowserCalls* GetBrowserCalls() const { return m_pCalls; }

    // Key messages go to the browser first (its own shortcuts, Tab inside the page).
    BOOL PreTranslateMessage(MSG* pMsg) override;

    // Makes the view's browser calls: the browser control, by default, sited in the view.
    typedef CWebBrowserCalls* (*BrowserFactory)(CHtmlView* pView);
    static BrowserFactory s_pfnBrowserFactory;

protected:
    // The occ manager of the next Create (not owned; must outlive the view). Null: the
    // framework's own sites.
    void EnableControlContainer(COccManager* pOccManager) { m_pOccManager = pOccManager; }
    // Asks the occ manager for the browser's site.
    virtual COleControlSite* CreateControlSite(COleControlContainer* pCtrlCont);
    // window.external of the page: null by default. The container keeps a reference.
    virtual IDispatch* GetExternalDispatch() { return nullptr; }

    void OnDraw(CDC* pDC) override;
    void OnSize(UINT nType, int cx, int cy);
    void OnDestroy();
    BOOL OnEraseBkgnd(CDC* pDC);
    DECLARE_MESSAGE_MAP()

    // Decodes one event of the control; S_OK when known.
    HRESULT OnBrowserEvent(DISPID id, DISPPARAMS* params);

    COleControlContainer* m_pCtrlCont = nullptr;
    COccManager* m_pOccManager = nullptr;
    CWebBrowserCalls* m_pCalls = nullptr;

private:
    bool CreateBrowser();
    void DestroyBrowser();

    class XEventSink : public IDispatch {
    public:
        STDMETHOD(QueryInterface)(REFIID riid, void** ppv) override;
        STDMETHOD_(ULONG, AddRef)() override { return 2; }
        STDMETHOD_(ULONG, Release)() override { return 1; }
        STDMETHOD(GetTypeInfoCount)(UINT* pctinfo) override;
        STDMETHOD(GetTypeInfo)(UINT, LCID, ITypeInfo** ppTInfo) override;
        STDMETHOD(GetIDsOfNames)(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
        STDMETHOD(Invoke)(DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags, DISPPARAMS* pDispParams,
                          VARIANT* pVarResult, EXCEPINFO* pExcepInfo, UINT* puArgErr) override;
        CHtmlView* m_pView = nullptr;
    } m_xEventSink;

    IConnectionPoint* m_pEventPoint = nullptr;
    DWORD m_dwEventCookie = 0;

    // The browser control, sited in view, with its events advised to the view.
    static CWebBrowserCalls* BrowserControl(CHtmlView* view);
};

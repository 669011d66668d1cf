// CPopupView: the browser view of the web pop-up and of the web log-in windows. It hosts the
// browser with CCustomControlSite, gives the page a window.external with the methods below,
// and reports to the window that holds it (its parent) with the messages of PopupHost.h.
//
// window.external acts only for pages whose host is a trusted service host (the configured
// servers, and whatever the holder adds); calls from any other page are ignored and traced.
// UI thread only. A heap object that deletes itself after its window is gone.
#pragma once
#include "HtmlView.h"
#include "NamedDispatch.h"
#include "ToviInterfaceApi.h"
#include <vector>

class CCustomOccManager;

class TOVIINTERFACE_API CPopupView : public CHtmlView, public CNamedDispatch::Handler {
    DECLARE_DYNCREATE(CPopupView)
public:
    // The window.external methods, ids from 1 in this order.
    enum ExternalId {
        kSetLanguage = 1,
        kSetLoginResult,
        kSetSmsResult,
        kSetDelScheduleFiles,
        kSetDoNotShowPopup,
        kSetMacAddress,
    };

    CPopupView();
    ~CPopupView() override;

    BOOL Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                CWnd* pParentWnd, UINT nID, CCreateContext* pContext = nullptr) override;

    // The page's window.external (no reference added).
    CNamedDispatch* GetExternal() const { return m_pExternal; }

    // Hosts whose pages may call window.external, besides the configured servers.
    void AddTrustedHost(const CString& host);
    // Whether a page at url may call window.external.
    bool IsTrustedPage(const CString& url) const;
    // The host of an http or https address, lower case; empty for anything else.
    static CString HostOfUrl(const CString& url);

    // The size the page asked for (0 until it asks).
    int m_nRequestWidth = 0;
    int m_nRequestHeight = 0;
    // Two-letter language code the page set; "ko" at start.
    CString m_strLanguage;
    // The session id from the page's log-in result.
    CString m_strSessionId;

    // The SMS log-in text "SMS|<session id>|<user id>": true with both parts when it is one.
    static bool ParseSmsLogin(const CString& text, CString& sessionId, CString& userId);

protected:
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    IDispatch* GetExternalDispatch() override { return m_pExternal; }
    void OnDocumentComplete(LPCTSTR lpszURL) override;
    void OnClientToHostWindow(long* pcx, long* pcy) override;
    void OnWindowClosing(BOOL bIsChildWindow, BOOL* pbCancel) override;
    HRESULT OnNamedCall(DISPID id, DISPPARAMS* params, VARIANT* result) override;
    int OnMouseActivate(CWnd* pDesktopWnd, UINT nHitTest, UINT message);
    DECLARE_MESSAGE_MAP()

private:
    HWND ParentHwnd() const;
    void ExternalSetLanguage(const CString& text);
    void ExternalSetLoginResult(const CString& text);
    void ExternalSetSmsResult(const CString& text);
    void ExternalSetDelScheduleFiles(const CString& text);
    void ExternalSetDoNotShowPopup(const CString& text);

    CCustomOccManager* m_pOccManagerOwned = nullptr;
    CNamedDispatch* m_pExternal = nullptr;
    std::vector<CString> m_trustedHosts;
};

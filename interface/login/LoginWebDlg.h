// CLoginWebDlg: the log-in window of the sites that log in on a web page. It shows the
// server's log-in page in a CPopupView; once the page has authenticated the user it hands over
// a session id, which becomes the protocol log-in ("#" and the id as the user id, no password).
// A page that asks for a phone certification gets CSMSWebDlg first.
//
// Runs modal on its own thread (CLoginWebThread) and reports to the owner exactly as CLoginDlg:
// WM_LOGIN_RESULT when its window goes, unless the frame removed it. The session object is the
// dialog's while it runs.
#pragma once
#include "LoginDlg.h"
#include "WebPageDlg.h"
#include <vector>

class CPopupView;
class CToviProto;

class TOVIINTERFACE_API CLoginWebDlg : public CWebPageDlg {
    DECLARE_DYNAMIC(CLoginWebDlg)
public:
    explicit CLoginWebDlg(CWnd* pParent = nullptr);
    ~CLoginWebDlg() override;

    // After the frame refreshed the session's domain list: takes it and opens the page again.
    void ResetDomain();

    HWND m_hOwner = nullptr;
    CToviProto* m_pProto = nullptr;
    bool m_bSsoPage = false;             // the single-sign-on log-in page instead of the plain one
    int m_nLogined = 0;                  // the WM_LOGIN_RESULT wParam
    volatile bool m_bRemoved = false;
    CString m_strDomainAddress;          // D-Addr of the selected domain
    CString m_strDomainIndex;            // D-IDX of the selected domain

    // The page of a domain address: the log-in page, or the single-sign-on one.
    static CString LoginPageUrl(const CString& domainAddress, bool ssoPage);

protected:
    BOOL OnInitDialog() override;
    int OnCreate(LPCREATESTRUCT lpCreateStruct);
    void OnDestroy();
    void OnBnClickedClose();
    LRESULT OnResizeDialog(WPARAM, LPARAM);
    LRESULT OnSetLanguage(WPARAM, LPARAM);
    LRESULT OnSetLogin(WPARAM, LPARAM);
    LRESULT OnSmsStart(WPARAM wParam, LPARAM);
    void OnOK() override;
    void OnCancel() override;
    DECLARE_MESSAGE_MAP()

private:
    void TakeDomains();
    void InitControl(unsigned short language);
    void EnableView(bool enable);
    int MessageText(const wchar_t* text, unsigned type);

    std::vector<DomainRecord> m_domains;
    DomainRecord m_selected = {};
    CFont m_font;
};

// CSMSWebDlg: the phone certification page; its page reports success through the view.
class TOVIINTERFACE_API CSMSWebDlg : public CWebPageDlg {
    DECLARE_DYNAMIC(CSMSWebDlg)
public:
    explicit CSMSWebDlg(CWnd* pParent = nullptr);
    ~CSMSWebDlg() override;

    // The certification page of a domain address for a user.
    static CString CertificationUrl(const CString& domainAddress, const CString& userId);

    CString m_strUserId;
    CString m_strDomainAddress;
    CString m_strDomainIndex;
    bool m_bCertified = false;

protected:
    BOOL OnInitDialog() override;
    void OnBnClickedClose();
    LRESULT OnResizeDialog(WPARAM, LPARAM);
    LRESULT OnSetLanguage(WPARAM, LPARAM);
    LRESULT OnSetSmsResult(WPARAM, LPARAM);
    DECLARE_MESSAGE_MAP()
};

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
#include "ToviButton.h"
#include "ToviDocument.h"
#include "VantelDialog.h"
#include <vector>

class CPopupView;
class CToviProto;

class TOVIINTERFACE_API CLoginWebDlg : public CVantelDialog {
    DECLARE_DYNAMIC(CLoginWebDlg)
public:
    explicit CLoginWebDlg(CWnd* pParent = nullptr);
    ~CLoginWebDlg() override;

    // After the frame refreshed the session's domain list: takes it and opens the page again.
    void ResetDomain();
    // The page view (null before the window exists or when it could not be made).
    CPopupView* GetView() const;

    HWND m_hOwner = nullptr;
    CToviProto* m_pProto = nullptr;
    int LoginProduct = 0;
    bool m_bSsoPage = false;             // the single-sign-on log-in page instead of the plain one
    int m_nLogined = 0;                  // the WM_LOGIN_RESULT wParam
    volatile bool m_bRemoved = false;
    CString m_strDomainAddress;          // D-Addr of the selected domain
    CString m_strDomainIndex;            // D-IDX of the selected domain

    // The page of a domain address: the log-in page, or the single-sign-on one.
    static CString LoginPageUrl(const CString& domainAddress, bool ssoPage);

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    int OnCreate(LPCREATESTRUCT lpCreateStruct);
    void OnSize(UINT nType, int cx, int cy);
    BOOL OnEraseBkgnd(CDC* pDC);
    void OnDestroy();
    void OnBnClickedMinimize();
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

    CToviButton m_btnMinimize, m_btnMiddle, m_btnClose;
    HWND m_hView = nullptr;
    CToviDocument m_document;
    std::vector<DomainRecord> m_domains;
    DomainRecord m_selected = {};
    std::vector<CString> m_fonts;
    CFont m_font;
    HICON m_hIcon = nullptr;
};

// CSMSWebDlg: the phone certification page; its page reports success through the view.
class TOVIINTERFACE_API CSMSWebDlg : public CVantelDialog {
    DECLARE_DYNAMIC(CSMSWebDlg)
public:
    explicit CSMSWebDlg(CWnd* pParent = nullptr);
    ~CSMSWebDlg() override;

    CPopupView* GetView() const;
    // The certification page of a domain address for a user.
    static CString CertificationUrl(const CString& domainAddress, const CString& userId);

    CString m_strUserId;
    CString m_strDomainAddress;
    CString m_strDomainIndex;
    int LoginProduct = 0;
    bool m_bCertified = false;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnSize(UINT nType, int cx, int cy);
    BOOL OnEraseBkgnd(CDC* pDC);
    void OnDestroy();
    void OnBnClickedMinimize();
    void OnBnClickedClose();
    LRESULT OnResizeDialog(WPARAM, LPARAM);
    LRESULT OnSetLanguage(WPARAM, LPARAM);
    LRESULT OnSetSmsResult(WPARAM, LPARAM);
    DECLARE_MESSAGE_MAP()

private:
    CToviButton m_btnMinimize, m_btnMiddle, m_btnClose;
    HWND m_hView = nullptr;
    CToviDocument m_document;
    std::vector<CString> m_fonts;
    HICON m_hIcon = nullptr;
};

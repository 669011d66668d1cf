// CLoginDlg: the login window. The user picks a domain and a language, types an id and a
// password and logs in through the session's protocol object that the main frame lent it.
//
// Runs modal on its own thread (CLoginThread). While it runs, the session object is the
// dialog's: the frame does not touch it until WM_LOGIN_RESULT arrives. Every request is
// synchronous on the dialog's thread. When the window goes it posts WM_LOGIN_RESULT (wParam 1
// logged in, 0 not) to the owner, unless the frame removed it with SetRemove.
#pragma once
#include "Button.h"
#include "ComboBox.h"
#include "Edit.h"
#include "ToviButton.h"
#include "VantelDialog.h"
#include "VantelStatic.h"
#include <cstdint>
#include <vector>

class CToviProto;
class CProgressDlg;
namespace Gdiplus { class Image; }

// Posted by the dialog to itself at the end of OnInitDialog to start an automatic log-in.
#define WM_AUTO_LOGIN (WM_USER + 26)

// One domain as the dialog keeps it (the session's list is released once copied).
struct DomainRecord {
    char DIdx[10];
    wchar_t DName[61];
    char DAddr[72];
    wchar_t MainTitle[128];
    wchar_t MessageTitle[128];
    char ServerHost[72];
    int32_t ServerPort;
};

struct DomainEntry;
// A domain of the session's list as the log-in windows keep it; a domain without a server of
// its own is reached on the session's host and port.
DomainRecord MakeDomainRecord(const DomainEntry& entry, const char* host, int port);
// Applies a language to the log-in window's thread: the dialog face of the language (from the
// installed families) is stored for the product and returned, the thread's language is set and
// the owner told (WM_LOCALE_CHANGE).
CString ApplyLoginLanguage(unsigned short language, const std::vector<CString>& fonts, int product, HWND owner);
std::vector<CString> InstalledFontFamilies(HWND window);

class TOVIINTERFACE_API CLoginDlg : public CVantelDialog {
    DECLARE_DYNAMIC(CLoginDlg)
public:
    explicit CLoginDlg(CWnd* pParent = nullptr);
    ~CLoginDlg() override;

    // Refill the combos from the session's lists (after the settings dialog refreshed them).
    void ResetDomainList();
    void ResetLanguageList();

    HWND m_hOwner = nullptr;
    CToviProto* m_pProto = nullptr;     // the frame's session, lent while the dialog runs
    int LoginProduct = 0;               // 0 explorer, 1 drive, 2 backup
    int m_nLogined = 0;                 // the WM_LOGIN_RESULT wParam
    volatile bool m_bRemoved = false;   // set by SetRemove: no result message
    bool m_bHidden = false;             // single sign-on refused the user: never shown
    bool m_bSSO = false;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    int OnCreate(LPCREATESTRUCT lpCreateStruct);
    BOOL OnEraseBkgnd(CDC* pDC);
    void OnDestroy();
    void OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized);
    void OnWindowPosChanging(WINDOWPOS* lpwndpos);
    HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    void OnBnClickedLogin();
    void OnBnClickedAutoLogin();
    void OnBnClickedMinimize();
    void OnBnClickedExit();
    void OnCbnSelchangeLanguage();
    void OnCbnSelchangeDomain();
    LRESULT OnAutoLogin(WPARAM wParam, LPARAM lParam);
    void OnOK() override;
    void OnCancel() override;
    void OnClose();
    DECLARE_MESSAGE_MAP()

private:
    void InitControl(unsigned short language);
    void GetFontLists();
    int GetInfoSSO(CString& userId, CString& password);
    void RunProgressUI(bool show);
    void FocusFirstEmpty();
    void LoadBackground();
    void ShortenForBackup();
    void FillDomains(const CString& savedDomain);
    void ApplyLoginOption();
    bool TwoServerSite() const;
    CString DisplayText(const DomainRecord& record) const;
    const DomainRecord* SelectedDomain(CString* display);
    int Message(unsigned id, unsigned type);
    int MessageText(const wchar_t* text, unsigned type);

    CComboBox m_cbDomain;
    CComboBox m_cbLanguage;
    CEdit m_edUserId;
    CEdit m_edPassword;
    CButton m_chkSaveId;
    CButton m_chkAutoLogin;
    CToviButton m_btnLogin;
    CToviButton m_btnMinimize;
    CToviButton m_btnMiddle;
    CToviButton m_btnExit;
    CVantelStatic m_stDomain;
    CVantelStatic m_stLanguage;
    CVantelStatic m_stUserId;
    CVantelStatic m_stPassword;

    std::vector<DomainRecord> m_domains;
    std::vector<CString> m_fonts;
    CFont m_font;
    HICON m_hIcon = nullptr;
    Gdiplus::Image* m_pBackground = nullptr;
    CProgressDlg* m_pProgress = nullptr;
};

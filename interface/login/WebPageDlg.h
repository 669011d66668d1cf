// CWebPageDlg: what the web log-in window and the phone certification window share: the
// caption band with its three buttons above a CPopupView that shows one server page, the
// window icon, the installed font families and the page's language.
//
// UI thread of the log-in only. The view deletes itself when its window goes.
#pragma once
#include "ToviButton.h"
#include "ToviDocument.h"
#include "VantelDialog.h"
#include <vector>

class CPopupView;
class CToviProto;

class TOVIINTERFACE_API CWebPageDlg : public CVantelDialog {
    DECLARE_DYNAMIC(CWebPageDlg)
public:
    explicit CWebPageDlg(CWnd* pParent = nullptr);
    ~CWebPageDlg() override;

    // The page view (null before the window exists or when it could not be made).
    CPopupView* GetView() const;

    int LoginProduct = 0;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    void OnSize(UINT nType, int cx, int cy);
    BOOL OnEraseBkgnd(CDC* pDC);
    // Destroys the view and the icon.
    void OnDestroy();
    void OnBnClickedMinimize();
    DECLARE_MESSAGE_MAP()

    // The icon (m_hIcon, when set), the caption buttons and the font families.
    void SetUpWindow();
    // Makes the page view, trusting the session's hosts (when given) and the domain's, and opens
    // url in it when the domain address is known.
    CPopupView* OpenPage(CToviProto* proto, const CString& domainAddress, const CString& url);
    // The language the page chose, made the thread's and the product's.
    unsigned short TakePageLanguage();
    // The product's stored language; a missing one is stored as Korean.
    static unsigned short StoredLanguage(int product);

    CToviButton m_btnMinimize, m_btnMiddle, m_btnClose;
    HWND m_hView = nullptr;
    CToviDocument m_document;
    std::vector<CString> m_fonts;
    HICON m_hIcon = nullptr;
};

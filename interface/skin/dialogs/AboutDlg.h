// CAboutDlg: the about box: server and client versions, the service's home page as a link.
//
// The caller copies the session's server version into m_szServerVersion and hands its icon
// in m_hIcon before DoModal.
// Runs on the thread that shows it.
#pragma once
#include "Static.h"
#include "ToviButton.h"
#include "VantelDialog.h"

class TOVIINTERFACE_API CAboutDlg : public CVantelDialog {
    DECLARE_DYNAMIC(CAboutDlg)
public:
    explicit CAboutDlg(CWnd* pParent = nullptr);

    // The server's version text (multibyte), as the session reported it.
    char m_szServerVersion[32] = {};
    // The program's icon, shown beside the versions; the caller keeps it. None: no icon shown.
    HICON m_hIcon = nullptr;

    static const wchar_t kHomePage[];
    // "Corvane IXO Version " and the server version (nothing appended when it is empty).
    static CString ServerVersionLine(const char* version);
    // "Client Version 1.2.3.4" from the file's version resource; empty unless it names both a
    // product version and a product name.
    static CString ClientVersionLine(const wchar_t* path);
    // Opens the link; the browser by default. Tests replace it.
    static void (*s_pfnOpenLink)(const wchar_t* address);

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    BOOL OnEraseBkgnd(CDC* pDC);
    HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    void OnLinkClicked();
    void OnBnClickedCancel();
    DECLARE_MESSAGE_MAP()

private:
    void PlaceLink();

    CToviButton m_btnOk;
    CToviButton m_btnClose;
    CStatic m_staticLabel;
    CStatic m_staticLink;
    CFont m_fontLink;
};

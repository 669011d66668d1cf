// CPasswordDlg: asks for the password of a protected server folder and checks it here against
// the digest the caller got from the server, so the password itself never travels.
//
// The caller sets m_strTitle (empty: the standard title) and m_szExpectedHash (64 lower-case
// hexadecimal characters, see loginrules::PasswordDigest) before DoModal; after IDOK
// m_szAcceptedHash holds the same 64 characters. Cancel leaves it empty.
#pragma once
#include "Edit.h"
#include "ToviButton.h"
#include "VantelDialog.h"

class TOVIINTERFACE_API CPasswordDlg : public CVantelDialog {
    DECLARE_DYNAMIC(CPasswordDlg)
public:
    explicit CPasswordDlg(CWnd* pParent = nullptr);

    // Modeless use: forwards to the base.
    BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = nullptr);

    // The prompt for one protected file, titled with its name: IDOK when the typed password
    // gives the digest. The transfers' default prompt; called on the window's UI thread.
    static int AskForFile(HWND parent, const CString& fileName, const char* digest);

    CString m_strTitle;
    char m_szExpectedHash[65] = {};
    char m_szAcceptedHash[65] = {};

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    BOOL OnEraseBkgnd(CDC* pDC);
    HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    void OnBnClickedOk();
    void OnBnClickedCancel();
    DECLARE_MESSAGE_MAP()

private:
    CToviButton m_btnOk;
    CToviButton m_btnCancel;
    CToviButton m_btnClose;
    CFont m_fontBold;
};

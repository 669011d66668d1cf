// CConfigBaseDlg: what the three settings dialogs share: the server fields, the session they
// check the server with, the progress window and the server check itself.
//
// The caller sets m_pProto (may be null: the check then creates a session with new and leaves
// it in m_pProto for the caller) and, when it holds a session, the two time-outs, then runs
// DoModal; afterwards it reads m_bResetWindow, m_bUpdateNeeded and ServerChanged(). The check talks to the
// server synchronously on the dialog's thread. A failed check leaves the session aimed at the
// host and port it had before and the dialog open.
#pragma once
#include "Button.h"
#include "Edit.h"
#include "ToviButton.h"
#include "VantelDialog.h"
#include "VantelStatic.h"

class CToviProto;
class CProgressDlg;

class TOVIINTERFACE_API CConfigBaseDlg : public CVantelDialog {
    DECLARE_DYNAMIC(CConfigBaseDlg)
public:
    CConfigBaseDlg(UINT nIDTemplate, int product, CWnd* pParent);
    ~CConfigBaseDlg() override;

    CToviProto* m_pProto = nullptr;
    char m_connectTimeout[5] = {};
    char m_socketTimeout[5] = {};
    BYTE m_bResetWindow = 0;
    BYTE m_bUpdateNeeded = 0;
    // After OK: the confirmed server differs from the one the dialog opened with.
    bool ServerChanged() const { return m_bServerChanged != 0; }

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    BOOL OnEraseBkgnd(CDC* pDC);
    HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    void OnBnClickedClose();
    DECLARE_MESSAGE_MAP()

    // Reads and checks the typed server: false (after saying why) when the address or port is
    // empty or the port is not 1-65535. Sets m_szHost, m_nPort and m_bServerChanged.
    bool ReadServerFields(bool stripScheme);
    // Aims the session (created when missing) at m_szHost:m_nPort; remembers where it was aimed.
    void AimSession();
    // Puts the session back where AimSession found it.
    void RestoreSession();
    // A2 on the session. False after restoring the session and saying why.
    bool FetchDomains();
    // A4 with clientKind on the session. False after restoring the session and saying why.
    bool FetchUpdateCheck(const char* clientKind);
    // A5 on the session. False after restoring the session and saying why.
    bool FetchLanguages();
    // The check failed: restores the session, closes the progress window and says why.
    void FailCheck();
    void RunProgressUI(bool show);

    const int m_nProduct;
    BYTE m_bServerChanged = 0;
    char m_szHost[128] = {};
    int m_nPort = -1;
    char m_szDebugLevel[16] = {};
    wchar_t m_szUpdateUrl[128] = {};
    CString m_strStartHost;
    int m_nStartPort = -1;

    CToviButton m_btnOk;
    CToviButton m_btnCancel;
    CToviButton m_btnClose;
    CButton m_chkClearAuto;

private:
    CProgressDlg* m_pProgress = nullptr;
    char m_szPrevHost[128] = {};
    CString m_strPrevHostW;
    int m_nPrevPort = -1;
    bool m_bAimed = false;
};

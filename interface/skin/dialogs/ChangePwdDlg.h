// CChangePwdDlg: asks for the current password and the new one twice, and changes it on the
// server through the session's protocol object.
//
// The caller sets m_pProto (and m_bCurrentLocked when the user may skip the current password)
// before DoModal; after IDOK m_strNewPassword holds the new password. Empty, mismatching or
// too long input never reaches the server. Runs on the thread that shows it; the request
// blocks that thread until the server answers.
#pragma once
#include "Static.h"
#include "ToviButton.h"
#include "VantelDialog.h"

class CToviProto;

class TOVIINTERFACE_API CChangePwdDlg : public CVantelDialog {
    DECLARE_DYNAMIC(CChangePwdDlg)
public:
    explicit CChangePwdDlg(CWnd* pParent = nullptr);

    // Each password travels as multibyte text of at most this many bytes.
    enum { kMaxPasswordBytes = 30 };
    // Bytes of text in the ANSI code page, as it is sent.
    static int MultibyteLength(const CString& text);

    CToviProto* m_pProto = nullptr;
    bool m_bCurrentLocked = false;
    CString m_strNewPassword;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    BOOL OnEraseBkgnd(CDC* pDC);
    HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    void OnBnClickedOk();
    void OnBnClickedCancel();
    DECLARE_MESSAGE_MAP()

private:
    void Refuse(const wchar_t* text, int focusId);

    CToviButton m_btnOk;
    CToviButton m_btnCancel;
    CToviButton m_btnClose;
};

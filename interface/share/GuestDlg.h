// CGuestDlg: one guest account on a server folder: the guest folder's name, the guest's e-mail
// address, a quota, an optional period and the guest's rights; it can also have the server
// issue the guest a new password. It talks to the server through a protocol object of its own,
// made from the caller's session, on worker threads.
#pragma once
#include "GuestBaseDlg.h"
#include "ToviProto.h"

class TOVIINTERFACE_API CGuestDlg : public CGuestBaseDlg {
    DECLARE_DYNAMIC(CGuestDlg)
public:
    explicit CGuestDlg(CWnd* pParent = nullptr);

    char m_szFolderId[11] = {};
    char m_szResetOption[2] = {};

    // Whether a typed guest quota fits: not above the folder's quota when the folder has one.
    static bool QuotaFits(const char* typed, const char* folderQuota);

protected:
    BOOL OnInitDialog() override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    void OnBnClickedOk();
    void OnBnClickedCheckNoLimit();
    void OnBnClickedResetPWD();
    LRESULT OnErrorDisp(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    static UINT GuestThread(LPVOID param);
    static UINT ResetThread(LPVOID param);
    // A worker's end: WM_ERROR_DISP posted on failure; the worker's exit code.
    UINT ReportSteps(Steps steps);
    void InitControl();
    void DisableControl(BOOL enable);

    _PROTO_SHARED_INFO m_info = {};
    CToviButton m_btnReset;
};

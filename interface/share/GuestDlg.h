// CGuestDlg: one guest account on a server folder: the guest folder's name, the guest's e-mail
// address, a quota, an optional period and the guest's rights; it can also have the server
// issue the guest a new password. It talks to the server through a protocol object of its own,
// made from the caller's session, on worker threads.
#pragma once
#include "ShareCommon.h"
#include "ToviProto.h"
#include "ToviButton.h"
#include "VantelDialog.h"

class CToviProto;
class CCircularProgressThread;

#ifndef WM_ERROR_DISP
#define WM_ERROR_DISP (WM_USER + 1)
#endif
#ifndef WM_CIRCULAR_PROGRESS
#define WM_CIRCULAR_PROGRESS (WM_USER + 2)
#endif

class TOVIINTERFACE_API CGuestDlg : public CVantelDialog {
    DECLARE_DYNAMIC(CGuestDlg)
public:
    explicit CGuestDlg(CWnd* pParent = nullptr);
    ~CGuestDlg() override;

    share::SessionBlock m_session;
    int m_nNewFolder = 0;
    char m_szFolderId[11] = {};
    wchar_t m_wszFolderName[512] = {};
    char m_szResetOption[2] = {};

    // Whether a typed guest quota fits: not above the folder's quota when the folder has one.
    static bool QuotaFits(const char* typed, const char* folderQuota);

protected:
    BOOL OnInitDialog() override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    int OnCreate(LPCREATESTRUCT lpCreateStruct);
    BOOL OnEraseBkgnd(CDC* pDC);
    HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    void OnBnClickedOk();
    void OnBnClickedCheckNoLimit();
    void OnBnClickedResetPWD();
    void OnBnClickedBtnSysExit();
    LRESULT OnErrorDisp(WPARAM wParam, LPARAM lParam);
    LRESULT OnCircularProgress(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    static UINT GuestThread(LPVOID param);
    static UINT ResetThread(LPVOID param);
    void InitControl();
    void DisableControl(BOOL enable);
    void Refuse(unsigned messageId, int focusId, bool empty = false);

    CToviProto* m_pProto = nullptr;
    _PROTO_SHARED_INFO m_info = {};
    bool m_bDone = false;
    CCircularProgressThread* m_pSpinner = nullptr;
    CToviButton m_btnOk;
    CToviButton m_btnCancel;
    CToviButton m_btnReset;
    CToviButton m_btnClose;
};

// CGuestMultiDlg: a guest folder with several guests: the folder's name, quota and optional
// period, and the list of guests, each with an address, rights and a state, edited in place
// and sent in one request on a worker with the dialog's own session.
#pragma once
#include "ShareCommon.h"
#include "ToviButton.h"
#include "ToviInterfaceApi.h"
#include "ToviProto.h"
#include "VantelDialog.h"
#include "VantelListCtrl.h"

class CCircularProgressThread;

class TOVIINTERFACE_API CGuestMultiDlg : public CVantelDialog {
    DECLARE_DYNAMIC(CGuestMultiDlg)
public:
    // Room for an address in a guest record, in bytes of the ANSI code page, without the
    // terminating zero. The in-place edit allows no more than this.
    enum { kMaxEmailBytes = 319 };

    explicit CGuestMultiDlg(CWnd* pParent = nullptr);
    ~CGuestMultiDlg() override;

    // True when address is one syntactically valid e-mail address: exactly one '@' outside
    // quoted strings, a non-empty local part and domain; the local part has no control
    // characters or blanks, none of ( ) < > @ , ; : \ " [ ] outside quoted strings, and does not
    // end in a dot; the domain has none of them at all, no empty label and at least one dot. An
    // address that does not fit a guest record once in the ANSI code page (or has characters
    // that code page cannot hold) is refused rather than cut. No side effects; any thread.
    static bool VerifyEmailAddress(const wchar_t* address);

    share::SessionBlock m_session;
    int m_nNewFolder = 0;
    char m_szFolderId[20] = {};
    wchar_t m_wszFolderName[512] = {};

protected:
    BOOL OnInitDialog() override;
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    int OnCreate(LPCREATESTRUCT lpCreateStruct);
    BOOL OnEraseBkgnd(CDC* pDC);
    HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    void OnDestroy();
    void OnBnClickedOk();
    void OnBnClickedCheckDate();
    void OnBnClickedBtnSetPerm();
    void OnBnClickedBtnAddGuest();
    void OnBnClickedBtnRemoveGuest();
    void OnBnClickedBtnSysExit();
    LRESULT OnRenameAgain(WPARAM wParam, LPARAM lParam);
    LRESULT OnAddGuest(WPARAM wParam, LPARAM lParam);
    LRESULT OnCircularProgress(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    static UINT GuestThread(LPVOID param);
    void EditRow(int row);
    void RightsWord(char (&word)[5]) const;
    void ResetGuestStatus();
    void DisableControl(BOOL enable);
    void Refuse(unsigned messageId, int focusId, bool empty = false);
    _PROTO_GUEST_USER_INFO* Record(int row) const;

    CToviProto* m_pProto = nullptr;
    _PROTO_GUEST_FOLDER_INFO m_folder = {};
    bool m_bDone = false;
    CCircularProgressThread* m_pSpinner = nullptr;
    CVantelListCtrl m_list;
    CToviButton m_btnOk;
    CToviButton m_btnCancel;
    CToviButton m_btnClose;
};

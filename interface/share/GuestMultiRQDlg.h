// CGuestMultiRQDlg: the multi-guest dialog of the customer group whose guests each have a date
// of their own instead of a period of the guest folder. New rows start with the server's default
// date (today when it gives none); the server says whether the dates may be changed.
#pragma once
#include "GuestMultiDlg.h"

class TOVIINTERFACE_API CGuestMultiRQDlg : public CGuestMultiDlg {
    DECLARE_DYNAMIC(CGuestMultiRQDlg)
public:
    explicit CGuestMultiRQDlg(CWnd* pParent = nullptr);

    // The date a new row starts with: the server's default when it is a date, else today;
    // "yyyy-mm-dd".
    static CString DefaultDate(const char* serverDefault);

protected:
    void InitList(const _PROTO_GUEST_FOLDER_INFO& folder) override;
    void ShowGuest(int row, const _PROTO_GUEST_USER_INFO& guest) override;
    void NewRowInserted(int row) override;
    void CompleteGuest(int row, _PROTO_GUEST_USER_INFO& guest) override;

private:
    CString m_strDefaultDate;
};

// CGuestMultiDlg: a guest folder with several guests: the folder's name, quota and optional
// period, and the list of guests, each with an address, rights and a state, edited in place
// and sent in one request on a worker with the dialog's own session.
#pragma once
#include "GuestBaseDlg.h"
#include "ToviProto.h"
#include "VantelListCtrl.h"

class TOVIINTERFACE_API CGuestMultiDlg : public CGuestBaseDlg {
    DECLARE_DYNAMIC(CGuestMultiDlg)
public:
    // Room for an address in a guest record, in bytes of the ANSI code page, without the
    // terminating zero. The in-place edit allows no more than this.
    enum { kMaxEmailBytes = 319 };

    explicit CGuestMultiDlg(CWnd* pParent = nullptr);

    // True when address is one valid e-mail address: a local part of printable ASCII without
    // blanks or any of ( ) < > @ , ; : \ " [ ], or quoted strings that open at its start, after a
    // full stop or after another quoted string and are followed by a full stop or the '@'; not
    // empty and not ending in a full stop; then a domain of the same characters with at least one
    // full stop, none at its start and never two in a row. Anything outside ASCII is refused, and
    // so is an address longer than a guest record holds. No side effects; any thread.
    static bool VerifyEmailAddress(const wchar_t* address);

    char m_szFolderId[20] = {};

protected:
    // For the customer variant: its own template, without the folder's period.
    CGuestMultiDlg(UINT templateId, bool folderPeriod, CWnd* pParent);

    BOOL OnInitDialog() override;
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    void OnDestroy();
    void OnBnClickedOk();
    void OnBnClickedCheckDate();
    void OnBnClickedBtnSetPerm();
    void OnBnClickedBtnAddGuest();
    void OnBnClickedBtnRemoveGuest();
    LRESULT OnRenameAgain(WPARAM wParam, LPARAM lParam);
    LRESULT OnAddGuest(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

    // The list's type and columns, once the guest folder has been fetched.
    virtual void InitList(const _PROTO_GUEST_FOLDER_INFO& folder);
    // A row was made for a guest the server holds.
    virtual void ShowGuest(int row, const _PROTO_GUEST_USER_INFO& guest);
    // A row for a new guest was just inserted.
    virtual void NewRowInserted(int row);
    // The record that goes to the server for a row, before it is appended.
    virtual void CompleteGuest(int row, _PROTO_GUEST_USER_INFO& guest);

    _PROTO_GUEST_USER_INFO* Record(int row) const;

    CVantelListCtrl m_list;

private:
    static UINT GuestThread(LPVOID param);
    void EditRow(int row);
    void RightsWord(char (&word)[5]) const;
    void ResetGuestStatus();
    void DisableControl(BOOL enable);

    const bool m_bFolderPeriod;
    _PROTO_GUEST_FOLDER_INFO m_folder = {};
};

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
    explicit CGuestMultiDlg(CWnd* pParent = nullptr);

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

// CBackupStatusDlg: the modeless progress window of backup runs. It keeps the progress of
// every policy that a worker reports to it and shows one policy at a time (SetBackupKey);
// Cancel posts WM_BACKUP_CANCEL with the shown key (a new CString the parent deletes) to the
// parent. Created by the backup program with Create(IDD_BACKUP_STATUS, parent); runs on the
// program's GUI thread and receives the workers' messages by SendMessage.
#pragma once
#include "ToviInterfaceApi.h"
#include "ToviProgressCtrl.h"
#include "ToviButton.h"
#include "VantelDialog.h"
#include <cstdint>
#include <map>

struct _BACKUP_PROGRESS {
    wchar_t Path[260];
    __int64 Total;
    __int64 Sent;
};

class TOVIINTERFACE_API CBackupStatusDlg : public CVantelDialog {
    DECLARE_DYNAMIC(CBackupStatusDlg)
public:
    explicit CBackupStatusDlg(CWnd* pParent = nullptr);
    ~CBackupStatusDlg() override;

    void SetBackupKey(CString key, CString title);

    // "<transferred> <sent> / <total> (<percent>%)", and the percent: 100 for a total of 0.
    static int Percent(__int64 sent, __int64 total);
    static CString Caption(__int64 sent, __int64 total);

    // Read by tests and the program: the shown key and the table.
    const CString& ShownKey() const { return m_strKey; }
    const std::map<CString, _BACKUP_PROGRESS>& Progress() const { return m_progress; }

protected:
    BOOL OnInitDialog() override;
    void OnCancel() override;
    void OnOK() override;
    BOOL OnEraseBkgnd(CDC* pDC);
    HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    void OnDestroy();
    void OnCancelButton();
    void OnHide();
    LRESULT OnTotalSize(WPARAM wParam, LPARAM lParam);
    LRESULT OnFullPath(WPARAM wParam, LPARAM lParam);
    LRESULT OnPolicyProgress(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    void ShowPath(const wchar_t* path);
    void ShowProgress(const _BACKUP_PROGRESS& record);
    void SetEditIfChanged(UINT id, const CString& text);

    CString m_strKey;
    CString m_strTitle;
    std::map<CString, _BACKUP_PROGRESS> m_progress;
    CToviProgressCtrl m_bar;
    CToviButton m_btnCancel, m_btnClose, m_btnSysClose;
    HICON m_hIcon = nullptr;
    bool m_ownIcon = false;
    HFONT m_hBold = nullptr;
};

// CBackupPolicyDlg: the modal editor of one backup policy: name, description, folders (chosen
// in CFolderSelectDlg), what to do with files already on the server, and an optional schedule.
// It writes the policy through CToviRegistry under the backup product's Policy key, where the
// backup worker reads it. Runs on the thread that calls DoModal.
#pragma once
#include "ToviInterfaceApi.h"
#include "ToviButton.h"
#include "ToviRegistry.h"
#include "VantelDialog.h"

class TOVIINTERFACE_API CBackupPolicyDlg : public CVantelDialog {
    DECLARE_DYNAMIC(CBackupPolicyDlg)
public:
    explicit CBackupPolicyDlg(CWnd* pParent = nullptr);
    ~CBackupPolicyDlg() override;

    // Set before DoModal: false creates a policy (the dialog makes its id from the clock),
    // true edits the policy m_strPolicyID.
    bool m_bEditMode = false;
    CString m_strPolicyID;
    // The policy's folders by full path: read from the store in edit mode, replaced by the
    // folder selection's OK.
    CFolderPathMap m_mapFolder;
    // The clock behind the policy id, the creation time and the next run; tests fix it.
    void (WINAPI* m_pfnLocalTime)(LPSYSTEMTIME) = ::GetLocalTime;

    // Empties the folder map (the folder selection does it before handing over its own).
    void ReleaseFolderInfo();

    // The next run of a new schedule as stored in NextBackupTime, from now and the time of day
    // "HH:MM:SS". kind 0 (once): date "YYYY-MM-DD" and the time joined by a blank; 1 daily;
    // 2 weekly on weekday (0 Sunday to 6 Saturday); 3 monthly on monthDay (1 to 31), which in
    // a month without that day falls on the month's last day. Empty for anything unreadable.
    static CString NextRunTime(int kind, const CString& date, int weekday, int monthDay, const CString& time,
                               const SYSTEMTIME& now);

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    BOOL OnEraseBkgnd(CDC* pDC);
    HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    void OnDestroy();
    void OnBnClickedBtnFolder();
    void OnBnClickedBtnSet();
    void OnBnClickedCheckCycle();
    void OnClickedCycleLabel();
    void OnCbnSelchangeCycle();
    void OnCloseButton();
    DECLARE_MESSAGE_MAP()

private:
    void InitControl();
    void ApplyLook();
    void LoadPolicy();
    void FillFolderList();
    void EnableCycleControl(bool on);
    void ApplyCycleLayout(int kind);
    void SetCycleOn(bool on);
    bool RunFolderSelect();
    void Warn(const wchar_t* text);

    CToviButton m_btnOk, m_btnCancel, m_btnClose;
    HIMAGELIST m_hSystemImages = nullptr;
    HFONT m_hBold = nullptr;
    HBRUSH m_hWhite = nullptr;
    RECT m_rectDatePicker = {};
    int m_nCycle = -1;
    CString m_strName, m_strDesc, m_strCreateTime;
};

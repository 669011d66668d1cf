// CBackupLogDlg: the modal viewer of one policy's run logs: the runs of one log type above,
// the items of the selected run below. The lower list is filled by a thread of its own while
// a spinner turns over it; selecting another run stops a running fill first.
#pragma once
#include "ToviInterfaceApi.h"
#include "ListCtrl.h"
#include "SQLiteDB.h"
#include "ToviButton.h"
#include "VantelDialog.h"
#include <atomic>

class CCircularProgressThread;
class CWinThread;

class TOVIINTERFACE_API CBackupLogDlg : public CVantelDialog {
    DECLARE_DYNAMIC(CBackupLogDlg)
public:
    explicit CBackupLogDlg(CWnd* pParent = nullptr);
    ~CBackupLogDlg() override;

    // Set before DoModal.
    int m_nLogType = 0;             // 0 backup, 1 restore
    CString m_strPolicyKey;
    CString m_strTitle;
    // Where the logs live instead of the user's documents folder (empty: the documents folder).
    CString m_strDocuments;

    void DrawListTime();
    void DrawListStatus();
    void SetTerminateThread();
    void SetListLoading(bool loading);

protected:
    BOOL OnInitDialog() override;
    BOOL OnEraseBkgnd(CDC* pDC);
    HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    void OnDestroy();
    void OnCloseButton();
    void OnRunChanged(NMHDR* pNMHDR, LRESULT* pResult);
    void OnItemsCustomDraw(NMHDR* pNMHDR, LRESULT* pResult);
    LRESULT OnFillDone(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    static UINT InsertListStatusThread(LPVOID param);
    void InitControl();
    void DrawColumn();
    void ShowError(const CSQLiteException& e);

    CString m_strLogFolder;
    CString m_strRunFile;
    CListCtrl m_listRuns, m_listItems;
    CToviButton m_btnOk, m_btnClose;
    CWinThread* m_pFill = nullptr;
    std::atomic<bool> m_bStop{false};
    LANGID m_fillLanguage = 0;          // the dialog's text language, for the fill thread
    CCircularProgressThread* m_pSpinner = nullptr;
    HFONT m_hBold = nullptr;
};

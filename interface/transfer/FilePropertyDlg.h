// CFilePropertyDlg: the properties of one server item, or a summary of several. A worker asks
// the server page by page while a spinner turns; the form is filled when the last page came.
// The caller makes and opens the protocol object; the dialog owns it from DoModal on.
#pragma once
#include "ProtoRecords.h"
#include "ToviButton.h"
#include "VantelDialog.h"
#include <atomic>
#include <vector>

class CToviProto;
class CWinThread;
class CCircularProgressThread;

#define WM_ERROR_DISP       (WM_USER + 1)
#define WM_PROPERTY_DISP    (WM_USER + 2)
#define WM_PROPERTY_SPIN    (WM_USER + 3)

class TOVIINTERFACE_API CFilePropertyDlg : public CVantelDialog {
    DECLARE_DYNAMIC(CFilePropertyDlg)
public:
    explicit CFilePropertyDlg(CWnd* pParent = nullptr);
    ~CFilePropertyDlg() override;

    CToviProto* m_pProto = nullptr;     // owned: closed and deleted with the dialog
    int m_nDispMode = 1;                // 1: one item in full; else a summary of several
    std::vector<_PROTO_FOLDER_INFO> m_vecItems;
    CString m_strLocation;
    bool m_bParentTop = false;
    CString m_strCustomFlag;

    bool IsPropertyEnd() const { return m_bPropertyEnd; }
    // The most further pages the worker asks for before it ends the paging itself: a server
    // that never comes to its last page must not hold the dialog. Tests lower it; 0 restores
    // the default.
    static void SetPageLimit(int pages);

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    BOOL OnEraseBkgnd(CDC* pDC);
    void OnClose();
    void OnBnClickedOk();
    LRESULT OnErrorDisp(WPARAM, LPARAM);
    LRESULT OnPropertyDisp(WPARAM, LPARAM);
    LRESULT OnCircularProgress(WPARAM, LPARAM);
    DECLARE_MESSAGE_MAP()

private:
    static UINT PropertyThread(LPVOID param);
    int RunProperty();
    void AllClear();
    void InitControl();
    void OnPropertyPreDisp();
    void StopThread();
    void ShowRow(UINT label, UINT value, bool show);
    void SetLabel(UINT id, unsigned text);
    UINT FolderIcon(const _PROTO_FOLDER_INFO& item) const;

    CWinThread* m_pThread = nullptr;
    CCircularProgressThread* m_pSpinner = nullptr;
    std::atomic<bool> m_bThreadStop{false};
    std::atomic<bool> m_bPropertyEnd{false};
    bool m_bClosing = false;
    CString m_strTab;
    HICON m_hIcon = nullptr;
    HICON m_hOverlay = nullptr;
    bool m_bOwnIcon = false;
    CToviButton m_btnOk;
    CToviButton m_btnClose;
};

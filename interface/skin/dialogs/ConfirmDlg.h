// CConfirmDlg: asks before deleting or restoring objects; in its typed mode the user must type
// the object's name before OK is accepted.
//
// The caller fills the public members before DoModal; IDOK means go ahead. Runs on the thread
// that shows it.
#pragma once
#include "Static.h"
#include "ToviButton.h"
#include "VantelDialog.h"

class TOVIINTERFACE_API CConfirmDlg : public CVantelDialog {
    DECLARE_DYNAMIC(CConfirmDlg)
public:
    explicit CConfirmDlg(CWnd* pParent = nullptr);

    enum Mode { kModeDelete = 0, kModeRestore = 1, kModeTypeName = 2 };

    BYTE m_bInTrash = 0;          // the objects lie in the recycle bin
    BYTE m_bOtherPlace = 0;       // the second delete case
    int m_nCount = 0;
    int m_nMode = kModeDelete;
    char m_szType[2] = {};        // "F": the single object is a file
    wchar_t m_szName[512] = {};
    bool m_bNotice = false;       // with m_bOtherPlace in delete mode: the shared-folder notice

    // The title and text the members select.
    void ChooseTexts(CString& title, CString& text) const;

    void InitControl();

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    BOOL OnEraseBkgnd(CDC* pDC);
    HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    void OnBnClickedOk();
    void OnBnClickedCancel();
    DECLARE_MESSAGE_MAP()

private:
    CString Name() const;

    CToviButton m_btnOk;
    CToviButton m_btnCancel;
    CToviButton m_btnClose;
};

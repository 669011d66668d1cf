// CSampleDialog: a template-based dialog with data exchange, command routing and a reflected
// control colour, for the window tests of the framework as the interface library uses it.
#pragma once
#include "Dialog.h"
#include "SampleSwatch.h"

class CSampleDialog : public CDialog {
    DECLARE_DYNAMIC(CSampleDialog)
public:
    explicit CSampleDialog(CWnd* pParent = nullptr);

    // Exchanged with the controls (UpdateData).
    CString m_strName;
    int m_bRemember = BST_UNCHECKED;
    int m_nSize = 0;   // 0 small, 1 large, -1 none

    CSampleSwatch m_swatch;          // subclassed by DDX_Control
    int m_nNameChanges = 0;          // EN_CHANGE notifications of the name field

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnNameChange();
    void OnRememberClicked();
    DECLARE_MESSAGE_MAP()
};

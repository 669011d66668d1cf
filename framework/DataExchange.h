// Dialog data exchange: CDataExchange and the DDX_/DDV_ functions used in DoDataExchange.
//
// UpdateData(FALSE) moves member values into the controls, UpdateData(TRUE) reads and checks
// them. A failing check puts the focus on the control, tells the user, and makes UpdateData
// return FALSE (by throwing CDataExchange::Failure, which UpdateData catches).
#pragma once
#include "Wnd.h"

class FW_API CDataExchange {
public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate);

    BOOL m_bSaveAndValidate;   // TRUE: controls -> members
    CWnd* m_pDlgWnd;

    // The control's window; a missing control is a programming error and fails the exchange.
    HWND PrepareCtrl(int nIDC);
    HWND PrepareEditCtrl(int nIDC);
    // Focuses the last prepared control (selecting an edit's text) and ends the exchange.
    [[noreturn]] void Fail();

    HWND GetLastControl() const { return m_hWndLastControl; }
    bool IsLastControlEdit() const { return m_bEditLastControl; }

    struct Failure {};

private:
    HWND m_hWndLastControl = nullptr;
    bool m_bEditLastControl = false;
};

// Subclasses the control nIDC into rControl the first time (the object then handles its messages).
FW_API void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);
FW_API void DDX_Text(CDataExchange* pDX, int nIDC, CString& value);
// Whole numbers; text that is not one fails the exchange with a message.
FW_API void DDX_Text(CDataExchange* pDX, int nIDC, int& value);
FW_API void DDX_Text(CDataExchange* pDX, int nIDC, UINT& value);
FW_API void DDX_Text(CDataExchange* pDX, int nIDC, long& value);
FW_API void DDX_Text(CDataExchange* pDX, int nIDC, DWORD& value);
// value: BST_UNCHECKED, BST_CHECKED or BST_INDETERMINATE.
FW_API void DDX_Check(CDataExchange* pDX, int nIDC, int& value);
// nIDC is the first radio button of a group (WS_GROUP); value the index of the checked one, -1 none.
FW_API void DDX_Radio(CDataExchange* pDX, int nIDC, int& value);
// Combo box selection index (-1 none) and text.
FW_API void DDX_CBIndex(CDataExchange* pDX, int nIDC, int& index);
FW_API void DDX_CBString(CDataExchange* pDX, int nIDC, CString& value);
// Limits the preceding edit control to nChars characters; fails a longer value on save.
FW_API void DDV_MaxChars(CDataExchange* pDX, const CString& value, int nChars);
// Fails a value outside [minVal, maxVal] on save.
FW_API void DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal);

// CMessageBoxDlg: the update program's skinned message box (template 103): a message of one or
// more "\n"-separated lines, a system icon, and OK, OK/Cancel or Yes/No buttons from the
// program's own string table. The caller fills the three members and calls DoModal.
//
// Not the client's CMessageBoxDlg of ToviInterface.dll: the update program links none of the
// client's libraries, so its toolkit is its own and may differ from the client's.
#pragma once
#include "ToviButton.h"
#include "ToviDialog.h"
#include "VantelStatic.h"

class CMessageBoxDlg : public CToviDialog {
public:
    explicit CMessageBoxDlg(CWnd* pParent);
    ~CMessageBoxDlg() override;

    const wchar_t* m_pszMessage = L"";
    const wchar_t* m_pszCaption = L"";
    UINT m_nType = MB_OK;

    // Lines of text (0 for an empty one) and the longest of them, counting characters from
    // U+0100 on as two (the first longest wins a tie).
    static int GetMessageLine(const CString& text, CString& longest);
    // The dialog width for the longest line's pixel width and the number of buttons.
    static int DialogWidth(int buttonWidth, int buttons, int lineWidth, int minimumWidth);

protected:
    BOOL OnInitDialog() override;
    BOOL OnEraseBkgnd(CDC* pDC);
    void OnBnClickedOk();
    void OnBnClickedCancel();
    void OnBnClickedBtnSysExit();
    void OnCancel() override;
    DECLARE_MESSAGE_MAP()

private:
    void InitControl();
    void ChangeSize();
    UINT ButtonKind() const { return m_nType & 0x0F; }

    int m_nMinWidth = 300;
    CString m_strLongest;
    HICON m_hIcon = nullptr;
    CToviButton m_btnFirst;
    CToviButton m_btnSecond;
    CToviButton m_btnSysExit;
    CVantelStatic m_text;
};

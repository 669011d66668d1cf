// CMessageBoxDlg: the client's own modal message box, a skinned dialog with a caption, a text
// of one or more lines, a standard icon and one or two skinned buttons, sized to its text.
//
// Only CFileUtils::ToviMessageBox creates it: it fills m_pszText, m_pszCaption and m_nType
// (Windows MB_ flags), runs DoModal and returns its result. The texts must stay valid until
// DoModal returns. Runs on the thread that shows it.
#pragma once
#include "Static.h"
#include "ToviButton.h"
#include "VantelDialog.h"

class TOVIINTERFACE_API CMessageBoxDlg : public CVantelDialog {
    DECLARE_DYNAMIC(CMessageBoxDlg)
public:
    explicit CMessageBoxDlg(CWnd* pParent = nullptr);
    ~CMessageBoxDlg() override;

    // The buttons a type shows: only these three sets exist, every other button type falls
    // back to the OK box. The value is also the type's "base value" (the button bits).
    enum ButtonSet { kButtonsOk = 0, kButtonsOkCancel = 1, kButtonsYesNo = 4 };
    static ButtonSet ButtonsOf(unsigned type);
    // The standard icon (IDI_ASTERISK, IDI_EXCLAMATION, IDI_QUESTION, IDI_HAND or
    // IDI_APPLICATION) a type shows; only the icon bits count.
    static LPCWSTR IconOf(unsigned type);
    // What DoModal returns for the OK button, the Cancel button (also Esc) and the close box.
    static int ResultOfOk(unsigned type);
    static int ResultOfCancel(unsigned type);
    static int ResultOfClose(unsigned type);

    // Lines of text ("\n" separated; 0 for an empty text) and the widest of them, weighing
    // characters from code 256 up twice; the first of equally wide lines wins.
    static int CountLines(const CString& text, CString* longest);
    int GetMessageLine(CString text);
    // Breaks every line of text that is wider than maxWidth in the DC's font: after its last
    // blank that fits, else between characters. Existing line breaks stay.
    static CString WrapLines(HDC hdc, const CString& text, int maxWidth);
    // Width of the widest line and the height of a line, in the DC's font.
    static SIZE WidestLine(HDC hdc, const CString& text);

    void InitControl();
    void ChangeSize();

    // Set by the caller before DoModal.
    const wchar_t* m_pszText = nullptr;
    const wchar_t* m_pszCaption = nullptr;
    unsigned int m_nType = 0;

    // What the box shows, for its painter and for tests.
    CString GetShownText() const { return m_strShown; }
    LPCWSTR GetIconId() const { return m_pszIconId; }
    int GetLineCount() const { return m_nLines; }
    // Where the icon goes for the current line count.
    CPoint IconPos() const { return CPoint(7, 8 * m_nLines + 30); }

    CToviButton m_btnOk;
    CToviButton m_btnCancel;
    CToviButton m_btnClose;
    CStatic m_staticText;
    CString m_strLongLine;
    HICON m_hIcon = nullptr;
    int m_nMinWidth = 300;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    BOOL OnEraseBkgnd(CDC* pDC);
    HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    void OnBnClickedBtnSysExit();
    void OnBnClickedOk();
    void OnBnClickedCancel();
    DECLARE_MESSAGE_MAP()

private:
    // The widest the box may be: the width of the work area it is on.
    int MaxWidth() const;
    void PlaceInWorkArea();

    CString m_strShown;
    LPCWSTR m_pszIconId = nullptr;
    int m_nLines = 0;
};

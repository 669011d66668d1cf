// CUploadAlertDlg: the tip shown before an upload starts; OK goes on, Cancel does not.
#pragma once
#include "ToviButton.h"
#include "VantelDialog.h"

class TOVIINTERFACE_API CUploadAlertDlg : public CVantelDialog {
    DECLARE_DYNAMIC(CUploadAlertDlg)
public:
    explicit CUploadAlertDlg(CWnd* pParent = nullptr);

    // The face of the last installed family whose name begins with "맑은 고딕", else "돋움".
    static CString ChooseFace();

    CString m_strFace;
    int m_nFontPoints = 11;
    CString m_strLine1;
    CString m_strLine2;

protected:
    BOOL OnInitDialog() override;
    BOOL OnEraseBkgnd(CDC* pDC);
    void OnCloseButton();
    DECLARE_MESSAGE_MAP()

private:
    HFONT MakeFont(HDC dc) const;

    int m_nLineHeight = 0;
    CToviButton m_btnOk;
    CToviButton m_btnCancel;
    CToviButton m_btnClose;
};
